#include "MOGameHelper.h"

#include <algorithm>
#include <unordered_set>

#include "EngineMessages.h"
#include "SharedRoutines.h"

namespace tarnwick {

namespace {

constexpr DWORD kMonitorMs = 60000;

std::wstring ShellExecutable(std::wstring windowsFolder) {
  if (windowsFolder.empty()) {
    wchar_t folder[kFolderChars] = {};
    SystemFolders(folder, nullptr, nullptr);
    windowsFolder = folder;
  }
  return windowsFolder + L"explorer.exe";
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

}  // namespace

CMOGameHelper::CMOGameHelper() : CMOGameHelper(Seams{}) {}

CMOGameHelper::CMOGameHelper(Seams seams)
    : shell_(seams.shell ? *seams.shell : platform::RealShellLaunch()),
      shellPath_(ShellExecutable(std::move(seams.windowsFolder))),
      monitorWait_(std::move(seams.monitorWait)) {
  if (!monitorWait_) {
    monitorWait_ = [](HANDLE stop) { return WaitForSingleObject(stop, kMonitorMs) == WAIT_TIMEOUT; };
  }
}

CMOGameHelper::~CMOGameHelper() {
  {
    std::lock_guard<std::mutex> guard(monitorsLock_);
    stopping_ = true;
    for (WorkerThread& monitor : monitors_) monitor.RequestStop();
  }
  WaitForMonitors();
}

void CMOGameHelper::WaitForMonitors() {
  std::list<WorkerThread> monitors;
  {
    std::lock_guard<std::mutex> guard(monitorsLock_);
    monitors.splice(monitors.end(), monitors_);
  }
  for (WorkerThread& monitor : monitors) monitor.Wait();
}

std::vector<ProcessSnapshot> CMOGameHelper::Processes() const {
  return processes_ ? processes_->Snapshot() : std::vector<ProcessSnapshot>{};
}

void CMOGameHelper::SwitchState(_MO_GAME_MODE_STATE state) {
  state_ = state;
  PostToPump(eventThread_, kMsgGameModeState, static_cast<WPARAM>(state), 0);
}

bool CMOGameHelper::KillShell(int& ended) {
  ended = 0;
  for (const ProcessSnapshot& process : Processes()) {
    if (!SamePath(process.path, shellPath_)) continue;
    if (!processes_->TerminateProcess(process.processId)) return false;
    ++ended;
  }
  return true;
}

bool CMOGameHelper::RestoreShell() { return shell_.Execute(L"open", shellPath_.c_str(), nullptr) > 32; }

void CMOGameHelper::StartMonitor() {
  // The processes as they stand now; whatever appears later is the game's.
  std::vector<DWORD> before;
  for (const ProcessSnapshot& process : Processes()) before.push_back(process.processId);

  std::lock_guard<std::mutex> guard(monitorsLock_);
  if (stopping_) return;
  monitors_.remove_if([](const WorkerThread& monitor) { return !monitor.Running(); });
  WorkerThread& monitor = monitors_.emplace_back();
  if (!monitor.Start([this, before = std::move(before)](HANDLE stop) { RunMonitor(before, stop); })) {
    monitors_.pop_back();  // no thread: this game's processes are not learnt
  }
}

void CMOGameHelper::RunMonitor(const std::vector<DWORD>& before, HANDLE stop) {
  if (monitorWait_(stop)) {
    const std::unordered_set<DWORD> known(before.begin(), before.end());
    std::vector<std::wstring> names;
    for (const ProcessSnapshot& process : Processes()) {
      if (!known.count(process.processId)) names.push_back(process.name);
    }
    // In one step, so that a fast free never sees the list half filled.
    games_.ReplaceAll(names);
  }
}

STDMETHODIMP CMOGameHelper::get_GameModeState(_MO_GAME_MODE_STATE* pVal) {
  return com::Barrier([&] { return com::Out(pVal, State()); });
}

STDMETHODIMP CMOGameHelper::get_HighMemoryCount(ULONG* pVal) {
  return com::Barrier([&] {
    std::lock_guard<std::mutex> guard(highMemoryLock_);
    return com::Out(pVal, highMemory_.size());
  });
}

STDMETHODIMP CMOGameHelper::get_HighMemoryIndex(ULONG Index, ULONG* pVal) {
  return com::Barrier([&] {
    std::lock_guard<std::mutex> guard(highMemoryLock_);
    const bool listed = Index < highMemory_.size();
    return com::Out(pVal, listed ? highMemory_[Index] : 0, com::Done(listed));
  });
}

STDMETHODIMP CMOGameHelper::KillExplorer() {
  return com::Barrier([&] {
    int ended = 0;
    return com::Done(KillShell(ended));
  });
}

STDMETHODIMP CMOGameHelper::RestoreExplorer() {
  return com::Barrier([&] { return com::Done(RestoreShell()); });
}

STDMETHODIMP CMOGameHelper::PreGameMode() {
  return com::Barrier([&] {
    std::vector<ULONG> found;
    for (const ProcessSnapshot& process : Processes()) {
      if (process.memory > kHighMemoryThreshold) found.push_back(process.index);
    }
    {
      std::lock_guard<std::mutex> guard(highMemoryLock_);
      highMemory_.swap(found);
    }
    // Filled before the event, so that a client reading the list on the event finds it.
    SwitchState(MO_GMS_PRE_GAME);
    return S_OK;
  });
}

STDMETHODIMP CMOGameHelper::EndGameMode() {
  return com::Barrier([&] {
    if (killExplorer_) RestoreShell();
    SwitchState(MO_GMS_NO_GAME);
    return S_OK;
  });
}

STDMETHODIMP CMOGameHelper::StartGameMode(BSTR GameLauncher, BSTR GameParam, VARIANT_BOOL IsKillExplorer) {
  return com::Barrier([&] {
    killExplorer_ = com::IsTrue(IsKillExplorer);
    int ended = 0;
    if (killExplorer_) KillShell(ended);

    StartMonitor();
    if (shell_.Execute(L"open", GameLauncher, GameParam) > 32) {
      SwitchState(MO_GMS_IN_GAME);
      return S_OK;
    }
    // No game: the shell this call ended comes back at once, and only once.
    if (ended > 0) {
      RestoreShell();
      killExplorer_ = false;
    }
    SwitchState(MO_GMS_NO_GAME);
    PostToPump(eventThread_, kMsgGameModeFailed);
    return S_FALSE;
  });
}

}  // namespace tarnwick
