#include "PngFixtures.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>

namespace {
const uint32_t kRowStart[7] = {0, 0, 4, 0, 2, 0, 1};
const uint32_t kColStart[7] = {0, 4, 0, 2, 0, 1, 0};
const uint32_t kRowInc[7] = {8, 8, 8, 4, 4, 2, 2};
const uint32_t kColInc[7] = {8, 8, 4, 4, 2, 2, 1};

int PaethPredictor(int a, int b, int c) {
  int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Packs the samples of the given columns of one row into PNG row bytes.
Bytes PackRow(const RawImage& im, uint32_t y, const std::vector<uint32_t>& columns) {
  const int ch = im.Channels();
  Bytes row((columns.size() * ch * im.bitDepth + 7) / 8, 0);
  size_t bit = 0;
  for (uint32_t x : columns)
    for (int c = 0; c < ch; ++c) {
      const uint16_t s = im.At(x, y, c);
      if (im.bitDepth == 16) {
        row[bit / 8] = uint8_t(s >> 8);
        row[bit / 8 + 1] = uint8_t(s);
      } else if (im.bitDepth == 8) {
        row[bit / 8] = uint8_t(s);
      } else {
        row[bit / 8] |= uint8_t(s << (8 - im.bitDepth - bit % 8));
      }
      bit += im.bitDepth;
    }
  return row;
}
}  // namespace

int RawImage::Channels() const {
  switch (colourType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
  }
}

std::vector<std::pair<uint8_t, uint8_t>> LegalFormats() {
  return {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
          {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
}

RawImage RandomImage(uint32_t width, uint32_t height, uint8_t colourType, uint8_t bitDepth,
                     uint32_t seed) {
  RawImage im;
  im.width = width;
  im.height = height;
  im.colourType = colourType;
  im.bitDepth = bitDepth;
  std::mt19937 rng(seed);
  im.samples.resize(size_t(width) * height * im.Channels());
  const uint32_t limit = (1u << bitDepth) - 1;
  for (auto& s : im.samples) s = uint16_t(rng() % (limit + 1));
  if (colourType == 3) {
    im.palette.resize(3u << bitDepth);
    for (auto& b : im.palette) b = uint8_t(rng());
  }
  return im;
}

Bytes Be32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

Bytes Chunk(const std::string& name, const Bytes& data) {
  Bytes out = Be32(uint32_t(data.size()));
  out.insert(out.end(), name.begin(), name.end());
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(name.data()), 4);
  if (!data.empty()) crc = crc32(crc, data.data(), uInt(data.size()));  // a null buffer resets it
  Bytes c = Be32(uint32_t(crc));
  out.insert(out.end(), c.begin(), c.end());
  return out;
}

Bytes Signature() { return {137, 80, 78, 71, 13, 10, 26, 10}; }

Bytes HeaderData(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType,
                 uint8_t interlace, uint8_t compression) {
  Bytes d = Be32(width);
  Bytes h = Be32(height);
  d.insert(d.end(), h.begin(), h.end());
  d.insert(d.end(), {depth, colourType, compression, 0, interlace});
  return d;
}

Bytes ImageRows(const RawImage& im, bool interlaced, const std::function<uint8_t(int)>& filterFor) {
  Bytes out;
  const size_t bpp = std::max(1, im.Channels() * im.bitDepth / 8);
  int rowIndex = 0;
  for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
    const uint32_t r0 = interlaced ? kRowStart[pass] : 0, dr = interlaced ? kRowInc[pass] : 1;
    const uint32_t c0 = interlaced ? kColStart[pass] : 0, dc = interlaced ? kColInc[pass] : 1;
    std::vector<uint32_t> columns;
    for (uint32_t x = c0; x < im.width; x += dc) columns.push_back(x);
    if (columns.empty()) continue;
    Bytes prior;
    for (uint32_t y = r0; y < im.height; y += dr) {
      const Bytes raw = PackRow(im, y, columns);
      if (prior.empty()) prior.assign(raw.size(), 0);
      const uint8_t type = filterFor(rowIndex++);
      out.push_back(type);
      for (size_t i = 0; i < raw.size(); ++i) {
        const int a = i >= bpp ? raw[i - bpp] : 0, b = prior[i], c = i >= bpp ? prior[i - bpp] : 0;
        int p = 0;
        switch (type) {
          case 1: p = a; break;
          case 2: p = b; break;
          case 3: p = (a + b) / 2; break;
          case 4: p = PaethPredictor(a, b, c); break;
        }
        out.push_back(uint8_t(raw[i] - p));
      }
      prior = raw;
    }
  }
  return out;
}

Bytes Deflate(const Bytes& data, int level) {
  uLongf size = compressBound(uLong(data.size()));
  Bytes out(size);
  EXPECT_EQ(compress2(out.data(), &size, data.data(), uLong(data.size()), level), Z_OK);
  out.resize(size);
  return out;
}

Bytes BuildPng(const RawImage& image, const PngBuild& build) {
  Bytes file = Signature();
  auto add = [&](const std::string& name, const Bytes& data) {
    Bytes c = Chunk(name, data);
    file.insert(file.end(), c.begin(), c.end());
  };
  add("IHDR", HeaderData(image.width, image.height, image.bitDepth, image.colourType,
                         build.interlaced ? 1 : 0));
  if (!image.palette.empty()) add("PLTE", image.palette);
  for (const auto& c : build.before) add(c.first, c.second);
  const Bytes data = Deflate(ImageRows(image, build.interlaced, build.filterFor));
  const size_t step = build.idatSplit ? build.idatSplit : data.size();
  for (size_t i = 0; i < data.size(); i += step)
    add("IDAT", Bytes(data.begin() + ptrdiff_t(i), data.begin() + ptrdiff_t(std::min(data.size(), i + step))));
  for (const auto& c : build.after) add(c.first, c.second);
  add("IEND", {});
  return file;
}

void Load(TPngImage& image, const Bytes& bytes) {
  TPngMemoryStream stream(bytes);
  try {
    image.LoadFromStream(stream);
  } catch (const std::exception& e) {
    ADD_FAILURE() << "load failed: " << e.what();
  }
}

Bytes Save(TPngImage& image) {
  TPngMemoryStream stream;
  image.SaveToStream(stream);
  return stream.Bytes();
}

std::vector<std::pair<std::string, Bytes>> SplitChunks(const Bytes& file) {
  std::vector<std::pair<std::string, Bytes>> chunks;
  size_t pos = 8;
  while (pos + 12 <= file.size()) {
    const uint32_t length = ReadBigEndian32(&file[pos]);
    std::string name(reinterpret_cast<const char*>(&file[pos + 4]), 4);
    Bytes data(file.begin() + ptrdiff_t(pos + 8), file.begin() + ptrdiff_t(pos + 8 + length));
    EXPECT_EQ(Chunk(name, data), Bytes(file.begin() + ptrdiff_t(pos), file.begin() + ptrdiff_t(pos + 12 + length)))
        << "CRC of " << name;
    chunks.emplace_back(name, data);
    pos += 12 + length;
  }
  EXPECT_EQ(pos, file.size());
  return chunks;
}

std::vector<uint8_t> RowFilterTypes(const Bytes& file, size_t rowBytes) {
  Bytes compressed;
  for (const auto& c : SplitChunks(file))
    if (c.first == "IDAT") compressed.insert(compressed.end(), c.second.begin(), c.second.end());
  Bytes rows(1 << 20);
  uLongf size = uLongf(rows.size());
  EXPECT_EQ(uncompress(rows.data(), &size, compressed.data(), uLong(compressed.size())), Z_OK);
  std::vector<uint8_t> types;
  for (size_t i = 0; i < size; i += rowBytes + 1) types.push_back(rows[i]);
  return types;
}

void ExpectDecoded(const TPngImage& png, const RawImage& raw, bool lowBytesZero) {
  ASSERT_TRUE(png.HasHeader());
  const TChunkIHDR& h = png.HeaderChunk();
  ASSERT_EQ(h.Width, raw.width);
  ASSERT_EQ(h.Height, raw.height);
  const int bpp = h.BitsPerPixel();
  int failures = 0;
  for (uint32_t y = 0; y < raw.height && failures < 5; ++y)
    for (uint32_t x = 0; x < raw.width && failures < 5; ++x) {
      const uint8_t* row = png.ImageRow(y);
      const uint8_t* low = png.LowByteRow(y);
      const uint8_t* alpha = png.AlphaRow(y);
      std::vector<int> got, want;
      auto wide = [&](int c) {  // high byte in the bitmap, low byte in its plane
        const uint16_t s = raw.At(x, y, c);
        return raw.bitDepth == 16 ? std::make_pair(s >> 8, lowBytesZero ? 0 : s & 0xFF)
                                  : std::make_pair(int(s), 0);
      };
      switch (raw.colourType) {
        case 0:
        case 3:
          if (raw.bitDepth == 16) {
            got = {row[x], low[x]};
            want = {wide(0).first, wide(0).second};
          } else {
            got = {PackedSample(row, x, bpp)};
            want = {raw.bitDepth == 2 && raw.colourType == 0 ? raw.At(x, y, 0) * 5 : raw.At(x, y, 0)};
          }
          break;
        case 4:
          got = {row[x], alpha[x]};
          want = {wide(0).first, wide(1).first};
          if (raw.bitDepth == 16) {
            got.push_back(low[x]);
            want.push_back(wide(0).second);
          }
          break;
        default:
          for (int c = 0; c < 3; ++c) {
            got.push_back(row[3 * x + 2 - c]);
            want.push_back(wide(c).first);
            if (raw.bitDepth == 16) {
              got.push_back(low[3 * x + 2 - c]);
              want.push_back(wide(c).second);
            }
          }
          if (raw.colourType == 6) {
            got.push_back(alpha[x]);
            want.push_back(wide(3).first);
          }
      }
      if (got != want) {
        ++failures;
        ADD_FAILURE() << "pixel " << x << "," << y << " of " << raw.width << "x" << raw.height
                      << " type " << int(raw.colourType) << " depth " << int(raw.bitDepth);
      }
    }
}
