#include "gui/Canvas.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "Offscreen.h"
#include "gui/Bitmap.h"
#include "gui/Graphic.h"

namespace gui {

namespace {

const TEnumInfo kFontStyleInfo{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const TEnumInfo kFontPitchInfo{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
const TEnumInfo kBrushStyleInfo{"TBrushStyle", {"bsSolid", "bsClear"}};
const TEnumInfo kPenStyleInfo{"TPenStyle",
                              {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}};

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

static_assert(sizeof(TPoint) == sizeof(POINT) && offsetof(TPoint, Y) == offsetof(POINT, y));

}  // namespace

// --- graphics objects ------------------------------------------------------------

GUI_DEFINE_CLASS(TGraphicsObject) {}

TGraphicsObject::~TGraphicsObject() { FreeHandle(); }

HGDIOBJ TGraphicsObject::GetHandle() {
  if (!handle_) {
    handle_.Reset(CreateHandle());
    if (!handle_) throw EOutOfResources("Out of system resources: cannot create a " + ClassName());
  }
  return handle_.Get();
}

void TGraphicsObject::AdoptHandle(HGDIOBJ handle) {
  FreeHandle();
  handle_.Reset(handle);
  if (OnChange) OnChange(this);
}

void TGraphicsObject::FreeHandle() {
  if (!handle_) return;
  if (selectedIn_) selectedIn_->Deselect(*this);
  handle_.Reset();  // deleting a stock object is harmless
}

void TGraphicsObject::Changed() {
  FreeHandle();
  if (OnChange) OnChange(this);
}

// --- TFont -----------------------------------------------------------------------

GUI_DEFINE_CLASS(TFont) {
  c.Integer("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET);
  c.Color("Color", &TFont::Color, &TFont::SetColor, clWindowText);
  c.Integer("Height", &TFont::Height, &TFont::SetHeight);
  c.String("Name", &TFont::Name, &TFont::SetName);
  c.Enumeration("Pitch", kFontPitchInfo, &TFont::Pitch, &TFont::SetPitch, fpDefault);
  c.SetOf("Style", kFontStyleInfo, &TFont::Style, &TFont::SetStyle, 0);
}

void TFont::Assign(TPersistent* source) {
  if (auto* font = dynamic_cast<TFont*>(source)) {
    if (font == this) return;
    name_ = font->name_;
    height_ = font->height_;
    style_ = font->style_;
    color_ = font->color_;
    charset_ = font->charset_;
    pitch_ = font->pitch_;
    Changed();
    return;
  }
  inherited::Assign(source);
}

void TFont::SetHeight(int height) { Update(height_, height); }
void TFont::SetStyle(TFontStyles style) { Update(style_, style); }
void TFont::SetColor(TColor color) { Update(color_, color); }
void TFont::SetCharset(std::uint8_t charset) { Update(charset_, charset); }
void TFont::SetPitch(TFontPitch pitch) { Update(pitch_, pitch); }
void TFont::SetName(const std::string& name) { Update(name_, name); }

LOGFONTA TFont::ToLogFont() const {
  LOGFONTA lf{};
  lf.lfHeight = height_;
  lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style_.Contains(fsItalic);
  lf.lfUnderline = style_.Contains(fsUnderline);
  lf.lfStrikeOut = style_.Contains(fsStrikeOut);
  lf.lfCharSet = charset_;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = pitch_ == fpVariable ? VARIABLE_PITCH : pitch_ == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
  std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
  return lf;
}

namespace {

void ReadLogFont(const LOGFONTA& lf, std::string& name, int& height, TFontStyles& style, std::uint8_t& charset,
                 TFontPitch& pitch) {
  name.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  height = lf.lfHeight;
  style = {};
  if (lf.lfWeight >= FW_BOLD) style.Include(fsBold);
  if (lf.lfItalic) style.Include(fsItalic);
  if (lf.lfUnderline) style.Include(fsUnderline);
  if (lf.lfStrikeOut) style.Include(fsStrikeOut);
  charset = lf.lfCharSet;
  int p = lf.lfPitchAndFamily & 3;
  pitch = p == VARIABLE_PITCH ? fpVariable : p == FIXED_PITCH ? fpFixed : fpDefault;
}

}  // namespace

void TFont::AssignLogFont(const LOGFONTA& font) {
  ReadLogFont(font, name_, height_, style_, charset_, pitch_);
  Changed();
}

void TFont::SetHandle(HFONT font) {
  LOGFONTA lf{};
  if (font && GetObjectA(font, sizeof lf, &lf) == sizeof lf)
    ReadLogFont(lf, name_, height_, style_, charset_, pitch_);
  AdoptHandle(font);
}

HGDIOBJ TFont::CreateHandle() {
  LOGFONTA lf = ToLogFont();
  return CreateFontIndirectA(&lf);
}

// --- TBrush, TPen -------------------------------------------------------------------

GUI_DEFINE_CLASS(TBrush) {
  c.Color("Color", &TBrush::Color, &TBrush::SetColor, clWhite);
  c.Enumeration("Style", kBrushStyleInfo, &TBrush::Style, &TBrush::SetStyle, bsSolid);
}

void TBrush::Assign(TPersistent* source) {
  if (auto* brush = dynamic_cast<TBrush*>(source)) {
    color_ = brush->color_;
    style_ = brush->style_;
    Changed();
    return;
  }
  inherited::Assign(source);
}

void TBrush::SetColor(TColor color) { Update(color_, color); }
void TBrush::SetStyle(TBrushStyle style) { Update(style_, style); }

HGDIOBJ TBrush::CreateHandle() {
  if (style_ == bsClear || color_ == clNone) return GetStockObject(NULL_BRUSH);
  return CreateSolidBrush(ColorToRGB(color_));
}

GUI_DEFINE_CLASS(TPen) {
  c.Color("Color", &TPen::Color, &TPen::SetColor, clBlack);
  c.Enumeration("Style", kPenStyleInfo, &TPen::Style, &TPen::SetStyle, psSolid);
  c.Integer("Width", &TPen::Width, &TPen::SetWidth, 1);
}

void TPen::Assign(TPersistent* source) {
  if (auto* pen = dynamic_cast<TPen*>(source)) {
    color_ = pen->color_;
    width_ = pen->width_;
    style_ = pen->style_;
    Changed();
    return;
  }
  inherited::Assign(source);
}

void TPen::SetColor(TColor color) { Update(color_, color); }
void TPen::SetWidth(int width) { Update(width_, std::max(width, 0)); }
void TPen::SetStyle(TPenStyle style) { Update(style_, style); }

HGDIOBJ TPen::CreateHandle() {
  if (style_ == psClear || color_ == clNone) return GetStockObject(NULL_PEN);
  static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
  return CreatePen(kStyles[style_], width_, ColorToRGB(color_));
}

// --- clip snapshots ---------------------------------------------------------------

TSavedClip::TSavedClip(TSavedClip&& other) noexcept
    : region_(std::move(other.region_)), valid_(std::exchange(other.valid_, false)) {}

TSavedClip& TSavedClip::operator=(TSavedClip&& other) noexcept {
  if (this != &other) {
    region_ = std::move(other.region_);
    valid_ = std::exchange(other.valid_, false);
  }
  return *this;
}

// --- TCanvas ----------------------------------------------------------------------

GUI_DEFINE_CLASS(TCanvas) {}

TCanvas::TCanvas() = default;

TCanvas::~TCanvas() { ReleaseObjects(); }

HDC TCanvas::Handle() {
  if (!dc_) CreateHandle();
  if (!dc_) throw EInvalidGraphicOperation("Canvas does not allow drawing");
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  ReleaseObjects();
  dc_ = dc;
}

// The tools stay selected from one drawing call to the next, so the context's
// own objects are kept aside until the canvas lets go: no scope fits.
void TCanvas::Select(TGraphicsObject& object, HGDIOBJ& original) {
  if (object.selectedIn_ == this) return;
  HGDIOBJ previous = SelectObject(Handle(), object.GetHandle());
  if (!original) original = previous;
  object.selectedIn_ = this;
}

void TCanvas::Deselect(TGraphicsObject& object) {
  HGDIOBJ& original = &object == &font_ ? oldFont_ : &object == &brush_ ? oldBrush_ : oldPen_;
  if (dc_ && original) SelectObject(dc_, original);
  original = nullptr;
  object.selectedIn_ = nullptr;
}

void TCanvas::ReleaseObjects() {
  for (TGraphicsObject* object : {static_cast<TGraphicsObject*>(&font_), static_cast<TGraphicsObject*>(&brush_),
                                  static_cast<TGraphicsObject*>(&pen_)})
    if (object->selectedIn_ == this) Deselect(*object);
}

void TCanvas::SelectFont() {
  Select(font_, oldFont_);
  SetTextColor(dc_, ColorToRGB(font_.Color()));
}

void TCanvas::SelectBrush() {
  Select(brush_, oldBrush_);
  bool clear = brush_.Style() == bsClear || brush_.Color() == clNone;
  SetBkMode(dc_, clear ? TRANSPARENT : OPAQUE);
  if (!clear) SetBkColor(dc_, ColorToRGB(brush_.Color()));
}

void TCanvas::SelectPen() { Select(pen_, oldPen_); }

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::FillRect(const TRect& rect) {
  SelectBrush();
  RECT r = ToRECT(rect);
  ::FillRect(dc_, &r, brush_.Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
  SelectBrush();
  RECT r = ToRECT(rect);
  ::FrameRect(dc_, &r, brush_.Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  RECT r = ToRECT(rect);
  // The dotted XOR frame uses the context's text and background colours.
  HDC dc = Handle();
  COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
  COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
  ::DrawFocusRect(dc, &r);
  SetTextColor(dc, text);
  SetBkColor(dc, back);
  Changed();
}

void TCanvas::Rectangle(const TRect& rect) {
  SelectPen();
  SelectBrush();
  ::Rectangle(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
  Changed();
}

void TCanvas::Ellipse(const TRect& rect) {
  SelectPen();
  SelectBrush();
  ::Ellipse(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
  Changed();
}

void TCanvas::RoundRect(const TRect& rect, int cornerWidth, int cornerHeight) {
  SelectPen();
  SelectBrush();
  ::RoundRect(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom, cornerWidth, cornerHeight);
  Changed();
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  SelectPen();
  ::LineTo(dc_, x, y);
  Changed();
}

TPoint TCanvas::PenPos() {
  POINT p{};
  GetCurrentPositionEx(Handle(), &p);
  return {p.x, p.y};
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  SelectPen();
  ::Polyline(dc_, reinterpret_cast<const POINT*>(points.data()), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  SelectPen();
  SelectBrush();
  ::Polygon(dc_, reinterpret_cast<const POINT*>(points.data()), static_cast<int>(points.size()));
  Changed();
}

TColor TCanvas::Pixels(int x, int y) { return GetPixel(Handle(), x, y); }

void TCanvas::SetPixels(int x, int y, TColor color) {
  SetPixelV(Handle(), x, y, ColorToRGB(color));
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  SelectFont();
  SelectBrush();
  ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
  Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
  SelectFont();
  SelectBrush();
  RECT r = ToRECT(rect);
  UINT options = ETO_CLIPPED;
  if (brush_.Style() != bsClear && brush_.Color() != clNone) options |= ETO_OPAQUE;
  ExtTextOutA(dc_, x, y, options, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}

int TCanvas::DrawText(const std::string& text, TRect& rect, UINT format) {
  SelectFont();
  SelectBrush();
  RECT r = ToRECT(rect);
  int height = ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &r, format);
  rect = {r.left, r.top, r.right, r.bottom};
  if (!(format & DT_CALCRECT)) Changed();
  return height;
}

TSize TCanvas::TextExtent(const std::string& text) {
  SelectFont();
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return {size.cx, size.cy};
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  graphic->Draw(*this, Bounds(x, y, graphic->Width(), graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  graphic->Draw(*this, rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  HDC from = source.Handle();
  StretchBlt(Handle(), dest.Left, dest.Top, dest.Width(), dest.Height(), from, sourceRect.Left, sourceRect.Top,
             sourceRect.Width(), sourceRect.Height(), copyMode_);
  Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* source, const TRect& sourceRect, TColor color) {
  if (!source || source->Empty()) return;
  SelectBrush();
  MaskedBlt(dc_, dest, source->Canvas().Handle(), sourceRect, ColorToRGB(color), brush_.Handle());
  Changed();
}

TRect TCanvas::ClipRect() {
  RECT r{};
  GetClipBox(Handle(), &r);
  return {r.left, r.top, r.right, r.bottom};
}

void TCanvas::IntersectClipRect(const TRect& rect) {
  ::IntersectClipRect(Handle(), rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TCanvas::ExcludeClipRect(const TRect& rect) {
  ::ExcludeClipRect(Handle(), rect.Left, rect.Top, rect.Right, rect.Bottom);
}

TSavedClip TCanvas::SaveClip() {
  TSavedClip saved;
  kit::Gdi<HRGN> region(CreateRectRgn(0, 0, 0, 0));
  // 0: no clip region; -1: an error, restored as none.
  if (GetClipRgn(Handle(), region.Get()) == 1) saved.region_ = std::move(region);
  saved.valid_ = true;
  return saved;
}

void TCanvas::RestoreClip(TSavedClip& saved) {
  if (!saved.valid_) return;
  SelectClipRgn(Handle(), saved.region_.Get());  // a null region removes the clip
  saved.region_.Reset();
  saved.valid_ = false;
}

// --- masked copies ------------------------------------------------------------------

void MaskedBlt(HDC dc, const TRect& dest, HDC source, const TRect& sourceRect, COLORREF transparent, HBRUSH fill) {
  int w = dest.Width(), h = dest.Height();
  if (w <= 0 || h <= 0) return;
  detail::TOffscreen image(dc, w, h);
  detail::TOffscreen mask(dc, CreateBitmap(w, h, 1, 1, nullptr));
  detail::TOffscreen back(dc, w, h);
  if (!image.Ok() || !mask.Ok() || !back.Ok()) throw EOutOfResources("Out of system resources: masked copy");
  const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);

  SetStretchBltMode(image.Dc(), COLORONCOLOR);
  StretchBlt(image.Dc(), 0, 0, w, h, source, sourceRect.Left, sourceRect.Top, sourceRect.Width(),
             sourceRect.Height(), SRCCOPY);
  // Colour to monochrome: pixels of the source's background colour become 1.
  SetBkColor(image.Dc(), transparent);
  BitBlt(mask.Dc(), 0, 0, w, h, image.Dc(), 0, 0, SRCCOPY);
  // Monochrome to colour: 1 becomes the background colour, 0 the text colour.
  SetBkColor(image.Dc(), white);
  SetTextColor(image.Dc(), black);
  BitBlt(image.Dc(), 0, 0, w, h, mask.Dc(), 0, 0, 0x00220326);  // DSna: clear the keyed pixels

  if (fill) {
    RECT r{0, 0, w, h};
    ::FillRect(back.Dc(), &r, fill);
  } else {
    BitBlt(back.Dc(), 0, 0, w, h, dc, dest.Left, dest.Top, SRCCOPY);
  }
  SetBkColor(back.Dc(), white);
  SetTextColor(back.Dc(), black);
  BitBlt(back.Dc(), 0, 0, w, h, mask.Dc(), 0, 0, SRCAND);  // keep the background only where keyed
  BitBlt(back.Dc(), 0, 0, w, h, image.Dc(), 0, 0, SRCPAINT);
  BitBlt(dc, dest.Left, dest.Top, w, h, back.Dc(), 0, 0, SRCCOPY);
}

}  // namespace gui
