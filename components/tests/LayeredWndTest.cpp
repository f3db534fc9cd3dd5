// The layered window with its labels and buttons, shown under the test
// display and driven by messages, its keys through the system's input queue.
// What the window shows is read from its drawing buffer; what reaches the
// platform, from a recorder in place of UpdateLayeredWindow.
#include "LayeredButton.h"
#include "LayeredLabel.h"
#include "LayeredTestSupport.h"
#include "LayeredWnd.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "gui/Automation.h"
#include "gui/FormReader.h"
#include "testsupport/FormFixture.h"
#include "testsupport/Hooks.h"

using namespace components;

namespace at = gui::automation;
using gui::Bounds;
using gui::TRect;

namespace {

std::vector<std::string> events;

struct TPresented {
  HWND Window;
  SIZE Size;
  POINT Source;
  COLORREF Key;
  BYTE Alpha;
  BYTE AlphaFormat;
  DWORD Flags;
  bool NoPosition;
  bool Accepted;  // what the platform answered
};
std::vector<TPresented> presented;

BOOL WINAPI RecordPresent(HWND window, HDC screen, POINT* position, SIZE* size, HDC source, POINT* sourcePoint,
                          COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
  const BOOL accepted = UpdateLayeredWindow(window, screen, position, size, source, sourcePoint, key, blend, flags);
  presented.push_back({window, *size, *sourcePoint, key, blend->SourceConstantAlpha, blend->AlphaFormat, flags,
                       position == nullptr && screen == nullptr, accepted != FALSE});
  return accepted;
}

}  // namespace

class TLayeredTestForm : public TfrmLayered {
  GUI_CLASS(TLayeredTestForm, TfrmLayered)

 public:
  explicit TLayeredTestForm(gui::TComponent* owner) : TfrmLayered(owner) {}
  void lylblTitleMouseDown(gui::TObject*, gui::TMouseButton, gui::TShiftState, int, int) {
    events.push_back("title: mouse down at " + std::to_string(Left()) + ", " + std::to_string(Top()));
  }
  void lybtnCloseClick(gui::TObject*) { events.push_back("close: click"); }
  void lybtnLinkClick(gui::TObject*) { events.push_back("link: click"); }
  void lybtnLinkMouseEnter(gui::TObject*) { events.push_back("link: enter"); }
  void lybtnLinkMouseExit(gui::TObject*) { events.push_back("link: exit"); }
};

GUI_DEFINE_CLASS(TLayeredTestForm) {
  c.Handler("lylblTitleMouseDown", &TLayeredTestForm::lylblTitleMouseDown);
  c.Handler("lybtnCloseClick", &TLayeredTestForm::lybtnCloseClick);
  c.Handler("lybtnLinkClick", &TLayeredTestForm::lybtnLinkClick);
  c.Handler("lybtnLinkMouseEnter", &TLayeredTestForm::lybtnLinkMouseEnter);
  c.Handler("lybtnLinkMouseExit", &TLayeredTestForm::lybtnLinkMouseExit);
}

namespace {

// The pointer to a screen point through the system's input queue, with the
// buttons of `flags`.
void SendMouse(DWORD flags, int x, int y) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  SendInput(1, &input, sizeof input);
}

// Presses the left button at a screen point, moves by (dx, dy) in two steps
// and lets go, through the system's real input, as a user would. Messages
// are handled meanwhile; returns once all input has been handled. Should the
// system's move loop miss the release, Esc ends it, so that a fault shows as
// a window in the wrong place rather than a test that never ends.
void DragWithTheMouse(gui::TPoint start, int dx, int dy) {
  std::atomic<bool> sent{false}, settled{false};
  std::thread mouse([&] {
    auto send = [](DWORD flags, int x, int y) {
      SendMouse(flags, x, y);
      Sleep(100);  // let the window's thread take each step
    };
    send(0, start.X, start.Y);
    send(MOUSEEVENTF_LEFTDOWN, start.X, start.Y);
    send(0, start.X + dx / 2, start.Y + dy / 2);
    send(0, start.X + dx, start.Y + dy);
    send(MOUSEEVENTF_LEFTUP, start.X + dx, start.Y + dy);
    sent = true;
    for (int i = 0; i < 200 && !settled; ++i) Sleep(50);
    if (!settled) {
      INPUT escape[2]{};
      escape[0].type = escape[1].type = INPUT_KEYBOARD;
      escape[0].ki.wVk = escape[1].ki.wVk = VK_ESCAPE;
      escape[1].ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(2, escape, sizeof(INPUT));
    }
  });
  while (!settled) {
    const bool allSent = sent;
    gui::Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    if (allSent) settled = true;
  }
  mouse.join();
  at::Pump();
}

constexpr std::uint32_t kBackground = 0xFF336699;
constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kGray = 0xFF808080;

class LayeredWindowTest : public testsupport::FormFixture<TLayeredTestForm> {
 protected:
  static void SetUpTestSuite() {
    gui::Application->Initialize();
    at::Enable();
    scratch_ = new ScratchFolder("layered-window");
    auto save = [](const std::string& name, int width, int height, int border, std::uint32_t argb) {
      const std::string path = scratch_->Path() + name;
      EXPECT_TRUE(SavePng(*MakeFramedImage(width, height, border, argb), path)) << name;
      return path;
    };
    background_ = save("background.png", 240, 140, 10, kBackground);
    smallBackground_ = save("small.png", 24, 14, 0, kGreen);
    normal_ = save("normal.png", 16, 16, 0, kRed);
    hover_ = save("hover.png", 16, 16, 0, kGreen);
    down_ = save("down.png", 16, 16, 0, kBlue);
    disabled_ = save("disabled.png", 16, 16, 0, kGray);
  }
  static void TearDownTestSuite() {
    at::Pump();
    delete scratch_;
  }

  void SetUp() override {
    events.clear();
    SetCursorPos(0, 0);  // away from where the window shows
    FormFixture::SetUp();
    title = Get<TLayeredLabel>("lylblTitle");
    close = Get<TLayeredButton>("lybtnClose");
    link = Get<TLayeredButton>("lybtnLink");
    events.clear();
    presented.clear();
  }

  // Without a window manager the keys go to the window under the pointer:
  // it rests on a bare part of the form until the form is the active one.
  bool TakeTheKeys() {
    const gui::TPoint rest = form->ClientToScreen({150, 70});
    SendMouse(0, rest.X, rest.Y);
    return testsupport::PumpUntil([&] { return GetActiveWindow() == form->Handle(); }, 60000);
  }
  // A key through the system's input queue, pressed and let go; the messages
  // are handled until something answered it.
  static bool RealKey(WORD key) {
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[0].ki.wScan = input[1].ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    const bool answered = testsupport::PumpUntil([] { return !events.empty(); }, 60000);
    at::Pump();
    return answered;
  }

  std::uint32_t Pixel(int x, int y) { return form->Surface().Pixel(x, y); }
  // The pixel at the centre of a control.
  std::uint32_t CentreOf(gui::TControl* c) { return Pixel(c->Left() + c->Width() / 2, c->Top() + c->Height() / 2); }
  bool HasInk(gui::TControl* c, std::uint32_t colour) { return HasPixel(form->Surface(), colour, c->BoundsRect()); }
  std::vector<std::uint32_t> Snapshot() {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < form->Surface().Height(); ++y)
      for (int x = 0; x < form->Surface().Width(); ++x) pixels.push_back(Pixel(x, y));
    return pixels;
  }

  testsupport::Scoped recorder{SetLayeredWindowUpdater, &RecordPresent, nullptr};
  TLayeredLabel* title = nullptr;
  TLayeredButton* close = nullptr;
  TLayeredButton* link = nullptr;

  static inline ScratchFolder* scratch_ = nullptr;
  static inline std::string background_, smallBackground_, normal_, hover_, down_, disabled_;
};

}  // namespace

TEST_F(LayeredWindowTest, WindowIsBorderlessLayeredWithBuffersOfItsSize) {
  HWND window = form->Handle();
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  EXPECT_EQ(0, style & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_EQ(WS_EX_LAYERED, exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_DLGMODALFRAME));
  ASSERT_NE(nullptr, form->MemGraphics());
  EXPECT_NE(nullptr, form->MemDC());
  EXPECT_NE(nullptr, form->BackgroundDC());
  EXPECT_EQ(240, form->Surface().Width());
  EXPECT_EQ(140, form->Surface().Height());
  EXPECT_EQ(Gdiplus::TextRenderingHintAntiAlias, form->MemGraphics()->GetTextRenderingHint());
  EXPECT_EQ(255, form->BlendAlpha());
  EXPECT_EQ(0xFF00FFu, form->KeyColor());

  form->SetTextQuality(TextQuality_ClearTypeGridFit);
  EXPECT_EQ(Gdiplus::TextRenderingHintClearTypeGridFit, form->MemGraphics()->GetTextRenderingHint());
  form->SetTextQuality(static_cast<TTextQuality>(7));
  EXPECT_EQ(Gdiplus::TextRenderingHintSystemDefault, form->MemGraphics()->GetTextRenderingHint());
}

TEST_F(LayeredWindowTest, PaintComposesBackgroundTextAndPicturesAndPresentsWithAlphaOnly) {
  close->SetPicNormal(normal_);
  form->SetBackgroundImage(background_);
  EXPECT_EQ(background_, form->BackgroundImage());

  EXPECT_EQ(0u, Pixel(4, 70)) << "the transparent border";
  EXPECT_EQ(kBackground, Pixel(120, 70));
  EXPECT_TRUE(HasInk(title, 0xFFFFFFFF)) << "white title text";
  EXPECT_EQ(kRed, CentreOf(close));
  EXPECT_EQ(kBackground, Pixel(close->Left() + 5, close->Top() + 5)) << "the picture is centred in its own size";
  EXPECT_TRUE(HasInk(link, 0xFF0000FF)) << "blue link text";

  ASSERT_FALSE(presented.empty());
  const TPresented& last = presented.back();
  EXPECT_EQ(form->Handle(), last.Window);
  EXPECT_TRUE(last.NoPosition);
  EXPECT_EQ(240, last.Size.cx);
  EXPECT_EQ(140, last.Size.cy);
  EXPECT_EQ(0, last.Source.x);
  EXPECT_EQ(0, last.Source.y);
  EXPECT_EQ(DWORD{ULW_ALPHA}, last.Flags) << "no colour key";
  EXPECT_EQ(AC_SRC_ALPHA, last.AlphaFormat);
  EXPECT_EQ(255, last.Alpha);
}

TEST_F(LayeredWindowTest, AResizedWindowIsStillPresentedAtItsBuffersSize) {
  form->SetBackgroundImage(background_);
  form->SetBounds(form->Left(), form->Top(), 300, 200);
  presented.clear();
  form->Repaint();
  ASSERT_FALSE(presented.empty());
  EXPECT_EQ(240, presented.back().Size.cx);
  EXPECT_EQ(140, presented.back().Size.cy);
  EXPECT_TRUE(presented.back().Accepted) << "the window goes on updating";
}

TEST_F(LayeredWindowTest, PropertiesStoredInAFormTakeEffect) {
  gui::TMemoryFormSource source;
  source.AddForm("TfrmLayered", "object frmStored: TfrmLayered\n"
                                "  Width = 120\n"
                                "  Height = 80\n"
                                "  BorderStyle = bsNone\n"
                                "  BackgroundImage = '" + background_ + "'\n"
                                "  TextQuality = TextQuality_SingleBitPerPixel\n"
                                "end\n");
  std::unique_ptr<TfrmLayered> fromFile(new TfrmLayered(nullptr));
  gui::ReadForm(*fromFile, source);
  EXPECT_EQ(background_, fromFile->BackgroundImage());
  ASSERT_TRUE(fromFile->HasBackground());
  fromFile->Repaint();
  EXPECT_EQ(kBackground, fromFile->Surface().Pixel(60, 40));
  ASSERT_NE(nullptr, fromFile->MemGraphics());
  EXPECT_EQ(Gdiplus::TextRenderingHintSingleBitPerPixel, fromFile->MemGraphics()->GetTextRenderingHint());

  source.AddForm("TfrmLayered", "object frmStored: TfrmLayered\n"
                                "  Width = 120\n"
                                "  Height = 80\n"
                                "  BorderStyle = bsNone\n"
                                "  ResourcesTypeName = 'PNG'\n"
                                "  BackgroundResourcesName = 'LAYERED_BLUE'\n"
                                "end\n");
  std::unique_ptr<TfrmLayered> fromResource(new TfrmLayered(nullptr));
  gui::ReadForm(*fromResource, source);
  ASSERT_TRUE(fromResource->HasBackground());
  fromResource->Repaint();
  EXPECT_EQ(0xFF2040C0u, fromResource->Surface().Pixel(60, 40));
  EXPECT_EQ(Gdiplus::TextRenderingHintAntiAlias, fromResource->MemGraphics()->GetTextRenderingHint())
      << "the buffers' own hint while the form stores none";
}

TEST_F(LayeredWindowTest, BlendAlphaTakesEffectAtTheNextPaintAndKeyColorChangesNothing) {
  form->SetBackgroundImage(background_);
  form->SetBlendAlpha(128);
  presented.clear();
  const auto before = Snapshot();
  form->SetKeyColor(0x00FF00);
  ASSERT_FALSE(presented.empty()) << "a new key colour repaints";
  for (const TPresented& p : presented) {
    EXPECT_EQ(128, p.Alpha);
    EXPECT_EQ(0x00FF00u, p.Key);
    EXPECT_EQ(DWORD{ULW_ALPHA}, p.Flags);
  }
  EXPECT_EQ(before, Snapshot());
}

TEST_F(LayeredWindowTest, BackgroundThatCannotLoadKeepsThePreviousOne) {
  form->SetBackgroundImage(background_);
  form->SetBackgroundImage(scratch_->Path() + "missing.png");
  EXPECT_EQ(background_, form->BackgroundImage());
  EXPECT_EQ(kBackground, Pixel(120, 70));

  // A smaller picture is stretched over the whole window.
  form->SetBackgroundImage(smallBackground_);
  EXPECT_EQ(smallBackground_, form->BackgroundImage());
  EXPECT_EQ(kGreen, Pixel(2, 70));
  EXPECT_EQ(kGreen, Pixel(239, 139));
}

TEST_F(LayeredWindowTest, BackgroundFromAResourceLoadsOnceTypeAndNameAreKnown) {
  form->SetBackgroundResourcesName("LAYERED_BLUE");
  EXPECT_FALSE(form->HasBackground()) << "a name without a type loads nothing";
  form->SetResourcesTypeName("PNG");
  ASSERT_TRUE(form->HasBackground());
  EXPECT_EQ(0xFF2040C0u, Pixel(120, 70));
  EXPECT_EQ(0u, Pixel(1, 1)) << "the resource's transparent border, stretched";

  form->SetBackgroundResourcesName("NO_SUCH_PICTURE");
  EXPECT_EQ(0xFF2040C0u, Pixel(120, 70)) << "a missing resource changes nothing";
}

TEST_F(LayeredWindowTest, LabelDrawsOnlyOnceTheWindowHasPainted) {
  auto* label = new TLayeredLabel(form);
  label->SetParent(form);
  label->SetBounds(20, 60, 150, 24);
  label->Font()->SetColor(gui::clYellow);
  label->Font()->SetHeight(-15);
  label->SetCaption("Late label");
  at::Pump();
  EXPECT_EQ(nullptr, label->LayeredParent());
  EXPECT_FALSE(HasInk(label, 0xFFFFFF00)) << "no window to draw into yet";

  form->Repaint();
  EXPECT_EQ(form, label->LayeredParent());
  EXPECT_TRUE(HasInk(label, 0xFFFFFF00));
}

TEST_F(LayeredWindowTest, FormPaintPresentsOnceAndControlsPresentOnTheirOwnAfter) {
  form->SetBackgroundImage(background_);
  presented.clear();
  form->Repaint();
  EXPECT_EQ(1u, presented.size()) << "the whole picture, once, after every control drew";
  title->SetCaption("Changed");
  EXPECT_EQ(2u, presented.size()) << "a control's own change still reaches the window";
}

TEST_F(LayeredWindowTest, BlankCaptionRestoresItsAreaAndStillPresents) {
  form->SetBackgroundImage(background_);
  ASSERT_TRUE(HasInk(title, 0xFFFFFFFF));
  presented.clear();
  title->SetCaption("   ");
  EXPECT_FALSE(HasInk(title, 0xFFFFFFFF));
  EXPECT_EQ(kBackground, CentreOf(title));
  EXPECT_FALSE(presented.empty());
}

TEST_F(LayeredWindowTest, LabelHoverShowsOnlyWithStateFonts) {
  form->SetBackgroundImage(background_);
  const auto before = Snapshot();
  title->Perform(gui::CM_MOUSEENTER);
  EXPECT_TRUE(title->Hover());
  EXPECT_EQ(before, Snapshot()) << "without state fonts hovering changes nothing";
  title->Perform(gui::CM_MOUSELEAVE);
  EXPECT_FALSE(title->Hover());

  gui::TFont red;
  red.Assign(title->Font());
  red.SetColor(gui::clRed);
  title->SetFontMouseHover(&red);
  title->SetEnableStatesFont(true);
  EXPECT_FALSE(HasInk(title, kRed));
  title->Perform(gui::CM_MOUSEENTER);
  EXPECT_TRUE(HasInk(title, kRed));
  EXPECT_FALSE(HasInk(title, 0xFFFFFFFF));
}

TEST_F(LayeredWindowTest, DraggingTheLabelOrTheBackgroundMovesTheWindow) {
  form->SetBackgroundImage(background_);
  at::Pump();
  const int left = form->Left(), top = form->Top();
  DragWithTheMouse(title->ClientToScreen({20, 10}), 30, 20);
  EXPECT_EQ(left + 30, form->Left());
  EXPECT_EQ(top + 20, form->Top());
  const std::string before = "title: mouse down at " + std::to_string(left) + ", " + std::to_string(top);
  EXPECT_EQ((std::vector<std::string>{before}), events) << "OnMouseDown comes before the drag";
  EXPECT_TRUE(title->Hover()) << "the drag ends over the label";
  EXPECT_FALSE(title->Down());

  DragWithTheMouse(form->ClientToScreen({120, 80}), -40, 10);
  EXPECT_EQ(left - 10, form->Left());
  EXPECT_EQ(top + 30, form->Top());

  title->SetMoveHandler(false);
  DragWithTheMouse(title->ClientToScreen({20, 10}), 30, 20);
  EXPECT_EQ(left - 10, form->Left()) << "without MoveHandler the label keeps the press";
}

TEST_F(LayeredWindowTest, ButtonShowsThePictureOfItsState) {
  form->Repaint();
  close->SetPicNormal(normal_);
  close->SetPicMouseHover(scratch_->Path() + "missing.png");
  EXPECT_EQ("", close->PicMouseHover());
  at::MouseMove(close, {16, 16});
  EXPECT_TRUE(close->Hover());
  EXPECT_EQ(kRed, CentreOf(close)) << "no hover picture: the normal one";

  close->SetPicMouseHover(hover_);
  close->SetPicMouseDown(down_);
  close->SetPicDisabled(disabled_);
  EXPECT_EQ(kGreen, CentreOf(close));
  at::MouseDown(close, gui::mbLeft, {16, 16});
  EXPECT_EQ(kBlue, CentreOf(close));
  at::MouseUp(close, gui::mbLeft, {16, 16});
  EXPECT_EQ((std::vector<std::string>{"close: click"}), events);
  EXPECT_EQ(kGreen, CentreOf(close)) << "released inside: hover";

  close->SetEnabled(false);
  EXPECT_EQ(kGray, CentreOf(close));
  close->SetPicDisabled("");
  EXPECT_EQ(kRed, CentreOf(close));
  EXPECT_EQ(nullptr, close->Picture(Look_Disabled));
}

TEST_F(LayeredWindowTest, RemovedPictureLeavesTheCaptionOnly) {
  form->SetBackgroundImage(background_);
  link->SetPicNormal(normal_);
  link->SetPictureAlign(Alignment_TopLeft);
  EXPECT_EQ(kRed, Pixel(link->Left() + 2, link->Top() + 2));
  link->SetPicNormal("");
  EXPECT_EQ("", link->PicNormal());
  EXPECT_EQ(kBackground, Pixel(link->Left() + 2, link->Top() + 2));
  EXPECT_TRUE(HasInk(link, 0xFF0000FF));
}

TEST_F(LayeredWindowTest, SmallPictureCentredOrStretched) {
  form->Repaint();
  close->SetPicNormal(normal_);
  const int left = close->Left(), top = close->Top();
  EXPECT_EQ(0u, Pixel(left + 7, top + 8));
  EXPECT_EQ(kRed, Pixel(left + 8, top + 8));
  EXPECT_EQ(kRed, Pixel(left + 23, top + 23));
  EXPECT_EQ(0u, Pixel(left + 24, top + 23));

  close->SetStretch(true);
  EXPECT_EQ(0u, Pixel(left + 7, top + 8));
  EXPECT_EQ(kRed, Pixel(left + 31, top + 31)) << "scaled to 32 x 32 from (8, 8), up to the button's edge";
  EXPECT_EQ(0u, Pixel(left + 32, top + 20)) << "nothing beyond the button";
}

TEST_F(LayeredWindowTest, ResourcePicturesLoadOnlyWithTheTypeSetFirst) {
  close->SetImageResourcesNameNormal("LAYERED_BLUE");
  close->SetResourcesTypeName("PNG");
  EXPECT_EQ(nullptr, close->Picture(Look_Normal)) << "the type came too late";
  close->SetImageResourcesNameNormal("LAYERED_BLUE");
  ASSERT_NE(nullptr, close->Picture(Look_Normal));
  EXPECT_EQ(20, ImageWidth(close->Picture(Look_Normal)));
  close->SetImageResourcesNameNormal("NO_SUCH_PICTURE");
  EXPECT_NE(nullptr, close->Picture(Look_Normal)) << "a missing resource keeps the picture";
  EXPECT_EQ("NO_SUCH_PICTURE", close->ImageResourcesNameNormal());
}

TEST_F(LayeredWindowTest, KeysAndAcceleratorsClickTheButton) {
  ASSERT_TRUE(TakeTheKeys());
  link->SetFocus();
  at::Pump();
  ASSERT_TRUE(link->Focused());
  EXPECT_TRUE(RealKey(VK_SPACE));
  EXPECT_EQ((std::vector<std::string>{"link: click"}), events);
  EXPECT_TRUE(link->Hover());
  EXPECT_FALSE(link->Down());

  events.clear();
  EXPECT_NE(0, form->Perform(gui::CM_DIALOGCHAR, 'h'));
  EXPECT_EQ((std::vector<std::string>{"link: click"}), events);

  events.clear();
  EXPECT_TRUE(RealKey(VK_RETURN));
  EXPECT_EQ((std::vector<std::string>{"link: click"}), events) << "Enter presses the focused button";

  // Enter from elsewhere reaches only the default button.
  events.clear();
  EXPECT_EQ(0, form->Perform(gui::CM_DIALOGKEY, VK_RETURN));
  EXPECT_TRUE(events.empty());
  link->SetDefault(true);
  ::SetFocus(form->Handle());
  at::Pump();
  EXPECT_TRUE(link->ActiveDefault());
  EXPECT_TRUE(RealKey(VK_RETURN));
  EXPECT_EQ((std::vector<std::string>{"link: click"}), events) << "Enter presses the Default button";

  events.clear();
  link->SetFocus();
  at::Pump();
  EXPECT_TRUE(RealKey(VK_ESCAPE));
  EXPECT_EQ((std::vector<std::string>{"close: click"}), events) << "Esc clicks the Cancel button";
  EXPECT_EQ(gui::mrCancel, form->ModalResult());
}

TEST_F(LayeredWindowTest, CancelButtonEndsTheModalWindowWithItsResult) {
  form->Hide();
  at::Pump();
  PostMessageW(close->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(16, 16));
  PostMessageW(close->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(16, 16));
  EXPECT_EQ(gui::mrCancel, form->ShowModal());
  EXPECT_EQ((std::vector<std::string>{"close: click"}), events);
}

TEST_F(LayeredWindowTest, PressDraggedOutStillPairsEnterWithExit) {
  at::MouseMove(link, {10, 10});
  at::MouseDown(link, gui::mbLeft, {10, 10});
  at::MouseMove(link, {10, 60});
  EXPECT_TRUE(link->Down()) << "a pressed button stays pressed outside";
  at::MouseUp(link, gui::mbLeft, {10, 60});
  EXPECT_FALSE(link->Down());
  EXPECT_FALSE(link->Hover());
  EXPECT_EQ((std::vector<std::string>{"link: enter", "link: exit"}), events) << "no click outside";
}
