#include "platform/ShellLaunch.h"

#include <shellapi.h>

namespace tarnwick::platform {

namespace {

class RealShell final : public ShellLaunch {
 public:
  INT_PTR Execute(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters) override {
    return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, verb, file, parameters, nullptr, SW_SHOWNORMAL));
  }

  HICON SmallIcon(const wchar_t* path, int& imageIndex) override {
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON)) return nullptr;
    imageIndex = info.iIcon;
    return info.hIcon;
  }
};

}  // namespace

ShellLaunch& RealShellLaunch() {
  static RealShell real;
  return real;
}

}  // namespace tarnwick::platform
