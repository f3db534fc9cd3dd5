#include "HotKeyTexts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>

using namespace components;

namespace {

const HKL kUs = reinterpret_cast<HKL>(std::uintptr_t{0x04090409});
const HKL kGerman = reinterpret_cast<HKL>(std::uintptr_t{0x04070407});

// A keyboard whose scan codes are the key codes and whose names are "K" and
// the code unless given, recording what it is asked.
class FakeKeyboard : public TKeyboardLayouts {
 public:
  HKL current = kGerman;
  std::vector<HKL> installed{kGerman};
  std::map<UINT, std::string> names;  // by virtual key, for the localized layout
  std::vector<std::pair<UINT, HKL>> scanCodes;
  std::vector<LONG> nameArguments;
  std::vector<HKL> activations, unloads;
  HKL activeDuringName = nullptr;

  UINT ScanCode(UINT key, HKL layout) override {
    scanCodes.push_back({key, layout});
    return key == 0xFF ? 0 : key;  // 0xFF has no scan code
  }
  std::string KeyName(LONG argument) override {
    nameArguments.push_back(argument);
    activeDuringName = current;
    UINT key = (argument >> 16) & 0xFF;
    auto found = names.find(key);
    return found != names.end() ? found->second : "K" + std::to_string(key);
  }
  HKL Current() override { return current; }
  void Activate(HKL layout) override {
    activations.push_back(layout);
    current = layout;
  }
  std::vector<HKL> Installed() override { return installed; }
  HKL Load(const char* layoutName) override { return std::string(layoutName) == "00000409" ? kUs : nullptr; }
  void Unload(HKL layout) override { unloads.push_back(layout); }
};

}  // namespace

TEST(HotKeyValue, ModifiersMapBothWays) {
  EXPECT_EQ(UINT(MOD_CONTROL | MOD_ALT), HotKeyModifiers(0xC078));
  EXPECT_EQ(UINT(MOD_SHIFT | MOD_WIN), HotKeyModifiers(hkShift | hkWin | 'A'));
  EXPECT_EQ(0u, HotKeyModifiers(VK_F9));
  for (DWORD flags = 0; flags < 16; ++flags) {
    DWORD value = (flags << 13) | VK_DELETE;
    EXPECT_EQ(value, HotKeyFromModifiers(HotKeyModifiers(value), VK_DELETE)) << value;
  }
  // Bits above the key byte in the reported key do not leak into the value.
  EXPECT_EQ(hkCtrl | 0x41u, HotKeyFromModifiers(MOD_CONTROL, 0x141));
}

TEST(HotKeyText, EnglishTextsOfTheSystemLayout) {
  EXPECT_EQ("Ctrl+A", HotKeyToText(0x4041, false));
  EXPECT_EQ("Ctrl+Shift+Alt+A", HotKeyToText(0x4041 | hkShift | hkAlt, false));
  EXPECT_EQ("Shift+Win+A", HotKeyToText(hkWin | hkShift | 'A', false));
  EXPECT_EQ("Ctrl+Alt+F9", HotKeyToText(0xC078, false));
  // Media keys the layout has no name for are named from the table.
  EXPECT_EQ("Alt+Volume Mute", HotKeyToText(hkAlt | VK_VOLUME_MUTE, false));
}

TEST(HotKeyText, ExtendedKeysAreNamedWithBit24) {
  FakeKeyboard keyboard;
  THotKeyTexts texts(keyboard);
  for (UINT key : {VK_DELETE, VK_INSERT, VK_LEFT, VK_DOWN, VK_PRIOR, VK_HOME}) {
    keyboard.nameArguments.clear();
    texts.KeyName(key, true);
    ASSERT_EQ(1u, keyboard.nameArguments.size());
    EXPECT_EQ(LONG((key << 16) | 0x1000000), keyboard.nameArguments[0]) << key;
  }
  for (UINT key : {VK_RETURN, VK_F1, int('A'), VK_SPACE}) {
    keyboard.nameArguments.clear();
    texts.KeyName(key, false);
    ASSERT_EQ(1u, keyboard.nameArguments.size());
    EXPECT_EQ(LONG(key << 16), keyboard.nameArguments[0]) << key;
  }
}

TEST(HotKeyText, EnglishNamesComeFromTheUsLayoutActivatedForTheCall) {
  FakeKeyboard keyboard;
  THotKeyTexts texts(keyboard);
  keyboard.scanCodes.clear();

  EXPECT_EQ("Ctrl+K65", texts.Text(hkCtrl | 'A', false));
  EXPECT_EQ((std::vector<std::pair<UINT, HKL>>{{'A', kUs}}), keyboard.scanCodes);
  EXPECT_EQ(kUs, keyboard.activeDuringName);
  EXPECT_EQ((std::vector<HKL>{kUs, kGerman}), keyboard.activations);
  EXPECT_EQ(kGerman, keyboard.current);

  // Already in the US layout: nothing to switch.
  keyboard.activations.clear();
  keyboard.current = kUs;
  texts.Text('A', false);
  EXPECT_TRUE(keyboard.activations.empty());
}

TEST(HotKeyText, LocalizedNamesUseTheThreadsLayoutAndItsModifierNames) {
  FakeKeyboard keyboard;
  keyboard.names = {{VK_SHIFT, "Umschalt"}, {VK_CONTROL, "Strg"}, {VK_MENU, "Alt"}, {'A', "A"}};
  THotKeyTexts texts(keyboard);
  keyboard.scanCodes.clear();

  EXPECT_EQ("Strg+Umschalt+Alt+Win+A", texts.Text(hkCtrl | hkShift | hkAlt | hkWin | 'A', true));
  EXPECT_EQ((std::vector<std::pair<UINT, HKL>>{{'A', nullptr}}), keyboard.scanCodes);
  EXPECT_TRUE(keyboard.activations.empty());
  // The English text keeps the English modifier names.
  EXPECT_EQ("Ctrl+Shift+Alt+Win+A", texts.Text(hkCtrl | hkShift | hkAlt | hkWin | 'A', false));
}

TEST(HotKeyText, UpperCaseAltNameMakesTheWinNameUpperCase) {
  FakeKeyboard keyboard;
  keyboard.names = {{VK_MENU, "ALT"}};
  EXPECT_EQ("WIN", THotKeyTexts(keyboard).WinName());
  keyboard.names = {{VK_MENU, "Alt Gr"}};
  EXPECT_EQ("Win", THotKeyTexts(keyboard).WinName());
  keyboard.names = {{VK_MENU, ""}};
  EXPECT_EQ("WIN", THotKeyTexts(keyboard).WinName());
}

TEST(HotKeyText, MediaKeysWithoutAUsableNameComeFromTheTable) {
  FakeKeyboard keyboard;
  THotKeyTexts texts(keyboard);
  keyboard.names = {{VK_BROWSER_BACK, ""}, {VK_LAUNCH_APP2, "x"}, {VK_MEDIA_PLAY_PAUSE, "Play"}, {165, "y"}};
  EXPECT_EQ("Browser Back", texts.KeyName(VK_BROWSER_BACK, true));
  EXPECT_EQ("Start Application 2", texts.KeyName(VK_LAUNCH_APP2, true));
  EXPECT_EQ("Play", texts.KeyName(VK_MEDIA_PLAY_PAUSE, true));
  EXPECT_EQ("y", texts.KeyName(165, true));  // just below the table
  // A key without a scan code is not asked for a name.
  keyboard.nameArguments.clear();
  EXPECT_EQ("", texts.KeyName(0xFF, true));
  EXPECT_TRUE(keyboard.nameArguments.empty());
}

TEST(HotKeyText, UsLayoutIsUnloadedOnlyWhenItWasNotInstalled) {
  FakeKeyboard keyboard;
  {
    THotKeyTexts texts(keyboard);
    EXPECT_EQ(kUs, texts.UsLayout());
    EXPECT_TRUE(texts.UnloadsUsLayout());
  }
  EXPECT_EQ(std::vector<HKL>{kUs}, keyboard.unloads);

  keyboard.unloads.clear();
  keyboard.installed = {kGerman, kUs};
  { THotKeyTexts texts(keyboard); }
  EXPECT_TRUE(keyboard.unloads.empty());
}
