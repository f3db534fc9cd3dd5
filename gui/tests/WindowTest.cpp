// Window tests: a form read from its resource, shown under the test
// display, driven by messages through the automation helpers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "WindowClasses.h"
#include "gui/Automation.h"
#include "gui/Bitmap.h"
#include "gui/Dialogs.h"
#include "testsupport/FormFixture.h"
#include "testsupport/Hooks.h"

using namespace gui;
using namespace window_tests;
namespace at = gui::automation;

namespace {

bool Logged(const std::string& entry) { return std::find(Log().begin(), Log().end(), entry) != Log().end(); }

std::ptrdiff_t Position(const std::string& entry) {
  auto it = std::find(Log().begin(), Log().end(), entry);
  return it == Log().end() ? -1 : it - Log().begin();
}


void ClickAt(TControl* control, TPoint p, TMouseButton button = mbLeft) {
  at::MouseMove(control, p);
  at::MouseDown(control, button, p);
  at::MouseUp(control, button, p);
}

COLORREF PixelOf(HDC dc, int x, int y) { return GetPixel(dc, x, y); }

}  // namespace

class WindowTest : public testsupport::FormFixture<TWindowForm> {
 protected:
  static void SetUpTestSuite() {
    RegisterWindowClasses();
    Application->Initialize();
    at::Enable();
  }

  void SetUp() override {
    Log().clear();
    at::ClearRecords();
    SetCursorPos(0, 0);  // away from where the form shows
    FormFixture::SetUp();
    Log().clear();
  }
};

TEST_F(WindowTest, AFormReadFromItsResourceShowsCentredWithItsClientSize) {
  EXPECT_EQ(form->created, 1);
  RECT client, window;
  GetClientRect(form->Handle(), &client);
  GetWindowRect(form->Handle(), &window);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 200);
  EXPECT_EQ(form->ClientWidth(), 320);
  EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2);
  EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2);
  EXPECT_EQ(form->BoundsRect(), Rect(window.left, window.top, window.right, window.bottom));
  EXPECT_TRUE(IsWindowVisible(form->Handle()));

  auto* panel = Get<TPanel>("pnlBack");
  EXPECT_EQ(panel->Parent(), form);
  EXPECT_EQ(Get<TRecorder>("gcFirst")->Parent(), panel);
  RECT r;
  GetWindowRect(panel->Handle(), &r);
  MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(Rect(r.left, r.top, r.right, r.bottom), Bounds(10, 10, 150, 100));
  EXPECT_EQ(GetParent(panel->Handle()), form->Handle());
  EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), Application->Handle());
}

TEST_F(WindowTest, BoundsCallTheSystemOnlyOnAChangeAndFollowTheWindow) {
  auto* panel = Get<TPanel>("pnlBack");
  int changing = 0;
  panel->AddWindowHook([&](TMessage& m) {
    if (m.Msg == WM_WINDOWPOSCHANGING) ++changing;
    return false;
  });
  panel->SetBounds(10, 10, 150, 100);
  panel->SetLeft(10);
  EXPECT_EQ(changing, 0);
  panel->SetLeft(11);
  EXPECT_EQ(changing, 1);
  SetWindowPos(panel->Handle(), nullptr, 12, 14, 100, 80, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(panel->BoundsRect(), Bounds(12, 14, 100, 80));
  EXPECT_EQ(panel->ClientWidth(), 100);
}

TEST_F(WindowTest, ClicksReachTheTopmostWindowlessControlWithLocalCoordinates) {
  auto* first = Get<TRecorder>("gcFirst");
  auto* second = Get<TRecorder>("gcSecond");
  ClickAt(first, {5, 5});
  EXPECT_TRUE(Logged("gcFirst: down 5,5 captured"));
  EXPECT_TRUE(Logged("gcFirst: up 5,5"));
  EXPECT_TRUE(Logged("gcFirst: click"));
  EXPECT_EQ(GetCaptureControl(), nullptr);

  Log().clear();
  ClickAt(first, {25, 15});  // under the second control, which lies above
  EXPECT_TRUE(Logged("gcSecond: down 5,5 captured"));
  EXPECT_TRUE(Logged("gcSecond: click"));
  EXPECT_FALSE(Logged("gcFirst: click"));
  second->SetVisible(false);
  Log().clear();
  ClickAt(first, {25, 15});
  EXPECT_TRUE(Logged("gcFirst: click"));
}

TEST_F(WindowTest, CaptureKeepsAPressedControlAndEnterLeaveFollowTheMouse) {
  auto* first = Get<TRecorder>("gcFirst");
  auto* second = Get<TRecorder>("gcSecond");
  at::MouseMove(first, {5, 5});
  EXPECT_TRUE(Logged("gcFirst: enter"));
  at::MouseMove(second, {20, 20});
  EXPECT_TRUE(Logged("gcFirst: leave"));
  EXPECT_TRUE(Logged("gcSecond: enter"));
  EXPECT_LT(Position("gcFirst: leave"), Position("gcSecond: enter"));
  EXPECT_EQ(Application->MouseControl(), second);

  Log().clear();
  at::MouseDown(second, mbLeft, {20, 20});
  EXPECT_EQ(GetCaptureControl(), second);
  at::MouseMove(second, {100, 20});  // out of it, over the panel alone
  EXPECT_TRUE(Logged("gcSecond: leave"));
  EXPECT_TRUE(Logged("gcSecond: move 100,20"));
  at::MouseUp(second, mbLeft, {100, 20});
  EXPECT_TRUE(Logged("gcSecond: up 100,20"));
  EXPECT_FALSE(Logged("gcSecond: click"));
  EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(WindowTest, TabFollowsTheTabOrderAndFocusChangesAreNotified) {
  auto* a = Get<TWidget>("wA");
  auto* b = Get<TWidget>("wB");
  auto* c = Get<TWidget>("wC");
  auto* ok = Get<TButton>("btnOk");
  a->SetFocus();
  at::Pump();
  ASSERT_TRUE(a->Focused());
  EXPECT_EQ(form->ActiveControl(), a);
  std::vector<TWinControl*> order;
  for (int i = 0; i < 4; ++i) {
    at::PressKey(VK_TAB);
    order.push_back(form->ActiveControl());
  }
  EXPECT_EQ(order, (std::vector<TWinControl*>{c, ok, b, a}));
  EXPECT_TRUE(Logged("wA: exit"));
  EXPECT_TRUE(Logged("wC: enter"));
  EXPECT_TRUE(Logged("wC: focus changed"));
  at::PressKey(VK_TAB, {ssShift});
  EXPECT_TRUE(b->Focused());
}

TEST_F(WindowTest, AcceleratorsDialogKeysAndShortCuts) {
  auto* a = Get<TWidget>("wA");
  a->SetFocus();
  at::Pump();
  at::PressKey('N', {ssAlt});  // the label's accelerator focuses its control
  EXPECT_TRUE(Get<TWidget>("wB")->Focused());
  at::PressKey('A', {ssAlt});
  EXPECT_TRUE(Logged("wA: accelerator"));

  form->SetModalResult(mrNone);
  at::PressKey(VK_RETURN);  // the focused widget does not want Enter: the default button does
  EXPECT_EQ(form->ModalResult(), mrOk);
  EXPECT_FALSE(Logged("wB: key 13"));
  at::PressKey('X');
  EXPECT_TRUE(Logged("wB: key 88"));

  at::PressKey(VK_F1);
  EXPECT_TRUE(Logged("actHelp: execute"));
  Log().clear();
  Get<TAction>("actHelp")->SetEnabled(false);
  at::PressKey(VK_F1);
  EXPECT_FALSE(Logged("actHelp: execute"));
}

TEST_F(WindowTest, KeyPreviewLetsTheFormSeeKeysFirst) {
  Get<TWidget>("wA")->SetFocus();
  at::Pump();
  form->SetKeyPreview(true);
  form->OnKeyDown = [](TObject*, WORD& key, TShiftState) {
    if (key == 'Q') key = 0;
  };
  at::PressKey('Q');
  at::PressKey('R');
  EXPECT_FALSE(Logged("wA: key 81"));
  EXPECT_TRUE(Logged("wA: key 82"));
}

TEST_F(WindowTest, AModalFormEndsWithItsModalResultAndReenablesTheOthers) {
  TWindowForm* dialog = CreateForm<TWindowForm>(nullptr);
  bool ownerDisabled = false;
  int asked = 0;
  dialog->OnShow = [&](TObject*) {
    ownerDisabled = !IsWindowEnabled(form->Handle());
    PostMessageA(static_cast<TButton*>(dialog->FindComponent("btnOk"))->Handle(), BM_CLICK, 0, 0);
  };
  dialog->OnCloseQuery = [&](TObject*, bool& canClose) {
    // The first answer keeps it open; the loop goes on until asked again.
    if (++asked == 1) {
      canClose = false;
      PostMessageA(static_cast<TButton*>(dialog->FindComponent("btnOk"))->Handle(), BM_CLICK, 0, 0);
    }
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
  EXPECT_FALSE(dialog->Modal());
  delete dialog;
}

TEST_F(WindowTest, AFormShownInactiveLeavesTheActivationWhereItWas) {
  SetActiveWindow(form->Handle());
  ASSERT_EQ(GetActiveWindow(), form->Handle());
  std::unique_ptr<TWindowForm> notice(CreateForm<TWindowForm>(nullptr));
  int shown = 0;
  notice->OnShow = [&](TObject*) { ++shown; };
  notice->ShowInactive();
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(notice->Visible());
  EXPECT_TRUE(IsWindowVisible(notice->Handle()));
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  notice->ShowInactive();  // already shown: nothing more
  EXPECT_EQ(shown, 1);
  notice->Hide();
  EXPECT_FALSE(IsWindowVisible(notice->Handle()));
}

TEST_F(WindowTest, AModalLoopEndsWhenTheApplicationTerminates) {
  delete form;
  form = nullptr;
  delete Application;
  Application = new TApplication();
  Application->Initialize();
  TWindowForm* dialog = CreateForm<TWindowForm>(nullptr);
  auto* timer = static_cast<TTimer*>(dialog->FindComponent("tmrTick"));
  timer->OnTimer = [](TObject*) { Application->Terminate(); };
  timer->SetEnabled(true);
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_TRUE(Application->Terminated());
  delete dialog;
  MSG quit;
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  delete Application;
  Application = new TApplication();
  Application->Initialize();
  form = CreateForm<TWindowForm>(Application);  // for TearDown
}

TEST_F(WindowTest, ATimersNewIntervalRestartsItAndTicksArrive) {
  {
    testsupport::ScopedTimers fake;
    {
      TTimer timer(nullptr);
      timer.SetInterval(1000);
      timer.SetInterval(250);
      timer.SetEnabled(false);
      timer.SetInterval(300);
      timer.SetEnabled(true);
      timer.SetInterval(0);
    }
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"start 1000", "stop", "start 250", "stop", "start 300", "stop"}));
  }

  Get<TTimer>("tmrTick")->SetEnabled(true);
  EXPECT_TRUE(at::PumpUntil([&] { return form->ticks >= 3; }));
}

TEST_F(WindowTest, PopupMenusRunTheChosenItemWithItAsSender) {
  auto* first = Get<TRecorder>("gcFirst");
  auto* menu = Get<TPopupMenu>("popMenu");
  at::ChooseNextMenuItem("mniFirst");
  ClickAt(first, {5, 5}, mbRight);
  ASSERT_EQ(form->menuSenders.size(), 1u);
  EXPECT_EQ(form->menuSenders[0], form->FindComponent("mniFirst"));
  EXPECT_EQ(menu->PopupComponent(), first);
  EXPECT_EQ(at::PoppedMenus(), std::vector<std::string>{"popMenu"});

  // Items made and dropped at run time; what the menu handle shows.
  auto* extra = new TMenuItem(form);
  extra->SetCaption("Extra");
  extra->SetChecked(true);
  menu->Items()->Insert(0, extra);
  HMENU handle = menu->Items()->BuildHandle();
  EXPECT_EQ(GetMenuItemCount(handle), 3);
  EXPECT_TRUE(GetMenuState(handle, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_EQ(GetMenuDefaultItem(handle, FALSE, 0), static_cast<UINT>(Get<TMenuItem>("mniFirst")->Command()));
  char text[64] = {};
  GetMenuStringA(GetSubMenu(handle, 2), 0, text, sizeof(text), MF_BYPOSITION);
  EXPECT_STREQ(text, "Inner\tCtrl+A");
  DestroyMenu(handle);
  menu->Items()->Delete(0);
  EXPECT_EQ(menu->Items()->Count(), 2);
  EXPECT_EQ(form->FindComponent("Extra"), nullptr);

  at::ChooseNextMenuItem("Inner");
  menu->Popup(10, 10);
  EXPECT_EQ(form->menuSenders.back(), form->FindComponent("mniInner"));
}

TEST_F(WindowTest, AnExceptionInAHandlerShowsItsMessageAndTheProgramGoesOn) {
  auto* fail = Get<TButton>("btnFail");
  at::Click(fail);
  ASSERT_EQ(at::MessageBoxes().size(), 1u);
  EXPECT_EQ(at::MessageBoxes()[0].Text, "'x' is not a valid integer value");
  EXPECT_EQ(at::MessageBoxes()[0].Caption, Application->Title());
  EXPECT_TRUE(at::MessageBoxes()[0].Flags & MB_ICONSTOP);
  at::Click(fail);
  EXPECT_EQ(at::MessageBoxes().size(), 2u);
  ClickAt(Get<TRecorder>("gcFirst"), {5, 5});
  EXPECT_TRUE(Logged("gcFirst: click"));
}

TEST_F(WindowTest, MessageBoxesReturnTheAnswer) {
  at::AnswerNextMessageBox(IDNO);
  EXPECT_EQ(Application->ShowMessageBox("Sure?", "Warning", MB_YESNO | MB_ICONWARNING), IDNO);
  EXPECT_EQ(Application->ShowMessageBox("Sure?", "Warning", MB_YESNO), IDYES);
  // A box counts as open while it is answered, also when the answer throws.
  int openWhileAsked = 0;
  {
    testsupport::ScopedMessageBoxes boxes([&](HWND, const std::string&, const std::string&, UINT) -> int {
      openWhileAsked = OpenMessageBoxes();
      throw Exception("no answer");
    });
    EXPECT_THROW(Application->ShowMessageBox("Sure?", "Warning", MB_YESNO), Exception);
  }
  at::Enable();  // the suite's boxes go to the channel again
  EXPECT_EQ(openWhileAsked, 1);
  EXPECT_EQ(OpenMessageBoxes(), 0);
  testsupport::ScopedBeeps beeps;
  Beep();
  EXPECT_EQ(beeps.Count(), 1);
}

TEST_F(WindowTest, AFormPaintsItselfAndItsWindowlessChildren) {
  RECT window;
  GetWindowRect(form->Handle(), &window);
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(window.right - window.left, window.bottom - window.top);
  form->PaintTo(bitmap.Canvas().Handle(), 0, 0);
  HDC dc = bitmap.Canvas().Handle();
  TPoint o = form->ClientOrigin();
  int x = o.X - window.left, y = o.Y - window.top;
  if (const char* dir = std::getenv("BRIMVALE_SCREENSHOTS")) bitmap.SaveToFile(std::string(dir) + "\\window-form.bmp");
  EXPECT_EQ(PixelOf(dc, x + 5, y + 5), ColorToRGB(clBtnFace));
  EXPECT_EQ(PixelOf(dc, x + 10, y + 10), ColorToRGB(clBtnShadow));  // the lowered bevel
  EXPECT_EQ(PixelOf(dc, x + 100, y + 100), ColorToRGB(clWhite));
  EXPECT_EQ(PixelOf(dc, x + 22, y + 22), ColorToRGB(clRed));
  EXPECT_EQ(PixelOf(dc, x + 75, y + 55), ColorToRGB(clBlue));
  EXPECT_EQ(PixelOf(dc, x + 185, y + 15), ColorToRGB(clYellow));
  int ink = 0;
  auto* label = Get<TLabel>("lblName");
  for (int i = 0; i < label->Width(); ++i)
    for (int j = 0; j < label->Height(); ++j)
      if (PixelOf(dc, x + label->Left() + i, y + label->Top() + j) != ColorToRGB(clBtnFace)) ++ink;
  EXPECT_GT(ink, 10);

  // A container paints into a context handed in wParam (a child painting
  // its parent's background under itself relies on that).
  TBitmap part;
  part.SetPixelFormat(pf24bit);
  part.SetSize(20, 20);
  HDC pdc = part.Canvas().Handle();
  SetViewportOrgEx(pdc, -15, -15, nullptr);
  auto* panel = Get<TPanel>("pnlBack");
  SendMessageA(panel->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(pdc), 0);
  SendMessageA(panel->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(pdc), 0);
  SetViewportOrgEx(pdc, 0, 0, nullptr);
  EXPECT_EQ(PixelOf(pdc, 0, 0), ColorToRGB(clRed));     // gcFirst at 10..50
  EXPECT_EQ(PixelOf(pdc, 19, 19), ColorToRGB(clBlue));  // gcSecond from 30, 20
}

TEST_F(WindowTest, WindowHooksSeeMessagesFirstAndGoInAnyOrder) {
  std::vector<std::string> seen;
  auto hook = [&](const char* name, UINT consume) {
    return form->AddWindowHook([&seen, name, consume](TMessage& m) {
      if (m.Msg < WM_USER + 7 || m.Msg > WM_USER + 8) return false;
      seen.push_back(name);
      if (m.Msg != consume) return false;
      m.Result = 42;
      return true;
    });
  };
  int a = hook("a", 0), b = hook("b", WM_USER + 8), c = hook("c", 0);
  SendMessageA(form->Handle(), WM_USER + 7, 0, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"c", "b", "a"}));
  seen.clear();
  EXPECT_EQ(SendMessageA(form->Handle(), WM_USER + 8, 0, 0), 42);
  EXPECT_EQ(seen, (std::vector<std::string>{"c", "b"}));
  form->RemoveWindowHook(b);
  seen.clear();
  SendMessageA(form->Handle(), WM_USER + 8, 0, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"c", "a"}));
  form->RemoveWindowHook(a);
  form->RemoveWindowHook(c);
  seen.clear();
  SendMessageA(form->Handle(), WM_USER + 7, 0, 0);
  EXPECT_TRUE(seen.empty());

  form->SetMessageHandler(WM_QUERYENDSESSION, [](TMessage& m) { m.Result = 1; });
  form->OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
  EXPECT_EQ(SendMessageA(form->Handle(), WM_QUERYENDSESSION, 0, 0), 1);
  form->SetMessageHandler(WM_QUERYENDSESSION, nullptr);
  EXPECT_EQ(SendMessageA(form->Handle(), WM_QUERYENDSESSION, 0, 0), 0);
  form->OnCloseQuery = nullptr;
}

TEST_F(WindowTest, RecreatingWindowsKeepsTheirState) {
  auto* list = new TListBox(form);
  list->SetParent(form);
  list->SetBounds(10, 120, 100, 60);
  list->Items()->Add("one");
  list->Items()->AddObject("two", form);
  list->SetItemIndex(1);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetText("typed");
  HWND before = list->Handle();
  int width = form->Width();
  form->SetBorderStyle(bsNone);
  EXPECT_NE(list->Handle(), before);
  EXPECT_EQ(list->Items()->Count(), 2);
  EXPECT_EQ(list->Items()->Strings(1), "two");
  EXPECT_EQ(list->Items()->Objects(1), form);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(edit->Text(), "typed");
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(form->Width(), width);
  EXPECT_EQ(form->ClientWidth(), width);  // no frame now
  EXPECT_FALSE(GetWindowLongPtrA(form->Handle(), GWL_STYLE) & WS_CAPTION);
  // Style edits made after creation hold through a recreation.
  form->EditExStyle(0, WS_EX_TOOLWINDOW);
  form->RecreateWnd();
  EXPECT_TRUE(GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST_F(WindowTest, FontsAndColoursFollowTheParentUntilSetThemselves) {
  auto* label = Get<TLabel>("lblName");
  EXPECT_TRUE(label->ParentFont());
  form->Font()->SetHeight(-15);
  EXPECT_EQ(label->Font()->Height(), -15);
  EXPECT_EQ(Get<TPanel>("pnlBack")->Font()->Height(), -15);
  label->Font()->SetStyle({fsBold});
  EXPECT_FALSE(label->ParentFont());
  form->Font()->SetHeight(-11);
  EXPECT_EQ(label->Font()->Height(), -15);

  EXPECT_EQ(label->Color(), clBtnFace);
  form->SetColor(clAqua);
  EXPECT_EQ(label->Color(), clAqua);
  EXPECT_TRUE(label->ParentColor());
  EXPECT_EQ(Get<TPanel>("pnlBack")->Color(), clWhite);

  // A colour set is the control's own, even the one it shows already: the
  // colour a class gives its controls too.
  label->SetColor(clAqua);
  EXPECT_FALSE(label->ParentColor());
  form->SetColor(clBtnFace);
  EXPECT_EQ(label->Color(), clAqua);
  auto* list = new TListBox(form);
  list->SetParent(form);
  EXPECT_FALSE(list->ParentColor());
  EXPECT_EQ(list->Color(), clWindow);
}

TEST_F(WindowTest, AlignedAndAnchoredChildrenFollowTheirParent) {
  auto* bottom = new TPanel(form);
  bottom->SetParent(form);
  bottom->SetHeight(30);
  bottom->SetAlign(alBottom);
  EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 170, 320, 30));
  auto* ok = Get<TButton>("btnOk");
  ok->SetAnchors({akRight, akBottom});
  int left = ok->Left(), top = ok->Top();
  form->SetClientWidth(400);
  form->SetClientHeight(250);
  EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 220, 400, 30));
  EXPECT_EQ(ok->Left(), left + 80);
  EXPECT_EQ(ok->Top(), top + 50);
}

TEST_F(WindowTest, AControlWithoutItsWindowKnowsTheClientAreaTheWindowWillHave) {
  auto check = [&](TWinControl* control, const char* what, TWinControl* parent = nullptr) {
    SCOPED_TRACE(what);
    ASSERT_FALSE(control->HandleAllocated());
    const TRect before = control->ClientRect();
    if (parent)
      control->SetParent(parent);  // the shown form's child gets its window at once
    else
      control->HandleNeeded();
    ASSERT_TRUE(control->HandleAllocated());
    EXPECT_EQ(before, control->ClientRect());
  };
  for (TBorderStyle style : {bsNone, bsSingle}) {
    auto* panel = new TPanel(form);
    panel->SetBounds(10, 10, 120, 80);
    panel->SetBorderStyle(style);
    check(panel, style == bsNone ? "a panel without a border" : "a panel with a border", form);
  }
  for (TFormBorderStyle style : {bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin}) {
    TForm other(nullptr);
    other.SetBorderStyle(style);
    other.SetBounds(50, 50, 300, 200);
    check(&other, ("a form of border style " + std::to_string(int(style))).c_str());
  }
}

TEST_F(WindowTest, HintsShowAfterThePauseAndMayHoldSeveralLines) {
  THintWindow hint(nullptr);
  TRect one = hint.CalcHintRect(300, "Free memory");
  TRect two = hint.CalcHintRect(300, "Free memory\r\nnow");
  EXPECT_GT(two.Height(), one.Height());

  auto* first = Get<TRecorder>("gcFirst");
  first->SetHint("Line one\r\nLine two");
  first->SetShowHint(true);
  Application->HintPause = 10;
  at::MouseMove(first, {5, 5});
  ASSERT_TRUE(at::PumpUntil([&] { return Application->HintControl() == first; }));
  EXPECT_TRUE(Application->HintWindow()->IsHintShowing());
  EXPECT_EQ(Application->HintWindow()->Caption(), "Line one\r\nLine two");
  EXPECT_EQ(Application->HintWindow()->Color(), Application->HintColor());
  at::MouseDown(first, mbLeft, {5, 5});
  EXPECT_EQ(Application->HintControl(), nullptr);
  at::MouseUp(first, mbLeft, {5, 5});
}

TEST_F(WindowTest, TheApplicationWindowHooksSeeMinimizeAndRestore) {
  bool minimized = false;
  int id = Application->HookMainWindow([&](TMessage& m) {
    if (m.Msg == WM_SIZE && m.WParam == SIZE_MINIMIZED) minimized = true;
    return false;
  });
  Application->Minimize();
  at::Pump();
  EXPECT_TRUE(minimized);
  EXPECT_TRUE(IsIconic(Application->Handle()));
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  Application->Restore();
  at::Pump();
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  Application->UnhookMainWindow(id);
  ShowWindow(Application->Handle(), SW_HIDE);
}

TEST(Parameters, TheProgramAndItsParametersAsTheSystemSplitsThem) {
  std::string program = ParamStr(0);
  EXPECT_EQ(program.substr(program.size() - 4), ".exe");
  ASSERT_EQ(ParamCount(), __argc - 1);
  for (int i = 1; i < __argc; ++i) EXPECT_EQ(ParamStr(i), __argv[i]);
  EXPECT_EQ(ParamStr(ParamCount() + 1), "");
}
