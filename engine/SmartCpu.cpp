#include "SmartCpu.h"

#include <algorithm>

#include "EngineMessages.h"
#include "MOProcessItem.h"

namespace tarnwick {
namespace {

// The idle and system processes are never adjusted.
bool IsSystemProcess(DWORD processId) { return processId == 0 || processId == 4; }

// SYNCHRONIZE lets the kept handle tell whether its process has ended.
constexpr DWORD kAdjustAccess = SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_SET_INFORMATION;
constexpr DWORD kReadAccess = SYNCHRONIZE | PROCESS_QUERY_INFORMATION;

}  // namespace

SmartCpu::SmartCpu(platform::ProcessSystem& processes) : processes_(processes) {}

SmartCpu::~SmartCpu() { LowerAll(); }

void SmartCpu::Observe(DWORD processId, unsigned range) {
  std::lock_guard<std::mutex> lock(lock_);
  if (processId == lastForeground_) return;
  lastForeground_ = processId;
  HandleChangeLocked(processId, std::min(range, kMaxRange));
}

void SmartCpu::HandleChangeLocked(DWORD processId, unsigned range) {
  if (IsSystemProcess(processId)) return;

  // After the range was lowered, what lies beyond it is lowered now, oldest
  // first, rather than forgotten while still raised.
  while (boosts_.size() > range) DropLocked(boosts_.size() - 1, true);
  if (range == 0) return;

  auto listed = std::find_if(boosts_.begin(), boosts_.end(), [&](const Boost& b) { return b.id == processId; });
  if (listed != boosts_.end() && processes_.HasEnded(listed->process)) {
    // The identifier belongs to a new process now; the ended one needs no
    // lowering, and the new one is handled as never seen.
    processes_.Close(listed->process);
    boosts_.erase(listed);
    listed = boosts_.end();
  }
  if (listed != boosts_.end()) {
    // Back in front without a second raise.
    const Boost boost = *listed;
    boosts_.erase(listed);
    boosts_.insert(boosts_.begin(), boost);
    Post(processId, true);
    return;
  }

  HANDLE process = processes_.Open(kAdjustAccess, processId);
  // A process that lets us read but not set is still listed: its raise fails
  // silently, as a refused write does.
  if (!process) process = processes_.Open(kReadAccess, processId);
  const _MO_PROCESS_PRIORIT priority = ReadPriority(process);
  if (priority == MO_PP_UNKNOWN || priority == MO_PP_HIGH || priority == MO_PP_REALTIME) {
    if (process) processes_.Close(process);
    return;
  }
  if (boosts_.size() >= range) DropLocked(boosts_.size() - 1, true);
  boosts_.insert(boosts_.begin(), Boost{processId, process});
  Step(process, priority, +1);
  Post(processId, true);
}

void SmartCpu::DropLocked(size_t place, bool post) {
  const Boost boost = boosts_[place];
  Step(boost.process, ReadPriority(boost.process), -1);
  if (post) Post(boost.id, false);
  processes_.Close(boost.process);
  boosts_.erase(boosts_.begin() + static_cast<std::ptrdiff_t>(place));
}

void SmartCpu::LowerAll() {
  std::lock_guard<std::mutex> lock(lock_);
  while (!boosts_.empty()) DropLocked(0, false);
}

std::vector<DWORD> SmartCpu::Listed() const {
  std::lock_guard<std::mutex> lock(lock_);
  std::vector<DWORD> ids;
  for (const Boost& b : boosts_) ids.push_back(b.id);
  return ids;
}

_MO_PROCESS_PRIORIT SmartCpu::ReadPriority(HANDLE process) {
  return process ? PriorityOfClass(processes_.PriorityClass(process)) : MO_PP_UNKNOWN;
}

void SmartCpu::Step(HANDLE process, _MO_PROCESS_PRIORIT from, int by) {
  // A priority that cannot be read is left alone, and there is no step
  // below idle or above real time.
  if (from == MO_PP_UNKNOWN) return;
  const int to = static_cast<int>(from) + by;
  if (to < MO_PP_IDLE || to > MO_PP_REALTIME) return;
  processes_.SetPriorityClass(process, PriorityClassOf(static_cast<_MO_PROCESS_PRIORIT>(to)));
}

void SmartCpu::Post(DWORD processId, bool raised) {
  PostToPump(eventThread_.load(), kMsgSmartCpuTune, processId, raised ? 1 : 0);
}

}  // namespace tarnwick
