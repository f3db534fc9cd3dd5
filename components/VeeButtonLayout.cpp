#include "VeeButtonLayout.h"

namespace components {

using gui::TPoint;
using gui::TRect;
using gui::TSize;
using A = TVeeAlignment;

TVeeButtonState VeeButtonState(bool enabled, bool down, bool hover) {
  if (!enabled) return TVeeButtonState::Disabled;
  if (down) return TVeeButtonState::Down;
  if (hover) return TVeeButtonState::Hover;
  return TVeeButtonState::Normal;
}

namespace {

enum class Edge { Start, Middle, End };

Edge Horizontal(A align) {
  switch (align) {
    case A::alTopCenter: case A::alMiddleCenter: case A::alBottomCenter: case A::alCenter:
      return Edge::Middle;
    case A::alTopRight: case A::alMiddleRight: case A::alBottomRight: case A::alRight:
      return Edge::End;
    default:
      return Edge::Start;
  }
}

Edge Vertical(A align) {
  switch (align) {
    case A::alMiddleLeft: case A::alMiddleCenter: case A::alMiddleRight:
    case A::alCenter: case A::alLeft: case A::alRight:
      return Edge::Middle;
    case A::alBottomLeft: case A::alBottomCenter: case A::alBottomRight:
      return Edge::End;
    default:
      return Edge::Start;
  }
}

// Offset of a length inside a span; the middle truncates toward zero, so an
// odd remainder leaves the extra pixel after the picture.
int Place(Edge edge, int span, int length) {
  switch (edge) {
    case Edge::Middle: return (span - length) / 2;
    case Edge::End: return span - length;
    default: return 0;
  }
}

}  // namespace

TRect VeePictureRect(A align, TSize control, TSize picture, TPoint custom, bool stretch) {
  TPoint at = custom;
  if (align != A::alCustom)
    at = {Place(Horizontal(align), control.cx, picture.cx), Place(Vertical(align), control.cy, picture.cy)};
  if (stretch) return gui::Rect(at.X, at.Y, control.cx, control.cy);
  return gui::Bounds(at.X, at.Y, picture.cx, picture.cy);
}

UINT VeeCaptionFormat(A align, bool multiLines) {
  UINT format = multiLines ? DT_WORDBREAK | DT_EXPANDTABS | DT_EDITCONTROL
                           : DT_WORDBREAK | DT_SINGLELINE | DT_EXPANDTABS;
  if (align == A::alCustom) return format;
  switch (Horizontal(align)) {
    case Edge::Middle: format |= DT_CENTER; break;
    case Edge::End: format |= DT_RIGHT; break;
    default: break;
  }
  switch (Vertical(align)) {
    case Edge::Middle: format |= DT_VCENTER; break;
    case Edge::End: format |= DT_BOTTOM; break;
    default: break;
  }
  return format;
}

TRect VeeCaptionRect(A align, TSize control, TPoint custom, bool down) {
  if (align == A::alCustom) return gui::Rect(custom.X, custom.Y, control.cx, control.cy);
  int shift = down ? 1 : 0;
  return gui::Rect(shift, shift, control.cx + shift, control.cy + shift);
}

}  // namespace components
