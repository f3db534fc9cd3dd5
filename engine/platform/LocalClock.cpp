#include "platform/LocalClock.h"

namespace tarnwick::platform {
namespace {

class Win32LocalClock final : public LocalClock {
 public:
  SYSTEMTIME Now() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
  }
};

}  // namespace

LocalClock& RealLocalClock() {
  static Win32LocalClock instance;
  return instance;
}

}  // namespace tarnwick::platform
