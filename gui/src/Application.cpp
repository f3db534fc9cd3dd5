// TApplication, TScreen, the program's parameters, hidden utility windows
// and the message box and beep seams.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <gdiplus.h>

#include "ControlsInternal.h"
#include "gui/Dialogs.h"
#include "gui/Forms.h"
#include "kit/Own.h"

namespace gui {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;
const char kAppClass[] = "TApplication";
const char kUtilClass[] = "TGuiUtilWindow";

// The program's application and screen live from start to exit.
struct Globals {
  Globals() {
    Application = new TApplication();
    Screen = new TScreen();
  }
  ~Globals() {
    delete Application;
    Application = nullptr;
    delete Screen;
    Screen = nullptr;
  }
};
Globals globals;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

std::string ModuleFileName() {
  char path[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
  return std::string(path, n);
}

// The window is marked (user data 1) once it belongs to the application;
// the messages of its creation get the default handling.
LRESULT CALLBACK AppWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!Application || GetWindowLongPtrA(window, GWLP_USERDATA) != 1)
    return DefWindowProcA(window, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  detail::Guarded(Application, [&] { Application->WndProc(m); });
  return m.Result;
}

TMessageBoxHook& BoxHook() {
  static auto* hook = new TMessageBoxHook;
  return *hook;
}

std::function<void()>& BeepHook() {
  static auto* hook = new std::function<void()>;
  return *hook;
}

}  // namespace

namespace detail {

void (*testChannelStarter)() = nullptr;

void InitCommonControlsOnce() {
  static bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

}  // namespace detail

// --- dialogs ----------------------------------------------------------------------

namespace {
int openBoxes = 0;
}  // namespace

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  ++openBoxes;
  auto closed = kit::OnExit([] { --openBoxes; });
  if (BoxHook()) return BoxHook()(owner, text, caption, flags);
  return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

int OpenMessageBoxes() { return openBoxes; }

void ShowMessage(const std::string& text) {
  if (Application)
    Application->ShowMessageBox(text, Application->Title(), MB_OK);
  else
    ShowMessageBox(nullptr, text, "", MB_OK);
}

void SetMessageBoxHook(TMessageBoxHook hook) { BoxHook() = std::move(hook); }

void Beep() {
  if (BeepHook())
    BeepHook()();
  else
    MessageBeep(MB_OK);
}

void SetBeepHook(std::function<void()> hook) { BeepHook() = std::move(hook); }

// --- utility windows ----------------------------------------------------------------

namespace {

LRESULT CALLBACK UtilWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!method) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  detail::Guarded(nullptr, [&] { (*method)(m); });
  return m.Result;
}

}  // namespace

HWND AllocateHWnd(TWndMethod proc) {
  static bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &UtilWindowProc;
    wc.hInstance = Instance();
    wc.lpszClassName = kUtilClass;
    return RegisterClassExA(&wc) != 0;
  }();
  if (!registered) throw Exception("Cannot register the utility window class");
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, Instance(),
                                nullptr);
  if (!window) throw Exception("Cannot create a utility window");
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(std::move(proc))));
  return window;
}

void DeallocateHWnd(HWND window) {
  if (!window || !IsWindow(window)) return;
  auto* method = reinterpret_cast<TWndMethod*>(SetWindowLongPtrA(window, GWLP_USERDATA, 0));
  DestroyWindow(window);
  delete method;
}

// --- parameters ---------------------------------------------------------------------

namespace {

// The command line split as the system's own start-up code splits it.
std::vector<std::string> SplitCommandLine(const char* line) {
  std::vector<std::string> args;
  const char* p = line ? line : "";
  // The program's name: up to the next blank, quotes grouping.
  bool quoted = false;
  while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
    if (*p == '"') quoted = !quoted;
    ++p;
  }
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) break;
    std::string arg;
    quoted = false;
    while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
      if (*p == '\\') {
        int slashes = 0;
        while (*p == '\\') {
          ++slashes;
          ++p;
        }
        if (*p == '"') {
          arg.append(static_cast<std::size_t>(slashes / 2), '\\');
          if (slashes % 2) {
            arg += '"';
            ++p;
          }
        } else {
          arg.append(static_cast<std::size_t>(slashes), '\\');
        }
        continue;
      }
      if (*p == '"') {
        if (quoted && p[1] == '"') {
          arg += '"';
          p += 2;
          continue;
        }
        quoted = !quoted;
        ++p;
        continue;
      }
      arg += *p++;
    }
    args.push_back(arg);
  }
  return args;
}

}  // namespace

int ParamCount() { return static_cast<int>(SplitCommandLine(GetCommandLineA()).size()); }

std::string ParamStr(int index) {
  if (index == 0) return ModuleFileName();
  auto args = SplitCommandLine(GetCommandLineA());
  if (index < 0 || index > static_cast<int>(args.size())) return "";
  return args[static_cast<std::size_t>(index - 1)];
}

// --- TApplication -------------------------------------------------------------------

GUI_DEFINE_CLASS(TApplication) {}

TApplication::TApplication() : TComponent(nullptr) {
  std::string name = ModuleFileName();
  std::size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name = name.substr(0, dot);
  title_ = name;
}

TApplication::~TApplication() {
  Destroying();
  FreeForms();
  if (handle_) {
    HWND window = handle_;
    handle_ = nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
  }
  if (gdiplusToken_) Gdiplus::GdiplusShutdown(gdiplusToken_);
  apartment_.reset();  // COM goes last
}

void TApplication::FreeForms() {
  CancelHint();
  DestroyComponents();
  hintWindow_ = nullptr;
}

void TApplication::Initialize() {
  if (!apartment_ || FAILED(apartment_->Result())) apartment_.emplace();
  detail::InitCommonControlsOnce();
  if (!gdiplusToken_) {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr) != Gdiplus::Ok) gdiplusToken_ = 0;
  }
  if (detail::testChannelStarter) detail::testChannelStarter();
}

HWND TApplication::Handle() {
  if (handle_ || ComponentState().Contains(csDestroying)) return handle_;
  static bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &AppWindowProc;
    wc.hInstance = Instance();
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.lpszClassName = kAppClass;
    return RegisterClassExA(&wc) != 0;
  }();
  if (!registered) throw Exception("Cannot register the application window class");
  handle_ = CreateWindowExA(0, kAppClass, title_.c_str(), WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS, 0,
                            0, 0, 0, nullptr, nullptr, Instance(), nullptr);
  if (!handle_) throw Exception("Cannot create the application window");
  SetWindowLongPtrA(handle_, GWLP_USERDATA, 1);
  return handle_;
}

void TApplication::SetTitle(const std::string& value) {
  title_ = value;
  if (handle_) SetWindowTextA(handle_, value.c_str());
}

std::string TApplication::ExeName() const { return ModuleFileName(); }

void TApplication::AddForm(TCustomForm* form) { forms_.push_back(form); }

void TApplication::RemoveForm(TCustomForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (mainForm_ == form) mainForm_ = nullptr;
}

void TApplication::Run() {
  if (mainForm_ && showMainForm_) {
    if (mainForm_->WindowState() == wsMinimized)
      Minimize();
    else
      mainForm_->Show();
  }
  while (!terminated_) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg) && !terminated_) WaitMessage();
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  bool handled = false;
  if (OnMessage) detail::Guarded(this, [&] { OnMessage(msg, handled); });
  if (handled) return true;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
      CancelHint();
      break;
  }
  if (IsKeyMsg(msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return true;
}

bool TApplication::IsKeyMsg(MSG& msg) {
  UINT message = msg.message;
  if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN && message != WM_KEYUP && message != WM_SYSKEYUP &&
      message != WM_CHAR && message != WM_SYSCHAR)
    return false;
  TWinControl* control = FindControl(msg.hwnd);
  if (!control) return false;
  LRESULT taken = 0;
  detail::Guarded(control, [&] { taken = control->Perform(CN_BASE + message, msg.wParam, msg.lParam); });
  return taken != 0;
}

void TApplication::Minimize() {
  HWND window = Handle();
  if (IsIconic(window)) return;
  ShowOwnedPopups(window, FALSE);
  ShowWindow(window, SW_MINIMIZE);
}

void TApplication::Restore() {
  HWND window = Handle();
  if (!IsIconic(window)) return;
  ShowWindow(window, SW_RESTORE);
  ShowOwnedPopups(window, TRUE);
  if (mainForm_ && mainForm_->HandleAllocated() && IsWindowVisible(mainForm_->Handle()))
    SetActiveWindow(mainForm_->Handle());
}

void TApplication::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (!active) CancelHint();
  TNotifyEvent& event = active ? OnActivate : OnDeactivate;
  if (event) event(this);
}

void TApplication::WndProc(TMessage& m) {
  if (hooks_.Run(m)) return;
  switch (m.Msg) {
    case WM_ACTIVATEAPP: WMActivateApp(m); return;
    case WM_SYSCOMMAND: WMSysCommand(m); return;
    case WM_CLOSE: WMClose(m); return;
    case WM_QUERYENDSESSION: WMQueryEndSession(m); return;
    case WM_TIMER: WMTimer(m); return;
  }
  DefaultHandler(m);
}

void TApplication::DefaultHandler(TMessage& m) { m.Result = DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam); }

void TApplication::WMActivateApp(TMessage& m) {
  SetActive(m.WParam != 0);
  DefaultHandler(m);
}

// The taskbar button minimizes and restores the program as a whole.
void TApplication::WMSysCommand(TMessage& m) {
  if ((m.WParam & 0xFFF0) == SC_MINIMIZE)
    Minimize();
  else if ((m.WParam & 0xFFF0) == SC_RESTORE)
    Restore();
  else
    DefaultHandler(m);
}

void TApplication::WMClose(TMessage&) {
  if (mainForm_) mainForm_->Close();
}

void TApplication::WMQueryEndSession(TMessage& m) { m.Result = 1; }

void TApplication::WMTimer(TMessage& m) {
  if (m.WParam == kHintShowTimer)
    HintTimerExpired();
  else if (m.WParam == kHintHideTimer)
    CancelHint();
  else
    DefaultHandler(m);
}

// --- exceptions, message boxes --------------------------------------------------

void TApplication::HandleException(TObject* sender) {
  std::string message;
  try {
    throw;
  } catch (const std::exception& e) {
    if (OnException) {
      try {
        OnException(sender, e);
        return;
      } catch (const std::exception& again) {
        message = again.what();
      } catch (...) {
        message = "Unknown exception";
      }
    } else {
      message = e.what();
    }
  } catch (...) {
    message = "Unknown exception";
  }
  ShowException(message);
}

void TApplication::ShowException(const std::string& message) {
  ShowMessageBox(message, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::ShowMessageBox(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = GetActiveWindow();
  if (!owner && mainForm_ && mainForm_->HandleAllocated()) owner = mainForm_->Handle();
  return gui::ShowMessageBox(owner, text, caption, flags);
}

// --- mouse tracking, hints -------------------------------------------------------

void TApplication::UpdateMouseControl(TControl* control) {
  if (control == mouseControl_) return;
  TControl* old = mouseControl_;
  mouseControl_ = control;
  if (!control) CancelHint();
  if (old) old->Perform(CM_MOUSELEAVE);
  if (control && control == mouseControl_) control->Perform(CM_MOUSEENTER);
}

void TApplication::ControlDestroyed(TControl* control) {
  if (mouseControl_ == control) mouseControl_ = nullptr;
  if (hintControl_ == control || hintPending_ == control) CancelHint();
  if (hintWindow_ == control) hintWindow_ = nullptr;
}

void TApplication::SetShowHint(bool value) {
  showHint_ = value;
  if (!value) CancelHint();
}

void TApplication::CancelHint() {
  if (handle_) {
    KillTimer(handle_, kHintShowTimer);
    KillTimer(handle_, kHintHideTimer);
  }
  hintPending_ = nullptr;
  if (hintControl_) {
    hintControl_ = nullptr;
    if (hintWindow_) hintWindow_->ReleaseHandle();
  }
}

void TApplication::HintMouseMessage(TControl* control, TMessage& m) {
  if (m.Msg != WM_MOUSEMOVE) {
    CancelHint();
    return;
  }
  if (control == hintControl_ || control == hintPending_) return;
  CancelHint();
  if (showHint_ && control->ShowHint() && !control->Hint().empty()) {
    hintPending_ = control;
    SetTimer(Handle(), kHintShowTimer, static_cast<UINT>(std::max(HintPause, 1)), nullptr);
  }
}

void TApplication::HintTimerExpired() {
  KillTimer(handle_, kHintShowTimer);
  TControl* control = hintPending_;
  hintPending_ = nullptr;
  if (control) ShowHintFor(control);
}

void TApplication::ShowHintFor(TControl* control) {
  if (!hintWindow_) hintWindow_ = new THintWindow(this);
  hintWindow_->SetColor(hintColor_);
  POINT cursor;
  GetCursorPos(&cursor);
  TRect r = hintWindow_->CalcHintRect(Screen ? Screen->Width() : 640, control->Hint());
  int below = GetSystemMetrics(SM_CYCURSOR) * 3 / 4;
  hintWindow_->ActivateHint(Bounds(cursor.x, cursor.y + below, r.Width(), r.Height()), control->Hint());
  hintControl_ = control;
  if (HintHidePause > 0) SetTimer(Handle(), kHintHideTimer, static_cast<UINT>(HintHidePause), nullptr);
}

// --- TScreen ---------------------------------------------------------------------

GUI_DEFINE_CLASS(TScreen) {}

void TScreen::SetCursor(TCursor value) {
  if (value == cursor_) return;
  cursor_ = value;
  if (value != crDefault) {
    ::SetCursor(Cursors(value));
  } else {
    POINT p;
    if (GetCursorPos(&p)) SetCursorPos(p.x, p.y);  // each window shows its own again
  }
}

HCURSOR TScreen::Cursors(TCursor cursor) const {
  LPCWSTR id = IDC_ARROW;
  switch (cursor) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
  }
  return LoadCursorW(nullptr, id);
}

TRect TScreen::WorkAreaRect() const {
  RECT r;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return Rect(0, 0, Width(), Height());
  return Rect(r.left, r.top, r.right, r.bottom);
}

TCustomForm* TScreen::ActiveForm() const { return dynamic_cast<TCustomForm*>(FindControl(GetActiveWindow())); }

}  // namespace gui
