// The overview strip (memory, paging file and processor), the tray icon's
// level and hint, fast free, deep compress with its processor guard and
// five-minute lock, the two progress events and the memory balloon.
#include <algorithm>
#include <string>

#include "Formulas.h"
#include "MainForm.h"
#include "SkinImagePanel.h"
#include "SkinProgressBar.h"
#include "TrayIcon.h"
#include "VeeButton.h"
#include "VozEverAvizi.h"
#include "CkLabel.h"
#include "CkPrgres.h"
#include "engineclient/EngineClient.h"
#include "kit/Own.h"

using namespace gui;
using namespace components;

namespace orvane {

namespace {

constexpr BYTE kBalloonSeconds = 10;

// The figures of the engine's last refresh.
struct TMemoryFigures {
  std::uint64_t TotalPhysical = 0, UsedPhysical = 0, TotalPagingFile = 0, UsedPagingFile = 0;

  explicit TMemoryFigures(IMOState& state) {
    OleCheck(state.get_TotalPhysicalMemory(&TotalPhysical));
    OleCheck(state.get_UsedPhysicalMemory(&UsedPhysical));
    OleCheck(state.get_TotalPagingFile(&TotalPagingFile));
    OleCheck(state.get_UsedPagingFile(&UsedPagingFile));
  }
  int MemoryPercent() const { return PercentOf(UsedPhysical, TotalPhysical); }
  int PagingFilePercent() const { return PercentOf(UsedPagingFile, TotalPagingFile); }
};

unsigned char ProcessorUsage(IMOState& state) {
  unsigned char usage = 0;
  OleCheck(state.get_CPUUsage(0, &usage));
  return usage;
}

// "used/total MB", the figures in whole megabytes.
std::string UsedOfTotal(std::uint64_t used, std::uint64_t total) {
  return std::to_string(BytesToMB(used)) + "/" + std::to_string(BytesToMB(total)) + " " + LANG_COMMON_MB;
}

std::string Percent(int value) { return "(" + std::to_string(value) + "%)"; }

}  // namespace

void TMainForm::RefreshOverview() {
  TComPtr<IMOState> state = Quillon->State();
  OleCheck(state->Refresh());
  const unsigned char processor = ProcessorUsage(*state.Get());
  const TMemoryFigures figures(*state.Get());

  // The strip only paints: hidden in the tray it waits for the next showing.
  overviewView_.Update(Visible(), [this, figures, processor] {
    skpbMemoryUsage->SetPosition(figures.MemoryPercent());
    cklblMemoryUsage->SetCaption(LANG_COMMON_MEMORY_USAGE + ": " +
                                 UsedOfTotal(figures.UsedPhysical, figures.TotalPhysical));
    skpbPagingFileUsage->SetPosition(figures.PagingFilePercent());
    cklblPagingFileUsage->SetCaption(LANG_COMMON_PAGING_FILE_USAGE + ": " +
                                     UsedOfTotal(figures.UsedPagingFile, figures.TotalPagingFile));
    skpbCPUUsage->SetPosition(processor);
  });

  if (tiTrayIcon->IconVisible()) {
    tiTrayIcon->SetIconIndex(TrayIconIndex(figures.UsedPhysical, figures.TotalPhysical));
    tiTrayIcon->SetHint(LANG_MAIN_CAPTION + "\r\n" + UsedOfTotal(figures.UsedPhysical, figures.TotalPhysical) + " " +
                        Percent(figures.MemoryPercent()));
  }
}

void TMainForm::tmrOverviewTimer(TObject*) { RefreshOverview(); }

// --- fast free ------------------------------------------------------------------------

void TMainForm::FastFree() {
  // The engine frees in the background and reports through its events.
  OleCheck(Quillon->Defrag()->FastFree(VARIANT_FALSE));
}

void TMainForm::btnFreeUpClick(TObject*) { FastFree(); }

void TMainForm::mniTIFreeMemroyClick(TObject*) { FastFree(); }

void TMainForm::hkmMainHotKeyPressed(DWORD HotKey, WORD) {
  if (HotKey == RegisteredHotKey) FastFree();
}

void TMainForm::OnMOFastFreeProgress(TObject*, unsigned char ProgressValue) {
  if (Closing()) return;
  // The overview stands still while the engine frees; the next tick after
  // the end shows the freed memory.
  if (ProgressValue == 0) tmrOverview->SetEnabled(false);
  if (ProgressValue == 100) tmrOverview->SetEnabled(true);
}

// --- deep compress --------------------------------------------------------------------

void TMainForm::btnDefragClick(TObject*) { StartDeepCompress(); }

void TMainForm::StartDeepCompress() {
  if (CpuProtectionOn) {
    // The figure of the last refresh: a busy processor is left alone, silently.
    unsigned char limit = 0;
    OleCheck(Quillon->config()->get_CPUProtectionValue(&limit));
    if (ProcessorUsage(*Quillon->State().Get()) >= limit) return;
  }
  if (CanDeepCompress) {
    // The lock runs from the start of the compress, whether or not the
    // engine carries it out.
    CanDeepCompress = false;
    OleCheck(Quillon->Defrag()->DeepCompress());
    tmrWait5Min->SetEnabled(true);
  } else {
    Application->ShowMessageBox(LANG_MSG_WAIT5MIN, LANG_MSG_WARNING, MB_OK | MB_ICONWARNING);
  }
}

void TMainForm::tmrWait5MinTimer(TObject*) {
  CanDeepCompress = true;
  tmrWait5Min->SetEnabled(false);
}

void TMainForm::OnMODeepCompressProgress(TObject*, unsigned char ProgressValue) {
  if (Closing()) return;
  if (ProgressValue == 0) {
    tmrOverview->SetEnabled(false);
    btnFreeUp->SetVisible(false);
    btnDefrag->SetVisible(false);
    cklblCompressing->SetCaption(LANG_COMMON_COMPRESSING);
    skimgpnlCompressing->SetVisible(true);
  }
  if (ProgressValue == 100) {
    skimgpnlCompressing->SetVisible(false);
    btnFreeUp->SetVisible(true);
    btnDefrag->SetVisible(true);
    tmrOverview->SetEnabled(true);
  }
  ckpbCompressing->SetPercent(ProgressValue);
}

// --- the action buttons' captions -------------------------------------------------------

void TMainForm::PlaceActionCaptions() {
  kit::WindowDC screen(nullptr);
  for (TVeeButton* button : {btnFreeUp, btnDefrag}) {
    kit::Selection font(screen.Get(), button->Font()->Handle());
    SIZE extent{};
    const std::string& caption = button->Caption();
    GetTextExtentPoint32A(screen.Get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
    button->SetTextX(std::max(0, (button->Width() - static_cast<int>(extent.cx)) / 2));
  }
}

// --- the memory balloon ---------------------------------------------------------------

void TMainForm::mniTIInformationClick(TObject*) {
  const TMemoryFigures figures(*Quillon->State().Get());
  const std::string text =
      LANG_COMMON_MEMORY_USAGE + ": " + UsedOfTotal(figures.UsedPhysical, figures.TotalPhysical) + " - " +
      Percent(figures.MemoryPercent()) + "\r\n" + LANG_COMMON_PAGING_FILE_USAGE + ":  " +
      UsedOfTotal(figures.UsedPagingFile, figures.TotalPagingFile) + " - " + Percent(figures.PagingFilePercent());
  tiTrayIcon->ShowBalloonHint(LANG_TRAY_INFORMATION_TITLE, text, biInfo, kBalloonSeconds);
}

}  // namespace orvane
