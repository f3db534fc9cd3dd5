#include "platform/RegistryRoot.h"

namespace tarnwick::platform {

namespace {
class Win32RegistryRoot : public RegistryRoot {
 public:
  HKEY LocalMachine() override { return HKEY_LOCAL_MACHINE; }
  HKEY CurrentUser() override { return HKEY_CURRENT_USER; }
};
}  // namespace

RegistryRoot& RealRegistryRoot() {
  static Win32RegistryRoot root;
  return root;
}

}  // namespace tarnwick::platform
