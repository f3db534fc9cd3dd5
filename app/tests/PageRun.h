// The pages' and the rules window's tests: a run of the program in a folder
// of the test's own (the harness copies the staged program folder,
// without Config\, so the engine makes its files afresh), with the test's
// view of the settings and list files it leaves there.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ListFiles.h"
#include "ProgramHarness.h"

namespace orvane::testing {

using harness::TProgramRun;

class PageRun : public ::testing::Test {
 protected:
  // Ends as the user ends it: the main window closed, the program gone.
  void TearDown() override {
    if (!run_ || !run_->Running()) return;
    Ask("close\tMainForm");
    EXPECT_EQ(run_->WaitForExit(), 0u) << "the program did not end when its window closed";
  }

  // The run, made on first use; settings written before Start stay.
  TProgramRun& Run(TProgramRun::TBuild build = TProgramRun::Shipped) {
    if (!run_)
      run_ = std::make_unique<TProgramRun>(::testing::UnitTest::GetInstance()->current_test_info()->name(), build,
                                           TProgramRun::Defaults);
    return *run_;
  }
  void Start(TProgramRun::TBuild build = TProgramRun::Shipped) {
    ASSERT_TRUE(Run(build).Start());
    ASSERT_TRUE(run_->AwaitReady()) << "the main window never showed";
  }
  void Restart() { ASSERT_TRUE(Run().Restart()); }
  // A page as the user shows it: its tab clicked.
  void ShowPage(const std::string& code) {
    Ask("click\tMainForm.btnTab" + code);
    ASSERT_EQ(Run().AwaitShown("MainForm.skimgpnl" + code, "visible=1 showing=1"), "visible=1 showing=1");
  }

  std::string Ask(const std::string& command) { return Run().Ask(command); }
  template <class Wanted>
  std::string Await(const std::string& command, const Wanted& wanted) {
    return Run().Await(command, wanted);
  }
  // A control's text and a published property once they are the ones wanted
  // (clicks and keys run after their answer).
  std::string Text(const std::string& path, const std::string& wanted) { return Await("text\t" + path, wanted); }
  std::string Prop(const std::string& path, const std::string& name, const std::string& wanted) {
    return Run().AwaitProp(path, name, wanted);
  }
  std::string Checked(const std::string& box, const std::string& wanted) { return Prop(box, "Checked", wanted); }

  // Config\config.ini: written before the start, read as the profile
  // routines read it.
  void SetSetting(const std::string& section, const std::string& key, const std::string& value) {
    CreateDirectoryA(Run().File("Config").c_str(), nullptr);
    run_->Setting(section, key, value);
  }
  std::string Setting(const std::string& section, const std::string& key) { return Run().SettingNow(section, key); }
  std::string AwaitSetting(const std::string& section, const std::string& key, const std::string& wanted) {
    return Patiently([&] { return Setting(section, key); }, wanted);
  }

  // The lines of a list file (ListFiles.h).
  std::vector<std::string> ListFile(const std::string& name) {
    return harness::ReadListFile(Run().File("Config\\" + name));
  }
  std::vector<std::string> AwaitListFile(const std::string& name, const std::vector<std::string>& wanted) {
    return Patiently([&] { return ListFile(name); }, wanted);
  }
  void WriteListFile(const std::string& name, const std::vector<std::string>& lines) {
    CreateDirectoryA(Run().File("Config").c_str(), nullptr);
    harness::WriteListFile(run_->File("Config\\" + name), lines);
  }

  // What read() gives once it is what is wanted, or at last what it gives.
  template <class Read, class Value>
  static Value Patiently(const Read& read, const Value& wanted) {
    Value value;
    const DWORD start = GetTickCount();
    while ((value = read()) != wanted && GetTickCount() - start < harness::kPatienceMs) Sleep(20);
    return value;
  }

 private:
  std::unique_ptr<TProgramRun> run_;
};

}  // namespace orvane::testing
