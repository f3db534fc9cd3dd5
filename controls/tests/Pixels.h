// 32-bit test surfaces and pixel reads for the drawing tests.
#pragma once

#include <memory>

#include "CkCommon.h"
#include "gui/Bitmap.h"

namespace cktest {

using namespace ck;

// A 32-bit bitmap filled with one colour.
inline std::unique_ptr<TBitmap> Surface(int w, int h, TColor fill = clWhite) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  b->Canvas().Brush().SetColor(fill);
  b->Canvas().FillRect(Rect(0, 0, w, h));
  return b;
}

// The pixel straight from the DIB rows, as an RGB colour.
inline TColor At(TBitmap& b, int x, int y) {
  auto* row = static_cast<const std::uint8_t*>(b.ScanLine(y));
  return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
}

inline int CountOf(TBitmap& b, TColor color, const TRect& area) {
  int n = 0;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x) n += At(b, x, y) == color;
  return n;
}

inline TColor Sys(TColor color) { return ColorToRGB(color); }

}  // namespace cktest
