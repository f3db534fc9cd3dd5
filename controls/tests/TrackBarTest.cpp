// Track bars on the test form: the position by code, keys, paging and
// dragging, the veto before each change, and the track, ticks and thumbs
// they paint.
#include "InputClasses.h"
#include "gui/Automation.h"
#include "gui/Themes.h"

using namespace ck;
using namespace cktest;
namespace at = gui::automation;

class TrackBarTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    bar = Get<TCkTrackBar>("cktbLevel");
    bar->SetFocus();
    at::Pump();
    form->events.clear();
  }

  // Positions the bar took, in order.
  std::vector<int> Changes() const {
    std::vector<int> out;
    for (const std::string& e : form->events)
      if (e.rfind("cktbLevel=", 0) == 0) out.push_back(std::stoi(e.substr(10)));
    return out;
  }

  TCkTrackBar* bar = nullptr;
};

TEST_F(TrackBarTest, FormsSetTheBarsAndTheStyleSetsTheTrackWidthOutsideThem) {
  auto* interval = Get<TCkTrackBar>("cktbInterval");
  EXPECT_EQ(interval->Min(), 1);
  EXPECT_EQ(interval->Max(), 3);
  EXPECT_EQ(interval->Position(), 1);
  EXPECT_EQ(interval->ThumbStyle(), tsXPBox);
  EXPECT_EQ(interval->TrackWidth(), 6);  // not reset by the style while read
  EXPECT_EQ(interval->TrackOffset(), 12);
  EXPECT_FALSE(interval->ShowFocusRect());

  bar->SetThumbStyle(tsMixer);
  EXPECT_EQ(bar->TrackWidth(), 6);
  bar->SetThumbStyle(tsBox);
  EXPECT_EQ(bar->TrackWidth(), 8);
  bar->SetTrackWidth(2);
  EXPECT_EQ(bar->TrackWidth(), 4);
  bar->SetTickStep(0);
  EXPECT_EQ(bar->TickStep(), 1);
}

TEST_F(TrackBarTest, TheRangeKeepsThePositionInside) {
  std::vector<int> seen;
  bar->OnChanging = [&](TObject*, int position, bool&) { seen.push_back(position); };
  bar->SetMin(5);
  EXPECT_EQ(bar->Position(), 5);
  bar->SetMax(3);
  EXPECT_EQ(bar->Max(), 6);
  bar->SetMin(0);
  bar->SetMax(10);
  bar->SetPosition(20);
  EXPECT_EQ(bar->Position(), 10);
  bar->SetPosition(10);  // the same: nothing at all
  bar->SetPosition(30);  // asked for a new one: the handlers run, clamped
  EXPECT_EQ(seen, (std::vector<int>{5, 10, 10}));
  EXPECT_EQ(Changes(), (std::vector<int>{5, 10, 10}));

  bar->OnChanging = [&](TObject*, int, bool& allow) { allow = false; };
  bar->SetPosition(2);
  EXPECT_EQ(bar->Position(), 10);
  EXPECT_EQ(Changes().size(), 3u);
}

TEST_F(TrackBarTest, TrackTicksAndThumbPaintWhereTheyBelong) {
  EXPECT_EQ(bar->ThumbWidth(), 11);
  bar->SetPosition(5);
  EXPECT_EQ(bar->ThumbRect(), Bounds(94, 14, 11, 20));
  auto image = Render(bar);
  EXPECT_EQ(At(*image, 99, 24), Sys(clBtnFace));
  EXPECT_EQ(At(*image, 104, 19), Sys(cl3DDkShadow));
  EXPECT_EQ(At(*image, 40, 24), Sys(cl3DLight));
  EXPECT_EQ(At(*image, 40, 20), Sys(clBtnShadow));
  EXPECT_EQ(At(*image, 40, 27), Sys(clBtnHighlight));
  EXPECT_EQ(At(*image, 9, 5), Sys(clBtnShadow));   // ticks of 0 above
  EXPECT_EQ(At(*image, 9, 29), Sys(clBtnShadow));  // and below
  EXPECT_EQ(At(*image, 190, 5), Sys(clBtnShadow));  // and of 10
  EXPECT_EQ(At(*image, 30, 5), Sys(bar->Color()));  // between the ticks of 1 and 2

  bar->SetEnabled(false);
  image = Render(bar);
  EXPECT_EQ(At(*image, 40, 24), Sys(clBtnFace));
  EXPECT_EQ(At(*image, 104, 19), Sys(clBtnShadow));
  bar->SetEnabled(true);

  bar->SetThumbStyle(tsPointer);  // points up at its ticks
  EXPECT_EQ(bar->ThumbRect().Top, 13);
  image = Render(bar);
  EXPECT_EQ(At(*image, 9, 5), Sys(clBtnShadow));
  EXPECT_NE(At(*image, 9, 29), Sys(clBtnShadow));
  bar->SetPointerType(ptWin95);  // points down
  EXPECT_EQ(bar->ThumbRect().Top, 15);
  image = Render(bar);
  EXPECT_NE(At(*image, 9, 5), Sys(clBtnShadow));
  EXPECT_EQ(At(*image, 9, 29), Sys(clBtnShadow));
}

TEST_F(TrackBarTest, OwnerDrawnTicksComeAtEveryStep) {
  std::vector<int> indexes, xs;
  bar->OnDrawTick = [&](TCkTrackBar*, TCanvas*, TPoint at, int index) {
    indexes.push_back(index);
    xs.push_back(at.X);
    EXPECT_EQ(at.Y, 0);
  };
  bar->SetThumbStyle(tsBox);
  bar->SetTickStyle(tkOwnerDraw);
  bar->SetTickStep(5);
  bar->SetMax(20);
  Render(bar);
  EXPECT_EQ(indexes, (std::vector<int>{0, 5, 10, 15, 20}));
  EXPECT_EQ(xs, (std::vector<int>{9, 54, 99, 145, 190}));  // 90.5 rounds to 90
}

TEST_F(TrackBarTest, AWideRangeDrawsAtMostOneTickAPixel) {
  std::vector<int> indexes, xs;
  bar->OnDrawTick = [&](TCkTrackBar*, TCanvas*, TPoint at, int index) {
    indexes.push_back(index);
    xs.push_back(at.X);
  };
  bar->SetTickStyle(tkOwnerDraw);
  bar->SetTickStep(3);
  bar->SetMax(1000000);
  Render(bar);
  ASSERT_GT(indexes.size(), 2u);
  ASSERT_LE(indexes.size(), static_cast<std::size_t>(bar->Width()));
  for (std::size_t i = 1; i < indexes.size(); ++i) {
    EXPECT_EQ(indexes[i] % 3, 0) << indexes[i];
    EXPECT_GT(xs[i], xs[i - 1]) << "one tick a pixel at the most";
  }
  EXPECT_GT(indexes.back(), 1000000 - 1000000 / static_cast<int>(indexes.size()) * 2) << "the ticks span the range";
}

TEST_F(TrackBarTest, AnUprightBarIsVertical) {
  bar->SetBounds(20, 20, 35, 200);
  EXPECT_EQ(bar->Orientation(), orVertical);
  EXPECT_EQ(bar->ThumbWidth(), 11);
  EXPECT_EQ(bar->ThumbHeight(), 20);
  EXPECT_EQ(bar->ThumbRect(), Rect(14, 185, 34, 196));
  auto image = Render(bar);
  EXPECT_EQ(At(*image, 24, 190), Sys(clBtnFace));
  EXPECT_EQ(At(*image, 5, 190), Sys(clBtnShadow));  // a left tick at 0

  at::PressKey(VK_HOME);
  EXPECT_EQ(bar->Position(), 10);
  at::PressKey(VK_END);
  EXPECT_EQ(bar->Position(), 0);
  at::PressKey(VK_UP);
  EXPECT_EQ(bar->Position(), 1);
}

TEST_F(TrackBarTest, KeysMoveTheThumb) {
  bar->SetPageSize(3);
  for (WORD key : {VK_RIGHT, VK_UP, VK_ADD}) at::PressKey(key);
  EXPECT_EQ(bar->Position(), 3);
  for (WORD key : {VK_LEFT, VK_DOWN, VK_SUBTRACT}) at::PressKey(key);
  EXPECT_EQ(bar->Position(), 0);
  at::PressKey(VK_LEFT);  // already at Min
  at::PressKey(VK_PRIOR);
  EXPECT_EQ(bar->Position(), 3);
  at::PressKey(VK_NEXT);
  at::PressKey(VK_END);
  EXPECT_EQ(bar->Position(), 10);
  at::PressKey(VK_HOME);
  EXPECT_EQ(Changes(), (std::vector<int>{1, 2, 3, 2, 1, 0, 3, 0, 10, 0}));

  bar->OnChanging = [](TObject*, int, bool& allow) { allow = false; };
  at::PressKey(VK_RIGHT);
  EXPECT_EQ(bar->Position(), 0);

  bar->OnChanging = nullptr;
  bar->SetTabOnEnter(true);
  at::PressKey(VK_RETURN);
  EXPECT_FALSE(bar->Focused());
}

TEST_F(TrackBarTest, HoldingTheButtonOnTheTrackPagesUntilTheThumbPassesIt) {
  bar->SetPageSize(2);
  const TPoint point{150, 24};
  at::MouseMove(bar, point);
  at::MouseDown(bar, mbLeft, point);
  EXPECT_EQ(bar->Position(), 2);
  EXPECT_TRUE(bar->Paging());
  ASSERT_TRUE(timers.Running());
  EXPECT_EQ(timers.LastInterval(), 200u);
  timers.Tick();
  EXPECT_EQ(timers.LastInterval(), 100u);
  for (int i = 0; i < 3; ++i) timers.Tick();
  EXPECT_EQ(bar->Position(), 10);
  timers.Tick();  // the thumb is past the point now
  EXPECT_FALSE(bar->Paging());
  EXPECT_FALSE(timers.Running());
  at::MouseUp(bar, mbLeft, point);
  EXPECT_EQ(Changes(), (std::vector<int>{2, 4, 6, 8, 10}));

  // Left of the thumb pages down; a veto keeps the position.
  bar->OnChanging = [](TObject*, int, bool& allow) { allow = false; };
  at::MouseDown(bar, mbLeft, {20, 24});
  at::MouseUp(bar, mbLeft, {20, 24});
  EXPECT_EQ(bar->Position(), 10);
  bar->OnChanging = nullptr;
  at::MouseDown(bar, mbLeft, {20, 24});
  at::MouseUp(bar, mbLeft, {20, 24});
  EXPECT_EQ(bar->Position(), 8);
  EXPECT_FALSE(bar->Paging());
}

TEST_F(TrackBarTest, DraggingTheThumbFollowsThePointer) {
  const TRect thumb = bar->ThumbRect();
  const TPoint centre{(thumb.Left + thumb.Right) / 2, 24};
  at::MouseMove(bar, centre);
  at::MouseDown(bar, mbLeft, centre);
  EXPECT_TRUE(bar->Sliding());
  at::MouseMove(bar, {100, 30});  // half way along the track
  EXPECT_EQ(bar->Position(), 5);
  at::MouseMove(bar, {400, 30});
  EXPECT_EQ(bar->Position(), 10);
  bar->OnChanging = [](TObject*, int, bool& allow) { allow = false; };
  at::MouseMove(bar, {30, 30});
  EXPECT_EQ(bar->Position(), 10);
  at::MouseUp(bar, mbLeft, {30, 30});
  EXPECT_FALSE(bar->Sliding());
  EXPECT_EQ(Changes(), (std::vector<int>{5, 10}));
}

TEST_F(TrackBarTest, TheThumbUnderThePointerIsHot) {
  bar->SetPosition(5);
  at::MouseMove(bar, {99, 24});
  EXPECT_TRUE(bar->Hot());
  auto image = Render(bar);
  EXPECT_EQ(At(*image, 99, 24), MixColors(clWhite, 0x149BF0, 190));
  EXPECT_EQ(At(*image, 95, 24), ColorToRGB(0x149BF0));

  bar->SetHotTrackColorType(htctComplement);
  image = Render(bar);
  EXPECT_EQ(At(*image, 99, 24), OppositeHueColor(0x149BF0, 140));
  EXPECT_EQ(At(*image, 95, 24), DarkenColor(OppositeHueColor(0x149BF0, 140), 15));

  at::MouseMove(bar, {20, 5});
  EXPECT_FALSE(bar->Hot());
  image = Render(bar);
  EXPECT_EQ(At(*image, 99, 24), Sys(clBtnFace));
}

TEST_F(TrackBarTest, BarsOfOneShapeInOtherColoursKeepTheirOwnThumbs) {
  auto* other = new TCkTrackBar(form);  // the form frees it
  other->SetParent(bar->Parent());
  other->SetThemeAware(false);
  other->SetThumbStyle(tsBox);
  other->SetBounds(bar->Left(), bar->Top() + 40, bar->Width(), bar->Height());
  other->SetHotTrackColor(clRed);
  other->SetPosition(5);
  bar->SetPosition(5);
  at::Pump();

  at::MouseMove(other, {99, 24});
  ASSERT_TRUE(other->Hot());
  EXPECT_EQ(At(*Render(other), 95, 24), ColorToRGB(clRed));
  at::MouseMove(bar, {99, 24});
  ASSERT_TRUE(bar->Hot());
  EXPECT_EQ(At(*Render(bar), 95, 24), ColorToRGB(0x149BF0)) << "the other bar's colour is not this one's";
  other->SetHotTrackColor(0x149BF0);  // now alike
  at::MouseMove(other, {99, 24});
  EXPECT_EQ(At(*Render(other), 95, 24), ColorToRGB(0x149BF0));
}

TEST_F(TrackBarTest, ATransparentBarShowsItsParent) {
  auto* interval = Get<TCkTrackBar>("cktbInterval");
  interval->SetColor(clRed);
  bar->SetColor(clRed);
  auto image = Render(interval);
  EXPECT_EQ(At(*image, 1, 30), Sys(Get<TPanel>("pnlPage")->Color()));
  image = Render(bar);
  EXPECT_EQ(At(*image, 1, 30), Sys(clRed));

  // What covered the bar when it painted is not kept as its background.
  interval->SetTransparent(false);
  interval->SetTransparent(true);
  auto covered = Surface(interval->Width(), interval->Height(), clFuchsia);
  interval->Perform(WM_PAINT, reinterpret_cast<WPARAM>(covered->Canvas().Handle()));
  EXPECT_EQ(CountOf(*covered, clFuchsia, interval->ClientRect()), 0);
  EXPECT_EQ(At(*covered, 1, 30), Sys(Get<TPanel>("pnlPage")->Color()));
}

TEST_F(TrackBarTest, ACustomThumbIsThreePictures) {
  auto picture = Surface(27, 16, clBlack);
  TCanvas& c = picture->Canvas();
  c.Brush().SetColor(clGreen);  // the thumb
  c.FillRect(Rect(1, 0, 9, 16));
  c.Brush().SetColor(clWhite);  // the mask: its left column shows through
  c.FillRect(Rect(9, 0, 10, 16));
  c.Brush().SetColor(clPurple);  // disabled
  c.FillRect(Rect(18, 0, 27, 16));
  bar->SetCustomThumb(picture.get());
  EXPECT_EQ(bar->ThumbStyle(), tsCustom);
  EXPECT_EQ(bar->ThumbWidth(), 9);
  EXPECT_EQ(bar->ThumbHeight(), 16);
  const TRect thumb = bar->ThumbRect();
  auto image = Render(bar);
  EXPECT_EQ(At(*image, thumb.Left + 4, thumb.Top + 8), Sys(clGreen));
  EXPECT_EQ(At(*image, thumb.Left, thumb.Top + 8), Sys(bar->Color()));  // under the mask's hole
  bar->SetEnabled(false);
  image = Render(bar);
  EXPECT_EQ(At(*image, thumb.Left + 4, thumb.Top + 8), Sys(clPurple));
}

TEST_F(TrackBarTest, EveryBuiltInThumbLoads) {
  for (bool styled : {false, true}) {
    themes.Set(styled);
    bar->SetThemeAware(!bar->ThemeAware());
    bar->SetThemeAware(true);
    for (TOrientation o : {orHorizontal, orVertical}) {
      bar->SetOrientation(o);
      for (TThumbStyle style : {tsBox, tsMixer, tsPointer, tsFlat, tsXPPointer, tsXPBox}) {
        bar->SetThumbStyle(style);
        for (TPointerType pointer : {ptStandard, ptWin95}) {
          bar->SetPointerType(pointer);
          SCOPED_TRACE(testing::Message() << styled << " " << o << " " << style << " " << pointer);
          EXPECT_GT(bar->ThumbWidth(), 8);
          EXPECT_GT(bar->ThumbHeight(), 8);
        }
      }
    }
  }
  // Visual styles draw the XP shapes in their own colours.
  bar->SetOrientation(orHorizontal);
  bar->SetThumbStyle(tsBox);
  EXPECT_EQ(bar->EffectiveThumbStyle(), tsXPBox);
  auto image = Render(bar);
  const TRect thumb = bar->ThumbRect();
  EXPECT_EQ(At(*image, thumb.Left, thumb.Top + 5), static_cast<TColor>(RGB(28, 81, 128)));
  bar->SetThemeAware(false);
  EXPECT_EQ(bar->EffectiveThumbStyle(), tsBox);
}
