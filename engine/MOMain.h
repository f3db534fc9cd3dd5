// MOMain: the engine's root object. Creating it builds the whole engine (the
// eleven sub-objects, the event pump, the background threads); it hands the
// sub-objects out, identifies the engine, opens and closes it, and reboots
// the machine on request. Destroying it stops the engine.
#pragma once

#include "EventPump.h"
#include "MOConfig.h"
#include "MODefrag.h"
#include "MOGameHelper.h"
#include "MOPagingFileList.h"
#include "MOProcessList.h"
#include "MORulesList.h"
#include "MOSmartOpti.h"
#include "MOState.h"
#include "MOSysTuneup.h"
#include "TarnwickLib.h"
#include "com/ConnectionPoint.h"
#include "com/DispatchObject.h"
#include "platform/HostProcess.h"

namespace tarnwick {

class CMOMain : public com::DispatchObject<CMOMain, IMOMain>, public IConnectionPointContainer {
 public:
  // `programFolder` holds Config\ (empty: the host program's folder).
  explicit CMOMain(platform::HostProcess& host = platform::RealHostProcess(), const std::wstring& programFolder = {});
  ~CMOMain() override;

  // The pump's thread identifier (0 when it could not start), for the
  // sub-objects that post to it.
  DWORD EventThreadId() const { return pump_.ThreadId(); }
  EventPump& Pump() { return pump_; }

  // IUnknown, shared by both bases.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return DispatchObject::QueryInterface(iid, out); }
  STDMETHODIMP_(ULONG) AddRef() override { return DispatchObject::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return DispatchObject::Release(); }
  bool QueryExtraInterface(REFIID iid, void** out);

  // IMOMain
  STDMETHODIMP get_Name(BSTR* pVal) override;
  STDMETHODIMP get_Description(BSTR* pVal) override;
  STDMETHODIMP get_Author(BSTR* pVal) override;
  STDMETHODIMP get_Company(BSTR* pVal) override;
  STDMETHODIMP get_Version(BSTR* pVal) override;
  STDMETHODIMP get_State(IMOState** pVal) override;
  STDMETHODIMP get_config(IMOConfig** pVal) override;
  STDMETHODIMP get_BlackList(IMORulesList** pVal) override;
  STDMETHODIMP get_WhiteList(IMORulesList** pVal) override;
  STDMETHODIMP get_SmartList(IMORulesList** pVal) override;
  STDMETHODIMP get_Defrag(IMODefrag** pVal) override;
  STDMETHODIMP get_PagingFileList(IMOPagingFileList** pVal) override;
  STDMETHODIMP get_SysTuneup(IMOSysTuneup** pVal) override;
  STDMETHODIMP get_ProcessList(IMOProcessList** pVal) override;
  STDMETHODIMP get_SmartOpti(IMOSmartOpti** pVal) override;
  STDMETHODIMP get_GameHelper(IMOGameHelper** pVal) override;
  STDMETHODIMP Open() override;
  STDMETHODIMP Close() override;
  STDMETHODIMP AutorunTask() override;
  STDMETHODIMP RebootSystem() override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

 private:
  void OwnParts();
  void LinkSubObjects();
  void StartSubObjects();
  void StopSubObjectsOnClose();

  platform::HostProcess& host_;
  const std::wstring programFolder_;

  // The parts, in construction order; they are destroyed in reverse.
  com::EventConnectionPoint events_;
  CMOState state_;
  CMOConfig config_;
  CMORulesList blackList_;
  CMORulesList whiteList_;
  CMORulesList smartList_;
  CMODefrag defrag_;
  CMOPagingFileList pagingFileList_;
  CMOSysTuneup sysTuneup_;
  CMOProcessList processList_;
  CMOSmartOpti smartOpti_;
  CMOGameHelper gameHelper_;
  EventPump pump_;
};

}  // namespace tarnwick
