// MOState: not built yet; every member answers E_NOTIMPL.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMOState : public com::DispatchObject<CMOState, IMOState> {
 public:
  CMOState() = default;

  // IMOState
  STDMETHODIMP Refresh() override;
  STDMETHODIMP get_CPUUsage(unsigned char Index, unsigned char *pVal) override;
  STDMETHODIMP get_MemoryState(_MO_MEMORY_STATE *pVal) override;
  STDMETHODIMP get_TotalPhysicalMemory(UINT64 *pVal) override;
  STDMETHODIMP get_UsedPhysicalMemory(UINT64 *pVal) override;
  STDMETHODIMP get_AvailPhysicalMemory(UINT64 *pVal) override;
  STDMETHODIMP get_TotalPagingFile(UINT64 *pVal) override;
  STDMETHODIMP get_UsedPagingFile(UINT64 *pVal) override;
  STDMETHODIMP get_AvailPagingFile(UINT64 *pVal) override;
  STDMETHODIMP get_ClipboardSize(ULONG *pVal) override;
};

}  // namespace tarnwick
