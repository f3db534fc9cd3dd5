// The list box (search by typing, group rows, item hints, scroll extent) and
// the list view (sorting by any column, the last column's fit, its own
// header drawing, check boxes, context menus, label editing, the wheel).
#include <cstdlib>

#include "CkShell.h"
#include "FramedFixture.h"
#include "gui/Menus.h"

using namespace cktest;

namespace {

void Fill(TCkListBox* lb, std::initializer_list<const char*> items) {
  lb->Items()->Clear();
  for (const char* item : items) lb->AddString(item);
}

// The process page's columns, with rows of name, id, memory and priority.
void FillProcesses(TCkListView* lv) {
  const struct {
    const char* caption;
    int width;
    TAlignment alignment;
  } columns[] = {{"Name", 120, taLeftJustify}, {"PID", 50, taRightJustify}, {"Memory(KB)", 80, taRightJustify},
                 {"Priority", 91, taLeftJustify}};
  for (const auto& c : columns) {
    TListColumn* column = lv->Columns()->Add();
    column->SetCaption(c.caption);
    column->SetWidth(c.width);
    column->SetAlignment(c.alignment);
  }
  const char* rows[][4] = {{"svchost", "812", "5,120", "Normal"},
                           {"explorer", "1200", "35,000", ""},
                           {"Idle", "0", "", "high"},
                           {"winlogon", "640", "2,048", "Above"}};
  for (auto& row : rows) {
    TListItem* item = lv->Items()->Add();
    item->SetCaption(row[0]);
    for (int i = 1; i < 4; ++i) item->SubItems()->Add(row[i]);
  }
}

std::vector<std::string> Column(TCkListView* lv, int column) {
  std::vector<std::string> texts;
  for (int i = 0; i < lv->Items()->Count(); ++i) {
    TListItem* item = lv->Items()->Item(i);
    texts.push_back(column == 0 ? item->Caption() : item->SubItems()->Strings(column - 1));
  }
  return texts;
}

void ClickHeader(TCkListView* lv, int column) {
  HWND header = lv->HookedHeader();
  RECT r{};
  ::SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(header, WM_LBUTTONUP, 0, at);
  at::Pump();
}

// One header item drawn by the control into a bitmap of its size.
std::unique_ptr<TBitmap> DrawHeaderItem(TCkListView* lv, int index, int width, int height) {
  auto b = Surface(width, height, clFuchsia);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_HEADER;
  item.itemID = static_cast<UINT>(index);
  item.itemAction = ODA_DRAWENTIRE;
  item.hwndItem = lv->HookedHeader();
  item.hDC = b->Canvas().Handle();
  item.rcItem = RECT{0, 0, width, height};
  lv->Perform(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  return b;
}

// The sort arrow in a header bitmap: its base (the longest run of shadow
// pixels) and whether the apex lies above it (ascending).
struct Arrow {
  int x = -1, y = -1, length = 0;
  bool pointsUp = false;
};

Arrow FindArrow(TBitmap& b) {
  TColor shadow = ColorToRGB(clBtnShadow);
  Arrow a;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width();) {
      int n = 0;
      while (x + n < b.Width() && At(b, x + n, y) == shadow) ++n;
      if (n > a.length) a = {x, y, n, false};
      x += n ? n : 1;
    }
  if (a.length < 3) return {};
  int apex = a.x + a.length / 2;
  a.pointsUp = a.y > 0 && At(b, apex, a.y - 1) == shadow;
  return a;
}

}  // namespace

// --- list box -----------------------------------------------------------------------

TEST_F(Framed, TypingSelectsTheFirstItemBeginningWithTheText) {
  auto* lb = Get<TCkListBox>("lstRules");
  Fill(lb, {"Alpha", "abacus", "Abbey", "banana", "cable"});
  int matches = 0;
  lb->OnMatch = [&](TObject*) { ++matches; };
  lb->SetFocus();
  at::Pump();
  at::TypeText("ab");
  EXPECT_EQ(lb->ItemIndex(), 1);
  EXPECT_EQ(lb->SearchText(), "ab");
  EXPECT_EQ(matches, 2);
  EXPECT_TRUE(timer.Running());
  EXPECT_EQ(timer.LastInterval(), 1500u);
  EXPECT_EQ(form->keys, "ab") << "matched keys go on to OnKeyPress";

  at::TypeText("z");
  EXPECT_EQ(beeps.Count(), 1);
  EXPECT_EQ(lb->ItemIndex(), 1) << "nothing found: nothing changes";
  EXPECT_EQ(lb->SearchText(), "ab");

  timer.Tick();  // 1500 ms without typing
  EXPECT_EQ(lb->SearchText(), "");
  at::TypeText("B");
  EXPECT_EQ(lb->ItemIndex(), 3) << "a new search";

  int clicks = form->clicks;
  at::TypeText("\b");
  EXPECT_EQ(lb->ItemIndex(), 0) << "backspace that empties the text goes to the top";
  EXPECT_EQ(form->clicks, clicks + 1);
  EXPECT_EQ(lb->SearchText(), "");
  at::TypeText("\x1b");
  EXPECT_EQ(lb->ItemIndex(), -1);
}

TEST_F(Framed, GroupRowsShowTheirNameAlone) {
  auto* lb = Get<TCkListBox>("lstRules");
  Fill(lb, {"//Network", "svchost.exe", "lsass.exe", "//Disk", "defrag.exe"});
  EXPECT_TRUE(lb->IsGroup(0));
  EXPECT_FALSE(lb->IsGroup(1));
  EXPECT_EQ(lb->GroupOf(2), 0);
  EXPECT_EQ(lb->GroupOf(4), 3);
  EXPECT_EQ(lb->GroupNumber(3), 1);
  EXPECT_EQ(lb->GroupNumber(2), -1);
  EXPECT_EQ(lb->DisplayText(3), "Disk");
  EXPECT_EQ(lb->DisplayText(9), "");
  EXPECT_EQ(lb->GetSelectedText(), "") << "nothing selected";
  lb->SetItemIndex(0);
  EXPECT_EQ(lb->GetSelectedText(), "//Network") << "the whole item, prefix and all";

  lb->SetUseGradients(false);
  lb->SetGroupColor(clAqua);
  lb->SetShowGroups(true);
  EXPECT_EQ(lb->Style(), lbOwnerDrawFixed);
  EXPECT_GE(lb->ItemHeight(), FontRowHeight(*lb->Font()));
  lb->SetItemIndex(1);
  auto b = Grab(lb);
  TRect row = lb->ItemRect(0);
  int top = row.Top + 2, bottom = row.Bottom;  // inside the border
  EXPECT_EQ(At(*b, row.Right - 4, top + 1), clAqua);
  TCanvas& c = b->Canvas();
  c.Font().Assign(lb->GroupFont());
  int right = -1;
  for (int x = 2; x < row.Right; ++x)
    for (int y = top; y < bottom; ++y)
      if (At(*b, x, y) != clAqua) right = x;
  EXPECT_LT(right, 2 + 2 + c.TextWidth("Network") + 2) << "no prefix drawn";
  EXPECT_GT(right, 2 + c.TextWidth("Network") - 3);

  lb->SetGroupPrefix("");
  EXPECT_TRUE(lb->IsGroup(1)) << "an empty prefix makes every item a group";
  lb->SetGroupPrefix("//net");
  EXPECT_FALSE(lb->IsGroup(0)) << "the prefix is case-sensitive";
}

TEST_F(Framed, ItemsTooWideShowAHint) {
  auto* lb = Get<TCkListBox>("lstRules");
  Fill(lb, {"short", "a long process name\tthat cannot fit in the box"});
  TRect first = lb->ItemRect(0), second = lb->ItemRect(1);
  at::MouseMove(lb, {10, (first.Top + first.Bottom) / 2});
  THintWindow* hint = lb->ItemHintWindow();
  EXPECT_TRUE(!hint || !hint->IsHintShowing());
  at::MouseMove(lb, {10, (second.Top + second.Bottom) / 2});
  hint = lb->ItemHintWindow();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->IsHintShowing());
  EXPECT_EQ(hint->Caption(), "a long process name        that cannot fit in the box");
  EXPECT_EQ(hint->Left(), lb->ClientToScreen({second.Left, 0}).X - 1);
  at::MouseMove(lb, {10, (first.Top + first.Bottom) / 2});
  EXPECT_FALSE(hint->IsHintShowing());
}

TEST_F(Framed, TheHorizontalExtentFollowsTheWidestItem) {
  auto* lb = Get<TCkListBox>("lstRules");
  lb->SetHorzScrollBar(true);
  Fill(lb, {"a", "the widest item of them all", "mid"});
  auto measure = Surface(1, 1);
  TCanvas& c = measure->Canvas();
  c.Font().Assign(lb->Font());
  EXPECT_EQ(lb->HorzExtent(), c.TextWidth("the widest item of them allx"));
  EXPECT_EQ(::SendMessageA(lb->Handle(), LB_GETHORIZONTALEXTENT, 0, 0), lb->HorzExtent());
  lb->Items()->Delete(1);
  EXPECT_EQ(lb->HorzExtent(), c.TextWidth("midx"));

  // An item wider than the extent can hold keeps the largest extent.
  lb->AddString(std::string(12000, 'W'));
  EXPECT_EQ(lb->HorzExtent(), 0xFFFF);

  // Switched on over items, the bar covers them at once.
  lb->SetHorzScrollBar(false);
  Fill(lb, {"a", "somewhat wider"});
  lb->SetHorzScrollBar(true);
  EXPECT_EQ(lb->HorzExtent(), c.TextWidth("somewhat widerx"));
  EXPECT_EQ(::SendMessageA(lb->Handle(), LB_GETHORIZONTALEXTENT, 0, 0), lb->HorzExtent());
}

// --- list view ----------------------------------------------------------------------

TEST_F(Framed, HeaderClicksSortAllRowsWithEmptyCellsLast) {
  auto* lv = Get<TCkListView>("lvProcess");
  FillProcesses(lv);
  std::vector<std::string> clicked;
  lv->OnColumnClick = [&](TObject*, TListColumn* c) { clicked.push_back(c->Caption()); };
  ClickHeader(lv, 3);
  EXPECT_EQ(Column(lv, 3), (std::vector<std::string>{"Above", "high", "Normal", ""}));
  EXPECT_EQ(lv->SortColumn(), 3);
  EXPECT_EQ(lv->SortDirection(), lvsdAscending);
  ClickHeader(lv, 3);
  EXPECT_EQ(Column(lv, 3), (std::vector<std::string>{"", "Normal", "high", "Above"}));
  EXPECT_EQ(lv->SortDirection(), lvsdDescending);
  ClickHeader(lv, 3);
  EXPECT_EQ(Column(lv, 3), (std::vector<std::string>{"Above", "high", "Normal", ""}));
  ClickHeader(lv, 0);
  EXPECT_EQ(Column(lv, 0), (std::vector<std::string>{"explorer", "Idle", "svchost", "winlogon"}));
  EXPECT_EQ(clicked, (std::vector<std::string>{"Priority", "Priority", "Priority", "Name"})) << "after sorting";
  TListItem* row = lv->Items()->Item(0);
  EXPECT_EQ(row->Index(), 0);
  EXPECT_EQ(lv->GetItemAt(10, row->DisplayRect(drBounds).Top + 2), row) << "the window shows the new order";
}

TEST_F(Framed, TheHeaderDrawsItsSortArrow) {
  auto* lv = Get<TCkListView>("lvProcess");
  FillProcesses(lv);
  HDITEMW format{};
  format.mask = HDI_FORMAT;
  ::SendMessageW(lv->HookedHeader(), HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&format));
  EXPECT_NE(format.fmt & HDF_OWNERDRAW, 0);
  EXPECT_EQ(format.fmt & HDF_JUSTIFYMASK, HDF_RIGHT) << "the column keeps its justification";

  lv->SetSortColumn(0);
  auto b = DrawHeaderItem(lv, 0, 120, 20);
  Arrow a = FindArrow(*b);
  ASSERT_GT(a.length, 0);
  EXPECT_TRUE(a.pointsUp);
  auto measure = Surface(1, 1);
  TCanvas& c = measure->Canvas();
  c.Font().Assign(lv->Font());
  EXPECT_GE(a.x, 2 + 4 + c.TextWidth("Name") + 5) << "right of the text";
  EXPECT_EQ(FindArrow(*DrawHeaderItem(lv, 1, 50, 20)).length, 0) << "only the sort column";

  lv->SetSortDirection(lvsdDescending);
  a = FindArrow(*DrawHeaderItem(lv, 0, 120, 20));
  EXPECT_FALSE(a.pointsUp);

  lv->SetHeaderSortDisplayMode(hsdmRightAlign);
  a = FindArrow(*DrawHeaderItem(lv, 0, 120, 20));
  EXPECT_GT(a.x + a.length, 120 - 2 - 4 - 5 - 3) << "at the right edge";

  lv->SetHeaderSortDisplayMode(hsdmLeftAlign);
  a = FindArrow(*DrawHeaderItem(lv, 0, 120, 20));
  EXPECT_EQ(a.x, 2 + 4);
  EXPECT_EQ(FindArrow(*DrawHeaderItem(lv, 0, 15, 20)).length, 0) << "no arrow in a column of 15 pixels";
  EXPECT_EQ(FindArrow(*DrawHeaderItem(lv, 0, 20, 20)).length, 0) << "nor one not wider than twice the arrow";
  EXPECT_GT(FindArrow(*DrawHeaderItem(lv, 0, 21, 20)).length, 0);

  int drawn = -1;
  lv->OnDrawHeader = [&](TObject*, TCanvas*, int index, TRect) { drawn = index; };
  lv->SetHeaderDefaultDrawing(false);
  DrawHeaderItem(lv, 2, 80, 20);
  EXPECT_EQ(drawn, 2);

  lv->SetHeaderSortDisplayMode(hsdmNone);
  ::SendMessageW(lv->HookedHeader(), HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(format.fmt & HDF_OWNERDRAW, 0);
  EXPECT_NE(format.fmt & HDF_STRING, 0);

  testsupport::Scoped oldLibrary(ForceComCtl32Version, FileVersion(4, 0), std::nullopt);
  lv->SetHeaderSortDisplayMode(hsdmRightAlign);
  EXPECT_EQ(lv->HeaderSortDisplayMode(), hsdmNone) << "too old a common-controls library";
}

TEST_F(Framed, TheLastColumnFillsTheRestOfTheWidth) {
  auto* lv = Get<TCkListView>("lvProcess");
  for (int width : {120, 50, 80, 91}) lv->Columns()->Add()->SetWidth(width);
  lv->SetWidth(420);  // fits at once
  int others = 120 + 50 + 80;
  EXPECT_EQ(lv->Columns()->Items(3)->Width(), lv->ClientWidth() - others - GetSystemMetrics(SM_CXVSCROLL))
      << "an empty list leaves room for a scroll bar";
  lv->Items()->Add()->SetCaption("System");
  lv->FitLastColumn();
  EXPECT_EQ(lv->Columns()->Items(3)->Width(), lv->ClientWidth() - others);
  lv->SetWidth(others + 6);
  EXPECT_EQ(lv->Columns()->Items(3)->Width(), 5) << "never narrower than 5";
  lv->SetFillLastColumn(false);
  lv->SetWidth(420);
  EXPECT_EQ(lv->Columns()->Items(3)->Width(), 5);
}

TEST_F(Framed, RefusedCheckChangesKeepTheBox) {
  auto* lv = Get<TCkListView>("lvProcess");
  FillProcesses(lv);
  lv->SetCheckboxes(true);
  bool allow = false;
  std::vector<bool> asked;
  int changed = 0;
  lv->OnCheckStateChanging = [&](TObject*, TListItem*, bool toBeChecked, bool& allowChange) {
    asked.push_back(toBeChecked);
    allowChange = allow;
  };
  lv->OnCheckStateChange = [&](TObject*, TListItem*) { ++changed; };
  TListItem* item = lv->Items()->Item(1);
  item->SetSelected(true);
  item->SetChecked(true);
  EXPECT_FALSE(item->Checked());
  EXPECT_EQ(changed, 0);
  allow = true;
  item->SetChecked(true);
  EXPECT_TRUE(item->Checked()) << "a selected row's box changes too";
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(asked, (std::vector<bool>{true, true}));
}

TEST_F(Framed, ContextMenusComeOnceForTheItem) {
  auto* lv = Get<TCkListView>("lvProcess");
  FillProcesses(lv);
  std::vector<TPoint> shown;
  TListItem* shownFor = nullptr;
  lv->OnItemContextMenu = [&](TObject*, TListItem* item, TPoint& pos, TPopupMenu*&) {
    shown.push_back(pos);
    shownFor = item;
  };
  TListItem* item = lv->Items()->Item(2);
  TRect r = item->DisplayRect(drBounds);
  TPoint p{r.Left + 30, (r.Top + r.Bottom) / 2};
  TPoint screen = lv->ClientToScreen(p);
  SetCursorPos(screen.X, screen.Y);
  PostMessageA(lv->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.X, p.Y));
  PostMessageA(lv->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(p.X, p.Y));
  at::Pump();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shownFor, item);
  EXPECT_EQ(at::PoppedMenus(), (std::vector<std::string>{"popList"})) << "the menu shows once";

  // The keyboard: Shift+F10 at the centre of the selected item's icon.
  shown.clear();
  at::ClearRecords();
  lv->SetSelected(lv->Items()->Item(1));
  lv->SetFocus();
  at::Pump();
  at::PressKey(VK_F10, {ssShift});
  TRect icon = lv->Items()->Item(1)->DisplayRect(drIcon);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], (TPoint{(icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2}));
  EXPECT_EQ(at::PoppedMenus().size(), 1u);
}

TEST_F(Framed, RowSelectEditsOnlyFromTheLabel) {
  auto* lv = Get<TCkListView>("lvProcess");
  FillProcesses(lv);
  lv->SetReadOnly(false);
  lv->SetFocus();
  at::Pump();
  TListItem* item = lv->Items()->Item(0);
  auto editFrom = [&](TPoint client) {
    TPoint s = lv->ClientToScreen(client);
    SetCursorPos(s.X, s.Y);
    HWND edit = reinterpret_cast<HWND>(::SendMessageA(lv->Handle(), LVM_EDITLABELA, 0, 0));
    if (edit) ::SendMessageA(lv->Handle(), LVM_CANCELEDITLABEL, 0, 0);
    at::Pump();
    return edit != nullptr;
  };
  TRect label = item->DisplayRect(drLabel);
  TPoint onLabel{(label.Left + label.Right) / 2, (label.Top + label.Bottom) / 2};
  TPoint onRow{label.Right + 60, onLabel.Y};
  EXPECT_TRUE(editFrom(onLabel));
  EXPECT_FALSE(editFrom(onRow));
  lv->SetEditOnRowClick(true);
  EXPECT_TRUE(editFrom(onRow));
}

TEST_F(Framed, InfoTipsShowBelowTheItem) {
  auto* lv = Get<TCkListView>("lvProcess");
  FillProcesses(lv);
  lv->OnInfoTip = [](TObject*, TListItem* item, std::string& tip) { tip = "Process " + tip; };
  TRect r = lv->Items()->Item(1)->DisplayRect(drBounds);
  at::MouseMove(lv, {r.Left + 20, r.Top + 3});
  THintWindow* hint = lv->ItemHintWindow();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->IsHintShowing());
  EXPECT_EQ(hint->Caption(), "Process explorer");
  TPoint origin = lv->ClientToScreen({r.Left, r.Top});
  EXPECT_EQ(hint->Left(), origin.X + 5);
  EXPECT_EQ(hint->Top(), origin.Y + r.Height() - 3);
  at::MouseMove(lv, {r.Left + 20, lv->ClientHeight() - 5});
  EXPECT_FALSE(hint->IsHintShowing()) << "no item there";
}

TEST_F(Framed, TheWheelScrollsByFixedSteps) {
  auto* lv = Get<TCkListView>("lvProcess");
  lv->Columns()->Add()->SetCaption("Name");
  for (int i = 0; i < 60; ++i) lv->Items()->Add()->SetCaption("process " + std::to_string(i));
  bool eventFired = false;
  lv->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool&) { eventFired = true; };
  lv->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_GT(::SendMessageA(lv->Handle(), LVM_GETTOPINDEX, 0, 0), 0);
  EXPECT_FALSE(eventFired);

  // With the system's "one page a notch" the wheel turns a page down.
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  auto setLines = [](UINT n) { SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, n, nullptr, 0); };
  testsupport::Scoped pageScroll(setLines, WHEEL_PAGESCROLL, lines);
  ::SendMessageA(lv->Handle(), LVM_ENSUREVISIBLE, 0, FALSE);
  ASSERT_EQ(::SendMessageA(lv->Handle(), LVM_GETTOPINDEX, 0, 0), 0);
  const LRESULT page = ::SendMessageA(lv->Handle(), LVM_GETCOUNTPERPAGE, 0, 0);
  lv->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  const LRESULT top = ::SendMessageA(lv->Handle(), LVM_GETTOPINDEX, 0, 0);
  EXPECT_GE(top, page - 1);
  EXPECT_LE(top, page);
}

// The form with everything on it, kept on screen a while when asked (for a
// look at the test display).
TEST_F(Framed, Showcase) {
  auto* lb = Get<TCkListBox>("lstRules");
  Fill(lb, {"//Network", "svchost.exe", "lsass.exe", "//Disk", "defrag.exe"});
  lb->SetShowGroups(true);
  lb->SetItemIndex(1);
  lb->SetFramingPreference(fpCustomFraming);
  lb->SetFrameHotTrack(true);
  auto* lv = Get<TCkListView>("lvProcess");
  FillProcesses(lv);
  lv->SetFrameController(Get<TCkFrameController>("fcShared"));
  ClickHeader(lv, 3);
  Get<TCkEdit>("edtNext")->SetReadOnly(true);
  Get<TCkEdit>("edtName")->SetFocus();
  at::Pump();
  if (const char* hold = std::getenv("CKTEST_HOLD_MS")) {
    DWORD until = GetTickCount() + static_cast<DWORD>(std::atoi(hold));
    while (GetTickCount() < until) {
      at::Pump();
      Sleep(20);
    }
  }
  EXPECT_EQ(lv->SortColumn(), 3);
}
