// MOProcessItem: not built yet; every member answers E_NOTIMPL.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMOProcessItem : public com::DispatchObject<CMOProcessItem, IMOProcessItem> {
 public:
  CMOProcessItem() = default;

  // IMOProcessItem
  STDMETHODIMP get_Index(ULONG *pVal) override;
  STDMETHODIMP get_ProcessID(ULONG *pVal) override;
  STDMETHODIMP get_ProcessHandle(ULONG *pVal) override;
  STDMETHODIMP get_ProcessCPU(unsigned char *pVal) override;
  STDMETHODIMP get_ProcessPriority(_MO_PROCESS_PRIORIT *pVal) override;
  STDMETHODIMP put_ProcessPriority(_MO_PROCESS_PRIORIT newVal) override;
  STDMETHODIMP get_ProcessName(BSTR *pVal) override;
  STDMETHODIMP get_ProcessPath(BSTR *pVal) override;
  STDMETHODIMP get_ProcessMemory(UINT64 *pVal) override;
  STDMETHODIMP get_ProcessIcon(IPictureDisp **pVal) override;
  STDMETHODIMP get_ProcessIconIndex(ULONG *pVal) override;
  STDMETHODIMP Terminate() override;
  STDMETHODIMP FreeMemory() override;
};

}  // namespace tarnwick
