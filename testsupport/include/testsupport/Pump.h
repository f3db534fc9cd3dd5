// The test thread's message loop, run by hand. Through the application
// object when there is one (so keys reach controls as the program's own loop
// hands them on), straight to the window procedures otherwise.
#pragma once

#include <windows.h>

#include <functional>

#include "gui/Forms.h"
#include "testsupport/Messages.h"

namespace testsupport {

// Handles every message waiting now, then once more for the ones they post
// (a popup a click opens, a character a key press makes).
inline void Pump() {
  for (int round = 0; round < 2; ++round) {
    if (gui::Application)
      gui::Application->ProcessMessages();
    else
      HandleMessages();
  }
}

// Handles messages as they come until done() holds; false when it still
// does not after limitMs. The limit only keeps a broken test from hanging:
// nothing is asserted about time.
inline bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 60000) {
  return HandleMessagesUntil(done, limitMs, Pump);
}

}  // namespace testsupport
