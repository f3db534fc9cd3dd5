// The tray icon in Wine's own tray window: its menu, showing and hiding the
// window both ways, the about window, and closing from it under modal
// windows and real message boxes.
#include <gtest/gtest.h>

#include <string>

#include "ProgramInUse.h"

using namespace realinput;

namespace {

class Tray : public ProgramInUse {
 protected:
  // The tray menu's close; the program ends by itself, cleanly.
  void CloseFromTheTray() {
    ASSERT_NO_FATAL_FAILURE(TrayMenu('c'));
    EXPECT_EQ(Run().WaitForExit(), 0u) << "the program did not end, or not cleanly";
  }
};

}  // namespace

TEST_F(Tray, ItsMenuHidesAndShowsTheWindowAndOpensTheAboutWindow) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(TrayMenu('s'));
  EXPECT_TRUE(AwaitGone(Main())) << "Show/Hide did not hide the window";
  ASSERT_NO_FATAL_FAILURE(TrayMenu('s'));
  EXPECT_TRUE(Until([&] { return IsWindowVisible(Main()) && Active() == Main(); }))
      << "Show/Hide did not bring the window back; active: " << Name(Active());

  HWND about = OpenAboutFromTray();
  ASSERT_NE(about, nullptr) << "About... did not open the about window";
  EXPECT_FALSE(IsWindowEnabled(Main())) << "the about window is modal";
  ASSERT_TRUE(KeysTo(about, At(about, 200, 250)));
  Key(VK_ESCAPE);
  EXPECT_TRUE(AwaitGone(about));
  EXPECT_TRUE(Until([&] { return IsWindowEnabled(Main()) && Active() == Main(); }));
}

TEST_F(Tray, CloseWhileTheAboutWindowIsOpenEndsTheProgram) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NE(OpenAboutFromTray(), nullptr);
  ASSERT_NO_FATAL_FAILURE(CloseFromTheTray());
}

TEST_F(Tray, CloseUnderARealMessageBoxEndsTheProgram) {
  Run().Setting("AUTO_FREE", "IsAutoFree", "1");  // the list boxes take part only then
  ASSERT_NO_FATAL_FAILURE(Start());
  // The idle list cannot be shown: a right click on it gets a box that says
  // so, and nobody answers it.
  RightClick(Centre(Control("TCkCheckBox", "Idle List")));
  HWND box = AwaitBox();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(BoxTexts(box).find("Idle List is variable"), std::string::npos) << BoxTexts(box);
  ASSERT_NO_FATAL_FAILURE(CloseFromTheTray());
}

TEST_F(Tray, CloseUnderABoxWithoutASafeAnswerEndsTheProgramAfterAWhile) {
  ASSERT_NO_FATAL_FAILURE(Start(TProgramRun::Scripted));
  TDebugOutput debugger(ProcessId());
  ASSERT_TRUE(debugger.Attached());
  // Abort, Retry and Ignore: none of them ends a loop safely.
  ASSERT_TRUE(Run().Script("box\t" + std::to_string(MB_ABORTRETRYIGNORE)));
  HWND box = AwaitBox();
  ASSERT_NE(box, nullptr);
  ASSERT_NO_FATAL_FAILURE(CloseFromTheTray());
  EXPECT_NE(debugger.Text().find("closing anyway"), std::string::npos) << "debugger output: " << debugger.Text();
}
