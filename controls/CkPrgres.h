// TCkProgressBar: a percentage shown as a plain bar, a row of LED segments
// or a gradient, inside a configurable border or the visual style's bar
// frame. The percentage is set directly or as parts complete of a total.
#pragma once

#include <cstdint>
#include <functional>

#include "CkCommon.h"

namespace ck {

using TProgressChangeEvent = std::function<void(TObject* Sender, int Percent)>;

// The border's settings start as these.
inline const TFramedBorder kProgressBarBorder{.Outer = fsLowered, .RoundInner = true, .FlatColorAdjustment = 30};

class TCkCustomProgressBar : public TGraphicControl, public ICkFrameControllerClient, public TCkBorderProperties {
  GUI_CLASS(TCkCustomProgressBar, TGraphicControl)

 public:
  explicit TCkCustomProgressBar(TComponent* owner);
  ~TCkCustomProgressBar() override;

  void ApplyFrameController() override;

  TColor BackColor() const { return backColor_; }
  virtual void SetBackColor(TColor value);
  TColor BackColorStop() const { return backColorStop_; }
  void SetBackColorStop(TColor value);
  TColor BarColor() const { return barColor_; }
  // The font takes the bar colour as well.
  virtual void SetBarColor(TColor value);
  TColor BarColorStop() const { return barColorStop_; }
  void SetBarColorStop(TColor value);
  TBarStyle BarStyle() const { return barStyle_; }
  // Also shows or hides the percent text and sets the interior offset that
  // suits the style.
  virtual void SetBarStyle(TBarStyle value);
  // The border: TCkBorderProperties (BorderSides, BorderHighlight and
  // BorderShadow are not published).
  TCkFrameController* FrameController() const { return frameController_.Get(); }
  virtual void SetFrameController(TCkFrameController* value);
  TCkFrameControllerNotifications FrameControllerNotifications() const { return frameController_.Notifications; }
  void SetFrameControllerNotifications(TCkFrameControllerNotifications value) {
    frameController_.Notifications = value;
  }
  TGradientDirection GradientDirection() const { return gradientDirection_; }
  void SetGradientDirection(TGradientDirection value);
  std::uint8_t InteriorOffset() const { return interiorOffset_; }
  virtual void SetInteriorOffset(std::uint8_t value);
  std::uint8_t NumSegments() const { return numSegments_; }
  virtual void SetNumSegments(std::uint8_t value);
  TOrientation Orientation() const { return orientation_; }
  virtual void SetOrientation(TOrientation value);
  // Capped at TotalParts; sets Percent from the two (not while a form is read).
  std::uint32_t PartsComplete() const { return partsComplete_; }
  virtual void SetPartsComplete(std::uint32_t value);
  std::uint16_t Percent() const { return percent_; }
  virtual void SetPercent(std::uint16_t value);
  bool ShowPercent() const { return showPercent_; }
  virtual void SetShowPercent(bool value);
  // Starts counting again: PartsComplete and Percent go to 0 (not while a
  // form is read).
  std::uint32_t TotalParts() const { return totalParts_; }
  virtual void SetTotalParts(std::uint32_t value);
  bool ThemeAware() const { return themeAware_; }
  virtual void SetThemeAware(bool value);

  // A new size decides the orientation: vertical when narrower than high.
  void SetBounds(int left, int top, int width, int height) override;

  // After every change of Percent.
  TProgressChangeEvent OnChange;

 protected:
  virtual void DoChange();
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  void BorderChanged(bool) override { Invalidate(); }

 private:
  template <class V>
  void Store(V& field, const V& value) {
    if (field == value) return;
    field = value;
    Invalidate();
  }
  bool UseThemes() const;

  TColor backColor_ = clWhite;
  TColor backColorStop_ = clBtnFace;
  TColor barColor_ = clHighlight;
  TColor barColorStop_ = clHotLight;
  TBarStyle barStyle_ = bsTraditional;
  TCkFrameControllerLink frameController_{this};
  TGradientDirection gradientDirection_ = gdHorizontalCenter;
  std::uint8_t interiorOffset_ = 0;
  std::uint8_t numSegments_ = 20;
  TOrientation orientation_ = orHorizontal;
  std::uint32_t partsComplete_ = 0;
  std::uint16_t percent_ = 0;
  bool showPercent_ = true;
  std::uint32_t totalParts_ = 0;
  bool themeAware_ = true;
};

class TCkProgressBar : public TCkCustomProgressBar {
  GUI_CLASS(TCkProgressBar, TCkCustomProgressBar)

 public:
  explicit TCkProgressBar(TComponent* owner) : TCkCustomProgressBar(owner) {}
};

}  // namespace ck
