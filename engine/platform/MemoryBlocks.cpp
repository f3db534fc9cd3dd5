#include "platform/MemoryBlocks.h"

#include <windows.h>

#include <cstdint>

namespace tarnwick::platform {
namespace {

class Win32MemoryBlocks final : public MemoryBlocks {
 public:
  void* Commit(size_t bytes) override { return VirtualAlloc(nullptr, bytes, MEM_COMMIT, PAGE_READWRITE | PAGE_NOCACHE); }
  void Touch(void* block, size_t bytes) override {
    auto* word = static_cast<uint32_t*>(block);
    for (size_t i = 0, n = bytes / sizeof(uint32_t); i < n; ++i) word[i] = 0;
  }
  void Release(void* block) override { VirtualFree(block, 0, MEM_RELEASE); }
};

}  // namespace

MemoryBlocks& RealMemoryBlocks() {
  static Win32MemoryBlocks instance;
  return instance;
}

}  // namespace tarnwick::platform
