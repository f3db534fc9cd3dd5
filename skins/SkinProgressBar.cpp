#include "SkinProgressBar.h"

#include <algorithm>
#include <string>

#include "SkinGraphics.h"

namespace skins {

using namespace gui;

namespace {

const TEnumInfo kUIStyleInfo{"TSkinUIStyle", {"FromThemeFile", "MacOS", "WinXP", "DeepBlue", "Protein", "BlueGlass"}};
const TEnumInfo kOrientationInfo{"TSkinProgressBarOrientation", {"skHorizontal", "skVertical"}};

// Stores a new value; false when it is the one already there.
template <class T>
bool Store(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

// num / den rounded to the nearest integer, halves to even.
std::int64_t RoundDiv(std::int64_t num, std::int64_t den) {
  if (den < 0) {
    num = -num;
    den = -den;
  }
  std::int64_t q = num / den, r = num % den;
  if (r < 0) {  // floor division
    q -= 1;
    r += den;
  }
  if (2 * r > den || (2 * r == den && q % 2 != 0)) ++q;
  return q;
}

}  // namespace

GUI_DEFINE_CLASS(TSkinProgressBar) {
  c.Publish("Anchors");
  c.Component("FileTheme", &TSkinProgressBar::FileTheme, &TSkinProgressBar::SetFileTheme);
  c.Enumeration("UIStyle", kUIStyleInfo, &TSkinProgressBar::UIStyle, &TSkinProgressBar::SetUIStyle);
  c.Color("CaptionColor", &TSkinProgressBar::CaptionColor, &TSkinProgressBar::SetCaptionColor);
  c.Boolean("ShowCaption", &TSkinProgressBar::ShowCaption, &TSkinProgressBar::SetShowCaption);
  c.Boolean("SmartShowCaption", &TSkinProgressBar::SmartShowCaption, &TSkinProgressBar::SetSmartShowCaption);
  c.Integer("Max", &TSkinProgressBar::Max, &TSkinProgressBar::SetMax);
  c.Integer("Min", &TSkinProgressBar::Min, &TSkinProgressBar::SetMin);
  c.Integer("Position", &TSkinProgressBar::Position, &TSkinProgressBar::SetPosition);
  c.Enumeration("Orientation", kOrientationInfo, &TSkinProgressBar::Orientation, &TSkinProgressBar::SetOrientation);
  c.Color("BorderColor", &TSkinProgressBar::BorderColor, &TSkinProgressBar::SetBorderColor);
  c.Publish("Color");
  c.Object("Picture", &TSkinProgressBar::Picture, &TSkinProgressBar::SetPicture);
  c.Publish("Visible", 1);
  for (const char* name : {"OnMouseDown", "OnMouseMove", "OnMouseUp", "OnClick"}) c.Publish(name);
}

TSkinProgressBar::TSkinProgressBar(TComponent* owner)
    : TCustomPanel(owner), picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = [this](TObject*) { Invalidate(); };
  // The caption is always the percentage, never the control's name.
  controlStyle_ = controlStyle_ - csAcceptsControls - csSetCaption;
  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 150, 12);
  UpdateCaption();
  ApplyStyle();
}

TSkinProgressBar::~TSkinProgressBar() { picture_->OnChange = nullptr; }

TSkinUIStyle TSkinProgressBar::EffectiveStyle() const {
  return (uiStyle_ & 0x7F) == FromThemeFile ? DeepBlue : uiStyle_;
}

void TSkinProgressBar::ApplyStyle() {
  TSkinUIStyle style = EffectiveStyle();
  TBitmap bar;
  LoadThemeBitmap(style, kThemeProgressBarBitmap, &bar);
  if (!bar.Empty()) {
    if (orientation_ == skVertical) RotateBitmap(&bar);
    picture_->SetGraphic(&bar);
  }
  SetColor(GetThemeColor(style, kThemeProgressBarBackground));
  SetBorderColor(GetThemeColor(style, kThemeProgressBarBorder));
  Invalidate();
}

void TSkinProgressBar::SetUIStyle(TSkinUIStyle value) {
  if (Store(uiStyle_, value)) ApplyStyle();
}

void TSkinProgressBar::SetFileTheme(TComponent* value) {
  if (value == fileTheme_) return;
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (fileTheme_) fileTheme_->FreeNotification(this);
  if (!ComponentState().Contains(csDestroying)) ApplyStyle();
}

void TSkinProgressBar::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
}

void TSkinProgressBar::SetOrientation(TSkinProgressBarOrientation value) {
  if (Store(orientation_, value)) ApplyStyle();
}

void TSkinProgressBar::SetMin(std::int32_t value) {
  if (Store(min_, value)) UpdateCaption();
}

void TSkinProgressBar::SetMax(std::int32_t value) {
  if (Store(max_, value)) UpdateCaption();
}

void TSkinProgressBar::SetPosition(std::int32_t value) {
  if (Store(position_, value)) UpdateCaption();
}

void TSkinProgressBar::UpdateCaption() {
  std::int64_t percent = min_ == max_ ? 0 : RoundDiv((std::int64_t{position_} - min_) * 100, std::int64_t{max_} - min_);
  SetCaption(std::to_string(percent) + "%");
  Invalidate();
}

int TSkinProgressBar::FillLength(int length) const {
  if (min_ >= max_ || position_ <= min_) return 0;
  if (position_ > max_) return length;
  return static_cast<int>(RoundDiv((std::int64_t{position_} - min_) * length, std::int64_t{max_} - min_));
}

void TSkinProgressBar::SetBorderColor(TColor value) {
  if (Store(borderColor_, value)) Invalidate();
}

void TSkinProgressBar::SetCaptionColor(TColor value) {
  if (Store(captionColor_, value)) Invalidate();
}

void TSkinProgressBar::SetShowCaption(bool value) {
  if (Store(showCaption_, value)) Invalidate();
}

void TSkinProgressBar::SetSmartShowCaption(bool value) {
  if (Store(smartShowCaption_, value)) Invalidate();
}

void TSkinProgressBar::SetPicture(TPicture* value) {
  picture_->Assign(value);
  Invalidate();
}

void TSkinProgressBar::Paint() {
  int w = ClientWidth(), h = ClientHeight();
  if (w <= 0 || h <= 0) return;
  TPaintBuffer buffer(*Canvas(), Rect(0, 0, w, h));
  if (buffer.Empty()) return;
  TCanvas& canvas = buffer.Canvas();
  TGraphic* graphic = picture_->Graphic();
  canvas.Brush().SetColor(Color());
  if (orientation_ == skHorizontal) {
    int fill = std::max(FillLength(w - 1), 1);
    if (graphic) canvas.StretchDraw(Rect(1, 1, fill, h - 1), graphic);
    canvas.FillRect(Rect(fill, 1, w - 1, h - 1));
    if (showCaption_ && !(smartShowCaption_ && position_ == min_)) {
      std::string caption = Caption();
      canvas.Font().Assign(Font());
      canvas.Font().SetColor(captionColor_);
      canvas.Brush().SetStyle(bsClear);
      TSize size = canvas.TextExtent(caption);
      canvas.TextOut((w - size.cx) / 2, (h - size.cy) / 2, caption);
    }
  } else {
    // Filled from the bottom edge up; no caption across a standing bar.
    int fill = std::max(FillLength(h - 1), 1);
    if (graphic) canvas.StretchDraw(Rect(1, h - fill, w - 1, h - 1), graphic);
    canvas.FillRect(Rect(1, 1, w - 1, h - fill));
  }
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(borderColor_);
  canvas.FrameRect(Rect(0, 0, w, h));
  buffer.Commit();
}

void TSkinProgressBar::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;  // Paint covers everything
      return;
    case CM_COLORCHANGED:
      Invalidate();
      break;
  }
  inherited::WndProc(m);
}

}  // namespace skins
