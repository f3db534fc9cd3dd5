// The form and the shared fixture of the check box, radio button and track
// bar tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CkRadChk.h"
#include "CkTrkBar.h"
#include "Pixels.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"

namespace cktest {

class TInputForm : public TForm {
  GUI_CLASS(TInputForm, TForm)

 public:
  explicit TInputForm(TComponent* owner) : TForm(owner) {}
  void BoxClick(TObject* Sender);
  void RadioClick(TObject* Sender);
  void BarChange(TObject* Sender);
  // "name" per click, "name=position" per change.
  std::vector<std::string> events;
};

// Window timers the tests tick themselves.
struct TFakeTimers : TTimerService {
  std::vector<UINT> starts;
  int stops = 0;
  HWND window = nullptr;
  UINT_PTR id = 0;
  bool running = false;
  bool Start(HWND w, UINT_PTR i, UINT interval) override;
  void Stop(HWND, UINT_PTR) override;
  void Tick() const { SendMessageA(window, WM_TIMER, id, 0); }
};

class InputTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  template <class T>
  T* Get(const char* name) {
    T* c = dynamic_cast<T*>(form->FindComponent(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  // The control as it paints itself (background erased first).
  static std::unique_ptr<TBitmap> Render(TWinControl* control);
  // Left press and release at a client point, as the user would.
  static void ClickAt(TControl* control, TPoint p);

  TInputForm* form = nullptr;
  TFakeTimers timers;
};

}  // namespace cktest
