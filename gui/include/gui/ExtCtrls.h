// The panel, the shape and the window timer.
#pragma once

#include <windows.h>

#include <memory>

#include "gui/Canvas.h"
#include "gui/Controls.h"

namespace gui {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A container that paints bevels, its colour and a caption.
class TCustomPanel : public TCustomControl {
  GUI_CLASS(TCustomPanel, TCustomControl)

 public:
  explicit TCustomPanel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);

  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  TAlignment alignment_ = taCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
};

class TPanel : public TCustomPanel {
  GUI_CLASS(TPanel, TCustomPanel)

 public:
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

// Draws the rectangle's edges `width` times: top and left in topLeft,
// bottom and right in bottomRight; rect shrinks by what was drawn.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width);

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
  GUI_CLASS(TShape, TGraphicControl)

 public:
  explicit TShape(TComponent* owner);
  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType value);
  TBrush* Brush() { return &brush_; }
  void SetBrush(TBrush* value) { brush_.Assign(value); }
  TPen* Pen() { return &pen_; }
  void SetPen(TPen* value) { pen_.Assign(value); }

 protected:
  void Paint() override;

 private:
  TShapeType shape_ = stRectangle;
  TBrush brush_;
  TPen pen_;
};

// Where timers come from: the system's window timers, or a test's fake.
class TTimerService {
 public:
  virtual ~TTimerService() = default;
  virtual bool Start(HWND window, UINT_PTR id, UINT interval) = 0;
  virtual void Stop(HWND window, UINT_PTR id) = 0;
};

// A window timer: OnTimer every Interval ms while Enabled. A new interval
// starts the period again.
class TTimer : public TComponent {
  GUI_CLASS(TTimer, TComponent)

 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  UINT Interval() const { return interval_; }
  void SetInterval(UINT value);

  TNotifyEvent OnTimer;

  // Null restores the system's timers.
  static void SetService(TTimerService* service);

 protected:
  virtual void Timer();
  void Loaded() override;

 private:
  void UpdateTimer();
  void WndProc(TMessage& Message);
  HWND window_ = nullptr;
  bool enabled_ = true;
  UINT interval_ = 1000;
  bool running_ = false;
};

}  // namespace gui
