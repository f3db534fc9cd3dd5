// The engine's one exception type, and how failures the contract swallows
// are still told to a debugger.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace tarnwick {

// A failed Windows call: the operation's name and the Win32 error.
class Win32Error : public std::exception {
 public:
  Win32Error(const char* operation, DWORD code) noexcept : operation_(operation), code_(code) {}

  const char* what() const noexcept override { return operation_; }
  const char* Operation() const noexcept { return operation_; }
  DWORD Code() const noexcept { return code_; }
  // The system's text for the code, or "Error <code>" when it has none.
  std::wstring Message() const;

 private:
  const char* operation_;
  DWORD code_;
};

// The system's text for a Win32 error, or "Error <code>".
std::wstring ErrorText(DWORD code);

// A failure that no caller sees (a settings, list or registry write the
// contract lets pass), told to a debugger with OutputDebugStringW as
// "Tarnwick: <what> failed: <error text> (<code>)". Never throws.
void ReportFailure(const std::wstring& what, DWORD code) noexcept;

// An exception stopped at the engine's edge, told the same way without
// allocating anything (the exception may be the lack of memory).
void ReportException(const char* where, const char* what) noexcept;

}  // namespace tarnwick
