// GDI+ images from the program's resources.
#include "VeeWindowsUtils.h"

#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <memory>

#include "testsupport/Pixels.h"

using namespace components;

using namespace gui;
using testsupport::At;

namespace {

class GdiPlus : public ::testing::Test {
 protected:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token_, &input, nullptr));
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};

// The image drawn 1:1 onto white, read back as RGB values.
std::unique_ptr<TBitmap> Render(Gdiplus::Image& image) {
  auto b = testsupport::Surface(int(image.GetWidth()), int(image.GetHeight()));
  {
    Gdiplus::Graphics g(b->Canvas().Handle());
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    EXPECT_EQ(Gdiplus::Ok, g.DrawImage(&image, 0, 0, b->Width(), b->Height()));
  }
  return b;
}

}  // namespace

TEST_F(GdiPlus, LoadsAPngResourceThatOutlivesTheLoad) {
  std::unique_ptr<Gdiplus::Image> first(LoadGPImageFromResource("FOURBYTWO", "PNG", nullptr));
  ASSERT_NE(nullptr, first);
  std::unique_ptr<Gdiplus::Image> second(LoadGPImageFromResource("fourbytwo", "png", GetModuleHandleW(nullptr)));
  ASSERT_NE(nullptr, second);
  first.reset();  // each image keeps its own copy of the data

  EXPECT_EQ(4u, second->GetWidth());
  EXPECT_EQ(2u, second->GetHeight());
  auto b = Render(*second);
  EXPECT_EQ(clRed, At(*b, 0, 0));
  EXPECT_EQ(clBlue, At(*b, 3, 0));
  EXPECT_EQ(clLime, At(*b, 1, 1));
  EXPECT_EQ(clWhite, At(*b, 2, 1)) << "a transparent pixel leaves the background";
}

TEST_F(GdiPlus, MissingEmptyOrForeignResourcesGiveNoImage) {
  EXPECT_EQ(nullptr, LoadGPImageFromResource("NOSUCHNAME", "PNG", nullptr));
  EXPECT_EQ(nullptr, LoadGPImageFromResource("FOURBYTWO", "GIF", nullptr)) << "wrong type";
  EXPECT_EQ(nullptr, LoadGPImageFromResource("EMPTY", "PNG", nullptr));
  EXPECT_EQ(nullptr, LoadGPImageFromResource("GARBAGE", "PNG", nullptr));
  // A module without resources of ours.
  EXPECT_EQ(nullptr, LoadGPImageFromResource("FOURBYTWO", "PNG", GetModuleHandleW(L"kernel32.dll")));
}
