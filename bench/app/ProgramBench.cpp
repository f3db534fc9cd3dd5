// The program's figures, printed (nothing here passes or fails):
//
//   startup  time from starting orvane.exe to its main window on screen,
//            against a bare Win32 window program, same Wine, same run, with
//            the terminal-services service prepared and not (goal: at most
//            3x in both, stretch 2x)
//   phases   the start-up's parts one by one: each form read, the main
//            window's windows made, the engine created and opened, a shown
//            popup hidden (see PhaseBench.cpp)
//   idle     processor time in 60 s of doing nothing, its engine at default
//            settings: hidden in the tray, then with each page showing;
//            the Windows process's own and its whole Unix process's, Wine's
//            work for it included, against the floor: a probe of the
//            benchmark's own doing only the refresh the program must do,
//            measured the same way before and after (goals: at most 1.5x the
//            floor in the tray, 2x with a page showing)
//   churn    the test build's own private bytes while short-lived programs
//            start and end, 150 at a time (goal: the second 150 add at most
//            256 KB)
//   objects  GDI and USER objects after 10 000 overview refreshes and 1 000
//            tab changes, against the counts after start (goal: no growth)
//
// orvane_bench [--against <folder>] [startup|phases|idle[:seconds]|churn|
// objects]... (all without arguments; --against: see main); run it from the build tree under Wine with a display in a
// prefix of its own (see bench/app/README.md). "startup" changes that
// prefix's terminal-services service for a while and puts it back.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
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
constexpr int kIdleSeconds = 60;
constexpr DWORD kPatienceMs = 120000;
constexpr char kHangingService[] = "hanging-service";
constexpr wchar_t kHangingServiceW[] = L"hanging-service";

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

// --- the terminal-services service of the prefix ---------------------------------------

// Prepared: set to start automatically and running, as scripts/test and
// scripts/run leave it. Not prepared: on demand and stopped, as a fresh
// prefix has it, and a start of it that never completes, as right after a
// prefix's first boot (or at log-on while the services still start): the
// service's program is replaced by this benchmark waiting, which never
// answers the service manager.
class TTerminalServices {
 public:
  TTerminalServices() {
    manager_.Reset(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (manager_) service_.Reset(OpenServiceW(manager_.Get(), L"TermService", SERVICE_ALL_ACCESS));
    if (!service_) return;
    DWORD needed = 0;
    QueryServiceConfigW(service_.Get(), nullptr, 0, &needed);
    std::vector<unsigned char> buffer(needed ? needed : 1);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (needed && QueryServiceConfigW(service_.Get(), config, needed, &needed)) {
      image_ = config->lpBinaryPathName ? config->lpBinaryPathName : L"";
      startType_ = config->dwStartType;
    }
  }
  ~TTerminalServices() {
    if (!service_ || image_.empty()) return;
    Stop();
    ChangeServiceConfigW(service_.Get(), SERVICE_NO_CHANGE, startType_, SERVICE_NO_CHANGE, image_.c_str(), nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr);
    StartServiceW(service_.Get(), 0, nullptr);
  }
  bool Usable() const { return service_ && !image_.empty(); }

  bool Prepare() {
    ChangeServiceConfigW(service_.Get(), SERVICE_NO_CHANGE, SERVICE_AUTO_START, SERVICE_NO_CHANGE, image_.c_str(),
                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (State() != SERVICE_RUNNING) StartServiceW(service_.Get(), 0, nullptr);
    return AwaitState(SERVICE_RUNNING);
  }

  bool Unprepare() {
    Stop();
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring hanging = L"\"" + std::wstring(self) + L"\" " + kHangingServiceW;
    return ChangeServiceConfigW(service_.Get(), SERVICE_NO_CHANGE, SERVICE_DEMAND_START, SERVICE_NO_CHANGE,
                                hanging.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) &&
           State() == SERVICE_STOPPED;
  }

 private:
  DWORD State() {
    SERVICE_STATUS status{};
    return QueryServiceStatus(service_.Get(), &status) ? status.dwCurrentState : 0;
  }
  bool AwaitState(DWORD wanted) {
    for (int i = 0; i < 600 && State() != wanted; ++i) Sleep(100);
    return State() == wanted;
  }
  // The start a run left pending ends with the service manager's time-out.
  void Stop() {
    SERVICE_STATUS status{};
    if (State() == SERVICE_RUNNING) ControlService(service_.Get(), SERVICE_CONTROL_STOP, &status);
    AwaitState(SERVICE_STOPPED);
  }

  struct ServiceHandleTraits {
    using Value = SC_HANDLE;
    static Value Empty() noexcept { return nullptr; }
    static void Free(Value handle) noexcept { CloseServiceHandle(handle); }
  };
  kit::Unique<ServiceHandleTraits> manager_, service_;
  std::wstring image_;
  DWORD startType_ = SERVICE_AUTO_START;
};

void Startup() {
  TProgramRun program("bench-startup", TProgramRun::Shipped);
  harness::RegisterEngine(program.File("Tarnwick.dll"));
  const std::string bare = harness::OwnFolder() + "orvane_bench_bare_window.exe";
  TTerminalServices services;
  if (!services.Usable()) std::printf("startup: the terminal-services service cannot be changed here\n");
  auto measure = [&](const char* state, const std::function<bool()>& prepareRun) {
    // One start each first: the engine makes its settings, Wine loads its
    // libraries; the figures are of the starts after.
    prepareRun();
    TimeToWindow(program.File("orvane.exe"), program.Folder(), 661, 540);
    TimeToWindow(bare, harness::OwnFolder(), 661, 540);
    std::vector<double> orvane, yardstick;
    bool asked = true;
    for (int i = 0; i < kStartRuns; ++i) {
      asked = prepareRun() && asked;
      orvane.push_back(TimeToWindow(program.File("orvane.exe"), program.Folder(), 661, 540));
      yardstick.push_back(TimeToWindow(bare, harness::OwnFolder(), 661, 540));
    }
    double o = Median(orvane), b = Median(yardstick);
    std::printf("startup (TermService %s): orvane.exe %.0f ms to its main window, bare window %.0f ms (median of %d): "
                "%.2fx (goal <= 3x, stretch 2x)%s\n",
                state, o, b, kStartRuns, b > 0 ? o / b : 0.0, asked ? "" : " [the service's state could not be set]");
    std::fflush(stdout);
  };
  measure("prepared", [&] { return !services.Usable() || services.Prepare(); });
  if (services.Usable()) measure("not prepared", [&] { return services.Unprepare(); });
}

// --- idle ----------------------------------------------------------------------------

// The Unix side of a Wine process ("Z:\\proc\\<pid>\\"), found by the
// program's path on its command line; "" elsewhere.
std::string UnixProcessFolder(const std::string& exe) {
  WIN32_FIND_DATAA found;
  kit::FindHandle find(FindFirstFileA("Z:\\proc\\*", &found));
  if (!find) return "";
  do {
    const std::string pid = found.cFileName;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream cmdline("Z:\\proc\\" + pid + "\\cmdline", std::ios::binary);
    std::string command((std::istreambuf_iterator<char>(cmdline)), {});
    if (command.find(exe) != std::string::npos) return "Z:\\proc\\" + pid + "\\";
  } while (FindNextFileA(find.Get(), &found));
  return "";
}

// Under Wine the times the system reports for another process miss most of
// its work; the process's Unix side has it all (stat, in ticks of 1/100 s).
double UnixProcessorSeconds(const std::string& exe) {
  const std::string folder = UnixProcessFolder(exe);
  if (folder.empty()) return 0;
  std::ifstream stat(folder + "stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  if (text.rfind(')') == std::string::npos) return 0;
  std::istringstream fields(text.substr(text.rfind(')') + 2));  // after the name
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i == 14 || i == 15) ticks += std::stod(field);
  return ticks / 100;
}

// The same process's time on a processor in seconds, to the nanosecond: the
// sum over its threads of the first figure of their schedstat (the ticks of
// stat come in hundredths and are taken by sampling). Threads that ended in
// between are missing from it; 0 where there is none.
double UnixRunSeconds(const std::string& exe) {
  const std::string folder = UnixProcessFolder(exe);
  if (folder.empty()) return 0;
  WIN32_FIND_DATAA found;
  kit::FindHandle find(FindFirstFileA((folder + "task\\*").c_str(), &found));
  if (!find) return 0;
  double nanoseconds = 0;
  do {
    const std::string tid = found.cFileName;
    if (tid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream schedstat(folder + "task\\" + tid + "\\schedstat");
    double run = 0;
    if (schedstat >> run) nanoseconds += run;
  } while (FindNextFileA(find.Get(), &found));
  return nanoseconds / 1e9;
}

// The Unix process's resident memory in KB ("VmRSS" of its status); 0
// elsewhere.
long UnixResidentKB(const std::string& exe) {
  const std::string folder = UnixProcessFolder(exe);
  if (folder.empty()) return 0;
  std::ifstream status(folder + "status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

// The machine's load averages over 1, 5 and 15 minutes, where there are any.
std::string LoadAverage() {
  std::ifstream loadavg("Z:\\proc\\loadavg");
  std::string one, five, fifteen;
  if (!(loadavg >> one >> five >> fifteen)) return "unknown";
  return one + " " + five + " " + fifteen;
}

struct TProcessorTime {
  // seconds: as GetProcessTimes tells, as the Unix side's ticks tell, as its
  // threads' run times tell
  double System, Unix, Run;
};

TProcessorTime ProcessorSeconds(HANDLE process, const std::string& exe) {
  FILETIME created, exited, kernel, user;
  double system = 0;
  if (GetProcessTimes(process, &created, &exited, &kernel, &user)) {
    auto seconds = [](FILETIME t) {
      return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
    };
    system = seconds(kernel) + seconds(user);
  }
  return {system, UnixProcessorSeconds(exe), UnixRunSeconds(exe)};
}

// One idle figure: percent of one core, the Windows process's own and its
// Unix process's, by its ticks and by its threads' run times (Wine's work
// included; 0 where there is none).
struct TIdleFigure {
  double Own = 0, Unix = 0, Run = 0;
};

// The pointer rests in the screen's corner, off the program's window: over
// a window whose controls follow the mouse, Wine looks for the pointer's
// leaving a few times a second (Windows tells without looking).
void PointerAway() {
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

// The floor: a program of the benchmark's own that does only the refresh
// the program must do, once a second (FloorProbe.cpp), running while it
// lives.
class TFloorProbe {
 public:
  TFloorProbe() : exe_(harness::OwnFolder() + "orvane_bench_floor_probe.exe") {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::string command = "\"" + exe_ + "\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        harness::OwnFolder().c_str(), &startup, &process)) {
      std::printf("idle: the floor probe did not start\n");
      return;
    }
    process_.Reset(process.hProcess);
    kit::Handle thread(process.hThread);
  }
  ~TFloorProbe() {
    if (!process_) return;
    TerminateProcess(process_.Get(), 0);
    WaitForSingleObject(process_.Get(), kPatienceMs);
  }
  TFloorProbe(const TFloorProbe&) = delete;
  TFloorProbe& operator=(const TFloorProbe&) = delete;
  HANDLE Process() const { return process_.Get(); }
  const std::string& Exe() const { return exe_; }

 private:
  std::string exe_;
  kit::Handle process_;
};

// What is measured over one stretch of time: the program, and the floor
// probe running beside it (in the same prefix, through the same load).
struct TIdleMeasure {
  TIdleFigure Program, Floor;
};

void PrintFigure(const char* what, double own, double unix, double run, double seconds) {
  std::printf("%s: own time %.3f s, %.3f %% of one core", what, own * seconds / 100, own);
  if (unix > 0 || run > 0)
    std::printf("; its Unix process, Wine's work included: %.3f %% (run time %.3f %%)", unix, run);
}

// `seconds` of doing nothing after the start-up's (or the last click's) own
// work is over; the probe, when given, measured over the same seconds.
TIdleMeasure MeasureIdle(HANDLE process, const std::string& exe, const char* where, int seconds,
                         const TFloorProbe* probe = nullptr) {
  PointerAway();
  Sleep(5000);
  TProcessorTime before = ProcessorSeconds(process, exe);
  TProcessorTime floorBefore = probe ? ProcessorSeconds(probe->Process(), probe->Exe()) : TProcessorTime{};
  Clock::time_point from = Clock::now();
  Sleep(seconds * 1000);
  TProcessorTime after = ProcessorSeconds(process, exe);
  TProcessorTime floorAfter = probe ? ProcessorSeconds(probe->Process(), probe->Exe()) : TProcessorTime{};
  double span = Milliseconds(Clock::now() - from) / 1000;
  auto percent = [span](const TProcessorTime& a, const TProcessorTime& b) {
    return TIdleFigure{100 * (b.System - a.System) / span, 100 * (b.Unix - a.Unix) / span,
                       100 * (b.Run - a.Run) / span};
  };
  TIdleMeasure measure{percent(before, after), probe ? percent(floorBefore, floorAfter) : TIdleFigure{}};
  std::printf("idle (%s), %.0f s, load %s\n", where, span, LoadAverage().c_str());
  PrintFigure("  the program", measure.Program.Own, measure.Program.Unix, measure.Program.Run, span);
  std::printf("\n");
  if (probe) {
    PrintFigure("  the floor probe beside it", measure.Floor.Own, measure.Floor.Unix, measure.Floor.Run, span);
    std::printf("\n");
  }
  std::fflush(stdout);
  return measure;
}

// The probe alone, for the floor as it is without the program.
TIdleFigure FloorAlone(const char* when, int seconds) {
  TFloorProbe probe;
  if (!probe.Process()) return {};
  const std::string where = std::string("the floor probe alone, ") + when;
  return MeasureIdle(probe.Process(), probe.Exe(), where.c_str(), seconds).Program;
}

struct TIdleState {
  std::string Name;
  TIdleMeasure Measure;
  double Goal;  // at most this many times the floor
};

// Puts another build's program (orvane.exe, its test build and the engine,
// from `folder`) in place of this build's in a run's folder; nothing when
// `folder` is empty.
// False, and says so, when a file could not be taken: the run would
// otherwise measure this build under the other's name.
bool TakeProgramFrom(const std::string& folder, const TProgramRun& program) {
  if (folder.empty()) return true;
  for (const char* file : {"orvane.exe", "orvane_automation.exe", "Tarnwick.dll"}) {
    if (!CopyFileA((folder + "\\" + file).c_str(), program.File(file).c_str(), FALSE)) {
      std::printf("idle: %s could not be taken from %s (error %lu)\n", file, folder.c_str(), GetLastError());
      return false;
    }
  }
  return true;
}

// The program's idle states, in one build (`from`: another build's folder,
// or "" for this one's): hidden in the tray, then each page showing, then
// hidden in the tray after an autorun start; each with the floor probe
// beside it.
void IdleStates(const std::string& from, const std::string& label, int seconds, std::vector<TIdleState>& states) {
  auto name = [&](const std::string& state) { return label.empty() ? state : label + ", " + state; };
  {
    // Hidden in the tray as the close button does with the option on; the
    // shipped program, watched from outside.
    TProgramRun program("bench-idle-tray", TProgramRun::Shipped, TProgramRun::Defaults);
    if (!TakeProgramFrom(from, program)) return;
    harness::RegisterEngine(program.File("Tarnwick.dll"));
    CreateDirectoryA(program.File("Config").c_str(), nullptr);
    program.Setting("PROGRAM_OPTION", "IsMinimizeToTray", "0");  // the one of the two options that counts
    program.Setting("PROGRAM_OPTION", "IsCloseToTray", "1");
    if (!program.Start("", false)) return void(std::printf("idle: the program did not start\n"));
    Clock::time_point start = Clock::now();
    HWND window = nullptr;
    while (!(window = WindowOfSize(program.ProcessId(), 661, 540)) && Milliseconds(Clock::now() - start) < kPatienceMs)
      Sleep(20);
    Sleep(2000);  // the first showing is over
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    while (WindowOfSize(program.ProcessId(), 661, 540) && Milliseconds(Clock::now() - start) < kPatienceMs) Sleep(20);
    TFloorProbe probe;
    const std::string state = name("hidden in the tray");
    states.push_back({state, MeasureIdle(program.Process(), program.Program(), state.c_str(), seconds, &probe), 1.5});
    program.End();
    if (program.Running()) TerminateProcess(program.Process(), 1);
  }
  {
    // Each page showing in turn, the overview strip beside it (the general
    // page is the one the window opens with), in the program's test build.
    TProgramRun program("bench-idle-pages", TProgramRun::Shipped, TProgramRun::Defaults);
    if (!TakeProgramFrom(from, program)) return;
    harness::RegisterEngine(program.File("Tarnwick.dll"));
    if (!program.Start() || !program.AwaitReady()) return void(std::printf("idle: the program did not start\n"));
    const std::pair<const char*, const char*> pages[] = {{"MG", "general page showing"},
                                                          {"MA", "advanced page showing"},
                                                          {"ST", "system settings page showing"},
                                                          {"PM", "process page showing"},
                                                          {"CS", "configuration page showing"}};
    TFloorProbe probe;
    for (const auto& [code, page] : pages) {
      const std::string panel = std::string("MainForm.skimgpnl") + code;
      if (program.Shown(panel) != "visible=1 showing=1") program.Ask(std::string("click\tMainForm.btnTab") + code);
      program.AwaitShown(panel, "visible=1 showing=1");
      const std::string state = name(page);
      states.push_back({state, MeasureIdle(program.Process(), program.Program(), state.c_str(), seconds, &probe), 2});
    }
    program.Ask("close\tMainForm");
    program.WaitForExit();
  }
  {
    // Hidden in the tray from the start, as the autorun entry starts it at
    // log-on (its task included: the engine frees once when the processor
    // is idle, or after its time).
    TProgramRun program("bench-idle-autorun", TProgramRun::Shipped, TProgramRun::Defaults);
    if (!TakeProgramFrom(from, program)) return;
    harness::RegisterEngine(program.File("Tarnwick.dll"));
    if (!program.Start("/autorun", false)) return void(std::printf("idle: the program did not start\n"));
    Sleep(5000);  // its start-up is over
    TFloorProbe probe;
    const std::string state = name("hidden in the tray after an autorun start");
    states.push_back({state, MeasureIdle(program.Process(), program.Program(), state.c_str(), seconds, &probe), 1.5});
    TerminateProcess(program.Process(), 1);  // no window to close: ended as a log-off would
    WaitForSingleObject(program.Process(), kPatienceMs);
  }
}

// `against`: another build's folder whose program is measured first, in
// the same run ("" for none).
void Idle(int seconds, const std::string& against) {
  std::vector<TIdleState> states;
  const TIdleFigure floorBefore = FloorAlone("before", seconds);
  if (!against.empty()) IdleStates(against, "other build", seconds, states);
  IdleStates("", against.empty() ? "" : "this build", seconds, states);
  const TIdleFigure floorAfter = FloorAlone("after", seconds);
  std::printf("idle: the floor probe alone, Wine's work included: %.3f %% before, %.3f %% after (run time %.3f %%, "
              "%.3f %%)\n",
              floorBefore.Unix, floorAfter.Unix, floorBefore.Run, floorAfter.Run);
  std::printf("idle: each state against the floor probe measured beside it over the same seconds:\n");
  auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
  for (const TIdleState& state : states) {
    const TIdleMeasure& m = state.Measure;
    std::printf("idle (%s): %.3f %% against %.3f %%, %.2fx; by run time %.3f %% against %.3f %%, %.2fx (goal <= "
                "%.1fx)\n",
                state.Name.c_str(), m.Program.Unix, m.Floor.Unix, ratio(m.Program.Unix, m.Floor.Unix), m.Program.Run,
                m.Floor.Run, ratio(m.Program.Run, m.Floor.Run), state.Goal);
  }
  std::fflush(stdout);
}

// --- churn ---------------------------------------------------------------------------

// The test build's own private bytes, as it logs them, or 0.
unsigned long long PrivateBytes(TProgramRun& program) {
  if (!program.Script("memory")) return 0;
  const std::vector<std::string> log = program.Log();
  for (auto line = log.rbegin(); line != log.rend(); ++line)
    if (line->rfind("Private bytes\t", 0) == 0) return std::stoull(line->substr(14));
  return 0;
}

// 150 short-lived programs, ten at a time, each living long enough for the
// process list to see it come and go.
void StartAndEnd150() {
  const std::string child = "\"" + harness::OwnFolder() + "pmchild.exe\" " + std::to_string(GetCurrentProcessId());
  for (int wave = 0; wave < 15; ++wave) {
    std::vector<HANDLE> running;
    for (int i = 0; i < 10; ++i) {
      STARTUPINFOA startup{};
      startup.cb = sizeof(startup);
      PROCESS_INFORMATION process{};
      std::string command = child;
      if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        continue;
      CloseHandle(process.hThread);
      running.push_back(process.hProcess);
    }
    Sleep(1600);
    for (HANDLE process : running) {
      TerminateProcess(process, 0);
      WaitForSingleObject(process, kPatienceMs);
      CloseHandle(process);
    }
    Sleep(1600);
  }
}

void Churn() {
  TProgramRun program("bench-churn", TProgramRun::Scripted, TProgramRun::Defaults);
  if (!program.Start() || !program.AwaitReady()) return void(std::printf("churn: the program did not start\n"));
  program.Ask("click\tMainForm.btnTabPM");
  program.AwaitShown("MainForm.skimgpnlPM", "visible=1 showing=1");
  Sleep(3000);
  std::vector<unsigned long long> own{PrivateBytes(program)};
  std::vector<long> unix{UnixResidentKB(program.File("orvane_scripted.exe"))};
  for (int round = 0; round < 3; ++round) {
    StartAndEnd150();
    own.push_back(PrivateBytes(program));
    unix.push_back(UnixResidentKB(program.File("orvane_scripted.exe")));
  }
  auto kb = [](unsigned long long bytes) { return static_cast<long long>(bytes / 1024); };
  std::printf("churn: the test build's private bytes %lld KB at start, after 150, 300, 450 processes: %lld, %lld, "
              "%lld KB; the second 150 add %lld KB, the third %lld KB (goal <= 256 KB)\n",
              kb(own[0]), kb(own[1]), kb(own[2]), kb(own[3]), kb(own[2]) - kb(own[1]), kb(own[3]) - kb(own[2]));
  if (unix[0] > 0)
    std::printf("churn: its Unix process's resident size %ld, %ld, %ld, %ld KB\n", unix[0], unix[1], unix[2], unix[3]);
  program.Ask("close\tMainForm");
  program.WaitForExit();
}

// --- objects -------------------------------------------------------------------------

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
  // --against <folder>: another build's orvane.exe, orvane_automation.exe
  // and Tarnwick.dll, measured by "idle" in the same run before this one's.
  std::string against;
  for (auto it = parts.begin(); it != parts.end();) {
    if (*it == "--against" && it + 1 != parts.end()) {
      against = *(it + 1);
      it = parts.erase(it, it + 2);
    } else {
      ++it;
    }
  }
  // The stand-in for the service's program in "startup": it never answers.
  if (parts.size() == 1 && parts[0] == kHangingService) return Sleep(kPatienceMs), 0;
  if (parts.empty()) parts = {"startup", "phases", "idle", "churn", "objects"};
  for (const std::string& part : parts) {
    if (part == "startup") Startup();
    else if (part == "phases") Phases();
    else if (part == "idle") Idle(kIdleSeconds, against);
    else if (part.rfind("idle:", 0) == 0) Idle(std::max(1, std::atoi(part.c_str() + 5)), against);
    else if (part == "churn") Churn();
    else if (part == "objects") ObjectCounts();
    else std::printf("unknown part %s (startup, phases, idle[:seconds], churn, objects)\n", part.c_str());
    std::fflush(stdout);
  }
  return 0;
}
