#include "FramedClasses.h"

#include "gui/Menus.h"

namespace cktest {

GUI_DEFINE_CLASS(TFramedForm) {
  c.Handler("lstRulesClick", &TFramedForm::lstRulesClick);
  c.Handler("ControlKeyPress", &TFramedForm::ControlKeyPress);
}

void TFramedForm::lstRulesClick(TObject*) { ++clicks; }

void TFramedForm::ControlKeyPress(TObject*, char& key) { keys += key; }

void RegisterFramedClasses() {
  RegisterClasses({&TFramedForm::StaticClass(), &TCkListBox::StaticClass(), &TCkEdit::StaticClass(),
                   &TCkListView::StaticClass(), &TCkFrameController::StaticClass(), &TPopupMenu::StaticClass(),
                   &TMenuItem::StaticClass()});
}

}  // namespace cktest
