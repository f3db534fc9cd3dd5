// Scratch registry for the registry and paging-file tests: fresh keys under
// HKEY_CURRENT_USER stand for both roots and are deleted afterwards, so tests
// never touch machine-wide values.
#pragma once

#include "platform/RegistryRoot.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tarnwick::testing {

class ScratchRegistry : public platform::RegistryRoot {
 public:
  ScratchRegistry() {
    static LONG serial = 0;
    path_ = L"Software\\Brimvale Tests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(InterlockedIncrement(&serial));
    machine_ = Create(HKEY_CURRENT_USER, (path_ + L"\\Machine").c_str());
    user_ = Create(HKEY_CURRENT_USER, (path_ + L"\\User").c_str());
  }
  ~ScratchRegistry() override {
    RegCloseKey(machine_);
    RegCloseKey(user_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  }
  HKEY LocalMachine() override { return machine_; }
  HKEY CurrentUser() override { return user_; }

  static void AddKey(HKEY root, const wchar_t* path) { RegCloseKey(Create(root, path)); }
  // Any bytes of any type, as other programs may leave them.
  static void Set(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    HKEY key = Create(root, path);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(key);
  }
  static void SetDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value) {
    Set(root, path, name, REG_DWORD, &value, sizeof(value));
  }
  static void SetText(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text) {
    Set(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  // The stored bytes; false when the value is missing.
  static bool Get(HKEY root, const wchar_t* path, const wchar_t* name, std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG result = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size);
    data.assign(size, 0);
    if (result == ERROR_SUCCESS) result = RegQueryValueExW(key, name, nullptr, nullptr, data.data(), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
  }
  static DWORD GetDword(HKEY root, const wchar_t* path, const wchar_t* name) {
    std::vector<BYTE> data;
    DWORD value = 0xBADF00D;  // missing or not four bytes
    if (Get(root, path, name, data) && data.size() == sizeof(value)) memcpy(&value, data.data(), sizeof(value));
    return value;
  }
  // Text without its final zero; a multi-string keeps its separators.
  static std::wstring GetText(HKEY root, const wchar_t* path, const wchar_t* name) {
    std::vector<BYTE> data;
    if (!Get(root, path, name, data)) return L"<missing>";
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
  }

 private:
  static HKEY Create(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
  }

  std::wstring path_;
  HKEY machine_ = nullptr;
  HKEY user_ = nullptr;
};

}  // namespace tarnwick::testing
