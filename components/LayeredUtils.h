// What the layered label and button share: the alignment type, the colour
// conversion for GDI+, and where a caption or a picture goes inside the
// control. Everything here is plain arithmetic on the control's bounds in the
// layered window's client coordinates.
#pragma once

#include <cstdint>
#include <string>

#include "gui/Color.h"
#include "gui/Object.h"
#include "gui/Types.h"

namespace components {

enum TAlignment : std::uint8_t {
  Alignment_TopLeft,
  Alignment_TopCenter,
  Alignment_TopRight,
  Alignment_MiddleLeft,
  Alignment_MiddleCenter,
  Alignment_MiddleRight,
  Alignment_BottomLeft,
  Alignment_BottomCenter,
  Alignment_BottomRight,
  Alignment_Center,
  Alignment_Left,
  Alignment_Right,
  Alignment_Custom
};

// The identifiers forms use for TAlignment values.
const gui::TEnumInfo& AlignmentInfo();

// The 32-bit ARGB value of GDI+ for a class-library colour: red, green and
// blue from its low, middle and high byte. The top byte is dropped, so a
// system colour is not resolved.
std::uint32_t MakeARGB(gui::TColor color, std::uint8_t alpha);

// GDI+ string alignment values (near, centre, far) of a caption.
enum TTextAlignValue : int { TextAlign_Near = 0, TextAlign_Center = 1, TextAlign_Far = 2 };
struct TTextPlacement {
  TTextAlignValue Horizontal = TextAlign_Near;
  TTextAlignValue Vertical = TextAlign_Near;
  friend bool operator==(const TTextPlacement&, const TTextPlacement&) = default;
};
TTextPlacement TextPlacement(TAlignment align);

// A layout rectangle of GDI+ (floating point: left, top, width, height).
struct TLayoutRect {
  float X = 0, Y = 0, Width = 0, Height = 0;
  friend bool operator==(const TLayoutRect&, const TLayoutRect&) = default;
};

// Where a caption is laid out: the control's bounds, or for Alignment_Custom
// the part from (textX, textY) on; `shift` moves it right and down (a pressed
// button's caption moves by one pixel).
TLayoutRect CaptionLayout(TAlignment align, const gui::TRect& bounds, int textX, int textY, int shift = 0);

// The offset of a picture of size (w, h) inside a control of size (W, H).
// Halves truncate toward zero, so a picture larger than the control starts
// left of or above it by half the excess.
gui::TPoint PictureOffset(TAlignment align, int W, int H, int w, int h, int pictureX, int pictureY);

// Where a picture is drawn: Dest in the window, Source in the image's pixels
// (both left, top, width, height as TRect). With stretch, Dest has the
// control's size and a smaller image is scaled up; a larger one is cropped to
// the control's size either way.
struct TPicturePlacement {
  gui::TRect Dest;
  gui::TRect Source;
  friend bool operator==(const TPicturePlacement&, const TPicturePlacement&) = default;
};
TPicturePlacement PlacePicture(TAlignment align, const gui::TRect& bounds, int imageWidth, int imageHeight,
                               bool stretch, int pictureX, int pictureY);

// Inside for the mouse states of layered controls: the edges count, so a
// point on the right or bottom edge is still inside.
bool InsideControl(int x, int y, int width, int height);

// True when the text holds more than blanks and control characters.
bool HasVisibleText(const std::string& text);

// The hover and pressed states of a layered label or button and how mouse
// and keys change them. Each change reports whether the control must repaint.
struct TPointerState {
  bool Hover = false;
  bool Down = false;

  void Enter() { Hover = true; Down = false; }
  // A pressed control keeps its state while the mouse is outside.
  bool Leave() { return Down ? false : Reset(); }
  void Press() { Down = true; Hover = false; }
  void Release(bool inside) { Hover = inside; Down = false; }
  // The pressed state ends in hover: the pointer (or the key) is still there.
  void Complete() { Down = false; Hover = true; }
  // True when anything changed.
  bool Reset() {
    const bool changed = Hover || Down;
    Hover = Down = false;
    return changed;
  }
};

// Which of the four looks a control shows: disabled wins, then pressed, then
// hover.
enum TLayeredLook { Look_Normal, Look_Hover, Look_Down, Look_Disabled };
TLayeredLook LookOf(bool enabled, const TPointerState& state);

}  // namespace components
