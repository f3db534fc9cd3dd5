// The program's entry: the single-instance guard, the forms in their order,
// the message loop.
#include <windows.h>

#include "AboutForm.h"
#include "HotKeyManager.h"
#include "MagnetCS.h"
#include "MainForm.h"
#include "PngPicture.h"
#include "Program.h"
#include "SkinRegistration.h"
#include "TrayIcon.h"
#include "VeeButton.h"
#include "VozEverAvizi.h"
#include "CkLabel.h"
#include "CkListVw.h"
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
  gui::RegisterClasses({&ck::TCkListView::StaticClass(), &ck::TCkCheckBox::StaticClass(),
                        &ck::TCkRadioButton::StaticClass(), &ck::TCkTrackBar::StaticClass()});
}

int RunProgram() {
  kit::Handle instance(CreateMutexA(nullptr, TRUE, kSingleInstanceMutex));
  // A second program ends at once, without a word.
  if (!instance || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  RegisterProgramClasses();
  components::InitializeLanguages();
  gui::Application->Initialize();
  gui::Application->SetTitle(components::LANG_MAIN_CAPTION_FULL);
  gui::Application->CreateForm(MainForm);
  // A start-up that failed has asked the program to end: nothing more is made
  // or shown.
  if (!gui::Application->Terminated()) {
    gui::Application->CreateForm(AboutForm);
    gui::Application->Run();
  }
  ReleaseMutex(instance.Get());
  return 0;
}

}  // namespace orvane
