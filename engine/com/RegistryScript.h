// Registry scripts: the keys a server writes on registration and removes on
// unregistration, kept as text resources of type "REGISTRY".
//
// Syntax (one script may hold several root blocks):
//
//   # comment to the end of the line
//   HKCR {
//     keep "CLSID" {                          keep: never removed
//       fresh "{...}" = "MOState Class" {     fresh: removed and rewritten on registration
//         "InprocServer32" = "%MODULE%" {     a key with its default value
//           value "ThreadingModel" = "Apartment"
//         }
//         fresh "Programmable"                a key without a default value
//       }
//     }
//   }
//
// Texts are in double quotes and hold no double quote; %NAME% is replaced by
// the variable NAME (an unknown name is an error). Every value is a string.
// Registration creates each key, sets its default value and values; removal
// deletes each key that is not marked keep, with everything below it, and
// walks into keep keys to remove what the script lists there.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::com {

enum class ScriptMode { Register, Unregister };

using ScriptVariables = std::map<std::wstring, std::wstring>;

struct RegistryEntry {
  enum class Kind { Key, Value };
  enum class Flag { Normal, Keep, Fresh };
  Kind kind = Kind::Key;
  Flag flag = Flag::Normal;
  std::wstring name;
  bool hasData = false;  // a key's default value, or a value's text
  std::wstring data;
  std::vector<RegistryEntry> children;
};

struct RegistryScript {
  std::vector<RegistryEntry> roots;  // entries under HKCR
};

// Parses a script. On failure returns false and, when `error` is given, a
// message naming the line.
bool ParseRegistryScript(std::wstring_view text, const ScriptVariables& variables, RegistryScript* script,
                         std::wstring* error);

// Applies a parsed script below `classesRoot` (HKEY_CLASSES_ROOT, or a
// scratch key in tests). Returns the first failure; removal of something that
// is not there is no failure, and removal goes on after a failure.
HRESULT ApplyRegistryScript(const RegistryScript& script, ScriptMode mode, HKEY classesRoot);

// Loads the "REGISTRY" resource `id` of `module` (UTF-8 text), parses and
// applies it. A script that does not parse changes nothing.
HRESULT RunRegistryResource(HMODULE module, UINT id, const ScriptVariables& variables, ScriptMode mode,
                            HKEY classesRoot);

}  // namespace tarnwick::com
