#include "CkDisplay.h"

namespace ck {

namespace {
std::optional<bool> forcedThemes;
}  // namespace

// The full-colour override lives beside the flag itself in CkCommon.cpp.

bool ThemesEnabled() {
  if (forcedThemes) return *forcedThemes;
  return IsThemeActive() && IsAppThemed();
}

void ForceThemesEnabled(std::optional<bool> enabled) { forcedThemes = enabled; }

TThemeData::TThemeData(const wchar_t* classList) {
  if (ThemesEnabled()) theme_ = OpenThemeData(nullptr, classList);
}

TThemeData::~TThemeData() {
  if (theme_) CloseThemeData(theme_);
}

}  // namespace ck
