// What the framed list box, edit and list view share: a background colour
// that follows the control's state (enabled, focused, read-only) and a frame
// the control paints itself over its non-client border, with a hot look
// while it has the focus or the pointer. TCkFramedControl<Base> adds that to
// the class library's control Base; DefineFrameProperties publishes it.
#pragma once

#include <windows.h>

#include <string>

#include "CkCommon.h"
#include "gui/Controls.h"

namespace gui {
class THintWindow;
}

namespace ck {

// The hint window a control shows over one of its items (a clipped list
// box line, a list view item): made on first need, owned by the control, in
// the application's hint colour.
class TCkItemHint {
 public:
  explicit TCkItemHint(TControl& owner) : owner_(owner) {}
  // The size the text needs, in the hint window's font.
  TRect Measure(const std::string& text);
  // Shows text with its top left corner at `at` (screen), unless it shows
  // there already.
  void ShowAt(TPoint at, const TRect& size, const std::string& text);
  void Hide();
  THintWindow* Window() const { return window_; }
  // The font the hint text takes (the system's hint font when never set).
  void SetFont(TFont* font);
  // Call from the owner's Notification: the window went with the owner.
  void Removed(TComponent* component);

 private:
  THintWindow* Make();
  TControl& owner_;
  THintWindow* window_ = nullptr;
  TPoint at_{};
};

template <class Base>
class TCkFramedControl : public Base {
 public:
  explicit TCkFramedControl(TComponent* owner);
  ~TCkFramedControl() override;

  // The colour shown while enabled and unfocused; it follows every Color
  // written from outside the control.
  TColor NormalColor() const { return normalColor_; }
  TColor FocusColor() const { return focusColor_; }
  void SetFocusColor(TColor value);
  TColor DisabledColor() const { return disabledColor_; }
  void SetDisabledColor(TColor value);

  TColor FrameColor() const { return frameColor_; }
  void SetFrameColor(TColor value);
  TColor FrameHotColor() const { return frameHotColor_; }
  void SetFrameHotColor(TColor value);
  // Turning it on shows the frame (on all four sides, unless a form is
  // being read).
  bool FrameHotTrack() const { return frameHotTrack_; }
  void SetFrameHotTrack(bool value);
  TFrameStyle FrameHotStyle() const { return frameHotStyle_; }
  void SetFrameHotStyle(TFrameStyle value);
  TSides FrameSides() const { return frameSides_; }
  void SetFrameSides(TSides value);
  TFrameStyle FrameStyle() const { return frameStyle_; }
  void SetFrameStyle(TFrameStyle value);
  bool FrameVisible() const { return frameVisible_; }
  void SetFrameVisible(bool value);
  TFramingPreference FramingPreference() const { return framingPreference_; }
  void SetFramingPreference(TFramingPreference value);
  // A sunken two-pixel border (on) or a flat one-pixel line (off) for
  // BorderStyle bsSingle.
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);

  // The controller whose settings this control takes (not owned), and
  // which of them it may write.
  TCkFrameController* FrameController() const { return frameController_.Get(); }
  void SetFrameController(TCkFrameController* value);
  TCkFrameControllerNotifications FrameControllerNotifications() const { return frameController_.Notifications; }
  void SetFrameControllerNotifications(TCkFrameControllerNotifications value) {
    frameController_.Notifications = value;
  }

  // Visual styles draw the border: the custom frame stays off.
  bool ThemedFraming() const;
  // The hot frame shows: hot tracking and the focus or the pointer.
  bool FrameHot();

  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  // The background for the control's state now.
  virtual TColor StateColor();
  // Whether the control counts as focused for the hot frame.
  virtual bool HasFocusLook() { return this->Focused(); }
  // Asks for the frame to be painted again.
  virtual void RedrawFrame();
  virtual bool RecreateOnFrameVisible() { return true; }
  void UpdateColors();
  // The pointer came (true) or went: the hot frame and the colour follow.
  void UpdateState(bool value);
  // The focus came (true) or went; by default it counts as the pointer.
  virtual void FocusStateChanged(bool entered) { UpdateState(entered); }
  // Redraws a hot-tracked frame and updates the colour.
  void StateChanged();
  // The pointer moved over the control or came in; it went.
  virtual void PointerOver() {}
  virtual void PointerGone() {}
  // Announces the Color again (a system colour's value changed) without
  // taking it for a new normal colour.
  void ColorValueChanged();
  void PaintFrame();

  bool mouseOver_ = false;
  // True while FrameController is being written (its settings arrive).
  bool writingController_ = false;

 private:
  template <class V>
  void ChangeFrame(V& field, const V& value) {
    if (field == value) return;
    field = value;
    RedrawFrame();
  }
  void ColorChangedOutside();

  TColor normalColor_ = clWindow;
  TColor focusColor_ = clWindow;
  TColor disabledColor_ = clBtnFace;
  TColor frameColor_ = clBtnShadow;
  TColor frameHotColor_ = clBtnShadow;
  bool frameHotTrack_ = false;
  TFrameStyle frameHotStyle_ = fsFlatBold;
  TSides frameSides_ = kAllSides;
  TFrameStyle frameStyle_ = fsFlat;
  bool frameVisible_ = false;
  TFramingPreference framingPreference_ = fpXPThemes;
  bool ctl3D_ = true;
  TCkFrameControllerLink frameController_{this};
  bool updatingColor_ = false;
  TCanvas frameCanvas_;
};

// Declares the colour and frame properties of a framed control class T, with
// the readers of the frame properties older forms still hold.
template <class T>
void DefineFrameProperties(TClassBuilder<T>& c) {
  c.Publish("Color", clWindow);
  c.Publish("ParentColor", 0);
  c.Color("FocusColor", &T::FocusColor, &T::SetFocusColor, clWindow);
  c.Color("DisabledColor", &T::DisabledColor, &T::SetDisabledColor, clBtnFace);
  c.Color("FrameColor", &T::FrameColor, &T::SetFrameColor, clBtnShadow);
  c.Color("FrameHotColor", &T::FrameHotColor, &T::SetFrameHotColor, clBtnShadow);
  c.Boolean("FrameHotTrack", &T::FrameHotTrack, &T::SetFrameHotTrack, false);
  c.Enumeration("FrameHotStyle", FrameStyleInfo, &T::FrameHotStyle, &T::SetFrameHotStyle, fsFlatBold);
  c.SetOf("FrameSides", SideInfo, &T::FrameSides, &T::SetFrameSides, kAllSides.Bits());
  c.Enumeration("FrameStyle", FrameStyleInfo, &T::FrameStyle, &T::SetFrameStyle, fsFlat);
  c.Boolean("FrameVisible", &T::FrameVisible, &T::SetFrameVisible, false);
  c.Enumeration("FramingPreference", FramingPreferenceInfo, &T::FramingPreference, &T::SetFramingPreference,
                fpXPThemes);
  c.Boolean("Ctl3D", &T::Ctl3D, &T::SetCtl3D, true);
  c.Component("FrameController", &T::FrameController, &T::SetFrameController);
  c.SetOf("FrameControllerNotifications", FrameControllerConnectionInfo, &T::FrameControllerNotifications,
          &T::SetFrameControllerNotifications, kAllFrameControllerNotifications.Bits());
  c.Legacy("FrameFlat", [](T& o, const TFormValue& v) {
    bool flat = SameText(v.Text, "True") || (v.kind == TFormValue::Kind::Integer && v.Integer != 0);
    o.SetFrameHotTrack(flat);
    if (flat) {
      o.SetFrameStyle(fsStatus);
      o.SetFrameHotStyle(fsLowered);
    }
  });
  c.Legacy("FrameFocusStyle", [](T& o, const TFormValue& v) {
    int style = FrameStyleInfo.ValueOf(v.Text);
    if (style >= 0) o.SetFrameHotStyle(static_cast<TFrameStyle>(style));
  });
  c.Legacy("FrameFlatStyle", {});
}

}  // namespace ck
