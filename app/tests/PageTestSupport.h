// What the page tests share: this program's folder, the engine registered
// from a given file, and started processes that end with their owner.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "kit/Own.h"

namespace pagetests {

namespace fs = std::filesystem;

inline std::string ExeFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path);
  return self.substr(0, self.find_last_of('\\') + 1);
}

inline bool RegisterEngine(const fs::path& dll) {
  kit::Module module(LoadLibraryW(dll.c_str()));
  auto registerServer = module ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
                                     reinterpret_cast<void*>(GetProcAddress(module.Get(), "DllRegisterServer")))
                               : nullptr;
  return registerServer && SUCCEEDED(registerServer());
}

// A started process; ended, if still running, when this goes.
class Process {
 public:
  Process(const fs::path& program, std::wstring commandLine, const fs::path& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
      return;
    handle_.Reset(info.hProcess);
    kit::Handle thread(info.hThread);
    id_ = info.dwProcessId;
  }
  ~Process() { End(); }

  DWORD Id() const { return id_; }
  HANDLE Handle() const { return handle_.Get(); }
  bool Alive() const { return handle_ && WaitForSingleObject(handle_.Get(), 0) == WAIT_TIMEOUT; }
  void End() {
    if (Alive()) TerminateProcess(handle_.Get(), 1);
    if (handle_) WaitForSingleObject(handle_.Get(), 10000);
  }

 private:
  kit::Handle handle_;
  DWORD id_ = 0;
};

// A process for the pages to list, end and change; it waits for this test
// program and ends with the test at the latest.
class Child : public Process {
 public:
  Child()
      : Process(fs::path(ExeFolder()) / "pmchild.exe", L"pmchild.exe " + std::to_wstring(GetCurrentProcessId()), {}) {}
  // The id as the process list shows it.
  std::string IdText() const { return std::to_string(Id()); }
};

}  // namespace pagetests
