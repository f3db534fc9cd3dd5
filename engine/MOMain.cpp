#include "MOMain.h"

namespace tarnwick {

namespace {

// A sub-object stays MOMain's; the caller's reference keeps MOMain alive.
template <class Interface, class Object>
HRESULT HandOut(Interface** out, Object& object) {
  return com::Barrier([&] { return com::OutObject(out, static_cast<Interface*>(&object)); });
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
  OwnParts();
  host_.EnablePrivilege(L"SeDebugPrivilege", TOKEN_ADJUST_PRIVILEGES);  // the result does not matter
  pump_.Start();  // without a pump every post is lost silently
  LinkSubObjects();
  StartSubObjects();
  host_.TrimOwnWorkingSet();
}

// ===== Ownership ===============================================================
// A client's reference to a sub-object counts on MOMain as well, so MOMain
// (and with it every part the sub-object uses) lives until the last
// reference to any of its objects goes, whatever the order.
void CMOMain::OwnParts() {
  IUnknown* self = Unknown();
  state_.SetOwner(self);
  config_.SetOwner(self);
  blackList_.SetOwner(self);
  whiteList_.SetOwner(self);
  smartList_.SetOwner(self);
  defrag_.SetOwner(self);
  pagingFileList_.SetOwner(self);
  sysTuneup_.SetOwner(self);
  processList_.SetOwner(self);
  smartOpti_.SetOwner(self);
  gameHelper_.SetOwner(self);
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

STDMETHODIMP CMOMain::get_Name(BSTR* pVal) { return com::GetString(pVal, L"Tarnwick"); }
STDMETHODIMP CMOMain::get_Description(BSTR* pVal) { return com::GetString(pVal, L"Memory Optimization Component"); }
STDMETHODIMP CMOMain::get_Author(BSTR* pVal) { return com::GetString(pVal, L"Tam.R"); }
STDMETHODIMP CMOMain::get_Company(BSTR* pVal) { return com::GetString(pVal, L"NORVAC"); }
STDMETHODIMP CMOMain::get_Version(BSTR* pVal) { return com::GetString(pVal, L"2.1.0.0"); }

// --- Sub-objects --------------------------------------------------------------

STDMETHODIMP CMOMain::get_State(IMOState** pVal) { return HandOut(pVal, state_); }
STDMETHODIMP CMOMain::get_config(IMOConfig** pVal) { return HandOut(pVal, config_); }
STDMETHODIMP CMOMain::get_BlackList(IMORulesList** pVal) { return HandOut(pVal, blackList_); }
STDMETHODIMP CMOMain::get_WhiteList(IMORulesList** pVal) { return HandOut(pVal, whiteList_); }
STDMETHODIMP CMOMain::get_SmartList(IMORulesList** pVal) { return HandOut(pVal, smartList_); }
STDMETHODIMP CMOMain::get_Defrag(IMODefrag** pVal) { return HandOut(pVal, defrag_); }
STDMETHODIMP CMOMain::get_PagingFileList(IMOPagingFileList** pVal) { return HandOut(pVal, pagingFileList_); }
STDMETHODIMP CMOMain::get_SysTuneup(IMOSysTuneup** pVal) { return HandOut(pVal, sysTuneup_); }
STDMETHODIMP CMOMain::get_ProcessList(IMOProcessList** pVal) { return HandOut(pVal, processList_); }
STDMETHODIMP CMOMain::get_SmartOpti(IMOSmartOpti** pVal) { return HandOut(pVal, smartOpti_); }
STDMETHODIMP CMOMain::get_GameHelper(IMOGameHelper** pVal) { return HandOut(pVal, gameHelper_); }

// --- Methods ------------------------------------------------------------------

STDMETHODIMP CMOMain::Open() {
  return com::Barrier([&] {
    state_.Refresh();  // results are not looked at
    processList_.Refresh();
    return S_OK;
  });
}

STDMETHODIMP CMOMain::Close() {
  return com::Barrier([&] {
    pump_.Stop();
    StopSubObjectsOnClose();
    return S_OK;
  });
}

STDMETHODIMP CMOMain::AutorunTask() {
  return com::Barrier([&] { return com::Done(defrag_.StartAutorunTask()); });
}

STDMETHODIMP CMOMain::RebootSystem() {
  return com::Barrier([&] {
    // A privilege that cannot be enabled shows as the reboot's own failure.
    host_.EnablePrivilege(L"SeShutdownPrivilege", TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY);
    return com::Done(host_.RequestExitWindows(EWX_REBOOT | EWX_FORCEIFHUNG, 0));
  });
}

// --- Events -------------------------------------------------------------------

STDMETHODIMP CMOMain::EnumConnectionPoints(IEnumConnectionPoints** out) {
  return com::Barrier([&] { return com::EnumSingleConnectionPoint(events_, out); });
}

STDMETHODIMP CMOMain::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  return com::Barrier([&] { return com::FindSingleConnectionPoint(events_, iid, out); });
}

}  // namespace tarnwick
