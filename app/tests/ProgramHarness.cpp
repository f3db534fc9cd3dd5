#include "ProgramHarness.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "Program.h"
#include "kit/Own.h"

namespace harness {

const char kEngineClassKey[] = "CLSID\\{0BD06E95-780A-43B3-ACC1-4BD28416246F}\\InprocServer32";

namespace {

constexpr ULONG_PTR kScriptCommand = 0x4F525653;  // "ORVS", as the scripted build expects

// The runs of this test that exist now: a start while one of them runs is a
// second instance on purpose.
std::vector<const TProgramRun*>& Runs() {
  static std::vector<const TProgramRun*> runs;
  return runs;
}

bool GuardHeld() {
  kit::Handle guard(OpenMutexA(SYNCHRONIZE, FALSE, orvane::kSingleInstanceMutex));
  return static_cast<bool>(guard);
}

// A path of the build tree; under Wine the build's own paths are on drive Z:.
std::string BuildPath(std::string path) {
  if (!path.empty() && path[0] == '/') {
    for (char& c : path)
      if (c == '/') c = '\\';
    path = "Z:" + path;
  }
  return path;
}

struct TWindowSearch {
  DWORD ProcessId;
  std::string Class;
  std::vector<HWND> Found;
  bool VisibleOnly;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TWindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->ProcessId) return TRUE;
  if (search->VisibleOnly && !IsWindowVisible(window)) return TRUE;
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  if (search->Class.empty() || search->Class == name) search->Found.push_back(window);
  return TRUE;
}

// Copies a folder's files and subfolders into `to` (both with their
// trailing backslash), made as needed.
void CopyFolder(const std::string& from, const std::string& to) {
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA found;
  kit::FindHandle find(FindFirstFileA((from + "*").c_str(), &found));
  if (!find) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyFolder(from + name + "\\", to + name + "\\");
    else
      CopyFileA((from + name).c_str(), (to + name).c_str(), FALSE);
  } while (FindNextFileA(find.Get(), &found));
}

// Removes a folder with everything in it.
void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  kit::FindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
  if (find) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveFolder(folder + name + "\\");
      else
        DeleteFileA((folder + name).c_str());
    } while (FindNextFileA(find.Get(), &found));
  }
  RemoveDirectoryA(folder.c_str());
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM data) {
  char name[64] = {};
  GetClassNameA(child, name, sizeof(name));
  if (lstrcmpiA(name, "Static") == 0) {
    std::string text = WindowText(child);
    if (!text.empty()) *reinterpret_cast<std::string*>(data) += "|" + text;
  }
  return TRUE;
}

}  // namespace

std::string OwnFolder() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path);
  return self.substr(0, self.find_last_of('\\') + 1);
}

bool RegisterEngine(const std::string& dll, bool registerIt) {
  kit::Module module(LoadLibraryA(dll.c_str()));
  if (!module) return false;
  using Entry = HRESULT(STDAPICALLTYPE*)();
  auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(
      GetProcAddress(module.Get(), registerIt ? "DllRegisterServer" : "DllUnregisterServer")));
  return entry && SUCCEEDED(entry());
}

std::string RegisteredEngineFile() {
  char value[MAX_PATH] = {};
  LONG size = sizeof(value);
  if (RegQueryValueA(HKEY_CLASSES_ROOT, kEngineClassKey, value, &size) != ERROR_SUCCESS) return "";
  return value;
}

std::vector<HWND> VisibleWindows(DWORD processId) {
  TWindowSearch search{processId, "", {}, true};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

std::string DialogTexts(HWND dialog) {
  std::string texts = WindowText(dialog);
  EnumChildWindows(dialog, &CollectStatic, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool Eventually(const std::function<bool()>& done) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < kPatienceMs; Sleep(20))
    if (done()) return true;
  return false;
}

std::string Figures(unsigned long long used, unsigned long long total, unsigned long long usedPagingFile,
                    unsigned long long totalPagingFile, int processor) {
  return "figures\t" + std::to_string(used) + "\t" + std::to_string(total) + "\t" + std::to_string(usedPagingFile) +
         "\t" + std::to_string(totalPagingFile) + "\t" + std::to_string(processor);
}

TChildProcess::TChildProcess() {
  // It waits for this process, so a test that fails leaves nothing running.
  std::string command = "\"" + OwnFolder() + "pmchild.exe\" " + std::to_string(GetCurrentProcessId());
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return;
  process_.Reset(info.hProcess);
  kit::Handle thread(info.hThread);
  id_ = info.dwProcessId;
}

void TChildProcess::End() {
  if (Alive()) TerminateProcess(process_.Get(), 1);
  if (process_) WaitForSingleObject(process_.Get(), kPatienceMs);
}

// --- a run of the program ----------------------------------------------------------

TProgramRun::TProgramRun(const std::string& name, TBuild build, TSettings settings)
    : folder_(OwnFolder() + "runs\\" + name + "\\"), build_(build) {
  Runs().push_back(this);
  RemoveFolder(folder_);
  CreateDirectoryA((OwnFolder() + "runs").c_str(), nullptr);
  CopyFolder(BuildPath(ORVANE_STAGED_FOLDER) + "\\", folder_);
  // The test build beside the shipped program, as it would lie there.
  program_ = File(build == Scripted ? "orvane_scripted.exe" : "orvane_automation.exe");
  CopyFileA(BuildPath(build == Scripted ? ORVANE_SCRIPTED_BUILD : ORVANE_AUTOMATION_BUILD).c_str(), program_.c_str(),
            FALSE);
  if (settings == Defaults) return;
  CreateDirectoryA(File("Config").c_str(), nullptr);
  // The engine's own timers and threads stay out of the tests' way; a deep
  // compress touches 64 MB, not most of the machine's memory.
  Setting("MANUAL_COMPRESSION", "ManualCompressSize", "67108864");
  Setting("MANUAL_COMPRESSION", "ManualCompressLevel", "1");
  Setting("AUTO_COMPRESSION", "IsAutoCompress", "0");
  Setting("AUTO_FREE", "IsAutoFree", "0");
  Setting("AUTORUN_TASK", "IsFreeOnceOnCPUIdle", "0");
  Setting("AUTORUN_TASK", "IsFreeOnceOnTimer", "0");
  Setting("SMART_OPTIMIZATION", "IsSmartLearning", "0");
  Setting("SMART_OPTIMIZATION", "IsSmartCPU", "0");
}

TProgramRun::~TProgramRun() {
  std::erase(Runs(), this);
  if (process_.hProcess) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, kPatienceMs);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
}

void TProgramRun::Setting(const std::string& section, const std::string& key, const std::string& value) {
  WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), File("Config\\config.ini").c_str());
}

std::string TProgramRun::SettingNow(const std::string& section, const std::string& key) const {
  char text[512] = {};
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "<none>", text, sizeof(text),
                           File("Config\\config.ini").c_str());
  return text;
}

bool TProgramRun::AwaitGuardGone() const {
  for (const TProgramRun* run : Runs())
    if (run != this && run->Running()) return true;
  // An ended program's guard may outlive its process for a moment, longer on
  // a loaded machine; a start that found it would end at once.
  if (Eventually([] { return !GuardHeld(); })) return true;
  std::fprintf(stderr, "another program still holds the single-instance guard after %lu s\n",
               static_cast<unsigned long>(kPatienceMs / 1000));
  return false;
}

bool TProgramRun::Start(const std::string& arguments, bool automation) {
  if (!AwaitGuardGone()) return false;
  SetEnvironmentVariableA("BRIMVALE_AUTOMATION", automation ? "1" : nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  if (build_ == Shipped) program_ = File(automation ? "orvane_automation.exe" : "orvane.exe");
  const std::string& exe = program_;
  std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                      &process_))
    return false;
  if (automation && !client_.Connect(process_.dwProcessId, kPatienceMs)) {
    // Say why, for the failing test's output: ended (and how) or silent.
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    std::fprintf(stderr, "%s: no automation channel; %s %lu\n", exe.c_str(),
                 code == STILL_ACTIVE ? "still running, exit code so far" : "ended with exit code",
                 static_cast<unsigned long>(code));
    return false;
  }
  if (build_ == Scripted) {
    DWORD start = GetTickCount();
    while (!script_ && GetTickCount() - start < kPatienceMs) {
      TWindowSearch search{process_.dwProcessId, "OrvaneScript", {}, false};
      EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
      if (!search.Found.empty()) script_ = search.Found.front();
      else Sleep(20);
    }
    if (!script_) {
      std::fprintf(stderr, "%s: no script window\n", exe.c_str());
      return false;
    }
  }
  return true;
}

bool TProgramRun::AwaitReady() { return AwaitProp("MainForm", "Tag", "1") == "1"; }

bool TProgramRun::Restart(const std::string& arguments) {
  const std::string closing = Ask("close\tMainForm");
  const DWORD code = WaitForExit();
  if (code != 0) {
    std::fprintf(stderr, "restart: the closed program %s (close answered \"%s\")\n",
                 code == STILL_ACTIVE ? "did not end in time" : ("ended with " + std::to_string(code)).c_str(),
                 closing.c_str());
    return false;
  }
  return StartAgain(arguments);
}

bool TProgramRun::StartAgain(const std::string& arguments) {
  if (Running()) return false;
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
  process_ = {};
  script_ = nullptr;
  if (!Start(arguments)) return false;
  if (AwaitReady()) return true;
  std::fprintf(stderr, "%s: the main window's first showing did not run\n", program_.c_str());
  return false;
}

bool TProgramRun::Running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD TProgramRun::WaitForExit(DWORD timeoutMs) {
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return code;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

std::string TProgramRun::Ask(const std::string& command) { return client_.Send(command); }

std::string TProgramRun::Await(const std::string& command, const std::function<bool(const std::string&)>& wanted) {
  std::string answer;
  DWORD start = GetTickCount();
  do {
    answer = Ask(command);
    if (wanted(answer)) break;
    Sleep(20);
  } while (GetTickCount() - start < kPatienceMs);
  return answer;
}

std::string TProgramRun::Await(const std::string& command, const std::string& wanted) {
  return Await(command, [&](const std::string& answer) { return answer == wanted; });
}

std::string TProgramRun::AwaitShown(const std::string& path, const std::string& wanted) {
  std::string shown;
  DWORD start = GetTickCount();
  while ((shown = Shown(path)) != wanted && GetTickCount() - start < kPatienceMs) Sleep(20);
  return shown;
}

bool TProgramRun::Script(const std::string& command) {
  if (!script_) return false;
  COPYDATASTRUCT data{kScriptCommand, static_cast<DWORD>(command.size()), const_cast<char*>(command.data())};
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(script_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, kPatienceMs,
                             &result) &&
         result == 1;
}

std::vector<std::string> TProgramRun::Log() const {
  std::vector<std::string> lines;
  std::ifstream in(File("scripted-engine.log"), std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::size_t TProgramRun::LogCount(const std::string& line) const {
  std::size_t count = 0;
  for (const std::string& entry : Log()) count += entry == line;
  return count;
}

bool TProgramRun::AwaitLog(const std::string& line, std::size_t count) {
  DWORD start = GetTickCount();
  while (LogCount(line) < count) {
    if (GetTickCount() - start > kPatienceMs) return false;
    Sleep(20);
  }
  return true;
}

TScopedClassesValue::TScopedClassesValue(const std::string& key, const std::string& value) : key_(key) {
  char old[1024] = {};
  LONG size = sizeof(old);
  had_ = RegQueryValueA(HKEY_CLASSES_ROOT, key_.c_str(), old, &size) == ERROR_SUCCESS;
  old_ = old;
  RegSetValueA(HKEY_CLASSES_ROOT, key_.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
}

TScopedClassesValue::~TScopedClassesValue() {
  if (had_)
    RegSetValueA(HKEY_CLASSES_ROOT, key_.c_str(), REG_SZ, old_.c_str(), static_cast<DWORD>(old_.size()));
  else
    RegDeleteKeyA(HKEY_CLASSES_ROOT, key_.c_str());
}

std::string LinkRecorderCommand() { return "\"" + OwnFolder() + "orvane_link_recorder.exe\" \"%1\""; }

std::string RecordedLinksFile() { return OwnFolder() + "opened-links.txt"; }

std::string AwaitRecordedLink(const std::string& last) {
  std::string links;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < kPatienceMs) {
    std::ifstream in(RecordedLinksFile(), std::ios::binary);
    links.assign(std::istreambuf_iterator<char>(in), {});
    if (links.find(last) != std::string::npos) break;
    Sleep(50);
  }
  return links;
}

}  // namespace harness
