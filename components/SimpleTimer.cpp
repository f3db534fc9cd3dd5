#include "SimpleTimer.h"

namespace components {

namespace {

using Handlers = TSharedHandler<TSimpleTimerHandler>;

}  // namespace

GUI_DEFINE_CLASS(TSimpleTimer) {}

TSimpleTimer::TSimpleTimer() : TSimpleTimer(1000, nullptr) {}

TSimpleTimer::TSimpleTimer(int interval, gui::TNotifyEvent onTimer)
    : interval_(interval), onTimer_(std::move(onTimer)) {
  Handlers::Acquire().timers_.insert(this);
}

TSimpleTimer::~TSimpleTimer() {
  if (enabled_) Stop(true);
  if (TSimpleTimerHandler* handler = Handlers::Instance()) handler->timers_.erase(this);
  Handlers::Release();
}

bool TSimpleTimer::Start() {
  if (interval_ == 0) return false;
  if (enabled_) Stop(true);
  TSimpleTimerHandler* handler = Handlers::Instance();
  bool started = handler && SetTimer(handler->Handle(), Id(), static_cast<UINT>(interval_), nullptr) != 0;
  if (started) {
    enabled_ = true;
    ++handler->activeCount_;
  }
  return started;
}

bool TSimpleTimer::Stop(bool disable) {
  if (disable) enabled_ = false;
  TSimpleTimerHandler* handler = Handlers::Instance();
  bool stopped = handler && KillTimer(handler->Handle(), Id());
  if (stopped && handler->activeCount_ > 0) --handler->activeCount_;
  return stopped;
}

void TSimpleTimer::SetEnabled(bool value) {
  if (value)
    Start();
  else
    Stop(true);
}

void TSimpleTimer::SetInterval(int value) {
  if (value == interval_) return;
  interval_ = value;
  if (!enabled_) return;
  if (value != 0)
    Start();
  else
    Stop(false);
}

void TSimpleTimer::SetOnTimer(gui::TNotifyEvent value) {
  onTimer_ = std::move(value);
  if (!onTimer_ && enabled_) Stop(false);
}

void TSimpleTimerHandler::WndProc(gui::TMessage& Message) {
  if (Message.Msg != WM_TIMER) {
    Message.Result = DefWindowProcA(Handle(), Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  auto* timer = reinterpret_cast<TSimpleTimer*>(Message.WParam);
  if (timers_.count(timer) == 0) return;
  // A copy: the handler may replace itself or free its timer.
  gui::TNotifyEvent onTimer = timer->OnTimer();
  if (onTimer) onTimer(timer);
}

}  // namespace components
