// A day of short-lived processes against the process list, with every heap
// block the engine's code takes or gives back counted (this program's
// operator new and delete): what a refresh, its events and a client's
// reading of the items take must all come back.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <unordered_set>
#include <vector>

#include "MOProcessList.h"
#include "ProcessFakes.h"

namespace {

std::atomic<long long> liveBytes{0};

void* Counted(std::size_t bytes) {
  void* block = std::malloc(bytes ? bytes : 1);
  if (!block) throw std::bad_alloc();
  liveBytes += static_cast<long long>(_msize(block));
  return block;
}

void Uncounted(void* block) noexcept {
  if (!block) return;
  liveBytes -= static_cast<long long>(_msize(block));
  std::free(block);
}

}  // namespace

void* operator new(std::size_t bytes) { return Counted(bytes); }
void* operator new[](std::size_t bytes) { return Counted(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  try {
    return Counted(bytes);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t bytes, const std::nothrow_t& tag) noexcept { return operator new(bytes, tag); }
void operator delete(void* block) noexcept { Uncounted(block); }
void operator delete[](void* block) noexcept { Uncounted(block); }
void operator delete(void* block, std::size_t) noexcept { Uncounted(block); }
void operator delete[](void* block, std::size_t) noexcept { Uncounted(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Uncounted(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Uncounted(block); }

using namespace tarnwick;

namespace {

// Processes that come and go, the handle standing for the identifier; only
// the running ones are kept, so the fake itself stays the same size.
class ChurningProcesses : public platform::ProcessSystem {
 public:
  std::vector<DWORD> running;
  std::unordered_set<DWORD> alive;

  void Start(DWORD id) {
    running.push_back(id);
    alive.insert(id);
  }
  // Ends the oldest `count` and starts as many new ones.
  void Churn(size_t count) {
    for (size_t i = 0; i < count; ++i) alive.erase(running[i]);
    running.erase(running.begin(), running.begin() + static_cast<std::ptrdiff_t>(count));
    for (size_t i = 0; i < count; ++i) Start(nextId_++);
  }

  bool EnumerateSessionProcesses(std::vector<platform::ProcessEntry>& out) override {
    out.clear();
    for (DWORD id : running) out.push_back({id, id % 3 ? L"worker.exe" : L"a program with a longer name.exe"});
    return true;
  }
  bool EnumerateSnapshotProcesses(std::vector<platform::ProcessEntry>&) override { return false; }
  HANDLE Open(DWORD, DWORD id) override {
    return alive.count(id) ? reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(id)) : nullptr;
  }
  void Close(HANDLE) override {}
  bool HasEnded(HANDLE process) override { return !alive.count(Id(process)); }
  void MainModulePath(HANDLE, wchar_t* path, DWORD chars) override {
    lstrcpynW(path, L"c:\\program files\\Churn\\worker.exe", static_cast<int>(chars));
  }
  DWORD PriorityClass(HANDLE) override { return NORMAL_PRIORITY_CLASS; }
  bool SetPriorityClass(HANDLE, DWORD) override { return true; }
  bool WorkingSetSize(HANDLE process, uint64_t& bytes) override {
    bytes = Id(process) * 4096;
    return true;
  }
  bool TrimWorkingSet(HANDLE) override { return true; }
  bool Terminate(HANDLE, UINT) override { return true; }
  bool ProcessorTime(HANDLE, uint64_t& time) override {
    time = clock_ / 10;
    return true;
  }
  uint64_t Now() override { return clock_ += 10'000'000; }
  unsigned ProcessorCount() override { return 4; }

 private:
  static DWORD Id(HANDLE process) { return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(process)); }
  DWORD nextId_ = 1000;
  uint64_t clock_ = 0;
};

TEST(ProcessChurn, ADayOfProcessStartsLeavesNothingBehindInTheEngine) {
  ChurningProcesses processes;
  for (DWORD id = 8; id < 158; ++id) processes.Start(id);
  test::FakeShell shell;
  shell.giveIcons = true;
  test::NoServices services;
  CMOProcessList::Seams seams;
  seams.processes = &processes;
  seams.services = &services;
  seams.shell = &shell;
  seams.systemFolder = L"C:\\Windows\\System32\\";
  CMOProcessList list(seams);
  list.SetEventThread(test::MessageThread());

  // A refresh as the timer makes it, the events it posts, and a client that
  // reads every item as the process page does (name and icon too).
  auto tick = [&] {
    processes.Churn(10);
    list.RefreshList();
    for (const test::Posted& posted : test::TakePosted()) {
      IMOProcessItem* item = nullptr;
      if (list.get_ProcessItemByID(static_cast<ULONG>(posted.lParam), &item) != S_OK || !item) continue;
      BSTR name = nullptr;
      item->get_ProcessName(&name);
      SysFreeString(name);
      IPictureDisp* icon = nullptr;
      item->get_ProcessIcon(&icon);
      if (icon) icon->Release();
      item->Release();
    }
    ULONG count = 0;
    list.get_ProcessCount(&count);
    for (ULONG i = 0; i < count; ++i) {
      IMOProcessItem* item = nullptr;
      if (list.get_ProcessItemByIndex(i, &item) != S_OK || !item) continue;
      UINT64 memory = 0;
      item->get_ProcessMemory(&memory);
      item->Release();
    }
  };
  for (int round = 0; round < 100; ++round) tick();
  const long long settled = liveBytes;
  // 8640 processes started and ended: one every ten seconds for a day.
  for (int round = 0; round < 864; ++round) tick();
  EXPECT_LE(liveBytes - settled, 4096) << "bytes the engine kept of processes long gone";
  ULONG count = 0;
  list.get_ProcessCount(&count);
  EXPECT_EQ(150u, count);
}

}  // namespace
