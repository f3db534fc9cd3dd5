// Window snapping geometry: which side a client lies next to, and where it
// snaps. The distances at each side's edge are checked with real windows in
// MagnetFormsTest.
#include "MagnetCS.h"

#include <gtest/gtest.h>

using namespace components;

using gui::Bounds;
using gui::TPoint;
using gui::TRect;

namespace {
const TRect kServer = Bounds(100, 100, 661, 540);  // right 761, bottom 640
TMagnetStyle Side(TRect client) { return MagnetSide(client, kServer, 50); }
}  // namespace

TEST(MagnetSide, AboveBelowAndBesideNeedAnEdgeWithinTheServerSpan) {
  EXPECT_EQ(msTop, Side(Bounds(200, 100 - 300 - 49, 240, 300)));
  EXPECT_EQ(msNone, Side(Bounds(200, 100 - 300 - 50, 240, 300)));
  EXPECT_EQ(msBottom, Side(Bounds(-100, 689, 240, 300))) << "only its right edge lies in the span";
  EXPECT_EQ(msNone, Side(Bounds(200, 630, 240, 300))) << "overlapping the bottom edge";
  EXPECT_EQ(msNone, Side(Bounds(780, 50, 240, 700))) << "taller than the server on both ends";
  EXPECT_EQ(msLeft, Side(Bounds(100 - 240, 200, 240, 300))) << "touching";
  EXPECT_EQ(msNone, Side(Bounds(100 - 239, 200, 240, 300))) << "no overlap on the left";
  // In a corner, below wins over beside.
  EXPECT_EQ(msBottom, Side(Bounds(761, 660, 240, 300)));
}

TEST(MagnetSnap, MovesOnlyTheCoordinateAgainstAnAllowedSide) {
  const TRect client = Bounds(200, 670, 240, 300);
  const TMagnetStyles all{msTop, msBottom, msLeft, msRight};
  TPoint p{-1, -1};
  ASSERT_TRUE(MagnetSnap(msTop, all, client, kServer, p));
  EXPECT_EQ((TPoint{200, 100 - 300}), p);
  ASSERT_TRUE(MagnetSnap(msRight, all, client, kServer, p));
  EXPECT_EQ((TPoint{761, 670}), p);
  p = {-1, -1};
  EXPECT_FALSE(MagnetSnap(msBottom, {msTop, msLeft, msRight}, client, kServer, p));
  EXPECT_FALSE(MagnetSnap(msNone, {msTop, msBottom, msLeft, msRight, msNone}, client, kServer, p));
  EXPECT_EQ((TPoint{-1, -1}), p);
}
