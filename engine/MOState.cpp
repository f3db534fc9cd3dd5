#include "MOState.h"

namespace tarnwick {

STDMETHODIMP CMOState::Refresh() { return E_NOTIMPL; }
STDMETHODIMP CMOState::get_CPUUsage(unsigned char Index, unsigned char *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOState::get_MemoryState(_MO_MEMORY_STATE *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOState::get_TotalPhysicalMemory(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOState::get_UsedPhysicalMemory(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOState::get_AvailPhysicalMemory(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOState::get_TotalPagingFile(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOState::get_UsedPagingFile(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOState::get_AvailPagingFile(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOState::get_ClipboardSize(ULONG *pVal) { return E_NOTIMPL; }

}  // namespace tarnwick
