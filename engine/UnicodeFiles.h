// Whole-file reading and writing of the engine's UTF-16LE data files. A
// write that fails tells a debugger what failed and why.
#pragma once

#include <string>

namespace tarnwick {

// Folder and file name joined; a backslash is added after the folder when
// missing. An empty folder gives an empty path.
std::wstring JoinPath(const std::wstring& folder, const wchar_t* relative);

// Creates the folder that holds `path` when it is missing (one level).
void CreateParentFolder(const std::wstring& path);

bool FileExists(const std::wstring& path);

// Creates `path` as an empty UTF-16LE file (byte-order mark only) unless
// something exists there already. True when a new file was made.
bool CreateEmptyUnicodeFile(const std::wstring& path);

// The whole text of a file: UTF-16LE after the mark FF FE, else UTF-8 (with
// or without its mark). False when the file cannot be opened or read.
bool ReadUnicodeText(const std::wstring& path, std::wstring* text);

// True when `path` is a file the user marked read-only. The engine never
// writes such a file, as Windows itself refuses to.
bool IsReadOnlyFile(const std::wstring& path);

// Writes FF FE and `text` as UTF-16LE to a temporary file beside `path`, then
// moves it into place; the file keeps its attributes. A read-only file is
// not replaced (ERROR_ACCESS_DENIED). On failure the file at `path` is left as
// it was.
bool ReplaceWithUnicodeText(const std::wstring& path, const std::wstring& text);

// WritePrivateProfileStringW (a null `key` deletes the section), except
// that a read-only file is left alone (ERROR_ACCESS_DENIED).
bool WriteProfileValue(const std::wstring& path, const wchar_t* section, const wchar_t* key, const wchar_t* value);

}  // namespace tarnwick
