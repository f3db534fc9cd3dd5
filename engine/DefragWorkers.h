// The threads that one engine object starts. Each runs its function once.
// The owner can wait until none of its workers runs, and closing the group
// waits for every thread and refuses new ones, so no thread outlives the
// objects it uses.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

namespace tarnwick {

class WorkerGroup {
 public:
  WorkerGroup() = default;
  ~WorkerGroup() { Close(); }
  WorkerGroup(const WorkerGroup&) = delete;
  WorkerGroup& operator=(const WorkerGroup&) = delete;

  // Runs `body` on a new thread; false when the group is closed or the
  // thread cannot be created. An exception leaving `body` ends the thread.
  bool Start(std::function<void()> body);
  // A long-lived thread that WaitIdle does not wait for. Its handle stays
  // open until Close (for priority changes); null when it did not start.
  HANDLE StartKept(std::function<void()> body);

  // Waits until no thread started by Start runs.
  void WaitIdle();
  // Refuses new threads, then waits for every thread started so far.
  void Close();

 private:
  struct Launch;
  static DWORD WINAPI Run(void* param);
  HANDLE Begin(std::function<void()> body, bool kept);
  void Finished(bool kept);

  std::mutex lock_;
  std::condition_variable idle_;
  bool closed_ = false;
  size_t running_ = 0;           // threads of Start still running
  std::vector<HANDLE> threads_;  // of Start; ended ones are closed at the next start
  std::vector<HANDLE> kept_;
};

}  // namespace tarnwick
