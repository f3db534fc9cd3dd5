#include "AboutForm.h"

#include <string>

#include "LanguageTables.h"
#include "LayeredButton.h"
#include "LayeredLabel.h"
#include "SkinFiles.h"
#include "VeeSysTools.h"
#include "VozEverAvizi.h"

using namespace components;

namespace orvane {

TAboutForm* AboutForm = nullptr;

GUI_DEFINE_CLASS(TAboutForm) { DefineHandlers(c); }

void TAboutForm::Loaded() {
  inherited::Loaded();
  BindComponents();
}

void TAboutForm::FormCreate(gui::TObject*) {
  SetTag(0);
  SetTextQuality(TextQuality_ClearTypeGridFit);
}

void TAboutForm::FormShow(gui::TObject*) {
  if (Tag() != 0) return;
  LoadSkin();
  ApplyLanguage();
  SetTag(1);
}

void TAboutForm::FormKeyPress(gui::TObject*, char& Key) {
  if (Key == 27) Close();
}

void TAboutForm::lybtnCloseClick(gui::TObject*) { Close(); }

void TAboutForm::lybtnWWWClick(gui::TObject*) { ShellOpen(LANG_MAIN_HOMEPAGE); }

void TAboutForm::lybtnEmailClick(gui::TObject*) { ShellOpen("mailto:" + LANG_MAIN_EMAIL); }

void TAboutForm::LoadSkin() {
  SetBackgroundImage(SkinFile("bgAbout.png"));
  lybtnClose->SetPicNormal(SkinFile("btnClose_Normal.png"));
  lybtnClose->SetPicMouseHover(SkinFile("btnClose_Hover.png"));
  lybtnClose->SetPicMouseDown(SkinFile("btnClose_Down.png"));
  lybtnClose->SetPicDisabled(SkinFile("btnClose_Disabled.png"));
}

void TAboutForm::ApplyLanguage() {
  ApplyTexts(*this, AboutFormLanguage());
  // The language text is a pattern of "%s" places, filled by the language
  // routines: no text is ever handed to a formatting function.
  lylblCaption->SetCaption(FormatLangText(LANG_ABOUT_CAPTION, {LANG_MAIN_CAPTION, "Version", LANG_MAIN_VERSION}));
}

}  // namespace orvane
