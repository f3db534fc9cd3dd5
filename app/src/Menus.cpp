// The help menu behind the information button, the tray icon's menu,
// minimizing and closing to the tray, the help file, and the language switch
// with every text of the main window it sets.
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "AboutForm.h"
#include "CkLabel.h"
#include "CkListVw.h"
#include "CkRadChk.h"
#include "FormBinding.h"
#include "Formulas.h"
#include "MainForm.h"
#include "TrayIcon.h"
#include "VeeButton.h"
#include "VeeSysTools.h"
#include "VozEverAvizi.h"
#include "engineclient/EngineClient.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"

using namespace gui;
using namespace components;

namespace orvane {

namespace {

constexpr char kHelpFile[] = "Help.chm";
constexpr char kDefaultLanguage[] = "Default";
constexpr char kLanguageItemName[] = "mniHMLanguage";
// How often a close that waits for a modal loop looks again.
constexpr UINT kCloseRetryMs = 50;
constexpr UINT_PTR kCloseRetryTimer = 1;

using TCaptions = std::initializer_list<std::pair<TControl*, const std::string*>>;
using TButtonCaptions = std::initializer_list<std::pair<TVeeButton*, const std::string*>>;
using TMenuCaptions = std::initializer_list<std::pair<TMenuItem*, const std::string*>>;

void SetCaptions(TCaptions captions) {
  for (const auto& [control, text] : captions) control->SetCaption(*text);
}
void SetCaptions(TButtonCaptions captions) {
  for (const auto& [button, text] : captions) button->SetCaption(*text);
}
void SetCaptions(TMenuCaptions captions) {
  for (const auto& [item, text] : captions) item->SetCaption(*text);
}

// Where the configuration keeps the language index.
struct TLanguageSetting {
  TBStr Section{"PROGRAM_OPTION"}, Key{"LANGUAGE"};
};

// A message box of this thread answered as its safest button would be:
// cancel, else no, else OK. A modal loop that is ended must not say yes.
BOOL CALLBACK AnswerBoxSafely(HWND window, LPARAM) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof(name));
  if (std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
  for (int id : {IDCANCEL, IDNO, IDOK}) {
    if (HWND button = GetDlgItem(window, id)) {
      PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
      break;
    }
  }
  return TRUE;
}

// Asks every modal window and message box open now to end; true when one was.
bool EndModalLoops() {
  bool open = OpenMessageBoxes() > 0;
  if (open) EnumThreadWindows(GetCurrentThreadId(), &AnswerBoxSafely, 0);
  for (TCustomForm* form : Application->Forms()) {
    if (!form->Modal()) continue;
    form->SetModalResult(mrCancel);
    open = true;
  }
  return open;
}

}  // namespace

void TMainForm::DefineMenus(TClassBuilder<TMainForm>& c) {
  c.Handler("btnInfoClick", &TMainForm::btnInfoClick);
  c.Handler("btnMinClick", &TMainForm::btnMinClick);
  c.Handler("mniHMHelpContentClick", &TMainForm::mniHMHelpContentClick);
  c.Handler("mniHMAboutClick", &TMainForm::mniHMAboutClick);
  c.Handler("mniTIAboutClick", &TMainForm::mniTIAboutClick);
  c.Handler("mniHMOnlineResourcesClick", &TMainForm::mniHMOnlineResourcesClick);
  c.Handler("mniHMContractTechnicalSupportClick", &TMainForm::mniHMContractTechnicalSupportClick);
  c.Handler("mniTICloseClick", &TMainForm::mniTICloseClick);
}

void TMainForm::BindMenus() {
  Bind(*this, mniHMHelpContent, "mniHMHelpContent");
  Bind(*this, mniHMAbout, "mniHMAbout");
  Bind(*this, mniHMLanguages, "mniHMLanguages");
  Bind(*this, mniHMOnlineResources, "mniHMOnlineResources");
  Bind(*this, mniHMContractTechnicalSupport, "mniHMContractTechnicalSupport");
  Bind(*this, mniTIShowHide, "mniTIShowHide");
  Bind(*this, mniTIFreeMemroy, "mniTIFreeMemroy");
  Bind(*this, mniTIInformation, "mniTIInformation");
  Bind(*this, mniTIAbout, "mniTIAbout");
  Bind(*this, mniTIClose, "mniTIClose");
  // A close that waited for a modal loop looks again on this timer.
  SetMessageHandler(WM_TIMER, [this](TMessage& m) {
    if (m.WParam != kCloseRetryTimer) return DefaultHandler(m);
    KillTimer(Handle(), kCloseRetryTimer);
    CloseWhenNoModalLoop();
  });
}

// --- texts ------------------------------------------------------------------------------

void TMainForm::ApplyLanguage() {
  LANG_MAIN_CAPTION = LANG_MAIN_CAPTION_FULL;
  Application->SetTitle(LANG_MAIN_CAPTION);
  SetCaption(LANG_MAIN_CAPTION);
  lblMainTitle->SetCaption(LANG_MAIN_CAPTION);
  btnHelp->SetHint(LANG_COMMON_HELP);
  btnMin->SetHint(LANG_COMMON_MINIMIZE);
  btnInfo->SetHint(LANG_COMMON_INFO);
  btnClose->SetHint(LANG_COMMON_CLOSE);
  SetCaptions(TButtonCaptions{{btnTabMG, &LANG_TABBUTTON_MG},
                              {btnTabMA, &LANG_TABBUTTON_MA},
                              {btnTabST, &LANG_TABBUTTON_ST},
                              {btnTabPM, &LANG_TABBUTTON_PM},
                              {btnTabCS, &LANG_TABBUTTON_CS},
                              {btnFreeUp, &LANG_COMMON_FREE},
                              {btnDefrag, &LANG_COMMON_COMPRESS}});
  btnFreeUp->SetHint(LANG_HINT_FASTFREE);
  btnDefrag->SetHint(LANG_HINT_DEEPCOMPRESS);
  cklblCompressing->SetCaption(LANG_COMMON_COMPRESSING);
  PlaceActionCaptions();

  SetCaptions(TMenuCaptions{{mniHMHelpContent, &LANG_MENU_POPMNUHELPMENU_ITEM_HELP},
                            {mniHMAbout, &LANG_MENU_POPMNUHELPMENU_ITEM_ABOUT},
                            {mniHMLanguages, &LANG_MENU_POPMNUHELPMENU_ITEM_LANGUAGES},
                            {mniHMOnlineResources, &LANG_MENU_POPMNUHELPMENU_ITEM_WWW},
                            {mniHMContractTechnicalSupport, &LANG_MENU_POPMNUHELPMENU_ITEM_EMAIL},
                            {mniTIShowHide, &LANG_MENU_POPMNUTITRAYMENU_ITEM_SHOWHIDE},
                            {mniTIFreeMemroy, &LANG_MENU_POPMNUTITRAYMENU_ITEM_FREEMEMORY},
                            {mniTIInformation, &LANG_MENU_POPMNUTITRAYMENU_ITEM_INFORMATION},
                            {mniTIAbout, &LANG_MENU_POPMNUTITRAYMENU_ITEM_ABOUT},
                            {mniTIClose, &LANG_MENU_POPMNUTITRAYMENU_ITEM_CLOSE}});

  // General optimizer page.
  SetCaptions(TCaptions{{ckchkMGAutoFree, &LANG_CTL_SK_CHK_MOAUTOFREE},
                        {cklblMGAutoFreeTimer, &LANG_CTL_LBLMOAUTOFREETIMER},
                        {ckchkMGWhiteList, &LANG_RL_WHITELIST},
                        {ckchkMGAutoList, &LANG_RL_SMARTLIST},
                        {ckchkMGBlackList, &LANG_RL_BLACKLIST},
                        {ckchkMGIdleList, &LANG_RL_IDLELIST},
                        {cklblMGListEditor, &LANG_CTL_LBLMOAUTOFREERULES},
                        {ckchkMGAutoDefrag, &LANG_CTL_SK_CHK_MOAUTOCOMPRESS},
                        {cklblMGMonitorInterval, &LANG_CTL_LBLMOAUTOCOMPRESSTIMER},
                        {cklblMGLowValue, &LANG_CTL_LBLMOAUTOCOMPRESSALARM},
                        {cklblMGDefragSize, &LANG_CTL_LBLMOAUTOCOMPRESSEXPECTATION},
                        {ckchkMGCPUProtection, &LANG_CTL_LBLMOCPUPROTECTION}});
  mniOpenList->SetCaption(LANG_MENU_POPMNUOPENLIST);
  SetCaptions(TButtonCaptions{{btnMGDefault, &LANG_COMMON_RECOMMEND}, {btnMGSave, &LANG_COMMON_SAVE}});

  // Advanced optimizer page.
  SetCaptions(TCaptions{{ckchkMACPUAdjustment, &LANG_CTL_SK_CHK_SOSMARTCPU},
                        {cklblMACPUAdjustmentRange, &LANG_CTL_LBLSOSMARTCPURANGE},
                        {ckchkMASmartAnalyzer, &LANG_CTL_SK_CHK_SOSMARTLEARNING},
                        {cklblMASmartAnalyzerTimer, &LANG_CTL_LBLSOSMARTLEARNINGTIMER},
                        {cklblMASmartAnalyzerAttention, &LANG_CTL_LBLSOSMARTLEARNINGRECORD},
                        {cklblMASmartAnalyzerPeriod, &LANG_CTL_LBLSOSMARTLEARNINGPERIOD}});
  SetCaptions(TButtonCaptions{{btnMADefault, &LANG_COMMON_RECOMMEND}, {btnMASave, &LANG_COMMON_SAVE}});

  // System settings page: each check box's caption and hint, the three labels.
  const std::pair<TControl*, std::pair<const std::string*, const std::string*>> systemBoxes[] = {
      {ckchkSTAdditionalWorkerThreads,
       {&LANG_CTL_SK_CHK_STADDITIONALWORKERTHREADS, &LANG_HINT_ADDITIONALWORKERTHREADS}},
      {ckchkSTNtfsOptimization, {&LANG_CTL_SK_CHK_STNTFSOPTIMIZATION, &LANG_HINT_NTFSOPTIMIZATION}},
      {ckchkSTLargeSystemCache, {&LANG_CTL_SK_CHK_STLARGESYSTEMCACHE, &LANG_HINT_LARGESYSTEMCACHE}},
      {ckchkSTDisablePagingExecutive,
       {&LANG_CTL_SK_CHK_STDISABLEPAGINGEXECUTIVE, &LANG_HINT_DISABLEPAGINGEXECUTIVE}}};
  for (const auto& [box, texts] : systemBoxes) {
    box->SetCaption(*texts.first);
    box->SetHint(*texts.second);
  }
  SetCaptions(TCaptions{{cklblSTVisualFXSetting, &LANG_CTL_LBLSTVISUALFXSETTING},
                        {cklblSTWin32PrioritySeparation, &LANG_CTL_LBLSTWIN32PRIORITYSEPARATION},
                        {cklblSTMaxCachedIcons, &LANG_CTL_LBLSTMAXCACHEDICONS}});
  SetCaptions(TButtonCaptions{{btnSTDefault, &LANG_COMMON_RECOMMEND}, {btnSTSave, &LANG_COMMON_SAVE}});

  // Process manager page; rows keep their priority words until they change.
  cklblPMProcessList->SetCaption(LANG_CTL_CKLBLPMPROCESSLIST);
  const std::string* columns[] = {&LANG_CTL_SK_LV_PROCESS_COL_NAME, &LANG_CTL_SK_LV_PROCESS_COL_PID,
                                  &LANG_CTL_SK_LV_PROCESS_COL_MEMORY, &LANG_CTL_SK_LV_PROCESS_COL_PRIORITY};
  for (int i = 0; i < cklvProcess->Columns()->Count() && i < 4; ++i)
    cklvProcess->Columns()->Items(i)->SetCaption(*columns[i]);
  SetCaptions(TButtonCaptions{{btnPMKill, &LANG_CTL_BTNPMTERMINATE}, {btnPMFreeUp, &LANG_CTL_BTNPMFREE}});
  SetCaptions(TMenuCaptions{{mniPMFree, &LANG_MENU_POPMNUPMLISTMENU_ITEM_FREE},
                            {mniPMTerminate, &LANG_MENU_POPMNUPMLISTMENU_ITEM_TERMINATE},
                            {mniPMPriority, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY},
                            {mniPMPriorityRealtime, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_REALTIME},
                            {mniPMPriorityHigh, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_HIGH},
                            {mniPMPriorityAboveNormal, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_ABOVENORMAL},
                            {mniPMPriorityNormal, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_NORMAL},
                            {mniPMPriorityBelowNormal, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_BELOWNORMAL},
                            {mniPMPriorityLow, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_LOW}});

  // Configuration page.
  SetCaptions(TCaptions{{ckchkCSAutorun, &LANG_CTL_SK_CHK_CAUTORUN},
                        {ckchkCSShowTrayIcon, &LANG_CTL_SK_CHK_CSHOWTRAYICON},
                        {ckrbCSMinToTray, &LANG_CTL_SK_RB_CMINIMIZETOTRAY},
                        {ckrbCSCloseToTray, &LANG_CTL_SK_RB_CCLOSETOTRAY},
                        {cklblCSUpdatingInterval, &LANG_CTL_LBLCMEMORYGRAPHINTERVAL},
                        {ckchkCSHotKey, &LANG_CTL_SK_CHK_CFREEMEMORYNOWHOTKEY},
                        {cklblCSHotKeyResult, &LANG_CTL_CKLBLCSHOTKEYRESULT}});
  SetCaptions(TButtonCaptions{{btnCSDefault, &LANG_COMMON_RECOMMEND}, {btnCSSave, &LANG_COMMON_SAVE}});
}

std::string TMainForm::StoredLanguage() {
  TLanguageSetting setting;
  TBStr stored;
  OleCheck(Quillon->config()->get_ConfigItem(setting.Section, setting.Key, stored.Out()));
  return stored.Text();
}

void TMainForm::StoreLanguage(int index) {
  TLanguageSetting setting;
  OleCheck(Quillon->config()->put_ConfigItem(setting.Section, setting.Key, TBStr(std::to_string(index))));
}

// --- the help menu ----------------------------------------------------------------------

int TMainForm::BuildLanguageMenu() {
  mniHMLanguages->Clear();
  mniHMLanguages->SetVisible(false);
  // One entry is no choice: the stored index is then neither read nor written.
  if (LangFileList.size() <= 1) return 0;
  mniHMLanguages->SetVisible(true);
  int added = 0;
  for (std::size_t i = 0; i < LangFileList.size(); ++i) {
    const LANG_FILE& file = LangFileList[i];
    if (file.IsPlaceholder() && i != 0) continue;
    auto item = std::make_unique<TMenuItem>(this);
    item->SetName(kLanguageItemName + std::to_string(added));
    item->SetCaption(file.IsPlaceholder() ? std::string(kDefaultLanguage) : file.Name);
    item->SetRadioItem(true);
    item->OnClick = [this](TObject* Sender) { mniHMLanguageMenuSelect(Sender); };
    mniHMLanguages->Add(item.release());
    ++added;
  }
  const int index = LanguageIndexFromText(StoredLanguage(), added);
  StoreLanguage(index);
  for (int i = 0; i < added; ++i) mniHMLanguages->Items(i)->SetChecked(i == index);
  return added;
}

void TMainForm::btnInfoClick(TObject*) {
  BuildLanguageMenu();
  POINT cursor{};
  GetCursorPos(&cursor);
  popmnuHelpMenu->Popup(cursor.x, cursor.y);
}

void TMainForm::mniHMHelpContentClick(TObject*) { ShellOpen(GetProgramFolder() + kHelpFile); }

void TMainForm::mniHMAboutClick(TObject*) { ShowAbout(); }

void TMainForm::mniTIAboutClick(TObject*) { ShowAbout(); }

void TMainForm::ShowAbout() {
  // Asked for again while it is shown (from the tray during its modal loop):
  // the one window comes forward, no second loop starts inside the first.
  if (AboutForm->Visible()) {
    AboutForm->BringToFront();
    SetForegroundWindow(AboutForm->Handle());
    return;
  }
  AboutForm->ShowModal();
}

void TMainForm::mniHMOnlineResourcesClick(TObject*) { ShellOpen(LANG_MAIN_HOMEPAGE); }

void TMainForm::mniHMContractTechnicalSupportClick(TObject*) { ShellOpen("mailto:" + LANG_MAIN_EMAIL); }

void TMainForm::mniHMLanguageMenuSelect(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item || item->Checked()) return;
  const int index = item->MenuIndex();
  // A language that fails to load leaves the texts as they were; the
  // switch still goes on and is stored.
  LoadLanguage(index);
  ShowLanguageAndPages();
  AboutForm->ApplyLanguage();
  StoreLanguage(index);
}

void TMainForm::ShowLanguageAndPages() {
  ApplyLanguage();
  RefreshOverview();
  LoadGeneralPage();
  LoadAdvancedPage();
  LoadSystemPage();
  UpdateProcessList();
  LoadConfigurationPage();
}

// --- the tray and the window's title buttons --------------------------------------------

void TMainForm::btnMinClick(TObject*) {
  if (MinimizeToTrayOn)
    tiTrayIcon->HideMainForm();
  else
    Application->Minimize();
}

void TMainForm::mniTICloseClick(TObject*) {
  CloseToTrayOn = false;
  CloseWhenNoModalLoop();
}

void TMainForm::CloseWhenNoModalLoop() {
  // Closing under an open modal window or box would return into a window
  // already closed and an engine already let go: end the loops first and
  // close once they are gone.
  if (EndModalLoops()) {
    SetTimer(Handle(), kCloseRetryTimer, kCloseRetryMs, nullptr);
    return;
  }
  Close();
}

}  // namespace orvane
