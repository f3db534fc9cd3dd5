// The process list over fake enumeration: first fill, new and ended
// processes, matching, fallbacks, item fields and operations, and the
// sharing of items with readers on other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>

#include "EngineError.h"
#include "MOProcessList.h"
#include "ProcessFakes.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

class ProcessListTest : public ::testing::Test {
 protected:
  ProcessListTest() {
    processes.Start(0, L"[System Process]");
    processes.Start(4, L"System");
    processes.Start(100, L"a.exe", L"", 1000);
    b = processes.Start(200, L"b.exe", L"", 2000);
    thread = MessageThread();
  }
  // A test that holds the icon queries back lets them go, whatever its end.
  ~ProcessListTest() override { shell.OpenGate(); }

  // A list that has had its first fill; later refreshes post to this thread.
  CMOProcessList& List() {
    if (!list) {
      list = std::make_unique<CMOProcessList>(FakeSeams(processes, shell));
      list->SetEventThread(thread);
    }
    return *list;
  }

  IMOProcessItem* ById(ULONG id) {
    IMOProcessItem* item = nullptr;
    List().get_ProcessItemByID(id, &item);
    if (item) item->Release();  // owned by the list; the test only looks
    return item;
  }

  std::wstring NameOf(IMOProcessItem* item) {
    BSTR name = nullptr;
    item->get_ProcessName(&name);
    std::wstring text = name ? name : L"";
    SysFreeString(name);
    return text;
  }

  std::wstring PathOf(IMOProcessItem* item) {
    BSTR path = nullptr;
    item->get_ProcessPath(&path);
    std::wstring text = path ? path : L"";
    SysFreeString(path);
    return text;
  }

  ULONG IconIndexOf(IMOProcessItem* item) {
    ULONG index = 0;
    EXPECT_EQ(S_OK, item->get_ProcessIconIndex(&index));
    return index;
  }

  bool HasIcon(IMOProcessItem* item) {
    IPictureDisp* picture = nullptr;
    EXPECT_EQ(S_OK, item->get_ProcessIcon(&picture));
    if (picture) picture->Release();
    return picture != nullptr;
  }

  ULONG Count() {
    ULONG count = 0;
    List().get_ProcessCount(&count);
    return count;
  }

  FakeProcessSystem processes;
  FakeShell shell;
  size_t b = 0;
  DWORD thread = 0;
  std::unique_ptr<CMOProcessList> list;
};

TEST_F(ProcessListTest, FirstSuccessfulFillPostsNothing) {
  processes.sessionsWork = processes.snapshotWorks = false;
  List();  // construction finds nothing: still the first fill
  EXPECT_EQ(0u, Count());
  processes.sessionsWork = true;
  EXPECT_EQ(S_OK, List().Refresh());
  EXPECT_EQ(4u, Count());
  EXPECT_TRUE(TakePosted().empty());
}

TEST_F(ProcessListTest, NewAndEndedProcessesAreReportedOnceWithTheirIndex) {
  List();
  processes.Start(300, L"c.exe");
  processes.End(b);
  ASSERT_EQ(S_OK, List().Refresh());
  // The ended one carries the Index of its last refresh; c.exe is now third.
  std::vector<Posted> expected = {{kMsgProcessExit, 3, 200}, {kMsgProcessNew, 3, 300}};
  EXPECT_EQ(expected, TakePosted());
  ASSERT_EQ(S_OK, List().Refresh());
  EXPECT_TRUE(TakePosted().empty());
  ULONG index = 0;
  ById(300)->get_Index(&index);
  EXPECT_EQ(3u, index);
  EXPECT_EQ(nullptr, ById(200));
}

TEST_F(ProcessListTest, IdleProcessAndSystemAreKept) {
  List();
  IMOProcessItem* idle = ById(0);
  ASSERT_NE(nullptr, idle);
  UINT64 memory = 0;
  _MO_PROCESS_PRIORIT priority = MO_PP_UNKNOWN;
  ULONG handle = 1;
  idle->get_ProcessMemory(&memory);
  idle->get_ProcessPriority(&priority);
  idle->get_ProcessHandle(&handle);
  EXPECT_EQ(L"System Idle Process", NameOf(idle));
  EXPECT_EQ(16384u, memory);
  EXPECT_EQ(MO_PP_NORMAL, priority);
  EXPECT_EQ(0u, handle);

  processes.table[1].ended = true;  // process 4 reads as ended
  List().Refresh();
  EXPECT_NE(nullptr, ById(4));
  EXPECT_TRUE(TakePosted().empty());
}

TEST_F(ProcessListTest, ReusedIdentifierWithAnotherNameIsANewItem) {
  List();
  processes.End(b);
  processes.Start(200, L"d.exe");
  List().Refresh();
  std::vector<Posted> expected = {{kMsgProcessExit, 3, 200}, {kMsgProcessNew, 3, 200}};
  EXPECT_EQ(expected, TakePosted());
  EXPECT_EQ(L"d.exe", NameOf(ById(200)));
  EXPECT_EQ(4u, Count());
}

TEST_F(ProcessListTest, ProcessThatCannotBeOpenedIsTriedAgainLater) {
  List();
  size_t locked = processes.Start(500, L"locked.exe");
  processes.table[locked].openable = false;
  List().Refresh();
  EXPECT_EQ(nullptr, ById(500));
  EXPECT_TRUE(TakePosted().empty());
  processes.table[locked].openable = true;
  List().Refresh();
  EXPECT_NE(nullptr, ById(500));
  EXPECT_EQ(1u, TakePosted().size());
}

TEST_F(ProcessListTest, ProcessListedBeforeItsNameIsTakenOnceItHasOne) {
  List();
  size_t starting = processes.Start(600, L"");
  List().Refresh();
  EXPECT_EQ(nullptr, ById(600));
  EXPECT_TRUE(TakePosted().empty());
  processes.table[starting].name = L"late.exe";
  List().Refresh();
  ASSERT_NE(nullptr, ById(600));
  EXPECT_EQ(L"late.exe", NameOf(ById(600)));
  std::vector<Posted> expected = {{kMsgProcessNew, 4, 600}};
  EXPECT_EQ(expected, TakePosted());
}

TEST_F(ProcessListTest, SnapshotEnumerationTakesOverAndCountsFromOne) {
  processes.sessionsWork = false;
  List();
  ULONG index = 0;
  ById(0)->get_Index(&index);
  EXPECT_EQ(1u, index);

  processes.snapshotWorks = false;
  processes.End(b);
  EXPECT_EQ(S_FALSE, List().Refresh());
  // Ended processes are dropped even when no enumeration works.
  std::vector<Posted> expected = {{kMsgProcessExit, 4, 200}};
  EXPECT_EQ(expected, TakePosted());
  EXPECT_EQ(3u, Count());
}

TEST_F(ProcessListTest, RefreshInsideARefreshIsRefusedAndAnExceptionStopsAtTheCallWithItsCodeAndFreesTheFlag) {
  List();
  HRESULT inner = S_OK;
  processes.duringEnumeration = [&] { inner = List().Refresh(); };
  EXPECT_EQ(S_OK, List().Refresh());
  EXPECT_EQ(S_FALSE, inner);

  processes.Start(300, L"c.exe");
  processes.duringEnumeration = [] { throw std::bad_alloc(); };
  EXPECT_EQ(E_OUTOFMEMORY, List().Refresh());
  processes.duringEnumeration = [] { throw std::runtime_error("broken"); };
  EXPECT_EQ(E_FAIL, List().Refresh());
  // A failed Windows call keeps its code for the client's message; one
  // without a code is no success.
  processes.duringEnumeration = [] { throw tarnwick::Win32Error("Process32NextW", ERROR_ACCESS_DENIED); };
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), List().Refresh());
  processes.duringEnumeration = [] { throw tarnwick::Win32Error("Process32NextW", ERROR_SUCCESS); };
  EXPECT_EQ(E_FAIL, List().Refresh());
  EXPECT_EQ(nullptr, ById(300));
  // The engine goes on as if nothing had happened.
  processes.duringEnumeration = nullptr;
  EXPECT_EQ(S_OK, List().Refresh());
  EXPECT_EQ(L"c.exe", NameOf(ById(300)));
  EXPECT_EQ(5u, Count());
}

TEST_F(ProcessListTest, ProcessorUseIsMeasuredBetweenRefreshes) {
  processes.processors = 2;
  List();
  unsigned char cpu = 99;
  ById(100)->get_ProcessCPU(&cpu);
  EXPECT_EQ(0, cpu);  // one sample only
  processes.now += 10'000'000;  // one second
  processes.table[2].processorTime += 5'000'000;
  List().Refresh();
  ById(100)->get_ProcessCPU(&cpu);
  EXPECT_EQ(25, cpu);  // half a second of one processor out of two
  processes.now += 10'000'000;
  List().Refresh();
  ById(100)->get_ProcessCPU(&cpu);
  EXPECT_EQ(0, cpu);
  EXPECT_EQ(100, ProcessorPercent(30'000'000, 10'000'000, 2));  // clamped
  EXPECT_EQ(0, ProcessorPercent(5, 0, 1));
}

TEST_F(ProcessListTest, ItemLookupsOutOfRangeGiveNullAndSFalse) {
  IMOProcessItem* item = reinterpret_cast<IMOProcessItem*>(1);
  EXPECT_EQ(S_FALSE, List().get_ProcessItemByIndex(Count(), &item));
  EXPECT_EQ(nullptr, item);
  item = reinterpret_cast<IMOProcessItem*>(1);
  EXPECT_EQ(S_FALSE, List().get_ProcessItemByID(12345, &item));
  EXPECT_EQ(nullptr, item);
  EXPECT_EQ(S_OK, List().get_ProcessItemByIndex(Count() - 1, &item));
  EXPECT_EQ(L"b.exe", NameOf(item));
  item->Release();
}

TEST_F(ProcessListTest, ItemsReachableThroughDispatch) {
  IDispatch* dispatch = &List();
  VARIANTARG index;
  index.vt = VT_UI4;
  index.ulVal = 3;
  DISPPARAMS byIndex = {&index, nullptr, 1, 0};
  VARIANT item;
  VariantInit(&item);
  ASSERT_EQ(S_OK, dispatch->Invoke(4, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &byIndex, &item,
                                   nullptr, nullptr));
  ASSERT_EQ(VT_DISPATCH, item.vt);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT name;
  VariantInit(&name);
  ASSERT_EQ(S_OK, item.pdispVal->Invoke(6, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &name,
                                        nullptr, nullptr));
  EXPECT_STREQ(L"b.exe", name.bstrVal);
  VariantClear(&name);
  VariantClear(&item);
  EXPECT_EQ(L"b.exe", NameOf(ById(200)));  // the client's release left the item to the list
}

TEST_F(ProcessListTest, NewProcessStartsThroughTheShellAndRefreshes) {
  List();
  EXPECT_EQ(S_FALSE, List().NewProcess(nullptr, nullptr));
  EXPECT_TRUE(shell.calls.empty());

  BSTR path = SysAllocString(L"C:\\Apps\\new.exe");
  BSTR param = SysAllocString(L"-x");
  shell.onExecute = [&] { processes.Start(600, L"new.exe"); };
  EXPECT_EQ(S_OK, List().NewProcess(path, param));
  ASSERT_EQ(1u, shell.calls.size());
  EXPECT_EQ(L"", shell.calls[0].verb);
  EXPECT_EQ(L"-x", shell.calls[0].parameters);
  std::vector<Posted> expected = {{kMsgProcessNew, 4, 600}};
  EXPECT_EQ(expected, TakePosted());

  shell.onExecute = nullptr;
  shell.result = 2;  // file not found
  EXPECT_EQ(S_FALSE, List().NewProcess(path, param));
  SysFreeString(path);
  SysFreeString(param);
}

TEST_F(ProcessListTest, TerminatedItemStaysUntilTheNextRefresh) {
  List();
  IMOProcessItem* a = ById(100);
  EXPECT_EQ(S_OK, a->Terminate());
  EXPECT_EQ(std::vector<DWORD>{100}, processes.terminated);
  EXPECT_EQ(a, ById(100));
  EXPECT_EQ(S_OK, ById(200)->FreeMemory());
  EXPECT_EQ(std::vector<DWORD>{200}, processes.trimmed);
  List().Refresh();
  std::vector<Posted> expected = {{kMsgProcessExit, 2, 100}};
  EXPECT_EQ(expected, TakePosted());
}

TEST_F(ProcessListTest, PriorityPutSetsTheClassAndAnyValueShowsUntilRefresh) {
  List();
  IMOProcessItem* a = ById(100);
  EXPECT_EQ(S_OK, a->put_ProcessPriority(MO_PP_HIGH));
  std::vector<std::pair<DWORD, DWORD>> sets = {{100, HIGH_PRIORITY_CLASS}};
  EXPECT_EQ(sets, processes.prioritySets);
  _MO_PROCESS_PRIORIT priority = MO_PP_UNKNOWN;
  EXPECT_EQ(S_FALSE, a->put_ProcessPriority(static_cast<_MO_PROCESS_PRIORIT>(7)));
  a->get_ProcessPriority(&priority);
  EXPECT_EQ(7, priority);
  List().Refresh();
  a->get_ProcessPriority(&priority);
  EXPECT_EQ(MO_PP_HIGH, priority);

  processes.table[2].openable = false;
  EXPECT_EQ(S_FALSE, a->put_ProcessPriority(MO_PP_IDLE));
  a->get_ProcessPriority(&priority);
  EXPECT_EQ(MO_PP_HIGH, priority);  // not opened: nothing changes
}

TEST(ProcessPriority, TableBothWays) {
  const std::pair<_MO_PROCESS_PRIORIT, DWORD> table[] = {
      {MO_PP_IDLE, 0x40}, {MO_PP_BELOW_NORMAL, 0x4000}, {MO_PP_NORMAL, 0x20},
      {MO_PP_ABOVE_NORMAL, 0x8000}, {MO_PP_HIGH, 0x80}, {MO_PP_REALTIME, 0x100}};
  for (auto [priority, cls] : table) {
    EXPECT_EQ(cls, PriorityClassOf(priority));
    EXPECT_EQ(priority, PriorityOfClass(cls));
  }
  EXPECT_EQ(0u, PriorityClassOf(MO_PP_UNKNOWN));
  EXPECT_EQ(0u, PriorityClassOf(static_cast<_MO_PROCESS_PRIORIT>(-1)));
  EXPECT_EQ(MO_PP_UNKNOWN, PriorityOfClass(0));
  EXPECT_EQ(MO_PP_UNKNOWN, PriorityOfClass(0x10));
}

TEST(ProcessPath, Normalisation) {
  const std::pair<const wchar_t*, const wchar_t*> table[] = {
      {L"\\??\\C:\\Tools\\x.exe", L"C:\\Tools\\x.exe"},
      {L"\\SystemRoot\\System32\\smss.exe", L"D:\\Win\\system32\\smss.exe"},
      {L"c:\\program files\\App\\app.exe", L"C:\\Program Files\\App\\app.exe"},
      {L"\\??\\c:\\x.exe", L"C:\\x.exe"},
      {L"d:\\program files\\y.exe", L"d:\\Program Files\\y.exe"},
      {L"C:\\PROGRAM FILES\\z.exe", L"C:\\PROGRAM FILES\\z.exe"},  // case-sensitive
      {L"", L""},
  };
  for (auto [raw, shown] : table) {
    wchar_t path[MAX_PATH];
    lstrcpynW(path, raw, MAX_PATH);
    NormaliseProcessPath(path, L"D:\\Win\\system32\\");
    EXPECT_STREQ(shown, path) << raw;
  }
}

TEST_F(ProcessListTest, PathAndIconOfANewItemAreTakenWhenItIsListed) {
  processes.table[2].path = L"\\??\\c:\\program files\\a.exe";
  shell.giveIcons = true;
  List();
  EXPECT_EQ(L"C:\\Program Files\\a.exe", PathOf(ById(100)));
  // Nobody asks: the icon is taken all the same, from the normalised path.
  EXPECT_TRUE(shell.WaitUntilAsked(L"C:\\Program Files\\a.exe"));
  EXPECT_EQ(7u, IconIndexOf(ById(100)));
  IPictureDisp* picture = nullptr;
  ASSERT_EQ(S_OK, ById(100)->get_ProcessIcon(&picture));
  ASSERT_NE(nullptr, picture);
  IPicture* asPicture = nullptr;
  EXPECT_EQ(S_OK, picture->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&asPicture)));
  short type = 0;
  asPicture->get_Type(&type);
  EXPECT_EQ(PICTYPE_ICON, type);
  asPicture->Release();
  IPictureDisp* again = nullptr;
  ASSERT_EQ(S_OK, ById(100)->get_ProcessIcon(&again));
  EXPECT_EQ(picture, again) << "one picture, made once";
  again->Release();
  picture->Release();
  EXPECT_TRUE(shell.WaitUntilAsked(L"C:\\Apps\\b.exe"));
  EXPECT_EQ(3, shell.iconsAsked.load()) << "System, a.exe and b.exe, each once; the idle process has no file";
}

// Updaters rename or delete the program file of a running process; the item
// keeps the icon the file had when the process was listed. One listed after
// its file went has none, as one whose icon query fails.
TEST_F(ProcessListTest, ProgramFileRenamedAfterTheListingKeepsTheIconItHadThen) {
  shell.giveIcons = true;
  List();
  EXPECT_TRUE(shell.WaitUntilAsked(L"C:\\Apps\\a.exe")) << "taken when the item is made, not when asked";
  shell.Remove(L"C:\\Apps\\a.exe");
  EXPECT_EQ(7u, IconIndexOf(ById(100)));
  EXPECT_TRUE(HasIcon(ById(100)));

  processes.Start(300, L"c.exe");
  shell.Remove(L"C:\\Apps\\c.exe");
  List().Refresh();
  EXPECT_EQ(0u, IconIndexOf(ById(300)));
  IPictureDisp* picture = reinterpret_cast<IPictureDisp*>(1);
  EXPECT_EQ(S_OK, ById(300)->get_ProcessIcon(&picture));
  EXPECT_EQ(nullptr, picture);
}

TEST_F(ProcessListTest, PathUnreadableAtFirstIsTakenAtALaterRefreshWithItsIcon) {
  processes.table[2].path = L"";  // still starting: no module to read yet
  shell.giveIcons = true;
  List();
  EXPECT_EQ(L"", PathOf(ById(100)));
  EXPECT_EQ(0u, IconIndexOf(ById(100))) << "no path, no icon, nothing to wait for";
  processes.table[2].path = L"c:\\program files\\a.exe";
  List().Refresh();
  EXPECT_EQ(L"C:\\Program Files\\a.exe", PathOf(ById(100)));
  EXPECT_TRUE(shell.WaitUntilAsked(L"C:\\Program Files\\a.exe")) << "taken when the path comes";
  shell.Remove(L"C:\\Program Files\\a.exe");
  EXPECT_EQ(7u, IconIndexOf(ById(100)));
  processes.table[2].path = L"C:\\Elsewhere\\a.exe";
  List().Refresh();
  EXPECT_EQ(L"C:\\Program Files\\a.exe", PathOf(ById(100))) << "a known path stays";
  EXPECT_EQ(7u, IconIndexOf(ById(100)));
  EXPECT_EQ(3, shell.iconsAsked.load()) << "System, b.exe, then a.exe once";
}

TEST_F(ProcessListTest, IconAskedForBeforeItIsTakenIsWaitedFor) {
  shell.giveIcons = true;
  shell.CloseGate();
  List();
  ASSERT_TRUE(shell.WaitUntilAsked(L"C:\\Apps\\System"));  // held there; a.exe and b.exe wait their turn
  std::thread opener([&] {
    Sleep(100);
    shell.OpenGate();
  });
  EXPECT_EQ(7u, IconIndexOf(ById(200)));
  opener.join();
  EXPECT_EQ(3, shell.iconsAsked.load());
}

// The worker lets the client's start-up pass before its first icon; an
// icon asked for meanwhile ends the wait, and the icons come in list order.
TEST_F(ProcessListTest, IconsWaitForTheStartUpUnlessOneIsAskedFor) {
  shell.giveIcons = true;
  CMOProcessList::Seams seams = FakeSeams(processes, shell);
  seams.iconDelayMs = INFINITE;
  list = std::make_unique<CMOProcessList>(seams);
  EXPECT_FALSE(shell.WaitUntilAsked(L"C:\\Apps\\System", 300)) << "none during the start-up";
  EXPECT_EQ(7u, IconIndexOf(ById(200)));
  EXPECT_EQ(3, shell.iconsAsked.load()) << "System and a.exe before b.exe";
  processes.Start(300, L"c.exe");
  List().Refresh();
  EXPECT_TRUE(shell.WaitUntilAsked(L"C:\\Apps\\c.exe")) << "no waiting any more once begun";
}

TEST_F(ProcessListTest, DroppedItemsPendingIconIsGivenUpAndTheOthersFollow) {
  shell.giveIcons = true;
  shell.CloseGate();
  List();
  ASSERT_TRUE(shell.WaitUntilAsked(L"C:\\Apps\\System"));
  processes.End(b);
  processes.Start(300, L"c.exe");
  List().Refresh();  // b.exe's item goes (nobody holds it) with its icon still queued; c.exe's queues after it
  EXPECT_EQ(nullptr, ById(200));
  shell.OpenGate();
  EXPECT_EQ(7u, IconIndexOf(ById(100)));
  ASSERT_TRUE(shell.WaitUntilAsked(L"C:\\Apps\\c.exe")) << "the ones after it follow";
  EXPECT_FALSE(shell.WaitUntilAsked(L"C:\\Apps\\b.exe", 0)) << "b.exe's was given up";
  EXPECT_EQ(3, shell.iconsAsked.load()) << "System, a.exe and c.exe";
}

TEST_F(ProcessListTest, ListDestroyedWhileIconsArePendingStopsCleanly) {
  shell.giveIcons = true;
  shell.keepGiven = true;
  shell.CloseGate();
  for (DWORD id = 1000; id < 1040; ++id) processes.Start(id, L"p" + std::to_wstring(id) + L".exe");
  List();
  ASSERT_TRUE(shell.WaitUntilAsked(L"C:\\Apps\\System"));  // held in the first query, the rest queued
  IMOProcessItem* held = nullptr;
  ASSERT_EQ(S_OK, List().get_ProcessItemByID(200, &held));  // a client keeps one whose icon is pending
  // The held query ends while the list goes (as its items' handles close).
  processes.onClose = [&] { shell.OpenGate(); };
  list.reset();
  EXPECT_EQ(1, shell.iconsAsked.load()) << "the queued icons were given up";
  ULONG index = 1;
  EXPECT_EQ(S_FALSE, held->get_ProcessIconIndex(&index));
  EXPECT_EQ(0u, index);
  IPictureDisp* picture = reinterpret_cast<IPictureDisp*>(1);
  EXPECT_EQ(S_FALSE, held->get_ProcessIcon(&picture));
  EXPECT_EQ(nullptr, picture);
  EXPECT_EQ(0u, held->Release());
  ASSERT_EQ(1u, shell.given.size());
  ICONINFO info = {};
  EXPECT_FALSE(GetIconInfo(shell.given[0], &info)) << "the icon taken went with its item";
  EXPECT_TRUE(processes.handles.empty());
}

TEST_F(ProcessListTest, APathThatCanNeverBeReadIsNotAskedAtEveryRefresh) {
  processes.table[2].path = L"";  // as a 64-bit process is to the 32-bit engine
  List();
  const int first = processes.pathReads;
  for (int i = 0; i < 60; ++i) List().Refresh();
  EXPECT_LE(processes.pathReads - first, 10) << "a minute of refreshes";
  EXPECT_GT(processes.pathReads - first, 0) << "a process still starting gets its later tries";
}

TEST_F(ProcessListTest, DroppedItemHeldByAClientIsDetachedNotDestroyed) {
  List();
  IMOProcessItem* held = nullptr;
  ASSERT_EQ(S_OK, List().get_ProcessItemByID(200, &held));
  const int handlesBefore = static_cast<int>(processes.handles.size());
  processes.End(b);
  List().Refresh();
  EXPECT_EQ(handlesBefore - 1, static_cast<int>(processes.handles.size()));  // closed at once
  EXPECT_EQ(L"b.exe", NameOf(held));
  EXPECT_EQ(S_FALSE, held->Terminate());
  EXPECT_EQ(S_FALSE, held->FreeMemory());
  ULONG handle = 1;
  EXPECT_EQ(S_FALSE, held->get_ProcessHandle(&handle));
  EXPECT_EQ(0u, handle);
  EXPECT_EQ(1, List().RefCount());  // the held item keeps its list
  EXPECT_EQ(0u, held->Release());   // frees it
  EXPECT_EQ(0, List().RefCount());
  list.reset();
  EXPECT_EQ(0, static_cast<int>(processes.handles.size()));
}

TEST_F(ProcessListTest, RefreshesAgainstReadersOnOtherThreads) {
  List();
  std::atomic<bool> done{false};
  auto reader = [&] {
    while (!done) {
      ULONG count = 0;
      List().get_ProcessCount(&count);
      for (ULONG i = 0; i < count; ++i) {
        IMOProcessItem* item = nullptr;
        if (List().get_ProcessItemByIndex(i, &item) != S_OK) continue;
        NameOf(item);
        UINT64 memory;
        item->get_ProcessMemory(&memory);
        item->Release();
      }
      for (const ProcessSnapshot& p : List().Snapshot()) ASSERT_FALSE(p.name.empty());
    }
  };
  std::thread first(reader), second(reader);
  std::vector<size_t> running;
  for (DWORD round = 0; round < 3000; ++round) {
    running.push_back(processes.Start(1000 + round, L"p" + std::to_wstring(round % 7) + L".exe"));
    if (running.size() > 40) {
      processes.End(running.front());
      running.erase(running.begin());
    }
    List().Refresh();
  }
  done = true;
  first.join();
  second.join();
  EXPECT_EQ(4u + 40u, Count());
}

}  // namespace

namespace {

TEST(ProcessItem, ItemWithoutAListAnswersSFalseAndFollowsItsOwnership) {
  CMOProcessItem owned;  // a member somewhere: zero references never free it
  IMOProcessItem* handed = nullptr;
  ASSERT_EQ(S_OK, owned.QueryInterface(__uuidof(IMOProcessItem), reinterpret_cast<void**>(&handed)));
  EXPECT_EQ(0u, handed->Release());
  EXPECT_EQ(S_FALSE, owned.Terminate());
  EXPECT_EQ(S_FALSE, owned.put_ProcessPriority(MO_PP_HIGH));

  const long locks = com::ModuleLockCount();
  auto* made = new CMOProcessItem;  // as a class factory makes it
  made->MakeStandalone();
  made->AddRef();
  EXPECT_EQ(locks + 1, com::ModuleLockCount());
  made->Release();
  EXPECT_EQ(locks, com::ModuleLockCount());
}

}  // namespace
