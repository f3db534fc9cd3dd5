#include "SharedUtilityWindow.h"

namespace components {

TSharedUtilityWindow::TSharedUtilityWindow() {
  window_ = gui::AllocateHWnd(this, &TSharedUtilityWindow::Dispatch);
}

TSharedUtilityWindow::~TSharedUtilityWindow() { gui::DeallocateHWnd(window_); }

void TSharedUtilityWindow::Dispatch(gui::TMessage& Message) {
  struct Depth {
    TSharedUtilityWindow* self;
    ~Depth() {
      if (--self->dispatching_ == 0 && self->freed_) delete self;
    }
  } depth{this};
  ++dispatching_;
  WndProc(Message);
}

void TSharedUtilityWindow::Free() {
  if (dispatching_ > 0)
    freed_ = true;
  else
    delete this;
}

}  // namespace components
