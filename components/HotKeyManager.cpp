#include "HotKeyManager.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace components {

GUI_DEFINE_CLASS(THotKeyManager) { c.Event("OnHotKeyPressed", &THotKeyManager::OnHotKeyPressed); }

THotKeyManager::THotKeyManager(gui::TComponent* owner) : TComponent(owner) {}

// The window comes with the first key: a program without a hot key never
// pays for it at start-up. Null while it cannot be made; a later call tries
// again.
HWND THotKeyManager::Handle() {
  if (!window_ && !ComponentState().Contains(gui::csDesigning)) {
    try {
      window_ = gui::AllocateHWnd(this, &THotKeyManager::WndProc);
    } catch (const std::exception&) {
      // Out of windows for now: no window yet.
    }
  }
  return window_;
}

THotKeyManager::~THotKeyManager() {
  ClearHotKeys();
  gui::DeallocateHWnd(window_);
}

namespace {
THotKeyRegistrar registrar = &RegisterHotKey;
}  // namespace

THotKeyRegistrar SetHotKeyRegistrar(THotKeyRegistrar value) {
  return std::exchange(registrar, value ? value : &RegisterHotKey);
}

WORD THotKeyManager::AddHotKey(DWORD hotKey) {
  // Held already: one atom never carries two records, whatever the system
  // would say to the same window asking twice.
  if (Find(hotKey) != hotKeys_.end()) return 0;
  // No window, no key: the window is made before the atom is taken.
  HWND window = Handle();
  if (!window && !ComponentState().Contains(gui::csDesigning)) return 0;
  ATOM atom = GlobalAddAtomA(HotKeyAtomName(hotKey).c_str());
  if (atom == 0) return 0;
  if (!registrar(window, atom, HotKeyModifiers(hotKey), hotKey & 0xFF)) {
    GlobalDeleteAtom(atom);
    return 0;
  }
  hotKeys_.push_back({hotKey, atom});
  return atom;
}

bool THotKeyManager::Unregister(const TRegistration& registration) {
  bool unregistered = UnregisterHotKey(window_, registration.KeyIndex);
  GlobalDeleteAtom(registration.KeyIndex);
  return unregistered;
}

std::vector<THotKeyManager::TRegistration>::iterator THotKeyManager::Find(DWORD hotKey) {
  return std::find_if(hotKeys_.begin(), hotKeys_.end(), [hotKey](const TRegistration& r) { return r.HotKey == hotKey; });
}

bool THotKeyManager::RemoveHotKey(DWORD hotKey) {
  auto found = Find(hotKey);
  if (found == hotKeys_.end()) return false;
  TRegistration registration = *found;
  hotKeys_.erase(found);
  return Unregister(registration);
}

void THotKeyManager::ClearHotKeys() {
  while (!hotKeys_.empty()) {
    TRegistration last = hotKeys_.back();
    hotKeys_.pop_back();
    Unregister(last);
  }
}

void THotKeyManager::WndProc(gui::TMessage& Message) {
  if (Message.Msg == WM_HOTKEY && OnHotKeyPressed) {
    DWORD hotKey = HotKeyFromModifiers(LOWORD(Message.LParam), HIWORD(Message.LParam));
    if (Find(hotKey) != hotKeys_.end()) OnHotKeyPressed(hotKey, LOWORD(Message.WParam));
  }
  Message.Result = DefWindowProcA(window_, Message.Msg, Message.WParam, Message.LParam);
}

}  // namespace components
