#include "VeeSysTools.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace components;

using Paths = std::vector<std::string>;

namespace {
Paths Sorted(Paths paths) {
  std::sort(paths.begin(), paths.end());
  return paths;
}
}  // namespace

TEST(ListFiles, AppendsMatchingFilesOnlySkippingDirectoriesAndExclusions) {
  ScratchFolder scratch("list");
  const std::string dir = scratch.Path();
  scratch.Write("Deutsch.lng", "x");
  scratch.Write("Thumbs.db", "x");
  scratch.Write("readme.txt", "x");
  scratch.Write("francais.LNG", "x");
  scratch.MakeFolder("folder.lng");
  // Directories with more than the directory attribute are still directories.
  std::string hidden = scratch.MakeFolder("hidden.lng");
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  std::string dotted = scratch.MakeFolder(".dotted.lng");
  ASSERT_NE(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(dotted.c_str()))
      << "a directory with further attributes is needed here";

  Paths list = {"kept"};
  EXPECT_EQ(3, ListFiles(list, dir, "*.lng", nullptr));
  EXPECT_EQ(Sorted({"kept", dir + "Deutsch.lng", dir + "francais.LNG"}), Sorted(list));

  Paths all;
  const Paths exclusions = {"thumbs.db", "DEUTSCH.lng"};
  ListFiles(all, dir, "*", &exclusions);
  EXPECT_EQ(Sorted({dir + "francais.LNG", dir + "readme.txt"}), Sorted(all));

  const Paths none;
  Paths withEmptyExclusions;
  EXPECT_EQ(4, ListFiles(withEmptyExclusions, dir, "*", &none));
}

TEST(ListFiles, FolderWithOrWithoutBackslashGivesTheSamePaths) {
  ScratchFolder scratch("slash");
  scratch.Write("a.lng", "x");
  std::string withSlash = scratch.Path();
  std::string without = withSlash.substr(0, withSlash.size() - 1);
  Paths one, two;
  ListFiles(one, withSlash, "*.lng", nullptr);
  ListFiles(two, without, "*.lng", nullptr);
  EXPECT_EQ(Paths{withSlash + "a.lng"}, one);
  EXPECT_EQ(one, two);
}

TEST(ListFiles, MissingFolderAndNoMatchLeaveTheListAlone) {
  ScratchFolder scratch("empty");
  Paths list = {"a", "b"};
  EXPECT_EQ(0, ListFiles(list, scratch.Path() + "missing\\", "*", nullptr));
  EXPECT_EQ(0, ListFiles(list, "", "*", nullptr));
  EXPECT_EQ(2, ListFiles(list, scratch.Path(), "*.lng", nullptr));  // the search finds nothing
  EXPECT_EQ((Paths{"a", "b"}), list);
}

TEST(GetProgramFolder, IsTheFolderOfTheRunningFileWithBackslash) {
  std::string folder = GetProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ('\\', folder.back());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES,
            GetFileAttributesA((folder + "components_system_tests.exe").c_str()));
}

TEST(EnablePrivilege, ReportsUnknownAndNotHeldPrivilegesAsFailure) {
  EXPECT_FALSE(EnablePrivilege("SeNoSuchPrivilege", nullptr));
  EXPECT_FALSE(EnablePrivilege("", nullptr));
  // No ordinary or administrator token holds this one: the system adjusts
  // nothing and reports that only through the last error.
  EXPECT_FALSE(EnablePrivilege("SeCreateTokenPrivilege", nullptr));
  // Every token holds this one.
  EXPECT_TRUE(EnablePrivilege("SeChangeNotifyPrivilege", nullptr));
  EXPECT_TRUE(EnablePrivilege("SeChangeNotifyPrivilege", GetCurrentProcess()));
}

class NamedMutex : public ::testing::Test {
 protected:
  std::string name_ = "BrimvaleTestLock" + std::to_string(GetCurrentProcessId()) + "_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(NamedMutex, TakerOnAnotherThreadTimesOutWhileTheHolderKeepsIt) {
  HANDLE held = WaitForNamedMutex(name_, kNoTimeLimit);
  ASSERT_NE(nullptr, held);
  HANDLE got = reinterpret_cast<HANDLE>(1);
  std::thread([&] { got = WaitForNamedMutex(name_, 100); }).join();
  EXPECT_EQ(nullptr, got);
  got = reinterpret_cast<HANDLE>(1);
  std::thread([&] { got = WaitForNamedMutex(name_, 0); }).join();
  EXPECT_EQ(nullptr, got);
  ReleaseNamedMutex(held);
}

TEST_F(NamedMutex, NoLimitWaitsUntilTheHolderReleases) {
  HANDLE held = WaitForNamedMutex(name_, kNoTimeLimit);
  ASSERT_NE(nullptr, held);
  std::atomic<bool> released{false};
  std::atomic<bool> sawRelease{false};
  HANDLE got = nullptr;
  std::thread taker([&] {
    got = WaitForNamedMutex(name_, kNoTimeLimit);
    sawRelease = released.load();
  });
  Sleep(100);  // give the taker time to find the lock held
  released = true;
  ReleaseNamedMutex(held);
  taker.join();
  ASSERT_NE(nullptr, got);
  EXPECT_TRUE(sawRelease);
  // The taker's thread has ended; its handle still keeps the lock held.
  EXPECT_EQ(nullptr, WaitForNamedMutex(name_, 0));
  ReleaseNamedMutex(got);
  HANDLE again = WaitForNamedMutex(name_, 0);
  EXPECT_NE(nullptr, again);
  ReleaseNamedMutex(again);
}

TEST_F(NamedMutex, NameOfAnotherKindOfObjectGivesNull) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name_.c_str());
  ASSERT_NE(nullptr, event);
  EXPECT_EQ(nullptr, WaitForNamedMutex(name_, kNoTimeLimit));  // returns, does not wait forever
  CloseHandle(event);
}
