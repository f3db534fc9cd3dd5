// Which process owns the window the user works in. Tests replace it with a
// scripted sequence of processes.
#pragma once

#include <windows.h>

namespace tarnwick::platform {

class ForegroundWindow {
 public:
  virtual ~ForegroundWindow() = default;
  // Process that owns the foreground window; 0 when there is none.
  virtual DWORD ProcessId() = 0;
};

// GetForegroundWindow and GetWindowThreadProcessId.
ForegroundWindow& RealForegroundWindow();

}  // namespace tarnwick::platform
