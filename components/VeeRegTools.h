// String values at a registry path given as one text: root name, backslash,
// sub-key ("HKEY_CURRENT_USER\Software\..." or "HKCU/Software/..."). All text
// is 8-bit text in the system code page.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace components {

// A registry write that the system refused; its message names the value.
class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The predefined root key of a full or short root name ("HKEY_CURRENT_USER",
// "HKCU", ...), compared with letter case; 0 for any other text.
HKEY RootKeyFromName(const std::string& name);

// Splits a path at its first backslash ("/" counts as one). Without any, the
// root name is empty and the sub-key is the whole path. A blank path leaves
// both outputs as they are.
void SplitRegistryPath(const std::string& path, std::string& rootName, std::string& subKey);

// Writes `data` as a string value when the value exists already or `force` is
// set (force also creates the key). False when nothing was written because the
// key could not be opened or the value is absent without force. Throws
// ERegistryException when the system refuses the write itself.
bool WriteRegString(const std::string& path, const std::string& valueName, const std::string& data,
                    bool force);

// Deletes a value. True when it is gone, absent values included; false when
// the key does not exist or the deletion failed.
bool DeleteRegValue(const std::string& path, const std::string& valueName);

}  // namespace components
