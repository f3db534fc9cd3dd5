// Cost of a process-list refresh with 100, 300 and 1000 processes behind a
// fake system whose own calls cost next to nothing; the figures per process
// should stay about the same as the count grows.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "MOProcessList.h"
#include "ProcessFakes.h"  // the process, service and shell fakes of the unit tests

using namespace tarnwick;

namespace {

double MicrosecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  constexpr int kRounds = 200;
  std::printf("%10s %14s %16s %16s %18s\n", "processes", "first fill us", "refresh us", "per process ns",
              "with 10% churn us");
  for (size_t count : {100u, 300u, 1000u}) {
    test::ChurningProcesses processes;
    for (size_t i = 0; i < count; ++i) processes.Start(static_cast<DWORD>(8 + i));
    test::FakeShell shell;
    const CMOProcessList::Seams seams = test::FakeSeams(processes, shell);

    auto start = std::chrono::steady_clock::now();
    CMOProcessList list(seams);
    const double fill = MicrosecondsSince(start);

    start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round) list.RefreshList();
    const double refresh = MicrosecondsSince(start) / kRounds;

    // Each round a tenth of the processes end and as many new ones start.
    const size_t churn = count / 10;
    start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round) {
      processes.Churn(churn);
      list.RefreshList();
    }
    const double churned = MicrosecondsSince(start) / kRounds;

    std::printf("%10zu %14.1f %16.1f %16.1f %18.1f\n", count, fill, refresh, refresh * 1000 / count, churned);
  }
  return 0;
}
