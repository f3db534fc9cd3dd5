// MOSmartOpti: the smart analyzer and the CPU adjustment.
//
// SmartLearningThread samples the program that owns the foreground window
// into the learning file and rebuilds the smart list every third sample;
// SmartCpuThread raises the programs the user brings to the foreground. Both
// stand still while their setting is off or a game runs, and both end
// through a stop event: Stop (and the destructor) signals, joins, and only
// then lowers the raised processes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "SmartCpu.h"
#include "SmartLearning.h"
#include "TarnwickLib.h"
#include "WorkerThread.h"
#include "com/DispatchObject.h"
#include "platform/ForegroundWindow.h"
#include "platform/LocalClock.h"
#include "platform/ProcessSystem.h"
#include "platform/StopWait.h"

namespace tarnwick {

class CMOConfig;
class CMOGameHelper;
class CMORulesList;

class CMOSmartOpti : public com::DispatchObject<CMOSmartOpti, IMOSmartOpti> {
 public:
  // Samples taken between two rebuilds of the smart list.
  static constexpr unsigned kSamplesPerRebuild = 3;
  // Foreground poll of the CPU adjustment.
  static constexpr DWORD kCpuPollMs = 500;
  // While a game runs there is no event to wait for; the threads look again
  // after this long.
  static constexpr DWORD kGamePollMs = 100;

  struct Seams {
    platform::ForegroundWindow* foreground = nullptr;  // null: the real one
    platform::ProcessSystem* processes = nullptr;      // null: the real one
    platform::LocalClock* clock = nullptr;             // null: the real one
    platform::StopWait* wait = nullptr;                // null: the real one
    platform::FileWrites* files = nullptr;             // learning-file writes; null: the real ones
    std::wstring programFolder;                        // empty: the host program's folder
  };

  CMOSmartOpti();
  explicit CMOSmartOpti(Seams seams);
  // Stop().
  ~CMOSmartOpti() override;

  // Links set by the engine root before anything starts; the objects must
  // outlive Stop().
  void SetConfig(CMOConfig* config) { config_ = config; }
  void SetSmartList(CMORulesList* list) { smartList_ = list; }
  void SetGameHelper(CMOGameHelper* game) { game_ = game; }
  void SetEventThread(DWORD threadId) { cpu_.SetEventThread(threadId); }

  // Start-up, in this order. Pruning keeps SmartLearningPeriod days.
  void PruneLearning();
  // Each thread starts once; false when it cannot (no settings or smart
  // list linked, or the system refused).
  bool StartLearningThread();
  bool StartCpuThread();
  // Thread handles for the event pump's priority messages; null until
  // started. They stay valid until Stop().
  HANDLE LearningThread() const { return learningWorker_.thread.Handle(); }
  HANDLE CpuThread() const { return cpuWorker_.thread.Handle(); }

  // Ends both threads and waits for them, then lowers every raised process.
  // The threads cannot be started again. A second call does nothing more.
  void Stop();

  const std::wstring& LearningPath() const { return learning_.Path(); }
  // Boosted process identifiers, most recent first.
  std::vector<DWORD> Boosted() const { return cpu_.Listed(); }

  // IMOSmartOpti
  STDMETHODIMP UpdateSmartList() override;
  STDMETHODIMP ResetSmartLearning() override;
  STDMETHODIMP ResetCPUList() override;

 private:
  struct Worker {
    WorkerThread thread;
    kit::Handle changed;  // set by every settings change
  };

  bool StartWorker(Worker& worker, WorkerThread::Body body);
  void JoinWorker(Worker& worker);
  // Runs `step` every `interval()` ms while `enabled()` holds and no game
  // runs; returns when stopped.
  void RunWhileActive(HANDLE stop, HANDLE changed, const std::function<bool()>& enabled,
                      const std::function<DWORD()>& interval, const std::function<void()>& step);
  bool InGame() const;

  void SampleForeground(unsigned& samples);

  platform::ForegroundWindow& foreground_;
  platform::ProcessSystem& processes_;
  platform::StopWait& wait_;
  SmartLearning learning_;
  SmartCpu cpu_;

  CMOConfig* config_ = nullptr;
  CMORulesList* smartList_ = nullptr;
  CMOGameHelper* game_ = nullptr;

  bool stopped_ = false;  // set by Stop: nothing starts afterwards
  Worker learningWorker_;
  Worker cpuWorker_;
};

}  // namespace tarnwick
