#include "TrayIcon.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <utility>

#include "testsupport/Hooks.h"
#include "testsupport/Pump.h"
#include "SimpleTimer.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/FormReader.h"
#include "gui/Forms.h"
#include "gui/Icon.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"

using namespace components;

using namespace gui;

namespace {

struct ShellCall {
  DWORD message;
  NOTIFYICONDATAA data;
};

// The notification area as the tray icon sees it: records every call.
class FakeShell : public TTrayIconShell {
 public:
  std::vector<ShellCall> calls;
  bool answer = true;
  POINT cursor{300, 700};
  std::set<int> keysDown;
  UINT doubleClickTime = 20;

  bool NotifyIcon(DWORD message, NOTIFYICONDATAA& data) override {
    calls.push_back({message, data});
    return answer;
  }
  bool CursorPos(POINT& point) override {
    point = cursor;
    return true;
  }
  bool KeyDown(int key) override { return keysDown.count(key) != 0; }
  UINT DoubleClickTime() override { return doubleClickTime; }

  const ShellCall& Last() const { return calls.back(); }
  int Count(DWORD message) const {
    int n = 0;
    for (const ShellCall& call : calls) n += call.message == message;
    return n;
  }
};

// The colour in the middle of an icon's image.
COLORREF IconColor(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return CLR_INVALID;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = 16;
  bmi.bmiHeader.biHeight = -16;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> pixels(16 * 16);
  HDC dc = GetDC(nullptr);
  int rows = GetDIBits(dc, info.hbmColor, 0, 16, pixels.data(), &bmi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  if (rows != 16) return CLR_INVALID;
  std::uint32_t bgra = pixels[8 * 16 + 8];
  return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

const COLORREF kImageColors[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0), RGB(0, 255, 255)};

}  // namespace

// A main form with its tray icon, image list and tray menu, read from its
// form resource.
class TTrayForm : public TForm {
  GUI_CLASS(TTrayForm, TForm)

 public:
  explicit TTrayForm(TComponent* owner) : TForm(owner) {}
  TTrayIcon* Tray() { return &FindComponent("tiTrayIcon")->As<TTrayIcon>(); }

  static inline bool startVisible = true;
  // What the start-up handler does besides, once.
  static inline std::function<void(TTrayIcon*)> atStartup;
  int minimizedToTray = 0;

  void tiTrayIconStartup(TObject*, bool& ShowMainForm) {
    ShowMainForm = startVisible;
    if (atStartup) std::exchange(atStartup, nullptr)(Tray());
  }
  void tiTrayIconMinimizeToTray(TObject*) { ++minimizedToTray; }
  void mniTIShowHideClick(TObject*) {
    if (Visible())
      Tray()->HideMainForm();
    else
      Tray()->ShowMainForm();
  }
};

GUI_DEFINE_CLASS(TTrayForm) {
  c.Handler("tiTrayIconStartup", &TTrayForm::tiTrayIconStartup);
  c.Handler("tiTrayIconMinimizeToTray", &TTrayForm::tiTrayIconMinimizeToTray);
  c.Handler("mniTIShowHideClick", &TTrayForm::mniTIShowHideClick);
}

class TrayIconTest : public ::testing::Test {
 protected:
  TTrayIcon& MakeIcon(TComponent* owner = nullptr) {
    icon = std::make_unique<TTrayIcon>(owner);
    return *icon;
  }

  // What the shell sends the handler window for an event on the icon.
  void Notify(LPARAM event, TTrayIcon* target = nullptr) {
    SendMessageA(TTrayIconHandler::Instance()->Handle(), WM_TRAYNOTIFY, (target ? target : icon.get())->Id(), event);
  }

  // An image list of five 16 x 16 images in kImageColors.
  std::unique_ptr<TImageList> MakeImages(int count = 5) {
    auto list = std::make_unique<TImageList>(nullptr);
    for (int i = 0; i < count; ++i) {
      TBitmap bitmap;
      bitmap.SetSize(16, 16);
      bitmap.Canvas().Brush().SetColor(static_cast<TColor>(kImageColors[i]));
      bitmap.Canvas().FillRect({0, 0, 16, 16});
      list->Add(&bitmap, nullptr);
    }
    return list;
  }

  FakeShell shell;
  testsupport::Scoped shellInPlace{SetTrayIconShell, &shell, nullptr};
  std::unique_ptr<TTrayIcon> icon;  // goes before the shell does
};

TEST_F(TrayIconTest, IconIsAddedUpdatedAndDeletedWithItsNotificationData) {
  TTrayIcon& tray = MakeIcon();
  EXPECT_FALSE(tray.IconVisible());
  EXPECT_TRUE(tray.Enabled());
  EXPECT_TRUE(tray.ShowHint());
  EXPECT_EQ(tsbClassic, tray.ShellBehavior());

  EXPECT_TRUE(tray.ShowIcon());
  EXPECT_TRUE(tray.IconVisible());
  const NOTIFYICONDATAA data = shell.Last().data;
  EXPECT_EQ(DWORD(NIM_ADD), shell.Last().message);
  EXPECT_EQ(DWORD(NOTIFYICONDATAA_V2_SIZE), data.cbSize);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(488u, data.cbSize);
  }
  EXPECT_EQ(TTrayIconHandler::Instance()->Handle(), data.hWnd);
  EXPECT_EQ(tray.Id(), data.uID);
  EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP), data.uFlags);
  EXPECT_EQ(0x800u, data.uCallbackMessage);

  shell.answer = false;
  EXPECT_FALSE(tray.ModifyIcon());
  EXPECT_EQ(DWORD(NIM_MODIFY), shell.Last().message);
  shell.answer = true;

  tray.SetIconVisible(false);
  EXPECT_FALSE(tray.IconVisible());
  EXPECT_EQ(DWORD(NIM_DELETE), shell.Last().message);

  // A second icon has its own identifier on the same window.
  TTrayIcon other(nullptr);
  EXPECT_NE(tray.Id(), other.Id());
  other.SetIconVisible(true);
  EXPECT_EQ(data.hWnd, shell.Last().data.hWnd);

  shell.calls.clear();
  UINT id = tray.Id();
  icon.reset();
  ASSERT_EQ(1, shell.Count(NIM_DELETE));
  EXPECT_EQ(id, shell.Last().data.uID);
}

TEST_F(TrayIconTest, TipShowsAtMost127CharactersOfTheHint) {
  TTrayIcon& tray = MakeIcon();
  std::string hint(200, 'h');
  hint[126] = 'x';
  tray.SetHint(hint);
  EXPECT_EQ(DWORD(NIM_MODIFY), shell.Last().message);
  EXPECT_EQ(std::string(126, 'h') + "x", shell.Last().data.szTip);

  tray.SetHint("Brimvale\r\n512/1024 MB (50%)");
  EXPECT_STREQ("Brimvale\r\n512/1024 MB (50%)", shell.Last().data.szTip);

  tray.SetShowHint(false);
  EXPECT_EQ(std::string(128, '\0'), std::string(shell.Last().data.szTip, 128));
  tray.SetShowHint(true);
  tray.SetHint("");
  EXPECT_EQ(std::string(128, '\0'), std::string(shell.Last().data.szTip, 128));
}

TEST_F(TrayIconTest, BalloonTextsAreCutAndTheBalloonIsReplaced) {
  TTrayIcon& tray = MakeIcon();
  shell.calls.clear();
  EXPECT_TRUE(tray.ShowBalloonHint(std::string(80, 't'), std::string(300, 'b'), biWarning, 10));
  ASSERT_EQ(2u, shell.calls.size());
  // First the old balloon goes...
  EXPECT_EQ(DWORD(NIM_MODIFY), shell.calls[0].message);
  EXPECT_TRUE(shell.calls[0].data.uFlags & NIF_INFO);
  EXPECT_STREQ("", shell.calls[0].data.szInfo);
  // ...then the new one comes.
  const NOTIFYICONDATAA& data = shell.calls[1].data;
  EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO), data.uFlags);
  EXPECT_EQ(std::string(255, 'b'), data.szInfo);
  EXPECT_EQ(std::string(63, 't'), data.szInfoTitle);
  EXPECT_EQ(10000u, data.uTimeout);
  EXPECT_EQ(DWORD(NIIF_WARNING), data.dwInfoFlags);

  // Later updates no longer carry the balloon.
  tray.ModifyIcon();
  EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP), shell.Last().data.uFlags);

  shell.answer = false;
  EXPECT_FALSE(tray.ShowBalloonHint("Information", "Freed 100 MB", biInfo, 10));
  EXPECT_EQ(DWORD(NIIF_INFO), shell.Last().data.dwInfoFlags);
  shell.answer = true;

  tray.HideBalloonHint();
  EXPECT_TRUE(shell.Last().data.uFlags & NIF_INFO);
  EXPECT_STREQ("", shell.Last().data.szInfo);
  // Nor after the balloon was hidden.
  tray.ModifyIcon();
  EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP), shell.Last().data.uFlags);
}

TEST_F(TrayIconTest, IconComesFromTheImageListAndIndexStaysInside) {
  auto images = MakeImages();
  TTrayIcon& tray = MakeIcon();
  tray.SetIconIndex(3);
  EXPECT_EQ(0, tray.IconIndex());  // no list yet

  tray.SetIconList(images.get());
  EXPECT_EQ(0, tray.IconIndex());
  ASSERT_TRUE(tray.Icon()->HandleAllocated());
  EXPECT_EQ(kImageColors[0], IconColor(tray.Icon()->Handle()));
  EXPECT_EQ(tray.Icon()->Handle(), shell.Last().data.hIcon);

  tray.SetIconIndex(9);
  EXPECT_EQ(4, tray.IconIndex());
  EXPECT_EQ(kImageColors[4], IconColor(tray.Icon()->Handle()));
  EXPECT_EQ(tray.Icon()->Handle(), shell.Last().data.hIcon);
  tray.SetIconIndex(-2);
  EXPECT_EQ(0, tray.IconIndex());

  // An empty list has nothing to show; the icon stays.
  auto empty = std::make_unique<TImageList>(nullptr);
  tray.SetIconList(empty.get());
  tray.SetIconIndex(2);
  EXPECT_EQ(0, tray.IconIndex());
  EXPECT_EQ(kImageColors[0], IconColor(tray.Icon()->Handle()));

  // A list that goes away is let go.
  tray.SetIconList(images.get());
  tray.SetIconIndex(2);
  images.reset();
  EXPECT_EQ(nullptr, tray.IconList());
  EXPECT_EQ(0, tray.IconIndex());
}

TEST_F(TrayIconTest, TheSameImageOrTipIsNotSentAgainAndATipChangeLeavesThePictureAlone) {
  auto images = MakeImages();
  TTrayIcon& tray = MakeIcon();
  tray.SetIconList(images.get());
  ASSERT_TRUE(tray.ShowIcon());
  EXPECT_TRUE(shell.Last().data.uFlags & NIF_ICON) << "the icon's first showing carries its picture";

  shell.calls.clear();
  tray.SetIconIndex(2);
  const HICON shown = tray.Icon()->Handle();
  ASSERT_EQ(1u, shell.calls.size()) << "one change, one message";
  EXPECT_EQ(DWORD(NIM_MODIFY), shell.Last().message);
  EXPECT_TRUE(shell.Last().data.uFlags & NIF_ICON);
  EXPECT_EQ(shown, shell.Last().data.hIcon);
  const std::size_t calls = shell.calls.size();

  // Every refresh sets the index: the same image is neither made nor sent again.
  tray.SetIconIndex(2);
  EXPECT_EQ(calls, shell.calls.size());
  EXPECT_EQ(shown, tray.Icon()->Handle());
  EXPECT_EQ(2, tray.IconIndex());

  tray.SetHint("Brimvale\r\n512/1024 MB (50%)");
  ASSERT_EQ(calls + 1, shell.calls.size());
  EXPECT_EQ(DWORD(NIM_MODIFY), shell.Last().message);
  EXPECT_TRUE(shell.Last().data.uFlags & NIF_TIP);
  EXPECT_FALSE(shell.Last().data.uFlags & NIF_ICON) << "the shell keeps the picture it has";
  EXPECT_STREQ("Brimvale\r\n512/1024 MB (50%)", shell.Last().data.szTip);
  tray.SetHint("Brimvale\r\n512/1024 MB (50%)");
  EXPECT_EQ(calls + 1, shell.calls.size()) << "the same tip is not sent again";

  // Another image, or the same index of a changed list, is a new picture.
  tray.SetIconIndex(3);
  EXPECT_TRUE(shell.Last().data.uFlags & NIF_ICON);
  EXPECT_EQ(kImageColors[3], IconColor(shell.Last().data.hIcon));
  TBitmap bitmap;
  bitmap.SetSize(16, 16);
  bitmap.Canvas().Brush().SetColor(static_cast<TColor>(kImageColors[0]));
  bitmap.Canvas().FillRect({0, 0, 16, 16});
  images->Delete(3);
  images->Add(&bitmap, nullptr);  // index 3 is now the fifth colour
  tray.SetIconIndex(3);
  EXPECT_TRUE(shell.Last().data.uFlags & NIF_ICON);
  EXPECT_EQ(kImageColors[4], IconColor(shell.Last().data.hIcon));

  // A shell that lost the icon gets everything with the next adding.
  tray.HideIcon();
  ASSERT_TRUE(tray.ShowIcon());
  EXPECT_EQ(DWORD(NIM_ADD), shell.Last().message);
  EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP), shell.Last().data.uFlags);
}

TEST_F(TrayIconTest, IconIsCopied) {
  TTrayIcon& tray = MakeIcon();
  auto images = MakeImages();
  TIcon given;
  images->GetIcon(2, &given);
  tray.SetIcon(&given);
  ASSERT_TRUE(tray.Icon()->HandleAllocated());
  EXPECT_NE(given.Handle(), tray.Icon()->Handle());
  EXPECT_EQ(kImageColors[2], IconColor(tray.Icon()->Handle()));
  EXPECT_EQ(tray.Icon()->Handle(), shell.Last().data.hIcon);
}

TEST_F(TrayIconTest, CyclingWalksThroughTheImagesAndWraps) {
  auto images = MakeImages();
  TTrayIcon& tray = MakeIcon();
  tray.SetIconList(images.get());
  std::vector<int> next;
  tray.OnCycle = [&](TObject* sender, int nextIndex) {
    EXPECT_EQ(icon.get(), sender);
    next.push_back(nextIndex);
  };
  tray.SetIconIndex(3);
  tray.SetCycleInterval(10);
  tray.SetCycleIcons(true);
  EXPECT_EQ(0, tray.IconIndex());
  ASSERT_TRUE(testsupport::PumpUntil([&] { return next.size() >= 6; }));
  tray.SetCycleIcons(false);
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 0, 1}), std::vector<int>(next.begin(), next.begin() + 6));
  EXPECT_EQ(0u, TSimpleTimerHandler::Instance()->ActiveCount());
}

TEST_F(TrayIconTest, ClickWithoutDoubleClickHandlerComesOnButtonUp) {
  TTrayIcon& tray = MakeIcon();
  std::vector<std::string> events;
  tray.OnClick = [&](TObject* sender) {
    EXPECT_EQ(icon.get(), sender);
    events.push_back("click");
  };
  tray.OnMouseDown = [&](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
    EXPECT_EQ(mbLeft, button);
    EXPECT_EQ((TShiftState{ssLeft, ssCtrl}), shift);
    EXPECT_EQ(300, x);
    EXPECT_EQ(700, y);
    events.push_back("down");
  };
  tray.OnMouseUp = [&](TObject*, TMouseButton button, TShiftState shift, int, int) { events.push_back("up"); };
  shell.keysDown = {VK_CONTROL};
  Notify(WM_LBUTTONDOWN);
  Notify(WM_LBUTTONUP);
  EXPECT_EQ((std::vector<std::string>{"down", "click", "up"}), events);
}

TEST_F(TrayIconTest, WithDoubleClickHandlerClickWaitsForTheDoubleClickTime) {
  TTrayIcon& tray = MakeIcon();
  int clicks = 0, doubleClicks = 0;
  tray.OnClick = [&](TObject*) { ++clicks; };
  tray.OnDblClick = [&](TObject*) { ++doubleClicks; };
  auto clickTimerIdle = [] { return TSimpleTimerHandler::Instance()->ActiveCount() == 0; };

  Notify(WM_LBUTTONDOWN);
  Notify(WM_LBUTTONUP);
  EXPECT_EQ(0, clicks);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return clicks == 1; }));
  ASSERT_TRUE(clickTimerIdle());

  // A press held past the double-click time is no click of its own; its
  // release is.
  Notify(WM_LBUTTONDOWN);
  ASSERT_TRUE(testsupport::PumpUntil(clickTimerIdle));
  EXPECT_EQ(1, clicks);
  Notify(WM_LBUTTONUP);
  EXPECT_EQ(2, clicks);

  // A double click: the double-click event and no click.
  Notify(WM_LBUTTONDOWN);
  Notify(WM_LBUTTONUP);
  Notify(WM_LBUTTONDBLCLK);
  Notify(WM_LBUTTONUP);
  EXPECT_EQ(1, doubleClicks);
  ASSERT_TRUE(testsupport::PumpUntil(clickTimerIdle));
  EXPECT_EQ(2, clicks);
}

TEST_F(TrayIconTest, DisabledIconIgnoresTheMouseButNotBalloons) {
  TTrayIcon& tray = MakeIcon();
  TPopupMenu menu(nullptr);
  tray.SetPopupMenu(&menu);
  int mouse = 0, popups = 0;
  std::vector<std::string> balloons;
  TPopupMenu::SetPopupChooser([&](TPopupMenu&, TPoint) -> TMenuItem* {
    ++popups;
    return nullptr;
  });
  tray.OnClick = tray.OnDblClick = [&](TObject*) { ++mouse; };
  tray.OnMouseDown = tray.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++mouse; };
  tray.OnMouseMove = [&](TObject*, TShiftState, int, int) { ++mouse; };
  tray.OnBalloonHintShow = [&](TObject*) { balloons.push_back("show"); };
  tray.OnBalloonHintHide = [&](TObject*) { balloons.push_back("hide"); };
  tray.OnBalloonHintTimeout = [&](TObject*) { balloons.push_back("timeout"); };
  tray.OnBalloonHintClick = [&](TObject* sender) {
    EXPECT_EQ(icon.get(), sender);
    balloons.push_back("click");
  };

  tray.SetEnabled(false);
  for (LPARAM event : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                       WM_MBUTTONDOWN, WM_MBUTTONUP})
    Notify(event);
  for (LPARAM event : {0x402, 0x403, 0x404, 0x405}) Notify(event);
  EXPECT_EQ(0, mouse);
  EXPECT_EQ(0, popups);
  EXPECT_EQ((std::vector<std::string>{"show", "hide", "timeout", "click"}), balloons);

  tray.SetEnabled(true);
  Notify(WM_RBUTTONDOWN);
  EXPECT_EQ(1, popups);
  TPopupMenu::SetPopupChooser(nullptr);
}

TEST_F(TrayIconTest, MenuPopsUpAtTheCursorForTheIcon) {
  TTrayIcon& tray = MakeIcon();
  TPopupMenu menu(nullptr);
  std::vector<TPoint> points;
  TPopupMenu::SetPopupChooser([&](TPopupMenu& popup, TPoint at) -> TMenuItem* {
    EXPECT_EQ(&menu, &popup);
    EXPECT_EQ(icon.get(), popup.PopupComponent());
    points.push_back(at);
    return nullptr;
  });
  std::vector<TMouseButton> downs;
  tray.OnMouseDown = [&](TObject*, TMouseButton button, TShiftState, int, int) { downs.push_back(button); };

  Notify(WM_RBUTTONDOWN);  // no menu yet
  tray.SetPopupMenu(&menu);
  Notify(WM_RBUTTONDOWN);
  Notify(WM_LBUTTONDOWN);  // the left button only with LeftPopup
  Notify(WM_LBUTTONUP);
  tray.SetLeftPopup(true);
  shell.cursor = {5, 6};
  Notify(WM_LBUTTONDOWN);
  Notify(WM_LBUTTONUP);
  menu.SetAutoPopup(false);
  Notify(WM_RBUTTONDOWN);
  Notify(WM_LBUTTONDOWN);
  Notify(WM_LBUTTONUP);
  tray.PopupAtCursor();  // asked for directly, it shows all the same

  EXPECT_EQ((std::vector<TPoint>{{300, 700}, {5, 6}, {5, 6}}), points);
  EXPECT_EQ((std::vector<TMouseButton>{mbRight, mbRight, mbLeft, mbLeft, mbRight, mbLeft}), downs);
  TPopupMenu::SetPopupChooser(nullptr);
}

TEST_F(TrayIconTest, DoubleClickRunsTheMenusFirstDefaultItem) {
  TTrayIcon& tray = MakeIcon();
  TPopupMenu menu(nullptr);
  std::vector<int> clicked;
  for (int i = 0; i < 4; ++i) {
    auto* item = new TMenuItem(&menu);
    item->SetCaption("Item " + std::to_string(i));
    item->SetDefault(i == 1 || i == 3);
    item->OnClick = [&clicked, i](TObject*) { clicked.push_back(i); };
    menu.Items()->Add(item);
  }
  tray.SetPopupMenu(&menu);
  Notify(WM_LBUTTONDBLCLK);
  EXPECT_EQ(std::vector<int>{1}, clicked);

  tray.SetLeftPopup(true);
  Notify(WM_LBUTTONDBLCLK);
  tray.SetLeftPopup(false);
  menu.SetAutoPopup(false);
  Notify(WM_LBUTTONDBLCLK);
  EXPECT_EQ(std::vector<int>{1}, clicked);
}

TEST_F(TrayIconTest, RightButtonUpFollowsTheShellBehavior) {
  TTrayIcon& tray = MakeIcon();
  std::vector<std::pair<TMouseButton, TShiftState>> ups;
  tray.OnMouseUp = [&](TObject*, TMouseButton button, TShiftState shift, int, int) { ups.push_back({button, shift}); };
  shell.keysDown = {VK_SHIFT, VK_MENU};

  Notify(WM_RBUTTONUP);
  Notify(WM_CONTEXTMENU);
  Notify(0x400);
  ASSERT_EQ(1u, ups.size());
  EXPECT_EQ(mbRight, ups[0].first);
  EXPECT_EQ((TShiftState{ssRight, ssShift, ssAlt}), ups[0].second);

  tray.SetShellBehavior(tsbVersion5);
  EXPECT_EQ(DWORD(NIM_SETVERSION), shell.Last().message);
  EXPECT_EQ(UINT(NOTIFYICON_VERSION), shell.Last().data.uVersion);
  ups.clear();
  Notify(WM_RBUTTONUP);
  Notify(WM_CONTEXTMENU);
  Notify(0x400);  // NIN_SELECT
  Notify(0x401);  // NIN_KEYSELECT
  EXPECT_EQ(3u, ups.size());

  tray.SetShellBehavior(tsbClassic);
  EXPECT_EQ(0u, shell.Last().data.uVersion);

  ups.clear();
  Notify(WM_MBUTTONUP);
  ASSERT_EQ(1u, ups.size());
  EXPECT_EQ(mbMiddle, ups[0].first);
}

TEST_F(TrayIconTest, EnterAndExitFollowTheCursor) {
  TTrayIcon& tray = MakeIcon();
  std::vector<std::string> events;
  tray.OnMouseEnter = [&](TObject*) { events.push_back("enter"); };
  tray.OnMouseExit = [&](TObject*) { events.push_back("exit"); };
  tray.OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
    events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  };

  Notify(WM_MOUSEMOVE);  // not wanted yet
  tray.SetWantEnterExitEvents(true);
  Notify(WM_MOUSEMOVE);
  Notify(WM_MOUSEMOVE);
  EXPECT_EQ((std::vector<std::string>{"move 300,700", "enter", "move 300,700", "move 300,700"}), events);

  events.clear();
  shell.cursor = {301, 700};
  ASSERT_TRUE(testsupport::PumpUntil([&] { return !events.empty(); }));
  EXPECT_EQ(std::vector<std::string>{"exit"}, events);
  Notify(WM_MOUSEMOVE);
  EXPECT_EQ((std::vector<std::string>{"exit", "enter", "move 301,700"}), events);

  tray.SetWantEnterExitEvents(false);
  EXPECT_EQ(0u, TSimpleTimerHandler::Instance()->ActiveCount());
}

TEST_F(TrayIconTest, HandlerWindowStaysAndIgnoresStrangers) {
  TTrayIcon& tray = MakeIcon();
  int clicks = 0;
  tray.OnClick = [&](TObject*) { ++clicks; };
  HWND window = TTrayIconHandler::Instance()->Handle();
  EXPECT_EQ(1, SendMessageA(window, WM_CLOSE, 0, 0));
  EXPECT_EQ(1, SendMessageA(window, WM_QUERYENDSESSION, 0, 0));
  EXPECT_TRUE(IsWindow(window));

  // Notifications for an icon that does not exist (any more) find nobody.
  SendMessageA(window, WM_TRAYNOTIFY, tray.Id() + 1, WM_LBUTTONUP);
  UINT oldId = tray.Id();
  icon.reset();
  SendMessageA(window, WM_TRAYNOTIFY, oldId, WM_LBUTTONDOWN);
  EXPECT_EQ(0, clicks);
  EXPECT_EQ(nullptr, TTrayIconHandler::Instance());
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(TrayIconTest, TaskbarRestartBringsBackAVisibleIcon) {
  UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  TTrayIcon& tray = MakeIcon();
  SendMessageA(Application->Handle(), taskbarCreated, 0, 0);
  EXPECT_EQ(0, shell.Count(NIM_ADD));
  tray.SetIconVisible(true);
  SendMessageA(Application->Handle(), taskbarCreated, 0, 0);
  EXPECT_EQ(2, shell.Count(NIM_ADD));
  EXPECT_EQ(DWORD(NIM_ADD), shell.Last().message);
  tray.SetIconVisible(false);
  SendMessageA(Application->Handle(), taskbarCreated, 0, 0);
  EXPECT_EQ(2, shell.Count(NIM_ADD));
}

class TrayFormTest : public TrayIconTest {
 protected:
  static void SetUpTestSuite() {
    RegisterClasses({&TTrayIcon::StaticClass(), &TTrayForm::StaticClass()});
    Application->Initialize();
  }

  void SetUp() override { Application->CreateForm(form); }

  void TearDown() override {
    delete form;
    Application->SetShowMainForm(true);
    ShowWindow(Application->Handle(), SW_HIDE);
  }

  bool AppWindowVisible() { return IsWindowVisible(Application->Handle()); }

  TTrayForm* form = nullptr;
};

TEST_F(TrayFormTest, FormShowsTheIconWithTheChosenImage) {
  TTrayIcon* tray = form->Tray();
  EXPECT_EQ(form, Application->MainForm());
  EXPECT_TRUE(Application->ShowMainForm());
  EXPECT_EQ(form->FindComponent("ilTrayIconList"), tray->IconList());
  EXPECT_EQ(form->FindComponent("popmnuTITrayMenu"), tray->PopupMenu());
  EXPECT_TRUE(tray->MinimizeToTray());
  EXPECT_EQ(2, tray->IconIndex());
  EXPECT_EQ(kImageColors[2], IconColor(tray->Icon()->Handle()));

  // Loaded adds the icon with its image, once everything is in place.
  auto added = std::find_if(shell.calls.rbegin(), shell.calls.rend(),
                            [](const ShellCall& call) { return call.message == NIM_ADD; });
  ASSERT_NE(shell.calls.rend(), added);
  EXPECT_EQ(tray->Icon()->Handle(), added->data.hIcon);
  EXPECT_EQ(tray->Id(), added->data.uID);
  EXPECT_EQ(DWORD(NIM_SETVERSION), shell.Last().message);
  // While the form is read the shell hears nothing: each message with the
  // picture has it copy the icon's bitmaps. The add carries it; what follows
  // the start-up handler, and the version, go without it.
  ASSERT_FALSE(shell.calls.empty());
  EXPECT_EQ(DWORD(NIM_ADD), shell.calls.front().message);
  EXPECT_EQ(1, shell.Count(NIM_ADD));
  for (std::size_t i = 1; i < shell.calls.size(); ++i) EXPECT_FALSE(shell.calls[i].data.uFlags & NIF_ICON) << i;
}

TEST_F(TrayFormTest, StartupHandlerCanKeepTheMainFormHidden) {
  delete form;
  form = nullptr;
  TTrayForm::startVisible = false;
  Application->CreateForm(form);
  TTrayForm::startVisible = true;
  EXPECT_FALSE(Application->ShowMainForm());
  EXPECT_FALSE(form->Visible());
}

TEST_F(TrayFormTest, MinimizingHidesTheFormIntoTheTrayAndTheDefaultItemBringsItBack) {
  form->Show();
  TTrayIcon* tray = form->Tray();
  tray->SetIconVisible(false);
  ASSERT_TRUE(AppWindowVisible());

  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(1, form->minimizedToTray);
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(AppWindowVisible());  // no taskbar button either
  EXPECT_TRUE(tray->IconVisible());
  EXPECT_EQ(DWORD(NIM_ADD), shell.Last().message);

  // A double click on the icon runs the show item.
  Notify(WM_LBUTTONDBLCLK, tray);
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(AppWindowVisible());
  EXPECT_EQ(wsNormal, form->WindowState());
}

TEST_F(TrayFormTest, MinimizedApplicationGoesToTheTrayAndRestoresTheMainForm) {
  form->Show();
  TTrayIcon* tray = form->Tray();
  tray->OnMinimizeToTray = nullptr;
  tray->SetIconVisible(false);

  // Without a handler the form minimizes the application, whose window the
  // tray icon watches.
  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(0, form->minimizedToTray);
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(tray->IconVisible());

  SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(IsIconic(Application->Handle()));

  // Not minimizing to the tray: the application just minimizes.
  tray->SetMinimizeToTray(false);
  tray->SetIconVisible(false);
  Application->Minimize();
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(tray->IconVisible());
  Application->Restore();
}

TEST_F(TrayFormTest, MainFormHidesAndShowsWithItsTaskbarButton) {
  form->Show();
  TTrayIcon* tray = form->Tray();
  tray->HideMainForm();
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(AppWindowVisible());

  form->SetWindowState(wsMinimized);
  tray->ShowMainForm();
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(wsNormal, form->WindowState());
  EXPECT_TRUE(AppWindowVisible());
}

// The system's own notification area (Wine's answers under the test
// display), not the recording one.
class TrayShellTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterClasses({&TTrayIcon::StaticClass(), &TTrayForm::StaticClass()});
    Application->Initialize();
  }

  void TearDown() override {
    TTrayForm::atStartup = nullptr;
    delete form;
    Application->SetShowMainForm(true);
    ShowWindow(Application->Handle(), SW_HIDE);
  }

  TTrayForm* form = nullptr;
};

TEST_F(TrayShellTest, TheStartupHandlerFindsTheIconReadVisibleInTheShell) {
  bool balloonShown = false, visible = false;
  TTrayForm::atStartup = [&](TTrayIcon* tray) {
    visible = tray->IconVisible();
    balloonShown = tray->ShowBalloonHint("Brimvale", "Started", biInfo, 10);
  };
  Application->CreateForm(form);
  EXPECT_TRUE(visible);
  EXPECT_TRUE(balloonShown);
  TTrayIcon* tray = form->Tray();
  EXPECT_TRUE(tray->ModifyIcon()) << "still there afterwards";
  EXPECT_TRUE(tray->HideIcon());
}
