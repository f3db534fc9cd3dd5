#include "VeeSysTools.h"

#include "PathChecks.h"
#include "kit/Own.h"

#include <shellapi.h>

#include <algorithm>

namespace components {

namespace vee {

namespace {
DWORD Attributes(const std::string& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
}
}  // namespace

bool DirectoryExists(const std::string& path) {
  DWORD attr = Attributes(path);
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path) {
  DWORD attr = Attributes(path);
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string TrimBlanks(const std::string& text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  size_t first = 0, last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

}  // namespace vee

bool EnablePrivilege(const std::string& privilegeName, HANDLE process) {
  kit::Handle token;
  if (!OpenProcessToken(process ? process : GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.Out()))
    return false;
  bool ok = false;
  LUID luid;
  if (LookupPrivilegeValueA(nullptr, privilegeName.c_str(), &luid)) {
    TOKEN_PRIVILEGES wanted = {};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Luid = luid;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // The call succeeds even when the token lacks the privilege; only the
    // last error tells, and a privilege not enabled is a failure.
    SetLastError(ERROR_SUCCESS);
    ok = AdjustTokenPrivileges(token.Get(), FALSE, &wanted, 0, nullptr, nullptr) &&
         GetLastError() == ERROR_SUCCESS;
  }
  return ok;
}

std::string GetProgramFolder() {
  // The module's own path, not argument 0: that may be relative or bare.
  std::wstring wide(MAX_PATH, L'\0');
  for (;;) {
    DWORD len = GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
    if (len == 0) return std::string();
    if (len < wide.size()) {
      wide.resize(len);
      break;
    }
    wide.resize(wide.size() * 2);
  }
  auto toAnsi = [](const std::wstring& text, bool* lossy) {
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, &usedDefault);
    std::string out(n > 0 ? n : 1, '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, &usedDefault);
    out.resize(n > 0 ? n - 1 : 0);
    if (lossy) *lossy = usedDefault != FALSE;
    return out;
  };
  bool lossy = false;
  std::string path = toAnsi(wide, &lossy);
  if (lossy) {
    // A folder name the code page cannot spell: its short name can.
    DWORD n = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (n > 0) {
      std::wstring shortPath(n, L'\0');
      DWORD got = GetShortPathNameW(wide.c_str(), shortPath.data(), n);
      if (got > 0 && got < n) {
        shortPath.resize(got);
        path = toAnsi(shortPath, nullptr);
      }
    }
  }
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

int ListFiles(std::vector<std::string>& list, const std::string& folder, const std::string& mask,
              const std::vector<std::string>* exclusions) {
  if (!vee::DirectoryExists(folder)) return 0;
  const std::string base = folder.back() == '\\' ? folder : folder + '\\';

  auto lower = [](std::string text) {
    if (!text.empty()) CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
  };
  std::vector<std::string> excluded;
  if (exclusions)
    for (const std::string& name : *exclusions) excluded.push_back(lower(name));

  WIN32_FIND_DATAA found;
  kit::FindHandle search(FindFirstFileA((base + mask).c_str(), &found));
  if (!search) return static_cast<int>(list.size());  // nothing matches
  do {
    const std::string name = found.cFileName;
    // Any directory, whatever other attributes it carries.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (std::find(excluded.begin(), excluded.end(), lower(name)) != excluded.end()) continue;
    list.push_back(base + name);
  } while (FindNextFileA(search.Get(), &found));
  return static_cast<int>(list.size());
}

void ShellOpen(const std::string& target) {
  ShellExecuteA(nullptr, "open", target.c_str(), "", "", SW_SHOWNORMAL);
}

HANDLE WaitForNamedMutex(const std::string& name, DWORD timeoutMs) {
  // Poll interval while another holder keeps the lock: short enough to take
  // it soon after release, long enough not to burn a processor meanwhile.
  constexpr DWORD kPollMs = 5;
  const ULONGLONG start = GetTickCount64();  // 64-bit ticks do not wrap
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    kit::Handle mutex(CreateMutexA(nullptr, TRUE, name.c_str()));
    const DWORD error = GetLastError();
    if (mutex && error != ERROR_ALREADY_EXISTS) return mutex.Release();
    if (!mutex && error != ERROR_ACCESS_DENIED) {
      return nullptr;  // not a mutex we can ever create (e.g. another object's name)
    }
    // Access denied means it exists under someone else's security: held.
    DWORD pause = kPollMs;
    if (timeoutMs != kNoTimeLimit) {
      const ULONGLONG elapsed = GetTickCount64() - start;
      if (elapsed >= timeoutMs) return nullptr;
      pause = static_cast<DWORD>(std::min<ULONGLONG>(kPollMs, timeoutMs - elapsed));
    }
    Sleep(pause);
  }
}

void ReleaseNamedMutex(HANDLE mutex) {
  kit::Handle owned(mutex);
  if (owned) ReleaseMutex(owned.Get());  // fails harmlessly when another thread took it
}

}  // namespace components
