#include "platform/MemoryStatus.h"

#include <windows.h>

namespace tarnwick::platform {
namespace {

class Win32MemoryStatus final : public MemoryStatus {
 public:
  bool Query(MemoryFigures* out) override {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    if (!out || !GlobalMemoryStatusEx(&status)) return false;
    out->totalPhysical = status.ullTotalPhys;
    out->availablePhysical = status.ullAvailPhys;
    out->totalPagingFile = status.ullTotalPageFile;
    out->availablePagingFile = status.ullAvailPageFile;
    return true;
  }
};

}  // namespace

MemoryStatus& RealMemoryStatus() {
  static Win32MemoryStatus instance;
  return instance;
}

}  // namespace tarnwick::platform
