// Seam: the large blocks a deep compress commits, writes and releases, so
// tests can run compresses without touching the machine's memory.
#pragma once

#include <cstddef>

namespace tarnwick::platform {

class MemoryBlocks {
 public:
  virtual ~MemoryBlocks() = default;
  // Commits `bytes` of read-write, uncached memory at an address of the
  // system's choice; null when it cannot be committed.
  virtual void* Commit(size_t bytes) = 0;
  // Writes zeros over the whole block, so every page of it is really used.
  virtual void Touch(void* block, size_t bytes) = 0;
  virtual void Release(void* block) = 0;
};

// VirtualAlloc with MEM_COMMIT and PAGE_READWRITE | PAGE_NOCACHE, VirtualFree
// with MEM_RELEASE.
MemoryBlocks& RealMemoryBlocks();

}  // namespace tarnwick::platform
