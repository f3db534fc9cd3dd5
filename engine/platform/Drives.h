// The drives of the machine: roots, types, space and volume labels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::platform {

class Drives {
 public:
  virtual ~Drives() = default;
  // Root strings ("C:\") in the system's order; false when they cannot be listed.
  virtual bool LogicalDriveRoots(std::vector<std::wstring>& roots) = 0;
  // A DRIVE_* constant (DRIVE_FIXED for local hard disks).
  virtual UINT DriveType(const wchar_t* root) = 0;
  // Bytes free for the caller and bytes on the drive; false (both 0) on failure.
  virtual bool DiskSpace(const wchar_t* root, uint64_t* availableToCaller, uint64_t* total) = 0;
  // The volume label into `name` (`chars` units, terminated); false (empty) on failure.
  virtual bool VolumeName(const wchar_t* root, wchar_t* name, DWORD chars) = 0;
};

Drives& RealDrives();

}  // namespace tarnwick::platform
