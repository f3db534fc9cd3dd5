// The process manager, system settings and configuration pages on the real
// program: orvane.exe copied from the staged program folder into a folder of
// each test's own, started under the automation channel, its engine the real
// one.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "PageRun.h"
#include "RegistryKeeper.h"

namespace orvane::testing {
namespace {

using harness::TChildProcess;
using harness::kEffectsKey;
using harness::kExplorerKey;
using harness::kMemoryKey;
using harness::kPriorityKey;
using harness::kRunKey;
using harness::RegNumber;
using harness::RegText;
using harness::Values;

using harness::kPatienceMs;

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

using Row = std::vector<std::string>;  // name, id, memory, priority

class Pages : public PageRun {
 protected:
  // Every save of the configuration page may write the autorun value.
  harness::TRegistryKeeper runKey_{{HKEY_CURRENT_USER, kRunKey}};

  std::vector<Row> Rows() {
    std::vector<Row> rows;
    for (const std::string& line : Split(Ask("items\tMainForm.cklvProcess"), '\n')) rows.push_back(Split(line, '\t'));
    return rows;
  }
  // The rows of a process (id column), and the index of the first.
  int RowsOf(const std::string& id, int* index = nullptr) {
    int count = 0;
    const std::vector<Row> rows = Rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i].size() > 1 && rows[i][1] == id) {
        if (index && count == 0) *index = static_cast<int>(i);
        ++count;
      }
    return count;
  }
  std::optional<Row> AwaitRow(const std::string& id) {
    const DWORD start = GetTickCount();
    do {
      for (const Row& row : Rows())
        if (row.size() > 1 && row[1] == id) return row;
      Sleep(100);
    } while (GetTickCount() - start < kPatienceMs);
    return std::nullopt;
  }
  // The text in a column of the process's row, once it is the one wanted.
  std::string AwaitCell(const std::string& id, std::size_t column, const std::string& text) {
    return Patiently(
        [&] {
          for (const Row& row : Rows())
            if (row.size() > column && row[1] == id) return row[column];
          return std::string();
        },
        text);
  }
  bool AwaitNoRow(const std::string& id) {
    return Patiently([&] { return RowsOf(id); }, 0) == 0;
  }
  // Clicks the process's row.
  void ClickRow(const std::string& id, const std::string& button = "left") {
    int index = -1;
    ASSERT_EQ(RowsOf(id, &index), 1);
    Ask("click\tMainForm.cklvProcess\t" + button + "\t" + std::to_string(index));
  }
};

bool Enabled(const std::string& state) { return state.find("enabled=1") != std::string::npos; }

// Boxes as the channel lists them: caption, text and answer, tab-separated.
std::size_t BoxCount(const std::string& boxes) { return std::count(boxes.begin(), boxes.end(), '\t') / 2; }

}  // namespace

// --- the process manager page -------------------------------------------------------

TEST_F(Pages, AProcessStartedWhileThePageIsShownHasOneRowUntilItEnds) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowPage("PM"));
  TChildProcess child;
  std::optional<Row> row = AwaitRow(child.IdText());
  ASSERT_TRUE(row);
  ASSERT_EQ(row->size(), 4u);
  EXPECT_EQ((*row)[0], "pmchild.exe");
  EXPECT_EQ((*row)[3], "Normal");
  // Whole kilobytes in groups of three with the system's separator.
  char separator[8] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof(separator));
  const std::string memory = (*row)[2];
  ASSERT_FALSE(memory.empty());
  EXPECT_NE(memory.front(), '0');
  std::string digits;
  for (const std::string& group : Split(memory, separator[0])) {
    EXPECT_TRUE(group.size() == 3 || (digits.empty() && !group.empty() && group.size() < 4)) << memory;
    digits += group;
  }
  EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos) << memory;

  // Later ticks update the row and never add a second one (a priority
  // changed from outside shows at a tick); the count follows.
  ASSERT_TRUE(SetPriorityClass(child.Handle(), BELOW_NORMAL_PRIORITY_CLASS));
  EXPECT_EQ(AwaitCell(child.IdText(), 3, "BelowNormal"), "BelowNormal");
  ASSERT_TRUE(SetPriorityClass(child.Handle(), NORMAL_PRIORITY_CLASS));
  EXPECT_EQ(AwaitCell(child.IdText(), 3, "Normal"), "Normal");
  EXPECT_EQ(RowsOf(child.IdText()), 1);
  const std::string count = std::to_string(Rows().size()) + " processes";
  EXPECT_EQ(Await("text\tMainForm.cklblPMProcessCount", count), count);

  child.End();
  EXPECT_TRUE(AwaitNoRow(child.IdText()));
  EXPECT_EQ(Ask("boxes"), "");
}

TEST_F(Pages, TerminateAsksWithTheRowsNameAndIdAndNoEndsNothing) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowPage("PM"));
  TChildProcess child;
  ASSERT_TRUE(AwaitRow(child.IdText()));
  EXPECT_FALSE(Enabled(Ask("state\tMainForm.btnPMKill")));
  ASSERT_NO_FATAL_FAILURE(ClickRow(child.IdText()));
  EXPECT_TRUE(Enabled(Await("state\tMainForm.btnPMKill", Enabled)));
  EXPECT_TRUE(Enabled(Ask("state\tMainForm.btnPMFreeUp")));

  Ask("answer\t" + std::to_string(IDNO));
  Ask("click\tMainForm.btnPMKill");
  const std::string box = Await("boxes", [](const std::string& a) { return !a.empty(); });
  EXPECT_EQ(box.rfind("Warning\tTerminating a process can cause undesired results", 0), 0u) << box;
  const std::string ending = "This process is \"pmchild.exe[" + child.IdText() + "]\".     \t" + std::to_string(IDNO);
  EXPECT_EQ(box.substr(box.size() - std::min(box.size(), ending.size())), ending);
  EXPECT_EQ(WaitForSingleObject(child.Handle(), 3000), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(RowsOf(child.IdText()), 1);

  Ask("answer\t" + std::to_string(IDYES));
  Ask("click\tMainForm.btnPMKill");
  EXPECT_EQ(WaitForSingleObject(child.Handle(), kPatienceMs), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_TRUE(AwaitNoRow(child.IdText()));
}

TEST_F(Pages, AProcessThatEndsWhileTheQuestionIsOpenLeavesNothingToTerminate) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowPage("PM"));
  TChildProcess asked, other;
  ASSERT_TRUE(AwaitRow(asked.IdText()));
  ASSERT_TRUE(AwaitRow(other.IdText()));
  ASSERT_NO_FATAL_FAILURE(ClickRow(asked.IdText()));
  Await("state\tMainForm.btnPMKill", Enabled);
  // Yes, but only after the process has ended and its row has gone.
  Ask("answer\t" + std::to_string(IDYES) + "\thold");
  Ask("click\tMainForm.btnPMKill");
  Await("boxes", [](const std::string& a) { return !a.empty(); });
  asked.End();
  EXPECT_TRUE(AwaitNoRow(asked.IdText()));
  EXPECT_EQ(Ask("release"), "ok");
  EXPECT_EQ(Await("openboxes", "0"), "0");
  EXPECT_EQ(BoxCount(Ask("boxes")), 1u) << "the question only";
  EXPECT_TRUE(other.Alive());
  EXPECT_EQ(RowsOf(other.IdText()), 1);
}

TEST_F(Pages, TheListMenuTicksTheRowsPriorityAndChangesIt) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowPage("PM"));
  TChildProcess child;
  ASSERT_TRUE(AwaitRow(child.IdText()));
  Ask("choose\tmniPMPriorityHigh");
  ASSERT_NO_FATAL_FAILURE(ClickRow(child.IdText(), "right"));
  EXPECT_EQ(Await("popups", "popmnuPMListMenu"), "popmnuPMListMenu");
  EXPECT_EQ(Checked("MainForm.mniPMPriorityNormal", "True"), "True");
  // The row shows the new priority at the next tick.
  EXPECT_EQ(AwaitCell(child.IdText(), 3, "High"), "High");
  EXPECT_EQ(GetPriorityClass(child.Handle()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));

  // A left press ticks the row's priority and shows no menu.
  ASSERT_NO_FATAL_FAILURE(ClickRow(child.IdText()));
  EXPECT_EQ(Checked("MainForm.mniPMPriorityHigh", "True"), "True");
  EXPECT_EQ(Ask("prop\tMainForm.mniPMPriorityNormal\tChecked"), "False");
  EXPECT_EQ(Ask("popups"), "popmnuPMListMenu");
}

// --- the system settings page ----------------------------------------------------------


TEST_F(Pages, TheSystemPageSavesToTheRegistryOnlyThroughItsButtons) {
  harness::TRegistryKeeper keep({{HKEY_LOCAL_MACHINE, kExplorerKey},
                                 {HKEY_LOCAL_MACHINE, kMemoryKey},
                                 {HKEY_LOCAL_MACHINE, harness::kExecutiveKey},
                                 {HKEY_LOCAL_MACHINE, harness::kFileSystemKey},
                                 {HKEY_LOCAL_MACHINE, kPriorityKey},
                                 {HKEY_CURRENT_USER, kEffectsKey},
                                 {HKEY_CURRENT_USER, "Control Panel\\Desktop"}});
  // The values as a Windows installation has them.
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kExplorerKey, "Max Cached Icons", REG_SZ, "500", 4);
  const DWORD off = 0, systemChoice = 2;
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kMemoryKey, "LargeSystemCache", REG_DWORD, &off, sizeof(off));
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kPriorityKey, "Win32PrioritySeparation", REG_DWORD, &systemChoice,
                  sizeof(systemChoice));
  RegSetKeyValueA(HKEY_CURRENT_USER, kEffectsKey, "VisualFXSetting", REG_DWORD, &off, sizeof(off));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowPage("ST"));

  // 500 icons is position 6, which stands for 492; the load wrote that back
  // to the engine, not to the registry.
  EXPECT_EQ(Ask("prop\tMainForm.cktbSTMaxCachedIcons\tPosition"), "6");
  EXPECT_EQ(Ask("text\tMainForm.cklblSTMaxCachedIconsValue"), "492 icons");
  EXPECT_EQ(Ask("prop\tMainForm.ckchkSTLargeSystemCache\tChecked"), "False");

  Ask("click\tMainForm.ckchkSTLargeSystemCache");
  Checked("MainForm.ckchkSTLargeSystemCache", "True");
  Ask("click\tMainForm.cktbSTMaxCachedIcons");
  Ask("key\t" + std::to_string(VK_END));
  EXPECT_EQ(Await("text\tMainForm.cklblSTMaxCachedIconsValue", "8192 icons"), "8192 icons");
  Ask("click\tMainForm.cktbSTVisualFXSetting");
  Ask("key\t" + std::to_string(VK_HOME));
  Ask("key\t" + std::to_string(VK_RIGHT));
  Ask("key\t" + std::to_string(VK_RIGHT));
  // The labels show the moves, so their handlers have run: nothing is written yet.
  EXPECT_EQ(Await("text\tMainForm.cklblSTVisualFXSettingValue", "Adjust for best performance."),
            "Adjust for best performance.");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kExplorerKey, "Max Cached Icons"), "500");
  EXPECT_EQ(RegNumber(HKEY_LOCAL_MACHINE, kMemoryKey, "LargeSystemCache"), 0u);

  Ask("click\tMainForm.btnSTSave");
  EXPECT_EQ(Patiently([] { return RegText(HKEY_LOCAL_MACHINE, kExplorerKey, "Max Cached Icons"); },
                      std::optional<std::string>("8192")),
            "8192");
  EXPECT_EQ(RegNumber(HKEY_LOCAL_MACHINE, kMemoryKey, "LargeSystemCache"), 1u);
  EXPECT_EQ(RegNumber(HKEY_CURRENT_USER, kEffectsKey, "VisualFXSetting"), 2u);

  // Recommend writes the engine's choice to the registry and the page shows it.
  Ask("click\tMainForm.btnSTDefault");
  EXPECT_EQ(Await("text\tMainForm.cklblSTMaxCachedIconsValue", "2048 icons"), "2048 icons");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kExplorerKey, "Max Cached Icons"), "2048");
  EXPECT_EQ(Ask("prop\tMainForm.cktbSTMaxCachedIcons\tPosition"), "25");
  EXPECT_EQ(Ask("prop\tMainForm.ckchkSTLargeSystemCache\tChecked"), "False");
  EXPECT_EQ(RegNumber(HKEY_LOCAL_MACHINE, kMemoryKey, "LargeSystemCache"), 0u);
  EXPECT_EQ(Ask("text\tMainForm.cklblSTVisualFXSettingValue"), "Balance appearance and performance.");
  EXPECT_EQ(Ask("text\tMainForm.cklblSTWin32PrioritySeparationValue"),
            "Allocate more processor time for applications.");
  EXPECT_EQ(Ask("boxes"), "");
}

// --- the configuration page ------------------------------------------------------------

TEST_F(Pages, TheConfigurationPageSavesToConfigIniAndRecommendResetsIt) {
  // Written before the engine's first start, so it is the file the engine reads.
  SetSetting("PROGRAM_OPTION", "MemoryGraphRefreshTimer", "5000");
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowPage("CS"));
  EXPECT_EQ(Ask("prop\tMainForm.cktbCSUpdatingInterval\tPosition"), "3");
  EXPECT_EQ(Ask("text\tMainForm.cklblCSUpdatingIntervalValue"), "3 seconds");
  EXPECT_EQ(Ask("prop\tMainForm.tmrOverview\tInterval"), "3000");

  Ask("click\tMainForm.cktbCSUpdatingInterval");
  Ask("key\t" + std::to_string(VK_HOME));
  EXPECT_EQ(Await("text\tMainForm.cklblCSUpdatingIntervalValue", "1 second"), "1 second");
  Ask("key\t" + std::to_string(VK_RIGHT));
  EXPECT_EQ(Await("text\tMainForm.cklblCSUpdatingIntervalValue", "2 seconds"), "2 seconds");
  EXPECT_EQ(Ask("prop\tMainForm.tmrOverview\tInterval"), "3000") << "the overview follows at the save";

  // Without the tray icon there is nothing to minimize or close to.
  EXPECT_EQ(Ask("prop\tMainForm.ckrbCSMinToTray\tChecked"), "True");
  Ask("click\tMainForm.ckchkCSShowTrayIcon");
  Checked("MainForm.ckchkCSShowTrayIcon", "False");
  EXPECT_EQ(Ask("prop\tMainForm.ckrbCSMinToTray\tChecked"), "False");
  EXPECT_EQ(Ask("prop\tMainForm.ckrbCSCloseToTray\tChecked"), "False");
  EXPECT_FALSE(Enabled(Ask("state\tMainForm.ckrbCSCloseToTray")));

  Ask("click\tMainForm.btnCSSave");
  EXPECT_EQ(Await("prop\tMainForm.tmrOverview\tInterval", "2000"), "2000");
  EXPECT_EQ(Setting("PROGRAM_OPTION", "MemoryGraphRefreshTimer"), "2000");
  EXPECT_EQ(Setting("PROGRAM_OPTION", "IsShowTrayIcon"), "0");
  EXPECT_EQ(Setting("PROGRAM_OPTION", "IsMinimizeToTray"), "0");
  EXPECT_EQ(Setting("PROGRAM_OPTION", "IsCloseToTray"), "0");
  EXPECT_EQ(Ask("prop\tMainForm.tiTrayIcon\tIconVisible"), "False");

  Ask("click\tMainForm.ckchkCSShowTrayIcon");
  Await("state\tMainForm.ckrbCSCloseToTray", Enabled);
  Ask("click\tMainForm.ckrbCSCloseToTray");
  Checked("MainForm.ckrbCSCloseToTray", "True");
  Ask("click\tMainForm.btnCSSave");
  EXPECT_EQ(Await("prop\tMainForm.tiTrayIcon\tIconVisible", "True"), "True");
  EXPECT_EQ(Setting("PROGRAM_OPTION", "IsCloseToTray"), "1");
  EXPECT_EQ(Setting("PROGRAM_OPTION", "IsMinimizeToTray"), "0");

  Ask("click\tMainForm.btnCSDefault");
  EXPECT_EQ(Await("text\tMainForm.cklblCSUpdatingIntervalValue", "1 second"), "1 second");
  EXPECT_EQ(Ask("prop\tMainForm.tmrOverview\tInterval"), "1000");
  EXPECT_EQ(Setting("PROGRAM_OPTION", "MemoryGraphRefreshTimer"), "1000");
  EXPECT_EQ(Setting("PROGRAM_OPTION", "IsCloseToTray"), "0");
  EXPECT_EQ(Setting("PROGRAM_OPTION", "IsMinimizeToTray"), "1");
  EXPECT_EQ(Ask("prop\tMainForm.ckrbCSMinToTray\tChecked"), "True");
  EXPECT_EQ(Ask("boxes"), "");
}

TEST_F(Pages, AutorunOnSaveOffSaveLeavesTheRunKeyAsItWas) {
  // A language that names the program otherwise: the entry keeps its own name.
  DeleteFileA(Run().File("Lang\\Deutsch.lng").c_str());
  const std::string language = Run().File("Lang\\Test.lng");
  WritePrivateProfileStringA("LANGUAGE", "NAME", "Test", language.c_str());
  WritePrivateProfileStringA("LANGUAGE", "LANG_MAIN_CAPTION_FULL", "Testvale", language.c_str());
  WritePrivateProfileStringA("LANGUAGE", "LANG_COMMON_SECOND", "tick", language.c_str());
  SetSetting("PROGRAM_OPTION", "LANGUAGE", "1");
  const auto before = Values(HKEY_CURRENT_USER, kRunKey);
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowPage("CS"));
  ASSERT_EQ(Ask("text\tMainForm.cklblCSUpdatingIntervalValue"), "1 tick") << "the test language is in use";
  if (Ask("prop\tMainForm.ckchkCSAutorun\tChecked") == "False") Ask("click\tMainForm.ckchkCSAutorun");
  Checked("MainForm.ckchkCSAutorun", "True");
  Ask("click\tMainForm.btnCSSave");
  const std::string command = "\"" + Run().Program() + "\" /autorun";
  EXPECT_EQ(Patiently([] { return RegText(HKEY_CURRENT_USER, kRunKey, "Brimvale"); }, std::optional(command)),
            command);
  EXPECT_FALSE(RegText(HKEY_CURRENT_USER, kRunKey, "Testvale"));
  EXPECT_EQ(Setting("PROGRAM_OPTION", "IsAutorun"), "1");

  Ask("click\tMainForm.ckchkCSAutorun");
  Checked("MainForm.ckchkCSAutorun", "False");
  Ask("click\tMainForm.btnCSSave");
  EXPECT_EQ(Patiently([] { return Values(HKEY_CURRENT_USER, kRunKey); }, before), before);
  // Saving with the value already gone is no failure.
  Ask("click\tMainForm.btnCSSave");
  EXPECT_EQ(Ask("ping"), "pong");
  EXPECT_EQ(Values(HKEY_CURRENT_USER, kRunKey), before);
  EXPECT_EQ(Ask("boxes"), "");
}

namespace {
// Free-memory hot keys as the hot-key edit codes them: the key, then Shift,
// Ctrl and Alt bits.
constexpr DWORD kCtrlAlt = 0x4000 | 0x8000;
bool TakeHotKey(int id, UINT key) { return RegisterHotKey(nullptr, id, MOD_CONTROL | MOD_ALT, key) != 0; }
}  // namespace

TEST_F(Pages, AHotKeyThatCannotBeRegisteredLeavesThePreviousOneInForce) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowPage("CS"));
  Ask("click\tMainForm.ckchkCSHotKey");
  Await("state\tMainForm.hkCSFreeUp", Enabled);
  Ask("click\tMainForm.hkCSFreeUp");
  Ask("key\t" + std::to_string(VK_F8) + "\tssCtrl,ssAlt");
  EXPECT_EQ(Await("prop\tMainForm.hkCSFreeUp\tHotKey", std::to_string(kCtrlAlt | VK_F8)),
            std::to_string(kCtrlAlt | VK_F8));
  Ask("click\tMainForm.btnCSSave");
  EXPECT_EQ(Await("text\tMainForm.cklblCSHotKeyResult", "(Successful!)"), "(Successful!)");
  EXPECT_EQ(Ask("state\tMainForm.cklblCSHotKeyResult").substr(0, 9), "visible=1");
  EXPECT_FALSE(TakeHotKey(1, VK_F8)) << "the program holds Ctrl+Alt+F8";

  // Another program holds Ctrl+Alt+F9.
  ASSERT_TRUE(TakeHotKey(2, VK_F9));
  Ask("click\tMainForm.hkCSFreeUp");
  Ask("key\t" + std::to_string(VK_F9) + "\tssCtrl,ssAlt");
  EXPECT_EQ(Await("state\tMainForm.cklblCSHotKeyResult",
                  [](const std::string& s) { return s.rfind("visible=0", 0) == 0; })
                .substr(0, 9),
            "visible=0");
  Ask("click\tMainForm.btnCSSave");
  EXPECT_EQ(Await("text\tMainForm.cklblCSHotKeyResult", "(Fail to set this hot key!)"),
            "(Fail to set this hot key!)");
  EXPECT_EQ(Ask("prop\tMainForm.hkCSFreeUp\tHotKey"), std::to_string(kCtrlAlt | VK_F8));
  EXPECT_FALSE(TakeHotKey(1, VK_F8)) << "Ctrl+Alt+F8 is registered again";
  EXPECT_EQ(Setting("PROGRAM_OPTION", "FreeMemoryNowHotKey"), std::to_string(kCtrlAlt | VK_F8));
  UnregisterHotKey(nullptr, 2);

  // A tab change hides the result; a checked box with no key removes the key.
  ASSERT_NO_FATAL_FAILURE(ShowPage("PM"));
  EXPECT_EQ(Ask("state\tMainForm.cklblCSHotKeyResult").substr(0, 9), "visible=0");
  ASSERT_NO_FATAL_FAILURE(ShowPage("CS"));
  Ask("click\tMainForm.ckchkCSHotKey");
  Await("prop\tMainForm.hkCSFreeUp\tHotKey", "0");
  Ask("click\tMainForm.ckchkCSHotKey");
  Checked("MainForm.ckchkCSHotKey", "True");
  Ask("click\tMainForm.btnCSSave");
  EXPECT_TRUE(Patiently([] { return TakeHotKey(1, VK_F8); }, true)) << "the program gave Ctrl+Alt+F8 up";
  UnregisterHotKey(nullptr, 1);
  EXPECT_EQ(Ask("state\tMainForm.cklblCSHotKeyResult").substr(0, 9), "visible=0");

  // Recommend shows the default (no key) before it is saved; the save then
  // gives up the key in force, not the one the page showed.
  Ask("click\tMainForm.hkCSFreeUp");
  Ask("key\t" + std::to_string(VK_F8) + "\tssCtrl,ssAlt");
  Ask("click\tMainForm.btnCSSave");
  ASSERT_EQ(Await("text\tMainForm.cklblCSHotKeyResult", "(Successful!)"), "(Successful!)");
  Ask("click\tMainForm.btnCSDefault");
  Checked("MainForm.ckchkCSHotKey", "False");
  Ask("click\tMainForm.btnCSSave");
  EXPECT_TRUE(Patiently([] { return TakeHotKey(1, VK_F8); }, true)) << "the program gave Ctrl+Alt+F8 up";
  UnregisterHotKey(nullptr, 1);
  EXPECT_EQ(Ask("boxes"), "");
}

}  // namespace orvane::testing
