// Forms, the application object, the screen, the hint window and the
// program's parameters.
//
// A form class reads its form resource when it is made through
// Application->CreateForm or CreateForm<T>(owner); `new` alone makes an
// empty form (handy for forms built in code).
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/Controls.h"
#include "kit/Own.h"

namespace gui {

class TActionList;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = Set<TBorderIcon>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
  GUI_CLASS(TCustomForm, TWinControl)

 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // Reads the form resource of the class and then runs OnCreate (whose
  // exceptions go to the application's handler). CreateForm calls it.
  void AfterConstruction();

  // A change recreates the window.
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons value);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState value);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  // Forms are never scaled; kept so form resources may say so.
  bool Scaled() const { return false; }
  void SetScaled(bool) {}

  // The control that has (or gets, when the form is activated) the focus.
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  TWinControl* FocusedControl() const { return focusedControl_; }
  // Moves the focus (the form's record of it) to control; false when the
  // form is being destroyed.
  bool SetFocusedControl(TWinControl* control);
  void FocusControl(TWinControl* control);
  bool Active() const { return active_; }

  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  // Shows the form modally: the other forms are disabled until the form
  // gets a modal result or the application terminates (mrCancel then).
  TModalResult ShowModal();
  bool Modal() const { return modal_; }

  void SetVisible(bool value) override;
  // Shows the form and brings it to the front.
  void Show();
  // Shows the form without taking the activation from the window that has
  // it (a splash, a notice): hiding it later has nothing to hand back.
  void ShowInactive();
  void Close();
  // Asks OnCloseQuery; true when the form may close.
  virtual bool CloseQuery();
  // Frees the form once the messages now queued are handled.
  void Release();

  // Changes of the window's style bits that also hold when the window is
  // made anew.
  void EditStyle(DWORD clear, DWORD set);
  void EditExStyle(DWORD clear, DWORD set);

  // A handler for one message of this form, run before the form's own
  // handling; it answers the message itself (DefaultHandler passes it to the
  // window's default procedure).
  using TMessageHandler = std::function<void(TMessage& Message)>;
  void SetMessageHandler(UINT msg, TMessageHandler handler);

  // A key that runs an action of one of the form's action lists.
  bool IsShortCut(WORD key, TShiftState shift);

  TCanvas* Canvas();

  void WndProc(TMessage& Message) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseQueryEvent OnCloseQuery;
  TCloseEvent OnClose;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void PaintWindow(HDC dc) override;
  virtual void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  void Loaded() override;

 private:
  // The showing half of SetVisible with the given ShowWindow command.
  void ShowAs(int command);
  friend class TApplication;
  friend class TControl;
  friend class TWinControl;
  void PlaceOnFirstShow();
  // After a modal showing: the window that was active before it, else the
  // main form, is active again with its focused control.
  void GiveActivationBack(HWND before);
  void CloseModal();
  void ControlGone(TControl* control);
  void SetWindowFocus();
  // Message handlers (see WndProc).
  void WMActivate(TMessage& Message);
  void WMActivateApp(TMessage& Message);
  void WMSize(TMessage& Message);
  void WMSysCommand(TMessage& Message);
  void CMDialogKey(TMessage& Message);

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  bool keyPreview_ = false;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  bool active_ = false;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool placed_ = false;
  DWORD styleClear_ = 0, styleSet_ = 0, exStyleClear_ = 0, exStyleSet_ = 0;
  std::map<UINT, TMessageHandler> handlers_;
  std::unique_ptr<TControlCanvas> canvas_;
};

class TForm : public TCustomForm {
  GUI_CLASS(TForm, TCustomForm)

 public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// Makes a form of class T and reads its form resource.
template <class T>
T* CreateForm(TComponent* owner) {
  std::unique_ptr<T> form(new T(owner));
  form->AfterConstruction();
  return form.release();
}

// The window that shows hints: a borderless popup in the hint colour.
class THintWindow : public TCustomControl {
  GUI_CLASS(THintWindow, TCustomControl)

 public:
  explicit THintWindow(TComponent* owner);
  // The screen rectangle (at 0, 0) the hint needs, lines broken at maxWidth.
  virtual TRect CalcHintRect(int maxWidth, const std::string& hint);
  // Shows the hint in rect (screen coordinates) without taking the focus.
  virtual void ActivateHint(TRect rect, const std::string& hint);
  void ReleaseHandle();
  bool IsHintShowing();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;
};

class TApplication : public TComponent {
  GUI_CLASS(TApplication, TComponent)

 public:
  TApplication();
  ~TApplication() override;

  // Single-threaded COM for the GUI thread, GDI+ and the common controls.
  void Initialize();
  // Makes a form of class T owned by the application, reference first (so
  // the form's OnCreate may use it); the first form made is the main form.
  template <class T>
  void CreateForm(T*& reference) {
    T* form = new T(this);
    reference = form;
    auto undo = kit::OnExit([&] {
      reference = nullptr;
      delete form;
    });
    form->AfterConstruction();
    undo.Dismiss();
    if (!mainForm_) mainForm_ = form;
  }
  // Shows the main form (unless ShowMainForm is off) and handles messages
  // until Terminate.
  void Run();
  // Frees the forms and every other component the application owns, as its
  // destructor would. A program calls it before it returns: freed later, from
  // the static that holds the application, forms would still use statics
  // already gone.
  void FreeForms();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles every message waiting now.
  void ProcessMessages();
  // Handles one message, waiting for it when none is queued.
  void HandleMessage();
  void Minimize();
  void Restore();

  // The hidden window that owns the taskbar button and the forms.
  HWND Handle();
  TCustomForm* MainForm() const { return mainForm_; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value);
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool value) { showMainForm_ = value; }
  // Whether one of the program's windows is the foreground window.
  bool Active() const { return active_; }
  std::string ExeName() const;

  // Hooks on the application window's messages (see TWinControl::AddWindowHook).
  int HookMainWindow(TWinControl::TWindowHook hook) { return hooks_.Add(std::move(hook)); }
  void UnhookMainWindow(int id) { hooks_.Remove(id); }
  // The application window's procedure: the hooks, then its own handling.
  void WndProc(TMessage& Message);

  // Hints of controls (ShowHint and Hint set) show after HintPause ms of
  // rest and hide after HintHidePause ms.
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor value) { hintColor_ = value; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  int HintPause = 500;
  int HintHidePause = 2500;
  void CancelHint();
  // The control whose hint shows now, or null.
  TControl* HintControl() const { return hintControl_; }
  THintWindow* HintWindow() const { return hintWindow_; }

  // Call from inside a catch block: OnException when assigned, else a
  // message box with the exception's message. The program goes on.
  void HandleException(TObject* Sender);
  void ShowException(const std::string& message);
  std::function<void(TObject* Sender, const std::exception& E)> OnException;

  // A message box owned by the active form; returns the answer (IDOK, ...).
  int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);

  // Every message the loop takes, before anything else handles it.
  std::function<void(MSG& Msg, bool& Handled)> OnMessage;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // The control the mouse is over (CM_MOUSEENTER / CM_MOUSELEAVE follow it).
  TControl* MouseControl() const { return mouseControl_; }
  void UpdateMouseControl(TControl* control);
  // The control left the program (its notifications must stop).
  void ControlDestroyed(TControl* control);
  // Every form that exists, in creation order.
  const std::vector<TCustomForm*>& Forms() const { return forms_; }

 private:
  friend class TCustomForm;
  friend class TControl;
  void SetActive(bool active);
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  bool ProcessMessage(MSG& msg);
  bool IsKeyMsg(MSG& msg);
  void HintMouseMessage(TControl* control, TMessage& Message);
  void HintTimerExpired();
  void ShowHintFor(TControl* control);
  void WMActivateApp(TMessage& Message);
  void WMSysCommand(TMessage& Message);
  void WMClose(TMessage& Message);
  void WMQueryEndSession(TMessage& Message);
  void WMTimer(TMessage& Message);
  void DefaultHandler(TMessage& Message);

  HWND handle_ = nullptr;
  TCustomForm* mainForm_ = nullptr;
  std::vector<TCustomForm*> forms_;
  std::string title_;
  bool terminated_ = false;
  bool showMainForm_ = true;
  bool active_ = false;
  std::optional<kit::Apartment> apartment_;
  ULONG_PTR gdiplusToken_ = 0;
  TWindowHooks hooks_;
  TColor hintColor_ = clInfoBk;
  bool showHint_ = true;
  TControl* hintControl_ = nullptr;   // shown now
  TControl* hintPending_ = nullptr;   // waiting for the pause
  THintWindow* hintWindow_ = nullptr;
  TControl* mouseControl_ = nullptr;
};

extern TApplication* Application;

class TScreen : public TComponent {
  GUI_CLASS(TScreen, TComponent)

 public:
  TScreen() : TComponent(nullptr) {}
  // The cursor shown over every window of the program; crDefault lets each
  // control show its own.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  // The system cursor of a named cursor.
  HCURSOR Cursors(TCursor cursor) const;
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  TRect WorkAreaRect() const;
  // The form that is active now, or null.
  TCustomForm* ActiveForm() const;

 private:
  TCursor cursor_ = crDefault;
};

extern TScreen* Screen;

// The program's command line: ParamStr(0) is the program, 1.. the
// parameters as the system splits them.
int ParamCount();
std::string ParamStr(int index);

}  // namespace gui
