// TLayeredControl: what the layered label and button share. Such a control
// has a window for the mouse and the keyboard, but its look lives in its
// layered window's drawing buffer: it restores its area from the window's
// background, draws its caption (and focus outline) with GDI+ and presents
// the whole buffer. The window sets LayeredParent at its first paint; until
// then the control draws nothing.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "LayeredDraw.h"
#include "LayeredUtils.h"
#include "gui/Controls.h"

namespace components {

class TfrmLayered;

class TLayeredControl : public gui::TCustomControl {
  GUI_CLASS(TLayeredControl, gui::TCustomControl)

 public:
  explicit TLayeredControl(gui::TComponent* owner);
  ~TLayeredControl() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  int TextX() const { return textX_; }
  void SetTextX(int value);
  int TextY() const { return textY_; }
  void SetTextY(int value);
  TAlignment TextAlign() const { return textAlign_; }
  void SetTextAlign(TAlignment value);
  bool MultiLines() const { return multiLines_; }
  void SetMultiLines(bool value);
  bool DrawFocused() const { return drawFocused_; }
  void SetDrawFocused(bool value);
  int FocusedRectMargin() const { return focusedRectMargin_; }
  void SetFocusedRectMargin(int value);
  bool EnableStatesFont() const { return enableStatesFont_; }
  void SetEnableStatesFont(bool value);
  gui::TFont* FontMouseHover() const { return fontMouseHover_.get(); }
  void SetFontMouseHover(gui::TFont* value);
  gui::TFont* FontMouseDown() const { return fontMouseDown_.get(); }
  void SetFontMouseDown(gui::TFont* value);
  gui::TFont* FontDisabled() const { return fontDisabled_.get(); }
  void SetFontDisabled(gui::TFont* value);
  TfrmLayered* LayeredParent() const { return layeredParent_; }
  void SetLayeredParent(TfrmLayered* value);

  bool Hover() const { return state_.Hover; }
  bool Down() const { return state_.Down; }
  // Draws now, without a window message in between, and presents the
  // window with its present BlendAlpha.
  void Repaint();
  void WndProc(gui::TMessage& Message) override;

 protected:
  virtual void FontChanged();
  virtual void TextChanged();
  // Copies the window's background over the control's area.
  virtual void RestoreArea();
  void Paint() override;
  // The drawing between RestoreArea and presenting; graphics is the
  // window's.
  virtual void PaintLayered(Gdiplus::Graphics& graphics) = 0;
  void Notification(gui::TComponent* component, gui::TOperation operation) override;

  // The caption in the font of the present look, laid out in the control's
  // rectangle moved by shift pixels right and down.
  void DrawStateCaption(Gdiplus::Graphics& graphics, const std::string& caption, int shift);
  // The focus outline in the control font's colour.
  void DrawFocusOutline(Gdiplus::Graphics& graphics);
  gui::TFont* StateFont();
  // A left press: the pressed look, and the focus when the control takes it.
  void Press();
  // Repaints when the flag says the state changed.
  void StateChanged(bool changed) {
    if (changed) Repaint();
  }

  // Stores a changed value and repaints.
  template <class V>
  void Update(V& field, const V& value) {
    if (field == value) return;
    field = value;
    Repaint();
  }

  TPointerState state_;

 private:

  std::string caption_;
  int textX_ = 0, textY_ = 0;
  TAlignment textAlign_ = Alignment_MiddleLeft;
  bool multiLines_ = false;
  bool drawFocused_ = false;
  int focusedRectMargin_ = 2;
  bool enableStatesFont_ = false;
  std::unique_ptr<gui::TFont> fontMouseHover_, fontMouseDown_, fontDisabled_;
  TfrmLayered* layeredParent_ = nullptr;
};

}  // namespace components
