// IDAT: the zlib stream of image rows, decoded into the header's bitmap and
// encoded back from it.
#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "PngChunks.h"
#include "PngImage.h"
#include "PngSpare.h"
#include "PngZlib.h"

namespace png {
using namespace core;  // the codec raises its own failures

namespace {

constexpr uint32_t kRowStart[7] = {0, 0, 4, 0, 2, 0, 1};
constexpr uint32_t kColumnStart[7] = {0, 4, 0, 2, 0, 1, 0};
constexpr uint32_t kRowIncrement[7] = {8, 8, 8, 4, 4, 2, 2};
constexpr uint32_t kColumnIncrement[7] = {8, 8, 4, 4, 2, 2, 1};
constexpr size_t kInputSize = 65535;

uint32_t PassWidth(uint32_t width, int pass) {
  return (width + kColumnIncrement[pass] - kColumnStart[pass] - 1) / kColumnIncrement[pass];
}

// Row bytes and filter offset of one PNG row.
struct TRowGeometry {
  int depth;     // bit depth of the PNG rows
  int channels;
  size_t offset; // bytes per complete pixel, at least 1

  TRowGeometry(const TChunkIHDR& h, int bitDepth) : depth(bitDepth) {
    switch (h.ColourType) {
      case 2: channels = 3; break;
      case 4: channels = 2; break;
      case 6: channels = 4; break;
      default: channels = 1;
    }
    offset = std::max<size_t>(1, size_t(depth) * channels / 8);
  }
  size_t RowBytes(uint32_t width) const { return (size_t(width) * depth * channels + 7) / 8; }
};

// Written without branches: on photographic rows they mispredict half the time.
inline uint8_t Paeth(int a, int b, int c) {
  int pa = std::abs(b - c);
  const int pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
  if (pb < pa) {
    pa = pb;
    a = b;
  }
  return uint8_t(pc < pa ? c : a);
}

#if defined(__SSE2__)
// Paeth over whole pixels: the channels of a pixel share one predictor step
// in 16-bit lanes, instead of one byte after the other. Loads take 4 or 8
// bytes, so the last pixel of 3 and 6 byte pixels is left to the caller.
template <size_t Bpp>
size_t UnpaethPixels(uint8_t* row, const uint8_t* prior, size_t length) {
  constexpr size_t kLoad = Bpp == 3 ? 4 : Bpp == 6 ? 8 : Bpp;
  const __m128i zero = _mm_setzero_si128(), low = _mm_set1_epi16(0xFF);
  auto load = [&](const uint8_t* p) {
    uint64_t v = 0;
    std::memcpy(&v, p, kLoad);
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&v)), zero);
  };
  auto abs16 = [&](__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(zero, v)); };
  auto select = [](__m128i mask, __m128i ifSet, __m128i ifClear) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
  };
  __m128i a = zero, c = zero;  // the pixel to the left, and the one above it
  size_t i = 0;
  for (; i + kLoad <= length; i += Bpp) {
    const __m128i b = load(prior + i);
    const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
    const __m128i pa = abs16(bc), pb = abs16(ac), pc = abs16(_mm_add_epi16(bc, ac));
    const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
    const __m128i predictor = select(notA, select(_mm_cmpgt_epi16(pb, pc), c, b), a);
    a = _mm_and_si128(_mm_add_epi16(load(row + i), predictor), low);
    uint64_t v;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&v), _mm_packus_epi16(a, a));
    std::memcpy(row + i, &v, Bpp);
    c = b;
  }
  return i;
}
#endif

template <size_t Bpp>
void UnfilterWith(uint8_t type, uint8_t* row, const uint8_t* prior, size_t length, size_t bpp) {
  // Bpp is the filter offset when the caller knows it at compile time, else 0.
  const size_t step = Bpp ? Bpp : bpp;
  const size_t lead = std::min(step, length);
  switch (type) {
    case pfSub:
      for (size_t i = step; i < length; ++i) row[i] = uint8_t(row[i] + row[i - step]);
      break;
    case pfUp:
      for (size_t i = 0; i < length; ++i) row[i] = uint8_t(row[i] + prior[i]);
      break;
    case pfAverage:
      for (size_t i = 0; i < lead; ++i) row[i] = uint8_t(row[i] + (prior[i] >> 1));
      for (size_t i = step; i < length; ++i)
        row[i] = uint8_t(row[i] + ((row[i - step] + prior[i]) >> 1));
      break;
    case pfPaeth: {
      size_t i = 0;
#if defined(__SSE2__)
      if constexpr (Bpp >= 3) i = UnpaethPixels<Bpp>(row, prior, length);
#endif
      for (; i < lead; ++i) row[i] = uint8_t(row[i] + prior[i]);
      for (; i < length; ++i) row[i] = uint8_t(row[i] + Paeth(row[i - step], prior[i], prior[i - step]));
      break;
    }
    default:  // None, and unknown types, leave the row as it is
      break;
  }
}

void Unfilter(uint8_t type, uint8_t* row, const uint8_t* prior, size_t length, size_t bpp) {
  switch (bpp) {
    case 1: return UnfilterWith<1>(type, row, prior, length, bpp);
    case 3: return UnfilterWith<3>(type, row, prior, length, bpp);
    case 4: return UnfilterWith<4>(type, row, prior, length, bpp);
    case 6: return UnfilterWith<6>(type, row, prior, length, bpp);
    case 8: return UnfilterWith<8>(type, row, prior, length, bpp);
    default: return UnfilterWith<0>(type, row, prior, length, bpp);
  }
}

void Filter(uint8_t type, uint8_t* out, const uint8_t* raw, const uint8_t* prior, size_t length,
            size_t bpp) {
  const size_t lead = std::min(bpp, length);
  switch (type) {
    case pfSub:
      std::memcpy(out, raw, lead);
      for (size_t i = bpp; i < length; ++i) out[i] = uint8_t(raw[i] - raw[i - bpp]);
      break;
    case pfUp:
      for (size_t i = 0; i < length; ++i) out[i] = uint8_t(raw[i] - prior[i]);
      break;
    case pfAverage:
      for (size_t i = 0; i < lead; ++i) out[i] = uint8_t(raw[i] - (prior[i] >> 1));
      for (size_t i = bpp; i < length; ++i) out[i] = uint8_t(raw[i] - ((raw[i - bpp] + prior[i]) >> 1));
      break;
    default:
      for (size_t i = 0; i < lead; ++i) out[i] = uint8_t(raw[i] - prior[i]);
      for (size_t i = bpp; i < length; ++i) out[i] = uint8_t(raw[i] - Paeth(raw[i - bpp], prior[i], prior[i - bpp]));
  }
}

// Positions whose byte repeats one of the two bytes before it.
size_t RepetitionScore(const uint8_t* row, size_t length) {
  size_t score = 0;
  for (size_t j = 2; j < length; ++j) score += row[j] == row[j - 1] || row[j] == row[j - 2];
  return score;
}

// What inflating needs besides the image: zlib's state and window, and the
// input and staging buffers. Making them costs about as much as decoding a
// small picture, so one set is kept for the next image.
struct TInflater {
  TInflater() {
    const int r = inflateInit(&zs);
    if (r != Z_OK) throw EPNGZLIBError(r);
  }
  ~TInflater() { inflateEnd(&zs); }
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  z_stream zs{};
  // Not cleared: only what was read or inflated into them is ever used.
  std::unique_ptr<uint8_t[]> input{new uint8_t[kInputSize]};
  std::unique_ptr<uint8_t[]> staged{new uint8_t[kInputSize]};
};
constinit TSpare<TInflater> spareInflater;

// Reads the zlib stream across the IDAT chain, checking each chunk's CRC.
class TIdatReader {
public:
  TIdatReader(TPngStream& stream, uint32_t length) : stream_(stream), inflater_(spareInflater.Take()) {
    if (inflater_) {
      // It may have stopped in the middle of a broken image, with input left.
      inflateReset(&inflater_->zs);
      inflater_->zs.avail_in = 0;
    } else {
      inflater_ = std::make_unique<TInflater>();
    }
    // Every chunk's CRC already covers the data; zlib's own checksum would
    // only cost time.
    inflateValidate(&inflater_->zs, 0);
    crc_ = UpdateCrc(0xFFFFFFFFu, "IDAT", 4);
    chunkEnd_ = stream.Position() + length;
  }
  ~TIdatReader() { spareInflater.Keep(std::move(inflater_)); }
  TIdatReader(const TIdatReader&) = delete;
  TIdatReader& operator=(const TIdatReader&) = delete;

  // The decoder asks for exactly this many bytes in all; inflating never runs
  // ahead of them, so chunks after the image data are not touched.
  void Expect(uint64_t total) { wanted_ = total; }

  // Answers the bytes delivered; short when the data ends.
  size_t Read(uint8_t* out, size_t count) {
    uint8_t* staged = inflater_->staged.get();
    size_t done = 0;
    while (done < count) {
      if (stagedPos_ == stagedEnd_) {
        stagedPos_ = 0;
        stagedEnd_ = Inflate(staged, size_t(std::min<uint64_t>(kInputSize, wanted_)));
        wanted_ -= stagedEnd_;
        if (stagedEnd_ == 0) break;
      }
      const size_t n = std::min(count - done, stagedEnd_ - stagedPos_);
      std::memcpy(out + done, staged + stagedPos_, n);
      stagedPos_ += n;
      done += n;
    }
    return done;
  }

  // Takes the rest of the current chunk into the CRC and checks it.
  void Finish() {
    while (stream_.Position() < chunkEnd_)
      if (ReadInput() == 0) break;
    CheckCrc();
  }

private:
  // Reads on in the current chunk, into the CRC; answers the bytes read.
  size_t ReadInput() {
    uint8_t* input = inflater_->input.get();
    const size_t got =
        stream_.Read(input, size_t(std::min<uint64_t>(chunkEnd_ - stream_.Position(), kInputSize)));
    crc_ = UpdateCrc(crc_, input, got);
    return got;
  }

  // Inflates up to count bytes; rows are staged many at a time, so that zlib
  // spends its time in its fast loop rather than on the ends of short rows.
  size_t Inflate(uint8_t* out, size_t count) {
    z_stream& zs = inflater_->zs;
    zs.next_out = out;
    zs.avail_out = uInt(count);
    while (zs.avail_out && !streamEnded_) {
      if (zs.avail_in == 0) {
        while (stream_.Position() >= chunkEnd_) NextChunk();  // empty chunks too
        const size_t got = ReadInput();
        if (got == 0) break;  // the stream ends inside the chunk
        zs.next_in = inflater_->input.get();
        zs.avail_in = uInt(got);
      }
      const int r = inflate(&zs, Z_NO_FLUSH);
      if (r == Z_STREAM_END)
        streamEnded_ = true;  // bytes after the end are never inflated
      else if (r < 0 || r == Z_NEED_DICT)
        throw EPNGZLIBError(r);
    }
    return count - zs.avail_out;
  }

  void CheckCrc() {
    uint8_t stored[4];
    if (!stream_.ReadExact(stored, 4) || ReadBigEndian32(stored) != ~crc_) throw EPngInvalidCRC();
  }

  void NextChunk() {
    CheckCrc();
    uint8_t head[8];
    if (!stream_.ReadExact(head, 8) || std::memcmp(head + 4, "IDAT", 4) != 0)
      throw EPNGMissingMultipleIDAT();
    const uint32_t length = ReadBigEndian32(head);
    if (length > MaxChunkLength) throw EPngUnexpectedEnd();
    crc_ = UpdateCrc(0xFFFFFFFFu, "IDAT", 4);
    chunkEnd_ = stream_.Position() + length;
  }

  TPngStream& stream_;
  std::unique_ptr<TInflater> inflater_;
  size_t stagedPos_ = 0, stagedEnd_ = 0;
  uint64_t wanted_ = 0;
  uint32_t crc_;
  uint64_t chunkEnd_;
  bool streamEnded_ = false;
};

// Deflates rows into IDAT chunks of exactly MaxDataChunkSize data bytes.
class TIdatWriter {
public:
  TIdatWriter(TPngStream& stream, size_t chunkSize, int level)
      : stream_(stream), chunkSize_(chunkSize), scratch_(65536) {
    if (deflateInit(&zs_, ZlibLevel(level)) != Z_OK) throw EPNGOutMemory();
  }
  ~TIdatWriter() { deflateEnd(&zs_); }

  void Write(const uint8_t* data, size_t size) {
    zs_.next_in = const_cast<Bytef*>(data);
    zs_.avail_in = uInt(size);
    do Deflate(Z_NO_FLUSH);
    while (zs_.avail_in > 0 || zs_.avail_out == 0);
  }

  void Finish() {
    while (Deflate(Z_FINISH) != Z_STREAM_END) {
    }
    if (!pending_.empty()) WritePngChunk(stream_, "IDAT", pending_.data(), pending_.size());
  }

private:
  int Deflate(int flush) {
    zs_.next_out = scratch_.data();
    zs_.avail_out = uInt(scratch_.size());
    const int r = deflate(&zs_, flush);
    if (r < 0 && r != Z_BUF_ERROR) throw EPNGOutMemory();
    pending_.insert(pending_.end(), scratch_.data(), scratch_.data() + (scratch_.size() - zs_.avail_out));
    size_t done = 0;
    for (; pending_.size() - done >= chunkSize_; done += chunkSize_)
      WritePngChunk(stream_, "IDAT", pending_.data() + done, chunkSize_);
    pending_.erase(pending_.begin(), pending_.begin() + ptrdiff_t(done));
    return r;
  }

  TPngStream& stream_;
  size_t chunkSize_;
  z_stream zs_{};
  std::vector<uint8_t> scratch_, pending_;
};

// Moves pixels between PNG rows and the header's bitmap, alpha and low-byte
// planes. x0 and dx pick the columns of an Adam7 pass.
class TRowConverter {
public:
  TRowConverter(TChunkIHDR& header, const TPngImage& image, int depth)
      : h_(header), depth_(depth), decode_(image.DecodeGamma.data()), encode_(image.EncodeGamma.data()) {}

  // Decoding marks the pixels that equal the colour key in the header's key
  // plane, compared on the stored samples: every bit, before gamma.
  void MatchKey(const TChunktRNS& trns) {
    if (h_.ColourType == 3) {
      palette_ = &trns;
    } else if (!trns.StoredKey(key_)) {
      return;  // too short to name a key; matched in memory when drawn
    }
    h_.KeyMask.assign(TChunkIHDR::StrideFor(1, h_.Width) * h_.Height, 0);
    matchKey_ = true;
  }

  void Decode(const uint8_t* s, uint32_t y, uint32_t x0, uint32_t dx, uint32_t count, size_t rowBytes) {
    Convert(s, y, x0, dx, count, rowBytes);
    if (matchKey_)
      for (uint32_t i = 0, x = x0; i < count; ++i, x += dx)
        if (IsKey(s, i)) h_.SetKeyAt(x, y, true);
  }

private:
  bool IsKey(const uint8_t* s, uint32_t i) const {
    switch (h_.ColourType) {
      case 0:
        return (depth_ == 16 ? uint16_t((s[2 * i] << 8) | s[2 * i + 1]) : PackedSample(s, i, depth_)) == key_[0];
      case 2:
        for (int c = 0; c < 3; ++c) {
          const uint16_t sample = depth_ == 16 ? uint16_t((s[6 * i + 2 * c] << 8) | s[6 * i + 2 * c + 1])
                                               : s[3 * i + size_t(c)];
          if (sample != key_[c]) return false;
        }
        return true;
      default:
        return palette_->IsClearIndex(PackedSample(s, i, depth_));
    }
  }

  void Convert(const uint8_t* s, uint32_t y, uint32_t x0, uint32_t dx, uint32_t count, size_t rowBytes) {
    // Most images carry no gamma; their colour bytes need no table.
    if (plain_ && dx == 1 && depth_ == 8 && (h_.ColourType == 2 || h_.ColourType == 6)) {
      DecodePlain(s, h_.ImageRow(y), h_.ColourType == 6 ? h_.AlphaRow(y) : nullptr, count);
      return;
    }
    if (plain_ && dx == 1 && depth_ == 16 && h_.ColourType == 2) {
      uint8_t* d = h_.ImageRow(y);
      uint8_t* low = h_.LowByteRow(y);
      for (uint32_t x = 0; x < count; ++x, s += 6, d += 3, low += 3) {
        d[0] = s[4]; d[1] = s[2]; d[2] = s[0];
        low[0] = s[5]; low[1] = s[3]; low[2] = s[1];
      }
      return;
    }
    uint8_t* d = h_.ImageRow(y);
    uint8_t* alpha = h_.AlphaPlane.empty() ? nullptr : h_.AlphaRow(y);
    uint8_t* low = h_.LowBytePlane.empty() ? nullptr : h_.LowByteRow(y);
    const uint8_t* g = decode_;
    switch (h_.ColourType * 100 + depth_) {
      case 1: case 4: case 8: case 301: case 304: case 308:
        if (dx == 1) {
          std::memcpy(d, s, rowBytes);
        } else {
          for (uint32_t i = 0, x = x0; i < count; ++i, x += dx)
            SetPackedSample(d, x, depth_, PackedSample(s, i, depth_));
        }
        break;
      case 2: case 302: {
        // 2-bit samples become 4-bit pixels; gray scales by 5 so 3 stays white
        const int scale = h_.ColourType == 0 ? 5 : 1;
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx)
          SetPackedSample(d, x, 4, uint8_t(PackedSample(s, i, 2) * scale));
        break;
      }
      case 16:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, s += 2) {
          d[x] = s[0];
          low[x] = s[1];
        }
        break;
      case 208:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, s += 3) {
          uint8_t* p = d + 3 * size_t(x);
          p[0] = g[s[2]]; p[1] = g[s[1]]; p[2] = g[s[0]];
        }
        break;
      case 216:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, s += 6) {
          uint8_t* p = d + 3 * size_t(x);
          uint8_t* q = low + 3 * size_t(x);
          p[0] = g[s[4]]; p[1] = g[s[2]]; p[2] = g[s[0]];
          q[0] = g[s[5]]; q[1] = g[s[3]]; q[2] = g[s[1]];
        }
        break;
      case 408:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, s += 2) {
          d[x] = s[0];
          alpha[x] = s[1];
        }
        break;
      case 416:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, s += 4) {
          d[x] = s[0];
          low[x] = s[1];
          alpha[x] = s[2];
        }
        break;
      case 608:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, s += 4) {
          uint8_t* p = d + 3 * size_t(x);
          p[0] = g[s[2]]; p[1] = g[s[1]]; p[2] = g[s[0]];
          alpha[x] = s[3];
        }
        break;
      case 616:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, s += 8) {
          uint8_t* p = d + 3 * size_t(x);
          uint8_t* q = low + 3 * size_t(x);
          p[0] = g[s[4]]; p[1] = g[s[2]]; p[2] = g[s[0]];
          q[0] = g[s[5]]; q[1] = g[s[3]]; q[2] = g[s[1]];
          alpha[x] = s[6];
        }
        break;
    }
  }

public:
  // 16-bit samples are written with low byte 0.
  void Encode(uint8_t* o, uint32_t y, uint32_t x0, uint32_t dx, uint32_t count, size_t rowBytes) {
    const uint8_t* d = h_.ImageRow(y);
    const uint8_t* alpha = h_.AlphaPlane.empty() ? nullptr : h_.AlphaRow(y);
    const uint8_t* e = encode_;
    switch (h_.ColourType * 100 + depth_) {
      case 1: case 4: case 8: case 301: case 304: case 308:
        if (dx == 1) {
          std::memcpy(o, d, rowBytes);
        } else {
          std::memset(o, 0, rowBytes);
          for (uint32_t i = 0, x = x0; i < count; ++i, x += dx)
            SetPackedSample(o, i, depth_, PackedSample(d, x, depth_));
        }
        break;
      case 16:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, o += 2) {
          o[0] = d[x]; o[1] = 0;
        }
        break;
      case 208:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, o += 3) {
          const uint8_t* p = d + 3 * size_t(x);
          o[0] = e[p[2]]; o[1] = e[p[1]]; o[2] = e[p[0]];
        }
        break;
      case 216:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, o += 6) {
          const uint8_t* p = d + 3 * size_t(x);
          o[0] = e[p[2]]; o[1] = 0; o[2] = e[p[1]]; o[3] = 0; o[4] = e[p[0]]; o[5] = 0;
        }
        break;
      case 408:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, o += 2) {
          o[0] = d[x]; o[1] = alpha[x];
        }
        break;
      case 416:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, o += 4) {
          o[0] = d[x]; o[1] = 0; o[2] = alpha[x]; o[3] = 0;
        }
        break;
      case 608:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, o += 4) {
          const uint8_t* p = d + 3 * size_t(x);
          o[0] = e[p[2]]; o[1] = e[p[1]]; o[2] = e[p[0]]; o[3] = alpha[x];
        }
        break;
      case 616:
        for (uint32_t i = 0, x = x0; i < count; ++i, x += dx, o += 8) {
          const uint8_t* p = d + 3 * size_t(x);
          o[0] = e[p[2]]; o[1] = 0; o[2] = e[p[1]]; o[3] = 0;
          o[4] = e[p[0]]; o[5] = 0; o[6] = alpha[x]; o[7] = 0;
        }
        break;
    }
  }

private:
  static void DecodePlain(const uint8_t* s, uint8_t* d, uint8_t* alpha, uint32_t count) {
    if (alpha) {
      for (uint32_t x = 0; x < count; ++x, s += 4, d += 3) {
        d[0] = s[2]; d[1] = s[1]; d[2] = s[0];
        alpha[x] = s[3];
      }
    } else {
      for (uint32_t x = 0; x < count; ++x, s += 3, d += 3) {
        d[0] = s[2]; d[1] = s[1]; d[2] = s[0];
      }
    }
  }

  static bool IsIdentity(const uint8_t* table) {
    for (int i = 0; i < 256; ++i)
      if (table[i] != i) return false;
    return true;
  }

  TChunkIHDR& h_;
  int depth_;
  const uint8_t* decode_;
  const uint8_t* encode_;
  bool plain_ = IsIdentity(decode_);
  bool matchKey_ = false;
  uint16_t key_[3] = {};
  const TChunktRNS* palette_ = nullptr;  // the key of a palette image
};

// Chooses and applies the row filter of the encoder.
class TRowFilterer {
public:
  TRowFilterer(TPngFilters filters, size_t rowBytes, size_t bpp)
      : filters_(TPngFilters(filters & 0x1F)), bpp_(bpp) {
    for (int t = 0; t < 5; ++t)
      if (t == pfNone || (filters_ & FilterBit(TPngFilter(t)))) buffers_[t].assign(rowBytes + 1, 0);
  }

  // The None buffer is also the previous row; each Adam7 pass starts it at zero.
  void ResetPrevious() { std::fill(buffers_[pfNone].begin(), buffers_[pfNone].end(), 0); }

  // Filters the raw row and answers the chosen buffer: type byte, then the row.
  const std::vector<uint8_t>& Apply(const uint8_t* raw, size_t rowBytes) {
    uint8_t* prior = buffers_[pfNone].data() + 1;
    for (int t = pfSub; t <= pfPaeth; ++t)
      if (filters_ & FilterBit(TPngFilter(t))) {
        buffers_[t][0] = uint8_t(t);
        Filter(uint8_t(t), buffers_[t].data() + 1, raw, prior, rowBytes, bpp_);
      }
    std::memcpy(prior, raw, rowBytes);
    buffers_[pfNone][0] = pfNone;
    return buffers_[Choose(rowBytes)];
  }

private:
  int Choose(size_t rowBytes) const {
    if (filters_ == 0 || filters_ == FilterBit(pfNone)) return pfNone;
    int choice = pfNone;
    size_t best = 0;
    for (int t = pfNone; t <= pfPaeth; ++t) {
      if (!(filters_ & FilterBit(TPngFilter(t)))) continue;
      if (filters_ == FilterBit(TPngFilter(t))) return t;
      const size_t score = RepetitionScore(buffers_[t].data() + 1, rowBytes);
      if (score > best) {
        best = score;
        choice = t;
      }
    }
    return choice;
  }

  TPngFilters filters_;
  size_t bpp_;
  std::vector<uint8_t> buffers_[5];
};

}  // namespace

bool TChunkIDAT::LoadFromStream(TPngStream& stream, const char* name, uint32_t size) {
  TPngImage& image = Owner();
  TChunkIHDR& header = Header();
  if (!header.Bits) throw EPNGHeaderNotPresent();
  ResizeData(0);
  if (header.ColourType == 0 || header.ColourType == 4)
    image.SetPalette(header.GrayPaletteFor(header.BitsPerPixel()));

  const TRowGeometry geometry(header, header.BitDepth);
  TRowConverter converter(header, image, header.BitDepth);
  if (const TChunktRNS* key = image.ColourKey()) converter.MatchKey(*key);
  TIdatReader reader(stream, size);
  std::vector<uint8_t> current, previous;
  uint64_t total = 0;
  if (image.Interlacing == 0) {
    total = uint64_t(geometry.RowBytes(header.Width) + 1) * header.Height;
  } else {
    for (int pass = 0; pass < 7; ++pass) {
      const size_t rowBytes = geometry.RowBytes(PassWidth(header.Width, pass));
      if (rowBytes && kRowStart[pass] < header.Height)
        total += uint64_t(rowBytes + 1) * ((header.Height - kRowStart[pass] + kRowIncrement[pass] - 1) / kRowIncrement[pass]);
    }
  }
  reader.Expect(total);

  auto decodeRows = [&](uint32_t firstRow, uint32_t rowStep, uint32_t x0, uint32_t dx, uint32_t width) {
    const size_t rowBytes = geometry.RowBytes(width);
    if (rowBytes == 0) return;
    current.assign(rowBytes + 1, 0);
    previous.assign(rowBytes + 1, 0);
    for (uint32_t y = firstRow; y < header.Height; y += rowStep) {
      if (reader.Read(current.data(), rowBytes + 1) == 0) return;
      Unfilter(current[0], current.data() + 1, previous.data() + 1, rowBytes, geometry.offset);
      converter.Decode(current.data() + 1, y, x0, dx, width, rowBytes);
      current.swap(previous);
    }
  };

  if (image.Interlacing == 0) {
    decodeRows(0, 1, 0, 1, header.Width);
  } else {
    for (int pass = 0; pass < 7; ++pass)
      decodeRows(kRowStart[pass], kRowIncrement[pass], kColumnStart[pass], kColumnIncrement[pass],
                 PassWidth(header.Width, pass));
  }
  reader.Finish();
  return true;
}

bool TChunkIDAT::SaveToStream(TPngStream& stream) {
  TPngImage& image = Owner();
  TChunkIHDR& header = Header();
  if (!header.Bits) throw EPNGHeaderNotPresent();
  // The header is written first and marks a 2-bit image as the 4-bit one it is.
  const int depth = header.BitDepth == 2 ? 4 : header.BitDepth;
  const TRowGeometry geometry(header, depth);
  TRowConverter converter(header, image, depth);
  TIdatWriter writer(stream, size_t(image.MaxDataChunkSize()), image.DeflateLevel);

  auto encodeRows = [&](uint32_t firstRow, uint32_t rowStep, uint32_t x0, uint32_t dx, uint32_t width) {
    const size_t rowBytes = geometry.RowBytes(width);
    if (rowBytes == 0) return;
    std::vector<uint8_t> raw(rowBytes, 0);
    TRowFilterer filterer(image.EncodeFilters, rowBytes, geometry.offset);
    for (uint32_t y = firstRow; y < header.Height; y += rowStep) {
      converter.Encode(raw.data(), y, x0, dx, width, rowBytes);
      const std::vector<uint8_t>& row = filterer.Apply(raw.data(), rowBytes);
      writer.Write(row.data(), rowBytes + 1);
    }
  };

  if (image.Interlacing == 0) {
    encodeRows(0, 1, 0, 1, header.Width);
  } else {
    for (int pass = 0; pass < 7; ++pass)
      encodeRows(kRowStart[pass], kRowIncrement[pass], kColumnStart[pass], kColumnIncrement[pass],
                 PassWidth(header.Width, pass));
  }
  writer.Finish();
  return true;
}

}  // namespace png
