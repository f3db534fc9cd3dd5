// MOState: one snapshot of physical memory, paging file (commit), the memory
// grade and processor usage in total and per processor. Refresh replaces the
// snapshot; engine threads read it without a lock, so every figure is an
// atomic and a reader may see a mix of two samples.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "TarnwickLib.h"
#include "com/DispatchObject.h"
#include "platform/Clipboard.h"
#include "platform/MemoryStatus.h"
#include "platform/ProcessorCounters.h"

namespace tarnwick {

class CMOState : public com::DispatchObject<CMOState, IMOState> {
 public:
  // Opens the counter query and takes the first sample.
  CMOState();
  CMOState(platform::MemoryStatus& memory, platform::ProcessorCounters& counters,
           platform::Clipboard& clipboard);
  ~CMOState() override;

  // IMOState
  STDMETHODIMP Refresh() override;
  STDMETHODIMP get_CPUUsage(unsigned char Index, unsigned char *pVal) override;
  STDMETHODIMP get_MemoryState(_MO_MEMORY_STATE *pVal) override;
  STDMETHODIMP get_TotalPhysicalMemory(UINT64 *pVal) override;
  STDMETHODIMP get_UsedPhysicalMemory(UINT64 *pVal) override;
  STDMETHODIMP get_AvailPhysicalMemory(UINT64 *pVal) override;
  STDMETHODIMP get_TotalPagingFile(UINT64 *pVal) override;
  STDMETHODIMP get_UsedPagingFile(UINT64 *pVal) override;
  STDMETHODIMP get_AvailPagingFile(UINT64 *pVal) override;
  STDMETHODIMP get_ClipboardSize(ULONG *pVal) override;

  // For the engine. A failed sample keeps the previous figures.
  bool SampleMemory();
  bool SampleProcessors();
  unsigned ProcessorCount() const { return processors_; }
  uint8_t TotalCpuUsage() const;  // 0 without counters
  // `event` is set after every processor sample, until unwatched: a reader
  // of the figures waits for a new one instead of polling.
  void WatchSamples(HANDLE event);
  void UnwatchSamples(HANDLE event);
  uint64_t TotalPhysical() const { return totalPhysical_.load(); }
  uint64_t AvailablePhysical() const { return availablePhysical_.load(); }
  _MO_MEMORY_STATE Grade() const { return static_cast<_MO_MEMORY_STATE>(grade_.load()); }
  ULONG MeasureClipboard();

  // Grade of `used` out of `total` bytes; total must not be 0.
  static _MO_MEMORY_STATE GradeOf(uint64_t used, uint64_t total);

 private:
  void SetUpCounters(platform::ProcessorCounters& counters);

  platform::MemoryStatus& memory_;
  platform::Clipboard& clipboard_;

  unsigned processors_ = 0;  // n; usage_ holds n + 1 bytes when counters exist
  std::unique_ptr<platform::ProcessorTimeQuery> query_;
  size_t countersAdded_ = 0;
  std::unique_ptr<std::atomic<uint8_t>[]> usage_;
  std::mutex sampling_;  // one processor sample at a time on the query
  std::mutex watchersLock_;
  std::vector<HANDLE> watchers_;

  std::atomic<int> grade_{MO_MS_GREAT};
  std::atomic<uint64_t> totalPhysical_{0};
  std::atomic<uint64_t> usedPhysical_{0};
  std::atomic<uint64_t> availablePhysical_{0};
  std::atomic<uint64_t> totalPagingFile_{0};
  std::atomic<uint64_t> usedPagingFile_{0};
  std::atomic<uint64_t> availablePagingFile_{0};
};

}  // namespace tarnwick
