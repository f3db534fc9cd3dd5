// Seam: the system's physical memory and commit (paging-file) figures.
#pragma once

#include <cstdint>

namespace tarnwick::platform {

struct MemoryFigures {
  uint64_t totalPhysical = 0;
  uint64_t availablePhysical = 0;
  uint64_t totalPagingFile = 0;
  uint64_t availablePagingFile = 0;
};

class MemoryStatus {
 public:
  virtual ~MemoryStatus() = default;
  // False when the figures could not be read; `out` is then unspecified.
  virtual bool Query(MemoryFigures* out) = 0;
};

// GlobalMemoryStatusEx.
MemoryStatus& RealMemoryStatus();

}  // namespace tarnwick::platform
