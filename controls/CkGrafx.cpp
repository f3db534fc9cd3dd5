#include "CkGrafx.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gui/Forms.h"

namespace ck {

void DrawTransparentBitmapPart(TCanvas& canvas, TBitmap& bitmap, const TRect& dest, TColor transparentColor,
                               const TRect& source) {
  if (bitmap.Empty()) return;
  MaskedBlt(canvas.Handle(), dest, bitmap.Canvas().Handle(), source, ColorToRGB(transparentColor) & 0xFFFFFF);
}

void FlipBitmapVertically(TBitmap& bitmap) {
  int w = bitmap.Width(), h = bitmap.Height();
  if (w <= 0 || h <= 1) return;
  TBitmap work;
  work.SetPixelFormat(bitmap.PixelFormat() == pfCustom ? pf32bit : bitmap.PixelFormat());
  work.SetSize(w, h);
  HDC from = bitmap.Canvas().Handle(), to = work.Canvas().Handle();
  for (int row = 0; row < h; ++row) BitBlt(to, 0, h - 1 - row, w, 1, from, 0, row, SRCCOPY);
  BitBlt(from, 0, 0, w, h, to, 0, 0, SRCCOPY);
}

void TileByDoubling(HDC dc, int x, int y, DWORD rop, int seedHeight, int seedWidth, int totalHeight,
                    int totalWidth) {
  if (seedHeight <= 0 || seedWidth <= 0) return;
  int filled = seedHeight;
  while (filled < totalHeight) {
    int part = std::min(filled, totalHeight - filled);
    BitBlt(dc, x, y + filled, seedWidth, part, dc, x, y, rop);
    filled += part;
  }
  int height = std::max(seedHeight, totalHeight);
  filled = seedWidth;
  while (filled < totalWidth) {
    int part = std::min(filled, totalWidth - filled);
    BitBlt(dc, x + filled, y, part, height, dc, x, y, rop);
    filled += part;
  }
}

void MirrorBoxQuarter(HDC dc, int x, int y, DWORD rop, int height, int width) {
  int q = width / 2, k = q % 2;
  if (q <= 0) return;
  int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  // Upper rows onto the lower part, upside down, one column wider.
  for (int row = 0; row < height / 2; ++row)
    StretchBlt(dc, x, y + height - 1 - row, q + 1, 1, dc, x, y + row, q, 1, rop);
  // Left columns onto the right part, mirrored, ending at the right edge.
  int from = q - k, to = q + k;
  if (from > 0)
    for (int j = 0; j < to; ++j) BitBlt(dc, x + width - 1 - j, y, 1, height, dc, x + j * from / to, y, rop);
  SetStretchBltMode(dc, oldMode);
}

// --- gradients ------------------------------------------------------------------------

namespace {

// A colour stepped channel by channel in 16.16 fixed point.
class ColorStepper {
 public:
  ColorStepper(COLORREF from, COLORREF to, int steps) {
    int a[3] = {GetRValue(from), GetGValue(from), GetBValue(from)};
    int b[3] = {GetRValue(to), GetGValue(to), GetBValue(to)};
    for (int i = 0; i < 3; ++i) {
      value_[i] = a[i] << 16;
      delta_[i] = static_cast<int>(static_cast<long long>(b[i] - a[i]) * 65536 / std::max(steps, 1));
    }
  }
  COLORREF Current() const { return RGB(value_[0] >> 16, value_[1] >> 16, value_[2] >> 16); }
  void Step() {
    for (int i = 0; i < 3; ++i) value_[i] += delta_[i];
  }

 private:
  int value_[3];
  int delta_[3];
};

// Walks `lines` lines stepping from `from` to `to`, one step per line, and
// hands each band (first line, line count, colour) to fill. A band keeps at
// least minLines lines even when the colour has moved on.
template <class Fill>
void ForEachBand(COLORREF from, COLORREF to, int lines, int minLines, Fill fill) {
  ColorStepper stepper(from, to, lines);
  int first = 0;
  COLORREF color = stepper.Current();
  for (int i = 1; i < lines; ++i) {
    stepper.Step();
    COLORREF next = stepper.Current();
    if (next == color || i - first < minLines) continue;
    fill(first, i - first, color);
    first = i;
    color = next;
  }
  if (lines > 0) fill(first, lines - first, color);
}

int LeastBandLines(std::uint8_t bands, int divisor) {
  if (bands <= 1) return 1;
  if (bands <= 8) return bands;
  return divisor / bands + 1;
}

void Fill(TCanvas& c, const TRect& r, COLORREF color) {
  c.Brush().SetColor(color);
  c.FillRect(r);
}

// Bands along one axis of a strip: line i of the walk lies at position
// origin + direction * i.
void StripBands(TCanvas& c, bool rows, int stripSize, COLORREF from, COLORREF to, int lines, int origin,
                int direction, int minLines) {
  ForEachBand(from, to, lines, minLines, [&](int first, int count, COLORREF color) {
    int a = origin + direction * first, b = origin + direction * (first + count - 1);
    int lo = std::min(a, b), hi = std::max(a, b) + 1;
    Fill(c, rows ? Rect(0, lo, stripSize, hi) : Rect(lo, 0, hi, stripSize), color);
  });
}

void DiagonalGradient(TCanvas& c, int w, int h, bool up, COLORREF start, COLORREF end, int minLines) {
  int steps = static_cast<int>(std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h)) + 1;
  int span = w + h;
  // Each band covers everything from its diagonal on; later bands cover the
  // rest. Down runs along x + y, up along x + (h - 1 - y).
  ForEachBand(up ? end : start, up ? start : end, steps, minLines, [&](int first, int, COLORREF color) {
    int d = static_cast<int>(static_cast<long long>(first) * span / steps);
    c.Brush().SetColor(color);
    if (up) {
      const TPoint points[] = {{d - h, -1}, {w + 2, -1}, {w + 2, h + 1}, {d + 2, h + 1}};
      c.Polygon(points);
    } else {
      const TPoint points[] = {{d + 1, -1}, {w + 2, -1}, {w + 2, h + 1}, {d - h - 1, h + 1}};
      c.Polygon(points);
    }
  });
}

void BoxGradient(TCanvas& c, int w, int h, TGradientDirection direction, COLORREF start, COLORREF end,
                 int minLines) {
  if (direction == gdHorizontalBox || direction == gdSquareBox) Fill(c, Rect(0, 0, w, h), end);
  int insetX = 0, insetY = 0;
  switch (direction) {
    case gdHorizontalBox: insetX = w / 4; break;
    case gdVerticalBox: insetY = h / 4; break;
    case gdBigSquareBox: insetX = w / 4, insetY = h / 4; break;
    default: insetX = w / 2, insetY = h / 2; break;  // square box: down to the centre
  }
  int rings = std::max({insetX, insetY, 1});
  HDC dc = c.Handle();
  int q = w / 2;
  TSavedClip clip = c.SaveClip();
  c.IntersectClipRect(Rect(0, 0, q + 1, h - h / 2));
  ForEachBand(start, end, rings, minLines, [&](int first, int, COLORREF color) {
    int ix = first * insetX / rings, iy = first * insetY / rings;
    Fill(c, Rect(ix, iy, w - ix, h - iy), color);
  });
  c.RestoreClip(clip);
  MirrorBoxQuarter(dc, 0, 0, SRCCOPY, h, w);
}

}  // namespace

void PaintGradient(TCanvas& canvas, const TRect& rect, TGradientDirection direction, std::uint8_t bands,
                   TColor startColor, TColor endColor) {
  COLORREF start = ColorToRGB(startColor) & 0xFFFFFF, end = ColorToRGB(endColor) & 0xFFFFFF;
  int w = std::abs(rect.Width()), h = std::abs(rect.Height());
  if (w == 0 || h == 0) return;
  TBitmap work;
  work.SetPixelFormat(pf32bit);
  work.SetSize(w, h);
  TCanvas& c = work.Canvas();
  c.Pen().SetStyle(psClear);
  c.Brush().SetStyle(bsSolid);
  HDC dc = c.Handle();
  int minLines = LeastBandLines(bands, 255);

  switch (direction) {
    case gdDiagonalUp:
    case gdDiagonalDown:
      if (start == end)
        Fill(c, Rect(0, 0, w, h), end);
      else
        DiagonalGradient(c, w, h, direction == gdDiagonalUp, start, end, minLines);
      break;
    case gdHorizontalEnd:
    case gdHorizontalCenter:
    case gdVerticalEnd:
    case gdVerticalCenter: {
      // Rows from the bottom up, or columns from the right leftward, in a
      // strip 8 pixels across that is then tiled.
      bool rows = direction == gdHorizontalEnd || direction == gdHorizontalCenter;
      int lines = rows ? h : w, strip = std::min(8, rows ? w : h);
      if (direction == gdHorizontalEnd || direction == gdVerticalEnd) {
        StripBands(c, rows, strip, start, end, lines, lines - 1, -1, minLines);
      } else {
        int mid = lines / 2;
        StripBands(c, rows, strip, start, end, mid + 1, mid, -1, minLines);
        StripBands(c, rows, strip, end, start, lines - 1 - mid, lines - 1, -1, minLines);
      }
      if (rows)
        TileByDoubling(dc, 0, 0, SRCCOPY, h, strip, h, w);
      else
        TileByDoubling(dc, 0, 0, SRCCOPY, strip, w, h, w);
      break;
    }
    default:
      if (start == end || w < 5 || h <= 4)
        Fill(c, Rect(0, 0, w, h), end);
      else
        BoxGradient(c, w, h, direction, start, end, LeastBandLines(bands, 256));
      break;
  }
  BitBlt(canvas.Handle(), rect.Left, rect.Top, w, h, dc, 0, 0, SRCCOPY);
}

// --- parent background ---------------------------------------------------------------

void PaintParentUnderControl(TControl* control, HDC dc, bool invalidateParent) {
  TWinControl* parent = control ? control->Parent() : nullptr;
  if (!parent) return;
  bool designing = control->ComponentState().Contains(csDesigning);
  try {
    gui::PaintParentBackground(dc, control);
  } catch (...) {
    if (!designing) throw;
  }
  if (invalidateParent && !designing && !parent->Is<TCustomControl>() && !parent->Is<TCustomForm>())
    parent->Invalidate();
}

}  // namespace ck
