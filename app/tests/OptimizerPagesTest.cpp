// The general and advanced optimizer pages on the running program: what a
// page shows of the settings file, how the list boxes exclude each other,
// what the save and recommend buttons leave in Config\config.ini (the real
// engine), and the memory sliders on machines Wine does not have (the
// scripted test build).
#include <string>

#include "Formulas.h"
#include "PageRun.h"

namespace orvane::testing {
namespace {

constexpr std::uint64_t kMB = 1024 * 1024;
constexpr std::uint64_t kGB = 1024 * kMB;
constexpr WORD kHome = VK_HOME, kEnd = VK_END, kRight = VK_RIGHT;

// The total the engine measures: the same system figure.
std::uint64_t TotalMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  GlobalMemoryStatusEx(&status);
  return status.ullTotalPhys;
}

std::string Megabytes(std::uint64_t bytes) { return std::to_string(BytesToMB(bytes)) + " MB"; }

class OptimizerPages : public PageRun {
 protected:
  // Moves a slider as the keyboard does: to its end and its start (so it
  // moves whatever its place), then step by step.
  void Slide(const std::string& slider, int steps) {
    Ask("click\t" + slider);
    Ask("key\t" + std::to_string(kEnd));
    Ask("key\t" + std::to_string(kHome));
    for (int i = 0; i < steps; ++i) Ask("key\t" + std::to_string(kRight));
  }
};

TEST_F(OptimizerPages, PagesShowTheSettingsInTheSlidersSteps) {
  const std::uint64_t total = TotalMemory();
  // 20 % and a little more: the slider stays on 20, and its label tells the
  // stored size. 50.3 %: the slider moves to 50 and tells the size of that.
  const std::uint64_t alarm = PercentOfTotal(20, total) + 3 * kMB;
  const std::uint64_t expectation = PercentOfTotal(50, total) + total / 333;
  SetSetting("AUTO_FREE", "IsAutoFree", "0");
  SetSetting("AUTO_FREE", "AutoFreeTimer", "30000");             // half a minute
  SetSetting("AUTO_COMPRESSION", "AutoCompressTimer", "900000");  // beyond the slider's 10
  SetSetting("AUTO_COMPRESSION", "MemLowerLimited", std::to_string(alarm));
  SetSetting("AUTO_COMPRESSION", "MemToCompress", std::to_string(expectation));
  SetSetting("AUTO_COMPRESSION", "IsCPUProtection", "0");
  SetSetting("AUTO_COMPRESSION", "CPUProtectionValue", "150");
  SetSetting("SMART_OPTIMIZATION", "SmartLearningTimer", "90000");  // one and a half minutes
  SetSetting("SMART_OPTIMIZATION", "SmartLearningPeriod", "0");
  SetSetting("SMART_OPTIMIZATION", "SmartLearningRecord", "12");
  SetSetting("SMART_OPTIMIZATION", "IsSmartCPU", "0");
  SetSetting("SMART_OPTIMIZATION", "SmartCPURange", "1");
  ASSERT_NO_FATAL_FAILURE(Start());

  EXPECT_EQ(Text("MainForm.cklblMGAutoFreeTimerValue", "1 minute"), "1 minute");
  EXPECT_EQ(Prop("MainForm.cktbMGAutoFreeTimer", "Position", "1"), "1");
  EXPECT_EQ(Text("MainForm.cklblMGMonitorIntervalValue", "10 minutes"), "10 minutes");
  EXPECT_EQ(Prop("MainForm.cktbMGLowValue", "Position", "20"), "20");
  EXPECT_EQ(Text("MainForm.cklblMGLowValueValue", Megabytes(alarm)), Megabytes(alarm));
  EXPECT_EQ(Prop("MainForm.cktbMGDefragSize", "Position", "50"), "50");
  EXPECT_EQ(Text("MainForm.cklblMGDefragSizeValue", Megabytes(PercentOfTotal(50, total))),
            Megabytes(PercentOfTotal(50, total)));
  EXPECT_EQ(Text("MainForm.cklblMGCPUProtectionValue", "100%"), "100%");
  EXPECT_EQ(Text("MainForm.cklblMASmartAnalyzerTimerValue", "2 minutes"), "2 minutes");
  EXPECT_EQ(Text("MainForm.cklblMASmartAnalyzerPeriodValue", "1 day"), "1 day");
  EXPECT_EQ(Text("MainForm.cklblMASmartAnalyzerAttentionValue", "12 processes"), "12 processes");
  EXPECT_EQ(Text("MainForm.cklblMACPUAdjustmentRangeValue", "1 process"), "1 process");

  // Switched-off groups: their controls are off; the processor slider
  // follows its own box, which the compress box leaves on.
  EXPECT_EQ(Ask("state\tMainForm.cktbMGAutoFreeTimer"), "visible=1 showing=1 enabled=0 focused=0");
  EXPECT_EQ(Ask("state\tMainForm.ckchkMGIdleList"), "visible=1 showing=1 enabled=0 focused=0");
  EXPECT_EQ(Ask("state\tMainForm.ckchkMGCPUProtection"), "visible=1 showing=1 enabled=1 focused=0");
  EXPECT_EQ(Ask("state\tMainForm.cktbMGCPUProtection"), "visible=1 showing=1 enabled=0 focused=0");
  EXPECT_EQ(Ask("state\tMainForm.cktbMACPUAdjustmentRange"), "visible=1 showing=0 enabled=0 focused=0");
  Ask("click\tMainForm.ckchkMGAutoFree");
  Await("state\tMainForm.cktbMGAutoFreeTimer", "visible=1 showing=1 enabled=1 focused=0");
  EXPECT_EQ(Ask("state\tMainForm.ckchkMGWhiteList"), "visible=1 showing=1 enabled=1 focused=0");
  Ask("click\tMainForm.ckchkMGAutoDefrag");
  EXPECT_EQ(Await("state\tMainForm.cktbMGLowValue", "visible=1 showing=1 enabled=0 focused=0"),
            "visible=1 showing=1 enabled=0 focused=0");
  EXPECT_EQ(Ask("state\tMainForm.ckchkMGCPUProtection"), "visible=1 showing=1 enabled=0 focused=0");
}

TEST_F(OptimizerPages, ListBoxesExcludeTheOtherPairAndSaveReachesTheFile) {
  Start();  // recommended settings: the smart list on, the idle list off
  EXPECT_EQ(Checked("MainForm.ckchkMGAutoList", "True"), "True");

  Ask("click\tMainForm.ckchkMGWhiteList");
  EXPECT_EQ(Checked("MainForm.ckchkMGWhiteList", "True"), "True");
  EXPECT_EQ(Checked("MainForm.ckchkMGAutoList", "True"), "True");  // white and smart go together
  Ask("click\tMainForm.ckchkMGBlackList");
  EXPECT_EQ(Checked("MainForm.ckchkMGBlackList", "True"), "True");
  EXPECT_EQ(Checked("MainForm.ckchkMGWhiteList", "False"), "False");
  EXPECT_EQ(Checked("MainForm.ckchkMGAutoList", "False"), "False");
  Ask("click\tMainForm.ckchkMGIdleList");
  EXPECT_EQ(Checked("MainForm.ckchkMGIdleList", "True"), "True");
  EXPECT_EQ(Checked("MainForm.ckchkMGBlackList", "True"), "True");  // and so do black and idle

  Slide("MainForm.cktbMGAutoFreeTimer", 0);
  Slide("MainForm.cktbMGCPUProtection", 35);
  Slide("MainForm.cktbMGLowValue", 1);  // 21 %
  EXPECT_EQ(Text("MainForm.cklblMGAutoFreeTimerValue", "1 minute"), "1 minute");
  EXPECT_EQ(Text("MainForm.cklblMGCPUProtectionValue", "35%"), "35%");
  const std::uint64_t alarm = BytesToMB(PercentOfTotal(21, TotalMemory())) * kMB;
  EXPECT_EQ(Text("MainForm.cklblMGLowValueValue", Megabytes(alarm)), Megabytes(alarm));

  // Nothing reaches the file before the save.
  EXPECT_EQ(Setting("AUTO_FREE", "AutoFreeTimer"), "600000");
  Ask("click\tMainForm.btnMGSave");
  // The save writes one value after another: each is awaited.
  EXPECT_EQ(AwaitSetting("AUTO_FREE", "AutoFreeTimer", "60000"), "60000");
  EXPECT_EQ(AwaitSetting("AUTO_FREE", "IsCheckBlackList", "1"), "1");
  EXPECT_EQ(AwaitSetting("AUTO_FREE", "IsCheckWhiteList", "0"), "0");
  EXPECT_EQ(AwaitSetting("AUTO_FREE", "IsCheckSmartList", "0"), "0");
  EXPECT_EQ(AwaitSetting("AUTO_FREE", "IsCheckIdleList", "1"), "1");
  EXPECT_EQ(AwaitSetting("AUTO_COMPRESSION", "CPUProtectionValue", "35"), "35");
  EXPECT_EQ(AwaitSetting("AUTO_COMPRESSION", "MemLowerLimited", std::to_string(alarm)), std::to_string(alarm));

  ASSERT_NO_FATAL_FAILURE(Restart());
  EXPECT_EQ(Text("MainForm.cklblMGAutoFreeTimerValue", "1 minute"), "1 minute");
  EXPECT_EQ(Text("MainForm.cklblMGCPUProtectionValue", "35%"), "35%");
  EXPECT_EQ(Prop("MainForm.cktbMGLowValue", "Position", "21"), "21");
  EXPECT_EQ(Checked("MainForm.ckchkMGBlackList", "True"), "True");
  EXPECT_EQ(Checked("MainForm.ckchkMGIdleList", "True"), "True");
  EXPECT_EQ(Checked("MainForm.ckchkMGAutoList", "False"), "False");
}

TEST_F(OptimizerPages, RecommendResetsItsGroupsAndSavesEveryOther) {
  ASSERT_NO_FATAL_FAILURE(Start());
  Ask("click\tMainForm.btnTabMA");
  Slide("MainForm.cktbMACPUAdjustmentRange", 8);  // 9 processes, not saved
  Slide("MainForm.cktbMASmartAnalyzerPeriod", 0);
  EXPECT_EQ(Text("MainForm.cklblMACPUAdjustmentRangeValue", "9 processes"), "9 processes");
  EXPECT_EQ(Text("MainForm.cklblMASmartAnalyzerPeriodValue", "1 day"), "1 day");
  Ask("click\tMainForm.btnTabMG");
  Slide("MainForm.cktbMGAutoFreeTimer", 2);
  Ask("click\tMainForm.ckchkMGAutoDefrag");
  EXPECT_EQ(Checked("MainForm.ckchkMGAutoDefrag", "False"), "False");

  Ask("click\tMainForm.btnMGDefault");
  EXPECT_EQ(Text("MainForm.cklblMGAutoFreeTimerValue", "10 minutes"), "10 minutes");
  EXPECT_EQ(Checked("MainForm.ckchkMGAutoDefrag", "True"), "True");
  EXPECT_EQ(Setting("AUTO_FREE", "AutoFreeTimer"), "600000");
  EXPECT_EQ(Setting("AUTO_COMPRESSION", "IsAutoCompress"), "1");
  // Every other group is saved as the engine holds it.
  EXPECT_EQ(Setting("SMART_OPTIMIZATION", "SmartCPURange"), "9");
  EXPECT_EQ(Setting("SMART_OPTIMIZATION", "SmartLearningPeriod"), "1");

  Ask("click\tMainForm.btnTabMA");
  Ask("click\tMainForm.btnMADefault");
  EXPECT_EQ(Text("MainForm.cklblMACPUAdjustmentRangeValue", "5 processes"), "5 processes");
  EXPECT_EQ(Text("MainForm.cklblMASmartAnalyzerPeriodValue", "30 days"), "30 days");
  EXPECT_EQ(Setting("SMART_OPTIMIZATION", "SmartCPURange"), "5");
  EXPECT_EQ(Setting("SMART_OPTIMIZATION", "SmartLearningPeriod"), "30");
}

TEST_F(OptimizerPages, MemorySlidersTellWholeMegabytesOfTheMachinesMemory) {
  ASSERT_NO_FATAL_FAILURE(Start(TProgramRun::Scripted));
  // 2 GB: 20 % is 409.6 MB, shown and saved as 410 MB.
  ASSERT_TRUE(Run().Script(harness::Figures(kGB, 2 * kGB, 0, 0, 0)));
  ASSERT_TRUE(Run().Script("refresh\t1"));
  Slide("MainForm.cktbMGLowValue", 0);
  EXPECT_EQ(Text("MainForm.cklblMGLowValueValue", "410 MB"), "410 MB");
  Ask("click\tMainForm.btnMGSave");
  EXPECT_EQ(AwaitSetting("AUTO_COMPRESSION", "MemLowerLimited", "429916160"), "429916160");
  // 8 GB: 60 % is 4915.2 MB.
  ASSERT_TRUE(Run().Script(harness::Figures(kGB, 8 * kGB, 0, 0, 0)));
  ASSERT_TRUE(Run().Script("refresh\t1"));
  Slide("MainForm.cktbMGLowValue", 40);
  EXPECT_EQ(Text("MainForm.cklblMGLowValueValue", "4915 MB"), "4915 MB");
}

TEST_F(OptimizerPages, TheIdleListHasNothingToShow) {
  ASSERT_NO_FATAL_FAILURE(Start());
  Ask("click\tMainForm.ckchkMGIdleList\tright");
  EXPECT_EQ(Await("boxes", [](const std::string& a) { return !a.empty(); }),
            "Information\tIdle List is variable and can not be displayed!\t1");
  EXPECT_EQ(Ask("popups"), "");
  EXPECT_EQ(Ask("state\tRulesForm"), "visible=0 showing=0 enabled=1 focused=0");
  // A left click only toggles it.
  Ask("click\tMainForm.ckchkMGIdleList");
  Checked("MainForm.ckchkMGIdleList", "True");
  EXPECT_EQ(Ask("boxes"), "Information\tIdle List is variable and can not be displayed!\t1");
}

}  // namespace
}  // namespace orvane::testing
