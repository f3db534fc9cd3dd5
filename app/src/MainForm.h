// TMainForm: the program's main window. One class, its implementation split
// by what the user sees: the window and its start-up (MainForm.cpp), the
// overview with free and compress (Overview.cpp), and one file per page and
// for the menus beside them. The form resource (forms/MainForm.form) holds
// every component; its field in TMainFormComponents (written from the form,
// MainForm.form.h) is bound to it by name in Loaded.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "MainForm.form.h"
#include "SeenOnly.h"
#include "gui/ComObj.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Messages.h"
#include "gui/StdCtrls.h"

namespace gui {
class TListItem;
}  // namespace gui
struct IMOProcessItem;

namespace components {
class TTabPanel;
}  // namespace components

namespace orvane {

// OLE booleans as the engine's settings carry them.
inline VARIANT_BOOL OleBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }
inline bool IsTrue(VARIANT_BOOL value) { return value != VARIANT_FALSE; }

class TMainForm : public gui::TForm, public TMainFormComponents {
  GUI_CLASS(TMainForm, gui::TForm)

 public:
  explicit TMainForm(gui::TComponent* owner);
  ~TMainForm() override;

  // --- state (read by the pages and menus) ---------------------------------
  bool CanDeepCompress = false;   // a deep compress may start (the five-minute lock is off)
  bool CpuProtectionOn = false;   // copy of the engine's IsCPUProtection
  bool MinimizeToTrayOn = false;  // copy of IsMinimizeToTray
  bool CloseToTrayOn = false;     // copy of IsCloseToTray
  DWORD RegisteredHotKey = 0;     // the free-memory hot key as last loaded or registered
  std::unique_ptr<components::TTabPanel> Tabs;  // from the first showing to the close

  // --- process manager page (PageProcess.cpp) ---------------------------------
  void FillProcessList();
  void UpdateProcessList();
  void ClearProcessList();
  void tmrProcessListTimer(gui::TObject* Sender);
  void OnMOProcessNew(gui::TObject* Sender, unsigned long Index, unsigned long ProcessID);
  void OnMOProcessExit(gui::TObject* Sender, unsigned long Index, unsigned long ProcessID);
  void cklvProcessSelectItem(gui::TObject* Sender, gui::TListItem* Item, bool Selected);
  void cklvProcessMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  void btnPMFreeUpClick(gui::TObject* Sender);
  void mniPMFreeClick(gui::TObject* Sender);
  void btnPMKillClick(gui::TObject* Sender);
  void mniPMTerminateClick(gui::TObject* Sender);
  void SetProcessPriority(int Priority);
  void mniPMPriorityRealtimeClick(gui::TObject* Sender);
  void mniPMPriorityHighClick(gui::TObject* Sender);
  void mniPMPriorityAboveNormalClick(gui::TObject* Sender);
  void mniPMPriorityNormalClick(gui::TObject* Sender);
  void mniPMPriorityBelowNormalClick(gui::TObject* Sender);
  void mniPMPriorityLowClick(gui::TObject* Sender);

  // --- system settings page (PageSystem.cpp) ----------------------------------
  void LoadSystemPage();
  void ckchkSTAdditionalWorkerThreadsClick(gui::TObject* Sender);
  void ckchkSTNtfsOptimizationClick(gui::TObject* Sender);
  void ckchkSTLargeSystemCacheClick(gui::TObject* Sender);
  void ckchkSTDisablePagingExecutiveClick(gui::TObject* Sender);
  void cktbSTVisualFXSettingChange(gui::TObject* Sender);
  void cktbSTWin32PrioritySeparationChange(gui::TObject* Sender);
  void cktbSTMaxCachedIconsChange(gui::TObject* Sender);
  void btnSTDefaultClick(gui::TObject* Sender);
  void btnSTSaveClick(gui::TObject* Sender);

  // --- configuration page (PageConfig.cpp) ------------------------------------
  void LoadConfigurationPage();
  void cktbCSUpdatingIntervalChange(gui::TObject* Sender);
  void ckchkCSAutorunClick(gui::TObject* Sender);
  void ckchkCSShowTrayIconClick(gui::TObject* Sender);
  void ckrbCSMinToTrayClick(gui::TObject* Sender);
  void ckrbCSCloseToTrayClick(gui::TObject* Sender);
  void ckchkCSHotKeyClick(gui::TObject* Sender);
  void hkCSFreeUpChange(gui::TObject* Sender);
  void btnCSDefaultClick(gui::TObject* Sender);
  void btnCSSaveClick(gui::TObject* Sender);

  // --- window and start-up (MainForm.cpp) ----------------------------------
  void FormCreate(gui::TObject* Sender);
  void FormShow(gui::TObject* Sender);
  void FormCloseQuery(gui::TObject* Sender, bool& CanClose);
  void FormClose(gui::TObject* Sender, gui::TCloseAction& Action);
  void OnFormSysCommand(gui::TMessage& Message);
  void OnFormQueryEndSession(gui::TMessage& Message);
  void lblMainTitleMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  void btnCloseClick(gui::TObject* Sender);
  void btnTabMGClick(gui::TObject* Sender);
  void btnTabMAClick(gui::TObject* Sender);
  void btnTabSTClick(gui::TObject* Sender);
  void btnTabPMClick(gui::TObject* Sender);
  void btnTabCSClick(gui::TObject* Sender);
  void btnTabMGMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  void btnTabMAMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  void btnTabSTMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  void btnTabPMMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  void btnTabCSMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  // A press that ends off its button selects nothing: the text goes back.
  void btnTabMouseUp(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  // The tray menu's default item: hides the window into the notification
  // area, or shows it (its first showing loads the pages).
  void mniTIShowHideClick(gui::TObject* Sender);

  // False when the engine cannot be had; the program is then ending.
  bool ConnectEngine();
  void LoadLanguageSetting();
  // The settings anew, and the free-memory hot key when it is switched on.
  void LoadConfigAndHotKey();
  void LayoutPages();
  void CreateTabs();
  static void TabChanged(components::TTabPanel* Sender, void* Data);

  // --- menus, tray and language (Menus.cpp) ----------------------------------
  // Every text of the main window and its pages from the language strings.
  void ApplyLanguage();
  // Fills the languages submenu from the language files; the items added.
  int BuildLanguageMenu();
  void btnInfoClick(gui::TObject* Sender);
  void btnMinClick(gui::TObject* Sender);
  void mniHMHelpContentClick(gui::TObject* Sender);
  void mniHMAboutClick(gui::TObject* Sender);
  void mniTIAboutClick(gui::TObject* Sender);
  void mniHMOnlineResourcesClick(gui::TObject* Sender);
  void mniHMContractTechnicalSupportClick(gui::TObject* Sender);
  void mniHMLanguageMenuSelect(gui::TObject* Sender);
  void mniTICloseClick(gui::TObject* Sender);

  // --- overview, free and compress (Overview.cpp) ---------------------------
  void RefreshOverview();
  void tmrOverviewTimer(gui::TObject* Sender);
  void btnFreeUpClick(gui::TObject* Sender);
  void mniTIFreeMemroyClick(gui::TObject* Sender);
  void hkmMainHotKeyPressed(DWORD HotKey, WORD Index);
  void btnDefragClick(gui::TObject* Sender);
  void StartDeepCompress();
  void tmrWait5MinTimer(gui::TObject* Sender);
  void OnMOFastFreeProgress(gui::TObject* Sender, unsigned char ProgressValue);
  void OnMODeepCompressProgress(gui::TObject* Sender, unsigned char ProgressValue);
  void mniTIInformationClick(gui::TObject* Sender);
  // Centres the free and compress captions under their discs, whatever the
  // language and font; run after those captions change.
  void PlaceActionCaptions();

  // --- general and advanced optimizer pages (PageOptimizer.cpp) ------------
  // Each re-reads the settings file and shows it; what a control moves on
  // the way is written back to the engine by its own handler.
  void LoadGeneralPage();
  void LoadAdvancedPage();
  void ckchkMGAutoFreeClick(gui::TObject* Sender);
  void cktbMGAutoFreeTimerChange(gui::TObject* Sender);
  void ckchkMGWhiteListClick(gui::TObject* Sender);
  void ckchkMGAutoListClick(gui::TObject* Sender);
  void ckchkMGBlackListClick(gui::TObject* Sender);
  void ckchkMGIdleListClick(gui::TObject* Sender);
  void ckchkMGWhiteListMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  void ckchkMGAutoListMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  void ckchkMGBlackListMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  void ckchkMGIdleListMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  void mniOpenListClick(gui::TObject* Sender);
  void ckchkMGAutoDefragClick(gui::TObject* Sender);
  void cktbMGMonitorIntervalChange(gui::TObject* Sender);
  void cktbMGLowValueChange(gui::TObject* Sender);
  void cktbMGDefragSizeChange(gui::TObject* Sender);
  void ckchkMGCPUProtectionClick(gui::TObject* Sender);
  void cktbMGCPUProtectionChange(gui::TObject* Sender);
  void btnMGDefaultClick(gui::TObject* Sender);
  void btnMGSaveClick(gui::TObject* Sender);
  void ckchkMASmartAnalyzerClick(gui::TObject* Sender);
  void cktbMASmartAnalyzerTimerChange(gui::TObject* Sender);
  void cktbMASmartAnalyzerAttentionChange(gui::TObject* Sender);
  void cktbMASmartAnalyzerPeriodChange(gui::TObject* Sender);
  void ckchkMACPUAdjustmentClick(gui::TObject* Sender);
  void cktbMACPUAdjustmentRangeChange(gui::TObject* Sender);
  void btnMADefaultClick(gui::TObject* Sender);
  void btnMASaveClick(gui::TObject* Sender);

  // The engine's events change nothing once the window closes.
  bool Closing() const { return closing_; }

 protected:
  void Loaded() override;

 private:
  // From the window's creation on: a close that waits for a modal loop
  // looks again on a timer.
  void WatchCloseRetries();
  // The language's texts, the overview and every page anew, in that order:
  // at the first showing and at each language switch.
  void ShowLanguageAndPages();
  // The about window, or the one already shown brought to the front.
  void ShowAbout();
  // Closes the program once no modal window or message box is open.
  void CloseWhenNoModalLoop();
  // The configuration's stored language index, as text and written back.
  std::string StoredLanguage();
  void StoreLanguage(int index);
  void FastFree();
  void SelectTab(gui::TObject* button);
  // The text of a tab button at its resting place, or shifted left as the
  // selected and pressed pictures show it.
  void PlaceTabText(gui::TObject* button, bool shifted);

  // What a process row showed last; each row's Data points at its own.
  struct TProcessRowData {
    DWORD ProcessID = 0;
    std::uint64_t ProcessMemory = 0;
    int ProcessPriority = 0;  // _MO_PROCESS_PRIORIT
  };
  void AddProcessRow(IMOProcessItem& item);
  gui::TListItem* FindProcessRow(DWORD processId) const;
  // The engine's item for the selected row, when it is one the user may act
  // on and the engine still lists it.
  gui::TComPtr<IMOProcessItem> SelectedProcessItem();
  void TerminateSelectedProcess();
  void ShowProcessCount();
  // The engine's process refresh; false when it failed.
  bool RefreshProcessEngine();
  // The rows' memory and priority texts and the count, from the engine's
  // last refresh.
  void ShowProcessRows();
  // What only paints and was held back while unseen, before it shows again.
  void CatchUpUnseen();
  void ShowVisualEffects();
  void ShowPrioritySeparation();
  void ShowMaxCachedIcons();
  void ShowUpdatingInterval();
  void SaveAutorunEntry(bool autorun);
  void ApplyHotKey();

  bool closing_ = false;
  bool loadingHotKeyBox_ = false;    // the configuration page's load sets the hot-key box
  DWORD closeAskedAt_ = 0;           // when the tray's close began to wait
  bool overviewErrorShown_ = false;  // a failed refresh's box is open
  std::vector<std::unique_ptr<TProcessRowData>> processRows_;  // the rows' records
  TSeenOnly overviewView_;     // the overview strip, seen with the window
  TSeenOnly processRowsView_;  // the process rows, seen with their page
  // Each tab button's text position as the form resource gives it.
  std::array<int, 5> tabTextX_{};
};

extern TMainForm* MainForm;

}  // namespace orvane
