// Canvas drawing checked pixel by pixel in 32-bit bitmaps, fonts, bitmaps,
// icons, image lists, pictures and streams.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "TestClasses.h"
#include "gui/Bitmap.h"
#include "gui/FormReader.h"
#include "gui/Icon.h"
#include "gui/ImageList.h"
#include "gui/Streams.h"
#include "testsupport/Pixels.h"

using namespace gui;
using namespace testing_gui;
using testsupport::At;
using testsupport::CountOf;
using testsupport::Surface;

namespace {

std::vector<std::uint8_t> IconFileBytes() {
  TResourceFormSource embedded;
  return *embedded.PictureData("TTestForm", "../data/one.ico");
}

}  // namespace

TEST(Canvas, FillsFramesLinesAndPolygons) {
  auto b = Surface(20, 20);
  TCanvas& c = b->Canvas();
  c.Brush().SetColor(clRed);
  c.FillRect(Rect(2, 2, 10, 10));
  EXPECT_EQ(At(*b, 2, 2), clRed);
  EXPECT_EQ(At(*b, 9, 9), clRed);
  EXPECT_EQ(At(*b, 10, 10), clWhite) << "right and bottom are exclusive";
  EXPECT_EQ(CountOf(*b, clRed, Rect(0, 0, 20, 20)), 64);

  c.Brush().SetColor(clBlue);
  c.FrameRect(Rect(0, 0, 20, 20));
  EXPECT_EQ(At(*b, 0, 0), clBlue);
  EXPECT_EQ(At(*b, 19, 10), clBlue);
  EXPECT_EQ(At(*b, 10, 19), clBlue);
  EXPECT_EQ(At(*b, 1, 1), clWhite);

  c.Pen().SetColor(clLime);
  c.MoveTo(12, 15);
  c.LineTo(18, 15);
  EXPECT_EQ(At(*b, 12, 15), clLime);
  EXPECT_EQ(At(*b, 17, 15), clLime);
  EXPECT_EQ(At(*b, 18, 15), clWhite) << "the last point is not drawn";
  EXPECT_EQ(c.PenPos(), Point(18, 15));

  c.Brush().SetColor(clYellow);
  c.Pen().SetStyle(psClear);
  const TPoint triangle[] = {{12, 2}, {19, 2}, {12, 9}};
  c.Polygon(triangle);
  EXPECT_EQ(At(*b, 13, 3), clYellow);
  EXPECT_EQ(At(*b, 18, 8), clWhite);

  c.SetPixels(5, 15, clFuchsia);
  EXPECT_EQ(c.Pixels(5, 15), clFuchsia);
  c.Brush().SetColor(clBtnFace);  // system colours resolve when drawn
  c.FillRect(Rect(3, 12, 4, 13));
  EXPECT_EQ(At(*b, 3, 12), ColorToRGB(clBtnFace));
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clNone), clNone);

  c.Brush().SetColor(clNone);  // clNone draws nothing
  c.FillRect(Rect(0, 0, 20, 20));
  EXPECT_EQ(At(*b, 5, 5), clRed);
}

TEST(Canvas, TextIsDrawnInTheFontColourAndClipped) {
  auto b = Surface(60, 30, clLime);
  TCanvas& c = b->Canvas();
  c.Font().SetColor(clBlack);
  c.Font().SetHeight(-20);
  c.Brush().SetStyle(bsClear);
  c.TextOut(2, 2, "WW");
  TSize size = c.TextExtent("WW");
  EXPECT_GT(size.cx, 10);
  TRect cell = Bounds(2, 2, size.cx, size.cy);
  EXPECT_GT(CountOf(*b, clBlack, cell), 10);
  EXPECT_GT(CountOf(*b, clLime, cell), 0) << "a clear brush leaves the background";

  c.Brush().SetStyle(bsSolid);
  c.Brush().SetColor(clYellow);
  c.TextOut(2, 2, "WW");
  EXPECT_EQ(CountOf(*b, clLime, cell), 0) << "a solid brush fills the text cell";

  auto clipped = Surface(60, 30);
  clipped->Canvas().Font().SetHeight(-20);
  clipped->Canvas().Font().SetColor(clBlack);
  clipped->Canvas().Brush().SetColor(clYellow);
  clipped->Canvas().TextRect(Rect(0, 0, 8, 30), 2, 2, "WWWW");
  EXPECT_EQ(At(*clipped, 0, 0), clYellow) << "a solid brush fills the text rectangle";
  EXPECT_EQ(CountOf(*clipped, clBlack, Rect(8, 0, 60, 30)), 0) << "nothing beyond the rectangle";
  EXPECT_GT(CountOf(*clipped, clBlack, Rect(0, 0, 8, 30)), 0);

  auto centred = Surface(60, 30);
  centred->Canvas().Font().SetColor(clRed);
  centred->Canvas().Font().SetHeight(-12);
  TRect r = Rect(0, 0, 60, 30);
  EXPECT_GT(centred->Canvas().DrawText("I", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 0);
  // Smoothed glyph edges are not pure red: count what is no longer white.
  EXPECT_EQ(CountOf(*centred, clWhite, Rect(0, 0, 20, 30)), 600);
  EXPECT_LT(CountOf(*centred, clWhite, Rect(20, 0, 40, 30)), 600);
}

TEST(Canvas, ClipRegionsAreSavedAndRestored) {
  auto b = Surface(10, 10);
  TCanvas& c = b->Canvas();
  TSavedClip none = c.SaveClip();
  c.IntersectClipRect(Rect(0, 0, 5, 5));
  TSavedClip quarter = c.SaveClip();
  c.ExcludeClipRect(Rect(0, 0, 2, 2));
  c.Brush().SetColor(clRed);
  c.FillRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(CountOf(*b, clRed, Rect(0, 0, 10, 10)), 25 - 4);

  c.RestoreClip(quarter);
  c.Brush().SetColor(clBlue);
  c.FillRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(CountOf(*b, clBlue, Rect(0, 0, 10, 10)), 25);
  EXPECT_EQ(c.ClipRect(), Rect(0, 0, 5, 5));

  c.RestoreClip(none);
  c.Brush().SetColor(clLime);
  c.FillRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(CountOf(*b, clLime, Rect(0, 0, 10, 10)), 100);
}

TEST(Canvas, AdoptsADeviceContextWithoutOwningIt) {
  HDC dc = CreateCompatibleDC(nullptr);
  TBitmap target;
  target.SetPixelFormat(pf32bit);
  target.SetSize(4, 4);
  HBITMAP bitmap = target.ReleaseHandle();
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HGDIOBJ originalFont = GetCurrentObject(dc, OBJ_FONT);
  HGDIOBJ originalBrush = GetCurrentObject(dc, OBJ_BRUSH);
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Font().SetHeight(-30);
    canvas.TextOut(0, 0, "x");
    canvas.Brush().SetColor(clRed);
    canvas.FillRect(Rect(0, 0, 4, 4));
    EXPECT_NE(GetCurrentObject(dc, OBJ_BRUSH), originalBrush);
    canvas.Brush().SetColor(clBlue);  // a changed brush is swapped in, not deleted while selected
    canvas.FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(GetPixel(dc, 0, 0), clBlue);
  }
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC)) << "the context outlives the canvas";
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), originalFont);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), originalBrush);
  EXPECT_EQ(GetPixel(dc, 2, 2), clRed);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(Canvas, DrawsGraphicsPlainStretchedTransparentAndBrushCopied) {
  TBitmap sprite;
  sprite.SetPixelFormat(pf32bit);
  sprite.SetSize(2, 2);
  sprite.Canvas().SetPixels(0, 0, clRed);
  sprite.Canvas().SetPixels(1, 0, clFuchsia);
  sprite.Canvas().SetPixels(0, 1, clFuchsia);
  sprite.Canvas().SetPixels(1, 1, clBlue);

  auto b = Surface(10, 10, clWhite);
  b->Canvas().Draw(0, 0, &sprite);
  EXPECT_EQ(At(*b, 1, 0), clFuchsia);
  b->Canvas().StretchDraw(Rect(4, 4, 8, 8), &sprite);
  EXPECT_EQ(At(*b, 4, 4), clRed);
  EXPECT_EQ(At(*b, 5, 5), clRed);
  EXPECT_EQ(At(*b, 7, 7), clBlue);

  sprite.SetTransparent(true);
  sprite.SetTransparentColor(clFuchsia);
  auto t = Surface(4, 4, clLime);
  t->Canvas().Draw(0, 0, &sprite);
  EXPECT_EQ(At(*t, 0, 0), clRed);
  EXPECT_EQ(At(*t, 1, 0), clLime) << "the transparent colour lets the background show";
  EXPECT_EQ(At(*t, 1, 1), clBlue);

  auto copied = Surface(4, 4, clWhite);
  copied->Canvas().Brush().SetColor(clYellow);
  copied->Canvas().BrushCopy(Rect(0, 0, 2, 2), &sprite, Rect(0, 0, 2, 2), clFuchsia);
  EXPECT_EQ(At(*copied, 0, 0), clRed);
  EXPECT_EQ(At(*copied, 1, 0), clYellow);
  EXPECT_EQ(At(*copied, 0, 1), clYellow);

  auto area = Surface(4, 4, clWhite);
  area->Canvas().CopyRect(Rect(2, 2, 4, 4), sprite.Canvas(), Rect(0, 0, 2, 2));
  EXPECT_EQ(At(*area, 2, 2), clRed);
  EXPECT_EQ(At(*area, 3, 3), clBlue);

  auto focus = Surface(6, 6, clWhite);
  focus->Canvas().DrawFocusRect(Rect(0, 0, 6, 6));
  EXPECT_GT(CountOf(*focus, clBlack, Rect(0, 0, 6, 6)), 0);
  focus->Canvas().DrawFocusRect(Rect(0, 0, 6, 6));  // XOR: twice leaves nothing
  EXPECT_EQ(CountOf(*focus, clWhite, Rect(0, 0, 6, 6)), 36);
}

TEST(Fonts, PixelHeightsLogFontsAndChanges) {
  TFont font;
  font.SetName("Tahoma");
  int changes = 0;
  font.OnChange = [&](TObject*) { ++changes; };
  font.SetHeight(-20);
  font.SetHeight(-20);
  EXPECT_EQ(changes, 1) << "an unchanged value is no change";

  // The handle is the platform's font of that pixel height: negative for
  // the character height, positive for the cell height.
  auto metrics = [](HFONT f) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, f);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    return tm;
  };
  auto reference = [&](int height) {
    HFONT f = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
    TEXTMETRICA tm = metrics(f);
    DeleteObject(f);
    return tm;
  };
  EXPECT_EQ(metrics(font.Handle()).tmHeight, reference(-20).tmHeight);
  EXPECT_GT(metrics(font.Handle()).tmHeight, 20) << "the cell is taller than the characters";
  font.SetHeight(32);
  EXPECT_EQ(metrics(font.Handle()).tmHeight, reference(32).tmHeight);
  EXPECT_LE(metrics(font.Handle()).tmHeight, 32);

  font.SetStyle({fsBold, fsUnderline});
  LOGFONTA lf = font.ToLogFont();
  EXPECT_EQ(lf.lfHeight, 32);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  lf.lfHeight = -9;
  lf.lfItalic = TRUE;
  lf.lfWeight = FW_NORMAL;
  TFont copy;
  copy.AssignLogFont(lf);
  EXPECT_EQ(copy.Height(), -9);
  EXPECT_EQ(copy.Style(), (TFontStyles{fsItalic, fsUnderline}));

  TFont adopted;
  adopted.SetHandle(CreateFontIndirectA(&lf));
  EXPECT_EQ(adopted.Height(), -9);
  EXPECT_EQ(adopted.Name(), "Tahoma");
}

TEST(Bitmaps, SizeAndFormatChangesKeepThePicture) {
  auto b = Surface(4, 4, clWhite);
  b->Canvas().SetPixels(0, 0, clRed);
  b->Canvas().SetPixels(3, 3, clBlue);
  int changes = 0;
  b->OnChange = [&](TObject*) { ++changes; };
  b->SetSize(6, 2);
  EXPECT_GT(changes, 0);
  EXPECT_EQ(At(*b, 0, 0), clRed) << "the top-left pixels stay";
  EXPECT_EQ(At(*b, 5, 1), clBlack) << "new pixels are 0";
  EXPECT_EQ(b->TransparentColor(), clWhite) << "automatic: the bottom-left pixel";

  b->SetPixelFormat(pf24bit);
  EXPECT_EQ(b->Canvas().Pixels(0, 0), clRed);
  b->SetMonochrome(true);
  EXPECT_EQ(b->PixelFormat(), pf1bit);
  EXPECT_EQ(b->Canvas().Pixels(0, 1), clWhite);
  EXPECT_EQ(b->Canvas().Pixels(5, 1), clBlack);

  TBitmap device;  // device-dependent by default
  device.SetSize(3, 3);
  EXPECT_EQ(device.PixelFormat(), pfDevice);
  device.Canvas().SetPixels(1, 1, clRed);
  EXPECT_EQ(device.Canvas().Pixels(1, 1), clRed);
  EXPECT_THROW(device.ScanLine(0), EInvalidGraphicOperation);
  EXPECT_THROW(b->ScanLine(2), EInvalidGraphicOperation);

  // An adopted 16-bit DIB is walked with its own row length.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, 2, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  TBitmap adopted;
  adopted.SetHandle(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  EXPECT_EQ(adopted.PixelFormat(), pf15bit);
  EXPECT_EQ(static_cast<std::uint8_t*>(adopted.ScanLine(0)) - static_cast<std::uint8_t*>(adopted.ScanLine(1)), 8);
  adopted.SetPixelFormat(pf16bit);
  adopted.Canvas().SetPixels(2, 1, clRed);
  EXPECT_EQ(adopted.Canvas().Pixels(2, 1), clRed);

  TBitmap copy;
  copy.Assign(&device);
  device.Canvas().SetPixels(1, 1, clBlue);
  EXPECT_EQ(copy.Canvas().Pixels(1, 1), clRed) << "a copy is a picture of its own";
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
}

TEST(PaintBuffers, CoverOnlyThePartToBePaintedAndDrawInTheTargetsCoordinates) {
  auto target = Surface(40, 30, clWhite);
  HDC dc = target->Canvas().Handle();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, 5, 6, 25, 16);  // what a paint asks for: a strip
  {
    TPaintBuffer buffer(target->Canvas(), Rect(0, 0, 40, 30));
    EXPECT_EQ(Rect(5, 6, 25, 16), buffer.Part());
    EXPECT_EQ(clBlack, buffer.Canvas().Pixels(5, 6)) << "it starts black";
    buffer.Canvas().Brush().SetColor(clRed);
    buffer.Canvas().FillRect(Rect(0, 0, 40, 30));
    buffer.Canvas().Brush().SetColor(clBlue);
    buffer.Canvas().FillRect(Rect(20, 10, 22, 12));
    buffer.Commit();

    TPaintBuffer within(target->Canvas(), Rect(20, 0, 40, 30));
    EXPECT_EQ(Rect(20, 6, 25, 16), within.Part()) << "only the area's share of the strip";
    TPaintBuffer outside(target->Canvas(), Rect(30, 0, 40, 30));
    EXPECT_TRUE(outside.Empty());
    outside.Commit();  // nothing to copy
  }
  RestoreDC(dc, saved);
  EXPECT_EQ(At(*target, 20, 10), clBlue);
  EXPECT_EQ(At(*target, 21, 11), clBlue);
  EXPECT_EQ(CountOf(*target, clBlue, Rect(0, 0, 40, 30)), 4);
  EXPECT_EQ(CountOf(*target, clRed, Rect(5, 6, 25, 16)), 20 * 10 - 4);
  EXPECT_EQ(CountOf(*target, clWhite, Rect(0, 0, 40, 30)), 40 * 30 - 20 * 10) << "nothing outside the strip";
}

TEST(PaintBuffers, ASurfaceComesBackBlackAndInItsFirstStateForTheNextPaintOfItsSize) {
  auto target = Surface(20, 20, clWhite);
  HDC first = nullptr;
  {
    TPaintBuffer buffer(target->Canvas(), Rect(0, 0, 20, 20));
    first = buffer.Canvas().Handle();
    buffer.Canvas().Brush().SetColor(clRed);
    buffer.Canvas().FillRect(Rect(0, 0, 20, 20));
    // What a paint may leave behind in the context.
    SetBkMode(first, TRANSPARENT);
    SetTextColor(first, RGB(1, 2, 3));
    SetMapMode(first, MM_LOMETRIC);
    IntersectClipRect(first, 0, 0, 1, 1);
  }
  TPaintBuffer next(target->Canvas(), Rect(0, 0, 20, 20));
  HDC dc = next.Canvas().Handle();
  EXPECT_EQ(first, dc) << "the surface of that size is kept, not made again";
  EXPECT_EQ(clBlack, next.Canvas().Pixels(19, 19)) << "black again, and drawn on everywhere";
  EXPECT_EQ(OPAQUE, GetBkMode(dc));
  EXPECT_EQ(RGB(0, 0, 0), GetTextColor(dc));
  EXPECT_EQ(MM_TEXT, GetMapMode(dc));
}

TEST(Bitmaps, StreamsResourcesAndTheClipboardFormat) {
  TBitmap glyph;
  glyph.LoadFromResourceName(GetModuleHandleA(nullptr), "GLYPH");
  ASSERT_EQ(glyph.Width(), 4);
  ASSERT_EQ(glyph.Height(), 3);
  EXPECT_EQ(glyph.PixelFormat(), pf24bit);
  EXPECT_EQ(glyph.Canvas().Pixels(0, 0), clRed);
  EXPECT_EQ(glyph.Canvas().Pixels(2, 0), clBlue);
  EXPECT_EQ(glyph.Canvas().Pixels(3, 2), clFuchsia);
  EXPECT_THROW(glyph.LoadFromResourceName(GetModuleHandleA(nullptr), "NOSUCH"), EInvalidGraphic);

  TMemoryStream saved;
  glyph.SaveToStream(saved);
  saved.SetPosition(0);
  TBitmap again;
  again.LoadFromStream(saved);
  EXPECT_EQ(again.Width(), 4);
  EXPECT_EQ(again.Canvas().Pixels(1, 0), clLime);

  auto palette = Surface(5, 5, clWhite);
  palette->Canvas().SetPixels(2, 2, clRed);
  palette->SetPixelFormat(pf8bit);
  TMemoryStream eight;
  palette->SaveToStream(eight);
  eight.SetPosition(0);
  TBitmap fromEight;
  fromEight.LoadFromStream(eight);
  EXPECT_EQ(fromEight.PixelFormat(), pf8bit);
  EXPECT_EQ(fromEight.Canvas().Pixels(2, 2), clRed);

  UINT format;
  HANDLE data;
  HPALETTE pal;
  glyph.SaveToClipboardFormat(format, data, pal);
  EXPECT_EQ(format, static_cast<UINT>(CF_BITMAP));
  TBitmap pasted;
  pasted.LoadFromClipboardFormat(format, data, pal);
  DeleteObject(data);
  EXPECT_EQ(pasted.Width(), 4);
  EXPECT_EQ(pasted.Canvas().Pixels(2, 0), clBlue);
}

TEST(Bitmaps, BrokenDataIsRefusedAndTheOldImageKept) {
  TMemoryStream good;
  auto b = Surface(3, 3, clRed);
  b->SaveToStream(good);
  const std::vector<std::uint8_t> bytes = good.Bytes();

  auto broken = [&](auto change) {
    std::vector<std::uint8_t> copy = bytes;
    change(copy);
    TMemoryStream s(copy);
    b->LoadFromStream(s);
  };
  auto setInt = [](std::vector<std::uint8_t>& v, std::size_t at, std::int32_t value) {
    std::memcpy(v.data() + at, &value, 4);
  };
  EXPECT_THROW(broken([](auto& v) { v[0] = 'X'; }), EInvalidGraphic);
  EXPECT_THROW(broken([](auto& v) { v.resize(v.size() - 5); }), EInvalidGraphic) << "rows cut short";
  EXPECT_THROW(broken([&](auto& v) { setInt(v, 18, 100000); }), EInvalidGraphic) << "width";
  EXPECT_THROW(broken([&](auto& v) { setInt(v, 18, 30000); setInt(v, 22, 30000); }), EInvalidGraphic);
  EXPECT_THROW(broken([&](auto& v) { setInt(v, 10, 1 << 30); }), EInvalidGraphic) << "bits offset";
  EXPECT_THROW(broken([&](auto& v) { v[28] = 7; }), EInvalidGraphic) << "bits per pixel";
  EXPECT_THROW(broken([&](auto& v) { v.resize(20); }), EInvalidGraphic);
  EXPECT_EQ(b->Width(), 3);
  EXPECT_EQ(At(*b, 1, 1), clRed);
}

TEST(Icons, LoadDrawSaveAndRefuse) {
  std::vector<std::uint8_t> file = IconFileBytes();
  TMemoryStream in(file);
  TIcon icon;
  icon.LoadFromStream(in);
  ASSERT_EQ(icon.Width(), 16);
  EXPECT_TRUE(icon.Transparent());
  EXPECT_THROW(icon.SetWidth(32), EInvalidGraphicOperation);

  auto b = Surface(16, 16, clWhite);
  b->Canvas().Draw(0, 0, &icon);
  EXPECT_EQ(At(*b, 2, 2), clRed);
  EXPECT_EQ(At(*b, 12, 12), clWhite);

  TMemoryStream out;
  icon.SaveToStream(out);
  EXPECT_EQ(out.Bytes(), file);

  TIcon fromHandle;  // an icon known only by its handle saves a file of its own
  fromHandle.SetHandle(CopyIcon(icon.Handle()));
  TMemoryStream made;
  fromHandle.SaveToStream(made);
  made.SetPosition(0);
  TIcon reloaded;
  reloaded.LoadFromStream(made);
  EXPECT_EQ(reloaded.Width(), 16);
  auto b2 = Surface(16, 16, clWhite);
  b2->Canvas().Draw(0, 0, &reloaded);
  EXPECT_EQ(At(*b2, 2, 2), clRed);
  EXPECT_EQ(At(*b2, 12, 12), clWhite);

  std::vector<std::uint8_t> bad = file;
  bad[18] = 0xFF;  // image offset past the end
  bad[19] = 0xFF;
  TMemoryStream badStream(bad);
  EXPECT_THROW(icon.LoadFromStream(badStream), EInvalidGraphic);
  std::vector<std::uint8_t> cut(file.begin(), file.begin() + 100);
  TMemoryStream cutStream(cut);
  EXPECT_THROW(icon.LoadFromStream(cutStream), EInvalidGraphic);
  EXPECT_EQ(icon.Width(), 16) << "the old icon stays";
}

TEST(ImageLists, IconsInAndOut) {
  TImageList list(nullptr);
  TMemoryStream in(IconFileBytes());
  TIcon icon;
  icon.LoadFromStream(in);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.AddIcon(&icon), 0);
  auto square = Surface(16, 16, clFuchsia);
  square->Canvas().Brush().SetColor(clBlue);
  square->Canvas().FillRect(Rect(4, 4, 12, 12));
  EXPECT_EQ(list.AddMasked(square.get(), clFuchsia), 1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(At(*square, 0, 0), clFuchsia) << "the caller's bitmap is left alone";

  TIcon out;
  list.GetIcon(0, &out);
  EXPECT_EQ(out.Width(), 16);
  auto b = Surface(32, 16, clWhite);
  b->Canvas().Draw(0, 0, &out);
  EXPECT_EQ(At(*b, 2, 2), clRed);
  EXPECT_EQ(At(*b, 12, 12), clWhite);
  list.Draw(b->Canvas(), 16, 0, 1);
  EXPECT_EQ(At(*b, 16 + 6, 6), clBlue);
  EXPECT_EQ(At(*b, 16 + 1, 1), clWhite) << "masked pixels are not drawn";
  EXPECT_THROW(list.GetIcon(2, &out), EInvalidGraphicOperation);

  list.SetWidth(32);
  EXPECT_EQ(list.Count(), 0) << "a new size empties the list";
}

namespace {

// A 16 x 16 icon of 32 bits whose alpha runs from clear to opaque.
std::vector<std::uint8_t> AlphaIconBytes() {
  const std::uint16_t dir[3] = {0, 1, 1};
  const std::uint32_t pixelBytes = 16 * 16 * 4, maskBytes = 16 * 4;
  std::vector<std::uint8_t> out(sizeof dir);
  std::memcpy(out.data(), dir, sizeof dir);
  const std::uint8_t entryHead[8] = {16, 16, 0, 0, 1, 0, 32, 0};
  out.insert(out.end(), entryHead, entryHead + 8);
  const std::uint32_t entryTail[2] = {sizeof(BITMAPINFOHEADER) + pixelBytes + maskBytes, 6 + 16};
  out.insert(out.end(), reinterpret_cast<const std::uint8_t*>(entryTail),
             reinterpret_cast<const std::uint8_t*>(entryTail) + 8);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = 16;
  header.biHeight = 32;
  header.biPlanes = 1;
  header.biBitCount = 32;
  out.insert(out.end(), reinterpret_cast<const std::uint8_t*>(&header),
             reinterpret_cast<const std::uint8_t*>(&header) + sizeof header);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const std::uint8_t pixel[4] = {std::uint8_t(x * 16), std::uint8_t(y * 16), 128, std::uint8_t((x + y) * 8)};
      out.insert(out.end(), pixel, pixel + 4);
    }
  out.insert(out.end(), maskBytes, 0);
  return out;
}

// An icon's colour and mask pixels, top row first.
std::vector<std::uint32_t> IconPixels(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return {};
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = 16;
  bmi.bmiHeader.biHeight = -16;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> pixels(16 * 16 * 2);
  HDC screen = GetDC(nullptr);
  if (info.hbmColor) GetDIBits(screen, info.hbmColor, 0, 16, pixels.data(), &bmi, DIB_RGB_COLORS);
  GetDIBits(screen, info.hbmMask, 0, 16, pixels.data() + 256, &bmi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return pixels;
}

// The list as forms fill it.
class TFormImageList : public TImageList {
 public:
  TFormImageList() : TImageList(nullptr) {}
  using TCustomImageList::SetImages;
};

}  // namespace

TEST(ImageLists, IconsFromAFormAreDrawnInWhenFirstUsedExactlyAsWhenAdded) {
  TIcon plain, alpha;
  TMemoryStream plainData(IconFileBytes()), alphaData(AlphaIconBytes());
  plain.LoadFromStream(plainData);
  alpha.LoadFromStream(alphaData);
  EXPECT_FALSE(plain.HandleAllocated()) << "a loaded icon is made when first asked for";
  EXPECT_EQ(alpha.Width(), 16);
  EXPECT_EQ(alpha.Height(), 16);

  TFormImageList onDemand;
  onDemand.SetImages({&plain, &alpha, &plain});
  EXPECT_EQ(onDemand.Count(), 3);
  EXPECT_FALSE(plain.HandleAllocated()) << "the list keeps copies of its own";
  TImageList added(nullptr);
  TIcon plainMade, alphaMade;
  plainMade.Assign(&plain);
  alphaMade.Assign(&alpha);
  for (TIcon* icon : {&plainMade, &alphaMade, &plainMade}) added.AddIcon(icon);

  for (int index : {2, 0, 1}) {  // out of order, as the tray cycles
    SCOPED_TRACE(index);
    TIcon mine, theirs;
    onDemand.GetIcon(index, &mine);
    added.GetIcon(index, &theirs);
    EXPECT_EQ(IconPixels(mine.Handle()), IconPixels(theirs.Handle()));
    auto a = Surface(16, 16, clWhite), b = Surface(16, 16, clWhite);
    onDemand.Draw(a->Canvas(), 0, 0, index);
    added.Draw(b->Canvas(), 0, 0, index);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) ASSERT_EQ(At(*a, x, y), At(*b, x, y)) << x << "," << y;
  }
  auto shown = Surface(16, 16, clWhite);
  onDemand.Draw(shown->Canvas(), 0, 0, 0);
  EXPECT_EQ(At(*shown, 2, 2), clRed);

  TFormImageList raw;  // the handle handed out holds every image
  raw.SetImages({&alpha, &plain});
  HICON fromHandle = ImageList_GetIcon(raw.Handle(), 1, ILD_NORMAL);
  TIcon theirs;
  added.GetIcon(0, &theirs);
  EXPECT_EQ(IconPixels(fromHandle), IconPixels(theirs.Handle()));
  DestroyIcon(fromHandle);
  raw.Delete(0);
  EXPECT_EQ(raw.Count(), 1);
}

TEST(Pictures, FormatsAndChanges) {
  RegisterTestClasses();
  EXPECT_EQ(TPicture::FindFormatClass("ttestgraphic"), &TTestGraphic::StaticClass());
  EXPECT_EQ(TPicture::FindFormatClass("TBitmap"), &TBitmap::StaticClass());
  EXPECT_THROW(TPicture::RegisterFileFormat("x", "not a graphic", TFont::StaticClass()), EInvalidGraphic);

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  TTestGraphic g;
  g.width = 2;
  g.color = clRed;
  picture.SetGraphic(&g);
  EXPECT_EQ(changes, 1);
  ASSERT_NE(picture.Graphic(), &g) << "the picture holds a copy";
  EXPECT_EQ(picture.Width(), 2);
  picture.Graphic()->Assign(&g);  // a change inside the held graphic
  EXPECT_EQ(changes, 2);

  TMemoryStream junk(std::vector<std::uint8_t>{1, 2, 3, 4});
  EXPECT_THROW(picture.LoadGraphicData("TTestGraphic", junk), EInvalidGraphic);
  EXPECT_THROW(picture.LoadGraphicData("TNoFormat", junk), EInvalidGraphic);
  EXPECT_EQ(picture.Width(), 2) << "a failed load keeps the picture";

  TBitmap target;
  TFont font;
  EXPECT_THROW(picture.Assign(&font), EConvertError);
  picture.Assign(nullptr);
  EXPECT_EQ(picture.Graphic(), nullptr);

  TPicture::RegisterFileFormat("tmp", "Temporary", TTestGraphic::StaticClass());
  TPicture::UnregisterGraphicClass(TTestGraphic::StaticClass());
  EXPECT_EQ(TPicture::FindFormatClass("TTestGraphic"), nullptr);
  TPicture::RegisterFileFormat("tpic", "Test pictures", TTestGraphic::StaticClass());
}

TEST(Streams, ReadReturnsTheByteCount) {
  TMemoryStream m;
  m.WriteBuffer("abcdef", 6);
  EXPECT_EQ(m.Size(), 6);
  m.SetPosition(4);
  char buffer[8] = {};
  EXPECT_EQ(m.Read(buffer, 8), 2);
  EXPECT_STREQ(buffer, "ef");
  EXPECT_EQ(m.Read(buffer, 8), 0);
  EXPECT_THROW(m.ReadBuffer(buffer, 1), EStreamError);
  EXPECT_THROW(m.Seek(-1, TSeekOrigin::Beginning), EStreamError);

  char path[MAX_PATH], dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "gui", 0, path);
  m.SaveToFile(path);
  {
    TFileStream file(path, TFileMode::OpenRead);
    EXPECT_EQ(file.Size(), 6);
    EXPECT_EQ(file.Read(buffer, 8), 6);
  }
  DeleteFileA(path);
  EXPECT_THROW(TFileStream(path, TFileMode::OpenRead), EStreamError);

  TResourceStream res(GetModuleHandleA(nullptr), "TTESTFORM", MAKEINTRESOURCEA(10));
  std::string text(reinterpret_cast<const char*>(res.Memory()), static_cast<std::size_t>(res.Size()));
  EXPECT_NE(text.find("object ResBase: TTestForm"), std::string::npos);
  EXPECT_EQ(res.Write("x", 1), 0) << "resources are read-only";
  EXPECT_THROW(TResourceStream(GetModuleHandleA(nullptr), "NOSUCH", MAKEINTRESOURCEA(10)), EStreamError);
}
