#include "HotKeyTexts.h"

#include <algorithm>

namespace components {

namespace {

struct ModifierMap {
  DWORD flag;
  UINT mod;
};
constexpr ModifierMap kModifiers[] = {
    {hkAlt, MOD_ALT}, {hkCtrl, MOD_CONTROL}, {hkShift, MOD_SHIFT}, {hkWin, MOD_WIN}};

// Keys whose names need the extended-key bit: without it the layout names
// the numeric-keypad twin ("Num Del" for Delete).
bool IsExtendedKey(UINT key) { return (key >= 33 && key <= 40) || key == 45 || key == 46; }

constexpr UINT kFirstMediaKey = 166;
constexpr const char* kMediaKeyNames[] = {
    "Browser Back", "Browser Forward", "Browser Refresh", "Browser Stop", "Browser Search",
    "Browser Favorites", "Browser Start/Home", "Volume Mute", "Volume Down", "Volume Up",
    "Next Track", "Previous Track", "Stop Media", "Play/Pause Media", "Start Mail",
    "Select Media", "Start Application 1", "Start Application 2"};
constexpr UINT kLastMediaKey = kFirstMediaKey + std::size(kMediaKeyNames) - 1;

bool AllUpperCaseLetters(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

}  // namespace

UINT HotKeyModifiers(DWORD hotKey) {
  UINT modifiers = 0;
  for (const ModifierMap& m : kModifiers)
    if (hotKey & m.flag) modifiers |= m.mod;
  return modifiers;
}

DWORD HotKeyFromModifiers(UINT modifiers, UINT key) {
  DWORD hotKey = key & 0xFF;
  for (const ModifierMap& m : kModifiers)
    if (modifiers & m.mod) hotKey |= m.flag;
  return hotKey;
}

std::string HotKeyAtomName(DWORD hotKey) { return "HotKeyManagerHotKey" + std::to_string(hotKey); }

// --- the system's layouts --------------------------------------------------

UINT TKeyboardLayouts::ScanCode(UINT key, HKL layout) {
  return layout ? MapVirtualKeyExA(key, MAPVK_VK_TO_VSC, layout) : MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
}

std::string TKeyboardLayouts::KeyName(LONG argument) {
  char buffer[256];
  int length = GetKeyNameTextA(argument, buffer, sizeof buffer);
  return std::string(buffer, static_cast<std::size_t>(std::clamp(length, 0, int(sizeof buffer) - 1)));
}

HKL TKeyboardLayouts::Current() { return GetKeyboardLayout(0); }

void TKeyboardLayouts::Activate(HKL layout) { ActivateKeyboardLayout(layout, 0); }

std::vector<HKL> TKeyboardLayouts::Installed() {
  std::vector<HKL> layouts(100);
  int count = GetKeyboardLayoutList(static_cast<int>(layouts.size()), layouts.data());
  layouts.resize(static_cast<std::size_t>(std::max(count, 0)));
  return layouts;
}

HKL TKeyboardLayouts::Load(const char* layoutName) { return LoadKeyboardLayoutA(layoutName, KLF_NOTELLSHELL); }

void TKeyboardLayouts::Unload(HKL layout) { UnloadKeyboardLayout(layout); }

// --- names -------------------------------------------------------------------

THotKeyTexts::THotKeyTexts(TKeyboardLayouts& keyboard) : keyboard_(keyboard) {
  // Bare keys carry no modifier bits, so these are the layout's own names.
  shift_ = Text(VK_SHIFT, true);
  ctrl_ = Text(VK_CONTROL, true);
  alt_ = Text(VK_MENU, true);
  // A layout that writes "ALT" gets "WIN" to match.
  if (AllUpperCaseLetters(alt_)) win_ = "WIN";

  std::vector<HKL> installed = keyboard_.Installed();
  usLayout_ = keyboard_.Load("00000409");
  unloadUs_ = std::find(installed.begin(), installed.end(), usLayout_) == installed.end();
}

THotKeyTexts::~THotKeyTexts() {
  if (unloadUs_) keyboard_.Unload(usLayout_);
}

std::string THotKeyTexts::KeyName(UINT key, bool localized) const {
  LONG argument = static_cast<LONG>(keyboard_.ScanCode(key, localized ? nullptr : usLayout_) << 16);
  if (IsExtendedKey(key)) argument |= 0x1000000;

  std::string name;
  if (argument != 0) {
    HKL previous = localized ? nullptr : keyboard_.Current();
    // Key names come from the thread's active layout only.
    bool swap = !localized && previous != usLayout_;
    if (swap) keyboard_.Activate(usLayout_);
    name = keyboard_.KeyName(argument);
    if (swap) keyboard_.Activate(previous);
  }
  if (name.size() <= 1 && key >= kFirstMediaKey && key <= kLastMediaKey) name = kMediaKeyNames[key - kFirstMediaKey];
  return name;
}

std::string THotKeyTexts::Text(DWORD hotKey, bool localized) const {
  std::string text;
  if (hotKey & hkCtrl) text += (localized ? ctrl_ : "Ctrl") + "+";
  if (hotKey & hkShift) text += (localized ? shift_ : "Shift") + "+";
  if (hotKey & hkAlt) text += (localized ? alt_ : "Alt") + "+";
  if (hotKey & hkWin) text += (localized ? win_ : "Win") + "+";
  return text + KeyName(hotKey & 0xFF, localized);
}

std::string HotKeyToText(DWORD hotKey, bool localized) {
  static TKeyboardLayouts keyboard;
  static const THotKeyTexts texts(keyboard);
  return texts.Text(hotKey, localized);
}

}  // namespace components
