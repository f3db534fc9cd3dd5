// MORulesList: not built yet; every member answers E_NOTIMPL.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMORulesList : public com::DispatchObject<CMORulesList, IMORulesList> {
 public:
  CMORulesList() = default;

  // IMORulesList
  STDMETHODIMP get_Item(ULONG Index, BSTR *pVal) override;
  STDMETHODIMP get_ItemCount(ULONG *pVal) override;
  STDMETHODIMP get_IsInList(BSTR Item, VARIANT_BOOL *pVal) override;
  STDMETHODIMP AddItem(BSTR Item) override;
  STDMETHODIMP RemoveItem(BSTR Item) override;
  STDMETHODIMP Clear() override;
  STDMETHODIMP Refresh() override;
};

}  // namespace tarnwick
