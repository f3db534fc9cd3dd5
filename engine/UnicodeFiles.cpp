#include "UnicodeFiles.h"

#include <windows.h>

#include <vector>

#include <kit/Own.h>

#include "EngineError.h"

namespace tarnwick {
namespace {

constexpr unsigned char kUtf16Mark[2] = {0xFF, 0xFE};
constexpr unsigned char kUtf8Mark[3] = {0xEF, 0xBB, 0xBF};
constexpr LONGLONG kLargestFile = 64LL << 20;  // far beyond any list or settings file
// What SetFileAttributesW can set again on a replaced file.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NORMAL |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY;

bool IsReadOnly(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// A failed write: a debugger hears of it, the caller gets false and the error.
bool Failed(const wchar_t* action, const std::wstring& path, DWORD code) {
  ReportFailure(action + path, code);
  SetLastError(code);
  return false;
}

bool WriteAll(HANDLE file, const void* data, size_t bytes) {
  const char* p = static_cast<const char*>(data);
  while (bytes > 0) {
    DWORD chunk = bytes > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes);
    DWORD written = 0;
    if (!WriteFile(file, p, chunk, &written, nullptr) || written != chunk) return false;
    p += written;
    bytes -= written;
  }
  return true;
}

std::wstring DecodeUtf8(const char* data, int bytes) {
  if (bytes <= 0) return {};
  int units = MultiByteToWideChar(CP_UTF8, 0, data, bytes, nullptr, 0);
  std::wstring text(static_cast<size_t>(units), L'\0');
  if (units > 0) MultiByteToWideChar(CP_UTF8, 0, data, bytes, text.data(), units);
  return text;
}

}  // namespace

std::wstring JoinPath(const std::wstring& folder, const wchar_t* relative) {
  if (folder.empty()) return {};
  std::wstring path = folder;
  if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path + relative;
}

void CreateParentFolder(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos || slash == 0) return;
  CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
}

bool FileExists(const std::wstring& path) {
  return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CreateEmptyUnicodeFile(const std::wstring& path) {
  if (path.empty()) return false;
  kit::File file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  WriteAll(file.Get(), kUtf16Mark, sizeof(kUtf16Mark));
  return true;
}

bool ReadUnicodeText(const std::wstring& path, std::wstring* text) {
  if (path.empty() || !text) return false;
  kit::File file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kLargestFile) return false;
  std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() && (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                         read != bytes.size())) {
    return false;
  }
  const size_t n = bytes.size();
  if (n >= 2 && static_cast<unsigned char>(bytes[0]) == kUtf16Mark[0] &&
      static_cast<unsigned char>(bytes[1]) == kUtf16Mark[1]) {
    const size_t units = (n - 2) / 2;  // an odd last byte is no character
    text->assign(units, L'\0');
    for (size_t i = 0; i < units; ++i) {
      (*text)[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                        static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
    }
    return true;
  }
  size_t skip = 0;
  if (n >= 3 && static_cast<unsigned char>(bytes[0]) == kUtf8Mark[0] &&
      static_cast<unsigned char>(bytes[1]) == kUtf8Mark[1] && static_cast<unsigned char>(bytes[2]) == kUtf8Mark[2]) {
    skip = 3;
  }
  *text = DecodeUtf8(bytes.data() + skip, static_cast<int>(n - skip));
  return true;
}

bool IsReadOnlyFile(const std::wstring& path) {
  const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
  return IsReadOnly(attributes);
}

bool WriteProfileValue(const std::wstring& path, const wchar_t* section, const wchar_t* key, const wchar_t* value) {
  // Wine would rewrite a read-only file here; Windows refuses, and so do we.
  if (IsReadOnlyFile(path)) return Failed(L"Writing to ", path, ERROR_ACCESS_DENIED);
  if (!WritePrivateProfileStringW(section, key, value, path.c_str())) {
    return Failed(L"Writing to ", path, GetLastError());
  }
  return true;
}

bool ReplaceWithUnicodeText(const std::wstring& path, const std::wstring& text) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  // Moving over a read-only file would drop both its content and its mark
  // (Windows refuses the move, Wine does not).
  if (IsReadOnly(attributes)) return Failed(L"Replacing ", path, ERROR_ACCESS_DENIED);
  const std::wstring temporary = path + L".tmp";
  auto removeTemporary = kit::OnExit([&] { DeleteFileW(temporary.c_str()); });
  {
    kit::File file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
    if (!file) return Failed(L"Replacing ", path, GetLastError());
    std::vector<unsigned char> bytes;
    bytes.reserve(2 + text.size() * 2);
    bytes.push_back(kUtf16Mark[0]);
    bytes.push_back(kUtf16Mark[1]);
    for (wchar_t c : text) {
      bytes.push_back(static_cast<unsigned char>(c & 0xFF));
      bytes.push_back(static_cast<unsigned char>((c >> 8) & 0xFF));
    }
    // Flushed, so that a failure to store the bytes shows here and not at
    // the close.
    if (!WriteAll(file.Get(), bytes.data(), bytes.size()) || !FlushFileBuffers(file.Get())) {
      return Failed(L"Replacing ", path, GetLastError());
    }
  }
  if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return Failed(L"Replacing ", path, GetLastError());
  }
  removeTemporary.Dismiss();
  // The new file is the user's old one: hidden stays hidden, and so on.
  if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(path.c_str(), attributes & kSettableAttributes);
  return true;
}

}  // namespace tarnwick
