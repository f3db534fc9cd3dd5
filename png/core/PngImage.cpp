#include "PngImage.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace png {
using namespace core;  // the codec raises its own failures

namespace {
const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

class THeapSurface : public TPngImageSurface {
public:
  // calloc hands large blocks over as fresh zero pages, without a memset.
  explicit THeapSurface(size_t bytes) : bits_(static_cast<uint8_t*>(std::calloc(bytes ? bytes : 1, 1))) {
    if (!bits_) throw std::bad_alloc();
  }
  ~THeapSurface() override { std::free(bits_); }
  uint8_t* Bits() override { return bits_; }

private:
  uint8_t* bits_;
};
}  // namespace

// ---- pointer list --------------------------------------------------------------

TChunk* TPNGPointerList::Remove(TChunk* item) {
  for (size_t i = items_.size(); i-- > 0;)
    if (items_[i] == item) {
      items_.erase(items_.begin() + ptrdiff_t(i));
      return item;
    }
  return nullptr;
}

TChunk* TPNGPointerList::GetItem(int index) const {
  return index >= 0 && index < Count() ? items_[size_t(index)] : nullptr;
}

void TPNGPointerList::SetItem(int index, TChunk* item) {
  if (index >= 0 && index < Count()) items_[size_t(index)] = item;
}

// ---- image ---------------------------------------------------------------------

TPngImage::TPngImage() : chunks_(*this) { ResetGamma(); }

TPngImage::~TPngImage() { ClearChunks(); }

void TPngImage::ResetGamma() {
  for (int i = 0; i < 256; ++i) DecodeGamma[size_t(i)] = EncodeGamma[size_t(i)] = uint8_t(i);
}

void TPngImage::ClearChunks() {
  ResetGamma();
  // Later chunks may look at the header while they go, so it goes last.
  for (int i = chunks_.Count(); i-- > 0;) delete chunks_.GetItem(i);
  chunks_.SetSize(0);
}

std::unique_ptr<TPngImageSurface> TPngImage::CreateSurface(TChunkIHDR&, size_t bytes) {
  return std::make_unique<THeapSurface>(bytes);
}

void TPngImage::LoadFromStream(TPngStream& stream) {
  ClearChunks();
  uint8_t signature[8];
  if (!stream.ReadExact(signature, 8) || std::memcmp(signature, kSignature, 8) != 0)
    throw EPNGInvalidFileHeader();
  bool hasImageData = false;
  for (;;) {
    uint8_t head[8];
    if (!stream.ReadExact(head, 8)) throw EPngUnexpectedEnd();
    const uint32_t length = ReadBigEndian32(head);
    const char* name = reinterpret_cast<const char*>(head + 4);
    const bool isHeader = std::memcmp(name, "IHDR", 4) == 0;
    const bool isData = std::memcmp(name, "IDAT", 4) == 0;
    const bool isEnd = std::memcmp(name, "IEND", 4) == 0;
    // One header, and it comes first.
    if (chunks_.Count() == 0 ? !isHeader : isHeader) throw EPNGIHDRNotFirst();
    if (length > MaxChunkLength) throw EPngUnexpectedEnd();
    if (std::memcmp(name, "cHRM", 4) == 0 || (isData && hasImageData)) {
      stream.SetPosition(stream.Position() + length + 4);
      if (isEnd) break;
      continue;
    }
    TChunk* chunk = CreateChunkForName(*this, name);
    chunks_.Add(chunk);
    if (&chunk->ChunkClass() == &TChunk::Class && chunk->IsCritical())
      throw EPNGUnknownCriticalChunk();
    const bool goOn = chunk->LoadFromStream(stream, name, length);
    if (isData) hasImageData = true;
    if (!goOn || isEnd) break;
  }
  if (!hasImageData) throw EPNGNoImageData();
}

void TPngImage::SaveToStream(TPngStream& stream) {
  stream.Write(kSignature, 8);
  for (int i = 0; i < chunks_.Count(); ++i)
    if (TChunk* chunk = chunks_.GetItem(i)) chunk->SaveToStream(stream);
}

void TPngImage::CopyPicture(const TPngImage& source) {
  if (&source == this) return;
  Interlacing = source.Interlacing;
  SetMaxDataChunkSize(source.MaxDataChunkSize());
  DeflateLevel = source.DeflateLevel;
  EncodeFilters = source.EncodeFilters;
  ClearChunks();
  // The copy keeps the gamma tables, or its pixels would be encoded with the
  // identity and a saved copy would differ from the original.
  DecodeGamma = source.DecodeGamma;
  EncodeGamma = source.EncodeGamma;
  for (int i = 0; i < source.chunks_.Count(); ++i) {
    const TChunk* from = source.chunks_.GetItem(i);
    if (!from) continue;
    TChunk* chunk = from->ChunkClass().Create(*this);
    chunks_.Add(chunk);
    chunk->Assign(*from);
  }
}

bool TPngImage::HasHeader() const {
  return chunks_.Count() > 0 && dynamic_cast<TChunkIHDR*>(chunks_.GetItem(0)) != nullptr;
}

TChunkIHDR& TPngImage::HeaderChunk() const {
  if (!HasHeader()) throw EPNGHeaderNotPresent();
  return *static_cast<TChunkIHDR*>(chunks_.GetItem(0));
}

TTransparencyKind TPngImage::TransparencyKind() const {
  if (!HasHeader()) return TTransparencyKind::None;
  const TChunktRNS* trns = chunks_.ItemFromClass<TChunktRNS>();
  switch (HeaderChunk().ColourType) {
    case 0:
    case 2:
      return trns ? TTransparencyKind::SingleColour : TTransparencyKind::None;
    case 3:
      if (!trns) return TTransparencyKind::None;
      return trns->IsSingleColour ? TTransparencyKind::SingleColour : TTransparencyKind::PerPixel;
    case 4:
    case 6:
      return TTransparencyKind::PerPixel;
    default:
      return TTransparencyKind::None;
  }
}

const TChunktRNS* TPngImage::ColourKey() const {
  return TransparencyKind() == TTransparencyKind::SingleColour ? chunks_.ItemFromClass<TChunktRNS>() : nullptr;
}

TPngColour TPngImage::TransparentColour() const {
  const TChunktRNS* trns = chunks_.ItemFromClass<TChunktRNS>();
  return trns && HasHeader() ? trns->TransparentColourOf() : 0;
}

int TPngImage::BitmapBitsPerPixel() const {
  const TChunkIHDR& h = HeaderChunk();
  if (TransparencyKind() == TTransparencyKind::PerPixel) return 24;
  switch (h.BitDepth) {
    case 1: return 1;
    case 2: case 4: return 4;
    case 8: case 16:
      if (h.ColourType == 0 || h.ColourType == 2) return 24;
      if (h.ColourType == 3) return 8;
      break;
  }
  throw EPngException(TPngFailure::Unnamed, "");  // no bitmap shows this format
}

uint8_t* TPngImage::ImageRow(uint32_t y) const {
  TChunkIHDR& h = HeaderChunk();
  return h.Bits && y < h.Height ? h.ImageRow(y) : nullptr;
}

uint8_t* TPngImage::AlphaRow(uint32_t y) const {
  TChunkIHDR& h = HeaderChunk();
  return h.Bits && y < h.Height && !h.AlphaPlane.empty() ? h.AlphaRow(y) : nullptr;
}

uint8_t* TPngImage::LowByteRow(uint32_t y) const {
  TChunkIHDR& h = HeaderChunk();
  return h.Bits && y < h.Height && !h.LowBytePlane.empty() ? h.LowByteRow(y) : nullptr;
}

void TPngImage::DoSetPalette(const TPngPalette& palette, bool copyColours) {
  if (!HasHeader()) return;
  TChunkIHDR& h = HeaderChunk();
  if (!h.HasPalette) return;
  if (copyColours) h.CopyPaletteToColourTable(palette);
  h.Palette = palette;
  PaletteInstalled(h);
}

void TPngImage::AssignFromBitmap(uint32_t width, uint32_t height, int bitsPerPixel,
                                 const std::function<void(TChunkIHDR&)>& fillRows,
                                 bool transparent, TPngColour transparentColour) {
  ClearChunks();
  auto* header = new TChunkIHDR(*this);
  chunks_.Add(header);
  header->Width = width;
  header->Height = height;
  header->BitDepth = uint8_t(bitsPerPixel < 16 ? bitsPerPixel : 8);
  header->ColourType = bitsPerPixel < 16 ? 3 : 2;
  header->CompressionMethod = 0;
  header->InterlaceMethod = 0;
  header->PrepareImage();
  fillRows(*header);
  if (header->HasPalette) {
    auto* plte = new TChunkPLTE(*this);
    chunks_.Add(plte);
    plte->Count = 1u << bitsPerPixel;
    TPngPalette palette(plte->Count);
    for (uint32_t i = 0; i < plte->Count; ++i) {
      const TPngRgbQuad& q = header->BitmapInfo.Colours[i];
      palette[i] = {q.Red, q.Green, q.Blue, 0};
    }
    DoSetPalette(palette, false);
  }
  if (transparent) {
    auto* trns = new TChunktRNS(*this);
    chunks_.Add(trns);
    trns->SetTransparentColour(transparentColour);
  }
  chunks_.Add(new TChunkIDAT(*this));
  chunks_.Add(new TChunkIEND(*this));
}

}  // namespace png
