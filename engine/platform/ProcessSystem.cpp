#include "platform/ProcessSystem.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>

namespace tarnwick::platform {

namespace {

// The terminal-services library is looked up at run time: where it is
// missing the snapshot enumeration takes over.
struct SessionApi {
  struct ProcessInfo {  // WTS_PROCESS_INFOW
    DWORD sessionId;
    DWORD processId;
    LPWSTR processName;
    PSID userSid;
  };
  using EnumerateFn = BOOL(WINAPI*)(HANDLE, DWORD, DWORD, ProcessInfo**, DWORD*);
  using FreeFn = void(WINAPI*)(PVOID);
  EnumerateFn enumerate = nullptr;
  FreeFn free = nullptr;

  SessionApi() {
    HMODULE module = LoadLibraryW(L"wtsapi32.dll");
    if (!module) return;
    enumerate = reinterpret_cast<EnumerateFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "WTSEnumerateProcessesW")));
    free = reinterpret_cast<FreeFn>(reinterpret_cast<void*>(GetProcAddress(module, "WTSFreeMemory")));
    if (!enumerate || !free) enumerate = nullptr;
  }
};

// An exit code other than STILL_ACTIVE: the process is ending or has ended.
bool ExitCodeSet(HANDLE process) {
  DWORD code = STILL_ACTIVE;
  return GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
}

uint64_t FromFileTime(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

class RealProcesses final : public ProcessSystem {
 public:
  bool EnumerateSessionProcesses(std::vector<ProcessEntry>& out) override {
    static const SessionApi api;
    if (!api.enumerate) return false;
    SessionApi::ProcessInfo* info = nullptr;
    DWORD count = 0;
    // The local server (null handle), reserved 0, version 1.
    if (!api.enumerate(nullptr, 0, 1, &info, &count)) return false;
    auto freeInfo = kit::OnExit([&] { api.free(info); });  // also when a copy throws
    out.clear();
    out.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
      out.push_back({info[i].processId, info[i].processName ? info[i].processName : L""});
    }
    return !out.empty();
  }

  bool EnumerateSnapshotProcesses(std::vector<ProcessEntry>& out) override {
    kit::File snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    if (!Process32FirstW(snapshot.Get(), &entry)) return false;
    out.clear();
    do {
      out.push_back({entry.th32ProcessID, entry.szExeFile});
      entry.dwSize = sizeof(entry);
    } while (Process32NextW(snapshot.Get(), &entry));
    return true;
  }

  HANDLE Open(DWORD access, DWORD processId) override { return OpenProcess(access, FALSE, processId); }
  // The seam's own release: its callers hold the handles it opens.
  void Close(HANDLE process) override {
    if (process) CloseHandle(process);
  }

  bool HasEnded(HANDLE process) override {
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0 || ExitCodeSet(process);
  }

  std::vector<bool> WhichEnded(const std::vector<HANDLE>& processes) override {
    std::vector<bool> ended(processes.size(), false);
    // Signalled handles, up to the system's limit per wait; a wait names the
    // first signalled one, so the rest after it are waited on again.
    for (size_t first = 0; first < processes.size();) {
      const DWORD count = static_cast<DWORD>(std::min<size_t>(processes.size() - first, MAXIMUM_WAIT_OBJECTS));
      const DWORD result = WaitForMultipleObjects(count, processes.data() + first, FALSE, 0);
      if (result >= WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + count) {
        first += result - WAIT_OBJECT_0;
        ended[first++] = true;
      } else if (result == WAIT_TIMEOUT) {
        first += count;
      } else {  // a handle the wait refuses: each on its own
        for (size_t i = first; i < first + count; ++i)
          ended[i] = WaitForSingleObject(processes[i], 0) == WAIT_OBJECT_0;
        first += count;
      }
    }
    for (size_t i = 0; i < processes.size(); ++i)
      if (!ended[i]) ended[i] = ExitCodeSet(processes[i]);
    return ended;
  }

  void MainModulePath(HANDLE process, wchar_t* path, DWORD chars) override {
    if (!path || chars == 0) return;
    path[0] = L'\0';
    DWORD needed = 0;
    HMODULE none = nullptr;
    if (!EnumProcessModules(process, &none, 0, &needed)) return;
    DWORD len = GetModuleFileNameExW(process, nullptr, path, chars);
    if (len >= chars) len = chars - 1;
    path[len] = L'\0';
  }

  DWORD PriorityClass(HANDLE process) override { return GetPriorityClass(process); }
  bool SetPriorityClass(HANDLE process, DWORD priorityClass) override {
    return ::SetPriorityClass(process, priorityClass) != FALSE;
  }

  bool WorkingSetSize(HANDLE process, uint64_t& bytes) override {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return false;
    bytes = counters.WorkingSetSize;
    return true;
  }

  bool TrimWorkingSet(HANDLE process) override {
    return SetProcessWorkingSetSize(process, static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1)) != FALSE;
  }

  bool Terminate(HANDLE process, UINT exitCode) override {
    return TerminateProcess(process, exitCode) != FALSE;
  }

  bool ProcessorTime(HANDLE process, uint64_t& time) override {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return false;
    time = FromFileTime(kernel) + FromFileTime(user);
    return true;
  }

  uint64_t Now() override {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return FromFileTime(now);
  }

  unsigned ProcessorCount() override {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors ? info.dwNumberOfProcessors : 1;
  }
};

}  // namespace

std::vector<bool> ProcessSystem::WhichEnded(const std::vector<HANDLE>& processes) {
  std::vector<bool> ended;
  ended.reserve(processes.size());
  for (HANDLE process : processes) ended.push_back(HasEnded(process));
  return ended;
}

ProcessSystem& RealProcessSystem() {
  static RealProcesses real;
  return real;
}

}  // namespace tarnwick::platform
