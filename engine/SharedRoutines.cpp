#include "SharedRoutines.h"

#include <psapi.h>
#include <cwchar>

namespace tarnwick {

bool ModuleFolder(wchar_t* folder) {
  if (!folder) return false;
  folder[0] = L'\0';
  HMODULE first = nullptr;
  DWORD needed = 0;
  HANDLE self = GetCurrentProcess();
  if (!EnumProcessModules(self, &first, sizeof(first), &needed) || !first) return false;
  wchar_t path[kFolderChars];
  DWORD len = GetModuleFileNameExW(self, first, path, kFolderChars);
  if (len == 0 || len >= kFolderChars) return false;
  wchar_t* slash = wcsrchr(path, L'\\');
  if (!slash) return false;
  slash[1] = L'\0';
  wcscpy(folder, path);
  return true;
}

namespace {
// Appends a backslash when missing; the buffer holds kFolderChars units.
void EndWithBackslash(wchar_t* path) {
  size_t len = wcslen(path);
  if (len > 0 && path[len - 1] != L'\\' && len + 1 < kFolderChars) {
    path[len] = L'\\';
    path[len + 1] = L'\0';
  }
}
}  // namespace

bool SystemFolders(wchar_t* windowsFolder, wchar_t* systemFolder, wchar_t* systemDrive) {
  wchar_t windows[kFolderChars] = {};
  wchar_t system[kFolderChars] = {};
  UINT w = GetWindowsDirectoryW(windows, kFolderChars);
  UINT s = GetSystemDirectoryW(system, kFolderChars);
  bool ok = w > 0 && w < kFolderChars && s > 0 && s < kFolderChars;
  if (w >= kFolderChars) windows[0] = L'\0';
  if (s >= kFolderChars) system[0] = L'\0';
  EndWithBackslash(windows);
  EndWithBackslash(system);
  if (windowsFolder) wcscpy(windowsFolder, windows);
  if (systemFolder) wcscpy(systemFolder, system);
  if (systemDrive) {
    systemDrive[0] = L'\0';
    if (system[0] && system[1] == L':') {
      systemDrive[0] = system[0];
      systemDrive[1] = L':';
      systemDrive[2] = L'\\';
      systemDrive[3] = L'\0';
    }
  }
  return ok;
}

uint32_t ReplaceText(wchar_t* text, size_t bufferBytes, const wchar_t* search,
                     const wchar_t* replacement, uint32_t count) {
  if (!text || !search || !replacement || count == 0) return 0;
  const size_t capacity = bufferBytes / sizeof(wchar_t);  // units incl. terminator
  if (capacity == 0) return 0;
  const size_t searchLen = wcslen(search);
  const size_t replaceLen = wcslen(replacement);
  size_t textLen = wcsnlen(text, capacity);
  if (searchLen == 0 || textLen == 0 || textLen == capacity) return 0;

  uint32_t done = 0;
  while (done < count) {
    wchar_t* hit = wcsstr(text, search);
    if (!hit) break;
    const size_t newLen = textLen - searchLen + replaceLen;
    if (newLen + 1 > capacity) break;
    wmemmove(hit + replaceLen, hit + searchLen, textLen - (hit - text) - searchLen + 1);
    wmemcpy(hit, replacement, replaceLen);
    textLen = newLen;
    ++done;
  }
  return done;
}

bool IsBlank(const wchar_t* text) {
  if (!text) return true;
  for (; *text; ++text) {
    if (*text != L' ') return false;
  }
  return true;
}

}  // namespace tarnwick
