#include "com/ComModule.h"

#include <oleauto.h>

#include <map>
#include <mutex>

namespace tarnwick::com {

namespace {
LONG g_locks = 0;

struct TypeLibCache {
  std::mutex lock;
  ITypeLib* library = nullptr;
  bool tried = false;
  struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const { return memcmp(&a, &b, sizeof(GUID)) < 0; }
  };
  std::map<GUID, ITypeInfo*, GuidLess> infos;
};

// Never destroyed: type information may be used until the module unloads.
TypeLibCache& Cache() {
  static TypeLibCache* cache = new TypeLibCache;
  return *cache;
}

ITypeLib* LoadLibraryLocked(TypeLibCache& cache) {
  if (!cache.tried) {
    cache.tried = true;
    wchar_t path[MAX_PATH];
    DWORD len = GetModuleFileNameW(ThisModule(), path, MAX_PATH);
    if (len > 0 && len < MAX_PATH) {
      if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, &cache.library))) cache.library = nullptr;
    }
  }
  return cache.library;
}
}  // namespace

void ModuleLock() { InterlockedIncrement(&g_locks); }
void ModuleUnlock() { InterlockedDecrement(&g_locks); }
long ModuleLockCount() { return InterlockedCompareExchange(&g_locks, 0, 0); }

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

ITypeLib* TypeLibrary() {
  TypeLibCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  return LoadLibraryLocked(cache);
}

ITypeInfo* TypeInfoOf(REFGUID guid) {
  TypeLibCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  auto found = cache.infos.find(guid);
  if (found != cache.infos.end()) return found->second;
  ITypeLib* library = LoadLibraryLocked(cache);
  if (!library) return nullptr;
  ITypeInfo* info = nullptr;
  if (FAILED(library->GetTypeInfoOfGuid(guid, &info))) return nullptr;
  cache.infos[guid] = info;
  return info;
}

}  // namespace tarnwick::com
