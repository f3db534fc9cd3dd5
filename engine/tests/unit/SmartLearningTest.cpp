// The smart analyzer: counting samples per day and program in the learning
// file, rebuilding the smart list from the totals, pruning old days, the
// reset, and the learning thread over a scripted foreground.
#include "SmartLearning.h"

#include <gtest/gtest.h>

#include "SmartFakes.h"
#include "UnicodeFiles.h"

using namespace tarnwick;
using namespace tarnwick::test;
namespace tt = tarnwick::testing;
using tarnwick::testing::ReadBytes;
using tarnwick::testing::Utf16File;
using tarnwick::testing::Utf16Text;
using tarnwick::testing::WriteBytes;

namespace {

struct LearningFile : ::testing::Test {
  LearningFile() { smartList.Open(L"Config\\smart.lst", folder.path()); }

  std::wstring Path() const { return folder / L"Config\\smart.ini"; }
  std::wstring Text() const { return Utf16Text(ReadBytes(Path())); }
  void Write(const std::wstring& text) { WriteBytes(Path(), Utf16File(text)); }
  std::wstring ListFile() const { return Utf16Text(ReadBytes(folder / L"Config\\smart.lst")); }
  std::vector<std::wstring> ListItems() {
    std::vector<std::wstring> items;
    ULONG count = 0;
    smartList.get_ItemCount(&count);
    for (ULONG i = 0; i < count; ++i) {
      tt::Bstr item;
      smartList.get_Item(i, item.out());
      items.push_back(item.str());
    }
    return items;
  }

  tt::TempProgramFolder folder;
  CMORulesList smartList;  // creates Config\ and an empty list file
  FixedClock clock;
  CountingFileWrites writes;
  SmartLearning learning{Path(), clock, writes};
};

// One day's section of a learning file, as the profile functions write it.
std::wstring DaySectionText(int day) {
  FILETIME time;
  const SYSTEMTIME first = {2000, 1, 0, 1, 0, 0, 0, 0};
  SystemTimeToFileTime(&first, &time);
  ULARGE_INTEGER t = {{time.dwLowDateTime, time.dwHighDateTime}};
  t.QuadPart += static_cast<ULONGLONG>(day) * 864000000000ull;
  time = {t.LowPart, t.HighPart};
  SYSTEMTIME date;
  FileTimeToSystemTime(&time, &date);
  wchar_t header[16];
  swprintf(header, 16, L"[%d-%02d-%02d]", date.wYear, date.wMonth, date.wDay);
  return std::wstring(header) + L"\r\napp.exe=" + std::to_wstring(day % 97) + L"\r\nb.exe=1\r\n";
}

// Start-up pruning as the profile functions alone would do it: each old
// day deleted by name (every deletion rewrites the file), then tidied.
void PruneDayByDay(const std::wstring& path, size_t days) {
  std::vector<wchar_t> names(1 << 16, L'\0');
  GetPrivateProfileSectionNamesW(names.data(), static_cast<DWORD>(names.size()), path.c_str());
  std::vector<std::wstring> sections;
  for (const wchar_t* p = names.data(); *p; p += wcslen(p) + 1) sections.emplace_back(p);
  for (size_t i = 0; i + days < sections.size(); ++i) {
    WritePrivateProfileStringW(sections[i].c_str(), nullptr, nullptr, path.c_str());
  }
  std::wstring text;
  ASSERT_TRUE(ReadUnicodeText(path, &text));
  ASSERT_TRUE(ReplaceWithUnicodeText(path, TidyProfileText(text)));
}

TEST_F(LearningFile, CountsEachSampleUnderItsDayAndName) {
  Write(L"");
  clock.SetDay(2026, 3, 7);
  learning.Count(L"a.exe");
  learning.Count(L"a.exe");
  learning.Count(L"B.exe");
  clock.SetDay(2026, 3, 8);
  learning.Count(L"a.exe");
  // Names the file could not hold as keys, and blank ones, are not counted.
  for (const wchar_t* bad : {L"", L"   ", L"x=y.exe", L"[x].exe", L";x.exe"}) learning.Count(bad);

  const std::vector<unsigned char> bytes = ReadBytes(Path());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(0xFF, bytes[0]);  // still UTF-16LE
  EXPECT_EQ(0xFE, bytes[1]);
  EXPECT_EQ(L"[2026-03-07]\r\na.exe=2\r\nB.exe=1\r\n[2026-03-08]\r\na.exe=1\r\n", TidyProfileText(Text()));
}

TEST_F(LearningFile, DamagedCountStartsAgainAndMissingFileIsCreatedAsUtf16) {
  Write(L"[2026-03-07]\r\nnotepad.exe=abc\r\n");
  learning.Count(L"notepad.exe");
  EXPECT_EQ(L"[2026-03-07]\r\nnotepad.exe=1\r\n", TidyProfileText(Text()));

  DeleteFileW(Path().c_str());
  learning.Count(L"\u00e9diteur.exe");
  EXPECT_EQ(L"[2026-03-07]\r\n\u00e9diteur.exe=1\r\n", TidyProfileText(Text()));
}

TEST_F(LearningFile, RebuildTotalsDaysMergesCaseAndKeepsFirstMetOnTies) {
  smartList.ReplaceAll({L"old.exe"});
  Write(L"[2026-03-01]\r\nw.exe=4\r\nEditor.exe=5\r\njunk line\r\n\r\n"
        L"[2026-03-02]\r\nx.exe=9\r\nEDITOR.EXE=7\r\ny.exe=4\r\nz.exe=4\r\n");

  const std::vector<LearnedProgram> totals = learning.Totals();
  ASSERT_EQ(5u, totals.size());
  EXPECT_EQ(L"Editor.exe", totals[1].name);  // first spelling met
  EXPECT_EQ(12u, totals[1].total);

  // 12, 9, then three programs with 4: the one met first is kept.
  EXPECT_TRUE(learning.Rebuild(smartList, 3));
  EXPECT_EQ((std::vector<std::wstring>{L"Editor.exe", L"x.exe", L"w.exe"}), ListItems());
  EXPECT_EQ(L"Editor.exe\r\nx.exe\r\nw.exe\r\n", ListFile());

  // More places than programs: all of them, highest first.
  learning.Rebuild(smartList, 200);
  EXPECT_EQ((std::vector<std::wstring>{L"Editor.exe", L"x.exe", L"w.exe", L"y.exe", L"z.exe"}), ListItems());

  // No places: the list and its file are emptied together.
  learning.Rebuild(smartList, 0);
  EXPECT_TRUE(ListItems().empty());
  EXPECT_EQ(L"", ListFile());
}

TEST_F(LearningFile, PruneKeepsTheMostRecentDaysAndTidiesTheFile) {
  std::wstring file, kept;
  for (int day = 1; day <= 32; ++day) {
    const WORD month = day <= 31 ? 1 : 2;
    const int date = day <= 31 ? day : 1;
    const std::wstring section = L"[2026-0" + std::to_wstring(month) + (date < 10 ? L"-0" : L"-") +
                                 std::to_wstring(date) + L"]\r\napp.exe=" + std::to_wstring(day) + L"\r\n";
    file += section + L"\r\n\r\n";
    if (day > 2) kept += section;
  }
  Write(L"\r\n" + file + L"\xFEFF\xEFBB");  // stray marks at the end

  learning.Prune(30);
  EXPECT_EQ(kept, Text());
  EXPECT_EQ(0xFF, ReadBytes(Path())[0]);

  // Nothing to delete: the file is left exactly as it is.
  Write(L"[2026-03-01]\r\n\r\nx.exe=1\r\n");
  const std::vector<unsigned char> before = ReadBytes(Path());
  learning.Prune(30);
  EXPECT_EQ(before, ReadBytes(Path()));
}

TEST_F(LearningFile, PruneOfTenThousandDaysIsOneWriteOfTheLastDays) {
  std::wstring file, kept;
  for (int day = 0; day < 10000; ++day) {
    file += DaySectionText(day) + L"\r\n";
    if (day >= 10000 - 30) kept += DaySectionText(day);
  }
  Write(file);
  learning.Prune(30);
  EXPECT_EQ(1, writes.replaced.load());
  EXPECT_EQ(0, writes.profileValues.load());
  EXPECT_EQ(kept, Text());
}

TEST_F(LearningFile, PruneLeavesWhatDeletingDayByDayLeft) {
  const std::wstring file = L"\r\n;kept above the days\r\n[2026-03-01]\r\na.exe=1\r\n\r\n[2026-03-02]\r\nb.exe=2\r\n"
                            L"c.exe=3\r\n\r\n\r\n[2026-03-03]\r\n;note\r\na.exe=4\r\n[2026-03-04]\r\nd.exe=5\r\n";
  const std::wstring other = folder / L"Config\\other.ini";
  WriteBytes(other, Utf16File(file));
  PruneDayByDay(other, 2);
  Write(file);
  learning.Prune(2);
  EXPECT_EQ(ReadBytes(other), ReadBytes(Path()));
  EXPECT_EQ(L";kept above the days\r\n[2026-03-03]\r\n;note\r\na.exe=4\r\n[2026-03-04]\r\nd.exe=5\r\n", Text());
  size_t dropped = 0;
  EXPECT_EQ(L";kept above the days\r\n", PruneProfileText(file, 0, &dropped));
  EXPECT_EQ(4u, dropped);
}

TEST_F(LearningFile, ResetLeavesOnlyTheByteOrderMarkAndTheRebuildFindsNoSections) {
  Write(L"");
  learning.Count(L"a.exe");
  EXPECT_TRUE(learning.Reset());
  EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFE}), ReadBytes(Path()));
  smartList.ReplaceAll({L"old.exe"});
  learning.Rebuild(smartList, 5);
  EXPECT_TRUE(ListItems().empty());
  EXPECT_EQ(L"", ListFile());

  clock.SetDay(2026, 4, 1);
  learning.Count(L"b.exe");
  EXPECT_EQ(L"[2026-04-01]\r\nb.exe=1\r\n", TidyProfileText(Text()));
}

TEST(ExecutableNameOf, FileNameAndExtensionOfTheMainModule) {
  FakeProcessSystem processes;
  processes.Start(10, L"tool", L"C:\\Program Files\\Tool\\Tool.v2.exe");
  const size_t locked = processes.Start(11, L"locked.exe");
  processes.table[locked].openable = false;
  EXPECT_EQ(L"Tool.v2.exe", ExecutableNameOf(processes, 10));
  EXPECT_EQ(L"", ExecutableNameOf(processes, 11));
  EXPECT_EQ(L"", ExecutableNameOf(processes, 0));
  EXPECT_TRUE(processes.handles.empty());
}

// --- The learning thread -----------------------------------------------------

struct LearningThread : ::testing::Test {
  LearningThread() {
    rig.processes.Start(11, L"a.exe");
    rig.processes.Start(12, L"b.exe");
  }
  ULONG ListCount() {
    ULONG count = 0;
    rig.smartList.get_ItemCount(&count);
    return count;
  }
  SmartRig rig;
};

TEST_F(LearningThread, RebuildsTheSmartListEveryThirdSample) {
  CMOSmartOpti& opti = rig.Opti({11, 12, 11});
  ASSERT_TRUE(opti.StartLearningThread());
  // The handle the event pump gets for the learning switch's priority.
  EXPECT_TRUE(SetThreadPriority(opti.LearningThread(), THREAD_PRIORITY_IDLE));

  rig.foreground->Finish(2);
  EXPECT_EQ(2u, SmartLearning(opti.LearningPath(), rig.clock).Totals().size());
  EXPECT_EQ(0u, ListCount());

  rig.foreground->Finish(3);
  ASSERT_EQ(2u, ListCount());
  EXPECT_TRUE(rig.smartList.Contains(L"a.exe"));
  tt::Bstr first;
  rig.smartList.get_Item(0, first.out());
  EXPECT_EQ(L"a.exe", first.str());  // seen twice

  // Reset and an explicit rebuild empty the list again.
  EXPECT_EQ(S_OK, opti.ResetSmartLearning());
  EXPECT_EQ(S_OK, opti.UpdateSmartList());
  EXPECT_EQ(0u, ListCount());
}

TEST_F(LearningThread, SamplesNothingWhileAGameRuns) {
  rig.StartGame();
  ASSERT_EQ(MO_GMS_IN_GAME, rig.game->State());
  CMOSmartOpti& opti = rig.Opti({11});
  rig.foreground->Open();
  ASSERT_TRUE(opti.StartLearningThread());

  EXPECT_TRUE(rig.wait.WaitForIdleWaits(20, [&] { return rig.foreground->Calls() > 0; }));

  rig.game->EndGameMode();
  rig.foreground->WaitForCalls(1);
}

}  // namespace
