// Cutting, turning and tiling bitmaps, and window regions built from them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PixelHelpers.h"
#include "SkinGraphics.h"
#include "SkinTheme.h"

using namespace gui;

TEST(CutBitmapPart, PartsSideBySideAndTheLastFlushRight) {
  auto strip = Numbered(10, 2);
  // 10 pixels in three parts of 3: 0..2, 3..5, and the last from 7.
  const int from[] = {0, 3, 7};
  for (int part = 1; part <= 3; ++part) {
    auto cut = Surface(1, 1);
    CutBitmapPart(strip.get(), cut.get(), 3, part);
    ASSERT_EQ(cut->Width(), 3);
    ASSERT_EQ(cut->Height(), 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(At(*cut, x, y), At(*strip, from[part - 1] + x, y)) << part;
  }

  auto self = Numbered(10, 2);
  CutBitmapPart(self.get(), self.get(), 2, 2);
  ASSERT_EQ(self->Width(), 5);
  EXPECT_EQ(At(*self, 0, 1), At(*strip, 5, 1)) << "a bitmap cut into itself";
}

TEST(CutBitmapPart, NothingToCutLeavesTheTarget) {
  auto strip = Numbered(10, 2);
  auto target = Surface(4, 4, clRed);
  TBitmap empty;
  CutBitmapPart(strip.get(), target.get(), 0, 1);
  CutBitmapPart(strip.get(), target.get(), -2, 1);
  CutBitmapPart(strip.get(), target.get(), 3, 0);
  CutBitmapPart(strip.get(), target.get(), 3, 4);
  CutBitmapPart(strip.get(), target.get(), 11, 1);  // parts narrower than a pixel
  CutBitmapPart(&empty, target.get(), 1, 1);
  CutBitmapPart(nullptr, target.get(), 1, 1);
  CutBitmapPart(strip.get(), nullptr, 1, 1);
  EXPECT_EQ(target->Width(), 4);
  EXPECT_EQ(target->Height(), 4);
  EXPECT_EQ(At(*target, 3, 3), clRed);
}

TEST(RotateBitmap, QuarterTurnCounterClockwise) {
  auto old = Numbered(6, 10);
  auto turned = Numbered(6, 10);
  RotateBitmap(turned.get());
  ASSERT_EQ(turned->Width(), 10);
  ASSERT_EQ(turned->Height(), 6);
  EXPECT_EQ(At(*turned, 0, 0), At(*old, 5, 0)) << "top left was the top right";
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(At(*turned, y, 5 - x), At(*old, x, y)) << x << "," << y;

  TBitmap empty;
  RotateBitmap(&empty);
  EXPECT_TRUE(empty.Empty());
  RotateBitmap(nullptr);
}

TEST(RotateBitmap, PaletteBitmapKeepsItsColours) {
  TBitmap bar, column;
  LoadThemeBitmap(BlueGlass, kThemeProgressBarBitmap, &bar);
  LoadThemeBitmap(BlueGlass, kThemeProgressBarBitmap, &column);
  ASSERT_EQ(bar.Width(), 1);
  RotateBitmap(&bar);
  ASSERT_EQ(bar.Width(), 10);
  ASSERT_EQ(bar.Height(), 1);
  EXPECT_EQ(bar.PixelFormat(), pf8bit);
  for (int y = 0; y < 10; ++y) EXPECT_EQ(At(bar, y, 0), At(column, 0, y)) << y;
}

TEST(TilePicture, TilesFromTheOriginOneTilePastTheRect) {
  TPicture tile;
  auto marked = Surface(10, 10, clBlue);
  marked->Canvas().SetPixels(0, 0, clRed);
  tile.SetGraphic(marked.get());

  auto canvas = Surface(45, 45);
  TilePicture(canvas->Canvas(), &tile, Rect(0, 0, 25, 25));
  for (int y = 0; y < 45; ++y)
    for (int x = 0; x < 45; ++x) {
      bool covered = x < 40 && y < 40;  // tiles at 0, 10, 20 and 30
      TColor want = !covered ? clWhite : (x % 10 == 0 && y % 10 == 0 ? clRed : clBlue);
      ASSERT_EQ(At(*canvas, x, y), want) << x << "," << y;
    }

  TPicture none;
  auto untouched = Surface(5, 5);
  TilePicture(untouched->Canvas(), &none, Rect(0, 0, 5, 5));
  TilePicture(untouched->Canvas(), nullptr, Rect(0, 0, 5, 5));
  EXPECT_EQ(At(*untouched, 0, 0), clWhite);
}

namespace {

// A plain top-level window to shape.
class ShapedWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { DestroyWindow(window_); }

  // Whether each pixel of a w x h area lies in the window's region.
  std::string Shape(int w, int h) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int type = GetWindowRgn(window_, region);
    std::string rows;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) rows += type != ERROR && PtInRegion(region, x, y) ? '#' : '.';
      rows += '\n';
    }
    DeleteObject(region);
    return rows;
  }

  HWND window_ = nullptr;
};

// A bitmap drawn from rows of '#' (black) and '.' (the given transparent colour).
std::unique_ptr<TBitmap> Drawn(std::initializer_list<const char*> rows, TColor clear) {
  int h = static_cast<int>(rows.size()), w = static_cast<int>(std::strlen(*rows.begin()));
  auto b = Surface(w, h);
  int y = 0;
  for (const char* row : rows) {
    for (int x = 0; x < w; ++x) b->Canvas().SetPixels(x, y, row[x] == '#' ? clBlack : clear);
    ++y;
  }
  return b;
}

}  // namespace

TEST_F(ShapedWindow, RegionHoldsTheOpaqueRuns) {
  auto glyph = Drawn({"..##..##",  //
                      "########",  //
                      "#......#",  //
                      "........",  //
                      ".#.#.#.#"},
                     clFuchsia);
  SetRegionFromBitmap(window_, glyph.get(), clFuchsia);
  EXPECT_EQ(Shape(10, 6),
            "..##..##..\n"
            "########..\n"
            "#......#..\n"
            "..........\n"
            ".#.#.#.#..\n"
            "..........\n");
}

TEST_F(ShapedWindow, AllClearIsEmptyAndAllOpaqueIsTheRectangle) {
  auto clear = Surface(6, 3, clFuchsia);
  SetRegionFromBitmap(window_, clear.get(), clFuchsia);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(window_, region), NULLREGION);

  auto solid = Surface(6, 3, clGreen);
  SetRegionFromBitmap(window_, solid.get(), clFuchsia);
  EXPECT_EQ(GetWindowRgn(window_, region), SIMPLEREGION);
  RECT box;
  GetRgnBox(region, &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 6);
  EXPECT_EQ(box.bottom, 3);
  DeleteObject(region);
}

TEST_F(ShapedWindow, SystemColourAsTheTransparentColour) {
  TColor face = ColorToRGB(clBtnFace);
  auto glyph = Drawn({"#..#"}, face);
  SetRegionFromBitmap(window_, glyph.get(), clBtnFace);
  EXPECT_EQ(Shape(4, 1), "#..#\n");
}
