#include "CkTrkBar.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "CkGrafx.h"
#include "CkTabOnEnter.h"
#include "gui/ExtCtrls.h"
#include "gui/Themes.h"
#include "kit/Own.h"

namespace ck {

const TEnumInfo ThumbStyleInfo{"TThumbStyle", {"tsBox", "tsCustom", "tsMixer", "tsPointer", "tsFlat", "tsXPPointer",
                                               "tsXPBox"}};
const TEnumInfo PointerTypeInfo{"TPointerType", {"ptStandard", "ptWin95"}};
const TEnumInfo TickStyleInfo{"TTickStyle", {"tkStandard", "tkOwnerDraw"}};

namespace {

constexpr UINT kFirstRepeat = 200;
constexpr UINT kNextRepeats = 100;

std::unique_ptr<TBitmap> WorkBitmap(int width, int height) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(width, height);
  return b;
}

using TColorMap = std::vector<std::pair<TColor, TColor>>;

// Replaces each pixel of a key colour (RGB) by its system-dependent colour.
void MapColors(TBitmap& bitmap, const TColorMap& map) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    auto* row = static_cast<std::uint8_t*>(bitmap.ScanLine(y));
    for (int x = 0; x < bitmap.Width(); ++x) {
      std::uint8_t* p = row + x * 4;
      TColor pixel = RGB(p[2], p[1], p[0]);
      for (const auto& [key, color] : map) {
        if (pixel != key) continue;
        TColor rgb = ColorToRGB(color);
        p[0] = GetBValue(rgb);
        p[1] = GetGValue(rgb);
        p[2] = GetRValue(rgb);
        break;
      }
    }
  }
}

// A bitmap resource of the program as a 32-bit bitmap, its key colours
// mapped when a map is given; empty when the resource is missing or bad.
std::unique_ptr<TBitmap> LoadThumb(const std::string& name, const TColorMap* map) {
  auto b = std::make_unique<TBitmap>();
  try {
    b->LoadFromResourceName(GetModuleHandleA(nullptr), name);
    b->SetPixelFormat(pf32bit);
    if (map) MapColors(*b, *map);
  } catch (const std::exception&) {
    b = WorkBitmap(0, 0);
  }
  return b;
}

// The thumb of that resource and colour map that a bar already shows, or a
// new one: each is a resource decoded, made 32-bit and recoloured pixel by
// pixel, and the main window has a dozen bars that look alike.
std::shared_ptr<TBitmap> SharedThumb(const std::string& name, const TColorMap* map) {
  static std::map<std::string, std::weak_ptr<TBitmap>> shown;
  std::string key = name;
  if (map)
    for (const auto& [from, to] : *map) key += ':' + std::to_string(from) + '=' + std::to_string(ColorToRGB(to));
  std::weak_ptr<TBitmap>& slot = shown[key];
  if (std::shared_ptr<TBitmap> thumb = slot.lock()) return thumb;
  std::shared_ptr<TBitmap> thumb = LoadThumb(name, map);
  slot = thumb;
  return thumb;
}

// Part `index` of three equal parts side by side.
std::unique_ptr<TBitmap> ThirdOf(TBitmap& source, int index) {
  int w = source.Width() / 3, h = source.Height();
  auto b = WorkBitmap(w, h);
  if (w > 0 && h > 0) b->Canvas().CopyRect(Rect(0, 0, w, h), source.Canvas(), Bounds(index * w, 0, w, h));
  return b;
}

// Stores a changed value; false when it was the same.
template <class V>
bool Store(V& field, const V& value) {
  if (field == value) return false;
  field = value;
  return true;
}

// Shared by every bar and freed with the program, so no bar destroys one.
HCURSOR LoadThumbCursor(const char* name) {
  return static_cast<HCURSOR>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

// Looked up once: every lookup asks the system again, even for a shared one.
HCURSOR HorizontalThumbCursor() {
  static const HCURSOR cursor = LoadThumbCursor("CKTRKBAR_H_CURSOR");
  return cursor;
}

HCURSOR VerticalThumbCursor() {
  static const HCURSOR cursor = LoadThumbCursor("CKTRKBAR_V_CURSOR");
  return cursor;
}

}  // namespace

GUI_DEFINE_CLASS(TCkTrackBar) {
  c.Object("CustomThumb", &TCkTrackBar::CustomThumb, &TCkTrackBar::SetCustomThumb);
  c.Color("HighlightColor", &TCkTrackBar::HighlightColor, &TCkTrackBar::SetHighlightColor, clHighlight);
  c.Color("HotTrackColor", &TCkTrackBar::HotTrackColor, &TCkTrackBar::SetHotTrackColor, 0x149BF0);
  c.Enumeration("HotTrackColorType", HotTrackColorTypeInfo, &TCkTrackBar::HotTrackColorType,
                &TCkTrackBar::SetHotTrackColorType, htctActual);
  c.Integer("Max", &TCkTrackBar::Max, &TCkTrackBar::SetMax, 10);
  c.Integer("Min", &TCkTrackBar::Min, &TCkTrackBar::SetMin, 0);
  c.Enumeration("Orientation", OrientationInfo, &TCkTrackBar::Orientation, &TCkTrackBar::SetOrientation,
                orHorizontal);
  c.Integer("PageSize", &TCkTrackBar::PageSize, &TCkTrackBar::SetPageSize, 1);
  c.Enumeration("PointerType", PointerTypeInfo, &TCkTrackBar::PointerType, &TCkTrackBar::SetPointerType,
                ptStandard);
  c.Integer("Position", &TCkTrackBar::Position, &TCkTrackBar::SetPosition);
  c.Boolean("ShowFocusRect", &TCkTrackBar::ShowFocusRect, &TCkTrackBar::SetShowFocusRect, true);
  c.Boolean("ShowTicks", &TCkTrackBar::ShowTicks, &TCkTrackBar::SetShowTicks, true);
  c.Boolean("TabOnEnter", &TCkTrackBar::TabOnEnter, &TCkTrackBar::SetTabOnEnter, false);
  c.Enumeration("ThumbStyle", ThumbStyleInfo, &TCkTrackBar::ThumbStyle, &TCkTrackBar::SetThumbStyle, tsPointer);
  c.Color("TickColor", &TCkTrackBar::TickColor, &TCkTrackBar::SetTickColor, clBtnShadow);
  c.Integer("TickStep", &TCkTrackBar::TickStep, &TCkTrackBar::SetTickStep, 1);
  c.Enumeration("TickStyle", TickStyleInfo, &TCkTrackBar::TickStyle, &TCkTrackBar::SetTickStyle, tkStandard);
  c.Color("TrackColor", &TCkTrackBar::TrackColor, &TCkTrackBar::SetTrackColor, cl3DLight);
  c.Integer("TrackOffset", &TCkTrackBar::TrackOffset, &TCkTrackBar::SetTrackOffset, 20);
  c.Enumeration("TrackFrame", FrameStyleInfo, &TCkTrackBar::TrackFrame, &TCkTrackBar::SetTrackFrame, fsStatus);
  c.Color("TrackFrameColor", &TCkTrackBar::TrackFrameColor, &TCkTrackBar::SetTrackFrameColor, clBtnShadow);
  c.Integer("TrackWidth", &TCkTrackBar::TrackWidth, &TCkTrackBar::SetTrackWidth, 8);
  c.Boolean("Transparent", &TCkTrackBar::Transparent, &TCkTrackBar::SetTransparent, false);
  c.Boolean("ThemeAware", &TCkTrackBar::ThemeAware, &TCkTrackBar::SetThemeAware, true);
  c.Event("OnChange", &TCkTrackBar::OnChange);
  c.Event("OnChanging", &TCkTrackBar::OnChanging);
  c.Event("OnDrawTick", &TCkTrackBar::OnDrawTick);
  for (const char* name : {"Align", "Anchors", "Enabled", "Hint", "ParentShowHint", "PopupMenu", "ShowHint",
                           "TabOrder", "Visible"})
    c.Publish(name);
  c.Publish("Color", clWindow);
  c.Publish("ParentColor", true);
  c.Publish("TabStop", true);
  c.Publish("Height", 35);
  c.Publish("Width", 200);
  for (const char* name : {"OnClick", "OnContextPopup", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp",
                           "OnMouseDown", "OnMouseEnter", "OnMouseLeave", "OnMouseMove", "OnMouseUp"})
    c.Publish(name);
}

TCkTrackBar::TCkTrackBar(TComponent* owner)
    : TCustomControl(owner),
      customThumb_(std::make_unique<TBitmap>()),
      cache_(WorkBitmap(0, 0)) {
  customThumb_->OnChange = [this](TObject*) {
    // A new custom picture is what the thumb shows from now on.
    thumbStyle_ = tsCustom;
    Restyle();
  };
  horizontalCursor_ = HorizontalThumbCursor();
  verticalCursor_ = VerticalThumbCursor();
  LoadThumbBitmaps();
  SetBounds(Left(), Top(), 200, 35);
  SetTabStop(true);
}

TCkTrackBar::~TCkTrackBar() {
  customThumb_->OnChange = nullptr;
  if (repeatTimer_) repeatTimer_->SetEnabled(false);
}

// --- properties ---------------------------------------------------------------------

void TCkTrackBar::FlagAndInvalidate() {
  cacheStale_ = true;
  Invalidate();
}

void TCkTrackBar::Restyle() {
  // A form sets several of the looks in turn: the thumbs are made once, when
  // it has been read.
  if (ComponentState().Contains(csLoading)) {
    restylePending_ = true;
    return;
  }
  LoadThumbBitmaps();
  FlagAndInvalidate();
}

void TCkTrackBar::Loaded() {
  inherited::Loaded();
  if (std::exchange(restylePending_, false)) Restyle();
}

void TCkTrackBar::SetCustomThumb(TBitmap* value) { customThumb_->Assign(value); }

void TCkTrackBar::SetHighlightColor(TColor value) {
  if (Store(highlightColor_, value)) Restyle();
}

void TCkTrackBar::SetHotTrackColor(TColor value) {
  if (Store(hotTrackColor_, value)) Restyle();
}

void TCkTrackBar::SetHotTrackColorType(TCkHotTrackColorType value) {
  if (Store(hotTrackColorType_, value)) Restyle();
}

void TCkTrackBar::SetMax(int value) {
  if (value == max_) return;
  max_ = value;
  if (min_ >= max_) {
    if (min_ == INT_MAX) min_ = INT_MAX - 1;
    max_ = min_ + 1;
  }
  cacheStale_ = true;
  if (position_ > max_) SetPosition(max_);
  FlagAndInvalidate();
}

void TCkTrackBar::SetMin(int value) {
  if (value == min_) return;
  min_ = value;
  if (min_ >= max_) {
    if (max_ == INT_MIN) max_ = INT_MIN + 1;
    min_ = max_ - 1;
  }
  cacheStale_ = true;
  if (position_ < min_) SetPosition(min_);
  FlagAndInvalidate();
}

void TCkTrackBar::SetOrientation(TOrientation value) {
  if (Store(orientation_, value)) Restyle();
}

void TCkTrackBar::SetPointerType(TPointerType value) {
  if (Store(pointerType_, value)) Restyle();
}

void TCkTrackBar::SetPosition(int value) {
  if (value == position_) return;
  value = std::clamp(value, min_, max_);
  bool allow = true;
  DoChanging(value, allow);
  if (!allow) return;
  position_ = value;
  RedrawThumb();
  DoChange();
}

void TCkTrackBar::SetShowTicks(bool value) {
  if (Store(showTicks_, value)) FlagAndInvalidate();
}

void TCkTrackBar::SetThumbStyle(TThumbStyle value) {
  if (value == thumbStyle_) return;
  thumbStyle_ = value;
  if (!ComponentState().Contains(csLoading)) trackWidth_ = value == tsMixer || value == tsFlat ? 6 : 8;
  Restyle();
}

void TCkTrackBar::SetTickColor(TColor value) {
  if (Store(tickColor_, value)) FlagAndInvalidate();
}

void TCkTrackBar::SetTickStep(int value) {
  if (Store(tickStep_, std::max(value, 1))) FlagAndInvalidate();
}

void TCkTrackBar::SetTickStyle(TTickStyle value) {
  if (Store(tickStyle_, value)) FlagAndInvalidate();
}

void TCkTrackBar::SetTrackColor(TColor value) {
  if (Store(trackColor_, value)) FlagAndInvalidate();
}

void TCkTrackBar::SetTrackOffset(std::uint16_t value) {
  if (Store(trackOffset_, value)) FlagAndInvalidate();
}

void TCkTrackBar::SetTrackFrame(TFrameStyle value) {
  if (Store(trackFrame_, value)) FlagAndInvalidate();
}

void TCkTrackBar::SetTrackFrameColor(TColor value) {
  if (Store(trackFrameColor_, value)) FlagAndInvalidate();
}

void TCkTrackBar::SetTrackWidth(std::uint16_t value) {
  if (Store(trackWidth_, std::max<std::uint16_t>(value, 4))) FlagAndInvalidate();
}

void TCkTrackBar::SetTransparent(bool value) {
  if (Store(transparent_, value)) FlagAndInvalidate();
}

void TCkTrackBar::SetThemeAware(bool value) {
  if (Store(themeAware_, value)) Restyle();
}

// --- thumbs and geometry ------------------------------------------------------------

TThumbStyle TCkTrackBar::EffectiveThumbStyle() const {
  if (themeAware_ && ThemeServices().ThemesEnabled()) {
    if (thumbStyle_ == tsBox) return tsXPBox;
    if (thumbStyle_ == tsPointer) return tsXPPointer;
  }
  return thumbStyle_;
}

bool TCkTrackBar::PointerShape(bool& win95) const {
  TThumbStyle style = EffectiveThumbStyle();
  win95 = style == tsPointer && pointerType_ == ptWin95;
  return style == tsPointer || style == tsXPPointer;
}

void TCkTrackBar::LoadThumbBitmaps() {
  const TThumbStyle style = EffectiveThumbStyle();
  const bool vertical = orientation_ == orVertical;
  if (style == tsCustom) {
    thumb_ = ThirdOf(*customThumb_, 0);
    hotThumb_ = ThirdOf(*customThumb_, 0);
    thumbMask_ = ThirdOf(*customThumb_, 1);
    disabledThumb_ = ThirdOf(*customThumb_, 2);
  } else {
    std::string name;
    if (style == tsPointer && pointerType_ == ptWin95 && !vertical) {
      name = "CKTRKBAR_WIN95";
    } else {
      static const char* const kShapes[] = {"BOX", "", "MIXER", "PTR", "FLAT", "XPPTR", "XPBOX"};
      name = std::string("CKTRKBAR_") + (vertical ? "V_" : "H_") + kShapes[style];
    }
    // Key colours (as 0x00BBGGRR) and the colours they stand for.
    TColor hot1, hot2, hot3;
    if (hotTrackColorType_ == htctActual) {
      hot1 = hot2 = hotTrackColor_;
      hot3 = MixColors(clWhite, hotTrackColor_, 190);
    } else {
      TColor base = OppositeHueColor(hotTrackColor_, 140);
      hot1 = DarkenColor(base, 15);
      hot2 = DarkenColor(base, 30);
      hot3 = base;
    }
    const TColorMap map = {{0xC0C0C0, clBtnFace},
                           {0x808080, clBtnShadow},
                           {0x008080, cl3DDkShadow},
                           {0x00FFFF, cl3DLight},
                           {0x008000, LightenColor(clBtnShadow, 30)},
                           {0xFF0000, (ColorToRGB(highlightColor_) + 1) & 0xFFFFFF},
                           {0x800000, DarkenColor(highlightColor_, 30)},
                           {0xFFFF00, LightenColor(highlightColor_, 30)},
                           {0x0000FF, hot1},
                           {0x000080, hot2},
                           {0xFF00FF, hot3},
                           {0x808000, clBtnShadow},
                           {0x800080, DarkenColor(clBtnShadow, 30)},
                           {0x00FF00, LightenColor(clBtnShadow, 30)}};
    const TColorMap* mapped = style == tsXPPointer || style == tsXPBox ? nullptr : &map;
    thumb_ = SharedThumb(name, mapped);
    hotThumb_ = SharedThumb(name + "_HOT", mapped);
    disabledThumb_ = SharedThumb(name + "_DISABLED", mapped);
    thumbMask_ = SharedThumb(name + "_MASK", nullptr);
  }
  thumbWidth_ = vertical ? thumb_->Height() : thumb_->Width();
  thumbHeight_ = vertical ? thumb_->Width() : thumb_->Height();
  halfWidth_ = thumbWidth_ / 2;
}

int TCkTrackBar::Span() {
  return (orientation_ == orHorizontal ? Width() : Height()) - thumbWidth_ - 2 * kBorderWidth;
}

TRect TCkTrackBar::TrackRect() {
  const int bw = kBorderWidth, hw = halfWidth_;
  if (orientation_ == orHorizontal) return Rect(hw + bw, trackOffset_, Width() - bw - hw, trackOffset_ + trackWidth_);
  return Rect(trackOffset_, hw + bw, trackOffset_ + trackWidth_, Height() - bw - hw);
}

TRect TCkTrackBar::ThumbRect() {
  const int bw = kBorderWidth, tw = thumbWidth_, th = thumbHeight_;
  bool win95;
  int shift = PointerShape(win95) && !(win95 && orientation_ == orHorizontal) ? 2 : 0;
  // Integer division toward zero, as the thumb has always been placed.
  std::int64_t along = static_cast<std::int64_t>(Span()) * (static_cast<std::int64_t>(position_) - min_) /
                       (static_cast<std::int64_t>(max_) - min_);
  int across = (trackWidth_ - th) / 2 + trackOffset_ - shift;
  if (orientation_ == orHorizontal) {
    int left = static_cast<int>(along) + bw;
    return Rect(left, across, left + tw, across + th);
  }
  int bottom = Height() - (static_cast<int>(along) + bw);
  return Rect(across, bottom - tw, across + th, bottom);
}

// --- drawing ------------------------------------------------------------------------

void TCkTrackBar::DrawTrack(TCanvas& canvas) {
  TRect r = TrackRect();
  canvas.Brush().SetColor(Enabled() ? trackColor_ : clBtnFace);
  canvas.FillRect(r);
  if (trackFrame_ == fsFlat)
    DrawSidesLine(canvas, r, trackFrameColor_, kAllSides, trackFrameColor_);
  else
    DrawFrameStyle(canvas, r, trackFrame_, kAllSides);
}

void TCkTrackBar::DrawTicks(TCanvas& canvas) {
  if (max_ < min_) return;
  canvas.Pen().SetColor(tickColor_);
  const int bw = kBorderWidth, hw = halfWidth_, tw = thumbWidth_;
  const double scale = static_cast<double>(Span()) / (static_cast<double>(max_) - min_);
  bool win95;
  const bool pointer = PointerShape(win95);
  auto line = [&canvas](int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
  };
  // Only the multiples of the step get a tick, and at most one a pixel: a
  // range wider than the track takes every n-th multiple.
  const std::int64_t range = static_cast<std::int64_t>(max_) - min_;
  const std::int64_t span = std::max(Span(), 1);
  std::int64_t step = tickStep_;
  if (range / step > span) step *= (range / step + span - 1) / span;
  const std::int64_t rest = min_ % step;
  const std::int64_t first = rest == 0 ? min_ : (min_ > 0 ? min_ + step - rest : min_ - rest);
  for (std::int64_t v = first; v <= max_; v += step) {
    int offset = static_cast<int>(std::nearbyint(static_cast<double>(v - min_) * scale));
    int index = static_cast<int>(v);
    if (orientation_ == orHorizontal) {
      int x = offset + bw + hw;
      if (tickStyle_ == tkOwnerDraw) {
        DoDrawTick(canvas, Point(x, 0), index);
        continue;
      }
      if (!win95) line(x, bw, x, 10);
      if (win95 || !pointer) line(x, Height() - 10, x, Height() - bw);
    } else {
      int y = Height() - tw - offset - bw + hw;
      if (tickStyle_ == tkOwnerDraw) {
        DoDrawTick(canvas, Point(0, y), index);
        continue;
      }
      line(bw, y, 10, y);
      if (!pointer) line(Width() - 10, y, Width() - bw, y);
    }
  }
}

void TCkTrackBar::RebuildCache() {
  const TRect client = Rect(0, 0, Width(), Height());
  cache_->SetSize(client.Width(), client.Height());
  TCanvas& c = cache_->Canvas();
  if (transparent_) {
    // The parent itself, not the screen: whatever covered the bar while it
    // painted would be kept otherwise.
    PaintParentUnderControl(this, c.Handle(), false);
  } else {
    c.Brush().SetColor(Color());
    c.FillRect(client);
  }
  DrawTrack(c);
  if (showTicks_) DrawTicks(c);
  cacheStale_ = false;
}

void TCkTrackBar::DrawThumb(TCanvas& canvas) {
  const TRect old = thumbRect_;
  const TRect now = ThumbRect();
  thumbRect_ = now;
  if (cacheStale_) RebuildCache();
  if (!old.IsEmpty()) {
    RECT a{old.Left, old.Top, old.Right, old.Bottom}, b{now.Left, now.Top, now.Right, now.Bottom}, left{};
    // The uncovered part of the old thumb, or all of it when that part is
    // not a rectangle.
    if (SubtractRect(&left, &a, &b)) {
      TRect r{left.left, left.top, left.right, left.bottom};
      canvas.CopyRect(r, cache_->Canvas(), r);
    }
  }
  if (now.IsEmpty()) return;
  TBitmap* image = !Enabled() ? disabledThumb_.get()
                   : hot_ && !ComponentState().Contains(csDesigning) ? hotThumb_.get()
                                                                      : thumb_.get();
  auto work = WorkBitmap(now.Width(), now.Height());
  HDC dc = work->Canvas().Handle();
  BitBlt(dc, 0, 0, now.Width(), now.Height(), cache_->Canvas().Handle(), now.Left, now.Top, SRCCOPY);
  BitBlt(dc, 0, 0, now.Width(), now.Height(), thumbMask_->Canvas().Handle(), 0, 0, SRCAND);
  BitBlt(dc, 0, 0, now.Width(), now.Height(), image->Canvas().Handle(), 0, 0, SRCPAINT);
  canvas.CopyRect(now, work->Canvas(), Rect(0, 0, now.Width(), now.Height()));
}

void TCkTrackBar::Paint() {
  TCanvas& screen = *Canvas();
  const TRect client = Rect(0, 0, Width(), Height());
  if (cacheStale_) RebuildCache();
  auto off = WorkBitmap(client.Width(), client.Height());
  TCanvas& c = off->Canvas();
  c.CopyRect(client, cache_->Canvas(), client);
  if (Focused() && showFocusRect_) c.DrawFocusRect(client);
  // The cache holds the track and the ticks.
  thumbRect_ = {};
  DrawThumb(c);
  screen.CopyRect(client, c, client);
}

void TCkTrackBar::RedrawThumb() {
  if (!HandleAllocated()) return;
  if (cacheStale_) {
    Invalidate();
    return;
  }
  auto* canvas = static_cast<TControlCanvas*>(Canvas());
  DrawThumb(*canvas);
  canvas->FreeHandle();
}

void TCkTrackBar::Resize() {
  SetOrientation(Width() < Height() ? orVertical : orHorizontal);
  FlagAndInvalidate();
  inherited::Resize();
}

// --- events -------------------------------------------------------------------------

void TCkTrackBar::DoChange() {
  if (OnChange) OnChange(this);
}

void TCkTrackBar::DoChanging(int newPosition, bool& allowChange) {
  if (OnChanging) OnChanging(this, newPosition, allowChange);
}

void TCkTrackBar::DoDrawTick(TCanvas& canvas, TPoint location, int index) {
  if (OnDrawTick) OnDrawTick(this, &canvas, location, index);
}

void TCkTrackBar::UserMove(int position) {
  if (AllowPositionChange(position)) SetPosition(position);
}

// --- keyboard -----------------------------------------------------------------------

void TCkTrackBar::KeyDown(WORD& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  const bool vertical = orientation_ == orVertical;
  std::int64_t target = position_;
  switch (key) {
    case VK_PRIOR: target += pageSize_; break;
    case VK_NEXT: target -= pageSize_; break;
    case VK_END: target = vertical ? min_ : max_; break;
    case VK_HOME: target = vertical ? max_ : min_; break;
    case VK_LEFT:
    case VK_DOWN:
    case VK_SUBTRACT:
      if (position_ > min_) --target;
      break;
    case VK_UP:
    case VK_RIGHT:
    case VK_ADD:
      if (position_ < max_) ++target;
      break;
    default:
      return;
  }
  UserMove(static_cast<int>(std::clamp<std::int64_t>(target, INT_MIN, INT_MAX)));
}

void TCkTrackBar::KeyPress(char& key) {
  if (!TakeEnterAsTab(*this, key, tabOnEnter_)) inherited::KeyPress(key);
}

// --- mouse --------------------------------------------------------------------------

void TCkTrackBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  inherited::MouseDown(button, shift, x, y);
  if (!ComponentState().Contains(csDesigning) && !Focused() && CanFocus()) SetFocus();
  if (button != mbLeft) return;
  const TPoint p{x, y};
  const TRect thumb = ThumbRect();
  if (thumb.Contains(p)) {
    if (paging_) StopPaging();
    SetMouseCapture(true);
    sliding_ = true;
    centreOffset_ = {x - (thumb.Left + thumb.Right) / 2, y - (thumb.Top + thumb.Bottom) / 2};
  } else if (TrackRect().Contains(p)) {
    paging_ = true;
    pagingFixed_ = false;
    pagePoint_ = p;
    PagingTimer().SetInterval(kFirstRepeat);
    PagingTimer().SetEnabled(true);
    PageAt(p);
  }
}

void TCkTrackBar::PageAt(TPoint p) {
  const std::int64_t range = static_cast<std::int64_t>(max_) - min_;
  const std::int64_t span = Span();
  bool up;
  if (orientation_ == orHorizontal)
    up = p.X >= RoundDiv((static_cast<std::int64_t>(position_) - min_) * span, range) + kBorderWidth;
  else
    up = p.Y < RoundDiv((static_cast<std::int64_t>(max_) - position_) * span, range) + kBorderWidth;
  if (!pagingFixed_) {
    pagingFixed_ = true;
    pagingUp_ = up;
  } else if (up != pagingUp_) {
    StopPaging();  // the thumb has passed the pressed point
    return;
  }
  std::int64_t target = static_cast<std::int64_t>(position_) + (up ? pageSize_ : -static_cast<int>(pageSize_));
  UserMove(static_cast<int>(std::clamp<std::int64_t>(target, INT_MIN, INT_MAX)));
}

void TCkTrackBar::StopPaging() {
  if (repeatTimer_) {
    repeatTimer_->SetEnabled(false);
    repeatTimer_->SetInterval(kFirstRepeat);
  }
  paging_ = false;
}

// Made at the first paging: most track bars are never paged, and a timer's
// window costs at start-up.
gui::TTimer& TCkTrackBar::PagingTimer() {
  if (!repeatTimer_) {
    auto timer = std::make_unique<gui::TTimer>(nullptr);
    timer->SetEnabled(false);
    timer->SetInterval(kFirstRepeat);
    timer->OnTimer = [this](TObject* sender) { RepeatTimer(sender); };
    repeatTimer_ = std::move(timer);
  }
  return *repeatTimer_;
}

void TCkTrackBar::RepeatTimer(TObject*) {
  repeatTimer_->SetInterval(kNextRepeats);
  if (!MouseCapture()) {
    StopPaging();  // the press ended somewhere we did not hear of
    return;
  }
  auto stopOnFailure = kit::OnExit([this] { StopPaging(); });
  PageAt(pagePoint_);
  stopOnFailure.Dismiss();
}

void TCkTrackBar::MouseMove(TShiftState shift, int x, int y) {
  inherited::MouseMove(shift, x, y);
  if (!sliding_) {
    if (!ComponentState().Contains(csDesigning)) SetHot(ThumbRect().Contains({x, y}));
    return;
  }
  const TRect track = TrackRect();
  const bool horizontal = orientation_ == orHorizontal;
  const int length = horizontal ? track.Width() : track.Height();
  if (length <= 0) return;
  double value = horizontal ? static_cast<double>(x - track.Left - centreOffset_.X) / length
                            : static_cast<double>(track.Bottom + centreOffset_.Y - y) / length;
  double candidate = std::nearbyint(value * (static_cast<double>(max_) - min_) + min_);
  candidate = std::clamp(candidate, static_cast<double>(min_), static_cast<double>(max_));
  UserMove(static_cast<int>(candidate));
}

void TCkTrackBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  inherited::MouseUp(button, shift, x, y);
  StopPaging();
  if (button == mbLeft && sliding_) {
    sliding_ = false;
    SetMouseCapture(false);
    hot_ = false;
    RedrawThumb();
  }
}

void TCkTrackBar::SetHot(bool value) {
  if (value == hot_) return;
  hot_ = value;
  RedrawThumb();
}

void TCkTrackBar::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (transparent_) {
        PaintParentUnderControl(this, reinterpret_cast<HDC>(m.WParam), true);
        m.Result = 1;
        return;
      }
      break;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS;
      return;
    case CM_WANTSPECIALKEY:
      if (WantEnterAsTab(m, tabOnEnter_)) return;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      inherited::WndProc(m);
      Invalidate();
      return;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_PARENTCOLORCHANGED:
      inherited::WndProc(m);
      FlagAndInvalidate();
      return;
    case CM_MOUSELEAVE:
      if (!sliding_) SetHot(false);
      break;
    case CM_MOUSEENTER:
      if (ComponentState().Contains(csDesigning)) return;
      break;
    case WM_SETCURSOR:
      if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == Handle()) {
        POINT p;
        GetCursorPos(&p);
        HCURSOR cursor = orientation_ == orHorizontal ? horizontalCursor_ : verticalCursor_;
        if (cursor && ThumbRect().Contains(ScreenToClient({p.x, p.y}))) {
          ::SetCursor(cursor);
          m.Result = 1;
          return;
        }
      }
      break;
    case WM_CANCELMODE:
      StopPaging();
      sliding_ = false;
      break;
  }
  inherited::WndProc(m);
}

}  // namespace ck
