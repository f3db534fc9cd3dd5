// TCkCustomButton: the windowed base of the library's glyph buttons (check
// box, radio button). It draws the caption with text styles, follows the
// pointer for hot tracking, and tracks a left press so that a release inside
// the control runs the press action.
#pragma once

#include "CkCommon.h"
#include "gui/Controls.h"

namespace ck {

class TCkCustomButton : public TCustomControl {
  GUI_CLASS(TCkCustomButton, TCustomControl)

 public:
  explicit TCkCustomButton(TComponent* owner);

  TAlignmentVertical AlignmentVertical() const { return alignmentVertical_; }
  virtual void SetAlignmentVertical(TAlignmentVertical value);
  TColor HotTrackColor() const { return hotTrackColor_; }
  virtual void SetHotTrackColor(TColor value);
  TCkHotTrackColorType HotTrackColorType() const { return hotTrackColorType_; }
  virtual void SetHotTrackColorType(TCkHotTrackColorType value);
  TColor HighlightColor() const { return highlightColor_; }
  virtual void SetHighlightColor(TColor value);
  bool LightTextStyle() const { return lightTextStyle_; }
  virtual void SetLightTextStyle(bool value);
  TTextStyle TextStyle() const { return textStyle_; }
  virtual void SetTextStyle(TTextStyle value);
  TColor TextHighlightColor() const { return textHighlightColor_; }
  virtual void SetTextHighlightColor(TColor value);
  TColor TextShadowColor() const { return textShadowColor_; }
  virtual void SetTextShadowColor(TColor value);
  int TextShadowDepth() const { return textShadowDepth_; }
  virtual void SetTextShadowDepth(int value);
  bool HotTrack() const { return hotTrack_; }
  virtual void SetHotTrack(bool value);
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  // Follows the visual style where one is in use (not published).
  bool ThemeAware() const { return themeAware_; }
  virtual void SetThemeAware(bool value);

  // The pointer is over the control; the pressed look shows.
  bool MouseOver() const { return mouseOver_; }
  bool ShowingPressed() const { return showPressed_; }

  void WndProc(TMessage& Message) override;

 protected:
  // Paints what shows through a transparent control into dc.
  virtual void DrawTransparentBackground(HDC dc) {}
  // The pressed look was switched on or off.
  virtual void ShowPressedLook(bool pressed) {}
  virtual void RepaintFocus() { Repaint(); }
  // What hot tracking invalidates (client coordinates).
  virtual TRect HotTrackRect() { return ClientRect(); }
  // The caption in rect, placed by AlignmentVertical and drawn with the
  // DT_* flags in the current text style.
  virtual void DrawCaption(TCanvas& canvas, const TRect& rect, UINT flags);
  // What a click of the button does (a release of a press inside it).
  virtual void PressAction() = 0;

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void SetShowPressed(bool value) { showPressed_ = value; }
  // Styles drawn with the system's visual style now.
  bool UsingThemes() const;

 private:
  template <class V>
  void Change(V& field, const V& value) {
    if (field == value) return;
    field = value;
    Invalidate();
  }

  TAlignmentVertical alignmentVertical_ = avCenter;
  TColor hotTrackColor_ = 0x149BF0;
  TCkHotTrackColorType hotTrackColorType_ = htctActual;
  TColor highlightColor_ = clHighlight;
  bool lightTextStyle_ = false;
  TTextStyle textStyle_ = tsNormal;
  TColor textHighlightColor_ = clBtnHighlight;
  TColor textShadowColor_ = clBtnShadow;
  int textShadowDepth_ = 2;
  bool dragging_ = false;
  bool hotTrack_ = false;
  bool mouseOver_ = false;
  bool showPressed_ = false;
  bool transparent_ = false;
  bool themeAware_ = true;
};

}  // namespace ck
