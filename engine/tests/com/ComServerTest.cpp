// The real Tarnwick.dll as a client sees it: self-registration and removal,
// creation by class identifier and ProgID, the type library against the
// contract's member tables, IDispatch by name and by DISPID, unloading, and
// events delivered on the client's own thread. The DLL lies beside this
// executable; the tests register it in Wine's fresh prefix.
#include <windows.h>
#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "TarnwickLib.h"
#include "kit/Own.h"
#include "testsupport/Messages.h"
#include "tests/support/EventSink.h"

using tarnwick::test::EventSink;
using testsupport::HandleMessagesUntil;

namespace {

const wchar_t kAppId[] = L"{5DD1A170-3891-449F-BA7A-26529C8417D5}";

struct Class {
  const CLSID* clsid;
  const IID* iid;  // default interface
  std::wstring name;
};

const Class kClasses[] = {
    {&CLSID_MOMain, &__uuidof(IMOMain), L"MOMain"},
    {&CLSID_MOState, &__uuidof(IMOState), L"MOState"},
    {&CLSID_MODefrag, &__uuidof(IMODefrag), L"MODefrag"},
    {&CLSID_MOConfig, &__uuidof(IMOConfig), L"MOConfig"},
    {&CLSID_MOPagingFileItem, &__uuidof(IMOPagingFileItem), L"MOPagingFileItem"},
    {&CLSID_MOPagingFileList, &__uuidof(IMOPagingFileList), L"MOPagingFileList"},
    {&CLSID_MOSysTuneup, &__uuidof(IMOSysTuneup), L"MOSysTuneup"},
    {&CLSID_MOProcessItem, &__uuidof(IMOProcessItem), L"MOProcessItem"},
    {&CLSID_MOProcessList, &__uuidof(IMOProcessList), L"MOProcessList"},
    {&CLSID_MORulesList, &__uuidof(IMORulesList), L"MORulesList"},
    {&CLSID_MOSmartOpti, &__uuidof(IMOSmartOpti), L"MOSmartOpti"},
    {&CLSID_MOGameHelper, &__uuidof(IMOGameHelper), L"MOGameHelper"},
};

struct Member {
  DISPID id;
  const wchar_t* name;
  INVOKEKIND kind;
  const wchar_t* help;
  const wchar_t* signature;  // inputs, then "->" and the value of a get
};

struct InterfaceTable {
  const IID* iid;
  const wchar_t* name;
  std::vector<Member> members;
};

// The member tables of the engine contract, in slot order.
const InterfaceTable kInterfaces[] = {
    {&__uuidof(IMOMain), L"IMOMain", {
        {1, L"Name", INVOKE_PROPERTYGET, L"Name", L"->string"},
        {2, L"Description", INVOKE_PROPERTYGET, L"Description", L"->string"},
        {3, L"Author", INVOKE_PROPERTYGET, L"Author", L"->string"},
        {4, L"Company", INVOKE_PROPERTYGET, L"Company", L"->string"},
        {5, L"Version", INVOKE_PROPERTYGET, L"Version", L"->string"},
        {6, L"State", INVOKE_PROPERTYGET, L"State", L"->IMOState"},
        {7, L"config", INVOKE_PROPERTYGET, L"Config", L"->IMOConfig"},
        {8, L"BlackList", INVOKE_PROPERTYGET, L"Black List", L"->IMORulesList"},
        {9, L"WhiteList", INVOKE_PROPERTYGET, L"White List", L"->IMORulesList"},
        {10, L"SmartList", INVOKE_PROPERTYGET, L"Smart List", L"->IMORulesList"},
        {11, L"Defrag", INVOKE_PROPERTYGET, L"Memory Defrag", L"->IMODefrag"},
        {12, L"PagingFileList", INVOKE_PROPERTYGET, L"Paging File List", L"->IMOPagingFileList"},
        {13, L"SysTuneup", INVOKE_PROPERTYGET, L"System Tuneup", L"->IMOSysTuneup"},
        {14, L"ProcessList", INVOKE_PROPERTYGET, L"Process List", L"->IMOProcessList"},
        {15, L"SmartOpti", INVOKE_PROPERTYGET, L"Smart Optimizer", L"->IMOSmartOpti"},
        {16, L"GameHelper", INVOKE_PROPERTYGET, L"Game Helper", L"->IMOGameHelper"},
        {17, L"Open", INVOKE_FUNC, L"Open", L""},
        {18, L"Close", INVOKE_FUNC, L"Close", L""},
        {19, L"AutorunTask", INVOKE_FUNC, L"Autorun Task", L""},
        {20, L"RebootSystem", INVOKE_FUNC, L"Reboot System", L""},
    }},
    {&__uuidof(IMOState), L"IMOState", {
        {1, L"Refresh", INVOKE_FUNC, L"Refresh", L""},
        {2, L"CPUUsage", INVOKE_PROPERTYGET, L"CPU Usage (%)", L"byte->byte"},
        {3, L"MemoryState", INVOKE_PROPERTYGET, L"Memory State", L"->_MO_MEMORY_STATE"},
        {4, L"TotalPhysicalMemory", INVOKE_PROPERTYGET, L"Total Physical Memory (Byte)", L"->uint64"},
        {5, L"UsedPhysicalMemory", INVOKE_PROPERTYGET, L"Used Physical Memory (Byte)", L"->uint64"},
        {6, L"AvailPhysicalMemory", INVOKE_PROPERTYGET, L"Available Physical Memory (Byte)", L"->uint64"},
        {7, L"TotalPagingFile", INVOKE_PROPERTYGET, L"Total Paging File (Byte)", L"->uint64"},
        {8, L"UsedPagingFile", INVOKE_PROPERTYGET, L"Used Paging File (Byte)", L"->uint64"},
        {9, L"AvailPagingFile", INVOKE_PROPERTYGET, L"Available Paging File (Byte)", L"->uint64"},
        {10, L"ClipboardSize", INVOKE_PROPERTYGET, L"Clipboard Size", L"->ulong"},
    }},
    {&__uuidof(IMOConfig), L"IMOConfig", {
        {1, L"ManualCompressSize", INVOKE_PROPERTYGET, L"Manual Compress Size", L"->uint64"},
        {1, L"ManualCompressSize", INVOKE_PROPERTYPUT, L"Manual Compress Size", L"uint64"},
        {2, L"ManualCompressLevel", INVOKE_PROPERTYGET, L"Manual Compress Level", L"->byte"},
        {2, L"ManualCompressLevel", INVOKE_PROPERTYPUT, L"Manual Compress Level", L"byte"},
        {3, L"IsAutoCompress", INVOKE_PROPERTYGET, L"Is Auto Compress", L"->bool"},
        {3, L"IsAutoCompress", INVOKE_PROPERTYPUT, L"Is Auto Compress", L"bool"},
        {4, L"AutoCompressTimer", INVOKE_PROPERTYGET, L"Auto Compress Timer", L"->ulong"},
        {4, L"AutoCompressTimer", INVOKE_PROPERTYPUT, L"Auto Compress Timer", L"ulong"},
        {5, L"AutoCompressAlarm", INVOKE_PROPERTYGET, L"Auto Compress Alarm", L"->uint64"},
        {5, L"AutoCompressAlarm", INVOKE_PROPERTYPUT, L"Auto Compress Alarm", L"uint64"},
        {6, L"AutoCompressExpectation", INVOKE_PROPERTYGET, L"Auto Compress Expectation", L"->uint64"},
        {6, L"AutoCompressExpectation", INVOKE_PROPERTYPUT, L"Auto Compress Expectation", L"uint64"},
        {7, L"IsCPUProtection", INVOKE_PROPERTYGET, L"Is CPU Protection", L"->bool"},
        {7, L"IsCPUProtection", INVOKE_PROPERTYPUT, L"Is CPU Protection", L"bool"},
        {8, L"CPUProtectionValue", INVOKE_PROPERTYGET, L"CPU Protection Value", L"->byte"},
        {8, L"CPUProtectionValue", INVOKE_PROPERTYPUT, L"CPU Protection Value", L"byte"},
        {9, L"IsAutoFree", INVOKE_PROPERTYGET, L"Is Auto Free", L"->bool"},
        {9, L"IsAutoFree", INVOKE_PROPERTYPUT, L"Is Auto Free", L"bool"},
        {10, L"AutoFreeTimer", INVOKE_PROPERTYGET, L"Auto Free Timer", L"->ulong"},
        {10, L"AutoFreeTimer", INVOKE_PROPERTYPUT, L"Auto Free Timer", L"ulong"},
        {11, L"IsCheckBlackList", INVOKE_PROPERTYGET, L"Is Check Black List", L"->bool"},
        {11, L"IsCheckBlackList", INVOKE_PROPERTYPUT, L"Is Check Black List", L"bool"},
        {12, L"IsCheckWhiteList", INVOKE_PROPERTYGET, L"Is Check White List", L"->bool"},
        {12, L"IsCheckWhiteList", INVOKE_PROPERTYPUT, L"Is Check White List", L"bool"},
        {13, L"IsCheckSmartList", INVOKE_PROPERTYGET, L"Is Check Smart List", L"->bool"},
        {13, L"IsCheckSmartList", INVOKE_PROPERTYPUT, L"Is Check Smart List", L"bool"},
        {14, L"IsCheckIdleList", INVOKE_PROPERTYGET, L"Is Check Idle List", L"->bool"},
        {14, L"IsCheckIdleList", INVOKE_PROPERTYPUT, L"Is Check Idle List", L"bool"},
        {15, L"IsFreeOnceOnCPUIdle", INVOKE_PROPERTYGET, L"Is Free Once On CPU Idle", L"->bool"},
        {15, L"IsFreeOnceOnCPUIdle", INVOKE_PROPERTYPUT, L"Is Free Once On CPU Idle", L"bool"},
        {16, L"IsFreeOnceOnTimer", INVOKE_PROPERTYGET, L"Is Free Once On Timer", L"->bool"},
        {16, L"IsFreeOnceOnTimer", INVOKE_PROPERTYPUT, L"Is Free Once On Timer", L"bool"},
        {17, L"FreeOnceOnTimer", INVOKE_PROPERTYGET, L"Free Once On Timer", L"->ulong"},
        {17, L"FreeOnceOnTimer", INVOKE_PROPERTYPUT, L"Free Once On Timer", L"ulong"},
        {18, L"IsSmartLearning", INVOKE_PROPERTYGET, L"Is Smart Learning", L"->bool"},
        {18, L"IsSmartLearning", INVOKE_PROPERTYPUT, L"Is Smart Learning", L"bool"},
        {19, L"SmartLearningTimer", INVOKE_PROPERTYGET, L"Smart Learning Timer", L"->ulong"},
        {19, L"SmartLearningTimer", INVOKE_PROPERTYPUT, L"Smart Learning Timer", L"ulong"},
        {20, L"SmartLearningRecord", INVOKE_PROPERTYGET, L"Smart Learning Record", L"->byte"},
        {20, L"SmartLearningRecord", INVOKE_PROPERTYPUT, L"Smart Learning Record", L"byte"},
        {21, L"SmartLearningPeriod", INVOKE_PROPERTYGET, L"Smart Learning Period", L"->byte"},
        {21, L"SmartLearningPeriod", INVOKE_PROPERTYPUT, L"Smart Learning Period", L"byte"},
        {22, L"IsSmartCPU", INVOKE_PROPERTYGET, L"Is Smart CPU", L"->bool"},
        {22, L"IsSmartCPU", INVOKE_PROPERTYPUT, L"Is Smart CPU", L"bool"},
        {23, L"SmartCPURange", INVOKE_PROPERTYGET, L"Smart CPU Range", L"->byte"},
        {23, L"SmartCPURange", INVOKE_PROPERTYPUT, L"Smart CPU Range", L"byte"},
        {24, L"IsAutorun", INVOKE_PROPERTYGET, L"Is Autorun", L"->bool"},
        {24, L"IsAutorun", INVOKE_PROPERTYPUT, L"Is Autorun", L"bool"},
        {25, L"IsShowTrayIcon", INVOKE_PROPERTYGET, L"Is Show Tray Icon", L"->bool"},
        {25, L"IsShowTrayIcon", INVOKE_PROPERTYPUT, L"Is Show Tray Icon", L"bool"},
        {26, L"IsMinimizeToTray", INVOKE_PROPERTYGET, L"Is Minimize To Tray", L"->bool"},
        {26, L"IsMinimizeToTray", INVOKE_PROPERTYPUT, L"Is Minimize To Tray", L"bool"},
        {27, L"IsCloseToTray", INVOKE_PROPERTYGET, L"Is Close To Tray", L"->bool"},
        {27, L"IsCloseToTray", INVOKE_PROPERTYPUT, L"Is Close To Tray", L"bool"},
        {28, L"IsShowNotificationInTray", INVOKE_PROPERTYGET, L"Is Show Notification In Tray", L"->bool"},
        {28, L"IsShowNotificationInTray", INVOKE_PROPERTYPUT, L"Is Show Notification In Tray", L"bool"},
        {29, L"IsUseFreeMemoryNowHotKey", INVOKE_PROPERTYGET, L"Is Use Free Memory Now HotKey", L"->bool"},
        {29, L"IsUseFreeMemoryNowHotKey", INVOKE_PROPERTYPUT, L"Is Use Free Memory Now HotKey", L"bool"},
        {30, L"FreeMemoryNowHotKey", INVOKE_PROPERTYGET, L"Free Memory Now HotKey", L"->ulong"},
        {30, L"FreeMemoryNowHotKey", INVOKE_PROPERTYPUT, L"Free Memory Now HotKey", L"ulong"},
        {31, L"MemoryGraphRefreshTimer", INVOKE_PROPERTYGET, L"Memory Graph Refresh Timer", L"->ulong"},
        {31, L"MemoryGraphRefreshTimer", INVOKE_PROPERTYPUT, L"Memory Graph Refresh Timer", L"ulong"},
        {32, L"ProcessListRefreshTimer", INVOKE_PROPERTYGET, L"Process List Refresh Timer", L"->ulong"},
        {32, L"ProcessListRefreshTimer", INVOKE_PROPERTYPUT, L"Process List Refresh Timer", L"ulong"},
        {33, L"ConfigItem", INVOKE_PROPERTYGET, L"Config Item", L"string,string->string"},
        {33, L"ConfigItem", INVOKE_PROPERTYPUT, L"Config Item", L"string,string,string"},
        {34, L"Load", INVOKE_FUNC, L"Load Config", L""},
        {35, L"Save", INVOKE_FUNC, L"Save Config", L"_MO_CONFIG_SETTINGS"},
        {36, L"Recommend", INVOKE_FUNC, L"Recommend", L"_MO_CONFIG_SETTINGS"},
    }},
    {&__uuidof(IMORulesList), L"IMORulesList", {
        {1, L"Item", INVOKE_PROPERTYGET, L"Item", L"ulong->string"},
        {2, L"ItemCount", INVOKE_PROPERTYGET, L"Item Count", L"->ulong"},
        {3, L"IsInList", INVOKE_PROPERTYGET, L"Is In List", L"string->bool"},
        {4, L"AddItem", INVOKE_FUNC, L"Add Item", L"string"},
        {5, L"RemoveItem", INVOKE_FUNC, L"Remove Item", L"string"},
        {6, L"Clear", INVOKE_FUNC, L"Clear List", L""},
        {7, L"Refresh", INVOKE_FUNC, L"Refresh List", L""},
    }},
    {&__uuidof(IMODefrag), L"IMODefrag", {
        {1, L"FastFree", INVOKE_FUNC, L"Fast Free", L"bool"},
        {2, L"DeepCompress", INVOKE_FUNC, L"Deep Compress", L""},
        {3, L"BreakOutFromDeepCompress", INVOKE_FUNC, L"Break Out From Deep Compress", L""},
        {4, L"CleanClipboard", INVOKE_FUNC, L"Clean Clipboard", L""},
    }},
    {&__uuidof(IMOPagingFileList), L"IMOPagingFileList", {
        {1, L"ItemCount", INVOKE_PROPERTYGET, L"Item Count", L"->ulong"},
        {2, L"IsAutomation", INVOKE_PROPERTYGET, L"Is Automation", L"->bool"},
        {2, L"IsAutomation", INVOKE_PROPERTYPUT, L"Is Automation", L"bool"},
        {3, L"PagingFileItemByIndex", INVOKE_PROPERTYGET, L"Paging File Item By Index", L"ulong->IMOPagingFileItem"},
        {4, L"PagingFileItemByDrive", INVOKE_PROPERTYGET, L"Paging File Item By Drive", L"string->IMOPagingFileItem"},
        {5, L"Load", INVOKE_FUNC, L"Load", L""},
        {6, L"Save", INVOKE_FUNC, L"Save", L""},
    }},
    {&__uuidof(IMOPagingFileItem), L"IMOPagingFileItem", {
        {1, L"IsNoPagingFile", INVOKE_PROPERTYGET, L"Is No Paging File", L"->bool"},
        {1, L"IsNoPagingFile", INVOKE_PROPERTYPUT, L"Is No Paging File", L"bool"},
        {2, L"IsSystemManagedSize", INVOKE_PROPERTYGET, L"Is System Managed Size", L"->bool"},
        {2, L"IsSystemManagedSize", INVOKE_PROPERTYPUT, L"Is System Managed Size", L"bool"},
        {3, L"IsCustomSize", INVOKE_PROPERTYGET, L"Is CustomSize", L"->bool"},
        {3, L"IsCustomSize", INVOKE_PROPERTYPUT, L"Is CustomSize", L"bool"},
        {4, L"Drive", INVOKE_PROPERTYGET, L"Drive", L"->string"},
        {5, L"MinSize", INVOKE_PROPERTYGET, L"Minimum Size", L"->ulong"},
        {5, L"MinSize", INVOKE_PROPERTYPUT, L"Minimum Size", L"ulong"},
        {6, L"MaxSize", INVOKE_PROPERTYGET, L"Maximum Size", L"->ulong"},
        {6, L"MaxSize", INVOKE_PROPERTYPUT, L"Maximum Size", L"ulong"},
        {7, L"AvailableSpace", INVOKE_PROPERTYGET, L"Available Space", L"->uint64"},
        {8, L"TotalSpace", INVOKE_PROPERTYGET, L"Total Space", L"->uint64"},
        {9, L"VolumeName", INVOKE_PROPERTYGET, L"Volume Name", L"->string"},
    }},
    {&__uuidof(IMOSysTuneup), L"IMOSysTuneup", {
        {1, L"LargeSystemCache", INVOKE_PROPERTYGET, L"LargeSystemCache", L"->bool"},
        {1, L"LargeSystemCache", INVOKE_PROPERTYPUT, L"LargeSystemCache", L"bool"},
        {2, L"DisablePagingExecutive", INVOKE_PROPERTYGET, L"DisablePagingExecutive", L"->bool"},
        {2, L"DisablePagingExecutive", INVOKE_PROPERTYPUT, L"DisablePagingExecutive", L"bool"},
        {3, L"AlwaysUnloadDll", INVOKE_PROPERTYGET, L"AlwaysUnloadDll", L"->bool"},
        {3, L"AlwaysUnloadDll", INVOKE_PROPERTYPUT, L"AlwaysUnloadDll", L"bool"},
        {4, L"MaxCachedIcons", INVOKE_PROPERTYGET, L"MaxCachedIcons", L"->ulong"},
        {4, L"MaxCachedIcons", INVOKE_PROPERTYPUT, L"MaxCachedIcons", L"ulong"},
        {5, L"FileNameCache", INVOKE_PROPERTYGET, L"FileNameCache", L"->ulong"},
        {5, L"FileNameCache", INVOKE_PROPERTYPUT, L"FileNameCache", L"ulong"},
        {6, L"PathCache", INVOKE_PROPERTYGET, L"PathCache", L"->ulong"},
        {6, L"PathCache", INVOKE_PROPERTYPUT, L"PathCache", L"ulong"},
        {7, L"ContigFileAllocSize", INVOKE_PROPERTYGET, L"ContigFileAllocSize", L"->ulong"},
        {7, L"ContigFileAllocSize", INVOKE_PROPERTYPUT, L"ContigFileAllocSize", L"ulong"},
        {8, L"VisualFXSetting", INVOKE_PROPERTYGET, L"VisualFXSetting", L"->_MO_VISUAL_EFFECTS"},
        {8, L"VisualFXSetting", INVOKE_PROPERTYPUT, L"VisualFXSetting", L"_MO_VISUAL_EFFECTS"},
        {9, L"Win32PrioritySeparation", INVOKE_PROPERTYGET, L"Win32PrioritySeparation", L"->_MO_CPU_PRIORITY_SEPARATION"},
        {9, L"Win32PrioritySeparation", INVOKE_PROPERTYPUT, L"Win32PrioritySeparation", L"_MO_CPU_PRIORITY_SEPARATION"},
        {10, L"AdditionalWorkerThreads", INVOKE_PROPERTYGET, L"AdditionalWorkerThreads", L"->bool"},
        {10, L"AdditionalWorkerThreads", INVOKE_PROPERTYPUT, L"AdditionalWorkerThreads", L"bool"},
        {11, L"NtfsOptimization", INVOKE_PROPERTYGET, L"NtfsOptimization", L"->bool"},
        {11, L"NtfsOptimization", INVOKE_PROPERTYPUT, L"NtfsOptimization", L"bool"},
        {12, L"EnableUDMA66", INVOKE_PROPERTYGET, L"EnableUDMA66", L"->bool"},
        {12, L"EnableUDMA66", INVOKE_PROPERTYPUT, L"EnableUDMA66", L"bool"},
        {13, L"IsNeedReboot", INVOKE_PROPERTYGET, L"Is Need Reboot", L"->bool"},
        {14, L"LoadSettings", INVOKE_FUNC, L"Load Settings", L""},
        {15, L"SaveSettings", INVOKE_FUNC, L"Save Settings", L""},
        {16, L"Recommend", INVOKE_FUNC, L"Recommend", L""},
    }},
    {&__uuidof(IMOProcessList), L"IMOProcessList", {
        {1, L"Refresh", INVOKE_FUNC, L"Refresh Process List", L""},
        {2, L"NewProcess", INVOKE_FUNC, L"New Process", L"string,string"},
        {3, L"ProcessCount", INVOKE_PROPERTYGET, L"Process Count", L"->ulong"},
        {4, L"ProcessItemByIndex", INVOKE_PROPERTYGET, L"Process Item By Index", L"ulong->IMOProcessItem"},
        {5, L"ProcessItemByID", INVOKE_PROPERTYGET, L"Process Item By ID", L"ulong->IMOProcessItem"},
    }},
    {&__uuidof(IMOProcessItem), L"IMOProcessItem", {
        {1, L"Index", INVOKE_PROPERTYGET, L"Index", L"->ulong"},
        {2, L"ProcessID", INVOKE_PROPERTYGET, L"Process ID", L"->ulong"},
        {3, L"ProcessHandle", INVOKE_PROPERTYGET, L"Process Handle", L"->ulong"},
        {4, L"ProcessCPU", INVOKE_PROPERTYGET, L"Process CPU", L"->byte"},
        {5, L"ProcessPriority", INVOKE_PROPERTYGET, L"Process Priority", L"->_MO_PROCESS_PRIORIT"},
        {5, L"ProcessPriority", INVOKE_PROPERTYPUT, L"Process Priority", L"_MO_PROCESS_PRIORIT"},
        {6, L"ProcessName", INVOKE_PROPERTYGET, L"Process Name", L"->string"},
        {7, L"ProcessPath", INVOKE_PROPERTYGET, L"Process Path", L"->string"},
        {8, L"ProcessMemory", INVOKE_PROPERTYGET, L"Process Memory", L"->uint64"},
        {9, L"ProcessIcon", INVOKE_PROPERTYGET, L"Process Icon", L"->IPictureDisp"},
        {10, L"ProcessIconIndex", INVOKE_PROPERTYGET, L"Process Icon Index", L"->ulong"},
        {11, L"Terminate", INVOKE_FUNC, L"Terminate", L""},
        {12, L"FreeMemory", INVOKE_FUNC, L"FreeMemory", L""},
    }},
    {&__uuidof(IMOSmartOpti), L"IMOSmartOpti", {
        {1, L"UpdateSmartList", INVOKE_FUNC, L"Update Smart List", L""},
        {2, L"ResetSmartLearning", INVOKE_FUNC, L"Reset Smart Learning", L""},
        {3, L"ResetCPUList", INVOKE_FUNC, L"Reset CPU List", L""},
    }},
    {&__uuidof(IMOGameHelper), L"IMOGameHelper", {
        {1, L"GameModeState", INVOKE_PROPERTYGET, L"GameMode State", L"->_MO_GAME_MODE_STATE"},
        {2, L"HighMemoryCount", INVOKE_PROPERTYGET, L"High Memory Process Count", L"->ulong"},
        {3, L"HighMemoryIndex", INVOKE_PROPERTYGET, L"High Memory Process Index", L"ulong->ulong"},
        {4, L"KillExplorer", INVOKE_FUNC, L"Kill Explorer.exe Process", L""},
        {5, L"RestoreExplorer", INVOKE_FUNC, L"Restore Explorer.exe Process", L""},
        {6, L"PreGameMode", INVOKE_FUNC, L"Prepare GameMode", L""},
        {7, L"EndGameMode", INVOKE_FUNC, L"End GameMode", L""},
        {8, L"StartGameMode", INVOKE_FUNC, L"Start GameMode", L"string,string,bool"},
    }},
    {&DIID__IMOMainEvents, L"_IMOMainEvents", {
        {1, L"OnDeepCompressProgress", INVOKE_FUNC, L"On Compress Progress", L"byte"},
        {2, L"OnFastFreeProgress", INVOKE_FUNC, L"On Free Progress", L"byte"},
        {3, L"OnProcessNew", INVOKE_FUNC, L"On Process New", L"ulong,ulong"},
        {4, L"OnProcessExit", INVOKE_FUNC, L"On Process Exit", L"ulong,ulong"},
        {5, L"OnSmartCPUTune", INVOKE_FUNC, L"On Smart CPU Priority Up", L"ulong,bool"},
        {6, L"OnSwitchGameModeState", INVOKE_FUNC, L"On Switch Game Mode State", L"_MO_GAME_MODE_STATE"},
        {7, L"OnFailToGameMode", INVOKE_FUNC, L"On Fail To Game Mode", L""},
    }},
};

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring DllPath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.rfind(L'\\') + 1) + L"Tarnwick.dll";
}

struct Server {
  HMODULE dll = nullptr;
  HRESULT(STDAPICALLTYPE* registerServer)() = nullptr;
  HRESULT(STDAPICALLTYPE* unregisterServer)() = nullptr;
  HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
  HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
};

template <class F>
F Export(HMODULE dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

// Loaded once and kept loaded; COM loads the same file from its registration.
const Server& TheServer() {
  static Server server = [] {
    Server s;
    s.dll = LoadLibraryW(DllPath().c_str());
    if (s.dll) {
      s.registerServer = Export<decltype(s.registerServer)>(s.dll, "DllRegisterServer");
      s.unregisterServer =
          Export<decltype(s.unregisterServer)>(s.dll, "DllUnregisterServer");
      s.canUnloadNow = Export<decltype(s.canUnloadNow)>(s.dll, "DllCanUnloadNow");
      s.getClassObject = Export<decltype(s.getClassObject)>(s.dll, "DllGetClassObject");
    }
    return s;
  }();
  return server;
}

bool Has(const std::wstring& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

// The text of a value below HKEY_CLASSES_ROOT; "<none>" when missing.
std::wstring Text(const std::wstring& key, const wchar_t* value = nullptr) {
  wchar_t buffer[MAX_PATH * 2] = {};
  DWORD size = sizeof(buffer);
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return L"<none>";
  }
  return buffer;
}

std::wstring Lower(std::wstring text) {
  CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::wstring Prefix(const Class& c) { return c.name == L"MOPagingFileItem" ? L"Quillon." : L"Tarnwick."; }

class ComServer : public ::testing::Test {
 protected:
  void SetUp() override {
    const Server& server = TheServer();
    ASSERT_NE(nullptr, server.dll) << "Tarnwick.dll must lie beside the test";
    ASSERT_NE(nullptr, server.registerServer);
    ASSERT_NE(nullptr, server.unregisterServer);
    ASSERT_NE(nullptr, server.canUnloadNow);
    ASSERT_NE(nullptr, server.getClassObject);
    ASSERT_EQ(S_OK, server.registerServer());
  }

  IMOMain* CreateMain() {
    CLSID clsid = {};
    EXPECT_EQ(S_OK, CLSIDFromProgID(L"Tarnwick.MOMain", &clsid));
    IMOMain* main = nullptr;
    EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IMOMain),
                                     reinterpret_cast<void**>(&main)));
    return main;
  }

  kit::Apartment apartment_;
};

// A property get or method through IDispatch::Invoke.
HRESULT Call(IDispatch* object, DISPID id, WORD flags, VARIANT* result) {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VariantInit(result);
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &none, result, nullptr, nullptr);
}

// Type names as the tables write them.
std::wstring TypeName(ITypeInfo* owner, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_PTR: return TypeName(owner, *type.lptdesc);
    case VT_UI1: return L"byte";
    case VT_UI4: return L"ulong";
    case VT_UI8: return L"uint64";
    case VT_BOOL: return L"bool";
    case VT_BSTR: return L"string";
    case VT_USERDEFINED: {
      ITypeInfo* referenced = nullptr;
      if (FAILED(owner->GetRefTypeInfo(type.hreftype, &referenced))) return L"?";
      BSTR name = nullptr;
      referenced->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
      std::wstring text = name ? name : L"?";
      SysFreeString(name);
      referenced->Release();
      return text;
    }
    default: return L"vt" + std::to_wstring(type.vt);
  }
}

std::wstring Signature(ITypeInfo* info, const FUNCDESC& func) {
  std::wstring inputs;
  std::wstring value;
  for (SHORT i = 0; i < func.cParams; ++i) {
    const ELEMDESC& param = func.lprgelemdescParam[i];
    std::wstring name = TypeName(info, param.tdesc);
    if (param.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) {
      value = name;
    } else {
      inputs += (inputs.empty() ? L"" : L",") + name;
    }
  }
  return func.invkind == INVOKE_PROPERTYGET ? inputs + L"->" + value : inputs;
}

void ThreadsOfThisProcess(std::set<DWORD>* ids) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ids->insert(entry.th32ThreadID);
  }
  CloseHandle(snapshot);
}

}  // namespace

TEST_F(ComServer, RegistrationWritesEveryKeyOfEveryClass) {
  const std::wstring dll = Lower(DllPath());
  const std::wstring library = GuidText(LIBID_TarnwickLib);
  for (const Class& c : kClasses) {
    SCOPED_TRACE(c.name);
    const std::wstring id = GuidText(*c.clsid);
    const std::wstring text = c.name + L" Class";
    const std::wstring progId = Prefix(c) + c.name;
    EXPECT_EQ(text, Text(progId + L".1"));
    EXPECT_EQ(id, Text(progId + L".1\\CLSID"));
    EXPECT_EQ(text, Text(progId));
    EXPECT_EQ(id, Text(progId + L"\\CLSID"));
    EXPECT_EQ(progId + L".1", Text(progId + L"\\CurVer"));
    const std::wstring key = L"CLSID\\" + id;
    EXPECT_EQ(text, Text(key));
    EXPECT_EQ(progId + L".1", Text(key + L"\\ProgID"));
    EXPECT_EQ(progId, Text(key + L"\\VersionIndependentProgID"));
    EXPECT_TRUE(Has(key + L"\\Programmable"));
    EXPECT_EQ(dll, Lower(Text(key + L"\\InprocServer32")));
    EXPECT_EQ(L"Apartment", Text(key + L"\\InprocServer32", L"ThreadingModel"));
    EXPECT_EQ(library, Text(key + L"\\TypeLib"));
    EXPECT_EQ(c.name == L"MOPagingFileItem" ? L"<none>" : kAppId, Text(key, L"AppID"));
  }
  EXPECT_FALSE(Has(L"Tarnwick.MOPagingFileItem"));
  EXPECT_EQ(L"Tarnwick", Text(std::wstring(L"AppID\\") + kAppId));
  EXPECT_EQ(kAppId, Text(L"AppID\\Tarnwick.DLL", L"AppID"));

  // The type library is registered from the DLL's own resource.
  BSTR path = nullptr;
  ASSERT_EQ(S_OK, QueryPathOfRegTypeLib(LIBID_TarnwickLib, 2, 0, 0x409, &path));
  EXPECT_EQ(dll, Lower(path));
  SysFreeString(path);
}

TEST_F(ComServer, ProgIdsResolveToTheirClasses) {
  EXPECT_EQ(L"Tarnwick.MOMain.1", Text(L"Tarnwick.MOMain\\CurVer"));
  CLSID clsid = {};
  ASSERT_EQ(S_OK, CLSIDFromProgID(L"Tarnwick.MOMain", &clsid));
  EXPECT_TRUE(IsEqualCLSID(CLSID_MOMain, clsid));
  ASSERT_EQ(S_OK, CLSIDFromProgID(Text(L"Tarnwick.MOMain\\CurVer").c_str(), &clsid));
  EXPECT_TRUE(IsEqualCLSID(CLSID_MOMain, clsid));
  ASSERT_EQ(S_OK, CLSIDFromProgID(L"Quillon.MOPagingFileItem", &clsid));
  EXPECT_TRUE(IsEqualCLSID(CLSID_MOPagingFileItem, clsid));
  EXPECT_EQ(CO_E_CLASSSTRING, CLSIDFromProgID(L"Tarnwick.MOPagingFileItem", &clsid));
  LPOLESTR progId = nullptr;
  ASSERT_EQ(S_OK, ProgIDFromCLSID(CLSID_MOState, &progId));
  EXPECT_STREQ(L"Tarnwick.MOState.1", progId);
  CoTaskMemFree(progId);
}

TEST_F(ComServer, RegistrationRewritesTheClassKey) {
  const std::wstring stale = L"CLSID\\" + GuidText(CLSID_MOMain) + L"\\Stale";
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, stale.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &key, nullptr));
  RegCloseKey(key);
  ASSERT_EQ(S_OK, TheServer().registerServer());
  EXPECT_FALSE(Has(stale));
}

TEST_F(ComServer, UnregistrationRemovesEverythingButTheParentKeys) {
  ASSERT_EQ(S_OK, TheServer().unregisterServer());
  for (const Class& c : kClasses) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(Has(Prefix(c) + c.name + L".1"));
    EXPECT_FALSE(Has(Prefix(c) + c.name));
    EXPECT_FALSE(Has(L"CLSID\\" + GuidText(*c.clsid)));
  }
  EXPECT_FALSE(Has(std::wstring(L"AppID\\") + kAppId));
  EXPECT_FALSE(Has(L"AppID\\Tarnwick.DLL"));
  EXPECT_FALSE(Has(L"TypeLib\\" + GuidText(LIBID_TarnwickLib) + L"\\2.0"));
  EXPECT_TRUE(Has(L"CLSID"));
  EXPECT_TRUE(Has(L"AppID"));
  EXPECT_TRUE(Has(L"TypeLib"));
  IMOMain* main = nullptr;
  EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_MOMain, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IMOMain),
                                                  reinterpret_cast<void**>(&main)));
  EXPECT_EQ(S_OK, TheServer().unregisterServer());  // nothing left to remove
  ASSERT_EQ(S_OK, TheServer().registerServer());
}

TEST_F(ComServer, EveryClassIsCreatedByItsClassIdAndMainByProgId) {
  for (const Class& c : kClasses) {
    IUnknown* object = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, *c.iid, reinterpret_cast<void**>(&object)))
        << c.name;
    object->Release();
  }
  IMOMain* main = CreateMain();
  ASSERT_NE(nullptr, main);
  main->Release();

  IClassFactory* factory = nullptr;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
            TheServer().getClassObject(LIBID_TarnwickLib, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
}

TEST_F(ComServer, TheTypeLibraryMatchesTheContractTables) {
  wchar_t libraryName[32] = {};
  EXPECT_EQ(8, LoadStringW(TheServer().dll, 100, libraryName, 32));
  EXPECT_STREQ(L"Tarnwick", libraryName);

  ITypeLib* library = nullptr;
  ASSERT_EQ(S_OK, LoadTypeLibEx(DllPath().c_str(), REGKIND_NONE, &library));
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(S_OK, library->GetLibAttr(&attr));
  EXPECT_TRUE(IsEqualGUID(LIBID_TarnwickLib, attr->guid));
  EXPECT_EQ(2, attr->wMajorVerNum);
  EXPECT_EQ(0, attr->wMinorVerNum);
  EXPECT_EQ(0x409u, attr->lcid);
  library->ReleaseTLibAttr(attr);

  for (const InterfaceTable& table : kInterfaces) {
    SCOPED_TRACE(table.name);
    ITypeInfo* info = nullptr;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(*table.iid, &info));
    // A dual interface's own slots live in its vtable view.
    HREFTYPE vtableView = 0;
    if (SUCCEEDED(info->GetRefTypeOfImplType(-1, &vtableView))) {
      ITypeInfo* vtable = nullptr;
      ASSERT_EQ(S_OK, info->GetRefTypeInfo(vtableView, &vtable));
      info->Release();
      info = vtable;
    }
    TYPEATTR* type = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&type));
    std::vector<const FUNCDESC*> funcs;
    for (UINT i = 0; i < type->cFuncs; ++i) {
      FUNCDESC* func = nullptr;
      ASSERT_EQ(S_OK, info->GetFuncDesc(i, &func));
      funcs.push_back(func);
    }
    // The dispinterface also lists what it inherits; skip those.
    size_t first = funcs.size() - table.members.size();
    ASSERT_GE(funcs.size(), table.members.size());
    for (size_t i = 0; i < table.members.size(); ++i) {
      const Member& expected = table.members[i];
      const FUNCDESC* func = funcs[first + i];
      BSTR name = nullptr;
      BSTR help = nullptr;
      info->GetDocumentation(func->memid, &name, &help, nullptr, nullptr);
      EXPECT_STREQ(expected.name, name) << "slot " << i;
      EXPECT_EQ(expected.id, func->memid) << expected.name;
      EXPECT_EQ(expected.kind, func->invkind) << expected.name;
      EXPECT_STREQ(expected.help, help) << expected.name;
      EXPECT_EQ(std::wstring(expected.signature), Signature(info, *func)) << expected.name;
      SysFreeString(name);
      SysFreeString(help);
    }
    for (const FUNCDESC* func : funcs) info->ReleaseFuncDesc(const_cast<FUNCDESC*>(func));
    info->ReleaseTypeAttr(type);
    info->Release();
  }
  library->Release();
}

TEST_F(ComServer, DispatchByNameAndByDispid) {
  for (const Class& c : kClasses) {
    SCOPED_TRACE(c.name);
    IDispatch* object = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                     reinterpret_cast<void**>(&object)));
    const InterfaceTable* table = nullptr;
    for (const InterfaceTable& t : kInterfaces) {
      if (IsEqualIID(*t.iid, *c.iid)) table = &t;
    }
    ASSERT_NE(nullptr, table);
    for (const Member& member : table->members) {
      LPOLESTR name = const_cast<LPOLESTR>(member.name);
      DISPID id = 0;
      ASSERT_EQ(S_OK, object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)) << member.name;
      EXPECT_EQ(member.id, id) << member.name;
    }
    object->Release();
  }

  IMOMain* main = CreateMain();
  ASSERT_NE(nullptr, main);
  const wchar_t* identification[] = {L"Tarnwick", L"Memory Optimization Component", L"Tam.R", L"NORVAC", L"2.1.0.0"};
  for (DISPID id = 1; id <= 5; ++id) {
    VARIANT result;
    ASSERT_EQ(S_OK, Call(main, id, DISPATCH_PROPERTYGET, &result));
    ASSERT_EQ(VT_BSTR, result.vt);
    EXPECT_STREQ(identification[id - 1], result.bstrVal);
    VariantClear(&result);
  }
  LPOLESTR version = const_cast<LPOLESTR>(L"VERSION");  // names are not case-sensitive
  DISPID id = 0;
  ASSERT_EQ(S_OK, main->GetIDsOfNames(IID_NULL, &version, 1, LOCALE_USER_DEFAULT, &id));
  EXPECT_EQ(5, id);
  for (DISPID property = 6; property <= 16; ++property) {
    VARIANT result;
    ASSERT_EQ(S_OK, Call(main, property, DISPATCH_PROPERTYGET, &result)) << property;
    EXPECT_EQ(VT_DISPATCH, result.vt) << property;
    EXPECT_NE(nullptr, result.pdispVal) << property;
    VariantClear(&result);
  }
  VARIANT result;
  EXPECT_EQ(S_OK, Call(main, 17, DISPATCH_METHOD, &result));  // Open
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Call(main, 21, DISPATCH_METHOD, &result));
  EXPECT_EQ(S_OK, Call(main, 18, DISPATCH_METHOD, &result));  // Close
  main->Release();
}

TEST_F(ComServer, UnloadIsAllowedOnlyAfterTheLastRelease) {
  ASSERT_EQ(S_OK, TheServer().canUnloadNow());
  IMOMain* main = CreateMain();
  ASSERT_NE(nullptr, main);
  EXPECT_EQ(S_FALSE, TheServer().canUnloadNow());

  // Sub-objects are MOMain's: releasing them as often as they were handed
  // out leaves them alive and usable.
  IMOState* state = nullptr;
  for (int i = 0; i < 3; ++i) ASSERT_EQ(S_OK, main->get_State(&state));
  for (int i = 0; i < 3; ++i) state->Release();
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(S_OK, state->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
  LPOLESTR name = const_cast<LPOLESTR>(L"MemoryState");
  DISPID id = 0;
  EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
  dispatch->Release();
  IMOState* again = nullptr;
  ASSERT_EQ(S_OK, main->get_State(&again));
  EXPECT_EQ(state, again);
  again->Release();

  EXPECT_EQ(S_FALSE, TheServer().canUnloadNow());
  EXPECT_EQ(0u, main->Release());
  EXPECT_EQ(S_OK, TheServer().canUnloadNow());
}

// The whole road through the real DLL: a single-threaded client connects,
// opens, and events posted to the engine's pump reach it in order on its
// own thread. The pump's thread is found as a thread the engine started;
// posts to any other such thread find no queue or are ignored.
TEST_F(ComServer, PostedEventsReachTheClientThreadInOrder) {
  std::set<DWORD> before;
  ThreadsOfThisProcess(&before);
  IMOMain* main = CreateMain();
  ASSERT_NE(nullptr, main);
  std::set<DWORD> after;
  ThreadsOfThisProcess(&after);
  std::vector<DWORD> started;
  for (DWORD id : after) {
    if (!before.count(id)) started.push_back(id);
  }
  ASSERT_FALSE(started.empty());

  IConnectionPointContainer* container = nullptr;
  ASSERT_EQ(S_OK, main->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
  IConnectionPoint* point = nullptr;
  ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID__IMOMainEvents, &point));
  auto* sink = new EventSink;
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, point->Advise(sink, &cookie));
  // Only the posts below may produce progress and process events: no
  // automatic free or compress, and no refresh that could see a real process.
  IMOConfig* config = nullptr;
  ASSERT_EQ(S_OK, main->get_config(&config));
  config->put_IsAutoCompress(VARIANT_FALSE);
  config->put_IsAutoFree(VARIANT_FALSE);
  config->Release();

  std::thread worker([&started] {
    for (DWORD thread : started) {
      PostThreadMessageW(thread, 0x807, 0, 0);
      PostThreadMessageW(thread, 0x807, 50, 0);
      PostThreadMessageW(thread, 0x808, 2, 777);
      PostThreadMessageW(thread, 0x807, 100, 0);
    }
  });
  worker.join();
  // The CPU adjustment may report foreground changes meanwhile; only the
  // progress and process events are ours.
  auto ours = [&] {
    std::vector<tarnwick::test::RecordedEvent> mine;
    for (const auto& event : sink->Events()) {
      if (event.id == 2 || event.id == 3) mine.push_back(event);
    }
    return mine;
  };
  ASSERT_TRUE(HandleMessagesUntil([&] { return ours().size() >= 4; }));
  std::vector<tarnwick::test::RecordedEvent> events = ours();
  ASSERT_EQ(4u, events.size());
  const DISPID ids[] = {2, 2, 3, 2};
  const std::vector<LONGLONG> values[] = {{0}, {50}, {2, 777}, {100}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(ids[i], events[i].id);
    EXPECT_EQ(values[i], events[i].values);
    EXPECT_EQ(GetCurrentThreadId(), events[i].thread);
  }

  EXPECT_EQ(S_OK, main->Close());
  const size_t atClose = sink->Count();
  for (DWORD thread : started) PostThreadMessageW(thread, 0x807, 1, 0);
  testsupport::HandleMessages();
  EXPECT_EQ(atClose, sink->Count());
  EXPECT_EQ(S_OK, point->Unadvise(cookie));
  point->Release();
  container->Release();
  main->Release();
  sink->Release();
}

// ===== Freeing memory through the real DLL =====================================

namespace {

// The progress values of event `id` that the sink has received, in order.
std::vector<LONGLONG> ProgressOf(EventSink& sink, DISPID id) {
  std::vector<LONGLONG> values;
  for (const tarnwick::test::RecordedEvent& event : sink.Events()) {
    if (event.id == id && event.values.size() == 1) values.push_back(event.values[0]);
  }
  return values;
}

bool EndsWith100(EventSink& sink, DISPID id) {
  std::vector<LONGLONG> values = ProgressOf(sink, id);
  return !values.empty() && values.back() == 100;
}

// A client connected to a new engine whose automatic threads and processor
// protection are off (in memory only), so that only its own requests run.
struct FreeingClient {
  IMOMain* main = nullptr;
  IMODefrag* defrag = nullptr;
  IConnectionPoint* point = nullptr;
  EventSink* sink = new EventSink;
  DWORD cookie = 0;

  explicit FreeingClient(IMOMain* created) : main(created) {
    IMOConfig* config = nullptr;
    EXPECT_EQ(S_OK, main->get_config(&config));
    config->put_IsAutoCompress(VARIANT_FALSE);
    config->put_IsAutoFree(VARIANT_FALSE);
    config->put_IsCPUProtection(VARIANT_FALSE);
    config->Release();
    EXPECT_EQ(S_OK, main->get_Defrag(&defrag));
    IConnectionPointContainer* container = nullptr;
    EXPECT_EQ(S_OK, main->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
    EXPECT_EQ(S_OK, container->FindConnectionPoint(DIID__IMOMainEvents, &point));
    container->Release();
    EXPECT_EQ(S_OK, point->Advise(sink, &cookie));
  }
  void Compression(UINT64 size, unsigned char rounds) {
    IMOConfig* config = nullptr;
    EXPECT_EQ(S_OK, main->get_config(&config));
    EXPECT_EQ(S_OK, config->put_ManualCompressSize(size));
    EXPECT_EQ(S_OK, config->put_ManualCompressLevel(rounds));
    config->Release();
  }
  // Disconnects and releases everything; gives MOMain's last count.
  ULONG Release() {
    point->Unadvise(cookie);
    point->Release();
    defrag->Release();
    sink->Release();
    return main->Release();
  }
};

}  // namespace

TEST_F(ComServer, AClientFreesAndCompressesMemoryWithProgressEvents) {
  FreeingClient client(CreateMain());
  client.Compression(8 * 1048576, 1);
  ASSERT_EQ(S_OK, client.defrag->DeepCompress());
  ASSERT_TRUE(HandleMessagesUntil([&] { return EndsWith100(*client.sink, 1); }));
  EXPECT_EQ((std::vector<LONGLONG>{0, 13, 25, 38, 50, 63, 75, 88, 100}), ProgressOf(*client.sink, 1));

  ASSERT_EQ(S_OK, client.defrag->FastFree(VARIANT_TRUE));
  ASSERT_TRUE(HandleMessagesUntil([&] { return EndsWith100(*client.sink, 2); }));
  std::vector<LONGLONG> free = ProgressOf(*client.sink, 2);
  EXPECT_EQ(0, free.front());
  EXPECT_TRUE(std::is_sorted(free.begin(), free.end()));
  EXPECT_EQ(1, std::count(free.begin(), free.end(), 100));
  EXPECT_EQ(0u, client.Release());
}

TEST_F(ComServer, ReleasingTheEngineMidCompressStopsTheCompress) {
  FreeingClient client(CreateMain());
  client.Compression(128 * 1048576, 3);
  ASSERT_EQ(S_OK, client.defrag->DeepCompress());
  ASSERT_TRUE(HandleMessagesUntil([&] {
    std::vector<LONGLONG> values = ProgressOf(*client.sink, 1);
    return !values.empty() && values.back() > 0;
  }));
  EXPECT_EQ(0u, client.Release());  // returns once the compress has let go of its blocks
  EXPECT_EQ(S_OK, TheServer().canUnloadNow());
}

// ===== Process icons through the real DLL ======================================

namespace {

// A program of the test's, started from a file of its own; ended and its
// file removed at the end, wherever the file then lies.
struct RunningCopy {
  std::wstring file;
  PROCESS_INFORMATION process = {};

  explicit RunningCopy(std::wstring path) : file(std::move(path)) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + file + L"\"";
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
      process = {};
    if (process.hThread) CloseHandle(process.hThread);
  }
  ~RunningCopy() {
    if (!process.hProcess) return;
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hProcess);
  }
};

// Refreshes the list until the item of `id` shows a path; gives the item.
kit::ComPtr<IMOProcessItem> ListedWithPath(IMOProcessList* list, DWORD id) {
  kit::ComPtr<IMOProcessItem> item;
  HandleMessagesUntil([&] {
    list->Refresh();
    if (list->get_ProcessItemByID(id, item.Out()) != S_OK) return false;
    kit::BStr path;
    item->get_ProcessPath(path.Out());
    return path.Get() && *path.Get();
  });
  return item;
}

}  // namespace

// An updater renames the program file of a running program: the program's
// item keeps the icon its file had when the engine listed it.
TEST_F(ComServer, AProgramRenamedWhileItRunsKeepsTheIconItWasListedWith) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"brimvale-icons-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring helper = DllPath().substr(0, DllPath().rfind(L'\\')) + L"\\..\\engine_process_helper.exe";
  const std::wstring listed = folder + L"updating.exe";
  const std::wstring renamed = folder + L"updating.old";
  ASSERT_TRUE(CopyFileW(helper.c_str(), listed.c_str(), FALSE)) << "engine_process_helper.exe beside the tests";
  auto removeFiles = kit::OnExit([&] {
    DeleteFileW(listed.c_str());
    DeleteFileW(renamed.c_str());
    RemoveDirectoryW(folder.c_str());
  });

  IMOMain* main = CreateMain();
  ASSERT_NE(nullptr, main);
  IMOProcessList* list = nullptr;
  ASSERT_EQ(S_OK, main->get_ProcessList(&list));
  {
    RunningCopy updating(listed);
    ASSERT_NE(nullptr, updating.process.hProcess);
    kit::ComPtr<IMOProcessItem> item = ListedWithPath(list, updating.process.dwProcessId);
    ASSERT_TRUE(item);
    // Icons are taken in the order their paths come: once the next one
    // listed answers its icon, this one's has been taken.
    RunningCopy next(helper);
    ASSERT_NE(nullptr, next.process.hProcess);
    kit::ComPtr<IMOProcessItem> witness = ListedWithPath(list, next.process.dwProcessId);
    ASSERT_TRUE(witness);
    ULONG index = 0;
    EXPECT_EQ(S_OK, witness->get_ProcessIconIndex(&index));

    ASSERT_TRUE(MoveFileW(listed.c_str(), renamed.c_str()));
    VARIANT icon;
    ASSERT_EQ(S_OK, Call(item.Get(), 9, DISPATCH_PROPERTYGET, &icon));  // ProcessIcon
    ASSERT_EQ(VT_DISPATCH, icon.vt);
    ASSERT_NE(nullptr, icon.pdispVal) << "the icon of the file as it was listed";
    kit::ComPtr<IPicture> picture = kit::ComPtr<IDispatch>::Adopt(icon.pdispVal).As<IPicture>(IID_IPicture);
    ASSERT_TRUE(picture);
    short type = 0;
    picture->get_Type(&type);
    EXPECT_EQ(PICTYPE_ICON, type);
  }
  list->Release();
  EXPECT_EQ(0u, main->Release());
}
