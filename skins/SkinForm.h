// TSkinForm: gives the form that owns it the outline of a bitmap. The form
// loses its border and caption, its window is cut to the bitmap's pixels
// that are not TransparentColor and sized to the bitmap, the bitmap is
// painted, and pressing any mouse button on it drags the form. Being
// windowless, it never erases a background of its own.
#pragma once

#include <memory>

#include "gui/Bitmap.h"
#include "gui/Controls.h"
#include "gui/Forms.h"

namespace skins {

class TSkinForm : public gui::TGraphicControl {
  GUI_CLASS(TSkinForm, gui::TGraphicControl)

 public:
  // The owner is the form to shape.
  explicit TSkinForm(gui::TComponent* owner);
  ~TSkinForm() override;

  gui::TBitmap* Glyph() const { return glyph_.get(); }
  // Copies the bitmap.
  void SetGlyph(gui::TBitmap* value);
  gui::TColor TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(gui::TColor value);

  // After every shaping that found a glyph.
  gui::TNotifyEvent OnRegionChanged;
  // After every paint.
  gui::TNotifyEvent OnPaint;

 protected:
  void Paint() override;
  void MouseDown(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y) override;
  // Shapes and sizes the form after the glyph; nothing while it is empty.
  void UpdateSkinRegion();

 private:
  // Cuts the form's window to the glyph (the region part of UpdateSkinRegion).
  void ShapeForm();

  gui::TCustomForm* form_ = nullptr;
  int formHook_ = 0;
  std::unique_ptr<gui::TBitmap> glyph_;
  gui::TColor transparentColor_ = gui::clFuchsia;
};

}  // namespace skins
