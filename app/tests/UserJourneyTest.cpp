// The program used as a person uses it, start to end, in one run: the
// overview, free from the button and the tray, a compress and its lock, a
// process ended from the process page, a name on the black list, a setting
// saved on every page, the language, the tray; then a second start finds
// every saved choice in place. A message box nobody asked for fails it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>

#include "ProgramHarness.h"
#include "RegistryKeeper.h"

using harness::Eventually;
using harness::TProgramRun;

namespace {

constexpr unsigned long long kGB = 1ull << 30;
class UserJourney : public ::testing::Test {
 protected:
  std::string Ask(const std::string& command) { return run.Ask(command); }
  std::string Checked(const std::string& path) { return run.Prop("MainForm." + path, "Checked"); }
  // Clicks a check box or radio button and waits for its new state.
  void Toggle(const std::string& path) {
    const std::string wanted = Checked(path) == "True" ? "False" : "True";
    Ask("click\tMainForm." + path);
    ASSERT_EQ(run.AwaitProp("MainForm." + path, "Checked", wanted), wanted);
  }
  void ShowPage(const std::string& page) {
    Ask("click\tMainForm.btnTab" + page);
    ASSERT_EQ(run.AwaitProp("MainForm.skimgpnl" + page, "Visible", "True"), "True");
  }
  // The process list's row of a process id, or -1.
  int RowOf(DWORD id) {
    std::istringstream rows(Ask("items\tMainForm.cklvProcess"));
    int index = 0;
    for (std::string row; std::getline(rows, row); ++index)
      if (row.find("\t" + std::to_string(id) + "\t") != std::string::npos) return index;
    return -1;
  }
  // The one box the last step asked for: the boxes now are those asked for
  // before and exactly one more (a box is "caption<tab>text<tab>answer";
  // texts hold no tab).
  std::string AskedBox() {
    const std::string now = Ask("boxes");
    EXPECT_EQ(now.compare(0, askedBoxes.size(), askedBoxes), 0) << now;
    std::string added = now.substr(std::min(now.size(), askedBoxes.empty() ? 0 : askedBoxes.size() + 1));
    EXPECT_EQ(std::count(added.begin(), added.end(), '\t'), 2) << "one box, no other: " << added;
    askedBoxes = now;
    return added;
  }
  // The boxes shown so far are exactly those the steps asked for.
  void ExpectOnlyAskedBoxes() { EXPECT_EQ(Ask("boxes"), askedBoxes); }
  void TearDown() override { EXPECT_EQ(run.End(), 0u); }

  TProgramRun run{"UserJourney", TProgramRun::Scripted};
  std::string askedBoxes;  // as the channel lists them
};

}  // namespace

TEST_F(UserJourney, EveryStepWorksAndEverySavedChoiceIsThereAtTheNextStart) {
  // The tuning values behind the system page's controls and the autorun
  // entry: the pages' saves write them.
  harness::TRegistryKeeper kept({{HKEY_LOCAL_MACHINE, harness::kMemoryKey},
                                 {HKEY_LOCAL_MACHINE, harness::kExecutiveKey},
                                 {HKEY_LOCAL_MACHINE, harness::kFileSystemKey},
                                 {HKEY_LOCAL_MACHINE, harness::kExplorerKey},
                                 {HKEY_CURRENT_USER, harness::kEffectsKey},
                                 {HKEY_LOCAL_MACHINE, harness::kPriorityKey},
                                 {HKEY_CURRENT_USER, harness::kRunKey}});
  harness::TChildProcess child;  // a program the user runs beside
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.AwaitReady());

  // The overview follows the machine's figures.
  ASSERT_TRUE(run.Script(harness::Figures(kGB, 2 * kGB, kGB, 4 * kGB, 10)));
  const std::string memory = "MEM usage: 1024/2048 MB";
  EXPECT_EQ(run.Await("text\tMainForm.cklblMemoryUsage", memory), memory);

  // Free, from the button and from the tray.
  Ask("click\tMainForm.btnFreeUp");
  ASSERT_TRUE(run.AwaitLog("FastFree", 1));
  Ask("menu\tMainForm.mniTIFreeMemroy");
  ASSERT_TRUE(run.AwaitLog("FastFree", 2));

  // A compress with its progress; a second one inside the lock is refused.
  Ask("click\tMainForm.btnDefrag");
  ASSERT_TRUE(run.AwaitLog("DeepCompress"));
  ASSERT_TRUE(run.Script("fire\tdeep\t0"));
  EXPECT_EQ(run.AwaitShown("MainForm.skimgpnlCompressing", "visible=1 showing=1"), "visible=1 showing=1");
  ASSERT_TRUE(run.Script("fire\tdeep\t100"));
  EXPECT_EQ(run.AwaitShown("MainForm.btnDefrag", "visible=1 showing=1"), "visible=1 showing=1");
  Ask("click\tMainForm.btnDefrag");
  EXPECT_TRUE(Eventually([&] { return !Ask("boxes").empty(); }));
  const std::string lock = AskedBox();
  EXPECT_EQ(lock.rfind("Warning\tSince It is advised not to defrag memory", 0), 0u) << lock;
  EXPECT_EQ(run.LogCount("DeepCompress"), 1u);

  // A started process, ended from the process page.
  ASSERT_NO_FATAL_FAILURE(ShowPage("PM"));
  ASSERT_TRUE(Eventually([&] { return RowOf(child.Id()) >= 0; }));
  Ask("click\tMainForm.cklvProcess\tleft\t" + std::to_string(RowOf(child.Id())));
  const auto enabled = [](const std::string& state) { return state.find("enabled=1") != std::string::npos; };
  ASSERT_TRUE(enabled(run.Await("state\tMainForm.btnPMKill", enabled)));
  Ask("answer\t" + std::to_string(IDYES));
  Ask("click\tMainForm.btnPMKill");
  EXPECT_EQ(WaitForSingleObject(child.Handle(), harness::kPatienceMs), static_cast<DWORD>(WAIT_OBJECT_0));
  const std::string question = AskedBox();
  EXPECT_EQ(question.rfind("Warning\tTerminating a process", 0), 0u) << question;

  // A program for the black list, through the list's window.
  ASSERT_NO_FATAL_FAILURE(ShowPage("MG"));
  Ask("choose\tmniOpenList");
  Ask("click\tMainForm.ckchkMGBlackList\tright");
  EXPECT_EQ(run.AwaitShown("RulesForm", "visible=1 showing=1"), "visible=1 showing=1");
  Ask("click\tRulesForm.ckedtRLNewItem");
  Ask("type\tgame.exe");
  Ask("click\tRulesForm.btnRLAdd");
  EXPECT_EQ(run.Await("items\tRulesForm.cklstRLRuleList", "game.exe"), "game.exe");

  // One setting changed and saved on each page.
  ASSERT_NO_FATAL_FAILURE(ShowPage("MG"));  // the tab change closes the list's window
  ASSERT_NO_FATAL_FAILURE(Toggle("ckchkMGAutoFree"));
  Ask("click\tMainForm.btnMGSave");
  const std::string autoFree = Checked("ckchkMGAutoFree") == "True" ? "1" : "0";
  EXPECT_TRUE(Eventually([&] { return run.SettingNow("AUTO_FREE", "IsAutoFree") == autoFree; }));
  ASSERT_NO_FATAL_FAILURE(ShowPage("MA"));
  ASSERT_NO_FATAL_FAILURE(Toggle("ckchkMASmartAnalyzer"));
  Ask("click\tMainForm.btnMASave");
  ASSERT_NO_FATAL_FAILURE(ShowPage("ST"));
  ASSERT_NO_FATAL_FAILURE(Toggle("ckchkSTLargeSystemCache"));
  Ask("click\tMainForm.btnSTSave");
  ASSERT_NO_FATAL_FAILURE(ShowPage("CS"));
  Ask("click\tMainForm.ckrbCSCloseToTray");
  ASSERT_EQ(run.AwaitProp("MainForm.ckrbCSCloseToTray", "Checked", "True"), "True");
  Ask("click\tMainForm.btnCSSave");
  EXPECT_TRUE(Eventually([&] { return run.SettingNow("PROGRAM_OPTION", "IsCloseToTray") == "1"; }));
  const std::string expected[] = {Checked("ckchkMGAutoFree"), Checked("ckchkMASmartAnalyzer"),
                                  Checked("ckchkSTLargeSystemCache")};

  // The language, from the help menu.
  Ask("choose\tDeutsch");
  Ask("click\tMainForm.btnInfo");
  const std::string german = "Allgemeine\r\nOptimierung";
  EXPECT_EQ(run.Await("text\tMainForm.btnTabMG", german), german);

  // Closed into the tray, shown again, closed for good.
  Ask("click\tMainForm.btnClose");
  EXPECT_EQ(run.AwaitShown("MainForm", "visible=0 showing=0"), "visible=0 showing=0");
  Ask("menu\tMainForm.mniTIShowHide");
  EXPECT_EQ(run.AwaitShown("MainForm", "visible=1 showing=1"), "visible=1 showing=1");
  ExpectOnlyAskedBoxes();
  Ask("menu\tMainForm.mniTIClose");
  ASSERT_EQ(run.WaitForExit(), 0u);

  // The next start finds it all as it was left.
  ASSERT_TRUE(run.StartAgain());
  EXPECT_EQ(run.Text("MainForm.btnTabMG"), german);
  EXPECT_EQ(Checked("ckchkMGAutoFree"), expected[0]);
  EXPECT_EQ(Checked("ckchkMASmartAnalyzer"), expected[1]);
  EXPECT_EQ(Checked("ckchkSTLargeSystemCache"), expected[2]);
  EXPECT_EQ(Checked("ckrbCSCloseToTray"), "True");
  Ask("choose\tmniOpenList");
  Ask("click\tMainForm.ckchkMGBlackList\tright");
  EXPECT_EQ(run.Await("items\tRulesForm.cklstRLRuleList", "game.exe"), "game.exe");
  EXPECT_EQ(Ask("boxes"), "");
}
