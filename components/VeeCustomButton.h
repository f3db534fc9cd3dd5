// TVeeCustomButton: an owner-drawn push button that keeps its own hover and
// pressed states and draws a state picture, a caption with a font per state,
// an optional border and focus rectangle, over its own colour or over its
// parent's background. TVeeButton (VeeButton.h) publishes it with four
// state pictures.
#pragma once

#include <memory>
#include <string>

#include "VeeWindowsUtils.h"
#include "gui/Controls.h"

namespace gui {
class TTimer;
class TPicture;
}  // namespace gui

namespace components {

class TVeeCustomButton : public gui::TCustomControl {
  GUI_CLASS(TVeeCustomButton, gui::TCustomControl)

 public:
  explicit TVeeCustomButton(gui::TComponent* owner);
  ~TVeeCustomButton() override;

  // The drawn caption; it is also the control's text ("&" marks the
  // accelerator).
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  TVeeAlignment TextAlign() const { return textAlign_; }
  void SetTextAlign(TVeeAlignment value);
  // The caption's top left for alCustom.
  int TextX() const { return textX_; }
  void SetTextX(int value);
  int TextY() const { return textY_; }
  void SetTextY(int value);
  bool MultiLines() const { return multiLines_; }
  void SetMultiLines(bool value);
  TVeeAlignment PictureAlign() const { return pictureAlign_; }
  void SetPictureAlign(TVeeAlignment value);
  // The picture's top left for alCustom.
  int PictureX() const { return pictureX_; }
  void SetPictureX(int value);
  int PictureY() const { return pictureY_; }
  void SetPictureY(int value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);

  // Paint the parent's background instead of the control's colour.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // Pixels of TransparentColor in the drawn picture let the background show.
  bool EnableTransparentColor() const { return enableTransparentColor_; }
  void SetEnableTransparentColor(bool value);
  gui::TColor TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(gui::TColor value);

  int FocusedRectMargin() const { return focusedRectMargin_; }
  void SetFocusedRectMargin(int value);
  bool DrawFocused() const { return drawFocused_; }
  void SetDrawFocused(bool value);
  bool DrawBorder() const { return drawBorder_; }
  void SetDrawBorder(bool value);

  // The fonts of the hover, pressed and disabled looks, used when
  // EnableStatesFont is set; setting one copies it.
  bool EnableStatesFont() const { return enableStatesFont_; }
  void SetEnableStatesFont(bool value);
  gui::TFont* FontMouseHover() { return fontMouseHover_.get(); }
  void SetFontMouseHover(gui::TFont* value);
  gui::TFont* FontMouseDown() { return fontMouseDown_.get(); }
  void SetFontMouseDown(gui::TFont* value);
  gui::TFont* FontDisabled() { return fontDisabled_.get(); }
  void SetFontDisabled(gui::TFont* value);
  // A disabled caption gets a grey copy one pixel down and right.
  bool ShowDisabledShadow() const { return showDisabledShadow_; }
  void SetShowDisabledShadow(bool value);

  // Enter clicks a Default button (unless a system push button has the
  // focus), Esc a Cancel button.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value);
  gui::TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(gui::TModalResult value);

  bool Hover() const { return hover_; }
  bool Down() const { return down_; }
  // Whether Enter presses this button now.
  bool ActiveDefault() const { return activeDefault_; }
  // Period of OnMouseContinuouslyDown while the left button is held down.
  int RepeatInterval() const { return repeatInterval_; }
  void SetRepeatInterval(int value) { repeatInterval_ = value; }

  void Click() override;
  void WndProc(gui::TMessage& Message) override;

  // OnMouseEnter is the control's own event.
  gui::TNotifyEvent OnMouseExit;
  gui::TNotifyEvent OnMouseContinuouslyDown;

 protected:
  // The drawing steps, in the order Paint runs them.
  virtual void DrawPicture(gui::TCanvas& canvas, gui::TPicture* picture);
  virtual void DrawCaption(gui::TCanvas& canvas, const std::string& caption);
  virtual void DrawFocusRect(gui::TCanvas& canvas);
  virtual void DrawBorder(gui::TCanvas& canvas);
  // The picture of the present look, or null (the base has none).
  virtual gui::TPicture* GetStatePicture() { return nullptr; }

  void Paint() override;
  void CreateWnd() override;
  void MouseDown(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y) override;
  void MouseMove(gui::TShiftState Shift, int X, int Y) override;
  void MouseUp(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, gui::TShiftState Shift) override;
  void KeyUp(WORD& Key, gui::TShiftState Shift) override;

  // Repaints at once when the window exists.
  void Redraw();
  // Stores a value and repaints when it changed.
  template <class V>
  void Change(V& field, const V& value) {
    if (field == value) return;
    field = value;
    Redraw();
  }

 private:
  bool Inside(int x, int y) { return x >= 0 && x <= Width() && y >= 0 && y <= Height(); }
  void StopRepeat();
  void AssignFont(std::unique_ptr<gui::TFont>& font, gui::TFont* value);
  void PaintBackground(gui::TCanvas& canvas);
  void PaintPicture(gui::TCanvas& canvas);

  // Message handlers (WndProc names one for each message it takes).
  void CMMouseEnter(gui::TMessage& Message);
  void CMMouseLeave(gui::TMessage& Message);
  void CMDialogChar(gui::TMessage& Message);
  void CMDialogKey(gui::TMessage& Message);
  void CMFocusChanged(gui::TMessage& Message);
  void CMTextChanged(gui::TMessage& Message);
  // The default handling, then a repaint in the new state.
  void RedrawAfter(gui::TMessage& Message);
  void WMCaptureChanged(gui::TMessage& Message);
  void WMEraseBkgnd(gui::TMessage& Message);

  std::string caption_;
  int textX_ = 0, textY_ = 0;
  int pictureX_ = 0, pictureY_ = 0;
  TVeeAlignment textAlign_ = TVeeAlignment::alCenter;
  TVeeAlignment pictureAlign_ = TVeeAlignment::alTopLeft;
  bool multiLines_ = false;
  bool transparent_ = false;
  bool enableTransparentColor_ = false;
  gui::TColor transparentColor_ = gui::clFuchsia;
  int focusedRectMargin_ = 2;
  bool drawFocused_ = true;
  bool drawBorder_ = false;
  bool stretch_ = false;
  bool enableStatesFont_ = false;
  std::unique_ptr<gui::TFont> fontMouseHover_, fontMouseDown_, fontDisabled_;
  bool showDisabledShadow_ = false;
  bool default_ = false;
  bool cancel_ = false;
  gui::TModalResult modalResult_ = gui::mrNone;
  bool hover_ = false;
  bool down_ = false;
  bool activeDefault_ = false;
  std::unique_ptr<gui::TTimer> repeatTimer_;
  int repeatInterval_ = 100;
};

}  // namespace components
