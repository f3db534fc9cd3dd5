#include "EventPump.h"

#include <objbase.h>

#include <mutex>

#include "EngineMessages.h"
#include "WorkerThread.h"
#include "com/Results.h"

namespace tarnwick {

// Everything the pump thread touches. The thread holds its own reference, so
// a pump left running by Stop never reaches into a destroyed engine.
struct EventPump::Shared {
  explicit Shared(std::shared_ptr<com::EventSinkList> list) : sinks(std::move(list)) {}

  std::shared_ptr<com::EventSinkList> sinks;
  std::mutex lock;  // guards the two fields below
  bool stopped = false;
  HANDLE workers[kPumpWorkerCount] = {};
};

namespace {

constexpr DWORD kStopWaitMs = 1000;

// What one thread message asks of the pump.
struct PumpCommand {
  enum class Kind { Ignore, Quit, Priority, Fire };
  Kind kind = Kind::Ignore;
  PumpWorker worker = PumpWorker::AutoCompress;  // Priority
  int priority = 0;                              // Priority
  DISPID dispid = 0;                             // Fire
  UINT argCount = 0;                             // Fire
  VARIANT args[2] = {};                          // Fire, in declaration order; plain values only
};

VARIANT Value(VARTYPE type) {
  VARIANT v;
  VariantInit(&v);
  v.vt = type;
  return v;
}

// Decodes one message; wParam and lParam carry 32-bit values.
PumpCommand DecodePumpMessage(UINT message, WPARAM wParam, LPARAM lParam);

void Apply(EventPump::Shared& shared, const PumpCommand& command) {
  switch (command.kind) {
    case PumpCommand::Kind::Priority: {
      std::lock_guard<std::mutex> guard(shared.lock);
      HANDLE thread = shared.workers[static_cast<int>(command.worker)];
      if (!shared.stopped && thread) SetThreadPriority(thread, command.priority);
      break;
    }
    case PumpCommand::Kind::Fire:
      shared.sinks->Fire(command.dispid, command.args, command.argCount);  // its result is of no use here
      break;
    default:
      break;
  }
}

void RunPump(std::shared_ptr<EventPump::Shared> held, HANDLE ready) {
  EventPump::Shared& shared = *held;
  // An apartment of its own: calls to sinks go through proxies into the
  // sinks' apartments, and waiting for them pumps nothing here, so the
  // thread messages stay queued in order.
  kit::Apartment apartment(COINIT_MULTITHREADED);
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // creates the queue before anyone posts
  SetEvent(ready);

  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1 || msg.message == kMsgQuit || shared.sinks->IsClosed()) break;
    if (msg.hwnd) continue;  // the pump owns no window; nothing to do with it
    const HRESULT handled = com::Barrier([&] {
      Apply(shared, DecodePumpMessage(msg.message, msg.wParam, msg.lParam));
      return S_OK;
    });
    if (FAILED(handled)) Sleep(1);  // the message is dropped; the pump goes on
  }
  // When the engine is already gone, this was the last reference: let the
  // sink list revoke its table entries while COM is still up here (the
  // apartment goes after).
  held.reset();
}

PumpCommand DecodePumpMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const DWORD w = static_cast<DWORD>(wParam);
  const DWORD l = static_cast<DWORD>(lParam);
  PumpCommand c;
  auto fire = [&c](DISPID id, UINT count) {
    c.kind = PumpCommand::Kind::Fire;
    c.dispid = id;
    c.argCount = count;
  };
  auto priority = [&c, w](PumpWorker worker) {
    c.kind = PumpCommand::Kind::Priority;
    c.worker = worker;
    c.priority = static_cast<int>(w);
  };
  switch (message) {
    case kMsgQuit: c.kind = PumpCommand::Kind::Quit; break;
    case kMsgAutoCompressPriority: priority(PumpWorker::AutoCompress); break;
    case kMsgAutoFreePriority: priority(PumpWorker::AutoFree); break;
    case kMsgSmartLearningPriority: priority(PumpWorker::SmartLearning); break;
    case kMsgSmartCpuPriority: priority(PumpWorker::SmartCpu); break;
    case kMsgDeepCompressProgress:
    case kMsgFastFreeProgress:
      fire(message == kMsgDeepCompressProgress ? 1 : 2, 1);
      c.args[0] = Value(VT_UI1);
      c.args[0].bVal = static_cast<BYTE>(w);
      break;
    case kMsgProcessNew:
    case kMsgProcessExit:
      fire(message == kMsgProcessNew ? 3 : 4, 2);
      c.args[0] = Value(VT_UI4);
      c.args[0].ulVal = w;
      c.args[1] = Value(VT_UI4);
      c.args[1].ulVal = l;
      break;
    case kMsgSmartCpuTune:
      fire(5, 2);
      c.args[0] = Value(VT_UI4);
      c.args[0].ulVal = w;
      c.args[1] = Value(VT_BOOL);
      c.args[1].boolVal = l != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case kMsgGameModeState:
      fire(6, 1);
      c.args[0] = Value(VT_I4);
      c.args[0].lVal = static_cast<LONG>(w);
      break;
    case kMsgGameModeFailed: fire(7, 0); break;
    default: break;
  }
  return c;
}

}  // namespace

EventPump::EventPump(std::shared_ptr<com::EventSinkList> sinks) : shared_(std::make_shared<Shared>(std::move(sinks))) {}

EventPump::~EventPump() { Stop(); }

bool EventPump::Start() {
  if (thread_ || threadId_) return false;  // never restarted
  kit::Handle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready) return false;
  DWORD id = 0;
  kit::Handle thread = StartModuleThread(
      [shared = shared_, ready = ready.Get()]() mutable { RunPump(std::move(shared), ready); }, &id);
  if (!thread) return false;
  HANDLE waits[] = {ready.Get(), thread.Get()};
  WaitForMultipleObjects(2, waits, FALSE, INFINITE);
  thread_ = std::move(thread);
  threadId_ = id;
  return true;
}

void EventPump::SetWorkerThread(PumpWorker worker, HANDLE thread) {
  std::lock_guard<std::mutex> guard(shared_->lock);
  shared_->workers[static_cast<int>(worker)] = thread;
}

void EventPump::Stop() {
  if (!thread_ || !threadId_) return;
  {
    std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->stopped = true;
  }
  shared_->sinks->Close();
  PostThreadMessageW(threadId_, kMsgQuit, 0, 0);
  // Called from inside a sink's handler, the pump is waiting for us: it ends
  // by itself as soon as the handler returns, and delivers nothing more.
  if (!shared_->sinks->InHandlerOnThisThread()) {
    DWORD index = 0;
    HANDLE thread = thread_.Get();
    HRESULT hr = CoWaitForMultipleHandles(0, kStopWaitMs, 1, &thread, &index);
    if (hr == CO_E_NOTINITIALIZED) WaitForSingleObject(thread, kStopWaitMs);
  }
  thread_.Reset();
}

}  // namespace tarnwick
