// Tuning values read, written and recommended through a scratch registry.
#include "MOSysTuneup.h"

#include "RegistryScratch.h"

#include <gtest/gtest.h>

using tarnwick::CMOSysTuneup;
using tarnwick::testing::ScratchRegistry;

namespace {

const wchar_t kMemory[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
const wchar_t kExplorer[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const wchar_t kUnload[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDll";
const wchar_t kController[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96A-E325-11CE-BFC1-08002BE10318}\\0000";
const wchar_t kExecutive[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Executive";
const wchar_t kFileSystem[] = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
const wchar_t kPriority[] = L"SYSTEM\\CurrentControlSet\\Control\\PriorityControl";
const wchar_t kEffects[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\VisualEffects";
const wchar_t kDesktop[] = L"Control Panel\\Desktop";
const std::vector<BYTE> kBalanceMask = {0x90, 0x12, 0x03, 0x80};

class SysTuneup : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const wchar_t* path : {kMemory, kExplorer, kController, kExecutive, kFileSystem, kPriority}) {
      ScratchRegistry::AddKey(machine, path);
    }
    ScratchRegistry::AddKey(user, kEffects);
    ScratchRegistry::AddKey(user, kDesktop);
  }
  DWORD Dword(const wchar_t* path, const wchar_t* name) { return ScratchRegistry::GetDword(machine, path, name); }
  void SetMask(std::vector<BYTE> bytes) {
    ScratchRegistry::Set(user, kDesktop, L"UserPreferencesMask", REG_BINARY, bytes.data(),
                         static_cast<DWORD>(bytes.size()));
  }
  std::vector<BYTE> Mask() {
    std::vector<BYTE> bytes;
    ScratchRegistry::Get(user, kDesktop, L"UserPreferencesMask", bytes);
    return bytes;
  }
  template <class T>
  T Get(HRESULT (STDMETHODCALLTYPE CMOSysTuneup::*get)(T*)) {
    T value{};
    (tuneup.*get)(&value);
    return value;
  }

  ScratchRegistry registry;
  HKEY machine = registry.LocalMachine();
  HKEY user = registry.CurrentUser();
  CMOSysTuneup tuneup{registry};
};

}  // namespace

TEST_F(SysTuneup, LoadCreatesMissingValuesWithTheirDefaults) {
  EXPECT_EQ(S_OK, tuneup.LoadSettings());
  EXPECT_EQ(128u, Get(&CMOSysTuneup::get_FileNameCache));
  EXPECT_EQ(8u, Get(&CMOSysTuneup::get_PathCache));
  EXPECT_EQ(500u, Get(&CMOSysTuneup::get_MaxCachedIcons));
  EXPECT_EQ(128u, Dword(kFileSystem, L"FileNameCache"));
  EXPECT_EQ(16u, Dword(kFileSystem, L"ContigFileAllocSize"));
  EXPECT_EQ(0u, Dword(kExecutive, L"AdditionalCriticalWorkerThreads"));
  EXPECT_EQ(0u, Dword(kFileSystem, L"NtfsDisableLastAccessUpdate"));
  EXPECT_EQ(0u, Dword(kController, L"EnableUDMA66"));
  EXPECT_EQ(L"500", ScratchRegistry::GetText(machine, kExplorer, L"Max Cached Icons"));
  EXPECT_EQ(L"0", ScratchRegistry::GetText(machine, kUnload, nullptr));
  EXPECT_EQ(0u, ScratchRegistry::GetDword(user, kEffects, L"VisualFXSetting"));
  EXPECT_TRUE(Mask().empty());  // reading invents no mask
}

TEST_F(SysTuneup, ReadsFlagsAndNumbersAsStored) {
  ScratchRegistry::SetDword(machine, kMemory, L"LargeSystemCache", 1);
  ScratchRegistry::SetDword(machine, kMemory, L"DisablePagingExecutive", 2);  // only 1 is true
  ScratchRegistry::SetText(machine, kUnload, nullptr, L"1");
  ScratchRegistry::SetDword(machine, kExecutive, L"AdditionalDelayedWorkerThreads", 16);
  ScratchRegistry::SetDword(machine, kFileSystem, L"NtfsDisableLastAccessUpdate", 1);
  ScratchRegistry::SetDword(machine, kFileSystem, L"FileNameCache", 5000);
  // Stored without its terminator.
  ScratchRegistry::Set(machine, kExplorer, L"Max Cached Icons", REG_SZ, L"1536", 4 * sizeof(wchar_t));
  tuneup.LoadSettings();
  EXPECT_EQ(VARIANT_TRUE, Get(&CMOSysTuneup::get_LargeSystemCache));
  EXPECT_EQ(VARIANT_FALSE, Get(&CMOSysTuneup::get_DisablePagingExecutive));
  EXPECT_EQ(VARIANT_TRUE, Get(&CMOSysTuneup::get_AlwaysUnloadDll));
  EXPECT_EQ(VARIANT_TRUE, Get(&CMOSysTuneup::get_AdditionalWorkerThreads));  // the delayed count decides
  EXPECT_EQ(VARIANT_FALSE, Get(&CMOSysTuneup::get_NtfsOptimization));        // the 8.3 value decides
  EXPECT_EQ(5000u, Get(&CMOSysTuneup::get_FileNameCache));                   // as stored, unclamped
  EXPECT_EQ(1536u, Get(&CMOSysTuneup::get_MaxCachedIcons));
  EXPECT_EQ(VARIANT_FALSE, Get(&CMOSysTuneup::get_IsNeedReboot));
}

TEST_F(SysTuneup, SaveClampsAndStoresTheClampedValuesBack) {
  tuneup.put_FileNameCache(5000);
  tuneup.put_PathCache(1);
  tuneup.put_MaxCachedIcons(10);
  tuneup.put_AdditionalWorkerThreads(VARIANT_TRUE);
  tuneup.put_NtfsOptimization(VARIANT_TRUE);
  tuneup.put_AlwaysUnloadDll(VARIANT_TRUE);
  ScratchRegistry::SetDword(machine, kMemory, L"LargeSystemCache", 1);
  tuneup.put_LargeSystemCache(1);  // only VARIANT_TRUE counts
  EXPECT_EQ(S_OK, tuneup.SaveSettings());
  EXPECT_EQ(4096u, Dword(kFileSystem, L"FileNameCache"));
  EXPECT_EQ(4096u, Get(&CMOSysTuneup::get_FileNameCache));
  EXPECT_EQ(8u, Dword(kFileSystem, L"PathCache"));
  EXPECT_EQ(8u, Get(&CMOSysTuneup::get_PathCache));
  EXPECT_EQ(L"128", ScratchRegistry::GetText(machine, kExplorer, L"Max Cached Icons"));
  EXPECT_EQ(128u, Get(&CMOSysTuneup::get_MaxCachedIcons));
  EXPECT_EQ(16u, Dword(kExecutive, L"AdditionalCriticalWorkerThreads"));
  EXPECT_EQ(16u, Dword(kExecutive, L"AdditionalDelayedWorkerThreads"));
  EXPECT_EQ(1u, Dword(kFileSystem, L"NtfsDisableLastAccessUpdate"));
  EXPECT_EQ(1u, Dword(kFileSystem, L"NtfsDisable8dot3NameCreation"));
  EXPECT_EQ(L"1", ScratchRegistry::GetText(machine, kUnload, nullptr));
  EXPECT_EQ(0u, Dword(kMemory, L"LargeSystemCache"));
}

TEST_F(SysTuneup, PrioritySeparationMapsBothWays) {
  const std::pair<DWORD, LONG> known[] = {{2, MO_CPS_SYSTEM}, {38, MO_CPS_APPLICATIONS}, {24, MO_CPS_BACKGROUND_SERVICES}};
  for (const auto& [stored, shown] : known) {
    ScratchRegistry::SetDword(machine, kPriority, L"Win32PrioritySeparation", stored);
    tuneup.LoadSettings();
    EXPECT_EQ(shown, Get(&CMOSysTuneup::get_Win32PrioritySeparation)) << stored;
    ScratchRegistry::SetDword(machine, kPriority, L"Win32PrioritySeparation", 0);
    tuneup.SaveSettings();
    EXPECT_EQ(stored, Dword(kPriority, L"Win32PrioritySeparation"));
  }
  // A value without a name here leaves the property as it was.
  ScratchRegistry::SetDword(machine, kPriority, L"Win32PrioritySeparation", 26);
  tuneup.LoadSettings();
  EXPECT_EQ(MO_CPS_BACKGROUND_SERVICES, Get(&CMOSysTuneup::get_Win32PrioritySeparation));

  EXPECT_EQ(S_OK, tuneup.put_Win32PrioritySeparation(static_cast<_MO_CPU_PRIORITY_SEPARATION>(7)));
  tuneup.SaveSettings();
  EXPECT_EQ(38u, Dword(kPriority, L"Win32PrioritySeparation"));
  EXPECT_EQ(MO_CPS_APPLICATIONS, Get(&CMOSysTuneup::get_Win32PrioritySeparation));
  EXPECT_EQ(S_FALSE, tuneup.put_Win32PrioritySeparation(static_cast<_MO_CPU_PRIORITY_SEPARATION>(-1)));
  EXPECT_EQ(MO_CPS_APPLICATIONS, Get(&CMOSysTuneup::get_Win32PrioritySeparation));
}

TEST_F(SysTuneup, VisualEffectsTable) {
  const struct {
    LONG choice;
    DWORD setting;
    std::vector<BYTE> mask;
  } rows[] = {{MO_VE_SYSTEM, 0, {0x90, 0x12, 0x03, 0x80}},
              {MO_VE_APPEARANCE, 1, {0x9E, 0x3E, 0x07, 0x80}},
              {MO_VE_PERFORMANCE, 2, {0x90, 0x12, 0x01, 0x80}},
              {MO_VE_BALANCE, 3, kBalanceMask},
              {MO_VE_CUSTOM, 3, {1, 2, 3, 4}}};  // the mask is left alone
  for (const auto& row : rows) {
    SetMask({1, 2, 3, 4});
    tuneup.put_VisualFXSetting(static_cast<_MO_VISUAL_EFFECTS>(row.choice));
    tuneup.SaveSettings();
    EXPECT_EQ(row.setting, ScratchRegistry::GetDword(user, kEffects, L"VisualFXSetting")) << row.choice;
    EXPECT_EQ(row.mask, Mask()) << row.choice;
    tuneup.put_VisualFXSetting(MO_VE_SYSTEM);
    tuneup.LoadSettings();
    EXPECT_EQ(row.choice, Get(&CMOSysTuneup::get_VisualFXSetting));
  }
  // Beyond the last choice saves as balance; a negative choice is refused.
  tuneup.put_VisualFXSetting(static_cast<_MO_VISUAL_EFFECTS>(9));
  tuneup.SaveSettings();
  EXPECT_EQ(MO_VE_BALANCE, Get(&CMOSysTuneup::get_VisualFXSetting));
  EXPECT_EQ(S_FALSE, tuneup.put_VisualFXSetting(static_cast<_MO_VISUAL_EFFECTS>(-2)));
  EXPECT_EQ(MO_VE_BALANCE, Get(&CMOSysTuneup::get_VisualFXSetting));
}

TEST_F(SysTuneup, LongMasksKeepTheirTailAndShortOnesAreCustom) {
  SetMask({1, 2, 3, 4, 0x12, 0x34, 0x56, 0x78});
  tuneup.put_VisualFXSetting(MO_VE_PERFORMANCE);
  tuneup.SaveSettings();
  EXPECT_EQ((std::vector<BYTE>{0x90, 0x12, 0x01, 0x80, 0x12, 0x34, 0x56, 0x78}), Mask());

  ScratchRegistry::SetDword(user, kEffects, L"VisualFXSetting", 3);
  SetMask({0x90, 0x12, 0x03, 0x80, 0x12, 0, 0, 0});
  tuneup.LoadSettings();
  EXPECT_EQ(MO_VE_BALANCE, Get(&CMOSysTuneup::get_VisualFXSetting));
  SetMask({0x90, 0x12});
  tuneup.LoadSettings();
  EXPECT_EQ(MO_VE_CUSTOM, Get(&CMOSysTuneup::get_VisualFXSetting));
  ScratchRegistry::SetText(user, kDesktop, L"UserPreferencesMask", L"x");  // not binary data
  tuneup.put_VisualFXSetting(MO_VE_BALANCE);
  tuneup.LoadSettings();
  EXPECT_EQ(MO_VE_CUSTOM, Get(&CMOSysTuneup::get_VisualFXSetting));
  tuneup.put_VisualFXSetting(MO_VE_BALANCE);
  tuneup.SaveSettings();
  EXPECT_EQ(kBalanceMask, Mask());
}

TEST_F(SysTuneup, RecommendStoresTenAndWritesTwelve) {
  ScratchRegistry::SetDword(machine, kPriority, L"Win32PrioritySeparation", 2);
  ScratchRegistry::SetDword(user, kEffects, L"VisualFXSetting", 2);
  tuneup.LoadSettings();
  tuneup.put_LargeSystemCache(VARIANT_TRUE);
  EXPECT_EQ(S_OK, tuneup.Recommend());
  EXPECT_EQ(VARIANT_FALSE, Get(&CMOSysTuneup::get_LargeSystemCache));
  EXPECT_EQ(VARIANT_TRUE, Get(&CMOSysTuneup::get_EnableUDMA66));
  EXPECT_EQ(VARIANT_TRUE, Get(&CMOSysTuneup::get_NtfsOptimization));
  EXPECT_EQ(512u, Get(&CMOSysTuneup::get_ContigFileAllocSize));
  EXPECT_EQ(2048u, Get(&CMOSysTuneup::get_MaxCachedIcons));
  EXPECT_EQ(1u, Dword(kController, L"EnableUDMA66"));
  EXPECT_EQ(256u, Dword(kFileSystem, L"PathCache"));
  EXPECT_EQ(16u, Dword(kExecutive, L"AdditionalDelayedWorkerThreads"));

  // The last two are written, not stored, until the next load.
  EXPECT_EQ(MO_CPS_SYSTEM, Get(&CMOSysTuneup::get_Win32PrioritySeparation));
  EXPECT_EQ(MO_VE_PERFORMANCE, Get(&CMOSysTuneup::get_VisualFXSetting));
  EXPECT_EQ(38u, Dword(kPriority, L"Win32PrioritySeparation"));
  EXPECT_EQ(3u, ScratchRegistry::GetDword(user, kEffects, L"VisualFXSetting"));
  EXPECT_EQ(kBalanceMask, Mask());
  tuneup.LoadSettings();
  EXPECT_EQ(MO_CPS_APPLICATIONS, Get(&CMOSysTuneup::get_Win32PrioritySeparation));
  EXPECT_EQ(MO_VE_BALANCE, Get(&CMOSysTuneup::get_VisualFXSetting));
}

TEST_F(SysTuneup, MissingKeysAndWrongTypesAffectOnlyTheirSetting) {
  ScratchRegistry bare;  // no keys at all
  CMOSysTuneup lonely(bare);
  EXPECT_EQ(S_OK, lonely.LoadSettings());
  EXPECT_EQ(S_OK, lonely.Recommend());
  std::vector<BYTE> none;
  EXPECT_FALSE(ScratchRegistry::Get(bare.LocalMachine(), kFileSystem, L"FileNameCache", none));

  RegDeleteKeyW(machine, kController);
  ScratchRegistry::SetText(machine, kFileSystem, L"PathCache", L"64");        // not a DWORD
  ScratchRegistry::SetDword(machine, kExplorer, L"Max Cached Icons", 900);  // not text
  ScratchRegistry::SetDword(machine, kFileSystem, L"ContigFileAllocSize", 64);
  tuneup.put_PathCache(40);
  tuneup.put_MaxCachedIcons(700);
  tuneup.LoadSettings();
  EXPECT_EQ(40u, Get(&CMOSysTuneup::get_PathCache));
  EXPECT_EQ(700u, Get(&CMOSysTuneup::get_MaxCachedIcons));
  EXPECT_EQ(64u, Get(&CMOSysTuneup::get_ContigFileAllocSize));
  tuneup.SaveSettings();
  EXPECT_EQ(40u, Dword(kFileSystem, L"PathCache"));
  EXPECT_FALSE(ScratchRegistry::Get(machine, kController, L"EnableUDMA66", none));
}

TEST_F(SysTuneup, ReachableThroughDispatch) {
  IMOSysTuneup* face = nullptr;
  ASSERT_EQ(S_OK, tuneup.QueryInterface(__uuidof(IMOSysTuneup), reinterpret_cast<void**>(&face)));
  EXPECT_EQ(S_OK, face->put_PathCache(1000));
  DISPID putId = DISPID_PROPERTYPUT;
  VARIANT argument;
  argument.vt = VT_BOOL;
  argument.boolVal = VARIANT_TRUE;
  DISPPARAMS put = {&argument, &putId, 1, 1};
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(S_OK, face->Invoke(12, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr));  // EnableUDMA66
  EXPECT_EQ(S_OK, face->Invoke(15, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));  // SaveSettings
  EXPECT_EQ(512u, Dword(kFileSystem, L"PathCache"));
  EXPECT_EQ(1u, Dword(kController, L"EnableUDMA66"));
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(S_OK, face->Invoke(6, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));  // PathCache
  EXPECT_EQ(VT_UI4, result.vt);
  EXPECT_EQ(512u, result.ulVal);
  EXPECT_EQ(E_POINTER, face->get_FileNameCache(nullptr));
  face->Release();
}
