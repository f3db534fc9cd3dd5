// A client's sink for _IMOMainEvents that records every event it receives.
// Single-threaded test clients serve their apartment with
// testsupport/Messages.h.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <mutex>
#include <vector>

#include "TarnwickLib.h"
#include "com/RefCounted.h"

namespace tarnwick::test {

struct RecordedEvent {
  DISPID id = 0;
  std::vector<VARTYPE> types;  // declaration order
  std::vector<LONGLONG> values;
  DWORD thread = 0;
};

// Made with new; the engine may hold it past the test's own release.
class EventSink final : public com::RefCounted<IDispatch> {
 public:
  // Runs inside the handler, after the event is recorded.
  std::function<void(const RecordedEvent&)> onEvent;
  // A handler that throws, as a faulty client's might.
  bool throwInHandler = false;

  std::vector<RecordedEvent> Events() {
    std::lock_guard<std::mutex> guard(lock_);
    return events_;
  }
  size_t Count() {
    std::lock_guard<std::mutex> guard(lock_);
    return events_.size();
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    RecordedEvent event;
    event.id = id;
    event.thread = GetCurrentThreadId();
    for (UINT i = params->cArgs; i-- > 0;) {
      const VARIANT& arg = params->rgvarg[i];
      event.types.push_back(arg.vt);
      switch (arg.vt) {
        case VT_UI1: event.values.push_back(arg.bVal); break;
        case VT_UI4: event.values.push_back(arg.ulVal); break;
        case VT_I4: event.values.push_back(arg.lVal); break;
        case VT_BOOL: event.values.push_back(arg.boolVal); break;
        default: event.values.push_back(0); break;
      }
    }
    if (!(flags & DISPATCH_METHOD)) event.id = -1;
    {
      std::lock_guard<std::mutex> guard(lock_);
      events_.push_back(event);
    }
    if (onEvent) onEvent(event);
    if (throwInHandler) throw 42;
    return S_OK;
  }

 protected:
  bool AlsoAnswers(REFIID iid) const override { return IsEqualIID(iid, DIID__IMOMainEvents); }

 private:
  std::mutex lock_;
  std::vector<RecordedEvent> events_;
};

}  // namespace tarnwick::test
