// The wrappers of system controls: list box, edit, list view, hot-key edit,
// push button, and the label's automatic size.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "gui/ActnList.h"
#include "gui/Automation.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/FormReader.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui/Themes.h"

using namespace gui;
namespace at = gui::automation;

class NativeControls : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    at::Enable();
  }
  void SetUp() override {
    SetCursorPos(0, 0);
    form = new TForm(Application);
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    at::Pump();
  }
  void TearDown() override { delete form; }

  template <class T>
  T* Make(int left, int top) {
    T* c = new T(form);
    c->SetParent(form);
    c->SetLeft(left);
    c->SetTop(top);
    return c;
  }

  TForm* form = nullptr;
};

TEST_F(NativeControls, AnEditTakesTypedTextAndReportsChanges) {
  auto* edit = Make<TEdit>(10, 10);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetFocus();
  at::Pump();
  ASSERT_TRUE(edit->Focused());
  at::TypeText("abc");
  EXPECT_EQ(edit->Text(), "abc");
  EXPECT_EQ(changes, 3);
  edit->SelectAll();
  EXPECT_EQ(edit->SelText(), "abc");
  edit->SetReadOnly(true);
  at::TypeText("d");
  EXPECT_EQ(edit->Text(), "abc");
  int height = edit->Height();
  edit->Font()->SetHeight(-20);  // the height follows the font
  EXPECT_GT(edit->Height(), height);
}

TEST_F(NativeControls, AListBoxKeepsItsItemsInTheWindowAndOwnerDrawsThroughItsParent) {
  auto* list = Make<TListBox>(10, 10);
  list->Items()->Add("alpha");  // no window yet: kept by the control
  list->HandleNeeded();
  list->Items()->Add("beta");
  SendMessageA(list->Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("gamma"));
  EXPECT_EQ(list->Items()->Count(), 3);
  EXPECT_EQ(list->Items()->Strings(2), "gamma");
  EXPECT_THROW(list->Items()->Strings(3), EConvertError);
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  at::MouseDown(list, mbLeft, {10, 5});
  at::MouseUp(list, mbLeft, {10, 5});
  EXPECT_GE(list->ItemIndex(), 0);
  EXPECT_EQ(clicks, 1);

  std::vector<int> drawn;
  list->SetStyle(lbOwnerDrawFixed);  // recreates the window, keeping the items
  list->OnDrawItem = [&](TWinControl*, int index, TRect, TOwnerDrawState) { drawn.push_back(index); };
  list->Repaint();
  EXPECT_EQ(list->Items()->Count(), 3);
  ASSERT_GE(drawn.size(), 3u);
  EXPECT_EQ(std::vector<int>(drawn.begin(), drawn.begin() + 3), (std::vector<int>{0, 1, 2}));
}

TEST_F(NativeControls, AListViewShowsItemsSortsThemAndReportsSelection) {
  auto* view = Make<TListView>(10, 10);
  view->SetViewStyle(vsReport);
  view->SetRowSelect(true);
  for (const char* caption : {"Name", "PID"}) view->Columns()->Add()->SetCaption(caption);
  view->Columns()->Items(0)->SetWidth(120);
  for (auto [name, pid] : {std::pair{"zeta", "30"}, {"alpha", "10"}, {"Mid", "20"}}) {
    TListItem* item = view->Items()->Add();
    item->SetCaption(name);
    item->SubItems()->Add(pid);
  }
  EXPECT_EQ(view->Columns()->Items(0)->Width(), 120);
  std::vector<std::string> selected;
  view->OnSelectItem = [&](TObject*, TListItem* item, bool on) {
    if (on) selected.push_back(item->Caption());
  };
  view->AlphaSort();
  EXPECT_EQ(view->Items()->Item(0)->Caption(), "alpha");
  EXPECT_EQ(view->Items()->Item(2)->Caption(), "zeta");
  char text[32] = {};
  LVITEMA item{};
  item.iSubItem = 1;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  SendMessageA(view->Handle(), LVM_GETITEMTEXTA, 2, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "30");  // the control asks the item for its text
  TRect r = view->Items()->Item(1)->DisplayRect(drBounds);
  EXPECT_EQ(view->GetItemAt(r.Left + 5, r.Top + 2), view->Items()->Item(1));
  view->SetSelected(view->Items()->Item(1));
  EXPECT_EQ(view->Selected(), view->Items()->Item(1));
  EXPECT_EQ(selected, std::vector<std::string>{"Mid"});
  view->Items()->Item(0)->Delete();
  EXPECT_EQ(view->Items()->Count(), 2);
  EXPECT_EQ(ListView_GetItemCount(view->Handle()), 2);
}

TEST_F(NativeControls, ColumnsReadFromAFormReachTheHeaderAndTakeNewCaptions) {
  TMemoryFormSource source;
  source.AddForm("TForm", R"(object ProcessForm: TForm
  object lvProcess: TListView
    ViewStyle = vsReport
    Columns = <
      item
        Caption = 'Name'
        Width = 120
      end
      item
        Alignment = taRightJustify
        Caption = 'PID'
      end
    >
  end
end
)");
  ReadForm(*form, source);
  auto* view = dynamic_cast<TListView*>(form->FindComponent("lvProcess"));
  ASSERT_NE(view, nullptr);
  auto column = [&](int index) {
    char text[32] = {};
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.pszText = text;
    c.cchTextMax = sizeof(text);
    SendMessageA(view->Handle(), LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&c));
    return std::tuple(std::string(text), c.cx, c.fmt & LVCFMT_JUSTIFYMASK);
  };
  EXPECT_EQ(column(0), std::tuple(std::string("Name"), 120, LVCFMT_LEFT));
  EXPECT_EQ(column(1), std::tuple(std::string("PID"), 50, LVCFMT_RIGHT));
  view->Columns()->Items(1)->SetCaption("Kennung");  // a language switch
  EXPECT_EQ(std::get<0>(column(1)), "Kennung");
}

TEST_F(NativeControls, AListViewCustomDrawsItemsThroughItsParent) {
  auto* view = Make<TListView>(10, 10);
  view->SetViewStyle(vsReport);
  view->Columns()->Add()->SetCaption("Name");
  view->Items()->Add()->SetCaption("one");
  view->Items()->Add()->SetCaption("two");
  std::vector<std::string> items;
  view->OnCustomDrawItem = [&](TCustomListView* sender, TListItem* item, TCustomDrawState, bool&) {
    items.push_back(item->Caption());
    sender->Canvas()->Font().SetColor(clRed);
  };
  view->Repaint();
  EXPECT_EQ(items, (std::vector<std::string>{"one", "two"}));
}

TEST_F(NativeControls, AutomationReadsListRowsSelectsOneAndAnswersABoxLeftOpen) {
  auto* view = Make<TListView>(10, 10);
  view->SetViewStyle(vsReport);
  for (const char* caption : {"Name", "PID", "Memory"}) view->Columns()->Add()->SetCaption(caption);
  for (auto [name, pid] : {std::pair{"alpha", "10"}, {"beta", "20"}}) {
    TListItem* item = view->Items()->Add();
    item->SetCaption(name);
    item->SubItems()->Add(pid);
    item->SubItems()->Add("");
  }
  EXPECT_EQ(at::Items(view), "alpha\t10\t\nbeta\t20\t");
  std::vector<std::string> selected;
  view->OnSelectItem = [&](TObject*, TListItem* item, bool on) {
    if (on) selected.push_back(item->Caption());
  };
  at::Select(view, 1);
  EXPECT_EQ(view->Selected(), view->Items()->Item(1));
  EXPECT_EQ(selected, std::vector<std::string>{"beta"});
  at::Select(view, -1);
  EXPECT_EQ(view->Selected(), nullptr);

  auto* list = Make<TListBox>(200, 10);
  list->Items()->Add("one");
  list->Items()->Add("two");
  EXPECT_EQ(at::Items(list), "one\ntwo");
  EXPECT_THROW(at::Items(form), Exception);

  // A held box lets timers run meanwhile, as a box the user reads does (this
  // one goes at the first tick); one answered at once does not.
  TTimer timer(nullptr);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) {
    if (++ticks == 1) at::ReleaseHeldMessageBox();
  };
  timer.SetInterval(20);
  timer.SetEnabled(true);
  at::HoldNextMessageBox(IDNO);
  EXPECT_EQ(Application->ShowMessageBox("Go on?", "Question", MB_YESNO), IDNO);
  EXPECT_GT(ticks, 0);
  ticks = 0;
  at::AnswerNextMessageBox(IDYES);
  EXPECT_EQ(Application->ShowMessageBox("Go on?", "Question", MB_YESNO), IDYES);
  EXPECT_EQ(ticks, 0);
}

TEST_F(NativeControls, AHotKeyEditHoldsAShortCutValue) {
  auto* hot = Make<THotKey>(10, 10);
  EXPECT_EQ(hot->HotKey(), scAlt | 'A');
  hot->HandleNeeded();
  EXPECT_EQ(SendMessageA(hot->Handle(), HKM_GETHOTKEY, 0, 0), MAKEWORD('A', HOTKEYF_ALT));
  hot->SetHotKey(scCtrl | scShift | VK_F9);
  EXPECT_EQ(hot->HotKey(), scCtrl | scShift | VK_F9);
  hot->RecreateWnd();
  EXPECT_EQ(hot->HotKey(), scCtrl | scShift | VK_F9);
  hot->SetHotKey(0);
  EXPECT_EQ(hot->HotKey(), 0);
  // Typed as a user types it, the modifiers pressed around the key.
  hot->SetFocus();
  at::Pump();
  at::PressKey(VK_F8, {ssCtrl, ssAlt});
  EXPECT_EQ(hot->HotKey(), scCtrl | scAlt | VK_F8);
  EXPECT_EQ(ShortCutToText(scCtrl | scShift | VK_F9), "Shift+Ctrl+F9");
  EXPECT_EQ(TextToShortCut("Shift+Ctrl+F9"), scCtrl | scShift | VK_F9);
}

TEST_F(NativeControls, APushButtonClicksOnceAndTheDefaultFollowsTheFocus) {
  auto* ok = Make<TButton>(10, 10);
  auto* other = Make<TButton>(100, 10);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  at::Click(ok);
  EXPECT_EQ(clicks, 1);
  auto* edit = Make<TEdit>(10, 50);
  edit->SetFocus();
  at::Pump();
  EXPECT_TRUE(ok->Active());
  other->SetFocus();
  at::Pump();
  EXPECT_FALSE(ok->Active());
  EXPECT_TRUE(other->Active());
  EXPECT_TRUE(GetWindowLongPtrA(other->Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
}

TEST_F(NativeControls, ALabelTakesTheSizeOfItsText) {
  auto* label = Make<TLabel>(10, 10);
  label->SetCaption("Short");
  int shortWidth = label->Width();
  label->SetCaption("A much longer caption");
  EXPECT_GT(label->Width(), shortWidth);
  int oneLine = label->Height();
  label->SetCaption("Two\r\nlines");
  EXPECT_GT(label->Height(), oneLine);
  label->SetAutoSize(false);
  label->SetCaption("x");
  EXPECT_GT(label->Height(), oneLine);
}


TEST_F(NativeControls, AListViewsHeaderCanBeSubclassedUntilItGoes) {
  auto* view = Make<TListView>(10, 10);
  view->SetViewStyle(vsReport);
  view->Columns()->Add()->SetCaption("Name");
  HWND header = view->HeaderHandle();
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(GetDlgCtrlID(header), 0);
  int seen = 0;
  std::unique_ptr<TWindowSubclass> hook;
  hook = std::make_unique<TWindowSubclass>(header, [&](TMessage& m) {
    if (m.Msg == WM_USER + 9) {
      ++seen;
      m.Result = 5;
      return;
    }
    hook->CallDefault(m);
  });
  EXPECT_EQ(SendMessageA(header, WM_USER + 9, 0, 0), 5);
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 1);  // the rest reaches the header
  view->RecreateWnd();  // the old header goes; the holder lets go of it
  EXPECT_EQ(hook->Window(), nullptr);
  hook.reset();
  EXPECT_EQ(seen, 1);
}

TEST_F(NativeControls, ADoubleBufferedWindowPaintsItsChildrenToTheScreen) {
  auto* panel = Make<TPanel>(10, 10);
  panel->SetColor(clLime);
  panel->SetBevelOuter(bvNone);
  panel->SetDoubleBuffered(true);
  auto* label = new TLabel(form);
  label->SetParent(panel);
  label->SetAutoSize(false);
  label->SetBounds(5, 5, 20, 20);
  label->SetColor(clRed);
  panel->Repaint();
  HDC dc = GetDC(panel->Handle());
  EXPECT_EQ(GetPixel(dc, 2, 2), ColorToRGB(clLime));
  EXPECT_EQ(GetPixel(dc, 10, 10), ColorToRGB(clRed));
  // Asked to paint into a context of someone else's, it erases and paints there.
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 30, 30);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageA(panel->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
  SendMessageA(panel->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(memory), 0);
  EXPECT_EQ(GetPixel(memory, 2, 2), ColorToRGB(clLime));
  EXPECT_EQ(GetPixel(memory, 10, 10), ColorToRGB(clRed));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(panel->Handle(), dc);
}

TEST_F(NativeControls, AControlFollowsItsActionAndRunsIt) {
  auto* action = new TAction(form);
  action->SetCaption("&Help");
  int runs = 0;
  action->OnExecute = [&](TObject*) { ++runs; };
  auto* button = Make<TButton>(10, 10);
  button->SetAction(action);
  EXPECT_EQ(button->Caption(), "&Help");
  action->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  action->SetEnabled(true);
  at::Click(button);
  EXPECT_EQ(runs, 1);
  button->SetCaption("Mine");  // no longer the action's: a new caption leaves it
  action->SetCaption("Other");
  EXPECT_EQ(button->Caption(), "Mine");
  delete action;
  EXPECT_EQ(button->Action(), nullptr);
}

namespace {

// A control with a check of its own, as check boxes have.
class TCheckedThing : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  bool checked = false;

 protected:
  class Link : public TControlActionLink {
   public:
    using TControlActionLink::TControlActionLink;
    void SetChecked(bool value) override {
      if (IsCheckedLinked()) static_cast<TCheckedThing*>(Client())->checked = value;
    }
  };
  std::unique_ptr<TControlActionLink> CreateActionLink() override { return std::make_unique<Link>(this); }
};

}  // namespace

TEST_F(NativeControls, AControlWithACheckShowsItsActionsCheck) {
  auto* action = new TAction(form);
  action->SetChecked(true);
  auto* thing = Make<TCheckedThing>(10, 10);
  thing->SetAction(action);
  EXPECT_TRUE(thing->checked) << "taken when linked";
  action->SetChecked(false);
  EXPECT_FALSE(thing->checked);
  action->SetChecked(true);
  EXPECT_TRUE(thing->checked);
}

TEST_F(NativeControls, VisualStylesFollowTheSwitchTestsSet) {
  TThemeServices& themes = ThemeServices();
  themes.SetThemesEnabled(false);
  EXPECT_FALSE(themes.ThemesEnabled());
  EXPECT_EQ(themes.Theme(L"BUTTON"), nullptr);
  TColor color = clNone;
  EXPECT_FALSE(themes.ElementColor(L"EDIT", 0, 0, 3801, color));
  themes.SetThemesEnabled(true);
  EXPECT_TRUE(themes.ThemesEnabled());
  themes.SetThemesEnabled(std::nullopt);
  EXPECT_EQ(themes.ThemesEnabled(), themes.ThemesAvailable());
}

TEST_F(NativeControls, AutomationClicksAListViewsRow) {
  auto* view = Make<TListView>(10, 10);
  view->SetViewStyle(vsReport);
  view->Columns()->Add()->SetCaption("Name");
  for (const char* name : {"alpha", "beta"}) view->Items()->Add()->SetCaption(name);
  at::ClickRow(view, 1);
  EXPECT_EQ(view->Selected(), view->Items()->Item(1));
  // A right click on a row selects it before the control hears of the press.
  TListItem* pressed = nullptr;
  view->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState, int, int) {
    if (button == mbRight) pressed = view->Selected();
  };
  at::ClickRow(view, 0, mbRight);
  EXPECT_EQ(pressed, view->Items()->Item(0));
}
