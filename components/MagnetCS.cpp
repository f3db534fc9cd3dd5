#include "MagnetCS.h"

using gui::TPoint;
using gui::TRect;

const gui::TEnumInfo& MagnetStyleInfo() {
  static const gui::TEnumInfo info{"TMagnetStyle", {"msTop", "msBottom", "msLeft", "msRight", "msNone"}};
  return info;
}

namespace {
bool Between(int v, int lo, int hi) { return lo <= v && v <= hi; }
bool Near(int gap, int low, int distance) { return low <= gap && gap < distance; }
}  // namespace

TMagnetStyle MagnetSide(const TRect& c, const TRect& s, int distance) {
  if (Between(c.Left, s.Left, s.Right) || Between(c.Right, s.Left, s.Right)) {
    if (Near(c.Top - s.Bottom, 0, distance)) return msBottom;
    if (Near(s.Top - c.Bottom, 0, distance)) return msTop;
  }
  if (!Between(c.Top, s.Top, s.Bottom) && !Between(c.Bottom, s.Top, s.Bottom)) return msNone;
  if (Near(c.Left - s.Right, -kMagnetRightOverlap, distance)) return msRight;
  if (Near(s.Left - c.Right, 0, distance)) return msLeft;
  return msNone;
}

bool MagnetSnap(TMagnetStyle side, TMagnetStyles styles, const TRect& c, const TRect& s, TPoint& topLeft) {
  if (side == msNone || !styles.Contains(side)) return false;
  topLeft = {c.Left, c.Top};
  switch (side) {
    case msTop: topLeft.Y = s.Top - c.Height(); break;
    case msBottom: topLeft.Y = s.Bottom; break;
    case msLeft: topLeft.X = s.Left - c.Width(); break;
    case msRight: topLeft.X = s.Right; break;
    default: break;
  }
  return true;
}
