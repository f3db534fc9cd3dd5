#include <gtest/gtest.h>

#include "gui/Bitmap.h"

TEST(Smoke, Builds) {
  gui::TBitmap b;
  b.SetPixelFormat(gui::pf32bit);
  b.SetSize(4, 4);
  EXPECT_EQ(b.Width(), 4);
}
