#include "MOPagingFileItem.h"

namespace tarnwick {

STDMETHODIMP CMOPagingFileItem::get_IsNoPagingFile(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::put_IsNoPagingFile(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::get_IsSystemManagedSize(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::put_IsSystemManagedSize(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::get_IsCustomSize(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::put_IsCustomSize(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::get_Drive(BSTR *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::get_MinSize(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::put_MinSize(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::get_MaxSize(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::put_MaxSize(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::get_AvailableSpace(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::get_TotalSpace(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileItem::get_VolumeName(BSTR *pVal) { return E_NOTIMPL; }

}  // namespace tarnwick
