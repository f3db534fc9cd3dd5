// One hidden utility window shared by every object of a kind (light timers,
// tray icons): the first object's constructor creates it, the last one's
// destructor frees it. Objects freed while the program exits (those of the
// application's forms) still find it: the slot that holds it is never
// destroyed, and a window nobody freed goes with the process.
#pragma once

#include <windows.h>

#include "gui/Messages.h"

namespace components {

class TSharedUtilityWindow {
 public:
  TSharedUtilityWindow(const TSharedUtilityWindow&) = delete;
  TSharedUtilityWindow& operator=(const TSharedUtilityWindow&) = delete;

  HWND Handle() const { return window_; }
  // Number of live objects holding the window.
  unsigned RefCount() const { return refCount_; }

 protected:
  TSharedUtilityWindow();
  virtual ~TSharedUtilityWindow();
  virtual void WndProc(gui::TMessage& Message) = 0;

 private:
  template <class T>
  friend class TSharedHandler;
  void Dispatch(gui::TMessage& Message);
  // Frees the handler now, or once its window procedure has returned when
  // an object went away from inside it (a tick freeing the last timer).
  void Free();

  HWND window_ = nullptr;
  unsigned refCount_ = 0;
  int dispatching_ = 0;
  bool freed_ = false;
};

// The process's one handler of type T, created on demand.
template <class T>
class TSharedHandler {
 public:
  static T* Instance() { return Slot(); }

  static T& Acquire() {
    if (!Slot()) Slot() = new T;
    ++Slot()->refCount_;
    return *Slot();
  }

  static void Release() {
    T* handler = Slot();
    if (!handler) return;
    if (handler->refCount_ > 0) --handler->refCount_;
    if (handler->refCount_ == 0) {
      Slot() = nullptr;
      handler->Free();
    }
  }

 private:
  // A plain pointer: it has no destructor, so it stays usable through the
  // whole of the program's exit, whatever is freed in which order then.
  static T*& Slot() {
    static T* handler = nullptr;
    return handler;
  }
};

}  // namespace components
