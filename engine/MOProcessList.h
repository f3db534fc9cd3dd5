// MOProcessList: the engine's one picture of the running processes. Every
// refresh brings the items up to date and reports new and ended processes
// to the event pump (0x808, 0x809).
//
// Sharing: a refresh is the only writer of the item list (two refreshes
// never overlap); it takes the lock only to add or drop items. Readers (the
// client's getters, the fast-free walk, game mode) take the same lock and
// either add a reference to an item or copy what they need, and a dropped
// item is detached rather than destroyed, so nothing is freed under a reader.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "MOProcessItem.h"
#include "TarnwickLib.h"
#include "com/DispatchObject.h"
#include "platform/ProcessSystem.h"
#include "platform/ServiceControl.h"
#include "platform/ShellLaunch.h"

namespace tarnwick {

// What other engine code reads of one listed process, copied under the lock.
struct ProcessSnapshot {
  ULONG index = 0;
  DWORD processId = 0;
  std::wstring name;
  std::wstring path;
  uint64_t memory = 0;
  uint8_t cpu = 0;
};

// Makes sure the terminal-services service runs (its enumeration needs it),
// switching it to automatic start. Waits at most `maxWaitMs` for it to come
// up, and no longer once `stop` (may be null) is signalled. The list ignores
// the outcome.
enum class ServiceCheck { kRunning, kFailed, kTimedOut, kStopped };
ServiceCheck EnsureTerminalServices(platform::ServiceControl& services, DWORD maxWaitMs, HANDLE stop = nullptr);

// The terminal-services check on a thread of its own: creating the list is
// on the program's start-up path, and a service that is slow to start (at
// log-on, or never) must not hold it up. The thread keeps this code loaded
// and its own state; `services` must stay valid while it runs.
class BackgroundServiceCheck {
 public:
  BackgroundServiceCheck(platform::ServiceControl& services, DWORD maxWaitMs);
  // Asks the check to stop and waits a moment for it. A check still inside
  // a call to the service manager ends by itself when the call returns.
  ~BackgroundServiceCheck();
  BackgroundServiceCheck(const BackgroundServiceCheck&) = delete;
  BackgroundServiceCheck& operator=(const BackgroundServiceCheck&) = delete;

  // Cuts the check's waits short; it ends at its next pause.
  void RequestStop();
  // Waits up to `ms` for the check to end; true once it has.
  bool WaitForEnd(DWORD ms) const;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
  kit::Handle thread_;
};

class CMOProcessList : public com::DispatchObject<CMOProcessList, IMOProcessList> {
 public:
  struct Seams {
    platform::ProcessSystem* processes = nullptr;  // null: the real ones
    platform::ServiceControl* services = nullptr;  // null: the real ones
    platform::ShellLaunch* shell = nullptr;        // null: the real one
    std::wstring systemFolder;                     // empty: the system's, with backslash
    DWORD iconDelayMs = kIconWorkerDelayMs;        // before the icon worker's first icon
  };

  // Starts the terminal-services check (in the background) and the icon
  // worker, then fills the list once without posting events.
  CMOProcessList();
  explicit CMOProcessList(const Seams& seams);
  ~CMOProcessList() override;

  // The event pump's thread; 0 (the default) drops every post.
  void SetEventThread(DWORD threadId) { eventThread_ = threadId; }

  // The refresh; false when it did nothing (another one running, or both
  // enumerations failed).
  bool RefreshList();
  // Every listed process in list order.
  std::vector<ProcessSnapshot> Snapshot() const;
  // Terminates a process by identifier (game mode's shell kill).
  bool TerminateProcess(DWORD processId);

  // IMOProcessList
  STDMETHODIMP Refresh() override;
  STDMETHODIMP NewProcess(BSTR AppPath, BSTR AppParam) override;
  STDMETHODIMP get_ProcessCount(ULONG *pVal) override;
  STDMETHODIMP get_ProcessItemByIndex(ULONG Index, IMOProcessItem **pVal) override;
  STDMETHODIMP get_ProcessItemByID(ULONG ID, IMOProcessItem **pVal) override;

 private:
  enum class Source { kSessions, kSnapshot };

  bool Enumerate(Source source);
  void DropEnded();
  CMOProcessItem* CreateItem(const platform::ProcessEntry& entry);
  // Hands the icon of an item's path, just known, to the icon worker.
  void WantIcon(CMOProcessItem* item);
  // The process's main module, as the list shows it ("" while unreadable).
  std::wstring ModulePath(HANDLE process);

  platform::ProcessSystem& processes_;
  platform::ShellLaunch& shell_;
  std::wstring systemFolder_;

  std::atomic<DWORD> eventThread_{0};
  std::atomic<bool> firstFill_{true};
  std::atomic<bool> busy_{false};

  mutable std::mutex lock_;
  std::vector<CMOProcessItem*> items_;  // the list's holds, in insertion order

  IconWorker icons_;

  std::unique_ptr<BackgroundServiceCheck> serviceCheck_;
};

}  // namespace tarnwick
