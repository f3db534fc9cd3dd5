// GDI+ images from the program's resources.
#include "VeeWindowsUtils.h"

#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

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

namespace {

// GDI+'s own reading of a resource, through its codecs.
std::unique_ptr<Gdiplus::Bitmap> ThroughCodecs(const char* name) {
  HRSRC info = FindResourceA(nullptr, name, "PNG");
  if (!info) return nullptr;
  const DWORD size = SizeofResource(nullptr, info);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), LockResource(LoadResource(nullptr, info)), size);
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) return nullptr;
  // A copy in memory, so the stream may go at once.
  std::unique_ptr<Gdiplus::Bitmap> read(Gdiplus::Bitmap::FromStream(stream));
  std::unique_ptr<Gdiplus::Bitmap> copy(read ? read->Clone(0, 0, int(read->GetWidth()), int(read->GetHeight()),
                                                           PixelFormat32bppARGB)
                                             : nullptr);
  read.reset();
  stream->Release();
  return copy;
}

std::string Bytes(const char* name) {
  HRSRC info = FindResourceA(nullptr, name, "PNG");
  return info ? std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, info))),
                            SizeofResource(nullptr, info))
              : std::string();
}

}  // namespace

TEST_F(GdiPlus, TheShippedPicturesDecodeToGdiplusOwnPixels) {
  for (const char* name : {"BGABOUT", "BGSPLASH", "BTNCLOSE_NORMAL", "BTNCLOSE_HOVER", "BTNCLOSE_DOWN",
                           "BTNCLOSE_DISABLED", "FOURBYTWO"}) {
    SCOPED_TRACE(name);
    const std::string data = Bytes(name);
    // They take the program's own decoder, never GDI+'s codecs.
    std::unique_ptr<Gdiplus::Image> own(LoadGPImageFromPng(data.data(), data.size()));
    std::unique_ptr<Gdiplus::Bitmap> codecs = ThroughCodecs(name);
    ASSERT_NE(nullptr, own);
    ASSERT_NE(nullptr, codecs);
    auto* bitmap = static_cast<Gdiplus::Bitmap*>(own.get());
    ASSERT_EQ(codecs->GetWidth(), bitmap->GetWidth());
    ASSERT_EQ(codecs->GetHeight(), bitmap->GetHeight());
    int differing = 0;
    for (int y = 0; y < int(bitmap->GetHeight()); ++y)
      for (int x = 0; x < int(bitmap->GetWidth()); ++x) {
        Gdiplus::Color mine, theirs;
        bitmap->GetPixel(x, y, &mine);
        codecs->GetPixel(x, y, &theirs);
        // Fully transparent pixels show nothing, whatever colour they keep.
        if (mine.GetValue() != theirs.GetValue() && (mine.GetA() != 0 || theirs.GetA() != 0)) ++differing;
      }
    EXPECT_EQ(0, differing);
  }
}

TEST_F(GdiPlus, PicturesTheOwnDecoderLeavesStillLoadThroughGdiplus) {
  const std::string keyed = Bytes("PALETTE_KEYED");
  EXPECT_EQ(nullptr, LoadGPImageFromPng(keyed.data(), keyed.size())) << "a colour key is GDI+'s to read";
  std::unique_ptr<Gdiplus::Image> image(LoadGPImageFromResource("PALETTE_KEYED", "PNG", nullptr));
  ASSERT_NE(nullptr, image);
  auto b = Render(*image);
  EXPECT_EQ(clRed, At(*b, 0, 0));
  EXPECT_EQ(clWhite, At(*b, 1, 0)) << "the keyed pixel leaves the background";

  const std::string garbage = Bytes("GARBAGE");
  EXPECT_EQ(nullptr, LoadGPImageFromPng(garbage.data(), garbage.size()));
  EXPECT_EQ(nullptr, LoadGPImageFromPng(nullptr, 0));
  const std::string cut = Bytes("BGSPLASH").substr(0, 2000);
  EXPECT_EQ(nullptr, LoadGPImageFromPng(cut.data(), cut.size())) << "a cut file";
}
