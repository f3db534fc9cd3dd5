// Window messages as the controls see them: TMessage, the layer's own
// notifications (CM_*), the notifications a parent reflects to the control
// that sent them (CN_*), and hidden utility windows with a member window
// procedure (AllocateHWnd).
#pragma once

#include <windows.h>

#include <functional>

#include "gui/Types.h"

namespace gui {

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

inline TPoint PointFromLParam(LPARAM lParam) {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
inline LPARAM PointToLParam(TPoint p) {
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(p.X)), static_cast<WORD>(static_cast<short>(p.Y)));
}

// The layer's own notifications, sent with TControl::Perform.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;          // WParam: virtual key; Result 1: handled
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;         // WParam: character; Result 1: handled
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;       // LParam: the newly focused TWinControl*
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;           // LParam: point; Result non-zero: the point hits
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_ENTER = CM_BASE + 27;
constexpr UINT CM_EXIT = CM_BASE + 28;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 30;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 31;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 32;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 44;    // WParam: virtual key; Result 1: the control takes it
constexpr UINT CM_RELEASE = CM_BASE + 33;           // posted to a form that frees itself
constexpr UINT CM_RECREATEWND = CM_BASE + 51;

// A parent sends these to the control (its own child window) that sent the
// notification; LParam and WParam are those of the original message.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
// Key messages, given to the focused control by the message loop before they
// are translated and dispatched; Result 1 consumes the key.
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;

// A hidden top-level window whose messages go to `proc`, inside the
// application's exception barrier. The procedure answers every message
// itself (DefWindowProc for what it does not handle).
using TWndMethod = std::function<void(TMessage& Message)>;
HWND AllocateHWnd(TWndMethod proc);
// Member form: AllocateHWnd(this, &TMyClass::WndProc).
template <class T>
HWND AllocateHWnd(T* object, void (T::*method)(TMessage&)) {
  return AllocateHWnd([object, method](TMessage& m) { (object->*method)(m); });
}
void DeallocateHWnd(HWND window);

}  // namespace gui
