// The frame controller, the blink timer, the label and the progress bar, read
// from a test form, driven through their properties and messages and
// rendered into bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "CkDisplay.h"
#include "CkGrafx.h"
#include "ControlClasses.h"
#include "Pixels.h"
#include "gui/Automation.h"
#include "testsupport/FormFixture.h"
#include "testsupport/Hooks.h"

using namespace ck;
using namespace cktest;
namespace at = gui::automation;

namespace {

// Only this face stands for a font that cannot be turned (the test system
// has TrueType fonts only).
bool TrueTypeExceptSansSerif(const std::string& face) { return face != "MS Sans Serif"; }

int Ink(TBitmap& b, const TRect& r, TColor background) {
  return r.Width() * r.Height() - CountOf(b, background, r);
}

}  // namespace

class ControlsTest : public testsupport::FormFixture<TControlsForm> {
 protected:
  // Never shown: painting goes through PaintTo, and a hidden form takes no
  // focus from window tests running beside these.
  ControlsTest() : FormFixture(Show::No) {}

  static void SetUpTestSuite() {
    RegisterControlClasses();
    Application->Initialize();
    at::Enable();
  }

  void SetUp() override {
    Writes().clear();
    FormFixture::SetUp();
  }

  // The form's client area as it would show on screen.
  std::unique_ptr<TBitmap> Snapshot() {
    RECT window;
    GetWindowRect(form->Handle(), &window);
    TPoint origin = form->ClientOrigin();
    auto b = Surface(form->ClientWidth(), form->ClientHeight(), clFuchsia);
    form->PaintTo(b->Canvas().Handle(), window.left - origin.X, window.top - origin.Y);
    if (const char* dir = std::getenv("BRIMVALE_SCREENSHOTS")) b->SaveToFile(std::string(dir) + "\\controls-form.bmp");
    return b;
  }

  // The part of a snapshot that a control covers.
  static TRect Area(TControl* c) {
    TPoint o{0, 0};
    for (TControl* p = c->Parent(); p && p->Parent(); p = p->Parent()) o = {o.X + p->Left(), o.Y + p->Top()};
    return Bounds(o.X + c->Left(), o.Y + c->Top(), c->Width(), c->Height());
  }

  testsupport::ScopedThemes themes{false};
  testsupport::Scoped trueType{ForceFontIsTrueType, TrueTypeExceptSansSerif, nullptr};
  testsupport::ScopedTimers timers;
};

// --- frame controller ---------------------------------------------------------------------

TEST_F(ControlsTest, ControllerWritesEveryPublishedSettingInOrder) {
  TCkFrameController fc(nullptr);
  auto* w = Get<TFramedWidget>("wFramed");
  fc.AddControl(w);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"wFramed.ParentColor=False", "wFramed.Color=clWindow",
                                                 "wFramed.FocusColor=clWindow",
                                                 "wFramed.FrameSides=[sdLeft, sdTop, sdRight, sdBottom]",
                                                 "wFramed.FrameStyle=fsFlat", "wFramed.FrameVisible=False"}));
  fc.AddControl(w);
  EXPECT_EQ(fc.ControlCount(), 1) << "registered once";

  // The focus colour moves along with the colour, but the controls hear only
  // of the colour until the next full update.
  Writes().clear();
  fc.SetColor(clYellow);
  EXPECT_EQ(fc.FocusColor(), clYellow);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"wFramed.Color=clYellow"}));
  EXPECT_EQ(w->focusColor, clWindow);
  fc.BeginUpdate();
  fc.SetFrameStyle(fsRaised);
  fc.BeginUpdate();
  fc.EndUpdate();
  EXPECT_EQ(w->frameStyle, fsFlat) << "nothing while updating";
  fc.EndUpdate();
  EXPECT_EQ(w->focusColor, clYellow);
  EXPECT_EQ(w->frameStyle, fsRaised);

  fc.SetFocusColor(clAqua);
  fc.SetColor(clRed);
  EXPECT_EQ(fc.FocusColor(), clAqua) << "once apart, the focus colour stays";
  fc.SetColor(clRed);
  Writes().clear();
  fc.SetFrameStyle(fsRaised);
  EXPECT_TRUE(Writes().empty()) << "an unchanged value notifies nobody";
}

TEST_F(ControlsTest, ParentColorComesFirstAndHidesTheColour) {
  TCkFrameController fc(nullptr);
  auto* w = Get<TFramedWidget>("wFramed");
  fc.AddControl(w);
  Writes().clear();
  fc.SetParentColor(true);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"wFramed.ParentColor=True"}));
  Writes().clear();
  fc.BeginUpdate();
  fc.EndUpdate();
  EXPECT_EQ(std::count(Writes().begin(), Writes().end(), "wFramed.Color=clWindow"), 0);
  Writes().clear();
  fc.SetParentColor(false);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"wFramed.ParentColor=False", "wFramed.Color=clWindow"}));
  Writes().clear();
  fc.SetColor(clLime);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"wFramed.Color=clLime"}));
}

TEST_F(ControlsTest, ControlsChooseWhatTheyHear) {
  TCkFrameController fc(nullptr);
  auto* masked = Get<TMaskedWidget>("wMasked");
  auto* plain = Get<TPlainWidget>("wPlain");
  auto* client = Get<TClientWidget>("wClient");
  fc.AddControl(masked);
  fc.AddControl(plain);
  fc.AddControl(client);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"wMasked.Color=clWindow"})) << "only what its notifications name";
  EXPECT_EQ(client->applied, 1) << "a client reads the controller itself";
  fc.SetFocusColor(clLime);
  fc.SetFrameStyle(fsBump);
  fc.SetFrameSides(TSides{sdTop});
  EXPECT_EQ(plain->focusColor, clLime) << "without a notification set, it hears everything it publishes";
  EXPECT_EQ(masked->focusColor, clWindow);
  EXPECT_EQ(masked->frameStyle, fsNone);
  EXPECT_EQ(client->applied, 4);
}

TEST_F(ControlsTest, HotTrackingShowsTheFrameOnEverySide) {
  TCkFrameController fc(nullptr);
  auto* w = Get<TFramedWidget>("wFramed");
  fc.SetFrameSides(TSides{sdLeft});
  fc.AddControl(w);
  Writes().clear();
  fc.SetFrameHotTrack(true);
  EXPECT_TRUE(fc.FrameVisible());
  EXPECT_EQ(fc.FrameSides(), kAllSides);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"wFramed.FrameVisible=True"})) << "the sides wait for a full update";
  EXPECT_EQ(w->frameSides, TSides{sdLeft});
}

TEST_F(ControlsTest, AssignCopiesTheSettingsWithOneUpdate) {
  TCkFrameController fc(nullptr), other(nullptr);
  TCkRegIniFile ini(nullptr);
  other.SetRegIniFile(&ini);
  other.SetColor(clTeal);
  other.SetFrameStyle(fsGroove);
  other.SetFrameSides(TSides{sdTop, sdBottom});
  other.SetDisabledColor(clGray);
  auto* w = Get<TFramedWidget>("wFramed");
  fc.AddControl(w);
  Writes().clear();
  fc.Assign(&other);
  EXPECT_EQ(Writes().size(), 6u) << "one full notification";
  EXPECT_EQ(w->Color(), clTeal);
  EXPECT_EQ(w->frameStyle, fsGroove);
  EXPECT_EQ(fc.DisabledColor(), clGray);
  EXPECT_EQ(fc.FrameSides(), (TSides{sdTop, sdBottom}));
  EXPECT_EQ(fc.RegIniFile(), nullptr) << "the settings location is not copied";
  TFont font;
  EXPECT_THROW(fc.Assign(&font), EConvertError);
}

TEST_F(ControlsTest, RemovalsClearTheReferences) {
  auto* label = Get<TCkLabel>("lblLinked");
  auto* bar = Get<TCkProgressBar>("pbLinked");
  auto* fc = Get<TCkFrameController>("fcMain");
  EXPECT_EQ(label->FrameController(), fc);
  EXPECT_EQ(fc->ControlCount(), 2);
  delete fc;
  EXPECT_EQ(label->FrameController(), nullptr);
  EXPECT_EQ(bar->FrameController(), nullptr);

  TCkFrameController other(nullptr);
  auto* ini = new TCkRegIniFile(nullptr);
  other.SetRegIniFile(ini);
  delete ini;
  EXPECT_EQ(other.RegIniFile(), nullptr);
  auto* w = new TFramedWidget(nullptr);
  other.AddControl(w);
  delete w;
  EXPECT_EQ(other.ControlCount(), 0) << "a control gone without unregistering leaves the list";
  label->SetFrameController(&other);
  label->SetFrameController(nullptr);
  EXPECT_EQ(other.ControlCount(), 0);
}

TEST_F(ControlsTest, LabelAndBarTakeTheControllersFrame) {
  auto* label = Get<TCkLabel>("lblLinked");
  auto* bar = Get<TCkProgressBar>("pbLinked");
  auto* fc = Get<TCkFrameController>("fcMain");
  EXPECT_EQ(label->BorderOuter(), fsFlat);
  EXPECT_EQ(label->FlatColor(), clNavy);
  EXPECT_EQ(label->FlatColorAdjustment(), 0);
  EXPECT_EQ(bar->BorderOuter(), fsFlat);
  EXPECT_EQ(bar->BackColor(), clWindow);
  TColor labelColor = label->Color();
  fc->SetColor(clYellow);
  EXPECT_EQ(bar->BackColor(), clYellow);
  EXPECT_EQ(label->Color(), labelColor) << "the label's notifications leave the colour out";

  TCkLabel all(nullptr);
  all.SetFrameController(fc);
  EXPECT_EQ(all.Color(), clYellow);
  EXPECT_EQ(all.BorderHighlight(), LightenColor(clYellow, 100));
  EXPECT_EQ(all.BorderShadow(), DarkenColor(clYellow, 50));
  EXPECT_EQ(all.TextRect(), Rect(1, 1, all.Width() - 1, all.Height() - 1)) << "a flat frame takes a pixel a side";

  fc->SetFrameVisible(false);
  fc->SetFrameStyle(fsRaised);
  EXPECT_EQ(all.BorderOuter(), fsFlat) << "nothing while the controller's frame is hidden";
  all.SetFrameController(nullptr);
}

TEST(ControlsLegacy, OlderFormsStillRead) {
  RegisterControlClasses();
  TLegacyForm* form = nullptr;
  ASSERT_NO_THROW(form = CreateForm<TLegacyForm>(nullptr));
  auto* fc = static_cast<TCkFrameController*>(form->FindComponent("fcOld"));
  ASSERT_NE(fc, nullptr);
  EXPECT_TRUE(fc->FrameHotTrack());
  EXPECT_TRUE(fc->FrameVisible());
  EXPECT_EQ(fc->FrameStyle(), fsStatus);
  EXPECT_EQ(fc->FrameHotStyle(), fsButtonDown) << "the focus style read after the flat switch";
  delete form;
}

// --- blinking ------------------------------------------------------------------------------

TEST_F(ControlsTest, BlinkingLabelsFollowTheSharedTimer) {
  ASSERT_NE(BlinkingControls, nullptr);
  auto* a = Get<TCkLabel>("lblBlinkA");
  auto* b = Get<TCkLabel>("lblBlinkB");
  EXPECT_EQ(BlinkingControls->IntervalOn(), 700) << "the label read last wins";
  EXPECT_EQ(a->BlinkIntervalOn(), 700);
  EXPECT_EQ(a->BlinkIntervalOff(), 500);
  ASSERT_FALSE(timers.calls.empty());
  EXPECT_EQ(timers.calls.back(), "start 500") << "the off interval first";

  EXPECT_EQ(a->CurrentColor(), clBlack);
  timers.Tick();  // to the normal colour, for the off interval
  EXPECT_EQ(a->CurrentColor(), clBlack);
  EXPECT_EQ(timers.calls.back(), "start 500");
  timers.Tick();  // to the blink colour, for the on interval
  EXPECT_EQ(a->CurrentColor(), clRed);
  EXPECT_EQ(timers.calls.back(), "start 700");
  EXPECT_EQ(b->CurrentColor(), b->Font()->Color()) << "a label that does not blink stays";
  auto shot = Snapshot();
  EXPECT_GT(CountOf(*shot, clRed, Area(a)), 5) << "the text shows in the blink colour";
  timers.Tick();
  EXPECT_EQ(a->CurrentColor(), clBlack);

  timers.Tick();
  EXPECT_EQ(a->CurrentColor(), clRed);
  a->SetBlinking(false);
  EXPECT_EQ(a->CurrentColor(), clBlack) << "turning blinking off shows the normal colour at once";
  timers.Tick();
  timers.Tick();
  EXPECT_EQ(a->CurrentColor(), clBlack);
}

TEST(ControlsBlinkList, ExistsWhileAControlIsRegistered) {
  testsupport::ScopedTimers timers;
  EXPECT_EQ(BlinkingControls, nullptr);
  auto* first = new TCkLabel(nullptr);
  ASSERT_NE(BlinkingControls, nullptr);
  first->SetBlinkIntervalOn(900);
  first->SetBlinkIntervalOff(100);
  auto* second = new TCkLabel(nullptr);
  EXPECT_EQ(second->BlinkIntervalOn(), 900) << "one list for every label";
  EXPECT_EQ(BlinkingControls->Count(), 2);
  delete first;
  EXPECT_EQ(BlinkingControls->Count(), 1);
  delete second;
  EXPECT_EQ(BlinkingControls, nullptr);
  TCkLabel again(nullptr);
  EXPECT_EQ(again.BlinkIntervalOn(), 500) << "a new list starts over";
  EXPECT_EQ(again.BlinkIntervalOff(), 500);
}

namespace {

// A control that blinks and runs a function at each blink.
class TBlinker : public TGraphicControl {
 public:
  explicit TBlinker(std::function<void()> onBlink = {}) : TGraphicControl(nullptr), onBlink_(std::move(onBlink)) {}
  std::optional<TCkBlinkRegistration> registration{std::in_place, this};
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_BLINKQUERY) {
      m.Result = 1;
      return;
    }
    if (m.Msg == CM_BLINKSTATE && onBlink_) onBlink_();
    TGraphicControl::WndProc(m);
  }

 private:
  std::function<void()> onBlink_;
};

}  // namespace

TEST(ControlsBlinkList, TheLastControlsMayLeaveInTheMiddleOfATick) {
  testsupport::ScopedTimers timers;
  std::unique_ptr<TBlinker> later;
  TCkBlinkingControlsList* duringTick = nullptr;
  TBlinker first([&] {
    first.registration.reset();  // as its destructor would
    later.reset();               // the last one leaves before the tick reaches it
    duringTick = BlinkingControls;
  });
  later = std::make_unique<TBlinker>();
  timers.Tick();
  EXPECT_NE(duringTick, nullptr) << "the list outlives the tick that walks it";
  EXPECT_EQ(BlinkingControls, nullptr) << "and goes once the tick is over";
  EXPECT_FALSE(timers.Running());
}

namespace {

// A control of another kind that blinks only once told to, recording the
// states it is sent.
class TLateBlinker : public TGraphicControl {
 public:
  TLateBlinker() : TGraphicControl(nullptr) {}
  void StartBlinking() {
    blinking_ = true;
    registration_.AnswerChanged();
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_BLINKQUERY) {
      m.Result = blinking_ ? 1 : 0;
      return;
    }
    if (m.Msg == CM_BLINKSTATE) states.push_back(static_cast<int>(m.WParam));
    TGraphicControl::WndProc(m);
  }
  std::vector<int> states;

 private:
  TCkBlinkRegistration registration_{this};
  bool blinking_ = false;
};

}  // namespace

TEST(ControlsBlinkList, AControlOfAnyKindThatStartsToBlinkWakesTheTimer) {
  testsupport::ScopedTimers timers;
  TLateBlinker control;
  ASSERT_TRUE(timers.Running());
  timers.Tick();  // nothing blinks: the timer sleeps
  ASSERT_FALSE(timers.Running());
  EXPECT_TRUE(control.states.empty());

  control.StartBlinking();
  ASSERT_TRUE(timers.Running());
  EXPECT_EQ(timers.LastInterval(), 500u);
  timers.Tick();  // to the blink colour
  timers.Tick();  // to the normal colour
  EXPECT_EQ(control.states, (std::vector<int>{1, 0}));
}

// --- label ---------------------------------------------------------------------------------

TEST_F(ControlsTest, LabelAnglesAndRotation) {
  TCkLabel label(nullptr);
  label.SetFont(Get<TCkLabel>("lblPlain")->Font());
  label.SetAngle(370);
  EXPECT_EQ(label.Angle(), 10);
  EXPECT_EQ(label.Rotation(), roFlat) << "a turned label lies flat";
  label.SetAngle(-90);
  EXPECT_EQ(label.Angle(), 270);
  label.SetAngle(-450);
  EXPECT_EQ(label.Angle(), 270) << "below -360 the angle still comes into range";
  label.SetCenterPoint(cpLowerLeft);
  label.SetRotation(roCurve);
  EXPECT_EQ(label.Angle(), 270) << "a curve keeps the angle";
  EXPECT_EQ(label.CenterPoint(), cpLowerLeft);
  label.SetRotation(roFlat);
  EXPECT_EQ(label.Angle(), 0);
  EXPECT_EQ(label.CenterPoint(), cpCenter);
  label.SetAngle(90);
  label.SetRotation(roNone);
  EXPECT_EQ(label.Angle(), 0);

  label.Font()->SetName("MS Sans Serif");
  label.SetAngle(45);
  EXPECT_EQ(label.Font()->Name(), "Verdana") << "a font that cannot turn is replaced";
  label.Font()->SetName("MS Sans Serif");
  EXPECT_EQ(label.Angle(), 0) << "such a font straightens the label";

  auto* loaded = Get<TCkLabel>("lblAngled");
  EXPECT_EQ(loaded->Angle(), 45);
  EXPECT_EQ(loaded->Rotation(), roFlat);
  EXPECT_EQ(loaded->Font()->Name(), "Verdana") << "replaced once the form is read";
}

TEST_F(ControlsTest, LabelSizesItselfAroundBordersAndTurns) {
  auto* plain = Get<TCkLabel>("lblPlain");
  TCkLabel label(nullptr);
  label.SetFont(plain->Font());
  label.SetCaption(plain->Caption());
  TSize text{label.Width(), label.Height()};
  EXPECT_EQ(text, (TSize{plain->Width(), plain->Height()}));

  label.SetBorderOuter(fsLowered);
  label.SetBorderWidth(1);
  label.SetBorderInner(fsFlat);
  EXPECT_EQ(label.Width(), text.cx + 2 * 4);
  EXPECT_EQ(label.Height(), text.cy + 2 * 4);
  EXPECT_EQ(label.TextRect(), Rect(4, 4, label.Width() - 4, label.Height() - 4));
  label.SetBorderSides(TSides{sdLeft});
  EXPECT_EQ(label.Width(), text.cx + 4);
  EXPECT_EQ(label.Height(), text.cy);
  label.SetBorderOuter(fsNone);
  label.SetBorderInner(fsNone);
  label.SetBorderWidth(0);
  label.SetTextMargin(3);
  EXPECT_EQ(label.Width(), text.cx) << "the margin is not added";

  label.SetTextStyle(tsShadow);
  EXPECT_EQ(label.Width(), text.cx + 2);
  label.SetTextStyle(tsNormal);
  label.SetAngle(90);
  EXPECT_EQ(label.Width(), text.cy) << "upright text swaps the sides";
  EXPECT_EQ(label.Height(), text.cx);
  label.SetAngle(80);
  TSize eighty{label.Width(), label.Height()};
  label.SetAngle(100);
  EXPECT_EQ((TSize{label.Width(), label.Height()}), eighty) << "mirror angles take the same box";

  TCkLabel right(nullptr);
  right.SetFont(plain->Font());
  right.SetAlignment(taRightJustify);
  right.SetBounds(100, 5, 200, 20);
  right.SetCaption("Right");
  EXPECT_EQ(right.Left() + right.Width(), 300) << "right-justified labels keep their right edge";

  auto* condensed = Get<TCkLabel>("lblCondensed");
  EXPECT_FALSE(condensed->AutoSize()) << "a shortened caption turns automatic size off";
  EXPECT_EQ(condensed->Width(), 70);
}

TEST_F(ControlsTest, ATransparentLabelShowsItsParentNotWhatCoveredIt) {
  auto* label = Get<TCkLabel>("lblTransparent");
  // What lay on the screen where the label paints (a splash, a menu).
  auto covered = Surface(label->Width(), label->Height(), clFuchsia);
  label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(covered->Canvas().Handle()));
  EXPECT_EQ(CountOf(*covered, clFuchsia, label->ClientRect()), 0);
  EXPECT_EQ(At(*covered, 0, 0), clYellow) << "the panel under the label";
}

TEST_F(ControlsTest, LabelsPaintTheirBackgroundBorderAndText) {
  auto shot = Snapshot();
  auto* plain = Get<TCkLabel>("lblPlain");
  TRect r = Area(plain);
  EXPECT_EQ(At(*shot, r.Left, r.Top), Sys(clBtnFace)) << "the parent's colour";
  EXPECT_GT(Ink(*shot, r, Sys(clBtnFace)), 20) << "and the text on it";

  TRect colored = Area(Get<TCkLabel>("lblColored"));
  EXPECT_EQ(At(*shot, colored.Right - 1, colored.Bottom - 1), clAqua);

  TRect see = Area(Get<TCkLabel>("lblTransparent"));
  EXPECT_EQ(At(*shot, see.Left, see.Top), clYellow) << "a transparent label shows its parent";
  EXPECT_GT(Ink(*shot, see, clYellow), 20);

  TRect framed = Area(Get<TCkLabel>("lblBorder"));
  int mid = (framed.Top + framed.Bottom) / 2;
  EXPECT_EQ(At(*shot, framed.Left, mid), Sys(clBtnShadow));
  EXPECT_EQ(At(*shot, framed.Left + 1, mid), Sys(cl3DDkShadow));
  EXPECT_EQ(At(*shot, framed.Left + 2, mid), clWhite) << "the border line";
  EXPECT_EQ(At(*shot, framed.Right - 1, mid), Sys(clBtnHighlight));

  TRect raised = Area(Get<TCkLabel>("lblRaised"));
  EXPECT_GT(CountOf(*shot, Sys(clBtnHighlight), raised), 5) << "the highlight layer";
  EXPECT_GT(CountOf(*shot, Sys(clBtnShadow), raised), 5) << "the shadow layer";

  TRect disabled = Area(Get<TCkLabel>("lblDisabled"));
  EXPECT_GT(CountOf(*shot, Sys(clGrayText), disabled), 5);
}

TEST_F(ControlsTest, LayoutPlacesTheTextUpOrDown) {
  auto* label = new TCkLabel(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(250, 220, 100, 60);
  label->SetCaption("Down");
  const TTextLayout layouts[] = {tlTop, tlCenter, tlBottom};
  for (int i = 0; i < 3; ++i) {
    label->SetLayout(layouts[i]);
    auto shot = Snapshot();
    TRect r = Area(label);
    for (int third = 0; third < 3; ++third) {
      int ink = Ink(*shot, Rect(r.Left, r.Top + third * 20, r.Right, r.Top + third * 20 + 20), Sys(clBtnFace));
      if (third == i)
        EXPECT_GT(ink, 10) << "layout " << i;
      else
        EXPECT_EQ(ink, 0) << "layout " << i << ", third " << third;
    }
  }
}

TEST_F(ControlsTest, ShortenedCaptionsEndWithDots) {
  auto shot = Snapshot();
  // The clipped caption runs letters to the edge; the shortened one ends in
  // dots that sit on the base line.
  auto upperInk = [&](TCkLabel* l) {
    TRect r = Area(l);
    return Ink(*shot, Rect(r.Right - 8, r.Top, r.Right, r.Top + r.Height() / 2), Sys(clBtnFace));
  };
  auto lowerInk = [&](TCkLabel* l) {
    TRect r = Area(l);
    return Ink(*shot, Rect(r.Right - 12, r.Top + r.Height() / 2, r.Right, r.Bottom), Sys(clBtnFace));
  };
  EXPECT_GT(upperInk(Get<TCkLabel>("lblClipped")), 0);
  EXPECT_EQ(upperInk(Get<TCkLabel>("lblCondensed")), 0);
  EXPECT_GT(lowerInk(Get<TCkLabel>("lblCondensed")), 0);
}

TEST_F(ControlsTest, FlyByColourWhileTheMouseIsOver) {
  auto* label = Get<TCkLabel>("lblPlain");
  TColor normal = label->Font()->Color();
  label->SetFlyByEnabled(true);
  label->SetFlyByColor(clRed);
  label->Perform(CM_MOUSEENTER);
  EXPECT_EQ(label->Font()->Color(), clRed);
  EXPECT_EQ(label->CurrentColor(), clRed);
  label->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(label->Font()->Color(), normal);
  label->Perform(CM_MOUSEENTER);
  label->SetFlyByEnabled(false);
  EXPECT_EQ(label->Font()->Color(), normal) << "switching fly-by off puts the colour back";
}

TEST_F(ControlsTest, TurnedAndCurvedTextDraws) {
  auto* label = Get<TCkLabel>("lblPlain");
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 120, 120);
  TRect area = Area(label);
  for (TRotation rotation : {roFlat, roCurve}) {
    for (int angle : {0, 45, 90, 180, 270}) {
      label->SetRotation(rotation);
      label->SetAngle(angle);
      label->SetTextStyle(angle == 45 ? tsShadow : tsNormal);
      auto shot = Snapshot();
      EXPECT_GT(Ink(*shot, area, Sys(clBtnFace)), 20) << "rotation " << rotation << ", angle " << angle;
    }
  }
}

// --- progress bar ----------------------------------------------------------------------------

TEST_F(ControlsTest, BarPartsSetThePercent) {
  auto* bar = Get<TCkProgressBar>("ckpbCompressing");
  EXPECT_EQ(bar->Percent(), 40);
  EXPECT_TRUE(form->changes.empty()) << "no change events while the form is read";
  bar->SetTotalParts(3);
  EXPECT_EQ(bar->Percent(), 0);
  EXPECT_EQ(form->changes, (std::vector<int>{0})) << "a new total starts again";
  bar->SetPartsComplete(1);
  EXPECT_EQ(bar->Percent(), 33);
  EXPECT_EQ(form->changes, (std::vector<int>{0, 33}));
  bar->SetPartsComplete(5);
  EXPECT_EQ(bar->PartsComplete(), 3u);
  EXPECT_EQ(bar->Percent(), 100);
  bar->SetPercent(100);
  EXPECT_EQ(form->changes, (std::vector<int>{0, 33, 100})) << "the same percent again changes nothing";
  bar->SetTotalParts(8);
  bar->SetTotalParts(8);
  EXPECT_EQ(form->changes, (std::vector<int>{0, 33, 100, 0}));
  bar->SetTotalParts(0);
  EXPECT_EQ(form->changes.size(), 4u) << "already at 0";
  bar->SetPartsComplete(2);
  EXPECT_EQ(bar->PartsComplete(), 0u);
  TCkProgressBar odd(nullptr);
  odd.SetTotalParts(8);
  odd.SetPartsComplete(1);
  EXPECT_EQ(odd.Percent(), 12) << "12.5 rounds to even";
}

TEST_F(ControlsTest, BarStyleAndShape) {
  TCkProgressBar bar(nullptr);
  EXPECT_EQ(bar.Width(), 200);
  EXPECT_EQ(bar.Height(), 24);
  bar.SetBarStyle(bsLED);
  EXPECT_FALSE(bar.ShowPercent());
  EXPECT_EQ(bar.InteriorOffset(), 1);
  bar.SetBarStyle(bsGradient);
  EXPECT_TRUE(bar.ShowPercent());
  EXPECT_EQ(bar.InteriorOffset(), 0);
  bar.SetBounds(0, 0, 24, 200);
  EXPECT_EQ(bar.Orientation(), orVertical);
  bar.SetBounds(0, 0, 200, 200);
  EXPECT_EQ(bar.Orientation(), orHorizontal);
  bar.SetBarColor(clMaroon);
  EXPECT_EQ(bar.Font()->Color(), clMaroon);
}

TEST_F(ControlsTest, BarPaintsBorderGradientAndText) {
  auto* bar = Get<TCkProgressBar>("ckpbCompressing");
  auto shot = Snapshot();
  TRect r = Area(bar);
  int mid = r.Top + 10;
  EXPECT_EQ(At(*shot, r.Left, mid), Sys(clBtnShadow)) << "the lowered border";
  EXPECT_EQ(At(*shot, r.Left + 1, mid), Sys(cl3DDkShadow));
  EXPECT_EQ(At(*shot, r.Left + 2, mid), Sys(clBtnFace)) << "the border line";
  EXPECT_EQ(At(*shot, r.Left + 3, mid), clWhite) << "the interior offset";
  EXPECT_EQ(At(*shot, r.Left + 4, r.Top + 4), clLime) << "the bar starts from its stop colour";
  // 40% of the 132-pixel interior: 53 columns of bar.
  EXPECT_EQ(At(*shot, r.Left + 4 + 53, r.Top + 4), Sys(clBtnFace)) << "the rest from the back stop colour";
  EXPECT_EQ(At(*shot, r.Right - 5, r.Top + 4), Sys(clBtnFace));
  EXPECT_GT(CountOf(*shot, clGreen, Rect(r.Left + 57, r.Top + 4, r.Right - 4, r.Bottom - 4)), 5)
      << "the text over the rest in the bar colour";

  bar->SetBarStyle(bsLED);
  bar->SetPercent(50);
  shot = Snapshot();
  EXPECT_EQ(At(*shot, r.Left + 4, mid), clWhite);
  EXPECT_GT(CountOf(*shot, clGreen, r), 20) << "lit segments";
  bar->SetBarStyle(bsTraditional);
  bar->SetPercent(100);
  shot = Snapshot();
  EXPECT_EQ(At(*shot, r.Left + 4, r.Top + 4), clGreen);

  themes.Set(true);  // without a usable style, the bar falls back to its own frame
  EXPECT_NO_THROW(Snapshot());
}

TEST_F(ControlsTest, ParentBackgroundUnderAControl) {
  auto* see = Get<TSeeThrough>("wSeeThrough");
  auto b = Surface(see->Width(), see->Height(), clFuchsia);
  PaintParentUnderControl(see, b->Canvas().Handle(), false);
  EXPECT_EQ(At(*b, 0, 0), clYellow) << "the panel's colour";
  EXPECT_EQ(At(*b, 15, 15), clRed) << "the shape under it, at the control's offset";
  EXPECT_EQ(At(*b, 9, 9), clYellow);
  EXPECT_EQ(CountOf(*b, clFuchsia, Rect(0, 0, see->Width(), see->Height())), 0);
  TCkLabel orphan(nullptr);
  PaintParentUnderControl(&orphan, b->Canvas().Handle(), true);  // no parent: nothing
}
