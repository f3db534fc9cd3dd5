#include "VeeRegTools.h"

#include <gtest/gtest.h>

#include <utility>

using namespace components;

TEST(RootKeyFromName, KnowsFullAndShortNamesWithTheirCase) {
  const std::pair<const char*, HKEY> known[] = {
      {"HKCU", HKEY_CURRENT_USER},        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {"HKLM", HKEY_LOCAL_MACHINE},       {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
      {"HKU", HKEY_USERS},                {"HKPD", HKEY_PERFORMANCE_DATA},
      {"HKCC", HKEY_CURRENT_CONFIG},      {"HKEY_DYN_DATA", HKEY_DYN_DATA},
  };
  for (const auto& [name, root] : known) EXPECT_EQ(root, RootKeyFromName(name)) << name;
  for (const char* name : {"hkcu", "HKEY_Current_User", " HKCU", ""})
    EXPECT_EQ(nullptr, RootKeyFromName(name)) << name;
}

TEST(SplitRegistryPath, SplitsAtTheFirstSeparator) {
  std::string root, sub;
  SplitRegistryPath("HKCU\\Software\\Brimvale", root, sub);
  EXPECT_EQ("HKCU", root);
  EXPECT_EQ("Software\\Brimvale", sub);

  std::string root2, sub2;
  SplitRegistryPath("HKCU/Software/Brimvale", root2, sub2);
  EXPECT_EQ(root, root2);
  EXPECT_EQ(sub, sub2);

  SplitRegistryPath("NoSeparator", root, sub);
  EXPECT_EQ("", root);
  EXPECT_EQ("NoSeparator", sub);

  root = "kept";
  sub = "kept too";
  SplitRegistryPath(" \t\r\n", root, sub);
  EXPECT_EQ("kept", root);
  EXPECT_EQ("kept too", sub);
}

class Registry : public ::testing::Test {
 protected:
  const std::string sub_ = "Software\\BrimvaleTests\\" + std::to_string(GetCurrentProcessId());
  const std::string path_ = "HKEY_CURRENT_USER\\" + sub_;

  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, sub_.c_str()); }

  bool KeyExists() const {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, sub_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  // The value's data, or "<absent>"; a value of another type shows as "<type>".
  std::string Read(const std::string& name) const {
    char data[512];
    DWORD size = sizeof(data), type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, sub_.c_str(), name.c_str(), RRF_RT_ANY, &type, data, &size) !=
        ERROR_SUCCESS)
      return "<absent>";
    return type == REG_SZ ? std::string(data) : "<type>";
  }
};

TEST_F(Registry, WithoutForceOnlyAnExistingValueIsWritten) {
  EXPECT_FALSE(WriteRegString(path_, "Brimvale", "data", false));
  EXPECT_FALSE(KeyExists());  // nothing written, not even the key

  ASSERT_TRUE(WriteRegString(path_, "Other", "x", true));
  EXPECT_FALSE(WriteRegString(path_, "Brimvale", "data", false));
  EXPECT_EQ("<absent>", Read("Brimvale"));

  // An existing value is overwritten without force.
  ASSERT_TRUE(WriteRegString(path_, "Brimvale", "old", true));
  EXPECT_TRUE(WriteRegString(path_, "Brimvale", "C:\\Program Files\\orvane.exe /autorun", false));
  EXPECT_EQ("C:\\Program Files\\orvane.exe /autorun", Read("Brimvale"));
}

TEST_F(Registry, ForceCreatesKeyAndValueUnderEitherSpelling) {
  EXPECT_TRUE(WriteRegString(path_, "Brimvale", "one", true));
  EXPECT_EQ("one", Read("Brimvale"));
  EXPECT_TRUE(WriteRegString("HKCU/" + sub_ + "/", "Second", "two", true));
  EXPECT_EQ("two", Read("Second"));
  EXPECT_TRUE(WriteRegString(path_, "", "default value", true));
  EXPECT_EQ("default value", Read(""));
}

TEST_F(Registry, UnknownRootOrMissingRootNameFails) {
  EXPECT_FALSE(WriteRegString("hkcu\\" + sub_, "Brimvale", "x", true));
  EXPECT_FALSE(WriteRegString(sub_, "Brimvale", "x", true));
  EXPECT_FALSE(WriteRegString("", "Brimvale", "x", true));
  EXPECT_FALSE(KeyExists());
  EXPECT_FALSE(DeleteRegValue("HKXX\\" + sub_, "Brimvale"));
}

TEST_F(Registry, DeleteRemovesValueAndTreatsAbsentValueAsDone) {
  EXPECT_FALSE(DeleteRegValue(path_, "Brimvale"));  // no such key
  ASSERT_TRUE(WriteRegString(path_, "Brimvale", "x", true));
  ASSERT_TRUE(WriteRegString(path_, "Other", "y", true));
  EXPECT_TRUE(DeleteRegValue(path_, "Brimvale"));
  EXPECT_EQ("<absent>", Read("Brimvale"));
  EXPECT_EQ("y", Read("Other"));
  EXPECT_TRUE(DeleteRegValue(path_, "Brimvale"));  // already gone
}

TEST_F(Registry, RefusedWriteRaisesErrorNamingTheValue) {
  // The system refuses value names beyond its limit of 16383 characters.
  const std::string tooLong(20000, 'v');
  try {
    WriteRegString(path_, tooLong, "x", true);
    FAIL() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_EQ("Failed to set data for '" + tooLong + "'", e.what());
  }
}
