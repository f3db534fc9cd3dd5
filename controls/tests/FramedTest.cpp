// What the framed list box, edit and list view share: state colours, frames
// they paint over their borders, frame controllers and older form settings;
// and the edit's own alignment, read-only colour and Enter as Tab.
#include "FramedFixture.h"

using namespace cktest;

namespace {

TColor Rgb(TColor c) { return ColorToRGB(c); }

// Leftmost and rightmost columns of a row band that differ from `background`.
std::pair<int, int> InkColumns(TBitmap& b, int top, int bottom, int left, int right, TColor background) {
  int first = -1, last = -1;
  for (int x = left; x < right; ++x)
    for (int y = top; y < bottom; ++y)
      if (At(b, x, y) != background) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

}  // namespace

TEST_F(Framed, ColourFollowsEnabledAndFocusAndOutsideWrites) {
  auto* lb = Get<TCkListBox>("lstRules");
  auto* edit = Get<TCkEdit>("edtName");
  EXPECT_EQ(lb->Color(), clWindow) << "not the form's colour";
  EXPECT_FALSE(lb->ParentColor());
  edit->SetFocus();
  at::Pump();
  lb->SetColor(clAqua);
  EXPECT_EQ(lb->NormalColor(), clAqua);
  EXPECT_EQ(lb->FocusColor(), clAqua) << "an equal focus colour moves along";
  lb->SetFocusColor(clYellow);
  lb->SetColor(clLime);
  EXPECT_EQ(lb->NormalColor(), clLime);
  EXPECT_EQ(lb->FocusColor(), clYellow) << "a different one stays";

  lb->SetFocus();
  at::Pump();
  EXPECT_EQ(lb->Color(), clYellow);
  edit->SetFocus();
  at::Pump();
  EXPECT_EQ(lb->Color(), clLime);

  lb->SetEnabled(false);
  EXPECT_EQ(lb->Color(), clBtnFace);
  lb->SetDisabledColor(clSilver);
  EXPECT_EQ(lb->Color(), clSilver) << "written while disabled, shown at once";
  lb->SetEnabled(true);
  EXPECT_EQ(lb->Color(), clLime);
  EXPECT_EQ(At(*Grab(lb), lb->Width() - 8, lb->Height() - 6), Rgb(clLime)) << "the window paints it";
}

TEST_F(Framed, ASystemColourChangeWhileDisabledKeepsTheNormalColour) {
  auto* lv = Get<TCkListView>("lvProcess");
  lv->SetDisabledColor(clBtnFace);
  lv->SetEnabled(false);
  EXPECT_EQ(static_cast<TColor>(::SendMessageA(lv->Handle(), LVM_GETBKCOLOR, 0, 0)), Rgb(clBtnFace));
  lv->Perform(WM_SYSCOLORCHANGE);
  lv->SetEnabled(true);
  EXPECT_EQ(lv->Color(), clWindow);
  EXPECT_EQ(static_cast<TColor>(::SendMessageA(lv->Handle(), LVM_GETBKCOLOR, 0, 0)), Rgb(clWindow));
}

TEST_F(Framed, ReadOnlyEditTakesItsOwnColour) {
  auto* edit = Get<TCkEdit>("edtName");
  auto* next = Get<TCkEdit>("edtNext");
  edit->SetFocusColor(clYellow);
  edit->SetReadOnly(true);
  EXPECT_EQ(edit->Color(), clInfoBk);
  edit->SetReadOnlyColor(clAqua);
  EXPECT_EQ(edit->Color(), clAqua);
  edit->SetFocus();
  at::Pump();
  EXPECT_EQ(edit->Color(), clYellow) << "focused: the focus colour";
  edit->SetReadOnlyColorOnFocus(true);
  EXPECT_EQ(edit->Color(), clAqua);
  next->SetFocus();
  at::Pump();
  EXPECT_EQ(edit->Color(), clAqua);
  edit->SetReadOnly(false);
  EXPECT_EQ(edit->Color(), clWindow) << "back to normal at once";
  EXPECT_EQ(GetWindowLongPtrA(edit->Handle(), GWL_STYLE) & ES_READONLY, 0);
}

TEST_F(Framed, CustomFramesArePaintedOverTheBorder) {
  auto* lb = Get<TCkListBox>("lstRules");
  lb->SetFramingPreference(fpCustomFraming);
  lb->SetFrameColor(clRed);
  lb->SetFrameVisible(true);
  at::Pump();
  int w = lb->Width(), h = lb->Height();
  auto b = Grab(lb);
  EXPECT_EQ(At(*b, 0, h / 2), clRed);
  EXPECT_EQ(At(*b, w / 2, 0), clRed);
  EXPECT_EQ(At(*b, 1, h / 2), Rgb(clWindow)) << "the rest of the border takes the background";

  lb->SetFrameSides(TSides{sdTop});
  b = Grab(lb);
  EXPECT_EQ(At(*b, w / 2, 0), clRed);
  EXPECT_EQ(At(*b, 0, h / 2), Rgb(clWindow));

  // Hot tracking turned on in code: the frame on all sides, hot while focused.
  lb->SetFrameVisible(false);
  lb->SetFrameHotColor(clBlue);
  lb->SetFrameHotTrack(true);
  EXPECT_TRUE(lb->FrameVisible());
  EXPECT_EQ(lb->FrameSides(), kAllSides);
  lb->SetFocus();
  b = Grab(lb, false);
  EXPECT_EQ(At(*b, 0, h / 2), clBlue);
  EXPECT_EQ(At(*b, 1, h / 2), clBlue) << "fsFlatBold: two lines";
  Get<TCkEdit>("edtName")->SetFocus();
  b = Grab(lb, false);
  EXPECT_EQ(At(*b, 0, h / 2), clRed);
  EXPECT_EQ(At(*b, 1, h / 2), Rgb(clWindow));

  // The edit redraws its frame as the focus comes and goes.
  auto* edit = Get<TCkEdit>("edtName");
  edit->SetFramingPreference(fpCustomFraming);
  edit->SetFrameHotColor(clBlue);
  edit->SetFrameColor(clGreen);
  edit->SetFrameHotTrack(true);
  lb->SetFocus();
  EXPECT_EQ(At(*Grab(edit, false), 1, edit->Height() / 2), Rgb(clWindow));
  edit->SetFocus();
  EXPECT_EQ(At(*Grab(edit, false), 1, edit->Height() / 2), clBlue);
  lb->SetFocus();
  EXPECT_EQ(At(*Grab(edit, false), 1, edit->Height() / 2), Rgb(clWindow));
}

TEST_F(Framed, VisualStylesKeepTheirOwnBorder) {
  auto* lv = Get<TCkListView>("lvProcess");
  lv->SetFrameColor(clRed);
  lv->SetFrameVisible(true);
  themes.Set(true);
  EXPECT_TRUE(lv->ThemedFraming());
  EXPECT_NE(At(*Grab(lv), 0, lv->Height() / 2), clRed);
  lv->SetFramingPreference(fpCustomFraming);
  EXPECT_EQ(At(*Grab(lv), 0, lv->Height() / 2), clRed);
}

TEST_F(Framed, OlderFormSettingsAreReadAndTheStoredSidesKept) {
  auto* edit = Get<TCkEdit>("edtLegacy");
  EXPECT_TRUE(edit->FrameHotTrack());
  EXPECT_TRUE(edit->FrameVisible());
  EXPECT_EQ(edit->FrameSides(), (TSides{sdLeft, sdBottom}));
  EXPECT_EQ(edit->FrameStyle(), fsStatus);
  EXPECT_EQ(edit->FrameHotStyle(), fsGroove);
}

TEST_F(Framed, AFrameControllerWritesItsSettings) {
  auto* fc = Get<TCkFrameController>("fcShared");
  auto* lv = Get<TCkListView>("lvProcess");
  HWND window = lv->Handle();
  lv->SetFrameController(fc);
  EXPECT_TRUE(lv->FrameVisible());
  EXPECT_EQ(lv->FrameColor(), clRed);
  EXPECT_EQ(lv->FramingPreference(), fpCustomFraming);
  EXPECT_EQ(lv->FocusColor(), clYellow);
  EXPECT_EQ(lv->Handle(), window) << "no new window while the settings arrive";
  EXPECT_EQ(At(*Grab(lv), 0, lv->Height() / 2), clRed);

  auto* lb = Get<TCkListBox>("lstRules");
  TCkFrameControllerNotifications notifications = kAllFrameControllerNotifications;
  lb->SetFrameControllerNotifications(notifications.Exclude(fcpFrameColor));
  lb->SetFrameController(fc);
  EXPECT_TRUE(lb->FrameVisible());
  EXPECT_EQ(lb->FrameColor(), clBtnShadow) << "left out by its notifications";
  fc->SetFrameStyle(fsFlatBold);
  EXPECT_EQ(lb->FrameStyle(), fsFlatBold);
  EXPECT_EQ(lv->FrameStyle(), fsFlatBold);

  delete fc;
  EXPECT_EQ(lv->FrameController(), nullptr);
  EXPECT_EQ(lb->FrameController(), nullptr);
}

TEST_F(Framed, EditAlignmentCentresTheTextInANewWindow) {
  auto* edit = Get<TCkEdit>("edtNext");
  edit->SetText("Centred");
  HWND before = edit->Handle();
  edit->SetAlignment(taCenter);
  EXPECT_NE(edit->Handle(), before);
  EXPECT_EQ(edit->Text(), "Centred");
  EXPECT_NE(GetWindowLongPtrA(edit->Handle(), GWL_STYLE) & ES_CENTER, 0);
  auto b = Grab(edit);
  auto [first, last] = InkColumns(*b, 4, edit->Height() - 4, 3, edit->Width() - 3, Rgb(clWindow));
  ASSERT_GE(first, 0);
  EXPECT_NEAR((first + last) / 2, edit->Width() / 2, 3);
}

TEST_F(Framed, AClickFocusesTheEditAndLetsTheMouseGo) {
  auto* edit = Get<TCkEdit>("edtNext");
  int clicks = 0;
  edit->OnClick = [&](TObject*) { ++clicks; };
  at::Click(edit);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Framed, EnterMovesOnLikeTab) {
  auto* edit = Get<TCkEdit>("edtName");
  auto* lb = Get<TCkListBox>("lstRules");
  edit->SetTabOnEnter(true);
  edit->SetFocus();
  at::Pump();
  at::PressKey(VK_RETURN);
  EXPECT_TRUE(Get<TCkEdit>("edtNext")->Focused());
  EXPECT_EQ(form->keys.find('\r'), std::string::npos) << "no Enter reaches OnKeyPress";

  lb->SetTabOnEnter(true);
  lb->SetFocus();
  at::Pump();
  at::PressKey(VK_RETURN);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(form->keys.find('\r'), std::string::npos);
}
