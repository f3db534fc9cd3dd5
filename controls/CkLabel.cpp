#include "CkLabel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "CkGrafx.h"
#include "gui/Bitmap.h"
#include "kit/Own.h"

namespace ck {

namespace {

const TEnumInfo kCondenseCaptionInfo{"TCkCondenseCaption", {"ccNone", "ccAtEnd", "ccWithinPath"}};
const TEnumInfo kCenterPointInfo{"TCenterPoint",
                                 {"cpUpperLeft", "cpUpperCenter", "cpUpperRight", "cpLeftCenter", "cpCenter",
                                  "cpRightCenter", "cpLowerLeft", "cpLowerCenter", "cpLowerRight"}};
const TEnumInfo kRotationInfo{"TRotation", {"roNone", "roFlat", "roCurve"}};

constexpr double kPi = std::numbers::pi;

int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

// Text drawn with a font handle of its own (rotated fonts cannot live in a
// TFont), transparent, optionally clipped.
void TextLayer(HDC dc, HFONT font, int x, int y, const TRect* clip, const std::string& text, TColor color) {
  kit::Selection selected(dc, font);
  SetTextColor(dc, ColorToRGB(color));
  int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT r{};
  if (clip) r = RECT{clip->Left, clip->Top, clip->Right, clip->Bottom};
  ExtTextOutA(dc, x, y, clip ? ETO_CLIPPED : 0, clip ? &r : nullptr, text.data(), static_cast<UINT>(text.size()),
              nullptr);
  SetBkMode(dc, oldMode);
}

TRect Offset(const TRect& r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

}  // namespace

GUI_DEFINE_CLASS(TCkLabel) {
  using L = TCkLabel;
  c.Integer("Angle", &L::Angle, &L::SetAngle, 0);
  c.Boolean("Blinking", &L::Blinking, &L::SetBlinking, false);
  c.Color("BlinkColor", &L::BlinkColor, &L::SetBlinkColor, clHighlight);
  c.Integer("BlinkIntervalOff", &L::BlinkIntervalOff, &L::SetBlinkIntervalOff, 500);
  c.Integer("BlinkIntervalOn", &L::BlinkIntervalOn, &L::SetBlinkIntervalOn, 500);
  DefineBorderProperties(c, kLabelBorder, true);
  c.Enumeration("CondenseCaption", kCondenseCaptionInfo, &L::CondenseCaption, &L::SetCondenseCaption, ccNone);
  c.Component("FrameController", &L::FrameController, &L::SetFrameController);
  c.SetOf("FrameControllerNotifications", FrameControllerConnectionInfo, &L::FrameControllerNotifications,
          &L::SetFrameControllerNotifications, kAllFrameControllerNotifications.Bits());
  c.Enumeration("CenterPoint", kCenterPointInfo, &L::CenterPoint, &L::SetCenterPoint, cpCenter);
  c.Color("FlyByColor", &L::FlyByColor, &L::SetFlyByColor, clHighlight);
  c.Boolean("FlyByEnabled", &L::FlyByEnabled, &L::SetFlyByEnabled, false);
  c.Boolean("LightTextStyle", &L::LightTextStyle, &L::SetLightTextStyle, false);
  c.Enumeration("Rotation", kRotationInfo, &L::Rotation, &L::SetRotation, roNone);
  c.Color("HighlightColor", &L::HighlightColor, &L::SetHighlightColor, clBtnHighlight);
  c.Color("ShadowColor", &L::ShadowColor, &L::SetShadowColor, clBtnShadow);
  c.Integer("ShadowDepth", &L::ShadowDepth, &L::SetShadowDepth, 2);
  c.Integer("TextMargin", &L::TextMargin, &L::SetTextMargin, 0);
  c.Enumeration("TextStyle", TextStyleInfo, &L::TextStyle, &L::SetTextStyle, tsNormal);
  c.Publish("Color", clBtnFace);
  c.Legacy("FrameSides", nullptr);  // older forms: read and dropped
}

TCkLabel::TCkLabel(TComponent* owner) : TLabel(owner), TCkBorderProperties(kLabelBorder) {
  settingInitialColor_ = true;
  SetColor(clBtnFace);
  SetParentColor(true);
  settingInitialColor_ = false;
  normalColor_ = currentColor_ = Font()->Color();
}

TCkLabel::~TCkLabel() {
  frameController_.Set(nullptr);
}

// --- frame controller --------------------------------------------------------------------

void TCkLabel::SetFrameController(TCkFrameController* value) { frameController_.Set(value); }

void TCkLabel::ApplyFrameController() {
  TCkFrameController* fc = frameController_.Visible();
  if (!fc) return;
  auto wanted = [this](TCkFrameControllerProperty p) { return frameController_.Wants(p); };
  if (wanted(fcpFrameStyle)) SetBorderOuter(fc->FrameStyle());
  if (wanted(fcpFrameSides)) SetBorderSides(fc->FrameSides());
  if (wanted(fcpFrameColor)) {
    SetFlatColor(fc->FrameColor());
    SetFlatColorAdjustment(0);
  }
  if (wanted(fcpColor)) SetColor(fc->Color());
  if (wanted(fcpParentColor)) SetParentColor(fc->ParentColor());
  if (wanted(fcpColor)) {
    SetBorderHighlight(LightenColor(Color(), 100));
    SetBorderShadow(DarkenColor(Color(), 50));
  }
  Invalidate();
}

void TCkLabel::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove) frameController_.Removed(component);
}

// --- properties ---------------------------------------------------------------------------

void TCkLabel::Changed(bool remeasure) {
  if (remeasure) AdjustBounds();
  Invalidate();
}

void TCkLabel::EnsureRotatableFont() {
  if (!FontIsTrueType(*Font())) Font()->SetName("Verdana");
}

void TCkLabel::SetAngle(int value) {
  // Any angle comes into 0..359, also those below -360.
  int angle = ((value % 360) + 360) % 360;
  if (angle == angle_) return;
  angle_ = angle;
  if (!ComponentState().Contains(csLoading) && angle != 0) EnsureRotatableFont();
  if (angle_ != 0 && rotation_ == roNone) rotation_ = roFlat;
  Changed(true);
}

void TCkLabel::SetRotation(TRotation value) {
  if (value == rotation_) return;
  rotation_ = value;
  if (!ComponentState().Contains(csLoading) && value != roNone) EnsureRotatableFont();
  if (value == roNone || value == roFlat) angle_ = 0;
  if (value == roFlat) centerPoint_ = cpCenter;
  Changed(true);
}

void TCkLabel::SetBlinking(bool value) {
  if (value == blinking_) return;
  blinking_ = value;
  blinkRegistration_.AnswerChanged();
  if (!value) {
    blinkState_ = 0;
    currentColor_ = normalColor_;
    Repaint();
  }
}

void TCkLabel::ShowBlinkState(int state) {
  blinkState_ = state;
  currentColor_ = state ? blinkColor_ : normalColor_;
  Refresh();
}

std::uint16_t TCkLabel::BlinkIntervalOff() const { return BlinkingControls ? BlinkingControls->IntervalOff() : 500; }
std::uint16_t TCkLabel::BlinkIntervalOn() const { return BlinkingControls ? BlinkingControls->IntervalOn() : 500; }
void TCkLabel::SetBlinkIntervalOff(std::uint16_t value) {
  if (BlinkingControls) BlinkingControls->SetIntervalOff(value);
}
void TCkLabel::SetBlinkIntervalOn(std::uint16_t value) {
  if (BlinkingControls) BlinkingControls->SetIntervalOn(value);
}

void TCkLabel::SetCondenseCaption(TCkCondenseCaption value) {
  if (value == condenseCaption_) return;
  condenseCaption_ = value;
  if (value != ccNone) SetAutoSize(false);
  Invalidate();
}

void TCkLabel::SetFlyByEnabled(bool value) {
  if (value == flyByEnabled_) return;
  flyByEnabled_ = value;
  if (!value && flying_) {
    flying_ = false;
    Font()->SetColor(savedFontColor_);
  }
  Invalidate();
}

#define CK_LABEL_SETTER(Name, Type, field, remeasure) \
  void TCkLabel::Set##Name(Type value) {              \
    if (value == field) return;                       \
    field = value;                                    \
    Changed(remeasure);                               \
  }
CK_LABEL_SETTER(BlinkColor, TColor, blinkColor_, false)
CK_LABEL_SETTER(CenterPoint, TCenterPoint, centerPoint_, false)
CK_LABEL_SETTER(FlyByColor, TColor, flyByColor_, false)
CK_LABEL_SETTER(LightTextStyle, bool, lightTextStyle_, false)
CK_LABEL_SETTER(TextMargin, int, textMargin_, false)
CK_LABEL_SETTER(TextStyle, TTextStyle, textStyle_, true)
CK_LABEL_SETTER(HighlightColor, TColor, highlightColor_, false)
CK_LABEL_SETTER(ShadowColor, TColor, shadowColor_, false)
CK_LABEL_SETTER(ShadowDepth, int, shadowDepth_, true)
#undef CK_LABEL_SETTER

// --- messages --------------------------------------------------------------------------------

void TCkLabel::WndProc(TMessage& m) {
  bool loading = ComponentState().Contains(csLoading);
  switch (m.Msg) {
    case CM_BLINKQUERY:
      m.Result = blinking_ ? 1 : 0;
      return;
    case CM_BLINKSTATE:
      if (blinking_) ShowBlinkState(m.WParam ? 1 : 0);
      return;
    case CM_FONTCHANGED:
      if (!loading) {
        if (!blinking_) normalColor_ = currentColor_ = Font()->Color();
        if (angle_ != 0 && !FontIsTrueType(*Font())) angle_ = 0;
      }
      break;
    case CM_MOUSEENTER:
      if (flyByEnabled_ && !flying_ && !ComponentState().Contains(csDesigning)) {
        savedFontColor_ = Font()->Color();
        flying_ = true;
        Font()->SetColor(flyByColor_);
      }
      break;
    case CM_MOUSELEAVE:
      if (flyByEnabled_ && flying_) {
        flying_ = false;
        Font()->SetColor(savedFontColor_);
      }
      break;
    case CM_PARENTCOLORCHANGED:
      if (settingInitialColor_) return;
      break;
  }
  inherited::WndProc(m);
}

void TCkLabel::Loaded() {
  if (rotation_ == roNone && angle_ != 0) rotation_ = roFlat;
  if (rotation_ != roNone) EnsureRotatableFont();
  normalColor_ = currentColor_ = Font()->Color();
  inherited::Loaded();
  if (ComponentState().Contains(csDesigning)) Invalidate();
}

// --- geometry ---------------------------------------------------------------------------------

TRect TCkLabel::ShrinkByBorders(TRect r) {
  const TFramedBorder& b = border_;
  r = {r.Left + b.BorderWidth, r.Top + b.BorderWidth, r.Right - b.BorderWidth, r.Bottom - b.BorderWidth};
  int by = FrameStyleThickness(b.Outer, b.BevelWidth) + FrameStyleThickness(b.Inner, b.BevelWidth);
  if (b.Sides.Contains(sdLeft)) r.Left += by;
  if (b.Sides.Contains(sdTop)) r.Top += by;
  if (b.Sides.Contains(sdRight)) r.Right -= by;
  if (b.Sides.Contains(sdBottom)) r.Bottom -= by;
  return r;
}

TSize TCkLabel::GrowByBorders(TSize size) {
  const TFramedBorder& b = border_;
  int by = FrameStyleThickness(b.Outer, b.BevelWidth) + b.BorderWidth + FrameStyleThickness(b.Inner, b.BevelWidth);
  if (b.Sides.Contains(sdLeft)) size.cx += by;
  if (b.Sides.Contains(sdRight)) size.cx += by;
  if (b.Sides.Contains(sdTop)) size.cy += by;
  if (b.Sides.Contains(sdBottom)) size.cy += by;
  return size;
}

TRect TCkLabel::TextRect() {
  TRect r = ShrinkByBorders(ClientRect());
  return {r.Left + textMargin_, r.Top + textMargin_, r.Right - textMargin_, r.Bottom - textMargin_};
}

UINT TCkLabel::TextFlags() {
  UINT flags = DT_EXPANDTABS;
  if (WordWrap()) flags |= DT_WORDBREAK;
  if (!ShowAccelChar()) flags |= DT_NOPREFIX;
  if (condenseCaption_ == ccAtEnd) flags |= DT_END_ELLIPSIS;
  if (condenseCaption_ == ccWithinPath) flags |= DT_PATH_ELLIPSIS;
  return flags;
}

void TCkLabel::AdjustBounds() {
  if (!AutoSize() || ComponentState().Contains(csLoading)) return;
  TRect inner = ShrinkByBorders(ClientRect());
  TRect r = Rect(0, 0, std::max(inner.Width(), 0), std::max(inner.Height(), 0));
  std::string text = GetLabelText();
  if (text.empty()) text = " ";  // an empty label keeps a line's height
  {
    kit::WindowDC screen(nullptr);
    TCanvas measure;
    measure.SetHandle(screen.Get());
    measure.SetFont(Font());
    measure.DrawText(text, r, TextFlags() | DT_CALCRECT);
    measure.SetHandle(nullptr);
  }

  TSize size = GrowByBorders({r.Width(), r.Height()});
  if (textStyle_ == tsShadow && rotation_ == roNone) {
    size.cx += shadowDepth_;
    size.cy += shadowDepth_;
  }
  if (rotation_ == roFlat && angle_ != 0 && angle_ != 180) {
    if (textStyle_ == tsShadow) {
      size.cx += shadowDepth_ / 2;
      size.cy += shadowDepth_ / 2;
    }
    // The box around the turned text (its sine and cosine taken as sizes,
    // so every quadrant gives the same box as its mirror).
    double t = angle_ * kPi / 180;
    double s = std::abs(std::sin(t)), c = std::abs(std::cos(t));
    size = {Round(s * size.cy + c * size.cx), Round(c * size.cy + s * size.cx)};
  }
  int left = Left();
  if (Alignment() == taRightJustify) left += Width() - size.cx;
  SetBounds(left, Top(), size.cx, size.cy);
}

// --- painting ----------------------------------------------------------------------------------

void TCkLabel::Paint() {
  TCanvas* target = Canvas();
  int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  // Drawn off screen and copied in one step. A transparent label starts from
  // its parent painted anew, not from the screen: whatever covered the label
  // (a splash, a menu) would show again otherwise.
  TPaintBuffer buffer(*target, Rect(0, 0, w, h));
  if (buffer.Empty()) return;
  TCanvas& c = buffer.Canvas();
  if (Transparent()) PaintParentUnderControl(this, c.Handle(), false);

  TFramedBorder border = border_;
  border.OwnColor = Color();
  border.ParentColor = Parent() ? Parent()->Color() : Color();
  border.Transparent = Transparent();
  TRect inner = DrawFramedBorder(c, ClientRect(), border);
  if (!Transparent() && !inner.IsEmpty()) {
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(inner);
  }
  c.Brush().SetStyle(bsClear);
  c.SetFont(Font());
  if (rotation_ == roCurve)
    DrawCurvedText(c);
  else if (rotation_ == roFlat)
    DrawFlatText(c, TextRect());
  else
    DrawStraightText(c, TextRect());
  c.Brush().SetStyle(bsSolid);
  buffer.Commit();
}

void TCkLabel::DrawStyleLayers(const TextLayerFn& layer, int shadowOffset) {
  switch (textStyle_) {
    case tsRaised:
      if (!lightTextStyle_) layer(1, 1, shadowColor_);
      layer(-1, -1, highlightColor_);
      break;
    case tsRecessed:
      layer(1, 1, highlightColor_);
      if (!lightTextStyle_) layer(-1, -1, shadowColor_);
      break;
    case tsShadow: layer(shadowOffset, shadowOffset, shadowColor_); break;
    default: break;
  }
}

void TCkLabel::DrawStraightText(TCanvas& c, const TRect& textRect) {
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = TextFlags() | kAlign[Alignment()];
  std::string text = GetLabelText();
  TRect placed = textRect;
  if (Layout() != tlTop) {
    TRect measured = textRect;
    c.DrawText(text, measured, flags | DT_CALCRECT);
    int free = textRect.Height() - measured.Height();
    placed.Top += Layout() == tlBottom ? free : free / 2;
  }
  if (textStyle_ == tsShadow) {
    if (Alignment() == taRightJustify) placed = Offset(placed, -shadowDepth_, 0);
    if (Layout() == tlBottom) placed = Offset(placed, 0, -shadowDepth_);
  }
  auto layer = [&](int dx, int dy, TColor color) {
    TRect r = Offset(placed, dx, dy);
    c.Font().SetColor(color);
    c.DrawText(text, r, flags);
  };
  if (!Enabled()) {
    layer(0, 0, clGrayText);
    return;
  }
  DrawStyleLayers(layer, shadowDepth_);
  layer(0, 0, currentColor_);
}

void TCkLabel::DrawFlatText(TCanvas& c, const TRect& rect) {
  std::string text = GetLabelText();
  int x = Width() / 2, y = Height() / 2;
  double t = angle_ * kPi / 180 + kPi / 2;
  int textHeight = c.TextHeight("Pp");
  int q = textHeight / 4;
  int e = textStyle_ == tsShadow ? shadowDepth_ / 2 : 0;
  int H = textHeight + e;
  int W = c.TextWidth(text) + e;
  bool centred = Alignment() == taCenter, right = Alignment() == taRightJustify;
  UINT align = TA_BASELINE | TA_LEFT;
  switch (angle_) {
    case 0:
      if (centred)
        align = TA_TOP | TA_CENTER;
      else {
        align = TA_TOP | TA_LEFT;
        x = right ? rect.Right - c.TextWidth(text) - 2 * e : rect.Left + e;
      }
      y -= H / 2;
      break;
    case 90:
      x -= Round(std::cos(t) * q);
      y = centred ? rect.Bottom - (rect.Bottom - W) / 2 : right ? rect.Top + e + W : rect.Bottom - e;
      break;
    case 180:
      x = centred ? rect.Right - (rect.Right - W) / 2 : right ? rect.Left + W : rect.Right - e;
      y -= H / 4;
      break;
    case 270:
      x -= Round(std::cos(t) * q);
      y = centred ? (rect.Bottom - W) / 2 : right ? rect.Bottom - W - e : rect.Top + e;
      break;
    default:
      x -= Round(std::cos(t) * q);
      y += Round(std::sin(t) * q);
      align = TA_BASELINE | TA_CENTER;
      break;
  }
  HDC dc = c.Handle();
  UINT oldAlign = SetTextAlign(dc, align);
  const kit::Gdi<HFONT> font = CreateRotatedFont(*Font(), angle_);
  auto layer = [&](int dx, int dy, TColor color) {
    TextLayer(dc, font.Get(), x + dx, y + dy, &rect, text, color);
  };
  if (!Enabled()) {
    layer(-e, -e, clGrayText);
  } else {
    DrawStyleLayers(layer, e);
    layer(-e, -e, currentColor_);
  }
  SetTextAlign(dc, oldAlign);
}

void TCkLabel::DrawCurvedText(TCanvas& c) {
  int w = Width(), h = Height(), b = border_.BorderWidth;
  int ax = w / 2, ay = h / 2, rx = w / 2 - 2 * b, ry = h / 2 - 2 * b;
  switch (centerPoint_) {
    case cpUpperLeft: ax = b, ay = b, rx = w - 2 * b, ry = h - 2 * b; break;
    case cpUpperCenter: ax = w / 2, ay = b, rx = w / 2 - 2 * b, ry = h - 2 * b; break;
    case cpUpperRight: ax = w, ay = b, rx = w - 2 * b, ry = h - 2 * b; break;
    case cpLeftCenter: ax = b, ay = h / 2, rx = w - 2 * b, ry = h / 2 - 2 * b; break;
    case cpRightCenter: ax = w - b, ay = h / 2, rx = w - 2 * b, ry = h / 2 - 2 * b; break;
    case cpLowerLeft: ax = b, ay = h - b, rx = w - 2 * b, ry = h - 2 * b; break;
    case cpLowerCenter: ax = w / 2, ay = h - b, rx = w / 2 - 2 * b, ry = h - 2 * b; break;
    case cpLowerRight: ax = w - b, ay = h - b, rx = w - 2 * b, ry = h - 2 * b; break;
    default: break;
  }
  HDC dc = c.Handle();
  UINT oldAlign = SetTextAlign(dc, TA_BASELINE | TA_CENTER);
  double a = angle_ * kPi / 180;
  int t = c.TextHeight("Yy");
  // The step along the curve; a label too small for a radius still advances.
  double step = (c.TextWidth("w") + 2) / static_cast<double>(std::max(rx, 1));
  for (char ch : GetLabelText()) {
    std::string one(1, ch);
    int x = ax - Round((rx - t) * std::sin(a));
    int y = ay - Round((ry - t) * std::cos(a));
    const kit::Gdi<HFONT> font = FontAtTenths(*Font(), Round(a * 1800 / kPi));
    auto layer = [&](int dx, int dy, TColor color) { TextLayer(dc, font.Get(), x + dx, y + dy, nullptr, one, color); };
    if (!Enabled()) {
      layer(1, 1, clBtnHighlight);
      layer(0, 0, clBtnShadow);
    } else {
      DrawStyleLayers(layer, shadowDepth_);
      layer(0, 0, currentColor_);
    }
    a -= step;
  }
  SetTextAlign(dc, oldAlign);
}

}  // namespace ck
