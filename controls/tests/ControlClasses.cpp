#include "ControlClasses.h"

namespace cktest {

std::vector<std::string>& Writes() {
  static std::vector<std::string> writes;
  return writes;
}

GUI_DEFINE_CLASS(TFramedWidget) {
  using W = TFramedWidget;
  c.Color("Color", &W::Color, &W::SetLoggedColor);
  c.Boolean("ParentColor", &W::ParentColor, &W::SetLoggedParentColor);
  c.Color("FocusColor", &W::focusColor, &W::SetFocusColor);
  c.Enumeration("FrameStyle", FrameStyleInfo, &W::frameStyle, &W::SetFrameStyle);
  c.SetOf("FrameSides", SideInfo, &W::frameSides, &W::SetFrameSides);
  c.Boolean("FrameVisible", &W::frameVisible, &W::SetFrameVisible);
}

void TFramedWidget::Log(const std::string& what) { Writes().push_back(Name() + "." + what); }

void TFramedWidget::SetLoggedColor(TColor value) {
  Log("Color=" + ColorToIdent(value));
  SetColor(value);
}

void TFramedWidget::SetLoggedParentColor(bool value) {
  Log(std::string("ParentColor=") + (value ? "True" : "False"));
  SetParentColor(value);
}

void TFramedWidget::SetFocusColor(TColor value) {
  Log("FocusColor=" + ColorToIdent(value));
  focusColor = value;
}

void TFramedWidget::SetFrameStyle(TFrameStyle value) {
  Log("FrameStyle=" + FrameStyleInfo.NameOf(value));
  frameStyle = value;
}

void TFramedWidget::SetFrameSides(TSides value) {
  Log("FrameSides=" + SetToText(SideInfo, value.Bits()));
  frameSides = value;
}

void TFramedWidget::SetFrameVisible(bool value) {
  Log(std::string("FrameVisible=") + (value ? "True" : "False"));
  frameVisible = value;
}

GUI_DEFINE_CLASS(TMaskedWidget) {
  c.SetOf("FrameControllerNotifications", FrameControllerConnectionInfo, &TMaskedWidget::notifications,
          &TMaskedWidget::notifications);
}

GUI_DEFINE_CLASS(TPlainWidget) { c.Color("FocusColor", &TPlainWidget::focusColor, &TPlainWidget::focusColor); }

GUI_DEFINE_CLASS(TClientWidget) {}

GUI_DEFINE_CLASS(TSeeThrough) {}

GUI_DEFINE_CLASS(TControlsForm) { c.Handler("BarChange", &TControlsForm::BarChange); }

void TControlsForm::BarChange(TObject*, int percent) { changes.push_back(percent); }

GUI_DEFINE_CLASS(TLegacyForm) {}

void RegisterControlClasses() {
  RegisterClasses({&TFramedWidget::StaticClass(), &TMaskedWidget::StaticClass(), &TPlainWidget::StaticClass(),
                   &TClientWidget::StaticClass(), &TSeeThrough::StaticClass(), &TCkLabel::StaticClass(),
                   &TCkProgressBar::StaticClass(), &TCkFrameController::StaticClass(),
                   &TCkRegIniFile::StaticClass(), &TPanel::StaticClass(), &TLabel::StaticClass(),
                   &TShape::StaticClass()});
}

}  // namespace cktest
