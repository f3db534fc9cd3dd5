// The main window itself: its tabs, and closing with and without the tray.
#include <gtest/gtest.h>

#include <algorithm>

#include "ProgramHarness.h"

using harness::TProgramRun;

TEST(MainWindow, TabsShowTheirPagesAndATextNeverDrifts) {
  TProgramRun run("Tabs", TProgramRun::Scripted);
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.AwaitReady());

  EXPECT_EQ(run.Ask("click\tMainForm.btnTabST"), "ok");
  EXPECT_EQ(run.AwaitProp("MainForm.skimgpnlST", "Visible", "True"), "True");
  EXPECT_EQ(run.Prop("MainForm.skimgpnlMG", "Visible"), "False");
  EXPECT_EQ(run.Prop("MainForm.btnTabST", "Enabled"), "False");
  EXPECT_EQ(run.Prop("MainForm.btnTabST", "TextX"), "60");
  EXPECT_EQ(run.Prop("MainForm.btnTabMG", "Enabled"), "True");
  EXPECT_EQ(run.Prop("MainForm.btnTabMG", "TextX"), "90");

  // A press shows the pressed look with its text; dragged off the button
  // and let go, it selects nothing and the text goes back, however often.
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(run.Script("press\tbtnTabPM"));
    EXPECT_EQ(run.Prop("MainForm.btnTabPM", "TextX"), "60");
    ASSERT_TRUE(run.Script("release\tbtnTabPM\t-60\t10"));
    EXPECT_EQ(run.Prop("MainForm.btnTabPM", "TextX"), "90");
  }
  EXPECT_EQ(run.Prop("MainForm.skimgpnlST", "Visible"), "True");
  EXPECT_EQ(run.Prop("MainForm.skimgpnlPM", "Visible"), "False");

  EXPECT_EQ(run.Ask("click\tMainForm.btnTabPM"), "ok");
  EXPECT_EQ(run.AwaitProp("MainForm.skimgpnlPM", "Visible", "True"), "True");
  EXPECT_EQ(run.Prop("MainForm.btnTabPM", "TextX"), "60");
  EXPECT_EQ(run.Prop("MainForm.btnTabST", "TextX"), "90");
  EXPECT_EQ(run.Prop("MainForm.btnTabST", "Enabled"), "True");
  EXPECT_EQ(run.Prop("MainForm.skimgpnlST", "Visible"), "False");
  EXPECT_EQ(run.Ask("close\tMainForm"), "ok");
  EXPECT_EQ(run.WaitForExit(), 0u);
}

TEST(MainWindow, CloseHidesIntoTheTrayWithItsOptionAndEndsTheProgramWithout) {
  TProgramRun run("CloseToTray", TProgramRun::Scripted);
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.AwaitReady());
  ASSERT_TRUE(run.Script("set\tCloseToTrayOn\t1"));
  EXPECT_EQ(run.Ask("click\tMainForm.btnClose"), "ok");
  EXPECT_EQ(run.AwaitShown("MainForm", "visible=0 showing=0"), "visible=0 showing=0");
  EXPECT_TRUE(run.Running());
  EXPECT_EQ(run.Prop("MainForm.tmrOverview", "Enabled"), "True");
  EXPECT_EQ(run.Prop("MainForm.tmrProcessList", "Enabled"), "True");
  EXPECT_EQ(run.LogCount("Close"), 0u);

  // The tray brings it back as it was.
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIShowHide"), "ok");
  EXPECT_EQ(run.AwaitShown("MainForm", "visible=1 showing=1"), "visible=1 showing=1");
  EXPECT_EQ(run.Prop("MainForm.btnTabMG", "Enabled"), "False");

  ASSERT_TRUE(run.Script("set\tCloseToTrayOn\t0"));
  EXPECT_EQ(run.Ask("click\tMainForm.btnClose"), "ok");
  EXPECT_EQ(run.WaitForExit(), 0u);
  std::vector<std::string> log = run.Log();
  auto close = std::find(log.begin(), log.end(), "Close");
  ASSERT_NE(close, log.end());
  // The engine was closed first, then the client let go of its events.
  EXPECT_NE(std::find(close, log.end(), "Unadvise"), log.end());
}
