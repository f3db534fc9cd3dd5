// The skin form, image panel and themed progress bar: rendered into 32-bit
// bitmaps and checked pixel by pixel, and read from a form resource with the
// program's own skin.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>
#include <string>

#include "PngPicture.h"
#include "SkinForm.h"
#include "SkinImagePanel.h"
#include "SkinProgressBar.h"
#include "SkinRegistration.h"
#include "gui/Automation.h"
#include "testsupport/Pixels.h"

using namespace skins;

using namespace gui;
using testsupport::At;
using testsupport::CountOf;
using testsupport::Surface;
namespace at = gui::automation;

// The form read from the test's form resource.
class TSkinTestForm : public TForm {
  GUI_CLASS(TSkinTestForm, TForm)

 public:
  explicit TSkinTestForm(TComponent* owner) : TForm(owner) {}
};
GUI_DEFINE_CLASS(TSkinTestForm) {}

namespace {

std::unique_ptr<TBitmap> Render(TWinControl& control) { return testsupport::Render(control, clGray); }

// A picture of one colour with a mark at (0, 0).
std::unique_ptr<TPicture> Solid(int w, int h, TColor color, TColor mark) {
  auto b = Surface(w, h, color);
  b->Canvas().SetPixels(0, 0, mark);
  auto p = std::make_unique<TPicture>();
  p->SetGraphic(b.get());
  return p;
}

TRect RegionBox(HWND window) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  RECT box{};
  if (GetWindowRgn(window, region) != ERROR) GetRgnBox(region, &box);
  DeleteObject(region);
  return Rect(box.left, box.top, box.right, box.bottom);
}

}  // namespace

class SkinControls : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterPngPicture();
    RegisterSkinClasses();
    RegisterClasses({&TSkinTestForm::StaticClass()});
    Application->Initialize();
    at::Enable();
  }
  void SetUp() override {
    form = new TForm(Application);
    form->SetBounds(30, 30, 300, 200);
    form->SetColor(RGB(10, 20, 30));
  }
  void TearDown() override {
    delete form;
    at::Pump();
  }
  template <class T>
  T* Make(int left, int top, int width, int height) {
    T* control = new T(form);
    control->SetParent(form);
    control->SetBounds(left, top, width, height);
    return control;
  }

  TForm* form = nullptr;
};

TEST_F(SkinControls, MainWindowFromItsResource) {
  auto* main = CreateForm<TSkinTestForm>(Application);
  auto* skin = dynamic_cast<TSkinForm*>(main->FindComponent("skfrmMain"));
  auto* bar = dynamic_cast<TSkinProgressBar*>(main->FindComponent("skpbMemoryUsage"));
  ASSERT_TRUE(skin && bar);
  main->Show();
  at::Pump();
  EXPECT_EQ(main->BorderStyle(), bsNone);
  EXPECT_EQ(main->ClientWidth(), 661);
  EXPECT_EQ(main->ClientHeight(), 540);
  EXPECT_EQ(skin->BoundsRect(), Rect(0, 0, 661, 540));

  // The window is exactly the skin's pixels that are not fuchsia.
  TBitmap glyph;
  glyph.Assign(skin->Glyph());
  glyph.SetPixelFormat(pf32bit);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetWindowRgn(main->Handle(), region), COMPLEXREGION);
  int mismatches = 0, opaque = 0;
  for (int y = 0; y < 540; ++y)
    for (int x = 0; x < 661; ++x) {
      bool solid = At(glyph, x, y) != clFuchsia;
      opaque += solid;
      mismatches += solid != (PtInRegion(region, x, y) != 0);
    }
  DeleteObject(region);
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(opaque, 661 * 540 * 9 / 10);
  auto shown = Render(*main);
  EXPECT_EQ(At(*shown, 330, 10), At(glyph, 330, 10));
  EXPECT_EQ(At(*shown, 100, 520), At(glyph, 100, 520)) << "through the transparent client zone";

  // The bar's stored colour and picture win over its theme's.
  EXPECT_EQ(bar->Color(), 0xF4EEE9u);
  EXPECT_EQ(bar->Caption(), "37%");
  EXPECT_EQ(bar->Picture()->Graphic()->ClassName(), "TPngPicture");
  auto strip = Render(*bar);
  EXPECT_EQ(At(*strip, 120, 6), 0xF4EEE9u);
  EXPECT_NE(At(*strip, 10, 6), 0xF4EEE9u);

  // An empty glyph changes nothing.
  TBitmap empty;
  skin->SetGlyph(&empty);
  EXPECT_EQ(main->ClientWidth(), 661);
  EXPECT_EQ(RegionBox(main->Handle()), Rect(0, 0, 661, 540));
  delete main;
}

TEST_F(SkinControls, SkinFormFollowsGlyphAndColour) {
  auto* skin = Make<TSkinForm>(7, 0, 200, 100);
  EXPECT_EQ(form->BorderStyle(), bsNone);
  EXPECT_EQ(skin->TransparentColor(), clFuchsia);
  int shaped = 0;
  skin->OnRegionChanged = [&](TObject*) { ++shaped; };
  auto glyph = Surface(40, 20, clFuchsia);
  glyph->Canvas().Brush().SetColor(clGreen);
  glyph->Canvas().FillRect(Rect(0, 0, 30, 20));
  skin->SetGlyph(glyph.get());
  EXPECT_EQ(shaped, 1);
  EXPECT_EQ(skin->BoundsRect(), Rect(0, 0, 40, 20));
  EXPECT_EQ(form->ClientWidth(), 40);
  EXPECT_EQ(RegionBox(form->Handle()), Rect(0, 0, 30, 20));
  skin->SetTransparentColor(clGreen);
  EXPECT_EQ(shaped, 2);
  EXPECT_EQ(RegionBox(form->Handle()), Rect(30, 0, 40, 20));

  // A window made anew keeps the shape.
  HWND before = form->Handle();
  form->SetBorderIcons({});
  ASSERT_NE(form->Handle(), before);
  EXPECT_EQ(RegionBox(form->Handle()), Rect(30, 0, 40, 20));

  glyph->SetSize(5, 5);
  EXPECT_EQ(skin->Glyph()->Width(), 40) << "the glyph is a copy";
  EXPECT_EQ(At(*Render(*form), 3, 3), clGreen);
}

TEST_F(SkinControls, AnyButtonOnTheSkinDragsTheForm) {
  auto* skin = Make<TSkinForm>(0, 0, 10, 10);
  auto glyph = Surface(60, 40, clTeal);
  skin->SetGlyph(glyph.get());
  form->Show();
  at::Pump();
  // The test takes the caption press in place of the system's move loop.
  std::vector<std::pair<WPARAM, TPoint>> presses;
  form->SetMessageHandler(WM_NCLBUTTONDOWN, [&](TMessage& m) {
    presses.push_back({m.WParam, Point(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)))});
  });
  std::vector<TMouseButton> downs;
  skin->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState, int, int) { downs.push_back(button); };
  for (TMouseButton button : {mbRight, mbLeft}) {
    at::MouseDown(skin, button, Point(20, 20));
    at::Pump();
    at::MouseUp(skin, button, Point(20, 20));
    at::Pump();
  }
  EXPECT_EQ(downs, (std::vector<TMouseButton>{mbRight, mbLeft}));
  // The caption is pressed where the skin was, in screen coordinates.
  const TPoint where = skin->ClientToScreen(Point(20, 20));
  EXPECT_EQ(presses, (std::vector<std::pair<WPARAM, TPoint>>{{HTCAPTION, where}, {HTCAPTION, where}}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SkinControls, PanelDrawsItsPictureAsItIsTiledOrStretched) {
  auto* panel = Make<TSkinImagePanel>(10, 10, 25, 25);
  panel->SetColor(clWhite);
  auto tile = Solid(10, 10, clBlue, clRed);
  panel->SetPicture(tile.get());
  for (TSkinDrawStyle style : {skNormal, skTile}) {
    panel->SetDrawStyle(style);
    auto shown = Render(*panel);
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 25; ++x) {
        bool mark = x % 10 == 0 && y % 10 == 0;
        TColor want = style == skNormal && (x >= 10 || y >= 10) ? clWhite : mark ? clRed : clBlue;
        ASSERT_EQ(At(*shown, x, y), want) << style << ": " << x << "," << y;
      }
  }
  auto quarters = Surface(2, 2, clRed);
  quarters->Canvas().SetPixels(1, 1, clYellow);
  TPicture four;
  four.SetGraphic(quarters.get());
  panel->SetPicture(&four);
  panel->SetDrawStyle(skStretch);
  panel->SetBounds(10, 10, 20, 20);
  auto shown = Render(*panel);
  EXPECT_EQ(CountOf(*shown, clYellow, Rect(10, 10, 20, 20)), 100);
  EXPECT_EQ(CountOf(*shown, clRed, Rect(0, 0, 20, 20)), 300);
}

TEST_F(SkinControls, TransparentPanelShowsItsParentUnderneath) {
  auto* shape = Make<TShape>(5, 5, 10, 10);
  shape->Brush()->SetColor(clYellow);
  shape->Pen()->SetColor(clYellow);
  auto* panel = Make<TSkinImagePanel>(10, 10, 20, 20);
  panel->SetTransparent(true);
  auto shown = Render(*panel);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(At(*shown, x, y), x < 5 && y < 5 ? clYellow : RGB(10, 20, 30));

  auto tile = Solid(4, 4, clBlue, clRed);
  panel->SetPicture(tile.get());
  EXPECT_TRUE(panel->Picture()->Graphic()->Transparent()) << "the picture follows the panel";
  panel->SetTransparent(false);
  EXPECT_FALSE(panel->Picture()->Graphic()->Transparent());
}

TEST_F(SkinControls, APanelAskedForAStripPaintsThatStripOnlyAndItsParentToo) {
  auto* shape = Make<TShape>(5, 5, 20, 20);
  shape->Brush()->SetColor(clYellow);
  shape->Pen()->SetColor(clYellow);
  auto* panel = Make<TSkinImagePanel>(10, 10, 40, 30);
  panel->SetTransparent(true);
  auto tile = Solid(4, 4, clBlue, clRed);
  panel->SetPicture(tile.get());
  panel->SetDrawStyle(skTile);
  std::vector<TRect> parentPainted;  // what the form was asked to paint under the panel
  form->OnPaint = [&](TObject*) { parentPainted.push_back(form->Canvas()->ClipRect()); };

  auto whole = Render(*panel);
  ASSERT_EQ(1u, parentPainted.size());
  EXPECT_EQ(Rect(10, 10, 50, 40), parentPainted.back());

  // A label's new text over the panel asks for its strip.
  auto strip = Surface(40, 30, clGray);
  HDC dc = strip->Canvas().Handle();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, 2, 20, 30, 26);
  panel->PaintTo(dc, 0, 0);
  RestoreDC(dc, saved);
  ASSERT_EQ(2u, parentPainted.size());
  EXPECT_EQ(Rect(12, 30, 40, 36), parentPainted.back()) << "the parent paints the strip, not the whole panel";
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inStrip = x >= 2 && x < 30 && y >= 20 && y < 26;
      ASSERT_EQ(At(*strip, x, y), inStrip ? At(*whole, x, y) : clGray) << x << "," << y;
    }
  form->OnPaint = nullptr;
}

TEST_F(SkinControls, AutoSizeTakesThePictureWhereAlignAllows) {
  auto* panel = Make<TSkinImagePanel>(0, 0, 50, 50);
  auto picture = Solid(30, 7, clBlue, clBlue);
  panel->SetPicture(picture.get());
  panel->SetAutoSize(true);
  EXPECT_EQ(panel->BoundsRect(), Rect(0, 0, 30, 7));
  panel->SetAutoSize(false);
  panel->SetAlign(alTop);
  panel->SetHeight(40);
  int width = panel->Width();
  panel->SetAutoSize(true);
  EXPECT_EQ(panel->Height(), 7);
  EXPECT_EQ(panel->Width(), width);
  panel->SetAlign(alClient);
  TRect client = panel->BoundsRect();
  auto other = Solid(12, 13, clRed, clRed);
  panel->SetPicture(other.get());
  EXPECT_EQ(panel->BoundsRect(), client);
}

TEST_F(SkinControls, PanelCaptionUnlessBlank) {
  auto* panel = Make<TSkinImagePanel>(0, 0, 60, 20);
  panel->SetColor(clWhite);
  panel->Font()->SetColor(clBlack);
  panel->SetCaption("   ");
  EXPECT_EQ(CountOf(*Render(*panel), clWhite, Rect(0, 0, 60, 20)), 60 * 20);
  // Text is smoothed: it shows as pixels other than the panel's colour.
  panel->SetCaption("II");
  panel->SetAlignment(taLeftJustify);
  auto left = Render(*panel);
  EXPECT_LT(CountOf(*left, clWhite, Rect(0, 0, 20, 20)), 20 * 20);
  EXPECT_EQ(CountOf(*left, clWhite, Rect(20, 0, 60, 20)) + CountOf(*left, clWhite, Rect(0, 0, 20, 5)), 40 * 20 + 20 * 5);
  panel->SetAlignment(taRightJustify);
  auto right = Render(*panel);
  EXPECT_EQ(CountOf(*right, clWhite, Rect(0, 0, 40, 20)), 40 * 20);
}

TEST_F(SkinControls, BarThemesAndPercentages) {
  auto* bar = new TSkinProgressBar(form);
  EXPECT_EQ(bar->BoundsRect(), Rect(0, 0, 150, 12));
  EXPECT_EQ(bar->Caption(), "50%");
  EXPECT_EQ(bar->UIStyle(), DeepBlue);
  EXPECT_EQ(bar->Color(), 0xE8E8E8u);
  EXPECT_EQ(bar->Picture()->Width(), 1);
  bar->SetUIStyle(MacOS);
  EXPECT_EQ(bar->BorderColor(), 0x7F7F7Fu);
  EXPECT_EQ(bar->Picture()->Width(), 13);
  bar->SetUIStyle(FromThemeFile);
  EXPECT_EQ(bar->Color(), 0xE8E8E8u);
  EXPECT_EQ(bar->Picture()->Width(), 1) << "DeepBlue";
  auto* theme = new TComponent(nullptr);
  bar->SetFileTheme(theme);
  bar->SetUIStyle(WinXP);
  delete theme;
  EXPECT_EQ(bar->FileTheme(), nullptr);
  EXPECT_EQ(bar->UIStyle(), DeepBlue);

  bar->SetMax(200);
  for (auto [position, caption] : {std::pair{1, "0%"}, {3, "2%"}, {5, "2%"}, {7, "4%"}, {-3, "-2%"}, {400, "200%"}}) {
    bar->SetPosition(position);
    EXPECT_EQ(bar->Caption(), caption) << position;
  }
  bar->SetMin(400);
  EXPECT_EQ(bar->Caption(), "0%") << "Min = Max";
  bar->SetMin(-2147483647 - 1);
  bar->SetMax(2147483647);
  bar->SetPosition(2147483647);
  EXPECT_EQ(bar->Caption(), "100%");
}

class BarFill : public SkinControls {
 protected:
  void SetUp() override {
    SkinControls::SetUp();
    bar = Make<TSkinProgressBar>(0, 0, 151, 12);
    Paint(clRed, clWhite);
    bar->SetShowCaption(false);
  }
  void Paint(TColor fill, TColor rest) {
    auto solid = Solid(1, 1, fill, fill);
    bar->SetPicture(solid.get());
    bar->SetColor(rest);
    bar->SetBorderColor(clBlue);
  }
  // A line of the bar: B frame, R picture, W colour, ? anything else.
  std::string Line(bool across = true) {
    auto shown = Render(*bar);
    std::string line;
    for (int i = 0; i < (across ? shown->Width() : shown->Height()); ++i) {
      TColor c = across ? At(*shown, i, 6) : At(*shown, 6, i);
      line += c == clBlue ? 'B' : c == clRed ? 'R' : c == clWhite ? 'W' : '?';
    }
    return line;
  }
  static std::string Bar(int frame1, int red, int white, int frame2, bool standing = false) {
    std::string r(red, 'R'), w(white, 'W');
    return std::string(frame1, 'B') + (standing ? w + r : r + w) + std::string(frame2, 'B');
  }

  TSkinProgressBar* bar = nullptr;
};

TEST_F(BarFill, FillLengthOfTheInterior) {
  bar->SetPosition(37);  // 37 / 100 of 150 is 55.5, rounded to 56: the picture up to x 55
  EXPECT_EQ(Line(), Bar(1, 55, 94, 1));
  bar->SetPosition(150);
  EXPECT_EQ(Line(), Bar(1, 149, 0, 1));
  bar->SetPosition(-20);
  EXPECT_EQ(Line(), Bar(1, 0, 149, 1));
  bar->SetMax(-20);
  bar->SetPosition(-20);
  EXPECT_EQ(Line(), Bar(1, 0, 149, 1)) << "Min above Max";
}

TEST_F(BarFill, CaptionInTheMiddleUnlessSmartlyHidden) {
  bar->SetShowCaption(true);
  bar->SetCaptionColor(clBlack);
  bar->SetPosition(0);
  auto shown = Render(*bar);
  int first = 151, last = -1;
  for (int y = 1; y < 11; ++y)
    for (int x = 1; x < 150; ++x)
      if (At(*shown, x, y) != clWhite) first = std::min(first, x), last = std::max(last, x);
  EXPECT_LE(std::abs((first + last) / 2 - 75), 2) << first << ".." << last;
  bar->SetSmartShowCaption(true);
  EXPECT_EQ(Line(), Bar(1, 0, 149, 1));
  bar->SetPosition(1);
  EXPECT_NE(Line(), Bar(1, 1, 148, 1));
}

TEST_F(BarFill, StandingBarFillsFromTheBottom) {
  bar->SetOrientation(skVertical);
  EXPECT_EQ(bar->Picture()->Width(), 10) << "the theme's strip turned";
  Paint(clRed, clWhite);
  bar->SetBounds(0, 0, 12, 101);
  bar->SetPosition(30);  // 30 of 100 pixels
  EXPECT_EQ(Line(false), Bar(1, 29, 70, 1, true));
}
