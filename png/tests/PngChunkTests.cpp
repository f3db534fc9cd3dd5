// The loader, the chunk classes and their failures.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <random>

#include "PngFixtures.h"

using namespace png::core;  // the core's failures

namespace {
const Bytes kEnd = Chunk("IEND", {});

RawImage Gray(uint32_t w = 4, uint32_t h = 4) { return RandomImage(w, h, 0, 8, 11); }

// IHDR, the given chunks, a valid IDAT for a 4x4 gray image, IEND.
Bytes FileWith(const std::vector<Bytes>& extra, const Bytes& header = Chunk("IHDR", HeaderData(4, 4, 8, 0))) {
  Bytes f = Signature();
  f.insert(f.end(), header.begin(), header.end());
  for (const Bytes& c : extra) f.insert(f.end(), c.begin(), c.end());
  Bytes idat = Chunk("IDAT", Deflate(ImageRows(Gray(), false, [](int) { return 0; })));
  f.insert(f.end(), idat.begin(), idat.end());
  f.insert(f.end(), kEnd.begin(), kEnd.end());
  return f;
}

template <class E>
std::string LoadFails(const Bytes& bytes, TPngImage* into = nullptr) {
  TPngImage local;
  TPngImage& png = into ? *into : local;
  TPngMemoryStream stream(bytes);
  try {
    png.LoadFromStream(stream);
  } catch (const E& e) {
    return e.what();
  } catch (const std::exception& e) {
    return std::string("wrong exception: ") + e.what();
  }
  return "no exception";
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
}  // namespace

TEST(PngCrc, MatchesTheStandard) {
  EXPECT_EQ(~UpdateCrc(0xFFFFFFFFu, "IEND", 4), 0xAE426082u);
  std::mt19937 rng(3);
  Bytes data(1000);
  for (auto& b : data) b = uint8_t(rng());
  for (size_t n : {0u, 1u, 7u, 8u, 9u, 63u, 1000u})
    EXPECT_EQ(~UpdateCrc(0xFFFFFFFFu, data.data(), n), crc32(crc32(0, nullptr, 0), data.data(), uInt(n)));
}

TEST(PngLoader, RejectsBrokenFiles) {
  const Bytes header = Chunk("IHDR", HeaderData(4, 4, 8, 0));
  TPngImage png;
  EXPECT_EQ(LoadFails<EPNGInvalidFileHeader>(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}, &png),
            "The file being readed is not a valid \"Portable Network Graphics\" image because it "
            "contains an invalid header. This file may be corruped, try obtaining it again.");
  EXPECT_TRUE(png.Empty());
  EXPECT_EQ(LoadFails<EPNGIHDRNotFirst>(Cat({Signature(), Chunk("gAMA", Be32(45455)), header})),
            "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n"
            "(IHDR chunk is not the first)");
  EXPECT_EQ(LoadFails<EPNGIHDRNotFirst>(FileWith({header})).substr(0, 5), "This ");
  EXPECT_EQ(LoadFails<EPNGNoImageData>(Cat({Signature(), header, kEnd})),
            "This \"Portable Network Graphics\" image contains no data.");
  EXPECT_EQ(LoadFails<EPngUnexpectedEnd>(Cat({Signature(), header})).substr(0, 5), "This ");
  EXPECT_EQ(LoadFails<EPngUnexpectedEnd>(Cat({Signature(), header, Bytes{0, 0}})).substr(0, 5), "This ");

  // An unknown critical chunk stops the load and stays in the list.
  EXPECT_EQ(LoadFails<EPNGUnknownCriticalChunk>(FileWith({Chunk("XXXX", {1, 2})}), &png).substr(0, 5), "This ");
  ASSERT_EQ(png.Chunks().Count(), 2);
  EXPECT_EQ(png.Chunks().GetItem(1)->Name(), "XXXX");
  EXPECT_EQ(png.Width(), 4u);  // chunks read before a failure stay

  // CRC: one flipped bit.
  Bytes flipped = FileWith({Chunk("tEXt", {'a', 0, 'b'})});
  flipped[33 + 9] ^= 0x10;
  EXPECT_EQ(LoadFails<EPngInvalidCRC>(flipped),
            "This \"Portable Network Graphics\" image is not valid because it contains invalid "
            "pieces of data (crc error)");
  // A length past the stream, and one above 2^31 - 1.
  Bytes tooLong = Cat({Signature(), header, Be32(1000000), Bytes{'t', 'E', 'X', 't', 1, 2}});
  EXPECT_EQ(LoadFails<EPngInvalidCRC>(tooLong).substr(0, 5), "This ");
  Bytes huge = Cat({Signature(), header, Be32(0x80000000u), Bytes{'t', 'E', 'X', 't', 1, 2}});
  EXPECT_EQ(LoadFails<EPngUnexpectedEnd>(huge).substr(0, 5), "This ");
}

TEST(PngLoader, ChecksTheHeader) {
  auto withHeader = [](const Bytes& data) { return FileWith({}, Chunk("IHDR", data)); };
  Bytes shortHeader = HeaderData(4, 4, 8, 0);
  shortHeader.pop_back();
  EXPECT_EQ(LoadFails<EPngInvalidIHDR>(withHeader(shortHeader)),
            "The \"Portable Network Graphics\" image could not be loaded because one of its main "
            "piece of data (ihdr) might be corrupted");
  EXPECT_EQ(LoadFails<EPNGSizeExceeds>(withHeader(HeaderData(65536, 1, 8, 0))),
            "This \"Portable Network Graphics\" image is not supported because either it's width "
            "or height exceeds the maximum size, which is 65535 pixels length.");
  EXPECT_EQ(LoadFails<EPNGUnknownCompression>(withHeader(HeaderData(4, 4, 8, 0, 0, 1))),
            "This \"Portable Network Graphics\" image is encoded with an unknown compression "
            "scheme which could not be decoded.");
  EXPECT_EQ(LoadFails<EPNGUnknownInterlace>(withHeader(HeaderData(4, 4, 8, 0, 2))),
            "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could "
            "not be decoded.");
  // Sizes and formats the codec cannot hold fail before any memory is taken.
  EXPECT_EQ(LoadFails<EPngInvalidIHDR>(withHeader(HeaderData(0, 4, 8, 0))).substr(0, 4), "The ");
  EXPECT_EQ(LoadFails<EPngInvalidIHDR>(withHeader(HeaderData(4, 0, 8, 0))).substr(0, 4), "The ");
  EXPECT_EQ(LoadFails<EPNGSizeExceeds>(withHeader(HeaderData(65535, 65535, 8, 6))).substr(0, 5), "This ");
  for (auto [ct, depth] : std::vector<std::pair<uint8_t, uint8_t>>{{2, 4}, {3, 16}, {4, 1}, {6, 2}, {0, 3}, {5, 8}, {7, 8}})
    EXPECT_EQ(LoadFails<EPngInvalidIHDR>(withHeader(HeaderData(4, 4, depth, ct))).substr(0, 4), "The ")
        << int(ct) << "/" << int(depth);

  // A header that failed leaves no half-made image behind.
  TPngImage failed;
  LoadFails<EPngInvalidIHDR>(withHeader(HeaderData(4, 4, 3, 8)), &failed);
  ASSERT_TRUE(failed.HasHeader());
  EXPECT_EQ(failed.Width(), 0u);
  EXPECT_EQ(failed.GetPixelColour(0, 0), 0u);
  EXPECT_EQ(failed.ImageRow(0), nullptr);
  uint8_t area[4] = {};
  failed.BlendOver(area, 1, 1);

  // Width 65535 is fine.
  TPngImage wide;
  Bytes f = Cat({Signature(), Chunk("IHDR", HeaderData(65535, 1, 1, 0)),
                 Chunk("IDAT", Deflate(Bytes(1 + 8192, 0))), kEnd});
  Load(wide, f);
  EXPECT_EQ(wide.Width(), 65535u);
}

TEST(PngLoader, PaletteAndTransparencySizes) {
  const Bytes header = Chunk("IHDR", HeaderData(4, 4, 8, 3));
  EXPECT_EQ(LoadFails<EPNGInvalidPalette>(FileWith({Chunk("PLTE", Bytes(770))}, header)),
            "The \"Portable Network Graphics\" image contains an invalid palette.");
  EXPECT_EQ(LoadFails<EPNGInvalidPalette>(FileWith({Chunk("PLTE", Bytes(771))}, header)).substr(0, 4), "The ");
  EXPECT_EQ(LoadFails<EPNGInvalidPalette>(FileWith({Chunk("PLTE", Bytes(768)), Chunk("tRNS", Bytes(257))}, header)).substr(0, 4), "The ");
  TPngImage png;
  Load(png, FileWith({Chunk("PLTE", Bytes(768, 9))}, header));
  EXPECT_EQ(png.Chunks().ItemFromClass<TChunkPLTE>()->Count, 256u);
  EXPECT_EQ(png.Chunks().ItemFromClass<TChunkPLTE>()->PaletteEntryColour(255), 0x090909u);
  EXPECT_THROW(png.Chunks().ItemFromClass<TChunkPLTE>()->PaletteEntryColour(256), EPngError);

  auto single = [&](const Bytes& trns) {
    TPngImage p;
    Load(p, FileWith({Chunk("PLTE", Bytes(768)), Chunk("tRNS", trns)}, header));
    return p.Chunks().ItemFromClass<TChunktRNS>()->IsSingleColour;
  };
  EXPECT_TRUE(single({0, 255, 255}));
  EXPECT_FALSE(single({0, 128}));
  // One half-transparent entry is alpha, not a colour key.
  EXPECT_FALSE(single({255, 128, 255}));
}

TEST(PngLoader, SkipsAndKeepsChunks) {
  // cHRM is dropped; unknown ancillary chunks, also "idat", are kept byte for byte.
  const Bytes chrm = Chunk("cHRM", Bytes(32, 1));
  const Bytes unknown = Chunk("prVt", {1, 2, 3, 0, 9});
  const Bytes lower = Chunk("idat", {7, 7});
  Bytes f = FileWith({chrm, unknown, lower});
  // A second IDAT after the complete image is skipped.
  f.insert(f.end() - 12, {0, 0, 0, 2, 'I', 'D', 'A', 'T', 1, 2, 0, 0, 0, 0});
  TPngImage png;
  Load(png, f);
  std::vector<std::string> names;
  for (int i = 0; i < png.Chunks().Count(); ++i) names.push_back(png.Chunks().GetItem(i)->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"IHDR", "prVt", "idat", "IDAT", "IEND"}));
  EXPECT_EQ(&png.Chunks().GetItem(2)->ChunkClass(), &TChunk::Class);
  const Bytes saved = Save(png);
  EXPECT_EQ(std::search(saved.begin(), saved.end(), unknown.begin(), unknown.end()) - saved.begin(), 33);
  EXPECT_EQ(std::search(saved.begin(), saved.end(), chrm.begin(), chrm.begin() + 8), saved.end());
}

TEST(PngChunks, GammaTables) {
  TPngImage png;
  Load(png, FileWith({Chunk("gAMA", Be32(100000))}));
  for (int i : {1, 64, 128, 200, 255})
    EXPECT_EQ(png.DecodeGamma[size_t(i)], uint8_t(std::nearbyint(255 * std::pow(i / 255.0, 1 / 2.2)))) << i;
  EXPECT_EQ(png.DecodeGamma[0], 0);
  EXPECT_EQ(png.EncodeGamma[png.DecodeGamma[128]], 128);
  // The gray bytes stay; the colour table carries the corrected grays.
  EXPECT_EQ(png.ImageRow(0)[0], Gray().At(0, 0, 0));
  EXPECT_EQ(png.HeaderChunk().BitmapInfo.Colours[128].Red, png.DecodeGamma[128]);
  TPngImage same;  // a second image of the same gamma gets the same tables
  Load(same, FileWith({Chunk("gAMA", Be32(100000))}));
  EXPECT_EQ(same.DecodeGamma, png.DecodeGamma);
  EXPECT_EQ(same.EncodeGamma, png.EncodeGamma);

  TPngImage zero;
  Load(zero, FileWith({Chunk("gAMA", Be32(0))}));
  EXPECT_EQ(zero.DecodeGamma[128], 128);
  // The value is unsigned: the largest one still gives tables in range.
  TPngImage huge;
  Load(huge, FileWith({Chunk("gAMA", Be32(0xFFFFFFFFu))}));
  EXPECT_EQ(huge.DecodeGamma[0], 0);
  EXPECT_EQ(huge.DecodeGamma[1], 255);
  // A gAMA of the wrong size is kept but changes nothing.
  TPngImage odd;
  Load(odd, FileWith({Chunk("gAMA", {1, 2})}));
  EXPECT_EQ(odd.DecodeGamma[128], 128);
}

TEST(PngChunks, TextAndFieldChunksRoundTrip) {
  const std::string longText(1000, 'x');
  TPngImage source;
  Load(source, FileWith({}));
  auto* text = new TChunktEXt(source);
  text->SetKeyword("Title");
  text->SetText("Brimvale");
  auto* ztext = new TChunkzTXt(source);
  ztext->SetKeyword("Comment");
  ztext->SetText(longText + "end");
  auto* phys = new TChunkpHYs(source);
  phys->PixelsPerUnitX = 3780;
  phys->PixelsPerUnitY = 2835;
  phys->UnitSpecifier = 1;
  auto* time = new TChunktIME(source);
  time->Year = 2026;
  time->Second = 59;
  TChunk* end = source.Chunks().Remove(source.Chunks().ItemFromClass<TChunkIEND>());
  for (TChunk* c : std::initializer_list<TChunk*>{text, ztext, phys, time, end}) source.Chunks().Add(c);
  TPngImage png;
  Load(png, Save(source));
  const auto& list = png.Chunks();
  EXPECT_EQ(list.ItemFromClass<TChunkzTXt>()->Text(), longText + "end");
  EXPECT_EQ(list.ItemFromClass<TChunkzTXt>()->Keyword(), "Comment");
  EXPECT_EQ(list.GetItem(2)->Name(), "tEXt");
  EXPECT_EQ(static_cast<TChunktEXt*>(list.GetItem(2))->Text(), "Brimvale");
  EXPECT_EQ(list.ItemFromClass<TChunkpHYs>()->PixelsPerUnitY, 2835u);
  EXPECT_EQ(list.ItemFromClass<TChunktIME>()->Year, 2026);
  EXPECT_EQ(list.ItemFromClass<TChunktIME>()->Second, 59);
  // An empty zTXt text is written as one space.
  ztext->SetText("");
  TPngImage again;
  Load(again, Save(source));
  EXPECT_EQ(again.Chunks().ItemFromClass<TChunkzTXt>()->Text(), " ");
}

TEST(PngChunks, UndecodableTextIsKeptAsRead) {
  Bytes dict = {'k', 0, 0, 0x78, 0xBB, 0, 0, 0, 1, 0x03, 0x00};     // asks for a dictionary
  Bytes method = {'k', 0, 1, 0x78, 0x9C, 0x03, 0, 0, 0, 0, 1};       // unknown method
  Bytes noTerminator = {'a', 'b', 'c', 'd'};
  // A small zTXt that inflates past the text limit.
  Bytes bomb = {'b', 0, 0};
  const Bytes packed = Deflate(Bytes(size_t(17) << 20, 'z'), 9);
  bomb.insert(bomb.end(), packed.begin(), packed.end());
  const std::vector<Bytes> chunks = {Chunk("zTXt", dict), Chunk("zTXt", method),
                                     Chunk("tEXt", noTerminator), Chunk("zTXt", bomb),
                                     Chunk("pHYs", {1, 2, 3}), Chunk("tIME", {7})};
  TPngImage png;
  Load(png, FileWith(chunks));
  EXPECT_EQ(png.Chunks().ItemFromClass<TChunkzTXt>()->Text(), "");
  EXPECT_EQ(png.Chunks().ItemFromClass<TChunkzTXt>()->Keyword(), "k");
  const Bytes saved = Save(png);
  for (const Bytes& c : chunks)
    EXPECT_NE(std::search(saved.begin(), saved.end(), c.begin(), c.end()), saved.end());
}

TEST(PngChunks, RegistryAndAssign) {
  EXPECT_EQ(TChunkIHDR::Class.ChunkTypeOfClass(), "IHDR");
  EXPECT_EQ(TChunk::Class.ChunkTypeOfClass(), "");
  TPngImage png;
  std::unique_ptr<TChunk> plte(CreateChunkForName(png, "PLTE"));
  std::unique_ptr<TChunk> lower(CreateChunkForName(png, "plte"));
  EXPECT_NE(dynamic_cast<TChunkPLTE*>(plte.get()), nullptr);
  EXPECT_EQ(&lower->ChunkClass(), &TChunk::Class);
  EXPECT_EQ(lower->Name(), "plte");
  TChunkgAMA gama(png);
  EXPECT_EQ(gama.Value(), 1u);
  try {
    plte->Assign(gama);
    ADD_FAILURE();
  } catch (const EPngError& e) {
    EXPECT_STREQ(e.what(), "The chunks must be compatible to be assigned.");
  }
  EXPECT_THROW(gama.Assign(*plte), EPngError);
  TChunkIHDR header(png);
  EXPECT_THROW(header.Assign(gama), EPngError);

  // A chunk type registered later is created by its class; the standard
  // registry comes back afterwards.
  FreeChunkClassRegistry();
  std::unique_ptr<TChunk> plain(CreateChunkForName(png, "PLTE"));
  EXPECT_EQ(&plain->ChunkClass(), &TChunk::Class);
  RegisterStandardChunks();
  std::unique_ptr<TChunk> back(CreateChunkForName(png, "PLTE"));
  EXPECT_EQ(&back->ChunkClass(), &TChunkPLTE::Class);
}

TEST(PngChunks, TwoBitHeaderIsSavedAsFourBit) {
  RawImage raw = RandomImage(5, 2, 0, 2, 8);
  TPngImage png;
  Load(png, BuildPng(raw));
  const auto chunks = SplitChunks(Save(png));
  EXPECT_EQ(chunks[0].second[8], 4);
  EXPECT_EQ(png.HeaderChunk().BitDepth, 4);
}
