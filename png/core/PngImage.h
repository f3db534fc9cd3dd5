// The portable PNG image: the chunk list in file order, the image settings and
// the gamma tables. The Windows picture class derives from it and adds drawing.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "PngChunks.h"

namespace png {

class TPngImage;

// Growable array of chunk pointers; the image owns the chunks it holds.
class TPNGPointerList {
public:
  explicit TPNGPointerList(TPngImage& owner) : owner_(owner) {}
  virtual ~TPNGPointerList() = default;

  TPngImage& Owner() const { return owner_; }
  int Count() const { return int(items_.size()); }
  void Add(TChunk* item) { items_.push_back(item); }
  // Takes the last slot that holds the item out of the list; nullptr when absent.
  virtual TChunk* Remove(TChunk* item);
  TChunk* GetItem(int index) const;
  void SetItem(int index, TChunk* item);
  // New slots are empty; the count becomes the size.
  void SetSize(int size) { items_.resize(size_t(size < 0 ? 0 : size), nullptr); }

private:
  TPngImage& owner_;
  std::vector<TChunk*> items_;
};

class TPNGList : public TPNGPointerList {
public:
  using TPNGPointerList::TPNGPointerList;
  // The first chunk whose class is, or derives from, T.
  template <class T>
  T* ItemFromClass() const {
    for (int i = 0; i < Count(); ++i)
      if (T* found = dynamic_cast<T*>(GetItem(i))) return found;
    return nullptr;
  }
};

enum TPngFilter : uint8_t { pfNone = 0, pfSub = 1, pfUp = 2, pfAverage = 3, pfPaeth = 4 };
// A set of filters, one bit per TPngFilter.
using TPngFilters = uint8_t;
constexpr TPngFilters FilterBit(TPngFilter f) { return TPngFilters(1u << f); }

enum class TTransparencyKind { None, SingleColour, PerPixel };

class TPngImage {
public:
  // Largest image the decoder accepts, in pixels; the pixel, alpha and
  // low-byte planes of such an image already take several hundred megabytes.
  static constexpr uint64_t MaxPixels = uint64_t(64) << 20;

  TPngImage();
  virtual ~TPngImage();
  TPngImage(const TPngImage&) = delete;
  TPngImage& operator=(const TPngImage&) = delete;

  // Image settings; they survive ClearChunks.
  TPngFilters EncodeFilters = FilterBit(pfSub);
  uint8_t DeflateLevel = 7;
  uint8_t Interlacing = 0;  // 0 none, 1 Adam7
  int32_t MaxDataChunkSize() const { return maxDataChunkSize_; }
  void SetMaxDataChunkSize(int32_t value) { maxDataChunkSize_ = value > 65534 ? value : 65535; }

  std::array<uint8_t, 256> DecodeGamma{};
  std::array<uint8_t, 256> EncodeGamma{};
  void ResetGamma();

  TPNGList& Chunks() { return chunks_; }
  const TPNGList& Chunks() const { return chunks_; }
  void ClearChunks();

  void LoadFromStream(TPngStream& stream);
  void SaveToStream(TPngStream& stream);
  void CopyPicture(const TPngImage& source);

  bool HasHeader() const;
  TChunkIHDR& HeaderChunk() const;
  uint32_t Width() const { return HasHeader() ? HeaderChunk().Width : 0; }
  uint32_t Height() const { return HasHeader() ? HeaderChunk().Height : 0; }
  bool Empty() const { return chunks_.Count() == 0; }
  TTransparencyKind TransparencyKind() const;
  TPngColour TransparentColour() const;
  // The tRNS chunk of an image drawn with a colour key; null for other kinds.
  const TChunktRNS* ColourKey() const;
  // Bits per pixel of a bitmap that can show the image: 1, 4, 8 or 24.
  int BitmapBitsPerPixel() const;

  uint8_t* ImageRow(uint32_t y) const;
  uint8_t* AlphaRow(uint32_t y) const;  // nullptr without an alpha plane
  uint8_t* LowByteRow(uint32_t y) const;

  // Outside the image the getter answers 0 and the setter does nothing.
  TPngColour GetPixelColour(int x, int y) const;
  void SetPixelColour(int x, int y, TPngColour rgb);

  // Whether a colour-key image shows the background at the pixel: decoded
  // pixels compare their stored samples with the key, all bits of them and
  // before gamma. False outside the image and for other kinds.
  bool IsKeyPixel(int x, int y) const;
  // The key plane of a colour-key image (TChunkIHDR::KeyMask), built from the
  // pixels in memory when decoding did not fill it; null for other kinds.
  const uint8_t* KeyMask();

  void ChangeSize(int newWidth, int newHeight);
  void SetWidth(int width) { ChangeSize(width, int(Height())); }
  void SetHeight(int height) { ChangeSize(int(Width()), height); }

  void SetPalette(const TPngPalette& palette) { DoSetPalette(palette, true); }
  void DoSetPalette(const TPngPalette& palette, bool copyColours);

  // Blends the image with its alpha over a W x H area of 32-bit pixels (blue,
  // green, red, unused; rows top-down), stretched to fit.
  void BlendOver(uint8_t* area, int width, int height) const;

  // Replaces the chunks with IHDR [PLTE] [tRNS] IDAT IEND for a bitmap of the
  // given size and bits per pixel; fillRows puts the bitmap's rows and colour
  // table into the prepared header.
  void AssignFromBitmap(uint32_t width, uint32_t height, int bitsPerPixel,
                        const std::function<void(TChunkIHDR&)>& fillRows, bool transparent,
                        TPngColour transparentColour);

  // Hooks for the Windows picture.
  virtual std::unique_ptr<TPngImageSurface> CreateSurface(TChunkIHDR& header, size_t bytes);
  virtual void PaletteInstalled(TChunkIHDR& header) {}
  virtual void SurfaceResized(TChunkIHDR& header) {}

private:
  TPngColour PackedPixelColour(const TChunkIHDR& header, const uint8_t* row, uint32_t x) const;

  int32_t maxDataChunkSize_ = 65535;
  TPNGList chunks_;
};

// The index of pixel x in a packed row of b bits per pixel (1, 4 or 8).
inline uint8_t PackedSample(const uint8_t* row, uint32_t x, int b) {
  uint32_t perByte = 8 / b;
  int shift = 8 - b - b * int(x % perByte);
  return uint8_t((row[x / perByte] >> shift) & ((1u << b) - 1));
}
inline void SetPackedSample(uint8_t* row, uint32_t x, int b, uint8_t value) {
  uint32_t perByte = 8 / b;
  int shift = 8 - b - b * int(x % perByte);
  uint8_t mask = uint8_t(((1u << b) - 1) << shift);
  row[x / perByte] = uint8_t((row[x / perByte] & ~mask) | ((value << shift) & mask));
}

}  // namespace png
