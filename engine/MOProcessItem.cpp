#include "MOProcessItem.h"

namespace tarnwick {

STDMETHODIMP CMOProcessItem::get_Index(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::get_ProcessID(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::get_ProcessHandle(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::get_ProcessCPU(unsigned char *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::get_ProcessPriority(_MO_PROCESS_PRIORIT *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::put_ProcessPriority(_MO_PROCESS_PRIORIT newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::get_ProcessName(BSTR *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::get_ProcessPath(BSTR *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::get_ProcessMemory(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::get_ProcessIcon(IPictureDisp **pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::get_ProcessIconIndex(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::Terminate() { return E_NOTIMPL; }
STDMETHODIMP CMOProcessItem::FreeMemory() { return E_NOTIMPL; }

}  // namespace tarnwick
