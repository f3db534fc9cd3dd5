// TPngPicture: the PNG picture format of the GUI layer. The portable image
// (chunks, codec, pixels) is TPngImage; this class adds GDI drawing, bitmaps,
// the clipboard and the registration with TPicture.
#pragma once

#include <windows.h>

#include "PngImage.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Graphic.h"

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
  void DrawWithTransparentColour(HDC dc, const void* bits, const BITMAPINFO* info,
                                 COLORREF transparentColour, const gui::TRect& rect);

protected:
  void AssignTo(gui::TPersistent* dest) override;

  std::unique_ptr<TPngImageSurface> CreateSurface(TChunkIHDR& header, size_t bytes) override;
  void PaletteInstalled(TChunkIHDR& header) override;
  void SurfaceResized(TChunkIHDR& header) override;

private:
  friend class TPngDibSurface;
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
