// Pixel access, resizing and alpha blending of the decoded image.
#include <algorithm>
#include <cstring>
#include <new>

#include "PngImage.h"

namespace png {
using namespace core;  // the codec raises its own failures

namespace {
uint8_t Blend(int source, int alpha, int old) {
  return uint8_t((source * alpha + (255 - alpha) * old + 255) >> 8);
}

// The palette entry nearest to the colour among the first `limit` entries.
uint8_t NearestPaletteIndex(const TPngPalette& palette, size_t limit, TPngColour rgb) {
  size_t best = 0;
  long bestDistance = -1;
  for (size_t i = 0; i < palette.size() && i < limit; ++i) {
    const long dr = long(palette[i].Red) - PngRed(rgb);
    const long dg = long(palette[i].Green) - PngGreen(rgb);
    const long db = long(palette[i].Blue) - PngBlue(rgb);
    const long distance = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return uint8_t(best);
}
}  // namespace

TPngColour TPngImage::PackedPixelColour(const TChunkIHDR& h, const uint8_t* row, uint32_t x) const {
  const int b = h.BitsPerPixel();
  const uint8_t index = PackedSample(row, x, b);
  if (h.ColourType == 3) {
    // The table holds the palette already gamma-corrected, and repeats entry 0
    // past the palette, exactly as the image draws.
    const TPngRgbQuad& q = h.BitmapInfo.Colours[index];
    return PngRgb(q.Red, q.Green, q.Blue);
  }
  const uint8_t level = b == 1 ? (index ? 255 : 0) : uint8_t(index * ((1 << b) + 1));
  const uint8_t g = DecodeGamma[level];
  return PngRgb(g, g, g);
}

TPngColour TPngImage::GetPixelColour(int x, int y) const {
  if (!HasHeader()) return 0;
  const TChunkIHDR& h = HeaderChunk();
  if (!h.Bits || x < 0 || y < 0 || uint32_t(x) >= h.Width || uint32_t(y) >= h.Height) return 0;
  const uint8_t* row = h.ImageRow(uint32_t(y));
  switch (h.ColourType) {
    case 0:
    case 3:
      return PackedPixelColour(h, row, uint32_t(x));
    case 4:
      return row[x] * 65793u;
    default: {
      const uint8_t* p = row + 3 * size_t(x);
      return PngRgb(p[2], p[1], p[0]);
    }
  }
}

void TPngImage::SetPixelColour(int x, int y, TPngColour rgb) {
  if (!HasHeader()) return;
  TChunkIHDR& h = HeaderChunk();
  if (!h.Bits || x < 0 || y < 0 || uint32_t(x) >= h.Width || uint32_t(y) >= h.Height) return;
  uint8_t* row = h.ImageRow(uint32_t(y));
  switch (h.ColourType) {
    case 0:
    case 3: {
      const int b = h.BitsPerPixel();
      SetPackedSample(row, uint32_t(x), b, NearestPaletteIndex(h.Palette, size_t(1) << b, rgb));
      break;
    }
    case 4:
      row[x] = PngRed(rgb);
      break;
    default: {
      uint8_t* p = row + 3 * size_t(x);
      p[2] = PngRed(rgb);
      p[1] = PngGreen(rgb);
      p[0] = PngBlue(rgb);
    }
  }
  if (const TChunktRNS* key = ColourKey(); key && !h.KeyMask.empty())
    h.SetKeyAt(uint32_t(x), uint32_t(y), key->IsKeyInMemory(uint32_t(x), uint32_t(y)));
}

bool TPngImage::IsKeyPixel(int x, int y) const {
  if (!HasHeader()) return false;
  const TChunkIHDR& h = HeaderChunk();
  const TChunktRNS* key = ColourKey();
  if (!key || !h.Bits || x < 0 || y < 0 || uint32_t(x) >= h.Width || uint32_t(y) >= h.Height) return false;
  return h.KeyMask.empty() ? key->IsKeyInMemory(uint32_t(x), uint32_t(y)) : h.KeyAt(uint32_t(x), uint32_t(y));
}

const uint8_t* TPngImage::KeyMask() {
  if (!HasHeader()) return nullptr;
  TChunkIHDR& h = HeaderChunk();
  const TChunktRNS* key = ColourKey();
  if (!key || !h.Bits) return nullptr;
  if (h.KeyMask.empty()) {
    try {
      h.KeyMask.assign(TChunkIHDR::StrideFor(1, h.Width) * h.Height, 0);
    } catch (const std::bad_alloc&) {
      throw EPNGOutMemory();
    }
    for (uint32_t y = 0; y < h.Height; ++y)
      for (uint32_t x = 0; x < h.Width; ++x)
        if (key->IsKeyInMemory(x, y)) h.SetKeyAt(x, y, true);
  }
  return h.KeyMask.data();
}

void TPngImage::ChangeSize(int newWidth, int newHeight) {
  if (newWidth < 1 || newHeight < 1) throw EPNGInvalidNewSize();
  TChunkIHDR& h = HeaderChunk();
  if (!h.Bits) throw EPNGHeaderNotPresent();
  if (newWidth > 65535 || newHeight > 65535 || uint64_t(newWidth) * uint64_t(newHeight) > MaxPixels)
    throw EPNGInvalidNewSize();
  const uint32_t nw = uint32_t(newWidth), nh = uint32_t(newHeight);
  const size_t newStride = TChunkIHDR::StrideFor(h.BitsPerPixel(), nw);
  const size_t rowCopy = std::min(newStride, h.Stride);
  const uint32_t rows = std::min(nh, h.Height);

  const TPngBitmapHeader oldInfo = h.BitmapInfo.Header;
  h.BitmapInfo.Header.Width = int32_t(nw);
  h.BitmapInfo.Header.Height = int32_t(nh);
  std::unique_ptr<TPngImageSurface> surface;
  std::vector<uint8_t> alpha, low, key;
  try {
    surface = CreateSurface(h, newStride * nh);
    if (!surface || !surface->Bits()) throw std::bad_alloc();
    if (!h.AlphaPlane.empty()) alpha.assign(size_t(nw) * nh, 255);
    if (!h.LowBytePlane.empty()) low.assign(newStride * nh, 0);
    if (!h.KeyMask.empty()) key.assign(TChunkIHDR::StrideFor(1, nw) * nh, 0);
  } catch (const std::bad_alloc&) {
    h.BitmapInfo.Header = oldInfo;
    throw EPNGOutMemory();
  }
  uint8_t* bits = surface->Bits();
  for (uint32_t y = 0; y < rows; ++y) {
    std::memcpy(bits + newStride * (nh - 1 - y), h.ImageRow(y), rowCopy);
    if (!alpha.empty())
      std::memcpy(alpha.data() + size_t(y) * nw, h.AlphaRow(y), std::min(nw, h.Width));
    if (!low.empty()) std::memcpy(low.data() + newStride * (nh - 1 - y), h.LowByteRow(y), rowCopy);
  }
  const uint32_t oldWidth = h.Width, oldHeight = h.Height;
  h.Surface = std::move(surface);
  h.Bits = bits;
  h.Stride = newStride;
  h.Width = nw;
  h.Height = nh;
  h.AlphaPlane = std::move(alpha);
  h.LowBytePlane = std::move(low);
  // Kept pixels keep their key; the new ones are matched as they stand.
  std::swap(h.KeyMask, key);
  if (const TChunktRNS* trns = ColourKey(); trns && !h.KeyMask.empty()) {
    for (uint32_t y = 0; y < nh; ++y)
      for (uint32_t x = 0; x < nw; ++x) {
        const bool kept = x < oldWidth && y < oldHeight;
        h.SetKeyAt(x, y,
                   kept ? (key[TChunkIHDR::KeyByte(oldWidth, oldHeight, x, y)] & TChunkIHDR::KeyBit(x)) != 0
                        : trns->IsKeyInMemory(x, y));
      }
  }
  SurfaceResized(h);
}

void TPngImage::BlendOver(uint8_t* area, int width, int height) const {
  if (!HasHeader() || width <= 0 || height <= 0) return;
  const TChunkIHDR& h = HeaderChunk();
  if (!h.Bits) return;
  const bool stretch = uint32_t(width) != h.Width || uint32_t(height) != h.Height;
  const double columnRatio = stretch ? double(width) / h.Width : 1.0;
  const double rowRatio = stretch ? double(height) / h.Height : 1.0;
  const TChunktRNS* trns = chunks_.ItemFromClass<TChunktRNS>();
  const int b = h.BitsPerPixel();
  for (int y = 0; y < height; ++y) {
    const uint32_t sy = std::min(uint32_t(y / rowRatio), h.Height - 1);
    const uint8_t* row = h.ImageRow(sy);
    const uint8_t* alpha = h.AlphaPlane.empty() ? nullptr : h.AlphaPlane.data() + size_t(sy) * h.Width;
    uint8_t* out = area + size_t(y) * size_t(width) * 4;
    for (int x = 0; x < width; ++x, out += 4) {
      const uint32_t sx = std::min(uint32_t(x / columnRatio), h.Width - 1);
      switch (h.ColourType) {
        case 2:
        case 6: {
          const uint8_t* p = row + 3 * size_t(sx);
          const int a = alpha ? alpha[sx] : 255;
          if (a == 0) break;
          if (a == 255) {
            out[0] = p[0]; out[1] = p[1]; out[2] = p[2];
            break;
          }
          for (int c = 0; c < 3; ++c) out[c] = Blend(p[c], a, out[c]);
          break;
        }
        case 4: {
          const int a = alpha[sx];
          for (int c = 0; c < 3; ++c) out[c] = Blend(row[sx], a, out[c]);
          break;
        }
        default: {
          const uint8_t index = PackedSample(row, sx, b);
          const int a = h.ColourType == 3 && trns ? trns->AlphaTable[index] : 255;
          const TPngRgbQuad& q = h.BitmapInfo.Colours[index];
          out[0] = Blend(q.Blue, a, out[0]);
          out[1] = Blend(q.Green, a, out[1]);
          out[2] = Blend(q.Red, a, out[2]);
        }
      }
    }
  }
}

}  // namespace png
