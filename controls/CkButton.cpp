#include "CkButton.h"

#include "gui/Themes.h"

namespace ck {

GUI_DEFINE_CLASS(TCkCustomButton) {
  // Published by the descendants.
  c.Protected();
  c.Enumeration("AlignmentVertical", AlignmentVerticalInfo, &TCkCustomButton::AlignmentVertical,
                &TCkCustomButton::SetAlignmentVertical, avCenter);
  c.Color("HotTrackColor", &TCkCustomButton::HotTrackColor, &TCkCustomButton::SetHotTrackColor, 0x149BF0);
  c.Enumeration("HotTrackColorType", HotTrackColorTypeInfo, &TCkCustomButton::HotTrackColorType,
                &TCkCustomButton::SetHotTrackColorType, htctActual);
  c.Color("HighlightColor", &TCkCustomButton::HighlightColor, &TCkCustomButton::SetHighlightColor, clHighlight);
  c.Boolean("LightTextStyle", &TCkCustomButton::LightTextStyle, &TCkCustomButton::SetLightTextStyle, false);
  c.Enumeration("TextStyle", TextStyleInfo, &TCkCustomButton::TextStyle, &TCkCustomButton::SetTextStyle, tsNormal);
  c.Color("TextHighlightColor", &TCkCustomButton::TextHighlightColor, &TCkCustomButton::SetTextHighlightColor,
          clBtnHighlight);
  c.Color("TextShadowColor", &TCkCustomButton::TextShadowColor, &TCkCustomButton::SetTextShadowColor, clBtnShadow);
  c.Integer("TextShadowDepth", &TCkCustomButton::TextShadowDepth, &TCkCustomButton::SetTextShadowDepth, 2);
  c.Boolean("HotTrack", &TCkCustomButton::HotTrack, &TCkCustomButton::SetHotTrack, false);
  c.Boolean("Transparent", &TCkCustomButton::Transparent, &TCkCustomButton::SetTransparent, false);
}

TCkCustomButton::TCkCustomButton(TComponent* owner) : TCustomControl(owner) {
  // No csClickEvents: the press action decides what a click is.
  controlStyle_ = {csCaptureMouse, csSetCaption};
  SetBounds(Left(), Top(), 115, 17);
  SetTabStop(true);
}

bool TCkCustomButton::UsingThemes() const { return themeAware_ && ThemeServices().ThemesEnabled(); }

void TCkCustomButton::SetAlignmentVertical(TAlignmentVertical value) { Change(alignmentVertical_, value); }
void TCkCustomButton::SetHotTrackColor(TColor value) { Change(hotTrackColor_, value); }
void TCkCustomButton::SetHotTrackColorType(TCkHotTrackColorType value) { Change(hotTrackColorType_, value); }
void TCkCustomButton::SetHighlightColor(TColor value) { Change(highlightColor_, value); }
void TCkCustomButton::SetLightTextStyle(bool value) { Change(lightTextStyle_, value); }
void TCkCustomButton::SetTextStyle(TTextStyle value) { Change(textStyle_, value); }
void TCkCustomButton::SetTextHighlightColor(TColor value) { Change(textHighlightColor_, value); }
void TCkCustomButton::SetTextShadowColor(TColor value) { Change(textShadowColor_, value); }
void TCkCustomButton::SetTextShadowDepth(int value) { Change(textShadowDepth_, value); }
void TCkCustomButton::SetHotTrack(bool value) { Change(hotTrack_, value); }
void TCkCustomButton::SetTransparent(bool value) { Change(transparent_, value); }
void TCkCustomButton::SetThemeAware(bool value) { Change(themeAware_, value); }

void TCkCustomButton::DrawCaption(TCanvas& canvas, const TRect& rect, UINT flags) {
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().Assign(Font());
  std::string caption = Caption();

  TRect measured = rect;
  canvas.DrawText(caption, measured, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_EXPANDTABS | DT_CALCRECT);
  int height = measured.Height();
  TRect placed = rect;
  switch (alignmentVertical_) {
    case avTop: placed.Top = rect.Top; break;
    case avCenter: placed.Top = rect.Top + (rect.Height() - height) / 2; break;
    case avBottom: placed.Top = rect.Bottom - 1 - height; break;
  }
  placed.Bottom = placed.Top + height;

  auto layer = [&](int dx, int dy, TColor color) {
    TRect r{placed.Left + dx, placed.Top + dy, placed.Right + dx, placed.Bottom + dy};
    canvas.Font().SetColor(color);
    canvas.DrawText(caption, r, flags);
  };
  if (!Enabled()) {
    layer(0, 0, clGrayText);
  } else {
    const bool rightAligned = (flags & DT_RIGHT) != 0;
    int shift = 0;
    switch (textStyle_) {
      case tsRaised:
        if (!lightTextStyle_) layer(1, 1, textShadowColor_);
        layer(-1, -1, textHighlightColor_);
        break;
      case tsRecessed:
        layer(1, 1, textHighlightColor_);
        if (!lightTextStyle_) layer(-1, -1, textShadowColor_);
        break;
      case tsShadow:
        layer(rightAligned ? 0 : textShadowDepth_, textShadowDepth_, textShadowColor_);
        if (rightAligned) shift = -textShadowDepth_;
        break;
      default:
        break;
    }
    layer(shift, 0, Font()->Color());
  }
  canvas.Brush().SetStyle(bsSolid);
}

void TCkCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && Enabled()) {
    if (!Focused()) SetFocus();
    if (Focused()) {
      showPressed_ = true;
      ShowPressedLook(true);
      dragging_ = true;
    }
  }
  inherited::MouseDown(button, shift, x, y);
}

void TCkCustomButton::MouseMove(TShiftState shift, int x, int y) {
  if (dragging_) {
    TRect client = ClientRect();
    bool inside = x >= 0 && x <= client.Width() - 1 && y >= 0 && y <= client.Height() - 1;
    if (inside != showPressed_) {
      showPressed_ = inside;
      ShowPressedLook(inside);
    }
  }
  inherited::MouseMove(shift, x, y);
}

void TCkCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (dragging_ && button == mbLeft) {
    dragging_ = false;
    bool wasPressed = showPressed_;
    showPressed_ = false;
    if (wasPressed) ShowPressedLook(false);
    TRect client = ClientRect();
    if (x >= 0 && x < client.Width() && y >= 0 && y < client.Height()) PressAction();
  }
  inherited::MouseUp(button, shift, x, y);
}

void TCkCustomButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (transparent_) {
        DrawTransparentBackground(reinterpret_cast<HDC>(m.WParam));
        m.Result = 1;
        return;
      }
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      bool enter = m.Msg == CM_MOUSEENTER;
      if (!enter || !ComponentState().Contains(csDesigning)) {
        mouseOver_ = enter;
        if ((hotTrack_ || UsingThemes()) && HandleAllocated()) {
          TRect r = HotTrackRect();
          RECT rc{r.Left, r.Top, r.Right, r.Bottom};
          InvalidateRect(Handle(), &rc, FALSE);
        }
      }
      break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      inherited::WndProc(m);
      RepaintFocus();
      return;
    case CM_TEXTCHANGED:
      Invalidate();
      break;
    case WM_CANCELMODE:
      // The capture is gone: no release will come.
      dragging_ = false;
      if (showPressed_) {
        showPressed_ = false;
        ShowPressedLook(false);
      }
      break;
  }
  inherited::WndProc(m);
}

}  // namespace ck
