// Shared inside the control layer only.
#pragma once

#include <functional>
#include <memory>

#include "gui/Controls.h"

namespace gui {

const TEnumInfo& AlignmentInfo();
const TEnumInfo& BorderStyleInfo();
const TIdentMap& CursorIdents();

// The properties every standard control class shows to forms; windowed
// ones add focus and keys.
template <class C>
void PublishCommon(C& c) {
  for (const char* name :
       {"Align", "Anchors", "Color", "ParentColor", "Font", "ParentFont", "Enabled", "Visible", "Hint", "ShowHint",
        "ParentShowHint", "PopupMenu", "OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp",
        "OnMouseEnter", "OnMouseLeave", "OnContextPopup"})
    c.Publish(name);
}

template <class C>
void PublishWindowed(C& c) {
  PublishCommon(c);
  for (const char* name : {"TabStop", "TabOrder", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp",
                           "OnMouseWheel", "OnMouseWheelDown", "OnMouseWheelUp"})
    c.Publish(name);
}

namespace detail {

// Set only in test builds (automation::OfferChannel); TApplication::Initialize
// calls it. The shipped program has no channel to start.
extern void (*testChannelStarter)();

// Sets or clears csPaintingSelf (WParam 1 / 0).
constexpr UINT CM_SETPAINTING = CM_BASE + 200;

// Invalidates part of a window's client area (nothing without a window).
void InvalidateIn(TWinControl* window, const TRect& rect, bool erase = true);
void ForgetCaptureOf(TControl* control);

std::unique_ptr<TControlCanvas> MakeCanvas(TControl& control);
void UpdateCanvasTools(TControl& control, TControlCanvas* canvas, UINT msg);
void PaintOnCanvas(TControl& control, TControlCanvas& canvas, HDC dc, const std::function<void()>& paint);

// The common-control window classes, registered once.
void InitCommonControlsOnce();

// Runs f inside the application's exception barrier.
void Guarded(TObject* sender, const std::function<void()>& f);

}  // namespace detail

}  // namespace gui
