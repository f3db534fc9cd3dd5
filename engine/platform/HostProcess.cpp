#include "platform/HostProcess.h"

namespace tarnwick::platform {

namespace {

class Win32HostProcess final : public HostProcess {
 public:
  bool EnablePrivilege(const wchar_t* privilege, DWORD tokenAccess) override {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), tokenAccess, &token)) return false;
    TOKEN_PRIVILEGES wanted = {};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = LookupPrivilegeValueW(nullptr, privilege, &wanted.Privileges[0].Luid) &&
              AdjustTokenPrivileges(token, FALSE, &wanted, sizeof(wanted), nullptr, nullptr);
    CloseHandle(token);
    return ok;
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
