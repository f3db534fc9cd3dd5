#include "MOPagingFileList.h"

namespace tarnwick {

STDMETHODIMP CMOPagingFileList::get_ItemCount(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileList::get_IsAutomation(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileList::put_IsAutomation(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileList::get_PagingFileItemByIndex(ULONG Index, IMOPagingFileItem **pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileList::get_PagingFileItemByDrive(BSTR Drive, IMOPagingFileItem **pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileList::Load() { return E_NOTIMPL; }
STDMETHODIMP CMOPagingFileList::Save() { return E_NOTIMPL; }

}  // namespace tarnwick
