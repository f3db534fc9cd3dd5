// The four entry points of Tarnwick.dll (exported by Tarnwick.def).
#include <windows.h>
#include <objbase.h>

#include "EngineServer.h"
#include "com/Results.h"

using tarnwick::com::Barrier;

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  return Barrier([&] { return tarnwick::ServerGetClassObject(clsid, iid, out); });
}

STDAPI DllCanUnloadNow() {
  return Barrier([] { return tarnwick::ServerCanUnloadNow(); });
}

STDAPI DllRegisterServer() {
  return Barrier([] { return tarnwick::ServerRegister(); });
}

STDAPI DllUnregisterServer() {
  return Barrier([] { return tarnwick::ServerUnregister(); });
}
