// The panel, the shape and the timer.
#include "gui/ExtCtrls.h"

#include <algorithm>

#include "ControlsInternal.h"

namespace gui {

namespace {

const TEnumInfo kBevelCutInfo{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
const TEnumInfo kShapeTypeInfo{"TShapeType",
                               {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle"}};

class SystemTimers : public TTimerService {
 public:
  bool Start(HWND window, UINT_PTR id, UINT interval) override {
    return SetTimer(window, id, interval, nullptr) != 0;
  }
  void Stop(HWND window, UINT_PTR id) override { KillTimer(window, id); }
};

TTimerService*& CurrentService() {
  static TTimerService* service = nullptr;
  return service;
}

TTimerService& Timers() {
  static SystemTimers system;
  TTimerService* service = CurrentService();
  return service ? *service : system;
}

}  // namespace

void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width) {
  rect.Bottom -= 1;
  rect.Right -= 1;
  for (; width > 0; --width) {
    canvas.Pen().SetColor(topLeft);
    TPoint first[] = {{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}};
    canvas.Polyline(first);
    canvas.Pen().SetColor(bottomRight);
    TPoint second[] = {{rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}};
    canvas.Polyline(second);
    rect.Left += 1;
    rect.Top += 1;
    rect.Right -= 1;
    rect.Bottom -= 1;
  }
  rect.Bottom += 1;
  rect.Right += 1;
}

// --- TCustomPanel ---------------------------------------------------------------------

GUI_DEFINE_CLASS(TCustomPanel) {
  c.Protected();
  c.Enumeration("Alignment", AlignmentInfo(), &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, taCenter);
  c.Enumeration("BevelInner", kBevelCutInfo, &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, bvNone);
  c.Enumeration("BevelOuter", kBevelCutInfo, &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, bvRaised);
  c.Integer("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1);
  c.Integer("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth, 0);
  c.Enumeration("BorderStyle", BorderStyleInfo(), &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle, bsNone);
}

GUI_DEFINE_CLASS(TPanel) {
  PublishWindowed(c);
  for (const char* name : {"Alignment", "BevelInner", "BevelOuter", "BevelWidth", "BorderWidth", "BorderStyle",
                           "Caption", "DoubleBuffered", "OnResize"})
    c.Publish(name);
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks};
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& p) {
  inherited::CreateParams(p);
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  if (value == bevelInner_) return;
  bevelInner_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  if (value == bevelOuter_) return;
  bevelOuter_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int value) {
  if (value == bevelWidth_ || value < 1) return;
  bevelWidth_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int value) {
  if (value == borderWidth_ || value < 0) return;
  borderWidth_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
    Frame3D(*canvas, r, top, bottom, bevelWidth_);
  };
  bevel(bevelOuter_);
  Frame3D(*canvas, r, Color(), Color(), borderWidth_);
  bevel(bevelInner_);
  canvas->Brush().SetStyle(bsSolid);
  canvas->Brush().SetColor(Color());
  canvas->FillRect(r);
  std::string caption = Caption();
  if (caption.empty()) return;
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  canvas->Brush().SetStyle(bsClear);
  canvas->DrawText(caption, r, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | kAlign[alignment_]);
  canvas->Brush().SetStyle(bsSolid);
}

void TCustomPanel::WndProc(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED) {
    Invalidate();
    return;
  }
  inherited::WndProc(m);
}

// --- TShape -------------------------------------------------------------------------

GUI_DEFINE_CLASS(TShape) {
  c.Object("Brush", &TShape::Brush, &TShape::SetBrush);
  c.Object("Pen", &TShape::Pen, &TShape::SetPen);
  c.Enumeration("Shape", kShapeTypeInfo, &TShape::Shape, &TShape::SetShape, stRectangle);
  PublishCommon(c);
}

TShape::TShape(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 65);
  brush_.OnChange = [this](TObject*) { Invalidate(); };
  pen_.OnChange = [this](TObject*) { Invalidate(); };
}

void TShape::SetShape(TShapeType value) {
  if (value == shape_) return;
  shape_ = value;
  Invalidate();
}

void TShape::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Pen().Assign(&pen_);
  canvas->Brush().Assign(&brush_);
  int penWidth = pen_.Width();
  int x = penWidth / 2, y = x;
  int w = Width() - penWidth + 1, h = Height() - penWidth + 1;
  if (penWidth == 0) {
    --w;
    --h;
  }
  int s = std::min(w, h);
  if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
    x += (w - s) / 2;
    y += (h - s) / 2;
    w = h = s;
  }
  TRect r = Bounds(x, y, w, h);
  switch (shape_) {
    case stRectangle:
    case stSquare: canvas->Rectangle(r); break;
    case stRoundRect:
    case stRoundSquare: canvas->RoundRect(r, s / 4, s / 4); break;
    case stEllipse:
    case stCircle: canvas->Ellipse(r); break;
  }
}

// --- TTimer -------------------------------------------------------------------------

GUI_DEFINE_CLASS(TTimer) {
  c.Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true);
  c.Integer("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000);
  c.Event("OnTimer", &TTimer::OnTimer);
}

void TTimer::SetService(TTimerService* service) { CurrentService() = service; }

// The window comes with the first start: most timers (a control's repeat,
// a form's timer disabled in its resource) never run, and each window costs.
// A timer the form reader makes starts once the form is read (Loaded).
TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  if (!owner || !owner->ComponentState().Contains(csLoading)) UpdateTimer();
}

TTimer::~TTimer() {
  enabled_ = false;
  UpdateTimer();
  DeallocateHWnd(window_);
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(UINT value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

void TTimer::Loaded() {
  inherited::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (running_) {
    Timers().Stop(window_, 1);
    running_ = false;
  }
  if (!enabled_ || interval_ == 0 || ComponentState().Contains(csLoading)) return;
  if (!window_) window_ = AllocateHWnd(this, &TTimer::WndProc);
  if (!Timers().Start(window_, 1, interval_)) throw EOutOfResources("Not enough timers available");
  running_ = true;
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}

void TTimer::WndProc(TMessage& m) {
  if (m.Msg == WM_TIMER) {
    if (running_) Timer();
    return;
  }
  m.Result = DefWindowProcA(window_, m.Msg, m.WParam, m.LParam);
}

}  // namespace gui
