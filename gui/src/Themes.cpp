// Visual styles through uxtheme, behind one switch.
#include "gui/Themes.h"

#include <shlwapi.h>

#include <map>
#include <string>

namespace gui {

struct TThemeServices::Entry {
  std::map<std::wstring, HTHEME> themes;
};

TThemeServices& ThemeServices() {
  static auto* services = new TThemeServices;
  return *services;
}

namespace {

// The major version of the common-controls library the program uses.
DWORD CommonControlsMajor() {
  static DWORD major = [] {
    HMODULE module = GetModuleHandleA("comctl32.dll");
    if (!module) module = LoadLibraryA("comctl32.dll");
    auto get = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(module ? GetProcAddress(module, "DllGetVersion") : nullptr));
    DLLVERSIONINFO info{sizeof(info), 0, 0, 0, 0};
    if (!get || FAILED(get(&info))) return DWORD{0};
    return info.dwMajorVersion;
  }();
  return major;
}

}  // namespace

bool TThemeServices::ThemesAvailable() { return CommonControlsMajor() >= 6 && IsAppThemed() && IsThemeActive(); }

bool TThemeServices::ThemesEnabled() { return forced_ ? *forced_ : ThemesAvailable(); }

void TThemeServices::SetThemesEnabled(std::optional<bool> value) {
  forced_ = value;
  UpdateThemes();
}

HTHEME TThemeServices::Theme(const wchar_t* className) {
  if (!ThemesEnabled()) return nullptr;
  if (!entries_) entries_ = new Entry;
  auto it = entries_->themes.find(className);
  if (it != entries_->themes.end()) return it->second;
  HTHEME theme = OpenThemeData(nullptr, className);
  entries_->themes[className] = theme;
  return theme;
}

bool TThemeServices::DrawElement(HDC dc, const wchar_t* className, int part, int state, const TRect& rect) {
  HTHEME theme = Theme(className);
  if (!theme) return false;
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  return SUCCEEDED(DrawThemeBackground(theme, dc, part, state, &r, nullptr));
}

bool TThemeServices::ElementColor(const wchar_t* className, int part, int state, int property, TColor& color) {
  HTHEME theme = Theme(className);
  COLORREF value = 0;
  if (!theme || FAILED(GetThemeColor(theme, part, state, property, &value))) return false;
  color = value;
  return true;
}

void TThemeServices::UpdateThemes() {
  if (!entries_) return;
  for (auto& [name, theme] : entries_->themes)
    if (theme) CloseThemeData(theme);
  entries_->themes.clear();
}

}  // namespace gui
