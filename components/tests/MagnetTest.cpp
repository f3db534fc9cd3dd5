// Window snapping: which side a client lies next to, and where it snaps.
#include "MagnetCS.h"

#include <gtest/gtest.h>

using gui::Bounds;
using gui::TPoint;
using gui::TRect;

namespace {
const TRect kServer = Bounds(100, 100, 661, 540);  // right 761, bottom 640
const TMagnetStyles kAll = {msTop, msBottom, msLeft, msRight};

TMagnetStyle Side(TRect client) { return MagnetSide(client, kServer, 50); }
}  // namespace

TEST(MagnetSide, BelowAndAboveNeedAHorizontalEdgeInsideTheServerSpan) {
  EXPECT_EQ(msBottom, Side(Bounds(200, 670, 240, 300)));  // 30 below
  EXPECT_EQ(msBottom, Side(Bounds(200, 640, 240, 300)));  // touching
  EXPECT_EQ(msBottom, Side(Bounds(600, 689, 240, 300)));  // right edge outside, left inside
  EXPECT_EQ(msBottom, Side(Bounds(-100, 689, 240, 300))); // only the right edge inside
  EXPECT_EQ(msNone, Side(Bounds(200, 690, 240, 300)));    // 50 below: too far
  EXPECT_EQ(msNone, Side(Bounds(200, 630, 240, 300)));    // overlapping the bottom edge

  EXPECT_EQ(msTop, Side(Bounds(200, 100 - 300 - 49, 240, 300)));
  EXPECT_EQ(msNone, Side(Bounds(200, 100 - 300 - 50, 240, 300)));

  // Wider than the server on both sides: neither vertical edge lies in its span.
  EXPECT_EQ(msNone, Side(Bounds(50, 650, 800, 100)));
}

TEST(MagnetSide, LeftAllowsNoOverlapRightAllowsTenPixels) {
  EXPECT_EQ(msLeft, Side(Bounds(100 - 240 - 49, 200, 240, 300)));
  EXPECT_EQ(msNone, Side(Bounds(100 - 240 - 50, 200, 240, 300)));
  EXPECT_EQ(msLeft, Side(Bounds(100 - 240, 200, 240, 300)));
  EXPECT_EQ(msNone, Side(Bounds(100 - 239, 200, 240, 300)));

  EXPECT_EQ(msRight, Side(Bounds(761 + 49, 200, 240, 300)));
  EXPECT_EQ(msNone, Side(Bounds(761 + 50, 200, 240, 300)));
  EXPECT_EQ(msRight, Side(Bounds(761 - 10, 200, 240, 300)));
  EXPECT_EQ(msNone, Side(Bounds(761 - 11, 200, 240, 300)));

  // Beside needs one of the client's horizontal edges inside the server's height.
  EXPECT_EQ(msRight, Side(Bounds(780, 600, 240, 300)));
  EXPECT_EQ(msNone, Side(Bounds(780, 50, 240, 700)));   // taller on both ends
  EXPECT_EQ(msNone, Side(Bounds(780, 641, 240, 300)));  // below the server
}

TEST(MagnetSide, CornerPrefersBelowAndAboveOverTheSides) {
  // Lies 20 below and 20 to the right: the bottom edge is checked first.
  EXPECT_EQ(msBottom, Side(Bounds(761, 660, 240, 300)));
  // Overlapping vertically but beside: falls through to the sides.
  EXPECT_EQ(msRight, Side(Bounds(770, 500, 240, 300)));
}

TEST(MagnetSnap, MovesOnlyTheCoordinateAgainstTheSide) {
  const TRect client = Bounds(200, 670, 240, 300);
  TPoint p{-1, -1};
  ASSERT_TRUE(MagnetSnap(msBottom, kAll, client, kServer, p));
  EXPECT_EQ((TPoint{200, 640}), p);
  ASSERT_TRUE(MagnetSnap(msTop, kAll, client, kServer, p));
  EXPECT_EQ((TPoint{200, 100 - 300}), p);
  ASSERT_TRUE(MagnetSnap(msLeft, kAll, client, kServer, p));
  EXPECT_EQ((TPoint{100 - 240, 670}), p);
  ASSERT_TRUE(MagnetSnap(msRight, kAll, client, kServer, p));
  EXPECT_EQ((TPoint{761, 670}), p);
}

TEST(MagnetSnap, MissingStyleOrNoSideLeavesThePlace) {
  TPoint p{-1, -1};
  EXPECT_FALSE(MagnetSnap(msBottom, {msTop, msLeft, msRight}, Bounds(200, 670, 240, 300), kServer, p));
  EXPECT_FALSE(MagnetSnap(msNone, {msTop, msBottom, msLeft, msRight, msNone}, Bounds(0, 0, 1, 1), kServer, p));
  EXPECT_EQ((TPoint{-1, -1}), p);
  EXPECT_EQ(msBottom, MagnetStyleInfo().ValueOf("msBottom"));
}
