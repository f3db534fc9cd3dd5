#include "com/ClassFactory.h"

namespace tarnwick::com {

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() {
  ModuleLock();
  return 2;
}

STDMETHODIMP_(ULONG) ClassFactory::Release() {
  ModuleUnlock();
  return 1;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return create_(iid, out);  // CreateStandalone, itself behind the barrier
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  return Barrier([&] {
    lock ? ModuleLock() : ModuleUnlock();
    return S_OK;
  });
}

}  // namespace tarnwick::com
