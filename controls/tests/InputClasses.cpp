#include "InputClasses.h"

#include "gui/Automation.h"
#include "gui/Themes.h"

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

bool TFakeTimers::Start(HWND w, UINT_PTR i, UINT interval) {
  window = w;
  id = i;
  running = true;
  starts.push_back(interval);
  return true;
}

void TFakeTimers::Stop(HWND, UINT_PTR) {
  ++stops;
  running = false;
}

void InputTest::SetUpTestSuite() {
  RegisterClasses({&TInputForm::StaticClass(), &TCkCheckBox::StaticClass(), &TCkRadioButton::StaticClass(),
                   &TCkTrackBar::StaticClass(), &TCkFrameController::StaticClass()});
  Application->Initialize();
  at::Enable();
}

void InputTest::SetUp() {
  ThemeServices().SetThemesEnabled(false);
  TTimer::SetService(&timers);
  SetCursorPos(0, 0);  // away from where the form shows
  form = CreateForm<TInputForm>(Application);
  form->Show();
  at::Pump();
  form->events.clear();
}

void InputTest::TearDown() {
  delete form;
  at::Pump();
  TTimer::SetService(nullptr);
  ThemeServices().SetThemesEnabled(std::nullopt);
}

std::unique_ptr<TBitmap> InputTest::Render(TWinControl* control) {
  auto b = Surface(control->Width(), control->Height(), clBlack);
  control->PaintTo(b->Canvas().Handle(), 0, 0);
  return b;
}

void InputTest::ClickAt(TControl* control, TPoint p) {
  at::MouseMove(control, p);
  at::MouseDown(control, mbLeft, p);
  at::MouseUp(control, mbLeft, p);
}

}  // namespace cktest
