// The help menu with its languages, the language switch, the help file,
// the tray menu's about and close under open modal loops, and minimizing
// and closing into the notification area.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "ProgramHarness.h"

using harness::Eventually;
using harness::TProgramRun;

namespace {

constexpr char kGermanTab[] = "Allgemeine\r\nOptimierung";
constexpr char kEnglishTab[] = "General\r\nOptimizer";

class Menus : public ::testing::Test {
 protected:
  void Start() {
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AwaitReady());
  }
  // Opens the help menu from its button, choosing `item` ("" for nothing),
  // and waits until the menu was shown. The button is clicked by the
  // scripted build, so a modal window the item opens holds no test command.
  void OpenHelpMenu(const std::string& item) {
    const std::size_t before = Popups();
    EXPECT_EQ(run.Ask("choose\t" + item), "ok");
    ASSERT_TRUE(run.Script("click\tbtnInfo"));
    ASSERT_TRUE(Eventually([&] { return Popups() > before; }));
  }
  std::size_t Popups() {
    std::string popups = run.Ask("popups");
    std::size_t count = 0;
    for (std::size_t at = 0; (at = popups.find("popmnuHelpMenu", at)) != std::string::npos; ++at) ++count;
    return count;
  }
  std::string Language(int index, const std::string& property) {
    return run.Prop("MainForm.mniHMLanguage" + std::to_string(index), property);
  }
  bool HasLanguageItem(int index) { return run.Ask("find\tMainForm.mniHMLanguage" + std::to_string(index)) == "1"; }
  std::string StoredLanguage() { return run.SettingNow("PROGRAM_OPTION", "LANGUAGE"); }
  void WriteLanguageFile(const std::string& file, const std::string& name, const std::string& isDefault,
                         const std::string& texts = "") {
    std::ofstream(run.File("Lang\\" + file), std::ios::binary)
        << "[LANGUAGE]\r\nNAME=" << name << "\r\nDEFAULT=" << isDefault << "\r\n" << texts;
  }
  void ShowAbout() { ASSERT_TRUE(run.ShowAbout()); }
  // The program ended by itself, cleanly: engine closed, tray icon gone.
  void ExpectCleanEnd() {
    EXPECT_EQ(run.WaitForExit(), 0u);
    EXPECT_EQ(run.LogCount("Close"), 1u);
    EXPECT_EQ(run.LogCount("Tray icon removed"), 1u);
  }
  void TearDown() override { EXPECT_EQ(run.End(), 0u); }

  TProgramRun run{::testing::UnitTest::GetInstance()->current_test_info()->name(), TProgramRun::Scripted};
};

}  // namespace

TEST_F(Menus, OneLanguageOffersNoChoiceAndLeavesTheStoredIndexAlone) {
  // The only file declares itself the default: it is the one language.
  DeleteFileA(run.File("Lang\\Deutsch.lng").c_str());
  WriteLanguageFile("Eigen.lng", "Eigen", "1", "LANG_TABBUTTON_MG=Eigene#13Seite\r\n");
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(run.Text("MainForm.btnTabMG"), "Eigene\r\nSeite");
  run.Setting("PROGRAM_OPTION", "LANGUAGE", "x");
  ASSERT_NO_FATAL_FAILURE(OpenHelpMenu(""));
  EXPECT_EQ(run.Prop("MainForm.mniHMLanguages", "Visible"), "False");
  EXPECT_FALSE(HasLanguageItem(0));
  EXPECT_EQ(StoredLanguage(), "x");
  EXPECT_EQ(run.Ask("boxes"), "");
}

TEST_F(Menus, TheLanguagesListDefaultAndEveryFileAndTickTheStoredOne) {
  WriteLanguageFile("Muster.lng", "Muster", "0");
  ASSERT_NO_FATAL_FAILURE(Start());
  // A stored index that is out of range, or no integer, reads as the first
  // and is written back; the help menu reads it itself each time it opens.
  for (const char* stored : {"3", "-1", "1x", "99999999999999999999"}) {
    run.Setting("PROGRAM_OPTION", "LANGUAGE", stored);
    ASSERT_NO_FATAL_FAILURE(OpenHelpMenu(""));
    EXPECT_EQ(StoredLanguage(), "0") << stored;
    EXPECT_EQ(Language(0, "Checked"), "True") << stored;
  }
  EXPECT_EQ(run.Prop("MainForm.mniHMLanguages", "Visible"), "True");
  EXPECT_EQ(Language(0, "Caption"), "Default");
  const std::string second = Language(1, "Caption"), third = Language(2, "Caption");
  EXPECT_TRUE((second == "Deutsch" && third == "Muster") || (second == "Muster" && third == "Deutsch"))
      << second << " " << third;
  EXPECT_FALSE(HasLanguageItem(3));

  run.Setting("PROGRAM_OPTION", "LANGUAGE", " 2 ");
  ASSERT_NO_FATAL_FAILURE(OpenHelpMenu(""));
  EXPECT_EQ(StoredLanguage(), "2");
  EXPECT_EQ(Language(0, "Checked"), "False");
  EXPECT_EQ(Language(1, "Checked"), "False");
  EXPECT_EQ(Language(2, "Checked"), "True");
  EXPECT_EQ(run.Ask("boxes"), "");
}

TEST_F(Menus, GermanChangesEveryTextAtOnceSurvivesARestartAndTheTickedOneReloadsNothing) {
  run.Setting("AUTO_FREE", "AutoFreeTimer", "300000");
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowAbout());  // made and shown once, so its texts are its own from now on
  EXPECT_EQ(run.Ask("close\tAboutForm"), "ok");
  EXPECT_EQ(run.AwaitShown("AboutForm", "visible=0 showing=0"), "visible=0 showing=0");

  ASSERT_NO_FATAL_FAILURE(OpenHelpMenu("Deutsch"));
  // The index is stored last, once everything shows the language.
  ASSERT_TRUE(Eventually([&] { return StoredLanguage() == "1"; }));
  EXPECT_EQ(run.Text("MainForm.btnTabMG"), kGermanTab);
  EXPECT_EQ(run.Text("MainForm.btnFreeUp"), "Freigeben");
  EXPECT_EQ(run.Text("MainForm.btnDefrag"), "Verdichten");
  EXPECT_EQ(run.Prop("MainForm.btnFreeUp", "Hint"), "Freigeben empfohlen!");
  EXPECT_EQ(run.Prop("MainForm.btnHelp", "Hint"), "Hilfe");
  EXPECT_EQ(run.Text("MainForm.ckchkMGAutoFree"), "Speicher automatisch freigeben");
  EXPECT_EQ(run.Text("MainForm.ckchkMGBlackList"), "Sperrliste");
  EXPECT_EQ(run.Text("MainForm.btnMGSave"), "Speichern");
  EXPECT_EQ(run.Text("MainForm.cklblPMProcessList"), "Prozessliste");
  EXPECT_EQ(run.Text("MainForm.btnSTDefault"), "Empfehlen");
  EXPECT_EQ(run.Text("MainForm.cklblMGAutoFreeTimerValue"), "5 Minuten");
  EXPECT_EQ(run.Prop("MainForm.mniTIClose", "Caption"), "&Beenden");
  EXPECT_EQ(run.Prop("MainForm.mniHMHelpContent", "Caption"), "&Hilfe...");
  EXPECT_EQ(run.Text("AboutForm.lylblTitle"), "Info");
  EXPECT_EQ(run.Text("AboutForm.lybtnWWW"), "Webseite");
  // The free and compress captions stay centred under their discs.
  EXPECT_NE(run.Prop("MainForm.btnFreeUp", "TextX"), run.Prop("MainForm.btnDefrag", "TextX"));

  // The ticked language reloads nothing: a setting changed behind the
  // program's back stays unseen until another language is chosen.
  run.Setting("AUTO_FREE", "AutoFreeTimer", "420000");
  ASSERT_NO_FATAL_FAILURE(OpenHelpMenu("Deutsch"));
  EXPECT_EQ(Language(1, "Checked"), "True");
  ASSERT_NO_FATAL_FAILURE(OpenHelpMenu(""));  // after the choice above has run
  EXPECT_EQ(run.Prop("MainForm.cktbMGAutoFreeTimer", "Position"), "5");

  ASSERT_TRUE(run.Restart());
  EXPECT_EQ(run.Text("MainForm.btnTabMG"), kGermanTab);
  EXPECT_EQ(run.Prop("MainForm.cktbMGAutoFreeTimer", "Position"), "7");
  ASSERT_NO_FATAL_FAILURE(OpenHelpMenu("Default"));
  ASSERT_TRUE(Eventually([&] { return StoredLanguage() == "0"; }));
  EXPECT_EQ(run.Text("MainForm.btnTabMG"), kEnglishTab);
  EXPECT_EQ(run.Text("MainForm.cklblMGAutoFreeTimerValue"), "7 minutes");
  EXPECT_EQ(run.Prop("MainForm.mniTIClose", "Caption"), "&Close");
  EXPECT_EQ(run.Ask("boxes"), "");
}

TEST_F(Menus, TheHelpFileOpensFromTheButtonF1AndTheMenuAndTheLinksFromTheMenu) {
  harness::TScopedClassesValue type(".chm", "Brimvale.TestHelp");
  harness::TScopedClassesValue help("Brimvale.TestHelp\\shell\\open\\command", harness::LinkRecorderCommand());
  harness::TScopedClassesValue https("https\\shell\\open\\command", harness::LinkRecorderCommand());
  harness::TScopedClassesValue mailto("mailto\\shell\\open\\command", harness::LinkRecorderCommand());
  DeleteFileA(harness::RecordedLinksFile().c_str());
  ASSERT_NO_FATAL_FAILURE(Start());
  const std::string helpFile = run.File("Help.chm");

  EXPECT_EQ(run.Ask("click\tMainForm.btnHelp"), "ok");
  EXPECT_EQ(harness::AwaitRecordedLink(helpFile), helpFile + "\r\n");
  EXPECT_EQ(run.Ask("key\t112"), "ok");  // F1
  EXPECT_EQ(harness::AwaitRecordedLink(helpFile + "\r\n" + helpFile), helpFile + "\r\n" + helpFile + "\r\n");
  ASSERT_NO_FATAL_FAILURE(OpenHelpMenu("mniHMHelpContent"));
  ASSERT_NO_FATAL_FAILURE(OpenHelpMenu("mniHMOnlineResources"));
  ASSERT_NO_FATAL_FAILURE(OpenHelpMenu("mniHMContractTechnicalSupport"));
  EXPECT_EQ(harness::AwaitRecordedLink("mailto"), helpFile + "\r\n" + helpFile + "\r\n" + helpFile +
                                                      "\r\nhttps://www.brimvale.example/\r\n"
                                                      "mailto:support@brimvale.example\r\n");

  ASSERT_NO_FATAL_FAILURE(OpenHelpMenu("mniHMAbout"));
  EXPECT_EQ(run.AwaitShown("AboutForm", "visible=1 showing=1"), "visible=1 showing=1");
  EXPECT_EQ(run.Ask("boxes"), "");
  EXPECT_TRUE(run.AwaitFocusIn("AboutForm"));
  EXPECT_EQ(run.Ask("key\t27"), "ok");
  EXPECT_EQ(run.AwaitShown("AboutForm", "visible=0 showing=0"), "visible=0 showing=0") << "focus: " << run.Ask("focus");
}

TEST_F(Menus, AboutAskedForAgainComesForwardAndTheTraysCloseEndsItsModalLoop) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowAbout());
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIAbout"), "ok");
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIInformation"), "ok");  // runs after the second about
  EXPECT_TRUE(Eventually([&] {
    for (const std::string& line : run.Log())
      if (line.rfind("Balloon", 0) == 0) return true;
    return false;
  }));
  EXPECT_EQ(run.Shown("AboutForm"), "visible=1 showing=1");
  EXPECT_EQ(run.Ask("boxes"), "");  // no second modal loop refused with an error

  // Close to the tray is on, and the tray's close still ends the program.
  ASSERT_TRUE(run.Script("set\tCloseToTrayOn\t1"));
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIClose"), "ok");
  ExpectCleanEnd();
}

TEST_F(Menus, TheTraysCloseUnderAMessageBoxWaitsForItsAnswerThenEnds) {
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(run.Ask("click\tMainForm.btnDefrag"), "ok");
  ASSERT_TRUE(run.AwaitLog("DeepCompress"));
  // The lock's message stays open, as a user reads it, until the test says.
  EXPECT_EQ(run.Ask("answer\t" + std::to_string(IDOK) + "\thold"), "ok");
  EXPECT_EQ(run.Ask("click\tMainForm.btnDefrag"), "ok");
  EXPECT_TRUE(Eventually([&] { return !run.Ask("boxes").empty(); }));
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIClose"), "ok");
  EXPECT_EQ(run.Ask("ping"), "pong");
  EXPECT_TRUE(run.Running());  // the box is still being read
  EXPECT_EQ(run.LogCount("Close"), 0u);
  EXPECT_EQ(run.Ask("openboxes"), "1");
  EXPECT_EQ(run.Ask("release"), "ok");
  ExpectCleanEnd();
}

TEST_F(Menus, MinimizeGoesToTheTrayWithItsOptionAndComesBackThroughTheShowItem) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(run.Script("set\tMinimizeToTrayOn\t1"));
  EXPECT_EQ(run.Ask("click\tMainForm.btnMin"), "ok");
  EXPECT_EQ(run.AwaitShown("MainForm", "visible=0 showing=0"), "visible=0 showing=0");
  EXPECT_TRUE(harness::VisibleWindows(run.ProcessId()).empty());  // no task bar button either
  EXPECT_EQ(run.Prop("MainForm.mniTIShowHide", "Default"), "True");
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIShowHide"), "ok");
  EXPECT_EQ(run.AwaitShown("MainForm", "visible=1 showing=1"), "visible=1 showing=1");

  // Without the option the window goes to the task bar, not the tray.
  ASSERT_TRUE(run.Script("set\tMinimizeToTrayOn\t0"));
  EXPECT_EQ(run.Ask("click\tMainForm.btnMin"), "ok");
  EXPECT_TRUE(Eventually([&] {
    for (HWND window : harness::VisibleWindows(run.ProcessId()))
      if (IsIconic(window)) return true;
    return false;
  }));
  EXPECT_EQ(run.Ask("boxes"), "");
}
