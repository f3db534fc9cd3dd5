#include "Formulas.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace orvane {

namespace {

// The exact quotient and remainder of n / d.
struct TDivision {
  std::uint64_t Quotient, Remainder, Divisor;

  // Rounded half to even; the remainder is compared with half the divisor
  // without doubling it, which could overflow.
  std::uint64_t Rounded() const {
    if (Divisor == 0) return 0;
    const std::uint64_t rest = Divisor - Remainder;
    if (Remainder > rest) return Quotient + 1;
    if (Remainder == rest) return Quotient + (Quotient & 1);
    return Quotient;
  }
};

constexpr std::uint64_t kMax64 = std::numeric_limits<std::uint64_t>::max();

// a x m / d for a small multiplier, exact for every a: the product is never
// formed, the remainder is scaled one addition at a time. A quotient beyond
// 64 bits comes out as the largest value.
TDivision ScaledDivision(std::uint64_t a, unsigned m, std::uint64_t d) {
  if (d == 0) return {0, 0, 0};
  const std::uint64_t whole = a / d, part = a % d;
  if (whole > kMax64 / m) return {kMax64, 0, d};
  TDivision result{whole * m, 0, d};
  for (unsigned i = 0; i < m; ++i) {
    if (result.Remainder >= d - part) {  // remainder + part reaches d
      result.Remainder -= d - part;
      ++result.Quotient;
    } else {
      result.Remainder += part;
    }
  }
  return result;
}

int ToInt(std::uint64_t value) {
  return static_cast<int>(std::min<std::uint64_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

std::uint64_t RoundedQuotient(std::uint64_t n, std::uint64_t d) {
  return d == 0 ? 0 : TDivision{n / d, n % d, d}.Rounded();
}

std::int64_t RoundHalfEven(double value) { return static_cast<std::int64_t>(std::nearbyint(value)); }

int PercentOf(std::uint64_t part, std::uint64_t total) { return ToInt(ScaledDivision(part, 100, total).Rounded()); }

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
  return static_cast<int>(std::min<std::uint64_t>(ScaledDivision(used, 10, total).Quotient, 10));
}

int MsToMinutes(std::uint64_t ms) { return ToInt(RoundedQuotient(ms, 60000)); }

std::string KilobytesText(std::uint64_t bytes, const std::string& separator) {
  const std::uint64_t kilobytes = RoundedQuotient(bytes, 1024);
  if (kilobytes == 0) return "";
  const std::string digits = std::to_string(kilobytes);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += separator;
    text += digits[i];
  }
  return text;
}

namespace {
constexpr std::uint64_t kLargestIconCache = 8192;
}  // namespace

int IconCachePosition(std::uint64_t icons) { return PercentOf(icons, kLargestIconCache); }

std::uint32_t IconCacheSize(int position) {
  return static_cast<std::uint32_t>(PercentOfTotal(position, kLargestIconCache));
}

int RefreshSeconds(std::uint64_t ms) {
  return static_cast<int>(std::clamp<std::uint64_t>(RoundedQuotient(ms, 1000), 1, 3));
}

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
