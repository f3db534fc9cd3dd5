// The drawing routines of CkCommon: frames, bevels, borders, percent bars,
// glyphs and fonts.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vssym32.h>

#include "CkCommon.h"
#include "CkDisplay.h"
#include "CkGrafx.h"
#include "gui/Bitmap.h"
#include "gui/Themes.h"
#include "kit/Own.h"

namespace ck {

namespace {

void Line(TCanvas& c, int x1, int y1, int x2, int y2) {
  c.MoveTo(x1, y1);
  c.LineTo(x2, y2);
}

void UsePen(TCanvas& c, TColor color) {
  c.Pen().SetStyle(psSolid);
  c.Pen().SetWidth(1);
  c.Pen().SetColor(color);
}

void Dot(TCanvas& c, int x, int y, TColor color) {
  if (color != clNone) c.SetPixels(x, y, color);
}

void Fill(TCanvas& c, const TRect& r, TColor color) {
  if (color == clNone || r.IsEmpty()) return;
  c.Brush().SetStyle(bsSolid);
  c.Brush().SetColor(color);
  c.FillRect(r);
}

TRect Shrink(const TRect& r, TSides sides, int by) {
  TRect inner = r;
  if (sides.Contains(sdLeft)) inner.Left += by;
  if (sides.Contains(sdTop)) inner.Top += by;
  if (sides.Contains(sdRight)) inner.Right -= by;
  if (sides.Contains(sdBottom)) inner.Bottom -= by;
  return inner;
}

TRect Inset(const TRect& r, int by) { return {r.Left + by, r.Top + by, r.Right - by, r.Bottom - by}; }

// Shades of a colour for the frames derived from it; clNone stays clNone.
TColor Dark(TColor c, std::uint8_t amount) { return c == clNone ? clNone : DarkenColor(c, amount); }
TColor Light(TColor c, std::uint8_t amount) { return c == clNone ? clNone : LightenColor(c, amount); }

// Two nested lines: outer ul1 / lr1, inner ul2 / lr2.
TRect TwoLines(TCanvas& c, const TRect& r, TSides sides, TColor ul1, TColor lr1, TColor ul2, TColor lr2) {
  return DrawSidesLine(c, DrawSidesLine(c, r, ul1, sides, lr1), ul2, sides, lr2);
}

// The etched groove or bump: a in the upper-left line pair, b in the other.
TRect Etched(TCanvas& c, const TRect& r, TColor a, TColor b, TSides sides) {
  bool left = sides.Contains(sdLeft), top = sides.Contains(sdTop);
  bool right = sides.Contains(sdRight), bottom = sides.Contains(sdBottom);
  if (!r.IsEmpty()) {
    if (right) Dot(c, r.Right - 1, r.Top, b);
    if (bottom) Dot(c, r.Left, r.Bottom - 1, b);
    if (top && !left) Dot(c, r.Left, r.Top + 1, b);
    if (left && !top) Dot(c, r.Left + 1, r.Top, b);
    if (top && !right) Dot(c, r.Right - 1, r.Top, a);
    if (left && !bottom) Dot(c, r.Left, r.Bottom - 1, a);
    if (bottom && !right) Dot(c, r.Right - 1, r.Bottom - 2, a);
    if (right && !bottom) Dot(c, r.Right - 2, r.Bottom - 1, a);
  }
  DrawSidesLine(c, Rect(r.Left + 1, r.Top + 1, r.Right, r.Bottom), b, sides, b);
  DrawSidesLine(c, Rect(r.Left, r.Top, r.Right - 1, r.Bottom - 1), a, sides, a);
  return Shrink(r, sides, 2);
}

// A one-pixel frame on the chosen sides without its four corner pixels.
TRect CornerlessLine(TCanvas& c, const TRect& r, TColor color, TSides sides) {
  if (color != clNone && !r.IsEmpty()) {
    UsePen(c, color);
    if (sides.Contains(sdLeft)) Line(c, r.Left, r.Top + 1, r.Left, r.Bottom - 1);
    if (sides.Contains(sdTop)) Line(c, r.Left + 1, r.Top, r.Right - 1, r.Top);
    if (sides.Contains(sdRight)) Line(c, r.Right - 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    if (sides.Contains(sdBottom)) Line(c, r.Left + 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
  }
  return Shrink(r, sides, 1);
}

}  // namespace

// --- lines and frames ----------------------------------------------------------------

TRect DrawSidesLine(TCanvas& canvas, const TRect& rect, TColor ulColor, TSides sides, TColor lrColor) {
  const TRect& r = rect;
  if (!r.IsEmpty()) {
    if (ulColor != clNone) {
      UsePen(canvas, ulColor);
      if (sides.Contains(sdLeft)) Line(canvas, r.Left, r.Top, r.Left, r.Bottom);
      if (sides.Contains(sdTop)) Line(canvas, r.Left, r.Top, r.Right, r.Top);
    }
    if (lrColor != clNone) {
      UsePen(canvas, lrColor);
      if (sides.Contains(sdRight)) Line(canvas, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
      if (sides.Contains(sdBottom)) Line(canvas, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
    }
  }
  return Shrink(r, sides, 1);
}

TRect DrawSidesLines(TCanvas& canvas, const TRect& rect, TColor ulColor, TSides sides, int count, TColor lrColor) {
  TRect r = rect;
  for (int i = 0; i < count; ++i) r = DrawSidesLine(canvas, r, ulColor, sides, lrColor);
  return r;
}

TRect DrawBevel3D(TCanvas& canvas, const TRect& rect, bool lowered, TSides sides) {
  return DrawFrameStyle(canvas, rect, lowered ? fsLowered : fsRaised, sides);
}

TRect DrawButtonBevel(TCanvas& canvas, const TRect& rect, bool down, TSides sides) {
  return DrawFrameStyle(canvas, rect, down ? fsButtonDown : fsButtonUp, sides);
}

TRect DrawColorButtonBevel(TCanvas& canvas, const TRect& rect, TColor color, TSides sides, bool down) {
  return DrawColorFrameStyle(canvas, rect, color, sides, down ? fsButtonDown : fsButtonUp);
}

TRect DrawFrameStyle(TCanvas& canvas, const TRect& rect, TFrameStyle style, TSides sides) {
  TCanvas& c = canvas;
  switch (style) {
    case fsFlat: return DrawSidesLine(c, rect, cl3DDkShadow, sides, cl3DDkShadow);
    case fsGroove: return Etched(c, rect, clBtnShadow, clBtnHighlight, sides);
    case fsBump: return Etched(c, rect, clBtnHighlight, clBtnShadow, sides);
    case fsLowered: return TwoLines(c, rect, sides, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight);
    case fsButtonDown: return TwoLines(c, rect, sides, clBtnText, clBtnText, clBtnShadow, clBtnShadow);
    case fsRaised: return TwoLines(c, rect, sides, cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow);
    case fsButtonUp: return TwoLines(c, rect, sides, clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow);
    case fsStatus: return DrawSidesLine(c, rect, clBtnShadow, sides, clBtnHighlight);
    case fsPopup: return DrawSidesLine(c, rect, clBtnHighlight, sides, clBtnShadow);
    case fsFlatBold: return DrawSidesLines(c, rect, clBtnShadow, sides, 2, clBtnShadow);
    case fsFlatRounded: return DrawRoundedFlatSides(c, rect, clBtnShadow, sides);
    default: return rect;
  }
}

TRect DrawColorFrameStyle(TCanvas& canvas, const TRect& rect, TColor color, TSides sides, TFrameStyle style) {
  TCanvas& c = canvas;
  switch (style) {
    case fsFlat: return DrawSidesLine(c, rect, Dark(color, 50), sides, Dark(color, 50));
    case fsGroove: return Etched(c, rect, Dark(color, 50), Light(color, 100), sides);
    case fsBump:
    case fsFlatRounded: return Etched(c, rect, Light(color, 100), Dark(color, 50), sides);
    case fsLowered:
      return TwoLines(c, rect, sides, Dark(color, 50), Light(color, 100), Dark(color, 100), Light(color, 50));
    case fsRaised:
      return TwoLines(c, rect, sides, Light(color, 50), Dark(color, 100), Light(color, 100), Dark(color, 50));
    case fsButtonDown:
      return TwoLines(c, rect, sides, Dark(color, 100), Dark(color, 100), Dark(color, 50), Dark(color, 50));
    case fsButtonUp:
      return TwoLines(c, rect, sides, Light(color, 100), Dark(color, 100), Light(color, 40), Dark(color, 50));
    case fsStatus: return DrawSidesLine(c, rect, Dark(color, 50), sides, Light(color, 100));
    case fsPopup: return DrawSidesLine(c, rect, Light(color, 100), sides, Dark(color, 50));
    case fsFlatBold: return DrawSidesLines(c, rect, Dark(color, 50), sides, 2, Dark(color, 50));
    default: return rect;
  }
}

TRect DrawBoxLine(TCanvas& canvas, const TRect& rect, TColor color) {
  return DrawSidesLine(canvas, rect, color, kAllSides, color);
}

TRect DrawDottedFocusBorder(TCanvas& canvas, const TRect& rect) {
  const TRect& r = rect;
  if (!r.IsEmpty()) {
    for (int x = r.Left + 1; x < r.Right; x += 2) {
      canvas.SetPixels(x, r.Top, clBlack);
      canvas.SetPixels(x, r.Bottom - 1, clBlack);
    }
    for (int y = r.Top + 1; y < r.Bottom; y += 2) {
      canvas.SetPixels(r.Left, y, clBlack);
      canvas.SetPixels(r.Right - 1, y, clBlack);
    }
  }
  return Inset(r, 1);
}

TRect DrawRoundedFlatSides(TCanvas& canvas, const TRect& rect, TColor color, TSides sides) {
  const TRect& r = rect;
  bool left = sides.Contains(sdLeft), top = sides.Contains(sdTop);
  bool right = sides.Contains(sdRight), bottom = sides.Contains(sdBottom);
  if (color != clNone && !r.IsEmpty()) {
    UsePen(canvas, color);
    if (left) Line(canvas, r.Left, r.Top + (top ? 2 : 0), r.Left, r.Bottom - (bottom ? 2 : 0));
    if (top) Line(canvas, r.Left + (left ? 2 : 0), r.Top, r.Right - (right ? 2 : 0), r.Top);
    if (right) Line(canvas, r.Right - 1, r.Top + (top ? 2 : 0), r.Right - 1, r.Bottom - (bottom ? 2 : 0));
    if (bottom) Line(canvas, r.Left + (left ? 2 : 0), r.Bottom - 1, r.Right - (right ? 2 : 0), r.Bottom - 1);
    if (left && top) canvas.SetPixels(r.Left + 1, r.Top + 1, color);
    if (top && right) canvas.SetPixels(r.Right - 2, r.Top + 1, color);
    if (right && bottom) canvas.SetPixels(r.Right - 2, r.Bottom - 2, color);
    if (bottom && left) canvas.SetPixels(r.Left + 1, r.Bottom - 2, color);
  }
  return Shrink(r, sides, 2);
}

int FrameStyleThickness(TFrameStyleEx style, int bevelWidth) {
  switch (style) {
    case fsNone: return 0;
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return bevelWidth;
    default: return 2;
  }
}

TRect DrawFramedBorder(TCanvas& canvas, const TRect& rect, const TFramedBorder& b) {
  TCanvas& c = canvas;
  const TSides sides = b.Sides;
  const TColor flat = b.FlatColor == clNone ? clNone : ShiftColorLuminance(b.FlatColor, b.FlatColorAdjustment);
  const bool hasInside = b.BorderWidth > 0 || b.Inner != fsNone;
  TRect r = rect;

  switch (b.Outer) {
    case fsFlat: r = DrawSidesLine(c, r, flat, sides, flat); break;
    case fsFlatBold: r = DrawSidesLines(c, r, flat, sides, 2, flat); break;
    case fsFlatRounded: {
      // The background under the cut corners and the ring inside them.
      TColor ring = hasInside ? b.BorderColor : b.OwnColor;
      if (!b.Transparent)
        DrawSidesLine(c, DrawSidesLine(c, r, b.ParentColor, sides, b.ParentColor), ring, sides, ring);
      else if (hasInside)
        DrawSidesLine(c, Shrink(r, sides, 1), b.BorderColor, sides, b.BorderColor);
      r = DrawRoundedFlatSides(c, r, flat, sides);
      break;
    }
    case fsStatus: r = DrawSidesLines(c, r, b.ShadowColor, sides, b.BevelWidth, b.HighlightColor); break;
    case fsPopup: r = DrawSidesLines(c, r, b.HighlightColor, sides, b.BevelWidth, b.ShadowColor); break;
    default: r = DrawFrameStyle(c, r, b.Outer, sides); break;
  }

  if (b.BorderWidth > 0) r = DrawSidesLines(c, r, b.BorderColor, sides, b.BorderWidth, b.BorderColor);

  switch (b.Inner) {
    case fsFlat:
      if (b.RoundInner) return CornerlessLine(c, r, flat, sides);
      r = DrawSidesLine(c, r, flat, sides, flat);
      break;
    case fsFlatBold: r = DrawSidesLines(c, r, flat, sides, 2, flat); break;
    case fsFlatRounded: {
      TRect before = r;
      TRect t = DrawSidesLine(c, r, b.BorderColor, sides, b.BorderColor);
      if (!b.Transparent) DrawSidesLine(c, t, b.OwnColor, sides, b.OwnColor);
      r = DrawRoundedFlatSides(c, before, flat, sides);
      break;
    }
    case fsStatus: r = DrawSidesLines(c, r, b.ShadowColor, sides, b.BevelWidth, b.HighlightColor); break;
    case fsPopup: r = DrawSidesLines(c, r, b.HighlightColor, sides, b.BevelWidth, b.ShadowColor); break;
    default: r = DrawFrameStyle(c, r, b.Inner, sides); break;
  }
  return r;
}

void DrawControlFrame(TCanvas& canvas, int width, int height, bool skipClear, TSides sides, TColor frameColor,
                      TColor backgroundColor, TFrameStyle style) {
  TRect r = Rect(0, 0, width, height);
  if (!skipClear) DrawSidesLines(canvas, r, backgroundColor, kAllSides, 2, backgroundColor);
  switch (style) {
    case fsFlat: DrawSidesLine(canvas, r, frameColor, sides, frameColor); break;
    case fsFlatBold: DrawSidesLines(canvas, r, frameColor, sides, 2, frameColor); break;
    default:
      if (backgroundColor == clWindow)
        DrawFrameStyle(canvas, r, style, sides);
      else
        DrawColorFrameStyle(canvas, r, backgroundColor, sides, style);
      break;
  }
}

void InvalidateNonClient(HWND window, const TRect& rect) {
  RECT clip{};
  int kind = ERROR;
  if (kit::WindowDC dc(window, kit::WindowDC::Whole); dc) kind = GetClipBox(dc.Get(), &clip);
  if (kind == NULLREGION || kind == ERROR) return;
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  RedrawWindow(window, &r, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

// --- percent bars -----------------------------------------------------------------------

namespace {

struct BarParts {
  TRect filled, rest;
  std::string text;
  int textX = 0, textY = 0;
};

BarParts SplitBar(TCanvas& c, const TRect& r, bool vertical, bool showPercent, std::uint16_t percent) {
  BarParts p;
  if (percent >= 100) {
    p.filled = r;
    p.rest = Rect(r.Left, r.Top, r.Left, r.Top);
  } else if (vertical) {
    int size = static_cast<int>(RoundDiv(std::int64_t{percent} * r.Height(), 100));
    p.filled = Rect(r.Left, r.Bottom - size, r.Right, r.Bottom);
    p.rest = Rect(r.Left, r.Top, r.Right, r.Bottom - size);
  } else {
    int size = static_cast<int>(RoundDiv(std::int64_t{percent} * r.Width(), 100));
    p.filled = Rect(r.Left, r.Top, r.Left + size, r.Bottom);
    p.rest = Rect(r.Left + size, r.Top, r.Right, r.Bottom);
  }
  if (showPercent) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%u%%", static_cast<unsigned>(percent));
    p.text = buf;
  }
  p.textX = r.Left + (r.Width() - c.TextWidth(p.text)) / 2;
  p.textY = r.Top + (r.Height() - c.TextHeight("X")) / 2;
  return p;
}

// The text clipped to one part of the bar, over what is there.
void BarText(TCanvas& c, const BarParts& p, const TRect& part, TColor color) {
  if (p.text.empty() || part.IsEmpty()) return;
  c.Brush().SetStyle(bsClear);
  c.Font().SetColor(color);
  c.TextRect(part, p.textX, p.textY, p.text);
  c.Brush().SetStyle(bsSolid);
}

}  // namespace

void DrawPercentBar(TCanvas& canvas, const TRect& rect, bool vertical, bool transparent, bool showPercent,
                    std::uint16_t percent, TColor backColor, TColor barColor) {
  BarParts p = SplitBar(canvas, rect, vertical, showPercent, percent);
  Fill(canvas, p.filled, barColor);
  BarText(canvas, p, p.filled, backColor);
  if (!transparent) Fill(canvas, p.rest, backColor);
  BarText(canvas, p, p.rest, barColor);
}

void DrawGradientPercentBar(TCanvas& canvas, const TRect& rect, bool vertical, bool transparent, bool showPercent,
                            std::uint16_t percent, TGradientDirection direction, TColor backStopColor,
                            TColor backColor, TColor barStopColor, TColor barColor) {
  BarParts p = SplitBar(canvas, rect, vertical, showPercent, percent);
  if (!p.filled.IsEmpty()) PaintGradient(canvas, p.filled, direction, 1, barStopColor, barColor);
  BarText(canvas, p, p.filled, backColor);
  if (!transparent && !p.rest.IsEmpty()) PaintGradient(canvas, p.rest, direction, 1, backStopColor, backColor);
  BarText(canvas, p, p.rest, barColor);
}

namespace {

// The visual style's progress chunk over `percent` of the bar; false
// without visual styles.
bool DrawThemedChunk(TCanvas& canvas, const TRect& rect, bool vertical, std::uint16_t percent) {
  HTHEME theme = ThemeServices().Theme(L"PROGRESS");
  if (!theme) return false;
  TRect inner = Inset(rect, 1);
  int p = std::min<int>(percent, 100);
  if (!vertical) {
    RECT r{inner.Left, inner.Top, inner.Left + static_cast<int>(RoundDiv(std::int64_t{p} * inner.Width(), 100)),
           inner.Bottom};
    if (r.right > r.left && r.bottom > r.top) DrawThemeBackground(theme, canvas.Handle(), PP_CHUNK, 0, &r, nullptr);
    return true;
  }
  int w = inner.Width(), h = static_cast<int>(RoundDiv(std::int64_t{p} * inner.Height(), 100));
  if (w <= 0 || h <= 0) return true;
  // The vertical chunk grows from the top; drawn upside down it grows from the bottom.
  TBitmap work;
  work.SetPixelFormat(pf32bit);
  work.SetSize(w, h);
  RECT r{0, 0, w, h};
  DrawThemeBackground(theme, work.Canvas().Handle(), PP_CHUNKVERT, 0, &r, nullptr);
  FlipBitmapVertically(work);
  BitBlt(canvas.Handle(), inner.Left, inner.Bottom - h, w, h, work.Canvas().Handle(), 0, 0, SRCCOPY);
  return true;
}

}  // namespace

void DrawLedPercentBar(TCanvas& canvas, const TRect& rect, bool vertical, bool transparent, bool themeAware,
                       std::uint16_t percent, int segmentCount, TColor backColor, TColor barColor) {
  if (themeAware && DrawThemedChunk(canvas, rect, vertical, percent)) return;
  const TRect& r = rect;
  int length = vertical ? r.Height() : r.Width();
  if (length <= 0) return;
  if (!transparent) Fill(canvas, r, backColor);  // margins, gaps and unlit segments
  int n = segmentCount;
  if (n < 1) return;
  int size = length / n;
  if (length <= 80 && n > 10) {
    size = length / 10;
    n = 10;
  }
  if (size < 1) {  // more segments than pixels: one pixel each
    size = 1;
    n = length;
  }
  n += (length - size * n) / size;
  int margin = (length - size * n) / 2;
  int lit = std::min(static_cast<int>(std::int64_t{percent} * n / 100), n);
  for (int i = 0; i < lit; ++i) {
    TRect segment;
    if (vertical) {
      int bottom = r.Bottom - margin - i * size;
      segment = Rect(r.Left, bottom - size, r.Right, bottom);
    } else {
      int left = r.Left + margin + i * size;
      segment = Rect(left, r.Top, left + size, r.Bottom);
    }
    // The segment's outline is the gap between segments.
    Fill(canvas, Inset(segment, 1), barColor);
  }
}

void DrawHotRing(TCanvas& canvas, const TRect& rect, TGradientDirection direction, TColor startColor,
                 TColor endColor) {
  if (!HasFullColorDisplay()) return;
  TSavedClip clip = canvas.SaveClip();
  canvas.ExcludeClipRect(Inset(rect, 2));
  PaintGradient(canvas, rect, direction, 1, startColor, endColor);
  canvas.RestoreClip(clip);
}

// --- glyphs -----------------------------------------------------------------------------

namespace {

// The inside colour of a glyph for its state.
TColor GlyphFill(const TCkGlyphStyle& s) {
  if (s.State == gsPressed) return DarkenColor(s.FocusColor, 20);
  if (s.State == gsDisabled) return s.DisabledColor;
  if (s.Focused) return s.ReadOnly && s.ReadOnlyColorOnFocus ? s.ReadOnlyColor : s.FocusColor;
  return s.ReadOnly ? s.ReadOnlyColor : s.FillColor;
}

TColor GlyphFrame(const TCkGlyphStyle& s) {
  return s.State == gsHot && s.HotStyle == htsFrame ? s.HotColor : s.FrameColor;
}

TColor GlyphMark(const TCkGlyphStyle& s) { return s.State == gsDisabled ? clBtnShadow : s.MarkColor; }

}  // namespace

void DrawCheckGlyph(TCanvas& canvas, const TRect& rect, TCheckBoxState state, const TCkGlyphStyle& style) {
  TRect inner = DrawBoxLine(canvas, rect, GlyphFrame(style));
  Fill(canvas, inner, GlyphFill(style));
  TColor tick = GlyphMark(style);
  if (state == cbChecked) {
    int l = inner.Left, t = inner.Top;
    const TPoint start[] = {{2, 4}, {2, 5}, {2, 6}, {3, 5}, {3, 6}, {3, 7}, {4, 6}};
    for (TPoint p : start) Dot(canvas, l + p.X, t + p.Y, tick);
    for (int i = 0; i <= 3; ++i) {
      Dot(canvas, l + 4 + i, t + 7 - i, tick);
      Dot(canvas, l + 4 + i, t + 8 - i, tick);
      Dot(canvas, l + 5 + i, t + 5 - i, tick);
    }
    Dot(canvas, l + 8, t + 3, tick);
    Dot(canvas, l + 8, t + 4, tick);
  } else if (state == cbGrayed) {
    Fill(canvas, Inset(inner, 2), tick);
  }
  if (style.State == gsHot) {
    if (style.HotStyle == htsInterior)
      DrawHotRing(canvas, inner, gdDiagonalDown, style.HotColor, style.HotColor2);
    else
      DrawBoxLine(canvas, inner, style.HotColor);
  }
}

namespace {

// The radio glyph: o outside the circle, F the circle, h and l the soft
// outer edge (strong and light), a, b and c the inner shading (strong to
// light), . the inside.
constexpr const char* kRadioMap[13] = {
    "ooolFFFFFlooo",
    "oohFa...aFhoo",
    "ohFb.....bFho",
    "lFa.......aFl",
    "Fc.........cF",
    "F...........F",
    "F...........F",
    "F...........F",
    "Fc.........cF",
    "lFa.......aFl",
    "ohFb.....bFho",
    "oohFa...aFhoo",
    "ooolFFFFFlooo",
};

}  // namespace

void DrawRadioGlyph(TCanvas& canvas, const TRect& rect, bool checked, const TCkGlyphStyle& style) {
  const bool full = HasFullColorDisplay();
  const bool hotFrame = style.State == gsHot && style.HotStyle == htsFrame;
  const TColor frame = ColorToRGB(GlyphFrame(style)) & 0xFFFFFF;
  const TColor back = ColorToRGB(style.Transparent ? style.TransparentColor : style.BackgroundColor) & 0xFFFFFF;

  TBitmap work;
  work.SetPixelFormat(pf32bit);
  work.SetSize(13, 13);
  TCanvas& c = work.Canvas();
  Fill(c, Rect(0, 0, 13, 13), GlyphFill(style));

  if (style.State == gsHot && full) {
    if (hotFrame) {
      // A ring just inside the circle: straight runs in the frame colour,
      // the turns a shade lighter.
      TColor light = LightenColor(frame, 10);
      for (int i = 5; i <= 7; ++i) {
        c.SetPixels(i, 1, frame), c.SetPixels(i, 11, frame);
        c.SetPixels(1, i, frame), c.SetPixels(11, i, frame);
      }
      for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x)
          if (std::string_view("abc").find(kRadioMap[y][x]) != std::string_view::npos) c.SetPixels(x, y, light);
    } else {
      TSavedClip clip = c.SaveClip();
      c.IntersectClipRect(Rect(1, 1, 12, 12));
      c.ExcludeClipRect(Rect(3, 2, 10, 11));
      c.ExcludeClipRect(Rect(2, 3, 11, 10));
      PaintGradient(c, Rect(1, 1, 12, 12), gdDiagonalDown, 1, style.HotColor, style.HotColor2);
      c.RestoreClip(clip);
    }
  }

  for (int y = 0; y < 13; ++y) {
    for (int x = 0; x < 13; ++x) {
      TColor here = c.Pixels(x, y);
      switch (kRadioMap[y][x]) {
        case 'o': c.SetPixels(x, y, back); break;
        case 'F': c.SetPixels(x, y, frame); break;
        case 'h': c.SetPixels(x, y, style.Transparent ? back : full ? MixColors(frame, back, 128) : back); break;
        case 'l': c.SetPixels(x, y, style.Transparent ? back : full ? MixColors(frame, back, 40) : frame); break;
        case 'a': c.SetPixels(x, y, full ? MixColors(frame, here, hotFrame ? 150 : 128) : clSilver); break;
        case 'b': c.SetPixels(x, y, full ? MixColors(frame, here, 80) : clSilver); break;
        case 'c': c.SetPixels(x, y, full ? MixColors(frame, here, hotFrame ? 80 : 40) : clSilver); break;
        default: break;
      }
    }
  }

  if (checked) {
    TColor dot = GlyphMark(style);
    Fill(c, Rect(5, 5, 8, 8), dot);
    for (TPoint p : {TPoint{6, 4}, TPoint{4, 6}, TPoint{8, 6}, TPoint{6, 8}}) c.SetPixels(p.X, p.Y, dot);
    TColor soft = full ? MixColors(dot, c.Pixels(4, 4), 153) : dot;
    for (TPoint p : {TPoint{5, 4}, TPoint{7, 4}, TPoint{4, 5}, TPoint{8, 5}, TPoint{4, 7}, TPoint{8, 7},
                     TPoint{5, 8}, TPoint{7, 8}})
      c.SetPixels(p.X, p.Y, soft);
  }
  BitBlt(canvas.Handle(), rect.Left, rect.Top, 13, 13, c.Handle(), 0, 0, SRCCOPY);
}

namespace {

// The arrow colour of the visual style's combo box button, read from a
// rendering of the button.
std::optional<TColor> ThemedArrowColor() {
  TBitmap work;
  work.SetPixelFormat(pf32bit);
  work.SetSize(17, 21);
  if (!ThemeServices().DrawElement(work.Canvas().Handle(), L"COMBOBOX", CP_DROPDOWNBUTTON, CBXS_NORMAL,
                                   Rect(0, 0, 17, 21)))
    return std::nullopt;
  return work.Canvas().Pixels(8, 10);
}

}  // namespace

void DrawDropDownArrow(TCanvas& canvas, const TRect& rect, int style, bool enabled, bool pressed) {
  TColor saved = canvas.Brush().Color();
  TPenStyle savedPen = canvas.Pen().Style();
  TColor color;
  std::optional<TColor> themed;
  if (!enabled)
    color = clBtnShadow;
  else if (style == 1 && (themed = ThemedArrowColor()))
    color = ColorsLookAlike(*themed, clWindow) ? cl3DDkShadow : *themed;
  else
    color = ColorsLookAlike(saved, clBlack) ? cl3DDkShadow : clBlack;

  int shift = pressed ? 1 : 0;
  canvas.Pen().SetStyle(psClear);
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(color);
  if (style == 1) {
    int x = rect.Left + (rect.Width() - 9) / 2 + shift;
    int y = rect.Top + (rect.Height() - 7) / 2 + 2 + shift;
    const TPoint chevron[] = {{x, y}, {x + 4, y + 4}, {x + 8, y}, {x + 8, y + 2}, {x + 4, y + 6}, {x, y + 2}};
    canvas.Polygon(chevron);
  } else {
    int x = rect.Left + (rect.Width() - 7) / 2 + shift;
    int y = rect.Top + (rect.Height() - 3) / 2 + shift;
    for (int i = 0; i < 3; ++i) canvas.FillRect(Rect(x + i, y + i, x + 7 - i, y + i + 1));
  }
  canvas.Brush().SetColor(saved);
  canvas.Pen().SetStyle(savedPen);
}

// --- fonts --------------------------------------------------------------------------------

kit::Gdi<HFONT> FontAtTenths(TFont& font, int tenths) {
  LOGFONTA lf = font.ToLogFont();
  lf.lfWidth = 0;
  lf.lfEscapement = tenths;
  lf.lfOrientation = 0;
  return kit::Gdi<HFONT>(CreateFontIndirectA(&lf));
}

kit::Gdi<HFONT> CreateRotatedFont(TFont& font, int angle) { return FontAtTenths(font, angle * 10); }

namespace {

TEXTMETRICA MetricsOf(TFont& font) {
  TEXTMETRICA tm{};
  kit::WindowDC screen(nullptr);
  kit::Selection selected(screen.Get(), font.Handle());
  GetTextMetricsA(screen.Get(), &tm);
  return tm;
}

}  // namespace

namespace {
std::function<bool(const std::string&)> trueTypeProbe;
}  // namespace

void ForceFontIsTrueType(std::function<bool(const std::string& faceName)> probe) { trueTypeProbe = std::move(probe); }

bool FontIsTrueType(TFont& font) {
  if (trueTypeProbe) return trueTypeProbe(font.Name());
  return (MetricsOf(font).tmPitchAndFamily & TMPF_TRUETYPE) != 0;
}

int FontRowHeight(TFont& font) { return MetricsOf(font).tmHeight + 2; }

}  // namespace ck
