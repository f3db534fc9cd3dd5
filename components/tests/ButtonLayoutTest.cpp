// Where the picture button puts its picture and caption, and which look wins.
#include "VeeButtonLayout.h"

#include <gtest/gtest.h>

using namespace components;

using gui::Rect;
using A = TVeeAlignment;

TEST(VeePictureRect, HalvesTruncateTowardZeroAndStretchRunsToTheCorner) {
  // (76 - 31) / 2 = 22 and (66 - 20) / 2 = 23; the alias alLeft is alMiddleLeft.
  EXPECT_EQ(gui::Bounds(22, 23, 31, 20), VeePictureRect(A::alCenter, {76, 66}, {31, 20}, {}, false));
  EXPECT_EQ(gui::Bounds(0, 23, 31, 20), VeePictureRect(A::alLeft, {76, 66}, {31, 20}, {}, false));
  EXPECT_EQ(gui::Bounds(45, 46, 31, 20), VeePictureRect(A::alBottomRight, {76, 66}, {31, 20}, {}, false));
  // A picture larger than the button: (10 - 25) / 2 is -7, not -8.
  EXPECT_EQ(gui::Bounds(-7, -7, 25, 25), VeePictureRect(A::alMiddleCenter, {10, 10}, {25, 25}, {}, false));
  EXPECT_EQ(Rect(22, 23, 76, 66), VeePictureRect(A::alCenter, {76, 66}, {31, 20}, {}, true));
  EXPECT_EQ(Rect(28, 45, 76, 66), VeePictureRect(A::alCustom, {76, 66}, {31, 20}, {28, 45}, true));
}

TEST(VeeCaption, FormatAndPlace) {
  const UINT one = DT_WORDBREAK | DT_SINGLELINE | DT_EXPANDTABS;
  EXPECT_EQ(one | DT_CENTER | DT_VCENTER, VeeCaptionFormat(A::alCenter, false));
  EXPECT_EQ(one | DT_BOTTOM | DT_RIGHT, VeeCaptionFormat(A::alBottomRight, false));
  EXPECT_EQ(one | DT_RIGHT | DT_VCENTER, VeeCaptionFormat(A::alRight, false));
  EXPECT_EQ(one, VeeCaptionFormat(A::alCustom, false));
  EXPECT_EQ(DT_WORDBREAK | DT_EXPANDTABS | DT_EDITCONTROL | DT_CENTER | DT_VCENTER,
            VeeCaptionFormat(A::alCenter, true));

  // Pressing shifts the client rectangle, not a custom place.
  EXPECT_EQ(Rect(1, 1, 77, 67), VeeCaptionRect(A::alCenter, {76, 66}, {28, 45}, true));
  EXPECT_EQ(Rect(28, 45, 76, 66), VeeCaptionRect(A::alCustom, {76, 66}, {28, 45}, true));
}

TEST(VeeButtonState, DisabledBeatsDownBeatsHover) {
  EXPECT_EQ(TVeeButtonState::Disabled, VeeButtonState(false, true, true));
  EXPECT_EQ(TVeeButtonState::Down, VeeButtonState(true, true, true));
  EXPECT_EQ(TVeeButtonState::Hover, VeeButtonState(true, false, true));
  EXPECT_EQ(TVeeButtonState::Normal, VeeButtonState(true, false, false));
}
