#include "CkListVw.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "CkShell.h"
#include "gui/Forms.h"
#include "gui/ImageList.h"
#include "gui/Themes.h"
#include "gui/WindowTable.h"
#include "kit/Own.h"

namespace ck {

const TEnumInfo LVHeaderSortDisplayModeInfo{"TCkLVHeaderSortDisplayMode",
                                            {"hsdmNone", "hsdmLeftAlign", "hsdmRightOfText", "hsdmRightAlign"}};

namespace {

const TEnumInfo kViewStyleInfo{"TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}};
// The list view of each hooked header; it lives on past static destruction.
gui::TWindowTable<TCkCustomListView>& ListViewOfHeader() {
  static auto* table = new gui::TWindowTable<TCkCustomListView>;
  return *table;
}
// Posted to itself at creation: the header formats once more, after the
// system has finished setting the header up.
constexpr UINT WM_REFRESHHEADER = WM_USER + 100;

std::string ColumnText(TListItem* item, int column) {
  if (column == 0) return item->Caption();
  TStrings* sub = item->SubItems();
  return column - 1 < sub->Count() ? sub->Strings(column - 1) : std::string();
}

int FoldedCompare(const std::string& a, const std::string& b) {
  auto fold = [](char ch) {
    auto c = static_cast<unsigned char>(ch);
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : static_cast<int>(c);
  };
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int d = fold(a[i]) - fold(b[i]);
    if (d != 0) return d;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool EitherCode(UINT code, UINT ansi, UINT wide) { return code == ansi || code == wide; }

bool ThemesOn() { return ThemeServices().ThemesEnabled(); }

// A change of an item's check-box image to checked (0x2000) or unchecked
// (0x1000).
bool IsCheckChange(const NMLISTVIEW* nm) {
  if (nm->iItem < 0 || !(nm->uChanged & LVIF_STATE)) return false;
  UINT image = nm->uNewState & LVIS_STATEIMAGEMASK;
  return (image == 0x2000 || image == 0x1000) && ((nm->uNewState ^ nm->uOldState) & LVIS_STATEIMAGEMASK) != 0;
}

TRect Shifted(const TRect& r, int dx) { return {r.Left + dx, r.Top, r.Right + dx, r.Bottom}; }

// The arrow's rectangle in a text rectangle (left l, top t, bottom b).
TRect ArrowRect(const TRect& r) {
  int s = (r.Top + r.Bottom) / 2 - 1;
  TRect a;
  a.Left = r.Left;
  a.Right = r.Left + s + 1;
  a.Top = (r.Top + r.Bottom - s) / 2 - 1;
  a.Bottom = a.Top + s;
  return a;
}

}  // namespace

int CompareColumnTexts(TListItem* a, TListItem* b, int column) {
  if (!a || !b) return 0;
  std::string ta = ColumnText(a, column), tb = ColumnText(b, column);
  int result = FoldedCompare(ta, tb);
  if (result > 0 && tb.empty()) return -1;
  if (result < 0 && ta.empty()) return 1;
  return result;
}

GUI_DEFINE_CLASS(TCkCustomListView) {
  using L = TCkCustomListView;
  DefineFrameProperties(c);
  c.Boolean("AlphaSortAll", &L::AlphaSortAll, &L::SetAlphaSortAll, false);
  c.Boolean("EditOnRowClick", &L::EditOnRowClick, &L::SetEditOnRowClick, false);
  c.Boolean("FillLastColumn", &L::FillLastColumn, &L::SetFillLastColumn, true);
  c.Enumeration("HeaderSortDisplayMode", LVHeaderSortDisplayModeInfo, &L::HeaderSortDisplayMode,
                &L::SetHeaderSortDisplayMode, hsdmRightOfText);
  c.Boolean("HeaderDefaultDrawing", &L::HeaderDefaultDrawing, &L::SetHeaderDefaultDrawing, true);
  c.Enumeration("ViewStyle", kViewStyleInfo, &L::ViewStyle, &L::SetViewStyle, vsIcon);
  c.Event("OnCheckStateChanging", &L::OnCheckStateChanging);
  c.Event("OnCheckStateChange", &L::OnCheckStateChange);
  c.Event("OnDrawHeader", &L::OnDrawHeader);
  c.Event("OnItemContextMenu", &L::OnItemContextMenu);
}

GUI_DEFINE_CLASS(TCkListView) {
  for (const char* name :
       {"Align", "Anchors", "BorderStyle", "Checkboxes", "ColumnClick", "Columns", "Enabled", "Font", "GridLines",
        "HideSelection", "HotTrack", "MultiSelect", "ParentFont", "ParentShowHint", "PopupMenu", "ReadOnly",
        "RowSelect", "ShowColumnHeaders", "ShowHint", "Hint", "SmallImages", "TabOrder", "Visible", "OnClick",
        "OnColumnClick", "OnCompare", "OnContextPopup", "OnCustomDraw", "OnCustomDrawItem", "OnCustomDrawSubItem",
        "OnDblClick", "OnDeletion", "OnEdited", "OnEditing", "OnEnter", "OnExit", "OnInfoTip", "OnInsert",
        "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnMouseEnter",
        "OnMouseLeave", "OnMouseWheel", "OnMouseWheelDown", "OnMouseWheelUp", "OnResize", "OnSelectItem"})
    c.Publish(name);
  c.Publish("TabStop", 1);
}

TCkCustomListView::TCkCustomListView(TComponent* owner) : TCkFramedControl<TCustomListView>(owner) {}

TCkCustomListView::~TCkCustomListView() { UnhookHeader(); }

// --- settings -----------------------------------------------------------------------

void TCkCustomListView::SetFillLastColumn(bool value) {
  if (value == fillLastColumn_) return;
  fillLastColumn_ = value;
  FitLastColumn();
}

void TCkCustomListView::SetHeaderSortDisplayMode(TCkLVHeaderSortDisplayMode value) {
  if (value == sortDisplayMode_) return;
  // Owner-drawn header items need a common-controls library of 4.70 or newer.
  sortDisplayMode_ = ComCtl32AtLeast470() ? value : hsdmNone;
  RefreshHeaderFormats();
  InvalidateHeader(true);
}

void TCkCustomListView::SetHeaderDefaultDrawing(bool value) {
  headerDefaultDrawing_ = value;
  InvalidateHeader(true);
}

void TCkCustomListView::SetSortColumn(int value) {
  if (value == sortColumn_) return;
  InvalidateHeaderItem(sortColumn_);
  InvalidateHeaderItem(value);
  sortColumn_ = value;
  if (ComCtl32AtLeast600()) RefreshHeaderFormats();
}

void TCkCustomListView::SetSortDirection(TCkLVSortDirection value) {
  if (value == sortDirection_) return;
  InvalidateHeaderItem(sortColumn_);
  sortDirection_ = value;
  if (ComCtl32AtLeast600() && sortColumn_ >= 0) RefreshHeaderFormats();
  if (header_) UpdateWindow(header_);
}

void TCkCustomListView::SetViewStyle(TViewStyle value) {
  if (value == ViewStyle()) return;
  inherited::SetViewStyle(value);
  if (value == vsReport) {
    HookHeader();
    RefreshHeaderFormats();
  }
}

void TCkCustomListView::SetBounds(int left, int top, int width, int height) {
  inherited::SetBounds(left, top, width, height);
  if (header_) FitLastColumn();
}

void TCkCustomListView::SetParent(TWinControl* parent) {
  inherited::SetParent(parent);
  UnhookHeader();
  HookHeader();
}

// --- the last column ----------------------------------------------------------------

void TCkCustomListView::FitLastColumn() {
  int count = Columns()->Count();
  if (!fillLastColumn_ || ViewStyle() != vsReport || ComponentState().Contains(csDestroying) || count == 0) return;
  Items()->BeginUpdate();
  auto done = kit::OnExit([this] { Items()->EndUpdate(); });
  int others = 0;
  for (int i = 0; i < count - 1; ++i) others += Columns()->Items(i)->Width();
  int available = ClientWidth();
  // Room for the scroll bar that items may bring.
  if (Items()->Count() == 0 || fittingAtLoad_) available -= GetSystemMetrics(SM_CXVSCROLL);
  if (others < available) {
    int width = available - others;
    Columns()->Items(count - 1)->SetWidth(width > 4 ? width : 5);
  }
}

// --- sorting ------------------------------------------------------------------------

void TCkCustomListView::SortAll(int column) {
  bool descending = column == lastSortedAscending_;
  SetSortColumn(column);
  SetSortDirection(descending ? lvsdDescending : lvsdAscending);
  CustomSort([column, descending](TListItem* a, TListItem* b) {
    int result = CompareColumnTexts(a, b, column);
    return descending ? -result : result;
  });
  lastSortedAscending_ = descending ? -1 : column;
}

void TCkCustomListView::ColClick(TListColumn* column) {
  if (alphaSortAll_ && column) SortAll(column->Index());
  inherited::ColClick(column);
}

// --- window and header --------------------------------------------------------------

void TCkCustomListView::CreateWnd() {
  inherited::CreateWnd();
  HookHeader();
  RefreshHeaderFormats();
  PostMessageA(Handle(), WM_REFRESHHEADER, 0, 0);
}

void TCkCustomListView::DestroyWnd() {
  UnhookHeader();
  inherited::DestroyWnd();
}

void TCkCustomListView::Loaded() {
  inherited::Loaded();
  {
    fittingAtLoad_ = true;
    auto done = kit::OnExit([this] { fittingAtLoad_ = false; });
    FitLastColumn();
  }
  UnhookHeader();
  HookHeader();
}

void TCkCustomListView::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove) itemHint_.Removed(component);
}

void TCkCustomListView::HookHeader() {
  if (header_ || !HandleAllocated()) return;
  HWND header = HeaderHandle();
  if (!header) return;
  header_ = header;
  ListViewOfHeader().Set(header, this);
  headerProc_ =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HeaderProc)));
}

void TCkCustomListView::UnhookHeader() {
  if (!header_) return;
  if (IsWindow(header_)) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(header_, GWLP_WNDPROC)) == &HeaderProc)
      SetWindowLongPtrW(header_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(headerProc_));
  }
  ListViewOfHeader().Forget(header_, this);
  header_ = nullptr;
  headerProc_ = nullptr;
  hotHeaderItem_ = -1;
  headerPressed_ = false;
}

LRESULT CALLBACK TCkCustomListView::HeaderProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TCkCustomListView* self = ListViewOfHeader().Get(window);
  if (!self || self->header_ != window) return DefWindowProcW(window, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  try {
    self->HeaderWndProc(m);
  } catch (...) {
    if (Application) Application->HandleException(self);
  }
  return m.Result;
}

void TCkCustomListView::HeaderWndProc(TMessage& m) {
  HWND header = header_;
  WNDPROC proc = headerProc_;
  auto pass = [&] { m.Result = CallWindowProcW(proc, header, m.Msg, m.WParam, m.LParam); };
  switch (m.Msg) {
    case WM_NCDESTROY:
      pass();
      ListViewOfHeader().Forget(header, this);
      header_ = nullptr;
      headerProc_ = nullptr;
      hotHeaderItem_ = -1;
      return;
    case WM_NCHITTEST:
      if (ComponentState().Contains(csDesigning)) {
        m.Result = HTTRANSPARENT;
        return;
      }
      break;
    case WM_MOUSEMOVE:
      if (ThemesOn() && !headerPressed_) {
        HDHITTESTINFO hit{};
        hit.pt = POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
        hotHeaderItem_ = static_cast<int>(::SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        InvalidateRect(header, nullptr, FALSE);
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, header, 0};
        TrackMouseEvent(&track);
      }
      break;
    case WM_LBUTTONDOWN:
      headerPressed_ = true;
      break;
    case WM_LBUTTONUP:
      headerPressed_ = false;
      break;
    case WM_MOUSELEAVE:
      if (ThemesOn()) {
        hotHeaderItem_ = -1;
        InvalidateRect(header, nullptr, TRUE);
      }
      break;
  }
  pass();
}

void TCkCustomListView::InvalidateHeader(bool erase) {
  if (header_) InvalidateRect(header_, nullptr, erase ? TRUE : FALSE);
}

void TCkCustomListView::InvalidateHeaderItem(int index) {
  if (!header_ || index < 0) return;
  RECT r{};
  if (::SendMessageW(header_, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)))
    InvalidateRect(header_, &r, TRUE);
}

void TCkCustomListView::RefreshHeaderFormats() {
  if (!HandleAllocated() || ViewStyle() != vsReport || refreshingFormats_ > 0) return;
  HWND header = header_ ? header_ : HeaderHandle();
  if (!header) return;
  {
    ++refreshingFormats_;
    auto done = kit::OnExit([this] { --refreshingFormats_; });
    int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = count - 1; i >= 0; --i) {
      HDITEMW item{};
      item.mask = HDI_FORMAT;
      ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      int format = item.fmt & HDF_JUSTIFYMASK;
      if (sortDisplayMode_ != hsdmNone) {
        format |= HDF_OWNERDRAW;
      } else {
        format |= HDF_STRING;
        if (i < Columns()->Count() && Columns()->Items(i)->ImageIndex() >= 0 && SmallImages()) format |= HDF_IMAGE;
      }
      item.fmt = format;
      ::SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
  }
  InvalidateRect(header, nullptr, TRUE);
}

void TCkCustomListView::HeaderNotify(TMessage& m) {
  UINT code = reinterpret_cast<NMHDR*>(m.LParam)->code;
  if (EitherCode(code, HDN_ITEMCLICKA, HDN_ITEMCLICKW)) InvalidateHeader(true);
  inherited::WndProc(m);
  if (EitherCode(code, HDN_BEGINTRACKA, HDN_BEGINTRACKW) || EitherCode(code, HDN_ENDTRACKA, HDN_ENDTRACKW) ||
      EitherCode(code, HDN_ITEMCHANGEDA, HDN_ITEMCHANGEDW)) {
    RefreshHeaderFormats();
    if (FrameVisible()) Invalidate();
  }
  if (EitherCode(code, HDN_ENDTRACKA, HDN_ENDTRACKW) || EitherCode(code, HDN_DIVIDERDBLCLICKA, HDN_DIVIDERDBLCLICKW))
    FitLastColumn();
}

void TCkCustomListView::ResetHotHeader() {
  if (ViewStyle() != vsReport || !ThemesOn()) return;
  hotHeaderItem_ = -1;
  InvalidateHeader(false);
}

// --- header drawing -----------------------------------------------------------------

void TCkCustomListView::DrawHeaderItem(TMessage& m) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  m.Result = 1;
  kit::SavedDC saved(item->hDC);
  headerCanvas_.SetHandle(item->hDC);
  auto done = kit::OnExit([this] { headerCanvas_.SetHandle(nullptr); });
  DrawHeader(&headerCanvas_, static_cast<int>(item->itemID),
             TRect{item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom});
}

void TCkCustomListView::DrawHeader(TCanvas* canvas, int index, TRect r) {
  TCanvas& c = *canvas;
  bool themed = ThemesOn();
  int columnWidth = r.Width();
  c.Font().Assign(Font());
  c.Font().SetColor(clBtnText);
  c.Brush().SetStyle(bsSolid);
  c.Brush().SetColor(clBtnFace);
  if (!themed) {
    c.FillRect(r);
    r = TRect{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
  }
  if (!headerDefaultDrawing_) {
    if (OnDrawHeader) OnDrawHeader(this, canvas, index, r);
    return;
  }
  TRect t = r;
  if (themed) {
    int state = index == hotHeaderItem_ ? (headerPressed_ ? HIS_PRESSED : HIS_HOT) : HIS_NORMAL;
    ThemeServices().DrawElement(c.Handle(), L"HEADER", HP_HEADERITEM, state, r);
    t = TRect{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
  }
  t.Left += 4;
  t.Right -= 4;
  c.IntersectClipRect(r);

  char caption[256] = {};
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_FMT;
  column.pszText = caption;
  column.cchTextMax = sizeof(caption) - 1;
  ::SendMessageA(Handle(), LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
  int justify = column.fmt & LVCFMT_JUSTIFYMASK;
  UINT align = justify == LVCFMT_RIGHT ? DT_RIGHT : justify == LVCFMT_CENTER ? DT_CENTER : DT_LEFT;
  bool isSortColumn = index == sortColumn_;
  std::string text = caption;

  auto drawText = [&](TRect& rect, bool measure) {
    if (index < Columns()->Count() && Columns()->Items(index)->ImageIndex() >= 0 && SmallImages()) {
      if (!measure) SmallImages()->Draw(c, rect.Left, rect.Top, Columns()->Items(index)->ImageIndex());
      rect.Left += SmallImages()->Width() + 4;
    }
    c.Brush().SetStyle(themed ? bsClear : bsSolid);
    c.Brush().SetColor(clBtnFace);
    if (measure)
      c.DrawText(text, rect, DT_CALCRECT | DT_SINGLELINE | DT_RIGHT | DT_END_ELLIPSIS);
    else
      c.DrawText(text, rect, align | DT_SINGLELINE | DT_END_ELLIPSIS);
  };
  auto drawArrow = [&](const TRect& a) {
    if (!isSortColumn || columnWidth <= 2 * a.Width()) return;
    int h = (a.Bottom - a.Top) * 3 / 4;
    int w = 2 * h - 1;
    int x = a.Left, y = a.Bottom - h;
    c.Pen().SetColor(clBtnShadow);
    c.Pen().SetStyle(psSolid);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clBtnShadow);
    if (sortDirection_ == lvsdDescending) {
      TPoint p[] = {{x, y}, {x + w - 1, y}, {x + w / 2, y + h - 1}};
      c.Polygon(p);
    } else {
      TPoint p[] = {{x + w / 2, y}, {x, y + h - 1}, {x + w - 1, y + h - 1}};
      c.Polygon(p);
    }
  };

  switch (sortDisplayMode_) {
    case hsdmNone:
      drawText(t, false);
      break;
    case hsdmLeftAlign:
      if (isSortColumn && columnWidth > 15) {
        TRect a = ArrowRect(t);
        drawArrow(a);
        t.Left = a.Right + 5;
      }
      drawText(t, false);
      break;
    case hsdmRightOfText:
      if (align == DT_LEFT) {
        TRect drawn = t;
        drawText(drawn, false);
        drawText(t, true);
        t = Shifted(t, t.Width() + 5);
        drawArrow(ArrowRect(t));
      } else if (isSortColumn) {
        t.Bottom = t.Top + c.TextHeight(text);
        TRect a = ArrowRect(t);
        a = Shifted(a, t.Width() - a.Width() - 5);
        drawArrow(a);
        if (align == DT_RIGHT) {
          t.Right = a.Left - 5;
        } else {
          t.Left += a.Width() + 5;
          t.Right -= a.Width() + 5;
        }
        drawText(t, false);
      } else {
        drawText(t, false);
      }
      break;
    case hsdmRightAlign: {
      TRect a = ArrowRect(t);
      a = Shifted(a, t.Width() - a.Width() - 5);
      drawArrow(a);
      if (isSortColumn) t.Right = a.Left - 5;
      drawText(t, false);
      break;
    }
  }
}

// --- context menus ------------------------------------------------------------------

TPoint TCkCustomListView::IconCentre(TListItem* item) {
  TRect r = item->DisplayRect(drIcon);
  return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

void TCkCustomListView::ItemContextMenu(TPoint pos) {
  TPopupMenu* menu = PopupMenu();
  if (OnItemContextMenu) OnItemContextMenu(this, ItemFocused(), pos, menu);
  menuHandled_ = true;
  if (!menu) return;
  menu->SetPopupComponent(this);
  TPoint screen = ClientToScreen(pos);
  menu->Popup(screen.X, screen.Y);
}

void TCkCustomListView::DefaultPopup(TPoint pos) {
  bool handled = false;
  if (OnContextPopup) OnContextPopup(this, pos, handled);
  TPopupMenu* menu = PopupMenu();
  if (handled || !menu || !menu->AutoPopup()) return;
  Perform(WM_CANCELMODE);
  menu->SetPopupComponent(this);
  TPoint screen = ClientToScreen(pos);
  menu->Popup(screen.X, screen.Y);
}

void TCkCustomListView::ShowContextMenu(TPoint pos) {
  TListItem* focused = ItemFocused();
  if (!focused || rightClicked_) {
    if (rightClicked_) {
      ItemContextMenu(pos);
    } else {
      DefaultPopup(pos);
      menuHandled_ = true;
    }
    return;
  }
  if (focused->Selected())
    ItemContextMenu(IconCentre(focused));
  else if (TListItem* selected = Selected())
    ItemContextMenu(IconCentre(selected));
  else
    DefaultPopup(pos);
}

void TCkCustomListView::ContextMenuMessage(TMessage& m) {
  if (ComponentState().Contains(csDesigning) || menuHandled_ || SelCount() == 0 || !ItemFocused()) return;
  TPoint at = PointFromLParam(m.LParam);
  if (at.X == -1 && at.Y == -1)
    ShowContextMenu({0, 0});
  else
    ItemContextMenu(ScreenToClient(at));
}

void TCkCustomListView::RightButtonUp(TMessage& m) {
  auto done = kit::OnExit([this] { menuHandled_ = false; });
  TPopupMenu* menu = PopupMenu();
  if (menuHandled_ && menu) {
    // No second menu from the release after the one already shown.
    SetPopupMenu(nullptr);
    auto restore = kit::OnExit([this, menu] { SetPopupMenu(menu); });
    inherited::WndProc(m);
  } else {
    inherited::WndProc(m);
  }
}

void TCkCustomListView::KeyDown(WORD& key, TShiftState shift) {
  bool appsKey = key == VK_APPS && shift.Bits() == 0;
  bool shiftF10 = key == VK_F10 && shift == TShiftState{ssShift};
  if (appsKey || shiftF10) {
    key = 0;
    ShowContextMenu({0, 0});
  }
  inherited::KeyDown(key, shift);
}

// --- check boxes, editing, drawing --------------------------------------------------

bool TCkCustomListView::CanChangeCheckState(TListItem* item, bool toBeChecked) {
  bool allow = true;
  if (OnCheckStateChanging) OnCheckStateChanging(this, item, toBeChecked, allow);
  return allow;
}

void TCkCustomListView::CheckStateChanged(TListItem* item) {
  if (OnCheckStateChange) OnCheckStateChange(this, item);
}

bool TCkCustomListView::IsCustomDrawn(TCustomDrawTarget target, TCustomDrawStage stage) {
  if (target == dtItem && stage == cdPrePaint && !Enabled() && !ComponentState().Contains(csDesigning))
    return true;
  return inherited::IsCustomDrawn(target, stage);
}

bool TCkCustomListView::CustomDrawItem(TListItem* item, TCustomDrawState state, TCustomDrawStage stage) {
  if (stage == cdPrePaint && !Enabled() && !ComponentState().Contains(csDesigning)) {
    Canvas()->Brush().SetColor(clNone);
    Canvas()->Brush().SetColor(DisabledColor());
  }
  return inherited::CustomDrawItem(item, state, stage);
}

void TCkCustomListView::CNNotify(TMessage& m) {
  auto* header = reinterpret_cast<NMHDR*>(m.LParam);
  UINT code = header->code;
  if (EitherCode(code, LVN_GETINFOTIPA, LVN_GETINFOTIPW)) {
    // No system tooltip: item hints come from OnInfoTip.
    auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(m.LParam);
    if (tip->pszText && tip->cchTextMax > 0) {
      if (code == LVN_GETINFOTIPW)
        reinterpret_cast<wchar_t*>(tip->pszText)[0] = 0;
      else
        tip->pszText[0] = 0;
    }
    m.Result = 0;
    return;
  }
  if (EitherCode(code, LVN_BEGINLABELEDITA, LVN_BEGINLABELEDITW) && RowSelect() && ViewStyle() == vsReport &&
      !editOnRowClick_) {
    int index = reinterpret_cast<NMLVDISPINFOA*>(m.LParam)->item.iItem;
    TListItem* item = index >= 0 && index < Items()->Count() ? Items()->Item(index) : nullptr;
    POINT cursor;
    GetCursorPos(&cursor);
    bool onLabel = item && item->DisplayRect(drLabel).Contains(ScreenToClient({cursor.x, cursor.y}));
    m.Result = onLabel && CanEdit(item) ? 0 : 1;
    return;
  }
  if (code == LVN_ITEMCHANGING || code == LVN_ITEMCHANGED) {
    inherited::CNNotify(m);
    auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
    if (!Checkboxes() || !IsCheckChange(nm) || nm->iItem >= Items()->Count()) return;
    TListItem* item = Items()->Item(nm->iItem);
    if (code == LVN_ITEMCHANGING) {
      if (!CanChangeCheckState(item, (nm->uNewState & LVIS_STATEIMAGEMASK) == 0x2000)) m.Result = 1;
    } else {
      CheckStateChanged(item);
    }
    return;
  }
  if (code == static_cast<UINT>(NM_RCLICK)) {
    POINT cursor;
    GetCursorPos(&cursor);
    TPoint client = ScreenToClient({cursor.x, cursor.y});
    LVHITTESTINFO hit{};
    hit.pt = POINT{client.X, client.Y};
    int index = static_cast<int>(::SendMessageA(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (index >= 0 && (hit.flags & LVHT_ONITEM)) rightClicked_ = true;
    auto done = kit::OnExit([this] { rightClicked_ = false; });
    ShowContextMenu(client);
  }
  inherited::CNNotify(m);
}

// --- pointer ------------------------------------------------------------------------

// Fixed steps a wheel line, or the visible rows for the system's "one page
// a notch"; the wheel events do not fire.
void TCkCustomListView::WheelScroll(int direction) {
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const int step = ViewStyle() == vsIcon ? 32 : 16;
  int pixels = 0;
  if (lines == WHEEL_PAGESCROLL) {
    // The rows that show whole in a report, the client height otherwise.
    pixels = ClientHeight();
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    const auto rows = static_cast<int>(::SendMessageA(Handle(), LVM_GETCOUNTPERPAGE, 0, 0));
    if (ViewStyle() == vsReport && rows > 0 &&
        ::SendMessageA(Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)))
      pixels = rows * static_cast<int>(row.bottom - row.top);
    pixels = std::max(pixels, step);
  } else {
    // Any count the system may hold, without overflow.
    pixels = static_cast<int>(std::min<UINT>(lines, INT_MAX / 32)) * step;
  }
  Scroll(0, direction * pixels);
}

bool TCkCustomListView::DoMouseWheelDown(TShiftState, TPoint) {
  WheelScroll(1);
  return true;
}

bool TCkCustomListView::DoMouseWheelUp(TShiftState, TPoint) {
  WheelScroll(-1);
  return true;
}

void TCkCustomListView::PointerOver() {
  ResetHotHeader();
  UpdateItemHint();
}

void TCkCustomListView::PointerGone() {
  ResetHotHeader();
  itemHint_.Hide();
}

void TCkCustomListView::UpdateItemHint() {
  if (!OnInfoTip || !HandleAllocated()) return;
  POINT cursor;
  GetCursorPos(&cursor);
  TPoint client = ScreenToClient({cursor.x, cursor.y});
  TListItem* item = GetItemAt(client.X, client.Y);
  if (!item) {
    itemHint_.Hide();
    return;
  }
  std::string text = item->Caption();
  OnInfoTip(this, item, text);
  if (ComponentState().Contains(csDesigning) || !Application || !Application->Active()) {
    itemHint_.Hide();
    return;
  }
  itemHint_.SetFont(Font());
  TRect hint = itemHint_.Measure(text);
  TRect bounds = item->DisplayRect(drBounds);
  TPoint origin = ClientToScreen({bounds.Left, bounds.Top});
  itemHint_.ShowAt({origin.X + 5, origin.Y + bounds.Height() - 3}, hint, text);
}

void TCkCustomListView::RedrawFrame() {
  if (ComponentState().Contains(csLoading)) return;
  inherited::RedrawFrame();
}

// --- messages -----------------------------------------------------------------------

void TCkCustomListView::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NOTIFY:
      if (header_ && reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom == header_) {
        HeaderNotify(m);
        return;
      }
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (item->CtlType == ODT_HEADER && header_ && item->hwndItem == header_) {
        DrawHeaderItem(m);
        return;
      }
      break;
    }
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) == WM_CREATE) {
        inherited::WndProc(m);
        HookHeader();
        RefreshHeaderFormats();
        return;
      }
      break;
    case WM_REFRESHHEADER:
      RefreshHeaderFormats();
      return;
    case WM_CONTEXTMENU:
      ContextMenuMessage(m);
      return;
    case WM_RBUTTONUP:
      RightButtonUp(m);
      return;
    case WM_SYSCOLORCHANGE:
    case CM_SYSCOLORCHANGE:
      inherited::WndProc(m);
      if ((Color() & kSystemColorFlag) == kSystemColorFlag) ColorValueChanged();
      return;
  }
  inherited::WndProc(m);
}

}  // namespace ck
