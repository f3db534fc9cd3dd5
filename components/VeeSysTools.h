// Process, file and lock routines shared by the program. All text is 8-bit
// text in the system code page. None of them shows a message: failures come
// back as false, 0 or null.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace components {

// Enables one privilege in the access token of `process` (null: the current
// process). False when the name is unknown, the token cannot be opened or
// adjusted, or the token does not hold the privilege.
bool EnablePrivilege(const std::string& privilegeName, HANDLE process);

// Folder of the running program's file, with its trailing backslash.
std::string GetProgramFolder();

// Appends the full paths of the files in `folder` matching `mask` to `list`
// (directories never) and returns the list's count afterwards. Names equal to
// one of `exclusions` without regard to case are skipped; null means none.
// A missing folder gives 0 and leaves the list alone.
int ListFiles(std::vector<std::string>& list, const std::string& folder, const std::string& mask,
              const std::vector<std::string>* exclusions);

// Opens a file, folder or address with the shell's "open" verb.
void ShellOpen(const std::string& target);

// The time-out value that means no limit.
constexpr DWORD kNoTimeLimit = 0xFFFFFFFF;

// Takes the lock of that name, shared across threads and processes: the lock
// is the existence of the named mutex. Null when the time-out ran out first
// (or the mutex cannot be created at all).
HANDLE WaitForNamedMutex(const std::string& name, DWORD timeoutMs);

// Gives the lock back: releases the mutex and closes the handle.
void ReleaseNamedMutex(HANDLE mutex);

}  // namespace components
