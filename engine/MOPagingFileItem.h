// MOPagingFileItem: not built yet; every member answers E_NOTIMPL.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMOPagingFileItem : public com::DispatchObject<CMOPagingFileItem, IMOPagingFileItem> {
 public:
  CMOPagingFileItem() = default;

  // IMOPagingFileItem
  STDMETHODIMP get_IsNoPagingFile(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsNoPagingFile(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsSystemManagedSize(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsSystemManagedSize(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsCustomSize(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsCustomSize(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_Drive(BSTR *pVal) override;
  STDMETHODIMP get_MinSize(ULONG *pVal) override;
  STDMETHODIMP put_MinSize(ULONG newVal) override;
  STDMETHODIMP get_MaxSize(ULONG *pVal) override;
  STDMETHODIMP put_MaxSize(ULONG newVal) override;
  STDMETHODIMP get_AvailableSpace(UINT64 *pVal) override;
  STDMETHODIMP get_TotalSpace(UINT64 *pVal) override;
  STDMETHODIMP get_VolumeName(BSTR *pVal) override;
};

}  // namespace tarnwick
