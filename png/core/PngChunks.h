// The chunk layer: one object per chunk of a PNG file, a registry from chunk
// type to class, and the CRC the chunks are checked with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PngErrors.h"
#include "PngStream.h"

namespace png {

class TPngImage;
class TChunkIHDR;

// 32-bit colour value with red in the low byte, then green, then blue.
using TPngColour = uint32_t;
inline TPngColour PngRgb(uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (uint32_t(b) << 16); }
inline uint8_t PngRed(TPngColour c) { return uint8_t(c); }
inline uint8_t PngGreen(TPngColour c) { return uint8_t(c >> 8); }
inline uint8_t PngBlue(TPngColour c) { return uint8_t(c >> 16); }

// CRC-32 of the PNG standard. Start from 0xFFFFFFFF and complement the result.
uint32_t UpdateCrc(uint32_t crc, const void* bytes, size_t count);

// The decoded image is a device-independent bitmap: these three records have
// the platform's layout, so the Windows picture hands them to GDI as they are.
struct TPngBitmapHeader {
  uint32_t Size;
  int32_t Width;
  int32_t Height;  // positive: rows lie bottom-up
  uint16_t Planes;
  uint16_t BitCount;
  uint32_t Compression;
  uint32_t SizeImage;
  int32_t XPelsPerMeter;
  int32_t YPelsPerMeter;
  uint32_t ClrUsed;
  uint32_t ClrImportant;
};
struct TPngRgbQuad {
  uint8_t Blue, Green, Red, Reserved;
};
struct TPngBitmapInfo {
  TPngBitmapHeader Header;
  TPngRgbQuad Colours[256];
};
static_assert(sizeof(TPngBitmapHeader) == 40, "bitmap header layout");
static_assert(sizeof(TPngBitmapInfo) == 40 + 256 * 4, "bitmap info layout");

// A logical palette entry, in the platform's order.
struct TPngPaletteEntry {
  uint8_t Red, Green, Blue, Flags;
};
using TPngPalette = std::vector<TPngPaletteEntry>;

// Pixel storage of one decoded image, all zero when made. The default lives on
// the heap; the Windows picture keeps the pixels in a DIB section instead.
class TPngImageSurface {
public:
  virtual ~TPngImageSurface() = default;
  virtual uint8_t* Bits() = 0;
};

class TChunk;
struct TChunkClass {
  const char* ClassName;  // "TChunkIHDR"
  TChunk* (*Create)(TPngImage& owner);
  // The class name from its 7th character: "IHDR"; empty for TChunk itself.
  std::string ChunkTypeOfClass() const;
};

class TChunk {
public:
  static const TChunkClass Class;
  explicit TChunk(TPngImage& owner) : TChunk(owner, Class) {}
  virtual ~TChunk() = default;
  TChunk(const TChunk&) = delete;
  TChunk& operator=(const TChunk&) = delete;

  virtual const TChunkClass& ChunkClass() const { return Class; }
  virtual void Assign(const TChunk& source);
  // Reads the chunk's data and CRC; the length and name are already read.
  virtual bool LoadFromStream(TPngStream& stream, const char* name, uint32_t size);
  virtual bool SaveToStream(TPngStream& stream);

  TPngImage& Owner() const { return owner_; }
  std::string Name() const { return std::string(name_, 4); }
  void SetName(const char* name);
  bool IsCritical() const { return (name_[0] & 0x20) == 0; }

  uint8_t* Data() { return data_.data(); }
  const uint8_t* Data() const { return data_.data(); }
  int32_t DataSize() const { return int32_t(data_.size() - 1); }
  void ResizeData(size_t size);
  void SetData(const void* bytes, size_t size);

  // The owner's first chunk, the header.
  TChunkIHDR& Header() const;

protected:
  // Takes the chunk type of the class as its name when that has 4 characters.
  TChunk(TPngImage& owner, const TChunkClass& chunkClass);

  // Set by a load that could not interpret the data: save then writes the
  // bytes as read instead of rebuilding them from the fields.
  bool keepRawData_ = false;

private:
  TPngImage& owner_;
  char name_[4] = {0, 0, 0, 0};
  std::vector<uint8_t> data_;  // one byte longer than the data
};

class TChunkIEND : public TChunk {
public:
  static const TChunkClass Class;
  explicit TChunkIEND(TPngImage& owner) : TChunk(owner, Class) {}
  const TChunkClass& ChunkClass() const override { return Class; }
};

class TChunkIHDR : public TChunk {
public:
  static const TChunkClass Class;
  explicit TChunkIHDR(TPngImage& owner);
  ~TChunkIHDR() override;
  const TChunkClass& ChunkClass() const override { return Class; }
  void Assign(const TChunk& source) override;
  bool LoadFromStream(TPngStream& stream, const char* name, uint32_t size) override;
  bool SaveToStream(TPngStream& stream) override;

  uint32_t Width = 0, Height = 0;
  uint8_t BitDepth = 0, ColourType = 0, CompressionMethod = 0, FilterMethod = 0,
          InterlaceMethod = 0;

  // The in-memory image (see PrepareImage).
  TPngBitmapInfo BitmapInfo{};
  TPngPalette Palette;       // the logical palette; empty without one
  bool HasPalette = false;
  uint32_t ColourCount = 0;  // palette entries copied into the colour table
  size_t Stride = 0;
  uint8_t* Bits = nullptr;
  std::vector<uint8_t> AlphaPlane;    // colour types 4 and 6, top-down
  std::vector<uint8_t> LowBytePlane;  // bit depth 16, laid out like Bits
  // Colour-key images: one bit a pixel, set where the pixel is the key and
  // shows the background, laid out as a monochrome bitmap (bottom-up rows,
  // most significant bit first). Decoding fills it from the stored samples;
  // empty until then (TPngImage::KeyMask builds it when asked).
  std::vector<uint8_t> KeyMask;
  std::unique_ptr<TPngImageSurface> Surface;

  // Bits per pixel of the in-memory image: 1, 4, 8 or 24.
  int BitsPerPixel() const;
  static size_t StrideFor(int bitsPerPixel, uint32_t width) {
    return ((size_t(bitsPerPixel) * width + 31) >> 5) * 4;
  }
  // Row y counted from the top.
  uint8_t* ImageRow(uint32_t y) const { return Bits + Stride * (Height - 1 - y); }
  uint8_t* LowByteRow(uint32_t y) { return LowBytePlane.data() + Stride * (Height - 1 - y); }
  uint8_t* AlphaRow(uint32_t y) { return AlphaPlane.data() + size_t(y) * Width; }
  // Where pixel (x, y) lies in a key plane of the given size.
  static size_t KeyByte(uint32_t width, uint32_t height, uint32_t x, uint32_t y) {
    return StrideFor(1, width) * (height - 1 - y) + x / 8;
  }
  static uint8_t KeyBit(uint32_t x) { return uint8_t(0x80u >> (x % 8)); }
  bool KeyAt(uint32_t x, uint32_t y) const { return KeyMask[KeyByte(Width, Height, x, y)] & KeyBit(x); }
  void SetKeyAt(uint32_t x, uint32_t y, bool key) {
    uint8_t& byte = KeyMask[KeyByte(Width, Height, x, y)];
    byte = key ? uint8_t(byte | KeyBit(x)) : uint8_t(byte & ~KeyBit(x));
  }

  // (Re)builds the empty image for the current fields.
  void PrepareImage();
  void FreeImage();
  TPngPalette GrayPaletteFor(int depth) const;
  void CopyPaletteToColourTable(const TPngPalette& palette);
  // Rejects sizes and colour type / bit depth pairs the codec cannot hold.
  void CheckFormat() const;
};

class TChunkPLTE : public TChunk {
public:
  static const TChunkClass Class;
  explicit TChunkPLTE(TPngImage& owner) : TChunk(owner, Class) {}
  const TChunkClass& ChunkClass() const override { return Class; }
  void Assign(const TChunk& source) override;
  bool LoadFromStream(TPngStream& stream, const char* name, uint32_t size) override;
  bool SaveToStream(TPngStream& stream) override;

  // The colour-table entry: blue in the low byte, then green, then red.
  uint32_t PaletteEntryColour(int index) const;
  uint32_t Count = 0;
};

class TChunktRNS : public TChunk {
public:
  static const TChunkClass Class;
  explicit TChunktRNS(TPngImage& owner) : TChunk(owner, Class) {}
  const TChunkClass& ChunkClass() const override { return Class; }
  void Assign(const TChunk& source) override;
  bool LoadFromStream(TPngStream& stream, const char* name, uint32_t size) override;
  bool SaveToStream(TPngStream& stream) override;

  void SetTransparentColour(TPngColour colour);
  TPngColour TransparentColourOf() const;
  // The gray or red, green and blue key as the file stores it, masked to the
  // bit depth; false when the chunk is too short to hold one.
  bool StoredKey(uint16_t (&key)[3]) const;
  // A palette index the chunk makes fully transparent.
  bool IsClearIndex(uint8_t index) const { return index < DataSize() && AlphaTable[index] == 0; }
  // Whether the pixel as held in memory is the key (for pixels that decoding
  // did not see: images made from bitmaps, edited pixels).
  bool IsKeyInMemory(uint32_t x, uint32_t y) const;

  std::array<uint8_t, 256> AlphaTable{};
  bool IsSingleColour = false;
};

class TChunkgAMA : public TChunk {
public:
  static const TChunkClass Class;
  explicit TChunkgAMA(TPngImage& owner);
  const TChunkClass& ChunkClass() const override { return Class; }
  void Assign(const TChunk& source) override;
  bool LoadFromStream(TPngStream& stream, const char* name, uint32_t size) override;

  // Gamma x 100000.
  uint32_t Value();
  void SetValue(uint32_t value);
};

class TChunkpHYs : public TChunk {
public:
  static const TChunkClass Class;
  explicit TChunkpHYs(TPngImage& owner) : TChunk(owner, Class) {}
  const TChunkClass& ChunkClass() const override { return Class; }
  void Assign(const TChunk& source) override;
  bool LoadFromStream(TPngStream& stream, const char* name, uint32_t size) override;
  bool SaveToStream(TPngStream& stream) override;

  uint32_t PixelsPerUnitX = 0, PixelsPerUnitY = 0;
  uint8_t UnitSpecifier = 0;
};

class TChunktIME : public TChunk {
public:
  static const TChunkClass Class;
  explicit TChunktIME(TPngImage& owner) : TChunk(owner, Class) {}
  const TChunkClass& ChunkClass() const override { return Class; }
  void Assign(const TChunk& source) override;
  bool LoadFromStream(TPngStream& stream, const char* name, uint32_t size) override;
  bool SaveToStream(TPngStream& stream) override;

  uint16_t Year = 0;
  uint8_t Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

class TChunktEXt : public TChunk {
public:
  static const TChunkClass Class;
  explicit TChunktEXt(TPngImage& owner) : TChunk(owner, Class) {}
  const TChunkClass& ChunkClass() const override { return Class; }
  void Assign(const TChunk& source) override;
  bool LoadFromStream(TPngStream& stream, const char* name, uint32_t size) override;
  bool SaveToStream(TPngStream& stream) override;

  const std::string& Keyword() const { return keyword_; }
  const std::string& Text() const { return text_; }
  void SetKeyword(const std::string& keyword);
  void SetText(const std::string& text);

protected:
  TChunktEXt(TPngImage& owner, const TChunkClass& chunkClass) : TChunk(owner, chunkClass) {}
  // Length of the keyword at the start of the data, bounded by the data size.
  size_t KeywordLength() const;
  std::string keyword_, text_;
};

class TChunkzTXt : public TChunktEXt {
public:
  static const TChunkClass Class;
  explicit TChunkzTXt(TPngImage& owner) : TChunktEXt(owner, Class) {}
  const TChunkClass& ChunkClass() const override { return Class; }
  bool LoadFromStream(TPngStream& stream, const char* name, uint32_t size) override;
  bool SaveToStream(TPngStream& stream) override;
};

class TChunkIDAT : public TChunk {
public:
  static const TChunkClass Class;
  explicit TChunkIDAT(TPngImage& owner) : TChunk(owner, Class) {}
  const TChunkClass& ChunkClass() const override { return Class; }
  // Decodes the whole image into the header, reading on through as many IDAT
  // chunks as the data needs.
  bool LoadFromStream(TPngStream& stream, const char* name, uint32_t size) override;
  // Encodes the whole image as one or more IDAT chunks.
  bool SaveToStream(TPngStream& stream) override;
};

// The registry from chunk type to class.
void RegisterChunkClass(const TChunkClass& chunkClass);
void RegisterStandardChunks();
void FreeChunkClassRegistry();
// The first registered class whose type equals the name exactly, else TChunk.
TChunk* CreateChunkForName(TPngImage& owner, const char* name);

// The largest chunk length the standard allows; a larger one means a broken file.
constexpr uint32_t MaxChunkLength = 0x7FFFFFFFu;

// Writes one whole chunk: length, name, data and CRC.
void WritePngChunk(TPngStream& stream, const char* name, const uint8_t* data, size_t size);

// Big-endian helpers shared by the chunk classes.
inline uint32_t ReadBigEndian32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline void WriteBigEndian32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24); p[1] = uint8_t(v >> 16); p[2] = uint8_t(v >> 8); p[3] = uint8_t(v);
}

}  // namespace png
