// The picture button: state pictures, captions and their placement, the
// mouse and keyboard, clicks and their modal result, auto-repeat, background
// and transparent colour, drawn into 32-bit bitmaps and checked by pixel.
#include "VeeButton.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "PngPicture.h"
#include "gui/Bitmap.h"
#include "gui/ExtCtrls.h"
#include "gui/FormReader.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "testsupport/Hooks.h"
#include "testsupport/Pixels.h"

using namespace components;

using namespace gui;

namespace {

constexpr TColor kFace = 0x00D0E0F0;   // the button's own colour
constexpr TColor kParent = 0x00804020;  // the form's colour

// A picture holding a plain bitmap of one colour, with an optional square of
// another colour in its middle.
std::unique_ptr<TPicture> Solid(TColor color, int w = 10, int h = 10, TColor middle = clNone) {
  auto b = testsupport::Surface(w, h, color);
  if (middle != clNone) {
    b->Canvas().Brush().SetColor(middle);
    b->Canvas().FillRect(Rect(w / 4, h / 4, w - w / 4, h - h / 4));
  }
  auto p = std::make_unique<TPicture>();
  p->SetGraphic(b.get());
  return p;
}

// The control as it appears, read back from a 32-bit bitmap.
class Shot {
 public:
  explicit Shot(TWinControl& control) : bitmap_(testsupport::Render(control, clBlack)) {}
  TColor At(int x, int y) { return testsupport::At(*bitmap_, x, y); }
  int Count(TColor color, TRect area) { return testsupport::CountOf(*bitmap_, color, area); }
  // The smallest rectangle holding every pixel of that colour.
  TRect Extent(TColor color) {
    TRect r{bitmap_->Width(), bitmap_->Height(), 0, 0};
    for (int y = 0; y < bitmap_->Height(); ++y)
      for (int x = 0; x < bitmap_->Width(); ++x)
        if (At(x, y) == color) r = Rect(std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1),
                                         std::max(r.Bottom, y + 1));
    return r;
  }

 private:
  std::unique_ptr<TBitmap> bitmap_;
};

class ButtonTest : public ::testing::Test {
 protected:
  // One shown form for all the tests: hiding or destroying a shown window
  // costs seconds under the test display.
  static void SetUpTestSuite() {
    form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(50, 50, 300, 200);
    form->SetColor(kParent);
    form->Show();
  }
  static void TearDownTestSuite() {
    delete form;
    form = nullptr;
  }
  void SetUp() override {
    button = new TVeeButton(form);
    button->SetParent(form);
    button->SetBounds(20, 30, 76, 66);
    button->SetColor(kFace);
    button->Font()->SetColor(clBlack);
  }
  void TearDown() override {
    while (form->ComponentCount() > 0) delete form->Components(0);
    form->SetModalResult(mrNone);
  }

  void Send(UINT msg, int x, int y, WPARAM keys = 0) {
    SendMessageA(button->Handle(), msg, keys, MAKELPARAM(x, y));
  }
  void Enter() { Send(WM_MOUSEMOVE, 5, 5); }
  void Press(int x = 5, int y = 5) { Send(WM_LBUTTONDOWN, x, y, MK_LBUTTON); }
  void Release(int x = 5, int y = 5) { Send(WM_LBUTTONUP, x, y); }
  void GiveStatePictures() {
    button->SetPicNormal(Solid(clRed).get());
    button->SetPicMouseHover(Solid(clLime).get());
    button->SetPicMouseDown(Solid(clBlue).get());
    button->SetPicDisabled(Solid(clYellow).get());
  }
  TColor Corner() { return Shot(*button).At(2, 2); }

  static TForm* form;
  TVeeButton* button = nullptr;
};

TForm* ButtonTest::form = nullptr;

}  // namespace

TEST_F(ButtonTest, EachLookShowsItsPicture) {
  GiveStatePictures();
  Shot normal(*button);
  EXPECT_EQ(clRed, normal.At(2, 2));
  EXPECT_EQ(kFace, normal.At(40, 40)) << "the control's colour around the picture";
  EXPECT_EQ(kFace, normal.At(10, 10));

  Enter();
  EXPECT_TRUE(button->Hover());
  EXPECT_EQ(clLime, Corner());
  Press();
  EXPECT_TRUE(button->Down());
  EXPECT_FALSE(button->Hover());
  EXPECT_EQ(clBlue, Corner());
  Release();
  EXPECT_EQ(clLime, Corner());
  button->SetEnabled(false);
  EXPECT_EQ(clYellow, Corner());
}

TEST_F(ButtonTest, OnlyANormalPictureShowsInEveryLook) {
  button->SetPicNormal(Solid(clRed).get());
  Enter();
  EXPECT_EQ(clRed, Corner());
  Press();
  EXPECT_EQ(clRed, Corner());
  button->SetEnabled(false);
  EXPECT_EQ(clRed, Corner());

  // Without any picture: background, border and caption only.
  button->SetPicNormal(nullptr);
  button->SetDrawBorder(true);
  Shot disabled(*button);
  EXPECT_EQ(kFace, disabled.At(2, 2));
  EXPECT_EQ(RGB(128, 128, 128), disabled.At(0, 0)) << "a disabled border is grey";
  button->SetEnabled(true);
  Shot enabled(*button);
  EXPECT_EQ(clBlack, enabled.At(0, 0));
  EXPECT_EQ(clBlack, enabled.At(75, 65));
  EXPECT_EQ(kFace, enabled.At(1, 1));
}

TEST_F(ButtonTest, PictureAlignmentAndStretch) {
  button->SetPicNormal(Solid(clRed, 10, 10).get());
  button->SetPictureAlign(TVeeAlignment::alBottomRight);
  Shot corner(*button);
  EXPECT_EQ(Rect(66, 56, 76, 66), corner.Extent(clRed));
  button->SetPictureAlign(TVeeAlignment::alCustom);
  button->SetPictureX(7);
  button->SetPictureY(9);
  EXPECT_EQ(Rect(7, 9, 17, 19), Shot(*button).Extent(clRed));
  button->SetStretch(true);
  EXPECT_EQ(Rect(7, 9, 76, 66), Shot(*button).Extent(clRed));
}

TEST_F(ButtonTest, PressingDraggingOutAndReleasingOutsideIsNoClick) {
  GiveStatePictures();
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  Enter();
  Press();
  Send(WM_MOUSEMOVE, 200, 5, MK_LBUTTON);  // captured: the button still hears it
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(clBlue, Corner()) << "stays pressed while the mouse is away";
  Release(200, 5);
  EXPECT_FALSE(button->Down());
  EXPECT_FALSE(button->Hover());
  EXPECT_EQ(clRed, Corner());
  EXPECT_EQ(0, clicks);
}

TEST_F(ButtonTest, PressAndReleaseInsideClicksOnceSetsTheModalResultAndHovers) {
  GiveStatePictures();
  int clicks = 0;
  button->OnClick = [&](TObject* sender) {
    EXPECT_EQ(button, sender);
    ++clicks;
  };
  form->SetModalResult(mrOk);
  Enter();
  Press();
  Release(75, 65);
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(mrNone, form->ModalResult()) << "a button with ModalResult 0 sets 0";
  EXPECT_TRUE(button->Hover());
  EXPECT_EQ(clLime, Corner());

  button->SetModalResult(mrCancel);
  Press();
  Release();
  EXPECT_EQ(2, clicks);
  EXPECT_EQ(mrCancel, form->ModalResult());
}

TEST_F(ButtonTest, MouseEnterAndExitEvents) {
  std::vector<std::string> events;
  button->OnMouseEnter = [&](TObject*) { events.push_back("enter"); };
  button->OnMouseExit = [&](TObject*) { events.push_back("exit"); };
  Enter();
  Send(WM_MOUSEMOVE, 8, 8);
  Send(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ((std::vector<std::string>{"enter", "exit"}), events);
  EXPECT_FALSE(button->Hover());
}

TEST_F(ButtonTest, HoldingTheLeftButtonRepeatsUntilThePressEnds) {
  testsupport::ScopedTimers timers;
  int repeats = 0;
  button->OnMouseContinuouslyDown = [&](TObject* sender) {
    EXPECT_EQ(button, sender);
    ++repeats;
  };
  Send(WM_RBUTTONDOWN, 5, 5);
  EXPECT_TRUE(timers.running.empty()) << "only the left button repeats";
  Press();
  ASSERT_EQ(1u, timers.running.size());
  EXPECT_EQ(100u, timers.running[0].Interval) << "the first repeat comes one period after the press";
  EXPECT_EQ(0, repeats);
  timers.Tick();
  timers.Tick();
  EXPECT_EQ(2, repeats);
  Release();
  EXPECT_TRUE(timers.running.empty());
  timers.Tick();
  EXPECT_EQ(2, repeats);

  // Dragged out and the mouse leaving keep the press, and its repeats.
  Press();
  Send(WM_MOUSEMOVE, 300, 5, MK_LBUTTON);
  Send(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(1u, timers.running.size());
  Release(300, 5);
  EXPECT_TRUE(timers.running.empty());

  // Losing the mouse to another window in the middle of a press ends it.
  Press();
  ASSERT_EQ(1u, timers.running.size());
  HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  SetCapture(other);
  EXPECT_TRUE(timers.running.empty());
  EXPECT_FALSE(button->Down());
  ReleaseCapture();
  DestroyWindow(other);
}

namespace {
TRect TextExtent(TVeeButton& b) { return Shot(b).Extent(clBlack); }
}  // namespace

TEST_F(ButtonTest, CaptionPlacementAndBlankCaptions) {
  button->SetCaption("   ");
  EXPECT_EQ(0, Shot(*button).Count(clBlack, Rect(0, 0, 76, 66))) << "a blank caption is not drawn";

  button->SetCaption("Wy");
  TRect centred = TextExtent(*button);
  ASSERT_FALSE(centred.IsEmpty());
  EXPECT_NEAR(38, (centred.Left + centred.Right) / 2, 2);
  EXPECT_NEAR(33, (centred.Top + centred.Bottom) / 2, 3);
  Press();
  TRect pressed = TextExtent(*button);
  EXPECT_EQ(Rect(centred.Left + 1, centred.Top + 1, centred.Right + 1, centred.Bottom + 1), pressed);
  Release();

  button->SetTextAlign(TVeeAlignment::alCustom);
  button->SetTextX(28);
  button->SetTextY(45);
  TRect custom = TextExtent(*button);
  EXPECT_GE(custom.Left, 28);
  EXPECT_LE(custom.Left, 30);
  EXPECT_GE(custom.Top, 45);
  Press();
  EXPECT_EQ(custom, TextExtent(*button)) << "a custom place does not move when pressed";
  Release();

  // Many lines start at the top, whatever the vertical alignment says.
  button->SetTextAlign(TVeeAlignment::alCenter);
  button->SetCaption("Wy\r\nWy");
  button->SetMultiLines(true);
  TRect many = TextExtent(*button);
  EXPECT_LT(many.Top, 5);
  EXPECT_NEAR(38, (many.Left + many.Right) / 2, 2);
  button->SetMultiLines(false);
  EXPECT_NEAR(33, (TextExtent(*button).Top + TextExtent(*button).Bottom) / 2, 3) << "one line, centred";
}

TEST_F(ButtonTest, StateFontsAndTheDisabledShadow) {
  button->SetCaption("Wy");
  button->FontMouseHover()->SetColor(clRed);
  Enter();
  EXPECT_EQ(0, Shot(*button).Count(clRed, Rect(0, 0, 76, 66))) << "state fonts are off";
  button->SetEnableStatesFont(true);
  EXPECT_GT(Shot(*button).Count(clRed, Rect(0, 0, 76, 66)), 0);

  button->FontDisabled()->SetColor(clBlue);
  button->SetEnabled(false);
  Shot plain(*button);
  EXPECT_GT(plain.Count(clBlue, Rect(0, 0, 76, 66)), 0);
  button->SetShowDisabledShadow(true);
  Shot shadowed(*button);
  TRect text = plain.Extent(clBlue);
  TRect grey = shadowed.Extent(RGB(128, 128, 128));
  EXPECT_EQ(Rect(text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1), grey)
      << "the shadow lies one pixel right and down, over the caption";
}

TEST_F(ButtonTest, TransparentBackgroundAndTransparentColour) {
  // A picture with a fuchsia middle.
  button->SetPicNormal(Solid(clRed, 20, 20, clFuchsia).get());
  Shot keyed(*button);
  EXPECT_EQ(clFuchsia, keyed.At(10, 10));
  button->SetEnableTransparentColor(true);
  Shot through(*button);
  EXPECT_EQ(kFace, through.At(10, 10)) << "the background shows through the key colour";
  EXPECT_EQ(clRed, through.At(1, 1));

  button->SetTransparent(true);
  Shot overParent(*button);
  EXPECT_EQ(kParent, overParent.At(10, 10));
  EXPECT_EQ(kParent, overParent.At(50, 50)) << "the parent's colour instead of the button's";
  EXPECT_EQ(clRed, overParent.At(1, 1));
}

TEST_F(ButtonTest, TheParentBackgroundLinesUpWithWhatLiesBeneath) {
  // A windowless shape of the form, partly under the button (at 20, 30).
  auto* shape = new TShape(form);
  shape->SetParent(form);
  shape->SetBounds(30, 40, 10, 10);
  shape->Brush()->SetColor(clRed);
  shape->Pen()->SetColor(clRed);
  button->SetTransparent(true);
  Shot shot(*button);
  EXPECT_EQ(Rect(10, 10, 20, 20), shot.Extent(clRed));
  EXPECT_EQ(kParent, shot.At(9, 9));
  EXPECT_EQ(kParent, shot.At(20, 20));
}

TEST(ParentBackground, AControlWithoutParentLeavesTheCanvasAlone) {
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(4, 4);
  b.Canvas().Brush().SetColor(clLime);
  b.Canvas().FillRect(Rect(0, 0, 4, 4));
  TVeeButton orphan(nullptr);
  orphan.SetTransparent(true);
  gui::PaintParentBackground(b.Canvas(), &orphan);
  gui::PaintParentBackground(b.Canvas(), nullptr);
  EXPECT_EQ(clLime, b.Canvas().Pixels(2, 2));
}

TEST_F(ButtonTest, KeyboardPressesAndClicks) {
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  button->SetTabStop(true);
  button->SetFocus();
  ASSERT_TRUE(button->Focused());
  SendMessageA(button->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(button->Down());
  SendMessageA(button->Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(1, clicks);

  // Dialog characters: the caption's accelerator.
  button->SetCaption("&Save");
  EXPECT_EQ(1, form->Perform(CM_DIALOGCHAR, 's'));
  EXPECT_EQ(2, clicks);
  EXPECT_EQ(0, form->Perform(CM_DIALOGCHAR, 'a'));
  button->SetEnabled(false);
  EXPECT_EQ(0, form->Perform(CM_DIALOGCHAR, 's'));
  EXPECT_EQ(2, clicks);
}

TEST_F(ButtonTest, EnterClicksTheDefaultButtonEscTheCancelButtonWithoutModifiers) {
  auto* other = new TVeeButton(form);
  other->SetParent(form);
  other->SetBounds(120, 30, 76, 66);
  int defaults = 0, cancels = 0;
  button->OnClick = [&](TObject*) { ++defaults; };
  other->OnClick = [&](TObject*) { ++cancels; };
  button->SetDefault(true);
  other->SetCancel(true);
  EXPECT_TRUE(button->ActiveDefault());
  EXPECT_FALSE(other->ActiveDefault());

  EXPECT_EQ(1, form->Perform(CM_DIALOGKEY, VK_RETURN));
  EXPECT_EQ(1, form->Perform(CM_DIALOGKEY, VK_ESCAPE));
  EXPECT_EQ(1, defaults);
  EXPECT_EQ(1, cancels);

  BYTE keys[256];
  GetKeyboardState(keys);
  for (int modifier : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
    BYTE held[256];
    std::copy(std::begin(keys), std::end(keys), held);
    held[modifier] = 0x80;
    SetKeyboardState(held);
    form->Perform(CM_DIALOGKEY, VK_RETURN);
    form->Perform(CM_DIALOGKEY, VK_ESCAPE);
    SetKeyboardState(keys);
  }
  EXPECT_EQ(1, defaults) << "Shift, Ctrl or Alt held: no click";
  EXPECT_EQ(1, cancels);

  // A system push button with the focus takes Enter for itself.
  auto* push = new TButton(form);
  push->SetParent(form);
  push->SetBounds(10, 150, 75, 25);
  push->SetFocus();
  EXPECT_FALSE(button->ActiveDefault());
  button->SetFocus();
  EXPECT_TRUE(button->ActiveDefault());
  button->SetDefault(false);
  EXPECT_FALSE(button->ActiveDefault());
}

TEST_F(ButtonTest, CaptionFollowsTheControlTextAndSettersCopy) {
  button->SetText("From text");
  EXPECT_EQ("From text", button->Caption());
  button->SetCaption("Caption");
  EXPECT_EQ("Caption", button->Text());
  auto picture = Solid(clRed);
  button->SetPicNormal(picture.get());
  picture->SetGraphic(nullptr);
  EXPECT_NE(nullptr, button->PicNormal()->Graphic()) << "the button keeps its own copy";
  TFont font;
  font.SetColor(clRed);
  button->SetFontMouseDown(&font);
  font.SetColor(clBlue);
  EXPECT_EQ(clRed, button->FontMouseDown()->Color());
}

// A form read from its resource, with PNG pictures, as the program's are.
class TButtonTestForm : public TForm {
  GUI_CLASS(TButtonTestForm, TForm)
 public:
  explicit TButtonTestForm(TComponent* owner) : TForm(owner) {}
  void btnSaveClick(TObject*) { ++clicks; }
  int clicks = 0;
};

GUI_DEFINE_CLASS(TButtonTestForm) { c.Handler("btnSaveClick", &TButtonTestForm::btnSaveClick); }

TEST(ButtonForm, PropertiesAndPngPicturesComeFromTheForm) {
  RegisterPngPicture();
  RegisterClasses({&TButtonTestForm::StaticClass()});  // the button registers itself
  std::unique_ptr<TButtonTestForm> form(CreateForm<TButtonTestForm>(nullptr));
  auto* save = dynamic_cast<TVeeButton*>(form->FindComponent("btnSave"));
  ASSERT_NE(nullptr, save);
  EXPECT_EQ("&Save", save->Caption());
  EXPECT_EQ(TVeeAlignment::alCustom, save->TextAlign());
  EXPECT_EQ(28, save->TextX());
  EXPECT_EQ(45, save->TextY());
  EXPECT_EQ(mrOk, save->ModalResult());
  EXPECT_TRUE(save->Default());
  EXPECT_TRUE(save->EnableTransparentColor());
  EXPECT_EQ(clLime, save->TransparentColor());
  EXPECT_TRUE(save->FontMouseHover()->Style().Contains(fsBold));
  EXPECT_EQ(4, save->PicNormal()->Width());
  EXPECT_EQ(2, save->PicNormal()->Height());
  EXPECT_TRUE(save->PicMouseHover()->Graphic() == nullptr);

  Shot shot(*save);
  EXPECT_EQ(clRed, shot.At(0, 0));
  EXPECT_EQ(clBlue, shot.At(3, 0));
  EXPECT_EQ(clWhite, shot.At(1, 1)) << "the green pixel is the key colour: the form's colour shows";
  EXPECT_EQ(clWhite, shot.At(2, 1)) << "a transparent pixel of the picture";
  save->Click();
  EXPECT_EQ(1, form->clicks);
}
