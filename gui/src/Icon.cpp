#include "gui/Icon.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "PngImage.h"
#include "PngStream.h"
#include "gui/Canvas.h"
#include "gui/Streams.h"

namespace gui {

namespace {

#pragma pack(push, 1)
struct IconDir {
  WORD reserved;
  WORD type;  // 1 for icons
  WORD count;
};
struct IconDirEntry {
  BYTE width;  // 0 stands for 256
  BYTE height;
  BYTE colors;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytes;
  DWORD offset;
};
#pragma pack(pop)

[[noreturn]] void Invalid() { throw EInvalidGraphic("Icon image is not valid"); }

std::size_t MaskStride(int width) { return ((static_cast<std::size_t>(width) + 31) / 32) * 4; }

std::uint32_t BigEndian(const std::uint8_t* at) {
  return std::uint32_t(at[0]) << 24 | std::uint32_t(at[1]) << 16 | std::uint32_t(at[2]) << 8 | at[3];
}

bool IsPng(const std::uint8_t* image, std::size_t bytes) {
  static const std::uint8_t kPng[8] = {137, 80, 78, 71, 13, 10, 26, 10};
  return bytes >= 8 && std::memcmp(image, kPng, 8) == 0;
}

// A DIB entry as the system makes an icon of it: the plain 40-byte header
// (it refuses the larger ones), uncompressed, its height counting the colour
// rows and the mask rows; the colour table the header names (biClrUsed
// counts at every depth), the colour rows and the mask rows all within the
// entry. Its size is its width and half its height.
bool DibFits(const std::uint8_t* image, std::size_t bytes, int& width, int& height) {
  if (bytes < sizeof(BITMAPINFOHEADER)) return false;
  BITMAPINFOHEADER h;
  std::memcpy(&h, image, sizeof h);
  if (h.biSize != sizeof h || h.biWidth <= 0 || h.biWidth > 1024 || h.biHeight < 2 || h.biHeight > 2048 ||
      h.biPlanes != 1 || h.biCompression != BI_RGB)
    return false;
  const int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
  const std::size_t colors = h.biClrUsed ? h.biClrUsed : bpp <= 8 ? std::size_t(1) << bpp : 0;
  if (colors > 256) return false;
  const std::size_t rows = static_cast<std::size_t>(h.biHeight) / 2;
  const std::size_t colorStride = ((static_cast<std::size_t>(h.biWidth) * bpp + 31) / 32) * 4;
  const std::size_t needed = sizeof h + colors * 4 + colorStride * rows + MaskStride(h.biWidth) * rows;
  width = h.biWidth;
  height = int(rows);
  return needed <= bytes;
}

// The PNG core reads an entry where it lies.
class TEntryStream : public png::TPngStream {
 public:
  TEntryStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    count = std::min(count, size_ - position_);
    std::memcpy(buffer, data_ + position_, count);
    position_ += count;
    return count;
  }
  std::size_t Write(const void*, std::size_t) override { return 0; }
  std::uint64_t Position() const override { return position_; }
  void SetPosition(std::uint64_t position) override {
    position_ = std::size_t(std::min<std::uint64_t>(position, size_));
  }
  std::uint64_t Size() const override { return size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// A PNG entry decoded in full by the PNG core, as the 32-bit DIB entry the
// icon is made of: colour rows with their alpha, then mask rows set where a
// pixel is fully clear. Nothing when the core refuses the data.
std::vector<std::uint8_t> PngAsDib(const std::uint8_t* image, std::size_t bytes, int& width, int& height) {
  // The header first: an icon image is at most 1024 pixels a side, and a
  // larger one is refused before any of it is inflated.
  if (bytes < 24 || std::memcmp(image + 12, "IHDR", 4) != 0) return {};
  const std::uint32_t w = BigEndian(image + 16), h = BigEndian(image + 20);
  if (w == 0 || h == 0 || w > 1024 || h > 1024) return {};

  png::TPngImage decoded;
  try {
    TEntryStream stream(image, bytes);
    decoded.LoadFromStream(stream);
  } catch (const png::core::EPNGOutMemory&) {
    throw EOutOfResources("Out of memory: cannot read an icon image");
  } catch (const png::core::EPngException&) {
    return {};
  }
  const png::TChunkIHDR& header = decoded.HeaderChunk();
  // Palette images take each entry's alpha from tRNS; gray and RGB ones a
  // colour key, matched when the rows were decoded.
  const png::TChunktRNS* alphaTable =
      header.ColourType == 3 ? decoded.Chunks().ItemFromClass<png::TChunktRNS>() : nullptr;
  const png::TChunktRNS* key = alphaTable ? nullptr : decoded.ColourKey();
  const bool bgr = header.ColourType == 2 || header.ColourType == 6;  // decoded rows of blue, green, red
  const std::size_t colorBytes = std::size_t(w) * 4 * h, maskStride = MaskStride(int(w));
  BITMAPINFOHEADER dib{};
  dib.biSize = sizeof dib;
  dib.biWidth = LONG(w);
  dib.biHeight = LONG(h * 2);
  dib.biPlanes = 1;
  dib.biBitCount = 32;
  dib.biCompression = BI_RGB;
  std::vector<std::uint8_t> out(sizeof dib + colorBytes + maskStride * h, 0);
  std::memcpy(out.data(), &dib, sizeof dib);
  std::uint8_t* colors = out.data() + sizeof dib;
  std::uint8_t* mask = colors + colorBytes;
  for (std::uint32_t y = 0; y < h; ++y) {
    const std::uint32_t row = h - 1 - y;  // DIB rows lie bottom-up
    const std::uint8_t* alphaRow = decoded.AlphaRow(y);
    const std::uint8_t* source = decoded.ImageRow(y);
    std::uint8_t* pixel = colors + std::size_t(row) * w * 4;
    for (std::uint32_t x = 0; x < w; ++x, pixel += 4) {
      if (bgr) {
        std::memcpy(pixel, source + 3 * std::size_t(x), 3);
      } else {
        const png::TPngColour colour = decoded.GetPixelColour(int(x), int(y));
        pixel[0] = png::PngBlue(colour);
        pixel[1] = png::PngGreen(colour);
        pixel[2] = png::PngRed(colour);
      }
      std::uint8_t alpha = 255;
      if (alphaRow)
        alpha = alphaRow[x];
      else if (alphaTable)
        alpha = alphaTable->AlphaTable[png::PackedSample(source, x, header.BitsPerPixel())];
      else if (key && decoded.IsKeyPixel(int(x), int(y)))
        alpha = 0;
      pixel[3] = alpha;
      if (alpha == 0) mask[std::size_t(row) * maskStride + x / 8] |= std::uint8_t(0x80u >> (x % 8));
    }
  }
  width = int(w);
  height = int(h);
  return out;
}

// The colour and mask bitmaps GetIconInfo hands out, freed with the holder.
struct IconBitmaps {
  kit::Gdi<HBITMAP> color, mask;
  explicit IconBitmaps(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return;
    color.Reset(info.hbmColor);
    mask.Reset(info.hbmMask);
  }
};

void IconSize(HICON icon, int& width, int& height) {
  width = height = 0;
  IconBitmaps info(icon);
  BITMAP bm{};
  if (info.color && GetObjectA(info.color.Get(), sizeof bm, &bm)) {
    width = bm.bmWidth;
    height = bm.bmHeight;
  } else if (info.mask && GetObjectA(info.mask.Get(), sizeof bm, &bm)) {
    width = bm.bmWidth;
    height = bm.bmHeight / 2;
  }
}

TIconMaker iconMaker = &CreateIconFromResourceEx;

}  // namespace

TIconMaker SetIconMaker(TIconMaker maker) {
  return std::exchange(iconMaker, maker ? maker : &CreateIconFromResourceEx);
}

GUI_DEFINE_CLASS(TIcon) {}

TIcon::TIcon() { TGraphic::SetTransparent(true); }

TIcon::~TIcon() = default;

void TIcon::Take(kit::Icon icon, std::vector<std::uint8_t> data) {
  handle_ = std::move(icon);
  waiting_ = false;
  decoded_.reset();
  data_ = std::move(data);
  IconSize(handle_.Get(), width_, height_);
  Changed();
}

void TIcon::Wait(std::vector<std::uint8_t> data, std::size_t imageAt, std::size_t imageBytes,
                 std::shared_ptr<const std::vector<std::uint8_t>> decoded, int width, int height) {
  handle_.Reset();
  waiting_ = true;
  data_ = std::move(data);
  imageAt_ = imageAt;
  imageBytes_ = imageBytes;
  decoded_ = std::move(decoded);
  width_ = width;
  height_ = height;
  Changed();
}

HICON TIcon::Handle() const {
  if (waiting_) {
    const std::uint8_t* image = decoded_ ? decoded_->data() : data_.data() + imageAt_;
    const std::size_t bytes = decoded_ ? decoded_->size() : imageBytes_;
    handle_.Reset(iconMaker(const_cast<PBYTE>(image), DWORD(bytes), TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR));
    // The image was checked at load, so only a system out of handles says
    // no: the icon then still waits, and the next ask tries again.
    if (handle_) {
      waiting_ = false;
      decoded_.reset();
    }
  }
  return handle_.Get();
}

void TIcon::Assign(TPersistent* source) {
  if (!source) {
    Take({}, {});
    return;
  }
  auto* other = dynamic_cast<TIcon*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  if (other == this) return;
  if (other->waiting_) {  // the data is enough; the copy makes its own icon when asked
    Wait(other->data_, other->imageAt_, other->imageBytes_, other->decoded_, other->width_, other->height_);
    return;
  }
  kit::Icon copy(other->handle_ ? CopyIcon(other->handle_.Get()) : nullptr);
  if (other->handle_ && !copy) throw EOutOfResources("Out of system resources: cannot copy an icon");
  Take(std::move(copy), other->data_);
}

void TIcon::SetHandle(HICON icon) {
  if (icon != handle_.Get() || waiting_) Take(kit::Icon(icon), {});
}

HICON TIcon::ReleaseHandle() {
  Handle();
  HICON icon = handle_.Release();
  Take({}, {});
  return icon;
}

void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
  if (!Handle()) return;
  DrawIconEx(canvas.Handle(), rect.Left, rect.Top, handle_.Get(), rect.Width(), rect.Height(), 0, nullptr,
             DI_NORMAL);
}

void TIcon::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> data = stream.ReadRest();
  if (data.size() < sizeof(IconDir)) Invalid();
  IconDir dir;
  std::memcpy(&dir, data.data(), sizeof dir);
  std::size_t entriesEnd = sizeof dir + static_cast<std::size_t>(dir.count) * sizeof(IconDirEntry);
  if (dir.reserved != 0 || dir.type != 1 || dir.count == 0 || entriesEnd > data.size()) Invalid();

  // The entry nearest the system icon size, the deepest colours among equals.
  int want = GetSystemMetrics(SM_CXICON);
  const IconDirEntry* best = nullptr;
  int bestDistance = 0;
  for (WORD i = 0; i < dir.count; ++i) {
    const auto* e = reinterpret_cast<const IconDirEntry*>(data.data() + sizeof dir + i * sizeof(IconDirEntry));
    if (e->bytes == 0 || e->offset < entriesEnd || e->offset > data.size() || e->bytes > data.size() - e->offset)
      Invalid();
    int width = e->width ? e->width : 256;
    int distance = std::abs(width - want);
    if (!best || distance < bestDistance || (distance == bestDistance && e->bitCount > best->bitCount)) {
      best = e;
      bestDistance = distance;
    }
  }
  const std::uint8_t* image = data.data() + best->offset;
  int width = 0, height = 0;
  // Everything that makes the icon is checked now, though the icon is made
  // later: data that loads gives an icon. A PNG image is decoded once, here,
  // and kept as the DIB the icon is made of until then.
  std::shared_ptr<const std::vector<std::uint8_t>> decoded;
  if (IsPng(image, best->bytes)) {
    std::vector<std::uint8_t> dib = PngAsDib(image, best->bytes, width, height);
    if (dib.empty()) Invalid();
    decoded = std::make_shared<const std::vector<std::uint8_t>>(std::move(dib));
  } else if (!DibFits(image, best->bytes, width, height)) {
    Invalid();
  }
  // The size the system gives an icon made at the image's own size.
  Wait(std::move(data), best->offset, best->bytes, std::move(decoded), width, height);
}

std::vector<std::uint8_t> TIcon::MakeIconData() const {
  IconBitmaps info(Handle());
  if (!info.mask) return {};
  if (!info.color) throw EInvalidGraphicOperation("Cannot save a monochrome icon handle");
  int w = width_, h = height_;
  std::size_t colorBytes = static_cast<std::size_t>(w) * 4 * h;
  std::size_t maskBytes = MaskStride(w) * h;

  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } bmi{};
  bmi.header.biSize = sizeof(BITMAPINFOHEADER);
  bmi.header.biWidth = w;
  bmi.header.biHeight = h;
  bmi.header.biPlanes = 1;
  bmi.header.biBitCount = 32;
  bmi.header.biCompression = BI_RGB;
  std::vector<std::uint8_t> colorRows(colorBytes), maskRows(maskBytes);
  kit::WindowDC screen(nullptr);
  bool ok = GetDIBits(screen.Get(), info.color.Get(), 0, h, colorRows.data(), reinterpret_cast<BITMAPINFO*>(&bmi),
                      DIB_RGB_COLORS) == h;
  bmi.header.biBitCount = 1;
  ok = ok && GetDIBits(screen.Get(), info.mask.Get(), 0, h, maskRows.data(), reinterpret_cast<BITMAPINFO*>(&bmi),
                       DIB_RGB_COLORS) == h;
  if (!ok) throw EInvalidGraphicOperation("Cannot read the icon's pixels");

  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = w;
  header.biHeight = h * 2;  // colour rows and mask rows
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(colorBytes + maskBytes);
  IconDir dir{0, 1, 1};
  IconDirEntry entry{};
  entry.width = static_cast<BYTE>(w >= 256 ? 0 : w);
  entry.height = static_cast<BYTE>(h >= 256 ? 0 : h);
  entry.planes = 1;
  entry.bitCount = 32;
  entry.bytes = static_cast<DWORD>(sizeof header + colorBytes + maskBytes);
  entry.offset = sizeof dir + sizeof entry;

  std::vector<std::uint8_t> out;
  auto append = [&](const void* p, std::size_t n) {
    auto* b = static_cast<const std::uint8_t*>(p);
    out.insert(out.end(), b, b + n);
  };
  append(&dir, sizeof dir);
  append(&entry, sizeof entry);
  append(&header, sizeof header);
  append(colorRows.data(), colorBytes);
  append(maskRows.data(), maskBytes);
  return out;
}

void TIcon::SaveToStream(TStream& stream) {
  std::vector<std::uint8_t> data = data_.empty() ? MakeIconData() : data_;
  stream.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));
}

void TIcon::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) {
  throw EInvalidGraphicOperation("Icons cannot be read from the clipboard");
}

void TIcon::SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) {
  throw EInvalidGraphicOperation("Icons cannot be put on the clipboard");
}

}  // namespace gui
