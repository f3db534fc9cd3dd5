// Module-wide state of the in-process server: lock count and type library.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace tarnwick::com {

// Objects and server locks outstanding; DllCanUnloadNow answers S_OK at 0.
void ModuleLock();
void ModuleUnlock();
long ModuleLockCount();

// The module (DLL, or test executable) that holds this code and its resources.
HMODULE ThisModule();

// The type library embedded as resource "TYPELIB" 1 of ThisModule(), loaded
// once. Null when it cannot be loaded. The caller does not release it.
ITypeLib* TypeLibrary();

// Type information of one interface of the library; null when unknown.
// The caller does not release it.
ITypeInfo* TypeInfoOf(REFGUID guid);

}  // namespace tarnwick::com
