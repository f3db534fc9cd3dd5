#include <gtest/gtest.h>

#include <string>

#include "FormCode.h"

namespace formgen {
namespace {

const char kMap[] =
    "// form class, C++ class, header\n"
    "TMainForm   app::TMainForm    MainForm.h\n"
    "TVeeButton  components::TVeeButton  VeeButton.h   // picture buttons\n"
    "TCkLabel    ck::TCkLabel      CkLabel.h\n"
    "TCkListView ck::TCkListView   CkListVw.h\n"
    "\n"
    "TMenuItem   gui::TMenuItem    gui/Menus.h\n";

const char kForm[] =
    "object MainForm: TMainForm\n"
    "  Caption = 'Main'\n"
    "  OnCreate = FormCreate\n"
    "  object btnGo: TVeeButton\n"
    "    Hint = 'Go'\n"
    "    OnClick = btnGoClick\n"
    "    OnMouseUp = btnGoClick\n"
    "  end\n"
    "  object lblA: TCkLabel\n"
    "  end\n"
    "  object lv: TCkListView\n"
    "    Columns = <\n"
    "      item\n"
    "        Caption = 'Name'\n"
    "      end\n"
    "    >\n"
    "  end\n"
    "  object mniB: tmenuitem\n"
    "  end\n"
    "end\n";

FormCode Write(const std::string& form, const std::string& map = kMap) {
  return WriteFormCode(ReadForm(form, "Main.form"), ReadClassMap(map, "Classes.txt"),
                       {"Main.form", "Classes.txt", "Main.form.h", "FormBinding.h"});
}

std::string FailureOf(const std::string& form, const std::string& map = kMap) {
  try {
    Write(form, map);
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(FormCodeTest, TheHeaderDeclaresAPartAndATypedFieldForEveryComponent) {
  const std::string h = Write(kForm).Header;
  EXPECT_TRUE(Has(h, "#include \"FormBinding.h\"\n"));
  EXPECT_TRUE(Has(h, "namespace ck {\nclass TCkLabel;\nclass TCkListView;\n}  // namespace ck\n"));
  EXPECT_TRUE(Has(h, "namespace gui {\nclass TMenuItem;\n}"));
  EXPECT_TRUE(Has(h, "derives from it.\nclass TMainFormComponents {\n public:\n"));
  EXPECT_TRUE(Has(h, "namespace app {\nclass TMainForm;\n}"));
  EXPECT_TRUE(Has(h, "  enum class Part {\n    MainForm,\n    btnGo,\n    lblA,\n    lv,\n    mniB,\n  };\n"));
  EXPECT_TRUE(Has(h, "  ::components::TVeeButton* btnGo = nullptr;\n  ::ck::TCkLabel* lblA = nullptr;\n"));
  // The map's class, whatever case the form spells it in.
  EXPECT_TRUE(Has(h, "  ::gui::TMenuItem* mniB = nullptr;\n"));
  EXPECT_TRUE(Has(h, " protected:\n  ~TMainFormComponents() = default;"));
  EXPECT_TRUE(Has(h, "static void DefineHandlers(gui::TClassBuilder<TMainForm>& c);"));
}

TEST(FormCodeTest, TheSourceBindsByNameEntersEachHandlerOnceAndPlacesTheTexts) {
  const std::string s = Write(kForm).Source;
  EXPECT_TRUE(Has(s,
                  "#include \"Main.form.h\"\n\n#include \"CkLabel.h\"\n#include \"CkListVw.h\"\n"
                  "#include \"MainForm.h\"\n#include \"VeeButton.h\"\n#include \"gui/Menus.h\"\n"));
  EXPECT_TRUE(Has(s, "  Bind(form, btnGo, \"btnGo\");\n  Bind(form, lblA, \"lblA\");\n"));
  EXPECT_TRUE(Has(s,
                  "  c.Handler(\"FormCreate\", &TMainForm::FormCreate);  // line 3: OnCreate\n"
                  "  c.Handler(\"btnGoClick\", &TMainForm::btnGoClick);  // line 6: OnClick\n}\n"));
  EXPECT_TRUE(Has(s,
                  "      {Part::MainForm, kCaption},  // line 2\n"
                  "      {Part::btnGo, kHint},  // line 5\n"
                  "      {Part::lv, ColumnCaption(0)},  // line 14\n  };\n"));
  EXPECT_TRUE(Has(s, "    case Part::MainForm: return static_cast<TMainForm&>(*this);\n"));
  EXPECT_TRUE(Has(s, "    case Part::lv: return ::ck::TCkListView::StaticClass();\n"));
  EXPECT_TRUE(Has(s, "    case Part::mniB: return \"mniB\";\n"));
}

TEST(FormCodeTest, AFormWithoutComponentsOrTextsStillGivesCodeThatCompiles) {
  const std::string s = Write("object MainForm: TMainForm\nend\n").Source;
  EXPECT_TRUE(Has(s, "FormTexts() {\n  return {};\n}"));
  EXPECT_TRUE(Has(s, "void TMainFormComponents::BindComponents() {\n}"));
  EXPECT_TRUE(Has(s, "DefineHandlers([[maybe_unused]] gui::TClassBuilder<TMainForm>& c) {\n}"));
}

TEST(FormCodeTest, ClassesAndNamesTheCodeCannotHoldAreProblemsOfTheirLine) {
  EXPECT_EQ("Main.form:2: the class TShape is not in Classes.txt",
            FailureOf("object MainForm: TMainForm\n  object shp: TShape\n  end\nend"));
  EXPECT_EQ("Main.form:1: the class TOther is not in Classes.txt", FailureOf("object MainForm: TOther\nend"));
  EXPECT_EQ("Main.form:2: the component name delete is a C++ keyword",
            FailureOf("object MainForm: TMainForm\n  object delete: TCkLabel\n  end\nend"));
  EXPECT_EQ("Main.form:2: the component name Part is taken by formgen's code",
            FailureOf("object MainForm: TMainForm\n  object Part: TCkLabel\n  end\nend"));
  EXPECT_EQ("Main.form:2: the handler name TMainForm is taken by formgen's code",
            FailureOf("object MainForm: TMainForm\n  OnShow = TMainForm\nend"));

  EXPECT_EQ("Classes.txt:1: a line holds a form class, its C++ class and its header",
            FailureOf(kForm, "TMainForm app::TMainForm\n"));
  EXPECT_EQ("Classes.txt:2: TMAINFORM is listed twice",
            FailureOf(kForm, "TMainForm app::TMainForm A.h\nTMAINFORM app::TMainForm A.h\n"));
  EXPECT_EQ("Classes.txt:1: 'app::::T' is not a C++ class name", FailureOf(kForm, "TMainForm app::::T A.h\n"));
}

}  // namespace
}  // namespace formgen
