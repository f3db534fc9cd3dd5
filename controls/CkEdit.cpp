#include "CkEdit.h"

#include "CkShell.h"

namespace ck {

namespace {

const TEnumInfo kAlignmentInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};

bool OnWindows40() { return IsWindowsVersion(4, 0); }

}  // namespace

GUI_DEFINE_CLASS(TCkCustomEdit) {
  DefineFrameProperties(c);
  c.Color("ReadOnlyColor", &TCkCustomEdit::ReadOnlyColor, &TCkCustomEdit::SetReadOnlyColor, clInfoBk);
  c.Boolean("ReadOnlyColorOnFocus", &TCkCustomEdit::ReadOnlyColorOnFocus, &TCkCustomEdit::SetReadOnlyColorOnFocus,
            false);
  c.Enumeration("Alignment", kAlignmentInfo, &TCkCustomEdit::Alignment, &TCkCustomEdit::SetAlignment, taLeftJustify);
  c.Boolean("TabOnEnter", &TCkCustomEdit::TabOnEnter, &TCkCustomEdit::SetTabOnEnter, false);
}

GUI_DEFINE_CLASS(TCkEdit) {
  for (const char* name :
       {"Text", "ReadOnly", "AutoSelect", "AutoSize", "Align", "Anchors", "CharCase", "Enabled", "Font",
        "HideSelection", "MaxLength", "OEMConvert", "ParentFont", "ParentShowHint", "PasswordChar", "PopupMenu",
        "ShowHint", "Hint", "TabOrder", "TabStop", "Visible", "BorderStyle", "OnChange", "OnClick", "OnContextPopup",
        "OnDblClick", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove",
        "OnMouseUp", "OnMouseEnter", "OnMouseLeave"})
    c.Publish(name);
}

TCkCustomEdit::TCkCustomEdit(TComponent* owner) : TCkFramedControl<TCustomMaskEdit>(owner) {
  controlStyle_ = {csClickEvents, csDoubleClicks, csCaptureMouse};
}

TCkCustomEdit::~TCkCustomEdit() = default;

void TCkCustomEdit::CreateParams(TCreateParams& p) {
  inherited::CreateParams(p);
  static const DWORD kAlign[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  p.Style = (p.Style & ~static_cast<DWORD>(ES_MULTILINE | ES_LEFT | ES_RIGHT | ES_CENTER)) | WS_CLIPCHILDREN |
            kAlign[alignment_];
}

void TCkCustomEdit::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

TColor TCkCustomEdit::StateColor() {
  if (!Enabled()) return DisabledColor();
  if (Focused()) return ReadOnly() && readOnlyColorOnFocus_ ? readOnlyColor_ : FocusColor();
  return ReadOnly() ? readOnlyColor_ : NormalColor();
}

void TCkCustomEdit::FocusStateChanged(bool entered) {
  inControl_ = entered;
  StateChanged();
}

void TCkCustomEdit::RedrawFrame() {
  if (HandleAllocated()) InvalidateNonClient(Handle(), ClientRect());
}

void TCkCustomEdit::SetReadOnly(bool value) {
  if (value == ReadOnly()) return;
  inherited::SetReadOnly(value);
  ReadOnlyOrEnabledChanged();
}

void TCkCustomEdit::ReadOnlyOrEnabledChanged() {
  UpdateColors();
  if (HandleAllocated()) ::SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

void TCkCustomEdit::SetReadOnlyColor(TColor value) {
  readOnlyColor_ = value;
  if (ReadOnly()) UpdateColors();
}

void TCkCustomEdit::SetReadOnlyColorOnFocus(bool value) {
  readOnlyColorOnFocus_ = value;
  if (ReadOnly() && Focused()) UpdateColors();
}

void TCkCustomEdit::KeyPress(char& key) {
  if (key == '\r') {
    if (tabOnEnter_) {
      key = 0;
      PostMessageA(Handle(), WM_KEYDOWN, VK_TAB, 0);
      return;
    }
    // The oldest edits beep at Enter in a right-aligned field.
    if (OnWindows40() && alignment_ == taRightJustify) {
      key = 0;
      return;
    }
  }
  inherited::KeyPress(key);
}

// The capture the layer took for the control, or the edit's own.
void TCkCustomEdit::ReleaseOwnCapture() {
  if (HandleAllocated() && GetCapture() == Handle()) SetMouseCapture(false);
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
}

void TCkCustomEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_ENTER:
      if (OnWindows40() && AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
      break;
    case CM_ENABLEDCHANGED:
      inherited::WndProc(m);
      ReadOnlyOrEnabledChanged();
      return;
    case WM_KILLFOCUS:
      inherited::WndProc(m);
      ReleaseOwnCapture();
      return;
    case WM_LBUTTONUP:
      ReleaseOwnCapture();
      break;
    case WM_LBUTTONDOWN:
      inherited::WndProc(m);
      if (!Focused()) ReleaseOwnCapture();
      return;
  }
  inherited::WndProc(m);
}

}  // namespace ck
