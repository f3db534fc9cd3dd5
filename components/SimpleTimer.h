// Light timers: plain objects (no components, no window of their own) whose
// ticks arrive as WM_TIMER messages at one hidden window shared by all of
// them. GUI thread only.
#pragma once

#include <windows.h>

#include <unordered_set>

#include "gui/Events.h"
#include "gui/Object.h"
#include "SharedUtilityWindow.h"

namespace components {

class TSimpleTimer : public gui::TObject {
  GUI_CLASS(TSimpleTimer, gui::TObject)

 public:
  // 1000 ms, no handler, stopped.
  TSimpleTimer();
  TSimpleTimer(int interval, gui::TNotifyEvent onTimer);
  // Stops a running timer before letting go of the shared window.
  ~TSimpleTimer() override;

  // Sets the system timer (restarting a running one); false when Interval is
  // 0 or the system refuses.
  bool Start();
  // Kills the system timer; Disable also clears Enabled. The result is the
  // kill's success.
  bool Stop(bool disable);

  // The identifier with the system's timer service: the object's address.
  UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // A new non-zero interval restarts an enabled timer; 0 halts its ticks
  // while it stays enabled.
  int Interval() const { return interval_; }
  void SetInterval(int value);
  const gui::TNotifyEvent& OnTimer() const { return onTimer_; }
  // Unassigning the handler halts the ticks of an enabled timer.
  void SetOnTimer(gui::TNotifyEvent value);

 private:
  bool enabled_ = false;
  int interval_ = 1000;
  gui::TNotifyEvent onTimer_;
};

// The hidden window every light timer ticks through.
class TSimpleTimerHandler : public TSharedUtilityWindow {
 public:
  // The process's handler, or null while no light timer exists.
  static TSimpleTimerHandler* Instance() { return TSharedHandler<TSimpleTimerHandler>::Instance(); }
  // Timers whose system timer is set.
  unsigned ActiveCount() const { return activeCount_; }

 protected:
  void WndProc(gui::TMessage& Message) override;

 private:
  friend class TSimpleTimer;
  friend class TSharedHandler<TSimpleTimerHandler>;
  TSimpleTimerHandler() = default;

  unsigned activeCount_ = 0;
  // Ticks are delivered only to timers that still exist.
  std::unordered_set<const TSimpleTimer*> timers_;
};

}  // namespace components
