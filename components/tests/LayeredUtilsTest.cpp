#include "LayeredUtils.h"

#include "LayeredDraw.h"
#include "LayeredTestSupport.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

using namespace components;

using gui::Bounds;
using gui::TRect;

TEST(MakeARGB, TakesRedFromTheLowByteAndDropsTheTopByte) {
  EXPECT_EQ(0xFFFF0000u, MakeARGB(0x0000FF, 255));
  EXPECT_EQ(0x80123456u, MakeARGB(0x563412, 128));
  // System colours are not resolved: only the index byte survives.
  EXPECT_EQ(0x00080000u, MakeARGB(gui::clWindowText, 0));
}

TEST(TextPlacement, AliasesShareTheirCellAndCustomSitsTopLeft) {
  EXPECT_EQ(TextPlacement(Alignment_MiddleLeft), TextPlacement(Alignment_Left));
  EXPECT_EQ(TextPlacement(Alignment_MiddleCenter), TextPlacement(Alignment_Center));
  EXPECT_EQ((TTextPlacement{TextAlign_Far, TextAlign_Center}), TextPlacement(Alignment_Right));
  EXPECT_EQ((TTextPlacement{TextAlign_Center, TextAlign_Far}), TextPlacement(Alignment_BottomCenter));
  EXPECT_EQ((TTextPlacement{TextAlign_Near, TextAlign_Near}), TextPlacement(Alignment_Custom));
}

TEST(CaptionLayout, IsTheBoundsOrTheCustomOffsetMovedWhilePressed) {
  const TRect bounds = Bounds(128, 292, 130, 14);
  EXPECT_EQ((TLayoutRect{128, 292, 130, 14}), CaptionLayout(Alignment_Center, bounds, 5, 3));
  EXPECT_EQ((TLayoutRect{129, 293, 130, 14}), CaptionLayout(Alignment_BottomRight, bounds, 5, 3, 1));
  EXPECT_EQ((TLayoutRect{133, 295, 125, 11}), CaptionLayout(Alignment_Custom, bounds, 5, 3));
  EXPECT_EQ((TLayoutRect{134, 296, 125, 11}), CaptionLayout(Alignment_Custom, bounds, 5, 3, 1));
}

TEST(PlacePicture, SmallPictureCentredInItsOwnSizeOrStretched) {
  const TRect button = Bounds(100, 50, 32, 32);
  TPicturePlacement plain = PlacePicture(Alignment_Center, button, 16, 16, false, 0, 0);
  EXPECT_EQ(Bounds(108, 58, 16, 16), plain.Dest);
  EXPECT_EQ(Bounds(0, 0, 16, 16), plain.Source);
  TPicturePlacement stretched = PlacePicture(Alignment_Center, button, 16, 16, true, 0, 0);
  EXPECT_EQ(Bounds(108, 58, 32, 32), stretched.Dest);
  EXPECT_EQ(Bounds(0, 0, 16, 16), stretched.Source);
}

TEST(PlacePicture, LargePictureIsCroppedNotScaled) {
  const TRect button = Bounds(0, 0, 32, 20);
  for (bool stretch : {false, true}) {
    TPicturePlacement p = PlacePicture(Alignment_TopLeft, button, 50, 40, stretch, 0, 0);
    EXPECT_EQ(Bounds(0, 0, 32, 20), p.Dest);
    EXPECT_EQ(Bounds(0, 0, 32, 20), p.Source);
  }
  // Half of a negative excess truncates toward zero: -9 / 2 is -4.
  EXPECT_EQ((gui::TPoint{-4, -10}), PictureOffset(Alignment_Center, 32, 20, 41, 40, 0, 0));
}

TEST(PictureOffset, EdgesAndCustom) {
  EXPECT_EQ((gui::TPoint{20, 7}), PictureOffset(Alignment_Right, 30, 20, 10, 5, 7, 7));
  EXPECT_EQ((gui::TPoint{10, 15}), PictureOffset(Alignment_BottomCenter, 30, 20, 10, 5, 7, 7));
  EXPECT_EQ((gui::TPoint{-3, 4}), PictureOffset(Alignment_Custom, 30, 20, 10, 5, -3, 4));
}

TEST(PointerState, InsideCountsTheFarEdges) {
  EXPECT_TRUE(InsideControl(0, 0, 25, 25));
  EXPECT_TRUE(InsideControl(25, 25, 25, 25));
  EXPECT_FALSE(InsideControl(26, 3, 25, 25));
  EXPECT_FALSE(InsideControl(3, -1, 25, 25));
}

TEST(PointerState, PressedStateSurvivesLeavingAndEndsInHover) {
  TPointerState s;
  s.Enter();
  EXPECT_EQ(Look_Hover, LookOf(true, s));
  s.Press();
  EXPECT_FALSE(s.Leave()) << "a pressed control stays pressed outside";
  EXPECT_EQ(Look_Down, LookOf(true, s));
  s.Release(false);
  EXPECT_EQ(Look_Normal, LookOf(true, s));
  s.Press();
  s.Complete();
  EXPECT_EQ(Look_Hover, LookOf(true, s));
  EXPECT_TRUE(s.Leave());
  EXPECT_FALSE(s.Hover);
  s.Press();
  EXPECT_EQ(Look_Disabled, LookOf(false, s)) << "disabled wins over pressed";
}

// ---------------------------------------------------------------------------
// The surface and the shared drawing, through GDI+.

class LayeredSurfaceTest : public GdiplusTest {};

TEST_F(LayeredSurfaceTest, ImagesLoadFromPngFilesOnly) {
  ScratchFolder scratch("layered");
  const std::string png = scratch.Path() + "framed.png";
  ASSERT_TRUE(SavePng(*MakeFramedImage(12, 7, 2, 0xFF00FF00), png));
  const std::string garbage = scratch.Write("garbage.png", "not a picture at all");
  {
    TGPImage image = LoadGPImageFromFile(png);
    ASSERT_TRUE(image);
    EXPECT_EQ(12, ImageWidth(image.get()));
    EXPECT_EQ(7, ImageHeight(image.get()));
  }
  EXPECT_FALSE(LoadGPImageFromFile(garbage));
  EXPECT_FALSE(LoadGPImageFromFile(scratch.Path() + "missing.png"));
  EXPECT_FALSE(LoadGPImageFromFile(""));
  EXPECT_EQ(0, ImageWidth(nullptr));
}

TEST_F(LayeredSurfaceTest, BackgroundKeepsPerPixelAlphaAndRestoresByArea) {
  TLayeredSurface surface;
  ASSERT_TRUE(surface.Create(40, 30));
  EXPECT_EQ(0u, surface.Pixel(20, 15)) << "a new buffer is fully transparent";

  auto framed = MakeFramedImage(40, 30, 5, 0xFF2040C0);
  surface.DrawBackground(*framed);
  surface.RestoreArea(Bounds(0, 0, 20, 30));
  EXPECT_EQ(0xFF2040C0u, surface.Pixel(10, 15));
  EXPECT_EQ(0u, surface.Pixel(2, 15)) << "the transparent border stays transparent";
  EXPECT_EQ(0u, surface.Pixel(30, 15)) << "outside the restored area";
  surface.RestoreBackground();
  EXPECT_EQ(0xFF2040C0u, surface.Pixel(30, 15));

  // A second picture replaces the first, its transparent parts included.
  auto clear = MakeFramedImage(40, 30, 20, 0xFF00FF00);
  surface.DrawBackground(*clear);
  surface.RestoreBackground();
  EXPECT_EQ(0u, surface.Pixel(10, 15));
}

TEST_F(LayeredSurfaceTest, ImpossibleBuffersLeaveNoGraphics) {
  TLayeredSurface surface;
  EXPECT_FALSE(surface.Create(0, 10));
  EXPECT_FALSE(surface.Ready());
  EXPECT_EQ(nullptr, surface.MemDC());
  EXPECT_EQ(nullptr, surface.BackgroundDC());
  surface.RestoreBackground();  // harmless without buffers
  EXPECT_FALSE(surface.Present(GetDesktopWindow(), 10, 10, 0, 255));
}

TEST_F(LayeredSurfaceTest, CaptionDrawsOpaqueTextInsideItsRectangle) {
  TLayeredSurface surface;
  ASSERT_TRUE(surface.Create(200, 40));
  gui::TFont font;
  font.SetName("Tahoma");
  font.SetHeight(-19);
  font.SetColor(gui::clWhite);
  const TRect label = Bounds(20, 5, 150, 30);
  HDC screen = GetDC(nullptr);
  DrawLayeredCaption(*surface.Graphics(), screen, font, "Brimvale", {Alignment_MiddleLeft, false},
                     CaptionLayout(Alignment_MiddleLeft, label, 0, 0));
  ReleaseDC(nullptr, screen);
  const TRect ink = InkBounds(surface);
  ASSERT_FALSE(ink.IsEmpty()) << "no text was drawn";
  EXPECT_GE(ink.Left, label.Left);
  EXPECT_LE(ink.Left, label.Left + 4) << "middle-left text starts at the left edge";
  EXPECT_LT(ink.Right, label.Left + 120);
  EXPECT_GE(ink.Top, label.Top);
  EXPECT_LE(ink.Bottom, label.Bottom);
  EXPECT_TRUE(HasPixel(surface, 0xFFFFFFFF, label)) << "white text at full opacity";
}

TEST_F(LayeredSurfaceTest, ALineBreakOfTwoCharactersDrawsAsOne) {
  gui::TFont font;
  font.SetHeight(-13);
  font.SetColor(gui::clBlack);
  HDC screen = GetDC(nullptr);
  auto draw = [&](const std::string& text) {
    auto surface = std::make_unique<TLayeredSurface>();
    EXPECT_TRUE(surface->Create(200, 60));
    DrawLayeredCaption(*surface->Graphics(), screen, font, text, {Alignment_TopLeft, true},
                       CaptionLayout(Alignment_TopLeft, Bounds(0, 0, 200, 60), 0, 0));
    return surface;
  };
  auto crlf = draw("Brimvale \r\nVersion 2");
  auto lf = draw("Brimvale \nVersion 2");
  ReleaseDC(nullptr, screen);
  ASSERT_FALSE(InkBounds(*lf).IsEmpty());
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(lf->Pixel(x, y), crlf->Pixel(x, y)) << x << ", " << y;
}

TEST_F(LayeredSurfaceTest, OneLineCaptionTooLongEndsInEllipsisAfterAWholeWord) {
  if (GetACP() != 1252) GTEST_SKIP() << "the expected text is written in code page 1252";
  gui::TFont font;
  font.SetHeight(-13);
  font.SetColor(gui::clBlack);
  HDC screen = GetDC(nullptr);
  // Room for "Alpha Beta..." and a little more, but not for "Gamma".
  Gdiplus::Font measureFont(screen, font.Handle());
  Gdiplus::RectF fit;
  TLayeredSurface probe;
  ASSERT_TRUE(probe.Create(10, 10));
  probe.Graphics()->MeasureString(L"Alpha Beta\u2026", -1, &measureFont, Gdiplus::PointF(0, 0), &fit);
  const int width = int(fit.Width) + 6;

  auto draw = [&](const std::string& text, int rectWidth, bool multiLines) {
    auto surface = std::make_unique<TLayeredSurface>();
    EXPECT_TRUE(surface->Create(300, 60));
    DrawLayeredCaption(*surface->Graphics(), screen, font, text, {Alignment_TopLeft, multiLines},
                       CaptionLayout(Alignment_TopLeft, Bounds(0, 0, rectWidth, 60), 0, 0));
    return surface;
  };
  auto trimmed = draw("Alpha Beta Gamma", width, false);
  auto expected = draw("Alpha Beta\x85", 300, false);
  auto wrapped = draw("Alpha Beta Gamma", width, true);
  ReleaseDC(nullptr, screen);

  const gui::TRect ink = InkBounds(*trimmed);
  EXPECT_LE(ink.Right, width) << "clipped to its rectangle";
  EXPECT_EQ(InkBounds(*expected).Height(), ink.Height()) << "on one line";
  EXPECT_GT(InkBounds(*wrapped).Height(), ink.Height() * 3 / 2) << "several lines wrap instead";

  if (RunningOnWine()) GTEST_SKIP() << "Wine's GDI+ clips without trimming";
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 300; ++x)
      ASSERT_EQ(expected->Pixel(x, y), trimmed->Pixel(x, y)) << x << ", " << y;
}

TEST_F(LayeredSurfaceTest, FocusOutlineIsHalfTransparentAndInset) {
  TLayeredSurface surface;
  ASSERT_TRUE(surface.Create(40, 40));
  DrawLayeredFocus(*surface.Graphics(), Bounds(5, 5, 30, 30), gui::clBlack, 2);
  EXPECT_EQ(0u, surface.Pixel(5, 20)) << "the margin stays clear";
  EXPECT_EQ(0x80000000u, surface.Pixel(7, 20));
  EXPECT_EQ(0u, surface.Pixel(20, 20));
}
