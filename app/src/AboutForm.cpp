#include "AboutForm.h"

#include <string>

#include "FormBinding.h"
#include "LayeredButton.h"
#include "LayeredLabel.h"
#include "SkinFiles.h"
#include "VeeSysTools.h"
#include "VozEverAvizi.h"

using namespace components;

namespace orvane {

TAboutForm* AboutForm = nullptr;

GUI_DEFINE_CLASS(TAboutForm) {
  c.Handler("FormCreate", &TAboutForm::FormCreate);
  c.Handler("FormShow", &TAboutForm::FormShow);
  c.Handler("FormKeyPress", &TAboutForm::FormKeyPress);
  c.Handler("lybtnCloseClick", &TAboutForm::lybtnCloseClick);
  c.Handler("lybtnWWWClick", &TAboutForm::lybtnWWWClick);
  c.Handler("lybtnEmailClick", &TAboutForm::lybtnEmailClick);
}

void TAboutForm::Loaded() {
  inherited::Loaded();
  Bind(*this, lylblTitle, "lylblTitle");
  Bind(*this, lybtnClose, "lybtnClose");
  Bind(*this, lylblCaption, "lylblCaption");
  Bind(*this, lylblCopyright, "lylblCopyright");
  Bind(*this, lylblWarning, "lylblWarning");
  Bind(*this, lybtnWWW, "lybtnWWW");
  Bind(*this, lybtnEmail, "lybtnEmail");
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
  SetCaption(LANG_COMMON_ABOUT);
  lylblTitle->SetCaption(LANG_COMMON_ABOUT);
  lybtnClose->SetHint(LANG_COMMON_CLOSE);
  lybtnWWW->SetCaption(LANG_ABOUT_HOMEPAGE);
  lybtnWWW->SetHint(LANG_MAIN_HOMEPAGE);
  lybtnEmail->SetCaption(LANG_ABOUT_EMAIL);
  lybtnEmail->SetHint(LANG_MAIN_EMAIL);
  // The language text is a pattern of "%s" places, filled by the language
  // routines: no text is ever handed to a formatting function.
  lylblCaption->SetCaption(FormatLangText(LANG_ABOUT_CAPTION, {LANG_MAIN_CAPTION, "Version", LANG_MAIN_VERSION}));
  lylblCopyright->SetCaption(LANG_MAIN_COPYRIGHT);
  lylblWarning->SetCaption(LANG_ABOUT_WARNING);
}

}  // namespace orvane
