// The engine of the program's test build: an MOMain that hands out the real
// engine's settings, lists and processes, but whose memory and processor
// figures, fast free, deep compress and progress events a test scripts. It
// stands in for figures and events Wine cannot give. Calls that matter to a
// test are written to a log file in the program folder, one line each,
// among them every setting the program writes (the real engine keeps it).
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "TarnwickLib.h"
#include "kit/Own.h"

namespace scripted {

// Appends lines to the call log (flushed at once: the test reads it live).
class TCallLog {
 public:
  explicit TCallLog(const std::string& path);
  void Write(const std::string& line);

 private:
  std::string path_;
};

// The figures a test sets; the state object reports them from its next
// Refresh on, as the engine reports the figures of its last Refresh. All 0
// until a test sets them.
struct TFigures {
  std::uint64_t TotalPhysical = 0, UsedPhysical = 0, TotalPagingFile = 0, UsedPagingFile = 0;
  unsigned char Processor = 0;
};

class TScriptedEngine;

// Creates the scripted engine for every in-process creation of MOMain in
// this process, from registration to its end.
class TScriptedEngineFactory : public IClassFactory {
 public:
  TScriptedEngineFactory(TCallLog& log, const std::string& engineFile);
  ~TScriptedEngineFactory();
  TScriptedEngineFactory(const TScriptedEngineFactory&) = delete;
  TScriptedEngineFactory& operator=(const TScriptedEngineFactory&) = delete;

  // The engine made, or null before the program made it.
  TScriptedEngine* Engine() const { return engine_; }

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  TCallLog& log_;
  std::string engineFile_;
  DWORD cookie_ = 0;
  TScriptedEngine* engine_ = nullptr;  // the program holds it
};

// The scripted MOMain: its own state, defrag and connection point; every
// other sub-object is the real engine's.
class TScriptedEngine final : public IMOMain, public IConnectionPointContainer, public IConnectionPoint {
 public:
  TScriptedEngine(TCallLog& log, kit::ComPtr<IMOMain> real);
  ~TScriptedEngine();

  TFigures& Figures() { return figures_; }
  // Fires a progress event at the program's sink now (DISPID 1 deep
  // compress, 2 fast free).
  void FireProgress(DISPID event, unsigned char value);
  // Actions run inside Close, as a closing engine delivers what it still had
  // queued.
  std::vector<std::function<void()>> OnClose;
  // Forgets the engine when it goes (the factory keeps a plain pointer).
  std::function<void()> OnDestroy;
  // What the state's Refresh and the defrag's DeepCompress answer; a failure
  // set once also logs every Refresh from then on.
  void FailRefresh(HRESULT result);
  HRESULT DeepCompressResult = S_OK;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IDispatch: the program calls the interface, never through dispatch.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  // IMOMain
  STDMETHODIMP get_Name(BSTR* value) override { return real_->get_Name(value); }
  STDMETHODIMP get_Description(BSTR* value) override { return real_->get_Description(value); }
  STDMETHODIMP get_Author(BSTR* value) override { return real_->get_Author(value); }
  STDMETHODIMP get_Company(BSTR* value) override { return real_->get_Company(value); }
  STDMETHODIMP get_Version(BSTR* value) override { return real_->get_Version(value); }
  STDMETHODIMP get_State(IMOState** value) override;
  STDMETHODIMP get_config(IMOConfig** value) override;
  STDMETHODIMP get_BlackList(IMORulesList** value) override { return real_->get_BlackList(value); }
  STDMETHODIMP get_WhiteList(IMORulesList** value) override { return real_->get_WhiteList(value); }
  STDMETHODIMP get_SmartList(IMORulesList** value) override { return real_->get_SmartList(value); }
  STDMETHODIMP get_Defrag(IMODefrag** value) override;
  STDMETHODIMP get_PagingFileList(IMOPagingFileList** value) override { return real_->get_PagingFileList(value); }
  STDMETHODIMP get_SysTuneup(IMOSysTuneup** value) override { return real_->get_SysTuneup(value); }
  STDMETHODIMP get_ProcessList(IMOProcessList** value) override { return real_->get_ProcessList(value); }
  STDMETHODIMP get_SmartOpti(IMOSmartOpti** value) override { return real_->get_SmartOpti(value); }
  STDMETHODIMP get_GameHelper(IMOGameHelper** value) override { return real_->get_GameHelper(value); }
  STDMETHODIMP Open() override;
  STDMETHODIMP Close() override;
  STDMETHODIMP AutorunTask() override;
  STDMETHODIMP RebootSystem() override;
  // IConnectionPointContainer: the one point of _IMOMainEvents.
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;
  // IConnectionPoint: one sink at a time, as the program has one.
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

 private:
  class TState;
  class TDefrag;
  class TConfig;

  std::atomic<ULONG> references_{1};
  TCallLog& log_;
  kit::ComPtr<IMOMain> real_;
  TFigures figures_;
  HRESULT refreshResult_ = S_OK;
  bool refreshLogged_ = false;
  TState* state_;
  TDefrag* defrag_;
  TConfig* config_ = nullptr;  // made at the first request, over the real engine's
  kit::ComPtr<IDispatch> sink_;
};

}  // namespace scripted
