// TLayeredLabel: text on a layered window (TfrmLayered), drawn anti-aliased
// with per-pixel alpha into the window's buffer. By default a press on the
// label drags the whole window (MoveHandler).
#pragma once

#include "LayeredControl.h"

namespace components {

class TLayeredLabel : public TLayeredControl {
  GUI_CLASS(TLayeredLabel, TLayeredControl)

 public:
  explicit TLayeredLabel(gui::TComponent* owner);

  bool MoveHandler() const { return moveHandler_; }
  void SetMoveHandler(bool value) { moveHandler_ = value; }

  void WndProc(gui::TMessage& Message) override;

 protected:
  virtual void DrawCaption(Gdiplus::Graphics& graphics, const std::string& caption);
  virtual void DrawFocus(Gdiplus::Graphics& graphics);
  void PaintLayered(Gdiplus::Graphics& graphics) override;
  void MouseDown(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y) override;
  void MouseMove(gui::TShiftState Shift, int X, int Y) override;
  void MouseUp(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y) override;

 private:
  bool moveHandler_ = true;
};

}  // namespace components
