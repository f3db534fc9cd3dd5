// Decoding and encoding of the image data in every format.
#include <gtest/gtest.h>

#include "PngFixtures.h"

namespace {
struct Size {
  uint32_t w, h;
};
const Size kSizes[] = {{1, 1}, {3, 5}, {9, 9}};
}  // namespace

TEST(PngImageData, DecodesEveryFormatSizeAndInterlace) {
  uint32_t seed = 1;
  for (auto [ct, depth] : LegalFormats())
    for (Size s : kSizes)
      for (bool interlaced : {false, true}) {
        SCOPED_TRACE(testing::Message() << "type " << int(ct) << " depth " << int(depth) << " "
                                        << s.w << "x" << s.h << (interlaced ? " Adam7" : ""));
        RawImage raw = RandomImage(s.w, s.h, ct, depth, seed++);
        PngBuild build;
        build.interlaced = interlaced;
        TPngImage png;
        Load(png, BuildPng(raw, build));
        ExpectDecoded(png, raw);
        EXPECT_EQ(png.Interlacing, interlaced ? 1 : 0);
      }
}
