// The program's figures, printed (nothing here passes or fails):
//
//   startup  time from starting orvane.exe to its main window on screen,
//            against a bare Win32 window program, same Wine, same run
//            (goal: at most 2x)
//   idle     processor time orvane.exe takes in 60 s of doing nothing, its
//            engine at default settings (goal: at most 0.1 % of one core)
//   objects  GDI and USER objects after 10 000 overview refreshes and 1 000
//            tab changes, against the counts after start (goal: no growth)
//
// orvane_bench [startup|idle|objects]... (all three without arguments); run
// it from the build tree under Wine with a display (see bench/app/README.md).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ProgramHarness.h"

using harness::TProgramRun;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kStartRuns = 5;
constexpr DWORD kPatienceMs = 120000;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// A visible top-level window of the process of that size, or null.
HWND WindowOfSize(DWORD processId, int width, int height) {
  for (HWND window : harness::VisibleWindows(processId)) {
    RECT r{};
    GetWindowRect(window, &r);
    if (r.right - r.left == width && r.bottom - r.top == height) return window;
  }
  return nullptr;
}

// Starts a program and returns the milliseconds until its window of that
// size shows (-1 when it does not), then closes the window and waits for
// the end.
double TimeToWindow(const std::string& exe, const std::string& folder, int width, int height) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::string command = "\"" + exe + "\"";
  SetEnvironmentVariableA("BRIMVALE_AUTOMATION", nullptr);
  Clock::time_point start = Clock::now();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process))
    return -1;
  HWND window = nullptr;
  while (!window && Milliseconds(Clock::now() - start) < kPatienceMs) {
    window = WindowOfSize(process.dwProcessId, width, height);
    if (!window) Sleep(2);
  }
  double elapsed = window ? Milliseconds(Clock::now() - start) : -1;
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, kPatienceMs) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

void Startup() {
  TProgramRun program("bench-startup", TProgramRun::Shipped);
  harness::RegisterEngine(program.File("Tarnwick.dll"));
  const std::string bare = harness::OwnFolder() + "orvane_bench_bare_window.exe";
  // One start each first: the engine makes its settings, Wine loads its
  // libraries; the figures are of the starts after.
  TimeToWindow(program.File("orvane.exe"), program.Folder(), 661, 540);
  TimeToWindow(bare, harness::OwnFolder(), 661, 540);
  std::vector<double> orvane, yardstick;
  for (int i = 0; i < kStartRuns; ++i) {
    orvane.push_back(TimeToWindow(program.File("orvane.exe"), program.Folder(), 661, 540));
    yardstick.push_back(TimeToWindow(bare, harness::OwnFolder(), 661, 540));
  }
  double o = Median(orvane), b = Median(yardstick);
  std::printf("startup: orvane.exe %.0f ms to its main window, bare window %.0f ms (median of %d): %.2fx (goal <= 2x)\n",
              o, b, kStartRuns, b > 0 ? o / b : 0.0);
}

double ProcessorSeconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto seconds = [](FILETIME t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

void Idle() {
  TProgramRun program("bench-idle", TProgramRun::Shipped, TProgramRun::Defaults);
  harness::RegisterEngine(program.File("Tarnwick.dll"));
  if (!program.Start("", false)) return void(std::printf("idle: the program did not start\n"));
  Clock::time_point start = Clock::now();
  while (!WindowOfSize(program.ProcessId(), 661, 540) && Milliseconds(Clock::now() - start) < kPatienceMs) Sleep(20);
  Sleep(5000);  // the start-up's own work is over
  double before = ProcessorSeconds(program.Process());
  Clock::time_point from = Clock::now();
  Sleep(60000);
  double used = ProcessorSeconds(program.Process()) - before;
  double span = Milliseconds(Clock::now() - from) / 1000;
  std::printf("idle: orvane.exe used %.3f s of processor time in %.0f s: %.3f %% of one core (goal <= 0.1 %%)\n",
              used, span, 100 * used / span);
  if (HWND window = WindowOfSize(program.ProcessId(), 661, 540)) PostMessageA(window, WM_CLOSE, 0, 0);
  program.WaitForExit();
}

struct TObjects {
  DWORD Gdi, User;
};

TObjects Objects(HANDLE process) { return {GetGuiResources(process, GR_GDIOBJECTS), GetGuiResources(process, GR_USEROBJECTS)}; }

void ObjectCounts() {
  TProgramRun program("bench-objects", TProgramRun::Scripted);
  if (!program.Start() || !program.AwaitReady()) return void(std::printf("objects: the program did not start\n"));
  TObjects start = Objects(program.Process());
  bool refreshed = program.Script("refresh\t10000");
  bool switched = program.Script("tabs\t1000");
  TObjects after = Objects(program.Process());
  if (!refreshed || !switched) std::printf("objects: the scripted build refused a command\n");
  std::printf("objects: GDI %lu -> %lu, USER %lu -> %lu after 10000 refreshes and 1000 tab changes (goal: no growth)\n",
              start.Gdi, after.Gdi, start.User, after.User);
  if (start.Gdi == 0 && start.User == 0)
    std::printf("objects: this system reports no GUI resources (Wine's GetGuiResources counts nothing)\n");
  program.Ask("close\tMainForm");
  program.WaitForExit();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> parts(argv + 1, argv + argc);
  if (parts.empty()) parts = {"startup", "idle", "objects"};
  for (const std::string& part : parts) {
    if (part == "startup") Startup();
    else if (part == "idle") Idle();
    else if (part == "objects") ObjectCounts();
    else std::printf("unknown part %s (startup, idle, objects)\n", part.c_str());
    std::fflush(stdout);
  }
  return 0;
}
