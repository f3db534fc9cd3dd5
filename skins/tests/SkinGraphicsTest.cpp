// Cutting and turning bitmaps, and window regions built from them.
#include <gtest/gtest.h>

#include <string>

#include "SkinGraphics.h"
#include "testsupport/Pixels.h"

using namespace skins;
using namespace gui;
using testsupport::At;
using testsupport::Surface;

namespace {

// A bitmap whose every pixel has a colour of its own.
std::unique_ptr<TBitmap> Numbered(int w, int h) {
  auto b = Surface(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b->Canvas().SetPixels(x, y, RGB(x * 10 + 1, y * 10 + 2, 99));
  return b;
}

}  // namespace

TEST(CutBitmapPart, PartsSideBySideTheLastFlushRight) {
  auto strip = Numbered(10, 2);
  const int from[] = {0, 3, 7};  // three parts of 3 from 10 pixels
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
  EXPECT_EQ(At(*self, 0, 1), At(*strip, 5, 1)) << "cut into itself";

  auto target = Surface(4, 4, clRed);
  for (auto [count, index] : {std::pair{0, 1}, {-2, 1}, {3, 0}, {3, 4}, {11, 1}})
    CutBitmapPart(strip.get(), target.get(), count, index);
  TBitmap empty;
  CutBitmapPart(&empty, target.get(), 1, 1);
  EXPECT_EQ(target->Width(), 4);
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
}

namespace {

// The region SetRegionFromBitmap gives a window for a picture drawn as rows
// of '#' (black) and '.' (the transparent colour), read back the same way.
std::string Shaped(std::initializer_list<std::string> rows, TColor clear = clFuchsia) {
  int w = static_cast<int>(rows.begin()->size()), h = static_cast<int>(rows.size()), y = 0;
  auto b = Surface(w, h);
  for (const std::string& row : rows) {
    for (int x = 0; x < w; ++x) b->Canvas().SetPixels(x, y, row[x] == '#' ? clBlack : ColorToRGB(clear));
    ++y;
  }
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
  SetRegionFromBitmap(window, b.get(), clear);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  std::string shape = GetWindowRgn(window, region) == ERROR ? "no region" : "";
  for (int ry = 0; ry < h + 1; ++ry, shape += '|')
    for (int x = 0; x < w + 1; ++x) shape += PtInRegion(region, x, ry) ? '#' : '.';
  DeleteObject(region);
  DestroyWindow(window);
  return shape;
}

}  // namespace

TEST(SetRegionFromBitmap, RegionHoldsTheOpaqueRuns) {
  EXPECT_EQ(Shaped({"..##..##", "########", "#......#", "........", ".#.#.#.#"}),
            "..##..##.|########.|#......#.|.........|.#.#.#.#.|.........|");
  EXPECT_EQ(Shaped({"....", "...."}), ".....|.....|.....|") << "all clear: the window disappears";
  EXPECT_EQ(Shaped({"###", "###"}), "###.|###.|....|");
  EXPECT_EQ(Shaped({"#..#"}, clBtnFace), "#..#.|.....|") << "a system colour";
}
