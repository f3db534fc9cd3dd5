// The about window: its texts, the language's caption pattern, Esc and the
// close button, and its two links through the shell.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "ProgramHarness.h"

using harness::TProgramRun;

namespace {

const char kCopyright[] = "Copyright (C) 2024 The Brimvale developers. All rights reserved.";

class About : public ::testing::Test {
 protected:
  void ShowAbout() { ASSERT_TRUE(run.ShowAbout()); }
  void TearDown() override { EXPECT_EQ(run.End(), 0u); }

  TProgramRun run{::testing::UnitTest::GetInstance()->current_test_info()->name(), TProgramRun::Scripted};
};

}  // namespace

TEST_F(About, ItShowsItsTextsOpensItsLinksThroughTheShellAndClosesByEsc) {
  harness::TScopedClassesValue https("https\\shell\\open\\command", harness::LinkRecorderCommand());
  harness::TScopedClassesValue mailto("mailto\\shell\\open\\command", harness::LinkRecorderCommand());
  DeleteFileA(harness::RecordedLinksFile().c_str());

  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.AwaitReady());
  ASSERT_NO_FATAL_FAILURE(ShowAbout());
  EXPECT_EQ(run.Prop("AboutForm", "Caption"), "About");
  EXPECT_EQ(run.Text("AboutForm.lylblTitle"), "About");
  EXPECT_EQ(run.Text("AboutForm.lylblCaption"), "Brimvale \r\nVersion " ORVANE_VERSION);
  EXPECT_EQ(run.Text("AboutForm.lylblCopyright"), kCopyright);
  EXPECT_EQ(run.Text("AboutForm.lylblWarning").rfind("This program is provided as is", 0), 0u);
  EXPECT_EQ(run.Text("AboutForm.lybtnWWW"), "Home Page");
  EXPECT_EQ(run.Text("AboutForm.lybtnEmail"), "Support E-mail");

  EXPECT_EQ(run.Ask("click\tAboutForm.lybtnWWW"), "ok");
  EXPECT_EQ(run.Ask("click\tAboutForm.lybtnEmail"), "ok");
  EXPECT_EQ(harness::AwaitRecordedLink("mailto"), "https://www.brimvale.example/\r\nmailto:support@brimvale.example\r\n");
  // The pointer's look over the links is their own, nothing the window
  // would have to put back.
  EXPECT_EQ(run.Prop("AboutForm.lybtnWWW", "Cursor"), "crHandPoint");
  EXPECT_EQ(run.Prop("AboutForm.lybtnEmail", "Cursor"), "crHandPoint");

  // Esc closes it; so does its close button, at any later showing.
  EXPECT_EQ(run.Ask("key\t27"), "ok");
  EXPECT_EQ(run.AwaitShown("AboutForm", "visible=0 showing=0"), "visible=0 showing=0");
  ASSERT_NO_FATAL_FAILURE(ShowAbout());
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
      << "[LANGUAGE]\r\nNAME=Muster\r\nDEFAULT=0\r\nLANG_MAIN_CAPTION_FULL=Muster\r\nLANG_MAIN_VERSION=9.9\r\n"
         "LANG_ABOUT_CAPTION=%d %s %n %x 100%%#13%s %s %s\r\nLANG_COMMON_ABOUT=Info\r\n";
  run.Setting("PROGRAM_OPTION", "LANGUAGE", "1");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.AwaitReady());
  ASSERT_NO_FATAL_FAILURE(ShowAbout());
  EXPECT_EQ(run.Text("AboutForm.lylblTitle"), "Info");
  EXPECT_EQ(run.Text("AboutForm.lylblCaption"), "%d Muster %n %x 100%\r\nVersion 9.9 ");
}
