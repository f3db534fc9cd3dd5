// The system settings page: the Windows tuning values the engine keeps. The
// controls change the engine's copy at once; only the save and recommend
// buttons reach the registry.
#include <string>

#include "CkLabel.h"
#include "CkRadChk.h"
#include "CkTrkBar.h"
#include "Formulas.h"
#include "MainForm.h"
#include "VeeButton.h"
#include "VozEverAvizi.h"
#include "engineclient/EngineClient.h"

using namespace gui;
using namespace components;

namespace orvane {

namespace {

// The text of a choice, over the label; a value without one leaves the label.
template <std::size_t N>
void ShowChoice(ck::TCkLabel* label, int value, const std::string* const (&texts)[N]) {
  if (value >= 0 && static_cast<std::size_t>(value) < N) label->SetCaption(*texts[value]);
}

}  // namespace

void TMainForm::LoadSystemPage() {
  TComPtr<IMOSysTuneup> tuneup = Quillon->SysTuneup();
  OleCheck(tuneup->LoadSettings());
  // Each control that moves writes its value back through its handler.
  VARIANT_BOOL flag = VARIANT_FALSE;
  OleCheck(tuneup->get_AdditionalWorkerThreads(&flag));
  ckchkSTAdditionalWorkerThreads->SetChecked(IsTrue(flag));
  OleCheck(tuneup->get_NtfsOptimization(&flag));
  ckchkSTNtfsOptimization->SetChecked(IsTrue(flag));
  OleCheck(tuneup->get_LargeSystemCache(&flag));
  ckchkSTLargeSystemCache->SetChecked(IsTrue(flag));
  OleCheck(tuneup->get_DisablePagingExecutive(&flag));
  ckchkSTDisablePagingExecutive->SetChecked(IsTrue(flag));

  _MO_VISUAL_EFFECTS effects = MO_VE_SYSTEM;
  OleCheck(tuneup->get_VisualFXSetting(&effects));
  cktbSTVisualFXSetting->SetPosition(effects);
  ShowVisualEffects();

  _MO_CPU_PRIORITY_SEPARATION separation = MO_CPS_SYSTEM;
  OleCheck(tuneup->get_Win32PrioritySeparation(&separation));
  cktbSTWin32PrioritySeparation->SetPosition(separation);
  ShowPrioritySeparation();

  ULONG icons = 0;
  OleCheck(tuneup->get_MaxCachedIcons(&icons));
  cktbSTMaxCachedIcons->SetPosition(IconCachePosition(icons));
  ShowMaxCachedIcons();
}

// --- value labels, from the engine's value -------------------------------------------

void TMainForm::ShowVisualEffects() {
  _MO_VISUAL_EFFECTS effects = MO_VE_SYSTEM;
  OleCheck(Quillon->SysTuneup()->get_VisualFXSetting(&effects));
  const std::string* const texts[] = {&LANG_SYSTEMTUNEUP_MO_VE_SYSTEM, &LANG_SYSTEMTUNEUP_MO_VE_APPEARANCE,
                                      &LANG_SYSTEMTUNEUP_MO_VE_PERFORMANCE, &LANG_SYSTEMTUNEUP_MO_VE_CUSTOM,
                                      &LANG_SYSTEMTUNEUP_MO_VE_BALANCE};
  ShowChoice(cklblSTVisualFXSettingValue, effects, texts);
}

void TMainForm::ShowPrioritySeparation() {
  _MO_CPU_PRIORITY_SEPARATION separation = MO_CPS_SYSTEM;
  OleCheck(Quillon->SysTuneup()->get_Win32PrioritySeparation(&separation));
  const std::string* const texts[] = {&LANG_SYSTEMTUNEUP_MO_CPS_SYSTEM, &LANG_SYSTEMTUNEUP_MO_CPS_APPLICATIONS,
                                      &LANG_SYSTEMTUNEUP_MO_CPS_BACKGROUND_SERVICES};
  ShowChoice(cklblSTWin32PrioritySeparationValue, separation, texts);
}

void TMainForm::ShowMaxCachedIcons() {
  ULONG icons = 0;
  OleCheck(Quillon->SysTuneup()->get_MaxCachedIcons(&icons));
  cklblSTMaxCachedIconsValue->SetCaption(CountText(icons, LANG_COMMON_ICON, LANG_COMMON_ICONS));
}

// --- handlers ------------------------------------------------------------------------

void TMainForm::ckchkSTAdditionalWorkerThreadsClick(TObject*) {
  OleCheck(Quillon->SysTuneup()->put_AdditionalWorkerThreads(OleBool(ckchkSTAdditionalWorkerThreads->Checked())));
}

void TMainForm::ckchkSTNtfsOptimizationClick(TObject*) {
  OleCheck(Quillon->SysTuneup()->put_NtfsOptimization(OleBool(ckchkSTNtfsOptimization->Checked())));
}

void TMainForm::ckchkSTLargeSystemCacheClick(TObject*) {
  OleCheck(Quillon->SysTuneup()->put_LargeSystemCache(OleBool(ckchkSTLargeSystemCache->Checked())));
}

void TMainForm::ckchkSTDisablePagingExecutiveClick(TObject*) {
  OleCheck(Quillon->SysTuneup()->put_DisablePagingExecutive(OleBool(ckchkSTDisablePagingExecutive->Checked())));
}

void TMainForm::cktbSTVisualFXSettingChange(TObject*) {
  OleCheck(Quillon->SysTuneup()->put_VisualFXSetting(
      static_cast<_MO_VISUAL_EFFECTS>(cktbSTVisualFXSetting->Position())));
  ShowVisualEffects();
}

void TMainForm::cktbSTWin32PrioritySeparationChange(TObject*) {
  OleCheck(Quillon->SysTuneup()->put_Win32PrioritySeparation(
      static_cast<_MO_CPU_PRIORITY_SEPARATION>(cktbSTWin32PrioritySeparation->Position())));
  ShowPrioritySeparation();
}

void TMainForm::cktbSTMaxCachedIconsChange(TObject*) {
  OleCheck(Quillon->SysTuneup()->put_MaxCachedIcons(IconCacheSize(cktbSTMaxCachedIcons->Position())));
  ShowMaxCachedIcons();
}

void TMainForm::btnSTDefaultClick(TObject*) {
  // The engine writes its recommended values to the registry.
  OleCheck(Quillon->SysTuneup()->Recommend());
  LoadSystemPage();
}

void TMainForm::btnSTSaveClick(TObject*) { OleCheck(Quillon->SysTuneup()->SaveSettings()); }

}  // namespace orvane
