// The four entry points of Tarnwick.dll (exported by Tarnwick.def).
#include <windows.h>
#include <objbase.h>

#include "EngineServer.h"

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  return tarnwick::ServerGetClassObject(clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return tarnwick::ServerCanUnloadNow(); }

STDAPI DllRegisterServer() { return tarnwick::ServerRegister(); }

STDAPI DllUnregisterServer() { return tarnwick::ServerUnregister(); }
