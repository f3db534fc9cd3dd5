#include "CkPrgres.h"

#include <vssym32.h>

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Themes.h"

namespace ck {

GUI_DEFINE_CLASS(TCkCustomProgressBar) {
  using P = TCkCustomProgressBar;
  c.Protected();
  c.Color("BackColor", &P::BackColor, &P::SetBackColor, clWhite);
  c.Color("BackColorStop", &P::BackColorStop, &P::SetBackColorStop, clBtnFace);
  c.Color("BarColor", &P::BarColor, &P::SetBarColor, clHighlight);
  c.Color("BarColorStop", &P::BarColorStop, &P::SetBarColorStop, clHotLight);
  c.Enumeration("BarStyle", BarStyleInfo, &P::BarStyle, &P::SetBarStyle, bsTraditional);
  DefineBorderProperties(c, kProgressBarBorder, false);
  c.Component("FrameController", &P::FrameController, &P::SetFrameController);
  c.SetOf("FrameControllerNotifications", FrameControllerConnectionInfo, &P::FrameControllerNotifications,
          &P::SetFrameControllerNotifications, kAllFrameControllerNotifications.Bits());
  c.Enumeration("GradientDirection", GradientDirectionInfo, &P::GradientDirection, &P::SetGradientDirection,
                gdHorizontalCenter);
  c.Integer("InteriorOffset", &P::InteriorOffset, &P::SetInteriorOffset, 0);
  c.Integer("NumSegments", &P::NumSegments, &P::SetNumSegments, 20);
  c.Enumeration("Orientation", OrientationInfo, &P::Orientation, &P::SetOrientation, orHorizontal);
  c.Integer("PartsComplete", &P::PartsComplete, &P::SetPartsComplete, 0);
  c.Integer("Percent", &P::Percent, &P::SetPercent, 0);
  c.Boolean("ShowPercent", &P::ShowPercent, &P::SetShowPercent, true);
  c.Integer("TotalParts", &P::TotalParts, &P::SetTotalParts, 0);
  c.Boolean("ThemeAware", &P::ThemeAware, &P::SetThemeAware, true);
  c.Event("OnChange", &P::OnChange);
}

GUI_DEFINE_CLASS(TCkProgressBar) {
  for (const char* name :
       {"BackColor", "BackColorStop", "BarColor", "BarColorStop", "BarStyle", "BevelWidth", "BorderColor",
        "BorderInner", "BorderOuter", "BorderWidth", "FlatColor", "FlatColorAdjustment", "FrameController",
        "FrameControllerNotifications", "GradientDirection", "InteriorOffset", "NumSegments", "Orientation",
        "PartsComplete", "Percent", "ShowPercent", "TotalParts", "ThemeAware", "OnChange", "Align", "Anchors",
        "Font", "ParentShowHint", "PopupMenu", "ShowHint", "Visible", "OnClick", "OnContextPopup", "OnDblClick",
        "OnMouseDown", "OnMouseMove", "OnMouseUp"})
    c.Publish(name);
  c.Publish("ParentFont", 1);
  c.Publish("Height", 24);
  c.Publish("Width", 200);
}

TCkCustomProgressBar::TCkCustomProgressBar(TComponent* owner)
    : TGraphicControl(owner), TCkBorderProperties(kProgressBarBorder) {
  controlStyle_.Include(csOpaque);
  SetBounds(0, 0, 200, 24);
}

TCkCustomProgressBar::~TCkCustomProgressBar() { frameController_.Set(nullptr); }

// --- frame controller ----------------------------------------------------------------------

void TCkCustomProgressBar::SetFrameController(TCkFrameController* value) {
  frameController_.Set(value);
}

void TCkCustomProgressBar::ApplyFrameController() {
  TCkFrameController* fc = frameController_.Visible();
  if (!fc) return;
  if (frameController_.Wants(fcpFrameStyle)) SetBorderOuter(fc->FrameStyle());
  if (frameController_.Wants(fcpFrameColor)) {
    SetFlatColor(fc->FrameColor());
    SetFlatColorAdjustment(0);
  }
  if (frameController_.Wants(fcpColor)) SetBackColor(fc->Color());
  if (frameController_.Wants(fcpParentColor)) SetParentColor(fc->ParentColor());
  Invalidate();
}

void TCkCustomProgressBar::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove) frameController_.Removed(component);
}

// --- properties --------------------------------------------------------------------------------

void TCkCustomProgressBar::SetBackColor(TColor value) { Store(backColor_, value); }
void TCkCustomProgressBar::SetBackColorStop(TColor value) { Store(backColorStop_, value); }
void TCkCustomProgressBar::SetBarColorStop(TColor value) { Store(barColorStop_, value); }
void TCkCustomProgressBar::SetGradientDirection(TGradientDirection value) { Store(gradientDirection_, value); }
void TCkCustomProgressBar::SetInteriorOffset(std::uint8_t value) { Store(interiorOffset_, value); }
void TCkCustomProgressBar::SetNumSegments(std::uint8_t value) { Store(numSegments_, value); }
void TCkCustomProgressBar::SetOrientation(TOrientation value) { Store(orientation_, value); }
void TCkCustomProgressBar::SetShowPercent(bool value) { Store(showPercent_, value); }
void TCkCustomProgressBar::SetThemeAware(bool value) { Store(themeAware_, value); }

void TCkCustomProgressBar::SetBarColor(TColor value) {
  if (value == barColor_) return;
  barColor_ = value;
  Font()->SetColor(value);
  Invalidate();
}

void TCkCustomProgressBar::SetBarStyle(TBarStyle value) {
  if (value == barStyle_) return;
  barStyle_ = value;
  SetShowPercent(value != bsLED);
  SetInteriorOffset(value == bsLED ? 1 : 0);
  Invalidate();
}

void TCkCustomProgressBar::SetPercent(std::uint16_t value) {
  if (value == percent_) return;
  percent_ = value;
  DoChange();
  Invalidate();
}

void TCkCustomProgressBar::DoChange() {
  if (OnChange) OnChange(this, percent_);
}

void TCkCustomProgressBar::SetPartsComplete(std::uint32_t value) {
  value = std::min(value, totalParts_);
  if (value == partsComplete_) return;
  partsComplete_ = value;
  if (!ComponentState().Contains(csLoading) && totalParts_ != 0)
    SetPercent(static_cast<std::uint16_t>(RoundDiv(std::int64_t{partsComplete_} * 100, totalParts_)));
}

void TCkCustomProgressBar::SetTotalParts(std::uint32_t value) {
  if (value == totalParts_) return;
  totalParts_ = value;
  if (ComponentState().Contains(csLoading)) return;
  partsComplete_ = 0;
  SetPercent(0);
}

void TCkCustomProgressBar::SetBounds(int left, int top, int width, int height) {
  inherited::SetBounds(left, top, width, height);
  SetOrientation(Width() < Height() ? orVertical : orHorizontal);
}

// --- painting -------------------------------------------------------------------------------------

bool TCkCustomProgressBar::UseThemes() const { return themeAware_ && ThemeServices().ThemesEnabled(); }

void TCkCustomProgressBar::Paint() {
  int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  TBitmap buffer;
  buffer.SetSize(w, h);
  TCanvas& c = buffer.Canvas();
  c.SetFont(Font());
  const TRect client = Rect(0, 0, w, h);
  const bool vertical = orientation_ == orVertical;
  TRect interior;

  if (UseThemes() && ThemeServices().DrawElement(c.Handle(), L"PROGRESS", vertical ? PP_BARVERT : PP_BAR, 0, client)) {
    int inset = interiorOffset_ + (barStyle_ == bsLED ? 1 : 3);
    interior = {inset, inset, w - inset, h - inset};
  } else {
    c.Brush().SetColor(border_.BorderColor);
    c.FillRect(client);
    TFramedBorder border = border_;
    border.ParentColor = Parent() ? Parent()->Color() : border_.BorderColor;
    border.OwnColor = backColor_;
    interior = DrawFramedBorder(c, client, border);
    // The gap between the border and the bar.
    if (interiorOffset_ > 0) interior = DrawSidesLines(c, interior, backColor_, kAllSides, interiorOffset_, backColor_);
  }

  switch (barStyle_) {
    case bsLED:
      DrawLedPercentBar(c, interior, vertical, false, themeAware_, percent_, numSegments_, backColor_, barColor_);
      break;
    case bsGradient:
      DrawGradientPercentBar(c, interior, vertical, false, showPercent_, percent_, gradientDirection_,
                             backColorStop_, backColor_, barColorStop_, barColor_);
      break;
    default: DrawPercentBar(c, interior, vertical, false, showPercent_, percent_, backColor_, barColor_); break;
  }
  BitBlt(Canvas()->Handle(), 0, 0, w, h, c.Handle(), 0, 0, SRCCOPY);
}

}  // namespace ck
