// The engine as an in-process server: its twelve classes, their factories
// and its self-registration. The DLL's four exports call these.
#pragma once

#include <windows.h>

#include <span>

#include "com/ClassFactory.h"
#include "com/RegistryScript.h"

namespace tarnwick {

// The server's AppID; the registry scripts write it as %APPID%.
extern const GUID kServerAppId;

constexpr UINT kAppIdScript = 101;
constexpr UINT kLibraryNameString = 100;

struct EngineClass {
  const CLSID* clsid;
  const wchar_t* name;  // coclass name
  UINT scriptId;        // its "REGISTRY" resource
  com::ClassFactory* factory;
};

// The classes in type-library order.
std::span<const EngineClass> EngineClasses();

HRESULT ServerGetClassObject(REFCLSID clsid, REFIID iid, void** out);
HRESULT ServerCanUnloadNow();

// Runs the AppID script and the class scripts held by `module` below
// `classesRoot`: registration stops at the first failure, removal goes on.
HRESULT RunServerScripts(HMODULE module, com::ScriptMode mode, HKEY classesRoot);

// Scripts under HKEY_CLASSES_ROOT plus the type library, for this module.
HRESULT ServerRegister();
HRESULT ServerUnregister();

}  // namespace tarnwick
