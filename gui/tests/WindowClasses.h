// Controls and a form for the window tests: each control writes what
// happens to it into a shared log, as "name: event".
#pragma once

#include <string>
#include <vector>

#include "gui/ActnList.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"

namespace window_tests {

using namespace gui;

std::vector<std::string>& Log();
void Note(TComponent* who, const std::string& what);

// A windowless control filled with its colour.
class TRecorder : public TGraphicControl {
  GUI_CLASS(TRecorder, TGraphicControl)

 public:
  explicit TRecorder(TComponent* owner);
  void WndProc(TMessage& Message) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 public:
  void Click() override;
};

// A focusable window that takes no special keys.
class TWidget : public TCustomControl {
  GUI_CLASS(TWidget, TCustomControl)

 public:
  explicit TWidget(TComponent* owner);
  void WndProc(TMessage& Message) override;

 protected:
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
};

class TWindowForm : public TForm {
  GUI_CLASS(TWindowForm, TForm)

 public:
  explicit TWindowForm(TComponent* owner) : TForm(owner) {}
  void FormCreate(TObject* Sender);
  void FirstClick(TObject* Sender);
  void TickTimer(TObject* Sender);
  void HelpExecute(TObject* Sender);
  void FailClick(TObject* Sender);

  int created = 0;
  int ticks = 0;
  std::vector<TObject*> menuSenders;
};

void RegisterWindowClasses();

}  // namespace window_tests
