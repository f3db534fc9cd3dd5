// Test surfaces and pixel reads: 32-bit bitmaps read straight from their
// rows, so no device rounding stands between a test and what was drawn.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "gui/Bitmap.h"
#include "gui/Controls.h"

namespace testsupport {

// A 32-bit bitmap filled with one colour.
inline std::unique_ptr<gui::TBitmap> Surface(int w, int h, gui::TColor fill = gui::clWhite) {
  auto b = std::make_unique<gui::TBitmap>();
  b->SetPixelFormat(gui::pf32bit);
  b->SetSize(w, h);
  b->Canvas().Brush().SetColor(fill);
  b->Canvas().FillRect(gui::Rect(0, 0, w, h));
  return b;
}

// The pixel as an RGB colour (red low): from the rows of a 32-bit bitmap,
// through the canvas for any other format.
inline gui::TColor At(gui::TBitmap& b, int x, int y) {
  if (b.PixelFormat() != gui::pf32bit) return b.Canvas().Pixels(x, y);
  auto* row = static_cast<const std::uint8_t*>(b.ScanLine(y));
  return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
}

// How many pixels of the area have exactly that colour.
inline int CountOf(gui::TBitmap& b, gui::TColor color, const gui::TRect& area) {
  int n = 0;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x) n += At(b, x, y) == color;
  return n;
}

// A windowed control as it paints itself (background erased first) onto a
// surface of its size filled with `background`.
inline std::unique_ptr<gui::TBitmap> Render(gui::TWinControl& control, gui::TColor background) {
  auto b = Surface(control.Width(), control.Height(), background);
  control.PaintTo(b->Canvas().Handle(), 0, 0);
  return b;
}

}  // namespace testsupport
