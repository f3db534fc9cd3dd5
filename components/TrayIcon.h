// TTrayIcon: one icon in the notification area, with its tip, balloon tips,
// a cycle through the images of an image list, mouse events, a popup menu,
// re-adding after the taskbar restarts, and hiding the main form into the
// notification area. All tray icons of the process share one hidden window
// that receives the shell's notifications. GUI thread only.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Events.h"
#include "gui/Messages.h"
#include "SharedUtilityWindow.h"

namespace gui {
class TCustomImageList;
class TIcon;
class TPopupMenu;
class TWinControl;
}  // namespace gui

namespace components {

class TSimpleTimer;

enum TTrayShellBehavior { tsbClassic, tsbVersion5 };
enum TBalloonIconKind { biNone, biInfo, biWarning, biError };

using TCycleEvent = std::function<void(gui::TObject* Sender, int NextIndex)>;
using TStartupEvent = std::function<void(gui::TObject* Sender, bool& ShowMainForm)>;

// The message the shell sends the handler window for every tray icon event.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 0x400;

// The system calls behind tray icons. The notification area is not there on
// every system, so tests put their own in place.
class TTrayIconShell {
 public:
  virtual ~TTrayIconShell() = default;
  virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAA& data);
  virtual bool CursorPos(POINT& point);
  virtual bool KeyDown(int key);  // the key is down now
  virtual UINT DoubleClickTime();
};
// The shell every tray icon uses from now on; null puts the system's back.
void SetTrayIconShell(TTrayIconShell* shell);

class TTrayIcon : public gui::TComponent {
  GUI_CLASS(TTrayIcon, gui::TComponent)

 public:
  explicit TTrayIcon(gui::TComponent* owner);
  ~TTrayIcon() override;

  // Shows the icon at design time.
  bool DesignPreview() const { return designPreview_; }
  void SetDesignPreview(bool value);
  // Setting it shows its first image.
  gui::TCustomImageList* IconList() const { return iconList_; }
  void SetIconList(gui::TCustomImageList* value);
  bool CycleIcons() const { return cycleIcons_; }
  void SetCycleIcons(bool value);
  DWORD CycleInterval() const { return cycleInterval_; }
  void SetCycleInterval(DWORD value);
  // Off: no mouse events and no menu (balloon events still come).
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  // The tip; the shell shows at most 127 characters.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  gui::TIcon* Icon() const { return icon_.get(); }
  // Copies the icon.
  void SetIcon(gui::TIcon* value);
  bool IconVisible() const { return iconVisible_; }
  void SetIconVisible(bool value);
  // The image of IconList shown; kept inside the list. Forms may give it
  // before the list.
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int value);
  gui::TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(gui::TPopupMenu* value);
  // The menu also pops up on the left button.
  bool LeftPopup() const { return leftPopup_; }
  void SetLeftPopup(bool value) { leftPopup_ = value; }
  bool WantEnterExitEvents() const { return wantEnterExit_; }
  void SetWantEnterExitEvents(bool value);
  bool MinimizeToTray() const { return minimizeToTray_; }
  void SetMinimizeToTray(bool value) { minimizeToTray_ = value; }
  TTrayShellBehavior ShellBehavior() const { return shellBehavior_; }
  void SetShellBehavior(TTrayShellBehavior value);

  // Add, delete or update the icon in the notification area; the result is
  // the shell's.
  virtual bool LoadDefaultIcon();
  virtual bool ShowIcon();
  virtual bool HideIcon();
  virtual bool ModifyIcon();

  // Title at most 63 characters, text at most 255.
  bool ShowBalloonHint(const std::string& Title, const std::string& Text, TBalloonIconKind IconType,
                       BYTE TimeoutSecs);
  void HideBalloonHint();
  void ShowMainForm();
  void HideMainForm();
  void HideTaskbarButton();
  void PopupAtCursor();

  // The identifier the shell knows the icon by (uID).
  UINT Id() const { return data_.uID; }

  gui::TNotifyEvent OnClick;
  gui::TNotifyEvent OnDblClick;
  gui::TMouseEvent OnMouseDown;  // X, Y in screen coordinates
  gui::TMouseEvent OnMouseUp;
  gui::TMouseMoveEvent OnMouseMove;
  gui::TNotifyEvent OnMouseEnter;
  gui::TNotifyEvent OnMouseExit;
  TCycleEvent OnCycle;
  gui::TNotifyEvent OnBalloonHintShow;
  gui::TNotifyEvent OnBalloonHintHide;
  gui::TNotifyEvent OnBalloonHintTimeout;
  gui::TNotifyEvent OnBalloonHintClick;
  gui::TNotifyEvent OnMinimizeToTray;
  TStartupEvent OnStartup;

 protected:
  void Loaded() override;
  void Notification(gui::TComponent* component, gui::TOperation operation) override;

  virtual void Click();
  virtual void DblClick();
  virtual void CycleIcon();
  virtual void MouseDown(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  virtual void MouseUp(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  virtual void MouseMove(gui::TShiftState Shift, int X, int Y);
  virtual void MouseEnter();
  virtual void MouseExit();
  virtual void DoMinimizeToTray();

 private:
  friend class TTrayIconHandler;
  bool Designing() const;
  // `withoutIcon`: the shell keeps the picture it has.
  bool Notify(DWORD message, bool withoutIcon = false);
  bool PrepareData();
  void HandleNotification(LPARAM event);
  void HandleLeftDown(gui::TShiftState shift, int x, int y);
  void HandleLeftUp(gui::TShiftState shift, int x, int y);
  void HandleDoubleClick();
  void HandleRightDown(gui::TShiftState shift, int x, int y);
  void HandleMouseMove(gui::TShiftState shift, int x, int y);
  void ClickTimerTick();
  void ExitTimerTick();
  void CycleTimerTick();
  void IconChanged();
  bool ApplicationHook(gui::TMessage& Message);
  bool OwnerHook(gui::TMessage& Message);
  bool MinimizeInstead(gui::TMessage& Message);
  gui::TWinControl* OwnerControl() const;

  NOTIFYICONDATAA data_{};
  bool designPreview_ = false;
  gui::TCustomImageList* iconList_ = nullptr;
  bool cycleIcons_ = false;
  DWORD cycleInterval_ = 0;
  bool enabled_ = true;
  std::string hint_;
  bool showHint_ = true;
  std::unique_ptr<gui::TIcon> icon_;
  // The list image icon_ was made from (none when set otherwise), and
  // whether the shell has yet to get icon_'s picture.
  struct TIconSource {
    const gui::TCustomImageList* List = nullptr;
    int Index = 0;
    std::uint64_t Changes = 0;
    bool operator==(const TIconSource&) const = default;
  };
  TIconSource iconSource_;
  bool iconChanged_ = true;
  bool inShell_ = false;  // added and not deleted since
  bool iconVisible_ = false;
  int iconIndex_ = 0;
  gui::TPopupMenu* popupMenu_ = nullptr;
  bool leftPopup_ = false;
  bool wantEnterExit_ = false;
  bool minimizeToTray_ = false;
  TTrayShellBehavior shellBehavior_ = tsbClassic;

  std::unique_ptr<TSimpleTimer> cycleTimer_, clickTimer_, exitTimer_;
  bool clickStarted_ = false;
  bool clickReady_ = false;
  bool dblClickSeen_ = false;
  bool didExit_ = true;
  POINT lastMove_{};
  bool previewing_ = false;
  bool mdiCheckPending_ = true;
  int appHookId_ = 0;
  gui::TWinControl* hookedOwner_ = nullptr;
  int ownerHookId_ = 0;
};

// The hidden window every tray icon's notifications arrive at.
class TTrayIconHandler : public TSharedUtilityWindow {
 public:
  // The process's handler, or null while no tray icon exists.
  static TTrayIconHandler* Instance() { return TSharedHandler<TTrayIconHandler>::Instance(); }

 protected:
  void WndProc(gui::TMessage& Message) override;

 private:
  friend class TTrayIcon;
  friend class TSharedHandler<TTrayIconHandler>;
  TTrayIconHandler() = default;
  TTrayIcon* Find(WPARAM id) const;

  std::vector<TTrayIcon*> icons_;
  UINT nextId_ = 1;
};

}  // namespace components
