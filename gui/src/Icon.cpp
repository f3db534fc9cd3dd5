#include "gui/Icon.h"

#include <cstring>
#include <utility>

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

// An image entry is either PNG data or a DIB whose height counts both the
// colour rows and the mask rows; both must lie within the entry.
std::uint32_t BigEndian(const std::uint8_t* at) {
  return std::uint32_t(at[0]) << 24 | std::uint32_t(at[1]) << 16 | std::uint32_t(at[2]) << 8 | at[3];
}

// The image's size is its stored one: the PNG header's, or the DIB's width
// and half its height.
bool ImageFits(const std::uint8_t* image, std::size_t bytes, int& width, int& height) {
  static const std::uint8_t kPng[8] = {137, 80, 78, 71, 13, 10, 26, 10};
  if (bytes >= 8 && std::memcmp(image, kPng, 8) == 0) {
    if (bytes < 24 || std::memcmp(image + 12, "IHDR", 4) != 0) return false;
    const std::uint32_t w = BigEndian(image + 16), h = BigEndian(image + 20);
    if (w == 0 || h == 0 || w > 1024 || h > 1024) return false;
    width = int(w);
    height = int(h);
    return true;
  }
  if (bytes < sizeof(BITMAPINFOHEADER)) return false;
  BITMAPINFOHEADER h;
  std::memcpy(&h, image, sizeof h);
  if (h.biSize < sizeof h || h.biSize > bytes || h.biWidth <= 0 || h.biWidth > 1024 || h.biHeight <= 0 ||
      h.biHeight > 2048 || h.biPlanes != 1 || h.biCompression != BI_RGB)
    return false;
  int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
  std::size_t colors = bpp <= 8 ? (h.biClrUsed ? h.biClrUsed : (1u << bpp)) : 0;
  if (colors > 256) return false;
  std::size_t rows = static_cast<std::size_t>(h.biHeight) / 2;
  std::size_t colorStride = ((static_cast<std::size_t>(h.biWidth) * bpp + 31) / 32) * 4;
  std::size_t needed = h.biSize + colors * 4 + colorStride * rows + MaskStride(h.biWidth) * rows;
  width = h.biWidth;
  height = int(rows);
  return needed <= bytes;
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

}  // namespace

GUI_DEFINE_CLASS(TIcon) {}

TIcon::TIcon() { TGraphic::SetTransparent(true); }

TIcon::~TIcon() = default;

void TIcon::Take(kit::Icon icon, std::vector<std::uint8_t> data) {
  handle_ = std::move(icon);
  waiting_ = false;
  data_ = std::move(data);
  IconSize(handle_.Get(), width_, height_);
  Changed();
}

void TIcon::Wait(std::vector<std::uint8_t> data, std::size_t imageAt, std::size_t imageBytes, int width,
                 int height) {
  handle_.Reset();
  waiting_ = true;
  data_ = std::move(data);
  imageAt_ = imageAt;
  imageBytes_ = imageBytes;
  width_ = width;
  height_ = height;
  Changed();
}

HICON TIcon::Handle() const {
  if (waiting_) {
    waiting_ = false;
    handle_.Reset(CreateIconFromResourceEx(const_cast<PBYTE>(data_.data() + imageAt_), DWORD(imageBytes_), TRUE,
                                           0x00030000, 0, 0, LR_DEFAULTCOLOR));
    // Data the system refuses after all leaves no icon to show.
    if (!handle_) width_ = height_ = 0;
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
    Wait(other->data_, other->imageAt_, other->imageBytes_, other->width_, other->height_);
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
  if (!ImageFits(image, best->bytes, width, height)) Invalid();
  // The size the system gives an icon made at the image's own size.
  Wait(std::move(data), best->offset, best->bytes, width, height);
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
