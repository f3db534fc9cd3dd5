#include "VeeCustomButton.h"

#include "VeeButtonLayout.h"
#include "gui/Bitmap.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Graphic.h"
#include "gui/StdCtrls.h"

namespace components {

using namespace gui;

namespace {
constexpr TColor kGrey = 0x808080;  // 128, 128, 128

bool IsBlank(const std::string& text) {
  for (char ch : text)
    if (static_cast<unsigned char>(ch) > 32) return false;
  return true;
}
}  // namespace

GUI_DEFINE_CLASS(TVeeCustomButton) {
  c.String("Caption", &TVeeCustomButton::Caption, &TVeeCustomButton::SetCaption);
  c.Integer("TextX", &TVeeCustomButton::TextX, &TVeeCustomButton::SetTextX);
  c.Integer("TextY", &TVeeCustomButton::TextY, &TVeeCustomButton::SetTextY);
  c.Integer("ModalResult", &TVeeCustomButton::ModalResult, &TVeeCustomButton::SetModalResult, {},
            &ModalResultIdents());
  c.Boolean("Transparent", &TVeeCustomButton::Transparent, &TVeeCustomButton::SetTransparent);
  c.Integer("FocusedRectMargin", &TVeeCustomButton::FocusedRectMargin, &TVeeCustomButton::SetFocusedRectMargin);
  c.Enumeration("TextAlign", VeeAlignmentInfo(), &TVeeCustomButton::TextAlign, &TVeeCustomButton::SetTextAlign);
  c.Boolean("MultiLines", &TVeeCustomButton::MultiLines, &TVeeCustomButton::SetMultiLines);
  c.Boolean("EnableStatesFont", &TVeeCustomButton::EnableStatesFont, &TVeeCustomButton::SetEnableStatesFont);
  c.Boolean("ShowDisabledShadow", &TVeeCustomButton::ShowDisabledShadow, &TVeeCustomButton::SetShowDisabledShadow);
  c.Object("FontMouseHover", &TVeeCustomButton::FontMouseHover, &TVeeCustomButton::SetFontMouseHover);
  c.Object("FontMouseDown", &TVeeCustomButton::FontMouseDown, &TVeeCustomButton::SetFontMouseDown);
  c.Object("FontDisabled", &TVeeCustomButton::FontDisabled, &TVeeCustomButton::SetFontDisabled);
  // Hint as well: the program's buttons carry hints, and the class library
  // keeps Hint protected until a control class publishes it.
  for (const char* name : {"Anchors", "ParentColor", "Font", "PopupMenu", "Hint", "ShowHint", "ParentShowHint",
                           "ParentFont", "OnEnter", "OnExit", "Visible"})
    c.Publish(name);
  c.Publish("TabStop", 0);
  // Published by TVeeButton.
  c.Protected();
  c.Boolean("Cancel", &TVeeCustomButton::Cancel, &TVeeCustomButton::SetCancel, false);
  c.Boolean("Default", &TVeeCustomButton::Default, &TVeeCustomButton::SetDefault, false);
  c.Boolean("Stretch", &TVeeCustomButton::Stretch, &TVeeCustomButton::SetStretch);
  c.Boolean("DrawFocused", &TVeeCustomButton::DrawFocused, &TVeeCustomButton::SetDrawFocused);
  c.Boolean("DrawBorder", [](TVeeCustomButton& b) { return b.DrawBorder(); }, &TVeeCustomButton::SetDrawBorder);
  c.Boolean("EnableTransparentColor", &TVeeCustomButton::EnableTransparentColor,
            &TVeeCustomButton::SetEnableTransparentColor);
  c.Color("TransparentColor", &TVeeCustomButton::TransparentColor, &TVeeCustomButton::SetTransparentColor);
  c.Integer("PictureX", &TVeeCustomButton::PictureX, &TVeeCustomButton::SetPictureX);
  c.Integer("PictureY", &TVeeCustomButton::PictureY, &TVeeCustomButton::SetPictureY);
  c.Enumeration("PictureAlign", VeeAlignmentInfo(), &TVeeCustomButton::PictureAlign,
                &TVeeCustomButton::SetPictureAlign);
  c.Event("OnMouseExit", &TVeeCustomButton::OnMouseExit);
  c.Event("OnMouseContinuouslyDown", &TVeeCustomButton::OnMouseContinuouslyDown);
}

TVeeCustomButton::TVeeCustomButton(TComponent* owner) : TCustomControl(owner) {
  // No children, no double clicks (a quick second press is a press), and no
  // caption taken from the name.
  controlStyle_ = {csCaptureMouse, csClickEvents, csOpaque};
  SetBounds(0, 0, 75, 25);
  auto copyOfFont = [this] {
    auto font = std::make_unique<TFont>();
    font->Assign(Font());
    font->OnChange = [this](TObject*) { Redraw(); };
    return font;
  };
  fontMouseHover_ = copyOfFont();
  fontMouseDown_ = copyOfFont();
  fontDisabled_ = copyOfFont();
}

TVeeCustomButton::~TVeeCustomButton() { repeatTimer_.reset(); }

void TVeeCustomButton::Redraw() {
  if (HandleAllocated()) Repaint();
}

void TVeeCustomButton::SetCaption(const std::string& value) {
  caption_ = value;
  SetText(value);
  Redraw();
}

void TVeeCustomButton::SetTextAlign(TVeeAlignment value) { Change(textAlign_, value); }
void TVeeCustomButton::SetTextX(int value) { Change(textX_, value); }
void TVeeCustomButton::SetTextY(int value) { Change(textY_, value); }
void TVeeCustomButton::SetMultiLines(bool value) { Change(multiLines_, value); }
void TVeeCustomButton::SetPictureAlign(TVeeAlignment value) { Change(pictureAlign_, value); }
void TVeeCustomButton::SetPictureX(int value) { Change(pictureX_, value); }
void TVeeCustomButton::SetPictureY(int value) { Change(pictureY_, value); }
void TVeeCustomButton::SetStretch(bool value) { Change(stretch_, value); }
void TVeeCustomButton::SetTransparent(bool value) { Change(transparent_, value); }
void TVeeCustomButton::SetEnableTransparentColor(bool value) { Change(enableTransparentColor_, value); }
void TVeeCustomButton::SetTransparentColor(TColor value) { Change(transparentColor_, value); }
void TVeeCustomButton::SetFocusedRectMargin(int value) { Change(focusedRectMargin_, value); }
void TVeeCustomButton::SetDrawFocused(bool value) { Change(drawFocused_, value); }
void TVeeCustomButton::SetDrawBorder(bool value) { Change(drawBorder_, value); }
void TVeeCustomButton::SetCancel(bool value) { Change(cancel_, value); }

void TVeeCustomButton::SetModalResult(TModalResult value) {
  modalResult_ = value;
  Redraw();
}

void TVeeCustomButton::SetEnableStatesFont(bool value) {
  enableStatesFont_ = value;
  Redraw();
}

void TVeeCustomButton::SetShowDisabledShadow(bool value) {
  showDisabledShadow_ = value;
  Redraw();
}

void TVeeCustomButton::AssignFont(std::unique_ptr<TFont>& font, TFont* value) {
  font->Assign(value);
  Redraw();
}

void TVeeCustomButton::SetFontMouseHover(TFont* value) { AssignFont(fontMouseHover_, value); }
void TVeeCustomButton::SetFontMouseDown(TFont* value) { AssignFont(fontMouseDown_, value); }
void TVeeCustomButton::SetFontDisabled(TFont* value) { AssignFont(fontDisabled_, value); }

void TVeeCustomButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  // The form tells every control of its focus again, so ActiveDefault follows.
  if (HandleAllocated())
    if (TCustomForm* form = GetParentForm(this))
      form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
  Redraw();
}

void TVeeCustomButton::CreateWnd() {
  inherited::CreateWnd();
  activeDefault_ = default_;
}

void TVeeCustomButton::StopRepeat() { repeatTimer_.reset(); }

// --- mouse and keys ---------------------------------------------------------

void TVeeCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    down_ = true;
    hover_ = false;
    if (!repeatTimer_) {
      repeatTimer_ = std::make_unique<TTimer>(nullptr);
      repeatTimer_->SetInterval(static_cast<UINT>(std::max(repeatInterval_, 0)));
      repeatTimer_->OnTimer = [this](TObject*) {
        if (OnMouseContinuouslyDown) OnMouseContinuouslyDown(this);
      };
      repeatTimer_->SetEnabled(true);
    }
    if (TabStop() && CanFocus() && Enabled() && Visible()) {
      try {
        SetFocus();
      } catch (const Exception&) {
        // A press works without the focus.
      }
    }
    Redraw();
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TVeeCustomButton::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (!Inside(X, Y) && !down_) {
    hover_ = false;
    Redraw();
  }
}

void TVeeCustomButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  hover_ = Inside(X, Y);
  down_ = false;
  StopRepeat();
  Redraw();
  inherited::MouseUp(Button, Shift, X, Y);
}

void TVeeCustomButton::Click() {
  if (down_) {
    StopRepeat();
    down_ = false;
    hover_ = true;
    Redraw();
  }
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  inherited::Click();
}

void TVeeCustomButton::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  if ((Key == VK_SPACE || Key == VK_RETURN) && Focused() && Enabled()) {
    down_ = true;
    hover_ = false;
    Redraw();
  }
}

void TVeeCustomButton::KeyUp(WORD& Key, TShiftState Shift) {
  inherited::KeyUp(Key, Shift);
  if ((Key == VK_SPACE || Key == VK_RETURN) && Focused() && down_ && Enabled()) {
    down_ = false;
    Redraw();
    Click();
  }
}

void TVeeCustomButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_MOUSEENTER: return CMMouseEnter(m);
    case CM_MOUSELEAVE: return CMMouseLeave(m);
    case CM_DIALOGCHAR: return CMDialogChar(m);
    case CM_DIALOGKEY: return CMDialogKey(m);
    case CM_FOCUSCHANGED: return CMFocusChanged(m);
    case CM_TEXTCHANGED: return CMTextChanged(m);
    case CM_ENABLEDCHANGED: return RedrawAfter(m);
    case CM_FONTCHANGED: return RedrawAfter(m);
    case WM_SETFOCUS: return RedrawAfter(m);
    case WM_KILLFOCUS: return RedrawAfter(m);
    case WM_CAPTURECHANGED: return WMCaptureChanged(m);
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    default: return inherited::WndProc(m);
  }
}

void TVeeCustomButton::CMMouseEnter(TMessage&) {
  if (ComponentState().Contains(csDesigning)) return;
  hover_ = true;
  down_ = false;
  Redraw();
  if (OnMouseEnter) OnMouseEnter(this);
}

void TVeeCustomButton::CMMouseLeave(TMessage&) {
  if (down_) return;  // a press dragged outside stays a press
  hover_ = false;
  StopRepeat();
  Redraw();
  if (OnMouseExit) OnMouseExit(this);
}

void TVeeCustomButton::CMDialogChar(TMessage& m) {
  inherited::WndProc(m);
  if (IsAccel(m.WParam, caption_) && Enabled()) {
    Click();
    m.Result = 1;
  } else {
    m.Result = 0;
  }
}

void TVeeCustomButton::CMDialogKey(TMessage& m) {
  bool key = (m.WParam == VK_RETURN && activeDefault_) || (m.WParam == VK_ESCAPE && cancel_);
  TShiftState held = KeyboardStateToShiftState() & TShiftState{ssShift, ssCtrl, ssAlt};
  if (key && held.Empty() && CanFocus()) {
    Click();
    m.Result = 1;
    return;
  }
  inherited::WndProc(m);
}

void TVeeCustomButton::CMFocusChanged(TMessage& m) {
  auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
  activeDefault_ = focused && focused->Is<TButton>() ? focused == static_cast<TWinControl*>(this) : default_;
  Redraw();
  inherited::WndProc(m);
}

void TVeeCustomButton::CMTextChanged(TMessage& m) {
  caption_ = Text();
  Redraw();
  inherited::WndProc(m);
}

void TVeeCustomButton::RedrawAfter(TMessage& m) {
  inherited::WndProc(m);
  Redraw();
}

void TVeeCustomButton::WMCaptureChanged(TMessage& m) {
  inherited::WndProc(m);
  // Another window took the mouse in the middle of a press (a dialog, a task
  // switch): the release will never come, so end the press here rather than
  // repeat and look pressed until the next click.
  if (down_ && ControlState().Contains(csLButtonDown) && reinterpret_cast<HWND>(m.LParam) != Handle()) {
    down_ = false;
    hover_ = false;
    StopRepeat();
    Redraw();
  }
}

// The whole client area is painted: erasing first would only flicker.
void TVeeCustomButton::WMEraseBkgnd(TMessage& m) { m.Result = 1; }

// --- painting ---------------------------------------------------------------

void TVeeCustomButton::Paint() {
  const TRect client = ClientRect();
  TBitmap buffer;
  buffer.SetSize(client.Width(), client.Height());
  TCanvas& canvas = buffer.Canvas();
  PaintBackground(canvas);
  PaintPicture(canvas);
  if (drawBorder_) DrawBorder(canvas);
  if (drawFocused_ && Focused() && TabStop()) DrawFocusRect(canvas);
  if (!IsBlank(caption_)) DrawCaption(canvas, caption_);
  Canvas()->CopyRect(client, canvas, client);
}

void TVeeCustomButton::PaintBackground(TCanvas& canvas) {
  if (transparent_) {
    gui::PaintParentBackground(canvas, this);
  } else {
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
  }
}

void TVeeCustomButton::PaintPicture(TCanvas& canvas) {
  TPicture* picture = GetStatePicture();
  if (!picture) return;
  const TRect client = ClientRect();
  TBitmap layer;
  layer.SetSize(client.Width(), client.Height());
  layer.Canvas().CopyRect(client, canvas, client);
  try {
    DrawPicture(layer.Canvas(), picture);
  } catch (...) {
    return;  // the background stays as it is
  }
  if (enableTransparentColor_)
    MaskedBlt(canvas.Handle(), client, layer.Canvas().Handle(), client, ColorToRGB(transparentColor_));
  else
    canvas.CopyRect(client, layer.Canvas(), client);
}

void TVeeCustomButton::DrawPicture(TCanvas& canvas, TPicture* picture) {
  if (!picture || !picture->Graphic() || picture->Width() == 0 || picture->Height() == 0) return;
  TRect place = VeePictureRect(pictureAlign_, {Width(), Height()}, {picture->Width(), picture->Height()},
                               {pictureX_, pictureY_}, stretch_);
  if (stretch_)
    canvas.StretchDraw(place, picture->Graphic());
  else
    canvas.Draw(place.Left, place.Top, picture->Graphic());
}

void TVeeCustomButton::DrawCaption(TCanvas& canvas, const std::string& caption) {
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().Assign(Font());
  const UINT format = VeeCaptionFormat(textAlign_, multiLines_);
  const TVeeButtonState state = VeeButtonState(Enabled(), down_, hover_);
  TRect rect = VeeCaptionRect(textAlign_, {ClientWidth(), ClientHeight()}, {textX_, textY_},
                              state == TVeeButtonState::Down);
  if (enableStatesFont_) {
    switch (state) {
      case TVeeButtonState::Disabled: canvas.Font().Assign(fontDisabled_.get()); break;
      case TVeeButtonState::Down: canvas.Font().Assign(fontMouseDown_.get()); break;
      case TVeeButtonState::Hover: canvas.Font().Assign(fontMouseHover_.get()); break;
      default: break;
    }
  }
  TRect first = rect;
  canvas.DrawText(caption, first, format);
  if (state == TVeeButtonState::Disabled && showDisabledShadow_) {
    TRect shadow = Rect(rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1);
    canvas.Font().SetColor(kGrey);
    canvas.DrawText(caption, shadow, format);
  }
}

void TVeeCustomButton::DrawFocusRect(TCanvas& canvas) {
  const TRect client = ClientRect();
  const int m = focusedRectMargin_;
  canvas.Brush().SetStyle(bsSolid);
  canvas.DrawFocusRect(Rect(client.Left + m, client.Top + m, client.Right - m, client.Bottom - m));
}

void TVeeCustomButton::DrawBorder(TCanvas& canvas) {
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(Enabled() ? clBlack : kGrey);
  canvas.FrameRect(ClientRect());
}

}  // namespace components
