#include "EngineError.h"

#include <cstdio>
#include <cwchar>

#include <kit/Own.h>

namespace tarnwick {

std::wstring ErrorText(DWORD code) {
  wchar_t text[512] = {};
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 511, nullptr);
  // A code the system has no text for ends here instead of chasing the
  // lookup's own error code.
  if (length == 0 || length > 511) {
    swprintf(text, 512, L"Error %lu", static_cast<unsigned long>(code));
    return text;
  }
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L' ')) {
    text[--length] = L'\0';
  }
  return std::wstring(text, length);
}

std::wstring Win32Error::Message() const { return ErrorText(code_); }

void ReportFailure(const std::wstring& what, DWORD code) noexcept {
  const DWORD lastError = GetLastError();  // the caller may still want it
  auto restore = kit::OnExit([lastError] { SetLastError(lastError); });
  try {
    const std::wstring line =
        L"Tarnwick: " + what + L" failed: " + ErrorText(code) + L" (" + std::to_wstring(code) + L")\n";
    OutputDebugStringW(line.c_str());
  } catch (...) {
    ReportException("ReportFailure", "out of memory");
  }
}

void ReportException(const char* where, const char* what) noexcept {
  char line[256];
  std::snprintf(line, sizeof(line), "Tarnwick: %s stopped an exception: %s\n", where, what ? what : "");
  OutputDebugStringA(line);
}

}  // namespace tarnwick
