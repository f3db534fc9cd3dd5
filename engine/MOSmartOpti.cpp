#include "MOSmartOpti.h"

#include <algorithm>

#include "MOConfig.h"
#include "MOGameHelper.h"
#include "MORulesList.h"
#include "SharedRoutines.h"
#include "UnicodeFiles.h"

namespace tarnwick {
namespace {

std::wstring LearningFileIn(const std::wstring& programFolder) {
  std::wstring folder = programFolder;
  if (folder.empty()) {
    wchar_t module[kFolderChars];
    if (ModuleFolder(module)) folder = module;
  }
  return JoinPath(folder, L"Config\\smart.ini");
}

}  // namespace

CMOSmartOpti::CMOSmartOpti() : CMOSmartOpti(Seams{}) {}

CMOSmartOpti::CMOSmartOpti(Seams seams)
    : foreground_(seams.foreground ? *seams.foreground : platform::RealForegroundWindow()),
      processes_(seams.processes ? *seams.processes : platform::RealProcessSystem()),
      wait_(seams.wait ? *seams.wait : platform::RealStopWait()),
      learning_(LearningFileIn(seams.programFolder), seams.clock ? *seams.clock : platform::RealLocalClock(),
                seams.files ? *seams.files : platform::RealFileWrites()),
      cpu_(processes_) {}

CMOSmartOpti::~CMOSmartOpti() { Stop(); }

void CMOSmartOpti::PruneLearning() {
  // A period of 0 (possible only by editing the settings file) would delete
  // every day learned; it means one day, as the setting's own put has it.
  if (config_) learning_.Prune(std::max<unsigned>(config_->SmartLearningPeriod(), 1));
}

bool CMOSmartOpti::StartLearningThread() {
  if (!smartList_) return false;
  return StartWorker(learningWorker_, [this](HANDLE stop) {
    unsigned samples = 0;
    RunWhileActive(
        stop, learningWorker_.changed.Get(), [this] { return config_->IsSmartLearning(); },
        [this] { return static_cast<DWORD>(config_->SmartLearningTimer()); },
        [this, &samples] { SampleForeground(samples); });
  });
}

bool CMOSmartOpti::StartCpuThread() {
  return StartWorker(cpuWorker_, [this](HANDLE stop) {
    RunWhileActive(
        stop, cpuWorker_.changed.Get(), [this] { return config_->IsSmartCPU(); }, [] { return kCpuPollMs; },
        [this] { cpu_.Observe(foreground_.ProcessId(), config_->SmartCPURange()); });
  });
}

void CMOSmartOpti::SampleForeground(unsigned& samples) {
  learning_.Count(ExecutableNameOf(processes_, foreground_.ProcessId()));
  if (++samples < kSamplesPerRebuild) return;
  samples = 0;
  learning_.Rebuild(*smartList_, config_->SmartLearningRecord());
}

bool CMOSmartOpti::InGame() const { return game_ && game_->InGame(); }

void CMOSmartOpti::RunWhileActive(HANDLE stop, HANDLE changed, const std::function<bool()>& enabled,
                                  const std::function<DWORD()>& interval, const std::function<void()>& step) {
  for (;;) {
    if (!enabled()) {
      // Switched off: nothing to do until a setting changes.
      if (!wait_.Sleep(stop, changed, INFINITE)) return;
      continue;
    }
    if (InGame()) {
      if (!wait_.Sleep(stop, changed, kGamePollMs)) return;
      continue;
    }
    if (!wait_.Sleep(stop, nullptr, interval())) return;
    // The setting or the game may have changed during the sleep.
    if (enabled() && !InGame()) step();
  }
}

bool CMOSmartOpti::StartWorker(Worker& worker, WorkerThread::Body body) {
  if (worker.thread.Handle()) return true;
  if (!config_ || stopped_) return false;
  worker.changed.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!worker.changed) return false;
  config_->WatchChanges(worker.changed.Get());
  if (worker.thread.Start(std::move(body))) return true;
  config_->UnwatchChanges(worker.changed.Get());
  worker.changed.Reset();
  return false;
}

void CMOSmartOpti::JoinWorker(Worker& worker) {
  if (!worker.changed) return;  // never started
  worker.thread.Join();
  config_->UnwatchChanges(worker.changed.Get());
  worker.changed.Reset();
}

void CMOSmartOpti::Stop() {
  stopped_ = true;
  // Both at once, then each is waited for.
  learningWorker_.thread.RequestStop();
  cpuWorker_.thread.RequestStop();
  JoinWorker(learningWorker_);
  JoinWorker(cpuWorker_);
  // Only now: a running CPU thread could raise a process after the lowering.
  cpu_.LowerAll();
}

STDMETHODIMP CMOSmartOpti::UpdateSmartList() {
  return com::Barrier([&] {
    if (!smartList_ || !config_) return S_FALSE;  // an object without its engine
    learning_.Rebuild(*smartList_, config_->SmartLearningRecord());
    return S_OK;
  });
}

STDMETHODIMP CMOSmartOpti::ResetSmartLearning() {
  return com::Barrier([&] {
    learning_.Reset();
    return S_OK;
  });
}

STDMETHODIMP CMOSmartOpti::ResetCPUList() {
  return com::Barrier([&] {
    cpu_.LowerAll();
    return S_OK;
  });
}

}  // namespace tarnwick
