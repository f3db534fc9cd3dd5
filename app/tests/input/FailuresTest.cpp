// The program's failure paths as a user meets them: a list file that cannot
// be written, a deep compress the engine fails, and an overview refresh that
// fails on every tick.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramInUse.h"

using namespace realinput;

namespace {

using Failures = ProgramInUse;
using TLines = std::vector<std::string>;

constexpr HRESULT kFailure = E_FAIL;

}  // namespace

TEST_F(Failures, AListFileThatCannotBeWrittenIsReportedAndShownAsItHoldsIt) {
  Run().Setting("AUTO_FREE", "IsAutoFree", "1");  // the list boxes take part only then
  WriteListFile("black.lst", {"keep.exe"});
  const std::string file = Run().File("Config\\black.lst");
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_NO_FATAL_FAILURE(Start());
  HWND rules = OpenRulesWindow("Black List");
  ASSERT_NE(rules, nullptr);
  HWND list = Below(rules, "ListBox");
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(Until([&] { return ListItems(list) == TLines{"keep.exe"}; }));

  // Add: the name typed, Enter.
  Click(Centre(Below(rules, "Edit")));
  Type("added.exe");
  Key(VK_RETURN);
  HWND box = AwaitBox();
  ASSERT_NE(box, nullptr) << "no word that the list was not saved";
  EXPECT_NE(BoxTexts(box).find(file), std::string::npos) << BoxTexts(box);
  ASSERT_NO_FATAL_FAILURE(AnswerBox(box));
  EXPECT_TRUE(Until([&] { return ListItems(list) == TLines{"keep.exe"}; }))
      << "the window shows what its file does not hold";

  // Remove: the entry selected, the button clicked.
  Click(Centre(Below(rules, "TVeeButton", "Remove")));
  box = AwaitBox();
  ASSERT_NE(box, nullptr) << "no word that the list was not saved";
  EXPECT_NE(BoxTexts(box).find(file), std::string::npos) << BoxTexts(box);
  ASSERT_NO_FATAL_FAILURE(AnswerBox(box));
  EXPECT_TRUE(Until([&] { return ListItems(list) == TLines{"keep.exe"}; }))
      << "the window shows what its file does not hold";
  EXPECT_EQ(ListFile("black.lst"), TLines{"keep.exe"});
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Failures, AFailedDeepCompressStillLiftsTheLockOnItsTimer) {
  ASSERT_NO_FATAL_FAILURE(Start(TProgramRun::Scripted));
  ASSERT_TRUE(Run().Script("interval\ttmrWait5Min\t200"));
  ASSERT_TRUE(Run().Script("fail\tDeepCompress\t" + std::to_string(kFailure)));
  const POINT compress = Centre(Control("TVeeButton", "Compress"));
  Click(compress);
  HWND box = AwaitBox();
  ASSERT_NE(box, nullptr) << "the failure was not reported";
  ASSERT_NO_FATAL_FAILURE(AnswerBox(box));
  ASSERT_TRUE(Run().Script("fail\tDeepCompress\t0"));

  // The lock lifts 200 ms after the failed start; until then a press only
  // gets the warning.
  bool started = false;
  for (const DWORD start = GetTickCount(); !started && GetTickCount() - start < harness::kPatienceMs;) {
    Click(compress);
    ASSERT_TRUE(Until([&] { return Run().LogCount("DeepCompress") == 2 || TopLevel(ProcessId(), "#32770"); }));
    started = Run().LogCount("DeepCompress") == 2;
    if (!started) {
      ASSERT_NO_FATAL_FAILURE(AnswerBox(AwaitBox()));
    }
  }
  EXPECT_TRUE(started) << "every later press was refused";
}

TEST_F(Failures, AFailingOverviewShowsOneBoxAtATimeAndGoesOnOnceItIsAnswered) {
  ASSERT_NO_FATAL_FAILURE(Start(TProgramRun::Scripted));
  ASSERT_TRUE(Run().Script("interval\ttmrOverview\t100"));
  ASSERT_TRUE(Run().Script("ticks\t100"));
  ASSERT_TRUE(Run().Script("fail\tRefresh\t" + std::to_string(kFailure)));
  HWND box = AwaitBox();
  ASSERT_NE(box, nullptr) << "the failure was not reported";
  // A second's worth of the program's own clock while the box is open: the
  // overview's ticks came and went.
  const std::size_t ticks = Run().LogCount("Tick");
  ASSERT_TRUE(Until([&] { return Run().LogCount("Tick") >= ticks + 10; }));
  std::size_t boxes = 0;
  for (HWND window : TopLevels(ProcessId())) boxes += ClassOf(window) == "#32770";
  EXPECT_EQ(boxes, 1u);
  EXPECT_EQ(Run().LogCount("Refresh failed"), 1u);

  ASSERT_TRUE(Run().Script("fail\tRefresh\t0"));
  ASSERT_NO_FATAL_FAILURE(AnswerBox(box));
  EXPECT_TRUE(Run().AwaitLog("Refresh", 3)) << "the overview stopped";
}
