// TSplashForm: the layered window shown while the program starts (not under
// "/autorun"); the main window frees it at the end of its first showing.
#pragma once

#include "LayeredWnd.h"
#include "SplashForm.form.h"

namespace orvane {

class TSplashForm : public components::TfrmLayered, public TSplashFormComponents {
  GUI_CLASS(TSplashForm, components::TfrmLayered)

 public:
  explicit TSplashForm(gui::TComponent* owner) : TfrmLayered(owner) {}

  void FormCreate(gui::TObject* Sender);
  void FormShow(gui::TObject* Sender);
  void LoadSkin();
  void ApplyLanguage();

 protected:
  void Loaded() override;
};

// The splash window from its creation to its release, else null.
extern TSplashForm* SplashForm;

}  // namespace orvane
