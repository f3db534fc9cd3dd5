// Runs the program as a user gets it: a fresh copy of the staged program
// folder per test, the program started in it (the shipped orvane.exe, or a
// test build of it with the automation channel) and driven through that
// channel, the scripted engine through its script window, and the engine's
// registration in the test's Wine prefix.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "kit/Own.h"

namespace harness {

// How long a wait for the program holds before it fails: a safety net for a
// loaded machine, never a speed check.
inline constexpr DWORD kPatienceMs = 120000;

// The folder of the running program (a test or a benchmark), with its
// trailing backslash; the runs' folders are made below it.
std::string OwnFolder();

// The engine's class as the registry knows it.
extern const char kEngineClassKey[];

// Registers or unregisters an engine file the way an installer does; false
// when the file cannot be loaded or refuses.
bool RegisterEngine(const std::string& dll, bool registerIt = true);
// The file the registry names for the engine's class, or "".
std::string RegisteredEngineFile();

// The top-level windows of a process that are visible now.
std::vector<HWND> VisibleWindows(DWORD processId);
std::string WindowText(HWND window);
// A dialog's caption and every static text in it, joined by "|".
std::string DialogTexts(HWND dialog);

class TProgramRun {
 public:
  // Shipped: the shipped program's code. Started with automation it is its
  // test build orvane_automation.exe (the same entry and code plus the
  // channel); started without, the exact shipped orvane.exe of the folder,
  // to be watched from outside. Scripted: orvane_scripted.exe.
  enum TBuild { Shipped, Scripted };
  // Quiet: settings that keep the engine's own automatic work off (and a
  // deep compress small); Defaults: none, the engine makes its own.
  enum TSettings { Quiet, Defaults };

  // A fresh copy of the staged program folder at runs\<name>\ in OwnFolder.
  TProgramRun(const std::string& name, TBuild build, TSettings settings = Quiet);
  ~TProgramRun();
  TProgramRun(const TProgramRun&) = delete;
  TProgramRun& operator=(const TProgramRun&) = delete;

  const std::string& Folder() const { return folder_; }
  std::string File(const std::string& name) const { return folder_ + name; }
  // Config\config.ini, before the program starts.
  void Setting(const std::string& section, const std::string& key, const std::string& value);
  std::string SettingNow(const std::string& section, const std::string& key) const;

  // Starts the program with the arguments; with automation, connects to its
  // channel (false when it does not come up). Unless another run of this
  // test is running (a second instance wanted), it first waits until no
  // program holds the single-instance guard.
  bool Start(const std::string& arguments = "", bool automation = true);
  // Waits until the first showing of the main window has run.
  bool AwaitReady();
  // Closes the main window as the user does, waits for the program's end and
  // starts it again in the same folder, up to its first showing.
  bool Restart(const std::string& arguments = "");
  // After the program ended: starts it again in the same folder, up to its
  // first showing.
  bool StartAgain(const std::string& arguments = "");
  // The file started last (or to be started with automation).
  const std::string& Program() const { return program_; }
  DWORD ProcessId() const { return process_.dwProcessId; }
  HANDLE Process() const { return process_.hProcess; }
  bool Running() const;
  // The exit code, or STILL_ACTIVE when the program did not end in time.
  DWORD WaitForExit(DWORD timeoutMs = kPatienceMs);
  // A program still running is ended through its channel: its exit code
  // (0 when it was not running).
  DWORD End() {
    if (!Running()) return 0;
    Ask("terminate");
    return WaitForExit();
  }

  std::string Ask(const std::string& command);
  // Asks again until the answer is one wanted; the last answer.
  std::string Await(const std::string& command, const std::function<bool(const std::string&)>& wanted);
  std::string Await(const std::string& command, const std::string& wanted);
  std::string Text(const std::string& path) { return Ask("text\t" + path); }
  // "visible=1 showing=1" or so: the state without the focus, which the
  // window manager of the moment decides.
  std::string Shown(const std::string& path) {
    std::string state = Ask("state\t" + path);
    return state.substr(0, state.find(" enabled="));
  }
  std::string AwaitShown(const std::string& path, const std::string& wanted);
  // Waits until the form or one of its controls has the keyboard focus, so
  // that keys reach it (a window shown gets it a moment later on a loaded
  // machine); whether it came.
  bool AwaitFocusIn(const std::string& form) {
    auto in = [&](const std::string& focus) { return focus == form || focus.rfind(form + ".", 0) == 0; };
    return in(Await("focus", in));
  }
  // The scripted build shows the about window modally; true once it shows
  // and has the keyboard.
  bool ShowAbout() {
    return Script("about") && AwaitShown("AboutForm", "visible=1 showing=1") == "visible=1 showing=1" &&
           AwaitFocusIn("AboutForm");
  }
  std::string Prop(const std::string& path, const std::string& property) {
    return Ask("prop\t" + path + "\t" + property);
  }
  std::string AwaitProp(const std::string& path, const std::string& property, const std::string& wanted) {
    return Await("prop\t" + path + "\t" + property, wanted);
  }

  // One command to the scripted engine (words separated by tabs); true when
  // it was carried out.
  bool Script(const std::string& command);
  // The scripted engine's call log, one entry a line.
  std::vector<std::string> Log() const;
  // Waits until the log holds `count` lines equal to `line`.
  bool AwaitLog(const std::string& line, std::size_t count = 1);
  std::size_t LogCount(const std::string& line) const;

 private:
  bool AwaitGuardGone() const;

  std::string folder_;
  TBuild build_;
  std::string program_;
  PROCESS_INFORMATION process_{};
  gui::automation::TAutomationClient client_;
  HWND script_ = nullptr;
};

// A process of the test's own for the program to list, end and change
// (pmchild.exe beside the test); it ends when this goes, or with the test at
// the latest.
class TChildProcess {
 public:
  TChildProcess();
  ~TChildProcess() { End(); }
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  DWORD Id() const { return id_; }
  // The id as the process list shows it.
  std::string IdText() const { return std::to_string(id_); }
  HANDLE Handle() const { return process_.Get(); }
  bool Alive() const { return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }
  void End();

 private:
  kit::Handle process_;
  DWORD id_ = 0;
};

// A default value under HKEY_CLASSES_ROOT (a file type, or the shell's
// program for a type or URL scheme), replaced for a test and put back.
class TScopedClassesValue {
 public:
  TScopedClassesValue(const std::string& key, const std::string& value);
  ~TScopedClassesValue();
  TScopedClassesValue(const TScopedClassesValue&) = delete;
  TScopedClassesValue& operator=(const TScopedClassesValue&) = delete;

 private:
  std::string key_, old_;
  bool had_ = false;
};

// The shell opens every link and file of the scheme or type through the
// test's recorder, which writes them to RecordedLinksFile(), one a line.
std::string LinkRecorderCommand();
std::string RecordedLinksFile();
// The recorded links once `last` is among them (or the time ran out).
std::string AwaitRecordedLink(const std::string& last);

// Asks `done` again until it holds, for kPatienceMs at most; whether it did.
bool Eventually(const std::function<bool()>& done);

// "used total usedPF totalPF cpu" as the scripted engine's figures command.
std::string Figures(unsigned long long used, unsigned long long total, unsigned long long usedPagingFile,
                    unsigned long long totalPagingFile, int processor);

}  // namespace harness
