// This thread's message queue handled by hand, with nothing of the class
// library: the engine's tests use it as it stands, the window tests through
// Pump.h.
#pragma once

#include <windows.h>

#include <functional>

namespace testsupport {

// Handles every message waiting for this thread now.
inline void HandleMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Waits for messages and handles them (with `handle`) until done() holds;
// false when it still does not after limitMs. The limit only keeps a broken
// test from hanging: nothing is asserted about time.
inline bool HandleMessagesUntil(const std::function<bool()>& done, DWORD limitMs = 60000,
                                const std::function<void()>& handle = HandleMessages) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    handle();
  }
  return true;
}

}  // namespace testsupport
