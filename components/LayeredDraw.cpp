#include "LayeredDraw.h"

#include "LayeredGdiplus.h"

#include <vector>

namespace components {

const gui::TEnumInfo& TextQualityInfo() {
  static const gui::TEnumInfo info{
      "TTextQuality",
      {"TextQuality_SystemDefault", "TextQuality_SingleBitPerPixelGridFit", "TextQuality_SingleBitPerPixel",
       "TextQuality_AntiAliasGridFit", "TextQuality_AntiAlias", "TextQuality_ClearTypeGridFit"}};
  return info;
}

int TextRenderingHintOf(int quality) {
  return quality >= TextQuality_SingleBitPerPixelGridFit && quality <= TextQuality_ClearTypeGridFit ? quality : 0;
}

void TImageDeleter::operator()(Gdiplus::Image* image) const { delete image; }

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int count = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(std::size_t(count), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), count);
  return wide;
}

HBITMAP CreateBuffer(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace

namespace {
TLayeredWindowUpdater updater = &UpdateLayeredWindow;
}  // namespace

TLayeredWindowUpdater SetLayeredWindowUpdater(TLayeredWindowUpdater value) {
  TLayeredWindowUpdater previous = updater;
  updater = value ? value : &UpdateLayeredWindow;
  return previous;
}

TGPImage LoadGPImageFromFile(const std::string& path) {
  if (path.empty()) return {};
  const std::wstring name = Wide(path);
  TGPImage image(new Gdiplus::Image(name.c_str(), FALSE));
  if (!image || image->GetLastStatus() != Gdiplus::Ok) return {};
  return image;
}

int ImageWidth(Gdiplus::Image* image) { return image ? int(image->GetWidth()) : 0; }
int ImageHeight(Gdiplus::Image* image) { return image ? int(image->GetHeight()) : 0; }

// ---------------------------------------------------------------------------

TLayeredSurface::~TLayeredSurface() { Free(); }

void TLayeredSurface::Free() {
  delete graphics_;
  graphics_ = nullptr;
  if (memDC_) {
    SelectObject(memDC_, memOld_);
    DeleteDC(memDC_);
  }
  if (backgroundDC_) {
    SelectObject(backgroundDC_, backgroundOld_);
    DeleteDC(backgroundDC_);
  }
  if (memBitmap_) DeleteObject(memBitmap_);
  if (backgroundBitmap_) DeleteObject(backgroundBitmap_);
  memDC_ = backgroundDC_ = nullptr;
  memBitmap_ = backgroundBitmap_ = nullptr;
  memOld_ = backgroundOld_ = nullptr;
  memBits_ = nullptr;
  width_ = height_ = 0;
}

bool TLayeredSurface::Create(int width, int height) {
  Free();
  void* backgroundBits = nullptr;
  memBitmap_ = CreateBuffer(width, height, &memBits_);
  backgroundBitmap_ = CreateBuffer(width, height, &backgroundBits);
  memDC_ = CreateCompatibleDC(nullptr);
  backgroundDC_ = CreateCompatibleDC(nullptr);
  if (!memBitmap_ || !backgroundBitmap_ || !memDC_ || !backgroundDC_) {
    Free();
    return false;
  }
  memOld_ = SelectObject(memDC_, memBitmap_);
  backgroundOld_ = SelectObject(backgroundDC_, backgroundBitmap_);
  graphics_ = new Gdiplus::Graphics(memDC_);
  if (!graphics_ || graphics_->GetLastStatus() != Gdiplus::Ok) {
    Free();
    return false;
  }
  width_ = width;
  height_ = height;
  SetTextRenderingHint(TextQuality_AntiAlias);
  return true;
}

void TLayeredSurface::SetTextRenderingHint(int hint) {
  if (graphics_) graphics_->SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(hint));
}

void TLayeredSurface::DrawBackground(Gdiplus::Image& image) {
  if (!backgroundDC_) return;
  Gdiplus::Graphics graphics(backgroundDC_);
  // A new picture replaces the old one, transparent parts included.
  graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
  // Mirrored edges keep a scaled picture's border from fading out.
  Gdiplus::ImageAttributes edges;
  edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  graphics.DrawImage(&image, Gdiplus::Rect(0, 0, width_, height_), 0, 0, int(image.GetWidth()),
                     int(image.GetHeight()), Gdiplus::UnitPixel, &edges);
}

void TLayeredSurface::RestoreBackground() { RestoreArea(gui::Rect(0, 0, width_, height_)); }

void TLayeredSurface::RestoreArea(const gui::TRect& rect) {
  if (!memDC_ || !backgroundDC_) return;
  BitBlt(memDC_, rect.Left, rect.Top, rect.Width(), rect.Height(), backgroundDC_, rect.Left, rect.Top, SRCCOPY);
}

bool TLayeredSurface::Present(HWND window, int width, int height, COLORREF keyColor, BYTE alpha) const {
  if (!memDC_ || !window) return false;
  SIZE size{width, height};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  return updater(window, nullptr, nullptr, &size, memDC_, &source, keyColor, &blend, ULW_ALPHA) != FALSE;
}

std::uint32_t TLayeredSurface::Pixel(int x, int y) const {
  if (!memBits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  GdiFlush();
  const auto* rows = static_cast<const std::uint32_t*>(memBits_);
  return rows[std::size_t(height_ - 1 - y) * std::size_t(width_) + std::size_t(x)];
}

// ---------------------------------------------------------------------------

void DrawLayeredCaption(Gdiplus::Graphics& graphics, HDC fontDC, gui::TFont& font, const std::string& text,
                        const TCaptionStyle& style, const TLayoutRect& rect) {
  Gdiplus::Font gpFont(fontDC, font.Handle());
  if (gpFont.GetLastStatus() != Gdiplus::Ok) return;
  Gdiplus::StringFormat format(0);
  const TTextPlacement placement = TextPlacement(style.Align);
  format.SetAlignment(static_cast<Gdiplus::StringAlignment>(placement.Horizontal));
  format.SetLineAlignment(static_cast<Gdiplus::StringAlignment>(placement.Vertical));
  format.SetFormatFlags(style.MultiLines ? 0 : Gdiplus::StringFormatFlagsNoWrap);
  format.SetTrimming(Gdiplus::StringTrimmingEllipsisWord);
  Gdiplus::SolidBrush brush(Gdiplus::Color(MakeARGB(font.Color(), 255)));
  // A line break is "\n" to GDI+; a "\r" before it (language texts break
  // lines with "\r\n") would be drawn as a glyph by some implementations.
  std::wstring wide = Wide(text);
  for (std::size_t at = 0; (at = wide.find(L"\r\n", at)) != std::wstring::npos;) wide.erase(at, 1);
  graphics.DrawString(wide.c_str(), int(wide.size()), &gpFont,
                      Gdiplus::RectF(rect.X, rect.Y, rect.Width, rect.Height), &format, &brush);
}

void DrawLayeredFocus(Gdiplus::Graphics& graphics, const gui::TRect& bounds, gui::TColor color, int margin) {
  Gdiplus::Pen pen(Gdiplus::Color(MakeARGB(color, 128)), Gdiplus::REAL(margin));
  graphics.DrawRectangle(&pen, bounds.Left + margin, bounds.Top + margin, bounds.Width() - 2 * margin,
                         bounds.Height() - 2 * margin);
}

void DrawLayeredPicture(Gdiplus::Graphics& graphics, Gdiplus::Image& image, const gui::TRect& bounds,
                        const TPicturePlacement& placement) {
  // A picture larger than its control must not spill over its neighbours:
  // only the control's own area is restored before it draws again.
  Gdiplus::GraphicsState saved = graphics.Save();
  graphics.SetClip(Gdiplus::Rect(bounds.Left, bounds.Top, bounds.Width(), bounds.Height()),
                   Gdiplus::CombineModeIntersect);
  const gui::TRect& dest = placement.Dest;
  const gui::TRect& source = placement.Source;
  graphics.DrawImage(&image, Gdiplus::Rect(dest.Left, dest.Top, dest.Width(), dest.Height()), source.Left,
                     source.Top, source.Width(), source.Height(), Gdiplus::UnitPixel);
  graphics.Restore(saved);
}

}  // namespace components
