// Outgoing events: the connection point of one dispinterface and its list of
// connected sinks.
//
// Each sink is called in the apartment where it was connected. At Advise the
// sink is wrapped in a small forwarder living in that apartment, and the
// forwarder is put into the process's global interface table; the firing
// thread takes a proxy from there for each call. The forwarder also lets the
// list be closed for good: once closed, even a call already on its way to the
// sink's apartment is dropped before it reaches the sink.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace tarnwick::com {

// State shared by a sink list and its forwarders (which may outlive it).
struct EventGate {
  std::atomic<bool> closed{false};
  std::atomic<DWORD> handlerThread{0};  // thread running a sink's handler, 0 when none
};

class EventSinkList {
 public:
  explicit EventSinkList(REFIID eventIid);
  ~EventSinkList();
  EventSinkList(const EventSinkList&) = delete;
  EventSinkList& operator=(const EventSinkList&) = delete;

  const IID& EventIid() const { return eventIid_; }

  // Cookies are place numbers from 1; a place freed by Unadvise is reused.
  HRESULT Advise(IUnknown* sink, DWORD* cookie);
  HRESULT Unadvise(DWORD cookie);

  // Calls Invoke(id, DISPATCH_METHOD) on every connected sink in list order;
  // `args` are in declaration order. Returns the result of the last sink
  // called, S_OK when none is connected. The lock is held only while the
  // sinks are taken from the list, never during a call.
  HRESULT Fire(DISPID id, const VARIANT* args, UINT count);

  // Ends delivery for good, including calls already under way.
  void Close();
  bool IsClosed() const { return gate_->closed.load(); }

  // True when the calling thread is inside a sink's handler called by Fire.
  bool InHandlerOnThisThread() const { return gate_->handlerThread.load() == GetCurrentThreadId(); }

 private:
  IID eventIid_;
  std::shared_ptr<EventGate> gate_;
  std::mutex lock_;
  std::vector<DWORD> places_;  // global interface table cookies; 0 marks an empty place
};

// The connection point a container hands out. Its reference count is the
// container's, so a client holding it keeps the container alive.
class EventConnectionPoint final : public IConnectionPoint {
 public:
  EventConnectionPoint(IConnectionPointContainer& container, REFIID eventIid);

  const std::shared_ptr<EventSinkList>& Sinks() const { return sinks_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return container_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return container_.Release(); }

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override;

 private:
  IConnectionPointContainer& container_;
  std::shared_ptr<EventSinkList> sinks_;
};

// The container side for a single connection point: FindConnectionPoint and
// EnumConnectionPoints answers.
HRESULT FindSingleConnectionPoint(EventConnectionPoint& point, REFIID iid, IConnectionPoint** out);
HRESULT EnumSingleConnectionPoint(EventConnectionPoint& point, IEnumConnectionPoints** out);

}  // namespace tarnwick::com
