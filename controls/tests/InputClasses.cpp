#include "InputClasses.h"

#include "gui/Automation.h"

namespace cktest {

namespace at = gui::automation;

GUI_DEFINE_CLASS(TInputForm) {
  c.Handler("BoxClick", &TInputForm::BoxClick);
  c.Handler("RadioClick", &TInputForm::RadioClick);
  c.Handler("BarChange", &TInputForm::BarChange);
}

void TInputForm::BoxClick(TObject* sender) { events.push_back(static_cast<TComponent*>(sender)->Name()); }
void TInputForm::RadioClick(TObject* sender) { events.push_back(static_cast<TComponent*>(sender)->Name()); }
void TInputForm::BarChange(TObject* sender) {
  auto* bar = static_cast<TCkTrackBar*>(sender);
  events.push_back(bar->Name() + "=" + std::to_string(bar->Position()));
}

void InputTest::SetUpTestSuite() {
  RegisterClasses({&TInputForm::StaticClass(), &TCkCheckBox::StaticClass(), &TCkRadioButton::StaticClass(),
                   &TCkTrackBar::StaticClass(), &TCkFrameController::StaticClass()});
  Application->Initialize();
  at::Enable();
}

void InputTest::SetUp() {
  SetCursorPos(0, 0);  // away from where the form shows
  FormFixture::SetUp();
  form->events.clear();
}

void InputTest::ClickAt(TControl* control, TPoint p) {
  at::MouseMove(control, p);
  at::MouseDown(control, mbLeft, p);
  at::MouseUp(control, mbLeft, p);
}

}  // namespace cktest
