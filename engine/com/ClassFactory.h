// Class factories of the in-process server. Every instance a factory makes is
// standalone: the client's last Release destroys it, and it keeps the module
// loaded while it lives.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <kit/Own.h>

#include "com/ComModule.h"
#include "com/Results.h"

namespace tarnwick::com {

// Makes one instance and queries it for `iid`; an instance whose query fails
// is destroyed again.
using CreateInstanceFn = HRESULT (*)(REFIID iid, void** out);

template <class T>
HRESULT CreateStandalone(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  // A part that cannot be built fails the creation; its members are gone
  // already when the exception reaches the barrier.
  return Barrier([&] {
    T* made = new T();
    made->MakeStandalone();
    const auto object = kit::ComPtr<T>::Share(made);
    return object->QueryInterface(iid, out);
  });
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
