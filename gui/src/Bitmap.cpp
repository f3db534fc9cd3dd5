#include "gui/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <mutex>
#include <utility>
#include <vector>

#include "Offscreen.h"
#include "gui/Streams.h"

namespace gui {

namespace {

// Images past this are refused as data errors rather than attempted.
constexpr std::int64_t kMaxPixels = 64ll * 1024 * 1024;
constexpr int kMaxSide = 65535;

int BitsPerPixel(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
  }
}

std::size_t Stride(int width, int bpp) { return ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4; }

TPixelFormat FormatOfBits(int bpp) {
  switch (bpp) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 32: return pf32bit;
    default: return pf24bit;  // 16-bit files widen to 24 bits
  }
}

// Default colour tables: black and white; the 16 standard colours; those
// plus a 6x6x6 colour cube and a grey ramp.
void DefaultColors(int bpp, RGBQUAD* table) {
  static const COLORREF kStandard[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                         0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                         0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  auto put = [&](int i, COLORREF c) { table[i] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0}; };
  if (bpp == 1) {
    put(0, 0x000000);
    put(1, 0xFFFFFF);
    return;
  }
  for (int i = 0; i < 16; ++i) put(i, kStandard[i]);
  if (bpp != 8) return;
  int i = 16;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) put(i++, RGB(r * 51, g * 51, b * 51));
  for (int k = 0; i < 256; ++i, ++k) put(i, RGB(k * 10 + 8, k * 10 + 8, k * 10 + 8));
}

struct DibInfo {
  BITMAPINFOHEADER header{};
  std::uint32_t extra[256]{};  // bit-field masks or colour table
};

// A bottom-up, uncompressed DIB description.
DibInfo PlainDib(int width, int height, int bpp) {
  DibInfo info;
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bpp);
  info.header.biCompression = BI_RGB;
  return info;
}

HBITMAP CreateDib(int width, int height, int bpp, const RGBQUAD* colors, void** bits) {
  DibInfo info = PlainDib(width, height, bpp);
  if (bpp <= 8) {
    int count = 1 << bpp;
    info.header.biClrUsed = count;
    if (colors)
      std::memcpy(info.extra, colors, sizeof(RGBQUAD) * count);
    else
      DefaultColors(bpp, reinterpret_cast<RGBQUAD*>(info.extra));
  }
  return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits, nullptr, 0);
}

// A memory context holding a bitmap it does not own for the length of a copy.
struct SelectedIn {
  kit::MemoryDC dc;
  kit::Selection selected;
  explicit SelectedIn(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr)), selected(dc.Get(), bitmap) {}
  HDC Dc() const { return dc.Get(); }
};

// The screen's context, only for making device bitmaps: painting makes one
// each time, and asking the system for the context each time is a round
// trip to the server under Wine. It is never released: bitmaps freed by
// static destructors (forms freed at exit) still make and keep images.
HDC ScreenForBitmaps() {
  static const auto* screen = new kit::WindowDC(nullptr);
  return screen->Get();
}

// Device bitmaps of bitmaps that went, kept for the next of their size:
// controls paint through a fresh bitmap each time, and making a device
// bitmap is costly (under Wine it asks the server about the display).
class TDeviceBitmapPool {
 public:
  // Never freed, like the screen's context: a pool gone before the last
  // bitmap would hand out deleted images and write into freed memory.
  static TDeviceBitmapPool& Instance() {
    static auto* pool = new TDeviceBitmapPool;
    return *pool;
  }
  kit::Gdi<HBITMAP> Take(int width, int height) {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
      if (it->Width != width || it->Height != height) continue;
      kit::Gdi<HBITMAP> bitmap = std::move(it->Bitmap);
      kept_.erase(it);
      return bitmap;
    }
    return {};
  }
  // Only a bitmap as NewImage makes them (an adopted one may have another
  // depth) is kept; the others go.
  void Give(kit::Gdi<HBITMAP> bitmap, int width, int height) {
    static const int screenBits =
        GetDeviceCaps(ScreenForBitmaps(), BITSPIXEL) * GetDeviceCaps(ScreenForBitmaps(), PLANES);
    BITMAP info{};
    DIBSECTION dib{};
    if (GetObjectA(bitmap.Get(), sizeof info, &info) != sizeof info || info.bmWidth != width ||
        info.bmHeight != height || info.bmBitsPixel * info.bmPlanes != screenBits ||
        GetObjectA(bitmap.Get(), sizeof dib, &dib) == sizeof dib)
      return;
    std::lock_guard<std::mutex> guard(lock_);
    if (kept_.size() == kKept) kept_.erase(kept_.begin());  // the oldest goes
    kept_.push_back({width, height, std::move(bitmap)});
  }

 private:
  static constexpr std::size_t kKept = 8;
  struct TKept {
    int Width, Height;
    kit::Gdi<HBITMAP> Bitmap;
  };
  std::mutex lock_;
  std::vector<TKept> kept_;
};

kit::Gdi<HBITMAP> NewImage(int width, int height, TPixelFormat format) {
  if (width <= 0 || height <= 0) return {};
  HBITMAP bitmap;
  void* bits = nullptr;
  if (format == pfDevice) {
    kit::Gdi<HBITMAP> kept = TDeviceBitmapPool::Instance().Take(width, height);
    bitmap = kept ? kept.Release() : CreateCompatibleBitmap(ScreenForBitmaps(), width, height);
    if (bitmap) PatBlt(SelectedIn(bitmap).Dc(), 0, 0, width, height, BLACKNESS);  // black, like a new DIB section
  } else if (format == pf16bit) {  // 5-6-5 needs its bit fields spelled out
    DibInfo info = PlainDib(width, height, 16);
    info.header.biCompression = BI_BITFIELDS;
    info.extra[0] = 0xF800;
    info.extra[1] = 0x07E0;
    info.extra[2] = 0x001F;
    bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  } else {
    bitmap = CreateDib(width, height, BitsPerPixel(format), nullptr, &bits);
  }
  if (!bitmap) throw EOutOfResources("Out of system resources: cannot create a bitmap");
  return kit::Gdi<HBITMAP>(bitmap);
}

[[noreturn]] void Invalid() { throw EInvalidGraphic("Bitmap image is not valid"); }

}  // namespace

// The bitmap's own canvas: a memory context with the image selected. It
// stays across image changes; only the selected bitmap is swapped.
class TBitmap::BitmapCanvas : public TCanvas {
 public:
  explicit BitmapCanvas(TBitmap& owner) : owner_(owner) {
    OnChange = [this](TObject*) { owner_.Changed(); };
  }
  ~BitmapCanvas() override {
    if (!memory_) return;
    SetHandle(nullptr);
    Detach();
  }
  // Takes the image out of the context (it can be handed elsewhere then).
  // The context keeps its own stock bitmap aside while it holds the image,
  // which comes and goes with each change.
  void Detach() {
    if (memory_) SelectObject(memory_.Get(), stock_);
  }
  void Attach() {
    if (memory_ && owner_.handle_) SelectObject(memory_.Get(), owner_.handle_.Get());
  }

 protected:
  void CreateHandle() override {
    memory_.Reset(CreateCompatibleDC(nullptr));
    if (!memory_) throw EOutOfResources("Out of system resources: cannot create a bitmap canvas");
    stock_ = GetCurrentObject(memory_.Get(), OBJ_BITMAP);
    Attach();
    SetHandle(memory_.Get());
  }

 private:
  TBitmap& owner_;
  kit::MemoryDC memory_;
  HGDIOBJ stock_ = nullptr;
};

GUI_DEFINE_CLASS(TBitmap) {}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  canvas_.reset();  // lets go of the image first
  if (pixelFormat_ == pfDevice && handle_) TDeviceBitmapPool::Instance().Give(std::move(handle_), width_, height_);
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<BitmapCanvas>(*this);
  return *canvas_;
}

void TBitmap::Replace(kit::Gdi<HBITMAP> bitmap, int width, int height, TPixelFormat format) {
  if (canvas_) canvas_->Detach();
  handle_ = std::move(bitmap);
  width_ = handle_ ? width : 0;
  height_ = handle_ ? height : 0;
  pixelFormat_ = format;
  bits_ = nullptr;
  DIBSECTION dib{};
  if (handle_ && GetObjectA(handle_.Get(), sizeof dib, &dib) == sizeof dib) bits_ = dib.dsBm.bmBits;
  if (canvas_) canvas_->Attach();
  Changed();
}

void TBitmap::CopyInto(HBITMAP to, int width, int height, TPixelFormat format) {
  if (!handle_ || !to) return;
  int w = std::min(width, width_), h = std::min(height, height_);
  DIBSECTION dib{};
  void* toBits = GetObjectA(to, sizeof dib, &dib) == sizeof dib ? dib.dsBm.bmBits : nullptr;
  if (canvas_) canvas_->Detach();  // a bitmap can be selected in one context only
  {
    SelectedIn src(handle_.Get()), dst(to);
    if (bits_ && toBits && format == pixelFormat_) {
      // Same layout: copy the rows as they are (keeps alpha and palette indexes).
      GdiFlush();
      int bpp = BitsPerPixel(format);
      if (bpp <= 8) {
        RGBQUAD colors[256];
        UINT n = GetDIBColorTable(src.Dc(), 0, 256, colors);
        SetDIBColorTable(dst.Dc(), 0, n, colors);
      }
      std::size_t from = Stride(width_, bpp), into = Stride(width, bpp);
      std::size_t bytes = std::min(from, into);
      for (int y = 0; y < h; ++y)
        std::memcpy(static_cast<std::uint8_t*>(toBits) + (height - 1 - y) * into,
                    static_cast<const std::uint8_t*>(bits_) + (height_ - 1 - y) * from, bytes);
    } else {
      BitBlt(dst.Dc(), 0, 0, w, h, src.Dc(), 0, 0, SRCCOPY);
    }
  }
  if (canvas_) canvas_->Attach();
}

void TBitmap::SetSize(int width, int height) {
  width = std::clamp(width, 0, kMaxSide);
  height = std::clamp(height, 0, kMaxSide);
  if (width == width_ && height == height_) return;
  kit::Gdi<HBITMAP> image = NewImage(width, height, pixelFormat_);
  CopyInto(image.Get(), width, height, pixelFormat_);
  Replace(std::move(image), width, height, pixelFormat_);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pfCustom) throw EInvalidGraphicOperation("Cannot change a bitmap to a custom pixel format");
  if (format == pixelFormat_) return;
  if (Empty()) {
    pixelFormat_ = format;
    Changed();
    return;
  }
  kit::Gdi<HBITMAP> image = NewImage(width_, height_, format);
  CopyInto(image.Get(), width_, height_, format);
  Replace(std::move(image), width_, height_, format);
}

void TBitmap::SetMonochrome(bool monochrome) {
  if (monochrome == Monochrome()) return;
  SetPixelFormat(monochrome ? pf1bit : pfDevice);
}

void TBitmap::Assign(TPersistent* source) {
  if (!source) {
    Replace({}, 0, 0, pixelFormat_);
    return;
  }
  auto* other = dynamic_cast<TBitmap*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  if (other == this) return;
  kit::Gdi<HBITMAP> image = NewImage(other->width_, other->height_, other->pixelFormat_);
  other->CopyInto(image.Get(), other->width_, other->height_, other->pixelFormat_);
  transparentColor_ = other->transparentColor_;
  transparentMode_ = other->transparentMode_;
  TGraphic::SetTransparent(other->Transparent());
  Replace(std::move(image), other->width_, other->height_, other->pixelFormat_);
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == handle_.Get()) return;
  BITMAP info{};
  if (bitmap && !GetObjectA(bitmap, sizeof info, &info)) throw EInvalidGraphic("Not a bitmap handle");
  // The format must match the rows exactly: ScanLine strides by it.
  TPixelFormat format = pfDevice;
  DIBSECTION dib{};
  if (bitmap && GetObjectA(bitmap, sizeof dib, &dib) == sizeof dib) {
    int bpp = dib.dsBmih.biBitCount;
    if (bpp == 16)
      format = dib.dsBmih.biCompression == BI_BITFIELDS && dib.dsBitfields[1] == 0x07E0 ? pf16bit : pf15bit;
    else if (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32)
      format = FormatOfBits(bpp);
    else
      throw EInvalidGraphic("Unsupported bitmap format");
  } else if (bitmap && info.bmBitsPixel == 1) {
    format = pf1bit;
  }
  Replace(kit::Gdi<HBITMAP>(bitmap), info.bmWidth, std::abs(info.bmHeight), format);
}

HBITMAP TBitmap::ReleaseHandle() {
  if (canvas_) canvas_->Detach();
  HBITMAP bitmap = handle_.Release();
  Replace({}, 0, 0, pixelFormat_);
  return bitmap;
}

TColor TBitmap::TransparentColor() {
  if (transparentMode_ == tmFixed) return transparentColor_;
  if (Empty()) return clDefault;
  return Canvas().Pixels(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  if (transparentMode_ == tmFixed && color == transparentColor_) return;
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  if (mode == tmAuto) {
    SetTransparentColor(clDefault);
  } else {
    transparentColor_ = TransparentColor();
    transparentMode_ = tmFixed;
    Changed();
  }
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  HDC source = Canvas().Handle();
  HDC dest = canvas.Handle();
  if (Transparent()) {
    MaskedBlt(dest, rect, source, Rect(0, 0, width_, height_), ColorToRGB(TransparentColor()));
    return;
  }
  bool stretched = rect.Width() != width_ || rect.Height() != height_;
  int oldMode = stretched ? SetStretchBltMode(dest, COLORONCOLOR) : 0;
  StretchBlt(dest, rect.Left, rect.Top, rect.Width(), rect.Height(), source, 0, 0, width_, height_,
             canvas.CopyMode());
  if (stretched) SetStretchBltMode(dest, oldMode);
}

// --- TPaintBuffer ---------------------------------------------------------------------

namespace detail {

// A memory context with a screen-compatible bitmap selected, and the level
// of its clean state (as made) saved, to which it goes back between uses.
struct TSurface {
  TSurface(int width, int height)
      : Image(ScreenForBitmaps(), width, height), Width(width), Height(height), Clean(SaveDC(Image.Dc())) {}
  TOffscreen Image;
  int Width, Height;
  int Clean;
};

}  // namespace detail

namespace {

// Surfaces of small parts, kept for the next paint of their size: the
// overview's figures repaint the same strips every second.
class TSurfacePool {
 public:
  // Never freed, like the device bitmaps' pool.
  static TSurfacePool& Instance() {
    static auto* pool = new TSurfacePool;
    return *pool;
  }
  std::unique_ptr<detail::TSurface> Take(int width, int height) {
    {
      std::lock_guard<std::mutex> guard(lock_);
      // The latest of the size first.
      for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
        if ((*it)->Width != width || (*it)->Height != height) continue;
        std::unique_ptr<detail::TSurface> surface = std::move(*it);
        kept_.erase(std::next(it).base());
        return surface;
      }
    }
    auto surface = std::make_unique<detail::TSurface>(width, height);
    return surface->Image.Ok() ? std::move(surface) : nullptr;
  }
  void Give(std::unique_ptr<detail::TSurface> surface) {
    if (!surface || surface->Width * surface->Height > kMostPixels) return;
    HDC dc = surface->Image.Dc();
    // Whatever the paint changed in the context goes.
    if (!RestoreDC(dc, surface->Clean) || (surface->Clean = SaveDC(dc)) == 0) return;
    std::lock_guard<std::mutex> guard(lock_);
    if (kept_.size() == kKept) kept_.erase(kept_.begin());  // the oldest goes
    kept_.push_back(std::move(surface));
  }

 private:
  static constexpr std::size_t kKept = 8;
  static constexpr int kMostPixels = 256 * 256;  // a large part is painted rarely: not kept
  std::mutex lock_;
  std::vector<std::unique_ptr<detail::TSurface>> kept_;
};

}  // namespace

TPaintBuffer::TPaintBuffer(TCanvas& target, const TRect& area) : target_(target) {
  RECT box{};
  switch (GetClipBox(target.Handle(), &box)) {
    case NULLREGION: return;
    case ERROR: part_ = area; break;
    default:
      part_ = Rect(std::max<int>(area.Left, box.left), std::max<int>(area.Top, box.top),
                   std::min<int>(area.Right, box.right), std::min<int>(area.Bottom, box.bottom));
  }
  if (part_.IsEmpty()) {
    part_ = {};
    return;
  }
  surface_ = TSurfacePool::Instance().Take(part_.Width(), part_.Height());
  if (!surface_) throw EOutOfResources("Out of system resources: cannot create a bitmap");
  HDC dc = surface_->Image.Dc();
  PatBlt(dc, 0, 0, part_.Width(), part_.Height(), BLACKNESS);
  SetViewportOrgEx(dc, -part_.Left, -part_.Top, nullptr);
  canvas_.SetHandle(dc);
}

TPaintBuffer::~TPaintBuffer() {
  canvas_.SetHandle(nullptr);  // lets go of its tools first
  TSurfacePool::Instance().Give(std::move(surface_));
}

void TPaintBuffer::Commit() {
  if (Empty()) return;
  HDC source = surface_->Image.Dc();
  SetViewportOrgEx(source, 0, 0, nullptr);
  BitBlt(target_.Handle(), part_.Left, part_.Top, part_.Width(), part_.Height(), source, 0, 0, SRCCOPY);
}

void* TBitmap::ScanLine(int row) {
  if (!bits_) throw EInvalidGraphicOperation("The bitmap has no rows to reach (empty or device-dependent)");
  if (row < 0 || row >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
  GdiFlush();
  return static_cast<std::uint8_t*>(bits_) + (height_ - 1 - row) * Stride(width_, BitsPerPixel(pixelFormat_));
}

// --- reading and writing BMP data -------------------------------------------------------

void TBitmap::LoadDib(const std::uint8_t* data, std::size_t size, std::size_t bitsOffset) {
  if (size < sizeof(BITMAPCOREHEADER)) Invalid();
  DWORD headerSize;
  std::memcpy(&headerSize, data, 4);
  DibInfo info;
  BITMAPINFOHEADER& h = info.header;
  std::size_t tableAt;  // where masks or colours start
  bool core = headerSize == sizeof(BITMAPCOREHEADER);
  if (core) {
    BITMAPCOREHEADER ch;
    std::memcpy(&ch, data, sizeof ch);
    h.biWidth = ch.bcWidth;
    h.biHeight = ch.bcHeight;
    h.biPlanes = ch.bcPlanes;
    h.biBitCount = ch.bcBitCount;
    h.biCompression = BI_RGB;
    tableAt = sizeof ch;
  } else {
    if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > size) Invalid();
    std::memcpy(&h, data, sizeof h);
    tableAt = headerSize;
  }
  h.biSize = sizeof(BITMAPINFOHEADER);
  int bpp = h.biBitCount;
  std::int64_t width = h.biWidth, height = h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight;
  if (h.biPlanes != 1 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      width * height > kMaxPixels)
    Invalid();
  bool formatOk = (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32) &&
                  (h.biCompression == BI_RGB || (h.biCompression == BI_RLE8 && bpp == 8) ||
                   (h.biCompression == BI_RLE4 && bpp == 4) ||
                   (h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32)));
  if (!formatOk) Invalid();

  // Bit-field masks sit right after a plain header; larger headers hold them.
  if (h.biCompression == BI_BITFIELDS) {
    if (headerSize == sizeof(BITMAPINFOHEADER)) {
      if (tableAt + 12 > size) Invalid();
      std::memcpy(info.extra, data + tableAt, 12);
      tableAt += 12;
    } else {
      if (sizeof(BITMAPINFOHEADER) + 12 > size) Invalid();
      std::memcpy(info.extra, data + sizeof(BITMAPINFOHEADER), 12);
    }
  }
  std::size_t colors = 0;
  if (bpp <= 8) {
    colors = h.biClrUsed ? h.biClrUsed : (1u << bpp);
    if (colors > (1u << bpp)) Invalid();
    std::size_t entry = core ? 3 : 4;
    if (tableAt + colors * entry > size) Invalid();
    auto* table = reinterpret_cast<RGBQUAD*>(info.extra);
    for (std::size_t i = 0; i < colors; ++i) {
      const std::uint8_t* e = data + tableAt + i * entry;
      table[i] = RGBQUAD{e[0], e[1], e[2], 0};
    }
    h.biClrUsed = static_cast<DWORD>(colors);
    tableAt += colors * entry;
  } else {
    h.biClrUsed = 0;
  }
  if (bitsOffset == 0) bitsOffset = tableAt;
  if (bitsOffset > size) Invalid();
  std::size_t available = size - bitsOffset;
  std::size_t needed = h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4
                           ? h.biSizeImage
                           : Stride(static_cast<int>(width), bpp) * static_cast<std::size_t>(height);
  if (needed == 0 || needed > available) Invalid();
  h.biSizeImage = static_cast<DWORD>(needed);

  // A DIB section of the file's depth (and colours), filled through the
  // platform so RLE and bit fields are expanded there.
  TPixelFormat format = FormatOfBits(bpp);
  void* bits = nullptr;
  kit::Gdi<HBITMAP> image(CreateDib(static_cast<int>(width), static_cast<int>(height), BitsPerPixel(format),
                                    bpp <= 8 ? reinterpret_cast<RGBQUAD*>(info.extra) : nullptr, &bits));
  if (!image) throw EOutOfResources("Out of system resources: cannot create a bitmap");
  if (bpp <= 8 && colors < (1u << bpp)) {  // unused entries stay black
    SelectedIn dst(image.Get());
    RGBQUAD table[256]{};
    std::memcpy(table, info.extra, colors * sizeof(RGBQUAD));
    SetDIBColorTable(dst.Dc(), 0, 1u << bpp, table);
  }
  // Colours come from the data itself (DIB_RGB_COLORS): any context will do.
  kit::MemoryDC context(CreateCompatibleDC(nullptr));
  int lines = SetDIBits(context.Get(), image.Get(), 0, static_cast<UINT>(height), data + bitsOffset,
                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  if (lines <= 0) Invalid();
  Replace(std::move(image), static_cast<int>(width), static_cast<int>(height), format);
}

void TBitmap::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> data = stream.ReadRest();
  if (data.size() < sizeof(BITMAPFILEHEADER) || data[0] != 'B' || data[1] != 'M') Invalid();
  BITMAPFILEHEADER file;
  std::memcpy(&file, data.data(), sizeof file);
  std::size_t dib = sizeof(BITMAPFILEHEADER);
  if (file.bfOffBits < dib || file.bfOffBits > data.size()) Invalid();
  LoadDib(data.data() + dib, data.size() - dib, file.bfOffBits - dib);
}

void TBitmap::SaveToStream(TStream& stream) {
  if (Empty()) return;
  int bpp = pixelFormat_ == pf1bit || pixelFormat_ == pf4bit || pixelFormat_ == pf8bit || pixelFormat_ == pf32bit
                ? BitsPerPixel(pixelFormat_)
                : 24;
  DibInfo info = PlainDib(width_, height_, bpp);
  std::size_t colors = bpp <= 8 ? (1u << bpp) : 0;
  info.header.biClrUsed = static_cast<DWORD>(colors);
  std::size_t rowBytes = Stride(width_, bpp) * height_;
  info.header.biSizeImage = static_cast<DWORD>(rowBytes);
  std::vector<std::uint8_t> rows(rowBytes);
  if (canvas_) canvas_->Detach();  // GetDIBits wants the bitmap unselected
  int lines = GetDIBits(kit::WindowDC(nullptr).Get(), handle_.Get(), 0, height_, rows.data(),
                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  if (canvas_) canvas_->Attach();
  if (lines != height_) throw EInvalidGraphicOperation("Cannot read the bitmap's pixels");

  std::size_t tableBytes = colors * sizeof(RGBQUAD);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = static_cast<DWORD>(sizeof file + sizeof(BITMAPINFOHEADER) + tableBytes);
  file.bfSize = static_cast<DWORD>(file.bfOffBits + rowBytes);
  stream.WriteBuffer(&file, sizeof file);
  stream.WriteBuffer(&info.header, sizeof(BITMAPINFOHEADER));
  stream.WriteBuffer(info.extra, static_cast<std::int64_t>(tableBytes));
  stream.WriteBuffer(rows.data(), static_cast<std::int64_t>(rowBytes));
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  if (!TResourceStream::Exists(instance, name.c_str(), MAKEINTRESOURCEA(2)))  // RT_BITMAP
    throw EInvalidGraphic("Bitmap resource " + name + " not found");
  TResourceStream res(instance, name.c_str(), MAKEINTRESOURCEA(2));
  LoadDib(res.Memory(), static_cast<std::size_t>(res.Size()), 0);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  const char* name = MAKEINTRESOURCEA(id);
  if (!TResourceStream::Exists(instance, name, MAKEINTRESOURCEA(2)))
    throw EInvalidGraphic("Bitmap resource #" + std::to_string(id) + " not found");
  TResourceStream res(instance, name, MAKEINTRESOURCEA(2));
  LoadDib(res.Memory(), static_cast<std::size_t>(res.Size()), 0);
}

void TBitmap::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE) {
  if (format == CF_DIB && data) {
    auto* packed = static_cast<const std::uint8_t*>(GlobalLock(data));
    if (!packed) Invalid();
    auto unlock = kit::OnExit([data] { GlobalUnlock(data); });
    LoadDib(packed, GlobalSize(data), 0);
    return;
  }
  if (format != CF_BITMAP || !data) throw EInvalidGraphic("Unsupported clipboard format");
  BITMAP info{};
  if (!GetObjectA(data, sizeof info, &info)) Invalid();
  int width = info.bmWidth, height = std::abs(info.bmHeight);
  kit::Gdi<HBITMAP> image = NewImage(width, height, pfDevice);
  {
    SelectedIn src(static_cast<HBITMAP>(data)), dst(image.Get());
    BitBlt(dst.Dc(), 0, 0, width, height, src.Dc(), 0, 0, SRCCOPY);
  }
  Replace(std::move(image), width, height, pfDevice);
}

void TBitmap::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  format = CF_BITMAP;
  palette = nullptr;
  data = nullptr;
  if (Empty()) return;
  kit::Gdi<HBITMAP> copy = NewImage(width_, height_, pfDevice);
  CopyInto(copy.Get(), width_, height_, pfDevice);
  data = copy.Release();
}

}  // namespace gui
