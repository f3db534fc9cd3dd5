// TWinControl: windows, their classes and procedures, children, painting,
// mouse routing to windowless children, keyboard and focus routing.
#include <algorithm>

#include "ControlsInternal.h"
#include "Offscreen.h"
#include "gui/ActnList.h"
#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/WindowTable.h"

namespace gui {

namespace {

// Windows may go after static destruction has begun: the tables live on.
TWindowTable<TWinControl>& ControlOfWindow() {
  static auto* table = new TWindowTable<TWinControl>;
  return *table;
}

thread_local TWinControl* creatingControl = nullptr;
UINT nextControlId = 100;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

bool IsPrivateMessage(UINT msg) { return msg >= CM_BASE && msg < 0xC000; }

// Messages a parent hands to the child they come from, as CN_BASE + message.
constexpr UINT kReflectedMessages[] = {
    WM_COMMAND,        WM_NOTIFY,          WM_DRAWITEM,          WM_MEASUREITEM, WM_CTLCOLORBTN,
    WM_CTLCOLOREDIT,   WM_CTLCOLORLISTBOX, WM_CTLCOLORSTATIC,    WM_CTLCOLORSCROLLBAR,
    WM_HSCROLL,        WM_VSCROLL,         WM_CHARTOITEM,        WM_VKEYTOITEM};

bool IsReflected(UINT msg) {
  return std::find(std::begin(kReflectedMessages), std::end(kReflectedMessages), msg) != std::end(kReflectedMessages);
}

// The child a reflected message comes from, or null when it is none of this
// window's children.
TWinControl* ReflectTarget(const TWinControl& self, const std::vector<TControl*>& controls, const TMessage& m) {
  HWND child = nullptr;
  switch (m.Msg) {
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (item->CtlType != ODT_MENU) child = item->hwndItem;
      break;
    }
    case WM_MEASUREITEM: {
      // Sent while the child's window is being made: found by its identifier.
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (item->CtlType == ODT_MENU) return nullptr;
      for (TControl* c : controls) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->ControlId() == item->CtlID) return w;
      }
      return nullptr;
    }
    default:  // the others carry the child's window in LParam
      child = reinterpret_cast<HWND>(m.LParam);
  }
  if (!child) return nullptr;
  TWinControl* target = FindControl(child);
  return target == &self ? nullptr : target;
}

}  // namespace

LRESULT CALLBACK StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = FindControl(window);
  if (!control) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  try {
    control->MainWndProc(m);
  } catch (...) {
    if (Application) Application->HandleException(control);
  }
  return m.Result;
}

LRESULT CALLBACK InitWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = creatingControl;
  if (!control) return DefWindowProcA(window, msg, wParam, lParam);
  creatingControl = nullptr;
  control->Attach(window);
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc));
  return StdWndProc(window, msg, wParam, lParam);
}

TWinControl* FindControl(HWND window) {
  if (!window) return nullptr;
  return ControlOfWindow().Get(window);
}

namespace detail {

void InvalidateIn(TWinControl* window, const TRect& rect, bool erase) {
  if (!window || !window->HandleAllocated()) return;
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  InvalidateRect(window->Handle(), &r, erase ? TRUE : FALSE);
}

void Guarded(TObject* sender, const std::function<void()>& f) {
  try {
    f();
  } catch (...) {
    if (Application) Application->HandleException(sender);
  }
}

}  // namespace detail

// --- TWindowSubclass ---------------------------------------------------------------

namespace {
TWindowTable<TWindowSubclass>& SubclassOfWindow() {
  static auto* table = new TWindowTable<TWindowSubclass>;
  return *table;
}
}  // namespace

TWindowSubclass::TWindowSubclass(HWND window, TWndMethod proc) : window_(window), proc_(std::move(proc)) {
  SubclassOfWindow().Set(window, this);
  saved_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindowSubclass::Proc)));
}

TWindowSubclass::~TWindowSubclass() { Restore(); }

void TWindowSubclass::Restore() {
  if (!window_) return;
  if (IsWindow(window_)) {
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved_));
  }
  SubclassOfWindow().Forget(window_, this);
  window_ = nullptr;
}

void TWindowSubclass::CallDefault(TMessage& m) {
  m.Result = CallWindowProcA(saved_, window_, m.Msg, m.WParam, m.LParam);
}

LRESULT CALLBACK TWindowSubclass::Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWindowSubclass* self = SubclassOfWindow().Get(window);
  if (!self) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  if (msg == WM_NCDESTROY) {
    // The window goes: its own procedure finishes it, and the holder lets go.
    WNDPROC saved = self->saved_;
    self->Restore();
    return CallWindowProcA(saved, window, msg, wParam, lParam);
  }
  try {
    self->proc_(m);
  } catch (...) {
    if (Application) Application->HandleException(nullptr);
  }
  return m.Result;
}

// --- TWinControl ------------------------------------------------------------------

GUI_DEFINE_CLASS(TWinControl) {
  c.Protected();
  c.Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  c.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1);
  c.Boolean("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered, false);
  c.Event("OnEnter", &TWinControl::OnEnter);
  c.Event("OnExit", &TWinControl::OnExit);
  c.Event("OnKeyDown", &TWinControl::OnKeyDown);
  c.Event("OnKeyPress", &TWinControl::OnKeyPress);
  c.Event("OnKeyUp", &TWinControl::OnKeyUp);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { brush_.SetColor(Color()); }

TWinControl::~TWinControl() {
  Destroying();
  RemoveFocus(true);
  DestroyChildren();
  DestroyHandle();
  if (handle_) ControlOfWindow().Forget(handle_, this);  // a window that would not go
}

void TWinControl::DestroyChildren() {
  DestroyComponents();
  while (!controls_.empty()) delete controls_.back();  // each leaves the list
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (Parent()) Parent()->HandleNeeded();
  if (handle_) return;  // the parent made ours with its children
  CreateWnd();
  if (!handle_) throw Exception("Error creating window of " + ClassName());
  PlaceInZOrder();
  WindowCreated();
  CreateChildHandles();
  Realign();
}

void TWinControl::CreateChildHandles() {
  std::vector<TControl*> children = controls_;
  for (TControl* c : children)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && ContainsControl(w)) w->HandleNeeded();
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = TControl::GetText();
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_.Contains(csAcceptsControls)) p.Style |= WS_CLIPCHILDREN;
  if (Visible()) p.Style |= WS_VISIBLE;
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = Left();
  p.Y = Top();
  p.Width = Width();
  p.Height = Height();
  p.WndParent = Parent() && Parent()->HandleAllocated() ? Parent()->handle_ : nullptr;
  p.WindowClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  p.WinClassName = ClassName();
  p.Native = false;
}

void TWinControl::CreateSubClass(TCreateParams& p, const char* nativeClass) {
  p.WinClassName = nativeClass;
  p.Native = true;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.Style & WS_CHILD) && !p.WndParent) {
    if (!Parent()) throw EComponentError("Control '" + Name() + "' has no parent window");
    p.WndParent = Parent()->Handle();
  }
  if (p.Style & WS_CHILD) {
    if (!ctlId_) {
      ctlId_ = nextControlId++;
      if (nextControlId >= 0xF000) nextControlId = 100;
    }
  }
  CreateWindowHandle(p);
  if (handle_) {
    ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    UpdateBounds();
  }
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  HMENU id = (p.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ctlId_)) : nullptr;
  if (p.Native) {
    HWND window = CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width,
                                  p.Height, p.WndParent, id, Instance(), nullptr);
    if (!window) return;
    Attach(window);
    defWndProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc)));
    return;
  }
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExA(Instance(), p.WinClassName.c_str(), &existing)) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = p.WindowClassStyle;
    wc.lpfnWndProc = &InitWndProc;
    wc.hInstance = Instance();
    wc.hCursor = p.Cursor ? p.Cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = p.WinClassName.c_str();
    if (!RegisterClassExA(&wc)) throw Exception("Cannot register the window class " + p.WinClassName);
  } else if (existing.lpfnWndProc != &InitWndProc) {
    throw Exception("The window class " + p.WinClassName + " belongs to someone else");
  }
  creatingControl = this;
  HWND window = CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width,
                                p.Height, p.WndParent, id, Instance(), nullptr);
  creatingControl = nullptr;
  if (!window && handle_) {  // refused in WM_NCCREATE / WM_CREATE
    ControlOfWindow().Forget(handle_, this);
    handle_ = nullptr;
  }
}

void TWinControl::Attach(HWND window) {
  handle_ = window;
  defWndProc_ = nullptr;
  ControlOfWindow().Set(window, this);
}

void TWinControl::DestroyWnd() {
  TControl::SetTextBuf(GetText());
  if (handle_) ::DestroyWindow(handle_);
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  if (GetCaptureControl() == this || (GetCaptureControl() && GetCaptureControl()->Parent() == this))
    detail::ForgetCaptureOf(GetCaptureControl());
  DestroyWnd();
  // WM_NCDESTROY normally clears it; a window that is gone already did not.
  if (handle_ && !IsWindow(handle_)) {
    ControlOfWindow().Forget(handle_, this);
    handle_ = nullptr;
  }
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  bool hadFocus = Focused();
  bool topLevelShowing = !Parent() && Showing();
  DestroyHandle();
  HandleNeeded();
  if (topLevelShowing) ShowWindow(handle_, SW_SHOWNA);
  if (hadFocus && CanFocus()) SetFocus();
}

void TWinControl::PlaceInZOrder() {
  if (!handle_ || !Parent() || !(GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD)) return;
  HWND above = HWND_TOP;
  const auto& siblings = Parent()->controls_;
  auto it = std::find(siblings.begin(), siblings.end(), this);
  if (it != siblings.end()) {
    for (++it; it != siblings.end(); ++it) {
      auto* w = dynamic_cast<TWinControl*>(*it);
      if (w && w->handle_) {
        above = w->handle_;
        break;
      }
    }
  }
  SetWindowPos(handle_, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  if (handle_ && (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD)) {
    // A child window cannot live without its parent: made again under the new one.
    DestroyHandle();
  }
  TControl::SetParent(parent);
  if (parent && parent->HandleAllocated()) HandleNeeded();
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  if (auto* w = dynamic_cast<TWinControl*>(control)) tabList_.push_back(w);
  control->Perform(CM_PARENTCOLORCHANGED);
  control->Perform(CM_PARENTFONTCHANGED);
  control->Perform(CM_PARENTSHOWHINTCHANGED);
  if (!dynamic_cast<TWinControl*>(control)) control->Invalidate();
  control->UpdateAnchorRules();
  if (control->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  if (auto* form = GetParentForm(this)) form->ControlGone(control);
  if (!dynamic_cast<TWinControl*>(control)) control->Invalidate();
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  if (auto* w = dynamic_cast<TWinControl*>(control))
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
  control->parent_ = nullptr;
  if (control->Align() != alNone) Realign();
}

// Moves a child to the top (or bottom) of its parent's z-order.
static void MoveInZOrder(std::vector<TControl*>& controls, TControl* control, bool toFront) {
  auto it = std::find(controls.begin(), controls.end(), control);
  if (it == controls.end()) return;
  controls.erase(it);
  if (toFront)
    controls.push_back(control);
  else
    controls.insert(controls.begin(), control);
  auto* w = dynamic_cast<TWinControl*>(control);
  if (w && w->HandleAllocated())
    SetWindowPos(w->Handle(), toFront ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  else
    control->Invalidate();
}

void TControl::BringToFront() {
  if (parent_) MoveInZOrder(parent_->controls_, this, true);
}

void TControl::SendToBack() {
  if (parent_) MoveInZOrder(parent_->controls_, this, false);
}

bool TWinControl::ContainsControl(TControl* control) const {
  for (TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
    if (windowed && !allowWinControls) continue;
    if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
    if (!c->BoundsRect().Contains(pos)) continue;
    TPoint local{pos.X - c->Left(), pos.Y - c->Top()};
    if (c->Perform(CM_HITTEST, 0, PointToLParam(local)) == 0) continue;
    return c;
  }
  return nullptr;
}

TControl* TWinControl::HitControl(TPoint pos) {
  if (TControl* c = ControlAtPos(pos, false)) return c;
  return this;
}

// --- bounds ----------------------------------------------------------------------

void TWinControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  if (handle_ && !IsIconic(handle_)) {
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateBounds();  // in case the window sent nothing (being destroyed)
  } else {
    bool resized = width != Width() || height != Height();
    SetBoundsFields(left, top, width, height);
    if (resized) {
      Realign();
      Resize();
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::UpdateBounds() {
  if (!handle_ || IsIconic(handle_)) return;
  RECT r;
  if (!GetWindowRect(handle_, &r)) return;
  if (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD) {
    HWND parentWindow = GetParent(handle_);
    if (parentWindow) MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&r), 2);
  }
  int w = r.right - r.left, h = r.bottom - r.top;
  if (r.left == Left() && r.top == Top() && w == Width() && h == Height()) return;
  bool resized = w != Width() || h != Height();
  SetBoundsFields(r.left, r.top, w, h);
  if (resized) {
    Realign();
    Resize();
  }
}

TRect TWinControl::ClientRect() {
  if (handle_) {
    RECT r;
    GetClientRect(handle_, &r);
    return Rect(r.left, r.top, r.right, r.bottom);
  }
  TCreateParams p;
  CreateParams(p);
  RECT frame{0, 0, 0, 0};
  // A window without frame parts has no non-client area, and the system's
  // answer is nothing to subtract; under Wine each asking reads the
  // non-client metrics anew (reading the main form asked some 800 times).
  constexpr DWORD kFrameStyles = WS_BORDER | WS_DLGFRAME | WS_THICKFRAME;
  constexpr DWORD kFrameExStyles = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
  if ((p.Style & kFrameStyles) || (p.ExStyle & kFrameExStyles))
    AdjustWindowRectEx(&frame, p.Style, FALSE, p.ExStyle);
  int w = Width() - (frame.right - frame.left);
  int h = Height() - (frame.bottom - frame.top);
  return Rect(0, 0, std::max(w, 0), std::max(h, 0));
}

void TWinControl::SetClientSize(int width, int height) {
  // The frame's size, not the difference of clamped sizes: a control that
  // is still smaller than its frame has a client area of nothing.
  int frameWidth, frameHeight;
  if (handle_) {
    RECT window, client;
    GetWindowRect(handle_, &window);
    GetClientRect(handle_, &client);
    frameWidth = (window.right - window.left) - client.right;
    frameHeight = (window.bottom - window.top) - client.bottom;
  } else {
    TCreateParams p;
    CreateParams(p);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, p.Style, FALSE, p.ExStyle);
    frameWidth = frame.right - frame.left;
    frameHeight = frame.bottom - frame.top;
  }
  SetBounds(Left(), Top(), width + frameWidth, height + frameHeight);
}

TPoint TWinControl::ClientOrigin() {
  if (handle_) {
    POINT p{0, 0};
    ::ClientToScreen(handle_, &p);
    return {p.x, p.y};
  }
  TCreateParams p;
  CreateParams(p);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, p.Style, FALSE, p.ExStyle);
  TPoint o{Left() - frame.left, Top() - frame.top};
  if (Parent()) {
    TPoint po = Parent()->ClientOrigin();
    o.X += po.X;
    o.Y += po.Y;
  }
  return o;
}

void TWinControl::Realign() {
  if (controlState_.Contains(csAligning)) return;
  TRect r = ClientRect();
  controlState_.Include(csAligning);
  auto done = kit::OnExit([this] { controlState_.Exclude(csAligning); });
  AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl*, TRect& r) {
  auto pick = [&](TAlign kind) {
    std::vector<TControl*> list;
    for (TControl* c : controls_)
      if (c->Align() == kind && c->Visible()) list.push_back(c);
    std::stable_sort(list.begin(), list.end(), [kind](TControl* a, TControl* b) {
      switch (kind) {
        case alTop: return a->Top() < b->Top();
        case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
        case alLeft: return a->Left() < b->Left();
        case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
        default: return false;
      }
    });
    return list;
  };
  for (TControl* c : pick(alTop)) {
    c->SetBoundsFromLayout(r.Left, r.Top, r.Width(), c->Height());
    r.Top += c->Height();
  }
  for (TControl* c : pick(alBottom)) {
    c->SetBoundsFromLayout(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
    r.Bottom -= c->Height();
  }
  for (TControl* c : pick(alLeft)) {
    c->SetBoundsFromLayout(r.Left, r.Top, c->Width(), r.Height());
    r.Left += c->Width();
  }
  for (TControl* c : pick(alRight)) {
    c->SetBoundsFromLayout(r.Right - c->Width(), r.Top, c->Width(), r.Height());
    r.Right -= c->Width();
  }
  for (TControl* c : pick(alClient)) c->SetBoundsFromLayout(r.Left, r.Top, r.Width(), r.Height());

  TRect client = ClientRect();
  for (TControl* c : controls_) {
    TAnchors a = c->Anchors();
    if (c->Align() != alNone || (!a.Contains(akRight) && !a.Contains(akBottom))) continue;
    int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
    if (a.Contains(akRight)) {
      if (a.Contains(akLeft))
        w = client.Width() - c->anchorRight_ - l;
      else
        l = client.Width() - c->anchorRight_ - w;
    }
    if (a.Contains(akBottom)) {
      if (a.Contains(akTop))
        h = client.Height() - c->anchorBottom_ - t;
      else
        t = client.Height() - c->anchorBottom_ - h;
    }
    c->SetBoundsFromLayout(l, t, std::max(w, 0), std::max(h, 0));
  }
}

// --- visibility, painting --------------------------------------------------------

bool TWinControl::Showing() const { return handle_ && IsWindowVisible(handle_); }

void TWinControl::SetVisible(bool value) { TControl::SetVisible(value); }

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, controlStyle_.Contains(csOpaque) ? FALSE : TRUE);
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::BringToFront() {
  TControl::BringToFront();
  if (handle_ && !Parent()) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TWinControl::SendToBack() {
  TControl::SendToBack();
  if (handle_ && !Parent()) SetWindowPos(handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::PaintHandler(HDC dc) {
  PaintWindow(dc);
  PaintControls(dc);
}

void TWinControl::PaintControls(HDC dc) {
  std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    if (dynamic_cast<TWinControl*>(c) || !c->Visible() || c->ControlState().Contains(csPaintingSelf)) continue;
    if (!ContainsControl(c)) continue;
    RECT bounds{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (!RectVisible(dc, &bounds)) continue;
    kit::SavedDC saved(dc);
    OffsetViewportOrgEx(dc, c->Left(), c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  }
}

void TWinControl::WMPaint(TMessage& m) {
  if (defWndProc_) {
    DefaultHandler(m);
    return;
  }
  if (m.WParam) {
    PaintHandler(reinterpret_cast<HDC>(m.WParam));
    return;
  }
  beginningPaint_ = true;
  kit::PaintDC paint(handle_);
  beginningPaint_ = false;
  if (!doubleBuffered_) {
    PaintHandler(paint.Get());
    return;
  }
  TRect client = ClientRect();
  detail::TOffscreen memory(paint.Get(), client.Width(), client.Height());
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Dc()));
  PaintHandler(memory.Dc());
  BitBlt(paint.Get(), 0, 0, client.Width(), client.Height(), memory.Dc(), 0, 0, SRCCOPY);
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  if (defWndProc_) {
    DefaultHandler(m);
    return;
  }
  if (doubleBuffered_ && beginningPaint_) {
    m.Result = 1;  // the off-screen pass paints the background
    return;
  }
  if (!controlStyle_.Contains(csOpaque)) {
    TRect client = ClientRect();
    RECT r{0, 0, client.Width(), client.Height()};
    FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush_.Handle());
  }
  m.Result = 1;
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  HandleNeeded();
  RECT window, client;
  GetWindowRect(handle_, &window);
  GetClientRect(handle_, &client);
  if (defWndProc_) {
    // System controls clip their painting in device units, so they paint at
    // the origin of a context of their own, which is then copied.
    int w = window.right - window.left, h = window.bottom - window.top;
    detail::TOffscreen memory(dc, w, h);
    ::SendMessageA(handle_, WM_PRINT, reinterpret_cast<WPARAM>(memory.Dc()),
                   PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    BitBlt(dc, x, y, w, h, memory.Dc(), 0, 0, SRCCOPY);
    return;
  }
  kit::SavedDC saved(dc);
  POINT origin{0, 0};
  ::ClientToScreen(handle_, &origin);
  OffsetViewportOrgEx(dc, x + origin.x - window.left, y + origin.y - window.top, nullptr);
  IntersectClipRect(dc, 0, 0, client.right, client.bottom);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  for (TControl* c : controls_) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w && w->Visible() && w->HandleAllocated()) w->PaintTo(dc, w->Left(), w->Top());
  }
}

// --- focus, tab order ---------------------------------------------------------

void TWinControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  if (handle_) {
    LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
    SetWindowLongPtrA(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
  }
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!Parent()) return;
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (value < 0 || value > static_cast<int>(list.size())) value = static_cast<int>(list.size());
  list.insert(list.begin() + value, this);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const {
  // Up to the form, not the form's own visibility: a control may be chosen
  // for the focus before its form shows.
  const TControl* form = GetParentForm(const_cast<TWinControl*>(this));
  if (form == this) return Enabled();
  for (const TControl* c = this; c && c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return !form || form->Enabled();
}

void TWinControl::SetFocus() {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this) {
    form->FocusControl(this);
  } else if (CanFocus()) {
    ::SetFocus(Handle());
  }
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : tabList_) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int count = static_cast<int>(list.size());
  auto it = std::find(list.begin(), list.end(), current);
  int start = it == list.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - list.begin());
  int i = start;
  do {
    if (goForward) {
      if (++i == count) i = 0;
    } else {
      if (i == 0) i = count;
      --i;
    }
    TWinControl* c = list[static_cast<std::size_t>(i)];
    if (c != current && c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this))
      return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::RemoveFocus(bool) {
  if (TCustomForm* form = GetParentForm(this)) form->ControlGone(this);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview()) {
    form->KeyDown(key, shift);
    if (key == 0) return true;
  }
  KeyDown(key, shift);
  return key == 0;
}

bool TWinControl::DoKeyUp(WORD& key, TShiftState shift) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview()) {
    form->KeyUp(key, shift);
    if (key == 0) return true;
  }
  KeyUp(key, shift);
  return key == 0;
}

bool TWinControl::DoKeyPress(char& key) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview()) {
    form->KeyPress(key);
    if (key == 0) return true;
  }
  KeyPress(key);
  return key == 0;
}

// --- text --------------------------------------------------------------------

std::string TWinControl::GetText() {
  if (!handle_) return TControl::GetText();
  int length = GetWindowTextLengthA(handle_);
  std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
  int got = GetWindowTextA(handle_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

void TWinControl::SetTextBuf(const std::string& value) {
  TControl::SetTextBuf(value);
  if (handle_) SetWindowTextA(handle_, value.c_str());
}

// --- children, notifications --------------------------------------------------

void TWinControl::Broadcast(TMessage& m) {
  std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    if (!ContainsControl(c)) continue;
    c->MainWndProc(m);
    if (m.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT msg) {
  std::vector<TControl*> children = controls_;
  for (TControl* c : children)
    if (ContainsControl(c)) c->Perform(msg);
}

int TWindowHooks::Add(THook hook) {
  int id = next_++;
  entries_.push_back({id, std::move(hook)});
  return id;
}

void TWindowHooks::Remove(int id) {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; }),
                 entries_.end());
}

bool TWindowHooks::Run(TMessage& m) {
  if (entries_.empty()) return false;
  std::vector<int> ids;
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) ids.push_back(it->id);
  for (int id : ids) {
    auto it = std::find_if(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; });
    if (it == entries_.end()) continue;
    THook hook = it->fn;  // the hook may remove itself
    if (hook(m)) return true;
  }
  return false;
}

void TWinControl::MainWndProc(TMessage& m) {
  if (!hooks_.Run(m)) WndProc(m);
}

std::unique_ptr<TControlActionLink> TWinControl::CreateActionLink() {
  return std::make_unique<TWinControlActionLink>(this);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!handle_ || IsPrivateMessage(m.Msg)) return;
  m.Result = defWndProc_ ? CallWindowProcA(defWndProc_, handle_, m.Msg, m.WParam, m.LParam)
                         : DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
}

// --- the dispatcher ------------------------------------------------------------

void TWinControl::WndProc(TMessage& m) {
  if (IsReflected(m.Msg)) {
    WMReflected(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT: WMPaint(m); return;
    case WM_PRINTCLIENT: WMPrintClient(m); return;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(m); return;
    case WM_SETFOCUS: WMSetFocus(m); return;
    case WM_MOUSEMOVE: WMMouseMove(m); return;
    case WM_LBUTTONDOWN: WMMouseButton(m); return;
    case WM_LBUTTONUP: WMMouseButton(m); return;
    case WM_LBUTTONDBLCLK: WMMouseButton(m); return;
    case WM_RBUTTONDOWN: WMMouseButton(m); return;
    case WM_RBUTTONUP: WMMouseButton(m); return;
    case WM_RBUTTONDBLCLK: WMMouseButton(m); return;
    case WM_MBUTTONDOWN: WMMouseButton(m); return;
    case WM_MBUTTONUP: WMMouseButton(m); return;
    case WM_MBUTTONDBLCLK: WMMouseButton(m); return;
    case WM_MOUSELEAVE: WMMouseLeave(m); return;
    case WM_CAPTURECHANGED: WMCaptureChanged(m); return;
    case WM_CANCELMODE: WMCancelMode(m); return;
    case WM_CONTEXTMENU: WMContextMenu(m); return;
    case WM_SETCURSOR: WMSetCursor(m); return;
    case WM_KEYDOWN: WMKeyDown(m); return;
    case WM_SYSKEYDOWN: WMKeyDown(m); return;
    case WM_KEYUP: WMKeyUp(m); return;
    case WM_SYSKEYUP: WMKeyUp(m); return;
    case WM_CHAR: WMChar(m); return;
    case WM_NCDESTROY: WMNCDestroy(m); return;
    case CN_CTLCOLORBTN: CNCtlColor(m); return;
    case CN_CTLCOLOREDIT: CNCtlColor(m); return;
    case CN_CTLCOLORLISTBOX: CNCtlColor(m); return;
    case CN_CTLCOLORSTATIC: CNCtlColor(m); return;
    case CN_KEYDOWN: CNKeyDown(m); return;
    case CN_SYSKEYDOWN: CNKeyDown(m); return;
    case CN_KEYUP: CNKeyUp(m); return;
    case CN_CHAR: CNChar(m); return;
    case CN_SYSCHAR: CNSysChar(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_DIALOGCHAR: CMDialogKey(m); return;
    case CM_FOCUSCHANGED: CMFocusChanged(m); return;
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); return;
    case CM_COLORCHANGED: CMColorChanged(m); return;
    case CM_FONTCHANGED: CMFontChanged(m); return;
    case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); return;
    case CM_RECREATEWND: RecreateWnd(); return;
  }
  TControl::WndProc(m);
}

// --- painting and bounds ----------------------------------------------------------

void TWinControl::WMPrintClient(TMessage& m) {
  if (defWndProc_)
    DefaultHandler(m);
  else
    PaintHandler(reinterpret_cast<HDC>(m.WParam));
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
  DefaultHandler(m);
  UpdateBounds();
}

void TWinControl::WMNCDestroy(TMessage& m) {
  DefaultHandler(m);
  if (handle_) ControlOfWindow().Forget(handle_, this);
  handle_ = nullptr;
  defWndProc_ = nullptr;
  trackingMouse_ = false;
}

// --- mouse ---------------------------------------------------------------------

// Hands a mouse message to the windowless child under the point (or holding
// the capture); true when one took it.
bool TWinControl::RouteMouse(TMessage& m) {
  TControl* capture = GetCaptureControl();
  TControl* target = nullptr;
  TPoint p = PointFromLParam(m.LParam);
  if (capture) {
    if (capture->Parent() != this || dynamic_cast<TWinControl*>(capture)) return false;
    target = capture;
  } else {
    target = ControlAtPos(p, false);
  }
  if (!target) return false;
  TMessage routed{m.Msg, m.WParam, PointToLParam({p.X - target->Left(), p.Y - target->Top()}), 0};
  target->MainWndProc(routed);
  m.Result = routed.Result;
  // The window's own default handling still runs: a right-button release
  // makes WM_CONTEXTMENU, which finds the windowless control again.
  if (m.Result == 0 && handle_) DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
  return true;
}

void TWinControl::WMMouseButton(TMessage& m) {
  if (!RouteMouse(m)) TControl::WndProc(m);
}

void TWinControl::WMMouseMove(TMessage& m) {
  if (!trackingMouse_ && handle_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, handle_, 0};
    if (TrackMouseEvent(&track)) trackingMouse_ = true;
  }
  if (Application) {
    TPoint p = PointFromLParam(m.LParam);
    TControl* over = ClientRect().Contains(p) ? HitControl(p) : nullptr;
    Application->UpdateMouseControl(over);
  }
  WMMouseButton(m);
}

void TWinControl::WMMouseLeave(TMessage& m) {
  trackingMouse_ = false;
  if (Application) {
    TControl* over = Application->MouseControl();
    if (over == this || (over && over->Parent() == this && !dynamic_cast<TWinControl*>(over)))
      Application->UpdateMouseControl(nullptr);
  }
  DefaultHandler(m);
}

void TWinControl::WMCaptureChanged(TMessage& m) {
  if (TControl* capture = GetCaptureControl();
      capture && (capture == this || capture->Parent() == this) && reinterpret_cast<HWND>(m.LParam) != handle_)
    detail::ForgetCaptureOf(capture);
  DefaultHandler(m);
}

void TWinControl::WMCancelMode(TMessage& m) {
  if (TControl* capture = GetCaptureControl(); capture && (capture == this || capture->Parent() == this))
    SetCaptureControl(nullptr);
  DefaultHandler(m);
}

void TWinControl::WMContextMenu(TMessage& m) {
  TPoint screen = PointFromLParam(m.LParam);
  bool keyboard = screen.X == -1 && screen.Y == -1;
  TPoint client = keyboard ? screen : ScreenToClient(screen);
  if (!keyboard) {
    if (TControl* child = ControlAtPos(client, false)) {
      if (child->DoContextPopup({client.X - child->Left(), client.Y - child->Top()})) {
        m.Result = 1;
        return;
      }
    }
  }
  if (DoContextPopup(client)) {
    m.Result = 1;
    return;
  }
  DefaultHandler(m);
}

void TWinControl::WMSetCursor(TMessage& m) {
  if (LOWORD(m.LParam) != HTCLIENT || reinterpret_cast<HWND>(m.WParam) != handle_ || !Screen) {
    DefaultHandler(m);
    return;
  }
  TCursor cursor = Screen->Cursor();
  if (cursor == crDefault) {
    POINT p;
    GetCursorPos(&p);
    TControl* over = ControlAtPos(ScreenToClient({p.x, p.y}), false);
    cursor = over ? over->Cursor() : crDefault;
    if (cursor == crDefault) cursor = TControl::Cursor();
  }
  if (cursor == crDefault) {
    DefaultHandler(m);
    return;
  }
  ::SetCursor(Screen->Cursors(cursor));
  m.Result = 1;
}

// --- children's notifications ---------------------------------------------------

void TWinControl::WMReflected(TMessage& m) {
  if (TWinControl* target = ReflectTarget(*this, controls_, m))
    m.Result = target->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
  else
    DefaultHandler(m);
}

void TWinControl::CNCtlColor(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  SetBkColor(dc, ColorToRGB(Color()));
  m.Result = reinterpret_cast<LRESULT>(brush_.Handle());
}

// --- keyboard and focus ------------------------------------------------------------

void TWinControl::WMSetFocus(TMessage& m) {
  if (TCustomForm* form = GetParentForm(this); form && !form->SetFocusedControl(this)) return;
  DefaultHandler(m);
}

void TWinControl::WMKeyDown(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  if (DoKeyDown(key, KeyboardStateToShiftState())) return;
  m.WParam = key;
  DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  if (DoKeyUp(key, KeyboardStateToShiftState())) return;
  m.WParam = key;
  DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m) {
  char ch = static_cast<char>(m.WParam);
  if (DoKeyPress(ch)) return;
  m.WParam = static_cast<unsigned char>(ch);
  DefaultHandler(m);
}

// A key before translation: the form's short cuts first, then the dialog
// keys the control does not want (Result 1: taken).
void TWinControl::CNKeyDown(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  m.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if (form && form->IsShortCut(key, KeyboardStateToShiftState())) return;
  UINT mask = 0;
  switch (key) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
  }
  if (mask && form && Perform(CM_WANTSPECIALKEY, key) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0 &&
      form->Perform(CM_DIALOGKEY, key, m.LParam) != 0)
    return;
  m.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& m) { m.Result = 0; }

void TWinControl::CNChar(TMessage& m) {
  m.Result = 0;
  if (Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) return;
  CNSysChar(m);
}

// Alt+character, and characters the control does not want: accelerators.
void TWinControl::CNSysChar(TMessage& m) {
  m.Result = 0;
  if (TCustomForm* form = GetParentForm(this); form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
    m.Result = 1;
}

// Offered to the visible children until one takes it (hidden pages take no
// keys).
void TWinControl::CMDialogKey(TMessage& m) {
  std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    if (!ContainsControl(c) || !c->Visible()) continue;
    c->MainWndProc(m);
    if (m.Result != 0) return;
  }
}

void TWinControl::CMFocusChanged(TMessage& m) {
  std::vector<TControl*> children = controls_;
  for (TControl* c : children)
    if (ContainsControl(c)) c->Perform(CM_FOCUSCHANGED, m.WParam, m.LParam);
}

// --- state changes -------------------------------------------------------------

void TWinControl::CMVisibleChanged(TMessage&) {
  if (handle_) {
    if (Visible()) {
      SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                   SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      RemoveFocus(false);
      ShowWindow(handle_, SW_HIDE);
    }
  } else if (Visible() && Parent() && Parent()->HandleAllocated()) {
    HandleNeeded();
  }
  if (!Visible() && Application) Application->ControlDestroyed(this);
}

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!Enabled()) RemoveFocus(false);
  if (handle_) EnableWindow(handle_, Enabled() ? TRUE : FALSE);
  Invalidate();
}

void TWinControl::CMColorChanged(TMessage&) {
  brush_.SetColor(Color());
  Invalidate();
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage&) {
  if (handle_) ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
  NotifyControls(CM_PARENTFONTCHANGED);
  Invalidate();
}

}  // namespace gui
