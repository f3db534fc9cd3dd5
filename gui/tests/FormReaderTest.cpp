// The form reader: value kinds, order, references, handlers, inheritance,
// pictures, errors; and forms embedded by brimvale_add_forms.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>

#include "TestClasses.h"
#include "gui/ComCtrls.h"
#include "gui/FormReader.h"
#include "gui/Icon.h"
#include "gui/Streams.h"

using namespace gui;
using namespace testing_gui;

namespace {

std::vector<std::uint8_t> TestPictureBytes(int w, int h, TColor color) {
  TTestGraphic g;
  g.width = w;
  g.height = h;
  g.color = color;
  TMemoryStream s;
  g.SaveToStream(s);
  return s.Bytes();
}

std::vector<std::uint8_t> BitmapBytes() {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(3, 2);
  b.Canvas().SetPixels(0, 0, clRed);
  TMemoryStream s;
  b.SaveToStream(s);
  return s.Bytes();
}

class FormReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    WriteLog().clear();
    source.AddPicture("TTestForm", "dot.tpic", TestPictureBytes(5, 3, clLime));
    source.AddPicture("TTestForm", "glyph.bmp", BitmapBytes());
    source.AddPicture("TTestForm", "bad.tpic", {'n', 'o', 'p', 'e'});
    TResourceFormSource embedded;
    source.AddPicture("TTestForm", "one.ico", *embedded.PictureData("TTestForm", "../data/one.ico"));
  }

  // Reads text as the form of a fresh TTestForm.
  std::unique_ptr<TTestForm> Read(const std::string& text) {
    source.AddForm("TTestForm", text);
    auto form = std::make_unique<TTestForm>();
    ReadForm(*form, source);
    return form;
  }

  // The error a form gives; empty when it reads.
  std::string ErrorOf(const std::string& text) {
    try {
      Read(text);
    } catch (const EFormError& e) {
      return e.Message();
    }
    return {};
  }

  struct ErrorCase {
    const char* lines;  // the lines from line 3, inside the component's block
    int line;
    const char* says;
  };
  // Each case gives an error naming the form, the line and the problem.
  void ExpectErrors(const std::string& component, std::initializer_list<ErrorCase> cases) {
    for (const ErrorCase& c : cases) {
      std::string text = "object Form1: TTestForm\n  object " + component + "\n    " + c.lines + "\n  end\nend\n";
      std::string error = ErrorOf(text);
      EXPECT_NE(error.find("Error in form TTestForm, line " + std::to_string(c.line) + ":"), std::string::npos)
          << c.lines << " -> " << error;
      EXPECT_NE(error.find(c.says), std::string::npos) << c.lines << " -> " << error;
    }
  }

  TMemoryFormSource source;
};

TTestWidget* Widget(TComponent& form, const char* name) {
  return dynamic_cast<TTestWidget*>(form.FindComponent(name));
}

}  // namespace

TEST_F(FormReaderTest, EveryValueKind) {
  auto form = Read(R"(// a comment line
object Form1: TTestForm
  object w1: TTestWidget
    Count = -42
    Small = $FF
    Enabled = False
    Kind = tkGamma
    Kinds = [tkAlpha, TKGAMMA]
    Color = clBtnFace
    Caption = 'It''s'#13#10'two lines'   // trailing comment
    ModalResult = mrCancel
    Font.Name = 'Courier New'
    Font.Height = -16
    Font.Style = [fsBold, fsItalic]
    Font.Color = $00FF00
    Picture = TTestGraphic 'dot.tpic'
    Glyph = TBitmap 'glyph.bmp'
    Tag = 7
    OldFlag = True
    OldStyle = [fsThis, fsThat]
  end
  object w2: TTestWidget
    Color = 16711680
    Kinds = []
    ModalResult = 6
    Images = il
  end
  object il: TImageList
    Width = 16
    Height = 16
    Images = (
      TIcon 'one.ico'
      TIcon 'one.ico'
    )
  end
end
)");
  EXPECT_EQ(form->Name(), "Form1");
  TTestWidget* w1 = Widget(*form, "w1");
  ASSERT_NE(w1, nullptr);
  EXPECT_EQ(w1->Count(), -42);
  EXPECT_EQ(w1->Small(), 255);
  EXPECT_TRUE(w1->Enabled()) << "the legacy OldFlag came after Enabled";
  EXPECT_EQ(w1->Kind(), tkGamma);
  EXPECT_EQ(w1->Kinds(), (TTestKinds{tkAlpha, tkGamma}));
  EXPECT_EQ(w1->Color(), clBtnFace);
  EXPECT_EQ(w1->Caption(), "It's\r\ntwo lines");
  EXPECT_EQ(w1->ModalResult(), mrCancel);
  EXPECT_EQ(w1->Font()->Name(), "Courier New");
  EXPECT_EQ(w1->Font()->Height(), -16);
  EXPECT_EQ(w1->Font()->Style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(w1->Font()->Color(), clLime);
  EXPECT_EQ(w1->Tag(), 7);
  ASSERT_TRUE(w1->Picture()->Graphic() && w1->Picture()->Graphic()->Is<TTestGraphic>());
  auto& picture = static_cast<TTestGraphic&>(*w1->Picture()->Graphic());
  EXPECT_EQ(picture.width, 5);
  EXPECT_EQ(picture.color, clLime);
  EXPECT_EQ(w1->Glyph()->Width(), 3);
  EXPECT_EQ(w1->Glyph()->Canvas().Pixels(0, 0), clRed);
  EXPECT_EQ(w1->parentComponent, form.get());

  TTestWidget* w2 = Widget(*form, "w2");
  EXPECT_EQ(w2->Color(), clBlue);
  EXPECT_EQ(w2->ModalResult(), mrYes);
  auto* il = dynamic_cast<TImageList*>(form->FindComponent("il"));
  ASSERT_NE(il, nullptr);
  EXPECT_EQ(w2->Images(), il) << "a reference to a component declared later";
  EXPECT_EQ(il->Count(), 2);
}

TEST_F(FormReaderTest, PropertiesAndKnownReferencesInFileOrderThenForwardReferencesHandlersAndLoaded) {
  auto form = Read(R"(object Form1: TTestForm
  object b: TTestWidget
    Buddy = a
    Caption = 'b'
    OnClick = ButtonClick
    OnMouseDown = ButtonMouseDown
    object inner: TTestWidget
      Count = 1
    end
    Kind = tkBeta
  end
  object a: TTestWidget
    Picture = TTestGraphic 'dot.tpic'
    Buddy = b
    Count = 2
  end
end
)");
  // b exists when a names it; a does not yet when b names it.
  std::vector<std::string> expected{"b.Caption", "inner.Count", "b.Kind",  "a.Picture",
                                    "a.Buddy",   "a.Count",     "b.Buddy"};
  EXPECT_EQ(WriteLog(), expected);

  TTestWidget* a = Widget(*form, "a");
  TTestWidget* b = Widget(*form, "b");
  TTestWidget* inner = Widget(*form, "inner");
  EXPECT_EQ(b->Buddy(), a);
  EXPECT_EQ(a->Buddy(), b);
  EXPECT_EQ(inner->Owner(), form.get()) << "every component belongs to the form";
  EXPECT_EQ(inner->parentComponent, b) << "and hears which block it was nested in";
  for (TTestWidget* w : {a, b, inner}) {
    EXPECT_TRUE(w->loadingWhileRead);
    EXPECT_EQ(w->loadedCalls, 1);
    EXPECT_FALSE(w->loadingInLoaded);
    EXPECT_FALSE(w->ComponentState().Contains(csLoading));
  }
  EXPECT_EQ(form->loadedCalls, 1);

  ASSERT_TRUE(b->OnClick);
  b->OnClick(b);
  ASSERT_EQ(form->clicks.size(), 1u);
  EXPECT_EQ(form->clicks[0], b);
  b->OnMouseDown(b, mbLeft, {}, 12, 34);
  EXPECT_EQ(form->mouseX, 12);
}

TEST_F(FormReaderTest, InheritedFormsReadTheAncestorFirst) {
  source.AddForm("TTestForm", R"(object Form1: TTestForm
  object w1: TTestWidget
    Caption = 'base'
    Count = 1
    OnClick = ButtonClick
  end
end
)");
  source.AddForm("TDerivedForm", R"(inherited Form2: TDerivedForm
  inherited w1: TTestWidget
    Caption = 'derived'
  end
  object w3: TTestWidget
    OnClick = OtherClick
    Buddy = w1
  end
end
)");
  TDerivedForm form;
  ReadForm(form, source);
  EXPECT_EQ(form.Name(), "Form2");
  TTestWidget* w1 = Widget(form, "w1");
  TTestWidget* w3 = Widget(form, "w3");
  ASSERT_TRUE(w1 && w3);
  EXPECT_EQ(w1->Caption(), "derived");
  EXPECT_EQ(w1->Count(), 1);
  EXPECT_EQ(w1->loadedCalls, 1);
  EXPECT_EQ(w3->Buddy(), w1);
  w1->OnClick(w1);
  w3->OnClick(w3);
  EXPECT_EQ(form.clicks.size(), 1u);
  EXPECT_EQ(form.otherClicks, 1);

  TPlainDerivedForm plain;  // no form of its own: the ancestor's is read
  ReadForm(plain, source);
  EXPECT_NE(Widget(plain, "w1"), nullptr);
}

TEST_F(FormReaderTest, ErrorsNameTheFormAndLine) {
  ExpectErrors("w: TTestWidget", {
      {"Colr = clRed", 3, "unknown property Colr"},
      {"Kind = tkDelta", 3, "tkDelta is not a value of TTestKind"},
      {"Enabled = Yes", 3, "True or False"},
      {"Small = 256", 3, "out of range"},
      {"Count = 'seven'", 3, "a string is not a value for Count"},
      {"Count = 12abc", 3, "is not a number"},
      {"Kinds = [tkAlpha, tkOmega]", 3, "tkOmega"},
      {"Color = clPlaid", 3, "unknown colour clPlaid"},
      {"ModalResult = mrMaybe", 3, "unknown value mrMaybe"},
      {"Caption = 'open", 3, "unterminated string"},
      {"Font = 'Arial'", 3, "sub-properties"},
      {"Count.Value = 1", 3, "Count has no sub-properties"},
      {"Name = 'other'", 3, "object line"},
      {"OnClick = NoSuchHandler", 3, "unknown handler NoSuchHandler"},
      {"OnMouseDown = ButtonClick", 3, "does not fit the event OnMouseDown"},
      {"Buddy = nobody", 3, "unknown component nobody"},
      {"Buddy = Form1", 3, "Form1 is a TTestForm, not a TTestWidget"},
      {"Picture = TPngLike 'dot.tpic'", 3, "TPngLike is not a registered picture format"},
      {"Picture = TTestGraphic 'missing.tpic'", 3, "'missing.tpic' is not among the form's pictures"},
      {"Picture = TTestGraphic 'bad.tpic'", 3, "not a test picture"},
      {"Picture = TTestGraphic 'caf\xC3\xA9.tpic'", 3, "not plain ASCII"},
      {"Count = 1\n    Count 2", 4, "'=' is expected"},
      {"object w: TTestWidget\n    end", 3, "a component named w already exists"},
      {"object x: TNoSuchWidget\n    end", 3, "unknown class TNoSuchWidget"},
      {"object x: TPicture\n    end", 3, "not a component class"},
      {"inherited x: TTestWidget\n    end", 3, "no inherited component x"},
  });

  EXPECT_NE(ErrorOf("object Form1: TTestForm\n  object w: TTestWidget\n").find("line 2: 'end' is missing"),
            std::string::npos);
  EXPECT_NE(ErrorOf("object Form1: TTestForm\nend\nend\n").find("line 3: text after"), std::string::npos);
  EXPECT_NE(ErrorOf("object Form1: TOtherForm\nend\n").find("line 1: the form is of class TTestForm"),
            std::string::npos);
  EXPECT_NE(ErrorOf("\n\n").find("empty"), std::string::npos);
}

TEST_F(FormReaderTest, ACollectionListsItsItemsWhichReplaceThoseThereWere) {
  auto form = Read(R"(object Form1: TTestForm
  object lv: TListView
    ViewStyle = vsReport
    Columns = <
      item
        Caption = 'Name'
        Width = 120
      end
      item
        Alignment = taRightJustify   // comments as anywhere
        Caption = 'PID'
      end
    >
    RowSelect = True
  end
  object none: TListView
    Columns = <>
  end
end
)");
  auto* lv = dynamic_cast<TListView*>(form->FindComponent("lv"));
  ASSERT_NE(lv, nullptr);
  ASSERT_EQ(lv->Columns()->Count(), 2);
  TListColumn* name = lv->Columns()->Items(0);
  TListColumn* pid = lv->Columns()->Items(1);
  EXPECT_EQ(name->Caption(), "Name");
  EXPECT_EQ(name->Width(), 120);
  EXPECT_EQ(name->Alignment(), taLeftJustify);
  EXPECT_EQ(pid->Caption(), "PID");
  EXPECT_EQ(pid->Width(), 50);
  EXPECT_EQ(pid->Alignment(), taRightJustify);
  EXPECT_TRUE(lv->RowSelect()) << "the lines after the list";
  auto* none = dynamic_cast<TListView*>(form->FindComponent("none"));
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->Columns()->Count(), 0);

  // A derived form's list replaces the ancestor's.
  source.AddForm("TDerivedForm", R"(inherited Form2: TDerivedForm
  inherited lv: TListView
    Columns = <
      item
        Caption = 'Memory'
      end
    >
  end
end
)");
  TDerivedForm derived;
  ReadForm(derived, source);
  auto* replaced = dynamic_cast<TListView*>(derived.FindComponent("lv"));
  ASSERT_NE(replaced, nullptr);
  ASSERT_EQ(replaced->Columns()->Count(), 1);
  EXPECT_EQ(replaced->Columns()->Items(0)->Caption(), "Memory");
}

TEST_F(FormReaderTest, ItemsADerivedFormReplacesTakeTheirWaitingReferencesAlong) {
  source.AddForm("TTestForm", R"(object Form1: TTestForm
  object w1: TTestWidget
    Parts = <
      item
        Buddy = nobody   // would fail at the end, had the item stayed
      end
    >
  end
end
)");
  source.AddForm("TDerivedForm", R"(inherited Form2: TDerivedForm
  inherited w1: TTestWidget
    Parts = <
      item
        Buddy = w2
      end
    >
  end
  object w2: TTestWidget
  end
end
)");
  TDerivedForm form;
  ReadForm(form, source);
  TTestWidget* w1 = Widget(form, "w1");
  ASSERT_EQ(w1->Parts()->items.size(), 1u);
  EXPECT_EQ(w1->Parts()->items[0]->Buddy(), Widget(form, "w2"));
}

TEST_F(FormReaderTest, ABadLineInACollectionNamesTheFormAndLine) {
  ExpectErrors("lv: TListView", {
      {"Columns = <\n      item\n        Widht = 120\n      end\n    >", 5, "unknown property Widht of TListColumn"},
      {"Columns = <\n      item\n        Width = 'wide'\n      end\n    >", 5, "a string is not a value for Width"},
      {"Columns = <\n      column\n      end\n    >", 4, "'item' or '>' is expected in Columns"},
      {"Columns = <\n      item\n        Caption = 'x'\n    >", 6, "a property name is expected"},
      {"Columns = < item", 3, "start on the next line"},
      {"Columns = 'Name'", 3, "Columns is a list of items"},
      {"Hint = <\n    >", 3, "Hint does not hold a list of items"},
  });
  EXPECT_NE(ErrorOf("object Form1: TTestForm\n  object lv: TListView\n    Columns = <\n      item\n      end\n")
                .find("line 3: '>' is missing for Columns"),
            std::string::npos);
}

TEST_F(FormReaderTest, ByteOrderMarkTabsAndWindowsLineEnds) {
  auto form = Read("\xEF\xBB\xBFobject Form1: TTestForm\r\n\tobject w: TTestWidget\r\n\t\tCaption = 'x'\r\n"
                   "\t\tCount=3\r\n\tend\r\nend\r\n");
  EXPECT_EQ(Widget(*form, "w")->Caption(), "x");
  EXPECT_EQ(Widget(*form, "w")->Count(), 3);
}

TEST_F(FormReaderTest, AFailedReadLeavesAConsistentTree) {
  source.AddForm("TTestForm", "object Form1: TTestForm\n  object a: TTestWidget\n  end\n"
                              "  object b: TTestWidget\n    Kind = tkNone\n  end\nend\n");
  auto form = std::make_unique<TTestForm>();
  EXPECT_THROW(ReadForm(*form, source), EFormError);
  ASSERT_EQ(form->ComponentCount(), 2);  // what was made so far stays owned by the form
  for (int i = 0; i < form->ComponentCount(); ++i) {
    EXPECT_FALSE(form->Components(i)->ComponentState().Contains(csLoading));
    EXPECT_EQ(static_cast<TTestWidget*>(form->Components(i))->loadedCalls, 0);
  }
  EXPECT_EQ(form->loadedCalls, 0);
  form.reset();  // and goes with it
}

TEST(EmbeddedForms, ResourceNamesFollowTheDocumentedRule) {
  EXPECT_EQ(FormResourceName("TMainForm"), "TMAINFORM");
  EXPECT_EQ(PictureResourceName("TMainForm", "art/btn-free.png"), "TMAINFORM_ART_BTN_FREE_PNG");
  EXPECT_EQ(PictureResourceName("TTestForm", "../data/dot.tpic"), "TTESTFORM____DATA_DOT_TPIC");
}

// The forms under tests/forms are built into this program by
// brimvale_add_forms, pictures included.
TEST(EmbeddedForms, AFormFromTheProgramsResourcesLoadsIntoLiveObjects) {
  RegisterTestClasses();
  TDerivedForm form;
  ReadForm(form);
  EXPECT_EQ(form.Name(), "ResForm");
  TTestWidget* button = Widget(form, "btnFree");
  TTestWidget* panel = Widget(form, "pnlClient");
  TTestWidget* label = Widget(form, "lblTitle");
  ASSERT_TRUE(button && panel && label);
  EXPECT_EQ(button->parentComponent, panel);
  EXPECT_EQ(label->Caption(), "Memory");
  EXPECT_EQ(label->Font()->Height(), -11);
  EXPECT_EQ(label->Font()->Style(), TFontStyles{fsBold});
  EXPECT_EQ(button->Buddy(), label);
  ASSERT_NE(button->Picture()->Graphic(), nullptr);
  EXPECT_EQ(static_cast<TTestGraphic*>(button->Picture()->Graphic())->color, clLime);
  EXPECT_EQ(button->Glyph()->Width(), 4);
  EXPECT_EQ(button->Glyph()->Canvas().Pixels(0, 0), clRed);
  auto* images = dynamic_cast<TImageList*>(form.FindComponent("ilTray"));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->Count(), 1);
  EXPECT_EQ(panel->Images(), images);
  button->OnClick(button);
  EXPECT_EQ(form.clicks.size(), 1u);
  label->OnClick(label);
  EXPECT_EQ(form.otherClicks, 1) << "the derived form's own handler";
}
