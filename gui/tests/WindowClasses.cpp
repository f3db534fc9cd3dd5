#include "WindowClasses.h"

namespace window_tests {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

void Note(TComponent* who, const std::string& what) { Log().push_back(who->Name() + ": " + what); }

GUI_DEFINE_CLASS(TRecorder) {
  for (const char* name : {"Color", "PopupMenu", "Hint", "ShowHint", "Visible", "Enabled", "OnClick"}) c.Publish(name);
}

TRecorder::TRecorder(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_.Include(csOpaque);
  SetColor(clRed);
}

void TRecorder::WndProc(TMessage& m) {
  if (m.Msg == CM_MOUSEENTER) Note(this, "enter");
  if (m.Msg == CM_MOUSELEAVE) Note(this, "leave");
  inherited::WndProc(m);
}

void TRecorder::Paint() {
  Canvas()->Brush().SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

void TRecorder::MouseDown(TMouseButton, TShiftState, int X, int Y) {
  Note(this, "down " + std::to_string(X) + "," + std::to_string(Y) + (MouseCapture() ? " captured" : ""));
}

void TRecorder::MouseMove(TShiftState, int X, int Y) {
  Note(this, "move " + std::to_string(X) + "," + std::to_string(Y));
}

void TRecorder::MouseUp(TMouseButton, TShiftState, int X, int Y) {
  Note(this, "up " + std::to_string(X) + "," + std::to_string(Y));
}

void TRecorder::Click() {
  Note(this, "click");
  inherited::Click();
}

GUI_DEFINE_CLASS(TWidget) {
  for (const char* name : {"TabStop", "TabOrder", "Color", "Caption", "OnEnter", "OnExit"}) c.Publish(name);
}

TWidget::TWidget(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 40, 20);
  SetColor(clYellow);
}

void TWidget::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_ENTER: Note(this, "enter"); break;
    case CM_EXIT: Note(this, "exit"); break;
    case CM_FOCUSCHANGED:
      if (reinterpret_cast<TControl*>(m.LParam) == this) Note(this, "focus changed");
      break;
    case CM_DIALOGCHAR:
      if (IsAccel(m.WParam, Caption())) {
        Note(this, "accelerator");
        m.Result = 1;
        return;
      }
      break;
  }
  inherited::WndProc(m);
}

void TWidget::Paint() {
  Canvas()->Brush().SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

void TWidget::KeyDown(WORD& key, TShiftState shift) {
  Note(this, "key " + std::to_string(key));
  inherited::KeyDown(key, shift);
}

GUI_DEFINE_CLASS(TWindowForm) {
  c.Handler("FormCreate", &TWindowForm::FormCreate);
  c.Handler("FirstClick", &TWindowForm::FirstClick);
  c.Handler("TickTimer", &TWindowForm::TickTimer);
  c.Handler("HelpExecute", &TWindowForm::HelpExecute);
  c.Handler("FailClick", &TWindowForm::FailClick);
}

void TWindowForm::FormCreate(TObject*) { ++created; }
void TWindowForm::FirstClick(TObject* sender) { menuSenders.push_back(sender); }
void TWindowForm::TickTimer(TObject*) { ++ticks; }
void TWindowForm::HelpExecute(TObject* sender) { Note(static_cast<TComponent*>(sender), "execute"); }
void TWindowForm::FailClick(TObject*) { throw EConvertError("'x' is not a valid integer value"); }

void RegisterWindowClasses() {
  RegisterClasses({&TRecorder::StaticClass(), &TWidget::StaticClass(), &TWindowForm::StaticClass()});
}

}  // namespace window_tests
