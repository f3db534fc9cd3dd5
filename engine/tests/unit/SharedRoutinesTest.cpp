#include "SharedRoutines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace tarnwick;

TEST(ReplaceText, ReplacesUpToCountRestartingFromTheStart) {
  wchar_t text[64] = L"a%b%c%d";
  EXPECT_EQ(2u, ReplaceText(text, sizeof(text), L"%", L"-", 2));
  EXPECT_STREQ(L"a-b-c%d", text);
  EXPECT_EQ(1u, ReplaceText(text, sizeof(text), L"%", L"-", UINT32_MAX));
  EXPECT_STREQ(L"a-b-c-d", text);
}

TEST(ReplaceText, LongerReplacementGrowsTheString) {
  wchar_t text[64] = L"x\\y\\z";
  EXPECT_EQ(2u, ReplaceText(text, sizeof(text), L"\\", L"<sep>", UINT32_MAX));
  EXPECT_STREQ(L"x<sep>y<sep>z", text);
}

TEST(ReplaceText, NeverWritesPastTheBuffer) {
  // Room for 8 units: "ab" -> each 'b' becoming "bbbb" would overflow quickly.
  wchar_t buffer[12];
  wmemset(buffer, L'#', 12);
  wcscpy(buffer, L"a_a_a");           // 5 units + terminator
  const size_t bytes = 8 * sizeof(wchar_t);
  uint32_t n = ReplaceText(buffer, bytes, L"_", L"xyz", UINT32_MAX);
  EXPECT_EQ(1u, n);                    // 5 -> 7 fits, 7 -> 9 would not
  EXPECT_STREQ(L"axyza_a", buffer);
  EXPECT_EQ(L'#', buffer[8]);          // untouched beyond the limit
}

TEST(ReplaceText, NothingToDoAnswersZero) {
  wchar_t text[16] = L"abc";
  EXPECT_EQ(0u, ReplaceText(nullptr, 16, L"a", L"b", 1));
  EXPECT_EQ(0u, ReplaceText(text, sizeof(text), nullptr, L"b", 1));
  EXPECT_EQ(0u, ReplaceText(text, sizeof(text), L"a", nullptr, 1));
  EXPECT_EQ(0u, ReplaceText(text, sizeof(text), L"", L"b", 1));
  EXPECT_EQ(0u, ReplaceText(text, sizeof(text), L"a", L"b", 0));
  EXPECT_EQ(0u, ReplaceText(text, sizeof(text), L"A", L"b", 1));  // case-sensitive
  wchar_t empty[4] = L"";
  EXPECT_EQ(0u, ReplaceText(empty, sizeof(empty), L"a", L"b", 1));
  EXPECT_STREQ(L"abc", text);
}

TEST(ReplaceText, UnterminatedBufferIsLeftAlone) {
  wchar_t text[3] = {L'a', L'a', L'a'};
  EXPECT_EQ(0u, ReplaceText(text, sizeof(text), L"a", L"b", 1));
}

TEST(IsBlank, OnlySpacesAreBlank) {
  EXPECT_TRUE(IsBlank(nullptr));
  EXPECT_TRUE(IsBlank(L""));
  EXPECT_TRUE(IsBlank(L"   "));
  EXPECT_FALSE(IsBlank(L"\t"));
  EXPECT_FALSE(IsBlank(L" \t "));
  EXPECT_FALSE(IsBlank(L"  a"));
}

TEST(ModuleFolder, IsTheTestExecutablesFolder) {
  wchar_t folder[kFolderChars];
  ASSERT_TRUE(ModuleFolder(folder));
  wchar_t exe[kFolderChars];
  GetModuleFileNameW(nullptr, exe, kFolderChars);
  std::wstring expected(exe);
  expected.erase(expected.rfind(L'\\') + 1);
  EXPECT_EQ(expected, folder);
  EXPECT_FALSE(ModuleFolder(nullptr));
}

TEST(SystemFolders, GivesFoldersWithTrailingBackslash) {
  wchar_t windows[kFolderChars], system[kFolderChars], drive[kFolderChars];
  ASSERT_TRUE(SystemFolders(windows, system, drive));
  EXPECT_EQ(L'\\', windows[wcslen(windows) - 1]);
  EXPECT_EQ(L'\\', system[wcslen(system) - 1]);
  EXPECT_EQ(0, _wcsnicmp(system, windows, wcslen(windows)));  // system folder lies below
  EXPECT_EQ(3u, wcslen(drive));
  EXPECT_EQ(system[0], drive[0]);
  EXPECT_STREQ(L":\\", drive + 1);
  EXPECT_TRUE(SystemFolders(nullptr, nullptr, drive));  // outputs are optional
}
