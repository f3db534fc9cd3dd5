#include "Formulas.h"
#include "SeenOnly.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>

using namespace orvane;

namespace {
constexpr std::uint64_t kMB = 1024 * 1024;
constexpr std::uint64_t kGB = 1024 * kMB;
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
}  // namespace

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundedQuotient(1, 2), 0u);
  EXPECT_EQ(RoundedQuotient(3, 2), 2u);
  EXPECT_EQ(RoundedQuotient(5, 2), 2u);
  EXPECT_EQ(RoundedQuotient(7, 2), 4u);
  EXPECT_EQ(RoundedQuotient(4, 3), 1u);
  EXPECT_EQ(RoundedQuotient(5, 3), 2u);
  EXPECT_EQ(RoundedQuotient(7, 0), 0u);
  // Near the top of the range the remainder comparison must not overflow.
  EXPECT_EQ(RoundedQuotient(kMax, kMax - 1), 1u);
  EXPECT_EQ(RoundedQuotient(kMax - 1, kMax), 1u);
  EXPECT_EQ(RoundedQuotient(kMax / 2, kMax), 0u);
  EXPECT_EQ(RoundedQuotient(kMax / 2 + 1, kMax), 1u);

  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(409.6), 410);
}

TEST(Overview, PercentsOfMemoryAndPagingFile) {
  EXPECT_EQ(PercentOf(kGB, 2 * kGB), 50);
  EXPECT_EQ(PercentOf(2 * kGB, 2 * kGB), 100);
  EXPECT_EQ(PercentOf(0, 2 * kGB), 0);
  EXPECT_EQ(PercentOf(12345, 0), 0);
  EXPECT_EQ(PercentOf(1, 200), 0);   // 0.5
  EXPECT_EQ(PercentOf(3, 200), 2);   // 1.5
  EXPECT_EQ(PercentOf(5, 200), 2);   // 2.5
  EXPECT_EQ(PercentOf(7, 8), 88);    // 87.5
  // 64 GB machines and more: the product 100 x used stays exact.
  EXPECT_EQ(PercentOf(48 * kGB + 1, 64 * kGB), 75);
  EXPECT_EQ(PercentOf(kMax / 100 + 1, kMax), 1);
  EXPECT_EQ(PercentOf(kMax, kMax), 100);
}

TEST(Overview, MegabytesAndTheTrayIcon) {
  EXPECT_EQ(BytesToMB(kGB), 1024);
  EXPECT_EQ(BytesToMB(2 * kGB), 2048);
  EXPECT_EQ(BytesToMB(kMB / 2), 0);          // half a megabyte rounds to even
  EXPECT_EQ(BytesToMB(kMB + kMB / 2), 2);
  EXPECT_EQ(BytesToMB(429916160), 410);

  EXPECT_EQ(TrayIconIndex(kGB, 2 * kGB), 5);
  EXPECT_EQ(TrayIconIndex(2 * kGB, 2 * kGB), 10);
  EXPECT_EQ(TrayIconIndex(2 * kGB - 1, 2 * kGB), 9);  // truncated, never rounded
  EXPECT_EQ(TrayIconIndex(0, 2 * kGB), 0);
  EXPECT_EQ(TrayIconIndex(kGB, 0), 0);
  EXPECT_EQ(TrayIconIndex(3 * kGB, 2 * kGB), 10);     // a used figure above the total
  EXPECT_EQ(TrayIconIndex(kMax - 1, kMax), 9);
}

TEST(Pages, MinutesAndCountWords) {
  EXPECT_EQ(MsToMinutes(600000), 10);
  EXPECT_EQ(MsToMinutes(90000), 2);   // 1.5
  EXPECT_EQ(MsToMinutes(30000), 0);   // 0.5
  EXPECT_EQ(MsToMinutes(150000), 2);  // 2.5

  const std::string one = "minute", many = "minutes";
  EXPECT_EQ(CountText(1, one, many), "1 minute");
  EXPECT_EQ(CountText(0, one, many), "0 minutes");
  EXPECT_EQ(CountText(2, one, many), "2 minutes");
  EXPECT_EQ(CountText(-1, one, many), "-1 minutes");
}

TEST(Pages, WorkingSetsInGroupedKilobytes) {
  EXPECT_EQ(KilobytesText(0, ","), "");
  EXPECT_EQ(KilobytesText(512, ","), "");  // half a kilobyte goes to the even 0
  EXPECT_EQ(KilobytesText(513, ","), "1");
  EXPECT_EQ(KilobytesText(1536, ","), "2");
  EXPECT_EQ(KilobytesText(2560, ","), "2");
  EXPECT_EQ(KilobytesText(999 * 1024, ","), "999");
  EXPECT_EQ(KilobytesText(1000 * 1024, "."), "1.000");
  EXPECT_EQ(KilobytesText(1234567ull * 1024, "\xA0"), "1\xA0" "234\xA0" "567");
  EXPECT_EQ(KilobytesText(kMax, ","), "18,014,398,509,481,984");
}

TEST(Pages, IconCacheAndRefreshInterval) {
  // 500 icons sit on 6 %, which stands for 491.52: 492 icons.
  EXPECT_EQ(IconCachePosition(500), 6);
  EXPECT_EQ(IconCacheSize(6), 492u);
  EXPECT_EQ(IconCachePosition(2048), 25);
  EXPECT_EQ(IconCacheSize(25), 2048u);
  EXPECT_EQ(IconCacheSize(100), 8192u);
  EXPECT_EQ(IconCacheSize(0), 0u);
  EXPECT_EQ(IconCachePosition(1024), 12);  // 12.5 % and 37.5 %: the even neighbours
  EXPECT_EQ(IconCachePosition(3072), 38);
  EXPECT_EQ(IconCachePosition(0xFFFFFFFFu), 52428800);

  EXPECT_EQ(RefreshSeconds(1000), 1);
  EXPECT_EQ(RefreshSeconds(2500), 2);  // halves to the even neighbour
  EXPECT_EQ(RefreshSeconds(1500), 2);
  EXPECT_EQ(RefreshSeconds(0), 1);
  EXPECT_EQ(RefreshSeconds(400), 1);
  EXPECT_EQ(RefreshSeconds(5000), 3);
  EXPECT_EQ(RefreshSeconds(0xFFFFFFFFu), 3);
}

TEST(Pages, PercentOfTotalMemoryInWholeMegabytes) {
  // 20 % of 2 GB is 409.6 MB: shown and sent as 410 MB.
  EXPECT_EQ(PercentOfTotal(20, 2 * kGB), 429496730u);
  EXPECT_EQ(BytesToMB(PercentOfTotal(20, 2 * kGB)), 410);
  EXPECT_EQ(std::uint64_t(BytesToMB(PercentOfTotal(20, 2 * kGB))) * kMB, 429916160u);
  // 60 % of 8 GB is 4915.2 MB: 4915 MB, a byte count beyond 32 bits.
  EXPECT_EQ(std::uint64_t(BytesToMB(PercentOfTotal(60, 8 * kGB))) * kMB, 5153751040u);
  // Halves of a byte go to the even neighbour, whichever part holds them.
  EXPECT_EQ(PercentOfTotal(50, 1), 0u);
  EXPECT_EQ(PercentOfTotal(50, 3), 2u);
  EXPECT_EQ(PercentOfTotal(50, 201), 100u);
  EXPECT_EQ(PercentOfTotal(50, 203), 102u);
  EXPECT_EQ(PercentOfTotal(1, 150), 2u);   // 1.5
  EXPECT_EQ(PercentOfTotal(1, 250), 2u);   // 2.5
  EXPECT_EQ(PercentOfTotal(0, kMax), 0u);
  EXPECT_EQ(PercentOfTotal(100, kMax), kMax);
  EXPECT_EQ(PercentOfTotal(40, 0), 0u);
}

TEST(Pages, TheRulesWindowOpensOnTheMainWindowsLeft) {
  auto place = [](int screen, int left) {
    TSidePlacement p = PlaceOnLeft(screen, left, 661, 241);
    return std::pair{p.MainLeft, p.SideLeft};
  };
  EXPECT_EQ(place(1024, 100), std::pair(241, 0));    // the main window moves right
  EXPECT_EQ(place(1280, 309), std::pair(309, 68));   // room enough: nothing moves
  EXPECT_EQ(place(1024, 241), std::pair(241, 0));
  // A screen narrower than both: the main window goes no further right
  // than the screen allows, and the rules window starts off its left edge.
  EXPECT_EQ(place(800, 0), std::pair(139, -102));
  EXPECT_EQ(place(800, 200), std::pair(200, -41));
}

TEST(Language, StoredIndexIsReadSafely) {
  EXPECT_EQ(LanguageIndexFromText("", 3), 0);
  EXPECT_EQ(LanguageIndexFromText("2", 3), 2);
  EXPECT_EQ(LanguageIndexFromText(" 1 ", 3), 1);
  EXPECT_EQ(LanguageIndexFromText("+1", 3), 1);
  EXPECT_EQ(LanguageIndexFromText("7", 3), 0);
  EXPECT_EQ(LanguageIndexFromText("3", 3), 0);
  EXPECT_EQ(LanguageIndexFromText("-1", 3), 0);
  EXPECT_EQ(LanguageIndexFromText("abc", 3), 0);
  EXPECT_EQ(LanguageIndexFromText("1x", 3), 0);
  EXPECT_EQ(LanguageIndexFromText("1 2", 3), 0);
  EXPECT_EQ(LanguageIndexFromText("99999999999999999999", 3), 0);
  EXPECT_EQ(LanguageIndexFromText("1", 0), 0);  // no choice at all
}

TEST(SeenOnly, UnseenUpdatesWaitAndTheLatestRunsOnceWhenSeen) {
  TSeenOnly view;
  std::string shown;
  view.Update(true, [&] { shown += "a"; });
  EXPECT_EQ(shown, "a") << "a view that is seen is updated at once";
  view.CatchUp();
  EXPECT_EQ(shown, "a") << "nothing was held back";

  view.Update(false, [&] { shown += "b"; });
  view.Update(false, [&] { shown += "c"; });
  EXPECT_EQ(shown, "a");
  EXPECT_TRUE(view.Behind());
  view.CatchUp();
  EXPECT_EQ(shown, "ac") << "only the latest unseen update, when it shows";
  EXPECT_FALSE(view.Behind());
  view.CatchUp();
  EXPECT_EQ(shown, "ac");

  // An update made while seen replaces the one held back.
  view.Update(false, [&] { shown += "d"; });
  view.Update(true, [&] { shown += "e"; });
  view.CatchUp();
  EXPECT_EQ(shown, "ace");
}
