// THotKeyManager: system-wide hot keys for the program, each registration
// identified by a global atom made from its hot-key value, with an event
// when one is pressed whichever program has the focus. GUI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "gui/Component.h"
#include "gui/Messages.h"
#include "HotKeyTexts.h"

namespace components {

using TOnHotKeyPressed = std::function<void(DWORD HotKey, WORD Index)>;

// The platform call that registers a hot key (RegisterHotKey). Tests put
// their own in its place; the setter returns the one it replaces, and null
// restores the system's.
using THotKeyRegistrar = BOOL(WINAPI*)(HWND window, int id, UINT modifiers, UINT key);
THotKeyRegistrar SetHotKeyRegistrar(THotKeyRegistrar registrar);

class THotKeyManager : public gui::TComponent {
  GUI_CLASS(THotKeyManager, gui::TComponent)

 public:
  explicit THotKeyManager(gui::TComponent* owner);
  // Unregisters every hot key.
  ~THotKeyManager() override;

  // Registers the combination; its atom, or 0 when this manager holds it
  // already, the system refuses it (another program holds it) or the
  // manager's window cannot be made.
  WORD AddHotKey(DWORD hotKey);
  // Unregisters the first registration of that value; false when there is
  // none or the system refuses (the registration is dropped all the same).
  bool RemoveHotKey(DWORD hotKey);
  void ClearHotKeys();

  // The window WM_HOTKEY arrives at, made at the first call; null while the
  // system makes no window.
  HWND Handle();

  // Index is the atom of the registration.
  TOnHotKeyPressed OnHotKeyPressed;

 protected:
  virtual void WndProc(gui::TMessage& Message);

 private:
  struct TRegistration {
    DWORD HotKey;
    WORD KeyIndex;
  };
  bool Unregister(const TRegistration& registration);
  std::vector<TRegistration>::iterator Find(DWORD hotKey);

  HWND window_ = nullptr;
  std::vector<TRegistration> hotKeys_;
};

}  // namespace components
