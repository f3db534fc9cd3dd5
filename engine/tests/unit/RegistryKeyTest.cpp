// The counted registry key: error codes carried by its exceptions, value
// types it reads and refuses, and shared handles closed exactly once.
#include "RegistryKey.h"

#include "RegistryScratch.h"

#include <gtest/gtest.h>

using RegTemplate::CRegistryKey;
using tarnwick::testing::ScratchRegistry;

namespace {

template <class Call>
CRegistryKey::Exception Thrown(Call call) {
  try {
    call();
  } catch (const CRegistryKey::Exception& e) {
    return e;
  }
  ADD_FAILURE() << "no exception";
  return CRegistryKey::Exception("none", 0xFFFFFFFF);
}

bool IsOpen(HKEY key) {
  return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace

TEST(RegistryKey, FailuresCarryTheOperationAndTheWindowsCode) {
  ScratchRegistry registry;
  auto missing = Thrown([&] { CRegistryKey key(registry.LocalMachine(), L"No\\Such\\Key", KEY_READ); });
  EXPECT_STREQ("CRegistryKey::CRegistryKey(HKEY hKey ...)", missing.Operation());
  EXPECT_EQ(2u, missing.Code());

  CRegistryKey parent(registry.LocalMachine(), nullptr, KEY_ALL_ACCESS);
  parent.CreateKey(L"Fresh", nullptr, 0, KEY_ALL_ACCESS, nullptr);
  auto exists = Thrown([&] { parent.CreateKey(L"Fresh", nullptr, 0, KEY_ALL_ACCESS, nullptr); });
  EXPECT_STREQ("CRegistryKey::CreateKey()", exists.Operation());
  EXPECT_EQ(183u, exists.Code());
  DWORD disposition = 0;
  parent.CreateOrOpenKey(L"Fresh", nullptr, 0, KEY_ALL_ACCESS, nullptr, &disposition);
  EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
  EXPECT_TRUE(parent.KeyExists(L"Fresh", KEY_READ));
  EXPECT_FALSE(parent.KeyExists(L"Stale", KEY_READ));

  auto wrongType = Thrown([&] { parent.SetValue(L"n", DWORD{1}, REG_SZ); });
  EXPECT_STREQ("CRegistryKey::SetValue()", wrongType.Operation());
  EXPECT_EQ(1004u, wrongType.Code());
  EXPECT_EQ(1004u, Thrown([&] { parent.SetValue(L"t", L"x", REG_BINARY); }).Code());
  EXPECT_FALSE(parent.ValueExists(L"n"));

  DWORD number = 0;
  auto unread = Thrown([&] { parent.QueryValue(L"absent", number); });
  EXPECT_STREQ("CRegistryKey::QueryValue()", unread.Operation());
  EXPECT_EQ(2u, unread.Code());
  // A DWORD of two bytes is malformed, not merely of another type.
  ScratchRegistry::Set(registry.LocalMachine(), nullptr, L"short", REG_DWORD, "\x01\x02", 2);
  EXPECT_EQ(0u, Thrown([&] { parent.QueryValue(L"short", number); }).Code());
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), Thrown([] { CRegistryKey().SetValue(L"x", DWORD{1}); }).Code());
}

TEST(RegistryKey, ReadsOnlyItsOwnTypesAndTerminatesText) {
  ScratchRegistry registry;
  HKEY root = registry.LocalMachine();
  CRegistryKey key(root, nullptr, KEY_ALL_ACCESS);
  key.SetValue(L"text", L"12");
  key.SetValue(L"number", DWORD{7});
  DWORD number = 99;
  std::unique_ptr<wchar_t[]> text;
  std::vector<BYTE> bytes{1, 2, 3};
  EXPECT_FALSE(key.QueryValue(L"text", number));
  EXPECT_FALSE(key.QueryValue(L"number", text));
  EXPECT_FALSE(key.QueryValue(L"text", bytes));
  EXPECT_EQ(99u, number);
  EXPECT_EQ(nullptr, text);
  EXPECT_EQ(3u, bytes.size());

  // Four characters stored without their zero, and an odd byte count.
  ScratchRegistry::Set(root, nullptr, L"bare", REG_SZ, L"4096", 4 * sizeof(wchar_t));
  ScratchRegistry::Set(root, nullptr, L"odd", REG_EXPAND_SZ, L"ab", 3);
  ASSERT_TRUE(key.QueryValue(L"bare", text));
  EXPECT_STREQ(L"4096", text.get());
  ASSERT_TRUE(key.QueryValue(L"odd", text));
  EXPECT_STREQ(L"a", text.get());

  key.SetValue(L"be", DWORD{0x12345678}, REG_DWORD_BIG_ENDIAN);
  ASSERT_TRUE(ScratchRegistry::Get(root, nullptr, L"be", bytes));
  EXPECT_EQ((std::vector<BYTE>{0x12, 0x34, 0x56, 0x78}), bytes);
  ASSERT_TRUE(key.QueryValue(L"be", number));
  EXPECT_EQ(0x12345678u, number);
}

TEST(RegistryKey, CopiesShareOneHandleClosedOnce) {
  ScratchRegistry registry;
  HKEY handle = nullptr;
  {
    CRegistryKey working;
    {
      CRegistryKey opened(registry.LocalMachine(), nullptr, KEY_READ);
      handle = opened.Handle();
      CRegistryKey copy(opened);
      working = copy;
      working = working;
    }
    EXPECT_EQ(handle, working.Handle());
    EXPECT_TRUE(IsOpen(handle));
  }
  EXPECT_FALSE(IsOpen(handle));
  // A wrapped predefined root stays usable by the rest of the process.
  { CRegistryKey root(HKEY_CURRENT_USER); }
  EXPECT_TRUE(IsOpen(HKEY_CURRENT_USER));
}

TEST(RegistryKey, EveryExceptionKeepsItsOwnText) {
  CRegistryKey::Exception notFound("a", ERROR_FILE_NOT_FOUND);
  CRegistryKey::Exception denied("b", ERROR_ACCESS_DENIED);
  std::wstring first = notFound.Message();
  EXPECT_FALSE(first.empty());
  EXPECT_NE(first, denied.Message());
  EXPECT_EQ(first, notFound.Message());
  // A code without any system text ends in a plain fallback.
  EXPECT_EQ(L"Error 536936447", CRegistryKey::Exception("c", 0x2000FFFF).Message());
}
