// The program's figures, printed (nothing here passes or fails):
//
//   startup  time from starting orvane.exe to its main window on screen,
//            against a bare Win32 window program, same Wine, same run
//            (goal: at most 2x)
//   idle     processor time orvane.exe takes in 60 s of doing nothing, its
//            engine at default settings (goal: at most 0.1 % of one core)
//   phases   the start-up's parts one by one: each form read, the main
//            window's windows made, the engine created and opened, a shown
//            popup hidden (see PhaseBench.cpp)
//   objects  GDI and USER objects after 10 000 overview refreshes and 1 000
//            tab changes, against the counts after start (goal: no growth)
//
// orvane_bench [startup|phases|idle|objects]... (all without arguments); run
// it from the build tree under Wine with a display (see bench/app/README.md).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "PhaseBench.h"
#include "ProgramHarness.h"
#include "kit/Own.h"

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

// Under Wine the times the system reports for another process miss most of
// its work; the process's Unix side has it all (/proc/<pid>/stat, in ticks
// of 1/100 s), found by the program's path on its command line. 0 elsewhere.
double UnixProcessorSeconds(const std::string& exe) {
  WIN32_FIND_DATAA found;
  kit::FindHandle find(FindFirstFileA("Z:\\proc\\*", &found));
  if (!find) return 0;
  do {
    const std::string pid = found.cFileName;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream cmdline("Z:\\proc\\" + pid + "\\cmdline", std::ios::binary);
    std::string command((std::istreambuf_iterator<char>(cmdline)), {});
    if (command.find(exe) == std::string::npos) continue;
    std::ifstream stat("Z:\\proc\\" + pid + "\\stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));  // after the name
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
      if (i == 14 || i == 15) ticks += std::stod(field);
    return ticks / 100;
  } while (FindNextFileA(find.Get(), &found));
  return 0;
}

struct TProcessorTime {
  double System, Unix;  // seconds: as GetProcessTimes tells, as the Unix side tells
};

TProcessorTime ProcessorSeconds(const TProgramRun& program) {
  FILETIME created, exited, kernel, user;
  double system = 0;
  if (GetProcessTimes(program.Process(), &created, &exited, &kernel, &user)) {
    auto seconds = [](FILETIME t) {
      return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
    };
    system = seconds(kernel) + seconds(user);
  }
  return {system, UnixProcessorSeconds(program.File("orvane.exe"))};
}

void Idle() {
  TProgramRun program("bench-idle", TProgramRun::Shipped, TProgramRun::Defaults);
  harness::RegisterEngine(program.File("Tarnwick.dll"));
  if (!program.Start("", false)) return void(std::printf("idle: the program did not start\n"));
  Clock::time_point start = Clock::now();
  while (!WindowOfSize(program.ProcessId(), 661, 540) && Milliseconds(Clock::now() - start) < kPatienceMs) Sleep(20);
  Sleep(5000);  // the start-up's own work is over
  TProcessorTime before = ProcessorSeconds(program);
  Clock::time_point from = Clock::now();
  Sleep(60000);
  TProcessorTime after = ProcessorSeconds(program);
  double span = Milliseconds(Clock::now() - from) / 1000;
  double used = after.System - before.System;
  std::printf("idle: orvane.exe used %.3f s of processor time in %.0f s: %.3f %% of one core (goal <= 0.1 %%)\n",
              used, span, 100 * used / span);
  if (after.Unix > 0) {
    double unixUsed = after.Unix - before.Unix;
    std::printf("idle: its Unix process, all of Wine's work for it included: %.2f s, %.3f %% of one core\n",
                unixUsed, 100 * unixUsed / span);
  }
  if (HWND window = WindowOfSize(program.ProcessId(), 661, 540)) PostMessageA(window, WM_CLOSE, 0, 0);
  program.WaitForExit();
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  EnumChildWindows(window, &CountWindow, count);
  return TRUE;
}

struct TObjects {
  DWORD Gdi, User, Windows;
};

TObjects Objects(const TProgramRun& program) {
  // Windows are USER objects a program may leak; counted apart, they show
  // where GetGuiResources counts nothing.
  DWORD windows = 0;
  for (HWND window : harness::VisibleWindows(program.ProcessId())) CountWindow(window, reinterpret_cast<LPARAM>(&windows));
  return {GetGuiResources(program.Process(), GR_GDIOBJECTS), GetGuiResources(program.Process(), GR_USEROBJECTS),
          windows};
}

void ObjectCounts() {
  TProgramRun program("bench-objects", TProgramRun::Scripted);
  if (!program.Start() || !program.AwaitReady()) return void(std::printf("objects: the program did not start\n"));
  TObjects start = Objects(program);
  // In steps, each answered well within the script's patience.
  bool done = true;
  for (int i = 0; i < 20; ++i) done = program.Script("refresh\t500") && done;
  for (int i = 0; i < 10; ++i) done = program.Script("tabs\t100") && done;
  TObjects after = Objects(program);
  if (!done) std::printf("objects: the scripted build refused a command\n");
  std::printf("objects: after 10000 refreshes and 1000 tab changes: GDI %lu -> %lu, USER %lu -> %lu, windows %lu -> %lu "
              "(goal: no growth)\n",
              start.Gdi, after.Gdi, start.User, after.User, start.Windows, after.Windows);
  if (start.Gdi == 0 && start.User == 0)
    std::printf("objects: this system reports no GUI resources (Wine's GetGuiResources counts nothing)\n");
  program.Ask("close\tMainForm");
  program.WaitForExit();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> parts(argv + 1, argv + argc);
  if (parts.empty()) parts = {"startup", "phases", "idle", "objects"};
  for (const std::string& part : parts) {
    if (part == "startup") Startup();
    else if (part == "phases") Phases();
    else if (part == "idle") Idle();
    else if (part == "objects") ObjectCounts();
    else std::printf("unknown part %s (startup, phases, idle, objects)\n", part.c_str());
    std::fflush(stdout);
  }
  return 0;
}
