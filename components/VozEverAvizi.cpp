#include "VozEverAvizi.h"

#include "PathChecks.h"
#include "VeeSysTools.h"

#include <windows.h>

#ifndef BRIMVALE_VERSION_TEXT
#define BRIMVALE_VERSION_TEXT "0.0.0"
#endif

namespace components {

#define LANG_TEXT(name, text) std::string name = text;
#include "LangKeys.inc"

std::vector<LANG_FILE> LangFileList;

namespace {

constexpr char kSection[] = "LANGUAGE";
constexpr char kNameKey[] = "NAME";
constexpr char kDefaultKey[] = "DEFAULT";
constexpr char kDefaultBaseName[] = "Default";
constexpr char kExtension[] = "lng";
constexpr char kFolderName[] = "Lang\\";
// The platform reads one value into this many characters, terminator included.
constexpr DWORD kValueChars = 2048;

struct BuiltInText {
  const char* key;
  std::string* variable;
  const char* text;
};

const BuiltInText kBuiltIn[] = {
#define LANG_TEXT(name, text) {#name, &name, text},
#include "LangKeys.inc"
};

std::vector<LANG_ITEM> gItems;
std::vector<std::string> gDefaults;  // decoded built-in texts, index for index with gItems

std::string ReadIniString(const std::string& path, const char* key, const char* missing) {
  std::string buffer(kValueChars, '\0');
  DWORD n = GetPrivateProfileStringA(kSection, key, missing, buffer.data(), kValueChars, path.c_str());
  buffer.resize(n < kValueChars ? n : kValueChars - 1);
  return buffer;
}

// Whether the section holds the key at all, whatever its value.
bool HasKey(const std::string& path, const char* key) {
  std::string names(4096, '\0');
  for (;;) {
    DWORD n = GetPrivateProfileStringA(kSection, nullptr, "", names.data(),
                                       static_cast<DWORD>(names.size()), path.c_str());
    if (n + 2 < names.size()) {
      names.resize(n);
      break;
    }
    names.resize(names.size() * 2);
  }
  for (size_t at = 0; at < names.size();) {
    const char* name = names.c_str() + at;
    if (lstrcmpiA(name, key) == 0) return true;
    at += strlen(name) + 1;
  }
  return false;
}

// The directory search's mask also matches longer extensions through short
// file names ("x.lngold" is "X~1.LNG"); only the extension itself counts.
bool HasLanguageExtension(const std::string& path) {
  size_t dot = path.find_last_of(".\\");
  return dot != std::string::npos && path[dot] == '.' &&
         lstrcmpiA(path.c_str() + dot + 1, kExtension) == 0;
}

}  // namespace

void RegisterLangItem(const std::string& key, std::string& text) {
  gItems.push_back({key, &text});
  gDefaults.push_back(EscapeLangText(text));
}

const std::vector<LANG_ITEM>& LangItems() { return gItems; }

void InitializeLanguages() {
  gItems.clear();
  gDefaults.clear();
  for (const BuiltInText& builtIn : kBuiltIn) {
    *builtIn.variable = builtIn.text;
    RegisterLangItem(builtIn.key, *builtIn.variable);
  }
  ScanLanguageFiles();
}

void FinalizeLanguages() {
  for (LANG_ITEM& item : gItems) item.Text->clear();
  gItems.clear();
  gDefaults.clear();
  LangFileList.clear();
}

void ScanLanguageFiles() {
  const std::string program = GetProgramFolder();
  if (program.empty()) {
    LangFileList.assign(1, LANG_FILE{});
    return;
  }
  const std::string folder = program + kFolderName;
  if (!vee::DirectoryExists(folder)) CreateDirectoryA(folder.c_str(), nullptr);  // a failure lists nothing
  ScanLanguageFolder(folder);
}

void ScanLanguageFolder(const std::string& folder) {
  LangFileList.assign(1, LANG_FILE{});  // index 0 always exists
  const std::vector<std::string> exclusions = {"Desktop.ini", "Thumbs.db",
                                               std::string(kDefaultBaseName) + "." + kExtension};
  std::vector<std::string> paths;
  ListFiles(paths, folder, std::string("*.") + kExtension, &exclusions);
  for (const std::string& path : paths) {
    if (!HasLanguageExtension(path)) continue;
    std::string name = ReadLangName(path);
    if (vee::TrimBlanks(name).empty()) continue;
    LANG_FILE file{name, path};
    if (IsDefaultLangFile(path))
      LangFileList[0] = file;  // a later default replaces an earlier one
    else
      LangFileList.push_back(file);
  }
}

bool LoadLanguage(int index) {
  if (index < 0 || index >= static_cast<int>(LangFileList.size())) return false;
  const LANG_FILE& file = LangFileList[index];
  if (index == 0 && file.IsPlaceholder()) {
    for (size_t i = 0; i < gItems.size(); ++i) *gItems[i].Text = gDefaults[i];
    return !gItems.empty();
  }
  if (!vee::FileExists(file.Path)) return false;
  for (LANG_ITEM& item : gItems) {
    if (vee::TrimBlanks(item.Key).empty()) continue;
    *item.Text = EscapeLangText(ReadIniString(file.Path, item.Key.c_str(), ""));
  }
  return true;
}

std::string EscapeLangText(const std::string& text) {
  const std::string trimmed = vee::TrimBlanks(text);
  std::string out;
  out.reserve(trimmed.size());
  for (size_t at = 0; at < trimmed.size();) {
    if (trimmed.compare(at, 3, "#13") == 0) {
      out += "\r\n";
      at += 3;
    } else {
      out += trimmed[at++];
    }
  }
  return out;
}

std::string ReadLangName(const std::string& path) {
  if (!vee::FileExists(path)) return std::string();
  return ReadIniString(path, kNameKey, "");
}

bool IsDefaultLangFile(const std::string& path) {
  return vee::FileExists(path) && HasKey(path, kNameKey) && ReadIniString(path, kDefaultKey, "0") == "1";
}

std::string FormatLangText(const std::string& pattern, const std::vector<std::string>& values) {
  std::string out;
  size_t next = 0;
  for (size_t at = 0; at < pattern.size(); ++at) {
    if (pattern[at] == '%' && at + 1 < pattern.size()) {
      if (pattern[at + 1] == 's') {
        if (next < values.size()) out += values[next];
        ++next;
        ++at;
        continue;
      }
      if (pattern[at + 1] == '%') {
        out += '%';
        ++at;
        continue;
      }
    }
    out += pattern[at];
  }
  return out;
}

}  // namespace components
