// The process manager page: one row per running process with its id,
// memory and priority, kept current from the engine's process list, and the
// actions on the selected process: free its memory, terminate it, change its
// priority.
#include <windows.h>

#include <array>
#include <exception>
#include <string>

#include "CkLabel.h"
#include "CkListVw.h"
#include "Formulas.h"
#include "MainForm.h"
#include "SkinImagePanel.h"
#include "VeeButton.h"
#include "VeeSysTools.h"
#include "VozEverAvizi.h"
#include "engineclient/EngineClient.h"
#include "gui/ComCtrls.h"
#include "gui/Menus.h"
#include "kit/Own.h"

using namespace gui;
using namespace components;

namespace orvane {

namespace {

// The lock the rows' records are freed under, named after the list.
constexpr char kProcessListLock[] = "cklvProcess";
constexpr DWORD kProcessListLockWaitMs = 1000;

// Sub-items of a row, after its caption (the name).
constexpr int kIdColumn = 0;
constexpr int kMemoryColumn = 1;
constexpr int kPriorityColumn = 2;

// The idle and the system process: nothing on this page may act on them.
bool IsProtected(DWORD processId) { return processId == 0 || processId == 4; }

// The text of a priority, or null for a value that has none.
const std::string* PriorityText(int priority) {
  switch (priority) {
    case MO_PP_IDLE: return &LANG_PRC_PRI_LOW;
    case MO_PP_BELOW_NORMAL: return &LANG_PRC_PRI_BELOWNORMAL;
    case MO_PP_NORMAL: return &LANG_PRC_PRI_NORMAL;
    case MO_PP_ABOVE_NORMAL: return &LANG_PRC_PRI_ABOVENORMAL;
    case MO_PP_HIGH: return &LANG_PRC_PRI_HIGH;
    case MO_PP_REALTIME: return &LANG_PRC_PRI_REALTIME;
    default: return nullptr;
  }
}

std::string ThousandSeparator() {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof(separator)) == 0) return ",";
  return separator;
}

std::string MemoryText(std::uint64_t bytes) { return KilobytesText(bytes, ThousandSeparator()); }

}  // namespace

// --- rows ---------------------------------------------------------------------------

TListItem* TMainForm::FindProcessRow(DWORD processId) const {
  TListItems* rows = cklvProcess->Items();
  for (int i = 0; i < rows->Count(); ++i) {
    auto* record = static_cast<const TProcessRowData*>(rows->Item(i)->Data());
    if (record && record->ProcessID == processId) return rows->Item(i);
  }
  return nullptr;
}

void TMainForm::AddProcessRow(IMOProcessItem& item) {
  ULONG processId = 0;
  OleCheck(item.get_ProcessID(&processId));
  // One row per process: the first filling may meet rows that process events
  // added before it, and an event may report a process that filling listed.
  if (FindProcessRow(processId)) return;
  std::uint64_t memory = 0;
  OleCheck(item.get_ProcessMemory(&memory));
  _MO_PROCESS_PRIORIT priority = MO_PP_UNKNOWN;
  OleCheck(item.get_ProcessPriority(&priority));
  TBStr name;
  OleCheck(item.get_ProcessName(name.Out()));

  auto record = std::make_unique<TProcessRowData>();
  record->ProcessID = processId;
  record->ProcessMemory = memory;
  record->ProcessPriority = priority;
  TListItem* row = cklvProcess->Items()->Add();
  row->SetData(record.get());
  processRows_.push_back(std::move(record));
  row->SetCaption(name.Text());
  row->SubItems()->Add(std::to_string(processId));
  row->SubItems()->Add(MemoryText(memory));
  // The priority cell is there even without a text, so a later tick can fill it.
  const std::string* priorityText = PriorityText(priority);
  row->SubItems()->Add(priorityText ? *priorityText : "");
}

void TMainForm::FillProcessList() {
  tmrProcessList->SetEnabled(false);
  auto resume = kit::OnExit([this] { tmrProcessList->SetEnabled(true); });
  try {
    TComPtr<IMOProcessList> list = Quillon->ProcessList();
    OleCheck(list->Refresh());
    ULONG count = 0;
    OleCheck(list->get_ProcessCount(&count));
    for (ULONG i = 0; i < count; ++i) {
      TComPtr<IMOProcessItem> item;
      OleCheck(list->get_ProcessItemByIndex(i, item.Out()));
      if (item) AddProcessRow(*item.Get());
    }
  } catch (const std::exception&) {
    // A list that cannot be read stays as far as it came; the events and the
    // timer carry on from there.
  }
}

void TMainForm::OnMOProcessNew(TObject*, unsigned long, unsigned long ProcessID) {
  if (Closing()) return;
  try {
    // By id: the index the event carries may be stale by now.
    TComPtr<IMOProcessItem> item;
    OleCheck(Quillon->ProcessList()->get_ProcessItemByID(ProcessID, item.Out()));
    if (item) AddProcessRow(*item.Get());
  } catch (const std::exception&) {
  }
}

void TMainForm::OnMOProcessExit(TObject*, unsigned long, unsigned long ProcessID) {
  if (Closing()) return;
  TListItem* row = FindProcessRow(ProcessID);
  if (!row) return;
  auto* record = static_cast<TProcessRowData*>(row->Data());
  row->Delete();
  std::erase_if(processRows_, [record](const auto& owned) { return owned.get() == record; });
}

void TMainForm::tmrProcessListTimer(TObject*) {
  // The engine's list keeps its pace (game mode and the fast free read it);
  // the rows only paint and wait while the page is not seen.
  if (RefreshProcessEngine())
    processRowsView_.Update(Visible() && skimgpnlPM->Visible(), [this] { ShowProcessRows(); });
}

void TMainForm::UpdateProcessList() {
  if (RefreshProcessEngine()) ShowProcessRows();
}

bool TMainForm::RefreshProcessEngine() {
  try {
    OleCheck(Quillon->ProcessList()->Refresh());
    return true;
  } catch (const std::exception&) {
    return false;  // the next tick tries again
  }
}

void TMainForm::ShowProcessRows() {
  try {
    TComPtr<IMOProcessList> list = Quillon->ProcessList();
    ULONG count = 0;
    OleCheck(list->get_ProcessCount(&count));
    TListItems* rows = cklvProcess->Items();
    if (count == 0 || rows->Count() == 0) return;
    for (int i = 0; i < rows->Count(); ++i) {
      TListItem* row = rows->Item(i);
      auto* record = static_cast<TProcessRowData*>(row->Data());
      if (!record) continue;
      TComPtr<IMOProcessItem> item;
      OleCheck(list->get_ProcessItemByID(record->ProcessID, item.Out()));
      if (!item) continue;
      std::uint64_t memory = 0;
      OleCheck(item->get_ProcessMemory(&memory));
      if (memory != record->ProcessMemory) {
        record->ProcessMemory = memory;
        row->SubItems()->SetStrings(kMemoryColumn, MemoryText(memory));
      }
      _MO_PROCESS_PRIORIT priority = MO_PP_UNKNOWN;
      OleCheck(item->get_ProcessPriority(&priority));
      if (priority != record->ProcessPriority) {
        record->ProcessPriority = priority;
        if (const std::string* text = PriorityText(priority)) row->SubItems()->SetStrings(kPriorityColumn, *text);
      }
    }
    ShowProcessCount();
  } catch (const std::exception&) {
    // The next tick tries again.
  }
}

void TMainForm::ShowProcessCount() {
  cklblPMProcessCount->SetCaption(
      CountText(cklvProcess->Items()->Count(), LANG_COMMON_PROCESS, LANG_COMMON_PROCESSES));
}

void TMainForm::ClearProcessList() {
  HANDLE lock = WaitForNamedMutex(kProcessListLock, kProcessListLockWaitMs);
  if (!lock) return;
  auto release = kit::OnExit([lock] { ReleaseNamedMutex(lock); });
  cklvProcess->Items()->Clear();
  processRows_.clear();
}

// --- selection and the list menu -------------------------------------------------------

void TMainForm::cklvProcessSelectItem(TObject*, TListItem* Item, bool Selected) {
  if (!Item || !Selected) return;
  auto* record = static_cast<const TProcessRowData*>(Item->Data());
  const bool actionable = record && !IsProtected(record->ProcessID);
  btnPMKill->SetEnabled(actionable);
  btnPMFreeUp->SetEnabled(actionable);
}

void TMainForm::cklvProcessMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  TListItem* row = cklvProcess->Selected();
  if (!row) return;
  auto* record = static_cast<const TProcessRowData*>(row->Data());
  if (!record || IsProtected(record->ProcessID)) return;
  const std::array<std::pair<TMenuItem*, int>, 6> items = {{{mniPMPriorityRealtime, MO_PP_REALTIME},
                                                            {mniPMPriorityHigh, MO_PP_HIGH},
                                                            {mniPMPriorityAboveNormal, MO_PP_ABOVE_NORMAL},
                                                            {mniPMPriorityNormal, MO_PP_NORMAL},
                                                            {mniPMPriorityBelowNormal, MO_PP_BELOW_NORMAL},
                                                            {mniPMPriorityLow, MO_PP_IDLE}}};
  for (const auto& [item, priority] : items) item->SetChecked(priority == record->ProcessPriority);
  if (Button != mbRight) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  popmnuPMListMenu->Popup(cursor.x, cursor.y);
}

// --- actions ------------------------------------------------------------------------------

TComPtr<IMOProcessItem> TMainForm::SelectedProcessItem() {
  TComPtr<IMOProcessItem> item;
  TListItem* row = cklvProcess->Selected();
  auto* record = row ? static_cast<const TProcessRowData*>(row->Data()) : nullptr;
  if (!record || IsProtected(record->ProcessID)) return item;
  OleCheck(Quillon->ProcessList()->get_ProcessItemByID(record->ProcessID, item.Out()));
  return item;
}

void TMainForm::btnPMFreeUpClick(TObject*) {
  if (TComPtr<IMOProcessItem> item = SelectedProcessItem()) OleCheck(item->FreeMemory());
}

void TMainForm::mniPMFreeClick(TObject* Sender) { btnPMFreeUpClick(Sender); }

void TMainForm::TerminateSelectedProcess() {
  TListItem* row = cklvProcess->Selected();
  if (!row) return;
  auto* record = static_cast<const TProcessRowData*>(row->Data());
  if (record && IsProtected(record->ProcessID)) return;
  // The question's modal loop goes on handling the engine's events, and the
  // process's exit may remove this row meanwhile: what the answer needs is
  // taken now, and the engine's item is looked up by id afterwards.
  const bool hasRecord = record != nullptr;
  const DWORD processId = hasRecord ? record->ProcessID : 0;
  const std::string idText = row->SubItems()->Count() > kIdColumn ? row->SubItems()->Strings(kIdColumn) : "";
  const std::string question = LANG_MSG_TERMINATE_PROCESS + row->Caption() + "[" + idText + "]\".     ";
  if (Application->ShowMessageBox(question, LANG_MSG_WARNING, MB_YESNO | MB_ICONWARNING) == IDNO) return;
  if (!hasRecord || Closing()) return;
  TComPtr<IMOProcessItem> item;
  OleCheck(Quillon->ProcessList()->get_ProcessItemByID(processId, item.Out()));
  // The row goes when the engine reports the exit.
  if (item) OleCheck(item->Terminate());
}

void TMainForm::btnPMKillClick(TObject*) { TerminateSelectedProcess(); }

void TMainForm::mniPMTerminateClick(TObject*) { TerminateSelectedProcess(); }

void TMainForm::SetProcessPriority(int Priority) {
  // The row's text follows at the next tick.
  if (TComPtr<IMOProcessItem> item = SelectedProcessItem())
    OleCheck(item->put_ProcessPriority(static_cast<_MO_PROCESS_PRIORIT>(Priority)));
}

void TMainForm::mniPMPriorityRealtimeClick(TObject*) { SetProcessPriority(MO_PP_REALTIME); }
void TMainForm::mniPMPriorityHighClick(TObject*) { SetProcessPriority(MO_PP_HIGH); }
void TMainForm::mniPMPriorityAboveNormalClick(TObject*) { SetProcessPriority(MO_PP_ABOVE_NORMAL); }
void TMainForm::mniPMPriorityNormalClick(TObject*) { SetProcessPriority(MO_PP_NORMAL); }
void TMainForm::mniPMPriorityBelowNormalClick(TObject*) { SetProcessPriority(MO_PP_BELOW_NORMAL); }
void TMainForm::mniPMPriorityLowClick(TObject*) { SetProcessPriority(MO_PP_IDLE); }

}  // namespace orvane
