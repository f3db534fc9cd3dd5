// The process page's rows in a main window made in this process over the
// real engine, with the engine's process events played in orders the system
// cannot be made to produce on demand: events before the first filling (as
// under "/autorun"), an event whose index has gone stale, and a count of one;
// and the list menu, which pops up over a selected row only.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CkLabel.h"
#include "CkListVw.h"
#include "MainForm.h"
#include "MainWindowInTest.h"
#include "ProgramHarness.h"
#include "VeeButton.h"
#include "engineclient/EngineClient.h"
#include "gui/Automation.h"
#include "gui/ComCtrls.h"

using namespace gui;
namespace at = gui::automation;
using orvane::MainForm;
using harness::TChildProcess;

namespace {

int RowsOf(const TChildProcess& child) {
  int rows = 0;
  TListItems* items = MainForm->cklvProcess->Items();
  for (int i = 0; i < items->Count(); ++i)
    if (items->Item(i)->SubItems()->Strings(0) == child.IdText()) ++rows;
  return rows;
}

// Refreshes the engine's list until it holds the process; its index there.
ULONG ListedIndex(const TChildProcess& child) {
  const DWORD processId = child.Id();
  TComPtr<IMOProcessList> list = MainForm->Quillon->ProcessList();
  for (const DWORD start = GetTickCount(); GetTickCount() - start < harness::kPatienceMs; Sleep(100)) {
    OleCheck(list->Refresh());
    TComPtr<IMOProcessItem> item;
    OleCheck(list->get_ProcessItemByID(processId, item.Out()));
    ULONG index = 0;
    if (item && SUCCEEDED(item->get_Index(&index))) return index;
  }
  ADD_FAILURE() << "the engine never listed process " << processId;
  return 0;
}

class ProcessRows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { harness::MakeMainWindow(); }
  static void TearDownTestSuite() { harness::CloseMainWindow(); }
};

}  // namespace

TEST_F(ProcessRows, EachProcessHasOneRowWhateverOrderTheEventsComeIn) {
  // Not yet shown, as under "/autorun": an event adds the row first, and the
  // first filling must not add it again.
  TChildProcess early;
  ListedIndex(early);
  MainForm->OnMOProcessNew(nullptr, 0, early.Id());
  EXPECT_EQ(RowsOf(early), 1);
  MainForm->Show();
  ASSERT_EQ(MainForm->Tag(), 1) << "the first showing ran";
  EXPECT_EQ(RowsOf(early), 1);
  EXPECT_GT(MainForm->cklvProcess->Items()->Count(), 2);

  // An event is found by its process id: the index it carries may belong to
  // another process by the time it is handled.
  TChildProcess late;
  const ULONG index = ListedIndex(late);
  MainForm->OnMOProcessNew(nullptr, index == 0 ? 1 : 0, late.Id());
  ASSERT_EQ(RowsOf(late), 1);
  TListItems* items = MainForm->cklvProcess->Items();
  EXPECT_EQ(items->Item(items->Count() - 1)->Caption(), "pmchild.exe");

  // The engine's own events for both arrive meanwhile and add nothing: they
  // come in order, so once a later process's own event has added its row,
  // theirs have been handled.
  TChildProcess marker;
  ListedIndex(marker);
  EXPECT_TRUE(at::PumpUntil([&] { return RowsOf(marker) == 1; })) << "the engine's event never came";
  EXPECT_EQ(RowsOf(early), 1);
  EXPECT_EQ(RowsOf(late), 1);

  // The list menu pops up over a selected row only.
  at::ClearRecords();
  MainForm->cklvProcess->SetSelected(nullptr);
  MainForm->cklvProcessMouseDown(nullptr, mbRight, {}, 0, 0);
  EXPECT_TRUE(at::PoppedMenus().empty());
  MainForm->cklvProcess->SetSelected(items->Item(items->Count() - 1));
  MainForm->cklvProcessMouseDown(nullptr, mbRight, {}, 0, 0);
  EXPECT_EQ(at::PoppedMenus(), std::vector<std::string>{"popmnuPMListMenu"});

  // An exit for an id without a row changes nothing; one row reads singular.
  const int count = items->Count();
  MainForm->OnMOProcessExit(nullptr, 0, 0xFFFFFFF0u);
  EXPECT_EQ(items->Count(), count);
  while (items->Count() > 1) items->Delete(items->Count() - 1);
  MainForm->UpdateProcessList();
  EXPECT_EQ(MainForm->cklblPMProcessCount->Caption(), "1 process");
}

TEST_F(ProcessRows, RowsWaitWhileTheirPageIsNotSeenAndCatchUpBeforeItShows) {
  MainForm->Show();
  ASSERT_EQ(MainForm->Tag(), 1);
  MainForm->btnTabMGClick(MainForm->btnTabMG);
  TChildProcess child;
  ListedIndex(child);
  MainForm->OnMOProcessNew(nullptr, 0, child.Id());
  ASSERT_EQ(RowsOf(child), 1);
  auto row = [&]() -> TListItem* {
    TListItems* items = MainForm->cklvProcess->Items();
    for (int i = 0; i < items->Count(); ++i)
      if (items->Item(i)->SubItems()->Strings(0) == child.IdText()) return items->Item(i);
    return nullptr;
  };
  ASSERT_EQ(row()->SubItems()->Strings(2), "Normal");

  // The engine's list follows at each tick; the rows of a page nobody sees
  // do not.
  ASSERT_TRUE(SetPriorityClass(child.Handle(), HIGH_PRIORITY_CLASS));
  MainForm->tmrProcessListTimer(MainForm->tmrProcessList);
  TComPtr<IMOProcessItem> item;
  OleCheck(MainForm->Quillon->ProcessList()->get_ProcessItemByID(child.Id(), item.Out()));
  ASSERT_TRUE(item);
  _MO_PROCESS_PRIORIT priority = MO_PP_UNKNOWN;
  OleCheck(item->get_ProcessPriority(&priority));
  EXPECT_EQ(priority, MO_PP_HIGH);
  EXPECT_EQ(row()->SubItems()->Strings(2), "Normal");

  // Showing the page brings its rows up to date at once, before it paints
  // (no message is handled in between).
  MainForm->btnTabPMClick(MainForm->btnTabPM);
  EXPECT_EQ(row()->SubItems()->Strings(2), "High");

  // A seen page follows every tick.
  ASSERT_TRUE(SetPriorityClass(child.Handle(), IDLE_PRIORITY_CLASS));
  MainForm->tmrProcessListTimer(MainForm->tmrProcessList);
  EXPECT_EQ(row()->SubItems()->Strings(2), "Low");
  MainForm->btnTabMGClick(MainForm->btnTabMG);
}

