// TMOMain: the client component for the engine's root object MOMain. Forms
// hold it like any component:
//
//   object Quillon: TMOMain
//     ConnectKind = ckRunningOrNew
//     AutoConnect = False
//     OnFastFreeProgress = OnMOFastFreeProgress
//   end
//
// It connects on the first call, receives _IMOMainEvents on the thread that
// connected, and hands each event to its handler with the arguments in
// declaration order. Every call whose result is negative throws
// EOleSysError with the system's text for it; S_FALSE passes.
// Link brimvale_engine_client.
#pragma once

#include <functional>
#include <string>

#include "TarnwickLib.h"
#include "gui/ComObj.h"
#include "gui/Events.h"
#include "gui/Object.h"

namespace gui {

using TMOMainProgressEvent = std::function<void(TObject* Sender, unsigned char ProgressValue)>;
using TMOMainProcessEvent = std::function<void(TObject* Sender, unsigned long Index, unsigned long ProcessID)>;
using TMOMainSmartCPUTuneEvent =
    std::function<void(TObject* Sender, unsigned long ProcessID, VARIANT_BOOL IsUpOrDown)>;
using TMOMainGameModeStateEvent = std::function<void(TObject* Sender, _MO_GAME_MODE_STATE GameModeState)>;

class TMOMain : public TOleServer {
  GUI_CLASS(TMOMain, TOleServer)

 public:
  explicit TMOMain(TComponent* owner);

  // The engine's interface, connecting first when needed.
  IMOMain* DefaultInterface();
  // Uses the given engine object (tests hand in a fake one).
  void ConnectTo(IMOMain* engine) { TOleServer::ConnectTo(engine); }

  std::string Name();
  std::string Description();
  std::string Author();
  std::string Company();
  std::string Version();
  TComPtr<IMOState> State();
  TComPtr<IMOConfig> config();
  TComPtr<IMORulesList> BlackList();
  TComPtr<IMORulesList> WhiteList();
  TComPtr<IMORulesList> SmartList();
  TComPtr<IMODefrag> Defrag();
  TComPtr<IMOPagingFileList> PagingFileList();
  TComPtr<IMOSysTuneup> SysTuneup();
  TComPtr<IMOProcessList> ProcessList();
  TComPtr<IMOSmartOpti> SmartOpti();
  TComPtr<IMOGameHelper> GameHelper();
  void Open();
  void Close();
  void AutorunTask();
  void RebootSystem();

  TMOMainProgressEvent OnDeepCompressProgress;
  TMOMainProgressEvent OnFastFreeProgress;
  TMOMainProcessEvent OnProcessNew;
  TMOMainProcessEvent OnProcessExit;
  TMOMainSmartCPUTuneEvent OnSmartCPUTune;
  TMOMainGameModeStateEvent OnSwitchGameModeState;
  TNotifyEvent OnFailToGameMode;

 protected:
  const TServerData& ServerData() const override;
  HRESULT InvokeEvent(DISPID id, DISPPARAMS& params) override;

 private:
  std::string Text(HRESULT (STDMETHODCALLTYPE IMOMain::*get)(BSTR*));
  template <class I>
  TComPtr<I> Object(HRESULT (STDMETHODCALLTYPE IMOMain::*get)(I**)) {
    TComPtr<I> result;
    OleCheck((DefaultInterface()->*get)(result.Out()));
    return result;
  }
};

}  // namespace gui
