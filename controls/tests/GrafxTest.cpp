// Bitmap routines: transparent copies, flipping, tiling, mirroring and the
// gradients, pixel by pixel in 32-bit bitmaps.
#include <gtest/gtest.h>

#include <set>

#include "CkGrafx.h"
#include "Pixels.h"

using namespace ck;
using namespace cktest;

namespace {

int Red(TColor c) { return GetRValue(c); }

// Every pixel of the row (or column) has the same colour.
bool RowIsUniform(TBitmap& b, int y) {
  for (int x = 1; x < b.Width(); ++x)
    if (At(b, x, y) != At(b, 0, y)) return false;
  return true;
}

bool ColumnIsUniform(TBitmap& b, int x) {
  for (int y = 1; y < b.Height(); ++y)
    if (At(b, x, y) != At(b, x, 0)) return false;
  return true;
}

bool MirroredAcross(TBitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width() / 2; ++x)
      if (At(b, x, y) != At(b, b.Width() - 1 - x, y)) return false;
  return true;
}

}  // namespace

TEST(Grafx, TransparentPartLeavesTheKeyColourOut) {
  auto source = Surface(4, 4, clFuchsia);
  source->Canvas().Brush().SetColor(clBlue);
  source->Canvas().FillRect(Rect(0, 0, 2, 4));  // left half blue, right half the key
  source->Canvas().SetPixels(3, 3, clRed);
  auto dest = Surface(20, 20, clLime);
  DrawTransparentBitmapPart(dest->Canvas(), *source, Rect(4, 4, 12, 12), clFuchsia, Rect(0, 0, 4, 4));
  EXPECT_EQ(At(*dest, 4, 4), clBlue);
  EXPECT_EQ(At(*dest, 7, 11), clBlue) << "scaled twice";
  EXPECT_EQ(At(*dest, 8, 4), clLime) << "key colour pixels stay as they were";
  EXPECT_EQ(At(*dest, 11, 11), clRed);
  EXPECT_EQ(At(*dest, 3, 3), clLime);
  EXPECT_EQ(At(*dest, 12, 12), clLime);
  EXPECT_EQ(CountOf(*dest, clBlue, Rect(0, 0, 20, 20)), 4 * 8);
}

TEST(Grafx, FlipTurnsRowsOver) {
  auto b = Surface(3, 4, clWhite);
  for (int y = 0; y < 4; ++y) b->Canvas().SetPixels(y % 3, y, RGB(y * 50, 0, 0));
  FlipBitmapVertically(*b);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(At(*b, y % 3, 3 - y), RGB(y * 50, 0, 0)) << y;
  EXPECT_EQ(b->PixelFormat(), pf32bit);

  auto line = Surface(5, 1, clWhite);
  line->Canvas().SetPixels(2, 0, clRed);
  FlipBitmapVertically(*line);
  EXPECT_EQ(At(*line, 2, 0), clRed) << "one row stays as it is";
  EXPECT_EQ(CountOf(*line, clWhite, Rect(0, 0, 5, 1)), 4);

  TBitmap device;  // device-dependent bitmaps flip too
  device.SetSize(2, 2);
  device.Canvas().SetPixels(0, 0, clRed);
  FlipBitmapVertically(device);
  EXPECT_EQ(device.Canvas().Pixels(0, 1), clRed);
  EXPECT_EQ(device.Canvas().Pixels(0, 0), clBlack);
}

TEST(Grafx, TileByDoublingRepeatsTheSeed) {
  auto b = Surface(11, 7, clWhite);
  TCanvas& c = b->Canvas();
  const TColor seed[2][3] = {{clRed, clLime, clBlue}, {clYellow, clAqua, clFuchsia}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) c.SetPixels(x, y, seed[y][x]);
  TileByDoubling(c.Handle(), 0, 0, SRCCOPY, 2, 3, 7, 11);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 11; ++x) ASSERT_EQ(At(*b, x, y), seed[y % 2][x % 3]) << x << "," << y;

  auto untouched = Surface(4, 4, clWhite);
  TileByDoubling(untouched->Canvas().Handle(), 0, 0, SRCCOPY, 0, 2, 4, 4);  // no seed: nothing to repeat
  EXPECT_EQ(CountOf(*untouched, clWhite, Rect(0, 0, 4, 4)), 16);
}

TEST(Grafx, MirrorBoxQuarterCompletesTheBox) {
  for (int w : {8, 9}) {
    auto b = Surface(w, 8, clWhite);
    TCanvas& c = b->Canvas();
    // A quarter of nested frames: red outside, then green, then blue.
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(0, 0, w / 2 + 1, 4));
    c.Brush().SetColor(clLime);
    c.FillRect(Rect(1, 1, w / 2 + 1, 4));
    c.Brush().SetColor(clBlue);
    c.FillRect(Rect(2, 2, w / 2 + 1, 4));
    MirrorBoxQuarter(c.Handle(), 0, 0, SRCCOPY, 8, w);
    EXPECT_TRUE(MirroredAcross(*b)) << "width " << w;
    EXPECT_EQ(At(*b, 0, 7), clRed) << "bottom row mirrors the top row";
    EXPECT_EQ(At(*b, w - 1, 7), clRed);
    EXPECT_GT(CountOf(*b, clBlue, Rect(0, 4, w, 8)), 0);
    EXPECT_EQ(CountOf(*b, clWhite, Rect(0, 0, w, 8)), 0) << "width " << w;
  }
}

TEST(Grafx, GradientIntoAnEmptyRectangleDrawsNothing) {
  auto b = Surface(10, 10, clWhite);
  for (int d = gdDiagonalUp; d <= gdBigSquareBox; ++d) {
    PaintGradient(b->Canvas(), Rect(2, 2, 2, 8), static_cast<TGradientDirection>(d), 1, clRed, clBlue);
    PaintGradient(b->Canvas(), Rect(2, 2, 8, 2), static_cast<TGradientDirection>(d), 1, clRed, clBlue);
  }
  EXPECT_EQ(CountOf(*b, clWhite, Rect(0, 0, 10, 10)), 100);
}

TEST(Grafx, GradientStaysInsideItsRectangle) {
  for (int d = gdDiagonalUp; d <= gdBigSquareBox; ++d) {
    auto b = Surface(30, 30, clWhite);
    PaintGradient(b->Canvas(), Rect(5, 6, 25, 20), static_cast<TGradientDirection>(d), 1, clRed, clBlue);
    EXPECT_EQ(CountOf(*b, clWhite, Rect(0, 0, 30, 30)), 900 - 20 * 14) << "direction " << d;
  }
}

TEST(Grafx, BoxGradientsOfFourRowsAreSolid) {
  for (int d : {gdHorizontalBox, gdVerticalBox, gdSquareBox, gdBigSquareBox}) {
    auto b = Surface(20, 10, clWhite);
    PaintGradient(b->Canvas(), Rect(0, 0, 20, 4), static_cast<TGradientDirection>(d), 1, clRed, clBlue);
    EXPECT_EQ(CountOf(*b, clBlue, Rect(0, 0, 20, 4)), 80) << "direction " << d;
    PaintGradient(b->Canvas(), Rect(0, 4, 4, 10), static_cast<TGradientDirection>(d), 1, clRed, clLime);
    EXPECT_EQ(CountOf(*b, clLime, Rect(0, 4, 4, 10)), 24) << "narrower than 5: solid too";
  }
}

TEST(Grafx, HorizontalGradientsRunUpFromTheStartColour) {
  auto b = Surface(20, 32);
  PaintGradient(b->Canvas(), Rect(0, 0, 20, 32), gdHorizontalEnd, 1, clBlack, clRed);
  EXPECT_EQ(At(*b, 0, 31), clBlack) << "the bottom row has the start colour";
  EXPECT_EQ(At(*b, 19, 0), RGB(247, 0, 0)) << "31 steps of 255 / 32 reach the top row";
  for (int y = 0; y < 32; ++y) ASSERT_TRUE(RowIsUniform(*b, y)) << "tiled across, row " << y;
  for (int y = 1; y < 32; ++y) ASSERT_GE(Red(At(*b, 0, y - 1)), Red(At(*b, 0, y)));

  PaintGradient(b->Canvas(), Rect(0, 0, 20, 32), gdHorizontalCenter, 1, clBlack, clRed);
  EXPECT_EQ(At(*b, 5, 16), clBlack) << "the start colour in the middle";
  EXPECT_GT(Red(At(*b, 5, 0)), 230);
  EXPECT_GT(Red(At(*b, 5, 31)), 230);
  EXPECT_TRUE(RowIsUniform(*b, 3));
}

TEST(Grafx, VerticalGradientsRunLeftFromTheStartColour) {
  auto b = Surface(32, 20);
  PaintGradient(b->Canvas(), Rect(0, 0, 32, 20), gdVerticalEnd, 1, clBlack, clRed);
  EXPECT_EQ(At(*b, 31, 0), clBlack);
  EXPECT_EQ(At(*b, 0, 19), RGB(247, 0, 0));
  for (int x = 0; x < 32; ++x) ASSERT_TRUE(ColumnIsUniform(*b, x)) << "tiled down, column " << x;

  PaintGradient(b->Canvas(), Rect(0, 0, 32, 20), gdVerticalCenter, 1, clBlack, clRed);
  EXPECT_EQ(At(*b, 16, 10), clBlack);
  EXPECT_GT(Red(At(*b, 0, 10)), 230);
  EXPECT_GT(Red(At(*b, 31, 10)), 230);
}

TEST(Grafx, BandSettingKeepsLinesTogether) {
  auto b = Surface(4, 64);
  PaintGradient(b->Canvas(), Rect(0, 0, 4, 64), gdHorizontalEnd, 8, clBlack, clWhite);
  std::set<TColor> colors;
  for (int y = 0; y < 64; ++y) colors.insert(At(*b, 0, y));
  EXPECT_EQ(colors.size(), 8u) << "64 rows in bands of at least 8";
  for (int y = 56; y < 64; ++y) EXPECT_EQ(At(*b, 0, y), clBlack);

  PaintGradient(b->Canvas(), Rect(0, 0, 4, 64), gdHorizontalEnd, 100, clBlack, clWhite);
  colors.clear();
  for (int y = 0; y < 64; ++y) colors.insert(At(*b, 0, y));
  EXPECT_EQ(colors.size(), 22u) << "a setting of 100 keeps 255 / 100 + 1 = 3 lines together";
}

TEST(Grafx, DiagonalGradientsRunCornerToCorner) {
  auto b = Surface(40, 30);
  PaintGradient(b->Canvas(), Rect(0, 0, 40, 30), gdDiagonalDown, 1, clBlack, clRed);
  EXPECT_EQ(At(*b, 0, 0), clBlack);
  EXPECT_GT(Red(At(*b, 39, 29)), 240);
  EXPECT_EQ(At(*b, 10, 5), At(*b, 5, 10)) << "bands run across the diagonal";
  EXPECT_LT(Red(At(*b, 10, 10)), Red(At(*b, 20, 20)));

  PaintGradient(b->Canvas(), Rect(0, 0, 40, 30), gdDiagonalUp, 1, clBlack, clRed);
  EXPECT_EQ(At(*b, 0, 29), clRed) << "stepping from the end colour at the lower left";
  EXPECT_LT(Red(At(*b, 39, 0)), 15);

  PaintGradient(b->Canvas(), Rect(0, 0, 40, 30), gdDiagonalDown, 1, clTeal, clTeal);
  EXPECT_EQ(CountOf(*b, clTeal, Rect(0, 0, 40, 30)), 1200);
}

TEST(Grafx, BoxGradientsRunInward) {
  auto b = Surface(40, 40);
  PaintGradient(b->Canvas(), Rect(0, 0, 40, 40), gdSquareBox, 1, clBlack, clRed);
  EXPECT_EQ(At(*b, 0, 0), clBlack);
  EXPECT_EQ(At(*b, 39, 39), clBlack);
  EXPECT_EQ(At(*b, 0, 20), clBlack);
  EXPECT_GT(Red(At(*b, 19, 19)), 200) << "the end colour toward the centre";
  EXPECT_TRUE(MirroredAcross(*b));

  PaintGradient(b->Canvas(), Rect(0, 0, 40, 40), gdHorizontalBox, 1, clBlack, clRed);
  EXPECT_EQ(At(*b, 0, 5), clBlack);
  EXPECT_EQ(At(*b, 39, 30), clBlack);
  EXPECT_GT(Red(At(*b, 20, 0)), 200) << "the end colour toward the middle";
  EXPECT_TRUE(MirroredAcross(*b));

  PaintGradient(b->Canvas(), Rect(0, 0, 40, 40), gdVerticalBox, 1, clBlack, clRed);
  EXPECT_EQ(At(*b, 20, 0), clBlack);
  EXPECT_EQ(At(*b, 20, 39), clBlack);
  EXPECT_TRUE(RowIsUniform(*b, 4));

  PaintGradient(b->Canvas(), Rect(0, 0, 40, 40), gdBigSquareBox, 1, clBlack, clRed);
  EXPECT_EQ(At(*b, 0, 0), clBlack);
  EXPECT_EQ(At(*b, 20, 20), At(*b, 15, 15)) << "a flat centre inside the quarter inset";
}
