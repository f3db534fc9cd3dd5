#include "MOSysTuneup.h"

#include "RegistryKey.h"

#include <cwchar>
#include <new>
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
// routine it happens in.
template <class Routine>
void Guarded(Routine routine) {
  try {
    routine();
  } catch (const CRegistryKey::Exception&) {
  } catch (const std::bad_alloc&) {
  }
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

HRESULT GetFlag(bool field, VARIANT_BOOL* out) {
  if (!out) return E_POINTER;
  *out = field ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

template <class Out, class Field>
HRESULT GetValue(Field field, Out* out) {
  if (!out) return E_POINTER;
  *out = static_cast<Out>(field);
  return S_OK;
}

HRESULT PutFlag(bool& field, VARIANT_BOOL value) {
  field = value == VARIANT_TRUE;
  return S_OK;
}

HRESULT PutValue(ULONG& field, ULONG value) {
  field = value;
  return S_OK;
}

// No enumeration member is negative: such a value is refused, not stored.
HRESULT PutChoice(LONG& field, LONG value) {
  if (value < 0) return S_FALSE;
  field = value;
  return S_OK;
}

}  // namespace

CMOSysTuneup::CMOSysTuneup(platform::RegistryRoot& registry) : registry_(registry) {}

void CMOSysTuneup::Transfer(bool write, Settings& v) {
  HKEY machine = registry_.LocalMachine();
  HKEY user = registry_.CurrentUser();
  Guarded([&] { FlagRoutine(machine, kMemoryManagement, L"LargeSystemCache", write, v.largeSystemCache); });
  Guarded([&] {
    FlagRoutine(machine, kMemoryManagement, L"DisablePagingExecutive", write, v.disablePagingExecutive);
  });
  Guarded([&] { AlwaysUnloadDllRoutine(machine, write, v.alwaysUnloadDll); });
  Guarded([&] { FlagRoutine(machine, kDiskController, L"EnableUDMA66", write, v.enableUDMA66); });
  Guarded([&] {
    PairRoutine(machine, kExecutive, L"AdditionalCriticalWorkerThreads", L"AdditionalDelayedWorkerThreads", 16,
                AboveFifteen, write, v.additionalWorkerThreads);
  });
  Guarded([&] {
    PairRoutine(machine, kFileSystem, L"NtfsDisableLastAccessUpdate", L"NtfsDisable8dot3NameCreation", 1, IsOne,
                write, v.ntfsOptimization);
  });
  Guarded([&] { SizeRoutine(machine, L"FileNameCache", 128, 128, 4096, write, v.fileNameCache); });
  Guarded([&] { SizeRoutine(machine, L"PathCache", 8, 8, 512, write, v.pathCache); });
  Guarded([&] { SizeRoutine(machine, L"ContigFileAllocSize", 16, 16, 1024, write, v.contigFileAllocSize); });
  Guarded([&] { MaxCachedIconsRoutine(machine, write, v.maxCachedIcons); });
  Guarded([&] { PrioritySeparationRoutine(machine, write, v.win32PrioritySeparation); });
  Guarded([&] { VisualEffectsRoutine(user, write, v.visualFXSetting); });
}

STDMETHODIMP CMOSysTuneup::LoadSettings() {
  Transfer(false, settings_);
  return S_OK;
}

STDMETHODIMP CMOSysTuneup::SaveSettings() {
  Transfer(true, settings_);
  return S_OK;
}

STDMETHODIMP CMOSysTuneup::Recommend() {
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
  return S_OK;
}

STDMETHODIMP CMOSysTuneup::get_LargeSystemCache(VARIANT_BOOL *pVal) { return GetFlag(settings_.largeSystemCache, pVal); }
STDMETHODIMP CMOSysTuneup::put_LargeSystemCache(VARIANT_BOOL newVal) { return PutFlag(settings_.largeSystemCache, newVal); }
STDMETHODIMP CMOSysTuneup::get_DisablePagingExecutive(VARIANT_BOOL *pVal) {
  return GetFlag(settings_.disablePagingExecutive, pVal);
}
STDMETHODIMP CMOSysTuneup::put_DisablePagingExecutive(VARIANT_BOOL newVal) {
  return PutFlag(settings_.disablePagingExecutive, newVal);
}
STDMETHODIMP CMOSysTuneup::get_AlwaysUnloadDll(VARIANT_BOOL *pVal) { return GetFlag(settings_.alwaysUnloadDll, pVal); }
STDMETHODIMP CMOSysTuneup::put_AlwaysUnloadDll(VARIANT_BOOL newVal) { return PutFlag(settings_.alwaysUnloadDll, newVal); }
STDMETHODIMP CMOSysTuneup::get_MaxCachedIcons(ULONG *pVal) { return GetValue(settings_.maxCachedIcons, pVal); }
STDMETHODIMP CMOSysTuneup::put_MaxCachedIcons(ULONG newVal) { return PutValue(settings_.maxCachedIcons, newVal); }
STDMETHODIMP CMOSysTuneup::get_FileNameCache(ULONG *pVal) { return GetValue(settings_.fileNameCache, pVal); }
STDMETHODIMP CMOSysTuneup::put_FileNameCache(ULONG newVal) { return PutValue(settings_.fileNameCache, newVal); }
STDMETHODIMP CMOSysTuneup::get_PathCache(ULONG *pVal) { return GetValue(settings_.pathCache, pVal); }
STDMETHODIMP CMOSysTuneup::put_PathCache(ULONG newVal) { return PutValue(settings_.pathCache, newVal); }
STDMETHODIMP CMOSysTuneup::get_ContigFileAllocSize(ULONG *pVal) { return GetValue(settings_.contigFileAllocSize, pVal); }
STDMETHODIMP CMOSysTuneup::put_ContigFileAllocSize(ULONG newVal) {
  return PutValue(settings_.contigFileAllocSize, newVal);
}
STDMETHODIMP CMOSysTuneup::get_VisualFXSetting(_MO_VISUAL_EFFECTS *pVal) {
  return GetValue(settings_.visualFXSetting, pVal);
}
STDMETHODIMP CMOSysTuneup::put_VisualFXSetting(_MO_VISUAL_EFFECTS newVal) {
  return PutChoice(settings_.visualFXSetting, newVal);
}
STDMETHODIMP CMOSysTuneup::get_Win32PrioritySeparation(_MO_CPU_PRIORITY_SEPARATION *pVal) {
  return GetValue(settings_.win32PrioritySeparation, pVal);
}
STDMETHODIMP CMOSysTuneup::put_Win32PrioritySeparation(_MO_CPU_PRIORITY_SEPARATION newVal) {
  return PutChoice(settings_.win32PrioritySeparation, newVal);
}
STDMETHODIMP CMOSysTuneup::get_AdditionalWorkerThreads(VARIANT_BOOL *pVal) {
  return GetFlag(settings_.additionalWorkerThreads, pVal);
}
STDMETHODIMP CMOSysTuneup::put_AdditionalWorkerThreads(VARIANT_BOOL newVal) {
  return PutFlag(settings_.additionalWorkerThreads, newVal);
}
STDMETHODIMP CMOSysTuneup::get_NtfsOptimization(VARIANT_BOOL *pVal) { return GetFlag(settings_.ntfsOptimization, pVal); }
STDMETHODIMP CMOSysTuneup::put_NtfsOptimization(VARIANT_BOOL newVal) { return PutFlag(settings_.ntfsOptimization, newVal); }
STDMETHODIMP CMOSysTuneup::get_EnableUDMA66(VARIANT_BOOL *pVal) { return GetFlag(settings_.enableUDMA66, pVal); }
STDMETHODIMP CMOSysTuneup::put_EnableUDMA66(VARIANT_BOOL newVal) { return PutFlag(settings_.enableUDMA66, newVal); }
// No operation needs a restart to report, so this stays false.
STDMETHODIMP CMOSysTuneup::get_IsNeedReboot(VARIANT_BOOL *pVal) { return GetFlag(false, pVal); }

}  // namespace tarnwick
