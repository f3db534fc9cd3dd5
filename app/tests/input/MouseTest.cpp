// The mouse on the running program: the tab buttons, free and compress, the
// title dragged, and minimizing, into the tray or onto the task bar.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ProgramInUse.h"

using namespace realinput;

namespace {

using Mouse = ProgramInUse;

bool MovingOrSizing(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return (info.flags & GUI_INMOVESIZE) != 0;
}

}  // namespace

TEST_F(Mouse, EachTabButtonShowsItsOwnPage) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const std::vector<HWND> tabs = TabButtons();
  ASSERT_EQ(tabs.size(), 5u);
  std::set<HWND> firstControls;
  for (int index : {1, 2, 3, 4, 0}) {
    SCOPED_TRACE("tab " + std::to_string(index));
    Click(Centre(tabs[static_cast<std::size_t>(index)]));
    // The clicked tab is the selected one, every other can be clicked.
    for (std::size_t i = 0; i < tabs.size(); ++i) {
      const bool selected = static_cast<int>(i) == index;
      EXPECT_TRUE(Until([&] { return (IsWindowEnabled(tabs[i]) == FALSE) == selected; }))
          << Name(tabs[i]) << (selected ? " is not selected" : " stays selected");
    }
    const std::vector<HWND> stops = TabStops(Page());
    ASSERT_FALSE(stops.empty());
    EXPECT_TRUE(firstControls.insert(stops.front()).second) << "a page shown twice: " << Name(stops.front());
  }
}

TEST_F(Mouse, FreeAndCompressReachTheEngineAndASecondCompressIsRefused) {
  ASSERT_NO_FATAL_FAILURE(Start(TProgramRun::Scripted));
  Click(Centre(Control("TVeeButton", "Free")));
  EXPECT_TRUE(Run().AwaitLog("FastFree"));
  Click(Centre(Control("TVeeButton", "Compress")));
  EXPECT_TRUE(Run().AwaitLog("DeepCompress"));
  // Within five minutes: the warning, and no second compress.
  Click(Centre(Control("TVeeButton", "Compress")));
  HWND box = AwaitBox();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(BoxTexts(box).find("wait at least 5 minutes"), std::string::npos) << BoxTexts(box);
  ASSERT_NO_FATAL_FAILURE(AnswerBox(box));
  EXPECT_EQ(Run().LogCount("DeepCompress"), 1u);
}

TEST_F(Mouse, DraggingTheTitleMovesTheWindow) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const RECT before = RectOf(Main());
  const POINT title = At(Main(), 120, 15);
  const POINT to{title.x + 90, title.y + 60};
  PointerTo(title);
  INPUT press{};
  press.type = INPUT_MOUSE;
  press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &press, sizeof(press));
  // The window follows the pointer once the system's move has begun.
  ASSERT_TRUE(Until([&] { return MovingOrSizing(Main()); })) << "pressing the title did not start a move";
  // Each step as a hand moves: the next once the window has followed. The
  // system's move loop reads the moves at its own pace, and a release it
  // reads first ends the move where the window was.
  for (int step = 1; step <= 6; ++step) {
    PointerTo({title.x + 15 * step, title.y + 10 * step});
    EXPECT_TRUE(Until([&] { return RectOf(Main()).left - before.left == 15 * step; })) << "step " << step;
  }
  INPUT release = press;
  release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &release, sizeof(release));
  EXPECT_TRUE(Until([&] { return !MovingOrSizing(Main()); }));
  const RECT after = RectOf(Main());
  EXPECT_EQ(after.left - before.left, to.x - title.x);
  EXPECT_EQ(after.top - before.top, to.y - title.y);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST_F(Mouse, MinimizeHidesTheWindowIntoTheTrayWhenChosen) {
  ASSERT_NO_FATAL_FAILURE(Start());
  Click(At(Main(), 577 + 12, 4 + 12));
  EXPECT_TRUE(AwaitGone(Main()));
  ASSERT_NO_FATAL_FAILURE(TrayMenu('s'));
  EXPECT_TRUE(Until([&] { return IsWindowVisible(Main()) && Active() == Main(); }));
}

TEST_F(Mouse, MinimizeWithoutTheTrayMinimizesTheProgram) {
  Run().Setting("PROGRAM_OPTION", "IsMinimizeToTray", "0");
  ASSERT_NO_FATAL_FAILURE(Start());
  HWND application = nullptr;
  ASSERT_TRUE(Until([&] { return (application = TopLevel(ProcessId(), "TApplication")) != nullptr; }));
  Click(At(Main(), 577 + 12, 4 + 12));
  EXPECT_TRUE(Until([&] { return IsIconic(application) && !IsWindowVisible(Main()); }))
      << "iconic: " << IsIconic(application) << ", main window: " << Name(Main());
}
