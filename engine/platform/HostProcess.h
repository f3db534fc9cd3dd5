// The process and machine the engine runs in: token privileges, the engine's
// own working set, and the reboot request. Tests pass a fake so that nothing
// reboots and Wine's stubs decide nothing.
#pragma once

#include <windows.h>

namespace tarnwick::platform {

class HostProcess {
 public:
  virtual ~HostProcess() = default;

  // Enables one privilege (e.g. SE_DEBUG_NAME) in the process token, opened
  // with `tokenAccess`. True when the adjustment call succeeded.
  virtual bool EnablePrivilege(const wchar_t* privilege, DWORD tokenAccess) = 0;

  // Asks the system to remove as many pages as possible from this process's
  // working set.
  virtual bool TrimOwnWorkingSet() = 0;

  // ExitWindowsEx with these flags and reason.
  virtual bool RequestExitWindows(UINT flags, DWORD reason) = 0;
};

// The Win32 implementation, shared by the whole process.
HostProcess& RealHostProcess();

}  // namespace tarnwick::platform
