// Drawing tools and the canvas: TFont, TBrush, TPen and TCanvas. A canvas
// draws on any device context; one adopted with SetHandle stays the
// caller's (never deleted), and the canvas puts the context's own font, brush
// and pen back when it lets go of it.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "gui/Color.h"
#include "gui/Component.h"
#include "gui/Events.h"
#include "kit/Own.h"

namespace gui {

class TCanvas;
class TGraphic;
class TBitmap;

// Base of the fonts, brushes and pens: a GDI handle made on demand and made
// anew after each change, which OnChange reports.
class TGraphicsObject : public TPersistent {
  GUI_CLASS(TGraphicsObject, TPersistent)

 public:
  ~TGraphicsObject() override;
  bool HandleAllocated() const { return static_cast<bool>(handle_); }
  TNotifyEvent OnChange;

 protected:
  HGDIOBJ GetHandle();
  // Adopts a handle made elsewhere; the object deletes it later.
  void AdoptHandle(HGDIOBJ handle);
  virtual HGDIOBJ CreateHandle() = 0;
  // Drops the handle (after letting a canvas deselect it) and fires OnChange.
  void Changed();
  // Stores a new value of an attribute; a real change is a Changed().
  template <class V>
  void Update(V& field, const V& value) {
    if (field == value) return;
    field = value;
    Changed();
  }
  void FreeHandle();

 private:
  friend class TCanvas;
  kit::Gdi<HGDIOBJ> handle_;
  TCanvas* selectedIn_ = nullptr;  // the canvas that has it selected now
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = Set<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TGraphicsObject {
  GUI_CLASS(TFont, TGraphicsObject)

 public:
  TFont() = default;
  void Assign(TPersistent* source) override;

  HFONT Handle() { return static_cast<HFONT>(GetHandle()); }
  // Takes over a font handle (deleted with this object) and its attributes.
  void SetHandle(HFONT font);

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Like LOGFONT's lfHeight: negative is the character height in pixels,
  // positive the cell height.
  int Height() const { return height_; }
  void SetHeight(int height);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  std::uint8_t Charset() const { return charset_; }
  void SetCharset(std::uint8_t charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);

  // The font as a LOGFONT description and back (colour is not part of it).
  LOGFONTA ToLogFont() const;
  void AssignLogFont(const LOGFONTA& font);

 protected:
  HGDIOBJ CreateHandle() override;

 private:
  std::string name_ = "Tahoma";
  int height_ = -11;
  TFontStyles style_;
  TColor color_ = clWindowText;
  std::uint8_t charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
  GUI_CLASS(TBrush, TGraphicsObject)

 public:
  void Assign(TPersistent* source) override;
  HBRUSH Handle() { return static_cast<HBRUSH>(GetHandle()); }
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);

 protected:
  HGDIOBJ CreateHandle() override;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TGraphicsObject {
  GUI_CLASS(TPen, TGraphicsObject)

 public:
  void Assign(TPersistent* source) override;
  HPEN Handle() { return static_cast<HPEN>(GetHandle()); }
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);

 protected:
  HGDIOBJ CreateHandle() override;

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
};

// A snapshot of a canvas's clip region (none, or a copy of it).
class TSavedClip {
 public:
  TSavedClip() = default;
  TSavedClip(TSavedClip&& other) noexcept;
  TSavedClip& operator=(TSavedClip&& other) noexcept;

 private:
  friend class TCanvas;
  kit::Gdi<HRGN> region_;
  bool valid_ = false;
};

class TCanvas : public TPersistent {
  GUI_CLASS(TCanvas, TPersistent)

 public:
  TCanvas();
  ~TCanvas() override;

  // The device context; subclasses make one on demand (CreateHandle).
  // EInvalidGraphicOperation when there is none.
  HDC Handle();
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont& Font() { return font_; }
  TBrush& Brush() { return brush_; }
  TPen& Pen() { return pen_; }
  void SetFont(TFont* font) { font_.Assign(font); }
  void SetBrush(TBrush* brush) { brush_.Assign(brush); }
  void SetPen(TPen* pen) { pen_.Assign(pen); }

  // Raster operation of CopyRect and Draw of plain bitmaps (SRCCOPY).
  DWORD CopyMode() const { return copyMode_; }
  void SetCopyMode(DWORD mode) { copyMode_ = mode; }

  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  void DrawFocusRect(const TRect& rect);
  void Rectangle(const TRect& rect);
  void Ellipse(const TRect& rect);
  void RoundRect(const TRect& rect, int cornerWidth, int cornerHeight);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  TPoint PenPos();
  void Polyline(std::span<const TPoint> points);
  void Polygon(std::span<const TPoint> points);
  // CLR_INVALID for a pixel outside the clip region or the surface.
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // Text in the system code page, in the font's colour; with a solid brush
  // the background is filled with the brush colour, with bsClear it is left.
  void TextOut(int x, int y, const std::string& text);
  void TextRect(const TRect& rect, int x, int y, const std::string& text);
  // The platform's DrawText with DT_* flags; rect may be changed by
  // DT_CALCRECT. Returns the text height.
  int DrawText(const std::string& text, TRect& rect, UINT format);
  TSize TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }

  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
  // Copies part of a bitmap with every pixel of `color` replaced by the brush.
  void BrushCopy(const TRect& dest, TBitmap* source, const TRect& sourceRect, TColor color);

  TRect ClipRect();
  void IntersectClipRect(const TRect& rect);
  void ExcludeClipRect(const TRect& rect);
  TSavedClip SaveClip();
  void RestoreClip(TSavedClip& saved);

  // Fired after every drawing operation (bitmaps pass it on as their own).
  TNotifyEvent OnChange;

 protected:
  virtual void CreateHandle() {}
  void Changed();

 private:
  friend class TGraphicsObject;
  void Select(TGraphicsObject& object, HGDIOBJ& original);
  void Deselect(TGraphicsObject& object);
  void SelectFont();
  void SelectBrush();
  void SelectPen();
  void ReleaseObjects();

  HDC dc_ = nullptr;
  TFont font_;
  TBrush brush_;
  TPen pen_;
  HGDIOBJ oldFont_ = nullptr, oldBrush_ = nullptr, oldPen_ = nullptr;
  DWORD copyMode_ = SRCCOPY;
};

// Draws the source part scaled into dest on dc, leaving out every pixel of
// `transparent` (an RGB value). With a fill brush, those pixels take the
// brush instead of what dc showed.
void MaskedBlt(HDC dc, const TRect& dest, HDC source, const TRect& sourceRect, COLORREF transparent,
               HBRUSH fill = nullptr);

}  // namespace gui
