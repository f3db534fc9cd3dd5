// Deep-compress throughput against a plain allocate-and-touch loop of the
// same size in the same run (goal: at least 80 % of the loop with the same
// protection), and the processor time the whole engine uses in 10 s with
// every automatic feature switched off (goal: near zero).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "MOConfig.h"
#include "MODefrag.h"
#include "MOMain.h"
#include "MOProcessList.h"
#include "MORulesList.h"
#include "MOState.h"
#include "ProcessFakes.h"       // the process-list fakes of the unit tests
#include "TempProgramFolder.h"  // a settings folder of its own
#include "kit/Own.h"

using namespace tarnwick;
using Clock = std::chrono::steady_clock;

namespace {

constexpr size_t kBlocks = 256;  // MB per run
constexpr int kRuns = 5;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The loop a compress is measured against: commit, write and release the
// same blocks, with nothing around it.
double PlainLoop(DWORD protection) {
  static void* blocks[kBlocks];
  auto start = Clock::now();
  for (size_t i = 0; i < kBlocks; ++i) {
    blocks[i] = VirtualAlloc(nullptr, CMODefrag::kBlockBytes, MEM_COMMIT, protection);
    if (blocks[i]) std::memset(blocks[i], 0, CMODefrag::kBlockBytes);
  }
  for (void* block : blocks) {
    if (block) VirtualFree(block, 0, MEM_RELEASE);
  }
  return Seconds(Clock::now() - start);
}

// Drains the progress messages posted to this thread.
void DrainPosted() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

void CompressThroughput() {
  testing::TempProgramFolder folder;
  test::FakeProcessSystem processes;
  test::FakeShell shell;
  CMOState state;
  CMOConfig config(folder.path());
  CMOProcessList list(test::FakeSeams(processes, shell));
  CMORulesList black, white, smart;
  CMODefrag defrag;  // the real blocks
  defrag.Link({&state, &config, &list, &black, &white, &smart, nullptr});
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  defrag.SetEventThread(GetCurrentThreadId());
  config.put_IsCPUProtection(VARIANT_FALSE);
  config.put_ManualCompressLevel(1);
  if (config.put_ManualCompressSize(kBlocks * CMODefrag::kBlockBytes) != S_OK) {
    std::printf("deep compress: the machine has too little memory for %zu MB\n", kBlocks);
    return;
  }

  double compress = 1e9, same = 1e9, cached = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    auto start = Clock::now();
    defrag.StartDeepCompress();
    defrag.WaitForWorkers();
    compress = std::min(compress, Seconds(Clock::now() - start));
    DrainPosted();
    same = std::min(same, PlainLoop(PAGE_READWRITE | PAGE_NOCACHE));
    cached = std::min(cached, PlainLoop(PAGE_READWRITE));
  }
  const double mb = static_cast<double>(kBlocks);
  std::printf("deep compress of %zu MB, best of %d runs:\n", kBlocks, kRuns);
  std::printf("  compress                       %8.1f MB/s\n", mb / compress);
  std::printf("  plain loop, same protection    %8.1f MB/s  (compress at %.0f %%, goal 80 %%)\n", mb / same,
              100.0 * same / compress);
  std::printf("  plain loop, cached memory      %8.1f MB/s\n", mb / cached);
}

uint64_t ProcessTime100ns() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto value = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return value(kernel) + value(user);
}

void IdleEngine() {
  kit::Apartment com;
  auto main = std::make_unique<CMOMain>();
  kit::ComPtr<IMOConfig> config;
  main->get_config(config.Out());
  config->put_IsAutoCompress(VARIANT_FALSE);
  config->put_IsAutoFree(VARIANT_FALSE);
  config->put_IsSmartLearning(VARIANT_FALSE);
  config->put_IsSmartCPU(VARIANT_FALSE);
  config.Reset();
  Sleep(500);  // let the switched-off threads settle into their waits

  const uint64_t before = ProcessTime100ns();
  Sleep(10000);
  const uint64_t used = ProcessTime100ns() - before;
  std::printf("idle engine, every automatic feature off: %.1f ms of processor time in 10 s\n", used / 10000.0);
}

}  // namespace

int main() {
  CompressThroughput();
  IdleEngine();
  return 0;
}
