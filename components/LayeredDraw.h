// Drawing for per-pixel-alpha windows with GDI+: the window's two 32-bit
// buffers and their presentation, and the caption, picture and focus drawing
// that the layered label and button share. GDI+ must be started by the
// program (the application object does it).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "LayeredUtils.h"
#include "VeeWindowsUtils.h"
#include "gui/Canvas.h"
#include "kit/Own.h"

namespace Gdiplus {
class Graphics;
class Image;
}  // namespace Gdiplus

namespace components {

// Text quality of a layered window; each value is the GDI+ text rendering
// hint of the same number.
enum TTextQuality : int {
  TextQuality_SystemDefault,
  TextQuality_SingleBitPerPixelGridFit,
  TextQuality_SingleBitPerPixel,
  TextQuality_AntiAliasGridFit,
  TextQuality_AntiAlias,
  TextQuality_ClearTypeGridFit
};
const gui::TEnumInfo& TextQualityInfo();
// The hint for a quality: 1 to 5 as they are, anything else the system
// default (0).
int TextRenderingHintOf(int quality);

// A GDI+ image from a file (without embedded colour management); none when
// the path is empty or the file cannot be read as an image.
TGPImage LoadGPImageFromFile(const std::string& path);
// Width and height of an image (0 for none).
int ImageWidth(Gdiplus::Image* image);
int ImageHeight(Gdiplus::Image* image);

// The off-screen picture of a layered window: a drawing buffer (MemDC, with
// a GDI+ graphics object on it) that is handed to the platform, and a
// background buffer (BackgroundDC) that holds the background image at the
// window's size. Both are bottom-up 32-bit DIB sections with premultiplied
// alpha, made once.
class TLayeredSurface {
 public:
  TLayeredSurface() = default;
  TLayeredSurface(const TLayeredSurface&) = delete;
  TLayeredSurface& operator=(const TLayeredSurface&) = delete;
  ~TLayeredSurface();

  // Makes both buffers and the graphics object; false (and nothing kept)
  // when any of them cannot be made. Text starts anti-aliased.
  bool Create(int width, int height);
  bool Ready() const { return graphics_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  HDC MemDC() const { return mem_.dc.Get(); }
  HDC BackgroundDC() const { return background_.dc.Get(); }
  Gdiplus::Graphics* Graphics() const { return graphics_.get(); }

  void SetTextRenderingHint(int hint);
  // Replaces the background buffer's picture with the image stretched to
  // the buffer's size.
  void DrawBackground(Gdiplus::Image& image);
  // Copies the background buffer over the whole drawing buffer, or over one
  // rectangle of it.
  void RestoreBackground();
  void RestoreArea(const gui::TRect& rect);
  // Hands the drawing buffer to the window at the buffer's size
  // (UpdateLayeredWindow with per-pixel alpha scaled by `alpha`; the colour
  // key is passed but not asked for, so the platform ignores it). A window
  // resized since the buffers were made takes their size again.
  bool Present(HWND window, COLORREF keyColor, BYTE alpha) const;

  // A pixel of the drawing buffer as stored: premultiplied 0xAARRGGBB,
  // with (0, 0) the top left. 0 outside the buffer.
  std::uint32_t Pixel(int x, int y) const;

 private:
  // A 32-bit DIB section selected into a memory DC of its own. Members go
  // last first: the selection is undone before the DC and the bitmap go.
  struct TBuffer {
    kit::Gdi<HBITMAP> bitmap;
    kit::MemoryDC dc;
    std::optional<kit::Selection> selected;
    void* bits = nullptr;
    bool Make(int width, int height);
    void Free();
  };
  void Free();

  int width_ = 0, height_ = 0;
  TBuffer mem_, background_;
  std::unique_ptr<Gdiplus::Graphics> graphics_;  // on mem_, so it goes first
};

// GDI+'s allocator for the objects the layered controls make (GdipAlloc).
// Tests put one in its place that refuses; null restores GDI+'s own.
using TGdiplusAllocator = void* (*)(std::size_t size);
TGdiplusAllocator SetGdiplusAllocator(TGdiplusAllocator allocator);

// The platform call that puts a layered window's buffer on the screen
// (UpdateLayeredWindow). Tests put a recorder in its place; the setter
// returns the one it replaces.
using TLayeredWindowUpdater = BOOL(WINAPI*)(HWND window, HDC screen, POINT* position, SIZE* size, HDC source,
                                            POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags);
TLayeredWindowUpdater SetLayeredWindowUpdater(TLayeredWindowUpdater updater);

// What a layered control draws its caption with.
struct TCaptionStyle {
  TAlignment Align = Alignment_MiddleLeft;
  bool MultiLines = false;
};

// Draws text into rect with the font (made for GDI+ from its handle on
// fontDC) in the font's colour, fully opaque: aligned by style.Align, on one
// line unless MultiLines, cut with an ellipsis after the last whole word
// that fits. Nothing is drawn when GDI+ cannot use the font.
void DrawLayeredCaption(Gdiplus::Graphics& graphics, HDC fontDC, gui::TFont& font, const std::string& text,
                        const TCaptionStyle& style, const TLayoutRect& rect);

// A focus outline inside bounds, inset by margin and margin pixels wide, in
// the colour at half opacity.
void DrawLayeredFocus(Gdiplus::Graphics& graphics, const gui::TRect& bounds, gui::TColor color, int margin);

// Draws the part of the image that the placement names, clipped to the
// control's bounds.
void DrawLayeredPicture(Gdiplus::Graphics& graphics, Gdiplus::Image& image, const gui::TRect& bounds,
                        const TPicturePlacement& placement);

}  // namespace components
