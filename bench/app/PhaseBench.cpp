// The start-up's parts, each timed on its own in this process (printed
// figures; see ProgramBench.cpp): reading each of the program's forms from
// orvane.exe's resources, making the main window's windows, creating and
// opening the engine, and hiding a shown popup as the splash's end does.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AboutForm.h"
#include "MainForm.h"
#include "PhaseBench.h"
#include "Program.h"
#include "ProgramHarness.h"
#include "RulesForm.h"
#include "SplashForm.h"
#include "VozEverAvizi.h"
#include "engineclient/EngineClient.h"
#include "gui/FormReader.h"
#include "gui/Forms.h"
#include "kit/Own.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;

// The median milliseconds of kRuns calls; setup and cleanup run untimed.
double MedianMs(const std::function<void()>& setup, const std::function<void()>& timed,
                const std::function<void()>& cleanup) {
  std::vector<double> times;
  for (int i = 0; i < kRuns; ++i) {
    setup();
    const Clock::time_point start = Clock::now();
    timed();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    cleanup();
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

template <class Form>
void ReadEach(gui::TFormSource& source, const char* name, bool windows) {
  std::unique_ptr<Form> form;
  auto fresh = [&] { form = std::make_unique<Form>(nullptr); };
  auto drop = [&] { form.reset(); };
  const double read = MedianMs(fresh, [&] { gui::ReadForm(*form, source); }, drop);
  std::printf("phases: reading %-10s %7.1f ms\n", name, read);
  if (!windows) return;
  auto readOnly = [&] { fresh(), gui::ReadForm(*form, source); };
  std::printf("phases: its windows made  %7.1f ms\n", MedianMs(readOnly, [&] { form->HandleNeeded(); }, drop));
}

LRESULT CALLBACK PopupProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, msg, wParam, lParam);
}

// A layered popup of the splash's size, shown with showCommand and painted;
// the figure is its hiding. Under Wine on an X server without a window
// manager, hiding a window that was activated when shown waits for the
// manager's answer up to its time limit.
double HidePopup(int showCommand) {
  static const ATOM popupClass = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &PopupProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PhaseBenchPopup";
    return RegisterClassExW(&wc);
  }();
  HWND popup = nullptr;
  auto show = [&] {
    popup = CreateWindowExW(WS_EX_LAYERED, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(popupClass)), L"",
                            WS_POPUP, 400, 400, 410, 159, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetLayeredWindowAttributes(popup, 0, 255, LWA_ALPHA);
    ShowWindow(popup, showCommand);
    UpdateWindow(popup);
  };
  return MedianMs(show, [&] { ShowWindow(popup, SW_HIDE); }, [&] { DestroyWindow(popup); });
}

}  // namespace

void Phases() {
  harness::TProgramRun program("bench-phases", harness::TProgramRun::Shipped);
  harness::RegisterEngine(program.File("Tarnwick.dll"));
  orvane::RegisterProgramClasses();
  components::InitializeLanguages();
  components::LoadLanguage(0);
  gui::Application->Initialize();
  kit::Module exe(LoadLibraryExA(program.File("orvane.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!exe) return void(std::printf("phases: orvane.exe cannot be read\n"));
  gui::TResourceFormSource source(exe.Get());
  std::printf("phases: medians of %d, each part alone in this process\n", kRuns);
  ReadEach<orvane::TMainForm>(source, "MainForm", true);
  ReadEach<orvane::TSplashForm>(source, "SplashForm", false);
  ReadEach<orvane::TRulesForm>(source, "RulesForm", false);
  ReadEach<orvane::TAboutForm>(source, "AboutForm", false);

  std::unique_ptr<gui::TMOMain> engine;
  const double open = MedianMs([&] { engine = std::make_unique<gui::TMOMain>(nullptr); },
                               [&] { engine->Open(); },
                               [&] {
                                 engine->Close();
                                 engine.reset();
                               });
  std::printf("phases: engine created and opened %7.1f ms\n", open);
  std::printf("phases: popup hidden, shown activated %7.1f ms, shown without activation %7.1f ms\n",
              HidePopup(SW_SHOWNORMAL), HidePopup(SW_SHOWNOACTIVATE));
}
