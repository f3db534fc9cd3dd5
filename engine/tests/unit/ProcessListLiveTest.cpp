// The process list with the real system under Wine: a helper program
// started with NewProcess is reported, listed with its path, ended by
// Terminate and reported again.
#include <gtest/gtest.h>

#include "MOProcessList.h"
#include "ProcessFakes.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

constexpr wchar_t kHelper[] = L"engine_process_helper.exe";

std::wstring HelperPath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.rfind(L'\\') + 1) + kHelper;
}

// Refreshes until `found` says yes; the limit only keeps a broken run from
// hanging, a loaded machine takes its time.
template <class Found>
bool RefreshUntil(CMOProcessList& list, Found found) {
  for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < 60000;) {
    if (found()) return true;
    Sleep(25);
    list.RefreshList();
  }
  return found();
}

// Ends the helper whatever the test's outcome.
struct HelperGuard {
  DWORD id = 0;
  ~HelperGuard() {
    if (!id) return;
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
      TerminateProcess(process, 1);
      CloseHandle(process);
    }
  }
};

// One list for the suite: its construction checks the terminal-services
// service, which Wine may take seconds to answer.
class ProcessListLive : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { list = new CMOProcessList; }
  static void TearDownTestSuite() {
    delete list;
    list = nullptr;
  }
  static CMOProcessList* list;
};
CMOProcessList* ProcessListLive::list = nullptr;

TEST_F(ProcessListLive, ListsThisProcess) {
  list->RefreshList();
  IMOProcessItem* self = nullptr;
  ASSERT_EQ(S_OK, list->get_ProcessItemByID(GetCurrentProcessId(), &self));
  BSTR path = nullptr;
  self->get_ProcessPath(&path);
  EXPECT_NE(nullptr, wcsstr(path, L"engine_unit_tests.exe"));
  SysFreeString(path);
  UINT64 memory = 0;
  self->get_ProcessMemory(&memory);
  EXPECT_GT(memory, 0u);
  _MO_PROCESS_PRIORIT priority = MO_PP_UNKNOWN;
  self->get_ProcessPriority(&priority);
  EXPECT_EQ(MO_PP_NORMAL, priority);
  ULONG handle = 0;
  self->get_ProcessHandle(&handle);
  EXPECT_NE(0u, handle);
  self->Release();
}

TEST_F(ProcessListLive, StartedHelperIsReportedAndTerminated) {
  list->SetEventThread(MessageThread());

  BSTR path = SysAllocString(HelperPath().c_str());
  ASSERT_EQ(S_OK, list->NewProcess(path, nullptr));
  SysFreeString(path);

  HelperGuard helper;
  ULONG index = 0;
  ASSERT_TRUE(RefreshUntil(*list, [&] {
    for (const ProcessSnapshot& p : list->Snapshot()) {
      if (p.name == kHelper) {
        helper.id = p.processId;
        index = p.index;
      }
    }
    return helper.id != 0;
  }));
  std::vector<Posted> posted = TakePosted();
  const Posted added = {kMsgProcessNew, index, static_cast<LPARAM>(helper.id)};
  EXPECT_NE(posted.end(), std::find(posted.begin(), posted.end(), added));

  IMOProcessItem* item = nullptr;
  ASSERT_EQ(S_OK, list->get_ProcessItemByID(helper.id, &item));
  // Listed while it starts, its module may come at a later refresh.
  EXPECT_TRUE(RefreshUntil(*list, [&] {
    BSTR shown = nullptr;
    item->get_ProcessPath(&shown);
    const bool named = shown && wcsstr(shown, kHelper);
    SysFreeString(shown);
    return named;
  }));
  EXPECT_EQ(S_OK, item->Terminate());
  item->Release();

  const Posted ended = {kMsgProcessExit, index, static_cast<LPARAM>(helper.id)};
  bool reported = false;
  EXPECT_TRUE(RefreshUntil(*list, [&] {
    for (const Posted& p : TakePosted()) reported = reported || p == ended;
    return reported;
  }));
  if (reported) helper.id = 0;
  IMOProcessItem* gone = nullptr;
  EXPECT_EQ(S_FALSE, list->get_ProcessItemByID(ended.lParam, &gone));
  list->SetEventThread(0);
}

TEST(ProcessSystemLive, EndedProcessesAreFoundAmongManyHandlesAtOnce) {
  // More handles than one wait takes, the ended ones first, in the middle
  // of the second batch and last; the rest belong to running processes.
  PROCESS_INFORMATION started[3] = {};
  for (PROCESS_INFORMATION& process : started) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + HelperPath() + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    CloseHandle(process.hThread);
  }
  TerminateProcess(started[0].hProcess, 0);
  TerminateProcess(started[1].hProcess, 3);
  WaitForSingleObject(started[0].hProcess, 60000);
  WaitForSingleObject(started[1].hProcess, 60000);

  // A wait takes each handle once: copies of this process's own.
  std::vector<HANDLE> handles(140);
  for (HANDLE& handle : handles)
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &handle,
                                SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, 0));
  std::vector<HANDLE> own = handles;
  HANDLE lastEnded = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), started[0].hProcess, GetCurrentProcess(), &lastEnded, 0, FALSE,
                              DUPLICATE_SAME_ACCESS));
  handles[0] = started[0].hProcess;
  handles[100] = started[1].hProcess;
  handles[139] = lastEnded;
  handles[70] = started[2].hProcess;  // still running
  std::vector<bool> expected(140, false);
  expected[0] = expected[100] = expected[139] = true;
  EXPECT_EQ(expected, platform::RealProcessSystem().WhichEnded(handles));
  EXPECT_TRUE(platform::RealProcessSystem().WhichEnded({}).empty());

  TerminateProcess(started[2].hProcess, 0);
  for (PROCESS_INFORMATION& process : started) CloseHandle(process.hProcess);
  for (HANDLE handle : own) CloseHandle(handle);
  CloseHandle(lastEnded);
}

}  // namespace
