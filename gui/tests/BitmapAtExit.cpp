// A bitmap made and freed in a static destructor, after everything made on
// first use has gone (forms freed at exit do that): it still gets a live
// image. Exit code 0 when it does.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "gui/Bitmap.h"

namespace {

bool PaintsInto(gui::TBitmap& bitmap) {
  HBITMAP image = bitmap.Handle();
  if (GetObjectType(image) != OBJ_BITMAP) return false;
  bitmap.Canvas().SetPixels(3, 4, 0x123456);
  return bitmap.Canvas().Pixels(3, 4) == 0x123456;
}

// Made before main, so it goes after the statics main's bitmaps bring about.
struct AtExit {
  ~AtExit() {
    bool good = false;
    try {
      gui::TBitmap late;
      late.SetSize(17, 9);  // the size of the one kept below
      good = PaintsInto(late);
    } catch (...) {
    }
    if (!good) {
      std::fputs("a bitmap made at exit has no live image\n", stderr);
      std::_Exit(3);
    }
  }
} atExit;

}  // namespace

int main() {
  gui::TBitmap early;
  early.SetSize(17, 9);
  return PaintsInto(early) ? 0 : 1;
}
