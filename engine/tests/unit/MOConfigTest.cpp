// The settings store: first start in a program folder of its own, loading of
// damaged files, the rules of the puts, saving by group, the generic item and
// the priority messages to the pump.
#include "MOConfig.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "FakeStateSeams.h"
#include "TempProgramFolder.h"
#include "kit/Own.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

constexpr uint64_t kTotal = 3221225472ull;  // 3 GB

using Section = std::vector<std::pair<std::wstring, std::wstring>>;

// Sections in file order, each with its key=value lines in order.
std::vector<std::pair<std::wstring, Section>> ParseIni(const std::wstring& text) {
  std::vector<std::pair<std::wstring, Section>> sections;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = text.substr(start, end - start);
    start = end + 2;
    if (line.empty()) continue;
    if (line.front() == L'[') {
      sections.push_back({line.substr(1, line.find(L']') - 1), {}});
    } else if (!sections.empty()) {
      const size_t eq = line.find(L'=');
      sections.back().second.push_back({line.substr(0, eq), line.substr(eq + 1)});
    }
  }
  return sections;
}

struct ConfigFixture : ::testing::Test {
  ConfigFixture() { memory.Set(kTotal, kTotal / 2); }

  std::wstring IniPath() const { return folder / L"Config\\config.ini"; }
  std::wstring IniText() const { return Utf16Text(ReadBytes(IniPath())); }
  std::wstring Value(const wchar_t* section, const wchar_t* key) const {
    for (const auto& [name, lines] : ParseIni(IniText())) {
      if (name != section) continue;
      for (const auto& [k, v] : lines) {
        if (k == key) return v;
      }
    }
    return L"<missing>";
  }
  void WriteIni(const std::wstring& text) {
    CreateDirectoryW((folder / L"Config").c_str(), nullptr);
    WriteBytes(IniPath(), Utf16File(text));
  }
  std::unique_ptr<CMOConfig> Start() { return std::make_unique<CMOConfig>(folder.path(), memory, counters); }

  TempProgramFolder folder;
  FakeMemory memory;
  FakeCounters counters;  // no processors: the private state needs memory only
};

// `get` is a member pointer (STDMETHODIMP: its calling convention varies).
template <class Get>
VARIANT_BOOL FlagOf(Get get, CMOConfig& config) {
  VARIANT_BOOL value = 7;
  EXPECT_EQ(S_OK, (config.*get)(&value));
  return value;
}

}  // namespace

TEST_F(ConfigFixture, FirstStartCreatesTheFolderAndRecommendedFile) {
  ASSERT_FALSE(Exists(folder / L"Config"));
  auto config = Start();
  EXPECT_EQ(IniPath(), config->ConfigPath());

  const std::vector<unsigned char> bytes = ReadBytes(IniPath());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(0xFF, bytes[0]);
  EXPECT_EQ(0xFE, bytes[1]);

  const std::vector<std::pair<std::wstring, Section>> expected = {
      {L"MANUAL_COMPRESSION", {{L"ManualCompressSize", L"2576980377"}, {L"ManualCompressLevel", L"1"}}},
      {L"AUTO_COMPRESSION",
       {{L"IsAutoCompress", L"1"}, {L"AutoCompressTimer", L"120000"}, {L"MemLowerLimited", L"644245094"},
        {L"MemToCompress", L"1610612736"}, {L"IsCPUProtection", L"1"}, {L"CPUProtectionValue", L"20"}}},
      {L"AUTO_FREE",
       {{L"IsAutoFree", L"1"}, {L"AutoFreeTimer", L"600000"}, {L"IsCheckBlackList", L"0"},
        {L"IsCheckWhiteList", L"0"}, {L"IsCheckSmartList", L"1"}, {L"IsCheckIdleList", L"0"}}},
      {L"AUTORUN_TASK", {{L"IsFreeOnceOnCPUIdle", L"1"}, {L"IsFreeOnceOnTimer", L"0"}, {L"FreeOnceOnTimer", L"180000"}}},
      {L"SMART_OPTIMIZATION",
       {{L"IsSmartLearning", L"1"}, {L"SmartLearningRecord", L"5"}, {L"SmartLearningTimer", L"60000"},
        {L"SmartLearningPeriod", L"30"}, {L"IsSmartCPU", L"1"}, {L"SmartCPURange", L"5"}}},
      {L"PROGRAM_OPTION",
       {{L"IsAutorun", L"1"}, {L"IsShowTrayIcon", L"1"}, {L"IsMinimizeToTray", L"1"}, {L"IsCloseToTray", L"0"},
        {L"IsShowNotificationInTray", L"1"}, {L"IsUseFreeMemoryNowHotKey", L"0"}, {L"FreeMemoryNowHotKey", L"0"},
        {L"MemoryGraphRefreshTimer", L"1000"}, {L"ProcessListRefreshTimer", L"1000"}}},
  };
  EXPECT_EQ(expected, ParseIni(Utf16Text(bytes)));

  for (const wchar_t* data : {L"Config\\black.lst", L"Config\\white.lst", L"Config\\smart.lst", L"Config\\smart.ini"}) {
    EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFE}), ReadBytes(folder / data)) << data;
  }
  EXPECT_TRUE(config->IsCheckSmartList());
  EXPECT_EQ(2576980377ull, config->ManualCompressSize());

  config.reset();
  auto second = Start();
  EXPECT_EQ(bytes, ReadBytes(IniPath()));  // a second start changes nothing
}

TEST_F(ConfigFixture, ExistingDataFilesAreLeftAlone) {
  CreateDirectoryW((folder / L"Config").c_str(), nullptr);
  const std::vector<unsigned char> list = Utf16File(L"a.exe\r\n");
  WriteBytes(folder / L"Config\\black.lst", list);
  auto config = Start();
  EXPECT_EQ(list, ReadBytes(folder / L"Config\\black.lst"));
}

TEST_F(ConfigFixture, MissingSectionLoadsDefaultsAndIsWrittenBack) {
  WriteIni(L"[PROGRAM_OPTION]\r\nLANGUAGE=2\r\nIsAutorun=0\r\n");
  auto config = Start();
  EXPECT_TRUE(config->IsCheckIdleList());  // load default, unlike the recommendation
  EXPECT_FALSE(config->IsCheckSmartList());
  EXPECT_FALSE(config->IsAutorun());
  EXPECT_EQ(L"1", Value(L"AUTO_FREE", L"IsCheckIdleList"));
  EXPECT_EQ(L"0", Value(L"AUTO_FREE", L"IsCheckSmartList"));
  EXPECT_EQ(L"2576980377", Value(L"MANUAL_COMPRESSION", L"ManualCompressSize"));
  EXPECT_EQ(L"2", Value(L"PROGRAM_OPTION", L"LANGUAGE"));
}

TEST_F(ConfigFixture, ALoadWritesOnlyWhatTheFileLacksOrHoldsOtherwise) {
  auto config = Start();  // the first start writes every value
  const std::wstring saved = IniText();
  auto lastWrite = [&] {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(IniPath().c_str(), GetFileExInfoStandard, &data);
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
  };
  // An old time, so that any rewrite shows.
  {
    kit::File file(CreateFileW(IniPath().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr));
    FILETIME old{0x12345678, 0x01D00000};
    ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &old));
  }
  const unsigned long long before = lastWrite();
  EXPECT_EQ(S_OK, config->Load());
  EXPECT_EQ(before, lastWrite()) << "every value stands there as it is saved";
  EXPECT_EQ(saved, IniText());

  // A value written otherwise and one missing are written back; the rest stays.
  std::wstring edited = saved;
  const std::wstring timer = L"AutoFreeTimer=600000\r\n";
  edited.replace(edited.find(timer), timer.size(), L"AutoFreeTimer=0600000\r\n");
  const std::wstring level = L"ManualCompressLevel=1\r\n";
  edited.erase(edited.find(level), level.size());
  WriteIni(edited);
  EXPECT_EQ(S_OK, config->Load());
  EXPECT_EQ(L"600000", Value(L"AUTO_FREE", L"AutoFreeTimer"));
  EXPECT_EQ(L"1", Value(L"MANUAL_COMPRESSION", L"ManualCompressLevel"));
  EXPECT_EQ(ParseIni(saved).size(), ParseIni(IniText()).size());
}

TEST_F(ConfigFixture, BooleanTextsLoadByTheirOwnRules) {
  // Quotes keep the leading space through the profile reader.
  WriteIni(L"[AUTO_FREE]\r\nIsCheckIdleList=\" 1\"\r\nIsAutoFree=\" 1\"\r\nIsCheckBlackList=01\r\n"
           L"[AUTO_COMPRESSION]\r\nIsAutoCompress=01\r\nIsCPUProtection=2\r\n");
  auto config = Start();
  EXPECT_FALSE(config->IsCheckIdleList());
  EXPECT_TRUE(config->IsAutoFree());
  EXPECT_FALSE(config->IsCheckBlackList());
  EXPECT_TRUE(config->IsAutoCompress());
  EXPECT_FALSE(config->IsCPUProtection());
}

TEST_F(ConfigFixture, OutOfRangeValuesGetThePutLimitsAndInRangeValuesLoadUnchanged) {
  WriteIni(
      L"[MANUAL_COMPRESSION]\r\nManualCompressSize=3221225472\r\nManualCompressLevel=9\r\n"
      L"[AUTO_COMPRESSION]\r\nAutoCompressTimer=0\r\nMemLowerLimited=18446744073709551615\r\nMemToCompress=1000\r\n"
      L"CPUProtectionValue=180\r\n"
      L"[AUTO_FREE]\r\nAutoFreeTimer=abc\r\n"
      L"[AUTORUN_TASK]\r\nFreeOnceOnTimer=0\r\n"
      L"[SMART_OPTIMIZATION]\r\nSmartLearningPeriod=0\r\nSmartLearningTimer=0\r\nSmartCPURange=200\r\n"
      L"SmartLearningRecord=261\r\n"
      L"[PROGRAM_OPTION]\r\nMemoryGraphRefreshTimer=400\r\nProcessListRefreshTimer=9000\r\nFreeMemoryNowHotKey=-1\r\n");
  auto config = Start();
  EXPECT_EQ(2576980377ull, config->ManualCompressSize());  // not below the memory: default
  EXPECT_EQ(3, config->ManualCompressLevel());
  EXPECT_EQ(120000u, config->AutoCompressTimer());  // a period of 0 would spin the thread
  EXPECT_EQ(644245094ull, config->AutoCompressAlarm());
  EXPECT_EQ(1000ull, config->AutoCompressExpectation());
  EXPECT_EQ(100, config->CPUProtectionValue());
  EXPECT_EQ(600000u, config->AutoFreeTimer());
  EXPECT_EQ(0u, config->FreeOnceOnTimer());  // runs once: 0 is a valid delay
  EXPECT_EQ(1, config->SmartLearningPeriod());  // 0 days would prune all learning
  EXPECT_EQ(60000u, config->SmartLearningTimer());
  EXPECT_EQ(10, config->SmartCPURange());
  EXPECT_EQ(5, config->SmartLearningRecord());  // low byte of 261
  EXPECT_EQ(1000u, config->MemoryGraphRefreshTimer());
  EXPECT_EQ(3000u, config->ProcessListRefreshTimer());
  EXPECT_EQ(0xFFFFFFFFu, config->FreeMemoryNowHotKey());
  EXPECT_EQ(L"-1", Value(L"PROGRAM_OPTION", L"FreeMemoryNowHotKey"));  // signed text, same 32 bits
  EXPECT_EQ(L"1", Value(L"SMART_OPTIMIZATION", L"SmartLearningPeriod"));

  WriteIni(L"[AUTO_FREE]\r\nAutoFreeTimer=60000\r\n[SMART_OPTIMIZATION]\r\nSmartLearningPeriod=7\r\n"
           L"[MANUAL_COMPRESSION]\r\nManualCompressLevel=0\r\nManualCompressSize=3221225471\r\n"
           L"[PROGRAM_OPTION]\r\nMemoryGraphRefreshTimer=2500\r\nProcessListRefreshTimer=0\r\n");
  EXPECT_EQ(S_OK, config->Load());
  EXPECT_EQ(60000u, config->AutoFreeTimer());
  EXPECT_EQ(7, config->SmartLearningPeriod());
  EXPECT_EQ(0, config->ManualCompressLevel());
  EXPECT_EQ(3221225471ull, config->ManualCompressSize());
  EXPECT_EQ(2500u, config->MemoryGraphRefreshTimer());
  EXPECT_EQ(0u, config->ProcessListRefreshTimer());
}

TEST_F(ConfigFixture, GarbageFileLoadsAsDefaults) {
  CreateDirectoryW((folder / L"Config").c_str(), nullptr);
  std::vector<unsigned char> junk;
  for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<unsigned char>((i * 7919) >> 3));
  WriteBytes(IniPath(), junk);
  auto config = Start();
  EXPECT_EQ(600000u, config->AutoFreeTimer());
  EXPECT_EQ(30, config->SmartLearningPeriod());
  EXPECT_GE(config->MemoryGraphRefreshTimer(), 1000u);
  EXPECT_LE(config->MemoryGraphRefreshTimer(), 3000u);
}

TEST_F(ConfigFixture, UnknownProgramFolderGivesDefaultsAndWritesNothing) {
  CMOConfig config(L"X:\\no\\such\\folder\\", memory, counters);
  EXPECT_EQ(600000u, config.AutoFreeTimer());
  EXPECT_TRUE(config.IsCheckIdleList());
  EXPECT_EQ(S_OK, config.Save(MO_CONFIG_ALL_SETTINGS));
}

TEST_F(ConfigFixture, NumericPutsClampOrRefuse) {
  auto config = Start();
  EXPECT_EQ(S_FALSE, config->put_ManualCompressSize(kTotal));  // equal to the memory
  EXPECT_EQ(S_FALSE, config->put_AutoCompressAlarm(kTotal + 1));
  EXPECT_EQ(S_FALSE, config->put_AutoCompressExpectation(UINT64_MAX));
  EXPECT_EQ(2576980377ull, config->ManualCompressSize());
  EXPECT_EQ(S_OK, config->put_ManualCompressSize(kTotal - 1));
  EXPECT_EQ(kTotal - 1, config->ManualCompressSize());
  memory.Set(kTotal / 2, 0);  // the put measures the memory anew
  EXPECT_EQ(S_FALSE, config->put_AutoCompressAlarm(kTotal / 2));

  auto after = [&](auto put, uint8_t (CMOConfig::*get)() const, unsigned char in) {
    EXPECT_EQ(S_OK, ((*config).*put)(in));
    return ((*config).*get)();
  };
  EXPECT_EQ(3, after(&CMOConfig::put_ManualCompressLevel, &CMOConfig::ManualCompressLevel, 4));
  EXPECT_EQ(0, after(&CMOConfig::put_ManualCompressLevel, &CMOConfig::ManualCompressLevel, 0));
  EXPECT_EQ(100, after(&CMOConfig::put_CPUProtectionValue, &CMOConfig::CPUProtectionValue, 101));
  EXPECT_EQ(1, after(&CMOConfig::put_SmartLearningPeriod, &CMOConfig::SmartLearningPeriod, 0));
  EXPECT_EQ(90, after(&CMOConfig::put_SmartLearningPeriod, &CMOConfig::SmartLearningPeriod, 91));
  EXPECT_EQ(90, after(&CMOConfig::put_SmartLearningPeriod, &CMOConfig::SmartLearningPeriod, 90));
  EXPECT_EQ(10, after(&CMOConfig::put_SmartCPURange, &CMOConfig::SmartCPURange, 11));
  EXPECT_EQ(0, after(&CMOConfig::put_SmartCPURange, &CMOConfig::SmartCPURange, 0));
  EXPECT_EQ(200, after(&CMOConfig::put_SmartLearningRecord, &CMOConfig::SmartLearningRecord, 200));

  EXPECT_EQ(S_OK, config->put_MemoryGraphRefreshTimer(500));
  EXPECT_EQ(1000u, config->MemoryGraphRefreshTimer());
  config->put_MemoryGraphRefreshTimer(5000);
  EXPECT_EQ(3000u, config->MemoryGraphRefreshTimer());
  config->put_ProcessListRefreshTimer(500);
  EXPECT_EQ(500u, config->ProcessListRefreshTimer());
  config->put_ProcessListRefreshTimer(4000);
  EXPECT_EQ(3000u, config->ProcessListRefreshTimer());
  config->put_AutoFreeTimer(0x80000000u);
  ULONG timer = 0;
  config->get_AutoFreeTimer(&timer);
  EXPECT_EQ(0x80000000u, timer);
}

TEST_F(ConfigFixture, FlagPutsCountOnlyVariantTrue) {
  auto config = Start();
  EXPECT_EQ(S_OK, config->put_IsCPUProtection(1));
  EXPECT_EQ(VARIANT_FALSE, FlagOf(&CMOConfig::get_IsCPUProtection, *config));
  config->put_IsCPUProtection(VARIANT_TRUE);
  EXPECT_EQ(VARIANT_TRUE, FlagOf(&CMOConfig::get_IsCPUProtection, *config));
}

TEST_F(ConfigFixture, ExclusivePairsAndTheTrayCascade) {
  auto config = Start();
  config->put_IsCheckWhiteList(VARIANT_TRUE);
  config->put_IsCheckSmartList(VARIANT_TRUE);
  config->put_IsCheckBlackList(VARIANT_TRUE);
  EXPECT_TRUE(config->IsCheckBlackList());
  EXPECT_FALSE(config->IsCheckWhiteList());
  EXPECT_FALSE(config->IsCheckSmartList());
  config->put_IsCheckSmartList(VARIANT_TRUE);
  config->put_IsCheckWhiteList(VARIANT_TRUE);
  EXPECT_FALSE(config->IsCheckBlackList());
  EXPECT_TRUE(config->IsCheckSmartList());  // not its pair
  config->put_IsCheckIdleList(VARIANT_TRUE);
  EXPECT_FALSE(config->IsCheckWhiteList());
  EXPECT_FALSE(config->IsCheckSmartList());
  config->put_IsCheckIdleList(VARIANT_FALSE);  // false clears nothing
  config->put_IsCheckBlackList(VARIANT_FALSE);
  EXPECT_FALSE(config->IsCheckIdleList());

  config->put_IsFreeOnceOnTimer(VARIANT_TRUE);
  EXPECT_FALSE(config->IsFreeOnceOnCPUIdle());
  config->put_IsFreeOnceOnCPUIdle(VARIANT_TRUE);
  EXPECT_FALSE(config->IsFreeOnceOnTimer());

  config->put_IsCloseToTray(VARIANT_TRUE);
  EXPECT_FALSE(config->IsMinimizeToTray());
  config->put_IsMinimizeToTray(VARIANT_TRUE);
  EXPECT_FALSE(config->IsCloseToTray());
  config->put_IsShowTrayIcon(VARIANT_TRUE);  // true cascades nothing
  EXPECT_TRUE(config->IsMinimizeToTray());
  EXPECT_TRUE(config->IsShowNotificationInTray());
  config->put_IsShowTrayIcon(VARIANT_FALSE);
  EXPECT_FALSE(config->IsMinimizeToTray());
  EXPECT_FALSE(config->IsCloseToTray());
  EXPECT_FALSE(config->IsShowNotificationInTray());
}

TEST_F(ConfigFixture, AutorunOffClearsTheAutorunTaskWhenRead) {
  auto config = Start();
  config->put_IsAutorun(VARIANT_FALSE);
  EXPECT_TRUE(config->IsFreeOnceOnCPUIdle());  // the put alone changes nothing else
  EXPECT_EQ(VARIANT_FALSE, FlagOf(&CMOConfig::get_IsAutorun, *config));
  EXPECT_FALSE(config->IsFreeOnceOnCPUIdle());
  EXPECT_FALSE(config->IsFreeOnceOnTimer());
}

TEST_F(ConfigFixture, ThreadSwitchesPostTheirPriorityToThePump) {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // this thread gets a queue
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
  auto config = Start();
  config->put_IsAutoCompress(VARIANT_TRUE);  // no pump yet: lost
  config->SetEventThread(GetCurrentThreadId());
  config->put_IsAutoCompress(VARIANT_TRUE);
  config->put_IsAutoFree(VARIANT_FALSE);
  config->put_IsSmartLearning(1);
  config->put_IsSmartCPU(VARIANT_TRUE);
  config->put_IsCPUProtection(VARIANT_TRUE);  // posts nothing
  config->Recommend(MO_CONFIG_ALL_SETTINGS);  // nor does a recommendation
  config->Load();

  std::vector<std::pair<UINT, int>> posted;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    posted.push_back({msg.message, static_cast<int>(static_cast<INT_PTR>(msg.wParam))});
  }
  const std::vector<std::pair<UINT, int>> expected = {
      {0x802, THREAD_PRIORITY_NORMAL}, {0x803, THREAD_PRIORITY_IDLE},
      {0x804, THREAD_PRIORITY_IDLE},   {0x805, THREAD_PRIORITY_NORMAL}};
  EXPECT_EQ(expected, posted);
}

TEST_F(ConfigFixture, PutsStayInMemoryUntilSaved) {
  auto config = Start();
  const std::wstring before = IniText();
  config->put_AutoFreeTimer(120000);
  config->put_SmartCPURange(3);
  EXPECT_EQ(before, IniText());
  EXPECT_EQ(S_OK, config->Save(MO_CONFIG_SMART_OPTIMIZATION));
  EXPECT_EQ(L"3", Value(L"SMART_OPTIMIZATION", L"SmartCPURange"));
  EXPECT_EQ(L"600000", Value(L"AUTO_FREE", L"AutoFreeTimer"));  // its group was not asked for
  config->Save(static_cast<_MO_CONFIG_SETTINGS>(MO_CONFIG_AUTO_FREE | MO_CONFIG_PROGRAM_OPTION));
  EXPECT_EQ(L"120000", Value(L"AUTO_FREE", L"AutoFreeTimer"));
}

TEST_F(ConfigFixture, SaveLeavesOtherGroupsAndTheClientsItems) {
  auto config = Start();
  Bstr section(L"PROGRAM_OPTION"), key(L"LANGUAGE"), value;
  ASSERT_EQ(S_OK, config->get_ConfigItem(section, key, value.out()));
  EXPECT_EQ(L"", value.str());
  Bstr three(L"3");
  ASSERT_EQ(S_OK, config->put_ConfigItem(section, key, three));
  // Someone edits another group behind the engine's back; a save of one group keeps it.
  WritePrivateProfileStringW(L"AUTORUN_TASK", L"FreeOnceOnTimer", L"4242", IniPath().c_str());
  config->Save(MO_CONFIG_AUTO_COMPRESSION);
  EXPECT_EQ(L"4242", Value(L"AUTORUN_TASK", L"FreeOnceOnTimer"));
  config->Save(MO_CONFIG_ALL_SETTINGS);
  EXPECT_EQ(L"3", Value(L"PROGRAM_OPTION", L"LANGUAGE"));
  EXPECT_EQ(L"180000", Value(L"AUTORUN_TASK", L"FreeOnceOnTimer"));
}

TEST_F(ConfigFixture, RecommendSetsOnlyItsGroupsButWritesAll) {
  auto config = Start();
  config->put_IsCheckIdleList(VARIANT_TRUE);
  config->put_SmartCPURange(2);
  config->put_ManualCompressLevel(3);
  WritePrivateProfileStringW(L"SMART_OPTIMIZATION", L"SmartCPURange", L"9", IniPath().c_str());
  EXPECT_EQ(S_OK, config->Recommend(MO_CONFIG_AUTO_FREE));
  EXPECT_FALSE(config->IsCheckIdleList());
  EXPECT_TRUE(config->IsCheckSmartList());
  EXPECT_EQ(2, config->SmartCPURange());
  EXPECT_EQ(L"2", Value(L"SMART_OPTIMIZATION", L"SmartCPURange"));  // current values written too
  EXPECT_EQ(L"3", Value(L"MANUAL_COMPRESSION", L"ManualCompressLevel"));
  EXPECT_EQ(L"0", Value(L"AUTO_FREE", L"IsCheckIdleList"));
}

TEST_F(ConfigFixture, ConfigItemRefusesTextsThatBreakTheFile) {
  auto config = Start();
  Bstr section(L"PROGRAM_OPTION"), key(L"LANGUAGE"), good(L"fr");
  ASSERT_EQ(S_OK, config->put_ConfigItem(section, key, good));
  const std::vector<unsigned char> before = ReadBytes(IniPath());

  Bstr newline(L"1\r\nIsAutorun=0"), lf(L"x\ny"), bracketKey(L"[A]"), eqKey(L"A=B"), crKey(L"A\rB"),
      badSection(L"S]x"), nlSection(L"S\nT");
  EXPECT_EQ(S_FALSE, config->put_ConfigItem(section, key, newline));
  EXPECT_EQ(S_FALSE, config->put_ConfigItem(section, key, lf));
  EXPECT_EQ(S_FALSE, config->put_ConfigItem(section, bracketKey, good));
  EXPECT_EQ(S_FALSE, config->put_ConfigItem(section, eqKey, good));
  EXPECT_EQ(S_FALSE, config->put_ConfigItem(section, crKey, good));
  EXPECT_EQ(S_FALSE, config->put_ConfigItem(badSection, key, good));
  EXPECT_EQ(S_FALSE, config->put_ConfigItem(nlSection, key, good));
  // Blank names and a null value are ignored as before.
  Bstr blank(L"   ");
  EXPECT_EQ(S_OK, config->put_ConfigItem(blank, key, good));
  EXPECT_EQ(S_OK, config->put_ConfigItem(section, nullptr, good));
  EXPECT_EQ(S_OK, config->put_ConfigItem(section, key, nullptr));
  EXPECT_EQ(before, ReadBytes(IniPath()));

  Bstr read;
  config->get_ConfigItem(section, key, read.out());
  EXPECT_EQ(L"fr", read.str());
  config->get_ConfigItem(blank, key, read.out());
  EXPECT_EQ(L"", read.str());
  EXPECT_NE(nullptr, static_cast<BSTR>(read));  // always a new string
  Bstr equals(L"a=b[c]");  // a value may hold them
  EXPECT_EQ(S_OK, config->put_ConfigItem(section, key, equals));
  config->get_ConfigItem(section, key, read.out());
  EXPECT_EQ(L"a=b[c]", read.str());
}

TEST_F(ConfigFixture, ChangesWakeAWatcher) {
  auto config = Start();
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  config->WatchChanges(event);
  config->put_IsAutoFree(VARIANT_FALSE);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event, 0));
  config->Load();
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event, 0));
  config->UnwatchChanges(event);
  config->put_IsAutoFree(VARIANT_TRUE);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(event, 0));
  CloseHandle(event);
}

TEST_F(ConfigFixture, DispatchFollowsTheSameRules) {
  auto config = Start();
  IDispatch* dispatch = config.get();

  LPOLESTR name = const_cast<LPOLESTR>(L"IsAutoCompress");
  DISPID id = 0;
  ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
  VARIANT one;
  VariantInit(&one);
  one.vt = VT_BOOL;
  one.boolVal = 1;
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS put = {&one, &putId, 1, 1};
  ASSERT_EQ(S_OK, dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr));
  EXPECT_FALSE(config->IsAutoCompress());

  VARIANT size;
  VariantInit(&size);
  size.vt = VT_UI8;
  size.ullVal = kTotal;
  DISPPARAMS putSize = {&size, &putId, 1, 1};
  VARIANT result;
  VariantInit(&result);
  // A refusal is a success code, which the type library's Invoke reports as
  // success; the value stays.
  EXPECT_TRUE(SUCCEEDED(dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &putSize, nullptr, nullptr, nullptr)));
  EXPECT_EQ(2576980377ull, config->ManualCompressSize());

  Bstr written(L"7");
  IMOConfig* face = config.get();
  face->put_ConfigItem(Bstr(L"PROGRAM_OPTION"), Bstr(L"LANGUAGE"), written);
  VARIANT args[2];  // reverse order: Key, then Section
  args[0].vt = VT_BSTR;
  args[0].bstrVal = SysAllocString(L"LANGUAGE");
  args[1].vt = VT_BSTR;
  args[1].bstrVal = SysAllocString(L"PROGRAM_OPTION");
  DISPPARAMS get = {args, nullptr, 2, 0};
  ASSERT_EQ(S_OK, dispatch->Invoke(33, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &get, &result, nullptr, nullptr));
  EXPECT_EQ(VT_BSTR, result.vt);
  EXPECT_STREQ(L"7", result.bstrVal);
  VariantClear(&result);
  VariantClear(&args[0]);
  VariantClear(&args[1]);
}
