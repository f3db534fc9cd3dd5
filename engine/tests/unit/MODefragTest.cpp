// Fast free and deep compress over fakes: progress sequences, the rules
// chain, busy flags, refusals, breaking out, allocation failures, and
// emptying the clipboard.
#include "MODefrag.h"

#include <gtest/gtest.h>

#include "DefragFakes.h"

using tarnwick::CMODefrag;
using tarnwick::test::DefragRig;
using tarnwick::test::kMB;

namespace {

using Values = std::vector<int>;
using Ids = std::vector<DWORD>;

// The progress a compress of `blocks` blocks over `rounds` rounds reports:
// the formula's value after each block, each new value once, 0 first and
// 100 last.
Values ExpectedCompress(uint64_t blocks, unsigned rounds) {
  Values values = {0};
  for (unsigned i = 0; i < rounds; ++i) {
    for (uint64_t j = 0; j < blocks; ++j) {
      double v = (static_cast<double>(j + 1) / (static_cast<double>(rounds) * blocks) + static_cast<double>(i) / rounds) *
                     100 + 0.5;
      int p = static_cast<int>(v);
      if (p != 100 && p != values.back()) values.push_back(p);
    }
  }
  values.push_back(100);
  return values;
}

std::vector<std::pair<DWORD, std::wstring>> Named(int count) {
  std::vector<std::pair<DWORD, std::wstring>> processes;
  for (int i = 1; i <= count; ++i) processes.push_back({static_cast<DWORD>(i * 100), L"p" + std::to_wstring(i) + L".exe"});
  return processes;
}

Values FastFreeRun(DefragRig& rig) {
  EXPECT_EQ(S_OK, rig.defrag->FastFree(VARIANT_FALSE));
  rig.defrag->WaitForWorkers();
  return rig.FreeProgress();
}

Values CompressRun(DefragRig& rig) {
  EXPECT_EQ(S_OK, rig.defrag->DeepCompress());
  rig.defrag->WaitForWorkers();
  return rig.CompressProgress();
}

}  // namespace

// ===== Fast free =================================================================

TEST(FastFree, ProgressRisesFromZeroTo100OncePerValue) {
  {
    DefragRig rig;  // no process listed
    EXPECT_EQ((Values{0, 100}), FastFreeRun(rig));
  }
  {
    DefragRig rig(Named(3));
    rig.Checks(false, false, false, false);
    EXPECT_EQ((Values{0, 33, 67, 100}), FastFreeRun(rig));
    EXPECT_EQ((Ids{100, 200, 300}), rig.trimmer.Trimmed());
    for (DWORD access : rig.trimmer.Accesses()) EXPECT_EQ(static_cast<DWORD>(PROCESS_SET_QUOTA), access);
    EXPECT_EQ(0, rig.trimmer.OpenHandles());
  }
  {
    DefragRig rig(Named(4));
    EXPECT_EQ((Values{0, 25, 50, 75, 100}), FastFreeRun(rig));
  }
  {
    DefragRig rig(Named(250));  // 250 processes post each percent once
    Values values = FastFreeRun(rig);
    ASSERT_EQ(101u, values.size());
    for (int i = 0; i <= 100; ++i) EXPECT_EQ(i, values[i]);
  }
}

TEST(FastFree, AProcessThatCannotBeOpenedIsPassedOver) {
  DefragRig rig(Named(3));
  rig.Checks(false, false, false, false);
  rig.trimmer.unopenable = {200};
  EXPECT_EQ((Values{0, 33, 67, 100}), FastFreeRun(rig));
  EXPECT_EQ((Ids{100, 300}), rig.trimmer.Trimmed());
}

// A refresh during the walk adds and drops processes; the walk goes on over
// what was listed when it began.
TEST(FastFree, TheWalkUsesTheListAsItStoodAtTheStart) {
  DefragRig rig(Named(3));
  rig.Checks(false, false, false, false);
  rig.trimmer.beforeTrim = [&rig](DWORD id) {
    if (id != 100) return;
    rig.processes.End(1);
    for (DWORD more = 1000; more < 1010; ++more) rig.processes.Start(more, L"late.exe");
    rig.list->RefreshList();
  };
  EXPECT_EQ((Values{0, 33, 67, 100}), FastFreeRun(rig));
  EXPECT_EQ((Ids{100, 200, 300}), rig.trimmer.Trimmed());
  rig.trimmer.beforeTrim = nullptr;
  rig.trimmer.Forget();
  EXPECT_EQ((Values{0, 8, 17, 25, 33, 42, 50, 58, 67, 75, 83, 92, 100}), FastFreeRun(rig));  // the next run sees 12
  EXPECT_EQ(12u, rig.trimmer.Trimmed().size());
}

class FastFreeRules : public ::testing::Test {
 protected:
  // 0 and 4 are the idle process and the system; 400 uses 5 % of the processor.
  FastFreeRules()
      : rig({{0, L"System Idle Process"}, {4, L"System"}, {100, L"black.exe"}, {200, L"white.exe"},
             {300, L"smart.exe"}, {400, L"busy.exe"}, {500, L"plain.exe"}}) {
    rig.processes.table[5].processorTime = 50;  // busy.exe, over 1000 units of wall time
    rig.processes.now = 1000;
    rig.list->RefreshList();
    rig.whiteList.ReplaceAll({L"WHITE.EXE"});
    rig.smartList.ReplaceAll({L"Smart.Exe"});
  }
  Ids Trimmed(bool black, bool white, bool smart, bool idle) {
    rig.Checks(black, white, smart, idle);
    rig.trimmer.Forget();
    EXPECT_EQ((Values{0, 14, 29, 43, 57, 71, 86, 100}), FastFreeRun(rig));
    return rig.trimmer.Trimmed();
  }
  DefragRig rig;
};

TEST_F(FastFreeRules, EachCheckAloneAndCombined) {
  EXPECT_EQ((Ids{100, 200, 300, 400, 500}), Trimmed(false, false, false, false));  // 0 and 4 never

  EXPECT_EQ((Ids{}), Trimmed(true, false, false, false));  // an empty black list trims nothing
  rig.blackList.ReplaceAll({L"BLACK.exe", L"white.exe", L"smart.exe", L"busy.exe", L"System"});
  EXPECT_EQ((Ids{100, 200, 300, 400}), Trimmed(true, false, false, false));
  EXPECT_EQ((Ids{100, 300, 400, 500}), Trimmed(false, true, false, false));
  EXPECT_EQ((Ids{100, 200, 400, 500}), Trimmed(false, false, true, false));
  EXPECT_EQ((Ids{100, 200, 300, 500}), Trimmed(false, false, false, true));
  EXPECT_EQ((Ids{100, 400, 500}), Trimmed(false, true, true, false));
  EXPECT_EQ((Ids{100}), Trimmed(true, true, true, true));
}

TEST_F(FastFreeRules, GameModeSparesOnlyTheGamesProcesses) {
  rig.blackList.ReplaceAll({L"game.exe"});
  rig.duringGameMinute = [this] {
    rig.processes.Start(600, L"game.exe");
    rig.list->RefreshList();
  };
  tarnwick::testing::Bstr launcher(L"C:\\Games\\game.exe");
  ASSERT_EQ(S_OK, rig.game->StartGameMode(launcher, nullptr, VARIANT_FALSE));
  rig.game->WaitForMonitors();
  ASSERT_TRUE(rig.game->IsGameProcess(L"GAME.EXE"));

  rig.Checks(true, true, false, true);
  rig.trimmer.Forget();
  EXPECT_EQ((Values{0, 13, 25, 38, 50, 63, 75, 88, 100}), FastFreeRun(rig));
  EXPECT_EQ((Ids{100, 200, 300, 400, 500}), rig.trimmer.Trimmed());  // white and busy too, the game not

  rig.game->EndGameMode();
  rig.trimmer.Forget();
  FastFreeRun(rig);
  EXPECT_EQ((Ids{600}), rig.trimmer.Trimmed());  // the black list rules again
}

// ===== Deep compress =============================================================

TEST(DeepCompress, ProgressFollowsTheBlocksOfEveryRound) {
  DefragRig rig;
  struct Case {
    uint64_t size;
    unsigned char rounds;
    uint64_t blocks;
  } cases[] = {
      {7 * kMB + 5, 3, 7},
      {3 * kMB, 1, 3},
      {600 * kMB, 2, 512},  // more than is available: the available memory is used
      {1000 * kMB, 1, 512},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    rig.Compress(c.size, c.rounds);
    rig.blocks.commits = rig.blocks.touches = rig.blocks.releases = 0;
    Values values = CompressRun(rig);
    EXPECT_EQ(ExpectedCompress(c.blocks, c.rounds), values);
    EXPECT_LE(values.size(), 101u);
    EXPECT_EQ(static_cast<int>(c.blocks * c.rounds), rig.blocks.commits.load());
    EXPECT_EQ(rig.blocks.commits.load(), rig.blocks.touches.load());
    EXPECT_EQ(rig.blocks.commits.load(), rig.blocks.releases.load());
  }
  EXPECT_EQ(0, rig.blocks.badTouches.load());
}

TEST(DeepCompress, RefusedRunsReportNothing) {
  DefragRig rig;
  rig.Compress(3 * kMB, 0);
  EXPECT_EQ(Values{}, CompressRun(rig));
  rig.Compress(0, 1);
  EXPECT_EQ(Values{}, CompressRun(rig));

  rig.Compress(3 * kMB, 1);
  rig.config->put_IsCPUProtection(VARIANT_TRUE);
  rig.config->put_CPUProtectionValue(20);
  rig.counters.values[0] = 21;
  EXPECT_EQ(Values{}, CompressRun(rig));
  rig.counters.values[0] = 20;  // at the limit it runs
  EXPECT_EQ((Values{0, 33, 67, 100}), CompressRun(rig));
  EXPECT_EQ(3, rig.blocks.attempts.load());

  rig.Compress(kMB - 1, 3);  // less than one block: nothing to commit
  EXPECT_EQ((Values{0, 100}), CompressRun(rig));
  EXPECT_EQ(3, rig.blocks.attempts.load());
}

TEST(DeepCompress, BreakingOutInTheFirstOfThreeRoundsReleasesItsBlocksAndEnds) {
  DefragRig rig;
  rig.Compress(4 * kMB, 3);
  rig.blocks.afterCommit = [&rig](int n) {
    if (n == 1) rig.defrag->BreakOutFromDeepCompress();
  };
  EXPECT_EQ((Values{0, 8, 17, 100}), CompressRun(rig));
  EXPECT_EQ(2, rig.blocks.commits.load());
  EXPECT_EQ(2, rig.blocks.releases.load());

  rig.blocks.afterCommit = nullptr;  // the next request lifts the break
  EXPECT_EQ(ExpectedCompress(4, 3), CompressRun(rig));
}

TEST(DeepCompress, ABlockThatCannotBeCommittedEndsTheRunWithoutWritingIt) {
  DefragRig rig;
  rig.Compress(5 * kMB, 2);
  rig.blocks.failAt = 2;
  EXPECT_EQ((Values{0, 10, 20, 100}), CompressRun(rig));
  EXPECT_EQ(3, rig.blocks.attempts.load());
  EXPECT_EQ(2, rig.blocks.touches.load());
  EXPECT_EQ(0, rig.blocks.badTouches.load());
  EXPECT_EQ(2, rig.blocks.releases.load());
}

// ===== One worker of each kind ===================================================

TEST(DefragWorkers, ASecondRequestWhileOneRunsDoesNothing) {
  DefragRig rig(Named(2));
  rig.Checks(false, false, false, false);
  rig.Compress(2 * kMB, 1);
  HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE inside = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  auto hold = [=] {
    SetEvent(inside);
    WaitForSingleObject(gate, INFINITE);
  };
  rig.trimmer.beforeTrim = [&](DWORD) { hold(); };
  rig.blocks.afterCommit = [&](int) { hold(); };

  ASSERT_EQ(S_OK, rig.defrag->FastFree(VARIANT_TRUE));
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(inside, 20000));
  ResetEvent(inside);
  ASSERT_EQ(S_OK, rig.defrag->DeepCompress());  // a fast free and a compress run together
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(inside, 20000));
  EXPECT_EQ(S_OK, rig.defrag->FastFree(VARIANT_TRUE));
  EXPECT_EQ(S_OK, rig.defrag->DeepCompress());
  SetEvent(gate);
  rig.defrag->WaitForWorkers();
  EXPECT_EQ((Values{0, 50, 100}), rig.FreeProgress());
  EXPECT_EQ((Values{0, 50, 100}), rig.CompressProgress());
  EXPECT_EQ(2, rig.blocks.commits.load());

  // Both flags are free again.
  rig.trimmer.beforeTrim = nullptr;
  rig.blocks.afterCommit = nullptr;
  EXPECT_EQ((Values{0, 50, 100}), FastFreeRun(rig));
  EXPECT_EQ((Values{0, 50, 100}), CompressRun(rig));
  CloseHandle(gate);
  CloseHandle(inside);
}

TEST(DefragWorkers, DestructionStopsARunningCompressAndWaitsForIt) {
  DefragRig rig;
  rig.memory.Set(64 * 1024 * kMB, 32 * 1024 * kMB);  // 3 rounds of 30720 blocks, a millisecond each
  rig.Compress(30 * 1024 * kMB, 3);
  HANDLE running = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  rig.blocks.afterCommit = [&](int n) {
    if (n == 3) SetEvent(running);
    Sleep(1);
  };
  ASSERT_EQ(S_OK, rig.defrag->DeepCompress());
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(running, 20000));
  rig.defrag.reset();
  // Nothing runs any more: the counts are final and balanced.
  const int commits = rig.blocks.commits.load();
  EXPECT_LT(commits, 3 * 30720);
  EXPECT_EQ(commits, rig.blocks.releases.load());
  Values values = rig.CompressProgress();
  ASSERT_FALSE(values.empty());
  EXPECT_EQ(100, values.back());
  CloseHandle(running);
}

TEST(DefragWorkers, AnObjectWithoutSiblingsRefusesWhatNeedsThem) {
  tarnwick::test::FakeClipboardEmptying clipboard;
  CMODefrag::Seams seams;
  seams.clipboard = &clipboard;
  CMODefrag defrag(seams);
  EXPECT_EQ(S_FALSE, defrag.FastFree(VARIANT_TRUE));
  EXPECT_EQ(S_FALSE, defrag.DeepCompress());
  EXPECT_EQ(S_OK, defrag.BreakOutFromDeepCompress());
  EXPECT_FALSE(defrag.StartAutorunTask());
  defrag.StartAutomaticThreads();
  EXPECT_EQ(nullptr, defrag.AutoCompressThread());
  EXPECT_EQ(S_OK, defrag.CleanClipboard());
}

// ===== Clipboard =================================================================

TEST(CleanClipboard, EmptiesAndAlwaysClosesWhatItOpened) {
  tarnwick::test::FakeClipboardEmptying clipboard;
  CMODefrag::Seams seams;
  seams.clipboard = &clipboard;
  CMODefrag defrag(seams);
  using Calls = std::vector<std::string>;

  EXPECT_EQ(S_OK, defrag.CleanClipboard());
  EXPECT_EQ((Calls{"open", "empty", "close"}), clipboard.calls);

  clipboard.calls.clear();
  clipboard.empties = false;
  EXPECT_EQ(S_FALSE, defrag.CleanClipboard());
  EXPECT_EQ((Calls{"open", "empty", "close"}), clipboard.calls);

  clipboard.calls.clear();
  clipboard.opens = false;
  EXPECT_EQ(S_FALSE, defrag.CleanClipboard());
  EXPECT_EQ((Calls{"open"}), clipboard.calls);
}
