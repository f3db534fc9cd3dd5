// Class factories of the in-process server. Every instance a factory makes is
// standalone: the client's last Release destroys it, and it keeps the module
// loaded while it lives.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <new>

#include "com/ComModule.h"

namespace tarnwick::com {

// Makes one instance and queries it for `iid`; an instance whose query fails
// is destroyed again.
using CreateInstanceFn = HRESULT (*)(REFIID iid, void** out);

template <class T>
HRESULT CreateStandalone(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  T* object = nullptr;
  try {
    object = new T();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    // A part of the object could not be built; its members are gone already.
    return E_FAIL;
  }
  object->MakeStandalone();
  object->AddRef();
  HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

// One factory per class, living as long as the module. References to it
// count as server locks, so the module stays loaded while a client holds it.
class ClassFactory final : public IClassFactory {
 public:
  explicit constexpr ClassFactory(CreateInstanceFn create) : create_(create) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  CreateInstanceFn create_;
};

}  // namespace tarnwick::com
