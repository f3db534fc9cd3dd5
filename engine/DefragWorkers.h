// The threads that one engine object starts, each a WorkerThread. The owner
// can wait until none of its short-lived workers runs, and closing the group
// stops and joins every thread and refuses new ones, so no thread outlives
// the objects it uses.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <list>
#include <mutex>

#include "WorkerThread.h"

namespace tarnwick {

class WorkerGroup {
 public:
  WorkerGroup() = default;
  ~WorkerGroup() { Close(); }
  WorkerGroup(const WorkerGroup&) = delete;
  WorkerGroup& operator=(const WorkerGroup&) = delete;

  // Runs `body` on a new thread; false when the group is closed or the
  // thread cannot be created.
  bool Start(WorkerThread::Body body);
  // A long-lived thread that WaitIdle does not wait for. Its handle stays
  // open until Close (for priority changes); null when it did not start.
  HANDLE StartKept(WorkerThread::Body body);

  // Waits until no thread started by Start runs.
  void WaitIdle();
  // Refuses new threads, then stops and joins every thread started so far.
  void Close();

 private:
  WorkerThread* Begin(WorkerThread::Body body, bool kept);

  std::mutex lock_;
  std::condition_variable idle_;
  bool closed_ = false;
  size_t running_ = 0;             // bodies of Start still running
  std::list<WorkerThread> threads_;  // of Start; ended ones go at the next start
  std::list<WorkerThread> kept_;
};

}  // namespace tarnwick
