// Each window's texts from the language strings as data: a row for each
// caption, hint and text, in the order the window sets them, and the texts
// of its form that no row sets (ApplyTexts in FormBinding.h applies them).
#pragma once

#include "AboutForm.form.h"
#include "FormBinding.h"
#include "MainForm.form.h"
#include "RulesForm.form.h"
#include "SplashForm.form.h"

namespace orvane {

const TLanguageTable<TMainFormComponents::Part>& MainFormLanguage();
const TLanguageTable<TRulesFormComponents::Part>& RulesFormLanguage();
const TLanguageTable<TAboutFormComponents::Part>& AboutFormLanguage();
const TLanguageTable<TSplashFormComponents::Part>& SplashFormLanguage();

}  // namespace orvane
