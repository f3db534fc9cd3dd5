#include "platform/StopWait.h"

namespace tarnwick::platform {
namespace {

class Win32StopWait final : public StopWait {
 public:
  bool Sleep(HANDLE stop, HANDLE wake, DWORD ms) override {
    const HANDLE handles[2] = {stop, wake};
    const DWORD result = WaitForMultipleObjects(wake ? 2 : 1, handles, FALSE, ms);
    // A failed wait would turn the caller's loop into a spin; end it instead.
    return result != WAIT_OBJECT_0 && result != WAIT_FAILED;
  }
};

}  // namespace

StopWait& RealStopWait() {
  static Win32StopWait instance;
  return instance;
}

}  // namespace tarnwick::platform
