// The built-in theme table, its lookups and the theme bitmaps embedded in the
// test program.
#include <gtest/gtest.h>

#include "SkinTheme.h"
#include "testsupport/Pixels.h"

using namespace skins;
using namespace gui;
using testsupport::At;
using testsupport::Surface;

namespace {
TSkinUIStyle Style(int value) { return static_cast<TSkinUIStyle>(value); }
}  // namespace

TEST(ThemeTable, ProgressBarEntriesOfEveryStyle) {
  struct {
    TSkinUIStyle style;
    const char* bitmap;
    TColor border, background;
    int width;
  } const bars[] = {{MacOS, "MACOS_PROGRESSBAR", 0x7F7F7F, 0xE7E7E7, 13},
                    {WinXP, "WINXP_PROGRESSBAR", 0x686868, 0xDEEBEF, 6},
                    {DeepBlue, "DEEPBLUE_PROGRESSBAR", 0x000000, 0xE8E8E8, 1},
                    {Protein, "PROTEIN_PROGRESSBAR", 0x000000, 0xFBFBFB, 1},
                    {BlueGlass, "BLUEGLASS_PROGRESSBAR", 0x000000, 0xE7E7E7, 1}};
  for (const auto& t : bars) {
    SCOPED_TRACE(t.bitmap);
    TThemeEntryKind kind;
    GetThemeEntry(t.style, kThemeProgressBarBitmap, kind);
    EXPECT_EQ(kind, tekBitmap);
    EXPECT_EQ(GetThemeBitmapName(t.style, kThemeProgressBarBitmap), t.bitmap);
    EXPECT_EQ(GetThemeColor(t.style, kThemeProgressBarBorder), t.border);
    EXPECT_EQ(GetThemeColor(t.style, kThemeProgressBarBackground), t.background);
    TBitmap bar;
    LoadThemeBitmap(t.style, kThemeProgressBarBitmap, &bar);
    EXPECT_EQ(bar.Width(), t.width);
    EXPECT_EQ(bar.Height(), 10);
    EXPECT_EQ(bar.PixelFormat(), pf8bit);
  }
}

TEST(ThemeTable, NamesKindsMaskingAndReadsOfTheWrongKind) {
  EXPECT_EQ(GetThemeBitmapName(Protein, 42), "PROTEIN_SIDECHENNEL_BAR");
  EXPECT_EQ(GetThemeBitmapName(WinXP, 38), "WINXP_SCROLLBUTTON");
  EXPECT_EQ(GetThemeBitmapName(BlueGlass, 38), "MORE_SCROLLBUTTON");
  EXPECT_EQ(GetThemeBitmapName(MacOS, 43), "") << "a bitmap entry without a name";
  TThemeEntryKind kind;
  GetThemeEntry(WinXP, 2, kind);
  EXPECT_EQ(kind, tekInteger);
  GetThemeEntry(WinXP, 47, kind);
  EXPECT_EQ(kind, tekValue);
  EXPECT_EQ(GetThemeColor(DeepBlue, kThemeProgressBarBitmap), 0u);
  EXPECT_EQ(GetThemeValue(DeepBlue, kThemeProgressBarBorder), -1);
  EXPECT_EQ(GetThemeInteger(DeepBlue, kThemeProgressBarBackground), 0);

  EXPECT_EQ(GetThemeColor(Style(0x83), kThemeProgressBarBackground), 0xE8E8E8u) << "DeepBlue";
  for (int style : {0, 6, 0x80, 0xFF})
    for (int entry = 0; entry <= kThemeEntryCount + 1; ++entry) {
      kind = tekBitmap;
      EXPECT_EQ(GetThemeEntry(Style(style), entry, kind), -1) << style << "/" << entry;
      EXPECT_EQ(kind, tekValue);
    }
  EXPECT_EQ(GetThemeEntry(DeepBlue, kThemeEntryCount + 1, kind), -1);
}

TEST(ThemeBitmap, PartsOfAThemeBitmapAndNothingToLoad) {
  TBitmap whole;
  LoadThemeBitmap(MacOS, kThemeProgressBarBitmap, &whole);
  // 13 pixels in two parts of 6: the second is flush with the right edge.
  for (int part : {1, 2}) {
    auto cut = Surface(1, 1);
    LoadThemeBitmapPart(MacOS, kThemeProgressBarBitmap, cut.get(), part, 2);
    ASSERT_EQ(cut->Width(), 6);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 6; ++x) ASSERT_EQ(At(*cut, x, y), At(whole, (part - 1) * 7 + x, y)) << x << "," << y;
  }

  auto keep = Surface(3, 3, clRed);
  LoadThemeBitmap(FromThemeFile, kThemeProgressBarBitmap, keep.get());
  LoadThemeBitmap(DeepBlue, kThemeProgressBarBorder, keep.get());
  LoadThemeBitmap(DeepBlue, 1, keep.get());  // named, but not embedded
  LoadThemeBitmapPart(DeepBlue, 1, keep.get(), 1, 2);
  EXPECT_EQ(keep->Width(), 3);
  EXPECT_EQ(At(*keep, 1, 1), clRed);
}
