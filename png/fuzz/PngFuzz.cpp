// libFuzzer target: the whole decoder, plus what a loaded picture is used for.
#include <cstdint>

#include "PngImage.h"

using namespace png;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPngImage png;
  TPngMemoryStream input(data, size);
  try {
    png.LoadFromStream(input);
  } catch (const core::EPngException&) {
    // Chunks read before the failure stay and must be usable below.
  }
  if (!png.HasHeader()) return 0;
  const uint32_t w = png.Width(), h = png.Height();
  png.TransparencyKind();
  png.TransparentColour();
  for (uint32_t i = 0; i < 16; ++i) {
    png.GetPixelColour(int(i * 7 % (w + 2)) - 1, int(i * 3 % (h + 2)) - 1);
    png.IsKeyPixel(int(i * 5 % (w + 2)) - 1, int(i * 3 % (h + 2)) - 1);
  }
  uint8_t area[7 * 5 * 4] = {};
  png.BlendOver(area, 7, 5);
  if (uint64_t(w) * h > (1u << 16)) return 0;  // keep each run short
  try {
    png.KeyMask();
    TPngMemoryStream output;
    png.SaveToStream(output);
    output.SetPosition(0);
    TPngImage again;
    again.LoadFromStream(output);
    TPngImage copy;
    copy.CopyPicture(png);
    copy.ChangeSize(int(w) + 1, int(h) / 2 + 1);
    copy.SetPixelColour(int(w), 0, PngRgb(1, 2, 3));
    copy.IsKeyPixel(int(w), 0);
  } catch (const core::EPngException&) {
  }
  return 0;
}
