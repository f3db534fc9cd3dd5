// A client of the real Tarnwick.dll that lets MOMain go before the objects it
// took from it, as garbage-collected clients (scripts, .NET) do: each object
// answers until its own last release, whatever the order, and a hundred
// engines made and released so leave no handle and no thread behind. The
// DLL lies beside this executable and is used without registration.
#include <windows.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "TarnwickLib.h"
#include "kit/Own.h"

namespace {

struct Dll {
  HMODULE module = nullptr;
  HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
};

template <class F>
F Export(HMODULE dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

// Loaded once and kept loaded, as COM keeps a server it has loaded.
const Dll& TheDll() {
  static const Dll dll = [] {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    Dll d;
    d.module = LoadLibraryW((folder.substr(0, folder.rfind(L'\\') + 1) + L"Tarnwick.dll").c_str());
    if (d.module) {
      d.getClassObject = Export<decltype(d.getClassObject)>(d.module, "DllGetClassObject");
      d.canUnloadNow = Export<decltype(d.canUnloadNow)>(d.module, "DllCanUnloadNow");
    }
    return d;
  }();
  return dll;
}

IMOMain* NewMain() {
  IClassFactory* factory = nullptr;
  if (FAILED(TheDll().getClassObject(CLSID_MOMain, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
    return nullptr;
  }
  IMOMain* main = nullptr;
  factory->CreateInstance(nullptr, __uuidof(IMOMain), reinterpret_cast<void**>(&main));
  factory->Release();
  return main;
}

// Open handles of this process: every value a handle can take, asked.
size_t OpenHandles() {
  size_t count = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

size_t Threads() {
  size_t count = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

std::wstring Take(BSTR text) {
  std::wstring copy = text ? std::wstring(text, SysStringLen(text)) : L"";
  SysFreeString(text);
  return copy;
}

std::wstring ThisProgram() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring full(path);
  return full.substr(full.rfind(L'\\') + 1);
}

// What a client takes from one engine before it lets MOMain go.
struct Taken {
  IMOState* state = nullptr;
  IMOPagingFileList* pagingFiles = nullptr;
  IMOPagingFileItem* pagingFile = nullptr;
  IMOProcessList* processes = nullptr;
  IMOProcessItem* process = nullptr;
  ULONG pagingFileCount = 0;
};

Taken TakeAndReleaseMain() {
  Taken taken;
  IMOMain* main = NewMain();
  EXPECT_NE(nullptr, main);
  if (!main) return taken;
  EXPECT_EQ(S_OK, main->get_State(&taken.state));
  EXPECT_EQ(S_OK, main->get_PagingFileList(&taken.pagingFiles));
  EXPECT_EQ(S_OK, taken.pagingFiles->Load());
  EXPECT_EQ(S_OK, taken.pagingFiles->get_ItemCount(&taken.pagingFileCount));
  EXPECT_EQ(S_OK, taken.pagingFiles->get_PagingFileItemByIndex(0, &taken.pagingFile));
  EXPECT_EQ(S_OK, main->get_ProcessList(&taken.processes));
  EXPECT_EQ(S_OK, taken.processes->get_ProcessItemByID(GetCurrentProcessId(), &taken.process));
  EXPECT_EQ(S_FALSE, TheDll().canUnloadNow());
  main->Release();
  return taken;
}

// Every object still answers as a live engine's would.
void UseAll(const Taken& taken) {
  EXPECT_EQ(S_OK, taken.state->Refresh());
  UINT64 memory = 0;
  EXPECT_EQ(S_OK, taken.state->get_TotalPhysicalMemory(&memory));
  EXPECT_GT(memory, 0u);

  ULONG count = 0;
  EXPECT_EQ(S_OK, taken.pagingFiles->get_ItemCount(&count));
  EXPECT_EQ(taken.pagingFileCount, count);
  BSTR drive = nullptr;
  EXPECT_EQ(S_OK, taken.pagingFile->get_Drive(&drive));
  EXPECT_EQ(1u, Take(drive).size());

  const HRESULT refreshed = taken.processes->Refresh();
  EXPECT_TRUE(refreshed == S_OK || refreshed == S_FALSE);
  EXPECT_EQ(S_OK, taken.processes->get_ProcessCount(&count));
  EXPECT_GT(count, 0u);
  BSTR name = nullptr;
  EXPECT_EQ(S_OK, taken.process->get_ProcessName(&name));
  EXPECT_EQ(ThisProgram(), Take(name));
}

// Releases the five in one of several orders: lists before and after their
// items, the state first or last.
void ReleaseAll(Taken& taken, int order) {
  IUnknown* all[] = {taken.state, taken.pagingFiles, taken.pagingFile, taken.processes, taken.process};
  static const int kOrders[][5] = {{0, 1, 2, 3, 4}, {4, 3, 2, 1, 0}, {1, 3, 0, 2, 4}, {2, 4, 1, 0, 3}};
  for (int index : kOrders[order % 4]) {
    all[index]->Release();
    if (index != kOrders[order % 4][4]) {
      EXPECT_EQ(S_FALSE, TheDll().canUnloadNow());
    }
  }
  EXPECT_EQ(S_OK, TheDll().canUnloadNow());  // the last release took the engine with it
}

void OneClient(int order) {
  Taken taken = TakeAndReleaseMain();
  ASSERT_TRUE(taken.state && taken.pagingFile && taken.process);
  UseAll(taken);
  ReleaseAll(taken, order);
}

TEST(ReleaseOrder, EveryObjectOutlivesMainAndAHundredEnginesLeaveNothingBehind) {
  ASSERT_NE(nullptr, TheDll().getClassObject) << "Tarnwick.dll must lie beside the test";
  kit::Apartment com;
  OneClient(0);  // the first engine loads what stays loaded (type library, COM's own threads)
  const size_t handles = OpenHandles();
  const size_t threads = Threads();
  for (int round = 1; round <= 100 && !::testing::Test::HasFailure(); ++round) OneClient(round);
  // A leak of one handle or thread per engine would show a hundredfold.
  EXPECT_LE(OpenHandles(), handles + 2);
  EXPECT_LE(Threads(), threads + 1);
  std::printf("handles %zu -> %zu, threads %zu -> %zu\n", handles, OpenHandles(), threads, Threads());
}

}  // namespace
