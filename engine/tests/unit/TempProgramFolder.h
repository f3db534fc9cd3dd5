// Test helpers of the state, settings and rules-list tests: a program folder
// of their own under the temporary folder, and whole-file byte access.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "kit/Own.h"

namespace tarnwick::testing {

// A fresh, empty folder; removed with everything in it at the end.
class TempProgramFolder {
 public:
  TempProgramFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static LONG serial = 0;
    path_ = std::wstring(base) + L"tarnwick-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(InterlockedIncrement(&serial)) + L"\\";
    RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempProgramFolder() { RemoveTree(path_); }
  TempProgramFolder(const TempProgramFolder&) = delete;
  TempProgramFolder& operator=(const TempProgramFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring operator/(const wchar_t* relative) const { return path_ + relative; }

 private:
  static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(folder + name + L"\\");
        } else {
          DeleteFileW((folder + name).c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }

  std::wstring path_;
};

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline std::vector<unsigned char> ReadBytes(const std::wstring& path) {
  std::vector<unsigned char> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(file, nullptr));
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  CloseHandle(file);
  return bytes;
}

inline void WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// FF FE followed by `text` in UTF-16LE.
inline std::vector<unsigned char> Utf16File(const std::wstring& text) {
  std::vector<unsigned char> bytes = {0xFF, 0xFE};
  for (wchar_t c : text) {
    bytes.push_back(static_cast<unsigned char>(c & 0xFF));
    bytes.push_back(static_cast<unsigned char>(c >> 8));
  }
  return bytes;
}

// The text of a file that starts with FF FE; empty otherwise.
inline std::wstring Utf16Text(const std::vector<unsigned char>& bytes) {
  std::wstring text;
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) return text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) text += static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8);
  return text;
}

// The kit's BSTR as the tests use it: handed straight to a BSTR argument,
// read back as text.
class Bstr : public kit::BStr {
 public:
  using kit::BStr::BStr;
  operator BSTR() const { return Get(); }
  BSTR* out() { return Out(); }
  std::wstring str() const { return Get() ? std::wstring(Get(), Length()) : std::wstring(); }
};

}  // namespace tarnwick::testing
