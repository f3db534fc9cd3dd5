// The floor of the idle benchmark: only the refresh the program must do,
// once a second, and nothing else. The processes as the terminal-services
// enumeration lists them, each opened once and kept (as the engine keeps
// its items' handles), the ended ones looked for in one wait and by their
// exit codes, and each one's priority, working set and processor times;
// then the memory status and the processor times. No window, no timer
// message: the benchmark measures its processor time as the program's and
// ends it.
#include <windows.h>
#include <psapi.h>
#include <wtsapi32.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

struct TKept {
  std::wstring Name;
  HANDLE Handle;
};

void DropEnded(std::map<DWORD, TKept>& kept) {
  std::vector<HANDLE> handles;
  for (const auto& [id, process] : kept) handles.push_back(process.Handle);
  std::vector<bool> ended(handles.size(), false);
  for (size_t first = 0; first < handles.size();) {
    const DWORD count = static_cast<DWORD>(std::min<size_t>(handles.size() - first, MAXIMUM_WAIT_OBJECTS));
    const DWORD result = WaitForMultipleObjects(count, handles.data() + first, FALSE, 0);
    if (result < WAIT_OBJECT_0 + count) {
      first += result - WAIT_OBJECT_0;
      ended[first++] = true;
    } else {
      first += count;
    }
  }
  size_t i = 0;
  for (auto it = kept.begin(); it != kept.end(); ++i) {
    DWORD code = STILL_ACTIVE;
    if (!ended[i] && GetExitCodeProcess(it->second.Handle, &code) && code == STILL_ACTIVE) {
      ++it;
      continue;
    }
    CloseHandle(it->second.Handle);
    it = kept.erase(it);
  }
}

void Refresh(std::map<DWORD, TKept>& kept) {
  DropEnded(kept);
  WTS_PROCESS_INFOW* listed = nullptr;
  DWORD count = 0;
  if (WTSEnumerateProcessesW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &listed, &count)) {
    for (DWORD i = 0; i < count; ++i) {
      const DWORD id = listed[i].ProcessId;
      const std::wstring name = listed[i].pProcessName ? listed[i].pProcessName : L"";
      if (id == 0 || name.empty()) continue;
      auto it = kept.find(id);
      if (it != kept.end() && it->second.Name != name) continue;  // an id used again: its old one ends first
      if (it == kept.end()) {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
        if (!process) continue;
        it = kept.emplace(id, TKept{name, process}).first;
      }
      HANDLE process = it->second.Handle;
      GetPriorityClass(process);
      PROCESS_MEMORY_COUNTERS counters{};
      GetProcessMemoryInfo(process, &counters, sizeof(counters));
      FILETIME created, exited, kernel, user;
      GetProcessTimes(process, &created, &exited, &kernel, &user);
    }
    WTSFreeMemory(listed);
  }
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof(memory);
  GlobalMemoryStatusEx(&memory);
  FILETIME idle, kernel, user;
  GetSystemTimes(&idle, &kernel, &user);
}

}  // namespace

int main() {
  std::map<DWORD, TKept> kept;
  for (ULONGLONG next = GetTickCount64();; ) {
    Refresh(kept);
    next += 1000;
    const ULONGLONG now = GetTickCount64();
    if (next > now) Sleep(static_cast<DWORD>(next - now));
    else next = now;
  }
}
