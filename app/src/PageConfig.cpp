// The configuration page: the program's own options, kept by the engine's
// settings and applied by the save button: the overview's refresh interval,
// the autorun entry, the tray icon, the close and minimize behaviour and the
// free-memory hot key.
#include <windows.h>

#include <algorithm>
#include <string>

#include "CkLabel.h"
#include "CkRadChk.h"
#include "CkTrkBar.h"
#include "Formulas.h"
#include "HotKeyManager.h"
#include "MainForm.h"
#include "TrayIcon.h"
#include "VeeButton.h"
#include "VeeRegTools.h"
#include "VozEverAvizi.h"
#include "engineclient/EngineClient.h"
#include "gui/ComCtrls.h"
#include "kit/Own.h"

using namespace gui;
using namespace components;

namespace orvane {

namespace {

// The groups this page loads, saves and recommends.
constexpr _MO_CONFIG_SETTINGS kConfigGroups =
    static_cast<_MO_CONFIG_SETTINGS>(MO_CONFIG_PROGRAM_OPTION | MO_CONFIG_AUTORUN_TASK);

constexpr char kRunKey[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The program's own name, never a translated one: the entry a language
// switch renames could no longer be removed.
constexpr char kAutorunValueName[] = "Brimvale";

// The command Windows runs at log-on; quoted, as a path may hold blanks.
std::string AutorunCommand() { return "\"" + ParamStr(0) + "\" /autorun"; }

std::string InParentheses(const std::string& text) { return "(" + text + ")"; }

}  // namespace

void TMainForm::LoadConfigurationPage() {
  TComPtr<IMOConfig> config = Quillon->config();
  OleCheck(config->Load());
  // Each control that moves writes its value back through its handler.
  ULONG refreshMs = 0;
  OleCheck(config->get_MemoryGraphRefreshTimer(&refreshMs));
  const int seconds = RefreshSeconds(refreshMs);
  tmrOverview->SetInterval(static_cast<unsigned>(seconds) * 1000);
  cktbCSUpdatingInterval->SetPosition(seconds);
  ShowUpdatingInterval();

  VARIANT_BOOL flag = VARIANT_FALSE;
  OleCheck(config->get_IsAutorun(&flag));
  ckchkCSAutorun->SetChecked(IsTrue(flag));

  OleCheck(config->get_IsShowTrayIcon(&flag));
  ckchkCSShowTrayIcon->SetChecked(IsTrue(flag));
  ckrbCSMinToTray->SetEnabled(IsTrue(flag));
  ckrbCSCloseToTray->SetEnabled(IsTrue(flag));

  OleCheck(config->get_IsMinimizeToTray(&flag));
  MinimizeToTrayOn = IsTrue(flag);
  ckrbCSMinToTray->SetChecked(MinimizeToTrayOn);
  OleCheck(config->get_IsCloseToTray(&flag));
  CloseToTrayOn = IsTrue(flag);
  ckrbCSCloseToTray->SetChecked(CloseToTrayOn);

  OleCheck(config->get_IsUseFreeMemoryNowHotKey(&flag));
  {
    // The box shows what is stored; the key below is the stored one too.
    loadingHotKeyBox_ = true;
    auto loaded = kit::OnExit([this] { loadingHotKeyBox_ = false; });
    ckchkCSHotKey->SetChecked(IsTrue(flag));
  }
  hkCSFreeUp->SetEnabled(IsTrue(flag));

  ULONG hotKey = 0;
  OleCheck(config->get_FreeMemoryNowHotKey(&hotKey));
  // RegisteredHotKey stays the key in force: a reload (recommend, language)
  // shows the stored key, and the next save gives up the one registered.
  hkCSFreeUp->SetHotKey(static_cast<TShortCut>(hotKey));
}

void TMainForm::ShowUpdatingInterval() {
  cklblCSUpdatingIntervalValue->SetCaption(
      CountText(cktbCSUpdatingInterval->Position(), LANG_COMMON_SECOND, LANG_COMMON_SECONDS));
}

// --- handlers ------------------------------------------------------------------------

void TMainForm::cktbCSUpdatingIntervalChange(TObject*) {
  // The overview's timer follows at the save.
  OleCheck(Quillon->config()->put_MemoryGraphRefreshTimer(
      static_cast<ULONG>(std::max(cktbCSUpdatingInterval->Position(), 0)) * 1000));
  ShowUpdatingInterval();
}

void TMainForm::ckchkCSAutorunClick(TObject*) {
  OleCheck(Quillon->config()->put_IsAutorun(OleBool(ckchkCSAutorun->Checked())));
}

void TMainForm::ckchkCSShowTrayIconClick(TObject*) {
  const bool shown = ckchkCSShowTrayIcon->Checked();
  // The engine drops both tray choices itself when the icon goes.
  OleCheck(Quillon->config()->put_IsShowTrayIcon(OleBool(shown)));
  if (!shown) {
    ckrbCSMinToTray->SetChecked(false);
    ckrbCSCloseToTray->SetChecked(false);
  }
  ckrbCSMinToTray->SetEnabled(shown);
  ckrbCSCloseToTray->SetEnabled(shown);
}

void TMainForm::ckrbCSMinToTrayClick(TObject*) {
  TComPtr<IMOConfig> config = Quillon->config();
  OleCheck(config->put_IsMinimizeToTray(OleBool(ckrbCSMinToTray->Checked())));
  OleCheck(config->put_IsCloseToTray(OleBool(ckrbCSCloseToTray->Checked())));
}

void TMainForm::ckrbCSCloseToTrayClick(TObject* Sender) { ckrbCSMinToTrayClick(Sender); }

void TMainForm::ckchkCSHotKeyClick(TObject*) {
  // Only the user's click changes the settings: a load that unticks the box
  // would otherwise clear the stored key it is about to show.
  if (loadingHotKeyBox_) return;
  const bool used = ckchkCSHotKey->Checked();
  OleCheck(Quillon->config()->put_IsUseFreeMemoryNowHotKey(OleBool(used)));
  if (!used) {
    // Cleared from code the edit tells no change: the stored key follows it
    // here, so what the page shows is what a save keeps.
    hkCSFreeUp->SetHotKey(0);
    hkCSFreeUpChange(hkCSFreeUp);
  }
  hkCSFreeUp->SetEnabled(used);
}

void TMainForm::hkCSFreeUpChange(TObject*) {
  cklblCSHotKeyResult->SetVisible(false);
  OleCheck(Quillon->config()->put_FreeMemoryNowHotKey(hkCSFreeUp->HotKey()));
}

void TMainForm::btnCSDefaultClick(TObject*) {
  OleCheck(Quillon->config()->Recommend(kConfigGroups));
  LoadConfigurationPage();
}

void TMainForm::btnCSSaveClick(TObject*) {
  TComPtr<IMOConfig> config = Quillon->config();
  OleCheck(config->Save(kConfigGroups));
  MinimizeToTrayOn = ckrbCSMinToTray->Checked();
  CloseToTrayOn = ckrbCSCloseToTray->Checked();

  ULONG refreshMs = 0;
  OleCheck(config->get_MemoryGraphRefreshTimer(&refreshMs));
  tmrOverview->SetInterval(refreshMs);

  SaveAutorunEntry(ckchkCSAutorun->Checked());

  const bool showIcon = ckchkCSShowTrayIcon->Checked();
  if (!tiTrayIcon->IconVisible() && showIcon) tiTrayIcon->SetIconIndex(0);
  tiTrayIcon->SetIconVisible(showIcon);

  ApplyHotKey();
  SetFocus();
}

void TMainForm::SaveAutorunEntry(bool autorun) {
  // An absent value counts as removed.
  if (autorun)
    WriteRegString(kRunKey, kAutorunValueName, AutorunCommand(), true);
  else
    DeleteRegValue(kRunKey, kAutorunValueName);
}

void TMainForm::ApplyHotKey() {
  const DWORD wanted = hkCSFreeUp->HotKey();
  if (!ckchkCSHotKey->Checked() || wanted == 0) {
    hkmMain->RemoveHotKey(RegisteredHotKey);
    cklblCSHotKeyResult->SetVisible(false);
    return;
  }
  const bool hadKey = hkmMain->RemoveHotKey(RegisteredHotKey);
  if (hkmMain->AddHotKey(wanted) != 0) {
    RegisteredHotKey = wanted;
    cklblCSHotKeyResult->SetCaption(InParentheses(LANG_MSG_SUCCESSFUL));
  } else {
    // Refused (another program holds it): the key that worked until now
    // stays in force, and the edit and the settings show it again.
    if (hadKey) hkmMain->AddHotKey(RegisteredHotKey);
    hkCSFreeUp->SetHotKey(static_cast<TShortCut>(RegisteredHotKey));
    TComPtr<IMOConfig> config = Quillon->config();
    OleCheck(config->put_FreeMemoryNowHotKey(RegisteredHotKey));
    OleCheck(config->Save(kConfigGroups));
    cklblCSHotKeyResult->SetCaption(InParentheses(LANG_MSG_HOTKEY_FAILED));
  }
  cklblCSHotKeyResult->SetVisible(true);
}

}  // namespace orvane
