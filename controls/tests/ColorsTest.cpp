// Colour arithmetic on the 0..240 scale, the theme colour fallbacks and the
// settings-location component.
#include <gtest/gtest.h>

#include "CkCommon.h"
#include "CkDisplay.h"
#include "testsupport/Hooks.h"

using namespace ck;

namespace {

struct Hsl {
  int h, s, l;
  friend bool operator==(const Hsl&, const Hsl&) = default;
};

Hsl HslOf(TColor c) {
  std::uint8_t h, s, l;
  ColorToHsl240(c, h, s, l);
  return {h, s, l};
}

const TColor kSamples[] = {clBlack, clWhite, clRed,  clLime,     clBlue,      clNavy,   clOlive,
                           clTeal,  clGray,  0x149BF0, clBtnFace, clHighlight, clInfoBk, RGB(1, 2, 3)};

}  // namespace

TEST(Colors, HslOfPrimariesAndGreys) {
  EXPECT_EQ(HslOf(clRed), (Hsl{0, 240, 120}));
  EXPECT_EQ(HslOf(clLime), (Hsl{80, 240, 120}));
  EXPECT_EQ(HslOf(clBlue), (Hsl{160, 240, 120}));
  EXPECT_EQ(HslOf(clWhite), (Hsl{0, 0, 240}));
  EXPECT_EQ(HslOf(clBlack), (Hsl{0, 0, 0}));
  EXPECT_EQ(HslOf(clGray), (Hsl{0, 0, 120}));  // 128 / 255 * 240 = 120.47
  std::uint8_t h, s, l;
  EXPECT_EQ(ColorToHsl240(clBlue, h, s, l), RGB(160, 240, 120)) << "the result packs hue, saturation, luminance";
  EXPECT_EQ(HueOfColor(RGB(255, 128, 0)), 20);
  // System colours are resolved first.
  EXPECT_EQ(HslOf(clBtnFace), HslOf(ColorToRGB(clBtnFace)));
}

TEST(Colors, HslToColorScalesTheHueOver239) {
  EXPECT_EQ(Hsl240ToColor(0, 240, 120), clRed);
  EXPECT_EQ(Hsl240ToColor(160, 240, 120), RGB(4, 0, 255)) << "160 / 239 lands just past the blue sextant";
  EXPECT_EQ(Hsl240ToColor(240, 240, 120), RGB(255, 6, 0)) << "hue 240 repeats the first sextant";
  EXPECT_EQ(Hsl240ToColor(80, 0, 120), RGB(128, 128, 128));
  EXPECT_EQ(Hsl240ToColor(100, 240, 0), clBlack);
  EXPECT_EQ(Hsl240ToColor(100, 200, 255), clWhite) << "luminance past 240 is capped";
}

TEST(Colors, LightenAndDarkenReachTheEnds) {
  for (TColor c : kSamples) {
    EXPECT_EQ(LightenColor(c, 240), clWhite) << std::hex << c;
    EXPECT_EQ(DarkenColor(c, 240), clBlack) << std::hex << c;
    EXPECT_EQ(ShiftColorLuminance(c, 0), c) << "no shift leaves the colour as it is";
    EXPECT_EQ(ShiftColorLuminance(c, -70), DarkenColor(c, 70));
    EXPECT_EQ(ShiftColorLuminance(c, 70), LightenColor(c, 70));
    EXPECT_EQ(ShiftColorLuminance(c, 1000), clWhite) << "amounts past a byte are capped";
  }
  EXPECT_EQ(HslOf(DarkenColor(clGray, 50)).l, 70);
  EXPECT_EQ(HslOf(LightenColor(clGray, 50)).l, 170);
}

TEST(Colors, MixWeighsTheFirstColour) {
  EXPECT_EQ(MixColors(clRed, clBlue, 255), clRed);
  EXPECT_EQ(MixColors(clRed, clBlue, 0), clBlue);
  EXPECT_EQ(MixColors(clWhite, clBlack, 128), RGB(128, 128, 128));
  EXPECT_EQ(MixColors(RGB(10, 20, 30), RGB(20, 40, 60), 128), RGB(15, 30, 45));
  EXPECT_EQ(MixColors(clWhite, TColor{0x149BF0}, 190), RGB(251, 230, 195));
}

TEST(Colors, LookAlikeNeedsCloseHueAndLuminance) {
  ASSERT_EQ(HueOfColor(RGB(255, 128, 0)), 20);
  ASSERT_EQ(HueOfColor(RGB(255, 120, 0)), 19);
  EXPECT_FALSE(ColorsLookAlike(clRed, RGB(255, 128, 0))) << "a hue difference of exactly 20";
  EXPECT_TRUE(ColorsLookAlike(clRed, RGB(255, 120, 0)));
  EXPECT_FALSE(ColorsLookAlike(clBlack, RGB(64, 64, 64))) << "luminance 0 against 60";
  EXPECT_TRUE(ColorsLookAlike(clBlack, RGB(63, 63, 63)));
  EXPECT_TRUE(ColorsLookAlike(clWindow, ColorToRGB(clWindow)));
}

TEST(Colors, OppositeHueTurnsHalfWayRound) {
  EXPECT_EQ(OppositeHueColor(clRed, 120), RGB(0, 252, 255));
  EXPECT_EQ(HueOfColor(OppositeHueColor(clBlue, 120)), 40);
  EXPECT_EQ(HslOf(OppositeHueColor(clLime, 180)).l, 180);
}

TEST(Colors, ThemeColoursFallBackWithoutVisualStyles) {
  testsupport::ScopedThemes themes(false);
  for (int kind = -1; kind <= 7; ++kind) EXPECT_EQ(ThemeElementColor(kind), clBtnFace);
  themes.Set(true);
  EXPECT_EQ(ThemeElementColor(7), clWhite);
  EXPECT_EQ(ThemeElementColor(-1), clWhite);
  EXPECT_TRUE(HasFullColorDisplay()) << "the test display has 24-bit colour";
}

TEST(RegIniFile, DefaultsAndChangedFlag) {
  TCkRegIniFile f(nullptr);
  EXPECT_EQ(f.Path(), "");
  EXPECT_EQ(f.PathType(), ptIniFile);
  EXPECT_EQ(f.RegKey(), hkeyCurrentUser);
  EXPECT_EQ(f.RegAccess(), TCkRegAccess{keyAllAccess});
  EXPECT_EQ(f.SpecialFolder(), sfNone);
  EXPECT_TRUE(f.LocationChanged());

  const TClass& cls = TCkRegIniFile::StaticClass();
  const TPropInfo* access = cls.FindProperty("RegAccess");
  ASSERT_NE(access, nullptr);
  EXPECT_EQ(SetToText(*access->Enum, static_cast<std::uint64_t>(access->GetOrd(f))), "[keyAllAccess]");
  cls.FindProperty("Path")->SetStr(f, "Software\\Brimvale");
  cls.FindProperty("PathType")->SetOrd(f, ptRegistry);
  EXPECT_EQ(f.Path(), "Software\\Brimvale");
  EXPECT_EQ(f.PathType(), ptRegistry);
}
