#include "MODefrag.h"

#include <exception>
#include <functional>
#include <vector>

#include "EngineMessages.h"
#include "MOConfig.h"
#include "MOGameHelper.h"
#include "MOProcessItem.h"
#include "MOProcessList.h"
#include "MORulesList.h"
#include "MOState.h"

namespace tarnwick {

namespace {

// `fraction` (0..1) as a percent byte: times 100, plus 0.5, truncated.
BYTE Percent(double fraction) { return static_cast<BYTE>(static_cast<unsigned>(fraction * 100.0 + 0.5)); }

// Clears a busy flag when the run ends, however it ends.
class BusyRun {
 public:
  explicit BusyRun(std::atomic<bool>& flag) : flag_(flag) {}
  ~BusyRun() { flag_ = false; }
  BusyRun(const BusyRun&) = delete;
  BusyRun& operator=(const BusyRun&) = delete;

 private:
  std::atomic<bool>& flag_;
};

}  // namespace

// One run's progress messages: 0 first, then each new value below 100 as it
// is reached, 100 last. A value is posted only when it rises, so a run of a
// million blocks posts at most 101 messages and the pump's queue never
// fills up and drops the final 100.
class CMODefrag::Progress {
 public:
  Progress(DWORD thread, UINT message) : thread_(thread), message_(message) { PostToPump(thread_, message_, 0); }
  void Report(BYTE value) {
    if (value >= 100 || value <= last_) return;
    last_ = value;
    PostToPump(thread_, message_, value);
  }
  void Finish() { PostToPump(thread_, message_, 100); }

 private:
  DWORD thread_;
  UINT message_;
  BYTE last_ = 0;
};

CMODefrag::CMODefrag() : CMODefrag(Seams{}) {}

CMODefrag::CMODefrag(const Seams& seams)
    : processSystem_(seams.processes ? *seams.processes : platform::RealProcessSystem()),
      blocks_(seams.blocks ? *seams.blocks : platform::RealMemoryBlocks()),
      clipboard_(seams.clipboard ? *seams.clipboard : platform::RealClipboardEmptying()),
      waits_(seams.waits ? *seams.waits : platform::RealWorkerWaits()) {}

CMODefrag::~CMODefrag() { Stop(); }

void CMODefrag::Link(const Links& links) { links_ = links; }

void CMODefrag::Stop() {
  stopping_ = true;
  break_ = true;
  threads_.Close();
  autoCompress_ = nullptr;  // closed with the group
  autoFree_ = nullptr;
}

// ===== Starting the workers ====================================================
// The busy flag is taken here, before the thread exists: a second request
// while one runs does nothing and still succeeds, and a thread that cannot
// be created gives the flag back.

bool CMODefrag::StartFastFree() {
  if (!Linked()) return false;
  if (fastFreeBusy_.exchange(true)) return true;
  if (threads_.Start([this](HANDLE) { RunFastFree(); })) return true;
  fastFreeBusy_ = false;
  return false;
}

bool CMODefrag::StartDeepCompress() {
  if (!Linked()) return false;
  break_ = false;  // a new request lifts an earlier break, also for a run in progress
  if (deepCompressBusy_.exchange(true)) return true;
  if (threads_.Start([this](HANDLE) { RunDeepCompress(); })) return true;
  deepCompressBusy_ = false;
  return false;
}

STDMETHODIMP CMODefrag::FastFree(VARIANT_BOOL) {
  // The argument changes nothing: the rules the settings switch on apply.
  return com::Barrier([&] { return com::Done(StartFastFree()); });
}

STDMETHODIMP CMODefrag::DeepCompress() {
  return com::Barrier([&] { return com::Done(StartDeepCompress()); });
}

STDMETHODIMP CMODefrag::BreakOutFromDeepCompress() {
  return com::Barrier([&] {
    break_ = true;
    return S_OK;
  });
}

STDMETHODIMP CMODefrag::CleanClipboard() {
  return com::Barrier([&] {
    if (!clipboard_.OpenUnowned()) return S_FALSE;
    const bool emptied = clipboard_.Empty();
    clipboard_.Close();
    return com::Done(emptied);
  });
}

// ===== Fast free ===============================================================

void CMODefrag::RunFastFree() {
  BusyRun busy(fastFreeBusy_);
  // A copy taken under the list's lock: a refresh during the walk can
  // neither free an item under it nor change the count.
  const std::vector<ProcessSnapshot> processes = links_.processes->Snapshot();
  Progress progress(eventThread_, kMsgFastFreeProgress);
  const size_t count = processes.size();
  for (size_t k = 1; k <= count && !Stopping(); ++k) {
    const ProcessSnapshot& process = processes[k - 1];
    if (ShouldTrim(process.processId, process.name, process.cpu)) {
      TrimProcessById(processSystem_, process.processId);  // a protected or ended process is passed over
    }
    progress.Report(Percent(static_cast<double>(k) / static_cast<double>(count)));
  }
  progress.Finish();
}

bool CMODefrag::ShouldTrim(DWORD processId, const std::wstring& name, uint8_t cpu) const {
  if (processId == 0 || processId == 4) return false;  // the idle process and the system
  if (links_.gameHelper && links_.gameHelper->InGame()) return !links_.gameHelper->IsGameProcess(name.c_str());
  const CMOConfig& config = *links_.config;
  if (config.IsCheckBlackList() && !(links_.blackList && links_.blackList->Contains(name.c_str()))) return false;
  if (config.IsCheckWhiteList() && links_.whiteList && links_.whiteList->Contains(name.c_str())) return false;
  if (config.IsCheckSmartList() && links_.smartList && links_.smartList->Contains(name.c_str())) return false;
  if (config.IsCheckIdleList() && cpu != 0) return false;
  return true;
}

// ===== Deep compress ===========================================================

void CMODefrag::RunDeepCompress() {
  BusyRun busy(deepCompressBusy_);
  const CMOConfig& config = *links_.config;
  uint64_t size = config.ManualCompressSize();
  const unsigned rounds = config.ManualCompressLevel();

  CMOState& state = *links_.state;
  state.Refresh();
  const uint64_t available = state.AvailablePhysical();
  if (config.IsCPUProtection() && state.TotalCpuUsage() > config.CPUProtectionValue()) return;
  if (size == 0 || rounds == 0) return;  // refused runs report nothing
  if (size >= available) size = available;

  Progress progress(eventThread_, kMsgDeepCompressProgress);
  const uint64_t blocks = size / kBlockBytes;
  for (unsigned round = 0; blocks != 0 && round < rounds; ++round) {
    if (!CompressRound(round, rounds, blocks, progress)) break;
  }
  progress.Finish();
}

// One round: commit and write `blocks` blocks one by one, then release them
// all. False when the round ended early (break, stop, or a block that could
// not be committed); the remaining rounds are then skipped.
bool CMODefrag::CompressRound(unsigned round, unsigned rounds, uint64_t blocks, Progress& progress) {
  std::vector<void*> committed;
  bool complete = true;
  try {
    committed.reserve(static_cast<size_t>(blocks));
  } catch (const std::exception&) {
    return false;  // the table itself does not fit: nothing to commit into
  }
  const double total = static_cast<double>(rounds) * static_cast<double>(blocks);
  for (uint64_t block = 0; block < blocks; ++block) {
    if (break_ || Stopping()) {
      complete = false;
      break;
    }
    void* memory = blocks_.Commit(kBlockBytes);
    if (!memory) {  // address space or commit limit used up: never write through null
      complete = false;
      break;
    }
    committed.push_back(memory);
    blocks_.Touch(memory, kBlockBytes);
    progress.Report(Percent(static_cast<double>(block + 1) / total + static_cast<double>(round) / rounds));
  }
  for (void* memory : committed) blocks_.Release(memory);
  return complete;
}

// ===== Automatic threads =======================================================
// Each round reads the settings anew. A thread whose feature is off waits
// for a settings change rather than polling; every wait ends at once on
// Stop.

void CMODefrag::StartAutomaticThreads() {
  if (!Linked()) return;
  autoCompress_ = threads_.StartKept([this](HANDLE stop) { RunAutoCompress(stop); });
  autoFree_ = threads_.StartKept([this](HANDLE stop) { RunAutoFree(stop); });
}

bool CMODefrag::WaitForSettingChange(HANDLE stop, HANDLE changed) {
  // Without an event of its own the thread falls back to a short poll.
  return changed ? waits_.WaitForChange(stop, changed) : waits_.Sleep(stop, 1);
}

namespace {

// An auto-reset event that the settings set on every change, for one
// thread's life.
class SettingsWatch {
 public:
  explicit SettingsWatch(CMOConfig& config) : config_(config), event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    config_.WatchChanges(event_.Get());
  }
  ~SettingsWatch() { config_.UnwatchChanges(event_.Get()); }
  SettingsWatch(const SettingsWatch&) = delete;
  SettingsWatch& operator=(const SettingsWatch&) = delete;
  HANDLE Event() const { return event_.Get(); }

 private:
  CMOConfig& config_;
  kit::Handle event_;
};

}  // namespace

void CMODefrag::RunAutomatic(HANDLE stop, bool (CMOConfig::*isOn)() const, const std::function<bool()>& round) {
  CMOConfig& config = *links_.config;
  SettingsWatch watch(config);
  while (!Stopping()) {
    const bool carryOn = (config.*isOn)() ? round() : WaitForSettingChange(stop, watch.Event());
    if (!carryOn) break;
  }
}

void CMODefrag::RunAutoCompress(HANDLE stop) {
  const CMOConfig& config = *links_.config;
  RunAutomatic(stop, &CMOConfig::IsAutoCompress, [&] {
    if (links_.gameHelper && links_.gameHelper->InGame()) return waits_.Sleep(stop, 1);
    if (!waits_.Sleep(stop, config.AutoCompressTimer())) return false;
    links_.state->Refresh();
    if (links_.state->AvailablePhysical() < config.AutoCompressAlarm()) {
      StartDeepCompress();  // threads that cannot start are skipped
      StartFastFree();
    }
    return true;
  });
}

void CMODefrag::RunAutoFree(HANDLE stop) {
  const CMOConfig& config = *links_.config;
  RunAutomatic(stop, &CMOConfig::IsAutoFree, [&] {
    if (!waits_.Sleep(stop, config.AutoFreeTimer())) return false;
    StartFastFree();  // the flag is not read again first
    return true;
  });
}

// ===== Autorun task ============================================================

bool CMODefrag::StartAutorunTask() {
  if (!Linked()) return false;
  if (links_.config->IsFreeOnceOnCPUIdle()) return threads_.Start([this](HANDLE stop) { RunFreeOnceOnIdle(stop); });
  if (links_.config->IsFreeOnceOnTimer()) return threads_.Start([this](HANDLE stop) { RunFreeOnceOnTimer(stop); });
  return false;
}

void CMODefrag::RunFreeOnceOnIdle(HANDLE stop) {
  // Reads the figure that the last refresh of State left; it does not
  // refresh State itself. The figure changes only with a sample, so the
  // thread looks again after each one rather than every millisecond.
  kit::Handle sampled(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!sampled) return;
  links_.state->WatchSamples(sampled.Get());
  auto unwatch = kit::OnExit([&] { links_.state->UnwatchSamples(sampled.Get()); });
  while (links_.state->TotalCpuUsage() != 0) {
    if (!waits_.WaitForChange(stop, sampled.Get())) return;
  }
  StartFastFree();
}

void CMODefrag::RunFreeOnceOnTimer(HANDLE stop) {
  if (waits_.Sleep(stop, links_.config->FreeOnceOnTimer())) StartFastFree();
}

}  // namespace tarnwick
