// TCkLabel: the class library's label with raised, recessed and shadowed
// text, text turned flat by an angle or laid along a curve, blinking in a
// second colour, a bevelled border, shortened captions and a fly-by colour.
// With its defaults it paints as a plain label.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "CkCommon.h"
#include "gui/StdCtrls.h"

namespace ck {

enum TCkCondenseCaption { ccNone, ccAtEnd, ccWithinPath };
enum TCenterPoint {
  cpUpperLeft, cpUpperCenter, cpUpperRight, cpLeftCenter, cpCenter,
  cpRightCenter, cpLowerLeft, cpLowerCenter, cpLowerRight
};
enum TRotation { roNone, roFlat, roCurve };

// The border's settings start as these.
inline const TFramedBorder kLabelBorder{.FlatColorAdjustment = 30};

class TCkLabel : public TLabel, public ICkFrameControllerClient, public TCkBorderProperties {
  GUI_CLASS(TCkLabel, TLabel)

 public:
  explicit TCkLabel(TComponent* owner);
  ~TCkLabel() override;

  // Takes the frame controller's style, sides, frame colour and colours.
  void ApplyFrameController() override;

  // Degrees, kept within 0..359.
  int Angle() const { return angle_; }
  virtual void SetAngle(int value);
  bool Blinking() const { return blinking_; }
  virtual void SetBlinking(bool value);
  TColor BlinkColor() const { return blinkColor_; }
  virtual void SetBlinkColor(TColor value);
  // The shared blink timer's intervals (all blinking controls follow them).
  virtual std::uint16_t BlinkIntervalOff() const;
  virtual void SetBlinkIntervalOff(std::uint16_t value);
  virtual std::uint16_t BlinkIntervalOn() const;
  virtual void SetBlinkIntervalOn(std::uint16_t value);
  // The border: TCkBorderProperties.
  TCkCondenseCaption CondenseCaption() const { return condenseCaption_; }
  virtual void SetCondenseCaption(TCkCondenseCaption value);
  TCkFrameController* FrameController() const { return frameController_.Get(); }
  virtual void SetFrameController(TCkFrameController* value);
  TCkFrameControllerNotifications FrameControllerNotifications() const { return frameController_.Notifications; }
  void SetFrameControllerNotifications(TCkFrameControllerNotifications value) {
    frameController_.Notifications = value;
  }
  TCenterPoint CenterPoint() const { return centerPoint_; }
  virtual void SetCenterPoint(TCenterPoint value);
  TColor FlyByColor() const { return flyByColor_; }
  virtual void SetFlyByColor(TColor value);
  bool FlyByEnabled() const { return flyByEnabled_; }
  virtual void SetFlyByEnabled(bool value);
  bool LightTextStyle() const { return lightTextStyle_; }
  virtual void SetLightTextStyle(bool value);
  TRotation Rotation() const { return rotation_; }
  virtual void SetRotation(TRotation value);
  int TextMargin() const { return textMargin_; }
  virtual void SetTextMargin(int value);
  TTextStyle TextStyle() const { return textStyle_; }
  virtual void SetTextStyle(TTextStyle value);
  TColor HighlightColor() const { return highlightColor_; }
  virtual void SetHighlightColor(TColor value);
  TColor ShadowColor() const { return shadowColor_; }
  virtual void SetShadowColor(TColor value);
  int ShadowDepth() const { return shadowDepth_; }
  virtual void SetShadowDepth(int value);

  // The colour the text is drawn in now (the blink colour while it shows).
  TColor CurrentColor() const { return currentColor_; }
  // Where the text goes: the client area less the borders and TextMargin.
  TRect TextRect();

  void WndProc(TMessage& Message) override;

 protected:
  // 1: the blink colour; 0: the normal colour.
  virtual void ShowBlinkState(int state);
  // A measured text size grown by the borders (automatic size).
  virtual TSize GrowByBorders(TSize size);
  // A rectangle less the borders (TextMargin not included).
  virtual TRect ShrinkByBorders(TRect rect);
  void Paint() override;
  void AdjustBounds() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void BorderChanged(bool thicknessChanged) override { Changed(thicknessChanged); }

 private:
  void Changed(bool remeasure);
  // Turns a font that cannot be rotated into one that can.
  void EnsureRotatableFont();
  UINT TextFlags();
  // Draws one layer of the text moved by (dx, dy) in a colour.
  using TextLayerFn = std::function<void(int dx, int dy, TColor color)>;
  // The raised, recessed or shadow layers under the text itself.
  void DrawStyleLayers(const TextLayerFn& layer, int shadowOffset);
  void DrawStraightText(TCanvas& canvas, const TRect& rect);
  void DrawFlatText(TCanvas& canvas, const TRect& rect);
  void DrawCurvedText(TCanvas& canvas);

  int angle_ = 0;
  TCkBlinkRegistration blinkRegistration_{this};
  bool blinking_ = false;
  TColor blinkColor_ = clHighlight;
  TCkCondenseCaption condenseCaption_ = ccNone;
  TCkFrameControllerLink frameController_{this};
  TCenterPoint centerPoint_ = cpCenter;
  TColor flyByColor_ = clHighlight;
  bool flyByEnabled_ = false;
  bool lightTextStyle_ = false;
  TRotation rotation_ = roNone;
  int textMargin_ = 0;
  TTextStyle textStyle_ = tsNormal;
  TColor highlightColor_ = clBtnHighlight;
  TColor shadowColor_ = clBtnShadow;
  int shadowDepth_ = 2;

  TColor normalColor_ = clWindowText;
  TColor currentColor_ = clWindowText;
  int blinkState_ = 0;
  bool flying_ = false;  // the font shows the fly-by colour
  TColor savedFontColor_ = clWindowText;
  bool settingInitialColor_ = false;
};

}  // namespace ck
