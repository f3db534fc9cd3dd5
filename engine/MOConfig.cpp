#include "MOConfig.h"

namespace tarnwick {

STDMETHODIMP CMOConfig::get_ManualCompressSize(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_ManualCompressSize(UINT64 newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_ManualCompressLevel(unsigned char *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_ManualCompressLevel(unsigned char newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsAutoCompress(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsAutoCompress(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_AutoCompressTimer(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_AutoCompressTimer(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_AutoCompressAlarm(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_AutoCompressAlarm(UINT64 newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_AutoCompressExpectation(UINT64 *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_AutoCompressExpectation(UINT64 newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsCPUProtection(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsCPUProtection(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_CPUProtectionValue(unsigned char *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_CPUProtectionValue(unsigned char newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsAutoFree(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsAutoFree(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_AutoFreeTimer(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_AutoFreeTimer(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsCheckBlackList(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsCheckBlackList(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsCheckWhiteList(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsCheckWhiteList(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsCheckSmartList(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsCheckSmartList(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsCheckIdleList(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsCheckIdleList(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsFreeOnceOnCPUIdle(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsFreeOnceOnCPUIdle(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsFreeOnceOnTimer(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsFreeOnceOnTimer(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_FreeOnceOnTimer(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_FreeOnceOnTimer(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsSmartLearning(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsSmartLearning(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_SmartLearningTimer(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_SmartLearningTimer(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_SmartLearningRecord(unsigned char *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_SmartLearningRecord(unsigned char newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_SmartLearningPeriod(unsigned char *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_SmartLearningPeriod(unsigned char newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsSmartCPU(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsSmartCPU(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_SmartCPURange(unsigned char *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_SmartCPURange(unsigned char newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsAutorun(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsAutorun(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsShowTrayIcon(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsShowTrayIcon(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsMinimizeToTray(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsMinimizeToTray(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsCloseToTray(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsCloseToTray(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsShowNotificationInTray(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsShowNotificationInTray(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_IsUseFreeMemoryNowHotKey(VARIANT_BOOL *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_IsUseFreeMemoryNowHotKey(VARIANT_BOOL newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_FreeMemoryNowHotKey(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_FreeMemoryNowHotKey(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_MemoryGraphRefreshTimer(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_MemoryGraphRefreshTimer(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_ProcessListRefreshTimer(ULONG *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_ProcessListRefreshTimer(ULONG newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::get_ConfigItem(BSTR Section, BSTR Key, BSTR *pVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::put_ConfigItem(BSTR Section, BSTR Key, BSTR newVal) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::Load() { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::Save(_MO_CONFIG_SETTINGS config) { return E_NOTIMPL; }
STDMETHODIMP CMOConfig::Recommend(_MO_CONFIG_SETTINGS config) { return E_NOTIMPL; }

}  // namespace tarnwick
