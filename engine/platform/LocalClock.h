// The local calendar date and time, so tests can pick the day a sample
// belongs to.
#pragma once

#include <windows.h>

namespace tarnwick::platform {

class LocalClock {
 public:
  virtual ~LocalClock() = default;
  virtual SYSTEMTIME Now() = 0;
};

// GetLocalTime.
LocalClock& RealLocalClock();

}  // namespace tarnwick::platform
