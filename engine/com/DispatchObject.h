// Base of every engine COM object: IUnknown and a dual interface whose
// IDispatch side is served from the type library, so names, DISPIDs and
// argument types follow the library exactly.
//
// Two lifetimes:
//  - owned: a member of MOMain or an item of a list. Its reference count only
//    counts; reaching zero never destroys it. The owner deletes it.
//  - standalone: created through a class factory. The last Release deletes it,
//    and it holds a module lock while it lives.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "com/ComModule.h"

namespace tarnwick::com {

template <class Derived, class Interface>
class DispatchObject : public Interface {
 public:
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  // Makes the last Release destroy the object (class-factory instances).
  void MakeStandalone() {
    if (!standalone_) {
      standalone_ = true;
      ModuleLock();
    }
  }
  bool IsStandalone() const { return standalone_; }
  LONG RefCount() const { return InterlockedCompareExchange(const_cast<LONG*>(&refs_), 0, 0); }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, __uuidof(Interface))) {
      *out = static_cast<Interface*>(this);
    } else if (!static_cast<Derived*>(this)->QueryExtraInterface(iid, out)) {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    // An owned object's count never goes below zero, whatever a client does.
    LONG seen = RefCount();
    for (;;) {
      if (seen <= 0) return 0;
      LONG prior = InterlockedCompareExchange(&refs_, seen - 1, seen);
      if (prior == seen) break;
      seen = prior;
    }
    if (seen == 1 && standalone_) {
      delete static_cast<Derived*>(this);
      return 0;
    }
    return static_cast<ULONG>(seen - 1);
  }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = TypeInfo() ? 1 : 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ITypeInfo* ti = TypeInfo();
    if (!ti) return TYPE_E_CANTLOADLIBRARY;
    ti->AddRef();
    *info = ti;
    return S_OK;
  }
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* ti = TypeInfo();
    if (!ti) return TYPE_E_CANTLOADLIBRARY;
    return ti->GetIDsOfNames(names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* argErr) override {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* ti = TypeInfo();
    if (!ti) return TYPE_E_CANTLOADLIBRARY;
    return ti->Invoke(static_cast<Interface*>(this), id, flags, params, result, excep, argErr);
  }

 protected:
  DispatchObject() = default;
  virtual ~DispatchObject() {
    if (standalone_) ModuleUnlock();
  }

  // Derived classes that expose further interfaces (e.g. a connection-point
  // container) hide this with their own; it must AddRef nothing.
  bool QueryExtraInterface(REFIID, void**) { return false; }

 private:
  static ITypeInfo* TypeInfo() { return TypeInfoOf(__uuidof(Interface)); }

  LONG refs_ = 0;
  bool standalone_ = false;
};

}  // namespace tarnwick::com
