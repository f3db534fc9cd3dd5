#include "SimpleTimer.h"

#include <gtest/gtest.h>

#include <memory>

#include "PumpMessages.h"

using namespace components;

namespace {

TSimpleTimerHandler& Handler() {
  TSimpleTimerHandler* handler = TSimpleTimerHandler::Instance();
  if (!handler) throw std::runtime_error("no light-timer handler");
  return *handler;
}

// A timer whose system timer is set; KillTimer tells.
bool SystemTimerSet(TSimpleTimer& timer) {
  if (!KillTimer(Handler().Handle(), timer.Id())) return false;
  SetTimer(Handler().Handle(), timer.Id(), static_cast<UINT>(timer.Interval()), nullptr);
  return true;
}

}  // namespace

TEST(SimpleTimer, TimersShareOneWindowThatGoesWithTheLast) {
  ASSERT_EQ(nullptr, TSimpleTimerHandler::Instance());
  auto first = std::make_unique<TSimpleTimer>();
  TSimpleTimerHandler* handler = TSimpleTimerHandler::Instance();
  ASSERT_NE(nullptr, handler);
  HWND window = handler->Handle();
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));

  auto second = std::make_unique<TSimpleTimer>(50, nullptr);
  EXPECT_EQ(handler, TSimpleTimerHandler::Instance());
  EXPECT_EQ(2u, handler->RefCount());

  first.reset();
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(1u, handler->RefCount());
  second.reset();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, TSimpleTimerHandler::Instance());

  TSimpleTimer third;
  ASSERT_NE(nullptr, TSimpleTimerHandler::Instance());
  EXPECT_TRUE(IsWindow(Handler().Handle()));
}

TEST(SimpleTimer, StartsStoppedAndTicksWithItselfAsSender) {
  int ticks = 0;
  gui::TObject* sender = nullptr;
  TSimpleTimer timer(10, [&](gui::TObject* s) {
    ++ticks;
    sender = s;
  });
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(10, timer.Interval());
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(&timer), timer.Id());
  EXPECT_EQ(0u, Handler().ActiveCount());

  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(1u, Handler().ActiveCount());
  ASSERT_TRUE(PumpMessagesUntil([&] { return ticks >= 2; }));
  EXPECT_EQ(&timer, sender);

  // Starting a running timer restarts it: still one system timer.
  EXPECT_TRUE(timer.Start());
  EXPECT_EQ(1u, Handler().ActiveCount());

  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(0u, Handler().ActiveCount());
  EXPECT_FALSE(SystemTimerSet(timer));
  // Stopping again finds nothing to kill and keeps the count at 0.
  EXPECT_FALSE(timer.Stop(true));
  EXPECT_EQ(0u, Handler().ActiveCount());
}

TEST(SimpleTimer, ZeroIntervalCannotRun) {
  TSimpleTimer timer(0, [](gui::TObject*) {});
  timer.SetEnabled(true);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_FALSE(timer.Start());
  EXPECT_EQ(0u, Handler().ActiveCount());
  EXPECT_FALSE(SystemTimerSet(timer));
}

TEST(SimpleTimer, ZeroIntervalHaltsARunningTimerThatStaysEnabled) {
  int ticks = 0;
  TSimpleTimer timer(10, [&](gui::TObject*) { ++ticks; });
  timer.SetEnabled(true);
  ASSERT_TRUE(PumpMessagesUntil([&] { return ticks >= 1; }));

  timer.SetInterval(0);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(0u, Handler().ActiveCount());
  EXPECT_FALSE(SystemTimerSet(timer));

  timer.SetInterval(15);
  EXPECT_EQ(1u, Handler().ActiveCount());
  int before = ticks;
  EXPECT_TRUE(PumpMessagesUntil([&] { return ticks > before; }));
}

TEST(SimpleTimer, UnassigningTheHandlerHaltsTicksUntilARealRestart) {
  int ticks = 0;
  gui::TNotifyEvent count = [&](gui::TObject*) { ++ticks; };
  TSimpleTimer timer(10, count);
  timer.SetEnabled(true);

  timer.SetOnTimer(nullptr);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_FALSE(SystemTimerSet(timer));
  // A new handler or the same interval does not restart it...
  timer.SetOnTimer(count);
  timer.SetInterval(10);
  EXPECT_FALSE(SystemTimerSet(timer));
  EXPECT_EQ(0u, Handler().ActiveCount());
  // ...a new interval does, and so does enabling.
  timer.SetInterval(12);
  EXPECT_TRUE(SystemTimerSet(timer));
  timer.SetOnTimer(nullptr);
  timer.SetOnTimer(count);
  timer.SetEnabled(true);
  EXPECT_TRUE(SystemTimerSet(timer));
  EXPECT_EQ(1u, Handler().ActiveCount());
  int before = ticks;
  EXPECT_TRUE(PumpMessagesUntil([&] { return ticks > before; }));
}

TEST(SimpleTimer, NoTickReachesADestroyedTimer) {
  TSimpleTimer keeper;  // keeps the window
  int ticks = 0;
  auto doomed = std::make_unique<TSimpleTimer>(10, [&](gui::TObject*) { ++ticks; });
  doomed->SetEnabled(true);
  UINT_PTR id = doomed->Id();
  doomed.reset();
  EXPECT_EQ(0u, Handler().ActiveCount());
  EXPECT_FALSE(KillTimer(Handler().Handle(), id));
  // Even a tick that was already on its way finds nobody.
  SendMessageA(Handler().Handle(), WM_TIMER, id, 0);
  EXPECT_EQ(0, ticks);
}

TEST(SimpleTimer, ATickMayFreeTheLastTimer) {
  bool freed = false;
  auto* timer = new TSimpleTimer(10, nullptr);
  timer->SetOnTimer([&](gui::TObject* sender) {
    delete static_cast<TSimpleTimer*>(sender);
    freed = true;
  });
  timer->SetEnabled(true);
  HWND window = Handler().Handle();
  ASSERT_TRUE(PumpMessagesUntil([&] { return freed; }));
  EXPECT_EQ(nullptr, TSimpleTimerHandler::Instance());
  EXPECT_FALSE(IsWindow(window));
}

namespace {

// Owns a timer until the program's exit, like the components of the
// application's forms, which are freed only then; made before any timer, so
// it is freed after everything the timers' first use set up.
struct TExitOwner {
  std::unique_ptr<TSimpleTimer> timer;
} exitOwner;

}  // namespace

// Runs last: its timer lives on past every test. A fault shows as the test
// program failing at its exit.
TEST(SimpleTimer, ATimerFreedAtProgramExitStillFindsItsWindow) {
  exitOwner.timer = std::make_unique<TSimpleTimer>(50, [](gui::TObject*) {});
  ASSERT_TRUE(exitOwner.timer->Start());
  EXPECT_TRUE(SystemTimerSet(*exitOwner.timer));
}
