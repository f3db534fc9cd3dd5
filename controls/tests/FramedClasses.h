// The form the framed-control tests read.
#pragma once

#include <string>
#include <vector>

#include "CkEdit.h"
#include "CkListVw.h"
#include "CkLstBox.h"
#include "gui/Forms.h"

namespace cktest {

using namespace ck;

class TFramedForm : public TForm {
  GUI_CLASS(TFramedForm, TForm)

 public:
  explicit TFramedForm(TComponent* owner) : TForm(owner) {}
  void lstRulesClick(TObject* Sender);
  void ControlKeyPress(TObject* Sender, char& Key);

  int clicks = 0;
  std::string keys;  // characters that reached OnKeyPress
};

void RegisterFramedClasses();

}  // namespace cktest
