// Facts about the display that the drawing routines depend on: whether
// visual styles are in use and whether the screen shows full colour. Tests
// can force either answer.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include <optional>

namespace ck {

// True when the system draws with visual styles, unless forced.
bool ThemesEnabled();
void ForceThemesEnabled(std::optional<bool> enabled);
// Forces the answer of HasFullColorDisplay; nullopt gives the screen's again.
void ForceFullColorDisplay(std::optional<bool> fullColor);

// The theme data of one window class (e.g. L"PROGRESS"); empty when visual
// styles are off or the class has none.
class TThemeData {
 public:
  explicit TThemeData(const wchar_t* classList);
  ~TThemeData();
  TThemeData(const TThemeData&) = delete;
  TThemeData& operator=(const TThemeData&) = delete;
  explicit operator bool() const { return theme_ != nullptr; }
  HTHEME Handle() const { return theme_; }

 private:
  HTHEME theme_ = nullptr;
};

}  // namespace ck
