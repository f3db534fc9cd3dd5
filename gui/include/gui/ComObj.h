// COM for the program: failures as exceptions, interface and string
// holders, and TOleServer, the base of client components that connect to a
// COM server and receive its events.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oaidl.h>
#include <ocidl.h>

#include <string>

#include "gui/Component.h"
#include "gui/Exceptions.h"
#include "kit/Own.h"

namespace gui {

// The system's text for an error code ("" when it has none).
std::string SysErrorMessage(DWORD code);

class EOleError : public Exception {
 public:
  using Exception::Exception;
};

// A failed COM call: the message is the system's text for the result.
class EOleSysError : public EOleError {
 public:
  explicit EOleSysError(HRESULT code);
  HRESULT ErrorCode() const { return code_; }

 private:
  HRESULT code_;
};

// Throws EOleSysError for a negative result; S_FALSE and other success
// codes pass.
inline HRESULT OleCheck(HRESULT result) {
  if (FAILED(result)) throw EOleSysError(result);
  return result;
}

// Holds one reference to an interface: the kit's owner under the name
// callers know.
template <class T>
using TComPtr = kit::ComPtr<T>;

// An OLE string: made from 8-bit text for an [in] argument, or received
// from an [out] argument; freed with the holder.
class TBStr {
 public:
  TBStr() = default;
  explicit TBStr(const std::string& text);
  operator BSTR() const { return value_.Get(); }
  BSTR* Out() { return value_.Out(); }
  // The text in the system code page.
  std::string Text() const;

 private:
  kit::BStr value_;
};

std::string OleStrToString(const wchar_t* text);

enum TConnectKind { ckRunningOrNew, ckNewInstance, ckRunningInstance, ckRemote, ckAttachToInterface };

// A component standing for a COM server object. It connects on demand
// (or when loaded, with AutoConnect), subscribes its event sink at the
// object's connection point, and at the end unsubscribes, then releases.
// Events arrive on the thread that connected (a single-threaded apartment)
// and go to InvokeEvent inside the application's exception barrier.
class TOleServer : public TComponent {
  GUI_CLASS(TOleServer, TComponent)

 public:
  explicit TOleServer(TComponent* owner);
  ~TOleServer() override;

  TConnectKind ConnectKind() const { return connectKind_; }
  void SetConnectKind(TConnectKind value) { connectKind_ = value; }
  bool AutoConnect() const { return autoConnect_; }
  void SetAutoConnect(bool value) { autoConnect_ = value; }

  // ckRunningOrNew: the running object first, then a new one in process.
  void Connect();
  // Uses the object given (a fake server in tests); its events are
  // subscribed when it has a connection point for them.
  void ConnectTo(IUnknown* server);
  void Disconnect();
  bool Connected() const { return static_cast<bool>(server_); }

 protected:
  struct TServerData {
    const CLSID* ClassID;
    const IID* IntfIID;   // the interface the component uses
    const IID* EventIID;  // the event interface, or null
  };
  virtual const TServerData& ServerData() const = 0;
  // The server's interface (IntfIID), connecting first when needed.
  IUnknown* Server();
  // One event: params as the server packs them, the last argument first.
  // The result goes back to the server.
  virtual HRESULT InvokeEvent(DISPID id, DISPPARAMS& params) = 0;
  void Loaded() override;

 private:
  class Sink;
  void Attach(IUnknown* unknown);
  kit::ComPtr<IUnknown> server_;
  kit::ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
  kit::ComPtr<Sink> sink_;
  TConnectKind connectKind_ = ckRunningOrNew;
  bool autoConnect_ = false;
};

// An argument of an event by its position in the declaration, converted to
// vt; false when it is missing or cannot be converted.
bool EventArgument(const DISPPARAMS& params, UINT position, VARTYPE vt, VARIANT& out);

}  // namespace gui
