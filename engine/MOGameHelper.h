// MOGameHelper: game mode. Lists the memory-hungry processes before a game,
// can end the desktop shell, starts the game's launcher, learns in the first
// minute which processes belong to the game, and brings the shell back at
// the end. Other engine threads read the state and the game's process names
// through the C++ getters.
#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <vector>

#include "MOProcessList.h"
#include "MORulesList.h"
#include "TarnwickLib.h"
#include "WorkerThread.h"
#include "com/DispatchObject.h"
#include "platform/ShellLaunch.h"

namespace tarnwick {

class CMOGameHelper : public com::DispatchObject<CMOGameHelper, IMOGameHelper> {
 public:
  // A process counts as using much memory above this working set.
  static constexpr uint64_t kHighMemoryThreshold = 0x1E00000;  // 30 MiB

  // Waits out the monitor's minute; false when `stop` is signalled first.
  using MonitorWait = std::function<bool(HANDLE stop)>;

  struct Seams {
    platform::ShellLaunch* shell = nullptr;  // null: the real one
    std::wstring windowsFolder;              // empty: the system's, with backslash
    MonitorWait monitorWait;                 // empty: one minute
  };

  CMOGameHelper();
  explicit CMOGameHelper(Seams seams);
  // Stops the monitors that still wait and joins them.
  ~CMOGameHelper() override;

  // Links set by the engine root.
  void SetProcessList(CMOProcessList* processes) { processes_ = processes; }
  void SetEventThread(DWORD threadId) { eventThread_ = threadId; }

  // For the engine's threads.
  _MO_GAME_MODE_STATE State() const { return static_cast<_MO_GAME_MODE_STATE>(state_.load()); }
  bool InGame() const { return State() == MO_GMS_IN_GAME; }
  bool IsGameProcess(const wchar_t* name) const { return games_.Contains(name); }
  // Waits until every monitor has finished its minute.
  void WaitForMonitors();

  // IMOGameHelper
  STDMETHODIMP get_GameModeState(_MO_GAME_MODE_STATE *pVal) override;
  STDMETHODIMP get_HighMemoryCount(ULONG *pVal) override;
  STDMETHODIMP get_HighMemoryIndex(ULONG Index, ULONG *pVal) override;
  STDMETHODIMP KillExplorer() override;
  STDMETHODIMP RestoreExplorer() override;
  STDMETHODIMP PreGameMode() override;
  STDMETHODIMP EndGameMode() override;
  STDMETHODIMP StartGameMode(BSTR GameLauncher, BSTR GameParam, VARIANT_BOOL IsKillExplorer) override;

 private:
  // Ends every listed shell process; false at the first one that survives.
  // `ended` counts the processes ended.
  bool KillShell(int& ended);
  bool RestoreShell();
  void SwitchState(_MO_GAME_MODE_STATE state);
  std::vector<ProcessSnapshot> Processes() const;
  void StartMonitor();
  void RunMonitor(const std::vector<DWORD>& before, HANDLE stop);

  platform::ShellLaunch& shell_;
  std::wstring shellPath_;
  MonitorWait monitorWait_;

  CMORulesList games_;  // without a file: never loaded or written
  CMOProcessList* processes_ = nullptr;
  std::mutex highMemoryLock_;
  std::vector<ULONG> highMemory_;
  std::atomic<int> state_{MO_GMS_NO_GAME};
  std::atomic<bool> killExplorer_{false};
  std::atomic<DWORD> eventThread_{0};

  std::mutex monitorsLock_;
  bool stopping_ = false;  // under monitorsLock_: no monitor starts any more
  std::list<WorkerThread> monitors_;
};

}  // namespace tarnwick
