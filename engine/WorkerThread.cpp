#include "WorkerThread.h"

#include "com/Results.h"

namespace tarnwick {

bool WorkerThread::Start(Body body) {
  if (body_ || !body) return false;  // one body per thread
  if (!stop_) stop_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!stop_) return false;
  body_ = std::move(body);
  thread_.Reset(CreateThread(nullptr, 0, &WorkerThread::Main, this, 0, nullptr));
  return static_cast<bool>(thread_);
}

DWORD WINAPI WorkerThread::Main(void* self) {
  auto* worker = static_cast<WorkerThread*>(self);
  com::Barrier([worker] {
    worker->body_(worker->stop_.Get());
    return S_OK;
  });
  return 0;
}

bool WorkerThread::Running() const { return thread_ && WaitForSingleObject(thread_.Get(), 0) == WAIT_TIMEOUT; }

void WorkerThread::RequestStop() {
  if (stop_) SetEvent(stop_.Get());
}

void WorkerThread::Wait() {
  if (thread_) WaitForSingleObject(thread_.Get(), INFINITE);
}

void WorkerThread::Join() {
  RequestStop();
  Wait();
  thread_.Reset();
}

}  // namespace tarnwick
