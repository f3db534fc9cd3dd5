// MOSysTuneup: twelve Windows tuning values kept in the registry. The
// properties are plain stored values; the registry changes only through
// SaveSettings and Recommend. Each setting's routine catches its own registry
// failures, so one missing key affects only that setting.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"
#include "platform/RegistryRoot.h"

namespace tarnwick {

class CMOSysTuneup : public com::DispatchObject<CMOSysTuneup, IMOSysTuneup> {
 public:
  explicit CMOSysTuneup(platform::RegistryRoot& registry = platform::RealRegistryRoot());

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

 private:
  // The twelve values (IsNeedReboot is never set).
  struct Settings {
    bool largeSystemCache = false;
    bool disablePagingExecutive = false;
    bool alwaysUnloadDll = false;
    ULONG maxCachedIcons = 0;
    ULONG fileNameCache = 0;
    ULONG pathCache = 0;
    ULONG contigFileAllocSize = 0;
    LONG visualFXSetting = MO_VE_SYSTEM;
    LONG win32PrioritySeparation = MO_CPS_SYSTEM;
    bool additionalWorkerThreads = false;
    bool ntfsOptimization = false;
    bool enableUDMA66 = false;
  };

  // Reads the registry into `values`, or writes `values` (clamped values are
  // stored back into it), one routine per setting in the fixed order.
  void Transfer(bool write, Settings& values);
  // Sets and writes the recommended values.
  void RecommendValues();

  platform::RegistryRoot& registry_;
  Settings settings_;
};

}  // namespace tarnwick
