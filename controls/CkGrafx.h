// Bitmap-level drawing: transparent copies, flipping, tiling, box mirroring,
// two-colour gradients, and a parent's background under a transparent
// control. None of the routines keeps state.
#pragma once

#include <windows.h>

#include "CkCommon.h"
#include "gui/Bitmap.h"
#include "gui/Controls.h"

namespace ck {

// Draws the source part of the bitmap scaled into dest, leaving out every
// pixel of the transparent colour.
void DrawTransparentBitmapPart(TCanvas& canvas, TBitmap& bitmap, const TRect& dest, TColor transparentColor,
                               const TRect& source);
// Turns the bitmap upside down in place.
void FlipBitmapVertically(TBitmap& bitmap);
// Fills totalWidth x totalHeight at (x, y) from the seed block there by
// copying what is filled next to itself: down first, then across.
void TileByDoubling(HDC dc, int x, int y, DWORD rop, int seedHeight, int seedWidth, int totalHeight,
                    int totalWidth);
// Completes a box pattern drawn in the upper left quarter of width x height
// at (x, y): mirrored down, then across.
void MirrorBoxQuarter(HDC dc, int x, int y, DWORD rop, int height, int width);
// Fills rect with a gradient from startColor to endColor. `bands` sets the
// least number of lines per colour band (1..8 as such, larger values as
// 255 / bands + 1).
void PaintGradient(TCanvas& canvas, const TRect& rect, TGradientDirection direction, std::uint8_t bands,
                   TColor startColor, TColor endColor);
// Paints what the control's parent shows under the control into dc (the
// control's own coordinates). With invalidateParent, a parent that is
// neither a custom control nor a form is asked to repaint as well.
void PaintParentUnderControl(TControl* control, HDC dc, bool invalidateParent);

}  // namespace ck
