// MOProcessList: not built yet; every member answers E_NOTIMPL.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMOProcessList : public com::DispatchObject<CMOProcessList, IMOProcessList> {
 public:
  CMOProcessList() = default;

  // IMOProcessList
  STDMETHODIMP Refresh() override;
  STDMETHODIMP NewProcess(BSTR AppPath, BSTR AppParam) override;
  STDMETHODIMP get_ProcessCount(ULONG *pVal) override;
  STDMETHODIMP get_ProcessItemByIndex(ULONG Index, IMOProcessItem **pVal) override;
  STDMETHODIMP get_ProcessItemByID(ULONG ID, IMOProcessItem **pVal) override;
};

}  // namespace tarnwick
