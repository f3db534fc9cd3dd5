// Every caption, hint and text a window's form gives is set from the
// language strings by a row of its language table, or is marked as not
// from the table: a control left out stays in English, and fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LanguageTables.h"
#include "VozEverAvizi.h"

using namespace orvane;

namespace {

template <class Parts>
std::string Place(typename Parts::Part part, TTextSlot slot) {
  return std::string(Parts::PartName(part)) + "." + SlotName(slot);
}

// What is wrong with a window's table, one line a problem.
template <class Parts>
std::vector<std::string> Problems(const TLanguageTable<typename Parts::Part>& table) {
  std::vector<std::string> problems;
  auto sameAs = [](const auto& text) {
    return [&text](const auto& other) { return other.Component == text.Component && other.Slot == text.Slot; };
  };
  const auto formTexts = Parts::FormTexts();
  for (const auto& text : formTexts) {
    const bool row = std::any_of(table.Rows.begin(), table.Rows.end(), sameAs(text));
    const bool marked = std::any_of(table.NotFromTable.begin(), table.NotFromTable.end(), sameAs(text));
    if (!row && !marked) problems.push_back(Place<Parts>(text.Component, text.Slot) + " has no row");
    if (row && marked) problems.push_back(Place<Parts>(text.Component, text.Slot) + " has a row and a mark");
  }
  for (const auto& mark : table.NotFromTable)
    if (std::none_of(formTexts.begin(), formTexts.end(), sameAs(mark)))
      problems.push_back(Place<Parts>(mark.Component, mark.Slot) + " is marked, but the form gives it no text");
  for (const auto& row : table.Rows) {
    if (!HasSlot(Parts::PartClass(row.Component), row.Slot))
      problems.push_back(Place<Parts>(row.Component, row.Slot) + " is no text of its class");
    if (!row.Text) problems.push_back(Place<Parts>(row.Component, row.Slot) + " has no language string");
  }
  return problems;
}

using Lines = std::vector<std::string>;

TEST(LanguageTables, EveryTextOfEveryWindowIsTranslatedOrMarked) {
  EXPECT_EQ(Lines{}, Problems<TMainFormComponents>(MainFormLanguage()));
  EXPECT_EQ(Lines{}, Problems<TRulesFormComponents>(RulesFormLanguage()));
  EXPECT_EQ(Lines{}, Problems<TAboutFormComponents>(AboutFormLanguage()));
  EXPECT_EQ(Lines{}, Problems<TSplashFormComponents>(SplashFormLanguage()));
}

TEST(LanguageTables, AControlLeftOutOrAWrongSlotIsNamed) {
  using P = TMainFormComponents::Part;
  const TLanguageTable<P>& table = MainFormLanguage();
  // Without its first row, the window's own caption would stay English.
  const std::vector<TLanguageText<P>> rows(table.Rows.begin() + 1, table.Rows.end());
  EXPECT_EQ(Lines{"MainForm.Caption has no row"}, Problems<TMainFormComponents>({rows, table.NotFromTable}));

  const TLanguageText<P> wrong[] = {{P::tmrOverview, kCaption, &components::LANG_COMMON_FREE},
                                    {P::btnFreeUp, ColumnCaption(0), &components::LANG_COMMON_FREE}};
  const TFormText<P> stale[] = {{P::btnFreeUp, kText}};
  const Lines problems = Problems<TMainFormComponents>({wrong, stale});
  EXPECT_NE(problems.end(), std::find(problems.begin(), problems.end(), "tmrOverview.Caption is no text of its class"));
  EXPECT_NE(problems.end(),
            std::find(problems.begin(), problems.end(), "btnFreeUp.Columns[0].Caption is no text of its class"));
  EXPECT_NE(problems.end(),
            std::find(problems.begin(), problems.end(), "btnFreeUp.Text is marked, but the form gives it no text"));
}

}  // namespace
