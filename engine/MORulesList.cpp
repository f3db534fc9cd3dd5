#include "MORulesList.h"

namespace tarnwick {

STDMETHODIMP CMORulesList::get_Item(ULONG Index, BSTR *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMORulesList::get_ItemCount(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMORulesList::get_IsInList(BSTR Item, VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMORulesList::AddItem(BSTR Item) { return E_NOTIMPL; }
STDMETHODIMP CMORulesList::RemoveItem(BSTR Item) { return E_NOTIMPL; }
STDMETHODIMP CMORulesList::Clear() { return E_NOTIMPL; }
STDMETHODIMP CMORulesList::Refresh() { return E_NOTIMPL; }

}  // namespace tarnwick
