#include "DefragWorkers.h"

namespace tarnwick {

WorkerThread* WorkerGroup::Begin(WorkerThread::Body body, bool kept) {
  std::lock_guard<std::mutex> guard(lock_);
  if (closed_) return nullptr;
  threads_.remove_if([](const WorkerThread& thread) { return !thread.Running(); });
  std::list<WorkerThread>& list = kept ? kept_ : threads_;
  WorkerThread& thread = list.emplace_back();
  if (!kept) {
    // Counted before the thread exists; given back however the body ends.
    ++running_;
    body = [this, body = std::move(body)](HANDLE stop) {
      auto finished = kit::OnExit([this] {
        std::lock_guard<std::mutex> guard(lock_);
        if (--running_ == 0) idle_.notify_all();
      });
      body(stop);
    };
  }
  if (thread.Start(std::move(body))) return &thread;
  if (!kept) --running_;
  list.pop_back();
  return nullptr;
}

bool WorkerGroup::Start(WorkerThread::Body body) { return Begin(std::move(body), false) != nullptr; }

HANDLE WorkerGroup::StartKept(WorkerThread::Body body) {
  WorkerThread* thread = Begin(std::move(body), true);
  return thread ? thread->Handle() : nullptr;
}

void WorkerGroup::WaitIdle() {
  std::unique_lock<std::mutex> guard(lock_);
  idle_.wait(guard, [this] { return running_ == 0; });
}

void WorkerGroup::Close() {
  std::list<WorkerThread> threads;
  {
    std::lock_guard<std::mutex> guard(lock_);
    closed_ = true;
    threads.splice(threads.end(), threads_);
    threads.splice(threads.end(), kept_);
  }
  for (WorkerThread& thread : threads) thread.RequestStop();
  // Each one's destructor joins it.
}

}  // namespace tarnwick
