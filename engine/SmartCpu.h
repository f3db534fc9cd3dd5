// The CPU adjustment's boost list: each process the user brings to the
// foreground is raised one priority class and remembered, most recent
// first, in a list of at most SmartCPURange processes; a process that drops
// out of the list is lowered one class again. Every raise and lowering is
// posted to the event pump as 0x80C.
//
// Each listed process is held by its handle, so lowering always reaches the
// process that was raised even when its identifier has been reused since.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "TarnwickLib.h"
#include "platform/ProcessSystem.h"

namespace tarnwick {

class SmartCpu {
 public:
  // The list never grows beyond this, whatever the settings file says.
  static constexpr unsigned kMaxRange = 10;

  explicit SmartCpu(platform::ProcessSystem& processes);
  // Lowers what is still listed.
  ~SmartCpu();
  SmartCpu(const SmartCpu&) = delete;
  SmartCpu& operator=(const SmartCpu&) = delete;

  void SetEventThread(DWORD threadId) { eventThread_.store(threadId); }

  // The foreground belongs to `processId` now. Nothing happens while it
  // stays with the same process (two windows of one program); a change is
  // handled with the list bounded by `range` (SmartCPURange).
  void Observe(DWORD processId, unsigned range);
  // Lowers every listed process one class, in list order and without
  // messages, and empties the list. The last foreground process is kept, so
  // it is raised again only after the foreground changes.
  void LowerAll();

  // Listed process identifiers, most recent first.
  std::vector<DWORD> Listed() const;

 private:
  struct Boost {
    DWORD id;
    HANDLE process;
  };

  void HandleChangeLocked(DWORD processId, unsigned range);
  void DropLocked(size_t place, bool post);
  _MO_PROCESS_PRIORIT ReadPriority(HANDLE process);
  void Step(HANDLE process, _MO_PROCESS_PRIORIT from, int by);
  void Post(DWORD processId, bool raised);

  platform::ProcessSystem& processes_;
  std::atomic<DWORD> eventThread_{0};

  mutable std::mutex lock_;
  std::vector<Boost> boosts_;  // most recent first
  DWORD lastForeground_ = 0;
};

}  // namespace tarnwick
