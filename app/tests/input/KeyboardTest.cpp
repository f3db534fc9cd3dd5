// The keyboard on the running program: Tab through every page, Space on
// check boxes and arrows on sliders as the saved settings show them, the
// about window's keys and the focus it hands back, the help key and Alt+F4.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ProgramInUse.h"
#include "RegistryKeeper.h"

using namespace realinput;

namespace {

class Keyboard : public ProgramInUse {
 public:
  std::string Setting(const char* section, const char* key) { return Run().SettingNow(section, key); }
  static std::string Registry(HKEY root, const char* path, const char* name) {
    const std::optional<DWORD> value = harness::RegNumber(root, path, name);
    return value ? std::to_string(*value) : "<none>";
  }
};

// A check box and a slider of a page, and where the page's save stores them.
struct TPageKeys {
  int Page;
  const char* Box;
  int Slider;  // among the page's sliders, top to bottom
  std::function<std::string(Keyboard&)> BoxValue, SliderValue;
};

}  // namespace

TEST_F(Keyboard, TabGoesThroughEachPageInReadingOrderAndStaysOnIt) {
  ASSERT_NO_FATAL_FAILURE(Start());
  for (int page = 0; page < 5; ++page) {
    SCOPED_TRACE("page " + std::to_string(page));
    ASSERT_NO_FATAL_FAILURE(ShowPage(page));
    ASSERT_TRUE(KeysToMain());
    const std::vector<HWND> stops = TabStops(Page());
    ASSERT_FALSE(stops.empty());
    // From wherever the focus is, Tab reaches the page's first control, then
    // each one in turn, and after the last the first again.
    ASSERT_TRUE(TabTo(stops.front())) << "focus: " << Name(Focus());
    for (std::size_t i = 1; i <= stops.size(); ++i) {
      const HWND before = Focus();
      Key(VK_TAB);
      const HWND wanted = stops[i % stops.size()];
      if (wanted != before) Until([&] { return Focus() != before; });
      EXPECT_EQ(Focus(), wanted) << "after " << Name(before) << " came " << Name(Focus()) << ", not "
                                 << Name(wanted);
    }
  }
}

TEST_F(Keyboard, SpaceTicksACheckBoxAndArrowsMoveASliderOnEveryPageThatSaves) {
  harness::TRegistryKeeper keep({{HKEY_LOCAL_MACHINE, harness::kMemoryKey},
                                 {HKEY_LOCAL_MACHINE, harness::kPriorityKey},
                                 {HKEY_LOCAL_MACHINE, harness::kExplorerKey},
                                 {HKEY_LOCAL_MACHINE, harness::kExecutiveKey},
                                 {HKEY_LOCAL_MACHINE, harness::kFileSystemKey},
                                 {HKEY_CURRENT_USER, harness::kEffectsKey},
                                 {HKEY_CURRENT_USER, "Control Panel\\Desktop"},
                                 {HKEY_CURRENT_USER, harness::kRunKey}});
  const TPageKeys pages[] = {
      {0, "Free memory automatically", 0, [](Keyboard& t) { return t.Setting("AUTO_FREE", "IsAutoFree"); },
       [](Keyboard& t) { return t.Setting("AUTO_FREE", "AutoFreeTimer"); }},
      {1, "CPU Adjustment", 0, [](Keyboard& t) { return t.Setting("SMART_OPTIMIZATION", "IsSmartCPU"); },
       [](Keyboard& t) { return t.Setting("SMART_OPTIMIZATION", "SmartCPURange"); }},
      {2, "Use large system cache", 2,
       [](Keyboard&) { return Registry(HKEY_LOCAL_MACHINE, harness::kMemoryKey, "LargeSystemCache"); },
       [](Keyboard&) {
         return harness::RegText(HKEY_LOCAL_MACHINE, harness::kExplorerKey, "Max Cached Icons").value_or("<none>");
       }},
      {4, "Autorun at Windows startup", 0, [](Keyboard& t) { return t.Setting("PROGRAM_OPTION", "IsAutorun"); },
       [](Keyboard& t) { return t.Setting("PROGRAM_OPTION", "MemoryGraphRefreshTimer"); }},
  };
  ASSERT_NO_FATAL_FAILURE(Start());
  for (const TPageKeys& page : pages) {
    SCOPED_TRACE("page " + std::to_string(page.Page));
    ASSERT_NO_FATAL_FAILURE(ShowPage(page.Page));
    HWND box = Below(Page(), "TCkCheckBox", page.Box);
    ASSERT_NE(box, nullptr);
    auto boxValue = [&] { return page.BoxValue(*this); };
    auto sliderValue = [&] { return page.SliderValue(*this); };
    // The key on the control with the focus, then the page saved; true once
    // what is stored holds and the save has run to its end.
    auto pressAndSave = [&](HWND control, WORD key, const std::function<bool()>& stored) {
      EXPECT_TRUE(KeysToMain());
      EXPECT_TRUE(TabTo(control)) << "focus: " << Name(Focus());
      if (key) Key(key);
      Click(Centre(Below(Page(), "TVeeButton", "Save")));
      const bool held = Until(stored);
      Settle();
      return held;
    };
    auto known = [&] { return boxValue() != "<none>" && sliderValue() != "<none>"; };
    if (!known()) {
      ASSERT_TRUE(pressAndSave(box, 0, known));
    }
    const std::string unticked = boxValue();
    const std::string ticked = unticked == "1" ? "0" : "1";
    EXPECT_TRUE(pressAndSave(box, VK_SPACE, [&] { return boxValue() == ticked; })) << "Space on " << Name(box) << " left " << boxValue();

    // A slider the box may just have enabled.
    std::vector<HWND> sliders;
    for (HWND stop : TabStops(Page()))
      if (ClassOf(stop) == "TCkTrackBar") sliders.push_back(stop);
    ASSERT_GT(sliders.size(), static_cast<std::size_t>(page.Slider));
    HWND slider = sliders[static_cast<std::size_t>(page.Slider)];
    const std::string resting = sliderValue();
    EXPECT_TRUE(pressAndSave(slider, VK_RIGHT, [&] { return sliderValue() != resting; }))
        << "Right on " << Name(slider) << " left " << resting;
    EXPECT_TRUE(pressAndSave(slider, VK_LEFT, [&] { return sliderValue() == resting; }))
        << "Left on " << Name(slider) << " gave " << sliderValue() << ", not " << resting;
    EXPECT_TRUE(pressAndSave(box, VK_SPACE, [&] { return boxValue() == unticked; })) << "Space again on " << Name(box);
  }
}

TEST_F(Keyboard, TheAboutWindowClosesByEscEnterOrSpaceAndHandsTheKeysBack) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(KeysToMain());
  const std::vector<HWND> stops = TabStops(Page());
  ASSERT_GE(stops.size(), 2u);
  ASSERT_TRUE(TabTo(stops[1]));
  const HWND focused = Focus();

  struct TWay {
    const char* Name;
    WORD Key;
    bool TabFirst;  // to the link: Esc then answers from the Cancel button
  };
  for (const TWay& way : {TWay{"Esc", VK_ESCAPE, false}, TWay{"Enter on the close button", VK_RETURN, false},
                          TWay{"Space on the close button", VK_SPACE, false},
                          TWay{"Esc on a link", VK_ESCAPE, true}}) {
    SCOPED_TRACE(way.Name);
    HWND about = OpenAboutFromHelpMenu();
    ASSERT_NE(about, nullptr) << "the about window never showed";
    ASSERT_TRUE(KeysTo(about, At(about, 200, 250))) << "active: " << Name(Active());
    if (way.TabFirst) {
      const HWND close = Focus();
      Key(VK_TAB);
      ASSERT_TRUE(Until([&] { return Focus() != close; }));
      EXPECT_EQ(ClassOf(Focus()), "TLayeredButton");
    } else {
      EXPECT_EQ(ClassOf(Focus()), "TLayeredButton") << "the close button has the focus";
    }
    Key(way.Key);
    ASSERT_TRUE(AwaitGone(about)) << "the key did not close the about window";
    // The main window takes the keys again, at the control that had them.
    EXPECT_TRUE(Until([&] { return Active() == Main() && Focus() == focused; }))
        << "active: " << Name(Active()) << ", focus: " << Name(Focus());
    ASSERT_TRUE(KeysToMain());
  }
}

TEST_F(Keyboard, F1OpensTheHelpFile) {
  harness::TScopedClassesValue type(".chm", "Brimvale.TestHelp");
  harness::TScopedClassesValue help("Brimvale.TestHelp\\shell\\open\\command", harness::LinkRecorderCommand());
  DeleteFileA(harness::RecordedLinksFile().c_str());
  ASSERT_NO_FATAL_FAILURE(Start());
  const std::string helpFile = Run().File("Help.chm");
  Key(VK_F1);
  EXPECT_EQ(harness::AwaitRecordedLink(helpFile), helpFile + "\r\n");
}

TEST_F(Keyboard, AltF4EndsTheProgram) {
  ASSERT_NO_FATAL_FAILURE(Start());
  Key(VK_F4, {VK_MENU});
  EXPECT_EQ(Run().WaitForExit(), 0u);
}

TEST_F(Keyboard, EnterInTheRulesWindowAddsTheTypedName) {
  Run().Setting("AUTO_FREE", "IsAutoFree", "1");  // the list boxes take part only then
  WriteListFile("black.lst", {"keep.exe"});
  ASSERT_NO_FATAL_FAILURE(Start());
  HWND rules = OpenRulesWindow("Black List");
  ASSERT_NE(rules, nullptr);
  Click(Centre(Below(rules, "Edit")));
  Type("added.exe");
  Key(VK_RETURN);
  EXPECT_TRUE(Until([&] { return ListFile("black.lst") == std::vector<std::string>{"keep.exe", "added.exe"}; }));
  EXPECT_EQ(ListItems(Below(rules, "ListBox")), (std::vector<std::string>{"keep.exe", "added.exe"}));
}

TEST_F(Keyboard, AHotKeyRemovedOnTheConfigurationPageIsNeitherStoredNorRegistered) {
  constexpr char kSection[] = "PROGRAM_OPTION";
  harness::TRegistryKeeper keep({{HKEY_CURRENT_USER, harness::kRunKey}});  // the page's save writes autorun too
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowPage(4));
  HWND use = Below(Page(), "TCkCheckBox", "Enable hot key for \"FreeUp\"");
  HWND edit = Below(Page(), "msctls_hotkey32");
  HWND save = Below(Page(), "TVeeButton", "Save");
  ASSERT_TRUE(use && edit && save);
  auto shown = [&] {
    DWORD_PTR key = 0;
    SendMessageTimeoutA(edit, HKM_GETHOTKEY, 0, 0, SMTO_ABORTIFHUNG, 10000, &key);
    return static_cast<WORD>(key);
  };
  // Another program could not have the key the program holds. A save waits
  // on the tray, another program, and so lets the sent message of Settle
  // through before it has registered the key: the answer is awaited.
  auto held = [] {
    if (!RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'K')) return true;
    UnregisterHotKey(nullptr, 1);
    return false;
  };

  Click(Centre(use));
  ASSERT_TRUE(Until([&] { return IsWindowEnabled(edit) != FALSE; }));
  Click(Centre(edit));
  ASSERT_TRUE(Until([&] { return Focus() == edit; }));
  Key('K', {VK_CONTROL, VK_MENU});
  ASSERT_TRUE(Until([&] { return shown() == MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT); }));
  Click(Centre(save));
  ASSERT_TRUE(Until([&] { return Run().SettingNow(kSection, "FreeMemoryNowHotKey") == "49227"; }));
  Settle();
  EXPECT_TRUE(Until(held)) << "the saved key was never registered";

  // Off and on again: the edit shows no key, and the save keeps none.
  Click(Centre(use));
  ASSERT_TRUE(Until([&] { return !IsWindowEnabled(edit); }));
  Click(Centre(use));
  ASSERT_TRUE(Until([&] { return IsWindowEnabled(edit) != FALSE; }));
  EXPECT_EQ(shown(), 0);
  Click(Centre(save));
  EXPECT_TRUE(Until([&] { return Run().SettingNow(kSection, "FreeMemoryNowHotKey") == "0"; }))
      << "stored: " << Run().SettingNow(kSection, "FreeMemoryNowHotKey");
  Settle();
  EXPECT_EQ(Run().SettingNow(kSection, "IsUseFreeMemoryNowHotKey"), "1");
  EXPECT_TRUE(Until([&] { return !held(); })) << "the removed key is still registered";
}

TEST_F(Keyboard, AReloadOfTheConfigurationPageKeepsTheStoredHotKeyAndOnlyTheUsersUntickClearsIt) {
  constexpr char kSection[] = "PROGRAM_OPTION";
  constexpr WORD kCtrlAltK = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
  // A key stored but not in use, as earlier versions leave it or a hand
  // edits it.
  Run(TProgramRun::Scripted).Setting(kSection, "IsUseFreeMemoryNowHotKey", "0");
  Run().Setting(kSection, "FreeMemoryNowHotKey", "49227");
  ASSERT_NO_FATAL_FAILURE(Start(TProgramRun::Scripted));
  // What the program told the engine of the hot key, in order.
  auto told = [&] {
    std::vector<std::string> puts;
    for (const std::string& line : Run().Log())
      if (line.rfind("Put\tFreeMemoryNowHotKey\t", 0) == 0 || line.rfind("Put\tIsUseFreeMemoryNowHotKey\t", 0) == 0)
        puts.push_back(line);
    return puts;
  };
  const std::vector<std::string> ticked{"Put\tIsUseFreeMemoryNowHotKey\t-1"};
  EXPECT_EQ(told(), std::vector<std::string>{}) << "the first load wrote the hot key";

  ASSERT_NO_FATAL_FAILURE(ShowPage(4));
  HWND use = Below(Page(), "TCkCheckBox", "Enable hot key for \"FreeUp\"");
  HWND edit = Below(Page(), "msctls_hotkey32");
  ASSERT_TRUE(use && edit);
  auto shown = [&] {
    DWORD_PTR key = 0;
    SendMessageTimeoutA(edit, HKM_GETHOTKEY, 0, 0, SMTO_ABORTIFHUNG, 10000, &key);
    return static_cast<WORD>(key);
  };
  EXPECT_EQ(shown(), kCtrlAltK);

  // Ticked, not saved; then the language switched from the help menu, which
  // loads every page again from the file.
  Click(Centre(use));
  ASSERT_TRUE(Until([&] { return IsWindowEnabled(edit) != FALSE; }));
  ASSERT_TRUE(Until([&] { return told() == ticked; })) << told().size();
  Click(At(Main(), 602 + 12, 4 + 12));
  ASSERT_NE(AwaitMenu(), nullptr) << "the help menu never showed";
  Type("l");
  auto menus = [&] {
    std::size_t count = 0;
    for (HWND window : TopLevels(ProcessId())) count += ClassOf(window) == "#32768";
    return count;
  };
  ASSERT_TRUE(Until([&] { return menus() == 2; })) << "the languages never showed";
  Key(VK_END);  // the last language, the one not in use
  Key(VK_RETURN);
  ASSERT_TRUE(Until([&] { return Run().SettingNow(kSection, "LANGUAGE") == "1"; })) << "no language switch";
  Settle();
  EXPECT_EQ(told(), ticked) << "the reload wrote the hot key";
  EXPECT_FALSE(IsWindowEnabled(edit)) << "the reload shows the stored box, unticked";
  EXPECT_EQ(shown(), kCtrlAltK);

  // The general page's recommend saves every group of settings: the key
  // stays stored.
  ASSERT_NO_FATAL_FAILURE(ShowPage(0));
  HWND recommend = Below(Page(), "TVeeButton", "Empfehlen");
  ASSERT_NE(recommend, nullptr);
  Click(Centre(recommend));
  ASSERT_TRUE(Run().AwaitLog("Recommend\t6"));
  Settle();
  EXPECT_EQ(Run().SettingNow(kSection, "FreeMemoryNowHotKey"), "49227");
  EXPECT_EQ(Run().SettingNow(kSection, "IsUseFreeMemoryNowHotKey"), "0");

  // The user's own untick clears the edit and the stored key together.
  ASSERT_NO_FATAL_FAILURE(ShowPage(4));
  Click(Centre(use));
  ASSERT_TRUE(Until([&] { return IsWindowEnabled(edit) != FALSE; }));
  Click(Centre(use));
  ASSERT_TRUE(Until([&] { return !IsWindowEnabled(edit); }));
  EXPECT_EQ(shown(), 0);
  EXPECT_TRUE(Until([&] { return told().size() == 4; })) << told().size();
  EXPECT_EQ(told(), (std::vector<std::string>{ticked[0], ticked[0], "Put\tIsUseFreeMemoryNowHotKey\t0",
                                               "Put\tFreeMemoryNowHotKey\t0"}));
}
