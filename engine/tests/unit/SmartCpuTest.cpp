// The CPU adjustment over fake processes: raising programs that come to the
// foreground, the bounded most-recently-used list and its evictions, the
// 0x80C messages, lowering on reset and destruction, and the list shared
// between the thread and the client.
#include "SmartCpu.h"

#include <gtest/gtest.h>

#include "SmartFakes.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

constexpr DWORD kNormal = NORMAL_PRIORITY_CLASS;
constexpr DWORD kAbove = ABOVE_NORMAL_PRIORITY_CLASS;

Posted Tune(DWORD processId, bool raised) { return {kMsgSmartCpuTune, processId, raised ? 1 : 0}; }

// Six programs at normal priority, ids 101 to 106, at places 0 to 5.
void StartPrograms(FakeProcessSystem& processes) {
  for (DWORD id = 101; id <= 106; ++id) processes.Start(id, L"app" + std::to_wstring(id) + L".exe");
}

DWORD ClassAt(FakeProcessSystem& processes, size_t place) { return processes.table[place].priorityClass; }

struct BoostList : ::testing::Test {
  BoostList() {
    StartPrograms(processes);
    cpu.SetEventThread(MessageThread());
  }
  DWORD Class(DWORD id) { return ClassAt(processes, id - 101); }
  void Focus(std::initializer_list<DWORD> ids, unsigned range = 5) {
    for (DWORD id : ids) cpu.Observe(id, range);
  }

  FakeProcessSystem processes;
  SmartCpu cpu{processes};
};

TEST_F(BoostList, RangeFiveEvictsTheProgramUsedLongestAgoBeforeRaisingTheSixth) {
  Focus({101, 102, 103, 104, 105});
  for (DWORD id = 101; id <= 105; ++id) EXPECT_EQ(kAbove, Class(id)) << id;
  Focus({106});
  EXPECT_EQ(kNormal, Class(101));
  EXPECT_EQ(kAbove, Class(106));
  EXPECT_EQ((std::vector<DWORD>{106, 105, 104, 103, 102}), cpu.Listed());
  EXPECT_EQ((std::vector<Posted>{Tune(101, true), Tune(102, true), Tune(103, true), Tune(104, true),
                                 Tune(105, true), Tune(101, false), Tune(106, true)}),
            TakePosted());
}

TEST_F(BoostList, RefocusMovesToTheFrontWithoutASecondRaise) {
  Focus({101, 102, 101, 101});  // the last one: another window of the same program
  EXPECT_EQ(kAbove, Class(101));
  EXPECT_EQ((std::vector<DWORD>{101, 102}), cpu.Listed());
  EXPECT_EQ((std::vector<Posted>{Tune(101, true), Tune(102, true), Tune(101, true)}), TakePosted());

  // The one now used longest ago goes first.
  Focus({103}, 2);
  EXPECT_EQ((std::vector<DWORD>{103, 101}), cpu.Listed());
  EXPECT_EQ(kNormal, Class(102));
}

TEST_F(BoostList, HighRealTimeUnknownAndSystemProcessesAreNeverListed) {
  processes.table[0].priorityClass = HIGH_PRIORITY_CLASS;
  processes.table[1].priorityClass = REALTIME_PRIORITY_CLASS;
  processes.table[2].openable = false;
  processes.table[3].priorityClass = 0x12345;  // not a known class
  processes.Start(4, L"System");
  Focus({101, 102, 103, 104, 4, 0});
  EXPECT_TRUE(cpu.Listed().empty());

  Focus({105, 101});
  EXPECT_EQ((std::vector<DWORD>{105}), cpu.Listed());
  EXPECT_EQ(HIGH_PRIORITY_CLASS, Class(101));
  EXPECT_EQ(0x12345u, Class(104));
  EXPECT_EQ((std::vector<Posted>{Tune(105, true)}), TakePosted());
  EXPECT_EQ(1u, processes.handles.size());  // only the listed process is held
}

TEST_F(BoostList, LoweredRangeLowersWhatDropsOut) {
  Focus({101, 102, 103, 104, 105});
  TakePosted();
  Focus({106}, 2);
  EXPECT_EQ((std::vector<DWORD>{106, 105}), cpu.Listed());
  for (DWORD id = 101; id <= 104; ++id) EXPECT_EQ(kNormal, Class(id)) << id;
  EXPECT_EQ((std::vector<Posted>{Tune(101, false), Tune(102, false), Tune(103, false), Tune(104, false),
                                 Tune(106, true)}),
            TakePosted());
  EXPECT_EQ(2u, processes.handles.size());
}

TEST_F(BoostList, RangeZeroRaisesNothing) {
  Focus({101, 102});
  TakePosted();
  Focus({103}, 0);
  EXPECT_TRUE(cpu.Listed().empty());
  for (DWORD id = 101; id <= 103; ++id) EXPECT_EQ(kNormal, Class(id)) << id;
  EXPECT_EQ((std::vector<Posted>{Tune(101, false), Tune(102, false)}), TakePosted());  // oldest first
  // A range read from a hand-edited settings file is still bounded.
  for (DWORD id = 101; id <= 106; ++id) processes.Start(id + 100, L"more.exe");
  for (DWORD id = 101; id <= 106; ++id) Focus({id, id + 100}, 255);
  EXPECT_EQ(SmartCpu::kMaxRange, cpu.Listed().size());
}

TEST_F(BoostList, LowerAllKeepsTheLastForegroundAndMessagesNothing) {
  cpu.LowerAll();  // empty: nothing happens
  EXPECT_TRUE(processes.prioritySets.empty());

  Focus({101, 102, 103});
  TakePosted();
  cpu.LowerAll();
  for (DWORD id = 101; id <= 103; ++id) EXPECT_EQ(kNormal, Class(id)) << id;
  EXPECT_TRUE(cpu.Listed().empty());
  EXPECT_TRUE(TakePosted().empty());
  EXPECT_TRUE(processes.handles.empty());

  Focus({103});  // still the foreground: raised only after a change
  EXPECT_TRUE(cpu.Listed().empty());
  Focus({101});
  EXPECT_EQ(kAbove, Class(101));
}

TEST_F(BoostList, AReusedProcessIdNeverLowersTheNewProcess) {
  Focus({101, 102});
  processes.End(0);
  const size_t newcomer = processes.Start(101, L"other.exe");
  cpu.LowerAll();
  EXPECT_EQ(kNormal, ClassAt(processes, newcomer));
  EXPECT_EQ(kNormal, Class(102));

  // Listed again, then ended and reused: the newcomer is raised as new.
  Focus({103, 101});
  EXPECT_EQ(kAbove, ClassAt(processes, newcomer));
  processes.End(newcomer);
  const size_t third = processes.Start(101, L"third.exe");
  Focus({102, 101});
  EXPECT_EQ(kAbove, ClassAt(processes, third));
  EXPECT_EQ((std::vector<DWORD>{101, 102, 103}), cpu.Listed());
}

// --- The CPU thread ----------------------------------------------------------

struct CpuThread : ::testing::Test {
  CpuThread() { StartPrograms(rig.processes); }
  DWORD Class(DWORD id) { return ClassAt(rig.processes, id - 101); }
  SmartRig rig;
};

TEST_F(CpuThread, DestructionStopsTheThreadAndLowersEveryRaise) {
  CMOSmartOpti& opti = rig.Opti({101, 102, 103});
  ASSERT_TRUE(opti.StartCpuThread());
  EXPECT_TRUE(SetThreadPriority(opti.CpuThread(), THREAD_PRIORITY_IDLE));
  rig.foreground->Finish(3);
  EXPECT_EQ((std::vector<DWORD>{103, 102, 101}), opti.Boosted());
  EXPECT_EQ(kAbove, Class(102));

  rig.foreground->Open();
  rig.opti.reset();
  for (DWORD id = 101; id <= 103; ++id) EXPECT_EQ(kNormal, Class(id)) << id;
  EXPECT_TRUE(rig.processes.handles.empty());
}

TEST_F(CpuThread, ResetWhileTheThreadRunsNeverRaisesTwice) {
  rig.config->put_SmartCPURange(3);
  CMOSmartOpti& opti = rig.Opti({101, 102, 103, 104, 105, 106, 0});
  rig.foreground->Open();
  ASSERT_TRUE(opti.StartCpuThread());
  for (size_t round = 1; round <= 50; ++round) {
    rig.foreground->WaitForCalls(round * 10);
    EXPECT_EQ(S_OK, opti.ResetCPUList());
  }
  opti.Stop();
  for (DWORD id = 101; id <= 106; ++id) EXPECT_EQ(kNormal, Class(id)) << id;
  for (const auto& [id, cls] : rig.processes.prioritySets) {
    EXPECT_TRUE(cls == kNormal || cls == kAbove) << id << " set to " << cls;
  }
  EXPECT_TRUE(rig.processes.handles.empty());
  TakePosted();
}

TEST_F(CpuThread, NothingChangesWhileAGameRuns) {
  rig.StartGame();
  CMOSmartOpti& opti = rig.Opti({101});
  rig.foreground->Open();
  ASSERT_TRUE(opti.StartCpuThread());
  EXPECT_TRUE(rig.wait.WaitForIdleWaits(20, [&] { return rig.foreground->Calls() > 0; }));
  EXPECT_TRUE(opti.Boosted().empty());
}

}  // namespace
