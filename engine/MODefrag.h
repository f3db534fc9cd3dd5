// MODefrag: frees physical memory. A fast free trims the working set of
// every process the rules allow; a deep compress commits and writes memory
// in 1 MB blocks so the system pages other processes out, then releases it.
// Both run on worker threads and report progress 0..100 to the event pump.
// The object also runs the automatic compress and free threads and the
// free-once threads of the autorun task.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "DefragWorkers.h"
#include "TarnwickLib.h"
#include "com/DispatchObject.h"
#include "platform/ClipboardEmptying.h"
#include "platform/MemoryBlocks.h"
#include "platform/ProcessSystem.h"
#include "platform/WorkerWaits.h"

namespace tarnwick {

class CMOConfig;
class CMOGameHelper;
class CMOProcessList;
class CMORulesList;
class CMOState;

class CMODefrag : public com::DispatchObject<CMODefrag, IMODefrag> {
 public:
  static constexpr size_t kBlockBytes = 1048576;

  struct Seams {
    platform::ProcessSystem* processes = nullptr;  // trimming; null: the real one
    platform::MemoryBlocks* blocks = nullptr;       // null: the real ones
    platform::ClipboardEmptying* clipboard = nullptr;
    platform::WorkerWaits* waits = nullptr;
  };

  // The siblings the workers use, valid until Stop. Without them the
  // object can only empty the clipboard.
  struct Links {
    CMOState* state = nullptr;
    CMOConfig* config = nullptr;
    CMOProcessList* processes = nullptr;
    CMORulesList* blackList = nullptr;
    CMORulesList* whiteList = nullptr;
    CMORulesList* smartList = nullptr;
    CMOGameHelper* gameHelper = nullptr;
  };

  CMODefrag();
  explicit CMODefrag(const Seams& seams);
  ~CMODefrag() override;

  // Set once by the engine root, before any thread starts.
  void Link(const Links& links);
  void SetEventThread(DWORD threadId) { eventThread_ = threadId; }

  // Starts AutoCompressThread and AutoFreeThread. Their handles (null when
  // a thread did not start) stay valid until Stop, for the pump's priority
  // messages.
  void StartAutomaticThreads();
  HANDLE AutoCompressThread() const { return autoCompress_; }
  HANDLE AutoFreeThread() const { return autoFree_; }

  // The autorun task: one free-once thread, the idle variant before the
  // timer variant. False when neither is switched on or none could start.
  bool StartAutorunTask();

  // Start the workers, as the COM methods do. False only when the object
  // is not linked or the thread cannot be created; a worker of the same
  // kind already running makes the call do nothing (and succeed).
  bool StartFastFree();
  bool StartDeepCompress();  // clears the break flag first

  // Ends everything this object runs: sets the break and stop flags, wakes
  // every wait and returns once all its threads have ended. Nothing starts
  // afterwards. The engine root calls it before any sibling goes.
  void Stop();
  // Waits until no worker or free-once thread runs (tests, benchmark).
  void WaitForWorkers() { threads_.WaitIdle(); }

  // IMODefrag
  STDMETHODIMP FastFree(VARIANT_BOOL IsCheckRulesList) override;
  STDMETHODIMP DeepCompress() override;
  STDMETHODIMP BreakOutFromDeepCompress() override;
  STDMETHODIMP CleanClipboard() override;

 private:
  class Progress;

  bool Linked() const { return links_.state && links_.config && links_.processes; }
  void RunFastFree();
  bool ShouldTrim(DWORD processId, const std::wstring& name, uint8_t cpu) const;
  void RunDeepCompress();
  bool CompressRound(unsigned round, unsigned rounds, uint64_t blocks, Progress& progress);
  bool Stopping() const { return stopping_.load(); }

  // Runs `round` while the setting `isOn` holds, waiting for a settings
  // change while it does not; a round gives false when stopped. Every wait
  // of a thread ends at once when its `stop` event is set.
  void RunAutomatic(HANDLE stop, bool (CMOConfig::*isOn)() const, const std::function<bool()>& round);
  void RunAutoCompress(HANDLE stop);
  void RunAutoFree(HANDLE stop);
  void RunFreeOnceOnIdle(HANDLE stop);
  void RunFreeOnceOnTimer(HANDLE stop);
  // Waits for a settings change; false when stopping.
  bool WaitForSettingChange(HANDLE stop, HANDLE changed);

  platform::ProcessSystem& processSystem_;
  platform::MemoryBlocks& blocks_;
  platform::ClipboardEmptying& clipboard_;
  platform::WorkerWaits& waits_;

  Links links_;
  std::atomic<DWORD> eventThread_{0};
  std::atomic<bool> break_{false};
  std::atomic<bool> stopping_{false};
  std::atomic<bool> fastFreeBusy_{false};
  std::atomic<bool> deepCompressBusy_{false};

  HANDLE autoCompress_ = nullptr;
  HANDLE autoFree_ = nullptr;
  WorkerGroup threads_;  // last member: its threads end before anything else goes
};

}  // namespace tarnwick
