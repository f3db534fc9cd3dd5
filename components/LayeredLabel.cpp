#include "LayeredLabel.h"

#include "LayeredWnd.h"

namespace components {

GUI_DEFINE_CLASS(TLayeredLabel) {
  c.Boolean("MoveHandler", &TLayeredLabel::MoveHandler, &TLayeredLabel::SetMoveHandler);
  c.Publish("OnContextPopup");
  c.Publish("OnDblClick");
  c.Publish("OnMouseWheel");
  c.Publish("OnMouseWheelDown");
  c.Publish("OnMouseWheelUp");
}

TLayeredLabel::TLayeredLabel(gui::TComponent* owner) : TLayeredControl(owner) {}

void TLayeredLabel::PaintLayered(Gdiplus::Graphics& graphics) {
  DrawFocus(graphics);
  if (HasVisibleText(Caption())) DrawCaption(graphics, Caption());
}

void TLayeredLabel::DrawCaption(Gdiplus::Graphics& graphics, const std::string& caption) {
  DrawStateCaption(graphics, caption, 0);
}

void TLayeredLabel::DrawFocus(Gdiplus::Graphics& graphics) {
  if (Visible() && DrawFocused() && Focused()) DrawFocusOutline(graphics);
}

void TLayeredLabel::WndProc(gui::TMessage& m) {
  switch (m.Msg) {
    case gui::CM_MOUSEENTER:
      state_.Enter();
      Repaint();
      break;
    case gui::CM_MOUSELEAVE:
      StateChanged(state_.Leave());
      break;
    case WM_KILLFOCUS:
      state_.Reset();
      Repaint();
      break;
    case WM_SETFOCUS:
    case gui::CM_FOCUSCHANGED:
      Repaint();
      break;
  }
  inherited::WndProc(m);
}

void TLayeredLabel::MouseDown(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y) {
  if (Button == gui::mbLeft) Press();
  inherited::MouseDown(Button, Shift, X, Y);
  gui::TCustomForm* form = moveHandler_ ? gui::GetParentForm(this) : nullptr;
  if (!form) return;
  ReleaseCapture();
  // The system's move loop runs until the user lets go of the window.
  SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
  state_.Complete();
  Repaint();
}

void TLayeredLabel::MouseMove(gui::TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (!InsideControl(X, Y, Width(), Height())) StateChanged(state_.Reset());
}

void TLayeredLabel::MouseUp(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y) {
  state_.Release(InsideControl(X, Y, Width(), Height()));
  Repaint();
  inherited::MouseUp(Button, Shift, X, Y);
}

}  // namespace components
