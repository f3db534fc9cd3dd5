// MOGameHelper: not built yet; every member answers E_NOTIMPL.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMOGameHelper : public com::DispatchObject<CMOGameHelper, IMOGameHelper> {
 public:
  CMOGameHelper() = default;

  // IMOGameHelper
  STDMETHODIMP get_GameModeState(_MO_GAME_MODE_STATE *pVal) override;
  STDMETHODIMP get_HighMemoryCount(ULONG *pVal) override;
  STDMETHODIMP get_HighMemoryIndex(ULONG Index, ULONG *pVal) override;
  STDMETHODIMP KillExplorer() override;
  STDMETHODIMP RestoreExplorer() override;
  STDMETHODIMP PreGameMode() override;
  STDMETHODIMP EndGameMode() override;
  STDMETHODIMP StartGameMode(BSTR GameLauncher, BSTR GameParam, VARIANT_BOOL IsKillExplorer) override;
};

}  // namespace tarnwick
