// The fixture of the framed-control tests: the test form shown under the
// test display, timers the tests tick themselves, beeps counted, and pixels
// read back from the screen (frames live outside the client area, where
// printing a window does not reach).
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "FramedClasses.h"
#include "Pixels.h"
#include "gui/Automation.h"
#include "kit/Own.h"
#include "testsupport/FormFixture.h"
#include "testsupport/Hooks.h"

namespace cktest {

namespace at = gui::automation;

class Framed : public testsupport::FormFixture<TFramedForm> {
 protected:
  static void SetUpTestSuite() {
    RegisterFramedClasses();
    Application->Initialize();
    at::Enable();
  }

  void SetUp() override {
    at::ClearRecords();
    SetCursorPos(0, 0);
    FormFixture::SetUp();
  }

  // The whole window of a control (frame included) as the screen shows it,
  // painted anew unless only what the control asked for itself should show.
  static std::unique_ptr<TBitmap> Grab(TWinControl* c, bool repaint = true) {
    if (repaint)
      RedrawWindow(c->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    else
      at::Pump();
    auto b = Surface(c->Width(), c->Height(), clFuchsia);
    kit::WindowDC dc(c->Handle(), kit::WindowDC::Whole);
    BitBlt(b->Canvas().Handle(), 0, 0, c->Width(), c->Height(), dc.Get(), 0, 0, SRCCOPY);
    return b;
  }

  testsupport::ScopedThemes themes{false};
  testsupport::ScopedTimers timer;
  testsupport::ScopedBeeps beeps;
};

}  // namespace cktest
