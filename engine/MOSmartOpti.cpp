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
      cpu_(processes_),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CMOSmartOpti::~CMOSmartOpti() {
  Stop();
  if (stop_) CloseHandle(stop_);
}

void CMOSmartOpti::PruneLearning() {
  // A period of 0 (possible only by editing the settings file) would delete
  // every day learned; it means one day, as the setting's own put has it.
  if (config_) learning_.Prune(std::max<unsigned>(config_->SmartLearningPeriod(), 1));
}

bool CMOSmartOpti::StartLearningThread() {
  if (!smartList_) return false;
  return StartWorker(learningWorker_, [this] {
    unsigned samples = 0;
    RunWhileActive(
        learningWorker_.changed, [this] { return config_->IsSmartLearning(); },
        [this] { return static_cast<DWORD>(config_->SmartLearningTimer()); },
        [this, &samples] { SampleForeground(samples); });
  });
}

bool CMOSmartOpti::StartCpuThread() {
  return StartWorker(cpuWorker_, [this] {
    RunWhileActive(
        cpuWorker_.changed, [this] { return config_->IsSmartCPU(); }, [] { return kCpuPollMs; },
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

void CMOSmartOpti::RunWhileActive(HANDLE changed, const std::function<bool()>& enabled,
                                  const std::function<DWORD()>& interval, const std::function<void()>& step) {
  for (;;) {
    if (!enabled()) {
      // Switched off: nothing to do until a setting changes.
      if (!wait_.Sleep(stop_, changed, INFINITE)) return;
      continue;
    }
    if (InGame()) {
      if (!wait_.Sleep(stop_, changed, kGamePollMs)) return;
      continue;
    }
    if (!wait_.Sleep(stop_, nullptr, interval())) return;
    // The setting or the game may have changed during the sleep.
    if (enabled() && !InGame()) step();
  }
}

bool CMOSmartOpti::StartWorker(Worker& worker, std::function<void()> run) {
  if (worker.thread) return true;
  if (!config_ || !stop_) return false;
  worker.changed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!worker.changed) return false;
  worker.run = std::move(run);
  config_->WatchChanges(worker.changed);
  worker.thread = CreateThread(nullptr, 0, &CMOSmartOpti::WorkerMain, &worker, 0, nullptr);
  if (worker.thread) return true;
  config_->UnwatchChanges(worker.changed);
  CloseHandle(worker.changed);
  worker.changed = nullptr;
  return false;
}

DWORD WINAPI CMOSmartOpti::WorkerMain(void* worker) {
  static_cast<Worker*>(worker)->run();
  return 0;
}

void CMOSmartOpti::JoinWorker(Worker& worker) {
  if (!worker.thread) return;
  WaitForSingleObject(worker.thread, INFINITE);
  CloseHandle(worker.thread);
  worker.thread = nullptr;
  config_->UnwatchChanges(worker.changed);
  CloseHandle(worker.changed);
  worker.changed = nullptr;
}

void CMOSmartOpti::Stop() {
  if (stop_) SetEvent(stop_);
  JoinWorker(learningWorker_);
  JoinWorker(cpuWorker_);
  // Only now: a running CPU thread could raise a process after the lowering.
  cpu_.LowerAll();
}

STDMETHODIMP CMOSmartOpti::UpdateSmartList() {
  if (!smartList_ || !config_) return S_FALSE;  // an object without its engine
  learning_.Rebuild(*smartList_, config_->SmartLearningRecord());
  return S_OK;
}

STDMETHODIMP CMOSmartOpti::ResetSmartLearning() {
  learning_.Reset();
  return S_OK;
}

STDMETHODIMP CMOSmartOpti::ResetCPUList() {
  cpu_.LowerAll();
  return S_OK;
}

}  // namespace tarnwick
