// The built-in theme table, its lookups and the theme bitmaps embedded in the
// test program.
#include <gtest/gtest.h>

#include "PixelHelpers.h"
#include "SkinTheme.h"

using namespace gui;

namespace {

TSkinUIStyle Style(int value) { return static_cast<TSkinUIStyle>(value); }

struct BarTheme {
  TSkinUIStyle style;
  const char* bitmap;
  TColor border, background;
  int bitmapWidth;
};

const BarTheme kBars[] = {
    {MacOS, "MACOS_PROGRESSBAR", 0x7F7F7F, 0xE7E7E7, 13},
    {WinXP, "WINXP_PROGRESSBAR", 0x686868, 0xDEEBEF, 6},
    {DeepBlue, "DEEPBLUE_PROGRESSBAR", 0x000000, 0xE8E8E8, 1},
    {Protein, "PROTEIN_PROGRESSBAR", 0x000000, 0xFBFBFB, 1},
    {BlueGlass, "BLUEGLASS_PROGRESSBAR", 0x000000, 0xE7E7E7, 1},
};

}  // namespace

TEST(ThemeTable, ProgressBarEntriesOfEveryStyle) {
  for (const BarTheme& t : kBars) {
    SCOPED_TRACE(t.bitmap);
    TThemeEntryKind kind;
    GetThemeEntry(t.style, kThemeProgressBarBitmap, kind);
    EXPECT_EQ(kind, tekBitmap);
    EXPECT_EQ(GetThemeBitmapName(t.style, kThemeProgressBarBitmap), t.bitmap);
    EXPECT_EQ(static_cast<TColor>(GetThemeEntry(t.style, kThemeProgressBarBorder, kind)), t.border);
    EXPECT_EQ(kind, tekColor);
    EXPECT_EQ(GetThemeColor(t.style, kThemeProgressBarBorder), t.border);
    EXPECT_EQ(GetThemeColor(t.style, kThemeProgressBarBackground), t.background);

    TBitmap bar;
    LoadThemeBitmap(t.style, kThemeProgressBarBitmap, &bar);
    EXPECT_EQ(bar.Width(), t.bitmapWidth);
    EXPECT_EQ(bar.Height(), 10);
    EXPECT_EQ(bar.PixelFormat(), pf8bit);
  }
}

TEST(ThemeTable, BitmapNamesKindsAndTypedReads) {
  EXPECT_EQ(GetThemeBitmapName(MacOS, 1), "MACOS_BUTTON");
  EXPECT_EQ(GetThemeBitmapName(Protein, 42), "PROTEIN_SIDECHENNEL_BAR");
  EXPECT_EQ(GetThemeBitmapName(WinXP, 38), "WINXP_SCROLLBUTTON");
  EXPECT_EQ(GetThemeBitmapName(DeepBlue, 38), "MORE_SCROLLBUTTON");
  EXPECT_EQ(GetThemeBitmapName(BlueGlass, 38), "MORE_SCROLLBUTTON");
  EXPECT_EQ(GetThemeBitmapName(MacOS, 43), "") << "a bitmap entry without a name";
  EXPECT_EQ(GetThemeBitmapName(MacOS, 25), "") << "a colour entry";

  TThemeEntryKind kind;
  GetThemeEntry(WinXP, 2, kind);
  EXPECT_EQ(kind, tekInteger);
  GetThemeEntry(WinXP, 47, kind);
  EXPECT_EQ(kind, tekValue);
  GetThemeEntry(WinXP, 48, kind);
  EXPECT_EQ(kind, tekColor);

  // A read of the wrong kind gives its neutral value.
  EXPECT_EQ(GetThemeColor(DeepBlue, kThemeProgressBarBitmap), 0u);
  EXPECT_EQ(GetThemeValue(DeepBlue, kThemeProgressBarBorder), -1);
  EXPECT_EQ(GetThemeInteger(DeepBlue, kThemeProgressBarBackground), 0);
  EXPECT_NE(GetThemeValue(DeepBlue, 47), -1);
}

TEST(ThemeTable, StyleIsMaskedAndUnknownStylesReadNothing) {
  EXPECT_EQ(GetThemeColor(Style(0x83), kThemeProgressBarBackground), 0xE8E8E8u);
  EXPECT_EQ(GetThemeBitmapName(Style(0x81), kThemeProgressBarBitmap), "MACOS_PROGRESSBAR");

  for (int style : {0, 6, 0x7F, 0x80, 0xFF}) {
    SCOPED_TRACE(style);
    for (int entry = 1; entry <= kThemeEntryCount; ++entry) {
      TThemeEntryKind kind = tekBitmap;
      EXPECT_EQ(GetThemeEntry(Style(style), entry, kind), -1);
      EXPECT_EQ(kind, tekValue);
    }
  }
  for (int entry : {-1, 0, 49, 1000}) {
    TThemeEntryKind kind = tekBitmap;
    EXPECT_EQ(GetThemeEntry(DeepBlue, entry, kind), -1) << entry;
    EXPECT_EQ(kind, tekValue);
  }
}

TEST(ThemeBitmap, LoadsLeaveTheTargetAloneWhenThereIsNothingToLoad) {
  auto keep = Surface(3, 3, clRed);
  LoadThemeBitmap(FromThemeFile, kThemeProgressBarBitmap, keep.get());
  LoadThemeBitmap(Style(6), kThemeProgressBarBitmap, keep.get());
  LoadThemeBitmap(DeepBlue, kThemeProgressBarBorder, keep.get());
  LoadThemeBitmap(DeepBlue, 1, keep.get());  // named, but not embedded
  LoadThemeBitmap(DeepBlue, 43, keep.get());  // no name
  LoadThemeBitmapPart(DeepBlue, 1, keep.get(), 1, 2);
  LoadThemeBitmap(DeepBlue, kThemeProgressBarBitmap, nullptr);
  EXPECT_EQ(keep->Width(), 3);
  EXPECT_EQ(keep->Height(), 3);
  EXPECT_EQ(At(*keep, 1, 1), clRed);
}

TEST(ThemeBitmap, PartsOfAThemeBitmap) {
  TBitmap whole;
  LoadThemeBitmap(MacOS, kThemeProgressBarBitmap, &whole);
  ASSERT_EQ(whole.Width(), 13);

  TBitmap same;
  LoadThemeBitmapPart(MacOS, kThemeProgressBarBitmap, &same, 5, 0);
  EXPECT_EQ(same.Width(), 13) << "no part count loads the whole bitmap";

  // 13 pixels in two parts of 6: the second is flush with the right edge.
  for (int part : {1, 2}) {
    auto cut = Surface(1, 1);
    LoadThemeBitmapPart(MacOS, kThemeProgressBarBitmap, cut.get(), part, 2);
    ASSERT_EQ(cut->Width(), 6);
    ASSERT_EQ(cut->Height(), 10);
    int from = part == 1 ? 0 : 7;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 6; ++x) EXPECT_EQ(At(*cut, x, y), At(whole, from + x, y)) << part << ": " << x << "," << y;
  }
}
