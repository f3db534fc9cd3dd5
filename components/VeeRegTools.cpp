#include "VeeRegTools.h"

#include "PathChecks.h"
#include "kit/Own.h"

namespace components {

namespace {

struct RootName {
  const char* full;
  const char* brief;
  HKEY key;
};

const RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", "HKU", HKEY_USERS},
    {"HKEY_PERFORMANCE_DATA", "HKPD", HKEY_PERFORMANCE_DATA},
    {"HKEY_CURRENT_CONFIG", "HKCC", HKEY_CURRENT_CONFIG},
    {"HKEY_DYN_DATA", "HKDD", HKEY_DYN_DATA},
};

// Opens the key that `path` names, or none. `create` makes missing keys.
kit::RegKey OpenPathKey(const std::string& path, REGSAM access, bool create) {
  std::string rootName, subKey;
  SplitRegistryPath(path, rootName, subKey);
  HKEY root = RootKeyFromName(rootName);
  if (!root) return {};
  kit::RegKey key;
  LONG result = create ? RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         access, nullptr, key.Out(), nullptr)
                       : RegOpenKeyExA(root, subKey.c_str(), 0, access, key.Out());
  if (result != ERROR_SUCCESS) return {};
  return key;
}

bool ValueExists(HKEY key, const std::string& valueName) {
  return RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace

HKEY RootKeyFromName(const std::string& name) {
  for (const RootName& root : kRoots)
    if (name == root.full || name == root.brief) return root.key;
  return nullptr;
}

void SplitRegistryPath(const std::string& path, std::string& rootName, std::string& subKey) {
  if (vee::TrimBlanks(path).empty()) return;
  std::string normal = path;
  for (char& c : normal)
    if (c == '/') c = '\\';
  size_t slash = normal.find('\\');
  if (slash == std::string::npos) {
    rootName.clear();
    subKey = normal;
  } else {
    rootName = normal.substr(0, slash);
    subKey = normal.substr(slash + 1);
  }
}

bool WriteRegString(const std::string& path, const std::string& valueName, const std::string& data,
                    bool force) {
  // Write access alone cannot ask whether the value exists: query it too.
  // Without force nothing is written, so a missing key is not created either.
  kit::RegKey key = OpenPathKey(path, KEY_WRITE | KEY_QUERY_VALUE, force);
  if (!key) return false;
  if (!force && !ValueExists(key.Get(), valueName)) return false;
  LONG result = RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(data.c_str()),
                               static_cast<DWORD>(data.size() + 1));
  if (result != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + valueName + "'");
  return true;
}

bool DeleteRegValue(const std::string& path, const std::string& valueName) {
  // Only the rights the deletion needs, so keys that refuse full access still work.
  kit::RegKey key = OpenPathKey(path, KEY_QUERY_VALUE | KEY_SET_VALUE, false);
  if (!key) return false;
  return !ValueExists(key.Get(), valueName) || RegDeleteValueA(key.Get(), valueName.c_str()) == ERROR_SUCCESS;
}

}  // namespace components
