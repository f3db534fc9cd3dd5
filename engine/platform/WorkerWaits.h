// Seam: how the engine's background threads wait. Every wait ends early when
// the thread's stop event is signalled, so destruction never waits out a
// sleep; tests replace the clock.
#pragma once

#include <windows.h>

namespace tarnwick::platform {

class WorkerWaits {
 public:
  virtual ~WorkerWaits() = default;
  // Waits `milliseconds`; false when `stop` was signalled first.
  virtual bool Sleep(HANDLE stop, DWORD milliseconds) = 0;
  // Waits until `changed` is signalled; false when `stop` was signalled first.
  virtual bool WaitForChange(HANDLE stop, HANDLE changed) = 0;
};

// WaitForSingleObject / WaitForMultipleObjects on the events.
WorkerWaits& RealWorkerWaits();

}  // namespace tarnwick::platform
