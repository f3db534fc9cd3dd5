#include "SkinRegistration.h"

#include "SkinForm.h"
#include "SkinImagePanel.h"
#include "SkinProgressBar.h"

namespace skins {

void RegisterSkinClasses() {
  gui::RegisterClasses(
      {&TSkinForm::StaticClass(), &TSkinImagePanel::StaticClass(), &TSkinProgressBar::StaticClass()});
}

}  // namespace skins
