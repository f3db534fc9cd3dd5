// The engine's data files on disk as a user's machine may hold them: a
// replaced file keeps its attributes, and a file marked read-only is never
// written, through a whole engine life.
#include <gtest/gtest.h>

#include "MOMain.h"
#include "TempProgramFolder.h"
#include "UnicodeFiles.h"
#include "kit/Own.h"
#include "tests/support/FakeHostProcess.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

TEST(DataFiles, AReplacedFileKeepsItsAttributesAndAReadOnlyOneIsNotReplaced) {
  TempProgramFolder folder;
  const std::wstring path = folder / L"list.lst";
  WriteBytes(path, Utf16File(L"old\r\n"));
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  const DWORD hidden = Attributes(path);
  ASSERT_TRUE(ReplaceWithUnicodeText(path, L"new\r\n"));
  EXPECT_EQ(Utf16File(L"new\r\n"), ReadBytes(path));
  EXPECT_EQ(hidden, Attributes(path));

  ASSERT_TRUE(SetFileAttributesW(path.c_str(), hidden | FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(ReplaceWithUnicodeText(path, L"lost\r\n"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  EXPECT_FALSE(WriteProfileValue(path, L"s", L"k", L"v"));
  EXPECT_EQ(Utf16File(L"new\r\n"), ReadBytes(path));
  EXPECT_EQ(hidden | FILE_ATTRIBUTE_READONLY, Attributes(path));
  EXPECT_FALSE(Exists(path + L".tmp"));
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Read-only settings, lists and learning file through create, Open, puts,
// Save, a rebuild of the smart list and Close: not a byte changes, and the
// mark stays.
TEST(DataFiles, ReadOnlyFilesOutliveAWholeEngineLife) {
  kit::Apartment com;
  TempProgramFolder folder;
  test::FakeHostProcess host;
  { CMOMain first(host, folder.path()); }  // makes Config\ and its files

  std::wstring learning;
  for (int day = 1; day <= 40; ++day) {  // more days than the period keeps
    wchar_t section[24];
    swprintf(section, 24, L"[2025-%02d-%02d]\r\n", 1 + (day - 1) / 28, 1 + (day - 1) % 28);
    learning += section;
    learning += L"seen" + std::to_wstring(day % 3) + L".exe=" + std::to_wstring(day) + L"\r\n";
  }
  WriteBytes(folder / L"Config\\smart.ini", Utf16File(learning));
  WriteBytes(folder / L"Config\\black.lst", Utf16File(L"black.exe\r\n"));
  WriteBytes(folder / L"Config\\smart.lst", Utf16File(L"old.exe\r\n"));
  const wchar_t* files[] = {L"Config\\config.ini", L"Config\\black.lst", L"Config\\white.lst",
                            L"Config\\smart.lst", L"Config\\smart.ini"};
  std::vector<std::vector<unsigned char>> before;
  for (const wchar_t* file : files) {
    before.push_back(ReadBytes(folder / file));
    ASSERT_TRUE(SetFileAttributesW((folder / file).c_str(), FILE_ATTRIBUTE_READONLY));
  }

  {
    CMOMain main(host, folder.path());
    EXPECT_EQ(S_OK, main.Open());
    IMOConfig* config = nullptr;
    ASSERT_EQ(S_OK, main.get_config(&config));
    EXPECT_EQ(S_OK, config->put_AutoFreeTimer(1234));
    EXPECT_EQ(S_OK, config->put_IsCheckIdleList(VARIANT_FALSE));
    EXPECT_EQ(S_OK, config->put_ConfigItem(Bstr(L"PROGRAM_OPTION"), Bstr(L"LANGUAGE"), Bstr(L"2")));
    EXPECT_EQ(S_OK, config->Save(MO_CONFIG_ALL_SETTINGS));
    config->Release();
    IMORulesList* black = nullptr;
    ASSERT_EQ(S_OK, main.get_BlackList(&black));
    EXPECT_EQ(S_FALSE, black->AddItem(Bstr(L"new.exe")));  // kept in memory, not written
    VARIANT_BOOL in = VARIANT_FALSE;
    EXPECT_EQ(S_OK, black->get_IsInList(Bstr(L"new.exe"), &in));
    EXPECT_EQ(VARIANT_TRUE, in);
    black->Release();
    IMOSmartOpti* smart = nullptr;
    ASSERT_EQ(S_OK, main.get_SmartOpti(&smart));
    EXPECT_EQ(S_OK, smart->UpdateSmartList());
    smart->Release();
    EXPECT_EQ(S_OK, main.Close());
  }

  for (size_t i = 0; i < std::size(files); ++i) {
    const std::wstring path = folder / files[i];
    EXPECT_EQ(before[i], ReadBytes(path)) << files[i];
    EXPECT_TRUE(Attributes(path) & FILE_ATTRIBUTE_READONLY) << files[i];
    EXPECT_FALSE(Exists(path + L".tmp")) << files[i];
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

}  // namespace
