// MODefrag: not built yet; every member answers E_NOTIMPL.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMODefrag : public com::DispatchObject<CMODefrag, IMODefrag> {
 public:
  CMODefrag() = default;

  // IMODefrag
  STDMETHODIMP FastFree(VARIANT_BOOL IsCheckRulesList) override;
  STDMETHODIMP DeepCompress() override;
  STDMETHODIMP BreakOutFromDeepCompress() override;
  STDMETHODIMP CleanClipboard() override;
};

}  // namespace tarnwick
