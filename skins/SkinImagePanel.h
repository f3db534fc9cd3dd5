// TSkinImagePanel: a container panel that paints a picture as it is,
// stretched or tiled, with an optional one-line caption, and shows its
// parent's background where it has no picture when Transparent. It paints
// through an off-screen bitmap and never erases its background separately.
#pragma once

#include <memory>

#include "gui/ExtCtrls.h"
#include "gui/Graphic.h"

namespace skins {

enum TSkinDrawStyle { skNormal, skStretch, skTile };

class TSkinCustomPanel : public gui::TCustomPanel {
  GUI_CLASS(TSkinCustomPanel, gui::TCustomPanel)

 public:
  explicit TSkinCustomPanel(gui::TComponent* owner);
  ~TSkinCustomPanel() override;

  gui::TPicture* Picture() const { return picture_.get(); }
  // Copies the picture.
  void SetPicture(gui::TPicture* value);
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  // Takes the picture's size (the sides Align leaves free).
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TSkinDrawStyle DrawStyle() const { return drawStyle_; }
  void SetDrawStyle(TSkinDrawStyle value);

  void WndProc(gui::TMessage& Message) override;

 protected:
  // The picture's change notification.
  virtual void PictureChanged(gui::TObject* Sender);
  void Paint() override;
  void Resize() override;

 private:
  void AdjustToPicture();
  void ApplyTransparent();
  bool HasGraphic() const { return picture_->Graphic() != nullptr; }

  std::unique_ptr<gui::TPicture> picture_;
  bool transparent_ = false;
  bool autoSize_ = false;
  TSkinDrawStyle drawStyle_ = skNormal;
};

class TSkinImagePanel : public TSkinCustomPanel {
  GUI_CLASS(TSkinImagePanel, TSkinCustomPanel)

 public:
  explicit TSkinImagePanel(gui::TComponent* owner) : TSkinCustomPanel(owner) {}
};

}  // namespace skins
