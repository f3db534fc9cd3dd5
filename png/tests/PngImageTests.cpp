// The image object: transparency, pixels, resizing, blending and copying.
#include <gtest/gtest.h>

#include "PngFixtures.h"

using namespace png::core;  // the core's failures

namespace {
RawImage Solid(uint32_t w, uint32_t h, uint8_t ct, uint8_t depth, std::vector<uint16_t> pixel) {
  RawImage im = RandomImage(w, h, ct, depth, 1);
  for (size_t i = 0; i < im.samples.size(); ++i) im.samples[i] = pixel[i % pixel.size()];
  return im;
}

TPngImage* Loaded(TPngImage& png, const RawImage& raw, const PngBuild& build = PngBuild()) {
  Load(png, BuildPng(raw, build));
  return &png;
}
}  // namespace

TEST(PngImage, EmptyImage) {
  TPngImage png;
  EXPECT_TRUE(png.Empty());
  EXPECT_EQ(png.Width(), 0u);
  EXPECT_EQ(png.Height(), 0u);
  EXPECT_EQ(png.TransparencyKind(), TTransparencyKind::None);
  EXPECT_EQ(png.GetPixelColour(0, 0), 0u);
  EXPECT_THROW(png.ImageRow(0), EPNGHeaderNotPresent);
  EXPECT_THROW(png.HeaderChunk(), EPNGHeaderNotPresent);
  EXPECT_THROW(png.ChangeSize(2, 2), EPNGHeaderNotPresent);
  uint8_t area[16] = {1, 2, 3, 4};
  png.BlendOver(area, 2, 2);
  EXPECT_EQ(area[0], 1);
}

TEST(PngImage, TransparencyKinds) {
  struct Case {
    uint8_t ct;
    std::vector<std::pair<std::string, Bytes>> chunks;
    TTransparencyKind kind;
    int bits;
  };
  const std::vector<Case> cases = {
      {0, {}, TTransparencyKind::None, 24},
      {0, {{"tRNS", {0, 7}}}, TTransparencyKind::SingleColour, 24},
      {2, {{"tRNS", {0, 1, 0, 2, 0, 3}}}, TTransparencyKind::SingleColour, 24},
      {3, {}, TTransparencyKind::None, 8},
      {3, {{"tRNS", {255, 0}}}, TTransparencyKind::SingleColour, 8},
      {3, {{"tRNS", {255, 10}}}, TTransparencyKind::PerPixel, 24},
      {4, {}, TTransparencyKind::PerPixel, 24},
      {6, {}, TTransparencyKind::PerPixel, 24}};
  for (const Case& c : cases) {
    TPngImage png;
    PngBuild build;
    build.before = c.chunks;
    Loaded(png, RandomImage(3, 3, c.ct, 8, 4), build);
    EXPECT_EQ(png.TransparencyKind(), c.kind) << int(c.ct);
    EXPECT_EQ(png.BitmapBitsPerPixel(), c.bits) << int(c.ct);
  }
  TPngImage oneBit;
  Loaded(oneBit, RandomImage(3, 3, 0, 1, 4));
  EXPECT_EQ(oneBit.BitmapBitsPerPixel(), 1);
}

TEST(PngImage, TransparentColours) {
  // RGB: the key colour through the gamma table; 16-bit keys use their high bytes.
  TPngImage rgb;
  PngBuild build;
  build.before = {{"tRNS", {0, 10, 0, 20, 0, 30}}};
  Loaded(rgb, RandomImage(2, 2, 2, 8, 1), build);
  EXPECT_EQ(rgb.TransparentColour(), PngRgb(10, 20, 30));
  TPngImage rgb16;
  build.before = {{"tRNS", {10, 0xFF, 20, 0xFF, 30, 0xFF}}};
  Loaded(rgb16, RandomImage(2, 2, 2, 16, 1), build);
  EXPECT_EQ(rgb16.TransparentColour(), PngRgb(10, 20, 30));
  TPngImage gray16;
  build.before = {{"tRNS", {200, 0x01}}};
  Loaded(gray16, RandomImage(2, 2, 0, 16, 1), build);
  EXPECT_EQ(gray16.TransparentColour(), PngRgb(200, 200, 200));
  // Palette: the colour of the first fully transparent entry.
  RawImage pal = RandomImage(2, 2, 3, 2, 1);
  pal.palette = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  TPngImage palette;
  build.before = {{"tRNS", {255, 0}}};
  Loaded(palette, pal, build);
  EXPECT_EQ(palette.TransparentColour(), PngRgb(4, 5, 6));
}

TEST(PngImage, TwoBitGrayKeepsFullWhite) {
  RawImage raw = RandomImage(4, 1, 0, 2, 1);
  raw.samples = {0, 1, 2, 3};
  TPngImage png;
  PngBuild build;
  build.before = {{"tRNS", {0, 3}}};
  Loaded(png, raw, build);
  EXPECT_EQ(png.GetPixelColour(0, 0), 0u);
  EXPECT_EQ(png.GetPixelColour(1, 0), PngRgb(85, 85, 85));
  EXPECT_EQ(png.GetPixelColour(3, 0), PngRgb(255, 255, 255));
  const TPngRgbQuad& white = png.HeaderChunk().BitmapInfo.Colours[PackedSample(png.ImageRow(0), 3, 4)];
  EXPECT_EQ(white.Red, 255);
  EXPECT_EQ(png.TransparentColour(), PngRgb(255, 255, 255));
  // Saved as 4-bit, the key still names the white pixels.
  TPngImage again;
  Load(again, Save(png));
  EXPECT_EQ(again.GetPixelColour(3, 0), PngRgb(255, 255, 255));
  EXPECT_EQ(again.TransparentColour(), PngRgb(255, 255, 255));
}

TEST(PngImage, ColourKeyIsMatchedOnTheStoredSamples) {
  // Interlaced, 16 bits: each pass marks its own columns, on all 16 bits.
  RawImage raw = RandomImage(9, 9, 2, 16, 3);
  auto isKey = [](uint32_t x, uint32_t y) { return (x * y) % 4 == 1; };
  for (uint32_t y = 0; y < 9; ++y)
    for (uint32_t x = 0; x < 9; ++x) {
      const uint16_t key[3] = {0x1234, 0x5678, 0x9ABC};
      for (int c = 0; c < 3; ++c) raw.At(x, y, c) = isKey(x, y) ? key[c] : uint16_t(key[c] & 0xFF00);
    }
  PngBuild build;
  build.interlaced = true;
  build.before = {{"tRNS", {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}}};
  TPngImage png;
  Loaded(png, raw, build);
  for (uint32_t y = 0; y < 9; ++y)
    for (uint32_t x = 0; x < 9; ++x) EXPECT_EQ(png.IsKeyPixel(int(x), int(y)), isKey(x, y)) << x << "," << y;
  EXPECT_FALSE(png.IsKeyPixel(9, 0));

  // Gray keys count with the bits of the depth only, in the colour too.
  RawImage gray = Solid(4, 1, 0, 2, {0});
  gray.samples = {0, 1, 2, 3};
  build = PngBuild();
  build.before = {{"tRNS", {0x01, 0x07}}};
  TPngImage gray2;
  Loaded(gray2, gray, build);
  EXPECT_TRUE(gray2.IsKeyPixel(3, 0));
  EXPECT_FALSE(gray2.IsKeyPixel(0, 0));
  EXPECT_EQ(gray2.TransparentColour(), PngRgb(255, 255, 255));
  TPngImage gray4;
  build.before = {{"tRNS", {0, 0x15}}};
  Loaded(gray4, Solid(2, 1, 0, 4, {5}), build);
  EXPECT_EQ(gray4.TransparentColour(), PngRgb(85, 85, 85));

  // Through this gamma 254 and 255 both show as 255: only the stored key is
  // clear, and a copy keeps it so.
  build.before = {{"gAMA", Be32(100000)}, {"tRNS", {0, 255, 0, 255, 0, 255}}};
  TPngImage gamma, copy;
  Loaded(gamma, Solid(2, 1, 2, 8, {255, 255, 255, 254, 254, 254}), build);
  copy.CopyPicture(gamma);
  EXPECT_TRUE(copy.IsKeyPixel(0, 0));
  EXPECT_FALSE(copy.IsKeyPixel(1, 0));
}

TEST(PngImage, ColourKeyFollowsEditsAndResizing) {
  PngBuild build;
  build.before = {{"tRNS", {0, 0, 0, 0, 0, 0}}};
  TPngImage png;
  Loaded(png, Solid(2, 1, 2, 8, {0, 0, 0, 1, 2, 3}), build);
  ASSERT_NE(png.KeyMask(), nullptr);
  png.SetPixelColour(0, 0, PngRgb(4, 5, 6));
  png.SetPixelColour(1, 0, 0);
  EXPECT_FALSE(png.IsKeyPixel(0, 0));
  EXPECT_TRUE(png.IsKeyPixel(1, 0));
  png.ChangeSize(3, 2);  // the new area is black, which is the key
  EXPECT_FALSE(png.IsKeyPixel(0, 0));
  EXPECT_TRUE(png.IsKeyPixel(1, 0));
  EXPECT_TRUE(png.IsKeyPixel(2, 0));
  EXPECT_TRUE(png.IsKeyPixel(0, 1));
}

TEST(PngImage, PaletteIndicesPastThePaletteShowEntryZero) {
  RawImage raw = RandomImage(3, 1, 3, 8, 1);
  raw.samples = {0, 1, 200};
  raw.palette = {10, 20, 30, 40, 50, 60};
  TPngImage png;
  Loaded(png, raw);
  EXPECT_EQ(png.GetPixelColour(1, 0), PngRgb(40, 50, 60));
  EXPECT_EQ(png.GetPixelColour(2, 0), PngRgb(10, 20, 30));
  const TPngRgbQuad& q = png.HeaderChunk().BitmapInfo.Colours[200];
  EXPECT_EQ(q.Red, 10);
  EXPECT_EQ(q.Blue, 30);
}

TEST(PngImage, PixelColours) {
  TPngImage rgb;
  Loaded(rgb, Solid(3, 2, 6, 8, {10, 20, 30, 40}));
  EXPECT_EQ(rgb.GetPixelColour(2, 1), PngRgb(10, 20, 30));
  EXPECT_EQ(rgb.GetPixelColour(3, 0), 0u);
  EXPECT_EQ(rgb.GetPixelColour(-1, 0), 0u);
  rgb.SetPixelColour(1, 1, PngRgb(1, 2, 3));
  rgb.SetPixelColour(5, 5, PngRgb(1, 2, 3));  // outside: ignored
  EXPECT_EQ(rgb.GetPixelColour(1, 1), PngRgb(1, 2, 3));
  EXPECT_EQ(rgb.AlphaRow(1)[1], 40);  // alpha is never touched

  TPngImage grayAlpha;
  Loaded(grayAlpha, Solid(2, 2, 4, 8, {100, 7}));
  EXPECT_EQ(grayAlpha.GetPixelColour(0, 0), PngRgb(100, 100, 100));
  grayAlpha.SetPixelColour(0, 0, PngRgb(50, 0, 0));
  EXPECT_EQ(grayAlpha.GetPixelColour(0, 0), PngRgb(50, 50, 50));

  RawImage pal = Solid(4, 1, 3, 4, {0});
  pal.palette = Bytes(48, 0);
  pal.palette[3 * 5] = 250;  // entry 5: red
  pal.palette[3 * 9 + 2] = 250;  // entry 9: blue
  TPngImage palette;
  Loaded(palette, pal);
  palette.SetPixelColour(2, 0, PngRgb(240, 10, 10));
  palette.SetPixelColour(3, 0, PngRgb(0, 0, 200));
  EXPECT_EQ(PackedSample(palette.ImageRow(0), 2, 4), 5);
  EXPECT_EQ(PackedSample(palette.ImageRow(0), 3, 4), 9);
  EXPECT_EQ(palette.GetPixelColour(2, 0), PngRgb(250, 0, 0));
  EXPECT_EQ(PackedSample(palette.ImageRow(0), 1, 4), 0);

  TPngImage mono;
  Loaded(mono, Solid(9, 1, 0, 1, {0}));
  mono.SetPixelColour(8, 0, PngRgb(255, 255, 255));
  EXPECT_EQ(mono.GetPixelColour(8, 0), PngRgb(255, 255, 255));
  EXPECT_EQ(mono.GetPixelColour(7, 0), 0u);
}

TEST(PngImage, ChangeSizeKeepsTopLeftPixels) {
  TPngImage png;
  const RawImage raw = RandomImage(3, 2, 6, 16, 5);
  Loaded(png, raw);
  const TPngColour corner = png.GetPixelColour(2, 1);
  const uint8_t alpha = png.AlphaRow(1)[2];
  const uint8_t low = png.LowByteRow(1)[8];
  png.ChangeSize(5, 4);
  EXPECT_EQ(png.Width(), 5u);
  EXPECT_EQ(png.HeaderChunk().BitmapInfo.Header.Height, 4);
  EXPECT_EQ(png.HeaderChunk().Stride, 16u);
  EXPECT_EQ(png.GetPixelColour(2, 1), corner);
  EXPECT_EQ(png.AlphaRow(1)[2], alpha);
  EXPECT_EQ(png.LowByteRow(1)[8], low);
  EXPECT_EQ(png.GetPixelColour(4, 3), 0u);
  EXPECT_EQ(png.AlphaRow(3)[4], 255);  // new area: black and opaque
  png.SetWidth(1);
  EXPECT_EQ(png.Height(), 4u);
  EXPECT_EQ(png.GetPixelColour(0, 1), PngRgb(raw.At(0, 1, 0) >> 8, raw.At(0, 1, 1) >> 8, raw.At(0, 1, 2) >> 8));
  EXPECT_THROW(png.ChangeSize(0, 3), EPNGInvalidNewSize);
  EXPECT_THROW(png.ChangeSize(3, 70000), EPNGInvalidNewSize);
  TPngImage again;
  Load(again, Save(png));
  EXPECT_EQ(again.Width(), 1u);
}

TEST(PngImage, BlendsWithAlpha) {
  // One row: alpha 0, 255, 128 over a background of 0; source white.
  RawImage raw = Solid(3, 1, 6, 8, {255, 255, 255, 0});
  raw.At(1, 0, 3) = 255;
  raw.At(2, 0, 3) = 128;
  TPngImage png;
  Loaded(png, raw);
  std::vector<uint8_t> area(3 * 4, 0);
  area[0] = 77;
  png.BlendOver(area.data(), 3, 1);
  EXPECT_EQ(area[0], 77);   // alpha 0 leaves the background
  EXPECT_EQ(area[4], 255);  // alpha 255 replaces it
  EXPECT_EQ(area[8], 128);  // (255 * 128 + 127 * 0 + 255) >> 8

  // Twice the size repeats each source row and column twice.
  RawImage two = RandomImage(2, 2, 4, 8, 9);
  for (uint32_t i = 0; i < 4; ++i) two.samples[2 * i + 1] = 255;
  TPngImage gray;
  Loaded(gray, two);
  std::vector<uint8_t> big(4 * 4 * 4, 0);
  gray.BlendOver(big.data(), 4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const int g = two.At(uint32_t(x / 2), uint32_t(y / 2), 0);
      EXPECT_EQ(big[size_t(y * 4 + x) * 4], (g * 255 + 255) >> 8) << x << "," << y;
    }

  // Palette alpha comes from tRNS.
  RawImage pal = Solid(2, 1, 3, 8, {0});
  pal.samples = {0, 1};
  pal.palette = {200, 100, 50, 200, 100, 50};
  PngBuild build;
  build.before = {{"tRNS", {0, 128}}};
  TPngImage palette;
  Loaded(palette, pal, build);
  ASSERT_EQ(palette.TransparencyKind(), TTransparencyKind::PerPixel);
  std::vector<uint8_t> two2(8, 10);
  palette.BlendOver(two2.data(), 2, 1);
  EXPECT_EQ(two2[2], 10);
  EXPECT_EQ(two2[6], (200 * 128 + 127 * 10 + 255) >> 8);
}

TEST(PngImage, CopyKeepsEverythingAndSavesTheSameBytes) {
  RawImage raw = RandomImage(9, 5, 2, 8, 12);
  PngBuild build;
  build.before = {{"gAMA", Be32(45455)}, {"pHYs", {0, 0, 1, 0, 0, 0, 1, 0, 1}}, {"prVt", {1}}};
  build.after = {{"tEXt", {'a', 0, 'b'}}};
  TPngImage png;
  Loaded(png, raw, build);
  png.EncodeFilters = 0x1F;
  png.DeflateLevel = 9;
  TPngImage copy;
  copy.CopyPicture(png);
  EXPECT_EQ(copy.EncodeFilters, 0x1F);
  EXPECT_EQ(copy.DeflateLevel, 9);
  EXPECT_EQ(copy.Chunks().Count(), png.Chunks().Count());
  EXPECT_EQ(copy.GetPixelColour(4, 4), png.GetPixelColour(4, 4));
  EXPECT_EQ(Save(copy), Save(png));
  // And the saved file is the original image.
  TPngImage again;
  Load(again, Save(copy));
  EXPECT_EQ(again.GetPixelColour(3, 2), png.GetPixelColour(3, 2));

  RawImage pal = RandomImage(5, 5, 3, 4, 3);
  TPngImage palette, palCopy;
  Loaded(palette, pal);
  palCopy.CopyPicture(palette);
  EXPECT_EQ(Save(palCopy), Save(palette));
}

TEST(PngImage, AssignFromBitmapBuildsAPaletteImage) {
  TPngImage png;
  png.AssignFromBitmap(
      4, 2, 4,
      [](TChunkIHDR& h) {
        for (int i = 0; i < 16; ++i) h.BitmapInfo.Colours[i] = {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i), 0};
        h.ImageRow(0)[0] = 0x12;
        h.ImageRow(1)[1] = 0x34;
      },
      true, PngRgb(9, 6, 3));
  std::vector<std::string> names;
  for (int i = 0; i < png.Chunks().Count(); ++i) names.push_back(png.Chunks().GetItem(i)->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"IHDR", "PLTE", "tRNS", "IDAT", "IEND"}));
  EXPECT_EQ(png.TransparencyKind(), TTransparencyKind::SingleColour);
  EXPECT_EQ(png.TransparentColour(), PngRgb(9, 6, 3));
  EXPECT_EQ(png.GetPixelColour(1, 0), PngRgb(6, 4, 2));
  // Not decoded: the key is matched on the pixels as the bitmap gave them.
  EXPECT_TRUE(png.IsKeyPixel(2, 1));
  EXPECT_FALSE(png.IsKeyPixel(3, 1));
  TPngImage again;
  Load(again, Save(png));
  EXPECT_EQ(again.GetPixelColour(3, 1), PngRgb(12, 8, 4));
  EXPECT_EQ(again.TransparentColour(), PngRgb(9, 6, 3));
  EXPECT_EQ(again.Chunks().ItemFromClass<TChunktRNS>()->DataSize(), 4);
}
