// TRulesForm: the rules-list window. It shows one of the engine's three
// rules lists beside the main window and snaps to it; the black and white
// lists can be added to and removed from, each change going to the engine
// (which rewrites the list file) at once. The smart list, built by the
// engine, is shown read-only with a word on why.
#pragma once

#include "RulesForm.form.h"
#include "gui/Forms.h"

namespace orvane {

class TRulesForm : public gui::TForm, public TRulesFormComponents {
  GUI_CLASS(TRulesForm, gui::TForm)

 public:
  // The list the window is bound to (ListType); 0 before the first binding.
  static constexpr int kBlackList = 1;
  static constexpr int kWhiteList = 2;
  static constexpr int kSmartList = 3;

  explicit TRulesForm(gui::TComponent* owner) : TForm(owner) {}

  int ListType = 0;

  // Binds the window to list 1 (black), 2 (white) or 3 (smart) and loads its
  // entries from the list file, without showing it; other values do nothing.
  void ShowList(int listType);
  // The texts, set anew at each showing.
  void ApplyLanguage();

  void FormCreate(gui::TObject* Sender);
  void FormShow(gui::TObject* Sender);
  void cklblRLTitleMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);
  void btnRLCloseClick(gui::TObject* Sender);
  void ckedtRLNewItemClick(gui::TObject* Sender);
  void btnRLAddClick(gui::TObject* Sender);
  void btnRLDeleteClick(gui::TObject* Sender);

 protected:
  void Loaded() override;

 private:
  // Only the black and white lists take changes from the user.
  bool Editable() const { return ListType == kBlackList || ListType == kWhiteList; }
};

extern TRulesForm* RulesForm;

}  // namespace orvane
