#include "MOMain.h"

namespace tarnwick {

namespace {

HRESULT NewString(const wchar_t* text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocString(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

// A sub-object stays owned by MOMain; the caller gets a counted reference.
template <class Interface, class Object>
HRESULT HandOut(Object& object, Interface** out) {
  if (!out) return E_POINTER;
  object.AddRef();
  *out = static_cast<Interface*>(&object);
  return S_OK;
}

}  // namespace

// ===== Sub-object construction =================================================
// The member initialisers below build the parts in their fixed order; a
// constructor that throws makes the creation of MOMain fail, and the parts
// already built are destroyed in reverse. Constructor arguments of the
// sub-objects (program folder, seams) go here.
CMOMain::CMOMain(platform::HostProcess& host, const std::wstring& programFolder)
    : host_(host),
      programFolder_(programFolder),
      events_(static_cast<IConnectionPointContainer&>(*this), DIID__IMOMainEvents),
      state_(),
      config_(programFolder),
      blackList_(),
      whiteList_(),
      smartList_(),
      defrag_(),
      pagingFileList_(),
      sysTuneup_(),
      processList_(),
      smartOpti_(CMOSmartOpti::Seams{.programFolder = programFolder}),
      gameHelper_(),
      pump_(events_.Sinks()) {
  host_.EnablePrivilege(L"SeDebugPrivilege", TOKEN_ADJUST_PRIVILEGES);  // the result does not matter
  pump_.Start();  // without a pump every post is lost silently
  LinkSubObjects();
  StartSubObjects();
  host_.TrimOwnWorkingSet();
}

// ===== Sub-object links ========================================================
// Each sub-object keeps plain pointers to its siblings, valid for the
// engine's life, and the pump's thread identifier (EventThreadId(), 0 when
// the pump did not start):
//   defrag_:      state_, config_, processList_, blackList_, whiteList_,
//                 smartList_, gameHelper_, pump thread id
//   smartOpti_:   config_, smartList_, gameHelper_, pump thread id
//   gameHelper_:  processList_, pump thread id
//   config_, processList_: pump thread id
void CMOMain::LinkSubObjects() {
  const DWORD pump = EventThreadId();
  defrag_.Link({&state_, &config_, &processList_, &blackList_, &whiteList_, &smartList_, &gameHelper_});
  defrag_.SetEventThread(pump);
  config_.SetEventThread(pump);
  processList_.SetEventThread(pump);
  gameHelper_.SetEventThread(pump);
  gameHelper_.SetProcessList(&processList_);
  smartOpti_.SetConfig(&config_);
  smartOpti_.SetSmartList(&smartList_);
  smartOpti_.SetGameHelper(&gameHelper_);
  smartOpti_.SetEventThread(pump);
}

// ===== Sub-object start-up =====================================================
// In this order: the three rules lists open "Config\black.lst",
// "Config\white.lst" and "Config\smart.lst" below the program folder; defrag_
// starts its automatic compress and free threads and hands their handles to
// pump_.SetWorkerThread(PumpWorker::AutoCompress / AutoFree, ...); smartOpti_
// prunes old learning records, starts its learning and CPU threads and hands
// their handles to pump_.SetWorkerThread(PumpWorker::SmartLearning /
// SmartCpu, ...). The threads of defrag_ and smartOpti_ read siblings that
// are destroyed before them, so the destructor stops both first.
void CMOMain::StartSubObjects() {
  blackList_.Open(L"Config\\black.lst", programFolder_);
  whiteList_.Open(L"Config\\white.lst", programFolder_);
  smartList_.Open(L"Config\\smart.lst", programFolder_);
  defrag_.StartAutomaticThreads();
  pump_.SetWorkerThread(PumpWorker::AutoCompress, defrag_.AutoCompressThread());
  pump_.SetWorkerThread(PumpWorker::AutoFree, defrag_.AutoFreeThread());
  smartOpti_.PruneLearning();
  if (smartOpti_.StartLearningThread())
    pump_.SetWorkerThread(PumpWorker::SmartLearning, smartOpti_.LearningThread());
  if (smartOpti_.StartCpuThread()) pump_.SetWorkerThread(PumpWorker::SmartCpu, smartOpti_.CpuThread());
}

// Close: the CPU adjustment lowers every process it raised and empties its
// list (smartOpti_); nothing else stops.
void CMOMain::StopSubObjectsOnClose() { smartOpti_.ResetCPUList(); }

CMOMain::~CMOMain() {
  // The sub-objects go afterwards, in reverse order, as members.
  pump_.Stop();
  // The workers of Defrag and SmartOpti use their siblings (game mode is
  // destroyed before either): they end before any member goes.
  defrag_.Stop();
  smartOpti_.Stop();
}

bool CMOMain::QueryExtraInterface(REFIID iid, void** out) {
  if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
    *out = static_cast<IConnectionPointContainer*>(this);
    return true;
  }
  return false;
}

// --- Identification -----------------------------------------------------------

STDMETHODIMP CMOMain::get_Name(BSTR* pVal) { return NewString(L"Tarnwick", pVal); }
STDMETHODIMP CMOMain::get_Description(BSTR* pVal) { return NewString(L"Memory Optimization Component", pVal); }
STDMETHODIMP CMOMain::get_Author(BSTR* pVal) { return NewString(L"Tam.R", pVal); }
STDMETHODIMP CMOMain::get_Company(BSTR* pVal) { return NewString(L"NORVAC", pVal); }
STDMETHODIMP CMOMain::get_Version(BSTR* pVal) { return NewString(L"2.1.0.0", pVal); }

// --- Sub-objects --------------------------------------------------------------

STDMETHODIMP CMOMain::get_State(IMOState** pVal) { return HandOut(state_, pVal); }
STDMETHODIMP CMOMain::get_config(IMOConfig** pVal) { return HandOut(config_, pVal); }
STDMETHODIMP CMOMain::get_BlackList(IMORulesList** pVal) { return HandOut(blackList_, pVal); }
STDMETHODIMP CMOMain::get_WhiteList(IMORulesList** pVal) { return HandOut(whiteList_, pVal); }
STDMETHODIMP CMOMain::get_SmartList(IMORulesList** pVal) { return HandOut(smartList_, pVal); }
STDMETHODIMP CMOMain::get_Defrag(IMODefrag** pVal) { return HandOut(defrag_, pVal); }
STDMETHODIMP CMOMain::get_PagingFileList(IMOPagingFileList** pVal) { return HandOut(pagingFileList_, pVal); }
STDMETHODIMP CMOMain::get_SysTuneup(IMOSysTuneup** pVal) { return HandOut(sysTuneup_, pVal); }
STDMETHODIMP CMOMain::get_ProcessList(IMOProcessList** pVal) { return HandOut(processList_, pVal); }
STDMETHODIMP CMOMain::get_SmartOpti(IMOSmartOpti** pVal) { return HandOut(smartOpti_, pVal); }
STDMETHODIMP CMOMain::get_GameHelper(IMOGameHelper** pVal) { return HandOut(gameHelper_, pVal); }

// --- Methods ------------------------------------------------------------------

STDMETHODIMP CMOMain::Open() {
  state_.Refresh();  // results are not looked at
  processList_.Refresh();
  return S_OK;
}

STDMETHODIMP CMOMain::Close() {
  pump_.Stop();
  StopSubObjectsOnClose();
  return S_OK;
}

STDMETHODIMP CMOMain::AutorunTask() { return defrag_.StartAutorunTask() ? S_OK : S_FALSE; }

STDMETHODIMP CMOMain::RebootSystem() {
  // A privilege that cannot be enabled shows as the reboot's own failure.
  host_.EnablePrivilege(L"SeShutdownPrivilege", TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY);
  return host_.RequestExitWindows(EWX_REBOOT | EWX_FORCEIFHUNG, 0) ? S_OK : S_FALSE;
}

// --- Events -------------------------------------------------------------------

STDMETHODIMP CMOMain::EnumConnectionPoints(IEnumConnectionPoints** out) {
  return com::EnumSingleConnectionPoint(events_, out);
}

STDMETHODIMP CMOMain::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  return com::FindSingleConnectionPoint(events_, iid, out);
}

}  // namespace tarnwick
