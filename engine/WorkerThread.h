// The one way the engine runs a background thread: a thread and the event
// that asks it to stop, owned together. The body gets the stop event for its
// waits and runs inside the exception barrier, so an exception ends its work
// cleanly. The destructor asks the thread to stop and waits for it: no
// thread outlives what owns it.
#pragma once

#include <windows.h>

#include <functional>

#include <kit/Own.h>

namespace tarnwick {

class WorkerThread {
 public:
  using Body = std::function<void(HANDLE stop)>;

  WorkerThread() = default;
  ~WorkerThread() { Join(); }
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Runs `body` once on a new thread. False when it already ran, or the
  // event or the thread cannot be made.
  bool Start(Body body);

  // The thread, for priority changes; null before Start and after Join.
  HANDLE Handle() const { return thread_.Get(); }
  // Started and not yet ended.
  bool Running() const;

  // Signals the stop event; the body sees it in its waits.
  void RequestStop();
  // Waits until the body has returned by itself.
  void Wait();
  // RequestStop, then Wait, then closes the thread's handle.
  void Join();

 private:
  static DWORD WINAPI Main(void* self);

  kit::Handle stop_;
  kit::Handle thread_;
  Body body_;
};

// A thread for the few that may outlive their owner (the event pump, the
// terminal-services check): it keeps the module its code lives in loaded
// until its very end, `body` runs inside the exception barrier and goes
// before the module is let go. Gives the thread (null when it cannot be
// made) and, when asked, its identifier.
kit::Handle StartModuleThread(std::function<void()> body, DWORD* threadId = nullptr);

}  // namespace tarnwick
