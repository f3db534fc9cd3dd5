// Where the engine finds HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER. Tests
// point both at scratch keys of the current user, so no machine-wide value is
// ever touched by a test run.
#pragma once

#include <windows.h>

namespace tarnwick::platform {

class RegistryRoot {
 public:
  virtual ~RegistryRoot() = default;
  // Handles that stay open for the seam's life; callers never close them.
  virtual HKEY LocalMachine() = 0;
  virtual HKEY CurrentUser() = 0;
};

// The predefined roots themselves.
RegistryRoot& RealRegistryRoot();

}  // namespace tarnwick::platform
