// The main window and its start-up: creation, first showing, closing, the
// engine connection, the tab pages and the window's own buttons.
#include "MainForm.h"

#include <string>

#include "Formulas.h"
#include "HotKeyManager.h"
#include "MagnetCS.h"
#include "RulesForm.h"
#include "SkinForm.h"
#include "SkinImagePanel.h"
#include "SkinProgressBar.h"
#include "SplashForm.h"
#include "TrayIcon.h"
#include "VeeButton.h"
#include "VeeSysTools.h"
#include "VeeTabPanel.h"
#include "VozEverAvizi.h"
#include "CkLabel.h"
#include "CkPrgres.h"
#include "engineclient/EngineClient.h"
#include "gui/ActnList.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "kit/Own.h"

using namespace gui;
using namespace components;

namespace orvane {

TMainForm* MainForm = nullptr;

namespace {

constexpr char kEngineFile[] = "Tarnwick.dll";
constexpr char kAutorunSwitch[] = "/autorun";
// A pressed or selected tab shows its text this far left of where it rests.
constexpr int kTabTextShift = 30;

// The switch counts only as the first parameter, exactly as written.
bool StartedByAutorun() { return ParamCount() >= 1 && ParamStr(1) == kAutorunSwitch; }

// Registers the engine file as its installer would: load it, let it register
// itself, unload it. False when it cannot be loaded or refuses.
bool RegisterEngineFile(const std::string& path) {
  kit::Module module(LoadLibraryA(path.c_str()));
  if (!module) return false;
  using RegisterServer = HRESULT(STDAPICALLTYPE*)();
  auto registerServer =
      reinterpret_cast<RegisterServer>(reinterpret_cast<void*>(GetProcAddress(module.Get(), "DllRegisterServer")));
  return registerServer && SUCCEEDED(registerServer());
}

}  // namespace

GUI_DEFINE_CLASS(TMainForm) { DefineHandlers(c); }

TMainForm::TMainForm(TComponent* owner) : TForm(owner) {
  SetMessageHandler(WM_SYSCOMMAND, [this](TMessage& m) { OnFormSysCommand(m); });
  SetMessageHandler(WM_QUERYENDSESSION, [this](TMessage& m) { OnFormQueryEndSession(m); });
}

TMainForm::~TMainForm() { closing_ = true; }

void TMainForm::Loaded() {
  inherited::Loaded();
  BindComponents();
  WatchCloseRetries();
  const TVeeButton* tabs[] = {btnTabMG, btnTabMA, btnTabST, btnTabPM, btnTabCS};
  for (std::size_t i = 0; i < tabTextX_.size(); ++i) tabTextX_[i] = tabs[i]->TextX();
}

// --- start-up -------------------------------------------------------------------------

void TMainForm::FormCreate(TObject*) {
  EnablePrivilege("SeDebugPrivilege", nullptr);
  CanDeepCompress = true;
  // The engine first: every later step reads it, and a program without its
  // engine shows nothing but the message that says so.
  if (!ConnectEngine()) return;
  LoadLanguageSetting();
  if (StartedByAutorun()) {
    // The window stays in the notification area until the user shows it.
    Application->SetShowMainForm(false);
  } else {
    SplashForm = CreateForm<TSplashForm>(Application);
    // Not activated: the main window takes the activation when it shows.
    SplashForm->ShowInactive();
    SplashForm->Repaint();  // no message is handled before the main window shows
  }
}

bool TMainForm::ConnectEngine() {
  auto fail = [] {
    Application->ShowMessageBox(LANG_MSG_COM_FAILED, LANG_MSG_ERROR, MB_OK | MB_ICONERROR);
    Application->Terminate();
    return false;
  };
  const std::string engine = GetProgramFolder() + kEngineFile;
  if (GetFileAttributesA(engine.c_str()) == INVALID_FILE_ATTRIBUTES) return fail();
  // Creating the engine fails while it is not registered, opening it when it
  // cannot start; either way it registers itself once and gets a second try.
  auto open = [this] {
    try {
      Quillon->Open();
      return true;
    } catch (const EOleError&) {
      Quillon->Disconnect();
      return false;
    }
  };
  if (!open() && !(RegisterEngineFile(engine) && open())) return fail();
  if (StartedByAutorun()) Quillon->AutorunTask();
  tmrOverview->SetEnabled(true);
  tmrProcessList->SetEnabled(true);
  return true;
}

void TMainForm::LoadLanguageSetting() {
  // The language menu lists the files only when there is a choice.
  const int choices = LangFileList.size() > 1 ? static_cast<int>(LangFileList.size()) : 0;
  const int index = LanguageIndexFromText(StoredLanguage(), choices);
  StoreLanguage(index);
  LoadLanguage(index);
}

// The first showing, in its order: layout, tabs, settings and hot key, the
// process list's first filling, the language, the overview, the pages, the
// splash's end, F1.
void TMainForm::FormShow(TObject*) {
  if (Tag() != 0) {
    CatchUpUnseen();
    return;
  }
  LayoutPages();
  CreateTabs();
  LoadConfigAndHotKey();
  FillProcessList();
  ShowLanguageAndPages();
  if (SplashForm) {
    SplashForm->Close();
    delete SplashForm;
    SplashForm = nullptr;
  }
  actHelp->SetEnabled(true);
  SetTag(1);
}

void TMainForm::LoadConfigAndHotKey() {
  TComPtr<IMOConfig> config = Quillon->config();
  OleCheck(config->Load());
  unsigned long hotKey = 0;
  OleCheck(config->get_FreeMemoryNowHotKey(&hotKey));
  RegisteredHotKey = hotKey;
  VARIANT_BOOL useHotKey = VARIANT_FALSE;
  OleCheck(config->get_IsUseFreeMemoryNowHotKey(&useHotKey));
  if (useHotKey) hkmMain->AddHotKey(hotKey);
}

void TMainForm::LayoutPages() {
  skimgpnlClientZone->SetBounds(0, 33, 660, 507);
  for (TControl* page : {skimgpnlMG, skimgpnlMA, skimgpnlST, skimgpnlPM, skimgpnlCS}) page->SetBounds(0, 45, 440, 490);
  skimgpnlCompressing->SetVisible(false);
}

void TMainForm::CreateTabs() {
  Tabs = std::make_unique<TTabPanel>();
  Tabs->AddTab(btnTabMG, skimgpnlMG, "MG", false);
  Tabs->AddTab(btnTabMA, skimgpnlMA, "MA", false);
  Tabs->AddTab(btnTabST, skimgpnlST, "ST", false);
  Tabs->AddTab(btnTabPM, skimgpnlPM, "PM", false);
  Tabs->AddTab(btnTabCS, skimgpnlCS, "CS", false);
  SelectTab(btnTabMG);
}

// --- tabs -----------------------------------------------------------------------------

void TMainForm::SelectTab(TObject* button) {
  if (Tabs) Tabs->SelectTabByButton(dynamic_cast<TControl*>(button), &TMainForm::TabChanged, this);
}

void TMainForm::TabChanged(TTabPanel* Sender, void* Data) {
  auto* self = static_cast<TMainForm*>(Data);
  if (TTabRecord* previous = Sender->GetPreviousTab()) {
    previous->Button->SetEnabled(true);
    self->PlaceTabText(previous->Button, false);
  }
  if (TTabRecord* current = Sender->GetCurrentTab()) {
    // The selected look is the disabled picture, and a selected tab cannot
    // be clicked again.
    current->Button->SetEnabled(false);
    self->PlaceTabText(current->Button, true);
  }
  self->cklblCSHotKeyResult->SetVisible(false);
  if (RulesForm) RulesForm->Close();
  self->CatchUpUnseen();
}

// Runs while the window or a page comes into view, before it paints.
void TMainForm::CatchUpUnseen() {
  overviewView_.CatchUp();
  if (skimgpnlPM->Visible()) processRowsView_.CatchUp();
}

void TMainForm::PlaceTabText(TObject* button, bool shifted) {
  TVeeButton* tabs[] = {btnTabMG, btnTabMA, btnTabST, btnTabPM, btnTabCS};
  for (std::size_t i = 0; i < tabTextX_.size(); ++i)
    if (tabs[i] == button) tabs[i]->SetTextX(tabTextX_[i] - (shifted ? kTabTextShift : 0));
}

void TMainForm::btnTabMGClick(TObject* Sender) { SelectTab(Sender); }
void TMainForm::btnTabMAClick(TObject* Sender) { SelectTab(Sender); }
void TMainForm::btnTabSTClick(TObject* Sender) { SelectTab(Sender); }
void TMainForm::btnTabPMClick(TObject* Sender) { SelectTab(Sender); }
void TMainForm::btnTabCSClick(TObject* Sender) { SelectTab(Sender); }

// The pressed picture is the selected look, whose text sits further left. The
// shift is taken from the resting place, so no sequence of presses can move
// the text away from it.
void TMainForm::btnTabMGMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbLeft) PlaceTabText(Sender, true);
}
void TMainForm::btnTabMAMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbLeft) PlaceTabText(Sender, true);
}
void TMainForm::btnTabSTMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbLeft) PlaceTabText(Sender, true);
}
void TMainForm::btnTabPMMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbLeft) PlaceTabText(Sender, true);
}
void TMainForm::btnTabCSMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbLeft) PlaceTabText(Sender, true);
}

void TMainForm::btnTabMouseUp(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
  // A release on the button clicks it next, and the tab change places the
  // text; a release elsewhere leaves the tab as it was.
  if (Button != mbLeft) return;
  TTabRecord* current = Tabs ? Tabs->GetCurrentTab() : nullptr;
  if (!current || current->Button != Sender) PlaceTabText(Sender, false);
}

// --- the window's own buttons and messages ---------------------------------------------

void TMainForm::lblMainTitleMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  ReleaseCapture();
  PostMessageA(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void TMainForm::btnCloseClick(TObject*) { Close(); }

void TMainForm::OnFormSysCommand(TMessage& Message) { DefaultHandler(Message); }

void TMainForm::OnFormQueryEndSession(TMessage& Message) { Message.Result = 1; }

void TMainForm::mniTIShowHideClick(TObject*) {
  if (Visible()) {
    tiTrayIcon->HideMainForm();
  } else {
    tiTrayIcon->ShowMainForm();
    BringToFront();
  }
}

// --- closing --------------------------------------------------------------------------

void TMainForm::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = !CloseToTrayOn;
  if (!CanClose) tiTrayIcon->HideMainForm();
}

void TMainForm::FormClose(TObject*, TCloseAction&) {
  closing_ = true;
  tmrProcessList->SetEnabled(false);
  tmrOverview->SetEnabled(false);
  ClearProcessList();
  Tabs.reset();
  Quillon->Close();
}

}  // namespace orvane
