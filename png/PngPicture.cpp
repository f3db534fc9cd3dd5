#include "PngPicture.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "gui/Color.h"
#include "gui/Streams.h"
#include "kit/Own.h"

namespace png {

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

kit::Gdi<HPALETTE> MakePalette(const TPngPalette& entries) {
  if (entries.empty()) return kit::Gdi<HPALETTE>();
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = WORD(entries.size());
  std::memcpy(logical->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
  return kit::Gdi<HPALETTE>(CreatePalette(logical));
}

[[noreturn]] void OutOfResources() { RaiseInGui(core::EPNGOutMemory()); }

// Runs a call into the codec, raising its failures as the GUI layer's.
template <class F>
decltype(auto) Guarded(F&& call) {
  try {
    return call();
  } catch (const core::EPngException& failure) {
    RaiseInGui(failure);
  } catch (const std::bad_alloc&) {
    OutOfResources();
  }
}

// A bitmap selected into a memory DC of its own; either failing to appear
// raises EPNGOutMemory. The DC gets its own bitmap back before either goes.
class TBitmapDC {
public:
  TBitmapDC(HDC compatibleWith, HBITMAP bitmap)
      : dc_(CreateCompatibleDC(compatibleWith)), bitmap_(bitmap), selection_(dc_.Get(), bitmap_.Get()) {
    if (!dc_ || !bitmap_) OutOfResources();
  }
  HDC Get() const { return dc_.Get(); }

private:
  kit::MemoryDC dc_;
  kit::Gdi<HBITMAP> bitmap_;
  kit::Selection selection_;
};

// dest AND NOT source: clears the image where the key is.
constexpr DWORD kClearWhereSet = 0x00220326;

// Draws the image held in imageDC (a copy, cleared here where the key is)
// into rect, letting the background through wherever keyDC holds a 1.
void DrawOverKey(HDC dc, HDC imageDC, HDC keyDC, int sourceWidth, int sourceHeight, const gui::TRect& rect) {
  const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
  if (w <= 0 || h <= 0) return;
  TBitmapDC work(dc, CreateCompatibleBitmap(dc, w, h));
  // One pixel picked, never several merged, so image and key stretch alike.
  SetStretchBltMode(work.Get(), COLORONCOLOR);
  // Background where the key is, black elsewhere; then the image, black where
  // the key is, painted over it.
  BitBlt(work.Get(), 0, 0, w, h, dc, rect.Left, rect.Top, SRCCOPY);
  StretchBlt(work.Get(), 0, 0, w, h, keyDC, 0, 0, sourceWidth, sourceHeight, SRCAND);
  BitBlt(imageDC, 0, 0, sourceWidth, sourceHeight, keyDC, 0, 0, kClearWhereSet);
  StretchBlt(work.Get(), 0, 0, w, h, imageDC, 0, 0, sourceWidth, sourceHeight, SRCPAINT);
  BitBlt(dc, rect.Left, rect.Top, w, h, work.Get(), 0, 0, SRCCOPY);
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

void RaiseInGui(const core::EPngException& failure) {
  switch (failure.Failure()) {
#define BRIMVALE_PNG_RAISE(Name) \
  case core::TPngFailure::Name:  \
    throw Name(failure.what());
    BRIMVALE_PNG_FAILURES(BRIMVALE_PNG_RAISE)
#undef BRIMVALE_PNG_RAISE
    case core::TPngFailure::Unnamed:
      break;
  }
  throw gui::Exception(failure.what());
}

// The image of one header: a DIB section selected into a memory DC, with the
// header's palette selected and realised.
class TPngDibSurface : public TPngImageSurface {
public:
  TPngDibSurface(TPngPicture& picture, const TChunkIHDR& header, size_t bytes)
      : picture_(picture), dc_(CreateCompatibleDC(nullptr)), saved_(dc_.Get()) {
    TBitmapInfo256 info = InfoOf(header);
    if (dc_) dib_.Reset(CreateDIBSection(dc_.Get(), info.Get(), DIB_RGB_COLORS, &bits_, nullptr, 0));
    if (!dib_ || !bits_ || !SelectObject(dc_.Get(), dib_.Get()))
      throw std::bad_alloc();  // the codec reports EPNGOutMemory
    std::memset(bits_, 0, bytes);
    picture_.ImageDCChanged(dc_.Get());
  }
  ~TPngDibSurface() override { picture_.ImageDCGone(dc_.Get()); }
  uint8_t* Bits() override { return static_cast<uint8_t*>(bits_); }
  HDC DC() const { return dc_.Get(); }
  HPALETTE Palette() const { return palette_.Get(); }

  void InstallPalette(const TChunkIHDR& header) {
    if (kit::Gdi<HPALETTE> palette = MakePalette(header.Palette)) {
      SelectPalette(dc_.Get(), palette.Get(), FALSE);
      RealizePalette(dc_.Get());
      palette_ = std::move(palette);  // the one it replaces is no longer selected
    }
    SetDIBColorTable(dc_.Get(), 0, 256, reinterpret_cast<const RGBQUAD*>(header.BitmapInfo.Colours));
  }

private:
  TPngPicture& picture_;
  kit::MemoryDC dc_;
  kit::Gdi<HBITMAP> dib_;
  kit::Gdi<HPALETTE> palette_;
  // Declared last so it goes first: the DC gets its own bitmap and palette
  // back before the DIB and the palette are deleted.
  kit::SavedDC saved_;
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

TChunkIHDR& TPngPicture::HeaderChunk() const {
  return Guarded([&]() -> TChunkIHDR& { return TPngImage::HeaderChunk(); });
}

uint8_t* TPngPicture::ImageRow(uint32_t y) const { return Guarded([&] { return TPngImage::ImageRow(y); }); }
uint8_t* TPngPicture::AlphaRow(uint32_t y) const { return Guarded([&] { return TPngImage::AlphaRow(y); }); }
uint8_t* TPngPicture::LowByteRow(uint32_t y) const { return Guarded([&] { return TPngImage::LowByteRow(y); }); }

void TPngPicture::CopyPicture(const TPngImage& source) {
  Guarded([&] { TPngImage::CopyPicture(source); });
}

int TPngPicture::BitmapBitsPerPixel() const { return Guarded([&] { return TPngImage::BitmapBitsPerPixel(); }); }

HPALETTE TPngPicture::Palette() const {
  if (!HasHeader()) return nullptr;
  auto* surface = dynamic_cast<TPngDibSurface*>(TPngImage::HeaderChunk().Surface.get());
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
  Guarded([&] { TPngImage::ChangeSize(newWidth, newHeight); });
  Changed();
}

void TPngPicture::SetWidth(int width) { ChangeSize(width, Height()); }
void TPngPicture::SetHeight(int height) { ChangeSize(Width(), height); }

void TPngPicture::LoadFromStream(gui::TStream& stream) {
  TGuiStream adapter(stream);
  try {
    Guarded([&] { TPngImage::LoadFromStream(adapter); });
  } catch (...) {
    Changed();  // what was read before the failure stays
    throw;
  }
  Changed();
}

void TPngPicture::SaveToStream(gui::TStream& stream) {
  TGuiStream adapter(stream);
  Guarded([&] { TPngImage::SaveToStream(adapter); });
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
  auto fillRows = [&](TChunkIHDR& header) {
    TBitmapInfo256 info = InfoOf(header);
    kit::WindowDC screen(nullptr);
    kit::MemoryDC dc(CreateCompatibleDC(screen.Get()));
    if (!dc) OutOfResources();
    GetDIBits(dc.Get(), handle, 0, header.Height, header.Bits, info.Get(), DIB_RGB_COLORS);
    if (header.HasPalette) std::memcpy(header.BitmapInfo.Colours, info.Colours, sizeof info.Colours);
  };
  Guarded([&] {
    AssignFromBitmap(uint32_t(record.bmWidth),
                     uint32_t(record.bmHeight < 0 ? -record.bmHeight : record.bmHeight), bitsPerPixel,
                     fillRows, transparent, transparentColour);
  });
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
  if (Empty() || !HasHeader() || !TPngImage::HeaderChunk().Bits) return;
  const TChunkIHDR& header = TPngImage::HeaderChunk();
  HDC dc = canvas.Handle();
  switch (TransparencyKind()) {
    case TTransparencyKind::SingleColour:
      DrawWithKeyMask(dc, rect);
      break;
    case TTransparencyKind::PerPixel:
      DrawWithAlpha(dc, rect);
      break;
    case TTransparencyKind::None: {
      TBitmapInfo256 info = InfoOf(header);
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchDIBits(dc, rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top, 0, 0,
                    int(header.Width), int(header.Height), header.Bits, info.Get(), DIB_RGB_COLORS, SRCCOPY);
      break;
    }
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
  TBitmapDC memory(nullptr, CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  BitBlt(memory.Get(), 0, 0, w, h, dc, rect.Left, rect.Top, SRCCOPY);
  GdiFlush();
  BlendOver(static_cast<uint8_t*>(bits), w, h);
  BitBlt(dc, rect.Left, rect.Top, w, h, memory.Get(), 0, 0, SRCCOPY);
}

void TPngPicture::DrawWithKeyMask(HDC dc, const gui::TRect& rect) {
  const uint8_t* plane = Guarded([&] { return KeyMask(); });
  const TChunkIHDR& header = TPngImage::HeaderChunk();
  const int width = int(header.Width), height = int(header.Height);
  TBitmapInfo256 info = InfoOf(header);
  TBitmapDC image(dc, CreateDIBitmap(dc, &info.Header, CBM_INIT, header.Bits, info.Get(), DIB_RGB_COLORS));
  // The plane is a monochrome bitmap's rows as they stand: 1 shows white.
  struct {
    BITMAPINFOHEADER Header;
    RGBQUAD Colours[2];
  } mono{{sizeof(BITMAPINFOHEADER), width, height, 1, 1, BI_RGB, 0, 0, 0, 2, 0},
         {{0, 0, 0, 0}, {255, 255, 255, 0}}};
  void* bits = nullptr;
  TBitmapDC key(dc, CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&mono), DIB_RGB_COLORS, &bits,
                                     nullptr, 0));
  std::memcpy(bits, plane, TChunkIHDR::StrideFor(1, header.Width) * header.Height);
  DrawOverKey(dc, image.Get(), key.Get(), width, height, rect);
}

void TPngPicture::DrawWithTransparentColour(HDC dc, const void* bits, const BITMAPINFO* info,
                                            COLORREF transparentColour, const gui::TRect& rect) {
  const int sourceWidth = std::abs(int(info->bmiHeader.biWidth));
  const int sourceHeight = std::abs(int(info->bmiHeader.biHeight));
  TBitmapDC image(dc, CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS));
  TBitmapDC key(dc, CreateBitmap(sourceWidth, sourceHeight, 1, 1, nullptr));
  // The colour of the image DC's background becomes 1 in a monochrome copy.
  const COLORREF oldBack = SetBkColor(image.Get(), transparentColour);
  BitBlt(key.Get(), 0, 0, sourceWidth, sourceHeight, image.Get(), 0, 0, SRCCOPY);
  SetBkColor(image.Get(), oldBack);
  DrawOverKey(dc, image.Get(), key.Get(), sourceWidth, sourceHeight, rect);
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

}  // namespace png
