#include "Formulas.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace orvane {

std::uint64_t RoundedQuotient(std::uint64_t n, std::uint64_t d) {
  if (d == 0) return 0;
  const std::uint64_t q = n / d;
  const std::uint64_t r = n % d;
  // Compare the remainder with half the divisor without doubling it (which
  // could overflow): r > d - r means above one half.
  if (r > d - r) return q + 1;
  if (r == d - r) return q + (q & 1);
  return q;
}

std::int64_t RoundHalfEven(double value) { return static_cast<std::int64_t>(std::nearbyint(value)); }

namespace {

int ToInt(std::uint64_t value) {
  return static_cast<int>(std::min<std::uint64_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

int PercentOf(std::uint64_t part, std::uint64_t total) {
  if (total == 0) return 0;
  if (part <= std::numeric_limits<std::uint64_t>::max() / 100) return ToInt(RoundedQuotient(part * 100, total));
  // Beyond any memory there is: the quotient in extended precision.
  return ToInt(static_cast<std::uint64_t>(std::nearbyint(100.0L * part / total)));
}

int BytesToMB(std::uint64_t bytes) { return ToInt(RoundedQuotient(bytes, 1024 * 1024)); }

std::uint64_t PercentOfTotal(int percent, std::uint64_t total) {
  const auto p = static_cast<std::uint64_t>(std::clamp(percent, 0, 100));
  // p x total / 100 = p x (total / 100) + p x (total % 100) / 100: no
  // product leaves 64 bits. The half goes to the even whole.
  const std::uint64_t small = p * (total % 100);
  const std::uint64_t whole = p * (total / 100) + small / 100;
  const std::uint64_t rest = small % 100;
  return whole + (rest > 50 || (rest == 50 && (whole & 1)) ? 1 : 0);
}

int TrayIconIndex(std::uint64_t used, std::uint64_t total) {
  if (total == 0) return 0;
  if (used >= total) return 10;
  if (used <= std::numeric_limits<std::uint64_t>::max() / 10) return static_cast<int>(used * 10 / total);
  return static_cast<int>(10.0L * used / total);  // used < total: below 10
}

int MsToMinutes(std::uint64_t ms) { return ToInt(RoundedQuotient(ms, 60000)); }

const std::string& PluralWord(std::int64_t count, const std::string& singular, const std::string& plural) {
  return count == 1 ? singular : plural;
}

std::string CountText(std::int64_t count, const std::string& singular, const std::string& plural) {
  return std::to_string(count) + " " + PluralWord(count, singular, plural);
}

TSidePlacement PlaceOnLeft(int screenWidth, int mainLeft, int mainWidth, int sideWidth) {
  int room = sideWidth;
  if (screenWidth < sideWidth + mainWidth) room = screenWidth - mainWidth;
  const int left = std::max(mainLeft, room);
  return {left, left - sideWidth};
}

int LanguageIndexFromText(std::string_view text, int count) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  const char* end = text.data() + text.size();
  auto [at, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || at != end) return 0;
  return value >= 0 && value < count ? value : 0;
}

}  // namespace orvane
