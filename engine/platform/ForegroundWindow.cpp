#include "platform/ForegroundWindow.h"

namespace tarnwick::platform {
namespace {

class Win32ForegroundWindow final : public ForegroundWindow {
 public:
  DWORD ProcessId() override {
    HWND window = GetForegroundWindow();
    if (!window) return 0;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
  }
};

}  // namespace

ForegroundWindow& RealForegroundWindow() {
  static Win32ForegroundWindow instance;
  return instance;
}

}  // namespace tarnwick::platform
