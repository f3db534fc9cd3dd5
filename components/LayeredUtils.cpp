#include "LayeredUtils.h"

#include <algorithm>

#include "PathChecks.h"

namespace components {

const gui::TEnumInfo& AlignmentInfo() {
  static const gui::TEnumInfo info{
      "TAlignment",
      {"Alignment_TopLeft", "Alignment_TopCenter", "Alignment_TopRight", "Alignment_MiddleLeft",
       "Alignment_MiddleCenter", "Alignment_MiddleRight", "Alignment_BottomLeft", "Alignment_BottomCenter",
       "Alignment_BottomRight", "Alignment_Center", "Alignment_Left", "Alignment_Right", "Alignment_Custom"}};
  return info;
}

std::uint32_t MakeARGB(gui::TColor color, std::uint8_t alpha) {
  const std::uint32_t red = color & 0xFF;
  const std::uint32_t green = (color >> 8) & 0xFF;
  const std::uint32_t blue = (color >> 16) & 0xFF;
  return std::uint32_t{alpha} << 24 | red << 16 | green << 8 | blue;
}

namespace {

// Column (0 left, 1 centre, 2 right) and row (0 top, 1 middle, 2 bottom) of
// an alignment; Custom sits at the top left.
struct TCell {
  int Column, Row;
};

TCell CellOf(TAlignment align) {
  switch (align) {
    case Alignment_TopLeft: return {0, 0};
    case Alignment_TopCenter: return {1, 0};
    case Alignment_TopRight: return {2, 0};
    case Alignment_MiddleLeft:
    case Alignment_Left: return {0, 1};
    case Alignment_MiddleCenter:
    case Alignment_Center: return {1, 1};
    case Alignment_MiddleRight:
    case Alignment_Right: return {2, 1};
    case Alignment_BottomLeft: return {0, 2};
    case Alignment_BottomCenter: return {1, 2};
    case Alignment_BottomRight: return {2, 2};
    case Alignment_Custom: break;
  }
  return {0, 0};
}

// 0, half of the room (truncated toward zero) or all of it.
int Place(int cell, int room) {
  return cell == 0 ? 0 : cell == 1 ? room / 2 : room;
}

}  // namespace

TTextPlacement TextPlacement(TAlignment align) {
  const TCell cell = CellOf(align);
  return {static_cast<TTextAlignValue>(cell.Column), static_cast<TTextAlignValue>(cell.Row)};
}

TLayoutRect CaptionLayout(TAlignment align, const gui::TRect& bounds, int textX, int textY, int shift) {
  int left = bounds.Left, top = bounds.Top, width = bounds.Width(), height = bounds.Height();
  if (align == Alignment_Custom) {
    left += textX;
    top += textY;
    width -= textX;
    height -= textY;
  }
  return {float(left + shift), float(top + shift), float(width), float(height)};
}

gui::TPoint PictureOffset(TAlignment align, int W, int H, int w, int h, int pictureX, int pictureY) {
  if (align == Alignment_Custom) return {pictureX, pictureY};
  const TCell cell = CellOf(align);
  return {Place(cell.Column, W - w), Place(cell.Row, H - h)};
}

TPicturePlacement PlacePicture(TAlignment align, const gui::TRect& bounds, int imageWidth, int imageHeight,
                               bool stretch, int pictureX, int pictureY) {
  const int W = bounds.Width(), H = bounds.Height();
  const gui::TPoint at = PictureOffset(align, W, H, imageWidth, imageHeight, pictureX, pictureY);
  const int destWidth = stretch ? W : std::min(imageWidth, W);
  const int destHeight = stretch ? H : std::min(imageHeight, H);
  TPicturePlacement placement;
  placement.Dest = gui::Bounds(bounds.Left + at.X, bounds.Top + at.Y, destWidth, destHeight);
  placement.Source = gui::Bounds(0, 0, std::min(destWidth, imageWidth), std::min(destHeight, imageHeight));
  return placement;
}

bool InsideControl(int x, int y, int width, int height) {
  return x >= 0 && x <= width && y >= 0 && y <= height;
}

bool HasVisibleText(const std::string& text) { return !vee::TrimBlanks(text).empty(); }

TLayeredLook LookOf(bool enabled, const TPointerState& state) {
  if (!enabled) return Look_Disabled;
  if (state.Down) return Look_Down;
  return state.Hover ? Look_Hover : Look_Normal;
}

}  // namespace components
