#include "VeeWindowsUtils.h"

#include <cstring>

#include "LayeredGdiplus.h"
#include "PngImage.h"
#include "PngStream.h"
#include "gui/Controls.h"
#include "kit/Own.h"

namespace components {

const gui::TEnumInfo& VeeAlignmentInfo() {
  static const gui::TEnumInfo info{
      "TVeeAlignment",
      {"alTopLeft", "alTopCenter", "alTopRight", "alMiddleLeft", "alMiddleCenter", "alMiddleRight",
       "alBottomLeft", "alBottomCenter", "alBottomRight", "alCenter", "alLeft", "alRight", "alCustom"}};
  return info;
}

TGPImage LoadGPImageFromResource(const std::string& name, const std::string& type, HMODULE module) {
  HRSRC info = FindResourceA(module, name.c_str(), type.c_str());
  if (!info) return nullptr;
  DWORD size = SizeofResource(module, info);
  if (size == 0) return nullptr;
  HGLOBAL loaded = LoadResource(module, info);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return nullptr;
  if (TGPImage image = LoadGPImageFromPng(data, size)) return image;

  kit::Global memory(GlobalAlloc(GMEM_MOVEABLE, size));  // ours until the stream takes it over
  if (!memory) return nullptr;
  void* target = GlobalLock(memory.Get());
  if (!target) return nullptr;
  std::memcpy(target, data, size);
  GlobalUnlock(memory.Get());

  // The stream frees the memory when its last reference goes, which is the
  // image's once ours goes.
  kit::ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory.Get(), TRUE, stream.Out()))) return nullptr;
  memory.Release();
  TGPImage image(GdiplusNew<Gdiplus::Image>(stream.Get(), FALSE));
  if (!image || image->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return image;
}

namespace {

// Chunks after which GDI+ may show other colours than the stored samples.
bool ColourManaged(const png::TPngImage& image) {
  for (int i = 0; i < image.Chunks().Count(); ++i) {
    const std::string name = image.Chunks().GetItem(i)->Name();
    if (name == "gAMA" || name == "cHRM" || name == "sRGB" || name == "iCCP" || name == "sBIT" || name == "tRNS")
      return true;
  }
  return false;
}

}  // namespace

TGPImage LoadGPImageFromPng(const void* data, std::size_t size) {
  static const unsigned char kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
  if (!data || size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0) return nullptr;
  png::TPngImage png;
  try {
    png::TPngMemoryStream stream(static_cast<const std::uint8_t*>(data), size);
    png.LoadFromStream(stream);
  } catch (const std::exception&) {
    return nullptr;  // GDI+ decides what it makes of it
  }
  if (!png.HasHeader()) return nullptr;
  const png::TChunkIHDR& header = png.HeaderChunk();
  const bool alpha = header.ColourType == 6;
  if (header.BitDepth != 8 || (header.ColourType != 2 && !alpha) || !header.Bits || ColourManaged(png))
    return nullptr;
  const int width = int(header.Width), height = int(header.Height);
  TGPImage image(GdiplusNew<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB));
  auto* bitmap = static_cast<Gdiplus::Bitmap*>(image.get());
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Rect all(0, 0, width, height);
  Gdiplus::BitmapData pixels{};
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &pixels) != Gdiplus::Ok)
    return nullptr;
  for (int y = 0; y < height; ++y) {
    // The decoded rows are blue, green, red; alpha lies in a plane of its own.
    const std::uint8_t* source = png.ImageRow(std::uint32_t(y));
    const std::uint8_t* opacity = alpha ? png.AlphaRow(std::uint32_t(y)) : nullptr;
    auto* target = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(pixels.Scan0) +
                                                    std::ptrdiff_t(y) * pixels.Stride);
    for (int x = 0; x < width; ++x, source += 3)
      target[x] = std::uint32_t(opacity ? opacity[x] : 255) << 24 | std::uint32_t(source[2]) << 16 |
                  std::uint32_t(source[1]) << 8 | source[0];
  }
  if (bitmap->UnlockBits(&pixels) != Gdiplus::Ok) return nullptr;
  return image;
}

}  // namespace components
