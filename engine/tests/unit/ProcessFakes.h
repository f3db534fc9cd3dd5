// Fakes of the process, service and shell seams, and a reader of the engine
// messages posted to the test thread, for the process-list and game-mode
// tests.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include <kit/Own.h>

#include "EngineMessages.h"
#include "MOProcessList.h"
#include "platform/ProcessSystem.h"
#include "platform/ServiceControl.h"
#include "platform/ShellLaunch.h"

namespace tarnwick::test {

struct FakeProcess {
  DWORD id = 0;
  std::wstring name;
  std::wstring path;
  uint64_t memory = 0;
  DWORD priorityClass = NORMAL_PRIORITY_CLASS;
  uint64_t processorTime = 0;  // 100 ns units
  bool openable = true;
  bool ended = false;
};

// Process services over a table of processes. The list calls it only from
// the refreshing thread, so it needs no lock.
class FakeProcessSystem : public platform::ProcessSystem {
 public:
  std::vector<FakeProcess> table;             // what runs, in enumeration order
  std::map<HANDLE, size_t> handles;           // open handle -> its process
  std::vector<DWORD> terminated, trimmed;      // process identifiers
  std::vector<std::pair<DWORD, DWORD>> prioritySets;  // identifier, class
  int pathReads = 0;  // main module paths asked for
  bool sessionsWork = true;
  bool snapshotWorks = true;
  uint64_t now = 0;
  unsigned processors = 1;
  std::function<void()> duringEnumeration;  // runs inside each enumeration
  std::function<void()> onClose;            // runs at each handle's close

  // Appends a running process; gives its place in the table.
  size_t Start(DWORD id, std::wstring name, std::wstring path = {}, uint64_t memory = 0) {
    FakeProcess p;
    p.id = id;
    p.name = std::move(name);
    p.path = path.empty() ? L"C:\\Apps\\" + p.name : std::move(path);
    p.memory = memory;
    table.push_back(std::move(p));
    return table.size() - 1;
  }
  void End(size_t place) { table[place].ended = true; }

  bool EnumerateSessionProcesses(std::vector<platform::ProcessEntry>& out) override {
    return sessionsWork && List(out);
  }
  bool EnumerateSnapshotProcesses(std::vector<platform::ProcessEntry>& out) override {
    return snapshotWorks && List(out);
  }
  HANDLE Open(DWORD, DWORD processId) override {
    for (size_t i = table.size(); i-- > 0;) {
      if (table[i].id != processId || table[i].ended) continue;
      if (!table[i].openable) return nullptr;
      HANDLE handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(nextHandle_ += 4));
      handles[handle] = i;
      return handle;
    }
    return nullptr;
  }
  void Close(HANDLE process) override {
    handles.erase(process);
    if (onClose) onClose();
  }
  bool HasEnded(HANDLE process) override {
    FakeProcess* p = Find(process);
    return !p || p->ended;
  }
  void MainModulePath(HANDLE process, wchar_t* path, DWORD chars) override {
    ++pathReads;
    FakeProcess* p = Find(process);
    lstrcpynW(path, p ? p->path.c_str() : L"", static_cast<int>(chars));
  }
  DWORD PriorityClass(HANDLE process) override {
    FakeProcess* p = Find(process);
    return p ? p->priorityClass : 0;
  }
  bool SetPriorityClass(HANDLE process, DWORD priorityClass) override {
    FakeProcess* p = Find(process);
    if (!p || PriorityOfClass(priorityClass) == MO_PP_UNKNOWN) return false;
    prioritySets.push_back({p->id, priorityClass});
    p->priorityClass = priorityClass;
    return true;
  }
  bool WorkingSetSize(HANDLE process, uint64_t& bytes) override {
    FakeProcess* p = Find(process);
    if (p) bytes = p->memory;
    return p != nullptr;
  }
  bool TrimWorkingSet(HANDLE process) override {
    FakeProcess* p = Find(process);
    if (p) trimmed.push_back(p->id);
    return p != nullptr;
  }
  bool Terminate(HANDLE process, UINT) override {
    FakeProcess* p = Find(process);
    if (!p || p->ended) return false;
    p->ended = true;
    terminated.push_back(p->id);
    return true;
  }
  bool ProcessorTime(HANDLE process, uint64_t& time) override {
    FakeProcess* p = Find(process);
    if (p) time = p->processorTime;
    return p != nullptr;
  }
  uint64_t Now() override { return now; }
  unsigned ProcessorCount() override { return processors; }

 private:
  bool List(std::vector<platform::ProcessEntry>& out) {
    if (duringEnumeration) duringEnumeration();
    out.clear();
    for (const FakeProcess& p : table) {
      if (!p.ended) out.push_back({p.id, p.name});
    }
    return true;
  }
  FakeProcess* Find(HANDLE process) {
    auto it = handles.find(process);
    return it == handles.end() ? nullptr : &table[it->second];
  }

  ULONG_PTR nextHandle_ = 0x1000;
};

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
  DWORD nextId_ = 100000;  // above every identifier a user starts
  uint64_t clock_ = 0;
};

// A service manager that cannot be opened: the service check ends at once.
class NoServices : public platform::ServiceControl {
 public:
  SC_HANDLE OpenManager(DWORD) override { return nullptr; }
  SC_HANDLE OpenNamedService(SC_HANDLE, const wchar_t*, DWORD) override { return nullptr; }
  bool QueryStatus(SC_HANDLE, SERVICE_STATUS&) override { return false; }
  bool StartType(SC_HANDLE, DWORD&) override { return false; }
  bool SetStartType(SC_HANDLE, DWORD) override { return false; }
  bool Start(SC_HANDLE) override { return false; }
  void Close(SC_HANDLE) override {}
  ULONGLONG Ticks() override { return 0; }
  bool Sleep(HANDLE, DWORD) override { return true; }
};

// The shell. Icons are asked for on the list's icon worker, so that part
// is safe from any thread: a file's icon is there while the file is (see
// Remove), and an icon query can be held at a gate.
class FakeShell : public platform::ShellLaunch {
 public:
  struct Call {
    std::wstring verb, file, parameters;
    bool hasParameters;
  };
  INT_PTR result = 42;
  std::atomic<bool> giveIcons{false};
  std::atomic<int> iconsAsked{0};
  std::function<void()> onExecute;
  std::vector<Call> calls;

  FakeShell() : asked_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~FakeShell() {
    if (gate_) SetEvent(gate_.Get());
  }

  INT_PTR Execute(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters) override {
    calls.push_back({verb ? verb : L"", file ? file : L"", parameters ? parameters : L"", parameters != nullptr});
    if (onExecute) onExecute();
    return result;
  }
  // What the file is at the moment of asking decides the answer; the gate
  // only holds it back.
  HICON SmallIcon(const wchar_t* path, int& imageIndex) override {
    HICON icon = nullptr;
    {
      std::lock_guard<std::mutex> guard(lock_);
      ++iconsAsked;  // counted before it shows as asked
      asked_paths_.insert(path ? path : L"");
      if (giveIcons && path && !removed_.count(path)) {
        icon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
        if (keepGiven) given.push_back(icon);
      }
    }
    SetEvent(asked_.Get());
    if (gate_) WaitForSingleObject(gate_.Get(), INFINITE);
    if (icon) imageIndex = 7;
    return icon;
  }

  // The file is renamed or deleted: the shell has no icon for it from now.
  void Remove(const std::wstring& path) {
    std::lock_guard<std::mutex> guard(lock_);
    removed_.insert(path);
  }
  // Icon queries wait until OpenGate.
  void CloseGate() { gate_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }
  void OpenGate() { SetEvent(gate_.Get()); }
  // Waits until the icon of `path` has been asked for; false after `ms`.
  bool WaitUntilAsked(const std::wstring& path, DWORD ms = 20000) {
    for (const ULONGLONG start = GetTickCount64();;) {
      {
        std::lock_guard<std::mutex> guard(lock_);
        if (asked_paths_.count(path)) return true;
      }
      const ULONGLONG spent = GetTickCount64() - start;
      if (spent >= ms) return false;
      WaitForSingleObject(asked_.Get(), static_cast<DWORD>(ms - spent));
    }
  }
  bool keepGiven = false;   // set before the list is made
  std::vector<HICON> given;  // then every icon handed out, under the lock

 private:
  std::mutex lock_;
  std::set<std::wstring> asked_paths_;
  std::set<std::wstring> removed_;
  kit::Handle gate_;
  kit::Handle asked_;
};

// A process list over the fakes, filled once (no events).
inline CMOProcessList::Seams FakeSeams(platform::ProcessSystem& processes, FakeShell& shell) {
  static NoServices services;
  CMOProcessList::Seams seams;
  seams.processes = &processes;
  seams.services = &services;
  seams.shell = &shell;
  seams.systemFolder = L"C:\\windows\\system32\\";
  seams.iconDelayMs = 0;  // no start-up to let pass
  return seams;
}

struct Posted {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Posted&) const = default;
};

// Engine messages waiting in this thread's queue, oldest first.
inline std::vector<Posted> TakePosted() {
  std::vector<Posted> posted;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0x801, 0x80C, PM_REMOVE)) posted.push_back({msg.message, msg.wParam, msg.lParam});
  return posted;
}

// Makes sure this thread has a queue and that it is empty; gives its id.
inline DWORD MessageThread() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  TakePosted();
  return GetCurrentThreadId();
}

}  // namespace tarnwick::test
