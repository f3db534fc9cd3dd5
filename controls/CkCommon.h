// What every control of the library shares: the enumerations the controls
// publish, colour arithmetic on a 0..240 hue/saturation/luminance scale, the
// drawing routines for frames, bevels, percent bars and glyphs, rotated
// fonts, the frame controller that pushes one set of frame and colour
// settings into many controls, the blink timer all blinking controls
// follow, and the settings-location component.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/Canvas.h"
#include "gui/Color.h"
#include "gui/Component.h"
#include "gui/Controls.h"
#include "gui/Types.h"

namespace gui {
class TTimer;
}
#include "kit/Own.h"

namespace ck {

using namespace gui;

// --- enumerations ------------------------------------------------------------------

enum TAlignmentVertical { avTop, avCenter, avBottom };
enum TTextStyle { tsNormal, tsRaised, tsRecessed, tsShadow };
enum TOrientation { orHorizontal, orVertical };
enum TBarStyle { bsTraditional, bsLED, bsGradient };
enum TFrameStyleEx {
  fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown,
  fsRaised, fsButtonUp, fsStatus, fsPopup, fsFlatBold, fsFlatRounded
};
// The same values under a type name of their own (forms name both).
using TFrameStyle = TFrameStyleEx;
enum TFramingPreference { fpCustomFraming, fpXPThemes };
enum TGradientDirection {
  gdDiagonalUp, gdDiagonalDown, gdHorizontalEnd, gdHorizontalCenter, gdHorizontalBox,
  gdVerticalEnd, gdVerticalCenter, gdVerticalBox, gdSquareBox, gdBigSquareBox
};
enum TSide { sdLeft, sdTop, sdRight, sdBottom };
using TSides = Set<TSide>;
constexpr TSides kAllSides{sdLeft, sdTop, sdRight, sdBottom};

enum TCkHotTrackColorType { htctComplement, htctActual };
enum TCkButtonHotTrackStyle { htsInterior, htsFrame };

enum TCkFrameControllerProperty {
  fcpColor, fcpFocusColor, fcpDisabledColor, fcpReadOnlyColor, fcpReadOnlyColorOnFocus,
  fcpParentColor, fcpFlatButtonColor, fcpFlatButtons, fcpFrameColor, fcpFrameHotColor,
  fcpFrameHotTrack, fcpFrameHotStyle, fcpFrameSides, fcpFrameStyle, fcpFrameVisible,
  fcpFramingPreference, fcpAll
};
// Bit n stands for property n (fcpColor..fcpFramingPreference); 16 bits.
using TCkFrameControllerNotifications = Set<TCkFrameControllerProperty>;
constexpr TCkFrameControllerNotifications kAllFrameControllerNotifications =
    TCkFrameControllerNotifications::FromBits(0xFFFF);

enum TCkPathType { ptIniFile, ptRegistry };
enum TCkRegKey {
  hkeyClassesRoot, hkeyCurrentUser, hkeyLocalMachine, hkeyUsers,
  hkeyPerformanceData, hkeyCurrentConfig, hkeyDynData
};
enum TCkRegAccessKey {
  keyQueryValue, keySetValue, keyCreateSubKey, keyEnumerateSubKeys, keyNotify,
  keyCreateLink, keyRead, keyWrite, keyExecute, keyAllAccess
};
using TCkRegAccess = Set<TCkRegAccessKey>;
enum TCkSpecialFolder { sfNone, sfUserAppDataRoaming, sfUserAppDataLocal, sfUserDocuments, sfProgramData };

// The state of a three-state check box.
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

extern const TEnumInfo AlignmentVerticalInfo;
extern const TEnumInfo TextStyleInfo;
extern const TEnumInfo OrientationInfo;
extern const TEnumInfo BarStyleInfo;
extern const TEnumInfo FrameStyleExInfo;
extern const TEnumInfo FrameStyleInfo;
extern const TEnumInfo FramingPreferenceInfo;
extern const TEnumInfo GradientDirectionInfo;
extern const TEnumInfo SideInfo;
extern const TEnumInfo HotTrackColorTypeInfo;
extern const TEnumInfo ButtonHotTrackStyleInfo;
extern const TEnumInfo FrameControllerPropertyInfo;
extern const TEnumInfo FrameControllerConnectionInfo;  // without fcpAll: the notification sets
extern const TEnumInfo PathTypeInfo;
extern const TEnumInfo RegKeyInfo;
extern const TEnumInfo RegAccessKeyInfo;
extern const TEnumInfo SpecialFolderInfo;
extern const TEnumInfo CheckBoxStateInfo;

// --- colours ------------------------------------------------------------------------
// System colours are resolved to RGB first. Hue, saturation and luminance
// run from 0 to 240.

// Hue, saturation and luminance of a colour; the result packs them like an
// RGB value (hue in the low byte).
TColor ColorToHsl240(TColor color, std::uint8_t& hue, std::uint8_t& saturation, std::uint8_t& luminance);
std::uint8_t HueOfColor(TColor color);
// Luminance may exceed 240 (up to 255): anything from 240 on is white.
TColor Hsl240ToColor(int hue, int saturation, int luminance);
TColor DarkenColor(TColor color, std::uint8_t amount);
TColor LightenColor(TColor color, std::uint8_t amount);
// Darkens for a negative amount, lightens for a positive one (by at most 255).
TColor ShiftColorLuminance(TColor color, int amount);
// Per channel first * w + second * (1 - w), w = weight / 255, rounded.
TColor MixColors(TColor first, TColor second, std::uint8_t weight);
// Hues less than 20 apart and luminances less than 60 apart.
bool ColorsLookAlike(TColor a, TColor b);
// The hue half way round the circle, fully saturated, at `luminance`.
TColor OppositeHueColor(TColor color, std::uint8_t luminance);
// A colour of the current visual style (kinds 0..6: edit border, explorer
// bar texts, fills and gradient, group box text); clBtnFace without visual
// styles, white for any other kind.
TColor ThemeElementColor(int kind);
// True when the screen shows more than 256 colours (found once).
bool HasFullColorDisplay();

// --- drawing routines ---------------------------------------------------------------
// Each routine draws on the canvas with its pen and brush and returns the
// rectangle left inside what it drew. A colour of clNone draws nothing.

// One line on each chosen side: left and top in ulColor, right and bottom in
// lrColor.
TRect DrawSidesLine(TCanvas& canvas, const TRect& rect, TColor ulColor, TSides sides, TColor lrColor);
TRect DrawSidesLines(TCanvas& canvas, const TRect& rect, TColor ulColor, TSides sides, int count, TColor lrColor);
// The two-line system bevel of fsLowered / fsRaised.
TRect DrawBevel3D(TCanvas& canvas, const TRect& rect, bool lowered, TSides sides);
// The two-line system bevel of fsButtonDown / fsButtonUp.
TRect DrawButtonBevel(TCanvas& canvas, const TRect& rect, bool down, TSides sides);
TRect DrawColorButtonBevel(TCanvas& canvas, const TRect& rect, TColor color, TSides sides, bool down);
// A frame in system colours.
TRect DrawFrameStyle(TCanvas& canvas, const TRect& rect, TFrameStyle style, TSides sides);
// A frame whose shades are derived from one colour.
TRect DrawColorFrameStyle(TCanvas& canvas, const TRect& rect, TColor color, TSides sides, TFrameStyle style);
TRect DrawBoxLine(TCanvas& canvas, const TRect& rect, TColor color);
TRect DrawDottedFocusBorder(TCanvas& canvas, const TRect& rect);
// A one-pixel frame with cut corners; the inside gives up two pixels a side.
TRect DrawRoundedFlatSides(TCanvas& canvas, const TRect& rect, TColor color, TSides sides);

// Everything the complete border of a label or progress bar depends on.
struct TFramedBorder {
  TFrameStyleEx Outer = fsNone;
  bool RoundInner = false;
  bool Transparent = false;
  TColor ParentColor = clBtnFace;
  TColor OwnColor = clBtnFace;
  int FlatColorAdjustment = 0;
  TColor FlatColor = clBtnShadow;
  TColor ShadowColor = clBtnShadow;
  TColor HighlightColor = clBtnHighlight;
  TColor BorderColor = clBtnFace;
  int BevelWidth = 1;
  TSides Sides = kAllSides;
  int BorderWidth = 0;
  TFrameStyleEx Inner = fsNone;
};
TRect DrawFramedBorder(TCanvas& canvas, const TRect& rect, const TFramedBorder& border);
// How many pixels a border style takes from a side.
int FrameStyleThickness(TFrameStyleEx style, int bevelWidth);

// The border settings a control keeps in one TFramedBorder (the label and
// the progress bar). A change calls BorderChanged, telling whether the
// border got thicker or thinner; the colours the border takes from the
// control and its parent are the control's to fill in when it paints.
class TCkBorderProperties {
 public:
  int BevelWidth() const { return border_.BevelWidth; }
  virtual void SetBevelWidth(int value) { Store(border_.BevelWidth, value, true); }
  TColor BorderColor() const { return border_.BorderColor; }
  virtual void SetBorderColor(TColor value) { Store(border_.BorderColor, value, false); }
  TFrameStyleEx BorderInner() const { return border_.Inner; }
  virtual void SetBorderInner(TFrameStyleEx value) { Store(border_.Inner, value, true); }
  TFrameStyleEx BorderOuter() const { return border_.Outer; }
  virtual void SetBorderOuter(TFrameStyleEx value) { Store(border_.Outer, value, true); }
  TSides BorderSides() const { return border_.Sides; }
  virtual void SetBorderSides(TSides value) { Store(border_.Sides, value, true); }
  TColor BorderHighlight() const { return border_.HighlightColor; }
  virtual void SetBorderHighlight(TColor value) { Store(border_.HighlightColor, value, false); }
  TColor BorderShadow() const { return border_.ShadowColor; }
  virtual void SetBorderShadow(TColor value) { Store(border_.ShadowColor, value, false); }
  int BorderWidth() const { return border_.BorderWidth; }
  virtual void SetBorderWidth(int value) { Store(border_.BorderWidth, value, true); }
  TColor FlatColor() const { return border_.FlatColor; }
  virtual void SetFlatColor(TColor value) { Store(border_.FlatColor, value, false); }
  int FlatColorAdjustment() const { return border_.FlatColorAdjustment; }
  virtual void SetFlatColorAdjustment(int value) { Store(border_.FlatColorAdjustment, value, false); }

 protected:
  explicit TCkBorderProperties(const TFramedBorder& defaults) : border_(defaults) {}
  TCkBorderProperties(const TCkBorderProperties&) = delete;
  TCkBorderProperties& operator=(const TCkBorderProperties&) = delete;
  virtual ~TCkBorderProperties() = default;
  virtual void BorderChanged(bool thicknessChanged) = 0;

  TFramedBorder border_;

 private:
  template <class V>
  void Store(V& field, const V& value, bool thickness) {
    if (field == value) return;
    field = value;
    BorderChanged(thickness);
  }
};

// Declares the border properties of T (a TCkBorderProperties) with the
// defaults its border starts with; withShading adds BorderSides,
// BorderHighlight and BorderShadow.
template <class T>
void DefineBorderProperties(TClassBuilder<T>& c, const TFramedBorder& defaults, bool withShading) {
  c.Integer("BevelWidth", &T::BevelWidth, &T::SetBevelWidth, defaults.BevelWidth);
  c.Color("BorderColor", &T::BorderColor, &T::SetBorderColor, defaults.BorderColor);
  c.Enumeration("BorderInner", FrameStyleExInfo, &T::BorderInner, &T::SetBorderInner, defaults.Inner);
  c.Enumeration("BorderOuter", FrameStyleExInfo, &T::BorderOuter, &T::SetBorderOuter, defaults.Outer);
  if (withShading) {
    c.SetOf("BorderSides", SideInfo, &T::BorderSides, &T::SetBorderSides, defaults.Sides.Bits());
    c.Color("BorderHighlight", &T::BorderHighlight, &T::SetBorderHighlight, defaults.HighlightColor);
    c.Color("BorderShadow", &T::BorderShadow, &T::SetBorderShadow, defaults.ShadowColor);
  }
  c.Integer("BorderWidth", &T::BorderWidth, &T::SetBorderWidth, defaults.BorderWidth);
  c.Color("FlatColor", &T::FlatColor, &T::SetFlatColor, defaults.FlatColor);
  c.Integer("FlatColorAdjustment", &T::FlatColorAdjustment, &T::SetFlatColorAdjustment,
            defaults.FlatColorAdjustment);
}

// The frame of a windowed control, drawn over (0, 0, width, height) of its
// non-client area.
void DrawControlFrame(TCanvas& canvas, int width, int height, bool skipClear, TSides sides, TColor frameColor,
                      TColor backgroundColor, TFrameStyle style);
// Asks the window to repaint its frame within rect (window coordinates).
void InvalidateNonClient(HWND window, const TRect& rect);

// Percent bars (percent of 100 or more fills the rectangle).
void DrawPercentBar(TCanvas& canvas, const TRect& rect, bool vertical, bool transparent, bool showPercent,
                    std::uint16_t percent, TColor backColor, TColor barColor);
void DrawLedPercentBar(TCanvas& canvas, const TRect& rect, bool vertical, bool transparent, bool themeAware,
                       std::uint16_t percent, int segmentCount, TColor backColor, TColor barColor);
void DrawGradientPercentBar(TCanvas& canvas, const TRect& rect, bool vertical, bool transparent, bool showPercent,
                            std::uint16_t percent, TGradientDirection direction, TColor backStopColor,
                            TColor backColor, TColor barStopColor, TColor barColor);
// A two-pixel gradient ring inside rect (full-colour displays only).
void DrawHotRing(TCanvas& canvas, const TRect& rect, TGradientDirection direction, TColor startColor,
                 TColor endColor);

// The glyph states of DrawCheckGlyph and DrawRadioGlyph.
enum TCkGlyphState { gsNormal = 0, gsPressed = 1, gsHot = 2, gsDisabled = 3 };

// Colours and state of the library's own check box and radio glyphs.
struct TCkGlyphStyle {
  TColor ReadOnlyColor = clInfoBk;
  bool ReadOnlyColorOnFocus = false;
  bool ReadOnly = false;
  TColor HotColor = clHighlight;
  TColor HotColor2 = clHighlight;
  TColor DisabledColor = clBtnFace;
  TColor FocusColor = clWindow;
  TColor FillColor = clWindow;
  TColor MarkColor = clWindowText;  // the tick or the dot
  TColor FrameColor = clBtnShadow;
  TCkButtonHotTrackStyle HotStyle = htsInterior;
  bool Focused = false;
  TCkGlyphState State = gsNormal;
  // Radio glyph only: what shows outside the circle.
  TColor TransparentColor = clOlive;
  bool Transparent = false;
  TColor BackgroundColor = clBtnFace;
};
void DrawCheckGlyph(TCanvas& canvas, const TRect& rect, TCheckBoxState state, const TCkGlyphStyle& style);
// A 13 x 13 glyph at rect's top left corner.
void DrawRadioGlyph(TCanvas& canvas, const TRect& rect, bool checked, const TCkGlyphStyle& style);
// Style 1 is the visual-style chevron, any other a small triangle.
void DrawDropDownArrow(TCanvas& canvas, const TRect& rect, int style, bool enabled, bool pressed);

// A font like `font` for text at `angle` degrees, or at `tenths` tenths of
// a degree.
kit::Gdi<HFONT> CreateRotatedFont(TFont& font, int angle);
kit::Gdi<HFONT> FontAtTenths(TFont& font, int tenths);
bool FontIsTrueType(TFont& font);
// The font's text height plus 2.
int FontRowHeight(TFont& font);

// Round num / den to the nearest integer, halves to even (den > 0).
std::int64_t RoundDiv(std::int64_t num, std::int64_t den);

// --- settings location --------------------------------------------------------------

// Where settings would be kept: an INI file or a registry key. Forms hold it
// and frame controllers point to it; it reads and writes nothing itself.
class TCkRegIniFile : public TComponent {
  GUI_CLASS(TCkRegIniFile, TComponent)

 public:
  explicit TCkRegIniFile(TComponent* owner);

  const std::string& Path() const { return path_; }
  void SetPath(const std::string& value);
  TCkPathType PathType() const { return pathType_; }
  void SetPathType(TCkPathType value);
  TCkRegKey RegKey() const { return regKey_; }
  void SetRegKey(TCkRegKey value);
  TCkRegAccess RegAccess() const { return regAccess_; }
  void SetRegAccess(TCkRegAccess value);
  TCkSpecialFolder SpecialFolder() const { return specialFolder_; }
  void SetSpecialFolder(TCkSpecialFolder value);
  // True from creation on and after every change of the location.
  bool LocationChanged() const { return locationChanged_; }

 private:
  template <class V>
  void Change(V& field, const V& value) {
    if (field == value) return;
    field = value;
    locationChanged_ = true;
  }

  std::string path_;
  TCkPathType pathType_ = ptIniFile;
  TCkRegKey regKey_ = hkeyCurrentUser;
  TCkRegAccess regAccess_{keyAllAccess};
  TCkSpecialFolder specialFolder_ = sfNone;
  bool locationChanged_ = true;
};

// --- frame controller ---------------------------------------------------------------

// A control that reads a frame controller's settings itself instead of
// having them written property by property.
class ICkFrameControllerClient {
 public:
  virtual void ApplyFrameController() = 0;

 protected:
  ~ICkFrameControllerClient() = default;
};

// Pushes one set of colour and frame settings into every registered control,
// through the controls' published properties of the same names.
class TCkFrameController : public TComponent {
  GUI_CLASS(TCkFrameController, TComponent)

 public:
  explicit TCkFrameController(TComponent* owner);
  ~TCkFrameController() override;

  // Registers a control and gives it every setting at once.
  void AddControl(TControl* control);
  void RemoveControl(TControl* control);
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  // Notifications wait until the last EndUpdate, which sends every setting.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

  virtual void NotifyControl(TControl* control, TCkFrameControllerProperty property);
  virtual void NotifyControls(TCkFrameControllerProperty property);

  void Assign(TPersistent* source) override;
  void Loaded() override;

  TColor Color() const { return color_; }
  virtual void SetColor(TColor value);
  bool ParentColor() const { return parentColor_; }
  virtual void SetParentColor(bool value);
  TColor FlatButtonColor() const { return flatButtonColor_; }
  virtual void SetFlatButtonColor(TColor value);
  bool FlatButtons() const { return flatButtons_; }
  virtual void SetFlatButtons(bool value);
  TColor DisabledColor() const { return disabledColor_; }
  virtual void SetDisabledColor(TColor value);
  TColor ReadOnlyColor() const { return readOnlyColor_; }
  virtual void SetReadOnlyColor(TColor value);
  bool ReadOnlyColorOnFocus() const { return readOnlyColorOnFocus_; }
  virtual void SetReadOnlyColorOnFocus(bool value);
  TColor FocusColor() const { return focusColor_; }
  virtual void SetFocusColor(TColor value);
  TColor FrameColor() const { return frameColor_; }
  virtual void SetFrameColor(TColor value);
  TColor FrameHotColor() const { return frameHotColor_; }
  virtual void SetFrameHotColor(TColor value);
  bool FrameHotTrack() const { return frameHotTrack_; }
  virtual void SetFrameHotTrack(bool value);
  TFrameStyle FrameHotStyle() const { return frameHotStyle_; }
  virtual void SetFrameHotStyle(TFrameStyle value);
  TSides FrameSides() const { return frameSides_; }
  virtual void SetFrameSides(TSides value);
  TFrameStyle FrameStyle() const { return frameStyle_; }
  virtual void SetFrameStyle(TFrameStyle value);
  bool FrameVisible() const { return frameVisible_; }
  virtual void SetFrameVisible(bool value);
  TFramingPreference FramingPreference() const { return framingPreference_; }
  virtual void SetFramingPreference(TFramingPreference value);
  TCkRegIniFile* RegIniFile() const { return regIniFile_; }
  virtual void SetRegIniFile(TCkRegIniFile* value);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // Stores a changed value and notifies the controls of it.
  template <class V>
  void Change(V& field, const V& value, TCkFrameControllerProperty property) {
    if (field == value) return;
    field = value;
    NotifyControls(property);
  }
  void WriteProperty(TControl* control, TCkFrameControllerProperty property);

  TColor color_ = clWindow;
  bool parentColor_ = false;
  int updateCount_ = 0;
  TColor flatButtonColor_ = clBtnFace;
  bool flatButtons_ = true;
  TColor disabledColor_ = clBtnFace;
  TColor readOnlyColor_ = clInfoBk;
  bool readOnlyColorOnFocus_ = false;
  TColor focusColor_ = clWindow;
  TColor frameColor_ = clBtnShadow;
  TColor frameHotColor_ = clBtnShadow;
  bool frameHotTrack_ = false;
  TFrameStyle frameHotStyle_ = fsFlatBold;
  TSides frameSides_ = kAllSides;
  TFrameStyle frameStyle_ = fsFlat;
  bool frameVisible_ = false;
  TFramingPreference framingPreference_ = fpXPThemes;
  std::vector<TControl*> controls_;
  TCkRegIniFile* regIniFile_ = nullptr;
};

// A control's FrameController and FrameControllerNotifications: setting a
// controller leaves the old one, stores the new one, registers with it (which
// sends its settings) and asks to hear of its removal; the link leaves its
// controller when it goes.
class TCkFrameControllerLink {
 public:
  explicit TCkFrameControllerLink(TControl* control) : control_(control) {}
  ~TCkFrameControllerLink() { Set(nullptr); }
  TCkFrameControllerLink(const TCkFrameControllerLink&) = delete;
  TCkFrameControllerLink& operator=(const TCkFrameControllerLink&) = delete;

  TCkFrameController* Get() const { return controller_; }
  void Set(TCkFrameController* value);
  // For the control's Notification: forgets a controller that goes.
  void Removed(TComponent* component) {
    if (component == controller_) controller_ = nullptr;
  }
  // The controller, when it is there and shows its frame (the only time a
  // client applies its settings).
  TCkFrameController* Visible() const { return controller_ && controller_->FrameVisible() ? controller_ : nullptr; }
  bool Wants(TCkFrameControllerProperty property) const { return Notifications.Contains(property); }

  TCkFrameControllerNotifications Notifications = kAllFrameControllerNotifications;

 private:
  TControl* control_;
  TCkFrameController* controller_ = nullptr;
};

// --- blinking -----------------------------------------------------------------------

// Sent to each registered control on every blink: a control that blinks now
// answers 1.
constexpr UINT CM_BLINKQUERY = 0xB3E8;
// WParam 1: show the blink colour; 0: the normal colour.
constexpr UINT CM_BLINKSTATE = 0xB3E9;

// The one timer all blinking controls follow. The blink colour stays for the
// on interval, the normal colour for the off interval. Controls join it
// through a TCkBlinkRegistration.
class TCkBlinkingControlsList : public TObject {
 public:
  TCkBlinkingControlsList();
  ~TCkBlinkingControlsList() override;

  int Count() const { return static_cast<int>(controls_.size()); }
  // True while a tick walks the controls.
  bool Ticking() const { return ticking_; }
  // True while the blink colour shows.
  bool BlinkState() const { return state_; }
  std::uint16_t IntervalOff() const { return intervalOff_; }
  void SetIntervalOff(std::uint16_t value) { intervalOff_ = value; }
  std::uint16_t IntervalOn() const { return intervalOn_; }
  void SetIntervalOn(std::uint16_t value) { intervalOn_ = value; }

 private:
  friend class TCkBlinkRegistration;
  // A control added, or one whose answer may have changed, wakes the timer;
  // a tick in which no control blinks puts it to sleep.
  void Add(TControl* control);
  void Remove(TControl* control);
  void Wake();
  void Tick(TObject* sender);

  bool state_ = true;
  bool ticking_ = false;
  std::vector<TControl*> controls_;
  std::unique_ptr<TTimer> timer_;
  std::uint16_t intervalOff_ = 500;
  std::uint16_t intervalOn_ = 500;
};

// The list exists while some control is registered; when the last one
// leaves during a tick, until the end of that tick.
extern TCkBlinkingControlsList* BlinkingControls;

// A control's place on the blink list, held by the control for its whole
// life: made in its constructor (making the list when there is none), gone
// with it (freeing the list when it was the last). The timer sleeps while no
// control answers CM_BLINKQUERY with 1, so a control calls AnswerChanged
// whenever its answer may have changed; the timer then ticks again and asks
// every control.
class TCkBlinkRegistration {
 public:
  explicit TCkBlinkRegistration(TControl* control);
  ~TCkBlinkRegistration();
  TCkBlinkRegistration(const TCkBlinkRegistration&) = delete;
  TCkBlinkRegistration& operator=(const TCkBlinkRegistration&) = delete;

  void AnswerChanged();

 private:
  TControl* control_;
};

}  // namespace ck
