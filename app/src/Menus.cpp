// The help menu behind the information button, the tray icon's menu,
// minimizing and closing to the tray, the help file, and the language switch
// with every text of the main window it sets.
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "AboutForm.h"
#include "Formulas.h"
#include "LanguageTables.h"
#include "MainForm.h"
#include "TrayIcon.h"
#include "VeeSysTools.h"
#include "VozEverAvizi.h"
#include "engineclient/EngineClient.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"

using namespace gui;
using namespace components;

namespace orvane {

namespace {

constexpr char kHelpFile[] = "Help.chm";
constexpr char kDefaultLanguage[] = "Default";
constexpr char kLanguageItemName[] = "mniHMLanguage";
// How often a close that waits for a modal loop looks again, and how long
// it waits at most: a box none of whose buttons ends it safely never goes.
constexpr UINT kCloseRetryMs = 50;
constexpr DWORD kCloseWaitMs = 5000;
constexpr UINT_PTR kCloseRetryTimer = 1;

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

void TMainForm::WatchCloseRetries() {
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
  ApplyTexts(*this, MainFormLanguage());
  PlaceActionCaptions();
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
  closeAskedAt_ = GetTickCount();
  CloseWhenNoModalLoop();
}

void TMainForm::CloseWhenNoModalLoop() {
  // Closing under an open modal window or box would return into a window
  // already closed and an engine already let go: end the loops first and
  // close once they are gone, or after a while anyway.
  if (EndModalLoops()) {
    if (GetTickCount() - closeAskedAt_ < kCloseWaitMs) {
      SetTimer(Handle(), kCloseRetryTimer, kCloseRetryMs, nullptr);
      return;
    }
    OutputDebugStringA(
        "Brimvale: a modal window or message box did not end when asked (it has no Cancel, No or OK); "
        "closing anyway\n");
  }
  Close();
}

}  // namespace orvane
