// TCustomForm, TForm and THintWindow.
#include "gui/Forms.h"

#include <algorithm>

#include "ControlsInternal.h"
#include "gui/ActnList.h"
#include "gui/FormReader.h"

namespace gui {

namespace {

const TEnumInfo kFormBorderStyleInfo{"TFormBorderStyle",
                                     {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
const TEnumInfo kBorderIconInfo{"TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}};
const TEnumInfo kFormStyleInfo{"TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}};
const TEnumInfo kPositionInfo{"TPosition",
                              {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                               "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}};
const TEnumInfo kWindowStateInfo{"TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}};

struct EnabledWindows {
  HWND except;
  std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM data) {
  auto* state = reinterpret_cast<EnabledWindows*>(data);
  if (window != state->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    state->disabled.push_back(window);
  }
  return TRUE;
}

// A window the activation can go back to: there, shown and taking input.
// The application's window never counts: it has nothing to focus.
bool CanTakeActivation(HWND window) {
  return window && IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window) &&
         !(Application && window == Application->Handle());
}

}  // namespace

// --- TCustomForm -------------------------------------------------------------------

GUI_DEFINE_CLASS(TCustomForm) {
  c.Protected();
  c.Enumeration("BorderStyle", kFormBorderStyleInfo, &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
                bsSizeable);
  c.SetOf("BorderIcons", kBorderIconInfo, &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons, 7);
  c.Enumeration("FormStyle", kFormStyleInfo, &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, fsNormal);
  c.Enumeration("Position", kPositionInfo, &TCustomForm::Position, &TCustomForm::SetPosition, poDesigned);
  c.Enumeration("WindowState", kWindowStateInfo, &TCustomForm::WindowState, &TCustomForm::SetWindowState, wsNormal);
  c.Boolean("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview, false);
  c.Boolean("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled);
  c.Component("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  c.Integer("ModalResult", &TCustomForm::ModalResult, &TCustomForm::SetModalResult, 0, &ModalResultIdents());
  c.Event("OnCreate", &TCustomForm::OnCreate);
  c.Event("OnDestroy", &TCustomForm::OnDestroy);
  c.Event("OnShow", &TCustomForm::OnShow);
  c.Event("OnHide", &TCustomForm::OnHide);
  c.Event("OnActivate", &TCustomForm::OnActivate);
  c.Event("OnDeactivate", &TCustomForm::OnDeactivate);
  c.Event("OnPaint", &TCustomForm::OnPaint);
  c.Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
  c.Event("OnClose", &TCustomForm::OnClose);
}

GUI_DEFINE_CLASS(TForm) {
  for (const char* name :
       {"BorderStyle", "BorderIcons", "FormStyle", "Position", "WindowState", "KeyPreview", "Scaled",
        "ActiveControl", "Caption", "Color", "Font", "ParentFont", "ClientWidth", "ClientHeight", "Visible",
        "Enabled", "Hint", "ShowHint", "PopupMenu", "DoubleBuffered", "OnCreate", "OnDestroy", "OnShow", "OnHide",
        "OnActivate", "OnDeactivate", "OnPaint", "OnCloseQuery", "OnClose", "OnClick", "OnDblClick", "OnMouseDown",
        "OnMouseMove", "OnMouseUp", "OnMouseWheel", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnResize"})
    c.Publish(name);
}

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  visible_ = false;
  controlStyle_.Include(csAcceptsControls);
  SetColor(clBtnFace);
  parentFont_ = false;
  if (Application) Application->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (OnDestroy) detail::Guarded(this, [this] { OnDestroy(this); });
  Destroying();
  if (Application) Application->RemoveForm(this);
  DestroyChildren();
  if (canvas_) canvas_->FreeHandle();
  DestroyHandle();
}

void TCustomForm::AfterConstruction() {
  ReadForm(*this);
  DoCreate();
}

void TCustomForm::DoCreate() {
  if (OnCreate) detail::Guarded(this, [this] { OnCreate(this); });
}

void TCustomForm::Loaded() {
  inherited::Loaded();
  if (visible_) {
    visible_ = false;
    SetVisible(true);
  }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (value == borderIcons_) return;
  borderIcons_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (value == formStyle_) return;
  formStyle_ = value;
  if (HandleAllocated())
    SetWindowPos(Handle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState value) {
  if (value == windowState_) return;
  windowState_ = value;
  if (HandleAllocated() && Showing())
    ShowWindow(Handle(), value == wsMinimized ? SW_MINIMIZE : value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::EditStyle(DWORD clear, DWORD set) {
  styleClear_ = (styleClear_ | clear) & ~set;
  styleSet_ = (styleSet_ | set) & ~clear;
  if (!HandleAllocated()) return;
  LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
  SetWindowLongPtrA(Handle(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(clear)) | set);
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::EditExStyle(DWORD clear, DWORD set) {
  exStyleClear_ = (exStyleClear_ | clear) & ~set;
  exStyleSet_ = (exStyleSet_ | set) & ~clear;
  if (!HandleAllocated()) return;
  LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_EXSTYLE);
  SetWindowLongPtrA(Handle(), GWL_EXSTYLE, (style & ~static_cast<LONG_PTR>(clear)) | set);
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::CreateParams(TCreateParams& p) {
  inherited::CreateParams(p);
  p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (!Enabled()) p.Style |= WS_DISABLED;
  p.ExStyle = 0;
  p.WndParent = Application ? Application->Handle() : nullptr;
  switch (borderStyle_) {
    case bsNone:
      p.Style |= WS_POPUP;
      break;
    case bsSingle:
    case bsToolWindow:
      p.Style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      p.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      p.Style |= WS_POPUP | WS_CAPTION;
      p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) p.ExStyle |= WS_EX_TOOLWINDOW;
  if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu)) {
    p.Style |= WS_SYSMENU;
    bool smallFrame = borderStyle_ == bsDialog || borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin;
    if (!smallFrame && borderIcons_.Contains(biMinimize)) p.Style |= WS_MINIMIZEBOX;
    if (!smallFrame && borderIcons_.Contains(biMaximize)) p.Style |= WS_MAXIMIZEBOX;
  }
  if (formStyle_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  p.Style = (p.Style & ~styleClear_) | styleSet_;
  p.ExStyle = (p.ExStyle & ~exStyleClear_) | exStyleSet_;
}

void TCustomForm::CreateWnd() { inherited::CreateWnd(); }

TCanvas* TCustomForm::Canvas() {
  if (!canvas_) canvas_ = detail::MakeCanvas(*this);
  return canvas_.get();
}

void TCustomForm::PaintWindow(HDC dc) {
  if (!OnPaint) return;
  Canvas();
  detail::PaintOnCanvas(*this, *canvas_, dc, [this] { OnPaint(this); });
}

void TCustomForm::PlaceOnFirstShow() {
  if (placed_) return;
  placed_ = true;
  TCustomForm* over = nullptr;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
      break;
    case poMainFormCenter:
      over = Application ? Application->MainForm() : nullptr;
      break;
    case poOwnerFormCenter:
      over = dynamic_cast<TCustomForm*>(Owner());
      break;
    default:
      return;
  }
  if (over == this) over = nullptr;
  int left, top;
  if (over) {
    left = over->Left() + (over->Width() - Width()) / 2;
    top = over->Top() + (over->Height() - Height()) / 2;
  } else {
    left = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
    top = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
  }
  SetBounds(left, top, Width(), Height());
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::SetVisible(bool value) {
  if (ComponentState().Contains(csLoading)) {
    visible_ = value;
    return;
  }
  if (value) {
    ShowAs(windowState_ == wsMinimized   ? SW_SHOWMINIMIZED
           : windowState_ == wsMaximized ? SW_SHOWMAXIMIZED
                                         : SW_SHOWNORMAL);
  } else {
    if (!visible_ && !Showing()) return;
    visible_ = false;
    if (!HandleAllocated()) return;
    DoHide();
    ShowWindow(Handle(), SW_HIDE);
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated()) BringToFront();
}

void TCustomForm::ShowInactive() {
  if (ComponentState().Contains(csLoading)) {
    SetVisible(true);
    return;
  }
  ShowAs(SW_SHOWNOACTIVATE);
}

void TCustomForm::ShowAs(int command) {
  if (visible_ && Showing()) return;
  visible_ = true;
  HandleNeeded();
  PlaceOnFirstShow();
  DoShow();
  if (!visible_) return;  // OnShow hid it again
  ShowWindow(Handle(), command);
  if (Application && Application->MainForm() == this && !IsWindowVisible(Application->Handle()))
    ShowWindow(Application->Handle(), SW_SHOWNA);
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() { PostMessageA(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone) modalResult_ = mrNone;
  if (action == caFree) Release();
}

TModalResult TCustomForm::ShowModal() {
  if (modal_ || (Visible() && Showing()) || !Enabled())
    throw Exception("Cannot make a visible window modal");
  if (GetCapture()) SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HandleNeeded();
  const HWND before = GetActiveWindow();
  EnabledWindows others{Handle(), {}};
  EnumThreadWindows(GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(&others));
  modal_ = true;
  modalResult_ = mrNone;
  {
    auto finish = kit::OnExit([&] {
      for (HWND w : others.disabled)
        if (IsWindow(w)) EnableWindow(w, TRUE);
      modal_ = false;
      SetVisible(false);
      GiveActivationBack(before);
    });
    SetVisible(true);
    while (Application) {
      if (Application->Terminated()) {
        modalResult_ = mrCancel;
        break;
      }
      if (modalResult_ != mrNone) {
        CloseModal();
        if (modalResult_ != mrNone) break;
      }
      Application->HandleMessage();
    }
  }
  return modalResult_;
}

// Hiding the active window lets the system pick the next one, often the
// application's hidden window, which leaves the keys with nobody. The window
// under the modal one (or else the main form) is made active again, and its
// focused control has the focus again.
void TCustomForm::GiveActivationBack(HWND before) {
  HWND target = before != Handle() && CanTakeActivation(before) ? before : nullptr;
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (!target && main && main != this && main->HandleAllocated() && CanTakeActivation(main->Handle()))
    target = main->Handle();
  if (!target) return;
  if (GetActiveWindow() != target) SetActiveWindow(target);
  // Already active, so no activation put the focus back.
  TCustomForm* form = dynamic_cast<TCustomForm*>(FindControl(target));
  if (form && !IsChild(target, GetFocus())) form->SetWindowFocus();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  if (control && GetParentForm(control) != this) return;
  activeControl_ = control;
  if (ComponentState().Contains(csLoading)) return;
  if (active_ && control) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* control) {
  if (!control || GetParentForm(control) != this) return;
  activeControl_ = control;
  if (HandleAllocated() && IsWindowVisible(Handle()) && control->CanFocus()) ::SetFocus(control->Handle());
}

void TCustomForm::SetWindowFocus() {
  if (!HandleAllocated()) return;
  HWND target = activeControl_ && activeControl_->CanFocus() ? activeControl_->Handle() : Handle();
  ::SetFocus(target);
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  if (ComponentState().Contains(csDestroying)) return false;
  if (control == focusedControl_) return true;
  TWinControl* old = focusedControl_;
  focusedControl_ = control;
  if (control != this) activeControl_ = control;
  if (old) {
    for (TWinControl* w = old; w && w != this; w = w->Parent()) {
      if (control && w->ContainsControl(control)) break;
      w->Perform(CM_EXIT);
    }
  }
  std::vector<TWinControl*> entered;
  for (TWinControl* w = control; w && w != this; w = w->Parent()) {
    if (old && w->ContainsControl(old)) break;
    entered.push_back(w);
  }
  for (auto it = entered.rbegin(); it != entered.rend(); ++it) (*it)->Perform(CM_ENTER);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
  return true;
}

void TCustomForm::ControlGone(TControl* control) {
  auto under = [control](TControl* c) {
    for (; c; c = c->Parent())
      if (c == control) return true;
    return false;
  };
  if (control == this) return;
  if (activeControl_ && under(activeControl_)) activeControl_ = nullptr;
  if (focusedControl_ && under(focusedControl_)) {
    focusedControl_ = nullptr;
    TWinControl* focused = FindControl(GetFocus());
    if (focused && under(focused) && HandleAllocated() && !ComponentState().Contains(csDestroying))
      ::SetFocus(Handle());
  }
}

bool TCustomForm::IsShortCut(WORD key, TShiftState shift) {
  TShortCut shortCut = ShortCut(key, shift);
  if (!shortCut) return false;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* list = dynamic_cast<TActionList*>(Components(i)); list && list->IsShortCut(shortCut)) return true;
  return false;
}

void TCustomForm::SetMessageHandler(UINT msg, TMessageHandler handler) {
  if (handler)
    handlers_[msg] = std::move(handler);
  else
    handlers_.erase(msg);
}

void TCustomForm::WndProc(TMessage& m) {
  if (auto it = handlers_.find(m.Msg); it != handlers_.end()) {
    TMessageHandler handler = it->second;
    handler(m);
    return;
  }
  switch (m.Msg) {
    case WM_CLOSE: Close(); return;
    case WM_ACTIVATE: WMActivate(m); return;
    case WM_ACTIVATEAPP: WMActivateApp(m); return;
    case WM_SIZE: WMSize(m); return;
    case WM_SYSCOMMAND: WMSysCommand(m); return;
    case WM_QUERYENDSESSION: m.Result = CloseQuery() ? 1 : 0; return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_RELEASE: delete this; return;
  }
  inherited::WndProc(m);
}

void TCustomForm::WMActivate(TMessage& m) {
  if (LOWORD(m.WParam) != WA_INACTIVE && !HIWORD(m.WParam)) {
    active_ = true;
    if (!activeControl_) activeControl_ = FindNextControl(nullptr, true, true, false);
    if (OnActivate) OnActivate(this);
    SetWindowFocus();
    m.Result = 0;
    return;
  }
  if (LOWORD(m.WParam) == WA_INACTIVE) {
    active_ = false;
    if (OnDeactivate) OnDeactivate(this);
  }
  DefaultHandler(m);
}

void TCustomForm::WMActivateApp(TMessage& m) {
  if (Application) Application->SetActive(m.WParam != 0);
  DefaultHandler(m);
}

// The state follows what the user did to the window.
void TCustomForm::WMSize(TMessage& m) {
  if (m.WParam == SIZE_MINIMIZED)
    windowState_ = wsMinimized;
  else if (m.WParam == SIZE_MAXIMIZED)
    windowState_ = wsMaximized;
  else if (m.WParam == SIZE_RESTORED && Showing())
    windowState_ = wsNormal;
  inherited::WndProc(m);
}

// The main form minimizes the whole application.
void TCustomForm::WMSysCommand(TMessage& m) {
  if ((m.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this) {
    Application->Minimize();
    return;
  }
  DefaultHandler(m);
}

// Tab and Shift+Tab move through the tab order, arrows within the active
// control's parent; other keys go on to the controls.
void TCustomForm::CMDialogKey(TMessage& m) {
  if (GetKeyState(VK_MENU) >= 0) {
    if (m.WParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
      SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
      m.Result = 1;
      return;
    }
    bool arrow = m.WParam == VK_LEFT || m.WParam == VK_RIGHT || m.WParam == VK_UP || m.WParam == VK_DOWN;
    if (arrow && activeControl_ && activeControl_->Parent()) {
      activeControl_->Parent()->SelectNext(activeControl_, m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false);
      m.Result = 1;
      return;
    }
  }
  inherited::WndProc(m);
}

// --- THintWindow --------------------------------------------------------------------

GUI_DEFINE_CLASS(THintWindow) {}

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  StoreVisible(false);
  controlStyle_ = {csOpaque};
  SetColor(Application ? Application->HintColor() : clInfoBk);
}

void THintWindow::CreateParams(TCreateParams& p) {
  inherited::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.WndParent = Application ? Application->Handle() : nullptr;
  p.WindowClassStyle |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint) {
  kit::WindowDC screen(nullptr);
  kit::Selection font(screen.Get(), Font()->Handle());
  RECT r{0, 0, maxWidth, 0};
  DrawTextA(screen.Get(), hint.c_str(), static_cast<int>(hint.size()), &r,
            DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  return Rect(0, 0, r.right + 6, r.bottom + 4);
}

void THintWindow::ActivateHint(TRect rect, const std::string& hint) {
  SetText(hint);
  TRect work = Screen ? Screen->WorkAreaRect() : Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  int w = rect.Width(), h = rect.Height();
  int left = std::max(work.Left, std::min(rect.Left, work.Right - w));
  int top = std::max(work.Top, std::min(rect.Top, work.Bottom - h));
  SetBounds(left, top, w, h);
  StoreVisible(true);
  SetWindowPos(Handle(), HWND_TOPMOST, left, top, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  StoreVisible(false);
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

bool THintWindow::IsHintShowing() { return HandleAllocated() && IsWindowVisible(Handle()); }

void THintWindow::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  canvas->Brush().SetColor(Color());
  canvas->FillRect(r);
  canvas->Brush().SetStyle(bsClear);
  canvas->Font().Assign(Font());
  TRect text{r.Left + 2, r.Top + 1, r.Right - 2, r.Bottom - 1};
  canvas->DrawText(Caption(), text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  canvas->Brush().SetStyle(bsSolid);
}

void THintWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCHITTEST:
      m.Result = HTTRANSPARENT;
      return;
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      return;
  }
  inherited::WndProc(m);
}

}  // namespace gui
