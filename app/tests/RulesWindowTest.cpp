// The rules-list window on the running program with its real engine: lists
// edited there reach Config\black.lst and white.lst and come back after a
// restart; removal keeps a selection; the smart list is read-only; the
// window opens beside the main window, snaps to it and closes on a tab
// change.
#include <sstream>
#include <string>
#include <vector>

#include "Formulas.h"
#include "PageRun.h"

namespace orvane::testing {
namespace {

constexpr WORD kEnd = VK_END, kEnter = VK_RETURN;
const std::string kPlaceholder = "Please input process name here.";

bool Shown(const std::string& state) { return state.rfind("visible=1 showing=1", 0) == 0; }
bool Hidden(const std::string& state) { return state.rfind("visible=0", 0) == 0; }

class RulesWindow : public PageRun {
 protected:
  // As the user opens it: a right click on the list's box, then the popup's item.
  void OpenList(const std::string& box) {
    const std::string before = Ask("popups");
    Ask("choose\tmniOpenList");
    Ask("click\tMainForm." + box + "\tright");
    // The menu's item runs as the menu is recorded.
    Await("popups", [&](const std::string& now) { return now.size() > before.size(); });
    ASSERT_TRUE(Shown(Ask("state\tRulesForm")));
  }
  void TypeName(const std::string& name) {
    Ask("click\tRulesForm.ckedtRLNewItem");  // selects what the edit holds
    Ask("type\t" + name);
  }
  void AddName(const std::string& name) {
    TypeName(name);
    Ask("click\tRulesForm.btnRLAdd");
  }
  std::string Entries(const std::string& wanted) { return Await("items\tRulesForm.cklstRLRuleList", wanted); }
};

TEST_F(RulesWindow, EditedListsReachTheirFilesAndComeBackAfterARestart) {
  ASSERT_NO_FATAL_FAILURE(Start());
  OpenList("ckchkMGBlackList");
  EXPECT_EQ(Ask("text\tRulesForm"), "Black List");
  EXPECT_EQ(Ask("text\tRulesForm.cklblRLTitle"), "Black List");
  EXPECT_EQ(Ask("text\tRulesForm.ckedtRLNewItem"), kPlaceholder);
  Ask("click\tRulesForm.btnRLAdd");  // the placeholder is no name
  AddName("   ");
  AddName("  calc.exe  ");  // blanks kept, as typed
  AddName("notepad.exe");
  AddName("NOTEPAD.EXE");  // the same name in another case
  TypeName("winword.exe");
  Ask("key\t" + std::to_string(kEnter));  // the add button is the default one
  EXPECT_EQ(Entries("  calc.exe  \nnotepad.exe\nwinword.exe"), "  calc.exe  \nnotepad.exe\nwinword.exe");
  EXPECT_EQ(AwaitListFile("black.lst", {"  calc.exe  ", "notepad.exe", "winword.exe"}),
            (std::vector<std::string>{"  calc.exe  ", "notepad.exe", "winword.exe"}));

  OpenList("ckchkMGWhiteList");
  EXPECT_EQ(Ask("text\tRulesForm"), "White List");
  EXPECT_EQ(Entries(""), "");
  AddName("explorer.exe");
  EXPECT_EQ(Entries("explorer.exe"), "explorer.exe");
  EXPECT_EQ(AwaitListFile("white.lst", {"explorer.exe"}), std::vector<std::string>{"explorer.exe"});
  EXPECT_EQ(ListFile("black.lst").size(), 3u);

  ASSERT_NO_FATAL_FAILURE(Restart());
  OpenList("ckchkMGBlackList");
  EXPECT_EQ(Entries("  calc.exe  \nnotepad.exe\nwinword.exe"), "  calc.exe  \nnotepad.exe\nwinword.exe");
  OpenList("ckchkMGWhiteList");
  EXPECT_EQ(Entries("explorer.exe"), "explorer.exe");
}

TEST_F(RulesWindow, RemovalKeepsASelectionAndTheSmartListIsReadOnly) {
  WriteListFile("black.lst", {"a.exe", "b.exe", "c.exe"});
  WriteListFile("smart.lst", {"learned.exe", "game.exe"});
  ASSERT_NO_FATAL_FAILURE(Start());
  OpenList("ckchkMGBlackList");
  EXPECT_EQ(Entries("a.exe\nb.exe\nc.exe"), "a.exe\nb.exe\nc.exe");
  Ask("click\tRulesForm.cklstRLRuleList");
  Ask("key\t" + std::to_string(kEnd));
  // The last of three goes; the new last is selected, so the next removal takes it.
  Ask("click\tRulesForm.btnRLDelete");
  EXPECT_EQ(Entries("a.exe\nb.exe"), "a.exe\nb.exe");
  Ask("click\tRulesForm.btnRLDelete");
  EXPECT_EQ(Entries("a.exe"), "a.exe");
  EXPECT_EQ(AwaitListFile("black.lst", {"a.exe"}), std::vector<std::string>{"a.exe"});
  Ask("click\tRulesForm.btnRLDelete");
  Ask("click\tRulesForm.btnRLDelete");  // nothing left, nothing selected
  EXPECT_EQ(Entries(""), "");
  EXPECT_TRUE(AwaitListFile("black.lst", {}).empty());
  EXPECT_EQ(Ask("boxes"), "");

  // The window shows what the file holds when it is bound, not what it saw.
  WriteListFile("black.lst", {"x.exe"});
  OpenList("ckchkMGBlackList");
  EXPECT_EQ(Entries("x.exe"), "x.exe");

  OpenList("ckchkMGAutoList");
  EXPECT_EQ(Ask("text\tRulesForm"), "Smart List");
  EXPECT_EQ(Entries("learned.exe\ngame.exe"), "learned.exe\ngame.exe");
  EXPECT_TRUE(Shown(Ask("state\tRulesForm.cklblRLAutoList")));
  for (const char* hidden : {"ckedtRLNewItem", "btnRLAdd", "btnRLDelete"})
    EXPECT_TRUE(Hidden(Ask(std::string("state\tRulesForm.") + hidden))) << hidden;
  // Back on an editable list, the word gives way to the edit and buttons.
  OpenList("ckchkMGWhiteList");
  EXPECT_TRUE(Hidden(Ask("state\tRulesForm.cklblRLAutoList")));
  EXPECT_TRUE(Shown(Ask("state\tRulesForm.btnRLDelete")));
}

TEST_F(RulesWindow, OpensBesideTheMainWindowSnapsToItAndClosesWithATab) {
  ASSERT_NO_FATAL_FAILURE(Start());
  std::istringstream main(Ask("bounds\tMainForm"));
  int left = 0, top = 0;
  main >> left >> top;
  OpenList("ckchkMGWhiteList");
  // The main window moves right only when the display leaves no room.
  const TSidePlacement place = PlaceOnLeft(GetSystemMetrics(SM_CXSCREEN), left, 661, 241);
  EXPECT_EQ(Ask("bounds\tMainForm"), std::to_string(place.MainLeft) + " " + std::to_string(top) + " " +
                                          std::to_string(place.MainLeft + 661) + " " + std::to_string(top + 540));
  EXPECT_EQ(Ask("bounds\tRulesForm"), std::to_string(place.SideLeft) + " " + std::to_string(top) + " " +
                                           std::to_string(place.MainLeft) + " " + std::to_string(top + 305));
  EXPECT_EQ(Ask("prop\tRulesForm.mcRulesForm\tEnable"), "True");  // docked: it follows the main window

  // The edit takes the longest name a list holds, and no more.
  TypeName(std::string(300, 'x'));
  EXPECT_EQ(Await("text\tRulesForm.ckedtRLNewItem", std::string(259, 'x')), std::string(259, 'x'));
  Ask("click\tRulesForm.btnRLAdd");
  Entries(std::string(259, 'x'));
  EXPECT_EQ(AwaitListFile("white.lst", {std::string(259, 'x')}), std::vector<std::string>{std::string(259, 'x')});

  // Closed and shown again: the texts are set anew.
  TypeName("half typed");
  Ask("click\tRulesForm.btnRLClose");
  EXPECT_TRUE(Hidden(Await("state\tRulesForm", Hidden)));
  OpenList("ckchkMGWhiteList");
  EXPECT_EQ(Ask("text\tRulesForm.ckedtRLNewItem"), kPlaceholder);

  // A press on another list's box closes it; so does every tab change.
  Ask("click\tMainForm.ckchkMGBlackList");
  EXPECT_TRUE(Hidden(Await("state\tRulesForm", Hidden)));
  OpenList("ckchkMGBlackList");
  Ask("click\tMainForm.btnTabMA");
  EXPECT_TRUE(Hidden(Await("state\tRulesForm", Hidden)));
}

}  // namespace
}  // namespace orvane::testing
