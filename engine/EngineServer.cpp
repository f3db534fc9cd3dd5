#include "EngineServer.h"

#include <oleauto.h>

#include <string>

#include <kit/Own.h>

#include "MOConfig.h"
#include "MODefrag.h"
#include "MOGameHelper.h"
#include "MOMain.h"
#include "MOPagingFileItem.h"
#include "MOPagingFileList.h"
#include "MOProcessItem.h"
#include "MOProcessList.h"
#include "MORulesList.h"
#include "MOSmartOpti.h"
#include "MOState.h"
#include "MOSysTuneup.h"
#include "TarnwickLib.h"
#include "com/Results.h"

namespace tarnwick {

// {5DD1A170-3891-449F-BA7A-26529C8417D5}
const GUID kServerAppId = {0x5dd1a170, 0x3891, 0x449f, {0xba, 0x7a, 0x26, 0x52, 0x9c, 0x84, 0x17, 0xd5}};

namespace {

com::ClassFactory g_mainFactory(&com::CreateStandalone<CMOMain>);
com::ClassFactory g_stateFactory(&com::CreateStandalone<CMOState>);
com::ClassFactory g_defragFactory(&com::CreateStandalone<CMODefrag>);
com::ClassFactory g_configFactory(&com::CreateStandalone<CMOConfig>);
com::ClassFactory g_pagingItemFactory(&com::CreateStandalone<CMOPagingFileItem>);
com::ClassFactory g_pagingListFactory(&com::CreateStandalone<CMOPagingFileList>);
com::ClassFactory g_sysTuneupFactory(&com::CreateStandalone<CMOSysTuneup>);
com::ClassFactory g_processItemFactory(&com::CreateStandalone<CMOProcessItem>);
com::ClassFactory g_processListFactory(&com::CreateStandalone<CMOProcessList>);
com::ClassFactory g_rulesListFactory(&com::CreateStandalone<CMORulesList>);
com::ClassFactory g_smartOptiFactory(&com::CreateStandalone<CMOSmartOpti>);
com::ClassFactory g_gameHelperFactory(&com::CreateStandalone<CMOGameHelper>);

const EngineClass g_classes[] = {
    {&CLSID_MOMain, L"MOMain", 102, &g_mainFactory},
    {&CLSID_MOState, L"MOState", 103, &g_stateFactory},
    {&CLSID_MODefrag, L"MODefrag", 104, &g_defragFactory},
    {&CLSID_MOConfig, L"MOConfig", 105, &g_configFactory},
    {&CLSID_MOPagingFileItem, L"MOPagingFileItem", 108, &g_pagingItemFactory},
    {&CLSID_MOPagingFileList, L"MOPagingFileList", 109, &g_pagingListFactory},
    {&CLSID_MOSysTuneup, L"MOSysTuneup", 110, &g_sysTuneupFactory},
    {&CLSID_MOProcessItem, L"MOProcessItem", 111, &g_processItemFactory},
    {&CLSID_MOProcessList, L"MOProcessList", 112, &g_processListFactory},
    {&CLSID_MORulesList, L"MORulesList", 113, &g_rulesListFactory},
    {&CLSID_MOSmartOpti, L"MOSmartOpti", 114, &g_smartOptiFactory},
    {&CLSID_MOGameHelper, L"MOGameHelper", 115, &g_gameHelperFactory},
};

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

bool ModulePath(HMODULE module, std::wstring* path) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD len = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (len == 0) return false;
    if (len < buffer.size()) {
      buffer.resize(len);
      *path = std::move(buffer);
      return true;
    }
    buffer.resize(buffer.size() * 2);
  }
}

HRESULT RegisterTypeLibrary(const std::wstring& path) {
  kit::ComPtr<ITypeLib> library;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Out());
  if (FAILED(hr)) return hr;
  return RegisterTypeLib(library.Get(), const_cast<wchar_t*>(path.c_str()), nullptr);
}

HRESULT UnregisterTypeLibrary(const std::wstring& path) {
  kit::ComPtr<ITypeLib> library;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Out());
  if (FAILED(hr)) return hr;
  TLIBATTR* attr = nullptr;
  hr = library->GetLibAttr(&attr);
  if (FAILED(hr)) return hr;
  auto releaseAttr = kit::OnExit([&] { library->ReleaseTLibAttr(attr); });
  // Removing what is not registered is no failure.
  const std::wstring key = L"TypeLib\\" + GuidText(attr->guid) + L"\\" + std::to_wstring(attr->wMajorVerNum) +
                           L"." + std::to_wstring(attr->wMinorVerNum);
  kit::RegKey registered;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, registered.Out()) != ERROR_SUCCESS) return hr;
  return UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
}

}  // namespace

std::span<const EngineClass> EngineClasses() { return g_classes; }

HRESULT ServerGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (const EngineClass& engineClass : g_classes) {
    if (IsEqualCLSID(clsid, *engineClass.clsid)) return engineClass.factory->QueryInterface(iid, out);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerCanUnloadNow() { return com::ModuleLockCount() == 0 ? S_OK : S_FALSE; }

HRESULT RunServerScripts(HMODULE module, com::ScriptMode mode, HKEY classesRoot) {
  std::wstring path;
  if (!ModulePath(module, &path)) return com::Win32Result(GetLastError());
  const com::ScriptVariables variables = {
      {L"MODULE", path},
      {L"APPID", GuidText(kServerAppId)},
      {L"LIBID", GuidText(LIBID_TarnwickLib)},
  };
  bool registering = mode == com::ScriptMode::Register;
  HRESULT first = com::RunRegistryResource(module, kAppIdScript, variables, mode, classesRoot);
  if (FAILED(first) && registering) return first;
  for (const EngineClass& engineClass : g_classes) {
    HRESULT hr = com::RunRegistryResource(module, engineClass.scriptId, variables, mode, classesRoot);
    if (FAILED(hr)) {
      if (registering) return hr;
      if (SUCCEEDED(first)) first = hr;
    }
  }
  return FAILED(first) ? first : S_OK;
}

HRESULT ServerRegister() {
  HMODULE module = com::ThisModule();
  HRESULT hr = RunServerScripts(module, com::ScriptMode::Register, HKEY_CLASSES_ROOT);
  if (FAILED(hr)) return hr;
  std::wstring path;
  if (!ModulePath(module, &path)) return com::Win32Result(GetLastError());
  return RegisterTypeLibrary(path);
}

HRESULT ServerUnregister() {
  HMODULE module = com::ThisModule();
  HRESULT first = RunServerScripts(module, com::ScriptMode::Unregister, HKEY_CLASSES_ROOT);
  std::wstring path;
  HRESULT hr = ModulePath(module, &path) ? UnregisterTypeLibrary(path) : com::Win32Result(GetLastError());
  return FAILED(first) ? first : hr;
}

}  // namespace tarnwick
