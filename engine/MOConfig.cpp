#include "MOConfig.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <optional>
#include <string>

#include "EngineError.h"
#include "EngineMessages.h"
#include "ProfileSection.h"
#include "SharedRoutines.h"
#include "UnicodeFiles.h"

namespace tarnwick {
namespace {

enum class Kind {
  Bytes,       // 64-bit byte count, below the total physical memory
  Byte,        // 8-bit number
  Number,      // 32-bit number
  Flag,        // boolean; "1" or any integer text of value 1 reads as true
  StrictFlag,  // boolean; only the text "1" reads as true
};

constexpr uint32_t kNoLimit = 0xFFFFFFFFu;

struct SettingInfo {
  Setting id;
  unsigned group;  // _MO_CONFIG_SETTINGS flag
  const wchar_t* key;
  Kind kind;
  double fraction;  // byte counts: default and recommendation are fraction x total memory
  uint32_t loadDefault;
  uint32_t recommended;
  uint32_t lowest;  // puts and loads are brought into [lowest, highest]
  uint32_t highest;
  bool zeroLoadsDefault;  // a thread's period: 0 from the file would make it spin
};

// In file order; the position in this table is the Setting value.
constexpr SettingInfo kSettings[] = {
    {Setting::ManualCompressSize, 1, L"ManualCompressSize", Kind::Bytes, 0.8, 0, 0, 0, kNoLimit, false},
    {Setting::ManualCompressLevel, 1, L"ManualCompressLevel", Kind::Byte, 0, 1, 1, 0, 3, false},
    {Setting::IsAutoCompress, 2, L"IsAutoCompress", Kind::Flag, 0, 1, 1, 0, 1, false},
    {Setting::AutoCompressTimer, 2, L"AutoCompressTimer", Kind::Number, 0, 120000, 120000, 0, kNoLimit, true},
    {Setting::AutoCompressAlarm, 2, L"MemLowerLimited", Kind::Bytes, 0.2, 0, 0, 0, kNoLimit, false},
    {Setting::AutoCompressExpectation, 2, L"MemToCompress", Kind::Bytes, 0.5, 0, 0, 0, kNoLimit, false},
    {Setting::IsCPUProtection, 2, L"IsCPUProtection", Kind::Flag, 0, 1, 1, 0, 1, false},
    {Setting::CPUProtectionValue, 2, L"CPUProtectionValue", Kind::Byte, 0, 20, 20, 0, 100, false},
    {Setting::IsAutoFree, 4, L"IsAutoFree", Kind::Flag, 0, 1, 1, 0, 1, false},
    {Setting::AutoFreeTimer, 4, L"AutoFreeTimer", Kind::Number, 0, 600000, 600000, 0, kNoLimit, true},
    {Setting::IsCheckBlackList, 4, L"IsCheckBlackList", Kind::StrictFlag, 0, 0, 0, 0, 1, false},
    {Setting::IsCheckWhiteList, 4, L"IsCheckWhiteList", Kind::StrictFlag, 0, 0, 0, 0, 1, false},
    {Setting::IsCheckSmartList, 4, L"IsCheckSmartList", Kind::StrictFlag, 0, 0, 1, 0, 1, false},
    {Setting::IsCheckIdleList, 4, L"IsCheckIdleList", Kind::StrictFlag, 0, 1, 0, 0, 1, false},
    {Setting::IsFreeOnceOnCPUIdle, 8, L"IsFreeOnceOnCPUIdle", Kind::Flag, 0, 1, 1, 0, 1, false},
    {Setting::IsFreeOnceOnTimer, 8, L"IsFreeOnceOnTimer", Kind::Flag, 0, 0, 0, 0, 1, false},
    {Setting::FreeOnceOnTimer, 8, L"FreeOnceOnTimer", Kind::Number, 0, 180000, 180000, 0, kNoLimit, false},
    {Setting::IsSmartLearning, 16, L"IsSmartLearning", Kind::Flag, 0, 1, 1, 0, 1, false},
    {Setting::SmartLearningRecord, 16, L"SmartLearningRecord", Kind::Byte, 0, 5, 5, 0, 255, false},
    {Setting::SmartLearningTimer, 16, L"SmartLearningTimer", Kind::Number, 0, 60000, 60000, 0, kNoLimit, true},
    {Setting::SmartLearningPeriod, 16, L"SmartLearningPeriod", Kind::Byte, 0, 30, 30, 1, 90, false},
    {Setting::IsSmartCPU, 16, L"IsSmartCPU", Kind::Flag, 0, 1, 1, 0, 1, false},
    {Setting::SmartCPURange, 16, L"SmartCPURange", Kind::Byte, 0, 5, 5, 0, 10, false},
    {Setting::IsAutorun, 32, L"IsAutorun", Kind::Flag, 0, 1, 1, 0, 1, false},
    {Setting::IsShowTrayIcon, 32, L"IsShowTrayIcon", Kind::Flag, 0, 1, 1, 0, 1, false},
    {Setting::IsMinimizeToTray, 32, L"IsMinimizeToTray", Kind::Flag, 0, 1, 1, 0, 1, false},
    {Setting::IsCloseToTray, 32, L"IsCloseToTray", Kind::Flag, 0, 0, 0, 0, 1, false},
    {Setting::IsShowNotificationInTray, 32, L"IsShowNotificationInTray", Kind::Flag, 0, 1, 1, 0, 1, false},
    {Setting::IsUseFreeMemoryNowHotKey, 32, L"IsUseFreeMemoryNowHotKey", Kind::Flag, 0, 0, 0, 0, 1, false},
    {Setting::FreeMemoryNowHotKey, 32, L"FreeMemoryNowHotKey", Kind::Number, 0, 0, 0, 0, kNoLimit, false},
    {Setting::MemoryGraphRefreshTimer, 32, L"MemoryGraphRefreshTimer", Kind::Number, 0, 1000, 1000, 1000, 3000, false},
    {Setting::ProcessListRefreshTimer, 32, L"ProcessListRefreshTimer", Kind::Number, 0, 1000, 1000, 0, 3000, false},
};
static_assert(std::size(kSettings) == kSettingCount);

constexpr bool TableFollowsEnum() {
  for (size_t i = 0; i < kSettingCount; ++i) {
    if (static_cast<size_t>(kSettings[i].id) != i) return false;
  }
  return true;
}
static_assert(TableFollowsEnum());

const SettingInfo& Info(Setting s) { return kSettings[static_cast<size_t>(s)]; }

const wchar_t* SectionOf(unsigned group) {
  switch (group) {
    case 1: return L"MANUAL_COMPRESSION";
    case 2: return L"AUTO_COMPRESSION";
    case 4: return L"AUTO_FREE";
    case 8: return L"AUTORUN_TASK";
    case 16: return L"SMART_OPTIMIZATION";
    default: return L"PROGRAM_OPTION";
  }
}

constexpr unsigned kAllGroups = MO_CONFIG_ALL_SETTINGS;

// Setting a flag to `when` makes the listed settings false.
struct Exclusion {
  Setting flag;
  bool when;
  Setting cleared[3];
  int count;
};
constexpr Exclusion kExclusions[] = {
    {Setting::IsCheckBlackList, true, {Setting::IsCheckWhiteList, Setting::IsCheckSmartList}, 2},
    {Setting::IsCheckWhiteList, true, {Setting::IsCheckBlackList, Setting::IsCheckIdleList}, 2},
    {Setting::IsCheckSmartList, true, {Setting::IsCheckBlackList, Setting::IsCheckIdleList}, 2},
    {Setting::IsCheckIdleList, true, {Setting::IsCheckWhiteList, Setting::IsCheckSmartList}, 2},
    {Setting::IsFreeOnceOnCPUIdle, true, {Setting::IsFreeOnceOnTimer}, 1},
    {Setting::IsFreeOnceOnTimer, true, {Setting::IsFreeOnceOnCPUIdle}, 1},
    {Setting::IsShowTrayIcon, false,
     {Setting::IsMinimizeToTray, Setting::IsCloseToTray, Setting::IsShowNotificationInTray}, 3},
    {Setting::IsMinimizeToTray, true, {Setting::IsCloseToTray}, 1},
    {Setting::IsCloseToTray, true, {Setting::IsMinimizeToTray}, 1},
};

// Flags that switch a background thread on or off; the pump sets its priority.
struct ThreadSwitch {
  Setting flag;
  UINT message;
};
constexpr ThreadSwitch kThreadSwitches[] = {
    {Setting::IsAutoCompress, kMsgAutoCompressPriority},
    {Setting::IsAutoFree, kMsgAutoFreePriority},
    {Setting::IsSmartLearning, kMsgSmartLearningPriority},
    {Setting::IsSmartCPU, kMsgSmartCpuPriority},
};

uint64_t Fraction(double fraction, uint64_t total) {
  return static_cast<uint64_t>(fraction * static_cast<double>(total));
}

uint64_t Clamp(const SettingInfo& info, uint64_t value) {
  return std::clamp<uint64_t>(value, info.lowest, info.highest);
}

std::wstring Encode(const SettingInfo& info, uint64_t value) {
  switch (info.kind) {
    case Kind::Bytes:
      return std::to_wstring(value);
    case Kind::Flag:
    case Kind::StrictFlag:
      return value ? L"1" : L"0";
    default:  // signed decimal: 2147483648 and above appear negative
      return std::to_wstring(static_cast<int32_t>(static_cast<uint32_t>(value)));
  }
}

uint64_t Decode(const SettingInfo& info, const wchar_t* text) {
  switch (info.kind) {
    case Kind::Bytes:
      return _wcstoui64(text, nullptr, 10);
    case Kind::Number:
      return static_cast<uint32_t>(wcstoul(text, nullptr, 10));
    case Kind::Byte:
      return static_cast<uint8_t>(_wtoi(text));
    case Kind::Flag:
      return _wtoi(text) == 1 ? 1 : 0;
    case Kind::StrictFlag:
      return wcscmp(text, L"1") == 0 ? 1 : 0;
  }
  return 0;
}

// Texts that would break the file's line and section structure.
bool BreaksProfileLine(const wchar_t* text, const wchar_t* forbidden) {
  return text && wcspbrk(text, forbidden) != nullptr;
}

constexpr DWORD kValueChars = 260;

}  // namespace

CMOConfig::CMOConfig() : CMOConfig(std::wstring()) {}

CMOConfig::CMOConfig(const std::wstring& programFolder, platform::MemoryStatus& memory,
                     platform::ProcessorCounters& counters)
    : state_(memory, counters, platform::RealClipboard()) {
  std::wstring folder = programFolder;
  if (folder.empty()) {
    wchar_t module[kFolderChars];
    if (ModuleFolder(module)) folder = module;
  }
  path_ = JoinPath(folder, L"Config\\config.ini");
  if (path_.empty()) {  // no program folder: defaults only, nothing is written
    LoadFile();
    return;
  }
  CreateParentFolder(path_);
  if (!FileExists(path_)) {
    CreateEmptyUnicodeFile(path_);
    RecommendGroups(MO_CONFIG_ALL_SETTINGS);
  }
  for (const wchar_t* data : {L"Config\\black.lst", L"Config\\white.lst", L"Config\\smart.lst", L"Config\\smart.ini"}) {
    const std::wstring path = JoinPath(folder, data);
    if (!FileExists(path)) CreateEmptyUnicodeFile(path);
  }
  LoadFile();
}

CMOConfig::~CMOConfig() = default;

void CMOConfig::WatchChanges(HANDLE event) {
  if (!event) return;
  std::lock_guard<std::mutex> lock(watchersLock_);
  watchers_.push_back(event);
}

void CMOConfig::UnwatchChanges(HANDLE event) {
  std::lock_guard<std::mutex> lock(watchersLock_);
  watchers_.erase(std::remove(watchers_.begin(), watchers_.end(), event), watchers_.end());
}

void CMOConfig::NotifyChange() {
  std::lock_guard<std::mutex> lock(watchersLock_);
  for (HANDLE event : watchers_) SetEvent(event);
}

uint64_t CMOConfig::TotalPhysical() {
  state_.SampleMemory();
  return state_.TotalPhysical();
}

HRESULT CMOConfig::PutNumber(Setting s, uint64_t value) {
  return com::Barrier([&] {
    const SettingInfo& info = Info(s);
    if (info.kind == Kind::Bytes) {
      if (value >= TotalPhysical()) return S_FALSE;
      Store(s, value);
    } else {
      Store(s, Clamp(info, value));
    }
    NotifyChange();
    return S_OK;
  });
}

HRESULT CMOConfig::PutFlag(Setting s, VARIANT_BOOL value) {
  return com::Barrier([&] {
    const bool on = com::IsTrue(value);  // 1 and every other value are false
    Store(s, on ? 1 : 0);
    for (const Exclusion& rule : kExclusions) {
      if (rule.flag != s || rule.when != on) continue;
      for (int i = 0; i < rule.count; ++i) Store(rule.cleared[i], 0);
    }
    for (const ThreadSwitch& sw : kThreadSwitches) {
      if (sw.flag != s) continue;
      const int priority = on ? THREAD_PRIORITY_NORMAL : THREAD_PRIORITY_IDLE;
      PostToPump(eventThread_.load(), sw.message, static_cast<WPARAM>(static_cast<INT_PTR>(priority)));
    }
    NotifyChange();
    return S_OK;
  });
}

void CMOConfig::WriteGroups(unsigned groups) {
  std::vector<bool> settings(std::size(kSettings));
  for (size_t i = 0; i < std::size(kSettings); ++i) settings[i] = (groups & kSettings[i].group) != 0;
  WriteSettings(settings);
}

void CMOConfig::WriteSettings(const std::vector<bool>& settings) {
  if (path_.empty() || std::find(settings.begin(), settings.end(), true) == settings.end()) return;
  // One word to a debugger for the whole save, not one for every key.
  if (IsReadOnlyFile(path_)) return ReportFailure(L"Saving the settings to " + path_, ERROR_ACCESS_DENIED);
  for (size_t i = 0; i < std::size(kSettings); ++i) {
    if (!settings[i]) continue;
    const SettingInfo& info = kSettings[i];
    const std::wstring text = Encode(info, Value(info.id));
    WriteProfileValue(path_, SectionOf(info.group), info.key, text.c_str());
  }
}

void CMOConfig::LoadFile() {
  // Stands for a key the file does not have: no value is written so.
  static constexpr wchar_t kMissing[] = L"\x01(none)";
  const uint64_t total = TotalPhysical();
  // The file gets every value it lacks or holds otherwise than it is saved;
  // a value that stands there already is not written again (each write
  // rewrites the whole file).
  std::vector<bool> stale(std::size(kSettings), false);
  // The table goes group by group, so each section is read once.
  std::optional<ProfileSection> section;
  unsigned sectionGroup = 0;
  for (size_t i = 0; i < std::size(kSettings); ++i) {
    const SettingInfo& info = kSettings[i];
    const uint64_t fallback = info.kind == Kind::Bytes ? Fraction(info.fraction, total) : info.loadDefault;
    uint64_t value = fallback;
    std::wstring text = kMissing;
    if (!path_.empty()) {
      if (!section || sectionGroup != info.group) {
        section.emplace(path_, SectionOf(info.group));
        sectionGroup = info.group;
      }
      value = section->Find(info.key, kValueChars, &text) ? Decode(info, text.c_str())
                                                          : Decode(info, Encode(info, fallback).c_str());
    }
    // A hand-edited or damaged file gets the limits of the puts.
    if (info.kind == Kind::Bytes) {
      if (total != 0 && value >= total) value = fallback;
    } else {
      value = Clamp(info, value);
      if (value == 0 && info.zeroLoadsDefault) value = fallback;
    }
    Store(info.id, value);
    stale[i] = Encode(info, value) != text;
  }
  WriteSettings(stale);
  NotifyChange();
}

void CMOConfig::RecommendGroups(unsigned groups) {
  const uint64_t total = TotalPhysical();
  for (const SettingInfo& info : kSettings) {
    if (!(groups & info.group)) continue;
    Store(info.id, info.kind == Kind::Bytes ? Fraction(info.fraction, total) : info.recommended);
  }
  WriteGroups(kAllGroups);
  NotifyChange();
}

STDMETHODIMP CMOConfig::Load() {
  return com::Barrier([&] {
    LoadFile();
    return S_OK;
  });
}

STDMETHODIMP CMOConfig::Save(_MO_CONFIG_SETTINGS config) {
  return com::Barrier([&] {
    WriteGroups(static_cast<unsigned>(config));
    return S_OK;
  });
}

STDMETHODIMP CMOConfig::Recommend(_MO_CONFIG_SETTINGS config) {
  return com::Barrier([&] {
    RecommendGroups(static_cast<unsigned>(config));
    return S_OK;
  });
}

STDMETHODIMP CMOConfig::get_ConfigItem(BSTR Section, BSTR Key, BSTR *pVal) {
  return com::Barrier([&] {
    wchar_t text[kValueChars] = {};
    if (!IsBlank(Section) && !IsBlank(Key) && !path_.empty()) {
      GetPrivateProfileStringW(Section, Key, L"", text, kValueChars, path_.c_str());
    }
    return com::OutString(pVal, text);
  });
}

STDMETHODIMP CMOConfig::put_ConfigItem(BSTR Section, BSTR Key, BSTR newVal) {
  return com::Barrier([&] {
    if (IsBlank(Section) || IsBlank(Key) || !newVal) return S_OK;
    // A line break would start a line of its own in the file; brackets and
    // '=' in a name would be read back as a section header or split the key.
    if (BreaksProfileLine(Section, L"\r\n[]") || BreaksProfileLine(Key, L"\r\n[]=") ||
        BreaksProfileLine(newVal, L"\r\n")) {
      return S_FALSE;
    }
    if (!path_.empty()) WriteProfileValue(path_, Section, Key, newVal);
    return S_OK;
  });
}

STDMETHODIMP CMOConfig::get_IsAutorun(VARIANT_BOOL *pVal) {
  return com::Barrier([&] {
    // Without autorun there is no autorun task to run.
    if (!IsAutorun()) {
      Store(Setting::IsFreeOnceOnCPUIdle, 0);
      Store(Setting::IsFreeOnceOnTimer, 0);
    }
    return com::OutBool(pVal, IsAutorun());
  });
}
STDMETHODIMP CMOConfig::put_IsAutorun(VARIANT_BOOL newVal) { return PutFlag(Setting::IsAutorun, newVal); }

#define TARNWICK_NUMBER_PROPERTY(Name, Type)                                                      \
  STDMETHODIMP CMOConfig::get_##Name(Type *pVal) { return com::Get(pVal, Value(Setting::Name)); }  \
  STDMETHODIMP CMOConfig::put_##Name(Type newVal) { return PutNumber(Setting::Name, newVal); }
#define TARNWICK_FLAG_PROPERTY(Name)                                                              \
  STDMETHODIMP CMOConfig::get_##Name(VARIANT_BOOL *pVal) {                                        \
    return com::GetBool(pVal, Flag(Setting::Name));                                               \
  }                                                                                               \
  STDMETHODIMP CMOConfig::put_##Name(VARIANT_BOOL newVal) { return PutFlag(Setting::Name, newVal); }

TARNWICK_NUMBER_PROPERTY(ManualCompressSize, UINT64)
TARNWICK_NUMBER_PROPERTY(ManualCompressLevel, unsigned char)
TARNWICK_FLAG_PROPERTY(IsAutoCompress)
TARNWICK_NUMBER_PROPERTY(AutoCompressTimer, ULONG)
TARNWICK_NUMBER_PROPERTY(AutoCompressAlarm, UINT64)
TARNWICK_NUMBER_PROPERTY(AutoCompressExpectation, UINT64)
TARNWICK_FLAG_PROPERTY(IsCPUProtection)
TARNWICK_NUMBER_PROPERTY(CPUProtectionValue, unsigned char)
TARNWICK_FLAG_PROPERTY(IsAutoFree)
TARNWICK_NUMBER_PROPERTY(AutoFreeTimer, ULONG)
TARNWICK_FLAG_PROPERTY(IsCheckBlackList)
TARNWICK_FLAG_PROPERTY(IsCheckWhiteList)
TARNWICK_FLAG_PROPERTY(IsCheckSmartList)
TARNWICK_FLAG_PROPERTY(IsCheckIdleList)
TARNWICK_FLAG_PROPERTY(IsFreeOnceOnCPUIdle)
TARNWICK_FLAG_PROPERTY(IsFreeOnceOnTimer)
TARNWICK_NUMBER_PROPERTY(FreeOnceOnTimer, ULONG)
TARNWICK_FLAG_PROPERTY(IsSmartLearning)
TARNWICK_NUMBER_PROPERTY(SmartLearningTimer, ULONG)
TARNWICK_NUMBER_PROPERTY(SmartLearningRecord, unsigned char)
TARNWICK_NUMBER_PROPERTY(SmartLearningPeriod, unsigned char)
TARNWICK_FLAG_PROPERTY(IsSmartCPU)
TARNWICK_NUMBER_PROPERTY(SmartCPURange, unsigned char)
TARNWICK_FLAG_PROPERTY(IsShowTrayIcon)
TARNWICK_FLAG_PROPERTY(IsMinimizeToTray)
TARNWICK_FLAG_PROPERTY(IsCloseToTray)
TARNWICK_FLAG_PROPERTY(IsShowNotificationInTray)
TARNWICK_FLAG_PROPERTY(IsUseFreeMemoryNowHotKey)
TARNWICK_NUMBER_PROPERTY(FreeMemoryNowHotKey, ULONG)
TARNWICK_NUMBER_PROPERTY(MemoryGraphRefreshTimer, ULONG)
TARNWICK_NUMBER_PROPERTY(ProcessListRefreshTimer, ULONG)

#undef TARNWICK_NUMBER_PROPERTY
#undef TARNWICK_FLAG_PROPERTY

}  // namespace tarnwick
