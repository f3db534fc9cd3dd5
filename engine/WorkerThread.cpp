#include "WorkerThread.h"

#include <memory>

#include "com/Results.h"

namespace tarnwick {

namespace {

struct ModuleThreadStart {
  std::function<void()> body;
  kit::Module module;
};

DWORD WINAPI ModuleThreadMain(void* param) {
  HMODULE module = nullptr;
  com::Barrier([&] {
    std::unique_ptr<ModuleThreadStart> start(static_cast<ModuleThreadStart*>(param));
    module = start->module.Release();
    const std::function<void()> body = std::move(start->body);
    start.reset();
    body();
    return S_OK;
  });
  // The one release the kit cannot make: the thread's last call must give
  // back the module reference the code it runs lives in.
  FreeLibraryAndExitThread(module, 0);
}

}  // namespace

kit::Handle StartModuleThread(std::function<void()> body, DWORD* threadId) {
  auto start = std::make_unique<ModuleThreadStart>();
  start->body = std::move(body);
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&ModuleThreadMain),
                          start->module.Out()))
    return {};
  DWORD id = 0;
  kit::Handle thread(CreateThread(nullptr, 0, &ModuleThreadMain, start.get(), 0, &id));
  if (!thread) return {};
  start.release();  // the thread owns it now
  if (threadId) *threadId = id;
  return thread;
}

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
