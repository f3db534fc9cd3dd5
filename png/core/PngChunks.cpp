#include "PngChunks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "PngImage.h"
#include "PngSpare.h"
#include "PngZlib.h"

namespace png {
using namespace core;  // the codec raises its own failures

// ---- CRC ---------------------------------------------------------------------

namespace {
// Eight tables, so the loop takes eight bytes per round.
struct CrcTables {
  uint32_t t[8][256];
  CrcTables() {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[0][n] = c;
    }
    for (int k = 1; k < 8; ++k)
      for (int n = 0; n < 256; ++n) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
  }
};

const CrcTables& Crc() {
  static const CrcTables tables;  // built on first use
  return tables;
}
}  // namespace

uint32_t UpdateCrc(uint32_t crc, const void* bytes, size_t count) {
  const auto& t = Crc().t;
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  for (; count >= 8; p += 8, count -= 8) {
    uint32_t a = crc ^ (p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24));
    uint32_t b = p[4] | (p[5] << 8) | (p[6] << 16) | (uint32_t(p[7]) << 24);
    crc = t[7][a & 0xFF] ^ t[6][(a >> 8) & 0xFF] ^ t[5][(a >> 16) & 0xFF] ^ t[4][a >> 24] ^
          t[3][b & 0xFF] ^ t[2][(b >> 8) & 0xFF] ^ t[1][(b >> 16) & 0xFF] ^ t[0][b >> 24];
  }
  for (; count; --count) crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
  return crc;
}

// ---- registry ------------------------------------------------------------------

namespace {
template <class T>
TChunk* CreateChunk(TPngImage& owner) {
  return new T(owner);
}

std::vector<const TChunkClass*> StandardRegistry() {
  return {&TChunkIEND::Class, &TChunkIHDR::Class, &TChunkIDAT::Class, &TChunkPLTE::Class,
          &TChunkgAMA::Class, &TChunktRNS::Class, &TChunkpHYs::Class, &TChunktIME::Class,
          &TChunktEXt::Class, &TChunkzTXt::Class};
}

std::vector<const TChunkClass*>& Registry() {
  static std::vector<const TChunkClass*> registry = StandardRegistry();
  return registry;
}

void CheckSameClass(const TChunk& target, const TChunk& source) {
  if (&target.ChunkClass() != &source.ChunkClass()) throw EPngError(PngMessages::ChunksNotCompatible);
}
}  // namespace

void WritePngChunk(TPngStream& stream, const char* name, const uint8_t* data, size_t size) {
  uint8_t head[8];
  WriteBigEndian32(head, uint32_t(size));
  std::memcpy(head + 4, name, 4);
  uint32_t crc = UpdateCrc(0xFFFFFFFFu, name, 4);
  crc = ~UpdateCrc(crc, data, size);
  uint8_t tail[4];
  WriteBigEndian32(tail, crc);
  stream.Write(head, 8);
  if (size) stream.Write(data, size);
  stream.Write(tail, 4);
}

std::string TChunkClass::ChunkTypeOfClass() const {
  std::string name = ClassName;
  return name.size() > 6 ? name.substr(6) : std::string();
}

void RegisterChunkClass(const TChunkClass& chunkClass) { Registry().push_back(&chunkClass); }

void RegisterStandardChunks() {
  for (const TChunkClass* c : StandardRegistry()) RegisterChunkClass(*c);
}

void FreeChunkClassRegistry() { Registry().clear(); }

TChunk* CreateChunkForName(TPngImage& owner, const char* name) {
  for (const TChunkClass* c : Registry()) {
    // The type is the class name from its 7th character: "TChunkIHDR".
    if (std::strlen(c->ClassName) == 10 && std::memcmp(c->ClassName + 6, name, 4) == 0) {
      TChunk* chunk = c->Create(owner);
      chunk->SetName(name);
      return chunk;
    }
  }
  TChunk* chunk = new TChunk(owner);
  chunk->SetName(name);
  return chunk;
}

const TChunkClass TChunk::Class = {"TChunk", &CreateChunk<TChunk>};
const TChunkClass TChunkIEND::Class = {"TChunkIEND", &CreateChunk<TChunkIEND>};
const TChunkClass TChunkIHDR::Class = {"TChunkIHDR", &CreateChunk<TChunkIHDR>};
const TChunkClass TChunkIDAT::Class = {"TChunkIDAT", &CreateChunk<TChunkIDAT>};
const TChunkClass TChunkPLTE::Class = {"TChunkPLTE", &CreateChunk<TChunkPLTE>};
const TChunkClass TChunkgAMA::Class = {"TChunkgAMA", &CreateChunk<TChunkgAMA>};
const TChunkClass TChunktRNS::Class = {"TChunktRNS", &CreateChunk<TChunktRNS>};
const TChunkClass TChunkpHYs::Class = {"TChunkpHYs", &CreateChunk<TChunkpHYs>};
const TChunkClass TChunktIME::Class = {"TChunktIME", &CreateChunk<TChunktIME>};
const TChunkClass TChunktEXt::Class = {"TChunktEXt", &CreateChunk<TChunktEXt>};
const TChunkClass TChunkzTXt::Class = {"TChunkzTXt", &CreateChunk<TChunkzTXt>};

// ---- TChunk --------------------------------------------------------------------

TChunk::TChunk(TPngImage& owner, const TChunkClass& chunkClass) : owner_(owner), data_(1, 0) {
  std::string type = chunkClass.ChunkTypeOfClass();
  if (type.size() == 4) std::memcpy(name_, type.data(), 4);
}

void TChunk::SetName(const char* name) { std::memcpy(name_, name, 4); }

void TChunk::ResizeData(size_t size) { data_.resize(size + 1, 0); }

void TChunk::SetData(const void* bytes, size_t size) {
  ResizeData(size);
  if (size) std::memcpy(data_.data(), bytes, size);
}

TChunkIHDR& TChunk::Header() const { return owner_.HeaderChunk(); }

void TChunk::Assign(const TChunk& source) {
  std::memcpy(name_, source.name_, 4);
  data_ = source.data_;
  keepRawData_ = source.keepRawData_;
}

bool TChunk::LoadFromStream(TPngStream& stream, const char* name, uint32_t size) {
  // A chunk running past the end of the stream has no CRC to read, which
  // counts as a mismatch; nothing is allocated for the missing bytes.
  if (uint64_t(size) + 4 > stream.Remaining()) throw EPngInvalidCRC();
  ResizeData(size);
  if (size) stream.Read(Data(), size);
  uint8_t stored[4];
  stream.ReadExact(stored, 4);
  uint32_t crc = ~UpdateCrc(UpdateCrc(0xFFFFFFFFu, name, 4), Data(), size);
  if (crc != ReadBigEndian32(stored)) throw EPngInvalidCRC();
  return true;
}

bool TChunk::SaveToStream(TPngStream& stream) {
  WritePngChunk(stream, name_, Data(), size_t(DataSize()));
  return true;
}

// ---- IHDR ----------------------------------------------------------------------

TChunkIHDR::TChunkIHDR(TPngImage& owner) : TChunk(owner, Class) {}

TChunkIHDR::~TChunkIHDR() { FreeImage(); }

bool TChunkIHDR::LoadFromStream(TPngStream& stream, const char* name, uint32_t size) {
  if (!TChunk::LoadFromStream(stream, name, size)) return false;
  if (DataSize() < 13) throw EPngInvalidIHDR();
  // The fields change only once the header is known to be good, so a failed
  // load leaves an empty header behind rather than one without an image.
  const uint8_t* d = Data();
  const uint32_t width = ReadBigEndian32(d), height = ReadBigEndian32(d + 4);
  if (width > 65535 || height > 65535) throw EPNGSizeExceeds();
  if (d[10] != 0) throw EPNGUnknownCompression();
  if (d[12] > 1) throw EPNGUnknownInterlace();
  Width = width;
  Height = height;
  BitDepth = d[8];
  ColourType = d[9];
  CompressionMethod = d[10];
  FilterMethod = d[11];
  InterlaceMethod = d[12];
  try {
    CheckFormat();
  } catch (...) {
    Width = Height = 0;
    throw;
  }
  Owner().Interlacing = InterlaceMethod;
  PrepareImage();
  return true;
}

bool TChunkIHDR::SaveToStream(TPngStream& stream) {
  if (BitDepth == 2) BitDepth = 4;  // the image is held at 4 bits per pixel
  uint8_t d[13];
  WriteBigEndian32(d, Width);
  WriteBigEndian32(d + 4, Height);
  d[8] = BitDepth;
  d[9] = ColourType;
  d[10] = CompressionMethod;
  d[11] = FilterMethod;
  d[12] = Owner().Interlacing ? 1 : 0;
  SetData(d, sizeof d);
  return TChunk::SaveToStream(stream);
}

void TChunkIHDR::Assign(const TChunk& source) {
  CheckSameClass(*this, source);
  const auto& s = static_cast<const TChunkIHDR&>(source);
  Width = s.Width;
  Height = s.Height;
  BitDepth = s.BitDepth;
  ColourType = s.ColourType;
  CompressionMethod = s.CompressionMethod;
  FilterMethod = s.FilterMethod;
  InterlaceMethod = s.InterlaceMethod;
  PrepareImage();
  if (s.Bits) std::memcpy(Bits, s.Bits, Stride * Height);
  AlphaPlane = s.AlphaPlane;
  LowBytePlane = s.LowBytePlane;
  KeyMask = s.KeyMask;
  std::memcpy(BitmapInfo.Colours, s.BitmapInfo.Colours, sizeof BitmapInfo.Colours);
  ColourCount = s.ColourCount;
  if (HasPalette) {
    Palette = s.Palette;
    Owner().PaletteInstalled(*this);
  }
}

int TChunkIHDR::BitsPerPixel() const {
  if (ColourType == 2 || ColourType == 6) return 24;
  if (BitDepth == 2) return 4;
  if (BitDepth == 16) return 8;
  return BitDepth;
}

void TChunkIHDR::CheckFormat() const {
  if (Width == 0 || Height == 0) throw EPngInvalidIHDR();
  if (Width > 65535 || Height > 65535 || uint64_t(Width) * Height > TPngImage::MaxPixels)
    throw EPNGSizeExceeds();
  bool legal;
  switch (ColourType) {
    case 0: legal = BitDepth == 1 || BitDepth == 2 || BitDepth == 4 || BitDepth == 8 || BitDepth == 16; break;
    case 3: legal = BitDepth == 1 || BitDepth == 2 || BitDepth == 4 || BitDepth == 8; break;
    case 2: case 4: case 6: legal = BitDepth == 8 || BitDepth == 16; break;
    default: legal = false;
  }
  if (!legal) throw EPngInvalidIHDR();
}

void TChunkIHDR::FreeImage() {
  Surface.reset();
  Bits = nullptr;
  AlphaPlane.clear();
  AlphaPlane.shrink_to_fit();
  LowBytePlane.clear();
  LowBytePlane.shrink_to_fit();
  KeyMask.clear();
  KeyMask.shrink_to_fit();
  Palette.clear();
}

void TChunkIHDR::PrepareImage() {
  BitmapInfo = TPngBitmapInfo{};
  FreeImage();
  ColourCount = 0;
  CheckFormat();
  const int bpp = BitsPerPixel();
  HasPalette = ColourType == 0 || ColourType == 3 || ColourType == 4;
  TPngBitmapHeader& h = BitmapInfo.Header;
  h.Size = sizeof(TPngBitmapHeader);
  h.Width = int32_t(Width);
  h.Height = int32_t(Height);
  h.Planes = 1;
  h.BitCount = uint16_t(bpp);
  Stride = StrideFor(bpp, Width);
  if (HasPalette) {
    // Palette images start black until their PLTE arrives.
    TPngPalette palette = ColourType == 3 ? TPngPalette() : GrayPaletteFor(BitDepth);
    palette.resize(size_t(1) << bpp, TPngPaletteEntry{0, 0, 0, 0});
    h.ClrUsed = uint32_t(palette.size());
    Palette = palette;
    CopyPaletteToColourTable(Palette);
  }
  try {
    if (ColourType == 4 || ColourType == 6) AlphaPlane.assign(size_t(Width) * Height, 0);
    if (BitDepth == 16) LowBytePlane.assign(Stride * Height, 0);
    Surface = Owner().CreateSurface(*this, Stride * Height);
  } catch (const std::bad_alloc&) {
    FreeImage();
    throw EPNGOutMemory();
  }
  if (!Surface || !Surface->Bits()) {
    FreeImage();
    throw EPNGOutMemory();
  }
  Bits = Surface->Bits();
  if (HasPalette) Owner().PaletteInstalled(*this);
}

TPngPalette TChunkIHDR::GrayPaletteFor(int depth) const {
  const int entries = depth >= 8 ? 256 : 1 << depth;
  // 255 divides evenly by 1, 3, 15 and 255: the levels need no rounding.
  const int step = 255 / (entries - 1);
  const auto& gamma = Owner().DecodeGamma;
  TPngPalette palette(static_cast<size_t>(entries));
  for (int i = 0; i < entries; ++i) {
    const uint8_t g = gamma[size_t(i * step)];
    palette[size_t(i)] = {g, g, g, 0};
  }
  return palette;
}

void TChunkIHDR::CopyPaletteToColourTable(const TPngPalette& palette) {
  const size_t count = std::min<size_t>(palette.size(), 256);
  for (size_t i = 0; i < count; ++i)
    BitmapInfo.Colours[i] = {palette[i].Blue, palette[i].Green, palette[i].Red, 0};
  // Indices past the palette draw as its first entry instead of whatever the
  // table held before.
  const TPngRgbQuad fill = count ? BitmapInfo.Colours[0] : TPngRgbQuad{0, 0, 0, 0};
  for (size_t i = count; i < 256; ++i) BitmapInfo.Colours[i] = fill;
  ColourCount = uint32_t(count);
}

// ---- PLTE ----------------------------------------------------------------------

bool TChunkPLTE::LoadFromStream(TPngStream& stream, const char* name, uint32_t size) {
  if (!TChunk::LoadFromStream(stream, name, size)) return false;
  if (size % 3 != 0 || size / 3 > 256) throw EPNGInvalidPalette();
  Count = size / 3;
  const auto& gamma = Owner().DecodeGamma;
  TPngPalette palette(Count);
  for (uint32_t i = 0; i < Count; ++i) {
    const uint8_t* t = Data() + 3 * i;
    palette[i] = {gamma[t[0]], gamma[t[1]], gamma[t[2]], 0};
  }
  // A suggested palette of a true-colour image has no place in the image;
  // it is written back as read.
  keepRawData_ = !Header().HasPalette;
  Owner().SetPalette(palette);
  return true;
}

bool TChunkPLTE::SaveToStream(TPngStream& stream) {
  if (!keepRawData_) {
    const TChunkIHDR& header = Header();
    if (Count == 0) Count = header.ColourCount;
    const auto& gamma = Owner().EncodeGamma;
    ResizeData(size_t(Count) * 3);
    for (uint32_t i = 0; i < Count; ++i) {
      TPngPaletteEntry e = i < header.Palette.size() ? header.Palette[i] : TPngPaletteEntry{};
      uint8_t* t = Data() + 3 * i;
      t[0] = gamma[e.Red];
      t[1] = gamma[e.Green];
      t[2] = gamma[e.Blue];
    }
  }
  return TChunk::SaveToStream(stream);
}

void TChunkPLTE::Assign(const TChunk& source) {
  CheckSameClass(*this, source);
  Count = static_cast<const TChunkPLTE&>(source).Count;
  TChunk::Assign(source);
}

uint32_t TChunkPLTE::PaletteEntryColour(int index) const {
  if (index < 0 || uint32_t(index) >= Count) throw EPngError(PngMessages::NoSuchPaletteEntry);
  const TPngRgbQuad& q = Header().BitmapInfo.Colours[index];
  return q.Blue | (q.Green << 8) | (uint32_t(q.Red) << 16);
}

// ---- tRNS ----------------------------------------------------------------------

bool TChunktRNS::LoadFromStream(TPngStream& stream, const char* name, uint32_t size) {
  if (!TChunk::LoadFromStream(stream, name, size)) return false;
  if (size > 256) throw EPNGInvalidPalette();
  AlphaTable.fill(255);
  std::memcpy(AlphaTable.data(), Data(), size);
  const TChunkIHDR& header = Header();
  switch (header.ColourType) {
    case 0:
    case 2:
      IsSingleColour = true;
      break;
    case 3: {
      // One fully transparent entry makes a colour key; a single partly
      // transparent one needs the alpha path, or every pixel of the key
      // colour (black when none is 0) would vanish.
      int translucent = 0;
      bool hasClear = false;
      for (uint32_t i = 0; i < size; ++i) {
        if (AlphaTable[i] != 255) ++translucent;
        if (AlphaTable[i] == 0) hasClear = true;
      }
      IsSingleColour = translucent == 1 && hasClear;
      break;
    }
    default:
      IsSingleColour = false;
  }
  // A gray key counts with the bits of the depth only; below 16 bits the table
  // holds the index the image keeps, and 2-bit gray lives (and is saved) as
  // 4-bit pixels, sample x 5.
  uint16_t key[3];
  if (header.ColourType == 0 && header.BitDepth < 16 && StoredKey(key)) {
    AlphaTable[0] = 0;
    AlphaTable[1] = uint8_t(header.BitDepth == 2 ? key[0] * 5 : key[0]);
  }
  return true;
}

bool TChunktRNS::StoredKey(uint16_t (&key)[3]) const {
  const TChunkIHDR& header = Header();
  const int channels = header.ColourType == 0 ? 1 : header.ColourType == 2 ? 3 : 0;
  if (channels == 0 || DataSize() < 2 * channels) return false;
  const uint16_t mask = uint16_t((1u << header.BitDepth) - 1);
  for (int c = 0; c < channels; ++c) key[c] = uint16_t(((Data()[2 * c] << 8) | Data()[2 * c + 1]) & mask);
  return true;
}

bool TChunktRNS::IsKeyInMemory(uint32_t x, uint32_t y) const {
  TChunkIHDR& h = Header();
  const uint8_t* row = h.ImageRow(y);
  const auto& a = AlphaTable;
  switch (h.ColourType) {
    case 0:
      if (h.BitDepth == 16) return row[x] == a[0] && h.LowByteRow(y)[x] == a[1];
      return PackedSample(row, x, h.BitsPerPixel()) == a[1];
    case 2: {
      // Colour bytes are held through the gamma table; so is the key here.
      const auto& g = Owner().DecodeGamma;
      const uint8_t* p = row + 3 * size_t(x);
      if (h.BitDepth != 16) return p[2] == g[a[1]] && p[1] == g[a[3]] && p[0] == g[a[5]];
      const uint8_t* q = h.LowByteRow(y) + 3 * size_t(x);
      return p[2] == g[a[0]] && p[1] == g[a[2]] && p[0] == g[a[4]] && q[2] == g[a[1]] &&
             q[1] == g[a[3]] && q[0] == g[a[5]];
    }
    case 3:
      return IsClearIndex(PackedSample(row, x, h.BitsPerPixel()));
    default:
      return false;
  }
}

bool TChunktRNS::SaveToStream(TPngStream& stream) {
  if (DataSize() <= 256) std::memcpy(Data(), AlphaTable.data(), size_t(DataSize()));
  return TChunk::SaveToStream(stream);
}

void TChunktRNS::Assign(const TChunk& source) {
  TChunk::Assign(source);
  if (const auto* s = dynamic_cast<const TChunktRNS*>(&source)) {
    AlphaTable = s->AlphaTable;
    IsSingleColour = s->IsSingleColour;
  }
}

void TChunktRNS::SetTransparentColour(TPngColour colour) {
  const TChunkIHDR& header = Header();
  AlphaTable.fill(0);
  IsSingleColour = true;
  size_t size = 0;
  switch (header.ColourType) {
    case 0:
      AlphaTable[1] = PngRed(colour);
      size = 2;
      break;
    case 2:
      AlphaTable[1] = PngRed(colour);
      AlphaTable[3] = PngGreen(colour);
      AlphaTable[5] = PngBlue(colour);
      size = 6;
      break;
    case 3: {
      uint32_t c = 0;
      for (; c < header.ColourCount; ++c) {
        const TPngRgbQuad& q = header.BitmapInfo.Colours[c];
        if (q.Red == PngRed(colour) && q.Green == PngGreen(colour) && q.Blue == PngBlue(colour))
          break;
      }
      for (uint32_t i = 0; i < c && i < 256; ++i) AlphaTable[i] = 255;
      size = std::min<size_t>(c + 1, 256);
      break;
    }
  }
  SetData(AlphaTable.data(), size);
  Header().KeyMask.clear();  // a new key: the pixels are matched again when drawn
}

TPngColour TChunktRNS::TransparentColourOf() const {
  const TChunkIHDR& header = Header();
  const bool wide = header.BitDepth == 16;  // the image holds the high bytes
  switch (header.ColourType) {
    case 0: {
      const TPngRgbQuad& q = header.BitmapInfo.Colours[AlphaTable[wide ? 0 : 1]];
      return PngRgb(q.Red, q.Red, q.Red);
    }
    case 2: {
      const auto& gamma = Owner().DecodeGamma;
      const int o = wide ? 0 : 1;
      return PngRgb(gamma[AlphaTable[o]], gamma[AlphaTable[o + 2]], gamma[AlphaTable[o + 4]]);
    }
    case 3:
      for (int i = 0; i < DataSize() && i < 256; ++i)
        if (AlphaTable[size_t(i)] == 0) {
          const TPngRgbQuad& q = header.BitmapInfo.Colours[i];
          return PngRgb(q.Red, q.Green, q.Blue);
        }
      return 0;
    default:
      return 0;
  }
}

// ---- gAMA ----------------------------------------------------------------------

namespace {
// The decoding table of one gamma value.
struct TGammaTable {
  uint32_t Value;
  std::array<uint8_t, 256> Decode;
};
constinit TSpare<TGammaTable> spareGamma;
}  // namespace

TChunkgAMA::TChunkgAMA(TPngImage& owner) : TChunk(owner, Class) { SetValue(1); }

uint32_t TChunkgAMA::Value() {
  if (DataSize() != 4) SetValue(1);
  return ReadBigEndian32(Data());
}

void TChunkgAMA::SetValue(uint32_t value) {
  if (DataSize() != 4) ResizeData(4);
  WriteBigEndian32(Data(), value);
}

bool TChunkgAMA::LoadFromStream(TPngStream& stream, const char* name, uint32_t size) {
  if (!TChunk::LoadFromStream(stream, name, size)) return false;
  // A gAMA of the wrong size says nothing about gamma; it leaves the tables.
  if (size != 4) return true;
  const uint32_t value = Value();
  if (value == 0) return true;
  // Pictures come in families that share one gamma: the table of the last
  // value is kept rather than built from 256 powers each time.
  std::unique_ptr<TGammaTable> table = spareGamma.Take();
  if (!table || table->Value != value) {
    table = std::make_unique<TGammaTable>();
    table->Value = value;
    const double exponent = 1.0 / (double(value) / 100000.0 * 2.2);
    for (int i = 0; i < 256; ++i) {
      const double d = i == 0 ? 0.0 : std::nearbyint(255.0 * std::pow(i / 255.0, exponent));
      table->Decode[size_t(i)] = uint8_t(std::clamp(d, 0.0, 255.0));
    }
  }
  TPngImage& owner = Owner();
  for (int i = 0; i < 256; ++i) {
    const uint8_t level = table->Decode[size_t(i)];
    owner.DecodeGamma[size_t(i)] = level;
    owner.EncodeGamma[level] = uint8_t(i);
  }
  spareGamma.Keep(std::move(table));
  return true;
}

void TChunkgAMA::Assign(const TChunk& source) {
  CheckSameClass(*this, source);
  TChunk::Assign(source);  // the value is the data
}

// ---- pHYs, tIME ----------------------------------------------------------------

bool TChunkpHYs::LoadFromStream(TPngStream& stream, const char* name, uint32_t size) {
  if (!TChunk::LoadFromStream(stream, name, size)) return false;
  keepRawData_ = size != 9;
  if (!keepRawData_) {
    PixelsPerUnitX = ReadBigEndian32(Data());
    PixelsPerUnitY = ReadBigEndian32(Data() + 4);
    UnitSpecifier = Data()[8];
  }
  return true;
}

bool TChunkpHYs::SaveToStream(TPngStream& stream) {
  if (!keepRawData_) {
    uint8_t d[9];
    WriteBigEndian32(d, PixelsPerUnitX);
    WriteBigEndian32(d + 4, PixelsPerUnitY);
    d[8] = UnitSpecifier;
    SetData(d, sizeof d);
  }
  return TChunk::SaveToStream(stream);
}

void TChunkpHYs::Assign(const TChunk& source) {
  TChunk::Assign(source);
  if (const auto* s = dynamic_cast<const TChunkpHYs*>(&source)) {
    PixelsPerUnitX = s->PixelsPerUnitX;
    PixelsPerUnitY = s->PixelsPerUnitY;
    UnitSpecifier = s->UnitSpecifier;
  }
}

bool TChunktIME::LoadFromStream(TPngStream& stream, const char* name, uint32_t size) {
  if (!TChunk::LoadFromStream(stream, name, size)) return false;
  keepRawData_ = size != 7;
  if (!keepRawData_) {
    const uint8_t* d = Data();
    Year = uint16_t((d[0] << 8) | d[1]);
    Month = d[2];
    Day = d[3];
    Hour = d[4];
    Minute = d[5];
    Second = d[6];
  }
  return true;
}

bool TChunktIME::SaveToStream(TPngStream& stream) {
  if (!keepRawData_) {
    uint8_t d[7] = {uint8_t(Year >> 8), uint8_t(Year), Month, Day, Hour, Minute, Second};
    SetData(d, sizeof d);
  }
  return TChunk::SaveToStream(stream);
}

void TChunktIME::Assign(const TChunk& source) {
  TChunk::Assign(source);
  if (const auto* s = dynamic_cast<const TChunktIME*>(&source)) {
    Year = s->Year;
    Month = s->Month;
    Day = s->Day;
    Hour = s->Hour;
    Minute = s->Minute;
    Second = s->Second;
  }
}

// ---- tEXt, zTXt ----------------------------------------------------------------

size_t TChunktEXt::KeywordLength() const {
  const size_t size = size_t(DataSize());
  const void* zero = std::memchr(Data(), 0, size);
  return zero ? size_t(static_cast<const uint8_t*>(zero) - Data()) : size;
}

bool TChunktEXt::LoadFromStream(TPngStream& stream, const char* name, uint32_t size) {
  if (!TChunk::LoadFromStream(stream, name, size)) return false;
  const size_t keywordLength = KeywordLength();
  // Without a keyword terminator there is nothing to rebuild the chunk from.
  keepRawData_ = size <= 2 || keywordLength >= size;
  if (size > 2) {
    const char* d = reinterpret_cast<const char*>(Data());
    keyword_.assign(d, keywordLength);
    text_ = keywordLength < size ? std::string(d + keywordLength + 1, size - keywordLength - 1)
                                 : std::string();
  }
  return true;
}

bool TChunktEXt::SaveToStream(TPngStream& stream) {
  if (!keepRawData_) {
    std::string data = keyword_ + '\0' + text_;
    SetData(data.data(), data.size());
  }
  return TChunk::SaveToStream(stream);
}

void TChunktEXt::Assign(const TChunk& source) {
  TChunk::Assign(source);
  if (const auto* s = dynamic_cast<const TChunktEXt*>(&source)) {
    keyword_ = s->keyword_;
    text_ = s->text_;
  }
}

void TChunktEXt::SetKeyword(const std::string& keyword) {
  keyword_ = keyword;
  keepRawData_ = false;
}

void TChunktEXt::SetText(const std::string& text) {
  text_ = text;
  keepRawData_ = false;
}

bool TChunkzTXt::LoadFromStream(TPngStream& stream, const char* name, uint32_t size) {
  if (!TChunktEXt::LoadFromStream(stream, name, size)) return false;
  // Kept as read unless the text inflates.
  keepRawData_ = true;
  if (size < 4) return true;
  const size_t keywordLength = KeywordLength();
  keyword_.assign(reinterpret_cast<const char*>(Data()), keywordLength);
  text_.clear();
  if (keywordLength + 1 < size && Data()[keywordLength + 1] == 0) {
    std::vector<uint8_t> text;
    std::string message;
    const size_t start = keywordLength + 2;
    if (DecompressBuffer(Data() + start, size - start, text, message)) {
      text_.assign(text.begin(), text.end());
      keepRawData_ = false;
    }
  }
  return true;
}

bool TChunkzTXt::SaveToStream(TPngStream& stream) {
  if (keepRawData_) return TChunk::SaveToStream(stream);
  if (text_.empty()) text_ = " ";
  std::vector<uint8_t> packed;
  std::string message;
  if (!CompressBuffer(reinterpret_cast<const uint8_t*>(text_.data()), text_.size(),
                      Owner().DeflateLevel, packed, message))
    return false;
  std::vector<uint8_t> data(keyword_.begin(), keyword_.end());
  data.push_back(0);
  data.push_back(0);
  data.insert(data.end(), packed.begin(), packed.end());
  SetData(data.data(), data.size());
  return TChunk::SaveToStream(stream);
}

}  // namespace png
