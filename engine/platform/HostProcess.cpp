#include "platform/HostProcess.h"

#include <kit/Own.h>

namespace tarnwick::platform {

namespace {

class Win32HostProcess final : public HostProcess {
 public:
  bool EnablePrivilege(const wchar_t* privilege, DWORD tokenAccess) override {
    kit::Handle token;
    if (!OpenProcessToken(GetCurrentProcess(), tokenAccess, token.Out())) return false;
    TOKEN_PRIVILEGES wanted = {};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    return LookupPrivilegeValueW(nullptr, privilege, &wanted.Privileges[0].Luid) &&
           AdjustTokenPrivileges(token.Get(), FALSE, &wanted, sizeof(wanted), nullptr, nullptr);
  }

  bool TrimOwnWorkingSet() override {
    return SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
  }

  bool RequestExitWindows(UINT flags, DWORD reason) override { return ExitWindowsEx(flags, reason); }
};

}  // namespace

HostProcess& RealHostProcess() {
  static Win32HostProcess host;
  return host;
}

}  // namespace tarnwick::platform
