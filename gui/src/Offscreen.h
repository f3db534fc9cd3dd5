// A memory context with a bitmap of its own, for drawing off screen; shared
// inside the layer.
#pragma once

#include <windows.h>

#include <algorithm>

#include "kit/Own.h"

namespace gui::detail {

// The bitmap is selected while the context lives; with the scope it goes
// back out and both are freed.
class TOffscreen {
 public:
  // Takes over bitmap.
  TOffscreen(HDC like, HBITMAP bitmap)
      : dc_(CreateCompatibleDC(like)), bitmap_(bitmap), selected_(dc_.Get(), bitmap_.Get()) {}
  // A bitmap compatible with like, at least 1 x 1.
  TOffscreen(HDC like, int width, int height)
      : TOffscreen(like, CreateCompatibleBitmap(like, std::max(width, 1), std::max(height, 1))) {}
  HDC Dc() const { return dc_.Get(); }
  bool Ok() const { return dc_ && bitmap_; }

 private:
  kit::MemoryDC dc_;
  kit::Gdi<HBITMAP> bitmap_;
  kit::Selection selected_;
};

}  // namespace gui::detail
