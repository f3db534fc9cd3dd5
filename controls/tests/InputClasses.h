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
#include "gui/Forms.h"
#include "testsupport/FormFixture.h"
#include "testsupport/Hooks.h"

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

class InputTest : public testsupport::FormFixture<TInputForm> {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;

  // The control as it paints itself (background erased first).
  static std::unique_ptr<TBitmap> Render(TWinControl* control) { return testsupport::Render(*control, clBlack); }
  // Left press and release at a client point, as the user would.
  static void ClickAt(TControl* control, TPoint p);

  testsupport::ScopedThemes themes{false};
  testsupport::ScopedTimers timers;
};

}  // namespace cktest
