// The engine client component against a fake engine (events, results,
// the order of unsubscribing and releasing) and against the real
// Tarnwick.dll, which lies beside this program and is registered here.
#include <windows.h>
#include <olectl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "engineclient/EngineClient.h"
#include "gui/Forms.h"

using namespace gui;

namespace {

// An engine of its own making: IMOMain with a connection point for the
// events, recording what the client does.
class FakeEngine : public IMOMain, public IConnectionPointContainer, public IConnectionPoint {
 public:
  std::vector<std::string> calls;
  IDispatch* sink = nullptr;
  HRESULT openResult = S_OK;

  // Fires an event as the engine's pump packs it: the last argument first.
  HRESULT Fire(DISPID id, std::vector<VARIANT> declared) {
    std::vector<VARIANT> packed(declared.rbegin(), declared.rend());
    DISPPARAMS params{packed.data(), nullptr, static_cast<UINT>(packed.size()), 0};
    return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IMOMain))
      *out = static_cast<IMOMain*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
      *out = static_cast<IConnectionPointContainer*>(this);
    else
      return *out = nullptr, E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override {
    calls.push_back("release");
    return --refs;
  }
  ULONG refs = 1;

  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP get_Name(BSTR* v) override { return *v = SysAllocString(L"Fake engine"), S_OK; }
  STDMETHODIMP get_Description(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Author(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Company(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Version(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_State(IMOState**) override { return E_NOTIMPL; }
  STDMETHODIMP get_config(IMOConfig**) override { return E_NOTIMPL; }
  STDMETHODIMP get_BlackList(IMORulesList**) override { return E_NOTIMPL; }
  STDMETHODIMP get_WhiteList(IMORulesList**) override { return E_NOTIMPL; }
  STDMETHODIMP get_SmartList(IMORulesList**) override { return E_NOTIMPL; }
  STDMETHODIMP get_Defrag(IMODefrag**) override { return E_NOTIMPL; }
  STDMETHODIMP get_PagingFileList(IMOPagingFileList**) override { return E_NOTIMPL; }
  STDMETHODIMP get_SysTuneup(IMOSysTuneup**) override { return E_NOTIMPL; }
  STDMETHODIMP get_ProcessList(IMOProcessList**) override { return E_NOTIMPL; }
  STDMETHODIMP get_SmartOpti(IMOSmartOpti**) override { return E_NOTIMPL; }
  STDMETHODIMP get_GameHelper(IMOGameHelper**) override { return E_NOTIMPL; }
  STDMETHODIMP Open() override { return calls.push_back("open"), openResult; }
  STDMETHODIMP Close() override { return calls.push_back("close"), S_FALSE; }
  STDMETHODIMP AutorunTask() override { return E_NOTIMPL; }
  STDMETHODIMP RebootSystem() override { return E_NOTIMPL; }

  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    if (!IsEqualIID(iid, DIID__IMOMainEvents)) return *point = nullptr, CONNECT_E_NOCONNECTION;
    *point = this;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP GetConnectionInterface(IID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
  STDMETHODIMP Advise(IUnknown* client, DWORD* cookie) override {
    if (FAILED(client->QueryInterface(DIID__IMOMainEvents, reinterpret_cast<void**>(&sink)))) return E_FAIL;
    calls.push_back("advise");
    *cookie = 7;
    return S_OK;
  }
  STDMETHODIMP Unadvise(DWORD cookie) override {
    calls.push_back("unadvise " + std::to_string(cookie));
    if (sink) sink->Release();
    sink = nullptr;
    return S_OK;
  }
  STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
};

VARIANT Var(VARTYPE vt, unsigned long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  v.ulVal = value;
  if (vt == VT_UI1) v.bVal = static_cast<BYTE>(value);
  if (vt == VT_BOOL) v.boolVal = static_cast<VARIANT_BOOL>(value);
  return v;
}

class EngineClient : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    automation::Enable();
  }
  void SetUp() override { automation::ClearRecords(); }
};

}  // namespace

TEST_F(EngineClient, EventsReachTheirHandlersInDeclarationOrder) {
  FakeEngine engine;
  TMOMain client(nullptr);
  std::vector<std::string> got;
  client.OnProcessNew = [&](TObject* sender, unsigned long index, unsigned long id) {
    EXPECT_EQ(sender, &client);
    got.push_back("new " + std::to_string(index) + " " + std::to_string(id));
  };
  client.OnFastFreeProgress = [&](TObject*, unsigned char value) { got.push_back("free " + std::to_string(value)); };
  client.OnSmartCPUTune = [&](TObject*, unsigned long id, VARIANT_BOOL up) {
    got.push_back("tune " + std::to_string(id) + " " + std::to_string(up));
  };
  client.ConnectTo(&engine);
  ASSERT_NE(engine.sink, nullptr);
  EXPECT_EQ(engine.Fire(3, {Var(VT_UI4, 2), Var(VT_UI4, 777)}), S_OK);
  EXPECT_EQ(engine.Fire(2, {Var(VT_UI1, 50)}), S_OK);
  EXPECT_EQ(engine.Fire(5, {Var(VT_UI4, 9), Var(VT_BOOL, 0xFFFF)}), S_OK);
  EXPECT_EQ(got, (std::vector<std::string>{"new 2 777", "free 50", "tune 9 -1"}));
  // Wrong arguments are refused, not guessed at.
  EXPECT_EQ(engine.Fire(3, {Var(VT_UI4, 2)}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(engine.Fire(99, {}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(got.size(), 3u);
  // Unbound events are simply dropped.
  EXPECT_EQ(engine.Fire(4, {Var(VT_UI4, 1), Var(VT_UI4, 2)}), S_OK);
}

TEST_F(EngineClient, FailuresBecomeExceptionsWithTheSystemsMessage) {
  FakeEngine engine;
  TMOMain client(nullptr);
  client.ConnectTo(&engine);
  EXPECT_EQ(client.Name(), "Fake engine");
  client.Close();  // S_FALSE passes
  engine.openResult = E_ACCESSDENIED;
  try {
    client.Open();
    FAIL() << "no exception";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), E_ACCESSDENIED);
    EXPECT_EQ(e.Message(), SysErrorMessage(static_cast<DWORD>(E_ACCESSDENIED)));
    EXPECT_FALSE(e.Message().empty());
  }
  EXPECT_THROW(client.Description(), EOleSysError);
}

TEST_F(EngineClient, AHandlersExceptionIsShownAndTheEngineHearsSuccess) {
  FakeEngine engine;
  TMOMain client(nullptr);
  client.OnFastFreeProgress = [](TObject*, unsigned char) { throw Exception("Handler failed"); };
  client.ConnectTo(&engine);
  EXPECT_EQ(engine.Fire(2, {Var(VT_UI1, 0)}), S_OK);
  ASSERT_EQ(automation::MessageBoxes().size(), 1u);
  EXPECT_EQ(automation::MessageBoxes()[0].Text, "Handler failed");
}

TEST_F(EngineClient, ShutDownUnsubscribesThenReleases) {
  FakeEngine engine;
  {
    TMOMain client(nullptr);
    client.ConnectTo(&engine);
    engine.calls.clear();
  }
  // The connection point's reference, then the engine's own.
  EXPECT_EQ(engine.calls, (std::vector<std::string>{"unadvise 7", "release", "release"}));
  EXPECT_EQ(engine.refs, 1u);  // the test's own
  EXPECT_EQ(engine.sink, nullptr);
}

// --- the real engine -------------------------------------------------------------

namespace {

std::set<DWORD> ThreadsOfThisProcess() {
  std::set<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ids.insert(entry.th32ThreadID);
  CloseHandle(snapshot);
  return ids;
}

bool RegisterEngine() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dll(path);
  dll = dll.substr(0, dll.find_last_of('\\') + 1) + "Tarnwick.dll";
  HMODULE module = LoadLibraryA(dll.c_str());
  if (!module) return false;
  auto registerServer =
      reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
  return registerServer && SUCCEEDED(registerServer());
}


}  // namespace

TEST_F(EngineClient, TheRealEngineConnectsOnDemandAndItsEventsArriveOnThisThread) {
  ASSERT_TRUE(RegisterEngine()) << "Tarnwick.dll must lie beside the test";
  TMOMain client(nullptr);
  struct Event {
    std::string what;
    DWORD thread;
  };
  std::vector<Event> events;
  client.OnFastFreeProgress = [&](TObject*, unsigned char v) {
    events.push_back({"free " + std::to_string(v), GetCurrentThreadId()});
  };
  // The engine also reports the processes that really start meanwhile
  // (tests running beside this one): only the posted one counts.
  client.OnProcessNew = [&](TObject*, unsigned long index, unsigned long id) {
    if (id == 777) events.push_back({"new " + std::to_string(index) + " " + std::to_string(id), GetCurrentThreadId()});
  };
  std::set<DWORD> before = ThreadsOfThisProcess();
  EXPECT_FALSE(client.Connected());
  EXPECT_FALSE(client.Name().empty());  // the first call connects
  EXPECT_TRUE(client.Connected());
  client.Open();
  for (DWORD thread : ThreadsOfThisProcess()) {
    if (before.count(thread)) continue;
    PostThreadMessageA(thread, 0x807, 0, 0);
    PostThreadMessageA(thread, 0x808, 2, 777);
    PostThreadMessageA(thread, 0x807, 100, 0);
  }
  ASSERT_TRUE(automation::PumpUntil([&] { return events.size() >= 3; }));
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].what, "free 0");
  EXPECT_EQ(events[1].what, "new 2 777");
  EXPECT_EQ(events[2].what, "free 100");
  for (const Event& e : events) EXPECT_EQ(e.thread, GetCurrentThreadId());

  // A call the engine refuses with an error result becomes an exception.
  TComPtr<IMORulesList> list = client.BlackList();
  ASSERT_TRUE(list);
  try {
    OleCheck(list->get_ItemCount(nullptr));
    FAIL() << "no exception";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), E_POINTER);
    std::string system = SysErrorMessage(static_cast<DWORD>(E_POINTER));
    EXPECT_EQ(e.Message(), system.empty() ? "OLE error 80004003" : system);
  }
  client.Close();
}
