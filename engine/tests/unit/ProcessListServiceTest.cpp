// The terminal-services check the process list makes at construction:
// start type, start, the status polling and its bound.
#include <gtest/gtest.h>

#include <atomic>

#include "MOProcessList.h"
#include "ProcessFakes.h"

using namespace tarnwick;

namespace {

class ScriptedServices : public platform::ServiceControl {
 public:
  std::vector<DWORD> states;  // one per status query; the last one repeats
  DWORD waitHint = 0;
  DWORD startType = SERVICE_DEMAND_START;
  bool managerOpens = true;
  bool startWorks = true;
  int open = 0;
  int starts = 0;
  std::vector<DWORD> startTypesSet;
  std::vector<DWORD> sleeps;

  SC_HANDLE OpenManager(DWORD access) override {
    EXPECT_EQ(0xF003Fu, access);
    return managerOpens ? Handle() : nullptr;
  }
  SC_HANDLE OpenNamedService(SC_HANDLE, const wchar_t* name, DWORD access) override {
    EXPECT_STREQ(L"TermService", name);
    EXPECT_EQ(0x17u, access);
    return Handle();
  }
  bool QueryStatus(SC_HANDLE, SERVICE_STATUS& status) override {
    status = {};
    status.dwCurrentState = states[std::min(queries_++, states.size() - 1)];
    status.dwWaitHint = waitHint;
    return true;
  }
  bool StartType(SC_HANDLE, DWORD& type) override {
    type = startType;
    return true;
  }
  bool SetStartType(SC_HANDLE, DWORD type) override {
    startTypesSet.push_back(type);
    return true;
  }
  bool Start(SC_HANDLE) override {
    ++starts;
    return startWorks;
  }
  void Close(SC_HANDLE) override { --open; }
  ULONGLONG Ticks() override { return ticks_; }
  bool Sleep(HANDLE stop, DWORD ms) override {
    sleeps.push_back(ms);
    ticks_ += ms;
    return !stop || WaitForSingleObject(stop, 0) == WAIT_TIMEOUT;
  }

 private:
  SC_HANDLE Handle() {
    ++open;
    return reinterpret_cast<SC_HANDLE>(static_cast<ULONG_PTR>(0x100 + open));
  }
  size_t queries_ = 0;
  ULONGLONG ticks_ = 5000;
};

TEST(TerminalServicesCheck, RunningServiceIsLeftAlone) {
  ScriptedServices services;
  services.states = {SERVICE_RUNNING};
  EXPECT_EQ(ServiceCheck::kRunning, EnsureTerminalServices(services, 30000));
  EXPECT_EQ(0, services.starts);
  EXPECT_TRUE(services.startTypesSet.empty());
  EXPECT_EQ(0, services.open);
}

TEST(TerminalServicesCheck, StoppedServiceIsSetToAutomaticAndStarted) {
  ScriptedServices services;
  services.states = {SERVICE_STOPPED, SERVICE_START_PENDING, SERVICE_START_PENDING, SERVICE_RUNNING};
  services.waitHint = 3000;  // a tenth is below the floor of one second
  EXPECT_EQ(ServiceCheck::kRunning, EnsureTerminalServices(services, 30000));
  EXPECT_EQ(std::vector<DWORD>{SERVICE_AUTO_START}, services.startTypesSet);
  EXPECT_EQ(1, services.starts);
  EXPECT_EQ((std::vector<DWORD>{1000, 1000}), services.sleeps);
  EXPECT_EQ(0, services.open);
}

TEST(TerminalServicesCheck, WaitIsBounded) {
  ScriptedServices services;
  services.states = {SERVICE_START_PENDING};
  services.startType = SERVICE_AUTO_START;
  services.waitHint = 250000;  // a tenth is above the ceiling of ten seconds
  EXPECT_EQ(ServiceCheck::kTimedOut, EnsureTerminalServices(services, 25000));
  EXPECT_EQ((std::vector<DWORD>{10000, 10000, 5000}), services.sleeps);
  EXPECT_TRUE(services.startTypesSet.empty());
  EXPECT_EQ(0, services.starts);
  EXPECT_EQ(0, services.open);
}

TEST(TerminalServicesCheck, FailuresEndTheCheckWithHandlesClosed) {
  ScriptedServices noManager;
  noManager.managerOpens = false;
  EXPECT_EQ(ServiceCheck::kFailed, EnsureTerminalServices(noManager, 30000));

  ScriptedServices refused;
  refused.states = {SERVICE_STOPPED};
  refused.startWorks = false;
  EXPECT_EQ(ServiceCheck::kFailed, EnsureTerminalServices(refused, 30000));
  EXPECT_EQ(0, refused.open);

  // A service that stops again after its start is not waited for.
  ScriptedServices stopsAgain;
  stopsAgain.states = {SERVICE_STOPPED, SERVICE_START_PENDING, SERVICE_STOPPED};
  EXPECT_EQ(ServiceCheck::kFailed, EnsureTerminalServices(stopsAgain, 30000));
  EXPECT_EQ(1u, stopsAgain.sleeps.size());
  EXPECT_EQ(0, stopsAgain.open);
}

TEST(TerminalServicesCheck, AStopEndsTheWaitAtItsNextPause) {
  ScriptedServices services;
  services.states = {SERVICE_START_PENDING};
  services.waitHint = 50000;
  kit::Handle stop(CreateEventW(nullptr, TRUE, TRUE, nullptr));
  EXPECT_EQ(ServiceCheck::kStopped, EnsureTerminalServices(services, 30000, stop.Get()));
  EXPECT_EQ(1u, services.sleeps.size());
  EXPECT_EQ(0, services.open);
}

// A service manager whose start waits until the test lets it go, and whose
// pauses wait on the stop event for real.
class SlowServices : public ScriptedServices {
 public:
  kit::Handle entered{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  kit::Handle release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  kit::Handle closed{CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // the check's last call
  std::atomic<bool> startReturned{false};
  std::atomic<bool> stopSeen{false};

  bool Start(SC_HANDLE service) override {
    SetEvent(entered.Get());
    WaitForSingleObject(release.Get(), 60000);
    startReturned = true;
    return ScriptedServices::Start(service);
  }
  bool Sleep(HANDLE stop, DWORD ms) override {
    SetEvent(entered.Get());
    const bool goOn = WaitForSingleObject(stop, ms) == WAIT_TIMEOUT;
    if (!goOn) stopSeen = true;
    return goOn;
  }
  void Close(SC_HANDLE handle) override {
    ScriptedServices::Close(handle);
    if (open == 0) SetEvent(closed.Get());
  }
};

TEST(TerminalServicesCheck, TheListIsFilledWhileTheServiceIsStillStarting) {
  SlowServices services;
  services.states = {SERVICE_STOPPED, SERVICE_START_PENDING};
  test::FakeProcessSystem processes;
  processes.Start(0, L"[System Process]");
  processes.Start(100, L"a.exe");
  test::FakeShell shell;
  CMOProcessList::Seams seams = test::FakeSeams(processes, shell);
  seams.services = &services;
  {
    CMOProcessList list(seams);
    ULONG count = 0;
    ASSERT_EQ(S_OK, list.get_ProcessCount(&count));
    EXPECT_EQ(2u, count) << "the first fill does not wait for the service";
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(services.entered.Get(), 60000));
    EXPECT_FALSE(services.startReturned);
    SetEvent(services.release.Get());
  }  // the list's end stops the check's polling
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(services.closed.Get(), 60000));
  EXPECT_TRUE(services.stopSeen);
  EXPECT_EQ(std::vector<DWORD>{SERVICE_AUTO_START}, services.startTypesSet);
}

TEST(TerminalServicesCheck, TheBackgroundCheckEndsWhenAskedToStop) {
  SlowServices services;
  services.states = {SERVICE_START_PENDING};
  services.startType = SERVICE_AUTO_START;
  services.waitHint = 100000;  // pauses of ten seconds
  BackgroundServiceCheck check(services, 0xFFFFFFFF);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(services.entered.Get(), 60000));
  check.RequestStop();
  ASSERT_TRUE(check.WaitForEnd(60000));
  EXPECT_TRUE(services.stopSeen);
  EXPECT_EQ(0, services.open);
}

}  // namespace
