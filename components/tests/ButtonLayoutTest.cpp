// Where the picture button puts its picture and caption, and which look wins.
#include "VeeButtonLayout.h"

#include <gtest/gtest.h>

using gui::Rect;
using A = TVeeAlignment;

namespace {
const gui::TSize kButton{76, 66};
const gui::TSize kPicture{31, 20};
const gui::TPoint kCustom{28, 45};

gui::TRect Placed(A align, bool stretch = false) { return VeePictureRect(align, kButton, kPicture, kCustom, stretch); }
}  // namespace

TEST(VeePictureRect, AlignsInNineCellsWithTruncatedHalves) {
  // (76 - 31) / 2 = 22 and (66 - 20) / 2 = 23.
  EXPECT_EQ(gui::Bounds(0, 0, 31, 20), Placed(A::alTopLeft));
  EXPECT_EQ(gui::Bounds(22, 0, 31, 20), Placed(A::alTopCenter));
  EXPECT_EQ(gui::Bounds(45, 0, 31, 20), Placed(A::alTopRight));
  EXPECT_EQ(gui::Bounds(0, 23, 31, 20), Placed(A::alMiddleLeft));
  EXPECT_EQ(gui::Bounds(0, 23, 31, 20), Placed(A::alLeft));
  EXPECT_EQ(gui::Bounds(22, 23, 31, 20), Placed(A::alMiddleCenter));
  EXPECT_EQ(gui::Bounds(22, 23, 31, 20), Placed(A::alCenter));
  EXPECT_EQ(gui::Bounds(45, 23, 31, 20), Placed(A::alMiddleRight));
  EXPECT_EQ(gui::Bounds(45, 23, 31, 20), Placed(A::alRight));
  EXPECT_EQ(gui::Bounds(0, 46, 31, 20), Placed(A::alBottomLeft));
  EXPECT_EQ(gui::Bounds(22, 46, 31, 20), Placed(A::alBottomCenter));
  EXPECT_EQ(gui::Bounds(45, 46, 31, 20), Placed(A::alBottomRight));
  EXPECT_EQ(gui::Bounds(28, 45, 31, 20), Placed(A::alCustom));
}

TEST(VeePictureRect, LargerPicturesTruncateTowardZeroAndStretchRunsToTheCorner) {
  // (10 - 25) / 2 is -7, not -8.
  EXPECT_EQ(gui::Bounds(-7, -7, 25, 25), VeePictureRect(A::alCenter, {10, 10}, {25, 25}, {}, false));
  EXPECT_EQ(Rect(22, 23, 76, 66), Placed(A::alCenter, true));
  EXPECT_EQ(Rect(28, 45, 76, 66), Placed(A::alCustom, true));
  EXPECT_EQ(Rect(0, 0, 76, 66), Placed(A::alTopLeft, true));
}

TEST(VeeCaptionFormat, OneLineTakesBothAlignmentsManyLinesStartAtTheTop) {
  const UINT one = DT_WORDBREAK | DT_SINGLELINE | DT_EXPANDTABS;
  const UINT many = DT_WORDBREAK | DT_EXPANDTABS | DT_EDITCONTROL;
  EXPECT_EQ(one | DT_CENTER | DT_VCENTER, VeeCaptionFormat(A::alCenter, false));
  EXPECT_EQ(one | DT_CENTER | DT_VCENTER, VeeCaptionFormat(A::alMiddleCenter, false));
  EXPECT_EQ(one, VeeCaptionFormat(A::alTopLeft, false));
  EXPECT_EQ(one, VeeCaptionFormat(A::alCustom, false));
  EXPECT_EQ(one | DT_CENTER, VeeCaptionFormat(A::alTopCenter, false));
  EXPECT_EQ(one | DT_RIGHT, VeeCaptionFormat(A::alTopRight, false));
  EXPECT_EQ(one | DT_VCENTER, VeeCaptionFormat(A::alLeft, false));
  EXPECT_EQ(one | DT_RIGHT | DT_VCENTER, VeeCaptionFormat(A::alRight, false));
  EXPECT_EQ(one | DT_BOTTOM, VeeCaptionFormat(A::alBottomLeft, false));
  EXPECT_EQ(one | DT_BOTTOM | DT_CENTER, VeeCaptionFormat(A::alBottomCenter, false));
  EXPECT_EQ(one | DT_BOTTOM | DT_RIGHT, VeeCaptionFormat(A::alBottomRight, false));
  EXPECT_EQ(many | DT_CENTER | DT_VCENTER, VeeCaptionFormat(A::alCenter, true));
  EXPECT_EQ(0u, VeeCaptionFormat(A::alCenter, true) & (DT_SINGLELINE | DT_NOPREFIX));
}

TEST(VeeCaptionRect, PressingShiftsTheClientRectangleButNotACustomPlace) {
  EXPECT_EQ(Rect(0, 0, 76, 66), VeeCaptionRect(A::alCenter, kButton, kCustom, false));
  EXPECT_EQ(Rect(1, 1, 77, 67), VeeCaptionRect(A::alCenter, kButton, kCustom, true));
  EXPECT_EQ(Rect(28, 45, 76, 66), VeeCaptionRect(A::alCustom, kButton, kCustom, false));
  EXPECT_EQ(Rect(28, 45, 76, 66), VeeCaptionRect(A::alCustom, kButton, kCustom, true));
}

TEST(VeeButtonState, DisabledBeatsDownBeatsHover) {
  EXPECT_EQ(TVeeButtonState::Disabled, VeeButtonState(false, true, true));
  EXPECT_EQ(TVeeButtonState::Down, VeeButtonState(true, true, true));
  EXPECT_EQ(TVeeButtonState::Hover, VeeButtonState(true, false, true));
  EXPECT_EQ(TVeeButtonState::Normal, VeeButtonState(true, false, false));
}
