// Sleeping of the engine's background threads: every sleep is a wait that a
// stop event cuts short, so a thread ends at once when its owner asks.
// Tests replace it to count and shorten the waits.
#pragma once

#include <windows.h>

namespace tarnwick::platform {

class StopWait {
 public:
  virtual ~StopWait() = default;
  // Waits `ms` milliseconds (INFINITE: until an event), returning earlier
  // when `stop` or `wake` (may be null) is signalled. False when `stop` was
  // signalled or the wait failed: the thread must end.
  virtual bool Sleep(HANDLE stop, HANDLE wake, DWORD ms) = 0;
};

// WaitForMultipleObjects.
StopWait& RealStopWait();

}  // namespace tarnwick::platform
