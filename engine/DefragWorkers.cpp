#include "DefragWorkers.h"

#include <algorithm>
#include <memory>

namespace tarnwick {

struct WorkerGroup::Launch {
  WorkerGroup* group;
  std::function<void()> body;
  bool kept;
};

DWORD WINAPI WorkerGroup::Run(void* param) {
  std::unique_ptr<Launch> launch(static_cast<Launch*>(param));
  try {
    launch->body();
  } catch (...) {
    // Out of memory inside a worker: that run is lost, the host lives on.
  }
  WorkerGroup* group = launch->group;
  const bool kept = launch->kept;
  launch.reset();
  group->Finished(kept);
  return 0;
}

void WorkerGroup::Finished(bool kept) {
  if (kept) return;
  std::lock_guard<std::mutex> guard(lock_);
  if (--running_ == 0) idle_.notify_all();
}

HANDLE WorkerGroup::Begin(std::function<void()> body, bool kept) {
  std::lock_guard<std::mutex> guard(lock_);
  if (closed_) return nullptr;
  // Handles of workers that have ended are of no use any more.
  threads_.erase(std::remove_if(threads_.begin(), threads_.end(),
                                [](HANDLE thread) {
                                  if (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) return false;
                                  CloseHandle(thread);
                                  return true;
                                }),
                 threads_.end());
  std::vector<HANDLE>& list = kept ? kept_ : threads_;
  list.reserve(list.size() + 1);  // a throw here leaves no thread behind
  auto launch = std::make_unique<Launch>(Launch{this, std::move(body), kept});
  HANDLE thread = CreateThread(nullptr, 0, &WorkerGroup::Run, launch.get(), 0, nullptr);
  if (!thread) return nullptr;
  launch.release();  // the thread owns it now
  list.push_back(thread);
  if (!kept) ++running_;
  return thread;
}

bool WorkerGroup::Start(std::function<void()> body) { return Begin(std::move(body), false) != nullptr; }

HANDLE WorkerGroup::StartKept(std::function<void()> body) { return Begin(std::move(body), true); }

void WorkerGroup::WaitIdle() {
  std::unique_lock<std::mutex> guard(lock_);
  idle_.wait(guard, [this] { return running_ == 0; });
}

void WorkerGroup::Close() {
  std::vector<HANDLE> threads;
  {
    std::lock_guard<std::mutex> guard(lock_);
    closed_ = true;
    threads.swap(threads_);
    threads.insert(threads.end(), kept_.begin(), kept_.end());
    kept_.clear();
  }
  for (HANDLE thread : threads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
}

}  // namespace tarnwick
