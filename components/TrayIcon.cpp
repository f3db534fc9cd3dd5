#include "TrayIcon.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>

#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/Icon.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "SimpleTimer.h"
#include "kit/Own.h"

namespace components {

using namespace gui;

namespace {

using Handlers = TSharedHandler<TTrayIconHandler>;

constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
// Notifications of shell version 5 and later.
constexpr LPARAM kNinSelect = WM_USER + 0;
constexpr LPARAM kNinKeySelect = WM_USER + 1;
constexpr LPARAM kNinBalloonShow = WM_USER + 2;
constexpr LPARAM kNinBalloonHide = WM_USER + 3;
constexpr LPARAM kNinBalloonTimeout = WM_USER + 4;
constexpr LPARAM kNinBalloonUserClick = WM_USER + 5;

TTrayIconShell systemShell;
TTrayIconShell* shellInUse = &systemShell;

// At most N - 1 characters and a terminating zero; the rest zero-filled.
template <std::size_t N>
void CopyText(char (&dest)[N], const std::string& text) {
  std::memset(dest, 0, N);
  std::memcpy(dest, text.data(), std::min(text.size(), N - 1));
}

DWORD CommonControlsVersion() {
  DWORD version = 0;
  if (kit::Module library{LoadLibraryA("comctl32.dll")}) {
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), "DllGetVersion")));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (getVersion && SUCCEEDED(getVersion(&info))) version = (info.dwMajorVersion << 16) + info.dwMinorVersion;
  }
  return version;
}

// The message the shell broadcasts when the taskbar is created anew; 0 with
// common controls too old to send it.
UINT TaskbarCreatedMessage() {
  static const UINT message = CommonControlsVersion() > 0x40046 ? RegisterWindowMessageA("TaskbarCreated") : 0;
  return message;
}

TCustomForm* MainForm() { return Application ? Application->MainForm() : nullptr; }

}  // namespace

// --- system calls --------------------------------------------------------------

bool TTrayIconShell::NotifyIcon(DWORD message, NOTIFYICONDATAA& data) { return Shell_NotifyIconA(message, &data); }
bool TTrayIconShell::CursorPos(POINT& point) { return GetCursorPos(&point); }
bool TTrayIconShell::KeyDown(int key) { return GetAsyncKeyState(key) < 0; }
UINT TTrayIconShell::DoubleClickTime() { return GetDoubleClickTime(); }

void SetTrayIconShell(TTrayIconShell* shell) { shellInUse = shell ? shell : &systemShell; }

// --- the shared window --------------------------------------------------------

TTrayIcon* TTrayIconHandler::Find(WPARAM id) const {
  auto found = std::find_if(icons_.begin(), icons_.end(), [id](const TTrayIcon* icon) { return icon->Id() == id; });
  return found != icons_.end() ? *found : nullptr;
}

void TTrayIconHandler::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_TRAYNOTIFY:
      // Notifications still queued for an icon that is gone find nobody.
      if (TTrayIcon* icon = Find(Message.WParam)) icon->HandleNotification(Message.LParam);
      break;
    // The window lives as long as tray icons do, whoever asks it to go.
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUIT:
    case WM_NCDESTROY:
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
      Message.Result = 1;
      break;
    default:
      Message.Result = DefWindowProcA(Handle(), Message.Msg, Message.WParam, Message.LParam);
  }
}

// --- the component --------------------------------------------------------------

GUI_DEFINE_CLASS(TTrayIcon) {
  c.Boolean("DesignPreview", &TTrayIcon::DesignPreview, &TTrayIcon::SetDesignPreview, false);
  c.Component("IconList", &TTrayIcon::IconList, &TTrayIcon::SetIconList);
  c.Boolean("CycleIcons", &TTrayIcon::CycleIcons, &TTrayIcon::SetCycleIcons, false);
  c.Integer("CycleInterval", &TTrayIcon::CycleInterval, &TTrayIcon::SetCycleInterval);
  c.Boolean("Enabled", &TTrayIcon::Enabled, &TTrayIcon::SetEnabled, true);
  c.String("Hint", &TTrayIcon::Hint, &TTrayIcon::SetHint);
  c.Boolean("ShowHint", &TTrayIcon::ShowHint, &TTrayIcon::SetShowHint, true);
  c.Object("Icon", &TTrayIcon::Icon, &TTrayIcon::SetIcon);
  c.Boolean("IconVisible", &TTrayIcon::IconVisible, &TTrayIcon::SetIconVisible, false);
  c.Integer("IconIndex", &TTrayIcon::IconIndex, &TTrayIcon::SetIconIndex);
  c.Component("PopupMenu", &TTrayIcon::PopupMenu, &TTrayIcon::SetPopupMenu);
  c.Boolean("LeftPopup", &TTrayIcon::LeftPopup, &TTrayIcon::SetLeftPopup, false);
  c.Boolean("WantEnterExitEvents", &TTrayIcon::WantEnterExitEvents, &TTrayIcon::SetWantEnterExitEvents, false);
  c.Boolean("MinimizeToTray", &TTrayIcon::MinimizeToTray, &TTrayIcon::SetMinimizeToTray, false);
  c.Event("OnClick", &TTrayIcon::OnClick);
  c.Event("OnDblClick", &TTrayIcon::OnDblClick);
  c.Event("OnMouseDown", &TTrayIcon::OnMouseDown);
  c.Event("OnMouseUp", &TTrayIcon::OnMouseUp);
  c.Event("OnMouseMove", &TTrayIcon::OnMouseMove);
  c.Event("OnMouseEnter", &TTrayIcon::OnMouseEnter);
  c.Event("OnMouseExit", &TTrayIcon::OnMouseExit);
  c.Event("OnCycle", &TTrayIcon::OnCycle);
  c.Event("OnBalloonHintShow", &TTrayIcon::OnBalloonHintShow);
  c.Event("OnBalloonHintHide", &TTrayIcon::OnBalloonHintHide);
  c.Event("OnBalloonHintTimeout", &TTrayIcon::OnBalloonHintTimeout);
  c.Event("OnBalloonHintClick", &TTrayIcon::OnBalloonHintClick);
  c.Event("OnMinimizeToTray", &TTrayIcon::OnMinimizeToTray);
  c.Event("OnStartup", &TTrayIcon::OnStartup);
}

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner), icon_(new TIcon) {
  TTrayIconHandler& handler = Handlers::Acquire();
  data_.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data_.hWnd = handler.Handle();
  data_.uID = handler.nextId_++;
  data_.uFlags = kIconFlags;
  data_.uCallbackMessage = WM_TRAYNOTIFY;
  handler.icons_.push_back(this);

  icon_->OnChange = [this](TObject*) { IconChanged(); };
  cycleTimer_ = std::make_unique<TSimpleTimer>(1000, [this](TObject*) { CycleTimerTick(); });
  clickTimer_ = std::make_unique<TSimpleTimer>(1000, [this](TObject*) { ClickTimerTick(); });
  exitTimer_ = std::make_unique<TSimpleTimer>(20, [this](TObject*) { ExitTimerTick(); });
  SetDesignPreview(designPreview_);

  TaskbarCreatedMessage();
  if (!Designing()) {
    if (Application) appHookId_ = Application->HookMainWindow([this](TMessage& m) { return ApplicationHook(m); });
    if (TWinControl* control = OwnerControl()) {
      hookedOwner_ = control;
      ownerHookId_ = control->AddWindowHook([this](TMessage& m) { return OwnerHook(m); });
    }
  }
}

TTrayIcon::~TTrayIcon() {
  SetIconVisible(false);
  SetDesignPreview(false);
  cycleTimer_.reset();
  clickTimer_.reset();
  exitTimer_.reset();
  icon_->OnChange = nullptr;
  icon_.reset();
  if (appHookId_ && Application) Application->UnhookMainWindow(appHookId_);
  // Windowed owners free their components before their window, so the hook
  // must go even when the owner is on its way out.
  if (hookedOwner_) hookedOwner_->RemoveWindowHook(ownerHookId_);
  TTrayIconHandler* handler = Handlers::Instance();
  if (handler) handler->icons_.erase(std::remove(handler->icons_.begin(), handler->icons_.end(), this), handler->icons_.end());
  Handlers::Release();
}

bool TTrayIcon::Designing() const { return ComponentState().Contains(csDesigning); }

TWinControl* TTrayIcon::OwnerControl() const { return dynamic_cast<TWinControl*>(Owner()); }

// --- properties -------------------------------------------------------------------

void TTrayIcon::SetDesignPreview(bool value) {
  designPreview_ = value;
  if (!Designing()) return;
  previewing_ = true;
  if (!icon_->HandleAllocated() && LoadDefaultIcon()) icon_->SetHandle(CopyIcon(LoadIconW(nullptr, IDI_WINLOGO)));
  SetIconVisible(value);
  previewing_ = false;
}

void TTrayIcon::SetIconList(TCustomImageList* value) {
  iconList_ = value;
  iconSource_ = {};
  if (value) FreeNotification(value);
  SetIconIndex(0);
}

void TTrayIcon::SetCycleIcons(bool value) {
  cycleIcons_ = value;
  if (value) {
    SetIconIndex(0);
    cycleTimer_->SetInterval(static_cast<int>(cycleInterval_));
    cycleTimer_->SetEnabled(true);
  } else {
    cycleTimer_->SetEnabled(false);
  }
}

void TTrayIcon::SetCycleInterval(DWORD value) {
  if (value == cycleInterval_) return;
  cycleInterval_ = value;
  SetCycleIcons(cycleIcons_);
}

void TTrayIcon::SetHint(const std::string& value) {
  // The overview sets the tip every second; the shell hears of a new one.
  if (value == hint_) return;
  hint_ = value;
  // A new tip alone leaves the shell's picture as it is, so the shell need
  // not make it anew.
  Notify(NIM_MODIFY, !iconChanged_);
}

void TTrayIcon::SetShowHint(bool value) {
  showHint_ = value;
  ModifyIcon();
}

void TTrayIcon::SetIcon(TIcon* value) {
  icon_->OnChange = nullptr;
  try {
    icon_->Assign(value);
  } catch (const Exception&) {
    // Out of icon handles: the previous icon stays.
  }
  icon_->OnChange = [this](TObject*) { IconChanged(); };
  iconSource_ = {};
  iconChanged_ = true;
  ModifyIcon();
}

void TTrayIcon::SetIconVisible(bool value) {
  if (value)
    ShowIcon();
  else
    HideIcon();
}

void TTrayIcon::SetIconIndex(int value) {
  if (iconList_) {
    int count = iconList_->Count();
    value = std::max(0, std::min(value, count - 1));
    iconIndex_ = value;
    // An empty list has no image to show; the icon stays as it is.
    if (value < count) {
      const TIconSource source{iconList_, value, iconList_->Changes()};
      // The picture shown is that image already: nothing to make or tell.
      if (source == iconSource_ && icon_->HandleAllocated()) return;
      icon_->OnChange = nullptr;
      try {
        iconList_->GetIcon(value, icon_.get());
        iconSource_ = source;
      } catch (const Exception&) {
        iconSource_ = {};
      }
      icon_->OnChange = [this](TObject*) { IconChanged(); };
      iconChanged_ = true;
    }
  } else {
    iconIndex_ = 0;
  }
  ModifyIcon();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* value) {
  popupMenu_ = value;
  if (value) FreeNotification(value);
}

void TTrayIcon::SetWantEnterExitEvents(bool value) {
  wantEnterExit_ = value;
  exitTimer_->SetEnabled(value);
}

void TTrayIcon::SetShellBehavior(TTrayShellBehavior value) {
  shellBehavior_ = value;
  data_.uVersion = value == tsbVersion5 ? NOTIFYICON_VERSION : 0;
  Notify(NIM_SETVERSION, true);  // the version alone; the picture stays
}

void TTrayIcon::IconChanged() {
  iconSource_ = {};
  iconChanged_ = true;
  ModifyIcon();
}

// --- the shell ----------------------------------------------------------------------

bool TTrayIcon::PrepareData() {
  if (Designing() && !previewing_ && !designPreview_) return false;
  data_.hIcon = icon_->Handle();
  if (!hint_.empty() && showHint_)
    CopyText(data_.szTip, hint_);
  else
    std::memset(data_.szTip, 0, sizeof data_.szTip);
  return true;
}

bool TTrayIcon::Notify(DWORD message, bool withoutIcon) {
  // A form being read tells the shell its final state once, in Loaded (before
  // the start-up handler): each message with the picture has the shell copy
  // the icon's bitmaps.
  if (ComponentState().Contains(csLoading)) return false;
  if (!PrepareData()) return false;
  const UINT flags = data_.uFlags;
  if (withoutIcon) data_.uFlags &= ~NIF_ICON;
  const bool carriesIcon = (data_.uFlags & NIF_ICON) != 0;
  const bool done = shellInUse->NotifyIcon(message, data_);
  data_.uFlags = flags;
  if (message == NIM_DELETE) iconChanged_ = true;
  else if (done && carriesIcon && message != NIM_SETVERSION) iconChanged_ = false;
  if (message == NIM_DELETE) inShell_ = false;
  else if (done && message == NIM_ADD) inShell_ = true;
  return done;
}

bool TTrayIcon::LoadDefaultIcon() { return true; }

bool TTrayIcon::ShowIcon() {
  if (!previewing_) iconVisible_ = true;
  if (Designing() && !previewing_) return false;
  return Notify(NIM_ADD);
}

bool TTrayIcon::HideIcon() {
  if (!previewing_) iconVisible_ = false;
  if (Designing() && !previewing_) return false;
  return Notify(NIM_DELETE);
}

bool TTrayIcon::ModifyIcon() { return Notify(NIM_MODIFY); }

void TTrayIcon::HideBalloonHint() {
  data_.uFlags |= NIF_INFO;
  std::memset(data_.szInfo, 0, sizeof data_.szInfo);
  ModifyIcon();
  data_.uFlags = kIconFlags;  // later notifications carry no balloon
}

bool TTrayIcon::ShowBalloonHint(const std::string& Title, const std::string& Text, TBalloonIconKind IconType,
                                BYTE TimeoutSecs) {
  static constexpr DWORD kInfoFlags[] = {NIIF_NONE, NIIF_INFO, NIIF_WARNING, NIIF_ERROR};
  HideBalloonHint();
  data_.uFlags |= NIF_INFO;
  CopyText(data_.szInfo, Text);
  CopyText(data_.szInfoTitle, Title);
  data_.uTimeout = TimeoutSecs * 1000u;
  data_.dwInfoFlags = IconType >= biNone && IconType <= biError ? kInfoFlags[IconType] : NIIF_NONE;
  bool shown = ModifyIcon();
  data_.uFlags = kIconFlags;
  return shown;
}

// --- notifications ----------------------------------------------------------------

void TTrayIcon::HandleNotification(LPARAM event) {
  const std::pair<LPARAM, TNotifyEvent TTrayIcon::*> balloonEvents[] = {
      {kNinBalloonShow, &TTrayIcon::OnBalloonHintShow},
      {kNinBalloonHide, &TTrayIcon::OnBalloonHintHide},
      {kNinBalloonTimeout, &TTrayIcon::OnBalloonHintTimeout},
      {kNinBalloonUserClick, &TTrayIcon::OnBalloonHintClick}};
  for (const auto& [code, member] : balloonEvents) {
    if (event != code) continue;
    if (this->*member) (this->*member)(this);
    return;
  }
  if (!enabled_) return;

  TTrayIconShell& shell = *shellInUse;
  POINT at{};
  shell.CursorPos(at);
  TShiftState shift;
  if (shell.KeyDown(VK_SHIFT)) shift.Include(ssShift);
  if (shell.KeyDown(VK_CONTROL)) shift.Include(ssCtrl);
  if (shell.KeyDown(VK_MENU)) shift.Include(ssAlt);
  TShiftState left = shift + ssLeft, right = shift + ssRight, middle = shift + ssMiddle;

  switch (event) {
    case WM_MOUSEMOVE:
      HandleMouseMove(shift, at.x, at.y);
      break;
    case WM_LBUTTONDOWN:
      HandleLeftDown(left, at.x, at.y);
      break;
    case WM_LBUTTONUP:
      HandleLeftUp(left, at.x, at.y);
      break;
    case WM_LBUTTONDBLCLK:
      HandleDoubleClick();
      break;
    case WM_RBUTTONDOWN:
      HandleRightDown(right, at.x, at.y);
      break;
    case WM_RBUTTONUP:
      if (shellBehavior_ == tsbClassic) MouseUp(mbRight, right, at.x, at.y);
      break;
    case WM_CONTEXTMENU:
    case kNinSelect:
    case kNinKeySelect:
      if (shellBehavior_ == tsbVersion5) MouseUp(mbRight, right, at.x, at.y);
      break;
    case WM_MBUTTONDOWN:
      MouseDown(mbMiddle, middle, at.x, at.y);
      break;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, middle, at.x, at.y);
      break;
  }
}

void TTrayIcon::HandleMouseMove(TShiftState shift, int x, int y) {
  if (wantEnterExit_ && didExit_) {
    MouseEnter();
    didExit_ = false;
  }
  MouseMove(shift, x, y);
  lastMove_ = {x, y};
}

void TTrayIcon::HandleLeftDown(TShiftState shift, int x, int y) {
  // With a double-click handler a click waits to see whether a second one
  // follows.
  if (OnDblClick) {
    clickTimer_->SetInterval(static_cast<int>(shellInUse->DoubleClickTime()));
    clickTimer_->SetEnabled(true);
  }
  MouseDown(mbLeft, shift, x, y);
  clickStarted_ = true;
  if (leftPopup_ && popupMenu_ && popupMenu_->AutoPopup()) {
    SetForegroundWindow(data_.hWnd);
    PopupAtCursor();
  }
}

void TTrayIcon::HandleLeftUp(TShiftState shift, int x, int y) {
  if (clickStarted_) {
    clickReady_ = true;
    if (!clickTimer_->Enabled()) {
      clickStarted_ = clickReady_ = false;
      Click();
    }
  }
  clickStarted_ = false;
  MouseUp(mbLeft, shift, x, y);
}

void TTrayIcon::HandleDoubleClick() {
  clickReady_ = false;
  dblClickSeen_ = true;
  DblClick();
  if (!popupMenu_ || !popupMenu_->AutoPopup() || leftPopup_) return;
  TMenuItem* items = popupMenu_->Items();
  TMenuItem* defaultItem = nullptr;
  for (int i = items->Count() - 1; i >= 0; --i)
    if (items->Items(i)->Default()) defaultItem = items->Items(i);
  if (defaultItem) defaultItem->Click();
}

void TTrayIcon::HandleRightDown(TShiftState shift, int x, int y) {
  MouseDown(mbRight, shift, x, y);
  if (popupMenu_ && popupMenu_->AutoPopup()) {
    SetForegroundWindow(data_.hWnd);
    PopupAtCursor();
  }
}

void TTrayIcon::ClickTimerTick() {
  clickTimer_->SetEnabled(false);
  // The button-up is used up here, so a later press held past the
  // double-click time is not taken for another click.
  bool click = clickReady_ && !dblClickSeen_;
  clickReady_ = false;
  dblClickSeen_ = false;
  if (click) Click();
}

void TTrayIcon::ExitTimerTick() {
  if (didExit_) return;
  POINT at;
  if (!shellInUse->CursorPos(at)) return;
  if (at.x != lastMove_.x || at.y != lastMove_.y) {
    didExit_ = true;
    MouseExit();
  }
}

void TTrayIcon::CycleTimerTick() {
  if (!iconList_ || iconList_->Count() == 0) return;
  try {
    iconList_->GetIcon(std::min(iconIndex_, iconList_->Count() - 1), icon_.get());
  } catch (const Exception&) {
  }
  CycleIcon();
  SetIconIndex(iconIndex_ < iconList_->Count() - 1 ? iconIndex_ + 1 : 0);
}

void TTrayIcon::PopupAtCursor() {
  POINT at;
  if (!shellInUse->CursorPos(at) || !popupMenu_) return;
  SetForegroundWindow(data_.hWnd);
  if (Application) Application->ProcessMessages();
  if (!popupMenu_) return;  // gone while the queue was emptied
  popupMenu_->SetPopupComponent(this);
  popupMenu_->Popup(at.x, at.y);
  // Lets the menu close properly when the user clicks elsewhere.
  TWinControl* owner = OwnerControl();
  if (owner && owner->HandleAllocated()) PostMessageA(owner->Handle(), WM_NULL, 0, 0);
}

// --- event dispatchers ------------------------------------------------------------------

void TTrayIcon::Click() {
  if (OnClick) OnClick(this);
}

void TTrayIcon::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TTrayIcon::CycleIcon() {
  if (!OnCycle || !iconList_) return;
  OnCycle(this, iconIndex_ < iconList_->Count() - 1 ? iconIndex_ + 1 : 0);
}

void TTrayIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TTrayIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TTrayIcon::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TTrayIcon::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TTrayIcon::MouseExit() {
  if (OnMouseExit) OnMouseExit(this);
}

void TTrayIcon::DoMinimizeToTray() {
  HideMainForm();
  SetIconVisible(true);
}

// --- the main form ------------------------------------------------------------------------

void TTrayIcon::HideTaskbarButton() {
  if (!Application) return;
  HWND window = Application->Handle();
  if (IsWindowVisible(window)) ShowWindow(window, SW_HIDE);
}

void TTrayIcon::HideMainForm() {
  TCustomForm* main = MainForm();
  if (!OwnerControl() || !main) return;
  main->SetVisible(false);
  HideTaskbarButton();
}

void TTrayIcon::ShowMainForm() {
  TCustomForm* main = MainForm();
  if (!OwnerControl() || !main) return;
  Application->Restore();
  if (main->WindowState() == wsMinimized) main->SetWindowState(wsNormal);
  main->SetVisible(true);
  SetForegroundWindow(Application->Handle());
}

bool TTrayIcon::ApplicationHook(TMessage& Message) {
  TCustomForm* main = MainForm();
  switch (Message.Msg) {
    case WM_SIZE:
      if (Message.WParam == SIZE_MINIMIZED && minimizeToTray_) DoMinimizeToTray();
      break;
    case WM_WINDOWPOSCHANGED:
      if (mdiCheckPending_ && main) {
        if (main->FormStyle() == fsMDIForm && OnStartup) {
          bool show = true;
          OnStartup(this, show);
          if (!show) HideTaskbarButton();
        }
        mdiCheckPending_ = false;
      }
      break;
    case WM_SYSCOMMAND:
      if ((Message.WParam & 0xFFF0) == SC_RESTORE && main) {
        if (main->WindowState() == wsMinimized) main->SetWindowState(wsNormal);
        main->SetVisible(true);
      }
      break;
  }
  // The taskbar restarted: the icon has to be added anew.
  if (Message.Msg != 0 && Message.Msg == TaskbarCreatedMessage() && iconVisible_) ShowIcon();
  return false;
}

bool TTrayIcon::MinimizeInstead(TMessage& Message) {
  if (!minimizeToTray_ || !OnMinimizeToTray) return false;
  OnMinimizeToTray(this);
  DoMinimizeToTray();
  Message.Result = 1;
  return true;
}

bool TTrayIcon::OwnerHook(TMessage& Message) {
  if (Message.Msg == WM_SHOWWINDOW) {
    if (Message.WParam && Message.LParam == 0) {
      if (Application) SetForegroundWindow(Application->Handle());
      SetForegroundWindow(hookedOwner_->Handle());
      return false;
    }
    if (!Message.WParam && Message.LParam == SW_PARENTCLOSING && !(Application && Application->Terminated()))
      return MinimizeInstead(Message);
  } else if (Message.Msg == WM_SYSCOMMAND && (Message.WParam & 0xFFF0) == SC_MINIMIZE) {
    return MinimizeInstead(Message);
  }
  return false;
}

// --- life cycle ------------------------------------------------------------------------------

void TTrayIcon::Loaded() {
  TComponent::Loaded();
  // The shell heard nothing while the form was read: an icon read visible
  // goes in now, once, with its final state, so that the start-up handler
  // finds it there (a balloon of its own, say).
  if (iconVisible_) ShowIcon();
  if (OwnerControl() && !Designing() && OnStartup) {
    bool show = true;
    OnStartup(this, show);
    if (!show) {
      if (Application) Application->SetShowMainForm(false);
      HideMainForm();
    }
  }
  // What the handler left, without a picture the shell has already.
  if (inShell_) Notify(NIM_MODIFY, !iconChanged_);
  // An icon in the shell already is not added a second time.
  if (!iconVisible_ || !inShell_) SetIconVisible(iconVisible_);
  SetCycleIcons(cycleIcons_);
  SetWantEnterExitEvents(wantEnterExit_);
  SetShellBehavior(shellBehavior_);
}

void TTrayIcon::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == iconList_) SetIconList(nullptr);
  if (component == popupMenu_) popupMenu_ = nullptr;
}

}  // namespace components
