// Hot-key values and their display texts.
//
// A hot-key value is the program's one encoding of a key combination: the
// virtual-key code in the low byte and the modifier flags above it, the same
// encoding the hot-key edit hands out.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace components {

constexpr DWORD hkShift = 0x2000;
constexpr DWORD hkCtrl = 0x4000;
constexpr DWORD hkAlt = 0x8000;
constexpr DWORD hkWin = 0x10000;

// The RegisterHotKey modifiers (MOD_ALT, ...) of a value, and the value of a
// key with such modifiers (as WM_HOTKEY reports them).
UINT HotKeyModifiers(DWORD hotKey);
DWORD HotKeyFromModifiers(UINT modifiers, UINT key);

// The name of the global atom that identifies the value's registration:
// "HotKeyManagerHotKey" and the value in decimal.
std::string HotKeyAtomName(DWORD hotKey);

// Display text such as "Ctrl+Alt+F9": the key named by the user's keyboard
// layout with the user's modifier names (localized), or by the US English
// layout with the English modifier names.
std::string HotKeyToText(DWORD hotKey, bool localized);

// The keyboard-layout calls key names come from; tests replace them.
class TKeyboardLayouts {
 public:
  virtual ~TKeyboardLayouts() = default;
  // MapVirtualKeyEx to a scan code; a null layout is the thread's own.
  virtual UINT ScanCode(UINT key, HKL layout);
  // GetKeyNameText in the thread's current layout; empty when it has none.
  virtual std::string KeyName(LONG argument);
  virtual HKL Current();
  virtual void Activate(HKL layout);
  virtual std::vector<HKL> Installed();
  virtual HKL Load(const char* layoutName);
  virtual void Unload(HKL layout);
};

// The names one process uses: the modifier names of the user's layout and
// the US English layout, loaded for the English texts (and unloaded again
// when it was not installed before). The program keeps one for its life.
class THotKeyTexts {
 public:
  explicit THotKeyTexts(TKeyboardLayouts& keyboard);
  ~THotKeyTexts();
  THotKeyTexts(const THotKeyTexts&) = delete;
  THotKeyTexts& operator=(const THotKeyTexts&) = delete;

  std::string Text(DWORD hotKey, bool localized) const;
  std::string KeyName(UINT key, bool localized) const;

  const std::string& ShiftName() const { return shift_; }
  const std::string& CtrlName() const { return ctrl_; }
  const std::string& AltName() const { return alt_; }
  const std::string& WinName() const { return win_; }
  HKL UsLayout() const { return usLayout_; }
  bool UnloadsUsLayout() const { return unloadUs_; }

 private:
  TKeyboardLayouts& keyboard_;
  std::string shift_ = "Shift", ctrl_ = "Ctrl", alt_ = "Alt", win_ = "Win";
  HKL usLayout_ = nullptr;
  bool unloadUs_ = false;
};

}  // namespace components
