// MOPagingFileList: not built yet; every member answers E_NOTIMPL.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMOPagingFileList : public com::DispatchObject<CMOPagingFileList, IMOPagingFileList> {
 public:
  CMOPagingFileList() = default;

  // IMOPagingFileList
  STDMETHODIMP get_ItemCount(ULONG *pVal) override;
  STDMETHODIMP get_IsAutomation(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsAutomation(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_PagingFileItemByIndex(ULONG Index, IMOPagingFileItem **pVal) override;
  STDMETHODIMP get_PagingFileItemByDrive(BSTR Drive, IMOPagingFileItem **pVal) override;
  STDMETHODIMP Load() override;
  STDMETHODIMP Save() override;
};

}  // namespace tarnwick
