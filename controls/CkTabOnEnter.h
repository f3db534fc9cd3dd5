// TabOnEnter for the library's controls: Enter moves the focus on like Tab.
#pragma once

#include "gui/Controls.h"

namespace ck {

// For CM_WANTSPECIALKEY: with TabOnEnter the control takes Enter itself, so
// that the form's default button does not get it first. True when answered.
inline bool WantEnterAsTab(gui::TMessage& m, bool tabOnEnter) {
  if (!tabOnEnter || m.WParam != VK_RETURN) return false;
  m.Result = 1;
  return true;
}

// For KeyPress: swallows Enter and posts a Tab key to the control instead.
// True when it did.
inline bool TakeEnterAsTab(gui::TWinControl& control, char& key, bool tabOnEnter) {
  if (!tabOnEnter || key != '\r') return false;
  key = 0;
  PostMessageA(control.Handle(), WM_KEYDOWN, VK_TAB, 0);
  return true;
}

}  // namespace ck
