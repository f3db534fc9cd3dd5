#include "ScriptedEngine.h"

#include <fstream>
#include <string>
#include <utility>

namespace scripted {

namespace {

// What an interface of the scripted engine answers for IDispatch: the
// program never dispatches, so nothing.
template <class I>
class TNoDispatch : public I {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
};

// An object the engine owns by composition: it answers for its own
// interface and counts its references with the engine's.
template <class I>
class TOwned : public TNoDispatch<I> {
 public:
  TOwned(IUnknown& owner, REFIID iid) : owner_(owner), iid_(iid) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == iid_) {
      *ppv = static_cast<I*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }

 private:
  IUnknown& owner_;
  const IID& iid_;
};

template <class T>
HRESULT Put(T* out, T value) {
  if (!out) return E_POINTER;
  *out = value;
  return S_OK;
}

template <class I>
HRESULT Hand(I* object, I** out) {
  if (!out) return E_POINTER;
  object->AddRef();
  *out = object;
  return S_OK;
}

}  // namespace

// --- the call log -----------------------------------------------------------------

TCallLog::TCallLog(const std::string& path) : path_(path) { std::ofstream(path_, std::ios::trunc); }

void TCallLog::Write(const std::string& line) {
  std::ofstream out(path_, std::ios::app | std::ios::binary);
  out << line << "\r\n";
}

// --- sub-objects: owned by the engine, counted with it -------------------------------

class TScriptedEngine::TState final : public TOwned<IMOState> {
 public:
  explicit TState(TScriptedEngine& engine) : TOwned(static_cast<IMOMain&>(engine), IID_IMOState), engine_(engine) {}

  STDMETHODIMP Refresh() override {
    if (engine_.refreshResult_ != S_OK) {
      engine_.log_.Write("Refresh failed");
      return engine_.refreshResult_;
    }
    if (engine_.refreshLogged_) engine_.log_.Write("Refresh");
    shown_ = engine_.figures_;
    return S_OK;
  }
  STDMETHODIMP get_CPUUsage(unsigned char index, unsigned char* value) override {
    return index == 0 ? Put(value, shown_.Processor) : E_INVALIDARG;
  }
  STDMETHODIMP get_MemoryState(_MO_MEMORY_STATE* value) override { return Put(value, MO_MS_UNKNOWN); }
  STDMETHODIMP get_TotalPhysicalMemory(UINT64* value) override { return Put<UINT64>(value, shown_.TotalPhysical); }
  STDMETHODIMP get_UsedPhysicalMemory(UINT64* value) override { return Put<UINT64>(value, shown_.UsedPhysical); }
  STDMETHODIMP get_AvailPhysicalMemory(UINT64* value) override {
    return Put<UINT64>(value, shown_.TotalPhysical - std::min(shown_.UsedPhysical, shown_.TotalPhysical));
  }
  STDMETHODIMP get_TotalPagingFile(UINT64* value) override { return Put<UINT64>(value, shown_.TotalPagingFile); }
  STDMETHODIMP get_UsedPagingFile(UINT64* value) override { return Put<UINT64>(value, shown_.UsedPagingFile); }
  STDMETHODIMP get_AvailPagingFile(UINT64* value) override {
    return Put<UINT64>(value, shown_.TotalPagingFile - std::min(shown_.UsedPagingFile, shown_.TotalPagingFile));
  }
  STDMETHODIMP get_ClipboardSize(ULONG* value) override { return Put<ULONG>(value, 0); }

 private:
  TScriptedEngine& engine_;
  TFigures shown_;
};

class TScriptedEngine::TDefrag final : public TOwned<IMODefrag> {
 public:
  explicit TDefrag(TScriptedEngine& engine)
      : TOwned(static_cast<IMOMain&>(engine), IID_IMODefrag), engine_(engine) {}

  // The work itself is the test's: it fires the progress it wants.
  STDMETHODIMP FastFree(VARIANT_BOOL checkRules) override {
    engine_.log_.Write(checkRules ? "FastFree checked" : "FastFree");
    return S_OK;
  }
  STDMETHODIMP DeepCompress() override {
    engine_.log_.Write("DeepCompress");
    return engine_.DeepCompressResult;
  }
  STDMETHODIMP BreakOutFromDeepCompress() override {
    engine_.log_.Write("BreakOutFromDeepCompress");
    return S_OK;
  }
  STDMETHODIMP CleanClipboard() override { return S_OK; }

 private:
  TScriptedEngine& engine_;
};

// The real engine's settings, each write logged as "Put<tab>Name<tab>value"
// (an OLE boolean as -1 or 0) before it goes on, and each save and recommend
// with its groups.
class TScriptedEngine::TConfig final : public TOwned<IMOConfig> {
 public:
  TConfig(TScriptedEngine& engine, kit::ComPtr<IMOConfig> real)
      : TOwned(static_cast<IMOMain&>(engine), IID_IMOConfig), engine_(engine), real_(std::move(real)) {}

#define SCRIPTED_PUT(Type, Name)                                                        \
  STDMETHODIMP get_##Name(Type* value) override { return real_->get_##Name(value); }    \
  STDMETHODIMP put_##Name(Type value) override {                                        \
    engine_.log_.Write("Put\t" #Name "\t" + std::to_string(static_cast<long long>(value))); \
    return real_->put_##Name(value);                                                    \
  }
  SCRIPTED_PUT(UINT64, ManualCompressSize)
  SCRIPTED_PUT(unsigned char, ManualCompressLevel)
  SCRIPTED_PUT(VARIANT_BOOL, IsAutoCompress)
  SCRIPTED_PUT(ULONG, AutoCompressTimer)
  SCRIPTED_PUT(UINT64, AutoCompressAlarm)
  SCRIPTED_PUT(UINT64, AutoCompressExpectation)
  SCRIPTED_PUT(VARIANT_BOOL, IsCPUProtection)
  SCRIPTED_PUT(unsigned char, CPUProtectionValue)
  SCRIPTED_PUT(VARIANT_BOOL, IsAutoFree)
  SCRIPTED_PUT(ULONG, AutoFreeTimer)
  SCRIPTED_PUT(VARIANT_BOOL, IsCheckBlackList)
  SCRIPTED_PUT(VARIANT_BOOL, IsCheckWhiteList)
  SCRIPTED_PUT(VARIANT_BOOL, IsCheckSmartList)
  SCRIPTED_PUT(VARIANT_BOOL, IsCheckIdleList)
  SCRIPTED_PUT(VARIANT_BOOL, IsFreeOnceOnCPUIdle)
  SCRIPTED_PUT(VARIANT_BOOL, IsFreeOnceOnTimer)
  SCRIPTED_PUT(ULONG, FreeOnceOnTimer)
  SCRIPTED_PUT(VARIANT_BOOL, IsSmartLearning)
  SCRIPTED_PUT(ULONG, SmartLearningTimer)
  SCRIPTED_PUT(unsigned char, SmartLearningRecord)
  SCRIPTED_PUT(unsigned char, SmartLearningPeriod)
  SCRIPTED_PUT(VARIANT_BOOL, IsSmartCPU)
  SCRIPTED_PUT(unsigned char, SmartCPURange)
  SCRIPTED_PUT(VARIANT_BOOL, IsAutorun)
  SCRIPTED_PUT(VARIANT_BOOL, IsShowTrayIcon)
  SCRIPTED_PUT(VARIANT_BOOL, IsMinimizeToTray)
  SCRIPTED_PUT(VARIANT_BOOL, IsCloseToTray)
  SCRIPTED_PUT(VARIANT_BOOL, IsShowNotificationInTray)
  SCRIPTED_PUT(VARIANT_BOOL, IsUseFreeMemoryNowHotKey)
  SCRIPTED_PUT(ULONG, FreeMemoryNowHotKey)
  SCRIPTED_PUT(ULONG, MemoryGraphRefreshTimer)
  SCRIPTED_PUT(ULONG, ProcessListRefreshTimer)
#undef SCRIPTED_PUT

  STDMETHODIMP get_ConfigItem(BSTR section, BSTR key, BSTR* value) override {
    return real_->get_ConfigItem(section, key, value);
  }
  STDMETHODIMP put_ConfigItem(BSTR section, BSTR key, BSTR value) override {
    return real_->put_ConfigItem(section, key, value);
  }
  STDMETHODIMP Load() override { return real_->Load(); }
  STDMETHODIMP Save(_MO_CONFIG_SETTINGS groups) override {
    engine_.log_.Write("Save\t" + std::to_string(static_cast<int>(groups)));
    return real_->Save(groups);
  }
  STDMETHODIMP Recommend(_MO_CONFIG_SETTINGS groups) override {
    engine_.log_.Write("Recommend\t" + std::to_string(static_cast<int>(groups)));
    return real_->Recommend(groups);
  }

 private:
  TScriptedEngine& engine_;
  kit::ComPtr<IMOConfig> real_;
};

// --- the engine -----------------------------------------------------------------------

TScriptedEngine::TScriptedEngine(TCallLog& log, kit::ComPtr<IMOMain> real)
    : log_(log), real_(std::move(real)), state_(new TState(*this)), defrag_(new TDefrag(*this)) {}

TScriptedEngine::~TScriptedEngine() {
  delete config_;
  delete defrag_;
  delete state_;
  if (OnDestroy) OnDestroy();
}

STDMETHODIMP TScriptedEngine::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IMOMain)
    *ppv = static_cast<IMOMain*>(this);
  else if (riid == IID_IConnectionPointContainer)
    *ppv = static_cast<IConnectionPointContainer*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) TScriptedEngine::AddRef() { return ++references_; }

STDMETHODIMP_(ULONG) TScriptedEngine::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

void TScriptedEngine::FailRefresh(HRESULT result) {
  refreshResult_ = result;
  refreshLogged_ = refreshLogged_ || result != S_OK;
}

STDMETHODIMP TScriptedEngine::GetTypeInfoCount(UINT* count) { return Put<UINT>(count, 0); }

STDMETHODIMP TScriptedEngine::get_State(IMOState** value) { return Hand<IMOState>(state_, value); }
STDMETHODIMP TScriptedEngine::get_Defrag(IMODefrag** value) { return Hand<IMODefrag>(defrag_, value); }

STDMETHODIMP TScriptedEngine::get_config(IMOConfig** value) {
  log_.Write("config");
  if (!value) return E_POINTER;
  if (!config_) {
    kit::ComPtr<IMOConfig> real;
    const HRESULT hr = real_->get_config(real.Out());
    if (FAILED(hr)) return hr;
    config_ = new TConfig(*this, std::move(real));
  }
  return Hand<IMOConfig>(config_, value);
}

STDMETHODIMP TScriptedEngine::Open() {
  log_.Write("Open");
  return real_->Open();
}

STDMETHODIMP TScriptedEngine::Close() {
  log_.Write("Close");
  std::vector<std::function<void()>> actions;
  actions.swap(OnClose);
  for (auto& action : actions) action();
  return real_->Close();
}

STDMETHODIMP TScriptedEngine::AutorunTask() {
  log_.Write("AutorunTask");
  return S_OK;
}

STDMETHODIMP TScriptedEngine::RebootSystem() {
  log_.Write("RebootSystem");
  return S_FALSE;  // never in a test
}

STDMETHODIMP TScriptedEngine::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (riid != DIID__IMOMainEvents) return CONNECT_E_NOCONNECTION;
  return Hand<IConnectionPoint>(this, point);
}

STDMETHODIMP TScriptedEngine::GetConnectionInterface(IID* iid) { return Put<IID>(iid, DIID__IMOMainEvents); }

STDMETHODIMP TScriptedEngine::GetConnectionPointContainer(IConnectionPointContainer** container) {
  return Hand<IConnectionPointContainer>(this, container);
}

STDMETHODIMP TScriptedEngine::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  if (sink_) return CONNECT_E_ADVISELIMIT;
  if (FAILED(sink->QueryInterface(IID_IDispatch, sink_.OutVoid()))) return CONNECT_E_CANNOTCONNECT;
  *cookie = 1;
  log_.Write("Advise");
  return S_OK;
}

STDMETHODIMP TScriptedEngine::Unadvise(DWORD cookie) {
  if (cookie != 1 || !sink_) return CONNECT_E_NOCONNECTION;
  sink_.Reset();
  log_.Write("Unadvise");
  return S_OK;
}

void TScriptedEngine::FireProgress(DISPID event, unsigned char value) {
  if (!sink_) return;
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_UI1;
  argument.bVal = value;
  DISPPARAMS params{&argument, nullptr, 1, 0};
  sink_->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

// --- the class factory ---------------------------------------------------------------

TScriptedEngineFactory::TScriptedEngineFactory(TCallLog& log, const std::string& engineFile)
    : log_(log), engineFile_(engineFile) {
  CoRegisterClassObject(CLSID_MOMain, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

TScriptedEngineFactory::~TScriptedEngineFactory() {
  if (cookie_) CoRevokeClassObject(cookie_);
}

STDMETHODIMP TScriptedEngineFactory::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IClassFactory) {
    *ppv = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP TScriptedEngineFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  // The real engine of the program folder, straight from its file: what the
  // program does not script is the engine's own. The file stays loaded for
  // the life of the process, as a loaded COM server does.
  HMODULE module = LoadLibraryA(engineFile_.c_str());
  if (!module) return REGDB_E_CLASSNOTREG;
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto getClassObject =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  kit::ComPtr<IClassFactory> factory;
  HRESULT hr = getClassObject ? getClassObject(CLSID_MOMain, IID_IClassFactory, factory.OutVoid()) : E_FAIL;
  kit::ComPtr<IMOMain> real;
  if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_IMOMain, real.OutVoid());
  if (FAILED(hr)) return hr;
  auto* engine = new TScriptedEngine(log_, std::move(real));
  engine->OnDestroy = [this, engine] {
    if (engine_ == engine) engine_ = nullptr;
  };
  hr = engine->QueryInterface(riid, ppv);
  if (SUCCEEDED(hr)) engine_ = engine;
  engine->Release();
  return hr;
}

}  // namespace scripted
