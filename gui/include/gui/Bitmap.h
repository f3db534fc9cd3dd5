// TBitmap: a bitmap image with its own canvas. pfDevice bitmaps are
// device-dependent (like the screen); every other pixel format is a DIB
// section whose rows can be reached with ScanLine.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gui/Canvas.h"
#include "gui/Color.h"
#include "gui/Graphic.h"

namespace gui {

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
  GUI_CLASS(TBitmap, TGraphic)

 public:
  TBitmap();
  ~TBitmap() override;

  // A TBitmap is copied (a picture of its own); null empties; other
  // graphics may copy themselves in through their AssignTo.
  void Assign(TPersistent* source) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;
  bool Empty() const override { return width_ == 0 || height_ == 0; }
  int Height() const override { return height_; }
  int Width() const override { return width_; }
  // Size changes keep the pixels that still fit (top left); new ones are 0.
  void SetHeight(int height) override { SetSize(width_, height); }
  void SetWidth(int width) override { SetSize(width, height_); }
  void SetSize(int width, int height);
  // BMP file data; EInvalidGraphic for data that is not a valid bitmap (the
  // bitmap keeps its previous image then).
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  // CF_BITMAP (or CF_DIB) only.
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
  // Gives CF_BITMAP and a new bitmap handle that the receiver owns.
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

  // The bitmap handle (null while empty). SetHandle takes ownership of the
  // given bitmap; ReleaseHandle gives it up and leaves the bitmap empty.
  HBITMAP Handle() const { return handle_.Get(); }
  void SetHandle(HBITMAP bitmap);
  HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return static_cast<bool>(handle_); }

  // Changing the format converts the image.
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const { return pixelFormat_ == pf1bit; }
  void SetMonochrome(bool monochrome);

  TCanvas& Canvas();

  // In tmAuto mode the transparent colour is that of the bottom-left pixel;
  // setting a colour switches to tmFixed.
  TColor TransparentColor();
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

  // A bitmap resource (RT_BITMAP) of a module; EInvalidGraphic when missing
  // or not valid.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

  // Row `row` (counted from the top) of a DIB, after pending drawing is
  // flushed. EInvalidGraphicOperation for a device-dependent or empty bitmap
  // and for a row outside the image.
  void* ScanLine(int row);

 private:
  class BitmapCanvas;
  friend class BitmapCanvas;
  // Puts a new image (owned) in place of the current one and fires OnChange.
  void Replace(kit::Gdi<HBITMAP> bitmap, int width, int height, TPixelFormat format);
  // Copies the overlapping top-left part of this image into `to`.
  void CopyInto(HBITMAP to, int width, int height, TPixelFormat format);
  // A packed DIB (header, masks, colours, then rows at bitsOffset).
  void LoadDib(const std::uint8_t* data, std::size_t size, std::size_t bitsOffset);

  kit::Gdi<HBITMAP> handle_;
  void* bits_ = nullptr;  // DIB rows, bottom-up; null for a device-dependent bitmap
  int width_ = 0;
  int height_ = 0;
  TPixelFormat pixelFormat_ = pfDevice;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  std::unique_ptr<BitmapCanvas> canvas_;
};

namespace detail {
struct TSurface;
}  // namespace detail

// Drawing off screen for a control's paint, of only the part of `target`
// that is to be painted: the clip box of `target` within `area`. Its canvas
// draws in the target's coordinates, on a surface that starts black; Commit
// copies the part onto the target in one step. A paint that changes a strip
// of a large control so touches the pixels of that strip only, and the
// surfaces of small parts are kept for the next paint of their size (under
// Wine making a memory context and selecting a device bitmap into it cost
// more than the drawing).
class TPaintBuffer {
 public:
  TPaintBuffer(TCanvas& target, const TRect& area);
  ~TPaintBuffer();
  TPaintBuffer(const TPaintBuffer&) = delete;
  TPaintBuffer& operator=(const TPaintBuffer&) = delete;

  // Nothing of `area` is to be painted (then nothing need be drawn).
  bool Empty() const { return part_.IsEmpty(); }
  // The part it covers, in the target's coordinates.
  const TRect& Part() const { return part_; }
  TCanvas& Canvas() { return canvas_; }
  void Commit();

 private:
  TCanvas& target_;
  TRect part_;
  std::unique_ptr<detail::TSurface> surface_;
  TCanvas canvas_;
};

}  // namespace gui
