// The program's entry: the single-instance guard, the forms in their order,
// the message loop.
#include <windows.h>

#include <utility>

#include "AboutForm.h"
#include "HotKeyManager.h"
#include "MagnetCS.h"
#include "MainForm.h"
#include "PngPicture.h"
#include "Program.h"
#include "RulesForm.h"
#include "SkinRegistration.h"
#include "TrayIcon.h"
#include "VeeButton.h"
#include "VozEverAvizi.h"
#include "CkLabel.h"
#include "CkEdit.h"
#include "CkListVw.h"
#include "CkLstBox.h"
#include "CkPrgres.h"
#include "CkRadChk.h"
#include "CkTrkBar.h"
#include "engineclient/EngineClient.h"
#include "gui/Forms.h"
#include "kit/Own.h"

namespace orvane {

void RegisterProgramClasses() {
  RegisterPngPicture();
  skins::RegisterSkinClasses();
  gui::RegisterClasses({&components::TVeeButton::StaticClass(), &components::TTrayIcon::StaticClass(),
                        &components::THotKeyManager::StaticClass(), &components::TMagnetServer::StaticClass(),
                        &components::TMagnetClient::StaticClass(), &ck::TCkLabel::StaticClass(),
                        &ck::TCkProgressBar::StaticClass(), &gui::TMOMain::StaticClass()});
  gui::RegisterClasses({&ck::TCkCheckBox::StaticClass(), &ck::TCkTrackBar::StaticClass(),
                        &ck::TCkListBox::StaticClass(), &ck::TCkEdit::StaticClass(),
                        &ck::TCkListView::StaticClass(), &ck::TCkRadioButton::StaticClass()});
}

namespace {

// The program's icon on the application's window, which owns the taskbar
// button. Shared icons belong to the module: nothing to free.
void SetProgramIcon() {
  HWND window = gui::Application->Handle();
  for (auto [size, kind] : {std::pair{SM_CXICON, ICON_BIG}, std::pair{SM_CXSMICON, ICON_SMALL}}) {
    int side = GetSystemMetrics(size);
    if (HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, side, side, LR_SHARED))
      SendMessageA(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
  }
}

}  // namespace

int RunProgram() {
  kit::Handle instance(CreateMutexA(nullptr, TRUE, kSingleInstanceMutex));
  // A second program ends at once, without a word.
  if (!instance || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  RegisterProgramClasses();
  components::InitializeLanguages();
  // The default language until the engine tells the chosen one: a start-up
  // that fails before then speaks it.
  components::LoadLanguage(0);
  gui::Application->Initialize();
  gui::Application->SetTitle(components::LANG_MAIN_CAPTION_FULL);
  SetProgramIcon();
  gui::Application->CreateForm(MainForm);
  // A start-up that failed has asked the program to end: nothing more is made
  // or shown.
  if (!gui::Application->Terminated()) {
    gui::Application->CreateForm(RulesForm);
    gui::Application->CreateForm(AboutForm);
    gui::Application->Run();
  }
  // The engine closes with the main form, before a new instance may start.
  gui::Application->FreeForms();
  ReleaseMutex(instance.Get());
  return 0;
}

}  // namespace orvane
