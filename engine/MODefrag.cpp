#include "MODefrag.h"

namespace tarnwick {

STDMETHODIMP CMODefrag::FastFree(VARIANT_BOOL IsCheckRulesList) { return E_NOTIMPL; }
STDMETHODIMP CMODefrag::DeepCompress() { return E_NOTIMPL; }
STDMETHODIMP CMODefrag::BreakOutFromDeepCompress() { return E_NOTIMPL; }
STDMETHODIMP CMODefrag::CleanClipboard() { return E_NOTIMPL; }

}  // namespace tarnwick
