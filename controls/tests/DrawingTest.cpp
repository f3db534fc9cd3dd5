// The drawing routines: lines, frames, borders, percent bars, glyphs and
// fonts, checked pixel by pixel in 32-bit bitmaps.
#include <gtest/gtest.h>

#include "CkDisplay.h"
#include "CkGrafx.h"
#include "Pixels.h"
#include "testsupport/Hooks.h"

using namespace ck;
using namespace cktest;

namespace {

// Visual styles off and full colour for every test here, unless a test says
// otherwise.
class Drawing : public ::testing::Test {
 protected:
  testsupport::ScopedThemes themes{false};
  testsupport::Scoped fullColour{ForceFullColorDisplay, true, std::nullopt};
};

// The colours along row y from x0 to x1 (exclusive).
std::vector<TColor> Row(TBitmap& b, int y, int x0, int x1) {
  std::vector<TColor> r;
  for (int x = x0; x < x1; ++x) r.push_back(At(b, x, y));
  return r;
}

}  // namespace

TEST_F(Drawing, SidesLineDrawsChosenSidesAndShrinks) {
  auto b = Surface(10, 8);
  TCanvas& c = b->Canvas();
  EXPECT_EQ(DrawSidesLine(c, Rect(0, 0, 10, 8), clNone, kAllSides, clNone), Rect(1, 1, 9, 7));
  EXPECT_EQ(CountOf(*b, clWhite, Rect(0, 0, 10, 8)), 80) << "clNone only shrinks the rectangle";

  EXPECT_EQ(DrawSidesLine(c, Rect(0, 0, 10, 8), clRed, kAllSides, clBlue), Rect(1, 1, 9, 7));
  EXPECT_EQ(At(*b, 0, 0), clRed);
  EXPECT_EQ(At(*b, 0, 6), clRed);
  EXPECT_EQ(At(*b, 5, 0), clRed);
  EXPECT_EQ(At(*b, 9, 0), clBlue) << "the lower-right colour wins the shared corners";
  EXPECT_EQ(At(*b, 0, 7), clBlue);
  EXPECT_EQ(At(*b, 9, 7), clBlue);
  EXPECT_EQ(CountOf(*b, clWhite, Rect(0, 0, 10, 8)), 8 * 6);

  auto s = Surface(10, 8);
  EXPECT_EQ(DrawSidesLine(s->Canvas(), Rect(2, 2, 8, 6), clRed, TSides{sdTop, sdRight}, clBlue), Rect(2, 3, 7, 6));
  EXPECT_EQ(Row(*s, 2, 2, 8), (std::vector<TColor>{clRed, clRed, clRed, clRed, clRed, clBlue}));
  EXPECT_EQ(At(*s, 2, 3), clWhite) << "no left side";
  EXPECT_EQ(At(*s, 4, 5), clWhite) << "no bottom side";

  auto n = Surface(10, 10);
  EXPECT_EQ(DrawSidesLines(n->Canvas(), Rect(0, 0, 10, 10), clRed, kAllSides, 3, clRed), Rect(3, 3, 7, 7));
  EXPECT_EQ(CountOf(*n, clRed, Rect(0, 0, 10, 10)), 100 - 16);
}

TEST_F(Drawing, FrameStylesInSystemColours) {
  struct Case {
    TFrameStyle style;
    TColor outerLeft, innerLeft, innerRight, outerRight;  // across the middle row
    int width;
  };
  const Case cases[] = {
      {fsFlat, cl3DDkShadow, 0, 0, cl3DDkShadow, 1},
      {fsGroove, clBtnShadow, clBtnHighlight, clBtnShadow, clBtnHighlight, 2},
      {fsBump, clBtnHighlight, clBtnShadow, clBtnHighlight, clBtnShadow, 2},
      {fsLowered, clBtnShadow, cl3DDkShadow, cl3DLight, clBtnHighlight, 2},
      {fsButtonDown, clBtnText, clBtnShadow, clBtnShadow, clBtnText, 2},
      {fsRaised, cl3DLight, clBtnHighlight, clBtnShadow, cl3DDkShadow, 2},
      {fsButtonUp, clBtnHighlight, cl3DLight, clBtnShadow, cl3DDkShadow, 2},
      {fsStatus, clBtnShadow, 0, 0, clBtnHighlight, 1},
      {fsPopup, clBtnHighlight, 0, 0, clBtnShadow, 1},
      {fsFlatBold, clBtnShadow, clBtnShadow, clBtnShadow, clBtnShadow, 2},
  };
  for (const Case& k : cases) {
    auto b = Surface(12, 12, clFuchsia);
    TRect inner = DrawFrameStyle(b->Canvas(), Rect(0, 0, 12, 12), k.style, kAllSides);
    EXPECT_EQ(inner, Rect(k.width, k.width, 12 - k.width, 12 - k.width)) << k.style;
    EXPECT_EQ(FrameStyleThickness(k.style, 1), k.width);
    EXPECT_EQ(At(*b, 0, 6), Sys(k.outerLeft)) << k.style;
    EXPECT_EQ(At(*b, 11, 6), Sys(k.outerRight)) << k.style;
    EXPECT_EQ(At(*b, 6, 0), Sys(k.outerLeft)) << "top like left, style " << k.style;
    EXPECT_EQ(At(*b, 6, 11), Sys(k.outerRight)) << "bottom like right, style " << k.style;
    if (k.width == 2) {
      EXPECT_EQ(At(*b, 1, 6), Sys(k.innerLeft)) << k.style;
      EXPECT_EQ(At(*b, 10, 6), Sys(k.innerRight)) << k.style;
    }
    EXPECT_EQ(At(*b, 6, 6), clFuchsia);
  }
  auto none = Surface(6, 6);
  EXPECT_EQ(DrawFrameStyle(none->Canvas(), Rect(0, 0, 6, 6), fsNone, kAllSides), Rect(0, 0, 6, 6));
  EXPECT_EQ(CountOf(*none, clWhite, Rect(0, 0, 6, 6)), 36);
}

TEST_F(Drawing, EtchedFramesCloseTheirOpenCorners) {
  auto b = Surface(8, 8, clFuchsia);
  DrawFrameStyle(b->Canvas(), Rect(0, 0, 8, 8), fsGroove, kAllSides);
  EXPECT_EQ(At(*b, 7, 0), Sys(clBtnHighlight)) << "upper right corner";
  EXPECT_EQ(At(*b, 0, 7), Sys(clBtnHighlight)) << "lower left corner";
  EXPECT_EQ(At(*b, 6, 1), Sys(clBtnShadow));

  // Only the top: both of its rows run the whole width.
  auto t = Surface(8, 8, clFuchsia);
  EXPECT_EQ(DrawFrameStyle(t->Canvas(), Rect(0, 0, 8, 8), fsGroove, TSides{sdTop}), Rect(0, 2, 8, 8));
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(At(*t, x, 0), Sys(clBtnShadow)) << x;
    EXPECT_EQ(At(*t, x, 1), Sys(clBtnHighlight)) << x;
  }
  EXPECT_EQ(CountOf(*t, clFuchsia, Rect(0, 2, 8, 8)), 48);
}

TEST_F(Drawing, FramesDerivedFromOneColour) {
  const TColor base = RGB(90, 140, 200);
  auto b = Surface(12, 12, clFuchsia);
  DrawColorFrameStyle(b->Canvas(), Rect(0, 0, 12, 12), base, kAllSides, fsLowered);
  EXPECT_EQ(At(*b, 0, 6), DarkenColor(base, 50));
  EXPECT_EQ(At(*b, 1, 6), DarkenColor(base, 100));
  EXPECT_EQ(At(*b, 10, 6), LightenColor(base, 50));
  EXPECT_EQ(At(*b, 11, 6), LightenColor(base, 100));

  auto up = Surface(12, 12, clFuchsia);
  EXPECT_EQ(DrawColorButtonBevel(up->Canvas(), Rect(0, 0, 12, 12), base, kAllSides, false), Rect(2, 2, 10, 10));
  EXPECT_EQ(At(*up, 1, 6), LightenColor(base, 40));
  EXPECT_EQ(At(*up, 11, 6), DarkenColor(base, 100));

  auto none = Surface(12, 12, clFuchsia);
  DrawColorFrameStyle(none->Canvas(), Rect(0, 0, 12, 12), clNone, kAllSides, fsRaised);
  EXPECT_EQ(CountOf(*none, clFuchsia, Rect(0, 0, 12, 12)), 144) << "clNone draws nothing";

  auto bevel = Surface(12, 12, clFuchsia);
  DrawBevel3D(bevel->Canvas(), Rect(0, 0, 12, 12), true, kAllSides);
  EXPECT_EQ(At(*bevel, 1, 1), Sys(cl3DDkShadow));
  DrawButtonBevel(bevel->Canvas(), Rect(0, 0, 12, 12), true, kAllSides);
  EXPECT_EQ(At(*bevel, 0, 0), Sys(clBtnText));
}

TEST_F(Drawing, RoundedSidesCutTheCorners) {
  auto b = Surface(10, 10);
  EXPECT_EQ(DrawRoundedFlatSides(b->Canvas(), Rect(0, 0, 10, 10), clRed, kAllSides), Rect(2, 2, 8, 8));
  EXPECT_EQ(At(*b, 0, 0), clWhite);
  EXPECT_EQ(At(*b, 1, 0), clWhite);
  EXPECT_EQ(At(*b, 2, 0), clRed);
  EXPECT_EQ(At(*b, 7, 0), clRed);
  EXPECT_EQ(At(*b, 8, 0), clWhite);
  EXPECT_EQ(At(*b, 1, 1), clRed);
  EXPECT_EQ(At(*b, 8, 8), clRed);
  EXPECT_EQ(At(*b, 9, 5), clRed);
  EXPECT_EQ(CountOf(*b, clRed, Rect(0, 0, 10, 10)), 4 * 6 + 4);

  auto open = Surface(10, 10);
  DrawRoundedFlatSides(open->Canvas(), Rect(0, 0, 10, 10), clRed, TSides{sdLeft, sdRight});
  EXPECT_EQ(At(*open, 0, 0), clRed) << "sides without neighbours run to the ends";
  EXPECT_EQ(At(*open, 9, 9), clRed);
  EXPECT_EQ(At(*open, 1, 1), clWhite);
}

TEST_F(Drawing, BoxLineAndDottedFocusBorder) {
  auto b = Surface(8, 6);
  EXPECT_EQ(DrawBoxLine(b->Canvas(), Rect(0, 0, 8, 6), clBlue), Rect(1, 1, 7, 5));
  EXPECT_EQ(CountOf(*b, clBlue, Rect(0, 0, 8, 6)), 24);

  auto d = Surface(8, 6);
  EXPECT_EQ(DrawDottedFocusBorder(d->Canvas(), Rect(0, 0, 8, 6)), Rect(1, 1, 7, 5));
  EXPECT_EQ(Row(*d, 0, 0, 8), (std::vector<TColor>{clWhite, clBlack, clWhite, clBlack, clWhite, clBlack, clWhite,
                                                    clBlack}));
  EXPECT_EQ(At(*d, 0, 1), clBlack);
  EXPECT_EQ(At(*d, 0, 2), clWhite);
  EXPECT_EQ(At(*d, 7, 3), clBlack);
  EXPECT_EQ(At(*d, 3, 3), clWhite);
}

TEST_F(Drawing, FramedBorderLayersOuterBorderAndInner) {
  TFramedBorder border;
  border.Outer = fsLowered;
  border.BorderWidth = 2;
  border.BorderColor = clYellow;
  border.Inner = fsFlat;
  border.RoundInner = true;
  border.FlatColor = clGray;
  border.FlatColorAdjustment = -20;
  auto b = Surface(20, 20, clFuchsia);
  EXPECT_EQ(DrawFramedBorder(b->Canvas(), Rect(0, 0, 20, 20), border), Rect(5, 5, 15, 15));
  EXPECT_EQ(At(*b, 0, 10), Sys(clBtnShadow));
  EXPECT_EQ(At(*b, 2, 10), clYellow);
  EXPECT_EQ(At(*b, 3, 10), clYellow);
  EXPECT_EQ(At(*b, 4, 10), DarkenColor(clGray, 20));
  EXPECT_EQ(At(*b, 4, 4), clFuchsia) << "the round inner line leaves its corners out";
  EXPECT_EQ(At(*b, 15, 15), clFuchsia);

  TFramedBorder status;
  status.Outer = fsStatus;
  status.BevelWidth = 3;
  status.ShadowColor = clRed;
  status.HighlightColor = clBlue;
  status.Inner = fsPopup;
  auto s = Surface(20, 20, clFuchsia);
  EXPECT_EQ(DrawFramedBorder(s->Canvas(), Rect(0, 0, 20, 20), status), Rect(6, 6, 14, 14));
  EXPECT_EQ(Row(*s, 10, 0, 6), (std::vector<TColor>{clRed, clRed, clRed, clBlue, clBlue, clBlue}));
  EXPECT_EQ(Row(*s, 10, 14, 20), (std::vector<TColor>{clRed, clRed, clRed, clBlue, clBlue, clBlue}));
}

TEST_F(Drawing, FramedBorderRoundedOutline) {
  TFramedBorder border;
  border.Outer = fsFlatRounded;
  border.ParentColor = clAqua;
  border.OwnColor = clYellow;
  border.FlatColor = clRed;
  border.FlatColorAdjustment = 0;
  auto b = Surface(12, 12, clFuchsia);
  EXPECT_EQ(DrawFramedBorder(b->Canvas(), Rect(0, 0, 12, 12), border), Rect(2, 2, 10, 10));
  EXPECT_EQ(At(*b, 0, 0), clAqua) << "the parent shows in the cut corner";
  EXPECT_EQ(At(*b, 1, 0), clAqua);
  EXPECT_EQ(At(*b, 2, 0), clRed);
  EXPECT_EQ(At(*b, 1, 1), clRed);
  EXPECT_EQ(At(*b, 2, 1), clYellow) << "the own colour inside the rounded line";

  border.Transparent = true;
  auto t = Surface(12, 12, clFuchsia);
  DrawFramedBorder(t->Canvas(), Rect(0, 0, 12, 12), border);
  EXPECT_EQ(At(*t, 0, 0), clFuchsia) << "transparent: the corners stay as they were";
  EXPECT_EQ(At(*t, 2, 1), clFuchsia);
  EXPECT_EQ(At(*t, 1, 1), clRed);
}

TEST_F(Drawing, ControlFrameClearsThenFrames) {
  auto b = Surface(10, 10, clFuchsia);
  DrawControlFrame(b->Canvas(), 10, 10, false, kAllSides, clRed, clLime, fsFlat);
  EXPECT_EQ(At(*b, 0, 5), clRed);
  EXPECT_EQ(At(*b, 1, 5), clLime);
  EXPECT_EQ(At(*b, 2, 5), clFuchsia);

  auto skip = Surface(10, 10, clFuchsia);
  DrawControlFrame(skip->Canvas(), 10, 10, true, TSides{sdLeft}, clRed, clLime, fsFlatBold);
  EXPECT_EQ(Row(*skip, 5, 0, 3), (std::vector<TColor>{clRed, clRed, clFuchsia}));
  EXPECT_EQ(At(*skip, 9, 5), clFuchsia);

  auto derived = Surface(10, 10, clFuchsia);
  DrawControlFrame(derived->Canvas(), 10, 10, false, kAllSides, clRed, clLime, fsStatus);
  EXPECT_EQ(At(*derived, 0, 5), DarkenColor(clLime, 50)) << "a coloured background derives the shades";
  auto window = Surface(10, 10, clFuchsia);
  DrawControlFrame(window->Canvas(), 10, 10, false, kAllSides, clRed, clWindow, fsStatus);
  EXPECT_EQ(At(*window, 0, 5), Sys(clBtnShadow));
}

TEST_F(Drawing, PercentBarSplitsAndRounds) {
  auto b = Surface(10, 4);
  DrawPercentBar(b->Canvas(), Rect(0, 0, 10, 4), false, false, false, 25, clWhite, clBlue);
  EXPECT_EQ(CountOf(*b, clBlue, Rect(0, 0, 10, 4)), 2 * 4) << "2.5 columns round to even";
  DrawPercentBar(b->Canvas(), Rect(0, 0, 10, 4), false, false, false, 35, clWhite, clBlue);
  EXPECT_EQ(CountOf(*b, clBlue, Rect(0, 0, 10, 4)), 4 * 4) << "3.5 columns round to even";
  DrawPercentBar(b->Canvas(), Rect(0, 0, 10, 4), false, false, false, 250, clWhite, clBlue);
  EXPECT_EQ(CountOf(*b, clBlue, Rect(0, 0, 10, 4)), 40) << "past 100 fills it";

  auto v = Surface(4, 40);
  DrawPercentBar(v->Canvas(), Rect(0, 0, 4, 40), true, false, false, 25, clWhite, clBlue);
  EXPECT_EQ(CountOf(*v, clBlue, Rect(0, 30, 4, 40)), 40) << "filled from the bottom";
  EXPECT_EQ(CountOf(*v, clBlue, Rect(0, 0, 4, 30)), 0);

  auto t = Surface(10, 4, clFuchsia);
  DrawPercentBar(t->Canvas(), Rect(0, 0, 10, 4), false, true, false, 50, clWhite, clBlue);
  EXPECT_EQ(CountOf(*t, clFuchsia, Rect(5, 0, 10, 4)), 20) << "transparent: the rest stays";
}

TEST_F(Drawing, PercentBarTextTakesTheOtherColour) {
  auto b = Surface(80, 20, clFuchsia);
  DrawPercentBar(b->Canvas(), Rect(0, 0, 80, 20), false, false, true, 0, clWhite, clBlue);
  EXPECT_GT(CountOf(*b, clBlue, Rect(0, 0, 80, 20)), 0) << "at 0 the text shows in the bar colour";
  EXPECT_GT(600 - CountOf(*b, clWhite, Rect(25, 0, 55, 20)), 20);
  EXPECT_EQ(CountOf(*b, clFuchsia, Rect(0, 0, 80, 20)), 0);
  EXPECT_EQ(CountOf(*b, clWhite, Rect(0, 0, 25, 20)), 25 * 20) << "the text is centred";

  DrawPercentBar(b->Canvas(), Rect(0, 0, 80, 20), false, false, true, 100, clWhite, clBlue);
  EXPECT_GT(CountOf(*b, clWhite, Rect(0, 0, 80, 20)), 0) << "at 100 the text shows in the back colour";
  EXPECT_EQ(CountOf(*b, clBlue, Rect(0, 0, 25, 20)), 25 * 20);

  // A bar away from the left edge looks the same, text and all.
  for (std::uint16_t percent : {0, 40, 100}) {
    auto left = Surface(80, 20, clFuchsia), away = Surface(200, 20, clFuchsia);
    DrawPercentBar(left->Canvas(), Rect(0, 0, 80, 20), false, false, true, percent, clWhite, clBlue);
    DrawPercentBar(away->Canvas(), Rect(110, 0, 190, 20), false, false, true, percent, clWhite, clBlue);
    int differ = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 80; ++x) differ += At(*left, x, y) != At(*away, 110 + x, y);
    EXPECT_EQ(differ, 0) << percent << "%";
  }
}

TEST_F(Drawing, GradientBarFillsBothParts) {
  auto b = Surface(40, 10, clFuchsia);
  DrawGradientPercentBar(b->Canvas(), Rect(0, 0, 40, 10), false, false, false, 50, gdVerticalEnd, clWhite, clWhite,
                         clLime, clGreen);
  EXPECT_EQ(At(*b, 19, 5), clLime) << "the bar starts with its stop colour";
  EXPECT_EQ(At(*b, 30, 5), clWhite);
  EXPECT_EQ(CountOf(*b, clFuchsia, Rect(0, 0, 40, 10)), 0);

  auto t = Surface(40, 10, clFuchsia);
  DrawGradientPercentBar(t->Canvas(), Rect(0, 0, 40, 10), false, true, false, 50, gdVerticalEnd, clWhite, clWhite,
                         clLime, clGreen);
  EXPECT_EQ(CountOf(*t, clFuchsia, Rect(20, 0, 40, 10)), 200);
}

TEST_F(Drawing, LedBarSegments) {
  auto b = Surface(60, 10, clFuchsia);
  DrawLedPercentBar(b->Canvas(), Rect(0, 0, 60, 10), false, false, true, 100, 20, clWhite, clBlue);
  EXPECT_EQ(CountOf(*b, clBlue, Rect(0, 0, 60, 10)), 10 * 4 * 8) << "60 pixels hold 10 segments of 6";
  EXPECT_EQ(Row(*b, 5, 0, 7), (std::vector<TColor>{clWhite, clBlue, clBlue, clBlue, clBlue, clWhite, clWhite}));
  EXPECT_EQ(CountOf(*b, clFuchsia, Rect(0, 0, 60, 10)), 0);

  DrawLedPercentBar(b->Canvas(), Rect(0, 0, 60, 10), false, false, false, 59, 20, clWhite, clBlue);
  EXPECT_EQ(CountOf(*b, clBlue, Rect(0, 0, 60, 10)), 5 * 32) << "59% of 10 lights 5";

  auto spread = Surface(107, 6, clFuchsia);
  DrawLedPercentBar(spread->Canvas(), Rect(0, 0, 107, 6), false, false, false, 100, 20, clWhite, clBlue);
  EXPECT_EQ(CountOf(*spread, clBlue, Rect(0, 0, 107, 6)), 21 * 3 * 4) << "the leftover gives one more segment";
  EXPECT_EQ(At(*spread, 1, 3), clWhite) << "one pixel of margin";
  EXPECT_EQ(At(*spread, 2, 3), clBlue);

  auto v = Surface(10, 60, clFuchsia);
  DrawLedPercentBar(v->Canvas(), Rect(0, 0, 10, 60), true, true, false, 30, 10, clWhite, clBlue);
  EXPECT_EQ(CountOf(*v, clBlue, Rect(0, 42, 10, 60)), 3 * 4 * 8) << "lit from the bottom";
  EXPECT_EQ(CountOf(*v, clFuchsia, Rect(0, 0, 10, 60)), 600 - 96) << "transparent: nothing else drawn";

  auto odd = Surface(5, 5, clFuchsia);
  DrawLedPercentBar(odd->Canvas(), Rect(0, 0, 5, 5), false, false, false, 100, 20, clWhite, clBlue);
  DrawLedPercentBar(odd->Canvas(), Rect(0, 0, 5, 5), false, false, false, 100, 0, clWhite, clBlue);
  EXPECT_EQ(CountOf(*odd, clWhite, Rect(0, 0, 5, 5)), 25) << "no segments fit: only the back colour";
}

TEST_F(Drawing, HotRingNeedsFullColour) {
  auto b = Surface(10, 10, clFuchsia);
  DrawHotRing(b->Canvas(), Rect(0, 0, 10, 10), gdVerticalEnd, clRed, clRed);
  EXPECT_EQ(CountOf(*b, clRed, Rect(0, 0, 10, 10)), 100 - 36);
  EXPECT_EQ(CountOf(*b, clFuchsia, Rect(2, 2, 8, 8)), 36);

  testsupport::Scoped fewColours(ForceFullColorDisplay, false, true);
  auto n = Surface(10, 10, clFuchsia);
  DrawHotRing(n->Canvas(), Rect(0, 0, 10, 10), gdVerticalEnd, clRed, clRed);
  EXPECT_EQ(CountOf(*n, clFuchsia, Rect(0, 0, 10, 10)), 100);
}

TEST_F(Drawing, CheckGlyphStates) {
  TCkGlyphStyle style;
  style.FillColor = clWhite;
  style.FrameColor = clNavy;
  style.MarkColor = clBlack;
  style.DisabledColor = clSilver;
  auto b = Surface(13, 13, clFuchsia);
  DrawCheckGlyph(b->Canvas(), Rect(0, 0, 13, 13), cbChecked, style);
  EXPECT_EQ(At(*b, 0, 0), clNavy);
  EXPECT_EQ(At(*b, 1, 1), clWhite);
  // The tick, relative to the inside's top left (1, 1).
  for (TPoint p : {TPoint{3, 5}, TPoint{3, 7}, TPoint{5, 8}, TPoint{9, 3}, TPoint{9, 4}, TPoint{9, 5}})
    EXPECT_EQ(At(*b, p.X, p.Y), clBlack) << p.X << "," << p.Y;
  EXPECT_EQ(CountOf(*b, clBlack, Rect(0, 0, 13, 13)), 7 + 12 + 2);

  style.State = gsDisabled;
  DrawCheckGlyph(b->Canvas(), Rect(0, 0, 13, 13), cbChecked, style);
  EXPECT_EQ(At(*b, 1, 1), clSilver) << "disabled: the disabled colour inside";
  EXPECT_EQ(At(*b, 3, 5), Sys(clBtnShadow)) << "and the tick in the shadow colour";

  style.State = gsPressed;
  style.FocusColor = RGB(200, 220, 240);
  DrawCheckGlyph(b->Canvas(), Rect(0, 0, 13, 13), cbGrayed, style);
  EXPECT_EQ(At(*b, 1, 1), DarkenColor(RGB(200, 220, 240), 20));
  EXPECT_EQ(CountOf(*b, clBlack, Rect(3, 3, 10, 10)), 49) << "grayed fills the middle";

  style.State = gsNormal;
  style.Focused = true;
  style.ReadOnly = true;
  style.ReadOnlyColor = clYellow;
  DrawCheckGlyph(b->Canvas(), Rect(0, 0, 13, 13), cbUnchecked, style);
  EXPECT_EQ(At(*b, 1, 1), RGB(200, 220, 240)) << "focused shows the focus colour";
  style.ReadOnlyColorOnFocus = true;
  DrawCheckGlyph(b->Canvas(), Rect(0, 0, 13, 13), cbUnchecked, style);
  EXPECT_EQ(At(*b, 5, 5), clYellow);

  style = TCkGlyphStyle{};
  style.State = gsHot;
  style.HotStyle = htsFrame;
  style.HotColor = clRed;
  style.FillColor = clWhite;
  DrawCheckGlyph(b->Canvas(), Rect(0, 0, 13, 13), cbUnchecked, style);
  EXPECT_EQ(At(*b, 0, 6), clRed);
  EXPECT_EQ(At(*b, 1, 6), clRed) << "a second frame in the hot colour";
  EXPECT_EQ(At(*b, 2, 6), clWhite);

  style.HotStyle = htsInterior;
  style.HotColor2 = clRed;
  style.FrameColor = clNavy;
  DrawCheckGlyph(b->Canvas(), Rect(0, 0, 13, 13), cbUnchecked, style);
  EXPECT_EQ(At(*b, 0, 6), clNavy);
  EXPECT_EQ(Row(*b, 6, 1, 4), (std::vector<TColor>{clRed, clRed, clWhite})) << "a two-pixel hot ring";
}

TEST_F(Drawing, RadioGlyph) {
  TCkGlyphStyle style;
  style.FillColor = clWhite;
  style.FrameColor = clNavy;
  style.MarkColor = clBlack;
  style.BackgroundColor = clSilver;
  auto b = Surface(20, 20, clFuchsia);
  DrawRadioGlyph(b->Canvas(), Rect(2, 3, 30, 30), true, style);
  auto at = [&](int x, int y) { return At(*b, 2 + x, 3 + y); };
  EXPECT_EQ(at(0, 0), clSilver) << "outside the circle";
  EXPECT_EQ(at(12, 12), clSilver);
  EXPECT_EQ(at(6, 0), clNavy);
  EXPECT_EQ(at(0, 6), clNavy);
  EXPECT_EQ(at(2, 1), MixColors(clNavy, clSilver, 128)) << "soft outer edge";
  EXPECT_EQ(at(6, 6), clBlack);
  EXPECT_EQ(at(6, 4), clBlack);
  EXPECT_EQ(at(5, 4), MixColors(clBlack, clWhite, 153)) << "the dot's soft rim";
  EXPECT_EQ(at(6, 2), clWhite);
  EXPECT_EQ(CountOf(*b, clFuchsia, Rect(2, 3, 15, 16)), 0);
  EXPECT_EQ(At(*b, 15, 8), clFuchsia) << "13 pixels wide, whatever the rectangle";

  style.Transparent = true;
  style.TransparentColor = clOlive;
  style.State = gsDisabled;
  style.DisabledColor = clYellow;
  DrawRadioGlyph(b->Canvas(), Rect(2, 3, 15, 16), true, style);
  EXPECT_EQ(at(0, 0), clOlive);
  EXPECT_EQ(at(2, 1), clOlive);
  EXPECT_EQ(at(6, 6), Sys(clBtnShadow)) << "a disabled dot";
  EXPECT_EQ(at(6, 2), clYellow);

  testsupport::Scoped fewColours(ForceFullColorDisplay, false, true);
  style = TCkGlyphStyle{};
  style.FillColor = clWhite;
  DrawRadioGlyph(b->Canvas(), Rect(2, 3, 15, 16), false, style);
  EXPECT_EQ(CountOf(*b, clSilver, Rect(2, 3, 15, 16)), 16) << "without full colour: silver inner edge";
}

TEST_F(Drawing, DropDownArrow) {
  auto b = Surface(15, 11, clWhite);
  TCanvas& c = b->Canvas();
  c.Brush().SetColor(clWhite);
  DrawDropDownArrow(c, Rect(0, 0, 15, 11), 0, true, false);
  EXPECT_EQ(Row(*b, 4, 3, 12), (std::vector<TColor>{clWhite, clBlack, clBlack, clBlack, clBlack, clBlack, clBlack,
                                                     clBlack, clWhite}));
  EXPECT_EQ(CountOf(*b, clBlack, Rect(0, 5, 15, 6)), 5);
  EXPECT_EQ(CountOf(*b, clBlack, Rect(0, 6, 15, 7)), 3);
  EXPECT_EQ(CountOf(*b, clBlack, Rect(0, 0, 15, 11)), 15);
  EXPECT_EQ(c.Brush().Color(), clWhite) << "the brush colour comes back";

  auto p = Surface(15, 11, clWhite);
  p->Canvas().Brush().SetColor(clBlack);
  DrawDropDownArrow(p->Canvas(), Rect(0, 0, 15, 11), 0, true, true);
  EXPECT_EQ(CountOf(*p, Sys(cl3DDkShadow), Rect(5, 5, 12, 6)), 7) << "pressed: moved; on black: dark shadow";

  auto d = Surface(15, 11, clWhite);
  d->Canvas().Brush().SetColor(clWhite);
  DrawDropDownArrow(d->Canvas(), Rect(0, 0, 15, 11), 1, false, false);
  int shadow = CountOf(*d, Sys(clBtnShadow), Rect(0, 0, 15, 11));
  EXPECT_GT(shadow, 12) << "a disabled chevron";
  EXPECT_EQ(CountOf(*d, Sys(clBtnShadow), Rect(0, 0, 15, 4)), 0) << "two pixels below the middle";
}

TEST_F(Drawing, Fonts) {
  TFont font;
  font.SetName("Tahoma");
  font.SetHeight(-13);
  font.SetStyle(TFontStyles{fsBold, fsItalic});
  const kit::Gdi<HFONT> rotated = CreateRotatedFont(font, 45);
  ASSERT_TRUE(rotated);
  LOGFONTA lf{};
  ASSERT_EQ(GetObjectA(rotated.Get(), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfEscapement, 450);
  EXPECT_EQ(lf.lfOrientation, 0);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_EQ(lf.lfHeight, -13);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");

  EXPECT_TRUE(FontIsTrueType(font));
  auto b = Surface(4, 4);
  b->Canvas().SetFont(&font);
  EXPECT_EQ(FontRowHeight(font), b->Canvas().TextHeight("Ag") + 2);
  testsupport::Scoped onlyVerdana(ForceFontIsTrueType, [](const std::string& face) { return face == "Verdana"; },
                                  nullptr);
  EXPECT_FALSE(FontIsTrueType(font));
}
