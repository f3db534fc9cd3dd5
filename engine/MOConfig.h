// MOConfig: every setting of the system and the settings file
// Config\config.ini in the program folder. The engine's threads read the
// settings without a lock, so each is an atomic with a plain getter below.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "MOState.h"
#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

// The settings in the order of the file, group by group.
enum class Setting : int {
  ManualCompressSize, ManualCompressLevel,
  IsAutoCompress, AutoCompressTimer, AutoCompressAlarm, AutoCompressExpectation, IsCPUProtection,
  CPUProtectionValue,
  IsAutoFree, AutoFreeTimer, IsCheckBlackList, IsCheckWhiteList, IsCheckSmartList, IsCheckIdleList,
  IsFreeOnceOnCPUIdle, IsFreeOnceOnTimer, FreeOnceOnTimer,
  IsSmartLearning, SmartLearningRecord, SmartLearningTimer, SmartLearningPeriod, IsSmartCPU, SmartCPURange,
  IsAutorun, IsShowTrayIcon, IsMinimizeToTray, IsCloseToTray, IsShowNotificationInTray,
  IsUseFreeMemoryNowHotKey, FreeMemoryNowHotKey, MemoryGraphRefreshTimer, ProcessListRefreshTimer,
  Count
};
constexpr size_t kSettingCount = static_cast<size_t>(Setting::Count);

class CMOConfig : public com::DispatchObject<CMOConfig, IMOConfig> {
 public:
  // Uses the host program's folder and the real system.
  CMOConfig();
  // Creates `programFolder`\Config\ and its files when missing, then loads.
  // `memory` and `counters` feed the private state that gives the total
  // physical memory.
  explicit CMOConfig(const std::wstring& programFolder,
                     platform::MemoryStatus& memory = platform::RealMemoryStatus(),
                     platform::ProcessorCounters& counters = platform::RealProcessorCounters());
  ~CMOConfig() override;

  // The event pump's thread, to which the four thread-priority puts post.
  void SetEventThread(DWORD threadId) { eventThread_.store(threadId); }
  // `event` is set after every change of a setting (puts, Load, Recommend),
  // so a thread can wait for a change instead of polling. The caller owns it.
  void WatchChanges(HANDLE event);
  void UnwatchChanges(HANDLE event);

  const std::wstring& ConfigPath() const { return path_; }

  // For the engine's threads.
  uint64_t ManualCompressSize() const { return Value(Setting::ManualCompressSize); }
  uint8_t ManualCompressLevel() const { return Byte(Setting::ManualCompressLevel); }
  bool IsAutoCompress() const { return Flag(Setting::IsAutoCompress); }
  uint32_t AutoCompressTimer() const { return Number(Setting::AutoCompressTimer); }
  uint64_t AutoCompressAlarm() const { return Value(Setting::AutoCompressAlarm); }
  uint64_t AutoCompressExpectation() const { return Value(Setting::AutoCompressExpectation); }
  bool IsCPUProtection() const { return Flag(Setting::IsCPUProtection); }
  uint8_t CPUProtectionValue() const { return Byte(Setting::CPUProtectionValue); }
  bool IsAutoFree() const { return Flag(Setting::IsAutoFree); }
  uint32_t AutoFreeTimer() const { return Number(Setting::AutoFreeTimer); }
  bool IsCheckBlackList() const { return Flag(Setting::IsCheckBlackList); }
  bool IsCheckWhiteList() const { return Flag(Setting::IsCheckWhiteList); }
  bool IsCheckSmartList() const { return Flag(Setting::IsCheckSmartList); }
  bool IsCheckIdleList() const { return Flag(Setting::IsCheckIdleList); }
  bool IsFreeOnceOnCPUIdle() const { return Flag(Setting::IsFreeOnceOnCPUIdle); }
  bool IsFreeOnceOnTimer() const { return Flag(Setting::IsFreeOnceOnTimer); }
  uint32_t FreeOnceOnTimer() const { return Number(Setting::FreeOnceOnTimer); }
  bool IsSmartLearning() const { return Flag(Setting::IsSmartLearning); }
  uint8_t SmartLearningRecord() const { return Byte(Setting::SmartLearningRecord); }
  uint32_t SmartLearningTimer() const { return Number(Setting::SmartLearningTimer); }
  uint8_t SmartLearningPeriod() const { return Byte(Setting::SmartLearningPeriod); }
  bool IsSmartCPU() const { return Flag(Setting::IsSmartCPU); }
  uint8_t SmartCPURange() const { return Byte(Setting::SmartCPURange); }
  bool IsAutorun() const { return Flag(Setting::IsAutorun); }
  bool IsShowTrayIcon() const { return Flag(Setting::IsShowTrayIcon); }
  bool IsMinimizeToTray() const { return Flag(Setting::IsMinimizeToTray); }
  bool IsCloseToTray() const { return Flag(Setting::IsCloseToTray); }
  bool IsShowNotificationInTray() const { return Flag(Setting::IsShowNotificationInTray); }
  bool IsUseFreeMemoryNowHotKey() const { return Flag(Setting::IsUseFreeMemoryNowHotKey); }
  uint32_t FreeMemoryNowHotKey() const { return Number(Setting::FreeMemoryNowHotKey); }
  uint32_t MemoryGraphRefreshTimer() const { return Number(Setting::MemoryGraphRefreshTimer); }
  uint32_t ProcessListRefreshTimer() const { return Number(Setting::ProcessListRefreshTimer); }

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

 private:
  uint64_t Value(Setting s) const { return values_[static_cast<size_t>(s)].load(); }
  uint32_t Number(Setting s) const { return static_cast<uint32_t>(Value(s)); }
  uint8_t Byte(Setting s) const { return static_cast<uint8_t>(Value(s)); }
  bool Flag(Setting s) const { return Value(s) != 0; }
  void Store(Setting s, uint64_t value) { values_[static_cast<size_t>(s)].store(value); }

  HRESULT PutNumber(Setting s, uint64_t value);
  HRESULT PutFlag(Setting s, VARIANT_BOOL value);
  uint64_t TotalPhysical();
  // Load, Recommend and Save without the COM edge.
  void LoadFile();
  void RecommendGroups(unsigned groups);
  void WriteGroups(unsigned groups);
  // Writes the settings marked, by their place in the settings table.
  void WriteSettings(const std::vector<bool>& settings);
  void NotifyChange();

  CMOState state_;  // private; only its total physical memory is used
  std::atomic<DWORD> eventThread_{0};
  std::wstring path_;  // empty when the program folder is unknown
  std::atomic<uint64_t> values_[kSettingCount] = {};

  std::mutex watchersLock_;
  std::vector<HANDLE> watchers_;
};

}  // namespace tarnwick
