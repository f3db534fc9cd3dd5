// MOConfig: not built yet; every member answers E_NOTIMPL.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMOConfig : public com::DispatchObject<CMOConfig, IMOConfig> {
 public:
  CMOConfig() = default;

  // IMOConfig
  STDMETHODIMP get_ManualCompressSize(UINT64 *pVal) override;
  STDMETHODIMP put_ManualCompressSize(UINT64 newVal) override;
  STDMETHODIMP get_ManualCompressLevel(unsigned char *pVal) override;
  STDMETHODIMP put_ManualCompressLevel(unsigned char newVal) override;
  STDMETHODIMP get_IsAutoCompress(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsAutoCompress(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_AutoCompressTimer(ULONG *pVal) override;
  STDMETHODIMP put_AutoCompressTimer(ULONG newVal) override;
  STDMETHODIMP get_AutoCompressAlarm(UINT64 *pVal) override;
  STDMETHODIMP put_AutoCompressAlarm(UINT64 newVal) override;
  STDMETHODIMP get_AutoCompressExpectation(UINT64 *pVal) override;
  STDMETHODIMP put_AutoCompressExpectation(UINT64 newVal) override;
  STDMETHODIMP get_IsCPUProtection(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsCPUProtection(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_CPUProtectionValue(unsigned char *pVal) override;
  STDMETHODIMP put_CPUProtectionValue(unsigned char newVal) override;
  STDMETHODIMP get_IsAutoFree(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsAutoFree(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_AutoFreeTimer(ULONG *pVal) override;
  STDMETHODIMP put_AutoFreeTimer(ULONG newVal) override;
  STDMETHODIMP get_IsCheckBlackList(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsCheckBlackList(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsCheckWhiteList(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsCheckWhiteList(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsCheckSmartList(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsCheckSmartList(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsCheckIdleList(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsCheckIdleList(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsFreeOnceOnCPUIdle(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsFreeOnceOnCPUIdle(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsFreeOnceOnTimer(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsFreeOnceOnTimer(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_FreeOnceOnTimer(ULONG *pVal) override;
  STDMETHODIMP put_FreeOnceOnTimer(ULONG newVal) override;
  STDMETHODIMP get_IsSmartLearning(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsSmartLearning(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_SmartLearningTimer(ULONG *pVal) override;
  STDMETHODIMP put_SmartLearningTimer(ULONG newVal) override;
  STDMETHODIMP get_SmartLearningRecord(unsigned char *pVal) override;
  STDMETHODIMP put_SmartLearningRecord(unsigned char newVal) override;
  STDMETHODIMP get_SmartLearningPeriod(unsigned char *pVal) override;
  STDMETHODIMP put_SmartLearningPeriod(unsigned char newVal) override;
  STDMETHODIMP get_IsSmartCPU(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsSmartCPU(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_SmartCPURange(unsigned char *pVal) override;
  STDMETHODIMP put_SmartCPURange(unsigned char newVal) override;
  STDMETHODIMP get_IsAutorun(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsAutorun(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsShowTrayIcon(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsShowTrayIcon(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsMinimizeToTray(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsMinimizeToTray(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsCloseToTray(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsCloseToTray(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsShowNotificationInTray(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsShowNotificationInTray(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsUseFreeMemoryNowHotKey(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsUseFreeMemoryNowHotKey(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_FreeMemoryNowHotKey(ULONG *pVal) override;
  STDMETHODIMP put_FreeMemoryNowHotKey(ULONG newVal) override;
  STDMETHODIMP get_MemoryGraphRefreshTimer(ULONG *pVal) override;
  STDMETHODIMP put_MemoryGraphRefreshTimer(ULONG newVal) override;
  STDMETHODIMP get_ProcessListRefreshTimer(ULONG *pVal) override;
  STDMETHODIMP put_ProcessListRefreshTimer(ULONG newVal) override;
  STDMETHODIMP get_ConfigItem(BSTR Section, BSTR Key, BSTR *pVal) override;
  STDMETHODIMP put_ConfigItem(BSTR Section, BSTR Key, BSTR newVal) override;
  STDMETHODIMP Load() override;
  STDMETHODIMP Save(_MO_CONFIG_SETTINGS config) override;
  STDMETHODIMP Recommend(_MO_CONFIG_SETTINGS config) override;
};

}  // namespace tarnwick
