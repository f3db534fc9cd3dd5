// MOSysTuneup: not built yet; every member answers E_NOTIMPL.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMOSysTuneup : public com::DispatchObject<CMOSysTuneup, IMOSysTuneup> {
 public:
  CMOSysTuneup() = default;

  // IMOSysTuneup
  STDMETHODIMP get_LargeSystemCache(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_LargeSystemCache(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_DisablePagingExecutive(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_DisablePagingExecutive(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_AlwaysUnloadDll(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_AlwaysUnloadDll(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_MaxCachedIcons(ULONG *pVal) override;
  STDMETHODIMP put_MaxCachedIcons(ULONG newVal) override;
  STDMETHODIMP get_FileNameCache(ULONG *pVal) override;
  STDMETHODIMP put_FileNameCache(ULONG newVal) override;
  STDMETHODIMP get_PathCache(ULONG *pVal) override;
  STDMETHODIMP put_PathCache(ULONG newVal) override;
  STDMETHODIMP get_ContigFileAllocSize(ULONG *pVal) override;
  STDMETHODIMP put_ContigFileAllocSize(ULONG newVal) override;
  STDMETHODIMP get_VisualFXSetting(_MO_VISUAL_EFFECTS *pVal) override;
  STDMETHODIMP put_VisualFXSetting(_MO_VISUAL_EFFECTS newVal) override;
  STDMETHODIMP get_Win32PrioritySeparation(_MO_CPU_PRIORITY_SEPARATION *pVal) override;
  STDMETHODIMP put_Win32PrioritySeparation(_MO_CPU_PRIORITY_SEPARATION newVal) override;
  STDMETHODIMP get_AdditionalWorkerThreads(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_AdditionalWorkerThreads(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_NtfsOptimization(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_NtfsOptimization(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_EnableUDMA66(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_EnableUDMA66(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsNeedReboot(VARIANT_BOOL *pVal) override;
  STDMETHODIMP LoadSettings() override;
  STDMETHODIMP SaveSettings() override;
  STDMETHODIMP Recommend() override;
};

}  // namespace tarnwick
