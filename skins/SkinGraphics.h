// Drawing routines the skin controls share: cutting and turning bitmaps,
// tiling pictures and shaping a window after a bitmap.
#pragma once

#include <windows.h>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Color.h"
#include "gui/Controls.h"
#include "gui/Graphic.h"
#include "gui/Types.h"

namespace skins {

// Copies part `partIndex` (from 1) of `partCount` equal parts, side by side
// in `source`, into `target`, which takes the part's size. The last part is
// taken flush with the right edge, so a width that does not divide evenly
// still ends the strip. Nothing happens for an empty source, a count below 1
// or an index outside 1..partCount.
void CutBitmapPart(gui::TBitmap* source, gui::TBitmap* target, int partCount, int partIndex);

// Turns the bitmap a quarter turn counter-clockwise in place: pixel (x, y)
// of a w x h image ends up at (y, w - 1 - x) of the h x w one.
void RotateBitmap(gui::TBitmap* bitmap);


// Draws the picture side by side from (0, 0) until it covers rect's width
// and height (one tile past them; the canvas clips). A picture with no
// width or height draws nothing.
void TilePicture(gui::TCanvas& canvas, gui::TPicture* picture, const gui::TRect& rect);

// Gives the window the shape of the bitmap: every pixel whose colour is not
// `transparentColor`, gathered in runs row by row. The system owns the
// region afterwards; the window is redrawn.
void SetRegionFromBitmap(HWND window, gui::TBitmap* bitmap, gui::TColor transparentColor);

}  // namespace skins
