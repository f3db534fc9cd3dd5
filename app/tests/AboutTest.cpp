// The about window: its texts, the language's caption pattern, Esc and the
// close button, and its two links through the shell.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "ProgramHarness.h"

using harness::TProgramRun;

namespace {

const char kCopyright[] = "Copyright (C) 2024 The Brimvale developers. All rights reserved.";

// The shell's program for a URL scheme, replaced for the test and put back.
class TSchemeHandler {
 public:
  TSchemeHandler(const std::string& scheme, const std::string& command)
      : key_(scheme + "\\shell\\open\\command") {
    char value[1024] = {};
    LONG size = sizeof(value);
    had_ = RegQueryValueA(HKEY_CLASSES_ROOT, key_.c_str(), value, &size) == ERROR_SUCCESS;
    old_ = value;
    RegSetValueA(HKEY_CLASSES_ROOT, key_.c_str(), REG_SZ, command.c_str(), static_cast<DWORD>(command.size()));
  }
  ~TSchemeHandler() {
    if (had_) RegSetValueA(HKEY_CLASSES_ROOT, key_.c_str(), REG_SZ, old_.c_str(), static_cast<DWORD>(old_.size()));
    else RegDeleteKeyA(HKEY_CLASSES_ROOT, key_.c_str());
  }

 private:
  std::string key_, old_;
  bool had_ = false;
};

class About : public ::testing::Test {
 protected:
  void ShowAbout() {
    ASSERT_TRUE(run.Script("about"));
    ASSERT_EQ(run.AwaitShown("AboutForm", "visible=1 showing=1"), "visible=1 showing=1");
  }
  void TearDown() override {
    if (!run.Running()) return;
    run.Ask("terminate");
    EXPECT_EQ(run.WaitForExit(), 0u);
  }

  TProgramRun run{::testing::UnitTest::GetInstance()->current_test_info()->name(), TProgramRun::Scripted};
};

}  // namespace

TEST_F(About, ItShowsItsTextsOpensItsLinksThroughTheShellAndClosesByEsc) {
  const std::string recorder = "\"" + harness::OwnFolder() + "orvane_link_recorder.exe\" \"%1\"";
  TSchemeHandler https("https", recorder), mailto("mailto", recorder);
  const std::string opened = harness::OwnFolder() + "opened-links.txt";
  DeleteFileA(opened.c_str());

  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.AwaitReady());
  ShowAbout();
  EXPECT_EQ(run.Prop("AboutForm", "Caption"), "About");
  EXPECT_EQ(run.Text("AboutForm.lylblTitle"), "About");
  EXPECT_EQ(run.Text("AboutForm.lylblCaption"), "Brimvale \r\nVersion " ORVANE_VERSION);
  EXPECT_EQ(run.Text("AboutForm.lylblCopyright"), kCopyright);
  EXPECT_EQ(run.Text("AboutForm.lylblWarning").rfind("This program is provided as is", 0), 0u);
  EXPECT_EQ(run.Text("AboutForm.lybtnWWW"), "Home Page");
  EXPECT_EQ(run.Text("AboutForm.lybtnEmail"), "Support E-mail");

  EXPECT_EQ(run.Ask("click\tAboutForm.lybtnWWW"), "ok");
  EXPECT_EQ(run.Ask("click\tAboutForm.lybtnEmail"), "ok");
  std::string links;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 60000) {
    std::ifstream in(opened, std::ios::binary);
    links.assign(std::istreambuf_iterator<char>(in), {});
    if (links.find("mailto") != std::string::npos) break;
    Sleep(50);
  }
  EXPECT_EQ(links, "https://www.brimvale.example/\r\nmailto:support@brimvale.example\r\n");
  // The pointer's look over the links is their own, nothing the window
  // would have to put back.
  EXPECT_EQ(run.Prop("AboutForm.lybtnWWW", "Cursor"), "crHandPoint");
  EXPECT_EQ(run.Prop("AboutForm.lybtnEmail", "Cursor"), "crHandPoint");

  // Esc closes it; so does its close button, at any later showing.
  EXPECT_EQ(run.Ask("key\t27"), "ok");
  EXPECT_EQ(run.AwaitShown("AboutForm", "visible=0 showing=0"), "visible=0 showing=0");
  ShowAbout();
  EXPECT_EQ(run.Text("AboutForm.lylblCaption"), "Brimvale \r\nVersion " ORVANE_VERSION);
  EXPECT_EQ(run.Ask("click\tAboutForm.lybtnClose"), "ok");
  EXPECT_EQ(run.AwaitShown("AboutForm", "visible=0 showing=0"), "visible=0 showing=0");
  EXPECT_EQ(run.Ask("boxes"), "");
}

TEST_F(About, ALanguagesCaptionIsFilledAsAPatternNeverFormatted) {
  // A language whose caption holds what a formatting function would read as
  // arguments to fetch or write.
  DeleteFileA(run.File("Lang\\Deutsch.lng").c_str());
  std::ofstream(run.File("Lang\\Muster.lng"), std::ios::binary)
      << "[LANGUAGE]\r\nNAME=Muster\r\nDEFAULT=0\r\nLANG_MAIN_CAPTION=Muster\r\nLANG_MAIN_VERSION=9.9\r\n"
         "LANG_ABOUT_CAPTION=%d %s %n %x 100%%#13%s %s %s\r\nLANG_COMMON_ABOUT=Info\r\n";
  run.Setting("PROGRAM_OPTION", "LANGUAGE", "1");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.AwaitReady());
  ShowAbout();
  EXPECT_EQ(run.Text("AboutForm.lylblTitle"), "Info");
  EXPECT_EQ(run.Text("AboutForm.lylblCaption"), "%d Muster %n %x 100%\r\nVersion 9.9 ");
}
