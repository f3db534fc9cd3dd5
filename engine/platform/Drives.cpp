#include "platform/Drives.h"

namespace tarnwick::platform {

namespace {
class Win32Drives : public Drives {
 public:
  bool LogicalDriveRoots(std::vector<std::wstring>& roots) override {
    roots.clear();
    DWORD needed = GetLogicalDriveStringsW(0, nullptr);
    if (needed == 0) return false;
    // A drive may appear between the two calls; one extra unit keeps the list terminated.
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    DWORD written = GetLogicalDriveStringsW(needed, buffer.data());
    if (written == 0 || written >= needed) return false;
    for (const wchar_t* root = buffer.data(); *root; root += wcslen(root) + 1) roots.emplace_back(root);
    return true;
  }

  UINT DriveType(const wchar_t* root) override { return GetDriveTypeW(root); }

  bool DiskSpace(const wchar_t* root, uint64_t* availableToCaller, uint64_t* total) override {
    ULARGE_INTEGER available = {}, bytes = {};
    bool ok = GetDiskFreeSpaceExW(root, &available, &bytes, nullptr) != FALSE;
    *availableToCaller = ok ? available.QuadPart : 0;
    *total = ok ? bytes.QuadPart : 0;
    return ok;
  }

  bool VolumeName(const wchar_t* root, wchar_t* name, DWORD chars) override {
    if (chars == 0) return false;
    name[0] = L'\0';
    if (GetVolumeInformationW(root, name, chars, nullptr, nullptr, nullptr, nullptr, 0)) {
      name[chars - 1] = L'\0';
      return true;
    }
    name[0] = L'\0';
    return false;
  }
};
}  // namespace

Drives& RealDrives() {
  static Win32Drives drives;
  return drives;
}

}  // namespace tarnwick::platform
