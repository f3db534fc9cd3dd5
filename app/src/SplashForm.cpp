#include "SplashForm.h"

#include "LanguageTables.h"
#include "SkinFiles.h"
#include "VozEverAvizi.h"

using namespace components;

namespace orvane {

TSplashForm* SplashForm = nullptr;

GUI_DEFINE_CLASS(TSplashForm) { DefineHandlers(c); }

void TSplashForm::Loaded() {
  inherited::Loaded();
  BindComponents();
}

void TSplashForm::FormCreate(gui::TObject*) {
  SetTag(0);
  SetTextQuality(TextQuality_ClearTypeGridFit);
}

void TSplashForm::FormShow(gui::TObject*) {
  if (Tag() != 0) return;
  LoadSkin();
  ApplyLanguage();
  SetTag(1);
}

void TSplashForm::LoadSkin() { SetBackgroundImage(SkinFile("bgSplash.png")); }

void TSplashForm::ApplyLanguage() {
  LANG_MAIN_CAPTION_SPLASH = LANG_MAIN_CAPTION_SPLASH_FULL;
  ApplyTexts(*this, SplashFormLanguage());
}

}  // namespace orvane
