// The fixture of the framed-control tests: the test form shown under the
// test display, timers the tests tick themselves, beeps counted, and pixels
// read back from the screen (frames live outside the client area, where
// printing a window does not reach).
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "CkShell.h"
#include "FramedClasses.h"
#include "Pixels.h"
#include "gui/Automation.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/Themes.h"

namespace cktest {

namespace at = gui::automation;

// The last window timer started; a test ticks it by hand.
struct ManualTimer : TTimerService {
  bool Start(HWND w, UINT_PTR i, UINT interval) override {
    window = w;
    id = i;
    lastInterval = interval;
    running = true;
    return true;
  }
  void Stop(HWND, UINT_PTR) override { running = false; }
  void Fire() const { ::SendMessageA(window, WM_TIMER, id, 0); }
  HWND window = nullptr;
  UINT_PTR id = 0;
  UINT lastInterval = 0;
  bool running = false;
};

class Framed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterFramedClasses();
    Application->Initialize();
    at::Enable();
  }

  void SetUp() override {
    ThemeServices().SetThemesEnabled(false);
    TTimer::SetService(&timer);
    SetBeepHook([this] { ++beeps; });
    at::ClearRecords();
    SetCursorPos(0, 0);
    form = CreateForm<TFramedForm>(Application);
    form->Show();
    at::Pump();
  }

  void TearDown() override {
    delete form;
    at::Pump();
    TTimer::SetService(nullptr);
    SetBeepHook({});
    ForceComCtl32Version(std::nullopt);
    ThemeServices().SetThemesEnabled(std::nullopt);
  }

  template <class T>
  T* Get(const char* name) {
    T* c = dynamic_cast<T*>(form->FindComponent(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }

  // The whole window of a control (frame included) as the screen shows it,
  // painted anew unless only what the control asked for itself should show.
  static std::unique_ptr<TBitmap> Grab(TWinControl* c, bool repaint = true) {
    if (repaint)
      RedrawWindow(c->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    else
      at::Pump();
    auto b = Surface(c->Width(), c->Height(), clFuchsia);
    TWindowDC dc(c->Handle());
    BitBlt(b->Canvas().Handle(), 0, 0, c->Width(), c->Height(), dc.Handle(), 0, 0, SRCCOPY);
    return b;
  }

  ManualTimer timer;
  int beeps = 0;
  TFramedForm* form = nullptr;
};

}  // namespace cktest
