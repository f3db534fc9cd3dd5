#include <gtest/gtest.h>

#include <string>

#include "FormFile.h"

namespace formgen {
namespace {

std::string FailureOf(const std::string& text) {
  try {
    ReadForm(text, "T.form");
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

TEST(FormFileTest, ReadsComponentsHandlersAndTextsAsTheProgramsReaderReadsTheLines) {
  const Form form = ReadForm(
      "\xEF\xBB\xBF// a comment line\r\n"
      "object MainForm: TMainForm\r\n"
      "  Caption = 'Brim''vale' // the title\n"
      "  OnCreate = FormCreate\n"
      "  OnDestroy = nil\n"
      "  object pnl: TPanel\n"
      "    Font.Style = [fsBold, fsItalic]\n"
      "    Font.OnChange = FontChanged\n"
      "    Glyph = TBitmap 'a.bmp'\n"
      "    Hint = 'Line'#13#10'two'\n"
      "    object btnGo: TVeeButton\n"
      "      Caption = ''\n"
      "      Left = -5\n"
      "      Color = $00FF00\n"
      "      OnClick = btnGoClick\n"
      "      OnMouseUp = btnGoClick\n"
      "      Enabled = False\n"
      "    end\n"
      "  end\n"
      "  object lv: TCkListView\n"
      "    Columns = <\n"
      "      item\n"
      "        Caption = 'Name'\n"
      "        Width = 120\n"
      "      end\n"
      "      item\n"
      "        Caption = #80'ID'\n"
      "      end\n"
      "    >\n"
      "    Groups = <>\n"
      "  end\n"
      "  object il: TImageList\n"
      "    Images = (\n"
      "      TIcon 'a.ico'\n"
      "      TIcon 'b.ico'\n"
      "    )\n"
      "    Empty = ()\n"
      "  end\n"
      "  object ed: TCkEdit\n"
      "    Text = 'type //here'\n"
      "  end\n"
      "end\n",
      "T.form");

  EXPECT_EQ("MainForm", form.Name);
  EXPECT_EQ("TMainForm", form.Class);
  EXPECT_FALSE(form.Inherited);
  EXPECT_EQ(2, form.Line);
  ASSERT_EQ(5u, form.Components.size());
  const char* names[] = {"pnl", "btnGo", "lv", "il", "ed"};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(names[i], form.Components[i].Name);
  EXPECT_EQ("TVeeButton", form.Components[1].Class);
  EXPECT_EQ(11, form.Components[1].Line);

  // nil clears an event, False is no handler; a sub-object's event names one.
  ASSERT_EQ(4u, form.Handlers.size());
  EXPECT_EQ("FormCreate", form.Handlers[0].Handler);
  EXPECT_EQ(kRoot, form.Handlers[0].Component);
  EXPECT_EQ("Font.OnChange", form.Handlers[1].Event);
  EXPECT_EQ("FontChanged", form.Handlers[1].Handler);
  EXPECT_EQ(0, form.Handlers[1].Component);
  EXPECT_EQ("btnGoClick", form.Handlers[2].Handler);
  EXPECT_EQ("OnMouseUp", form.Handlers[3].Event);
  EXPECT_EQ(15, form.Handlers[2].Line);

  // Empty captions are none; the columns' captions are the list view's.
  ASSERT_EQ(5u, form.Texts.size());
  EXPECT_EQ(kRoot, form.Texts[0].Component);
  EXPECT_EQ(TextProperty::Caption, form.Texts[0].Property);
  EXPECT_EQ(-1, form.Texts[0].Column);
  EXPECT_EQ(0, form.Texts[1].Component);
  EXPECT_EQ(TextProperty::Hint, form.Texts[1].Property);
  EXPECT_EQ(2, form.Texts[2].Component);
  EXPECT_EQ(0, form.Texts[2].Column);
  EXPECT_EQ(1, form.Texts[3].Column);
  EXPECT_EQ(27, form.Texts[3].Line);
  EXPECT_EQ(4, form.Texts[4].Component);
  EXPECT_EQ(TextProperty::Text, form.Texts[4].Property);
}

TEST(FormFileTest, AFormOverItsAncestorsIsInheritedAndTakesNoInheritedComponent) {
  const Form form = ReadForm("inherited SplashForm: TSplashForm\n  object lbl: TLayeredLabel\n  end\nend", "S.form");
  EXPECT_TRUE(form.Inherited);
  ASSERT_EQ(1u, form.Components.size());
  EXPECT_EQ("T.form:2: formgen takes no inherited component (btn)",
            FailureOf("inherited F: TF\n  inherited btn: TVeeButton\n  end\nend"));
}

TEST(FormFileTest, ProblemsNameTheFileAndTheLine) {
  EXPECT_EQ("T.form:1: the form is empty", FailureOf("// nothing\n"));
  EXPECT_EQ("T.form:2: 'end' for pnl is missing", FailureOf("object F: TF\n  object pnl: TPanel\n  Left = 1\n"));
  EXPECT_EQ("T.form:3: a component named PNL already exists",
            FailureOf("object F: TF\n  object pnl: TPanel\n  object PNL: TPanel\n  end\n  end\nend"));
  EXPECT_EQ("T.form:2: a component named f already exists", FailureOf("object F: TF\n  object f: TPanel\n  end\nend"));
  EXPECT_EQ("T.form:3: text after the form's last 'end'", FailureOf("object F: TF\nend\nobject G: TG\nend"));
  EXPECT_EQ("T.form:2: unterminated string", FailureOf("object F: TF\n  Caption = 'open\nend"));
  EXPECT_EQ("T.form:2: '=' is expected after the property name", FailureOf("object F: TF\n  Caption 'x'\nend"));
  EXPECT_EQ("T.form:2: ')' is missing", FailureOf("object F: TF\n  Images = (\n"));
  EXPECT_EQ("T.form:2: '>' for Columns is missing", FailureOf("object F: TF\n  Columns = <\n  item\n  end\n"));
  // A text no language table could reach would escape its check.
  EXPECT_EQ("T.form:4: formgen knows no place for the Caption of an item of Panels",
            FailureOf("object F: TF\n  Panels = <\n    item\n      Caption = 'x'\n    end\n  >\nend"));
}

}  // namespace
}  // namespace formgen
