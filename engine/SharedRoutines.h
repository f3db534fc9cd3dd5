// Small routines shared by the engine's objects.
#pragma once

#include <windows.h>
#include <cstdint>

namespace tarnwick {

constexpr DWORD kFolderChars = MAX_PATH;  // 260 UTF-16 code units

// Folder of the current process's executable (not of this DLL), with the
// trailing backslash. Fills `folder` (kFolderChars units); false and an empty
// buffer on failure or a null buffer.
bool ModuleFolder(wchar_t* folder);

// Windows folder, system folder and the system folder's drive, each with a
// trailing backslash; any output may be null. Each non-null output holds
// kFolderChars units. False when either system call failed.
bool SystemFolders(wchar_t* windowsFolder, wchar_t* systemFolder, wchar_t* systemDrive);

// Replaces `search` with `replacement` in the string held in `text`
// (`bufferBytes` bytes), at most `count` times (UINT32_MAX: all). The search
// restarts at the beginning after each replacement. A replacement that would
// not fit into the buffer is not made. Returns the number of replacements.
uint32_t ReplaceText(wchar_t* text, size_t bufferBytes, const wchar_t* search,
                     const wchar_t* replacement, uint32_t count);

// True for null or a string of spaces only (tabs count as content).
bool IsBlank(const wchar_t* text);

}  // namespace tarnwick
