// Check boxes and radio buttons on a test form: state changes by mouse,
// keys and code, radio groups, glyphs from every source, and what they
// paint into bitmaps.
#include <algorithm>

#include "CkDisplay.h"
#include "InputClasses.h"
#include "gui/Automation.h"
#include "gui/Themes.h"

using namespace ck;
using namespace cktest;
namespace at = gui::automation;

namespace {

using Events = std::vector<std::string>;

// A strip of `cells` cells of 13 x 13, cell i filled with colours[i].
std::unique_ptr<TBitmap> Strip(const std::vector<TColor>& colours) {
  auto strip = Surface(13 * static_cast<int>(colours.size()), 13);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    strip->Canvas().Brush().SetColor(colours[i]);
    strip->Canvas().FillRect(Bounds(13 * static_cast<int>(i), 0, 13, 13));
  }
  return strip;
}

int Ink(TBitmap& b, const TRect& r, TColor color) { return CountOf(b, Sys(color), r); }

}  // namespace

class ButtonsTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    box = Get<TCkCheckBox>("ckchkAutoFree");
    rules = Get<TCkCheckBox>("ckchkRules");
    minToTray = Get<TCkRadioButton>("ckrbMinToTray");
    closeToTray = Get<TCkRadioButton>("ckrbCloseToTray");
    elsewhere = Get<TCkRadioButton>("ckrbElsewhere");
  }

  // A plain (not transparent) check box made in code on the page.
  TCkCheckBox* NewBox() {
    auto* b = new TCkCheckBox(form);
    b->SetParent(Get<TPanel>("pnlPage"));
    b->SetBounds(20, 236, 200, 17);
    b->SetColor(clWhite);
    at::Pump();
    return b;
  }

  TCkCheckBox* box = nullptr;
  TCkCheckBox* rules = nullptr;
  TCkRadioButton* minToTray = nullptr;
  TCkRadioButton* closeToTray = nullptr;
  TCkRadioButton* elsewhere = nullptr;
};

TEST_F(ButtonsTest, FormsSetTheirPropertiesAndOlderFormsTheirFlatFlag) {
  EXPECT_EQ(box->AlignmentVertical(), avTop);
  EXPECT_EQ(box->Alignment(), taRightJustify);
  EXPECT_TRUE(box->Transparent());
  EXPECT_TRUE(box->TabStop());
  EXPECT_EQ(box->Color(), Get<TPanel>("pnlPage")->Color());
  EXPECT_EQ(box->Width(), 200);
  EXPECT_TRUE(rules->AllowGrayed());
  EXPECT_TRUE(Get<TCkCheckBox>("ckchkOld")->HotTrack());
  EXPECT_TRUE(elsewhere->Checked());
  EXPECT_TRUE(elsewhere->TabStop());
  EXPECT_FALSE(minToTray->TabStop());
  EXPECT_EQ(box->FrameControllerNotifications(), kAllFrameControllerNotifications);
}

TEST_F(ButtonsTest, ClicksCycleTheCheckStates) {
  at::Click(rules);  // AllowGrayed
  EXPECT_EQ(rules->State(), cbGrayed);
  at::Click(rules);
  EXPECT_EQ(rules->State(), cbChecked);
  at::Click(rules);
  EXPECT_EQ(rules->State(), cbUnchecked);
  EXPECT_EQ(form->events, Events(3, "ckchkRules"));

  rules->SetAllowGrayed(false);
  at::Click(rules);
  EXPECT_EQ(rules->State(), cbChecked);
  at::Click(rules);
  EXPECT_EQ(rules->State(), cbUnchecked);
  rules->SetState(cbGrayed);
  at::Click(rules);
  EXPECT_EQ(rules->State(), cbChecked);
  EXPECT_EQ(form->events.size(), 7u);

  // A release outside the box is no click.
  at::MouseMove(rules, {5, 5});
  at::MouseDown(rules, mbLeft, {5, 5});
  EXPECT_TRUE(rules->ShowingPressed());
  at::MouseMove(rules, {-20, 5});
  EXPECT_FALSE(rules->ShowingPressed());
  at::MouseUp(rules, mbLeft, {-20, 5});
  EXPECT_EQ(rules->State(), cbChecked);
  EXPECT_EQ(SendMessageA(rules->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  rules->SetState(cbGrayed);
  EXPECT_EQ(SendMessageA(rules->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
}

TEST_F(ButtonsTest, SpaceTogglesOnReleaseAndEscapeCancels) {
  box->SetFocus();
  at::Pump();
  at::PressKey(VK_SPACE);
  EXPECT_TRUE(box->Checked());

  PostMessageA(box->Handle(), WM_KEYDOWN, VK_SPACE, 1);
  at::Pump();
  EXPECT_TRUE(box->ShowingPressed());
  PostMessageA(box->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageA(box->Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
  at::Pump();
  EXPECT_FALSE(box->ShowingPressed());
  EXPECT_TRUE(box->Checked());

  at::PressKey('C', {ssAlt});  // the accelerator of "&Close to tray"
  EXPECT_TRUE(closeToTray->Focused());
  EXPECT_TRUE(closeToTray->Checked());
  at::PressKey('F', {ssAlt});  // "&Free memory automatically"
  EXPECT_TRUE(box->Focused());
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(form->events, (Events{"ckchkAutoFree", "ckrbCloseToTray", "ckchkAutoFree"}));
}

TEST_F(ButtonsTest, AReadOnlyBoxChangesOnlyFromCode) {
  box->SetReadOnly(true);
  at::Click(box);
  at::PressKey(VK_SPACE);
  at::PressKey('F', {ssAlt});
  EXPECT_TRUE(box->Focused());
  EXPECT_EQ(box->State(), cbUnchecked);
  EXPECT_TRUE(form->events.empty());
  box->SetChecked(true);
  EXPECT_EQ(box->State(), cbChecked);
  EXPECT_EQ(form->events, Events{"ckchkAutoFree"});
}

TEST_F(ButtonsTest, CheckingARadioButtonUnchecksItsSiblingsOnly) {
  at::Click(minToTray);
  EXPECT_TRUE(minToTray->Checked());
  EXPECT_TRUE(elsewhere->Checked());  // another parent
  at::Click(closeToTray);
  EXPECT_TRUE(closeToTray->Checked());
  EXPECT_FALSE(minToTray->Checked());
  at::Click(closeToTray);  // a click never unchecks
  EXPECT_TRUE(closeToTray->Checked());
  EXPECT_EQ(form->events, (Events{"ckrbMinToTray", "ckrbCloseToTray"}));
  EXPECT_TRUE(closeToTray->TabStop());
  EXPECT_FALSE(minToTray->TabStop());
  EXPECT_EQ(SendMessageA(closeToTray->Handle(), BM_GETCHECK, 0, 0), 1);
  EXPECT_EQ(SendMessageA(minToTray->Handle(), BM_GETCHECK, 0, 0), 0);

  // Unchecking from code runs nothing.
  form->events.clear();
  closeToTray->SetChecked(false);
  EXPECT_TRUE(form->events.empty());

  // A press takes the focus without checking; the release checks.
  at::MouseMove(minToTray, {5, 5});
  at::MouseDown(minToTray, mbLeft, {5, 5});
  EXPECT_TRUE(minToTray->Focused());
  EXPECT_FALSE(minToTray->Checked());
  at::MouseUp(minToTray, mbLeft, {5, 5});
  EXPECT_TRUE(minToTray->Checked());
  EXPECT_EQ(form->events, Events{"ckrbMinToTray"});

  int doubles = 0;
  minToTray->OnDblClick = [&](TObject*) { ++doubles; };
  SendMessageA(minToTray->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(minToTray->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(doubles, 1);
}

TEST_F(ButtonsTest, TheKeyboardChecksTheRadioButtonItFocuses) {
  closeToTray->SetChecked(true);
  closeToTray->SetFocus();
  at::Pump();
  form->events.clear();
  at::PressKey(VK_UP);  // the previous control of the parent
  EXPECT_TRUE(minToTray->Focused());
  EXPECT_TRUE(minToTray->Checked());
  EXPECT_FALSE(closeToTray->Checked());
  EXPECT_EQ(form->events, Events{"ckrbMinToTray"});

  minToTray->SetReadOnly(true);  // spreads over the group, not beyond
  EXPECT_TRUE(closeToTray->ReadOnly());
  EXPECT_FALSE(elsewhere->ReadOnly());
  at::PressKey(VK_DOWN);
  EXPECT_TRUE(closeToTray->Focused());
  EXPECT_FALSE(closeToTray->Checked());
}

TEST_F(ButtonsTest, TheDownKeyClicksARadioButtonOnlyWhenItChecksIt) {
  closeToTray->SetChecked(true);
  form->events.clear();
  EXPECT_EQ(closeToTray->Perform(CM_DIALOGKEY, VK_DOWN), 1);
  EXPECT_TRUE(form->events.empty()) << "already checked: nothing changes, nothing fires";
  EXPECT_EQ(minToTray->Perform(CM_DIALOGKEY, VK_DOWN), 1);
  EXPECT_TRUE(minToTray->Checked());
  EXPECT_FALSE(closeToTray->Checked());
  EXPECT_EQ(form->events, Events{"ckrbMinToTray"});
}

TEST_F(ButtonsTest, EnterMovesOnWhenAskedTo) {
  box->SetTabOnEnter(true);
  box->SetFocus();
  at::Pump();
  at::PressKey(VK_RETURN);
  EXPECT_TRUE(rules->Focused());
}

TEST_F(ButtonsTest, ALinkedActionSetsTheCheckWithoutAClick) {
  auto* action = new TAction(form);
  action->SetChecked(true);
  box->SetAction(action);
  EXPECT_TRUE(box->Checked());
  action->SetChecked(false);
  EXPECT_FALSE(box->Checked());
  action->SetChecked(true);
  EXPECT_TRUE(box->Checked());
  EXPECT_TRUE(form->events.empty());
  at::Click(box);
  EXPECT_EQ(form->events, Events{"ckchkAutoFree"});
  delete action;
  EXPECT_EQ(box->Action(), nullptr);
}

TEST_F(ButtonsTest, AFrameControllerTurnsOnTheLibrarysOwnGlyph) {
  auto* fc = new TCkFrameController(form);
  fc->SetColor(clYellow);
  fc->SetFrameColor(clRed);
  box->SetFrameController(fc);
  EXPECT_FALSE(box->HotTrack());  // a hidden frame changes nothing
  fc->SetFrameHotColor(clBlue);
  fc->SetFrameHotTrack(true);  // shows the frame too
  EXPECT_TRUE(box->HotTrack());
  EXPECT_EQ(box->FillColor(), clYellow);
  EXPECT_EQ(box->FrameColor(), clRed);
  EXPECT_EQ(box->HotTrackStyle(), htsFrame);
  EXPECT_EQ(box->HotTrackColor(), clBlue);

  rules->SetFrameControllerNotifications(kAllFrameControllerNotifications - fcpColor);
  rules->SetFrameController(fc);
  EXPECT_EQ(rules->FillColor(), clWindow);
  EXPECT_EQ(rules->FrameColor(), clRed);
  delete fc;
  EXPECT_EQ(box->FrameController(), nullptr);
}

TEST_F(ButtonsTest, TheHotTrackGlyphPaintsItsStates) {
  testsupport::Scoped fullColour(ForceFullColorDisplay, true, std::nullopt);
  rules->SetFrameColor(clRed);
  rules->SetFillColor(clYellow);
  rules->SetFocusColor(clAqua);
  rules->SetHighlightColor(clBlue);
  rules->SetDisabledColor(clLime);
  const TRect glyph = rules->GlyphRect();
  EXPECT_EQ(glyph, Bounds(0, 2, 13, 13));
  int x = glyph.Left, y = glyph.Top;

  auto image = Render(rules);
  EXPECT_EQ(At(*image, x, y), Sys(clRed));
  EXPECT_EQ(At(*image, x + 8, y + 9), Sys(clYellow));  // inside the ring, off the tick
  rules->SetState(cbChecked);
  image = Render(rules);
  EXPECT_EQ(At(*image, x + 3, y + 5), Sys(clBlue));  // the tick's first pixel

  rules->SetEnabled(false);
  image = Render(rules);
  EXPECT_EQ(At(*image, x + 1, y + 1), Sys(clLime));
  EXPECT_EQ(At(*image, x + 3, y + 5), Sys(clBtnShadow));
  EXPECT_GT(Ink(*image, Rect(18, 0, 200, 17), clGrayText), 0);
  rules->SetEnabled(true);

  at::MouseMove(rules, {100, 8});  // hot: a ring inside the frame
  EXPECT_TRUE(rules->MouseOver());
  image = Render(rules);
  EXPECT_NE(At(*image, x + 1, y + 1), Sys(clYellow));
  EXPECT_EQ(At(*image, x + 8, y + 9), Sys(clYellow));  // inside the ring, off the tick
  rules->SetHotTrackStyle(htsFrame);
  rules->SetHotTrackColorType(htctComplement);
  image = Render(rules);
  TColor hot = DarkenColor(OppositeHueColor(0x149BF0, 180), 30);
  EXPECT_EQ(At(*image, x, y), hot);
  EXPECT_EQ(At(*image, x + 1, y + 1), hot);
}

TEST_F(ButtonsTest, GlyphAndCaptionFollowTheAlignments) {
  TCkCheckBox* b = NewBox();
  b->SetCaption("Left");
  b->SetHotTrack(true);
  b->SetFrameColor(clRed);
  b->SetAlignment(taLeftJustify);
  auto image = Render(b);
  EXPECT_EQ(At(*image, 200 - 13, 2), Sys(clRed));
  EXPECT_GT(Ink(*image, Rect(0, 0, 60, 17), clWindowText), 0);
  EXPECT_EQ(Ink(*image, Rect(150, 0, 187, 17), clWindowText), 0);

  b->SetHeight(40);
  b->SetAlignmentVertical(avCenter);
  EXPECT_EQ(b->GlyphRect(), Bounds(187, 13, 13, 13));
  b->SetAlignmentVertical(avBottom);
  EXPECT_EQ(b->GlyphRect(), Bounds(187, 25, 13, 13));
}

TEST_F(ButtonsTest, TheFocusBorderHugsTheCaption) {
  TCkCheckBox* b = NewBox();
  b->SetCaption("");
  b->SetFocus();
  at::Pump();
  auto image = Render(b);
  EXPECT_EQ(Ink(*image, Rect(0, 0, 200, 1), clBlack), 0);

  b->SetCaption("  Hi  ");
  image = Render(b);
  int dots = Ink(*image, Rect(0, 0, 200, 1), clBlack);
  EXPECT_GT(dots, 0);
  EXPECT_EQ(At(*image, 18, 0), Sys(clBlack));
  EXPECT_LT(dots, 15);  // only around "Hi", not the blanks

  b->SetCaption(std::string(80, 'W'));
  image = Render(b);
  EXPECT_EQ(At(*image, 199, 1), Sys(clBlack));  // the right side, inside the control
}

TEST_F(ButtonsTest, TransparentControlsShowTheirParent) {
  box->SetColor(clRed);
  TColor page = Sys(Get<TPanel>("pnlPage")->Color());
  auto image = Render(box);
  EXPECT_EQ(At(*image, 198, 1), page);
  EXPECT_EQ(Ink(*image, Rect(0, 0, 200, 17), clRed), 0);
  box->SetTransparent(false);
  image = Render(box);
  EXPECT_EQ(At(*image, 198, 1), Sys(clRed));

  // What covered a control when it painted (a splash, a menu) is not kept
  // as its background: the page is.
  box->SetTransparent(true);
  for (TCkCustomGlyphButton* c : {static_cast<TCkCustomGlyphButton*>(box), static_cast<TCkCustomGlyphButton*>(minToTray)}) {
    c->SetTransparent(false);
    c->SetTransparent(true);  // the background is taken anew at the next paint
    auto covered = Surface(c->Width(), c->Height(), clFuchsia);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(covered->Canvas().Handle()));
    EXPECT_EQ(CountOf(*covered, clFuchsia, c->ClientRect()), 0) << c->Name();
    EXPECT_EQ(At(*covered, c->Width() - 2, 1), page) << c->Name();
  }

  // Text styles draw their layers.
  box->SetTextStyle(tsShadow);
  box->SetTextShadowColor(clBlue);
  image = Render(box);
  EXPECT_GT(Ink(*image, Rect(18, 0, 200, 17), clBlue), 0);
}

TEST_F(ButtonsTest, AStripOfGlyphsGivesEachStateItsCell) {
  TCkCheckBox* b = NewBox();
  const std::vector<TColor> cells = {0x000011, 0x000022, 0x000033, 0x000044, 0x000055,
                                     0x000066, 0x000077, 0x000088, 0x000099};
  b->SetCustomGlyphs(Strip(cells).get());
  EXPECT_TRUE(b->UseCustomGlyphs());
  EXPECT_EQ(b->GlyphWidth(), 13);  // 117 div 9
  auto pixel = [&] { return At(*Render(b), 6, 8); };
  EXPECT_EQ(pixel(), cells[0]);
  b->SetState(cbGrayed);
  EXPECT_EQ(pixel(), cells[2]);
  b->SetEnabled(false);
  EXPECT_EQ(pixel(), cells[8]);
  b->SetEnabled(true);
  b->SetState(cbChecked);
  at::MouseMove(b, {5, 5});
  at::MouseDown(b, mbLeft, {5, 5});
  EXPECT_EQ(pixel(), cells[4]);
  at::MouseUp(b, mbLeft, {5, 5});
  EXPECT_EQ(b->State(), cbUnchecked);

  // The strip's key colours: TransparentColor shows the control's colour,
  // WinMaskColor the window colour.
  b->SetColor(clRed);
  auto strip = Strip(std::vector<TColor>(9, clOlive));
  strip->Canvas().Brush().SetColor(clLime);
  strip->Canvas().FillRect(Rect(0, 0, 13, 6));
  b->SetCustomGlyphs(strip.get());
  auto image = Render(b);
  EXPECT_EQ(At(*image, 6, 2 + 10), Sys(clRed));
  EXPECT_EQ(At(*image, 6, 2 + 2), Sys(clWindow));

  // A strip narrower than its nine states has no cells: no glyph shows, not
  // even the built-in one.
  b->SetCustomGlyphs(Surface(8, 13, clBlue).get());
  EXPECT_TRUE(b->UseCustomGlyphs());
  image = Render(b);
  const TRect glyph = b->GlyphRect();
  EXPECT_EQ(CountOf(*image, Sys(clRed), glyph), glyph.Width() * glyph.Height());

  TBitmap empty;
  b->SetCustomGlyphs(&empty);
  EXPECT_FALSE(b->UseCustomGlyphs());
  EXPECT_EQ(b->GlyphWidth(), 13);

  auto* radio = new TCkRadioButton(form);
  auto wide = Surface(90, 20);
  radio->SetCustomGlyphs(wide.get());
  EXPECT_EQ(radio->GlyphWidth(), 15);  // 90 div 6
  EXPECT_EQ(radio->GlyphHeight(), 20);
  radio->SetUseCustomGlyphs(false);
  EXPECT_EQ(radio->GlyphWidth(), 13);
  EXPECT_EQ(radio->GlyphHeight(), 13);
}

TEST_F(ButtonsTest, ClassicGlyphsShowTheStateInTheControlsColour) {
  TCkCheckBox* b = NewBox();
  auto unchecked = Render(b);
  b->SetChecked(true);
  auto checked = Render(b);
  int differ = 0;
  for (int y = 2; y < 15; ++y)
    for (int x = 0; x < 13; ++x) differ += At(*unchecked, x, y) != At(*checked, x, y);
  EXPECT_GT(differ, 3);

  auto* radio = new TCkRadioButton(form);
  radio->SetParent(Get<TPanel>("pnlOther"));
  radio->SetBounds(10, 200, 140, 17);
  radio->SetColor(clRed);
  auto image = Render(radio);
  EXPECT_EQ(At(*image, 0, 2), Sys(clRed));  // outside the circle
  EXPECT_NE(At(*image, 6, 2 + 6), Sys(clRed));
}


TEST_F(ButtonsTest, TheWholePagePaintsAsOne) {
  box->SetChecked(true);
  rules->SetState(cbGrayed);
  closeToTray->SetChecked(true);
  Get<TCkTrackBar>("cktbInterval")->SetPosition(2);
  Get<TCkTrackBar>("cktbLevel")->SetPosition(7);
  rules->SetFocus();
  at::Pump();
  UpdateWindow(form->Handle());

  RECT window;
  GetWindowRect(form->Handle(), &window);
  TPoint origin = form->ClientOrigin();
  auto page = Surface(form->ClientWidth(), form->ClientHeight(), clFuchsia);
  form->PaintTo(page->Canvas().Handle(), window.left - origin.X, window.top - origin.Y);
  if (const char* dir = std::getenv("BRIMVALE_SCREENSHOTS")) page->SaveToFile(std::string(dir) + "\\input-form.bmp");
  EXPECT_EQ(CountOf(*page, clFuchsia, Rect(0, 0, page->Width(), page->Height())), 0);
  TColor panel = Sys(Get<TPanel>("pnlPage")->Color());
  EXPECT_EQ(At(*page, 20 + 198, 16 + 1), panel);  // through the transparent box
  EXPECT_EQ(At(*page, 20 + 198, 150 + 33), panel);  // through the transparent bar
  // The focused box's dotted border, beside its glyph.
  EXPECT_EQ(At(*page, 20 + 18, 40), Sys(clBlack));
}
