#include "LayeredControl.h"

#include "LayeredGdiplus.h"
#include "LayeredWnd.h"
#include "kit/Own.h"

namespace components {

GUI_DEFINE_CLASS(TLayeredControl) {
  c.String("Caption", &TLayeredControl::Caption, &TLayeredControl::SetCaption);
  c.Integer("TextX", &TLayeredControl::TextX, &TLayeredControl::SetTextX);
  c.Integer("TextY", &TLayeredControl::TextY, &TLayeredControl::SetTextY);
  c.Enumeration("TextAlign", AlignmentInfo(), &TLayeredControl::TextAlign, &TLayeredControl::SetTextAlign);
  c.Boolean("MultiLines", &TLayeredControl::MultiLines, &TLayeredControl::SetMultiLines);
  c.Boolean("DrawFocused", &TLayeredControl::DrawFocused, &TLayeredControl::SetDrawFocused);
  c.Integer("FocusedRectMargin", &TLayeredControl::FocusedRectMargin, &TLayeredControl::SetFocusedRectMargin);
  c.Boolean("EnableStatesFont", &TLayeredControl::EnableStatesFont, &TLayeredControl::SetEnableStatesFont);
  c.Object("FontMouseHover", &TLayeredControl::FontMouseHover, &TLayeredControl::SetFontMouseHover);
  c.Object("FontMouseDown", &TLayeredControl::FontMouseDown, &TLayeredControl::SetFontMouseDown);
  c.Object("FontDisabled", &TLayeredControl::FontDisabled, &TLayeredControl::SetFontDisabled);
  c.Component("LayeredParent", &TLayeredControl::LayeredParent, &TLayeredControl::SetLayeredParent);
  c.Publish("Anchors");
  c.Publish("ParentColor");
  c.Publish("Font");
  c.Publish("PopupMenu");
  c.Publish("ShowHint");
  c.Publish("ParentShowHint");
  c.Publish("ParentFont");
  c.Publish("Visible");
  c.Publish("TabStop");
  c.Publish("OnEnter");
  c.Publish("OnExit");
  c.Publish("OnClick");
  c.Publish("OnMouseDown");
  c.Publish("OnMouseMove");
  c.Publish("OnMouseUp");
}

namespace {
std::unique_ptr<gui::TFont> CopyOf(gui::TFont* font) {
  auto copy = std::make_unique<gui::TFont>();
  copy->Assign(font);
  return copy;
}
}  // namespace

TLayeredControl::TLayeredControl(gui::TComponent* owner)
    : gui::TCustomControl(owner),
      fontMouseHover_(CopyOf(Font())),
      fontMouseDown_(CopyOf(Font())),
      fontDisabled_(CopyOf(Font())) {
  controlStyle_ = controlStyle_ - gui::csAcceptsControls - gui::csDoubleClicks;
}

TLayeredControl::~TLayeredControl() = default;

void TLayeredControl::SetCaption(const std::string& value) {
  caption_ = value;
  SetText(value);
  TextChanged();
}

void TLayeredControl::SetTextX(int value) { Update(textX_, value); }
void TLayeredControl::SetTextY(int value) { Update(textY_, value); }
void TLayeredControl::SetTextAlign(TAlignment value) { Update(textAlign_, value); }
void TLayeredControl::SetMultiLines(bool value) { Update(multiLines_, value); }
void TLayeredControl::SetDrawFocused(bool value) { Update(drawFocused_, value); }

void TLayeredControl::SetFocusedRectMargin(int value) {
  if (value == focusedRectMargin_) return;
  focusedRectMargin_ = value;
  // Only the outline uses it.
  if (drawFocused_) Repaint();
}

void TLayeredControl::SetEnableStatesFont(bool value) {
  enableStatesFont_ = value;
  Repaint();
}

void TLayeredControl::SetFontMouseHover(gui::TFont* value) {
  fontMouseHover_->Assign(value);
  Repaint();
}

void TLayeredControl::SetFontMouseDown(gui::TFont* value) {
  fontMouseDown_->Assign(value);
  Repaint();
}

void TLayeredControl::SetFontDisabled(gui::TFont* value) {
  fontDisabled_->Assign(value);
  Repaint();
}

void TLayeredControl::SetLayeredParent(TfrmLayered* value) {
  if (value == layeredParent_) return;
  if (layeredParent_) layeredParent_->RemoveFreeNotification(this);
  layeredParent_ = value;
  if (value) value->FreeNotification(this);
}

void TLayeredControl::Notification(gui::TComponent* component, gui::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == gui::opRemove && component == layeredParent_) layeredParent_ = nullptr;
}

void TLayeredControl::WndProc(gui::TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      // The window's buffer is the picture; nothing is drawn on the screen.
      m.Result = 1;
      return;
    case gui::CM_FONTCHANGED:
      inherited::WndProc(m);
      FontChanged();
      return;
    case gui::CM_TEXTCHANGED:
      inherited::WndProc(m);
      if (Text() != caption_) SetCaption(Text());
      return;
    case gui::CM_ENABLEDCHANGED:
      inherited::WndProc(m);
      Repaint();
      return;
  }
  inherited::WndProc(m);
}

void TLayeredControl::FontChanged() {
  Canvas()->SetFont(Font());
  Repaint();
}

void TLayeredControl::TextChanged() { Repaint(); }

void TLayeredControl::Repaint() { Paint(); }

void TLayeredControl::RestoreArea() {
  if (layeredParent_) layeredParent_->Surface().RestoreArea(BoundsRect());
}

void TLayeredControl::Paint() {
  if (!layeredParent_ || !layeredParent_->MemGraphics()) return;
  RestoreArea();
  PaintLayered(*layeredParent_->MemGraphics());
  layeredParent_->Present();
}

gui::TFont* TLayeredControl::StateFont() {
  if (!enableStatesFont_) return Font();
  switch (LookOf(Enabled(), state_)) {
    case Look_Disabled: return fontDisabled_.get();
    case Look_Down: return fontMouseDown_.get();
    case Look_Hover: return fontMouseHover_.get();
    case Look_Normal: break;
  }
  return Font();
}

void TLayeredControl::Press() {
  state_.Press();
  if (TabStop() && CanFocus() && Enabled() && Visible()) {
    try {
      SetFocus();
    } catch (const std::exception&) {
      // A control that cannot take the focus is still pressed.
    }
  }
  Repaint();
}

void TLayeredControl::DrawStateCaption(Gdiplus::Graphics& graphics, const std::string& caption, int shift) {
  if (!Visible()) return;
  const TCaptionStyle style{textAlign_, multiLines_};
  const TLayoutRect layout = CaptionLayout(textAlign_, BoundsRect(), textX_, textY_, shift);
  // The font is measured on the control's own context once its window
  // exists (asking for it earlier would make the window), else the screen's.
  if (!HandleAllocated()) {
    kit::WindowDC screen(nullptr);
    DrawLayeredCaption(graphics, screen.Get(), *StateFont(), caption, style, layout);
    return;
  }
  auto* canvas = static_cast<gui::TControlCanvas*>(Canvas());
  DrawLayeredCaption(graphics, canvas->Handle(), *StateFont(), caption, style, layout);
  canvas->FreeHandle();  // a context taken outside painting goes back at once
}

void TLayeredControl::DrawFocusOutline(Gdiplus::Graphics& graphics) {
  DrawLayeredFocus(graphics, BoundsRect(), Font()->Color(), focusedRectMargin_);
}

}  // namespace components
