// The overview strip, the tray icon's level and hint, fast free and deep
// compress with their progress, the processor guard, the five-minute lock,
// the hot key and the memory balloon, on the scripted engine's figures.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "ProgramHarness.h"

using harness::Figures;
using harness::TProgramRun;

namespace {

constexpr unsigned long long kMB = 1024 * 1024;
constexpr unsigned long long kGB = 1024 * kMB;
// Ctrl+Alt+F11 and Ctrl+Alt+F12 as the hot-key edit codes them: the key
// low, Ctrl 0x4000 and Alt 0x8000 above.
constexpr unsigned kHotKey = 0xC07A, kOtherHotKey = 0xC07B;

class Overview : public ::testing::Test {
 protected:
  void Start() {
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AwaitReady());
  }
  // Sets the figures and waits for the overview to show them.
  void Show(unsigned long long used, unsigned long long total, unsigned long long usedPagingFile,
            unsigned long long totalPagingFile, int processor, const std::string& memoryLabel) {
    ASSERT_TRUE(run.Script(Figures(used, total, usedPagingFile, totalPagingFile, processor)));
    ASSERT_EQ(run.Await("text\tMainForm.cklblMemoryUsage", memoryLabel), memoryLabel);
    ASSERT_EQ(run.AwaitProp("MainForm.skpbCPUUsage", "Position", std::to_string(processor)),
              std::to_string(processor));
  }
  // The tray icon's picture and tip. They are set last in a refresh, and a
  // refresh may answer the test in the middle (while the shell takes the
  // icon), so they are awaited too.
  void ExpectTray(int index, const std::string& hint) {
    EXPECT_EQ(run.AwaitProp("MainForm.tiTrayIcon", "IconIndex", std::to_string(index)), std::to_string(index));
    EXPECT_EQ(run.AwaitProp("MainForm.tiTrayIcon", "Hint", hint), hint);
  }
  // Starts with the processor guard on at `limit` percent.
  void StartGuarded(int limit) {
    run.Setting("AUTO_COMPRESSION", "CPUProtectionValue", std::to_string(limit));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(run.Script("set\tCpuProtectionOn\t1"));
  }
  // At `processor` percent the compress button starts nothing and says
  // nothing.
  void ExpectCompressRefusedAt(int processor) {
    ASSERT_NO_FATAL_FAILURE(Show(kGB, 2 * kGB, kGB, 4 * kGB, processor, "MEM usage: 1024/2048 MB"));
    EXPECT_EQ(run.Ask("click\tMainForm.btnDefrag"), "ok");
    ASSERT_NO_FATAL_FAILURE(Settle());
    EXPECT_EQ(run.LogCount("DeepCompress"), 0u);
    EXPECT_EQ(run.Prop("MainForm.tmrWait5Min", "Enabled"), "False");
    EXPECT_EQ(run.Ask("boxes"), "");
  }
  // A logged action after the ones before it: once it is in the log, the
  // earlier clicks have been handled too.
  void Settle() {
    std::size_t frees = run.LogCount("FastFree");
    EXPECT_EQ(run.Ask("click\tMainForm.btnFreeUp"), "ok");
    ASSERT_TRUE(run.AwaitLog("FastFree", frees + 1));
  }
  void TearDown() override {
    if (!run.Running()) return;
    run.Ask("close\tMainForm");
    EXPECT_EQ(run.WaitForExit(), 0u);
  }

  TProgramRun run{::testing::UnitTest::GetInstance()->current_test_info()->name(), TProgramRun::Scripted};
};

}  // namespace

TEST_F(Overview, BarsLabelsTheTrayIconAndTheBalloonFollowTheFigures) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Show(kGB, 2 * kGB, kGB, 4 * kGB, 20, "MEM usage: 1024/2048 MB"));
  EXPECT_EQ(run.Prop("MainForm.skpbMemoryUsage", "Position"), "50");
  EXPECT_EQ(run.Text("MainForm.cklblPagingFileUsage"), "PF usage: 1024/4096 MB");
  EXPECT_EQ(run.Prop("MainForm.skpbPagingFileUsage", "Position"), "25");
  EXPECT_EQ(run.Text("MainForm.cklblCPUUsage"), "CPU usage");
  ExpectTray(5, "Brimvale\r\n1024/2048 MB (50%)");

  ASSERT_NO_FATAL_FAILURE(Show(2 * kGB, 2 * kGB, 0, 4 * kGB, 100, "MEM usage: 2048/2048 MB"));
  EXPECT_EQ(run.Prop("MainForm.skpbMemoryUsage", "Position"), "100");
  ExpectTray(10, "Brimvale\r\n2048/2048 MB (100%)");
  ASSERT_NO_FATAL_FAILURE(Show(2 * kGB - 1, 2 * kGB, 0, 4 * kGB, 0, "MEM usage: 2048/2048 MB"));
  ExpectTray(9, "Brimvale\r\n2048/2048 MB (100%)");  // truncated, not rounded
  ASSERT_NO_FATAL_FAILURE(Show(0, 2 * kGB, 0, 4 * kGB, 0, "MEM usage: 0/2048 MB"));
  ExpectTray(0, "Brimvale\r\n0/2048 MB (0%)");

  // 64 GB and beyond: exact 64-bit figures, halves to even.
  ASSERT_NO_FATAL_FAILURE(Show(48 * kGB + kMB / 2, 64 * kGB, 3 * kMB / 2, 128 * kGB, 7, "MEM usage: 49152/65536 MB"));
  EXPECT_EQ(run.Text("MainForm.cklblPagingFileUsage"), "PF usage: 2/131072 MB");
  EXPECT_EQ(run.Prop("MainForm.skpbMemoryUsage", "Position"), "75");

  // Totals of 0 divide nothing.
  ASSERT_NO_FATAL_FAILURE(Show(kGB, 0, kGB, 0, 4, "MEM usage: 1024/0 MB"));
  EXPECT_EQ(run.Prop("MainForm.skpbMemoryUsage", "Position"), "0");
  EXPECT_EQ(run.Prop("MainForm.skpbPagingFileUsage", "Position"), "0");
  ExpectTray(0, "Brimvale\r\n1024/0 MB (0%)");

  // The balloon shows the figures of the last refresh; from here on there is
  // none, and it must not ask for one.
  ASSERT_NO_FATAL_FAILURE(Show(kGB, 2 * kGB, 3 * kGB, 4 * kGB, 1, "MEM usage: 1024/2048 MB"));
  ASSERT_TRUE(run.Script("interval\ttmrOverview\t3600000"));
  ASSERT_TRUE(run.Script(Figures(0, 8 * kGB, 0, 8 * kGB, 0)));
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIInformation"), "ok");
  const std::string balloon =
      "Balloon\tMemory information\tMEM usage: 1024/2048 MB - (50%)\\r\\nPF usage:  3072/4096 MB - (75%)\t" +
      std::to_string(NIIF_INFO) + "\t10000";
  EXPECT_TRUE(run.AwaitLog(balloon)) << run.Log().back();

  // A hidden tray icon keeps its picture and hint.
  ExpectTray(5, "Brimvale\r\n1024/2048 MB (50%)");
  ASSERT_TRUE(run.Script("tray\t0"));
  ASSERT_TRUE(run.Script("interval\ttmrOverview\t1000"));
  ASSERT_NO_FATAL_FAILURE(Show(2 * kGB, 2 * kGB, 0, 4 * kGB, 5, "MEM usage: 2048/2048 MB"));
  EXPECT_EQ(run.Prop("MainForm.tiTrayIcon", "IconIndex"), "5");
  EXPECT_EQ(run.Prop("MainForm.tiTrayIcon", "Hint"), "Brimvale\r\n1024/2048 MB (50%)");
}

TEST_F(Overview, HiddenInTheTrayTheStripWaitsAndShowsTheLatestFiguresWhenTheWindowComesBack) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Show(kGB, 2 * kGB, kGB, 4 * kGB, 20, "MEM usage: 1024/2048 MB"));
  ASSERT_TRUE(run.Script("set\tCloseToTrayOn\t1"));
  EXPECT_EQ(run.Ask("click\tMainForm.btnClose"), "ok");
  ASSERT_EQ(run.AwaitShown("MainForm", "visible=0 showing=0"), "visible=0 showing=0");

  // The tray keeps its one-second update while the window is hidden...
  ASSERT_TRUE(run.Script(Figures(3 * kGB / 2, 2 * kGB, 2 * kGB, 4 * kGB, 40)));
  ExpectTray(7, "Brimvale\r\n1536/2048 MB (75%)");
  // ...while the strip, which nobody sees, waits.
  EXPECT_EQ(run.Text("MainForm.cklblMemoryUsage"), "MEM usage: 1024/2048 MB");
  EXPECT_EQ(run.Prop("MainForm.skpbCPUUsage", "Position"), "20");

  // No tick comes any more: what the window shows now is what it caught up
  // with on its way back.
  ASSERT_TRUE(run.Script("interval\ttmrOverview\t3600000"));
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIShowHide"), "ok");
  ASSERT_EQ(run.AwaitShown("MainForm", "visible=1 showing=1"), "visible=1 showing=1");
  EXPECT_EQ(run.Text("MainForm.cklblMemoryUsage"), "MEM usage: 1536/2048 MB");
  EXPECT_EQ(run.Text("MainForm.cklblPagingFileUsage"), "PF usage: 2048/4096 MB");
  EXPECT_EQ(run.Prop("MainForm.skpbMemoryUsage", "Position"), "75");
  EXPECT_EQ(run.Prop("MainForm.skpbCPUUsage", "Position"), "40");
  ASSERT_TRUE(run.Script("set\tCloseToTrayOn\t0"));  // the close at the end ends the program
}

TEST_F(Overview, FreeAndItsProgressFromEveryTriggerAndOnlyTheRegisteredHotKey) {
  run.Setting("PROGRAM_OPTION", "IsUseFreeMemoryNowHotKey", "1");
  run.Setting("PROGRAM_OPTION", "FreeMemoryNowHotKey", std::to_string(kHotKey));
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(run.Ask("click\tMainForm.btnFreeUp"), "ok");
  ASSERT_TRUE(run.AwaitLog("FastFree", 1));
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIFreeMemroy"), "ok");
  ASSERT_TRUE(run.AwaitLog("FastFree", 2));
  ASSERT_TRUE(run.Script("hotkey\tpress\t" + std::to_string(kHotKey)));
  ASSERT_TRUE(run.AwaitLog("FastFree", 3));
  // A key the manager holds that is not the free-memory key does nothing.
  ASSERT_TRUE(run.Script("hotkey\tadd\t" + std::to_string(kOtherHotKey)));
  ASSERT_TRUE(run.Script("hotkey\tpress\t" + std::to_string(kOtherHotKey)));
  ASSERT_NO_FATAL_FAILURE(Settle());
  EXPECT_EQ(run.LogCount("FastFree"), 4u);

  // The overview stands still while the engine frees.
  ASSERT_TRUE(run.Script("fire\tfast\t0"));
  EXPECT_EQ(run.Prop("MainForm.tmrOverview", "Enabled"), "False");
  ASSERT_TRUE(run.Script("fire\tfast\t50"));
  EXPECT_EQ(run.Prop("MainForm.tmrOverview", "Enabled"), "False");
  ASSERT_TRUE(run.Script("fire\tfast\t100"));
  EXPECT_EQ(run.Prop("MainForm.tmrOverview", "Enabled"), "True");
  EXPECT_EQ(run.Ask("boxes"), "");
}

TEST_F(Overview, ACompressShowsItsProgressKeepsItsLockAndRespectsTheProcessorGuard) {
  ASSERT_NO_FATAL_FAILURE(StartGuarded(20));
  ASSERT_NO_FATAL_FAILURE(ExpectCompressRefusedAt(20));
  ASSERT_NO_FATAL_FAILURE(Show(kGB + kMB, 2 * kGB, kGB, 4 * kGB, 19, "MEM usage: 1025/2048 MB"));
  EXPECT_EQ(run.Ask("click\tMainForm.btnDefrag"), "ok");
  ASSERT_TRUE(run.AwaitLog("DeepCompress"));
  EXPECT_EQ(run.Prop("MainForm.tmrWait5Min", "Enabled"), "True");

  // Its progress takes the buttons' place.
  ASSERT_TRUE(run.Script("fire\tdeep\t0"));
  EXPECT_EQ(run.Prop("MainForm.btnFreeUp", "Visible"), "False");
  EXPECT_EQ(run.Prop("MainForm.btnDefrag", "Visible"), "False");
  EXPECT_EQ(run.Prop("MainForm.skimgpnlCompressing", "Visible"), "True");
  EXPECT_EQ(run.Text("MainForm.cklblCompressing"), "Compressing");
  EXPECT_EQ(run.Prop("MainForm.ckpbCompressing", "Percent"), "0");
  EXPECT_EQ(run.Prop("MainForm.tmrOverview", "Enabled"), "False");
  ASSERT_TRUE(run.Script("fire\tdeep\t50"));
  EXPECT_EQ(run.Prop("MainForm.ckpbCompressing", "Percent"), "50");
  EXPECT_EQ(run.Prop("MainForm.skimgpnlCompressing", "Visible"), "True");
  EXPECT_EQ(run.Prop("MainForm.btnFreeUp", "Visible"), "False");
  EXPECT_EQ(run.Prop("MainForm.tmrOverview", "Enabled"), "False");
  // The tray still frees while the buttons are away.
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIFreeMemroy"), "ok");
  ASSERT_TRUE(run.AwaitLog("FastFree"));
  ASSERT_TRUE(run.Script("fire\tdeep\t100"));
  EXPECT_EQ(run.Prop("MainForm.ckpbCompressing", "Percent"), "100");
  EXPECT_EQ(run.Prop("MainForm.skimgpnlCompressing", "Visible"), "False");
  EXPECT_EQ(run.Prop("MainForm.btnFreeUp", "Visible"), "True");
  EXPECT_EQ(run.Prop("MainForm.btnDefrag", "Visible"), "True");
  EXPECT_EQ(run.Prop("MainForm.tmrOverview", "Enabled"), "True");

  // Within the five minutes a second one is refused with the warning.
  EXPECT_EQ(run.Ask("click\tMainForm.btnDefrag"), "ok");
  std::string boxes = run.Await("boxes", [](const std::string& b) { return !b.empty(); });
  EXPECT_EQ(boxes,
            "Warning\tSince It is advised not to defrag memory     \r\nfrequently, once the defraging task is "
            "finished,     \r\nyou have to wait at least 5 minutes to perform     \r\nthe same operation again.\t1");
  EXPECT_EQ(run.LogCount("DeepCompress"), 1u);
  // When the lock's timer fires, a compress may start again.
  ASSERT_TRUE(run.Script("interval\ttmrWait5Min\t200"));
  EXPECT_EQ(run.AwaitProp("MainForm.tmrWait5Min", "Enabled", "False"), "False");
  EXPECT_EQ(run.Ask("click\tMainForm.btnDefrag"), "ok");
  ASSERT_TRUE(run.AwaitLog("DeepCompress", 2));

  // Events that reach the window while it closes change nothing: after a
  // fast free's end the overview would run again, after a compress's start
  // the buttons would go.
  ASSERT_TRUE(run.Script("onclose\tfast\t100"));
  ASSERT_TRUE(run.Script("onclose\tdeep\t0"));
  EXPECT_EQ(run.Ask("close\tMainForm"), "ok");
  EXPECT_EQ(run.WaitForExit(), 0u);
  EXPECT_EQ(run.LogCount("After event in Close\ttmrOverview=0\tbtnFreeUp=1"), 2u);
}

TEST_F(Overview, AGuardOfZeroNeverLetsACompressStart) {
  ASSERT_NO_FATAL_FAILURE(StartGuarded(0));
  ASSERT_NO_FATAL_FAILURE(ExpectCompressRefusedAt(0));
}
