// The program's arithmetic, in one place: rounding, percentages of 64-bit
// totals, unit conversions and the words that follow a count. Every value is
// rounded to the nearest integer with halves going to the even neighbour, and
// no formula divides by a zero total.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// n / d rounded half to even, computed exactly in integers; 0 for d = 0.
std::uint64_t RoundedQuotient(std::uint64_t n, std::uint64_t d);

// A value rounded half to even (the default rounding of the processor).
std::int64_t RoundHalfEven(double value);

// 100 x part / total, rounded; 0 for a zero total. Exact for every 64-bit
// count.
int PercentOf(std::uint64_t part, std::uint64_t total);

// Bytes / 1024 / 1024, rounded.
int BytesToMB(std::uint64_t bytes);

// The byte count a percent of a total stands for: percent x total / 100,
// rounded, exact for every total (percent 0..100).
std::uint64_t PercentOfTotal(int percent, std::uint64_t total);

// The tray icon's picture for a memory load: used x 10 / total, truncated and
// held to 0..10; 0 for a zero total.
int TrayIconIndex(std::uint64_t used, std::uint64_t total);

// Milliseconds to whole minutes, rounded.
int MsToMinutes(std::uint64_t ms);

// A working set as whole kilobytes in groups of three digits joined by
// `separator`; "" for 0 KB (512 bytes or less).
std::string KilobytesText(std::uint64_t bytes, const std::string& separator);

// The icon cache slider runs over percents of the largest cache (8192
// icons): the position for a cache size, and the size a position stands for.
int IconCachePosition(std::uint64_t icons);
std::uint32_t IconCacheSize(int position);

// The overview's refresh interval in whole seconds, held to 1..3.
int RefreshSeconds(std::uint64_t ms);

// The singular word for exactly 1, the plural word for every other count.
const std::string& PluralWord(std::int64_t count, const std::string& singular, const std::string& plural);

// "<count> <word>", the word as PluralWord picks it.
std::string CountText(std::int64_t count, const std::string& singular, const std::string& plural);

// Where a window `sideWidth` wide opens on the left of the main window: the
// main window moves right when its left edge leaves less room than that
// (or, on a screen too narrow for both, than the screen leaves beside it).
struct TSidePlacement {
  int MainLeft;
  int SideLeft;
};
TSidePlacement PlaceOnLeft(int screenWidth, int mainLeft, int mainWidth, int sideWidth);

// The stored language index: the text trimmed and read as a decimal integer;
// a text that is blank, no integer, negative or not below `count` gives 0.
int LanguageIndexFromText(std::string_view text, int count);

}  // namespace orvane
