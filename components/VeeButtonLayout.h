// Placement arithmetic of the picture button: where its picture and caption
// go, and which state look it shows. Kept apart from the control so that the
// rules can be checked without a window.
#pragma once

#include <windows.h>

#include "VeeWindowsUtils.h"
#include "gui/Types.h"

namespace components {

// The look a picture button shows; the first that applies wins, in this order.
enum class TVeeButtonState { Disabled, Down, Hover, Normal };
TVeeButtonState VeeButtonState(bool enabled, bool down, bool hover);

// Where a picture of size `picture` is drawn in a control of size `control`:
// aligned, or at `custom` for alCustom. Stretched pictures run from that
// corner to the control's bottom right.
gui::TRect VeePictureRect(TVeeAlignment align, gui::TSize control, gui::TSize picture, gui::TPoint custom,
                          bool stretch);

// DrawText flags of a caption: word break and expanded tabs, one line unless
// multiLines, plus the alignment (the vertical flags only work on one line).
UINT VeeCaptionFormat(TVeeAlignment align, bool multiLines);

// The rectangle a caption is drawn in: the client rectangle, from `custom`
// for alCustom. A pressed button shifts it one pixel right and down, except
// at a custom place.
gui::TRect VeeCaptionRect(TVeeAlignment align, gui::TSize control, gui::TPoint custom, bool down);

}  // namespace components
