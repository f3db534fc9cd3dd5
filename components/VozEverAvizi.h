// The program's language strings: one global text per string, registered
// under its LANG_ key with a built-in English text, and the language files
// ("*.lng" in "Lang\" under the program folder) that replace them all at once.
// Texts are 8-bit text in the system code page; "#13" in a stored text stands
// for a line break. A text is data: never pass one as a format pattern (see
// FormatLangText).
#pragma once

#include <string>
#include <vector>

namespace components {

#define LANG_TEXT(name, text) extern std::string name;
#include "LangKeys.inc"

// One registered text: its key and the variable it governs.
struct LANG_ITEM {
  std::string Key;
  std::string* Text;
};

// One language file: its display name as read (untrimmed) and its full path.
// The record at index 0 with an empty path is the placeholder that stands for
// the built-in English texts.
struct LANG_FILE {
  std::string Name;
  std::string Path;
  bool IsPlaceholder() const { return Path.empty(); }
};

// The languages, built by ScanLanguageFiles; index 0 is the default language
// file if one declares itself so, else the placeholder. The language menu's
// positions and the stored language index are indexes into this list.
extern std::vector<LANG_FILE> LangFileList;

// Registers every language string with its built-in English text and scans
// the language files. Call once at start-up, before any form is created;
// calling it again starts over from the built-in texts.
void InitializeLanguages();

// Frees the registrations and the file list and empties every text.
void FinalizeLanguages();

// Registers one more text; its present value, decoded, becomes its default.
void RegisterLangItem(const std::string& key, std::string& text);

// The registered texts, in registration order.
const std::vector<LANG_ITEM>& LangItems();

// Builds LangFileList from "Lang\" under the program folder (created if missing).
void ScanLanguageFiles();

// The same for any folder (given with its trailing backslash).
void ScanLanguageFolder(const std::string& folder);

// Applies the language at `index` of LangFileList, or restores the built-in
// English for the placeholder. False when the index is out of range or the
// file is gone; then no text changes.
bool LoadLanguage(int index);

// Decodes one stored text: trims blanks and control characters, then turns
// each "#13" into a line break.
std::string EscapeLangText(const std::string& text);

// The NAME value of a language file as the platform reads it; empty when the
// file, its [LANGUAGE] section or its NAME key is missing.
std::string ReadLangName(const std::string& path);

// True when the file exists, has a NAME key and its DEFAULT value is exactly "1".
bool IsDefaultLangFile(const std::string& path);

// Fills a language text that holds "%s" placeholders (LANG_ABOUT_CAPTION)
// with `values` in order: "%%" gives "%", a placeholder without a value gives
// nothing, and every other character, "%" included, is copied as it is.
std::string FormatLangText(const std::string& pattern, const std::vector<std::string>& values);

}  // namespace components
