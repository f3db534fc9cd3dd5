// The automatic compress and free threads and the autorun task over fakes,
// and in the engine root: the pump's priority messages reach the automatic
// threads, and destruction stops a free-once thread that still waits.
#include <gtest/gtest.h>

#include "DefragFakes.h"
#include "MOMain.h"
#include "MOSmartOpti.h"
#include "kit/Own.h"
#include "tests/support/FakeHostProcess.h"

using tarnwick::CMODefrag;
using tarnwick::test::DefragRig;
using tarnwick::test::kMB;

namespace {

using Values = std::vector<int>;
using Sleeps = std::vector<DWORD>;

std::vector<std::pair<DWORD, std::wstring>> TwoProcesses() { return {{100, L"a.exe"}, {200, L"b.exe"}}; }

// Automatic compress on a 60 s timer with the alarm at 300 MB; a compress
// of 3 MB; automatic free off.
void AutoCompressSettings(DefragRig& rig) {
  rig.Compress(3 * kMB, 1);
  rig.config->put_IsAutoFree(VARIANT_FALSE);
  rig.config->put_IsAutoCompress(VARIANT_TRUE);
  rig.config->put_AutoCompressTimer(60000);
  rig.config->put_AutoCompressAlarm(300 * kMB);
}

}  // namespace

TEST(AutoCompress, BelowTheAlarmARoundStartsACompressAndAFastFree) {
  DefragRig rig(TwoProcesses());
  AutoCompressSettings(rig);
  rig.memory.Set(1024 * kMB, 300 * kMB - 1);
  rig.waits.passes = 1;
  rig.defrag->StartAutomaticThreads();
  ASSERT_TRUE(rig.waits.WaitFor(1, 1));  // second round asleep; free waits for a change
  rig.defrag->WaitForWorkers();
  EXPECT_EQ((Sleeps{60000, 60000}), rig.waits.Sleeps());
  EXPECT_EQ((Values{0, 33, 67, 100}), rig.CompressProgress());
  EXPECT_EQ((Values{0, 50, 100}), rig.FreeProgress());
}

TEST(AutoCompress, AtTheAlarmNothingStarts) {
  DefragRig rig(TwoProcesses());
  AutoCompressSettings(rig);
  rig.memory.Set(1024 * kMB, 300 * kMB);
  rig.waits.passes = 1;
  rig.defrag->StartAutomaticThreads();
  ASSERT_TRUE(rig.waits.WaitFor(1, 1));
  rig.defrag->WaitForWorkers();
  EXPECT_EQ((Sleeps{60000, 60000}), rig.waits.Sleeps());
  EXPECT_EQ(Values{}, rig.CompressProgress());
  EXPECT_EQ(Values{}, rig.FreeProgress());
}

TEST(AutoCompress, WaitsOutAGameAndASwitchedOffFeature) {
  DefragRig rig(TwoProcesses());
  AutoCompressSettings(rig);
  rig.config->put_IsAutoCompress(VARIANT_FALSE);
  tarnwick::testing::Bstr launcher(L"game.exe");
  ASSERT_EQ(S_OK, rig.game->StartGameMode(launcher, nullptr, VARIANT_FALSE));
  rig.defrag->StartAutomaticThreads();
  ASSERT_TRUE(rig.waits.WaitFor(0, 2));  // both threads wait for a change, none polls
  EXPECT_EQ(0, rig.waits.polls.load());

  rig.config->put_IsAutoCompress(VARIANT_TRUE);  // in game: it polls and does not compress
  ASSERT_TRUE(rig.waits.WaitFor(0, 2, 3));
  EXPECT_EQ(Sleeps{}, rig.waits.Sleeps());

  rig.game->EndGameMode();  // the timer runs again
  ASSERT_TRUE(rig.waits.WaitFor(1, 2));
  EXPECT_EQ((Sleeps{60000}), rig.waits.Sleeps());
}

TEST(AutoFree, StartsItsRoundWhenTheFeatureIsSwitchedOn) {
  DefragRig rig(TwoProcesses());
  rig.config->put_IsAutoCompress(VARIANT_FALSE);
  rig.config->put_IsAutoFree(VARIANT_FALSE);
  rig.config->put_AutoFreeTimer(600000);
  rig.waits.passes = 1;
  rig.defrag->StartAutomaticThreads();
  ASSERT_TRUE(rig.waits.WaitFor(0, 2));
  EXPECT_EQ(Sleeps{}, rig.waits.Sleeps());

  rig.config->put_IsAutoFree(VARIANT_TRUE);
  ASSERT_TRUE(rig.waits.WaitFor(1));
  rig.defrag->WaitForWorkers();
  EXPECT_EQ((Sleeps{600000, 600000}), rig.waits.Sleeps());
  EXPECT_EQ((Values{0, 50, 100}), rig.FreeProgress());
  EXPECT_EQ(Values{}, rig.CompressProgress());
}

// ===== Autorun task ==============================================================

TEST(AutorunTask, NeitherFlagStartsNothing) {
  DefragRig rig(TwoProcesses());
  rig.LoadSettings(L"AUTORUN_TASK", {{L"IsFreeOnceOnCPUIdle", L"0"}, {L"IsFreeOnceOnTimer", L"0"}});
  EXPECT_FALSE(rig.defrag->StartAutorunTask());
  rig.defrag->WaitForWorkers();
  EXPECT_EQ(Values{}, rig.FreeProgress());
}

TEST(AutorunTask, TheTimerVariantFreesOnceAfterItsTime) {
  DefragRig rig(TwoProcesses());
  rig.config->put_IsFreeOnceOnTimer(VARIANT_TRUE);
  rig.config->put_FreeOnceOnTimer(180000);
  rig.waits.passes = 1;
  EXPECT_TRUE(rig.defrag->StartAutorunTask());
  rig.defrag->WaitForWorkers();
  EXPECT_EQ((Sleeps{180000}), rig.waits.Sleeps());
  EXPECT_EQ((Values{0, 50, 100}), rig.FreeProgress());
}

TEST(AutorunTask, WithBothFlagsOnlyTheIdleVariantRunsAndWaitsForAnIdleReading) {
  DefragRig rig(TwoProcesses());
  rig.LoadSettings(L"AUTORUN_TASK", {{L"IsFreeOnceOnCPUIdle", L"1"}, {L"IsFreeOnceOnTimer", L"1"}});
  rig.counters.values[0] = 40;
  rig.state->Refresh();
  EXPECT_TRUE(rig.defrag->StartAutorunTask());
  ASSERT_TRUE(rig.waits.WaitFor(0, 1));
  EXPECT_EQ(Values{}, rig.FreeProgress());  // busy processor: nothing yet

  rig.state->Refresh();  // still busy: the thread reads it and waits for the next figures
  ASSERT_TRUE(rig.waits.WaitFor(0, 2));
  EXPECT_EQ(Values{}, rig.FreeProgress());

  rig.counters.values[0] = 0;
  rig.state->Refresh();  // someone else refreshes the figures; the thread only reads them
  rig.defrag->WaitForWorkers();
  EXPECT_EQ((Values{0, 50, 100}), rig.FreeProgress());
  EXPECT_EQ(Sleeps{}, rig.waits.Sleeps());  // the timer variant never ran
  // It looked at the figures when they changed, never by the millisecond.
  EXPECT_EQ(0, rig.waits.polls.load());
}

TEST(AutorunTask, TheIdleVariantFreesAtOnceWhenTheProcessorIsIdleAlready) {
  DefragRig rig(TwoProcesses());
  rig.LoadSettings(L"AUTORUN_TASK", {{L"IsFreeOnceOnCPUIdle", L"1"}, {L"IsFreeOnceOnTimer", L"0"}});
  rig.counters.values[0] = 0;
  rig.state->Refresh();
  EXPECT_TRUE(rig.defrag->StartAutorunTask());
  rig.defrag->WaitForWorkers();
  EXPECT_EQ((Values{0, 50, 100}), rig.FreeProgress());
}

TEST(AutorunTask, StopEndsAFreeOnceThreadThatStillWaits) {
  DefragRig rig(TwoProcesses());
  rig.config->put_IsFreeOnceOnTimer(VARIANT_TRUE);
  EXPECT_TRUE(rig.defrag->StartAutorunTask());
  ASSERT_TRUE(rig.waits.WaitFor(1));
  rig.defrag->Stop();
  EXPECT_EQ(Values{}, rig.FreeProgress());
  EXPECT_FALSE(rig.defrag->StartAutorunTask());  // nothing starts after Stop
  EXPECT_EQ(S_FALSE, rig.defrag->FastFree(VARIANT_TRUE));
}

TEST(AutorunTask, StopEndsAnIdleVariantThatWaitsForAnIdleProcessor) {
  DefragRig rig(TwoProcesses());
  rig.LoadSettings(L"AUTORUN_TASK", {{L"IsFreeOnceOnCPUIdle", L"1"}, {L"IsFreeOnceOnTimer", L"0"}});
  rig.counters.values[0] = 40;
  rig.state->Refresh();
  EXPECT_TRUE(rig.defrag->StartAutorunTask());
  ASSERT_TRUE(rig.waits.WaitFor(0, 1));
  rig.defrag->Stop();
  rig.counters.values[0] = 0;
  rig.state->Refresh();  // after the stop: no free
  EXPECT_EQ(Values{}, rig.FreeProgress());
}

// ===== In the engine root ========================================================

namespace {

// Waits (at most 20 s, a safety net) for a thread's priority.
bool PriorityBecomes(HANDLE thread, int priority) {
  for (int i = 0; i < 2000; ++i) {
    if (GetThreadPriority(thread) == priority) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace

TEST(EngineThreadsInMain, SwitchingAFeatureSetsItsThreadsPriorityThroughThePump) {
  kit::Apartment com;
  tarnwick::test::FakeHostProcess host;
  tarnwick::CMOMain main(host);
  IMODefrag* defragInterface = nullptr;
  IMOConfig* config = nullptr;
  ASSERT_EQ(S_OK, main.get_Defrag(&defragInterface));
  ASSERT_EQ(S_OK, main.get_config(&config));
  auto* defrag = static_cast<CMODefrag*>(defragInterface);
  ASSERT_NE(nullptr, defrag->AutoCompressThread());
  ASSERT_NE(nullptr, defrag->AutoFreeThread());

  config->put_IsAutoCompress(VARIANT_FALSE);
  config->put_IsAutoFree(VARIANT_FALSE);
  EXPECT_TRUE(PriorityBecomes(defrag->AutoCompressThread(), THREAD_PRIORITY_IDLE));
  EXPECT_TRUE(PriorityBecomes(defrag->AutoFreeThread(), THREAD_PRIORITY_IDLE));
  config->put_IsAutoFree(VARIANT_TRUE);
  EXPECT_TRUE(PriorityBecomes(defrag->AutoFreeThread(), THREAD_PRIORITY_NORMAL));
  EXPECT_EQ(THREAD_PRIORITY_IDLE, GetThreadPriority(defrag->AutoCompressThread()));

  // The smart analyzer's and CPU adjustment's threads are wired the same way.
  IMOSmartOpti* smartInterface = nullptr;
  ASSERT_EQ(S_OK, main.get_SmartOpti(&smartInterface));
  auto* smart = static_cast<tarnwick::CMOSmartOpti*>(smartInterface);
  ASSERT_NE(nullptr, smart->LearningThread());
  ASSERT_NE(nullptr, smart->CpuThread());
  config->put_IsSmartLearning(VARIANT_FALSE);
  config->put_IsSmartCPU(VARIANT_FALSE);
  EXPECT_TRUE(PriorityBecomes(smart->LearningThread(), THREAD_PRIORITY_IDLE));
  EXPECT_TRUE(PriorityBecomes(smart->CpuThread(), THREAD_PRIORITY_IDLE));
  config->put_IsSmartCPU(VARIANT_TRUE);
  EXPECT_TRUE(PriorityBecomes(smart->CpuThread(), THREAD_PRIORITY_NORMAL));
  smartInterface->Release();
  config->Release();
  defragInterface->Release();
}

TEST(DefragInMain, AutorunTaskAndDestructionWhileAFreeOnceThreadWaits) {
  kit::Apartment com;
  tarnwick::test::FakeHostProcess host;
  auto main = std::make_unique<tarnwick::CMOMain>(host);
  IMOConfig* config = nullptr;
  ASSERT_EQ(S_OK, main->get_config(&config));
  config->put_IsFreeOnceOnCPUIdle(VARIANT_FALSE);
  config->put_IsFreeOnceOnTimer(VARIANT_FALSE);
  EXPECT_EQ(S_FALSE, main->AutorunTask());

  config->put_IsFreeOnceOnTimer(VARIANT_TRUE);
  config->put_FreeOnceOnTimer(INFINITE);
  EXPECT_EQ(S_OK, main->AutorunTask());
  config->Release();
  main.reset();  // returns: the waiting thread is woken and joined
}
