// MOSmartOpti: not built yet; every member answers E_NOTIMPL.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMOSmartOpti : public com::DispatchObject<CMOSmartOpti, IMOSmartOpti> {
 public:
  CMOSmartOpti() = default;

  // IMOSmartOpti
  STDMETHODIMP UpdateSmartList() override;
  STDMETHODIMP ResetSmartLearning() override;
  STDMETHODIMP ResetCPUList() override;
};

}  // namespace tarnwick
