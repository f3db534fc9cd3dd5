// A day of short-lived processes against the process list, with every heap
// block the engine's code takes or gives back counted (this program's
// operator new and delete): what a refresh, its events and a client's
// reading of the items take must all come back.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
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

TEST(ProcessChurn, ADayOfProcessStartsLeavesNothingBehindInTheEngine) {
  test::ChurningProcesses processes;
  for (DWORD id = 8; id < 158; ++id) processes.Start(id);
  test::FakeShell shell;
  shell.giveIcons = true;
  CMOProcessList list(test::FakeSeams(processes, shell));
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
