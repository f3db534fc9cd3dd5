#include "MOState.h"

#include <algorithm>
#include <limits>

#include <kit/Own.h>

namespace tarnwick {
namespace {

// Formats whose data handle is a GDI object or no handle at all; GlobalSize
// must not be asked about them.
bool IsMemoryBlockFormat(UINT format) {
  switch (format) {
    case CF_BITMAP:
    case CF_DSPBITMAP:
    case CF_PALETTE:
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE:
    case CF_OWNERDISPLAY:
      return false;
    default:
      return format < CF_GDIOBJFIRST || format > CF_GDIOBJLAST;
  }
}

}  // namespace

CMOState::CMOState()
    : CMOState(platform::RealMemoryStatus(), platform::RealProcessorCounters(), platform::RealClipboard()) {}

CMOState::CMOState(platform::MemoryStatus& memory, platform::ProcessorCounters& counters,
                   platform::Clipboard& clipboard)
    : memory_(memory), clipboard_(clipboard) {
  SetUpCounters(counters);
  SampleMemory();
  // The first processor sample only starts the measuring interval.
  SampleProcessors();
}

CMOState::~CMOState() = default;

void CMOState::SetUpCounters(platform::ProcessorCounters& counters) {
  query_ = counters.OpenQuery();
  if (!query_) return;
  const unsigned n = counters.ProcessorCount();
  if (n == 0) return;
  processors_ = n > 255 ? 255 : n;
  usage_ = std::make_unique<std::atomic<uint8_t>[]>(processors_ + 1);
  for (unsigned i = 0; i <= processors_; ++i) usage_[i].store(0);
  if (!query_->AddCounter(-1)) return;
  countersAdded_ = 1;
  if (processors_ < 2) return;
  // Counter k is processor k, the system's instance k - 1.
  for (unsigned k = 1; k <= processors_; ++k) {
    if (!query_->AddCounter(static_cast<int>(k - 1))) return;
    countersAdded_ = k + 1;
  }
}

_MO_MEMORY_STATE CMOState::GradeOf(uint64_t used, uint64_t total) {
  const int percent = static_cast<int>(static_cast<double>(used) * 100.0 / static_cast<double>(total) + 0.5);
  if (percent < 40) return MO_MS_GREAT;
  if (percent < 70) return MO_MS_GOOD;
  if (percent < 90) return MO_MS_MEDIUM;
  return MO_MS_BAD;
}

bool CMOState::SampleMemory() {
  platform::MemoryFigures figures;
  // A failed query or a total of 0 would grade nonsense (or divide by zero):
  // keep the previous sample.
  if (!memory_.Query(&figures) || figures.totalPhysical == 0) return false;
  const uint64_t total = figures.totalPhysical;
  const uint64_t available = figures.availablePhysical;
  const uint64_t used = total > available ? total - available : 0;
  const uint64_t pagingTotal = figures.totalPagingFile;
  const uint64_t pagingAvailable = figures.availablePagingFile;
  totalPhysical_.store(total);
  availablePhysical_.store(available);
  usedPhysical_.store(used);
  totalPagingFile_.store(pagingTotal);
  availablePagingFile_.store(pagingAvailable);
  usedPagingFile_.store(pagingTotal > pagingAvailable ? pagingTotal - pagingAvailable : 0);
  grade_.store(GradeOf(used, total));
  return true;
}

bool CMOState::SampleProcessors() {
  // Watchers hear of every sample, also of one that changes nothing.
  auto tell = kit::OnExit([this] {
    std::lock_guard<std::mutex> lock(watchersLock_);
    for (HANDLE event : watchers_) SetEvent(event);
  });
  if (!query_ || !usage_) return false;
  std::lock_guard<std::mutex> lock(sampling_);
  if (!query_->Collect()) return false;
  for (unsigned i = 0; i <= processors_; ++i) {
    if (i == 1 && processors_ == 1) {  // one processor: no counter of its own
      usage_[1].store(usage_[0].load());
      continue;
    }
    long percent = 0;
    if (i >= countersAdded_ || !query_->Read(i, &percent)) return false;
    usage_[i].store(static_cast<uint8_t>(percent < 0 ? 0 : percent > 100 ? 100 : percent));
  }
  return true;
}

uint8_t CMOState::TotalCpuUsage() const { return usage_ ? usage_[0].load() : 0; }

void CMOState::WatchSamples(HANDLE event) {
  if (!event) return;
  std::lock_guard<std::mutex> lock(watchersLock_);
  watchers_.push_back(event);
}

void CMOState::UnwatchSamples(HANDLE event) {
  std::lock_guard<std::mutex> lock(watchersLock_);
  watchers_.erase(std::remove(watchers_.begin(), watchers_.end(), event), watchers_.end());
}

ULONG CMOState::MeasureClipboard() {
  if (!clipboard_.Open()) return 0;
  uint64_t sum = 0;
  for (UINT format = clipboard_.NextFormat(0); format != 0; format = clipboard_.NextFormat(format)) {
    if (IsMemoryBlockFormat(format)) sum += clipboard_.BlockSize(format);
  }
  clipboard_.Close();
  const uint64_t most = std::numeric_limits<ULONG>::max();
  return static_cast<ULONG>(sum < most ? sum : most);
}

STDMETHODIMP CMOState::Refresh() {
  return com::Barrier([&] {
    SampleMemory();
    SampleProcessors();
    return S_OK;
  });
}

STDMETHODIMP CMOState::get_CPUUsage(unsigned char Index, unsigned char *pVal) {
  return com::Barrier([&] {
    const bool known = usage_ && Index <= processors_;
    return com::Out(pVal, known ? usage_[Index].load() : 0, com::Done(known));
  });
}

STDMETHODIMP CMOState::get_MemoryState(_MO_MEMORY_STATE *pVal) { return com::Get(pVal, Grade()); }
STDMETHODIMP CMOState::get_TotalPhysicalMemory(UINT64 *pVal) { return com::Get(pVal, totalPhysical_.load()); }
STDMETHODIMP CMOState::get_UsedPhysicalMemory(UINT64 *pVal) { return com::Get(pVal, usedPhysical_.load()); }
STDMETHODIMP CMOState::get_AvailPhysicalMemory(UINT64 *pVal) { return com::Get(pVal, availablePhysical_.load()); }
STDMETHODIMP CMOState::get_TotalPagingFile(UINT64 *pVal) { return com::Get(pVal, totalPagingFile_.load()); }
STDMETHODIMP CMOState::get_UsedPagingFile(UINT64 *pVal) { return com::Get(pVal, usedPagingFile_.load()); }
STDMETHODIMP CMOState::get_AvailPagingFile(UINT64 *pVal) { return com::Get(pVal, availablePagingFile_.load()); }
STDMETHODIMP CMOState::get_ClipboardSize(ULONG *pVal) {
  return com::Barrier([&] { return com::Out(pVal, MeasureClipboard()); });
}

}  // namespace tarnwick
