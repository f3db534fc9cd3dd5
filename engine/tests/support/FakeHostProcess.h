// Records what the engine asks of its host process; nothing real happens.
#pragma once

#include <string>
#include <vector>

#include "platform/HostProcess.h"

namespace tarnwick::test {

class FakeHostProcess final : public platform::HostProcess {
 public:
  std::vector<std::wstring> calls;
  bool exitWindowsResult = true;

  bool EnablePrivilege(const wchar_t* privilege, DWORD tokenAccess) override {
    calls.push_back(L"privilege " + std::wstring(privilege) + L" " + std::to_wstring(tokenAccess));
    return true;
  }
  bool TrimOwnWorkingSet() override {
    calls.push_back(L"trim");
    return true;
  }
  bool RequestExitWindows(UINT flags, DWORD reason) override {
    calls.push_back(L"exit " + std::to_wstring(flags) + L" " + std::to_wstring(reason));
    return exitWindowsResult;
  }
};

}  // namespace tarnwick::test
