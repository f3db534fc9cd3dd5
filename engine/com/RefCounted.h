// Base of small heap objects that are not engine classes (enumerators,
// forwarders): a count of their own, IUnknown and one interface. Made with
// new, holding the creator's first reference; the last Release deletes.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace tarnwick::com {

template <class Interface>
class RefCounted : public Interface {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface)) || AlsoAnswers(iid)) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  RefCounted() = default;
  virtual ~RefCounted() = default;

  // Further identifiers answered with the same pointer (a dispinterface
  // whose calls arrive through IDispatch, for instance).
  virtual bool AlsoAnswers(REFIID) const { return false; }

 private:
  std::atomic<ULONG> refs_{1};
};

}  // namespace tarnwick::com
