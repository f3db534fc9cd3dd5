#include "MOSysTuneup.h"

namespace tarnwick {

STDMETHODIMP CMOSysTuneup::get_LargeSystemCache(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_LargeSystemCache(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_DisablePagingExecutive(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_DisablePagingExecutive(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_AlwaysUnloadDll(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_AlwaysUnloadDll(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_MaxCachedIcons(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_MaxCachedIcons(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_FileNameCache(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_FileNameCache(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_PathCache(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_PathCache(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_ContigFileAllocSize(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_ContigFileAllocSize(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_VisualFXSetting(_MO_VISUAL_EFFECTS *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_VisualFXSetting(_MO_VISUAL_EFFECTS newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_Win32PrioritySeparation(_MO_CPU_PRIORITY_SEPARATION *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_Win32PrioritySeparation(_MO_CPU_PRIORITY_SEPARATION newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_AdditionalWorkerThreads(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_AdditionalWorkerThreads(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_NtfsOptimization(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_NtfsOptimization(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_EnableUDMA66(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::put_EnableUDMA66(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::get_IsNeedReboot(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::LoadSettings() { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::SaveSettings() { return E_NOTIMPL; }
STDMETHODIMP CMOSysTuneup::Recommend() { return E_NOTIMPL; }

}  // namespace tarnwick
