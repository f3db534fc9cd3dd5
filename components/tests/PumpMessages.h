// Handles the thread's messages until a condition holds. The time limit only
// keeps a broken test from hanging; nothing is asserted about time.
#pragma once

#include <windows.h>

#include <functional>

inline bool PumpMessagesUntil(const std::function<bool()>& done, DWORD limitMs = 10000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}
