// TPngPicture: the PNG picture format of the GUI layer. The portable image
// (chunks, codec, pixels) is TPngImage; this class adds GDI drawing, bitmaps,
// the clipboard and the registration with TPicture, and raises the codec's
// failures as the GUI layer's exceptions.
#pragma once

#include <windows.h>

#include "PngImage.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Exceptions.h"
#include "gui/Graphic.h"

namespace png {

// The codec's failures as the GUI layer's exceptions: one class for each
// name of core/PngErrors.h, with the same texts.
class EPngException : public gui::Exception {
public:
  using gui::Exception::Exception;
};
#define BRIMVALE_PNG_GUI_CLASS(Name)       \
  class Name : public EPngException {      \
  public:                                  \
    using EPngException::EPngException;    \
  };
BRIMVALE_PNG_FAILURES(BRIMVALE_PNG_GUI_CLASS)
#undef BRIMVALE_PNG_GUI_CLASS

// Raises a failure of the codec as the GUI layer's exception of its name.
[[noreturn]] void RaiseInGui(const core::EPngException& failure);

class TPngPicture : public gui::TGraphic, public TPngImage {
  GUI_CLASS(TPngPicture, gui::TGraphic)

public:
  TPngPicture();
  ~TPngPicture() override;

  // From another PNG picture (copied), a TBitmap, or null (emptied).
  void Assign(gui::TPersistent* source) override;
  // Draws by TransparencyKind: a colour key, per-pixel alpha, or a plain copy.
  void Draw(gui::TCanvas& canvas, const gui::TRect& rect) override;
  bool Empty() const override { return TPngImage::Empty(); }
  int Height() const override { return int(TPngImage::Height()); }
  HPALETTE Palette() const override;
  bool Transparent() const override { return TransparencyKind() != TTransparencyKind::None; }
  int Width() const override { return int(TPngImage::Width()); }
  void SetHeight(int height) override;
  void SetPalette(HPALETTE palette) override { DoSetPalette(palette, true); }
  void SetWidth(int width) override;
  void LoadFromStream(gui::TStream& stream) override;
  void SaveToStream(gui::TStream& stream) override;
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

  // Colours are TColor values; system colours are turned into RGB first.
  virtual gui::TColor GetPixelColour(int x, int y);
  virtual void SetPixelColour(int x, int y, gui::TColor colour);

  // The image canvas: its handle is the memory DC that holds the image.
  gui::TCanvas& Canvas() { return canvas_; }
  void ChangeSize(int newWidth, int newHeight);
  void AssignFromBitmapHandle(HBITMAP bitmap, bool transparent, gui::TColor transparentColour);
  gui::TPixelFormat BitmapPixelFormat() const;
  void DoSetPalette(HPALETTE palette, bool copyColours);

  void DrawWithAlpha(HDC dc, gui::TRect rect);
  // Lets the background show where the image has the given colour.
  void DrawWithTransparentColour(HDC dc, const void* bits, const BITMAPINFO* info,
                                 COLORREF transparentColour, const gui::TRect& rect);

  // The codec's operations that can fail, raising the GUI layer's exceptions.
  TChunkIHDR& HeaderChunk() const;
  uint8_t* ImageRow(uint32_t y) const;
  uint8_t* AlphaRow(uint32_t y) const;
  uint8_t* LowByteRow(uint32_t y) const;
  void CopyPicture(const TPngImage& source);
  int BitmapBitsPerPixel() const;

protected:
  void AssignTo(gui::TPersistent* dest) override;

  std::unique_ptr<TPngImageSurface> CreateSurface(TChunkIHDR& header, size_t bytes) override;
  void PaletteInstalled(TChunkIHDR& header) override;
  void SurfaceResized(TChunkIHDR& header) override;

private:
  friend class TPngDibSurface;
  // Reached through the picture's own operations only.
  using TPngImage::AssignFromBitmap;
  using TPngImage::KeyMask;

  // Draws the image with the key plane the codec keeps for it.
  void DrawWithKeyMask(HDC dc, const gui::TRect& rect);
  void ImageDCChanged(HDC dc);
  void ImageDCGone(HDC dc);

  gui::TCanvas canvas_;
  HDC canvasDC_ = nullptr;
};

// What unit start-up and shut-down do: the picture format "PNG" with TPicture
// and the class with the class registry. Start-up runs by itself when the
// program links this file; calling it again does no harm.
void RegisterPngPicture();
void UnregisterPngPicture();

}  // namespace png

// The program and the libraries' tests call the registration by its plain name.
using png::RegisterPngPicture;
using png::UnregisterPngPicture;
