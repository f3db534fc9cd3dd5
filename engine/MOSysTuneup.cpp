#include "MOSysTuneup.h"

#include "EngineError.h"
#include "RegistryKey.h"

#include <cwchar>
#include <new>
#include <optional>
#include <string>
#include <vector>

using RegTemplate::CRegistryKey;

namespace tarnwick {

namespace {

const REGSAM kAccess = KEY_ALL_ACCESS;
const wchar_t kMemoryManagement[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
const wchar_t kExplorer[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const wchar_t kDiskController[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96A-E325-11CE-BFC1-08002BE10318}\\0000";
const wchar_t kExecutive[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Executive";
const wchar_t kFileSystem[] = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
const wchar_t kPriorityControl[] = L"SYSTEM\\CurrentControlSet\\Control\\PriorityControl";
const wchar_t kVisualEffects[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\VisualEffects";
const wchar_t kDesktop[] = L"Control Panel\\Desktop";
const wchar_t kVisualFXSetting[] = L"VisualFXSetting";
const wchar_t kPreferencesMask[] = L"UserPreferencesMask";

// First four bytes of "UserPreferencesMask" for each visual-effects choice.
const DWORD kMaskSystem = 0x80031290;
const DWORD kMaskAppearance = 0x80073E9E;
const DWORD kMaskPerformance = 0x80011290;
const DWORD kMaskBalance = 0x80031290;

// A failing registry call (or a value too large to hold) ends only the
// routine it happens in; when writing, a debugger hears which setting did
// not stick (a value missing on reading is no news).
template <class Routine>
void Guarded(const wchar_t* setting, bool write, Routine routine) {
  std::optional<DWORD> failure;
  try {
    routine();
  } catch (const CRegistryKey::Exception& e) {
    failure = e.Code();
  } catch (const std::bad_alloc&) {
    failure = ERROR_NOT_ENOUGH_MEMORY;
  }
  if (write && failure) ReportFailure(std::wstring(L"Writing the tuning value ") + setting, *failure);
}

void DefaultDword(const CRegistryKey& key, const wchar_t* name, DWORD value) {
  if (!key.ValueExists(name)) key.SetValue(name, value);
}

ULONG Clamp(ULONG value, ULONG low, ULONG high) { return value < low ? low : value > high ? high : value; }

// A flag kept as one DWORD: 1 is true.
void FlagRoutine(HKEY root, const wchar_t* path, const wchar_t* name, bool write, bool& value) {
  CRegistryKey key(root, path, kAccess);
  DefaultDword(key, name, 0);
  DWORD stored = 0;
  if (write) {
    key.SetValue(name, value ? 1u : 0u);
  } else if (key.QueryValue(name, stored)) {
    value = stored == 1;
  }
}

// A flag kept in two DWORDs written alike; the second one decides on reading.
void PairRoutine(HKEY root, const wchar_t* path, const wchar_t* first, const wchar_t* second, DWORD on,
                 bool (*isOn)(DWORD), bool write, bool& value) {
  CRegistryKey key(root, path, kAccess);
  DefaultDword(key, first, 0);
  DefaultDword(key, second, 0);
  if (write) {
    key.SetValue(first, value ? on : 0u);
    key.SetValue(second, value ? on : 0u);
    return;
  }
  DWORD stored = 0;
  key.QueryValue(first, stored);
  if (key.QueryValue(second, stored)) value = isOn(stored);
}

// A size kept as one DWORD, clamped when written.
void SizeRoutine(HKEY root, const wchar_t* name, DWORD fallback, ULONG low, ULONG high, bool write, ULONG& value) {
  CRegistryKey key(root, kFileSystem, kAccess);
  DefaultDword(key, name, fallback);
  if (write) {
    value = Clamp(value, low, high);
    key.SetValue(name, value);
  } else {
    DWORD stored = 0;
    if (key.QueryValue(name, stored)) value = stored;
  }
}

void AlwaysUnloadDllRoutine(HKEY root, bool write, bool& value) {
  CRegistryKey explorer(root, kExplorer, kAccess);
  CRegistryKey key = explorer.CreateOrOpenKey(L"AlwaysUnloadDll", nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr);
  if (!key.ValueExists(nullptr)) key.SetValue(nullptr, L"0");
  if (write) {
    key.SetValue(nullptr, value ? L"1" : L"0");
    return;
  }
  std::unique_ptr<wchar_t[]> text;
  if (key.QueryValue(nullptr, text)) value = _wcsicmp(text.get(), L"1") == 0;
}

void MaxCachedIconsRoutine(HKEY root, bool write, ULONG& value) {
  const wchar_t* name = L"Max Cached Icons";
  CRegistryKey key(root, kExplorer, kAccess);
  if (!key.ValueExists(name)) key.SetValue(name, L"500");
  if (write) {
    value = Clamp(value, 128, 8192);
    key.SetValue(name, std::to_wstring(value).c_str());
    return;
  }
  std::unique_ptr<wchar_t[]> text;
  if (key.QueryValue(name, text)) value = RegTemplate::DecimalText(text.get());
}

void PrioritySeparationRoutine(HKEY root, bool write, LONG& value) {
  const wchar_t* name = L"Win32PrioritySeparation";
  CRegistryKey key(root, kPriorityControl, kAccess);
  DefaultDword(key, name, 0);
  if (write) {
    // Unsigned, so a negative value also ends as the applications choice.
    if (static_cast<ULONG>(value) > MO_CPS_BACKGROUND_SERVICES) value = MO_CPS_APPLICATIONS;
    key.SetValue(name, value == MO_CPS_SYSTEM ? 2u : value == MO_CPS_APPLICATIONS ? 38u : 24u);
    return;
  }
  DWORD stored = 0;
  if (!key.QueryValue(name, stored)) return;
  if (stored == 2) value = MO_CPS_SYSTEM;
  if (stored == 38) value = MO_CPS_APPLICATIONS;
  if (stored == 24) value = MO_CPS_BACKGROUND_SERVICES;
}

// The mask as stored, when it is binary data of at least four bytes.
bool ReadMask(const CRegistryKey& desktop, std::vector<BYTE>& mask) {
  return desktop.ValueExists(kPreferencesMask) && desktop.QueryValue(kPreferencesMask, mask) && mask.size() >= 4;
}

void VisualEffectsRoutine(HKEY root, bool write, LONG& value) {
  CRegistryKey effects(root, kVisualEffects, kAccess);
  DefaultDword(effects, kVisualFXSetting, 0);
  CRegistryKey desktop(root, kDesktop, kAccess);
  std::vector<BYTE> mask;
  if (!write) {
    DWORD stored = 0;
    if (!effects.QueryValue(kVisualFXSetting, stored)) return;
    if (stored == MO_VE_CUSTOM) {
      // A mask too short, missing or not binary is some custom choice.
      bool balance = ReadMask(desktop, mask) &&
                     (mask[0] | mask[1] << 8 | mask[2] << 16 | static_cast<DWORD>(mask[3]) << 24) == kMaskBalance;
      value = balance ? MO_VE_BALANCE : MO_VE_CUSTOM;
    } else if (stored <= MO_VE_BALANCE) {
      value = static_cast<LONG>(stored);
    }
    return;
  }
  if (static_cast<ULONG>(value) > MO_VE_BALANCE) value = MO_VE_BALANCE;
  // Windows knows no balance setting: it is a custom choice with the balance mask.
  effects.SetValue(kVisualFXSetting, value == MO_VE_BALANCE ? DWORD{MO_VE_CUSTOM} : static_cast<DWORD>(value));
  if (value == MO_VE_CUSTOM) return;
  const DWORD masks[] = {kMaskSystem, kMaskAppearance, kMaskPerformance, 0, kMaskBalance};
  DWORD bits = masks[value];
  // Current Windows keeps more than four bytes here: change only the first four.
  if (!ReadMask(desktop, mask)) mask.assign(4, 0);
  for (int i = 0; i < 4; ++i) mask[i] = static_cast<BYTE>(bits >> (8 * i));
  desktop.SetValue(kPreferencesMask, mask.data(), static_cast<DWORD>(mask.size()));
}

bool AboveFifteen(DWORD value) { return value > 15; }
bool IsOne(DWORD value) { return value == 1; }

HRESULT PutFlag(bool& field, VARIANT_BOOL value) {
  return com::Barrier([&] {
    field = com::IsTrue(value);
    return S_OK;
  });
}

HRESULT PutValue(ULONG& field, ULONG value) {
  return com::Barrier([&] {
    field = value;
    return S_OK;
  });
}

// No enumeration member is negative: such a value is refused, not stored.
HRESULT PutChoice(LONG& field, LONG value) {
  return com::Barrier([&] {
    if (value < 0) return S_FALSE;
    field = value;
    return S_OK;
  });
}

}  // namespace

CMOSysTuneup::CMOSysTuneup(platform::RegistryRoot& registry) : registry_(registry) {}

void CMOSysTuneup::Transfer(bool write, Settings& v) {
  HKEY machine = registry_.LocalMachine();
  HKEY user = registry_.CurrentUser();
  auto flag = [&](const wchar_t* path, const wchar_t* name, bool& value) {
    Guarded(name, write, [&] { FlagRoutine(machine, path, name, write, value); });
  };
  auto size = [&](const wchar_t* name, DWORD fallback, ULONG low, ULONG high, ULONG& value) {
    Guarded(name, write, [&] { SizeRoutine(machine, name, fallback, low, high, write, value); });
  };
  flag(kMemoryManagement, L"LargeSystemCache", v.largeSystemCache);
  flag(kMemoryManagement, L"DisablePagingExecutive", v.disablePagingExecutive);
  Guarded(L"AlwaysUnloadDll", write, [&] { AlwaysUnloadDllRoutine(machine, write, v.alwaysUnloadDll); });
  flag(kDiskController, L"EnableUDMA66", v.enableUDMA66);
  Guarded(L"AdditionalWorkerThreads", write, [&] {
    PairRoutine(machine, kExecutive, L"AdditionalCriticalWorkerThreads", L"AdditionalDelayedWorkerThreads", 16,
                AboveFifteen, write, v.additionalWorkerThreads);
  });
  Guarded(L"NtfsOptimization", write, [&] {
    PairRoutine(machine, kFileSystem, L"NtfsDisableLastAccessUpdate", L"NtfsDisable8dot3NameCreation", 1, IsOne,
                write, v.ntfsOptimization);
  });
  size(L"FileNameCache", 128, 128, 4096, v.fileNameCache);
  size(L"PathCache", 8, 8, 512, v.pathCache);
  size(L"ContigFileAllocSize", 16, 16, 1024, v.contigFileAllocSize);
  Guarded(L"Max Cached Icons", write, [&] { MaxCachedIconsRoutine(machine, write, v.maxCachedIcons); });
  Guarded(L"Win32PrioritySeparation", write,
          [&] { PrioritySeparationRoutine(machine, write, v.win32PrioritySeparation); });
  Guarded(L"VisualFXSetting", write, [&] { VisualEffectsRoutine(user, write, v.visualFXSetting); });
}

STDMETHODIMP CMOSysTuneup::LoadSettings() {
  return com::Barrier([&] {
    Transfer(false, settings_);
    return S_OK;
  });
}

STDMETHODIMP CMOSysTuneup::SaveSettings() {
  return com::Barrier([&] {
    Transfer(true, settings_);
    return S_OK;
  });
}

STDMETHODIMP CMOSysTuneup::Recommend() {
  return com::Barrier([&] {
    RecommendValues();
    return S_OK;
  });
}

void CMOSysTuneup::RecommendValues() {
  settings_.largeSystemCache = false;
  settings_.disablePagingExecutive = false;
  settings_.alwaysUnloadDll = false;
  settings_.enableUDMA66 = true;
  settings_.additionalWorkerThreads = true;
  settings_.ntfsOptimization = true;
  settings_.fileNameCache = 1024;
  settings_.pathCache = 256;
  settings_.contigFileAllocSize = 512;
  settings_.maxCachedIcons = 2048;
  // The last two are written without being stored: the properties show them
  // only after the next LoadSettings.
  Settings written = settings_;
  written.win32PrioritySeparation = MO_CPS_APPLICATIONS;
  written.visualFXSetting = MO_VE_BALANCE;
  Transfer(true, written);
}

// Each property is a stored value: a get reads it, a put only stores it.
#define TARNWICK_TUNING_FLAG(Name, field)                                                         \
  STDMETHODIMP CMOSysTuneup::get_##Name(VARIANT_BOOL *pVal) {                                     \
    return com::GetBool(pVal, settings_.field);                                                   \
  }                                                                                               \
  STDMETHODIMP CMOSysTuneup::put_##Name(VARIANT_BOOL newVal) { return PutFlag(settings_.field, newVal); }
#define TARNWICK_TUNING_VALUE(Name, field)                                                          \
  STDMETHODIMP CMOSysTuneup::get_##Name(ULONG *pVal) { return com::Get(pVal, settings_.field); }    \
  STDMETHODIMP CMOSysTuneup::put_##Name(ULONG newVal) { return PutValue(settings_.field, newVal); }
#define TARNWICK_TUNING_CHOICE(Name, field, Type)                                                 \
  STDMETHODIMP CMOSysTuneup::get_##Name(Type *pVal) { return com::Get(pVal, settings_.field); }   \
  STDMETHODIMP CMOSysTuneup::put_##Name(Type newVal) { return PutChoice(settings_.field, newVal); }

TARNWICK_TUNING_FLAG(LargeSystemCache, largeSystemCache)
TARNWICK_TUNING_FLAG(DisablePagingExecutive, disablePagingExecutive)
TARNWICK_TUNING_FLAG(AlwaysUnloadDll, alwaysUnloadDll)
TARNWICK_TUNING_VALUE(MaxCachedIcons, maxCachedIcons)
TARNWICK_TUNING_VALUE(FileNameCache, fileNameCache)
TARNWICK_TUNING_VALUE(PathCache, pathCache)
TARNWICK_TUNING_VALUE(ContigFileAllocSize, contigFileAllocSize)
TARNWICK_TUNING_CHOICE(VisualFXSetting, visualFXSetting, _MO_VISUAL_EFFECTS)
TARNWICK_TUNING_CHOICE(Win32PrioritySeparation, win32PrioritySeparation, _MO_CPU_PRIORITY_SEPARATION)
TARNWICK_TUNING_FLAG(AdditionalWorkerThreads, additionalWorkerThreads)
TARNWICK_TUNING_FLAG(NtfsOptimization, ntfsOptimization)
TARNWICK_TUNING_FLAG(EnableUDMA66, enableUDMA66)

#undef TARNWICK_TUNING_FLAG
#undef TARNWICK_TUNING_VALUE
#undef TARNWICK_TUNING_CHOICE

// No operation needs a restart to report, so this stays false.
STDMETHODIMP CMOSysTuneup::get_IsNeedReboot(VARIANT_BOOL *pVal) { return com::GetBool(pVal, false); }

}  // namespace tarnwick
