#include "MOProcessList.h"

namespace tarnwick {

STDMETHODIMP CMOProcessList::Refresh() { return E_NOTIMPL; }
STDMETHODIMP CMOProcessList::NewProcess(BSTR AppPath, BSTR AppParam) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessList::get_ProcessCount(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessList::get_ProcessItemByIndex(ULONG Index, IMOProcessItem **pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessList::get_ProcessItemByID(ULONG ID, IMOProcessItem **pVal) { return E_NOTIMPL; }

}  // namespace tarnwick
