// The optimizer pages of a main window made in this process, over a
// scripted engine where Wine cannot show the behaviour: machines of 2 and 8
// GB, and settings the pages' own controls could never have written. The
// engine records every put, so a load is seen to write back exactly what
// its controls move.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "CkLabel.h"
#include "CkTrkBar.h"
#include "MainForm.h"
#include "MainWindowInTest.h"
#include "engineclient/EngineClient.h"
#include "gui/Automation.h"

using namespace gui;
namespace at = gui::automation;
using orvane::MainForm;

namespace {

constexpr std::uint64_t kGB = 1024ull * 1024 * 1024;

// IUnknown and IDispatch of an object that lives as long as the test program.
template <class I>
class Scripted : public I {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != __uuidof(I)) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<I*>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
};

class ScriptedState : public Scripted<IMOState> {
 public:
  UINT64 total = 2 * kGB;

  STDMETHODIMP Refresh() override { return S_OK; }
  STDMETHODIMP get_CPUUsage(unsigned char, unsigned char* v) override { return Zero(v); }
  STDMETHODIMP get_MemoryState(_MO_MEMORY_STATE* v) override {
    *v = MO_MS_GREAT;
    return S_OK;
  }
  STDMETHODIMP get_TotalPhysicalMemory(UINT64* v) override {
    *v = total;
    return S_OK;
  }
  STDMETHODIMP get_UsedPhysicalMemory(UINT64* v) override { return Zero(v); }
  STDMETHODIMP get_AvailPhysicalMemory(UINT64* v) override { return Zero(v); }
  STDMETHODIMP get_TotalPagingFile(UINT64* v) override { return Zero(v); }
  STDMETHODIMP get_UsedPagingFile(UINT64* v) override { return Zero(v); }
  STDMETHODIMP get_AvailPagingFile(UINT64* v) override { return Zero(v); }
  STDMETHODIMP get_ClipboardSize(ULONG* v) override { return Zero(v); }

 private:
  template <class T>
  static HRESULT Zero(T* v) {
    *v = 0;
    return S_OK;
  }
};

// Settings held as scripted; each put is recorded as "Name=value", and no
// rule of the real store applies.
class ScriptedConfig : public Scripted<IMOConfig> {
 public:
  std::vector<std::string> puts;
  int loads = 0;

#define SCRIPTED_SETTING(Type, Name, Initial)                 \
  Type Name = Initial;                                         \
  STDMETHODIMP get_##Name(Type* v) override {                  \
    *v = Name;                                                 \
    return S_OK;                                               \
  }                                                            \
  STDMETHODIMP put_##Name(Type v) override {                   \
    Name = v;                                                  \
    puts.push_back(#Name "=" + std::to_string(Number(v)));     \
    return S_OK;                                               \
  }
  SCRIPTED_SETTING(UINT64, ManualCompressSize, 0)
  SCRIPTED_SETTING(unsigned char, ManualCompressLevel, 1)
  SCRIPTED_SETTING(VARIANT_BOOL, IsAutoCompress, VARIANT_TRUE)
  SCRIPTED_SETTING(ULONG, AutoCompressTimer, 120000)
  SCRIPTED_SETTING(UINT64, AutoCompressAlarm, 429916160)         // 410 MB
  SCRIPTED_SETTING(UINT64, AutoCompressExpectation, 1073741824)  // 1 GB
  SCRIPTED_SETTING(VARIANT_BOOL, IsCPUProtection, VARIANT_TRUE)
  SCRIPTED_SETTING(unsigned char, CPUProtectionValue, 20)
  SCRIPTED_SETTING(VARIANT_BOOL, IsAutoFree, VARIANT_TRUE)
  SCRIPTED_SETTING(ULONG, AutoFreeTimer, 600000)
  SCRIPTED_SETTING(VARIANT_BOOL, IsCheckBlackList, VARIANT_FALSE)
  SCRIPTED_SETTING(VARIANT_BOOL, IsCheckWhiteList, VARIANT_FALSE)
  SCRIPTED_SETTING(VARIANT_BOOL, IsCheckSmartList, VARIANT_TRUE)
  SCRIPTED_SETTING(VARIANT_BOOL, IsCheckIdleList, VARIANT_FALSE)
  SCRIPTED_SETTING(VARIANT_BOOL, IsFreeOnceOnCPUIdle, VARIANT_TRUE)
  SCRIPTED_SETTING(VARIANT_BOOL, IsFreeOnceOnTimer, VARIANT_FALSE)
  SCRIPTED_SETTING(ULONG, FreeOnceOnTimer, 180000)
  SCRIPTED_SETTING(VARIANT_BOOL, IsSmartLearning, VARIANT_TRUE)
  SCRIPTED_SETTING(ULONG, SmartLearningTimer, 60000)
  SCRIPTED_SETTING(unsigned char, SmartLearningRecord, 5)
  SCRIPTED_SETTING(unsigned char, SmartLearningPeriod, 30)
  SCRIPTED_SETTING(VARIANT_BOOL, IsSmartCPU, VARIANT_TRUE)
  SCRIPTED_SETTING(unsigned char, SmartCPURange, 5)
  SCRIPTED_SETTING(VARIANT_BOOL, IsAutorun, VARIANT_TRUE)
  SCRIPTED_SETTING(VARIANT_BOOL, IsShowTrayIcon, VARIANT_TRUE)
  SCRIPTED_SETTING(VARIANT_BOOL, IsMinimizeToTray, VARIANT_TRUE)
  SCRIPTED_SETTING(VARIANT_BOOL, IsCloseToTray, VARIANT_FALSE)
  SCRIPTED_SETTING(VARIANT_BOOL, IsShowNotificationInTray, VARIANT_TRUE)
  SCRIPTED_SETTING(VARIANT_BOOL, IsUseFreeMemoryNowHotKey, VARIANT_FALSE)
  SCRIPTED_SETTING(ULONG, FreeMemoryNowHotKey, 0)
  SCRIPTED_SETTING(ULONG, MemoryGraphRefreshTimer, 1000)
  SCRIPTED_SETTING(ULONG, ProcessListRefreshTimer, 1000)
#undef SCRIPTED_SETTING

  STDMETHODIMP get_ConfigItem(BSTR, BSTR, BSTR* v) override {
    *v = SysAllocString(L"");
    return S_OK;
  }
  STDMETHODIMP put_ConfigItem(BSTR, BSTR, BSTR) override { return S_OK; }
  STDMETHODIMP Load() override {
    ++loads;
    return S_OK;
  }
  STDMETHODIMP Save(_MO_CONFIG_SETTINGS) override { return S_OK; }
  STDMETHODIMP Recommend(_MO_CONFIG_SETTINGS) override { return S_OK; }

 private:
  template <class T>
  static long long Number(T v) {
    return static_cast<long long>(v);
  }
};

class ScriptedEngine : public Scripted<IMOMain> {
 public:
  ScriptedState state;
  ScriptedConfig config;

  STDMETHODIMP get_State(IMOState** v) override { return Hand(&state, v); }
  STDMETHODIMP get_config(IMOConfig** v) override { return Hand(&config, v); }
  STDMETHODIMP get_Name(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Description(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Author(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Company(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Version(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_BlackList(IMORulesList**) override { return E_NOTIMPL; }
  STDMETHODIMP get_WhiteList(IMORulesList**) override { return E_NOTIMPL; }
  STDMETHODIMP get_SmartList(IMORulesList**) override { return E_NOTIMPL; }
  STDMETHODIMP get_Defrag(IMODefrag**) override { return E_NOTIMPL; }
  STDMETHODIMP get_PagingFileList(IMOPagingFileList**) override { return E_NOTIMPL; }
  STDMETHODIMP get_SysTuneup(IMOSysTuneup**) override { return E_NOTIMPL; }
  STDMETHODIMP get_ProcessList(IMOProcessList**) override { return E_NOTIMPL; }
  STDMETHODIMP get_SmartOpti(IMOSmartOpti**) override { return E_NOTIMPL; }
  STDMETHODIMP get_GameHelper(IMOGameHelper**) override { return E_NOTIMPL; }
  STDMETHODIMP Open() override { return S_OK; }
  STDMETHODIMP Close() override { return S_OK; }
  STDMETHODIMP AutorunTask() override { return S_OK; }
  STDMETHODIMP RebootSystem() override { return E_NOTIMPL; }

 private:
  template <class I>
  static HRESULT Hand(std::type_identity_t<I>* object, I** out) {
    object->AddRef();
    *out = object;
    return S_OK;
  }
};

class ScriptedPages : public ::testing::Test {
 protected:
  // The main window is made over the real engine beside this program, as
  // orvane.exe makes it, shown once, then handed the scripted engine.
  static void SetUpTestSuite() {
    harness::MakeMainWindow();
    if (HasFatalFailure()) return;
    MainForm->Show();
    at::Pump();
    // The timers would ask the scripted engine for what it does not script.
    MainForm->tmrOverview->SetEnabled(false);
    MainForm->tmrProcessList->SetEnabled(false);
    scripted = new ScriptedEngine;  // outlives the window, which releases it at the end
    MainForm->Quillon->ConnectTo(scripted);
  }
  static void TearDownTestSuite() { harness::CloseMainWindow(); }

  void SetUp() override {
    ASSERT_TRUE(MainForm);
    // A load of the scripted defaults puts every control where they say.
    scripted->config = ScriptedConfig();
    scripted->state.total = 2 * kGB;
    MainForm->LoadGeneralPage();
    MainForm->LoadAdvancedPage();
    config().puts.clear();
    at::ClearRecords();
  }
  void TearDown() override { EXPECT_TRUE(at::MessageBoxes().empty()) << at::MessageBoxes()[0].Text; }

  static ScriptedConfig& config() { return scripted->config; }
  static ScriptedState& state() { return scripted->state; }
  static std::string Caption(ck::TCkLabel* label) { return label->Caption(); }

  static inline ScriptedEngine* scripted = nullptr;
};

}  // namespace

TEST_F(ScriptedPages, ALoadWritesBackExactlyWhatItsControlsMove) {
  config().AutoFreeTimer = 30000;        // half a minute: position 0, held at 1
  config().AutoCompressTimer = 900000;   // 15 minutes, beyond the slider's 10
  config().CPUProtectionValue = 150;     // beyond 100
  const int loads = config().loads;
  MainForm->LoadGeneralPage();
  EXPECT_EQ(config().loads, loads + 1);
  EXPECT_EQ(config().puts,
            (std::vector<std::string>{"AutoFreeTimer=60000", "AutoCompressTimer=600000", "CPUProtectionValue=100"}));
  EXPECT_EQ(Caption(MainForm->cklblMGAutoFreeTimerValue), "1 minute");
  EXPECT_EQ(Caption(MainForm->cklblMGMonitorIntervalValue), "10 minutes");
  EXPECT_EQ(Caption(MainForm->cklblMGCPUProtectionValue), "100%");

  // One and a half minutes rounds to 2; no period and no range are held at 1.
  config().puts.clear();
  config().SmartLearningTimer = 90000;
  config().SmartLearningPeriod = 0;
  config().SmartCPURange = 0;
  MainForm->LoadAdvancedPage();
  EXPECT_EQ(config().puts, (std::vector<std::string>{"SmartLearningTimer=120000", "SmartLearningPeriod=1",
                                                     "SmartCPURange=1"}));
  EXPECT_EQ(Caption(MainForm->cklblMASmartAnalyzerTimerValue), "2 minutes");
  EXPECT_EQ(Caption(MainForm->cklblMASmartAnalyzerPeriodValue), "1 day");
  EXPECT_EQ(Caption(MainForm->cklblMACPUAdjustmentRangeValue), "1 process");
}

TEST_F(ScriptedPages, MemorySlidersWorkInWholeMegabytesOfTheTotal) {
  // 2 GB: the stored 410 MB is 20 %, where the slider stands.
  EXPECT_EQ(MainForm->cktbMGLowValue->Position(), 20);
  EXPECT_EQ(Caption(MainForm->cklblMGLowValueValue), "410 MB");
  EXPECT_EQ(MainForm->cktbMGDefragSize->Position(), 50);
  EXPECT_EQ(Caption(MainForm->cklblMGDefragSizeValue), "1024 MB");

  // 8 GB: 60 % is 4915.2 MB, sent as 4915 MB, a count beyond 32 bits.
  state().total = 8 * kGB;
  MainForm->cktbMGLowValue->SetPosition(60);
  MainForm->cktbMGDefragSize->SetPosition(60);
  EXPECT_EQ(config().puts, (std::vector<std::string>{"AutoCompressAlarm=5153751040",
                                                     "AutoCompressExpectation=5153751040"}));
  EXPECT_EQ(Caption(MainForm->cklblMGLowValueValue), "4915 MB");

  // A stored size the slider rounds away shows as stored until it moves.
  config().puts.clear();
  config().AutoCompressAlarm = 60 * 8 * kGB / 100 + 40 * 1024 * 1024;  // 60.5 %: the slider stays on 60
  MainForm->LoadGeneralPage();
  EXPECT_EQ(Caption(MainForm->cklblMGLowValueValue), "4955 MB");
  EXPECT_TRUE(config().puts.empty());

  // No total at all: every percent is 0, and nothing divides by it.
  state().total = 0;
  MainForm->LoadGeneralPage();
  EXPECT_EQ(MainForm->cktbMGLowValue->Position(), 20);
  EXPECT_EQ(Caption(MainForm->cklblMGLowValueValue), "0 MB");
}
