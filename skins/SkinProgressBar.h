// TSkinProgressBar: a bar showing Position between Min and Max. The filled
// part shows Picture stretched to the fill length, the rest is Color, a
// one-pixel frame in BorderColor surrounds it and the percentage is written
// in the middle as the caption. Picture and colours come from the built-in
// theme of UIStyle unless the form resource sets them afterwards.
#pragma once

#include <cstdint>
#include <memory>

#include "SkinTheme.h"
#include "gui/ExtCtrls.h"
#include "gui/Graphic.h"

namespace skins {

enum TSkinProgressBarOrientation { skHorizontal, skVertical };

class TSkinProgressBar : public gui::TCustomPanel {
  GUI_CLASS(TSkinProgressBar, gui::TCustomPanel)

 public:
  explicit TSkinProgressBar(gui::TComponent* owner);
  ~TSkinProgressBar() override;

  // Positions are stored as given; one outside Min..Max reads below 0% or
  // above 100%.
  std::int32_t Min() const { return min_; }
  void SetMin(std::int32_t value);
  std::int32_t Max() const { return max_; }
  void SetMax(std::int32_t value);
  std::int32_t Position() const { return position_; }
  void SetPosition(std::int32_t value);

  // A style write loads the style's picture and colours.
  TSkinUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TSkinUIStyle value);
  // A theme-file component; the program has none, so the style of
  // FromThemeFile is always DeepBlue.
  gui::TComponent* FileTheme() const { return fileTheme_; }
  void SetFileTheme(gui::TComponent* value);
  TSkinProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TSkinProgressBarOrientation value);

  gui::TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(gui::TColor value);
  gui::TColor CaptionColor() const { return captionColor_; }
  void SetCaptionColor(gui::TColor value);
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool value);
  // Hides the caption while Position equals Min.
  bool SmartShowCaption() const { return smartShowCaption_; }
  void SetSmartShowCaption(bool value);

  gui::TPicture* Picture() const { return picture_.get(); }
  // Copies the picture.
  void SetPicture(gui::TPicture* value);

  void WndProc(gui::TMessage& Message) override;

 protected:
  void Paint() override;
  void Notification(gui::TComponent* component, gui::TOperation operation) override;

 private:
  TSkinUIStyle EffectiveStyle() const;
  void ApplyStyle();
  void UpdateCaption();
  // The filled part of `length` pixels.
  int FillLength(int length) const;

  std::int32_t min_ = 0, max_ = 100, position_ = 50;
  TSkinUIStyle uiStyle_ = DeepBlue;
  gui::TComponent* fileTheme_ = nullptr;
  TSkinProgressBarOrientation orientation_ = skHorizontal;
  gui::TColor borderColor_ = gui::clBlack;
  gui::TColor captionColor_ = gui::clBlack;
  bool showCaption_ = true;
  bool smartShowCaption_ = false;
  std::unique_ptr<gui::TPicture> picture_;
};

}  // namespace skins
