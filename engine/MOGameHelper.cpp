#include "MOGameHelper.h"

namespace tarnwick {

STDMETHODIMP CMOGameHelper::get_GameModeState(_MO_GAME_MODE_STATE *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOGameHelper::get_HighMemoryCount(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOGameHelper::get_HighMemoryIndex(ULONG Index, ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOGameHelper::KillExplorer() { return E_NOTIMPL; }
STDMETHODIMP CMOGameHelper::RestoreExplorer() { return E_NOTIMPL; }
STDMETHODIMP CMOGameHelper::PreGameMode() { return E_NOTIMPL; }
STDMETHODIMP CMOGameHelper::EndGameMode() { return E_NOTIMPL; }
STDMETHODIMP CMOGameHelper::StartGameMode(BSTR GameLauncher, BSTR GameParam, VARIANT_BOOL IsKillExplorer) { return E_NOTIMPL; }

}  // namespace tarnwick
