// TCkTrackBar: an owner-drawn slider. A framed track, optional tick marks
// and a thumb drawn from bitmaps (built-in shapes in the system colours,
// visual-style shapes or a custom bitmap), with hot tracking, dragging,
// paging while the button is held, keyboard control and a veto before every
// change of the position.
#pragma once

#include <functional>
#include <memory>

#include "CkCommon.h"
#include "gui/Bitmap.h"
#include "gui/Controls.h"

namespace gui {
class TTimer;
}

namespace ck {

enum TThumbStyle { tsBox, tsCustom, tsMixer, tsPointer, tsFlat, tsXPPointer, tsXPBox };
enum TPointerType { ptStandard, ptWin95 };
enum TTickStyle { tkStandard, tkOwnerDraw };

extern const TEnumInfo ThumbStyleInfo;
extern const TEnumInfo PointerTypeInfo;
extern const TEnumInfo TickStyleInfo;

class TCkTrackBar;

using TPositionChangingEvent = std::function<void(TObject* Sender, int NewPos, bool& AllowChange)>;
using TDrawTickEvent = std::function<void(TCkTrackBar* TrackBar, TCanvas* Canvas, TPoint Location, int Index)>;

class TCkTrackBar : public TCustomControl {
  GUI_CLASS(TCkTrackBar, TCustomControl)

 public:
  // The fixed margin between the control's edge and the thumb's travel.
  static constexpr int kBorderWidth = 4;

  explicit TCkTrackBar(TComponent* owner);
  ~TCkTrackBar() override;

  TBitmap* CustomThumb() const { return customThumb_.get(); }
  virtual void SetCustomThumb(TBitmap* value);
  TColor HighlightColor() const { return highlightColor_; }
  virtual void SetHighlightColor(TColor value);
  TColor HotTrackColor() const { return hotTrackColor_; }
  virtual void SetHotTrackColor(TColor value);
  TCkHotTrackColorType HotTrackColorType() const { return hotTrackColorType_; }
  virtual void SetHotTrackColorType(TCkHotTrackColorType value);
  int Max() const { return max_; }
  virtual void SetMax(int value);
  int Min() const { return min_; }
  virtual void SetMin(int value);
  TOrientation Orientation() const { return orientation_; }
  virtual void SetOrientation(TOrientation value);
  std::uint16_t PageSize() const { return pageSize_; }
  void SetPageSize(std::uint16_t value) { pageSize_ = value; }
  TPointerType PointerType() const { return pointerType_; }
  virtual void SetPointerType(TPointerType value);
  int Position() const { return position_; }
  virtual void SetPosition(int value);
  bool ShowFocusRect() const { return showFocusRect_; }
  void SetShowFocusRect(bool value) { showFocusRect_ = value; }
  bool ShowTicks() const { return showTicks_; }
  virtual void SetShowTicks(bool value);
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }
  TThumbStyle ThumbStyle() const { return thumbStyle_; }
  virtual void SetThumbStyle(TThumbStyle value);
  TColor TickColor() const { return tickColor_; }
  virtual void SetTickColor(TColor value);
  int TickStep() const { return tickStep_; }
  // Values below 1 become 1.
  virtual void SetTickStep(int value);
  TTickStyle TickStyle() const { return tickStyle_; }
  virtual void SetTickStyle(TTickStyle value);
  TColor TrackColor() const { return trackColor_; }
  virtual void SetTrackColor(TColor value);
  std::uint16_t TrackOffset() const { return trackOffset_; }
  virtual void SetTrackOffset(std::uint16_t value);
  TFrameStyle TrackFrame() const { return trackFrame_; }
  virtual void SetTrackFrame(TFrameStyle value);
  TColor TrackFrameColor() const { return trackFrameColor_; }
  virtual void SetTrackFrameColor(TColor value);
  std::uint16_t TrackWidth() const { return trackWidth_; }
  // Values below 4 become 4.
  virtual void SetTrackWidth(std::uint16_t value);
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  bool ThemeAware() const { return themeAware_; }
  virtual void SetThemeAware(bool value);

  // The shape drawn: ThumbStyle, or its visual-style form where styles are on.
  TThumbStyle EffectiveThumbStyle() const;
  int ThumbWidth() const { return thumbWidth_; }
  int ThumbHeight() const { return thumbHeight_; }
  TRect TrackRect();
  // Where the thumb of the current position sits.
  TRect ThumbRect();
  bool Hot() const { return hot_; }
  bool Sliding() const { return sliding_; }
  bool Paging() const { return paging_; }

  TNotifyEvent OnChange;
  TPositionChangingEvent OnChanging;
  TDrawTickEvent OnDrawTick;

  void WndProc(TMessage& Message) override;

 protected:
  virtual void DrawTrack(TCanvas& canvas);
  virtual void DrawTicks(TCanvas& canvas);
  virtual void DrawThumb(TCanvas& canvas);
  // Asked before every change the user makes.
  virtual bool AllowPositionChange(int newPosition) { return true; }
  virtual void DoChange();
  virtual void DoChanging(int newPosition, bool& allowChange);
  virtual void DoDrawTick(TCanvas& canvas, TPoint location, int index);

  void Paint() override;
  void Loaded() override;
  void Resize() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  void LoadThumbBitmaps();
  // Invalidates with the background cache marked stale.
  void FlagAndInvalidate();
  void Restyle();  // new thumbs, then FlagAndInvalidate
  void RebuildCache();
  // The change a user asked for: AllowPositionChange, then SetPosition.
  void UserMove(int position);
  // Where the thumb's left (top) edge would be at the position, along the travel.
  int Span();
  void PageAt(TPoint point);
  void StopPaging();
  void RepeatTimer(TObject*);
  gui::TTimer& PagingTimer();
  void SetHot(bool value);
  // Redraws the thumb on the window at once (when the cache is current).
  void RedrawThumb();
  bool PointerShape(bool& win95) const;

  std::unique_ptr<TBitmap> customThumb_;
  TColor highlightColor_ = clHighlight;
  TColor hotTrackColor_ = 0x149BF0;
  TCkHotTrackColorType hotTrackColorType_ = htctActual;
  int max_ = 10;
  int min_ = 0;
  TOrientation orientation_ = orHorizontal;
  std::uint16_t pageSize_ = 1;
  TPointerType pointerType_ = ptStandard;
  int position_ = 0;
  bool showFocusRect_ = true;
  bool showTicks_ = true;
  bool tabOnEnter_ = false;
  TThumbStyle thumbStyle_ = tsPointer;
  TColor tickColor_ = clBtnShadow;
  int tickStep_ = 1;
  TTickStyle tickStyle_ = tkStandard;
  TColor trackColor_ = cl3DLight;
  std::uint16_t trackOffset_ = 20;
  TFrameStyle trackFrame_ = fsStatus;
  TColor trackFrameColor_ = clBtnShadow;
  std::uint16_t trackWidth_ = 8;
  bool transparent_ = false;
  bool themeAware_ = true;

  // Bars of one look share their thumbs (only ever drawn from).
  std::shared_ptr<TBitmap> thumb_, hotThumb_, disabledThumb_, thumbMask_;
  std::unique_ptr<TBitmap> cache_;
  bool cacheStale_ = true;
  int thumbWidth_ = 0, thumbHeight_ = 0, halfWidth_ = 0;
  TRect thumbRect_;
  bool sliding_ = false;
  bool paging_ = false;
  bool pagingFixed_ = false;
  bool pagingUp_ = false;
  TPoint centreOffset_;
  TPoint pagePoint_;
  bool hot_ = false;
  std::unique_ptr<gui::TTimer> repeatTimer_;  // see PagingTimer
  bool restylePending_ = false;               // a look set while the form is read
  HCURSOR horizontalCursor_ = nullptr;
  HCURSOR verticalCursor_ = nullptr;
};

}  // namespace ck
