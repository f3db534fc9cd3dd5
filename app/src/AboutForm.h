// TAboutForm: the layered about window, made at start-up and shown modally
// from the help and tray menus. The link buttons carry the hand cursor as
// their own, so nothing of the screen's cursor is changed or left behind.
#pragma once

#include "AboutForm.form.h"
#include "LayeredWnd.h"

namespace orvane {

class TAboutForm : public components::TfrmLayered, public TAboutFormComponents {
  GUI_CLASS(TAboutForm, components::TfrmLayered)

 public:
  explicit TAboutForm(gui::TComponent* owner) : TfrmLayered(owner) {}

  void FormCreate(gui::TObject* Sender);
  void FormShow(gui::TObject* Sender);
  void FormKeyPress(gui::TObject* Sender, char& Key);
  void lybtnCloseClick(gui::TObject* Sender);
  void lybtnWWWClick(gui::TObject* Sender);
  void lybtnEmailClick(gui::TObject* Sender);
  void LoadSkin();
  // Also run by the main window's language switch.
  void ApplyLanguage();

 protected:
  void Loaded() override;
};

extern TAboutForm* AboutForm;

}  // namespace orvane
