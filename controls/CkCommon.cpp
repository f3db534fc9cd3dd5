#include "CkCommon.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vssym32.h>

#include "CkDisplay.h"
#include "gui/Themes.h"
#include "kit/Own.h"

namespace ck {

const TEnumInfo AlignmentVerticalInfo{"TAlignmentVertical", {"avTop", "avCenter", "avBottom"}};
const TEnumInfo TextStyleInfo{"TTextStyle", {"tsNormal", "tsRaised", "tsRecessed", "tsShadow"}};
const TEnumInfo OrientationInfo{"TOrientation", {"orHorizontal", "orVertical"}};
const TEnumInfo BarStyleInfo{"TBarStyle", {"bsTraditional", "bsLED", "bsGradient"}};
#define CK_FRAME_STYLE_NAMES                                                                              \
  {"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown", "fsRaised", "fsButtonUp", "fsStatus", \
   "fsPopup", "fsFlatBold", "fsFlatRounded"}
const TEnumInfo FrameStyleExInfo{"TFrameStyleEx", CK_FRAME_STYLE_NAMES};
const TEnumInfo FrameStyleInfo{"TFrameStyle", CK_FRAME_STYLE_NAMES};
#undef CK_FRAME_STYLE_NAMES
const TEnumInfo FramingPreferenceInfo{"TFramingPreference", {"fpCustomFraming", "fpXPThemes"}};
const TEnumInfo GradientDirectionInfo{
    "TGradientDirection",
    {"gdDiagonalUp", "gdDiagonalDown", "gdHorizontalEnd", "gdHorizontalCenter", "gdHorizontalBox", "gdVerticalEnd",
     "gdVerticalCenter", "gdVerticalBox", "gdSquareBox", "gdBigSquareBox"}};
const TEnumInfo SideInfo{"TSide", {"sdLeft", "sdTop", "sdRight", "sdBottom"}};
const TEnumInfo HotTrackColorTypeInfo{"TCkHotTrackColorType", {"htctComplement", "htctActual"}};
const TEnumInfo ButtonHotTrackStyleInfo{"TCkButtonHotTrackStyle", {"htsInterior", "htsFrame"}};
#define CK_FCP_NAMES                                                                                           \
  "fcpColor", "fcpFocusColor", "fcpDisabledColor", "fcpReadOnlyColor", "fcpReadOnlyColorOnFocus", "fcpParentColor", \
      "fcpFlatButtonColor", "fcpFlatButtons", "fcpFrameColor", "fcpFrameHotColor", "fcpFrameHotTrack",             \
      "fcpFrameHotStyle", "fcpFrameSides", "fcpFrameStyle", "fcpFrameVisible", "fcpFramingPreference"
const TEnumInfo FrameControllerPropertyInfo{"TCkFrameControllerProperty", {CK_FCP_NAMES, "fcpAll"}};
const TEnumInfo FrameControllerConnectionInfo{"TCkFrameControllerPropertyConnection", {CK_FCP_NAMES}};
#undef CK_FCP_NAMES
const TEnumInfo PathTypeInfo{"TCkPathType", {"ptIniFile", "ptRegistry"}};
const TEnumInfo RegKeyInfo{"TCkRegKey",
                           {"hkeyClassesRoot", "hkeyCurrentUser", "hkeyLocalMachine", "hkeyUsers",
                            "hkeyPerformanceData", "hkeyCurrentConfig", "hkeyDynData"}};
const TEnumInfo RegAccessKeyInfo{"TCkRegAccessKey",
                                 {"keyQueryValue", "keySetValue", "keyCreateSubKey", "keyEnumerateSubKeys",
                                  "keyNotify", "keyCreateLink", "keyRead", "keyWrite", "keyExecute",
                                  "keyAllAccess"}};
const TEnumInfo SpecialFolderInfo{
    "TCkSpecialFolder",
    {"sfNone", "sfUserAppDataRoaming", "sfUserAppDataLocal", "sfUserDocuments", "sfProgramData"}};
const TEnumInfo CheckBoxStateInfo{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};

std::int64_t RoundDiv(std::int64_t num, std::int64_t den) {
  bool negative = num < 0;
  std::int64_t n = negative ? -num : num;
  std::int64_t q = n / den, r = n % den;
  if (2 * r > den || (2 * r == den && (q & 1))) ++q;
  return negative ? -q : q;
}

// --- colours ------------------------------------------------------------------------

namespace {

int RoundToByte(double v) { return static_cast<int>(std::nearbyint(v)); }

TColor Rgb(TColor color) { return ColorToRGB(color) & 0xFFFFFF; }

}  // namespace

TColor ColorToHsl240(TColor color, std::uint8_t& hue, std::uint8_t& saturation, std::uint8_t& luminance) {
  TColor rgb = Rgb(color);
  double r = GetRValue(rgb) / 255.0, g = GetGValue(rgb) / 255.0, b = GetBValue(rgb) / 255.0;
  double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  double l = (mx + mn) / 2, s = 0, h = 0;
  if (mx != mn) {
    double d = mx - mn;
    s = l >= 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
    if (r == mx)
      h = (g - b) / d;
    else if (g == mx)
      h = (b - r) / d + 2;
    else
      h = (r - g) / d + 4;
    h /= 6;
    if (h < 0) h += 1;
  }
  hue = static_cast<std::uint8_t>(RoundToByte(h * 240));
  saturation = static_cast<std::uint8_t>(RoundToByte(s * 240));
  luminance = static_cast<std::uint8_t>(RoundToByte(l * 240));
  return RGB(hue, saturation, luminance);
}

std::uint8_t HueOfColor(TColor color) {
  std::uint8_t h, s, l;
  ColorToHsl240(color, h, s, l);
  return h;
}

TColor Hsl240ToColor(int hue, int saturation, int luminance) {
  double L = luminance / 240.0, S = saturation / 240.0;
  double v = L >= 0.5 ? L + S - L * S : L * (1 + S);
  if (v <= 0) return clBlack;
  // The hue is scaled over 239, so hue 240 lands in a seventh sextant that
  // repeats the first.
  double x = hue / 239.0 * 6;
  int sextant = static_cast<int>(x);
  double f = x - sextant;
  double m = 2 * L - v;
  double t = v * ((v - m) / v) * f;
  double rising = m + t, falling = v - t;
  double r, g, b;
  switch (sextant) {
    case 1: r = falling, g = v, b = m; break;
    case 2: r = m, g = v, b = rising; break;
    case 3: r = m, g = falling, b = v; break;
    case 4: r = rising, g = m, b = v; break;
    case 5: r = v, g = m, b = falling; break;
    default: r = v, g = rising, b = m; break;
  }
  auto channel = [](double c) { return RoundToByte(std::clamp(c, 0.0, 1.0) * 255); };
  return RGB(channel(r), channel(g), channel(b));
}

TColor DarkenColor(TColor color, std::uint8_t amount) {
  std::uint8_t h, s, l;
  ColorToHsl240(color, h, s, l);
  return Hsl240ToColor(h, s, std::max(l - amount, 0));
}

TColor LightenColor(TColor color, std::uint8_t amount) {
  std::uint8_t h, s, l;
  ColorToHsl240(color, h, s, l);
  return Hsl240ToColor(h, s, std::min(l + amount, 255));
}

TColor ShiftColorLuminance(TColor color, int amount) {
  if (amount < 0) return DarkenColor(color, static_cast<std::uint8_t>(std::min(-amount, 255)));
  if (amount > 0) return LightenColor(color, static_cast<std::uint8_t>(std::min(amount, 255)));
  return color;
}

TColor MixColors(TColor first, TColor second, std::uint8_t weight) {
  TColor a = Rgb(first), b = Rgb(second);
  float w = weight / 255.0f;
  auto mix = [w](int x, int y) { return static_cast<int>(std::nearbyint(x * w + y * (1.0f - w))); };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

bool ColorsLookAlike(TColor a, TColor b) {
  std::uint8_t h1, s1, l1, h2, s2, l2;
  ColorToHsl240(a, h1, s1, l1);
  ColorToHsl240(b, h2, s2, l2);
  return std::abs(h1 - h2) < 20 && std::abs(l1 - l2) < 60;
}

TColor OppositeHueColor(TColor color, std::uint8_t luminance) {
  int h = HueOfColor(color);
  return Hsl240ToColor(h < 120 ? h + 120 : h - 120, 240, luminance);
}

TColor ThemeElementColor(int kind) {
  if (!ThemeServices().ThemesEnabled()) return clBtnFace;
  struct Element {
    const wchar_t* cls;
    int part, state, prop;
  };
  static const Element kElements[] = {
      {L"EDIT", 0, 0, TMT_BORDERCOLOR},
      {L"EXPLORERBAR", EBP_NORMALGROUPBACKGROUND, 1, TMT_TEXTCOLOR},
      {L"EXPLORERBAR", EBP_SPECIALGROUPBACKGROUND, 1, TMT_TEXTCOLOR},
      {L"EXPLORERBAR", EBP_NORMALGROUPBACKGROUND, 1, TMT_FILLCOLOR},
      {L"EXPLORERBAR", 0, 0, TMT_GRADIENTCOLOR1},
      {L"EXPLORERBAR", EBP_SPECIALGROUPHEAD, 1, TMT_FILLCOLOR},
      {L"BUTTON", BP_GROUPBOX, GBS_NORMAL, TMT_TEXTCOLOR},
  };
  if (kind < 0 || kind >= static_cast<int>(std::size(kElements))) return clWhite;
  const Element& e = kElements[kind];
  TColor color = clBtnFace;
  ThemeServices().ElementColor(e.cls, e.part, e.state, e.prop, color);
  return color;
}

namespace {
std::optional<bool> forcedFullColor;
}  // namespace

void ForceFullColorDisplay(std::optional<bool> fullColor) { forcedFullColor = fullColor; }

bool HasFullColorDisplay() {
  if (forcedFullColor) return *forcedFullColor;
  static const bool full = [] {
    kit::WindowDC screen(nullptr);
    return GetDeviceCaps(screen.Get(), NUMCOLORS) == -1;
  }();
  return full;
}

// --- TCkRegIniFile --------------------------------------------------------------------

GUI_DEFINE_CLASS(TCkRegIniFile) {
  c.String("Path", &TCkRegIniFile::Path, &TCkRegIniFile::SetPath);
  c.Enumeration("PathType", PathTypeInfo, &TCkRegIniFile::PathType, &TCkRegIniFile::SetPathType, ptIniFile);
  c.Enumeration("RegKey", RegKeyInfo, &TCkRegIniFile::RegKey, &TCkRegIniFile::SetRegKey, hkeyCurrentUser);
  c.SetOf("RegAccess", RegAccessKeyInfo, &TCkRegIniFile::RegAccess, &TCkRegIniFile::SetRegAccess,
          TCkRegAccess{keyAllAccess}.Bits());
  c.Enumeration("SpecialFolder", SpecialFolderInfo, &TCkRegIniFile::SpecialFolder, &TCkRegIniFile::SetSpecialFolder,
                sfNone);
}

TCkRegIniFile::TCkRegIniFile(TComponent* owner) : TComponent(owner) {}

void TCkRegIniFile::SetPath(const std::string& value) { Change(path_, value); }
void TCkRegIniFile::SetPathType(TCkPathType value) { Change(pathType_, value); }
void TCkRegIniFile::SetRegKey(TCkRegKey value) { Change(regKey_, value); }
void TCkRegIniFile::SetRegAccess(TCkRegAccess value) { Change(regAccess_, value); }
void TCkRegIniFile::SetSpecialFolder(TCkSpecialFolder value) { Change(specialFolder_, value); }

}  // namespace ck
