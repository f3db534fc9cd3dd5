// The library's check box and radio button: windowed controls that draw a
// small state glyph and their caption beside it. The glyph comes from a
// strip of pictures, the visual style, the library's own hot-track painter
// or the system's classic drawing, in that order of precedence.
#pragma once

#include <memory>

#include "CkButton.h"
#include "CkCommon.h"
#include "gui/ActnList.h"
#include "gui/Bitmap.h"

namespace ck {

class TCkCustomGlyphButton;

extern const TEnumInfo LeftRightInfo;

class TCkCustomGlyphButton : public TCkCustomButton, public ICkFrameControllerClient {
  GUI_CLASS(TCkCustomGlyphButton, TCkCustomButton)

 public:
  explicit TCkCustomGlyphButton(TComponent* owner);
  ~TCkCustomGlyphButton() override;

  void ApplyFrameController() override { ApplyFrameControllerSettings(); }

  virtual bool Checked() const { return false; }
  virtual void SetChecked(bool value) {}

  TLeftRight Alignment() const { return alignment_; }
  virtual void SetAlignment(TLeftRight value);
  TBitmap* CustomGlyphs() const { return customGlyphs_.get(); }
  virtual void SetCustomGlyphs(TBitmap* value);
  bool UseCustomGlyphs() const { return useCustomGlyphs_; }
  virtual void SetUseCustomGlyphs(bool value);
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }
  TColor FillColor() const { return fillColor_; }
  virtual void SetFillColor(TColor value);
  TColor FocusColor() const { return focusColor_; }
  virtual void SetFocusColor(TColor value);
  TColor FrameColor() const { return frameColor_; }
  virtual void SetFrameColor(TColor value);
  TColor DisabledColor() const { return disabledColor_; }
  virtual void SetDisabledColor(TColor value);
  bool ReadOnly() const { return readOnly_; }
  virtual void SetReadOnly(bool value);
  TColor ReadOnlyColor() const { return readOnlyColor_; }
  virtual void SetReadOnlyColor(TColor value);
  bool ReadOnlyColorOnFocus() const { return readOnlyColorOnFocus_; }
  void SetReadOnlyColorOnFocus(bool value);
  TColor TransparentColor() const { return transparentColor_; }
  virtual void SetTransparentColor(TColor value);
  TColor WinMaskColor() const { return winMaskColor_; }
  virtual void SetWinMaskColor(TColor value);
  TCkButtonHotTrackStyle HotTrackStyle() const { return hotTrackStyle_; }
  void SetHotTrackStyle(TCkButtonHotTrackStyle value);
  TCkFrameController* FrameController() const { return frameController_.Get(); }
  virtual void SetFrameController(TCkFrameController* value);
  TCkFrameControllerNotifications FrameControllerNotifications() const { return frameController_.Notifications; }
  void SetFrameControllerNotifications(TCkFrameControllerNotifications value) {
    frameController_.Notifications = value;
  }
  void SetTransparent(bool value) override;

  // The glyph's size: 13 x 13, or one cell of the strip.
  int GlyphWidth() const { return glyphWidth_; }
  int GlyphHeight() const { return glyphHeight_; }
  // Where the glyph sits (client coordinates).
  TRect GlyphRect();
  // The glyph sits at the right edge, the caption on its left.
  bool GlyphAtRight() const;

  void WndProc(TMessage& Message) override;

 protected:
  virtual void ApplyFrameControllerSettings();
  // A linked action's Checked shows, without a click.
  std::unique_ptr<TControlActionLink> CreateActionLink() override;
  // Draws the glyph of the current state into a glyph-sized bitmap.
  virtual void DrawStateGlyph(TBitmap& glyph) = 0;
  virtual void SmoothGlyphEdge(TBitmap& glyph) {}
  // Composes the glyph over what the canvas shows and draws it there.
  virtual void ComposeGlyph(TCanvas& canvas);
  // Copies cell `index` of the strip into glyph.
  virtual void CopyCell(int index, TBitmap& glyph);

  void Paint() override;
  void DrawTransparentBackground(HDC dc) override;
  void ShowPressedLook(bool pressed) override { Repaint(); }
  void RepaintFocus() override { Repaint(); }
  TRect HotTrackRect() override { return GlyphRect(); }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyPress(char& Key) override;
  void Notification(TComponent* component, TOperation operation) override;

  // The glyph state of the library's painters: normal, pressed, hot, disabled.
  TCkGlyphState DrawState() const;
  // The colours and state the library's painters draw with.
  TCkGlyphStyle GlyphStyle();
  // Fires the click unless clicks are suppressed.
  void ClickUnlessSuppressed();
  bool UsingMouse() const { return usingMouse_; }
  // UseCustomGlyphs with a strip wide enough for its cells.
  bool DrawsFromStrip() const;
  // The strip holds this many cells.
  void SetGlyphStateCount(int count) { stateCount_ = count; }
  void FlagBackground() { backgroundStale_ = true; }

  template <class V>
  void Change(V& field, const V& value) {
    if (field == value) return;
    field = value;
    Invalidate();
  }

 private:
  class CheckLink;
  void StripChanged(TObject*);
  void UpdateGlyphSize();

  int stateCount_ = 2;
  int glyphWidth_ = 13;
  int glyphHeight_ = 13;
  std::unique_ptr<TBitmap> customGlyphs_;
  bool useCustomGlyphs_ = false;
  bool tabOnEnter_ = false;
  TCkFrameControllerLink frameController_{this};
  TColor frameColor_ = clBtnShadow;
  TColor disabledColor_ = clBtnFace;
  TColor transparentColor_ = clOlive;
  TColor winMaskColor_ = clLime;
  TColor focusColor_ = clWindow;
  TColor fillColor_ = clWindow;
  TColor readOnlyColor_ = clInfoBk;
  bool readOnly_ = false;
  bool readOnlyColorOnFocus_ = false;
  TCkButtonHotTrackStyle hotTrackStyle_ = htsInterior;
  TLeftRight alignment_ = taRightJustify;
  std::unique_ptr<TBitmap> background_;
  bool backgroundStale_ = true;
  bool usingMouse_ = false;
  bool clicksSuppressed_ = false;
};

// Three-state check logic: State and AllowGrayed.
class TCkCustomCheckBox : public TCkCustomGlyphButton {
  GUI_CLASS(TCkCustomCheckBox, TCkCustomGlyphButton)

 public:
  explicit TCkCustomCheckBox(TComponent* owner);

  TCheckBoxState State() const { return state_; }
  virtual void SetState(TCheckBoxState value);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }
  bool Checked() const override { return state_ == cbChecked; }
  void SetChecked(bool value) override { SetState(value ? cbChecked : cbUnchecked); }

  void WndProc(TMessage& Message) override;

 protected:
  void DrawStateGlyph(TBitmap& glyph) override;
  void PressAction() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  bool keyTogglePending_ = false;
};

class TCkCheckBox : public TCkCustomCheckBox {
  GUI_CLASS(TCkCheckBox, TCkCustomCheckBox)

 public:
  explicit TCkCheckBox(TComponent* owner) : TCkCustomCheckBox(owner) {}
};

// Radio logic: checking one unchecks the other radio buttons of its parent.
class TCkRadioButton : public TCkCustomGlyphButton {
  GUI_CLASS(TCkRadioButton, TCkCustomGlyphButton)

 public:
  explicit TCkRadioButton(TComponent* owner);

  bool Checked() const override { return checked_; }
  void SetChecked(bool value) override;
  // Read-only spreads to the other radio buttons of the parent.
  void SetReadOnly(bool value) override;

  void WndProc(TMessage& Message) override;

 protected:
  void DrawStateGlyph(TBitmap& glyph) override;
  void SmoothGlyphEdge(TBitmap& glyph) override;
  void PressAction() override;

 private:
  // The other radio buttons with the same parent.
  template <class F>
  void ForSiblings(F f);

  bool checked_ = false;
};

}  // namespace ck
