// Scoped overrides of the program's global test hooks. Each puts its value
// in place while it lives and the program's own behaviour back when it goes,
// so a test that stops half way leaves nothing behind for the next one.
//
//   testsupport::ScopedThemes themes{false};        // visual styles off
//   testsupport::ScopedTimers timers;               // window timers ticked by hand
//   testsupport::Scoped fullColour(ck::ForceFullColorDisplay, true, std::nullopt);
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/Themes.h"

namespace testsupport {

// Any hook set through one function: set(value) now, set(restore) at the
// end of the scope.
class Scoped {
 public:
  template <class Set, class Value, class Restore>
  Scoped(Set set, Value value, Restore restore)
      : undo_([set, restore = std::move(restore)]() mutable { set(std::move(restore)); }) {
    set(std::move(value));
  }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  ~Scoped() { undo_(); }

 private:
  std::function<void()> undo_;
};

// Visual styles on or off for the whole program; the system decides again
// afterwards.
class ScopedThemes {
 public:
  explicit ScopedThemes(std::optional<bool> enabled) { Set(enabled); }
  ScopedThemes(const ScopedThemes&) = delete;
  ScopedThemes& operator=(const ScopedThemes&) = delete;
  ~ScopedThemes() { Set(std::nullopt); }
  void Set(std::optional<bool> enabled) { gui::ThemeServices().SetThemesEnabled(enabled); }
};

// Beeps counted instead of heard.
class ScopedBeeps {
 public:
  ScopedBeeps() {
    gui::SetBeepHook([this] { ++count_; });
  }
  ScopedBeeps(const ScopedBeeps&) = delete;
  ScopedBeeps& operator=(const ScopedBeeps&) = delete;
  ~ScopedBeeps() { gui::SetBeepHook({}); }
  int Count() const { return count_; }

 private:
  int count_ = 0;
};

// Message boxes answered by the test instead of the user.
class ScopedMessageBoxes {
 public:
  explicit ScopedMessageBoxes(gui::TMessageBoxHook answer) { gui::SetMessageBoxHook(std::move(answer)); }
  ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
  ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;
  ~ScopedMessageBoxes() { gui::SetMessageBoxHook({}); }
};

// Window timers that never fire by themselves: the test sees each start and
// stop and ticks the running ones.
class ManualTimers : public gui::TTimerService {
 public:
  struct Timer {
    HWND Window;
    UINT_PTR Id;
    UINT Interval;
  };

  bool Start(HWND window, UINT_PTR id, UINT interval) override {
    Forget(window, id);
    running.push_back({window, id, interval});
    lastInterval_ = interval;
    calls.push_back("start " + std::to_string(interval));
    return true;
  }
  void Stop(HWND window, UINT_PTR id) override {
    Forget(window, id);
    calls.push_back("stop");
  }

  // One WM_TIMER to every running timer; a timer that an earlier tick
  // stopped gets none.
  void Tick() {
    const std::vector<Timer> now = running;
    for (const Timer& t : now)
      if (IsRunning(t.Window, t.Id)) SendMessageW(t.Window, WM_TIMER, t.Id, 0);
  }
  bool Running() const { return !running.empty(); }
  // The interval of the latest start (0 before any).
  UINT LastInterval() const { return lastInterval_; }

  // "start <interval>" and "stop", in order.
  std::vector<std::string> calls;
  std::vector<Timer> running;

 private:
  void Forget(HWND window, UINT_PTR id) {
    std::erase_if(running, [&](const Timer& t) { return t.Window == window && t.Id == id; });
  }
  bool IsRunning(HWND window, UINT_PTR id) const {
    return std::any_of(running.begin(), running.end(),
                       [&](const Timer& t) { return t.Window == window && t.Id == id; });
  }
  UINT lastInterval_ = 0;
};

// ManualTimers in place of the system's timers while it lives.
class ScopedTimers : public ManualTimers {
 public:
  ScopedTimers() { gui::TTimer::SetService(this); }
  ScopedTimers(const ScopedTimers&) = delete;
  ScopedTimers& operator=(const ScopedTimers&) = delete;
  ~ScopedTimers() override { gui::TTimer::SetService(nullptr); }
};

}  // namespace testsupport
