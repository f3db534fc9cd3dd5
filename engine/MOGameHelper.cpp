#include "MOGameHelper.h"

#include <algorithm>
#include <system_error>
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
      monitorWait_(std::move(seams.monitorWait)),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  if (!monitorWait_) {
    monitorWait_ = [](HANDLE stop) { return WaitForSingleObject(stop, kMonitorMs) == WAIT_TIMEOUT; };
  }
}

CMOGameHelper::~CMOGameHelper() {
  if (stop_) SetEvent(stop_);
  WaitForMonitors();
  if (stop_) CloseHandle(stop_);
}

void CMOGameHelper::WaitForMonitors() {
  std::list<Monitor> monitors;
  {
    std::lock_guard<std::mutex> guard(monitorsLock_);
    monitors.splice(monitors.end(), monitors_);
  }
  for (Monitor& monitor : monitors) monitor.thread.join();
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
  for (auto it = monitors_.begin(); it != monitors_.end();) {
    if (it->finished) {
      it->thread.join();
      it = monitors_.erase(it);
    } else {
      ++it;
    }
  }
  Monitor& monitor = monitors_.emplace_back();
  try {
    monitor.thread = std::thread([this, before = std::move(before), &monitor] { RunMonitor(before, monitor); });
  } catch (const std::system_error&) {
    monitors_.pop_back();  // no thread: this game's processes are not learnt
  }
}

void CMOGameHelper::RunMonitor(const std::vector<DWORD>& before, Monitor& self) {
  if (monitorWait_(stop_)) {
    const std::unordered_set<DWORD> known(before.begin(), before.end());
    std::vector<std::wstring> names;
    for (const ProcessSnapshot& process : Processes()) {
      if (!known.count(process.processId)) names.push_back(process.name);
    }
    // In one step, so that a fast free never sees the list half filled.
    games_.ReplaceAll(names);
  }
  self.finished = true;
}

STDMETHODIMP CMOGameHelper::get_GameModeState(_MO_GAME_MODE_STATE* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = State();
  return S_OK;
}

STDMETHODIMP CMOGameHelper::get_HighMemoryCount(ULONG* pVal) {
  if (!pVal) return E_POINTER;
  std::lock_guard<std::mutex> guard(highMemoryLock_);
  *pVal = static_cast<ULONG>(highMemory_.size());
  return S_OK;
}

STDMETHODIMP CMOGameHelper::get_HighMemoryIndex(ULONG Index, ULONG* pVal) {
  if (!pVal) return E_POINTER;
  std::lock_guard<std::mutex> guard(highMemoryLock_);
  *pVal = Index < highMemory_.size() ? highMemory_[Index] : 0;
  return Index < highMemory_.size() ? S_OK : S_FALSE;
}

STDMETHODIMP CMOGameHelper::KillExplorer() {
  int ended = 0;
  return KillShell(ended) ? S_OK : S_FALSE;
}

STDMETHODIMP CMOGameHelper::RestoreExplorer() { return RestoreShell() ? S_OK : S_FALSE; }

STDMETHODIMP CMOGameHelper::PreGameMode() {
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
}

STDMETHODIMP CMOGameHelper::EndGameMode() {
  if (killExplorer_) RestoreShell();
  SwitchState(MO_GMS_NO_GAME);
  return S_OK;
}

STDMETHODIMP CMOGameHelper::StartGameMode(BSTR GameLauncher, BSTR GameParam, VARIANT_BOOL IsKillExplorer) {
  killExplorer_ = IsKillExplorer == VARIANT_TRUE;
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
}

}  // namespace tarnwick
