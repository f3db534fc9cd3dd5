#include "platform/ServiceControl.h"

#include <vector>

namespace tarnwick::platform {

namespace {

class RealServices final : public ServiceControl {
 public:
  SC_HANDLE OpenManager(DWORD access) override { return OpenSCManagerW(nullptr, nullptr, access); }
  SC_HANDLE OpenNamedService(SC_HANDLE manager, const wchar_t* name, DWORD access) override {
    return ::OpenServiceW(manager, name, access);
  }
  bool QueryStatus(SC_HANDLE service, SERVICE_STATUS& status) override {
    return QueryServiceStatus(service, &status) != FALSE;
  }

  bool StartType(SC_HANDLE service, DWORD& startType) override {
    DWORD needed = 0;
    if (QueryServiceConfigW(service, nullptr, 0, &needed)) return false;  // no size: nothing to read
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return false;
    std::vector<unsigned char> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!QueryServiceConfigW(service, config, needed, &needed)) return false;
    startType = config->dwStartType;
    return true;
  }

  bool SetStartType(SC_HANDLE service, DWORD startType) override {
    return ChangeServiceConfigW(service, SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr) != FALSE;
  }

  bool Start(SC_HANDLE service) override { return StartServiceW(service, 0, nullptr) != FALSE; }
  // The seam's own release: its callers hold the handles it opens.
  void Close(SC_HANDLE handle) override {
    if (handle) CloseServiceHandle(handle);
  }
  ULONGLONG Ticks() override { return GetTickCount64(); }
  bool Sleep(HANDLE stop, DWORD milliseconds) override {
    if (!stop) {
      ::Sleep(milliseconds);
      return true;
    }
    return WaitForSingleObject(stop, milliseconds) == WAIT_TIMEOUT;
  }
};

}  // namespace

ServiceControl& RealServiceControl() {
  static RealServices real;
  return real;
}

}  // namespace tarnwick::platform
