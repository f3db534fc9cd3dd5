// Cost of a process-list refresh with 100, 300 and 1000 processes behind a
// fake system whose own calls cost next to nothing; the figures per process
// should stay about the same as the count grows.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "MOProcessList.h"
#include "ProcessFakes.h"  // the service and shell fakes of the unit tests

using namespace tarnwick;

namespace {

// Processes 1..n; handle = identifier, so every call is a lookup by index.
class BenchProcesses : public platform::ProcessSystem {
 public:
  std::vector<platform::ProcessEntry> running;
  std::vector<bool> ended;

  void Fill(size_t count, DWORD firstId) {
    running.clear();
    ended.assign(firstId + count * 2 + 1, false);
    for (size_t i = 0; i < count; ++i) {
      DWORD id = firstId + static_cast<DWORD>(i);
      running.push_back({id, L"process" + std::to_wstring(i % 50) + L".exe"});
    }
  }

  bool EnumerateSessionProcesses(std::vector<platform::ProcessEntry>& out) override {
    out = running;
    return true;
  }
  bool EnumerateSnapshotProcesses(std::vector<platform::ProcessEntry>& out) override { return false; }
  HANDLE Open(DWORD, DWORD id) override { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(id)); }
  void Close(HANDLE) override {}
  bool HasEnded(HANDLE process) override { return ended[reinterpret_cast<ULONG_PTR>(process)]; }
  void MainModulePath(HANDLE, wchar_t* path, DWORD chars) override {
    lstrcpynW(path, L"c:\\program files\\Bench\\process.exe", static_cast<int>(chars));
  }
  DWORD PriorityClass(HANDLE) override { return NORMAL_PRIORITY_CLASS; }
  bool SetPriorityClass(HANDLE, DWORD) override { return true; }
  bool WorkingSetSize(HANDLE process, uint64_t& bytes) override {
    bytes = reinterpret_cast<ULONG_PTR>(process) * 4096;
    return true;
  }
  bool TrimWorkingSet(HANDLE) override { return true; }
  bool Terminate(HANDLE, UINT) override { return true; }
  bool ProcessorTime(HANDLE, uint64_t& time) override {
    time = clock_ / 10;
    return true;
  }
  uint64_t Now() override { return clock_ += 10'000'000; }
  unsigned ProcessorCount() override { return 4; }

 private:
  uint64_t clock_ = 0;
};

double MicrosecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  constexpr int kRounds = 200;
  std::printf("%10s %14s %16s %16s %18s\n", "processes", "first fill us", "refresh us", "per process ns",
              "with 10% churn us");
  for (size_t count : {100u, 300u, 1000u}) {
    BenchProcesses processes;
    processes.Fill(count, 8);
    test::NoServices services;
    test::FakeShell shell;
    CMOProcessList::Seams seams;
    seams.processes = &processes;
    seams.services = &services;
    seams.shell = &shell;
    seams.systemFolder = L"C:\\Windows\\System32\\";

    auto start = std::chrono::steady_clock::now();
    CMOProcessList list(seams);
    const double fill = MicrosecondsSince(start);

    start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round) list.RefreshList();
    const double refresh = MicrosecondsSince(start) / kRounds;

    // Each round a tenth of the processes end and as many new ones start.
    const size_t churn = count / 10;
    DWORD nextId = static_cast<DWORD>(8 + count);
    processes.ended.resize(nextId + churn * kRounds + 1, false);
    start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round) {
      for (size_t i = 0; i < churn; ++i) {
        processes.ended[processes.running[i].id] = true;
        processes.running[i] = {nextId++, L"new.exe"};
      }
      std::rotate(processes.running.begin(), processes.running.begin() + churn, processes.running.end());
      list.RefreshList();
    }
    const double churned = MicrosecondsSince(start) / kRounds;

    std::printf("%10zu %14.1f %16.1f %16.1f %18.1f\n", count, fill, refresh, refresh * 1000 / count, churned);
  }
  return 0;
}
