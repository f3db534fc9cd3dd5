#include "PngPicture.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "gui/Color.h"
#include "gui/Streams.h"

namespace {

// A BITMAPINFO with room for the whole colour table.
struct TBitmapInfo256 {
  BITMAPINFOHEADER Header;
  RGBQUAD Colours[256];
  BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
};
static_assert(sizeof(TBitmapInfo256) == sizeof(TPngBitmapInfo), "same layout as the codec's");

TBitmapInfo256 InfoOf(const TChunkIHDR& header) {
  TBitmapInfo256 info;
  std::memcpy(&info, &header.BitmapInfo, sizeof info);
  return info;
}

HPALETTE MakePalette(const TPngPalette& entries) {
  if (entries.empty()) return nullptr;
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = WORD(entries.size());
  std::memcpy(logical->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
  return CreatePalette(logical);
}

// The codec reads and writes the GUI layer's streams through this.
class TGuiStream : public TPngStream {
public:
  explicit TGuiStream(gui::TStream& stream) : stream_(stream) {}
  size_t Read(void* buffer, size_t count) override { return size_t(stream_.Read(buffer, int64_t(count))); }
  size_t Write(const void* buffer, size_t count) override {
    return size_t(stream_.Write(buffer, int64_t(count)));
  }
  uint64_t Position() const override { return uint64_t(stream_.Position()); }
  void SetPosition(uint64_t position) override {
    const uint64_t size = Size();
    stream_.SetPosition(int64_t(position < size ? position : size));
  }
  uint64_t Size() const override { return uint64_t(stream_.Size()); }

private:
  gui::TStream& stream_;
};

}  // namespace

// The image of one header: a DIB section selected into a memory DC, with the
// header's palette selected and realised.
class TPngDibSurface : public TPngImageSurface {
public:
  TPngDibSurface(TPngPicture& picture, const TChunkIHDR& header, size_t bytes) : picture_(picture) {
    TBitmapInfo256 info = InfoOf(header);
    dc_ = CreateCompatibleDC(nullptr);
    if (dc_) dib_ = CreateDIBSection(dc_, info.Get(), DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (!dib_ || !bits_) {
      if (dc_) DeleteDC(dc_);
      throw std::bad_alloc();  // the codec reports EPNGOutMemory
    }
    std::memset(bits_, 0, bytes);
    oldBitmap_ = SelectObject(dc_, dib_);
    picture_.ImageDCChanged(dc_);
  }
  ~TPngDibSurface() override {
    picture_.ImageDCGone(dc_);
    SelectObject(dc_, oldBitmap_);
    if (palette_) {
      SelectPalette(dc_, oldPalette_, FALSE);
      DeleteObject(palette_);
    }
    DeleteObject(dib_);
    DeleteDC(dc_);
  }
  uint8_t* Bits() override { return static_cast<uint8_t*>(bits_); }
  HDC DC() const { return dc_; }
  HPALETTE Palette() const { return palette_; }

  void InstallPalette(const TChunkIHDR& header) {
    HPALETTE palette = MakePalette(header.Palette);
    if (palette) {
      HPALETTE old = SelectPalette(dc_, palette, FALSE);
      RealizePalette(dc_);
      if (palette_)
        DeleteObject(palette_);
      else
        oldPalette_ = old;
      palette_ = palette;
    }
    SetDIBColorTable(dc_, 0, 256, reinterpret_cast<const RGBQUAD*>(header.BitmapInfo.Colours));
  }

private:
  TPngPicture& picture_;
  HDC dc_ = nullptr;
  HBITMAP dib_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  HPALETTE palette_ = nullptr, oldPalette_ = nullptr;
  void* bits_ = nullptr;
};

GUI_DEFINE_CLASS(TPngPicture) {}

TPngPicture::TPngPicture() = default;

TPngPicture::~TPngPicture() {
  // The chunks go while the canvas their surfaces talk to still exists.
  ClearChunks();
  canvas_.SetHandle(nullptr);
}

void TPngPicture::ImageDCChanged(HDC dc) {
  canvasDC_ = dc;
  canvas_.SetHandle(dc);
}

void TPngPicture::ImageDCGone(HDC dc) {
  if (canvasDC_ != dc) return;
  canvasDC_ = nullptr;
  canvas_.SetHandle(nullptr);
}

std::unique_ptr<TPngImageSurface> TPngPicture::CreateSurface(TChunkIHDR& header, size_t bytes) {
  return std::make_unique<TPngDibSurface>(*this, header, bytes);
}

void TPngPicture::PaletteInstalled(TChunkIHDR& header) {
  if (auto* surface = dynamic_cast<TPngDibSurface*>(header.Surface.get()))
    surface->InstallPalette(header);
}

void TPngPicture::SurfaceResized(TChunkIHDR& header) {
  if (auto* surface = dynamic_cast<TPngDibSurface*>(header.Surface.get())) {
    ImageDCChanged(surface->DC());
    surface->InstallPalette(header);
  }
}

HPALETTE TPngPicture::Palette() const {
  if (!HasHeader()) return nullptr;
  auto* surface = dynamic_cast<TPngDibSurface*>(HeaderChunk().Surface.get());
  return surface ? surface->Palette() : nullptr;
}

void TPngPicture::DoSetPalette(HPALETTE palette, bool copyColours) {
  if (!palette) return;
  const UINT count = GetPaletteEntries(palette, 0, 0, nullptr);
  TPngPalette entries(count);
  if (count) GetPaletteEntries(palette, 0, count, reinterpret_cast<PALETTEENTRY*>(entries.data()));
  TPngImage::DoSetPalette(entries, copyColours);
  Changed();
}

void TPngPicture::ChangeSize(int newWidth, int newHeight) {
  TPngImage::ChangeSize(newWidth, newHeight);
  Changed();
}

void TPngPicture::SetWidth(int width) { ChangeSize(width, Height()); }
void TPngPicture::SetHeight(int height) { ChangeSize(Width(), height); }

void TPngPicture::LoadFromStream(gui::TStream& stream) {
  TGuiStream adapter(stream);
  try {
    TPngImage::LoadFromStream(adapter);
  } catch (...) {
    Changed();  // what was read before the failure stays
    throw;
  }
  Changed();
}

void TPngPicture::SaveToStream(gui::TStream& stream) {
  TGuiStream adapter(stream);
  TPngImage::SaveToStream(adapter);
}

gui::TColor TPngPicture::GetPixelColour(int x, int y) { return TPngImage::GetPixelColour(x, y); }

void TPngPicture::SetPixelColour(int x, int y, gui::TColor colour) {
  TPngImage::SetPixelColour(x, y, gui::ColorToRGB(colour));
  Changed();
}

gui::TPixelFormat TPngPicture::BitmapPixelFormat() const {
  switch (BitmapBitsPerPixel()) {
    case 1: return gui::pf1bit;
    case 4: return gui::pf4bit;
    case 8: return gui::pf8bit;
    default: return gui::pf24bit;
  }
}

void TPngPicture::Assign(gui::TPersistent* source) {
  if (!source) {
    ClearChunks();
    Changed();
  } else if (auto* png = dynamic_cast<TPngPicture*>(source)) {
    CopyPicture(*png);
    Changed();
  } else if (auto* bitmap = dynamic_cast<gui::TBitmap*>(source)) {
    AssignFromBitmapHandle(bitmap->Handle(), bitmap->Transparent(),
                           gui::ColorToRGB(bitmap->TransparentColor()));
  } else {
    inherited::Assign(source);
  }
}

void TPngPicture::AssignTo(gui::TPersistent* dest) {
  if (auto* png = dynamic_cast<TPngPicture*>(dest)) {
    png->CopyPicture(*this);
    png->Changed();
  } else if (auto* bitmap = dynamic_cast<gui::TBitmap*>(dest); bitmap && HasHeader()) {
    bitmap->SetPixelFormat(BitmapPixelFormat());
    bitmap->SetSize(Width(), Height());
    Draw(bitmap->Canvas(), gui::Rect(0, 0, Width(), Height()));
    if (TransparencyKind() == TTransparencyKind::SingleColour) {
      bitmap->SetTransparentColor(TransparentColour());
      bitmap->SetTransparent(true);
    }
  } else {
    inherited::AssignTo(dest);
  }
}

void TPngPicture::AssignFromBitmapHandle(HBITMAP handle, bool transparent, gui::TColor transparentColour) {
  BITMAP record{};
  if (!handle || !GetObject(handle, sizeof record, &record)) {
    // An empty bitmap gives an empty picture.
    ClearChunks();
    Changed();
    return;
  }
  const int bitsPerPixel = record.bmBitsPixel * record.bmPlanes;
  AssignFromBitmap(
      uint32_t(record.bmWidth), uint32_t(record.bmHeight < 0 ? -record.bmHeight : record.bmHeight),
      bitsPerPixel,
      [&](TChunkIHDR& header) {
        TBitmapInfo256 info = InfoOf(header);
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        GetDIBits(dc, handle, 0, header.Height, header.Bits, info.Get(), DIB_RGB_COLORS);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        if (header.HasPalette) std::memcpy(header.BitmapInfo.Colours, info.Colours, sizeof info.Colours);
      },
      transparent, transparentColour);
  Changed();
}

void TPngPicture::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
  gui::TBitmap bitmap;
  bitmap.LoadFromClipboardFormat(format, data, palette);
  AssignFromBitmapHandle(bitmap.Handle(), false, 0);
}

void TPngPicture::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  gui::TBitmap bitmap;
  bitmap.SetPixelFormat(gui::pf24bit);
  bitmap.SetSize(Width(), Height());
  Draw(bitmap.Canvas(), gui::Rect(0, 0, Width(), Height()));
  bitmap.SaveToClipboardFormat(format, data, palette);
}

void TPngPicture::Draw(gui::TCanvas& canvas, const gui::TRect& rect) {
  if (Empty() || !HasHeader() || !HeaderChunk().Bits) return;
  const TChunkIHDR& header = HeaderChunk();
  HDC dc = canvas.Handle();
  TBitmapInfo256 info = InfoOf(header);
  switch (TransparencyKind()) {
    case TTransparencyKind::SingleColour:
      DrawWithTransparentColour(dc, header.Bits, info.Get(), gui::ColorToRGB(TransparentColour()), rect);
      break;
    case TTransparencyKind::PerPixel:
      DrawWithAlpha(dc, rect);
      break;
    case TTransparencyKind::None:
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchDIBits(dc, rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top, 0, 0,
                    int(header.Width), int(header.Height), header.Bits, info.Get(), DIB_RGB_COLORS, SRCCOPY);
      break;
  }
}

void TPngPicture::DrawWithAlpha(HDC dc, gui::TRect rect) {
  if (rect.Right == rect.Left || rect.Bottom == rect.Top) return;
  if (rect.Right < rect.Left) std::swap(rect.Left, rect.Right);
  if (rect.Bottom < rect.Top) std::swap(rect.Top, rect.Bottom);
  const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP dib = memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  if (!dib || !bits) {
    if (memory) DeleteDC(memory);
    throw EPNGOutMemory();
  }
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, w, h, dc, rect.Left, rect.Top, SRCCOPY);
  GdiFlush();
  BlendOver(static_cast<uint8_t*>(bits), w, h);
  BitBlt(dc, rect.Left, rect.Top, w, h, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
}

void TPngPicture::DrawWithTransparentColour(HDC dc, const void* bits, const BITMAPINFO* info,
                                            COLORREF transparentColour, const gui::TRect& rect) {
  const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
  const int sourceWidth = std::abs(int(info->bmiHeader.biWidth));
  const int sourceHeight = std::abs(int(info->bmiHeader.biHeight));

  HDC imageDC = CreateCompatibleDC(dc);
  HBITMAP image = CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
  HGDIOBJ oldImage = SelectObject(imageDC, image);
  HDC maskDC = CreateCompatibleDC(dc), inverseDC = CreateCompatibleDC(dc), workDC = CreateCompatibleDC(dc);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HBITMAP inverse = CreateBitmap(w, h, 1, 1, nullptr);
  HBITMAP work = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ oldMask = SelectObject(maskDC, mask);
  HGDIOBJ oldInverse = SelectObject(inverseDC, inverse);
  HGDIOBJ oldWork = SelectObject(workDC, work);

  // The key colour becomes 1 in the mask, everything else 0.
  const COLORREF oldBack = SetBkColor(imageDC, transparentColour);
  StretchBlt(maskDC, 0, 0, w, h, imageDC, 0, 0, sourceWidth, sourceHeight, SRCCOPY);
  SetBkColor(imageDC, oldBack);
  BitBlt(inverseDC, 0, 0, w, h, maskDC, 0, 0, NOTSRCCOPY);
  // Background where the key was, black elsewhere; then the image, whose key
  // pixels were cleared, painted over it.
  BitBlt(workDC, 0, 0, w, h, dc, rect.Left, rect.Top, SRCCOPY);
  BitBlt(workDC, 0, 0, w, h, maskDC, 0, 0, SRCAND);
  StretchBlt(imageDC, 0, 0, sourceWidth, sourceHeight, inverseDC, 0, 0, w, h, SRCAND);
  StretchBlt(workDC, 0, 0, w, h, imageDC, 0, 0, sourceWidth, sourceHeight, SRCPAINT);
  BitBlt(dc, rect.Left, rect.Top, w, h, workDC, 0, 0, SRCCOPY);

  SelectObject(workDC, oldWork);
  SelectObject(inverseDC, oldInverse);
  SelectObject(maskDC, oldMask);
  SelectObject(imageDC, oldImage);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(work), static_cast<HGDIOBJ>(inverse),
                         static_cast<HGDIOBJ>(mask), static_cast<HGDIOBJ>(image)})
    DeleteObject(object);
  for (HDC context : {workDC, inverseDC, maskDC, imageDC}) DeleteDC(context);
}

void RegisterPngPicture() {
  gui::RegisterClasses({&TPngPicture::StaticClass()});
  gui::TPicture::RegisterFileFormat("PNG", "Portable Network Graphics", TPngPicture::StaticClass());
}

void UnregisterPngPicture() {
  gui::TPicture::UnregisterGraphicClass(TPngPicture::StaticClass());
  FreeChunkClassRegistry();
}

namespace {
// Unit start-up.
const bool registered = (RegisterPngPicture(), true);
}  // namespace
