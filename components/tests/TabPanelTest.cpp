// The tab panel: which page shows, the current and previous tab, callbacks.
#include "VeeTabPanel.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gui/Controls.h"

using namespace components;

using namespace gui;

namespace {

struct Calls {
  int count = 0;
  TTabPanel* panel = nullptr;
  void* data = nullptr;
};

void Record(TTabPanel* panel, void* data) {
  auto* calls = static_cast<Calls*>(data);
  ++calls->count;
  calls->panel = panel;
}

class TabPanelTest : public ::testing::Test {
 protected:
  // Three tabs, none selected; every page starts visible.
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      buttons.push_back(std::make_unique<TCustomControl>(nullptr));
      pages.push_back(std::make_unique<TCustomControl>(nullptr));
      panel.AddTab(buttons.back().get(), pages.back().get(), "tab" + std::to_string(i), false);
    }
  }
  std::vector<bool> Shown() const {
    std::vector<bool> shown;
    for (auto& page : pages) shown.push_back(page->Visible());
    return shown;
  }

  std::vector<std::unique_ptr<TCustomControl>> buttons, pages;
  TTabPanel panel;
  Calls calls;
};

}  // namespace

TEST_F(TabPanelTest, SelectingShowsOnePageAndRemembersThePreviousTab) {
  EXPECT_EQ(nullptr, panel.GetCurrentTab());
  EXPECT_EQ(nullptr, panel.GetPreviousTab());
  EXPECT_EQ((std::vector<bool>{true, true, true}), Shown()) << "adding unselected tabs leaves the pages alone";

  panel.SelectTab(0, &Record, &calls);
  panel.SelectTab(2, &Record, &calls);
  EXPECT_EQ((std::vector<bool>{false, false, true}), Shown());
  EXPECT_EQ(2, panel.CurrentIndex());
  EXPECT_EQ(0, panel.PreviousIndex());
  EXPECT_EQ("tab2", panel.GetCurrentTab()->Name);
  EXPECT_EQ(pages[0].get(), panel.GetPreviousTab()->Page);
  EXPECT_TRUE(panel.Tabs(0)->WasActive);
  EXPECT_FALSE(panel.Tabs(0)->Active);
  EXPECT_TRUE(panel.Tabs(2)->Active);
  EXPECT_EQ(2, calls.count);
  EXPECT_EQ(&panel, calls.panel);

  panel.SelectTabByButton(buttons[1].get(), nullptr, nullptr);
  EXPECT_EQ((std::vector<bool>{false, true, false}), Shown());
  EXPECT_EQ(1, panel.CurrentIndex());
  EXPECT_EQ(2, panel.PreviousIndex());

  // Reselecting the shown tab makes it its own previous tab.
  panel.SelectTab(1, nullptr, nullptr);
  EXPECT_EQ(1, panel.PreviousIndex());
}

TEST_F(TabPanelTest, OutOfRangeIndexAndForeignButton) {
  panel.SelectTab(1, nullptr, nullptr);
  panel.SelectTab(3, &Record, &calls);
  EXPECT_EQ(0, calls.count) << "an index equal to the count is ignored";
  EXPECT_EQ((std::vector<bool>{false, true, false}), Shown());

  panel.SelectTab(-1, &Record, &calls);
  EXPECT_EQ(1, calls.count);
  EXPECT_EQ((std::vector<bool>{false, false, false}), Shown());
  EXPECT_EQ(1, panel.CurrentIndex()) << "no tab became current";
  EXPECT_EQ(1, panel.PreviousIndex());

  panel.SelectTab(0, nullptr, nullptr);
  TCustomControl stranger(nullptr);
  panel.SelectTabByButton(&stranger, &Record, &calls);
  EXPECT_EQ(2, calls.count);
  EXPECT_EQ((std::vector<bool>{false, false, false}), Shown());
  EXPECT_EQ(0, panel.PreviousIndex());
}

TEST(TabPanel, AddingASelectedTabShowsItWithoutACallbackAndMissingPartsAddNothing) {
  TCustomControl button(nullptr), page(nullptr), other(nullptr);
  TTabPanel panel;
  panel.SelectTab(0, [](TTabPanel*, void*) { FAIL() << "an empty panel calls nobody"; }, nullptr);
  panel.AddTab(nullptr, &page, "no button", true);
  panel.AddTab(&button, nullptr, "no page", true);
  EXPECT_EQ(0, panel.Count());

  other.SetVisible(false);
  panel.AddTab(&button, &other, "shown", true);
  EXPECT_TRUE(other.Visible());
  EXPECT_EQ(0, panel.CurrentIndex());
  EXPECT_EQ(0, panel.PreviousIndex());
  EXPECT_TRUE(panel.Tabs(0)->WasActive);
}
