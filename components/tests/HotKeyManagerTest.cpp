#include "HotKeyManager.h"

#include <gtest/gtest.h>

#include <memory>

#include "testsupport/Hooks.h"
#include "testsupport/Pump.h"

using namespace components;

namespace {

constexpr DWORD kCtrlAltF9 = 0xC078;

std::string AtomName(ATOM atom) {
  char name[256] = {};
  GlobalGetAtomNameA(atom, name, sizeof name);
  return name;
}

// Another window of the process, to see whether a combination is free.
class Probe {
 public:
  Probe() : window_(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
  ~Probe() { DestroyWindow(window_); }
  bool CanRegister(UINT modifiers, UINT key) {
    if (!RegisterHotKey(window_, 1, modifiers, key)) return false;
    UnregisterHotKey(window_, 1);
    return true;
  }

 private:
  HWND window_;
};

}  // namespace

TEST(HotKeyManager, RegistersTheCombinationUnderTheValuesAtom) {
  Probe probe;
  ASSERT_TRUE(probe.CanRegister(MOD_CONTROL | MOD_ALT, VK_F9));
  THotKeyManager manager(nullptr);
  ASSERT_NE(nullptr, manager.Handle());

  WORD atom = manager.AddHotKey(kCtrlAltF9);
  ASSERT_NE(0, atom);
  EXPECT_EQ("HotKeyManagerHotKey49272", AtomName(atom));
  EXPECT_FALSE(probe.CanRegister(MOD_CONTROL | MOD_ALT, VK_F9));
  EXPECT_TRUE(probe.CanRegister(MOD_CONTROL, VK_F9));

  // Taken already, by the manager itself or another one: refused, and the
  // refusals leave no atom reference behind.
  EXPECT_EQ(0, manager.AddHotKey(kCtrlAltF9));
  THotKeyManager other(nullptr);
  EXPECT_EQ(0, other.AddHotKey(kCtrlAltF9));

  EXPECT_FALSE(manager.RemoveHotKey(0x4041));
  EXPECT_TRUE(manager.RemoveHotKey(kCtrlAltF9));
  EXPECT_EQ(0, GlobalFindAtomA("HotKeyManagerHotKey49272"));
  EXPECT_TRUE(probe.CanRegister(MOD_CONTROL | MOD_ALT, VK_F9));
  EXPECT_FALSE(manager.RemoveHotKey(kCtrlAltF9));
}

namespace {
BOOL WINAPI AcceptEveryHotKey(HWND, int, UINT, UINT) { return TRUE; }
}  // namespace

TEST(HotKeyManager, AValueHeldAlreadyIsRefusedWhateverTheSystemSays) {
  testsupport::Scoped lenient(SetHotKeyRegistrar, &AcceptEveryHotKey, nullptr);
  THotKeyManager manager(nullptr);
  ASSERT_NE(0, manager.AddHotKey(kCtrlAltF9));
  EXPECT_EQ(0, manager.AddHotKey(kCtrlAltF9));
  manager.RemoveHotKey(kCtrlAltF9);
  EXPECT_EQ(0, GlobalFindAtomA(HotKeyAtomName(kCtrlAltF9).c_str())) << "no atom reference left behind";
  EXPECT_FALSE(manager.RemoveHotKey(kCtrlAltF9)) << "one record, gone";
}

TEST(HotKeyManager, PressedHotKeysAreReportedWithTheirAtom) {
  THotKeyManager manager(nullptr);
  std::vector<std::pair<DWORD, WORD>> pressed;
  manager.OnHotKeyPressed = [&](DWORD hotKey, WORD index) { pressed.push_back({hotKey, index}); };
  WORD f9 = manager.AddHotKey(kCtrlAltF9);
  WORD winA = manager.AddHotKey(hkWin | hkShift | 'A');
  ASSERT_NE(0, f9);
  ASSERT_NE(0, winA);

  PostMessageA(manager.Handle(), WM_HOTKEY, f9, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_F9));
  // Not registered: nothing is called.
  PostMessageA(manager.Handle(), WM_HOTKEY, f9, MAKELPARAM(MOD_CONTROL, VK_F9));
  PostMessageA(manager.Handle(), WM_HOTKEY, winA, MAKELPARAM(MOD_WIN | MOD_SHIFT, 'A'));
  ASSERT_TRUE(testsupport::PumpUntil([&] { return pressed.size() >= 2; }));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, manager.Handle(), 0, 0, PM_NOREMOVE));
  EXPECT_EQ((std::vector<std::pair<DWORD, WORD>>{{kCtrlAltF9, f9}, {hkWin | hkShift | 'A', winA}}), pressed);
}

TEST(HotKeyManager, RegistrationsEndWithTheManager) {
  Probe probe;
  auto manager = std::make_unique<THotKeyManager>(nullptr);
  ASSERT_NE(0, manager->AddHotKey(kCtrlAltF9));
  ASSERT_NE(0, manager->AddHotKey(hkShift | hkAlt | VK_F11));
  EXPECT_FALSE(probe.CanRegister(MOD_SHIFT | MOD_ALT, VK_F11));
  manager.reset();
  EXPECT_TRUE(probe.CanRegister(MOD_SHIFT | MOD_ALT, VK_F11));
  EXPECT_TRUE(probe.CanRegister(MOD_CONTROL | MOD_ALT, VK_F9));
  EXPECT_EQ(0, GlobalFindAtomA(HotKeyAtomName(kCtrlAltF9).c_str()));

  THotKeyManager cleared(nullptr);
  ASSERT_NE(0, cleared.AddHotKey(kCtrlAltF9));
  cleared.ClearHotKeys();
  EXPECT_TRUE(probe.CanRegister(MOD_CONTROL | MOD_ALT, VK_F9));
  EXPECT_FALSE(cleared.RemoveHotKey(kCtrlAltF9));
}

namespace {
// Refuses every window the thread tries to make.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) return 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

TEST(HotKeyManager, NoWindowMeansNoKeyAndNoAtomLeftBehind) {
  THotKeyManager manager(nullptr);
  HHOOK refusal = SetWindowsHookExA(WH_CBT, &RefuseWindows, nullptr, GetCurrentThreadId());
  ASSERT_NE(nullptr, refusal);
  WORD atom = 1;
  EXPECT_NO_THROW(atom = manager.AddHotKey(kCtrlAltF9));
  UnhookWindowsHookEx(refusal);
  EXPECT_EQ(0, atom);
  EXPECT_EQ(0, GlobalFindAtomA("HotKeyManagerHotKey49272"));
  EXPECT_FALSE(manager.RemoveHotKey(kCtrlAltF9)) << "nothing recorded";

  // Windows can be made again: the next call makes it and registers.
  atom = manager.AddHotKey(kCtrlAltF9);
  ASSERT_NE(0, atom);
  EXPECT_EQ("HotKeyManagerHotKey49272", AtomName(atom));
  EXPECT_NE(nullptr, manager.Handle());
  EXPECT_TRUE(manager.RemoveHotKey(kCtrlAltF9));
  EXPECT_EQ(0, GlobalFindAtomA("HotKeyManagerHotKey49272"));
}
