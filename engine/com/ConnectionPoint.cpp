#include "com/ConnectionPoint.h"

#include <olectl.h>
#include <oleauto.h>

#include <algorithm>

#include <kit/Own.h>

#include "com/RefCounted.h"
#include "com/Results.h"

namespace tarnwick::com {

namespace {

kit::ComPtr<IGlobalInterfaceTable> GlobalInterfaceTable() {
  kit::ComPtr<IGlobalInterfaceTable> git;
  if (FAILED(CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IGlobalInterfaceTable, git.OutVoid()))) {
    git.Reset();
  }
  return git;
}

// Lives in the apartment of the sink it wraps; see the header.
class SinkForwarder final : public RefCounted<IDispatch> {
 public:
  SinkForwarder(kit::ComPtr<IDispatch> sink, std::shared_ptr<EventGate> gate)
      : sink_(std::move(sink)), gate_(std::move(gate)) {}

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    return Barrier([&] { return sink_->GetTypeInfoCount(count); });
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return Barrier([&] { return sink_->GetTypeInfo(index, lcid, info); });
  }
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
    return Barrier([&] { return sink_->GetIDsOfNames(iid, names, count, lcid, ids); });
  }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* argErr) override {
    if (gate_->closed.load()) return S_OK;
    const DWORD outer = gate_->handlerThread.exchange(GetCurrentThreadId());
    auto restore = kit::OnExit([&] { gate_->handlerThread.store(outer); });
    // A handler that throws must not unwind into the marshalling layer.
    return Barrier([&] { return sink_->Invoke(id, iid, lcid, flags, params, result, excep, argErr); });
  }

 private:
  const kit::ComPtr<IDispatch> sink_;
  std::shared_ptr<EventGate> gate_;
};

}  // namespace

// --- EventSinkList --------------------------------------------------------

EventSinkList::EventSinkList(REFIID eventIid) : eventIid_(eventIid), gate_(std::make_shared<EventGate>()) {}

EventSinkList::~EventSinkList() {
  kit::ComPtr<IGlobalInterfaceTable> git = GlobalInterfaceTable();
  if (!git) return;
  for (DWORD cookie : places_) {
    if (cookie) git->RevokeInterfaceFromGlobal(cookie);
  }
}

HRESULT EventSinkList::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  const kit::ComPtr<IUnknown> asSink = kit::ComPtr<IUnknown>::Share(sink);
  kit::ComPtr<IDispatch> dispatch = asSink.As<IDispatch>(IID_IDispatch);
  if (!asSink.As<IUnknown>(eventIid_) || !dispatch) return CONNECT_E_CANNOTCONNECT;
  kit::ComPtr<IGlobalInterfaceTable> git = GlobalInterfaceTable();
  if (!git) return E_UNEXPECTED;
  auto forwarder = kit::ComPtr<SinkForwarder>::Adopt(new SinkForwarder(std::move(dispatch), gate_));
  DWORD gitCookie = 0;
  const HRESULT hr = git->RegisterInterfaceInGlobal(forwarder.Get(), IID_IDispatch, &gitCookie);
  if (FAILED(hr)) return hr;
  // Out of the table again if no place can be made for it.
  auto revoke = kit::OnExit([&] { git->RevokeInterfaceFromGlobal(gitCookie); });
  {
    std::lock_guard<std::mutex> guard(lock_);
    auto empty = std::find(places_.begin(), places_.end(), 0u);
    if (empty == places_.end()) empty = places_.insert(places_.end(), 0u);
    *empty = gitCookie;
    *cookie = static_cast<DWORD>(empty - places_.begin()) + 1;
  }
  revoke.Dismiss();
  return S_OK;
}

HRESULT EventSinkList::Unadvise(DWORD cookie) {
  DWORD gitCookie = 0;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (cookie == 0 || cookie > places_.size() || places_[cookie - 1] == 0) return CONNECT_E_NOCONNECTION;
    gitCookie = places_[cookie - 1];
    places_[cookie - 1] = 0;
  }
  // Outside the lock: revoking may call into other apartments.
  if (kit::ComPtr<IGlobalInterfaceTable> git = GlobalInterfaceTable()) git->RevokeInterfaceFromGlobal(gitCookie);
  return S_OK;
}

HRESULT EventSinkList::Fire(DISPID id, const VARIANT* args, UINT count) {
  std::vector<DWORD> cookies;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (places_.empty() || IsClosed()) return S_OK;
    cookies = places_;
  }
  // Taking a proxy out of the table may call into the sink's apartment, so
  // it is done without the lock, one sink at a time. A place emptied
  // meanwhile simply fails here.
  kit::ComPtr<IGlobalInterfaceTable> git = GlobalInterfaceTable();
  if (!git) return E_UNEXPECTED;
  HRESULT last = S_OK;
  std::vector<VARIANT> reversed(count);
  for (DWORD cookie : cookies) {
    if (IsClosed()) break;
    if (cookie == 0) continue;
    kit::ComPtr<IDispatch> target;
    if (FAILED(git->GetInterfaceFromGlobal(cookie, IID_IDispatch, target.OutVoid())) || !target) continue;
    // Invoke takes the last declared argument first.
    for (UINT i = 0; i < count; ++i) {
      VariantInit(&reversed[i]);
      VariantCopy(&reversed[i], const_cast<VARIANT*>(&args[count - 1 - i]));
    }
    DISPPARAMS params = {count ? reversed.data() : nullptr, nullptr, count, 0};
    VARIANT result;
    VariantInit(&result);
    last = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    VariantClear(&result);
    for (VARIANT& arg : reversed) VariantClear(&arg);
  }
  return last;
}

void EventSinkList::Close() { gate_->closed.store(true); }

// --- EventConnectionPoint ---------------------------------------------------

EventConnectionPoint::EventConnectionPoint(IConnectionPointContainer& container, REFIID eventIid)
    : container_(container), sinks_(std::make_shared<EventSinkList>(eventIid)) {}

STDMETHODIMP EventConnectionPoint::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP EventConnectionPoint::GetConnectionInterface(IID* iid) {
  return Barrier([&] { return Out(iid, sinks_->EventIid()); });
}

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  return Barrier([&] { return OutObject(out, &container_); });
}

STDMETHODIMP EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  return Barrier([&] { return sinks_->Advise(sink, cookie); });
}

STDMETHODIMP EventConnectionPoint::Unadvise(DWORD cookie) {
  return Barrier([&] { return sinks_->Unadvise(cookie); });
}

STDMETHODIMP EventConnectionPoint::EnumConnections(IEnumConnections** out) {
  return Barrier([&] {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  });
}

// --- Container helpers --------------------------------------------------------

namespace {

class SingleConnectionPointEnum final : public RefCounted<IEnumConnectionPoints> {
 public:
  SingleConnectionPointEnum(kit::ComPtr<IConnectionPoint> point, ULONG position)
      : point_(std::move(point)), position_(position) {}

  STDMETHODIMP Next(ULONG count, IConnectionPoint** out, ULONG* fetched) override {
    return Barrier([&]() -> HRESULT {
      if (!out) return E_POINTER;
      if (count != 1 && !fetched) return E_INVALIDARG;
      ULONG given = 0;
      if (count > 0 && position_ == 0) {
        OutObject(out, point_.Get());
        position_ = 1;
        given = 1;
      }
      if (fetched) *fetched = given;
      return Done(given == count);
    });
  }
  STDMETHODIMP Skip(ULONG count) override {
    return Barrier([&] {
      const ULONG left = 1 - position_;
      position_ = count >= left ? 1 : position_;
      return Done(count <= left);
    });
  }
  STDMETHODIMP Reset() override {
    return Barrier([&] {
      position_ = 0;
      return S_OK;
    });
  }
  STDMETHODIMP Clone(IEnumConnectionPoints** out) override {
    return Barrier([&]() -> HRESULT {
      if (!out) return E_POINTER;
      *out = new SingleConnectionPointEnum(point_, position_);
      return S_OK;
    });
  }

 private:
  const kit::ComPtr<IConnectionPoint> point_;
  ULONG position_;
};

}  // namespace

HRESULT FindSingleConnectionPoint(EventConnectionPoint& point, REFIID iid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, point.Sinks()->EventIid())) return CONNECT_E_NOCONNECTION;
  return OutObject(out, &point);
}

HRESULT EnumSingleConnectionPoint(EventConnectionPoint& point, IEnumConnectionPoints** out) {
  if (!out) return E_POINTER;
  *out = new SingleConnectionPointEnum(kit::ComPtr<IConnectionPoint>::Share(&point), 0);
  return S_OK;
}

}  // namespace tarnwick::com
