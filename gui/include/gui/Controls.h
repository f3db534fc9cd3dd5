// Controls: TControl (bounds, parenting, visibility, colours and fonts that
// follow the parent, hints, popup menu, mouse and click handling, the
// layer's notifications), TWinControl (a control with a window: creation
// parameters, own window classes, native controls it wraps, reflected
// notifications, keyboard and focus routing, windowless children it paints
// and routes the mouse to, window hooks), TGraphicControl (windowless,
// painted by its parent) and TCustomControl (a window with a canvas and
// Paint), and TControlCanvas.
//
// Windows are ANSI windows: their text and the characters they receive are
// 8-bit text in the system code page, as everywhere in the program.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/Canvas.h"
#include "gui/Color.h"
#include "gui/Component.h"
#include "gui/Events.h"
#include "gui/Messages.h"
#include "kit/Own.h"

namespace gui {

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = Set<TAnchorKind>;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
using TLeftRight = TAlignment;
enum TTextLayout { tlTop, tlCenter, tlBottom };
// Forms take all six; other controls only bsNone and bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

enum TControlStyleFlag {
  csAcceptsControls,  // may hold child controls
  csCaptureMouse,     // captures the mouse while the left button is down
  csClickEvents,      // a press and release inside is a Click
  csSetCaption,       // the caption follows the name until set
  csOpaque,           // paints its whole area (no background erase under it)
  csDoubleClicks      // double clicks reach DblClick (else they are presses)
};
using TControlStyle = Set<TControlStyleFlag>;

enum TControlStateFlag { csLButtonDown, csClicked, csFocusing, csCreating, csPaintingSelf, csAligning };
using TControlState = Set<TControlStateFlag>;

// Named cursors (TScreen::Cursors maps them to system cursors).
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// Hooks in front of a window procedure: each sees a message before the
// window's owner, the latest added first, and returns true when it has
// handled the message (its Result is the answer). Hooks go by id, in any
// order, also from inside a hook.
class TWindowHooks {
 public:
  using THook = std::function<bool(TMessage& Message)>;
  int Add(THook hook);
  void Remove(int id);
  bool Run(TMessage& Message);

 private:
  struct Entry {
    int id;
    THook fn;
  };
  std::vector<Entry> entries_;
  int next_ = 1;
};

using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
// MousePos in client coordinates, or (-1, -1) for the keyboard's context key.
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// What CreateParams fills in before a window is made.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  UINT WindowClassStyle = CS_DBLCLKS;  // own classes only
  HCURSOR Cursor = nullptr;            // own classes only (the arrow when null)
  std::string WinClassName;            // own class name, or the native class wrapped
  bool Native = false;                 // WinClassName is a system class (see CreateSubClass)
};

class TControl : public TComponent {
  GUI_CLASS(TControl, TComponent)

 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  void SetParentComponent(TComponent* parent) override;
  void SetName(const std::string& name) override;

  // Bounds in the parent's client coordinates (forms: screen coordinates of
  // the whole window). A setter calls the system only on a real change; a
  // window's bounds are taken back from WM_WINDOWPOSCHANGED.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Width(); }
  int ClientHeight() { return ClientRect().Height(); }
  void SetClientWidth(int value) { SetClientSize(value, ClientHeight()); }
  void SetClientHeight(int value) { SetClientSize(ClientWidth(), value); }
  virtual void SetClientSize(int width, int height);
  // The screen position of the client area's top left corner.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint p) { TPoint o = ClientOrigin(); return {p.X + o.X, p.Y + o.Y}; }
  TPoint ScreenToClient(TPoint p) { TPoint o = ClientOrigin(); return {p.X - o.X, p.Y - o.Y}; }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors value);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so are all its parents (a form: its window is shown).
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);

  // The control's text: Caption for labels, buttons and forms, Text for
  // edits. Setting it sends CM_TEXTCHANGED after a real change.
  std::string Caption() { return GetText(); }
  void SetCaption(const std::string& value) { SetText(value); }
  std::string Text() { return GetText(); }
  void SetText(const std::string& value);

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TFont* Font() { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  // A hint may hold several lines (CR LF).
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value);

  // Pops up on a right click (or the context key) when its AutoPopup is set.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  // Clicks run the action (without an OnClick); its caption, enabled state,
  // hint and visibility reach the control through the link.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* value);
  TControlActionLink* ActionLink() const { return actionLink_.get(); }

  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
  TControlState ControlState() const { return controlState_; }

  // Emulated for windowless controls: their parent window holds the real
  // capture and routes every mouse message to them.
  bool MouseCapture() const;
  void SetMouseCapture(bool value);

  // Runs a message through the control's window procedure (hooks first).
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The message dispatcher; subclasses handle what they want and pass the
  // rest on with inherited::WndProc.
  virtual void WndProc(TMessage& Message);
  // What a message gets when no class handles it: nothing for windowless
  // controls, the window's default procedure for windowed ones.
  virtual void DefaultHandler(TMessage& Message) {}

  virtual void Invalidate();
  virtual void Update();
  void Repaint() { Invalidate(); Update(); }
  void Refresh() { Repaint(); }
  virtual void BringToFront();
  virtual void SendToBack();

  virtual void Click();
  virtual void DblClick();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TContextPopupEvent OnContextPopup;
  TNotifyEvent OnResize;

 protected:
  virtual std::string GetText();
  // Stores the text (and gives it to the window); no notification.
  virtual void SetTextBuf(const std::string& value) { text_ = value; }
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  // Shows the context popup for a client point ((-1, -1) for the keyboard);
  // false when the control has none, so its parent may try.
  virtual bool DoContextPopup(TPoint MousePos);
  virtual TPopupMenu* GetPopupMenu() { return popupMenu_; }
  virtual void Resize();
  // The link a control of this class keeps to its action.
  virtual std::unique_ptr<TControlActionLink> CreateActionLink();
  // Takes the action's state; with checkDefaults (while loading) only where
  // the control still has its default.
  virtual void ActionChange(TBasicAction* sender, bool checkDefaults);
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  // Records the distances kept by Anchors from the parent's client size.
  void UpdateAnchorRules();
  // Asks the parent to lay out its aligned and anchored children again.
  void RequestAlign();
  // Moves the control without recording new anchor distances.
  void SetBoundsFromLayout(int left, int top, int width, int height);
  void SetControlState(TControlStateFlag flag, bool on);
  void SetBoundsFields(int left, int top, int width, int height);
  // The visible flag alone (forms and popups show their windows themselves).
  void StoreVisible(bool value) { visible_ = value; }
  // Hooks (windowed controls), then WndProc.
  virtual void MainWndProc(TMessage& Message) { WndProc(Message); }

  TControlStyle controlStyle_;
  TControlState controlState_;

 private:
  friend class TWinControl;
  friend class TCustomForm;
  struct TMouseMessage {
    TPoint Pos;
    TShiftState Shift;
  };
  TMouseMessage BeginMouseMessage(TMessage& Message);
  void ButtonDown(const TMessage& Message, TMouseButton Button, TMouseMessage Info);
  // Message handlers (see WndProc).
  void WMMouseMove(TMessage& Message);
  void WMLButtonDown(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMButtonDown(TMessage& Message, TMouseButton Button);
  void WMButtonUp(TMessage& Message, TMouseButton Button);
  void WMMouseWheel(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void CMParentShowHintChanged(TMessage& Message);
  void FontChanged(TObject*);

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  int anchorRight_ = 0, anchorBottom_ = 0;  // distances to the parent's right and bottom edges
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool takingParentFont_ = false;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TPopupMenu* popupMenu_ = nullptr;
  TCursor cursor_ = crDefault;
  std::unique_ptr<TControlActionLink> actionLink_;
};

class TWinControl : public TControl {
  GUI_CLASS(TWinControl, TControl)

 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window, made on demand (with its parent's first).
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  // Makes the window anew; the control keeps its state (text, items).
  void RecreateWnd();

  void SetParent(TWinControl* parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() override;
  void SetClientSize(int width, int height) override;
  TPoint ClientOrigin() override;
  bool Showing() const override;
  void SetVisible(bool value) override;
  void Invalidate() override;
  void Update() override;
  void BringToFront() override;
  void SendToBack() override;

  // Children, windowless and windowed, in z-order (the last is on top).
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<std::size_t>(index)); }
  bool ContainsControl(TControl* control) const;
  // The topmost visible windowless child at a client point (windowed ones
  // too with allowWinControls), enabled unless allowDisabled; or null.
  TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false) const;

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  int TabOrder() const;
  void SetTabOrder(int value);
  bool Focused() const;
  virtual bool CanFocus() const;
  virtual void SetFocus();
  // The windowed controls below this one that Tab visits, in tab order.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) const;
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  TBrush* Brush() { return &brush_; }
  // Paints into an off-screen bitmap and copies it to the window in one step.
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }

  // Sends msg to every child until one answers non-zero (in Result).
  void Broadcast(TMessage& Message);
  // Sends msg (0, 0) to every child.
  void NotifyControls(UINT msg);

  // Paints the window, its windowless children and its windowed children
  // into dc at (x, y), as they would appear on screen.
  void PaintTo(HDC dc, int x, int y);

  // Hooks on every message of the window (see TWindowHooks).
  using TWindowHook = TWindowHooks::THook;
  int AddWindowHook(TWindowHook hook) { return hooks_.Add(std::move(hook)); }
  void RemoveWindowHook(int id) { hooks_.Remove(id); }

  void WndProc(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  std::unique_ptr<TControlActionLink> CreateActionLink() override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

 protected:
  virtual void CreateParams(TCreateParams& Params);
  // Wraps a system window class: the window is made of that class and its
  // messages then run through the control first.
  void CreateSubClass(TCreateParams& Params, const char* nativeClass);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  void DestroyHandle();
  // Paints the control itself (windowless children follow).
  virtual void PaintWindow(HDC dc) {}
  void PaintHandler(HDC dc);
  // Paints the visible windowless children into dc (client coordinates).
  void PaintControls(HDC dc);
  virtual void AlignControls(TControl* control, TRect& rect);
  void Realign();
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  // The form's preview first, then the control; true when the key was taken.
  bool DoKeyDown(WORD& key, TShiftState shift);
  bool DoKeyUp(WORD& key, TShiftState shift);
  bool DoKeyPress(char& key);
  void SetTextBuf(const std::string& value) override;
  std::string GetText() override;
  // Removes the control and its children from the form's focus.
  void RemoveFocus(bool removing);
  // The control the mouse is over, of this window: the windowless child
  // under the client point, or the control itself.
  TControl* HitControl(TPoint pos);
  // Called once the window exists (CreateWnd is done) and before children.
  virtual void WindowCreated() {}
  bool IsDefWndProcNative() const { return defWndProc_ != nullptr; }

 public:
  // The child-window identifier the window was made with.
  UINT ControlId() const { return ctlId_; }

 private:
  friend class TControl;
  friend LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT CALLBACK InitWndProc(HWND, UINT, WPARAM, LPARAM);
  friend class TCustomForm;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void Attach(HWND window);
  void CreateChildHandles();
 protected:
  // Frees the owned components and then the child controls still left.
  void DestroyChildren();

 private:
  void PlaceInZOrder();
  void MainWndProc(TMessage& Message) override;
  void UpdateBounds();
  bool RouteMouse(TMessage& Message);
  // Message handlers (see WndProc).
  void WMPaint(TMessage& Message);
  void WMPrintClient(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message);
  void WMNCDestroy(TMessage& Message);
  void WMMouseButton(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void WMMouseLeave(TMessage& Message);
  void WMCaptureChanged(TMessage& Message);
  void WMCancelMode(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void WMReflected(TMessage& Message);
  void CNCtlColor(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKeyDown(TMessage& Message);
  void WMKeyUp(TMessage& Message);
  void WMChar(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  void CNKeyUp(TMessage& Message);
  void CNChar(TMessage& Message);
  void CNSysChar(TMessage& Message);
  void CMDialogKey(TMessage& Message);
  void CMFocusChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);

  HWND handle_ = nullptr;
  WNDPROC defWndProc_ = nullptr;  // the wrapped system class's procedure
  UINT ctlId_ = 0;
  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;
  bool tabStop_ = false;
  TBrush brush_;
  bool doubleBuffered_ = false;
  bool trackingMouse_ = false;
  TWindowHooks hooks_;
  bool beginningPaint_ = false;  // BeginPaint's own erase is due
  friend class TControlCanvas;
};

class TControlCanvas;

// A windowless control, painted by its parent into the parent's window.
class TGraphicControl : public TControl {
  GUI_CLASS(TGraphicControl, TControl)

 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas();
  void WndProc(TMessage& Message) override;

 protected:
  virtual void Paint() {}

 private:
  void WMPaint(TMessage& Message);
  std::unique_ptr<TControlCanvas> canvas_;
};

// A window with a canvas that Paint draws on.
class TCustomControl : public TWinControl {
  GUI_CLASS(TCustomControl, TWinControl)

 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas();
  void WndProc(TMessage& Message) override;

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// A canvas on a control: during painting it draws on the paint context;
// otherwise it takes a context of the control's window (a windowless
// control's part of its parent's window) on demand.
class TControlCanvas : public TCanvas {
  GUI_CLASS(TControlCanvas, TCanvas)

 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return control_; }
  void SetControl(TControl* control);
  // Releases a context the canvas took itself.
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TControl* control_ = nullptr;
  std::optional<kit::WindowDC> ownDc_;  // a context the canvas took itself
};

// The whole window's device context, non-client area included, given back
// with its scope.
class TWindowDC : public kit::WindowDC {
 public:
  explicit TWindowDC(HWND window) : kit::WindowDC(window, kit::WindowDC::Whole) {}
  HDC Handle() const { return Get(); }
};

// Puts a procedure in front of a window that is no control's own (the
// header of a list view): every message goes to `proc` first, which passes
// what it does not take to CallDefault; exceptions go to the application's
// handler. The window gets its own procedure back when the holder goes, or
// when the window is destroyed.
class TWindowSubclass {
 public:
  TWindowSubclass(HWND window, TWndMethod proc);
  ~TWindowSubclass();
  TWindowSubclass(const TWindowSubclass&) = delete;
  TWindowSubclass& operator=(const TWindowSubclass&) = delete;
  HWND Window() const { return window_; }
  void CallDefault(TMessage& Message);

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  void Restore();
  HWND window_;
  WNDPROC saved_;
  TWndMethod proc_;
};

// The control whose window that is, or null.
TWinControl* FindControl(HWND window);
// The control at a screen point: the windowless child under it, or the
// windowed control; null outside the program's windows.
TControl* FindControlAtPos(TPoint screenPos);
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// The form a control lies on (a form: itself), or null.
TCustomForm* GetParentForm(TControl* control);

// Paints what the control's parent shows beneath the control into dc, in the
// control's own coordinates: the parent handles WM_ERASEBKGND and WM_PAINT
// on dc (wParam), clipped to its client area. Transparent controls draw
// themselves over it. Nothing happens without a parent.
void PaintParentBackground(HDC dc, const TControl* control);
void PaintParentBackground(TCanvas& canvas, const TControl* control);

TShiftState KeysToShiftState(WORD keys);  // MK_* flags of mouse messages
TShiftState KeyboardStateToShiftState();  // Shift, Ctrl and Alt as held now
// Whether character ch is the accelerator of caption (the letter after a
// single "&"), without regard to case.
bool IsAccel(WPARAM ch, const std::string& caption);
// The caption without its accelerator marks ("&&" stays one "&").
std::string StripHotkey(const std::string& caption);

}  // namespace gui
