// The registry as the pages' saves touch it: the keys of the tuning values
// and the autorun entry, read as the tests compare them, and put back as
// they were when a test ends.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kit/Own.h"

namespace harness {

inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kExplorerKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr char kMemoryKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
inline constexpr char kExecutiveKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Executive";
inline constexpr char kFileSystemKey[] = "SYSTEM\\CurrentControlSet\\Control\\FileSystem";
inline constexpr char kPriorityKey[] = "SYSTEM\\CurrentControlSet\\Control\\PriorityControl";
inline constexpr char kEffectsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\VisualEffects";

// Every value of a key, as name and raw data, in the key's order.
inline std::vector<std::pair<std::string, std::string>> Values(HKEY root, const char* path) {
  std::vector<std::pair<std::string, std::string>> values;
  kit::RegKey key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return values;
  for (DWORD i = 0;; ++i) {
    char name[512];
    BYTE data[2048];
    DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
    if (RegEnumValueA(key.Get(), i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    values.emplace_back(name, std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dataSize));
  }
  return values;
}

inline std::optional<std::string> RegText(HKEY root, const char* path, const char* name) {
  char data[1024] = {};
  DWORD size = sizeof(data);
  if (RegGetValueA(root, path, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return std::nullopt;
  return std::string(data);
}

inline std::optional<DWORD> RegNumber(HKEY root, const char* path, const char* name) {
  DWORD data = 0, size = sizeof(data);
  if (RegGetValueA(root, path, name, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS) return std::nullopt;
  return data;
}

inline bool KeyExists(HKEY root, const char* path) {
  kit::RegKey key;
  return RegOpenKeyExA(root, path, 0, KEY_READ, key.Out()) == ERROR_SUCCESS;
}

// Puts back, when it goes, the keys it was given: their values, or their
// absence.
class TRegistryKeeper {
 public:
  TRegistryKeeper(std::initializer_list<std::pair<HKEY, const char*>> keys) {
    for (auto [root, path] : keys) kept_.push_back({root, path, KeyExists(root, path), Values(root, path)});
  }
  ~TRegistryKeeper() {
    for (const Kept& k : kept_) {
      if (!k.existed) {
        RegDeleteTreeA(k.root, k.path);
        RegDeleteKeyA(k.root, k.path);
        continue;
      }
      kit::RegKey key;
      if (RegCreateKeyExA(k.root, k.path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Out(), nullptr) != ERROR_SUCCESS)
        continue;
      for (const auto& [name, value] : Values(k.root, k.path)) RegDeleteValueA(key.Get(), name.c_str());
      for (const auto& [name, value] : k.values) {
        const std::size_t colon = value.find(':');
        const DWORD type = std::stoul(value.substr(0, colon));
        const std::string data = value.substr(colon + 1);
        RegSetValueExA(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
      }
    }
  }
  TRegistryKeeper(const TRegistryKeeper&) = delete;
  TRegistryKeeper& operator=(const TRegistryKeeper&) = delete;

 private:
  struct Kept {
    HKEY root;
    const char* path;
    bool existed;
    std::vector<std::pair<std::string, std::string>> values;
  };
  std::vector<Kept> kept_;
};

}  // namespace harness
