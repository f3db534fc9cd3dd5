// Visual styles: whether they are in use and drawing with them. Tests (and
// anything that must not depend on the machine's appearance) may switch
// them on or off for the whole program.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include <optional>
#include <string>

#include "gui/Color.h"
#include "gui/Types.h"

namespace gui {

class TThemeServices {
 public:
  // The system can draw visual styles for this program (a version 6
  // common-controls library and an active theme).
  bool ThemesAvailable();
  // Visual styles are in use: the switch when set, else ThemesAvailable.
  bool ThemesEnabled();
  // Sets the switch; nothing lets the system decide again.
  void SetThemesEnabled(std::optional<bool> value);

  // The theme data of a class ("BUTTON", "EDIT", ...), kept until the theme
  // changes; null while visual styles are off.
  HTHEME Theme(const wchar_t* className);
  bool DrawElement(HDC dc, const wchar_t* className, int part, int state, const TRect& rect);
  bool ElementColor(const wchar_t* className, int part, int state, int property, TColor& color);
  // Forgets the theme data (on WM_THEMECHANGED).
  void UpdateThemes();

 private:
  std::optional<bool> forced_;
  struct Entry;
  Entry* entries_ = nullptr;
};

TThemeServices& ThemeServices();

}  // namespace gui
