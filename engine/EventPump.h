// EventPumpThread: the one thread that turns the engine's thread messages
// (EngineMessages.h) into events on the connected sinks, or into a change of
// a background thread's priority.
#pragma once

#include <windows.h>

#include <memory>

#include <kit/Own.h>

#include "com/ConnectionPoint.h"

namespace tarnwick {

// The background threads whose priority the pump sets (0x802 to 0x805).
enum class PumpWorker { AutoCompress, AutoFree, SmartLearning, SmartCpu };
constexpr int kPumpWorkerCount = 4;

class EventPump {
 public:
  explicit EventPump(std::shared_ptr<com::EventSinkList> sinks);
  ~EventPump();
  EventPump(const EventPump&) = delete;
  EventPump& operator=(const EventPump&) = delete;

  // Starts the thread and returns once it takes messages. False when the
  // thread cannot be created; then every post to the pump is lost.
  bool Start();

  // The pump's thread identifier: 0 until started; it stays set after Stop,
  // so late posts fail silently.
  DWORD ThreadId() const { return threadId_; }
  bool IsRunning() const { return static_cast<bool>(thread_); }

  // The thread whose priority a message of `worker` sets; null (the default)
  // makes such messages do nothing. The owner keeps the handle open until it
  // sets null again or the pump is stopped.
  void SetWorkerThread(PumpWorker worker, HANDLE thread);

  // Ends the pump for good: no event and no priority change happens once
  // this returns. Waits up to 1000 ms for the thread while still serving
  // incoming COM calls on this thread, so an event call the pump is waiting
  // on completes. A pump that is stuck in a sink's handler beyond that is
  // left to end by itself when the handler returns; it is never killed.
  // A second Stop does nothing.
  void Stop();

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
  kit::Handle thread_;
  DWORD threadId_ = 0;
};

}  // namespace tarnwick
