// Small value types shared by the whole GUI layer: rectangles, points and
// typed sets of enumeration values.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace gui {

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Right and bottom are exclusive, as everywhere in the platform's drawing.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
constexpr TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

// A set of up to 64 values of an enumeration whose values start at 0.
// Bit n stands for the value n, which is also how sets travel through the
// property tables.
template <class E>
class Set {
  static_assert(std::is_enum_v<E>);

 public:
  constexpr Set() = default;
  constexpr Set(std::initializer_list<E> values) {
    for (E v : values) bits_ |= Bit(v);
  }
  static constexpr Set FromBits(std::uint64_t bits) {
    Set s;
    s.bits_ = bits;
    return s;
  }
  constexpr std::uint64_t Bits() const { return bits_; }
  constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr Set& Include(E v) { bits_ |= Bit(v); return *this; }
  constexpr Set& Exclude(E v) { bits_ &= ~Bit(v); return *this; }
  constexpr Set operator|(Set o) const { return FromBits(bits_ | o.bits_); }
  constexpr Set operator&(Set o) const { return FromBits(bits_ & o.bits_); }
  constexpr Set operator-(Set o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr Set operator+(E v) const { return FromBits(bits_ | Bit(v)); }
  constexpr Set operator-(E v) const { return FromBits(bits_ & ~Bit(v)); }
  friend constexpr bool operator==(Set a, Set b) { return a.bits_ == b.bits_; }

 private:
  static constexpr std::uint64_t Bit(E v) { return std::uint64_t{1} << static_cast<unsigned>(v); }
  std::uint64_t bits_ = 0;
};

}  // namespace gui
