#include "com/ConnectionPoint.h"

#include <olectl.h>
#include <oleauto.h>

#include <algorithm>

#include "com/RefCounted.h"

namespace tarnwick::com {

namespace {

struct ReleaseUnknown {
  void operator()(IUnknown* p) const { p->Release(); }
};
template <class T>
using Held = std::unique_ptr<T, ReleaseUnknown>;

Held<IGlobalInterfaceTable> GlobalInterfaceTable() {
  IGlobalInterfaceTable* git = nullptr;
  if (FAILED(CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IGlobalInterfaceTable, reinterpret_cast<void**>(&git)))) {
    git = nullptr;
  }
  return Held<IGlobalInterfaceTable>(git);
}

// Lives in the apartment of the sink it wraps; see the header.
class SinkForwarder final : public RefCounted<IDispatch> {
 public:
  SinkForwarder(IDispatch* sink, std::shared_ptr<EventGate> gate) : sink_(sink), gate_(std::move(gate)) {}

  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return sink_->GetTypeInfoCount(count); }
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return sink_->GetTypeInfo(index, lcid, info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
    return sink_->GetIDsOfNames(iid, names, count, lcid, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* argErr) override {
    if (gate_->closed.load()) return S_OK;
    DWORD outer = gate_->handlerThread.exchange(GetCurrentThreadId());
    HRESULT hr;
    try {
      hr = sink_->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
    } catch (...) {
      // Nothing may unwind into the marshalling layer that called us.
      hr = RPC_E_SERVERFAULT;
    }
    gate_->handlerThread.store(outer);
    return hr;
  }

 private:
  ~SinkForwarder() override { sink_->Release(); }

  IDispatch* sink_;
  std::shared_ptr<EventGate> gate_;
};

}  // namespace

// --- EventSinkList --------------------------------------------------------

EventSinkList::EventSinkList(REFIID eventIid) : eventIid_(eventIid), gate_(std::make_shared<EventGate>()) {}

EventSinkList::~EventSinkList() {
  Held<IGlobalInterfaceTable> git = GlobalInterfaceTable();
  if (!git) return;
  for (DWORD cookie : places_) {
    if (cookie) git->RevokeInterfaceFromGlobal(cookie);
  }
}

HRESULT EventSinkList::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  IUnknown* events = nullptr;
  if (FAILED(sink->QueryInterface(eventIid_, reinterpret_cast<void**>(&events))) || !events) {
    return CONNECT_E_CANNOTCONNECT;
  }
  events->Release();
  IDispatch* dispatch = nullptr;
  if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) || !dispatch) {
    return CONNECT_E_CANNOTCONNECT;
  }
  Held<IGlobalInterfaceTable> git = GlobalInterfaceTable();
  if (!git) {
    dispatch->Release();
    return E_UNEXPECTED;
  }
  SinkForwarder* forwarder = new (std::nothrow) SinkForwarder(dispatch, gate_);
  if (!forwarder) {
    dispatch->Release();
    return E_OUTOFMEMORY;
  }
  DWORD gitCookie = 0;
  HRESULT hr = git->RegisterInterfaceInGlobal(forwarder, IID_IDispatch, &gitCookie);
  forwarder->Release();  // the table holds it now
  if (FAILED(hr)) return hr;

  std::lock_guard<std::mutex> guard(lock_);
  auto empty = std::find(places_.begin(), places_.end(), 0u);
  if (empty == places_.end()) empty = places_.insert(places_.end(), 0u);
  *empty = gitCookie;
  *cookie = static_cast<DWORD>(empty - places_.begin()) + 1;
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
  if (Held<IGlobalInterfaceTable> git = GlobalInterfaceTable()) git->RevokeInterfaceFromGlobal(gitCookie);
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
  Held<IGlobalInterfaceTable> git = GlobalInterfaceTable();
  if (!git) return E_UNEXPECTED;
  HRESULT last = S_OK;
  std::vector<VARIANT> reversed(count);
  for (DWORD cookie : cookies) {
    if (IsClosed()) break;
    if (cookie == 0) continue;
    IDispatch* proxy = nullptr;
    if (FAILED(git->GetInterfaceFromGlobal(cookie, IID_IDispatch, reinterpret_cast<void**>(&proxy))) || !proxy) {
      continue;
    }
    Held<IDispatch> target(proxy);
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
  if (!iid) return E_POINTER;
  *iid = sinks_->EventIid();
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  container_.AddRef();
  *out = &container_;
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) { return sinks_->Advise(sink, cookie); }

STDMETHODIMP EventConnectionPoint::Unadvise(DWORD cookie) { return sinks_->Unadvise(cookie); }

STDMETHODIMP EventConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

// --- Container helpers --------------------------------------------------------

namespace {

class SingleConnectionPointEnum final : public RefCounted<IEnumConnectionPoints> {
 public:
  SingleConnectionPointEnum(IConnectionPoint* point, ULONG position) : point_(point), position_(position) {
    point_->AddRef();
  }

  STDMETHODIMP Next(ULONG count, IConnectionPoint** out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    if (count != 1 && !fetched) return E_INVALIDARG;
    ULONG given = 0;
    if (count > 0 && position_ == 0) {
      point_->AddRef();
      out[0] = point_;
      position_ = 1;
      given = 1;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    ULONG left = 1 - position_;
    position_ = count >= left ? 1 : position_;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumConnectionPoints** out) override {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) SingleConnectionPointEnum(point_, position_);
    return *out ? S_OK : E_OUTOFMEMORY;
  }

 private:
  ~SingleConnectionPointEnum() override { point_->Release(); }

  IConnectionPoint* point_;
  ULONG position_;
};

}  // namespace

HRESULT FindSingleConnectionPoint(EventConnectionPoint& point, REFIID iid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, point.Sinks()->EventIid())) return CONNECT_E_NOCONNECTION;
  point.AddRef();
  *out = &point;
  return S_OK;
}

HRESULT EnumSingleConnectionPoint(EventConnectionPoint& point, IEnumConnectionPoints** out) {
  if (!out) return E_POINTER;
  *out = new (std::nothrow) SingleConnectionPointEnum(&point, 0);
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace tarnwick::com
