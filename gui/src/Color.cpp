#include "gui/Color.h"

#include "gui/Object.h"

namespace gui {

TColor ColorToRGB(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(static_cast<int>(color & 0xFF));
  return color;
}

const TIdentMap& ColorIdents() {
  static const TIdentMap map{
      "TColor",
      {{"clBlack", clBlack},
       {"clMaroon", clMaroon},
       {"clGreen", clGreen},
       {"clOlive", clOlive},
       {"clNavy", clNavy},
       {"clPurple", clPurple},
       {"clTeal", clTeal},
       {"clGray", clGray},
       {"clSilver", clSilver},
       {"clRed", clRed},
       {"clLime", clLime},
       {"clYellow", clYellow},
       {"clBlue", clBlue},
       {"clFuchsia", clFuchsia},
       {"clAqua", clAqua},
       {"clWhite", clWhite},
       {"clLtGray", clLtGray},
       {"clDkGray", clDkGray},
       {"clScrollBar", clScrollBar},
       {"clBackground", clBackground},
       {"clActiveCaption", clActiveCaption},
       {"clInactiveCaption", clInactiveCaption},
       {"clMenu", clMenu},
       {"clWindow", clWindow},
       {"clWindowFrame", clWindowFrame},
       {"clMenuText", clMenuText},
       {"clWindowText", clWindowText},
       {"clCaptionText", clCaptionText},
       {"clActiveBorder", clActiveBorder},
       {"clInactiveBorder", clInactiveBorder},
       {"clAppWorkSpace", clAppWorkSpace},
       {"clHighlight", clHighlight},
       {"clHighlightText", clHighlightText},
       {"clBtnFace", clBtnFace},
       {"clBtnShadow", clBtnShadow},
       {"clGrayText", clGrayText},
       {"clBtnText", clBtnText},
       {"clInactiveCaptionText", clInactiveCaptionText},
       {"clBtnHighlight", clBtnHighlight},
       {"cl3DDkShadow", cl3DDkShadow},
       {"cl3DLight", cl3DLight},
       {"clInfoText", clInfoText},
       {"clInfoBk", clInfoBk},
       {"clHotLight", clHotLight},
       {"clGradientActiveCaption", clGradientActiveCaption},
       {"clGradientInactiveCaption", clGradientInactiveCaption},
       {"clMenuHighlight", clMenuHighlight},
       {"clMenuBar", clMenuBar},
       {"clNone", clNone},
       {"clDefault", clDefault}}};
  return map;
}

bool IdentToColor(const std::string& ident, TColor& color) {
  auto v = ColorIdents().ValueOf(ident);
  if (!v) return false;
  color = static_cast<TColor>(*v);
  return true;
}

std::string ColorToIdent(TColor color) { return ColorIdents().NameOf(color); }

}  // namespace gui
