// The engine client component.
#include "engineclient/EngineClient.h"

namespace gui {

namespace {

// The events' DISPIDs in the engine's type library.
enum : DISPID {
  kDeepCompressProgress = 1,
  kFastFreeProgress = 2,
  kProcessNew = 3,
  kProcessExit = 4,
  kSmartCPUTune = 5,
  kSwitchGameModeState = 6,
  kFailToGameMode = 7,
};

// Forms may name the class from the start.
const bool registered = [] {
  RegisterClasses({&TMOMain::StaticClass()});
  return true;
}();

}  // namespace

GUI_DEFINE_CLASS(TMOMain) {
  c.Event("OnDeepCompressProgress", &TMOMain::OnDeepCompressProgress);
  c.Event("OnFastFreeProgress", &TMOMain::OnFastFreeProgress);
  c.Event("OnProcessNew", &TMOMain::OnProcessNew);
  c.Event("OnProcessExit", &TMOMain::OnProcessExit);
  c.Event("OnSmartCPUTune", &TMOMain::OnSmartCPUTune);
  c.Event("OnSwitchGameModeState", &TMOMain::OnSwitchGameModeState);
  c.Event("OnFailToGameMode", &TMOMain::OnFailToGameMode);
}

TMOMain::TMOMain(TComponent* owner) : TOleServer(owner) { (void)registered; }

const TOleServer::TServerData& TMOMain::ServerData() const {
  static const TServerData data{&CLSID_MOMain, &IID_IMOMain, &DIID__IMOMainEvents};
  return data;
}

IMOMain* TMOMain::DefaultInterface() { return static_cast<IMOMain*>(Server()); }

std::string TMOMain::Text(HRESULT (STDMETHODCALLTYPE IMOMain::*get)(BSTR*)) {
  TBStr text;
  OleCheck((DefaultInterface()->*get)(text.Out()));
  return text.Text();
}

std::string TMOMain::Name() { return Text(&IMOMain::get_Name); }
std::string TMOMain::Description() { return Text(&IMOMain::get_Description); }
std::string TMOMain::Author() { return Text(&IMOMain::get_Author); }
std::string TMOMain::Company() { return Text(&IMOMain::get_Company); }
std::string TMOMain::Version() { return Text(&IMOMain::get_Version); }
TComPtr<IMOState> TMOMain::State() { return Object(&IMOMain::get_State); }
TComPtr<IMOConfig> TMOMain::config() { return Object(&IMOMain::get_config); }
TComPtr<IMORulesList> TMOMain::BlackList() { return Object(&IMOMain::get_BlackList); }
TComPtr<IMORulesList> TMOMain::WhiteList() { return Object(&IMOMain::get_WhiteList); }
TComPtr<IMORulesList> TMOMain::SmartList() { return Object(&IMOMain::get_SmartList); }
TComPtr<IMODefrag> TMOMain::Defrag() { return Object(&IMOMain::get_Defrag); }
TComPtr<IMOPagingFileList> TMOMain::PagingFileList() { return Object(&IMOMain::get_PagingFileList); }
TComPtr<IMOSysTuneup> TMOMain::SysTuneup() { return Object(&IMOMain::get_SysTuneup); }
TComPtr<IMOProcessList> TMOMain::ProcessList() { return Object(&IMOMain::get_ProcessList); }
TComPtr<IMOSmartOpti> TMOMain::SmartOpti() { return Object(&IMOMain::get_SmartOpti); }
TComPtr<IMOGameHelper> TMOMain::GameHelper() { return Object(&IMOMain::get_GameHelper); }
void TMOMain::Open() { OleCheck(DefaultInterface()->Open()); }
void TMOMain::Close() { OleCheck(DefaultInterface()->Close()); }
void TMOMain::AutorunTask() { OleCheck(DefaultInterface()->AutorunTask()); }
void TMOMain::RebootSystem() { OleCheck(DefaultInterface()->RebootSystem()); }

HRESULT TMOMain::InvokeEvent(DISPID id, DISPPARAMS& params) {
  VARIANT a, b;
  auto args = [&](UINT count) { return params.cArgs == count; };
  switch (id) {
    case kDeepCompressProgress:
    case kFastFreeProgress: {
      if (!args(1)) return DISP_E_BADPARAMCOUNT;
      if (!EventArgument(params, 0, VT_UI1, a)) return DISP_E_TYPEMISMATCH;
      auto& event = id == kDeepCompressProgress ? OnDeepCompressProgress : OnFastFreeProgress;
      if (event) event(this, a.bVal);
      return S_OK;
    }
    case kProcessNew:
    case kProcessExit: {
      if (!args(2)) return DISP_E_BADPARAMCOUNT;
      if (!EventArgument(params, 0, VT_UI4, a) || !EventArgument(params, 1, VT_UI4, b)) return DISP_E_TYPEMISMATCH;
      auto& event = id == kProcessNew ? OnProcessNew : OnProcessExit;
      if (event) event(this, a.ulVal, b.ulVal);
      return S_OK;
    }
    case kSmartCPUTune:
      if (!args(2)) return DISP_E_BADPARAMCOUNT;
      if (!EventArgument(params, 0, VT_UI4, a) || !EventArgument(params, 1, VT_BOOL, b)) return DISP_E_TYPEMISMATCH;
      if (OnSmartCPUTune) OnSmartCPUTune(this, a.ulVal, b.boolVal);
      return S_OK;
    case kSwitchGameModeState:
      if (!args(1)) return DISP_E_BADPARAMCOUNT;
      if (!EventArgument(params, 0, VT_I4, a)) return DISP_E_TYPEMISMATCH;
      if (OnSwitchGameModeState) OnSwitchGameModeState(this, static_cast<_MO_GAME_MODE_STATE>(a.lVal));
      return S_OK;
    case kFailToGameMode:
      if (!args(0)) return DISP_E_BADPARAMCOUNT;
      if (OnFailToGameMode) OnFailToGameMode(this);
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace gui
