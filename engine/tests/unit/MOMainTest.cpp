// The root object: start-up work, identification, sub-objects, the reboot
// request and the connection point, with a fake host process.
#include "MOMain.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <stdexcept>

#include "EngineServer.h"
#include "kit/Own.h"
#include "tests/support/EventSink.h"
#include "tests/support/FakeHostProcess.h"

using tarnwick::CMOMain;
using tarnwick::test::FakeHostProcess;

namespace {

std::wstring Take(BSTR text) {
  std::wstring copy = text ? text : L"";
  SysFreeString(text);
  return copy;
}

}  // namespace

TEST(MOMain, ConstructionEnablesDebugPrivilegeStartsThePumpAndTrims) {
  kit::Apartment com;
  FakeHostProcess host;
  {
    CMOMain main(host);
    EXPECT_NE(0u, main.EventThreadId());
    EXPECT_TRUE(main.Pump().IsRunning());
    ASSERT_EQ(2u, host.calls.size());
    EXPECT_EQ(L"privilege SeDebugPrivilege " + std::to_wstring(TOKEN_ADJUST_PRIVILEGES), host.calls[0]);
    EXPECT_EQ(L"trim", host.calls[1]);
  }
  EXPECT_EQ(2u, host.calls.size());  // destruction reboots nothing, trims nothing
}

TEST(MOMain, IdentificationIsANewStringOnEveryCall) {
  kit::Apartment com;
  FakeHostProcess host;
  CMOMain main(host);
  BSTR first = nullptr;
  BSTR second = nullptr;
  ASSERT_EQ(S_OK, main.get_Name(&first));
  ASSERT_EQ(S_OK, main.get_Name(&second));
  EXPECT_NE(first, second);
  EXPECT_EQ(L"Tarnwick", Take(first));
  EXPECT_EQ(L"Tarnwick", Take(second));
  EXPECT_EQ(E_POINTER, main.get_Version(nullptr));
  EXPECT_EQ(E_POINTER, main.get_State(nullptr));
}

TEST(MOMain, SubObjectsAreHandedOutWithAReferenceAndSurviveTheirReleases) {
  kit::Apartment com;
  FakeHostProcess host;
  CMOMain main(host);
  IMORulesList* black = nullptr;
  IMORulesList* white = nullptr;
  IMORulesList* smart = nullptr;
  ASSERT_EQ(S_OK, main.get_BlackList(&black));
  ASSERT_EQ(S_OK, main.get_WhiteList(&white));
  ASSERT_EQ(S_OK, main.get_SmartList(&smart));
  EXPECT_NE(black, white);
  EXPECT_NE(white, smart);

  IMOState* state = nullptr;
  for (int i = 0; i < 3; ++i) {
    IMOState* again = nullptr;
    ASSERT_EQ(S_OK, main.get_State(&again));
    if (state) {
      EXPECT_EQ(state, again);
    }
    state = again;
  }
  for (int i = 0; i < 4; ++i) state->Release();  // one more than handed out
  UINT count = 0;
  EXPECT_EQ(S_OK, state->GetTypeInfoCount(&count));
  IMOState* after = nullptr;
  ASSERT_EQ(S_OK, main.get_State(&after));
  EXPECT_EQ(state, after);
  after->Release();
  black->Release();
  white->Release();
  smart->Release();
}

TEST(MOMain, RebootSystemEnablesTheShutdownPrivilegeThenAsksForAReboot) {
  kit::Apartment com;
  FakeHostProcess host;
  CMOMain main(host);
  host.calls.clear();
  EXPECT_EQ(S_OK, main.RebootSystem());
  ASSERT_EQ(2u, host.calls.size());
  EXPECT_EQ(L"privilege SeShutdownPrivilege " + std::to_wstring(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY),
            host.calls[0]);
  EXPECT_EQ(L"exit " + std::to_wstring(EWX_REBOOT | EWX_FORCEIFHUNG) + L" 0", host.calls[1]);

  host.exitWindowsResult = false;
  EXPECT_EQ(S_FALSE, main.RebootSystem());
}

TEST(MOMain, OpenAndClose) {
  kit::Apartment com;
  FakeHostProcess host;
  CMOMain main(host);
  DWORD pump = main.EventThreadId();
  EXPECT_EQ(S_OK, main.Open());
  EXPECT_EQ(S_OK, main.Open());
  EXPECT_EQ(S_OK, main.Close());
  EXPECT_FALSE(main.Pump().IsRunning());
  EXPECT_EQ(pump, main.EventThreadId());  // kept, so late posts fail quietly
  EXPECT_EQ(S_OK, main.Close());
  EXPECT_EQ(S_OK, main.Open());  // restarts nothing
  EXPECT_FALSE(main.Pump().IsRunning());
}

TEST(MOMainEvents, TheConnectionPointOnlyTakesEventSinks) {
  kit::Apartment com;
  FakeHostProcess host;
  CMOMain main(host);
  IConnectionPointContainer* container = nullptr;
  ASSERT_EQ(S_OK, static_cast<IMOMain*>(&main)->QueryInterface(IID_IConnectionPointContainer,
                                                               reinterpret_cast<void**>(&container)));
  IConnectionPoint* point = nullptr;
  EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IDispatch, &point));
  ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID__IMOMainEvents, &point));
  IID iid = {};
  EXPECT_EQ(S_OK, point->GetConnectionInterface(&iid));
  EXPECT_TRUE(IsEqualIID(DIID__IMOMainEvents, iid));
  IConnectionPointContainer* back = nullptr;
  ASSERT_EQ(S_OK, point->GetConnectionPointContainer(&back));
  EXPECT_EQ(container, back);
  back->Release();

  IEnumConnectionPoints* points = nullptr;
  ASSERT_EQ(S_OK, container->EnumConnectionPoints(&points));
  IConnectionPoint* listed[2] = {};
  ULONG fetched = 0;
  EXPECT_EQ(S_FALSE, points->Next(2, listed, &fetched));
  ASSERT_EQ(1u, fetched);
  EXPECT_EQ(point, listed[0]);
  listed[0]->Release();
  EXPECT_EQ(S_OK, points->Reset());
  EXPECT_EQ(S_FALSE, points->Skip(2));
  points->Release();

  // An object that is no event sink is refused; cookies are checked.
  DWORD cookie = 0;
  EXPECT_EQ(CONNECT_E_CANNOTCONNECT, point->Advise(static_cast<IMOMain*>(&main), &cookie));
  EXPECT_EQ(0u, cookie);
  EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(1));

  auto* first = new tarnwick::test::EventSink;
  auto* second = new tarnwick::test::EventSink;
  DWORD firstCookie = 0;
  DWORD secondCookie = 0;
  ASSERT_EQ(S_OK, point->Advise(first, &firstCookie));
  ASSERT_EQ(S_OK, point->Advise(second, &secondCookie));
  EXPECT_NE(firstCookie, secondCookie);
  EXPECT_EQ(S_OK, point->Unadvise(firstCookie));
  EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(firstCookie));
  DWORD reused = 0;
  ASSERT_EQ(S_OK, point->Advise(first, &reused));
  EXPECT_EQ(firstCookie, reused);  // the empty place is taken again
  EXPECT_EQ(S_OK, point->Unadvise(reused));
  EXPECT_EQ(S_OK, point->Unadvise(secondCookie));
  first->Release();
  second->Release();
  IEnumConnections* connections = nullptr;
  EXPECT_EQ(E_NOTIMPL, point->EnumConnections(&connections));
  point->Release();
  container->Release();
}

TEST(ClassFactories, EveryClassIsCreatedStandaloneAndUnknownClassesAreRefused) {
  kit::Apartment com;
  long before = tarnwick::com::ModuleLockCount();
  for (const tarnwick::EngineClass& engineClass : tarnwick::EngineClasses()) {
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, tarnwick::ServerGetClassObject(*engineClass.clsid, IID_IClassFactory,
                                                   reinterpret_cast<void**>(&factory)));
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);
    IUnknown* object = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&object)));
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, reinterpret_cast<void**>(&object)));
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object)))
        << engineClass.name;
    factory->Release();
    EXPECT_EQ(S_FALSE, tarnwick::ServerCanUnloadNow());
    object->Release();
  }
  EXPECT_EQ(before, tarnwick::com::ModuleLockCount());

  IClassFactory* none = nullptr;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
            tarnwick::ServerGetClassObject(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(&none)));
  EXPECT_EQ(nullptr, none);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, tarnwick::ServerGetClassObject(CLSID_MOState, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  factory->LockServer(TRUE);
  factory->Release();
  EXPECT_EQ(before + 1, tarnwick::com::ModuleLockCount());
  factory->LockServer(FALSE);
  EXPECT_EQ(before, tarnwick::com::ModuleLockCount());
}

namespace {
// An object whose construction fails part-way, as a sub-object's may.
struct FailingObject : IUnknown {
  FailingObject() { throw std::runtime_error("a part could not be built"); }
  void MakeStandalone() {}
  STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 0; }
};
}  // namespace

TEST(ClassFactories, AFailedConstructionFailsTheCreation) {
  long before = tarnwick::com::ModuleLockCount();
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_FAIL, tarnwick::com::CreateStandalone<FailingObject>(IID_IUnknown, &object));
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(before, tarnwick::com::ModuleLockCount());
}

TEST(ClassFactories, EveryHeldPartKeepsACreatedMainAliveUntilItsOwnLastRelease) {
  kit::Apartment com;
  long before = tarnwick::com::ModuleLockCount();
  IMOMain* main = nullptr;
  ASSERT_EQ(S_OK, tarnwick::com::CreateStandalone<CMOMain>(__uuidof(IMOMain), reinterpret_cast<void**>(&main)));
  IConnectionPointContainer* container = nullptr;
  ASSERT_EQ(S_OK, main->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
  IConnectionPoint* point = nullptr;
  ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID__IMOMainEvents, &point));
  container->Release();
  IMOState* state = nullptr;
  ASSERT_EQ(S_OK, main->get_State(&state));
  IMOProcessList* processes = nullptr;
  ASSERT_EQ(S_OK, main->get_ProcessList(&processes));
  IMOProcessItem* item = nullptr;
  ASSERT_EQ(S_OK, processes->get_ProcessItemByID(GetCurrentProcessId(), &item));
  processes->Release();
  main->Release();  // MOMain's own reference goes first

  const auto alive = [&] { return tarnwick::com::ModuleLockCount() == before + 1; };
  EXPECT_TRUE(alive());
  IID iid = {};
  EXPECT_EQ(S_OK, point->GetConnectionInterface(&iid));
  point->Release();
  EXPECT_TRUE(alive());
  EXPECT_EQ(S_OK, state->Refresh());
  state->Release();
  EXPECT_TRUE(alive());
  ULONG id = 0;
  EXPECT_EQ(S_OK, item->get_ProcessID(&id));
  EXPECT_EQ(GetCurrentProcessId(), id);
  item->Release();
  EXPECT_EQ(before, tarnwick::com::ModuleLockCount());
}
