// The service control manager, as the process list uses it to make sure the
// terminal-services service runs. Tests replace it with a fake.
#pragma once

#include <windows.h>

namespace tarnwick::platform {

class ServiceControl {
 public:
  virtual ~ServiceControl() = default;

  virtual SC_HANDLE OpenManager(DWORD access) = 0;  // local machine; null on failure
  virtual SC_HANDLE OpenNamedService(SC_HANDLE manager, const wchar_t* name, DWORD access) = 0;
  virtual bool QueryStatus(SC_HANDLE service, SERVICE_STATUS& status) = 0;
  // Reads the configuration and gives its start type.
  virtual bool StartType(SC_HANDLE service, DWORD& startType) = 0;
  // Changes the start type, leaving the rest of the configuration as it is.
  virtual bool SetStartType(SC_HANDLE service, DWORD startType) = 0;
  virtual bool Start(SC_HANDLE service) = 0;
  virtual void Close(SC_HANDLE handle) = 0;

  // The clock and the pause of the status polling; the pause ends early,
  // giving false, once `stop` (may be null) is signalled.
  virtual ULONGLONG Ticks() = 0;
  virtual bool Sleep(HANDLE stop, DWORD milliseconds) = 0;
};

ServiceControl& RealServiceControl();

}  // namespace tarnwick::platform
