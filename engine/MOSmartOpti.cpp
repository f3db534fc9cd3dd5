#include "MOSmartOpti.h"

namespace tarnwick {

STDMETHODIMP CMOSmartOpti::UpdateSmartList() { return E_NOTIMPL; }
STDMETHODIMP CMOSmartOpti::ResetSmartLearning() { return E_NOTIMPL; }
STDMETHODIMP CMOSmartOpti::ResetCPUList() { return E_NOTIMPL; }

}  // namespace tarnwick
