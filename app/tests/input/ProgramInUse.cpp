#include "ProgramInUse.h"

#include <algorithm>

#include "ListFiles.h"

namespace realinput {

namespace {

constexpr char kTrayClass[] = "__winex11_standalone_tray";
constexpr int kRowSlack = 8;  // controls whose tops differ by less stand in one row

bool Gone(HWND window) { return !IsWindow(window) || !IsWindowVisible(window); }

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

// The tray keeps the icon of a program that was ended from outside until it
// finds the program's window gone, which it does when the pointer moves over
// the icon. Until the tray is empty (and so hidden), the pointer does.
void ProgramInUse::ClearTheTray() {
  Until(
      [] {
        if (!IsWindowVisible(TrayWindow())) return true;
        const POINT icon = TrayIcon();
        PointerTo({icon.x + 1, icon.y});
        PointerTo(icon);
        return false;
      },
      60000);
  PointerTo({400, 400});
}

void ProgramInUse::TearDown() {
  // A program a test left running is ended; its icon must leave the tray
  // before the next test looks for its own.
  run_.reset();
  ClearTheTray();
}

TProgramRun& ProgramInUse::Run(TProgramRun::TBuild build) {
  if (!run_)
    run_ = std::make_unique<TProgramRun>(::testing::UnitTest::GetInstance()->current_test_info()->name(), build);
  return *run_;
}

void ProgramInUse::Start(TProgramRun::TBuild build) {
  ClearTheTray();
  ASSERT_TRUE(Run(build).Start("", false)) << "the program did not start";
  // The window shows once its first showing has run (the splash is gone).
  main_ = AwaitWindow("TMainForm");
  ASSERT_NE(main_, nullptr) << "the main window never showed";
  ASSERT_TRUE(KeysToMain()) << "the main window never became active; active: " << Name(Active());
}

HWND ProgramInUse::AwaitWindow(const std::string& className) {
  HWND found = nullptr;
  Until([&] { return (found = TopLevel(ProcessId(), className)) != nullptr; });
  return found;
}

bool ProgramInUse::AwaitGone(HWND window) {
  return Until([&] { return Gone(window); });
}

HWND ProgramInUse::AwaitBox() { return AwaitWindow("#32770"); }

void ProgramInUse::AnswerBox(HWND box) {
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(KeysTo(box, Centre(box))) << "the box never took the keys; active: " << Name(Active());
  Key(VK_RETURN);
  ASSERT_TRUE(AwaitGone(box)) << "Enter did not answer " << Name(box);
}

HWND ProgramInUse::AwaitMenu() {
  HWND menu = AwaitWindow("#32768");
  if (menu) Until([&] { return InMenu(menu); });
  return menu;
}

bool ProgramInUse::KeysTo(HWND window, POINT rest) {
  PointerTo(rest);
  return Until([&] { return ActiveOf(window) == window; });
}

bool ProgramInUse::KeysToMain() {
  // Right of the title, left of the title buttons: nothing there reacts.
  return KeysTo(main_, At(main_, 400, 15));
}

void ProgramInUse::Settle() {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, harness::kPatienceMs, &result);
}

bool ProgramInUse::TabTo(HWND control) {
  const std::size_t most = TabStops(Page()).size() + 1;
  for (std::size_t i = 0; i < most && Focus() != control; ++i) {
    const HWND before = Focus();
    Key(VK_TAB);
    Until([&] { return Focus() != before; }, 30000);
  }
  return Focus() == control;
}

std::vector<HWND> ProgramInUse::TabButtons() {
  std::vector<HWND> tabs;
  for (HWND window : Below(main_)) {
    const RECT r = RectOf(window);
    if (ClassOf(window) == "TVeeButton" && Width(r) == 190 && Height(r) == 38) tabs.push_back(window);
  }
  std::sort(tabs.begin(), tabs.end(), [](HWND a, HWND b) { return RectOf(a).top < RectOf(b).top; });
  return tabs;
}

HWND ProgramInUse::Page() {
  for (HWND window : Below(main_)) {
    const RECT r = RectOf(window);
    if (ClassOf(window) == "TSkinImagePanel" && Width(r) == 440 && Height(r) == 490) return window;
  }
  return nullptr;
}

void ProgramInUse::ShowPage(int index) {
  const std::vector<HWND> tabs = TabButtons();
  ASSERT_EQ(tabs.size(), 5u);
  HWND tab = tabs[static_cast<std::size_t>(index)];
  if (IsWindowEnabled(tab)) Click(Centre(tab));
  ASSERT_TRUE(Until([&] { return !IsWindowEnabled(tab) && Page(); })) << "tab " << index << " was not selected";
}

HWND ProgramInUse::Control(const std::string& className, const std::string& text) {
  return Below(main_, className, text);
}

std::vector<HWND> ProgramInUse::TabStops(HWND page) {
  std::vector<HWND> stops;
  for (HWND window : Below(page))
    if ((GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(window)) stops.push_back(window);
  std::sort(stops.begin(), stops.end(), [](HWND a, HWND b) {
    const RECT ra = RectOf(a), rb = RectOf(b);
    if (std::abs(ra.top - rb.top) >= kRowSlack) return ra.top < rb.top;
    return ra.left < rb.left;
  });
  return stops;
}

std::vector<std::string> ProgramInUse::ListFile(const std::string& name) {
  return harness::ReadListFile(Run().File("Config\\" + name));
}

void ProgramInUse::WriteListFile(const std::string& name, const std::vector<std::string>& lines) {
  CreateDirectoryA(Run().File("Config").c_str(), nullptr);
  harness::WriteListFile(Run().File("Config\\" + name), lines);
}

HWND ProgramInUse::OpenRulesWindow(const std::string& listBox) {
  HWND box = Control("TCkCheckBox", listBox);
  if (!box) return nullptr;
  RightClick(Centre(box));
  if (!AwaitMenu()) return nullptr;
  Type("s");
  return AwaitWindow("TRulesForm");
}

HWND ProgramInUse::TrayWindow() { return FindWindowA(kTrayClass, nullptr); }

POINT ProgramInUse::TrayIcon() {
  // The icons sit side by side from the left of its client area.
  POINT icon{10, 10};
  ClientToScreen(TrayWindow(), &icon);
  return icon;
}

void ProgramInUse::TrayMenu(char itemKey) {
  ASSERT_TRUE(Until([] { return IsWindowVisible(TrayWindow()) != FALSE; })) << "no icon in the tray";
  RightClick(TrayIcon());
  ASSERT_NE(AwaitMenu(), nullptr) << "the tray menu never showed";
  Type(std::string(1, itemKey));
}

HWND ProgramInUse::OpenAboutFromHelpMenu() {
  // The information button, right of the minimize button.
  Click(At(main_, 602 + 12, 4 + 12));
  if (!AwaitMenu()) return nullptr;
  Type("a");
  return AwaitWindow("TAboutForm");
}

HWND ProgramInUse::OpenAboutFromTray() {
  TrayMenu('a');
  return AwaitWindow("TAboutForm");
}

}  // namespace realinput
