// The dispatch base serves IDispatch from the embedded type library and keeps
// owned objects alive when their count drops to zero.
#include "MORulesList.h"

#include <gtest/gtest.h>

using tarnwick::CMORulesList;

TEST(DispatchObject, NamesAndDispidsComeFromTheTypeLibrary) {
  CMORulesList list;
  IDispatch* dispatch = &list;
  UINT count = 0;
  ASSERT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
  ASSERT_EQ(1u, count);

  const wchar_t* names[] = {L"Item", L"ItemCount", L"IsInList", L"AddItem", L"RemoveItem", L"Clear", L"Refresh"};
  for (DISPID expected = 1; expected <= 7; ++expected) {
    LPOLESTR name = const_cast<LPOLESTR>(names[expected - 1]);
    DISPID id = 0;
    ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)) << names[expected - 1];
    EXPECT_EQ(expected, id);
  }
  LPOLESTR unknown = const_cast<LPOLESTR>(L"NoSuchMember");
  DISPID id = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id));
}

TEST(DispatchObject, InvokeReachesTheVtable) {
  CMORulesList list;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  // DISPID 6 is Clear, which answers S_OK.
  EXPECT_EQ(S_OK, list.Invoke(6, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &result, nullptr, nullptr));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
            list.Invoke(99, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &result, nullptr, nullptr));
}

TEST(DispatchObject, OwnedObjectSurvivesItsLastRelease) {
  CMORulesList list;
  IMORulesList* handed = nullptr;
  ASSERT_EQ(S_OK, list.QueryInterface(__uuidof(IMORulesList), reinterpret_cast<void**>(&handed)));
  IUnknown* unknown = nullptr;
  ASSERT_EQ(S_OK, handed->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
  EXPECT_EQ(1u, unknown->Release());
  EXPECT_EQ(0u, handed->Release());
  EXPECT_EQ(0u, list.Release());  // a client's extra release: never below zero, never destroyed
  EXPECT_EQ(0, list.RefCount());
  IConnectionPointContainer* none = nullptr;
  EXPECT_EQ(E_NOINTERFACE, list.QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&none)));
}

TEST(DispatchObject, StandaloneObjectHoldsAModuleLockUntilReleased) {
  long before = tarnwick::com::ModuleLockCount();
  auto* list = new CMORulesList;
  list->MakeStandalone();
  list->AddRef();
  EXPECT_EQ(before + 1, tarnwick::com::ModuleLockCount());
  list->Release();
  EXPECT_EQ(before, tarnwick::com::ModuleLockCount());
}
