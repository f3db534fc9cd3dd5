// COM failures, holders and the client component base.
#include "gui/ComObj.h"

#include <oleauto.h>

#include <atomic>
#include <cstdio>

#include "ControlsInternal.h"
#include "gui/Forms.h"

namespace gui {

std::string SysErrorMessage(DWORD code) {
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  auto release = kit::OnExit([text] { LocalFree(text); });  // LocalFree takes null
  std::string message = n && text ? std::string(text, n) : "";
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  if (!message.empty() && message.back() == '.') message.pop_back();
  return message;
}

namespace {

std::string OleErrorText(HRESULT code) {
  std::string text = SysErrorMessage(static_cast<DWORD>(code));
  if (!text.empty()) return text;
  char buffer[32];
  std::snprintf(buffer, sizeof(buffer), "OLE error %08lX", static_cast<unsigned long>(code));
  return buffer;
}

}  // namespace

EOleSysError::EOleSysError(HRESULT code) : EOleError(OleErrorText(code)), code_(code) {}

std::string OleStrToString(const wchar_t* text) {
  if (!text) return "";
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return "";
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

TBStr::TBStr(const std::string& text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), wide.data(), n);
  value_ = kit::BStr(wide.data(), static_cast<UINT>(n));
  if (!value_.Get()) throw EOutOfResources("Out of memory for an OLE string");
}

std::string TBStr::Text() const { return OleStrToString(value_.Get()); }

bool EventArgument(const DISPPARAMS& params, UINT position, VARTYPE vt, VARIANT& out) {
  if (position >= params.cArgs || !params.rgvarg) return false;
  VariantInit(&out);
  VARIANT& arg = params.rgvarg[params.cArgs - 1 - position];
  VARIANT* source = &arg;
  if (arg.vt == (VT_VARIANT | VT_BYREF) && arg.pvarVal) source = arg.pvarVal;
  return SUCCEEDED(VariantChangeType(&out, source, 0, vt));
}

// --- the event sink ----------------------------------------------------------------

class TOleServer::Sink : public IDispatch {
 public:
  Sink(TOleServer* owner, const IID& events) : owner_(owner), events_(events) {}
  void Detach() { owner_ = nullptr; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    long left = --refs_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    if (!owner_) return S_OK;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    HRESULT result = S_OK;
    TOleServer* owner = owner_;
    detail::Guarded(owner, [&] { result = owner->InvokeEvent(id, params ? *params : none); });
    return result;
  }

 private:
  virtual ~Sink() = default;
  std::atomic<long> refs_{1};
  TOleServer* owner_;
  IID events_;
};

// --- TOleServer --------------------------------------------------------------------

namespace {
const TEnumInfo kConnectKindInfo{"TConnectKind",
                                 {"ckRunningOrNew", "ckNewInstance", "ckRunningInstance", "ckRemote",
                                  "ckAttachToInterface"}};
}

GUI_DEFINE_CLASS(TOleServer) {
  c.Enumeration("ConnectKind", kConnectKindInfo, &TOleServer::ConnectKind, &TOleServer::SetConnectKind,
                ckRunningOrNew);
  c.Boolean("AutoConnect", &TOleServer::AutoConnect, &TOleServer::SetAutoConnect, false);
}

TOleServer::TOleServer(TComponent* owner) : TComponent(owner) {}

TOleServer::~TOleServer() { Disconnect(); }

void TOleServer::Loaded() {
  inherited::Loaded();
  if (autoConnect_) Connect();
}

void TOleServer::Connect() {
  if (server_) return;
  const TServerData& data = ServerData();
  kit::ComPtr<IUnknown> unknown;
  auto create = [&] {
    OleCheck(CoCreateInstance(*data.ClassID, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, unknown.OutVoid()));
  };
  switch (connectKind_) {
    case ckRunningOrNew:
      if (FAILED(GetActiveObject(*data.ClassID, nullptr, unknown.Out())) || !unknown) create();
      break;
    case ckNewInstance:
      create();
      break;
    case ckRunningInstance:
      OleCheck(GetActiveObject(*data.ClassID, nullptr, unknown.Out()));
      break;
    case ckRemote:
    case ckAttachToInterface:
      throw EOleError(ClassName() + " has no server to connect to");
  }
  Attach(unknown.Get());
}

void TOleServer::ConnectTo(IUnknown* server) {
  if (!server) throw EOleError("No server to connect to");
  Disconnect();
  Attach(server);
}

void TOleServer::Attach(IUnknown* unknown) {
  const TServerData& data = ServerData();
  kit::ComPtr<IUnknown> typed;
  OleCheck(unknown->QueryInterface(*data.IntfIID, typed.OutVoid()));
  server_ = std::move(typed);
  if (!data.EventIID) return;
  kit::ComPtr<IConnectionPointContainer> container;
  if (FAILED(unknown->QueryInterface(IID_IConnectionPointContainer, container.OutVoid())) || !container)
    return;  // a server without events
  auto undo = kit::OnExit([this] { Disconnect(); });
  OleCheck(container->FindConnectionPoint(*data.EventIID, point_.Out()));
  sink_ = kit::ComPtr<Sink>::Adopt(new Sink(this, *data.EventIID));
  OleCheck(point_->Advise(sink_.Get(), &cookie_));
  undo.Dismiss();
}

void TOleServer::Disconnect() {
  if (point_) {
    if (cookie_) point_->Unadvise(cookie_);
    point_.Reset();
    cookie_ = 0;
  }
  if (sink_) {
    sink_->Detach();  // the server may still hold it
    sink_.Reset();
  }
  server_.Reset();
}

IUnknown* TOleServer::Server() {
  if (!server_) Connect();
  return server_.Get();
}

}  // namespace gui
