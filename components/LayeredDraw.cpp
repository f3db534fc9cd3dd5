#include "LayeredDraw.h"

#include "LayeredGdiplus.h"

#include <utility>
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

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int count = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(std::size_t(count), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), count);
  return wide;
}

void* GdipAllocate(std::size_t size) { return Gdiplus::DllExports::GdipAlloc(size); }

TLayeredWindowUpdater updater = &UpdateLayeredWindow;
TGdiplusAllocator allocator = &GdipAllocate;

}  // namespace

void* GdiplusAllocate(std::size_t size) { return allocator(size); }

TGdiplusAllocator SetGdiplusAllocator(TGdiplusAllocator value) {
  return std::exchange(allocator, value ? value : &GdipAllocate);
}

TLayeredWindowUpdater SetLayeredWindowUpdater(TLayeredWindowUpdater value) {
  return std::exchange(updater, value ? value : &UpdateLayeredWindow);
}

namespace {

std::vector<std::uint8_t> FileBytes(const std::wstring& name) {
  kit::File file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > (64 << 20)) return {};
  std::vector<std::uint8_t> bytes(std::size_t(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.Get(), bytes.data(), DWORD(bytes.size()), &read, nullptr) || read != bytes.size()) return {};
  return bytes;
}

}  // namespace

TGPImage LoadGPImageFromFile(const std::string& path) {
  if (path.empty()) return {};
  const std::wstring name = Wide(path);
  const std::vector<std::uint8_t> bytes = FileBytes(name);
  if (TGPImage image = LoadGPImageFromPng(bytes.data(), bytes.size())) return image;
  TGPImage image(GdiplusNew<Gdiplus::Image>(name.c_str(), FALSE));
  if (!image || image->GetLastStatus() != Gdiplus::Ok) return {};
  return image;
}

int ImageWidth(Gdiplus::Image* image) { return image ? int(image->GetWidth()) : 0; }
int ImageHeight(Gdiplus::Image* image) { return image ? int(image->GetHeight()) : 0; }

// ---------------------------------------------------------------------------

TLayeredSurface::~TLayeredSurface() { Free(); }

bool TLayeredSurface::TBuffer::Make(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  dc.Reset(CreateCompatibleDC(nullptr));
  if (!bitmap || !dc) return false;
  selected.emplace(dc.Get(), bitmap.Get());
  return true;
}

void TLayeredSurface::TBuffer::Free() {
  selected.reset();
  dc.Reset();
  bitmap.Reset();
  bits = nullptr;
}

void TLayeredSurface::Free() {
  graphics_.reset();
  mem_.Free();
  background_.Free();
  width_ = height_ = 0;
}

bool TLayeredSurface::Create(int width, int height) {
  Free();
  if (!mem_.Make(width, height) || !background_.Make(width, height)) {
    Free();
    return false;
  }
  graphics_.reset(GdiplusNew<Gdiplus::Graphics>(mem_.dc.Get()));
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
  if (!BackgroundDC()) return;
  Gdiplus::Graphics graphics(BackgroundDC());
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
  if (!MemDC() || !BackgroundDC()) return;
  BitBlt(MemDC(), rect.Left, rect.Top, rect.Width(), rect.Height(), BackgroundDC(), rect.Left, rect.Top, SRCCOPY);
}

bool TLayeredSurface::Present(HWND window, COLORREF keyColor, BYTE alpha) const {
  if (!Ready() || !window) return false;
  // The buffers' size, whatever the window's is now: a larger size than the
  // source holds makes the platform refuse every update.
  SIZE size{width_, height_};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  return updater(window, nullptr, nullptr, &size, MemDC(), &source, keyColor, &blend, ULW_ALPHA) != FALSE;
}

std::uint32_t TLayeredSurface::Pixel(int x, int y) const {
  if (!mem_.bits || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  GdiFlush();
  const auto* rows = static_cast<const std::uint32_t*>(mem_.bits);
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
