#include "platform/WorkerWaits.h"

namespace tarnwick::platform {
namespace {

class Win32WorkerWaits final : public WorkerWaits {
 public:
  bool Sleep(HANDLE stop, DWORD milliseconds) override {
    return WaitForSingleObject(stop, milliseconds) == WAIT_TIMEOUT;
  }
  bool WaitForChange(HANDLE stop, HANDLE changed) override {
    HANDLE events[] = {stop, changed};  // stop first: it wins when both are set
    return WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
  }
};

}  // namespace

WorkerWaits& RealWorkerWaits() {
  static Win32WorkerWaits instance;
  return instance;
}

}  // namespace tarnwick::platform
