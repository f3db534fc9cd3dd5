// 32-bit test surfaces and pixel reads straight from their rows.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/Bitmap.h"

inline std::unique_ptr<gui::TBitmap> Surface(int w, int h, gui::TColor fill = gui::clWhite) {
  auto b = std::make_unique<gui::TBitmap>();
  b->SetPixelFormat(gui::pf32bit);
  b->SetSize(w, h);
  b->Canvas().Brush().SetColor(fill);
  b->Canvas().FillRect(gui::Rect(0, 0, w, h));
  return b;
}

// The pixel as an RGB colour (red low), whatever the bitmap's format.
inline gui::TColor At(gui::TBitmap& b, int x, int y) {
  if (b.PixelFormat() == gui::pf32bit) {
    auto* row = static_cast<const std::uint8_t*>(b.ScanLine(y));
    return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
  }
  return b.Canvas().Pixels(x, y);
}

// A bitmap whose every pixel has a colour of its own.
inline std::unique_ptr<gui::TBitmap> Numbered(int w, int h) {
  auto b = Surface(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b->Canvas().SetPixels(x, y, RGB(x * 10 + 1, y * 10 + 2, 99));
  return b;
}
