// Base of every engine COM object: IUnknown and a dual interface whose
// IDispatch side is served from the type library, so names, DISPIDs and
// argument types follow the library exactly.
//
// Two lifetimes:
//  - kept: a member of MOMain or an item of a list. Its owner keeps it, and
//    its count reaching zero never destroys it. With SetOwner, every outside
//    reference also counts on the owner, as COM's contained objects do, so a
//    client holding a part keeps the whole alive whatever order it releases
//    in. An owner that drops a part (a list letting an item go) leaves it to
//    be destroyed at its own last release.
//  - standalone: created through a class factory. The last Release deletes
//    it, and it holds a module lock while it lives.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>

#include "com/ComModule.h"
#include "com/Results.h"

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
      holds_.fetch_and(~kKept);
    }
  }
  bool IsStandalone() const { return standalone_; }

  // Every outside reference counts on `owner` too from now on. Set before
  // the object is first handed out.
  void SetOwner(IUnknown* owner) { owner_ = owner; }
  // The owner lets go: the object is destroyed now when no client holds it,
  // else at its last release. `ownerGoing`: the owner is being destroyed
  // itself, so later releases must not reach it.
  void Drop(bool ownerGoing = false) {
    if (ownerGoing) owner_ = nullptr;
    if (holds_.fetch_and(~kKept) == kKept) delete static_cast<Derived*>(this);
  }

  // Outside references.
  LONG RefCount() const { return holds_.load() & ~kKept; }
  IUnknown* Unknown() { return static_cast<Interface*>(this); }

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
  STDMETHODIMP_(ULONG) AddRef() override {
    const LONG held = holds_.fetch_add(1) + 1;
    if (IUnknown* owner = owner_.load()) owner->AddRef();
    return static_cast<ULONG>(held & ~kKept);
  }
  STDMETHODIMP_(ULONG) Release() override {
    // Read before the count drops: from then on the owner may drop and
    // destroy this object on another thread.
    IUnknown* owner = owner_.load();
    LONG seen = holds_.load();
    do {
      // A client's extra release changes nothing, here or on the owner.
      if ((seen & ~kKept) == 0) return 0;
    } while (!holds_.compare_exchange_weak(seen, seen - 1));
    const LONG left = seen - 1;
    if (left == 0) delete static_cast<Derived*>(this);  // neither kept nor held
    // Last, and nothing of this object after it: the owner's last reference
    // destroys the owner and its parts with it.
    if (owner) owner->Release();
    return static_cast<ULONG>(left & ~kKept);
  }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    return Barrier([&] { return Out(count, TypeInfo() ? 1 : 0); });
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    return Barrier([&]() -> HRESULT {
      if (!info) return E_POINTER;
      *info = nullptr;
      if (index != 0) return DISP_E_BADINDEX;
      ITypeInfo* ti = TypeInfo();
      return ti ? OutObject(info, ti) : TYPE_E_CANTLOADLIBRARY;
    });
  }
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return Barrier([&]() -> HRESULT {
      if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
      ITypeInfo* ti = TypeInfo();
      return ti ? ti->GetIDsOfNames(names, count, ids) : TYPE_E_CANTLOADLIBRARY;
    });
  }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* argErr) override {
    return Barrier([&]() -> HRESULT {
      if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
      ITypeInfo* ti = TypeInfo();
      if (!ti) return TYPE_E_CANTLOADLIBRARY;
      return ti->Invoke(static_cast<Interface*>(this), id, flags, params, result, excep, argErr);
    });
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
  // Set while an owner keeps the object; the rest counts outside references.
  static constexpr LONG kKept = 0x40000000;

  static ITypeInfo* TypeInfo() { return TypeInfoOf(__uuidof(Interface)); }

  std::atomic<LONG> holds_{kKept};
  std::atomic<IUnknown*> owner_{nullptr};
  bool standalone_ = false;
};

}  // namespace tarnwick::com
