// Decoding and encoding of the image data in every format.
#include <gtest/gtest.h>

#include <cstring>

#include "PngFixtures.h"

using namespace png::core;  // the core's failures

namespace {
struct Size {
  uint32_t w, h;
};
const Size kSizes[] = {{1, 1}, {3, 5}, {9, 9}};
}  // namespace

TEST(PngImageData, DecodesEveryFormatSizeAndInterlace) {
  uint32_t seed = 1;
  for (auto [ct, depth] : LegalFormats())
    for (Size s : kSizes)
      for (bool interlaced : {false, true}) {
        SCOPED_TRACE(testing::Message() << "type " << int(ct) << " depth " << int(depth) << " "
                                        << s.w << "x" << s.h << (interlaced ? " Adam7" : ""));
        RawImage raw = RandomImage(s.w, s.h, ct, depth, seed++);
        PngBuild build;
        build.interlaced = interlaced;
        TPngImage png;
        Load(png, BuildPng(raw, build));
        ExpectDecoded(png, raw);
        EXPECT_EQ(png.Interlacing, interlaced ? 1 : 0);
      }
}

TEST(PngImageData, RoundTripsEveryFormatFilterSetAndInterlace) {
  const TPngFilters filterSets[] = {
      0, FilterBit(pfNone), FilterBit(pfSub), FilterBit(pfUp), FilterBit(pfAverage),
      FilterBit(pfPaeth), TPngFilters(FilterBit(pfSub) | FilterBit(pfPaeth)), 0x1F};
  uint32_t seed = 100;
  for (auto [ct, depth] : LegalFormats())
    for (TPngFilters filters : filterSets)
      for (uint8_t interlace : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "type " << int(ct) << " depth " << int(depth)
                                        << " filters " << int(filters) << " interlace " << int(interlace));
        const RawImage raw = RandomImage(9, 7, ct, depth, seed++);
        TPngImage png;
        Load(png, BuildPng(raw));
        png.EncodeFilters = filters;
        png.Interlacing = interlace;
        const Bytes saved = Save(png);
        TPngImage again;
        Load(again, saved);
        EXPECT_EQ(again.Interlacing, interlace);
        // 2-bit images come back as the 4-bit images they are held as.
        EXPECT_EQ(again.HeaderChunk().BitDepth, depth == 2 ? 4 : depth);
        ExpectDecoded(again, raw, /*lowBytesZero=*/true);
        if (ct == 3) {
          EXPECT_EQ(0, std::memcmp(again.HeaderChunk().BitmapInfo.Colours,
                                   png.HeaderChunk().BitmapInfo.Colours, 4 << depth));
        }
      }
}

TEST(PngImageData, SixteenBitImagesAreSavedWithLowBytesZero) {
  const RawImage raw = RandomImage(4, 4, 2, 16, 7);
  TPngImage png;
  Load(png, BuildPng(raw));
  EXPECT_NE(png.LowByteRow(0)[0] | png.LowByteRow(1)[1], 0);
  TPngImage again;
  Load(again, Save(png));
  for (uint32_t y = 0; y < 4; ++y)
    for (int i = 0; i < 12; ++i) EXPECT_EQ(again.LowByteRow(y)[i], 0);
}

TEST(PngImageData, ReadsAcrossIdatChainsIncludingEmptyChunks) {
  const RawImage raw = RandomImage(9, 9, 6, 8, 3);
  PngBuild oneByte;
  oneByte.idatSplit = 1;
  TPngImage png;
  Load(png, BuildPng(raw, oneByte));
  ExpectDecoded(png, raw);

  // Zero-length IDAT chunks between the pieces do not end the data.
  Bytes file = BuildPng(raw, oneByte);
  Bytes withEmpty(file.begin(), file.begin() + 33);
  size_t pos = 33;
  while (pos < file.size()) {
    const size_t length = ReadBigEndian32(&file[pos]);
    if (std::string(reinterpret_cast<char*>(&file[pos + 4]), 4) == "IDAT") {
      Bytes empty = Chunk("IDAT", {});
      withEmpty.insert(withEmpty.end(), empty.begin(), empty.end());
      withEmpty.insert(withEmpty.end(), empty.begin(), empty.end());
    }
    withEmpty.insert(withEmpty.end(), file.begin() + ptrdiff_t(pos), file.begin() + ptrdiff_t(pos + 12 + length));
    pos += 12 + length;
  }
  TPngImage chained;
  Load(chained, withEmpty);
  ExpectDecoded(chained, raw);
}

TEST(PngImageData, UnknownFilterTypeLeavesTheRowUnfiltered) {
  const RawImage raw = RandomImage(5, 3, 0, 8, 9);
  PngBuild build;
  build.filterFor = [](int row) { return uint8_t(row == 1 ? 7 : 0); };
  TPngImage png;
  Load(png, BuildPng(raw, build));
  ExpectDecoded(png, raw);
}

TEST(PngImageData, IdatChainFaults) {
  const RawImage raw = RandomImage(16, 16, 2, 8, 5);
  const Bytes rows = ImageRows(raw, false, [](int) { return 0; });
  const Bytes ihdr = Chunk("IHDR", HeaderData(16, 16, 8, 2));
  auto file = [&](std::initializer_list<Bytes> chunks) {
    Bytes f = Signature();
    f.insert(f.end(), ihdr.begin(), ihdr.end());
    for (const Bytes& c : chunks) f.insert(f.end(), c.begin(), c.end());
    return f;
  };
  auto loadError = [](const Bytes& bytes) -> std::string {
    TPngImage png;
    TPngMemoryStream stream(bytes);
    try {
      png.LoadFromStream(stream);
    } catch (const EPngInvalidCRC&) {
      return "crc";
    } catch (const EPNGMissingMultipleIDAT&) {
      return "missing";
    } catch (const EPNGZLIBError& e) {
      return e.what();
    }
    return "none";
  };
  const Bytes data = Deflate(rows);
  const Bytes half(data.begin(), data.begin() + ptrdiff_t(data.size() / 2));
  const Bytes rest(data.begin() + ptrdiff_t(data.size() / 2), data.end());
  const Bytes end = Chunk("IEND", {});

  EXPECT_EQ(loadError(file({Chunk("IDAT", half), Chunk("IDAT", rest), end})), "none");
  // Image data that runs into IEND.
  EXPECT_EQ(loadError(file({Chunk("IDAT", half), end})), "missing");
  // One changed pixel byte of stored data still inflates; the chunk's CRC,
  // checked before the next chunk is read, catches it.
  const Bytes stored = Deflate(rows, 0);
  Bytes changed = Chunk("IDAT", Bytes(stored.begin(), stored.begin() + 200));
  changed[8 + 100] ^= 0x01;
  EXPECT_EQ(loadError(file({changed, Chunk("IDAT", Bytes(stored.begin() + 200, stored.end())), end})), "crc");
  // A stream cut off inside the data: the CRC cannot be read whole.
  Bytes cut = file({Chunk("IDAT", data)});
  cut.resize(cut.size() - 4 - data.size() / 2);
  EXPECT_EQ(loadError(cut), "crc");
  // Broken zlib data.
  Bytes broken = data;
  broken[0] = 0x08;
  broken[1] = 0xFF;
  EXPECT_NE(loadError(file({Chunk("IDAT", broken), end})).find("\r\n Description: "), std::string::npos);
  // A stream asking for a preset dictionary.
  Bytes dict = {0x78, 0xBB, 0, 0, 0, 1, 0x03, 0x00};
  EXPECT_NE(loadError(file({Chunk("IDAT", dict), end})).find("need dictionary (2)"), std::string::npos);
  // Bytes after the end of the zlib stream are ignored; decoding stops there.
  Bytes padded = data;
  padded.insert(padded.end(), 300, 0xAB);
  EXPECT_EQ(loadError(file({Chunk("IDAT", padded), end})), "none");
  // zlib's state passes from image to image: nothing of the above stays in it.
  TPngImage next;
  Load(next, BuildPng(raw));
  ExpectDecoded(next, raw);
}

TEST(PngImageData, TruncatedImageKeepsTheRowsDecodedSoFar) {
  RawImage raw = RandomImage(64, 64, 0, 8, 2);
  const Bytes data = Deflate(ImageRows(raw, false, [](int) { return 0; }), 0);
  Bytes f = Signature();
  for (const Bytes& c : {Chunk("IHDR", HeaderData(64, 64, 8, 0)), Chunk("IDAT", data)})
    f.insert(f.end(), c.begin(), c.end());
  f.resize(f.size() - 4 - data.size() / 2);
  TPngImage png;
  TPngMemoryStream stream(f);
  EXPECT_THROW(png.LoadFromStream(stream), EPngInvalidCRC);
  ASSERT_EQ(png.Chunks().Count(), 2);
  EXPECT_EQ(png.ImageRow(0)[5], raw.At(5, 0, 0));
  EXPECT_EQ(png.ImageRow(63)[5], 0);
}

TEST(PngImageData, WritesIdatChunksOfExactlyMaxDataChunkSize) {
  // Stored (level 0) noise compresses to a known size: 2.5 chunks.
  const uint32_t side = 256;
  RawImage raw = RandomImage(side, 640, 0, 8, 4);
  raw.height = uint32_t(65535 * 5 / 2 / (side + 1));
  raw.samples.resize(size_t(side) * raw.height);
  TPngImage png;
  Load(png, BuildPng(raw));
  png.DeflateLevel = 0;
  png.EncodeFilters = FilterBit(pfNone);
  const Bytes saved = Save(png);
  std::vector<size_t> sizes;
  for (const auto& c : SplitChunks(saved))
    if (c.first == "IDAT") sizes.push_back(c.second.size());
  ASSERT_EQ(sizes.size(), 3u);
  EXPECT_EQ(sizes[0], 65535u);
  EXPECT_EQ(sizes[1], 65535u);
  EXPECT_GT(sizes[2], 0u);
  EXPECT_LT(sizes[2], 65535u);
  TPngImage again;
  Load(again, saved);
  ExpectDecoded(again, raw);

  png.SetMaxDataChunkSize(1000);
  EXPECT_EQ(png.MaxDataChunkSize(), 65535);
  png.SetMaxDataChunkSize(100000);
  EXPECT_EQ(png.MaxDataChunkSize(), 100000);
}

TEST(PngImageData, EncoderFilterChoice) {
  // Rows with runs score for Sub; the first row gives Paeth the bytes of Sub.
  RawImage raw = RandomImage(12, 3, 0, 8, 1);
  for (uint32_t y = 0; y < 3; ++y)
    for (uint32_t x = 0; x < 12; ++x) raw.At(x, y, 0) = uint16_t(x * 10 + y * 50);
  TPngImage png;
  Load(png, BuildPng(raw));
  auto typesWith = [&](TPngFilters filters) {
    png.EncodeFilters = filters;
    return RowFilterTypes(Save(png), 12);
  };
  EXPECT_EQ(typesWith(FilterBit(pfSub)), (std::vector<uint8_t>{1, 1, 1}));
  EXPECT_EQ(typesWith(0), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(typesWith(FilterBit(pfPaeth)), (std::vector<uint8_t>{4, 4, 4}));
  EXPECT_EQ(typesWith(FilterBit(pfSub) | FilterBit(pfPaeth))[0], 1);
  // Up and Paeth both score 0 on a noise row: the row goes out unfiltered.
  RawImage noise = RandomImage(12, 1, 0, 8, 77);
  for (uint32_t x = 0; x < 12; ++x) noise.At(x, 0, 0) = uint16_t((x * x * 7 + 3 * x) % 256);
  TPngImage noisy;
  Load(noisy, BuildPng(noise));
  noisy.EncodeFilters = FilterBit(pfUp) | FilterBit(pfPaeth);
  EXPECT_EQ(RowFilterTypes(Save(noisy), 12), (std::vector<uint8_t>{0}));
}
