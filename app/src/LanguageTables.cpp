#include "LanguageTables.h"

#include "VozEverAvizi.h"

using namespace components;

namespace orvane {

namespace {

namespace main_form {

using P = TMainFormComponents::Part;

// LANG_MAIN_CAPTION is given its full text first, and the application's
// title too (TMainForm::ApplyLanguage).
constexpr TLanguageText<P> kRows[] = {
    {P::MainForm, kCaption, &LANG_MAIN_CAPTION},
    {P::lblMainTitle, kCaption, &LANG_MAIN_CAPTION},
    {P::btnHelp, kHint, &LANG_COMMON_HELP},
    {P::btnMin, kHint, &LANG_COMMON_MINIMIZE},
    {P::btnInfo, kHint, &LANG_COMMON_INFO},
    {P::btnClose, kHint, &LANG_COMMON_CLOSE},
    {P::btnTabMG, kCaption, &LANG_TABBUTTON_MG},
    {P::btnTabMA, kCaption, &LANG_TABBUTTON_MA},
    {P::btnTabST, kCaption, &LANG_TABBUTTON_ST},
    {P::btnTabPM, kCaption, &LANG_TABBUTTON_PM},
    {P::btnTabCS, kCaption, &LANG_TABBUTTON_CS},
    {P::btnFreeUp, kCaption, &LANG_COMMON_FREE},
    {P::btnDefrag, kCaption, &LANG_COMMON_COMPRESS},
    {P::btnFreeUp, kHint, &LANG_HINT_FASTFREE},
    {P::btnDefrag, kHint, &LANG_HINT_DEEPCOMPRESS},
    {P::cklblCompressing, kCaption, &LANG_COMMON_COMPRESSING},

    // Help and tray menus.
    {P::mniHMHelpContent, kCaption, &LANG_MENU_POPMNUHELPMENU_ITEM_HELP},
    {P::mniHMAbout, kCaption, &LANG_MENU_POPMNUHELPMENU_ITEM_ABOUT},
    {P::mniHMLanguages, kCaption, &LANG_MENU_POPMNUHELPMENU_ITEM_LANGUAGES},
    {P::mniHMOnlineResources, kCaption, &LANG_MENU_POPMNUHELPMENU_ITEM_WWW},
    {P::mniHMContractTechnicalSupport, kCaption, &LANG_MENU_POPMNUHELPMENU_ITEM_EMAIL},
    {P::mniTIShowHide, kCaption, &LANG_MENU_POPMNUTITRAYMENU_ITEM_SHOWHIDE},
    {P::mniTIFreeMemroy, kCaption, &LANG_MENU_POPMNUTITRAYMENU_ITEM_FREEMEMORY},
    {P::mniTIInformation, kCaption, &LANG_MENU_POPMNUTITRAYMENU_ITEM_INFORMATION},
    {P::mniTIAbout, kCaption, &LANG_MENU_POPMNUTITRAYMENU_ITEM_ABOUT},
    {P::mniTIClose, kCaption, &LANG_MENU_POPMNUTITRAYMENU_ITEM_CLOSE},

    // General optimizer page.
    {P::ckchkMGAutoFree, kCaption, &LANG_CTL_SK_CHK_MOAUTOFREE},
    {P::cklblMGAutoFreeTimer, kCaption, &LANG_CTL_LBLMOAUTOFREETIMER},
    {P::ckchkMGWhiteList, kCaption, &LANG_RL_WHITELIST},
    {P::ckchkMGAutoList, kCaption, &LANG_RL_SMARTLIST},
    {P::ckchkMGBlackList, kCaption, &LANG_RL_BLACKLIST},
    {P::ckchkMGIdleList, kCaption, &LANG_RL_IDLELIST},
    {P::cklblMGListEditor, kCaption, &LANG_CTL_LBLMOAUTOFREERULES},
    {P::ckchkMGAutoDefrag, kCaption, &LANG_CTL_SK_CHK_MOAUTOCOMPRESS},
    {P::cklblMGMonitorInterval, kCaption, &LANG_CTL_LBLMOAUTOCOMPRESSTIMER},
    {P::cklblMGLowValue, kCaption, &LANG_CTL_LBLMOAUTOCOMPRESSALARM},
    {P::cklblMGDefragSize, kCaption, &LANG_CTL_LBLMOAUTOCOMPRESSEXPECTATION},
    {P::ckchkMGCPUProtection, kCaption, &LANG_CTL_LBLMOCPUPROTECTION},
    {P::mniOpenList, kCaption, &LANG_MENU_POPMNUOPENLIST},
    {P::btnMGDefault, kCaption, &LANG_COMMON_RECOMMEND},
    {P::btnMGSave, kCaption, &LANG_COMMON_SAVE},

    // Advanced optimizer page.
    {P::ckchkMACPUAdjustment, kCaption, &LANG_CTL_SK_CHK_SOSMARTCPU},
    {P::cklblMACPUAdjustmentRange, kCaption, &LANG_CTL_LBLSOSMARTCPURANGE},
    {P::ckchkMASmartAnalyzer, kCaption, &LANG_CTL_SK_CHK_SOSMARTLEARNING},
    {P::cklblMASmartAnalyzerTimer, kCaption, &LANG_CTL_LBLSOSMARTLEARNINGTIMER},
    {P::cklblMASmartAnalyzerAttention, kCaption, &LANG_CTL_LBLSOSMARTLEARNINGRECORD},
    {P::cklblMASmartAnalyzerPeriod, kCaption, &LANG_CTL_LBLSOSMARTLEARNINGPERIOD},
    {P::btnMADefault, kCaption, &LANG_COMMON_RECOMMEND},
    {P::btnMASave, kCaption, &LANG_COMMON_SAVE},

    // System settings page: each check box's caption and hint, the three labels.
    {P::ckchkSTAdditionalWorkerThreads, kCaption, &LANG_CTL_SK_CHK_STADDITIONALWORKERTHREADS},
    {P::ckchkSTAdditionalWorkerThreads, kHint, &LANG_HINT_ADDITIONALWORKERTHREADS},
    {P::ckchkSTNtfsOptimization, kCaption, &LANG_CTL_SK_CHK_STNTFSOPTIMIZATION},
    {P::ckchkSTNtfsOptimization, kHint, &LANG_HINT_NTFSOPTIMIZATION},
    {P::ckchkSTLargeSystemCache, kCaption, &LANG_CTL_SK_CHK_STLARGESYSTEMCACHE},
    {P::ckchkSTLargeSystemCache, kHint, &LANG_HINT_LARGESYSTEMCACHE},
    {P::ckchkSTDisablePagingExecutive, kCaption, &LANG_CTL_SK_CHK_STDISABLEPAGINGEXECUTIVE},
    {P::ckchkSTDisablePagingExecutive, kHint, &LANG_HINT_DISABLEPAGINGEXECUTIVE},
    {P::cklblSTVisualFXSetting, kCaption, &LANG_CTL_LBLSTVISUALFXSETTING},
    {P::cklblSTWin32PrioritySeparation, kCaption, &LANG_CTL_LBLSTWIN32PRIORITYSEPARATION},
    {P::cklblSTMaxCachedIcons, kCaption, &LANG_CTL_LBLSTMAXCACHEDICONS},
    {P::btnSTDefault, kCaption, &LANG_COMMON_RECOMMEND},
    {P::btnSTSave, kCaption, &LANG_COMMON_SAVE},

    // Process manager page; rows keep their priority words until they change.
    {P::cklblPMProcessList, kCaption, &LANG_CTL_CKLBLPMPROCESSLIST},
    {P::cklvProcess, ColumnCaption(0), &LANG_CTL_SK_LV_PROCESS_COL_NAME},
    {P::cklvProcess, ColumnCaption(1), &LANG_CTL_SK_LV_PROCESS_COL_PID},
    {P::cklvProcess, ColumnCaption(2), &LANG_CTL_SK_LV_PROCESS_COL_MEMORY},
    {P::cklvProcess, ColumnCaption(3), &LANG_CTL_SK_LV_PROCESS_COL_PRIORITY},
    {P::btnPMKill, kCaption, &LANG_CTL_BTNPMTERMINATE},
    {P::btnPMFreeUp, kCaption, &LANG_CTL_BTNPMFREE},
    {P::mniPMFree, kCaption, &LANG_MENU_POPMNUPMLISTMENU_ITEM_FREE},
    {P::mniPMTerminate, kCaption, &LANG_MENU_POPMNUPMLISTMENU_ITEM_TERMINATE},
    {P::mniPMPriority, kCaption, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY},
    {P::mniPMPriorityRealtime, kCaption, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_REALTIME},
    {P::mniPMPriorityHigh, kCaption, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_HIGH},
    {P::mniPMPriorityAboveNormal, kCaption, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_ABOVENORMAL},
    {P::mniPMPriorityNormal, kCaption, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_NORMAL},
    {P::mniPMPriorityBelowNormal, kCaption, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_BELOWNORMAL},
    {P::mniPMPriorityLow, kCaption, &LANG_MENU_POPMNUPMLISTMENU_ITEM_PRIORITY_LOW},

    // Configuration page.
    {P::ckchkCSAutorun, kCaption, &LANG_CTL_SK_CHK_CAUTORUN},
    {P::ckchkCSShowTrayIcon, kCaption, &LANG_CTL_SK_CHK_CSHOWTRAYICON},
    {P::ckrbCSMinToTray, kCaption, &LANG_CTL_SK_RB_CMINIMIZETOTRAY},
    {P::ckrbCSCloseToTray, kCaption, &LANG_CTL_SK_RB_CCLOSETOTRAY},
    {P::cklblCSUpdatingInterval, kCaption, &LANG_CTL_LBLCMEMORYGRAPHINTERVAL},
    {P::ckchkCSHotKey, kCaption, &LANG_CTL_SK_CHK_CFREEMEMORYNOWHOTKEY},
    {P::cklblCSHotKeyResult, kCaption, &LANG_CTL_CKLBLCSHOTKEYRESULT},
    {P::btnCSDefault, kCaption, &LANG_COMMON_RECOMMEND},
    {P::btnCSSave, kCaption, &LANG_COMMON_SAVE},
};

constexpr TFormText<P> kNotFromTable[] = {
    // The overview writes its figures there (RefreshOverview).
    {P::cklblMemoryUsage, kCaption},
    {P::cklblPagingFileUsage, kCaption},
    // Fixed texts: the processor label, a separator, the hot-key label.
    {P::cklblCPUUsage, kCaption},
    {P::mniHMLine1, kCaption},
    {P::cklblCSHotKey, kCaption},
};

}  // namespace main_form

namespace rules_form {

using P = TRulesFormComponents::Part;

constexpr TLanguageText<P> kRows[] = {
    {P::ckedtRLNewItem, kText, &LANG_RL_CKEDTRLNEWITEM},
    {P::cklblRLAutoList, kCaption, &LANG_RL_CKLBLRLAUTOLIST},
    {P::btnRLAdd, kCaption, &LANG_RL_BTNRLADD},
    {P::btnRLDelete, kCaption, &LANG_RL_BTNDELETE},
};

// The title of the list shown (TRulesForm::ApplyLanguage).
constexpr TFormText<P> kNotFromTable[] = {
    {P::RulesForm, kCaption},
    {P::cklblRLTitle, kCaption},
};

}  // namespace rules_form

namespace about_form {

using P = TAboutFormComponents::Part;

// The product and version line is filled in by TAboutForm::ApplyLanguage.
constexpr TLanguageText<P> kRows[] = {
    {P::AboutForm, kCaption, &LANG_COMMON_ABOUT},     {P::lylblTitle, kCaption, &LANG_COMMON_ABOUT},
    {P::lybtnClose, kHint, &LANG_COMMON_CLOSE},       {P::lybtnWWW, kCaption, &LANG_ABOUT_HOMEPAGE},
    {P::lybtnWWW, kHint, &LANG_MAIN_HOMEPAGE},        {P::lybtnEmail, kCaption, &LANG_ABOUT_EMAIL},
    {P::lybtnEmail, kHint, &LANG_MAIN_EMAIL},         {P::lylblCopyright, kCaption, &LANG_MAIN_COPYRIGHT},
    {P::lylblWarning, kCaption, &LANG_ABOUT_WARNING},
};

}  // namespace about_form

namespace splash_form {

using P = TSplashFormComponents::Part;

// LANG_MAIN_CAPTION_SPLASH is given its full text first (TSplashForm::ApplyLanguage).
constexpr TLanguageText<P> kRows[] = {
    {P::lylblAppName, kCaption, &LANG_MAIN_CAPTION_SPLASH},
    {P::SplashForm, kCaption, &LANG_COMMON_SPLASH},
};

}  // namespace splash_form

}  // namespace

const TLanguageTable<TMainFormComponents::Part>& MainFormLanguage() {
  static const TLanguageTable<TMainFormComponents::Part> table{main_form::kRows, main_form::kNotFromTable};
  return table;
}

const TLanguageTable<TRulesFormComponents::Part>& RulesFormLanguage() {
  static const TLanguageTable<TRulesFormComponents::Part> table{rules_form::kRows, rules_form::kNotFromTable};
  return table;
}

const TLanguageTable<TAboutFormComponents::Part>& AboutFormLanguage() {
  static const TLanguageTable<TAboutFormComponents::Part> table{about_form::kRows, {}};
  return table;
}

const TLanguageTable<TSplashFormComponents::Part>& SplashFormLanguage() {
  static const TLanguageTable<TSplashFormComponents::Part> table{splash_form::kRows, {}};
  return table;
}

}  // namespace orvane
