// The program's test build: orvane.exe's own code with the scripted engine
// in place of the real engine's figures and events. A test drives it through
// the automation channel like the program, and scripts it through a window
// of class "OrvaneScript": each WM_COPYDATA carries one command, words
// separated by tabs, and is answered 1 when it was carried out.
//
//   figures  usedMemory totalMemory usedPagingFile totalPagingFile processor
//   fire     fast|deep value           a progress event, now
//   onclose  fast|deep value           the same, from inside the engine's Close
//   set      CloseToTrayOn|CpuProtectionOn|MinimizeToTrayOn 0|1
//   interval tmrOverview|tmrWait5Min ms
//   hotkey   add|press code            register with the manager / press it
//   tray     0|1                       the tray icon's visibility
//   press    Component, release Component x y     the left button, in-process
//   about                              shows the about window modally, next
//   click    Component                 a left click on it, next (what it opens
//                                      modally holds no command)
//   splash                             makes and shows a splash window as at start
//   refresh count, tabs count          that many overview refreshes / tab changes
//   fail     Refresh|DeepCompress hr   the engine call answers hr (signed), 0 for S_OK
//   ticks    ms                        "Tick" logged every ms, by the program's own thread
//   box      flags                     a real message box with these flags, next
//   memory                             logs "Private bytes" and the program's own private bytes
//
// Engine calls, balloons, the tray icon's removal, the program's windows as they are first shown and
// the main window's state after an event inside Close are written to
// "scripted-engine.log" in the program folder.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "AboutForm.h"
#include "HotKeyManager.h"
#include "HotKeyTexts.h"
#include "MainForm.h"
#include "Program.h"
#include "ScriptedEngine.h"
#include "SplashForm.h"
#include "TrayIcon.h"
#include "VeeButton.h"
#include "VeeSysTools.h"
#include "gui/Automation.h"

using namespace orvane;

namespace {

constexpr ULONG_PTR kScriptCommand = 0x4F525653;  // "ORVS"
constexpr UINT kShowAbout = WM_APP + 1;
constexpr UINT kClickLater = WM_APP + 2;
constexpr UINT kBoxLater = WM_APP + 3;
constexpr UINT_PTR kTickTimer = 1;
const char kScriptClass[] = "OrvaneScript";

scripted::TCallLog* callLog = nullptr;
scripted::TScriptedEngineFactory* factory = nullptr;

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; std::getline(in, word, '\t');) words.push_back(word);
  return words;
}

std::string Escaped(const char* text) {
  std::string out;
  for (; *text; ++text) out += *text == '\r' ? std::string("\\r") : *text == '\n' ? std::string("\\n") : std::string(1, *text);
  return out;
}

// Balloons and the icon's removal go to the log, then to the system.
class TRecordingShell : public components::TTrayIconShell {
 public:
  bool NotifyIcon(DWORD message, NOTIFYICONDATAA& data) override {
    if (message == NIM_DELETE) callLog->Write("Tray icon removed");
    if (message == NIM_MODIFY && (data.uFlags & NIF_INFO))
      callLog->Write(std::string("Balloon\t") + Escaped(data.szInfoTitle) + "\t" + Escaped(data.szInfo) + "\t" +
                     std::to_string(data.dwInfoFlags) + "\t" + std::to_string(data.uTimeout));
    return components::TTrayIconShell::NotifyIcon(message, data);
  }
};

// Logs the first showing of each top-level window of the program, by class.
LRESULT CALLBACK WatchShowing(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == WM_SHOWWINDOW && message->wParam &&
      !(GetWindowLongA(message->hwnd, GWL_STYLE) & WS_CHILD)) {
    static std::vector<HWND> seen;
    if (std::find(seen.begin(), seen.end(), message->hwnd) == seen.end()) {
      seen.push_back(message->hwnd);
      char name[64] = {};
      GetClassNameA(message->hwnd, name, sizeof(name));
      callLog->Write(std::string("Shown ") + name);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

DISPID ProgressEvent(const std::string& name) { return name == "deep" ? 1 : 2; }

bool Execute(HWND window, const std::vector<std::string>& a) {
  if (a.empty() || !MainForm) return false;
  auto arg = [&](std::size_t i) { return i < a.size() ? a[i] : std::string(); };
  auto number = [&](std::size_t i) { return std::stoull(arg(i)); };
  scripted::TScriptedEngine* engine = factory->Engine();
  const std::string& command = a[0];
  if (command == "figures" && engine && a.size() == 6) {
    engine->Figures() = {number(2), number(1), number(4), number(3), static_cast<unsigned char>(number(5))};
    return true;
  }
  if (command == "fire" && engine) {
    engine->FireProgress(ProgressEvent(arg(1)), static_cast<unsigned char>(number(2)));
    return true;
  }
  if (command == "onclose" && engine) {
    DISPID event = ProgressEvent(arg(1));
    auto value = static_cast<unsigned char>(number(2));
    engine->OnClose.push_back([engine, event, value] {
      engine->FireProgress(event, value);
      callLog->Write(std::string("After event in Close\ttmrOverview=") +
                     (MainForm->tmrOverview->Enabled() ? "1" : "0") +
                     "\tbtnFreeUp=" + (MainForm->btnFreeUp->Visible() ? "1" : "0"));
    });
    return true;
  }
  if (command == "set") {
    bool on = arg(2) == "1";
    if (arg(1) == "CloseToTrayOn") MainForm->CloseToTrayOn = on;
    else if (arg(1) == "CpuProtectionOn") MainForm->CpuProtectionOn = on;
    else if (arg(1) == "MinimizeToTrayOn") MainForm->MinimizeToTrayOn = on;
    else return false;
    return true;
  }
  if (command == "interval") {
    auto* timer = dynamic_cast<gui::TTimer*>(MainForm->FindComponent(arg(1)));
    if (!timer) return false;
    timer->SetInterval(static_cast<UINT>(number(2)));
    return true;
  }
  if (command == "hotkey") {
    auto code = static_cast<DWORD>(number(2));
    if (arg(1) == "add") return MainForm->hkmMain->AddHotKey(code) != 0;
    // As the system reports a registered key: modifiers low, key high.
    PostMessageA(MainForm->hkmMain->Handle(), WM_HOTKEY, 0,
                 MAKELPARAM(components::HotKeyModifiers(code), code & 0xFF));
    return true;
  }
  if (command == "tray") {
    MainForm->tiTrayIcon->SetIconVisible(arg(1) == "1");
    return true;
  }
  if (command == "refresh") {
    for (auto n = number(1); n > 0; --n) MainForm->RefreshOverview();
    return true;
  }
  if (command == "tabs") {
    components::TVeeButton* tabs[] = {MainForm->btnTabMG, MainForm->btnTabMA, MainForm->btnTabST,
                                      MainForm->btnTabPM, MainForm->btnTabCS};
    for (unsigned long long n = 0; n < number(1); ++n) tabs[n % 5]->Click();
    return true;
  }
  if (command == "memory") {
    // The commit charge: the process's private bytes (Wine leaves the
    // extended counters' copy of it empty).
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return false;
    callLog->Write("Private bytes\t" + std::to_string(counters.PagefileUsage));
    return true;
  }
  if (command == "splash") {
    TSplashForm* splash = gui::CreateForm<TSplashForm>(gui::Application);
    splash->Show();
    splash->Repaint();
    return true;
  }
  if (command == "fail" && engine) {
    const auto result = static_cast<HRESULT>(std::stol(arg(2)));
    if (arg(1) == "Refresh") engine->FailRefresh(result);
    else if (arg(1) == "DeepCompress") engine->DeepCompressResult = result;
    else return false;
    return true;
  }
  if (command == "ticks") return SetTimer(window, kTickTimer, static_cast<UINT>(number(1)), nullptr) != 0;
  if (command == "box") return PostMessageA(window, kBoxLater, static_cast<WPARAM>(number(1)), 0);
  if (command == "about") {
    // After the answer: a modal loop inside the command would hold the test.
    return AboutForm && PostMessageA(window, kShowAbout, 0, 0);
  }
  if (command == "click") {
    auto* control = dynamic_cast<gui::TControl*>(MainForm->FindComponent(arg(1)));
    return control && PostMessageA(window, kClickLater, 0, reinterpret_cast<LPARAM>(control));
  }
  if (command == "press" || command == "release") {
    auto* control = dynamic_cast<gui::TControl*>(MainForm->FindComponent(arg(1)));
    if (!control) return false;
    if (command == "press") {
      gui::automation::MouseDown(control, gui::mbLeft, {control->Width() / 2, control->Height() / 2});
    } else {
      gui::automation::MouseUp(control, gui::mbLeft,
                               {static_cast<int>(std::stoi(arg(2))), static_cast<int>(std::stoi(arg(3)))});
    }
    return true;
  }
  return false;
}

LRESULT CALLBACK ScriptProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
    if (data->dwData != kScriptCommand) return 0;
    try {
      return Execute(window, Words(std::string(static_cast<const char*>(data->lpData), data->cbData))) ? 1 : 0;
    } catch (const std::exception&) {
      return 0;
    }
  }
  if (msg == WM_TIMER && wParam == kTickTimer) {
    callLog->Write("Tick");
    return 0;
  }
  if (msg == kBoxLater) {
    gui::Application->ShowMessageBox("A box of the test's own", "Scripted", static_cast<UINT>(wParam));
    return 0;
  }
  if ((msg == kShowAbout && AboutForm) || msg == kClickLater) {
    try {
      if (msg == kShowAbout)
        AboutForm->ShowModal();
      else
        gui::automation::Click(reinterpret_cast<gui::TControl*>(lParam));
    } catch (const std::exception&) {
      gui::Application->HandleException(nullptr);
    }
    return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  gui::automation::OfferChannel();
  // The engine is made on the program's thread, after this apartment exists.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // What follows serves the program to its very end, while its forms (and
  // with them the engine and the tray icon) go: none of it is ever freed.
  const std::string folder = components::GetProgramFolder();
  callLog = new scripted::TCallLog(folder + "scripted-engine.log");
  factory = new scripted::TScriptedEngineFactory(*callLog, folder + "Tarnwick.dll");
  components::SetTrayIconShell(new TRecordingShell);

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &ScriptProc;
  wc.hInstance = instance;
  wc.lpszClassName = kScriptClass;
  RegisterClassExA(&wc);
  CreateWindowExA(WS_EX_TOOLWINDOW, kScriptClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  SetWindowsHookExA(WH_CALLWNDPROC, &WatchShowing, nullptr, GetCurrentThreadId());
  return RunProgram();
}
