// The general optimizer page (automatic free with its rules lists, automatic
// compress with its thresholds and processor guard) and the advanced one
// (smart analyzer and CPU adjustment). Every control writes its setting to
// the engine as it changes; only the pages' save and recommend buttons reach
// the settings file.
//
// The controls fire their handlers when code sets them to a new value, so a
// load shows the file and writes back whatever a control had to move (a
// value outside a slider's range, or between two of its steps).
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

#include "Formulas.h"
#include "MainForm.h"
#include "RulesForm.h"
#include "VeeButton.h"
#include "VozEverAvizi.h"
#include "CkLabel.h"
#include "CkRadChk.h"
#include "CkTrkBar.h"
#include "engineclient/EngineClient.h"
#include "gui/Menus.h"

using namespace gui;
using namespace components;

namespace orvane {

namespace {

constexpr std::uint64_t kMegabyte = 1024 * 1024;
constexpr unsigned long kMsPerMinute = 60000;
constexpr auto kGeneralGroups = static_cast<_MO_CONFIG_SETTINGS>(MO_CONFIG_AUTO_COMPRESSION | MO_CONFIG_AUTO_FREE);
constexpr auto kAdvancedGroups = MO_CONFIG_SMART_OPTIMIZATION;

template <class T>
using Getter = HRESULT (STDMETHODCALLTYPE IMOConfig::*)(T*);
template <class T>
using Putter = HRESULT (STDMETHODCALLTYPE IMOConfig::*)(T);

template <class T>
T Read(IMOConfig& config, Getter<T> get) {
  T value{};
  OleCheck((config.*get)(&value));
  return value;
}

bool IsOn(IMOConfig& config, Getter<VARIANT_BOOL> get) { return Read(config, get) != VARIANT_FALSE; }

template <class T>
void Write(TMainForm& form, Putter<T> put, std::type_identity_t<T> value) {
  OleCheck((form.Quillon->config().Get()->*put)(value));
}

// Writes a check box's setting; its state, for what the handler does next.
bool WriteCheck(TMainForm& form, const ck::TCkCheckBox& box, Putter<VARIANT_BOOL> put) {
  const bool on = box.Checked();
  Write(form, put, on ? VARIANT_TRUE : VARIANT_FALSE);
  return on;
}

// White and smart may be on together, and so may black and idle: a list box
// that comes on clears the two of the other pair, whose handlers write their
// false.
void ClearOtherPair(bool on, ck::TCkCheckBox& first, ck::TCkCheckBox& second) {
  if (!on) return;
  first.SetChecked(false);
  second.SetChecked(false);
}

std::string MinutesText(int n) { return CountText(n, LANG_COMMON_MINUTE, LANG_COMMON_MINUTES); }
std::string ProcessesText(int n) { return CountText(n, LANG_COMMON_PROCESS, LANG_COMMON_PROCESSES); }
std::string DaysText(int n) { return CountText(n, LANG_COMMON_DAY, LANG_COMMON_DAYS); }
std::string MegabytesText(int mb) { return std::to_string(mb) + " " + LANG_COMMON_MB; }
std::string PercentText(int percent) { return std::to_string(percent) + "%"; }

// Sets a slider from code; true when it ran its change handler, which it
// does for every requested position other than its current one.
bool MoveSlider(ck::TCkTrackBar& slider, int position) {
  const bool moves = position != slider.Position();
  slider.SetPosition(position);
  return moves;
}

// A time slider's load: whole minutes, the label from where the slider stands.
void LoadMinutes(ck::TCkTrackBar& slider, ck::TCkLabel& label, unsigned long ms) {
  MoveSlider(slider, MsToMinutes(ms));
  label.SetCaption(MinutesText(slider.Position()));
}

void WriteMinutes(TMainForm& form, Putter<unsigned long> put, const ck::TCkTrackBar& slider, ck::TCkLabel& label) {
  Write(form, put, static_cast<unsigned long>(slider.Position()) * kMsPerMinute);
  label.SetCaption(MinutesText(slider.Position()));
}

void WriteCount(TMainForm& form, Putter<unsigned char> put, const ck::TCkTrackBar& slider, ck::TCkLabel& label,
                std::string (*text)(int)) {
  Write(form, put, static_cast<unsigned char>(slider.Position()));
  label.SetCaption(text(slider.Position()));
}

std::uint64_t TotalMemory(TMainForm& form) {
  std::uint64_t total = 0;
  OleCheck(form.Quillon->State()->get_TotalPhysicalMemory(&total));
  return total;
}

// A memory slider's load: the percent of the total the bytes are. The label
// shows the stored bytes unless the slider moved, when its handler has
// written and shown the value of the new position.
void LoadMemoryPercent(ck::TCkTrackBar& slider, ck::TCkLabel& label, std::uint64_t bytes, std::uint64_t total) {
  if (!MoveSlider(slider, PercentOf(bytes, total))) label.SetCaption(MegabytesText(BytesToMB(bytes)));
}

// A memory slider's change: the whole megabytes of its percent of the total.
void WriteMemoryPercent(TMainForm& form, Putter<std::uint64_t> put, const ck::TCkTrackBar& slider,
                        ck::TCkLabel& label) {
  const int mb = BytesToMB(PercentOfTotal(slider.Position(), TotalMemory(form)));
  Write(form, put, static_cast<std::uint64_t>(mb) * kMegabyte);
  label.SetCaption(MegabytesText(mb));
}

void EnableAll(std::initializer_list<TControl*> controls, bool on) {
  for (TControl* control : controls) control->SetEnabled(on);
}

// What a group's check box switches on and off with it.
void EnableAutoFree(TMainForm& f, bool on) {
  EnableAll({f.cktbMGAutoFreeTimer, f.ckchkMGWhiteList, f.ckchkMGAutoList, f.ckchkMGBlackList, f.ckchkMGIdleList}, on);
}
void EnableAutoCompress(TMainForm& f, bool on) {
  EnableAll({f.cktbMGMonitorInterval, f.cktbMGLowValue, f.cktbMGDefragSize, f.ckchkMGCPUProtection,
             f.cktbMGCPUProtection},
            on);
}
void EnableSmartAnalyzer(TMainForm& f, bool on) {
  EnableAll({f.cktbMASmartAnalyzerTimer, f.cktbMASmartAnalyzerAttention, f.cktbMASmartAnalyzerPeriod}, on);
}

// A press on a list box closes the rules window and binds it to that box's
// list; the box's popup menu then offers to show it.
void BindRulesWindow(int listType) {
  RulesForm->Close();
  RulesForm->ShowList(listType);
}

}  // namespace

// --- general optimizer page -------------------------------------------------------------

void TMainForm::LoadGeneralPage() {
  TComPtr<IMOConfig> config = Quillon->config();
  IMOConfig& c = *config.Get();
  OleCheck(c.Load());

  const bool autoFree = IsOn(c, &IMOConfig::get_IsAutoFree);
  ckchkMGAutoFree->SetChecked(autoFree);
  EnableAutoFree(*this, autoFree);
  LoadMinutes(*cktbMGAutoFreeTimer, *cklblMGAutoFreeTimerValue, Read(c, &IMOConfig::get_AutoFreeTimer));
  // One at a time: each box that comes on clears the boxes it excludes.
  ckchkMGBlackList->SetChecked(IsOn(c, &IMOConfig::get_IsCheckBlackList));
  ckchkMGWhiteList->SetChecked(IsOn(c, &IMOConfig::get_IsCheckWhiteList));
  ckchkMGAutoList->SetChecked(IsOn(c, &IMOConfig::get_IsCheckSmartList));
  ckchkMGIdleList->SetChecked(IsOn(c, &IMOConfig::get_IsCheckIdleList));

  const bool autoCompress = IsOn(c, &IMOConfig::get_IsAutoCompress);
  ckchkMGAutoDefrag->SetChecked(autoCompress);
  EnableAutoCompress(*this, autoCompress);
  LoadMinutes(*cktbMGMonitorInterval, *cklblMGMonitorIntervalValue, Read(c, &IMOConfig::get_AutoCompressTimer));
  const std::uint64_t total = TotalMemory(*this);
  LoadMemoryPercent(*cktbMGLowValue, *cklblMGLowValueValue, Read(c, &IMOConfig::get_AutoCompressAlarm), total);
  LoadMemoryPercent(*cktbMGDefragSize, *cklblMGDefragSizeValue, Read(c, &IMOConfig::get_AutoCompressExpectation),
                    total);

  const bool cpuProtection = IsOn(c, &IMOConfig::get_IsCPUProtection);
  ckchkMGCPUProtection->SetChecked(cpuProtection);
  CpuProtectionOn = cpuProtection;
  cktbMGCPUProtection->SetEnabled(cpuProtection);
  MoveSlider(*cktbMGCPUProtection, Read(c, &IMOConfig::get_CPUProtectionValue));
  cklblMGCPUProtectionValue->SetCaption(PercentText(cktbMGCPUProtection->Position()));
}

void TMainForm::ckchkMGAutoFreeClick(TObject*) {
  const bool on = WriteCheck(*this, *ckchkMGAutoFree, &IMOConfig::put_IsAutoFree);
  EnableAutoFree(*this, on);
}

void TMainForm::cktbMGAutoFreeTimerChange(TObject*) {
  WriteMinutes(*this, &IMOConfig::put_AutoFreeTimer, *cktbMGAutoFreeTimer, *cklblMGAutoFreeTimerValue);
}

void TMainForm::ckchkMGWhiteListClick(TObject*) {
  ClearOtherPair(WriteCheck(*this, *ckchkMGWhiteList, &IMOConfig::put_IsCheckWhiteList), *ckchkMGBlackList,
                 *ckchkMGIdleList);
}

void TMainForm::ckchkMGAutoListClick(TObject*) {
  ClearOtherPair(WriteCheck(*this, *ckchkMGAutoList, &IMOConfig::put_IsCheckSmartList), *ckchkMGBlackList,
                 *ckchkMGIdleList);
}

void TMainForm::ckchkMGBlackListClick(TObject*) {
  ClearOtherPair(WriteCheck(*this, *ckchkMGBlackList, &IMOConfig::put_IsCheckBlackList), *ckchkMGWhiteList,
                 *ckchkMGAutoList);
}

void TMainForm::ckchkMGIdleListClick(TObject*) {
  ClearOtherPair(WriteCheck(*this, *ckchkMGIdleList, &IMOConfig::put_IsCheckIdleList), *ckchkMGWhiteList,
                 *ckchkMGAutoList);
}

void TMainForm::ckchkMGWhiteListMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  BindRulesWindow(TRulesForm::kWhiteList);
}

void TMainForm::ckchkMGAutoListMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  BindRulesWindow(TRulesForm::kSmartList);
}

void TMainForm::ckchkMGBlackListMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  BindRulesWindow(TRulesForm::kBlackList);
}

// The idle list is worked out at each free: there is nothing to show.
void TMainForm::ckchkMGIdleListMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  RulesForm->Close();
  if (Button == mbRight)
    Application->ShowMessageBox(LANG_MSG_OPEN_IDLELIST, LANG_MSG_INFORMATION, MB_OK | MB_ICONINFORMATION);
}

// The rules window opens on the main window's left, moving the main window
// right when the screen leaves no room.
void TMainForm::mniOpenListClick(TObject*) {
  const TSidePlacement place = PlaceOnLeft(Screen->Width(), Left(), Width(), RulesForm->Width());
  SetLeft(place.MainLeft);
  RulesForm->SetBounds(place.SideLeft, Top(), RulesForm->Width(), RulesForm->Height());
  RulesForm->Show();
}

void TMainForm::ckchkMGAutoDefragClick(TObject*) {
  const bool on = WriteCheck(*this, *ckchkMGAutoDefrag, &IMOConfig::put_IsAutoCompress);
  EnableAutoCompress(*this, on);
}

void TMainForm::cktbMGMonitorIntervalChange(TObject*) {
  WriteMinutes(*this, &IMOConfig::put_AutoCompressTimer, *cktbMGMonitorInterval, *cklblMGMonitorIntervalValue);
}

void TMainForm::cktbMGLowValueChange(TObject*) {
  WriteMemoryPercent(*this, &IMOConfig::put_AutoCompressAlarm, *cktbMGLowValue, *cklblMGLowValueValue);
}

void TMainForm::cktbMGDefragSizeChange(TObject*) {
  WriteMemoryPercent(*this, &IMOConfig::put_AutoCompressExpectation, *cktbMGDefragSize, *cklblMGDefragSizeValue);
}

void TMainForm::ckchkMGCPUProtectionClick(TObject*) {
  CpuProtectionOn = WriteCheck(*this, *ckchkMGCPUProtection, &IMOConfig::put_IsCPUProtection);
  cktbMGCPUProtection->SetEnabled(CpuProtectionOn);
}

void TMainForm::cktbMGCPUProtectionChange(TObject*) {
  Write(*this, &IMOConfig::put_CPUProtectionValue, static_cast<unsigned char>(cktbMGCPUProtection->Position()));
  cklblMGCPUProtectionValue->SetCaption(PercentText(cktbMGCPUProtection->Position()));
}

// The engine sets its recommended values and saves every group.
void TMainForm::btnMGDefaultClick(TObject*) {
  OleCheck(Quillon->config()->Recommend(kGeneralGroups));
  LoadGeneralPage();
}

void TMainForm::btnMGSaveClick(TObject*) { OleCheck(Quillon->config()->Save(kGeneralGroups)); }

// --- advanced optimizer page ------------------------------------------------------------

void TMainForm::LoadAdvancedPage() {
  TComPtr<IMOConfig> config = Quillon->config();
  IMOConfig& c = *config.Get();
  OleCheck(c.Load());

  const bool learning = IsOn(c, &IMOConfig::get_IsSmartLearning);
  ckchkMASmartAnalyzer->SetChecked(learning);
  EnableSmartAnalyzer(*this, learning);
  LoadMinutes(*cktbMASmartAnalyzerTimer, *cklblMASmartAnalyzerTimerValue, Read(c, &IMOConfig::get_SmartLearningTimer));
  MoveSlider(*cktbMASmartAnalyzerAttention, Read(c, &IMOConfig::get_SmartLearningRecord));
  cklblMASmartAnalyzerAttentionValue->SetCaption(ProcessesText(cktbMASmartAnalyzerAttention->Position()));
  MoveSlider(*cktbMASmartAnalyzerPeriod, Read(c, &IMOConfig::get_SmartLearningPeriod));
  cklblMASmartAnalyzerPeriodValue->SetCaption(DaysText(cktbMASmartAnalyzerPeriod->Position()));

  const bool smartCpu = IsOn(c, &IMOConfig::get_IsSmartCPU);
  ckchkMACPUAdjustment->SetChecked(smartCpu);
  cktbMACPUAdjustmentRange->SetEnabled(smartCpu);
  MoveSlider(*cktbMACPUAdjustmentRange, Read(c, &IMOConfig::get_SmartCPURange));
  cklblMACPUAdjustmentRangeValue->SetCaption(ProcessesText(cktbMACPUAdjustmentRange->Position()));
}

void TMainForm::ckchkMASmartAnalyzerClick(TObject*) {
  const bool on = WriteCheck(*this, *ckchkMASmartAnalyzer, &IMOConfig::put_IsSmartLearning);
  EnableSmartAnalyzer(*this, on);
}

void TMainForm::cktbMASmartAnalyzerTimerChange(TObject*) {
  WriteMinutes(*this, &IMOConfig::put_SmartLearningTimer, *cktbMASmartAnalyzerTimer,
               *cklblMASmartAnalyzerTimerValue);
}

void TMainForm::cktbMASmartAnalyzerAttentionChange(TObject*) {
  WriteCount(*this, &IMOConfig::put_SmartLearningRecord, *cktbMASmartAnalyzerAttention,
             *cklblMASmartAnalyzerAttentionValue, ProcessesText);
}

void TMainForm::cktbMASmartAnalyzerPeriodChange(TObject*) {
  WriteCount(*this, &IMOConfig::put_SmartLearningPeriod, *cktbMASmartAnalyzerPeriod,
             *cklblMASmartAnalyzerPeriodValue, DaysText);
}

void TMainForm::ckchkMACPUAdjustmentClick(TObject*) {
  cktbMACPUAdjustmentRange->SetEnabled(WriteCheck(*this, *ckchkMACPUAdjustment, &IMOConfig::put_IsSmartCPU));
}

void TMainForm::cktbMACPUAdjustmentRangeChange(TObject*) {
  WriteCount(*this, &IMOConfig::put_SmartCPURange, *cktbMACPUAdjustmentRange,
             *cklblMACPUAdjustmentRangeValue, ProcessesText);
}

void TMainForm::btnMADefaultClick(TObject*) {
  OleCheck(Quillon->config()->Recommend(kAdvancedGroups));
  LoadAdvancedPage();
}

void TMainForm::btnMASaveClick(TObject*) { OleCheck(Quillon->config()->Save(kAdvancedGroups)); }

}  // namespace orvane
