// The list view and the hot-key edit.
#include "gui/ComCtrls.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "ControlsInternal.h"
#include "gui/ImageList.h"

namespace gui {

namespace {

const TEnumInfo kViewStyleInfo{"TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}};
const TEnumInfo kModifierInfo{"THKModifier", {"hkShift", "hkCtrl", "hkAlt", "hkExt"}};
const TEnumInfo kInvalidKeyInfo{"THKInvalidKey",
                                {"hcNone", "hcShift", "hcCtrl", "hcAlt", "hcShiftCtrl", "hcShiftAlt", "hcCtrlAlt",
                                 "hcShiftCtrlAlt"}};

// Copies text into a notification's buffer, 8-bit or UTF-16.
void CopyText(const std::string& text, void* buffer, int size, bool wide) {
  if (!buffer || size <= 0) return;
  if (wide) {
    auto* out = static_cast<wchar_t*>(buffer);
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), out, size - 1);
    out[std::max(n, 0)] = 0;
  } else {
    auto* out = static_cast<char*>(buffer);
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), out);
    out[n] = 0;
  }
}

std::string FromWide(const wchar_t* text) {
  if (!text) return "";
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(std::max(n, 1)), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(std::strlen(out.c_str()));
  return out;
}

TCustomDrawState DrawState(UINT state) {
  TCustomDrawState s;
  const std::pair<UINT, TCustomDrawStateFlag> map[] = {
      {CDIS_SELECTED, cdsSelected}, {CDIS_GRAYED, cdsGrayed}, {CDIS_DISABLED, cdsDisabled},
      {CDIS_CHECKED, cdsChecked},   {CDIS_FOCUS, cdsFocused}, {CDIS_DEFAULT, cdsDefault},
      {CDIS_HOT, cdsHot},           {CDIS_MARKED, cdsMarked}, {CDIS_INDETERMINATE, cdsIndeterminate}};
  for (const auto& [bit, flag] : map)
    if (state & bit) s.Include(flag);
  return s;
}

}  // namespace

// --- columns -------------------------------------------------------------------------

GUI_DEFINE_CLASS(TListColumn) {
  c.String("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
  c.Integer("Width", &TListColumn::Width, &TListColumn::SetWidth, 50);
  c.Enumeration("Alignment", AlignmentInfo(), &TListColumn::Alignment, &TListColumn::SetAlignment, taLeftJustify);
  c.Integer("ImageIndex", &TListColumn::ImageIndex, &TListColumn::SetImageIndex, -1);
}

int TListColumn::Index() const {
  const auto& list = owner_.columns_.columns_;
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == this) return static_cast<int>(i);
  return -1;
}

void TListColumn::Apply() const {
  HWND w = owner_.Window();
  if (!w) return;
  static const int kFormat[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
  LVCOLUMNA c{};
  c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  c.pszText = const_cast<char*>(caption_.c_str());
  c.cx = width_;
  c.fmt = Index() == 0 ? LVCFMT_LEFT : kFormat[alignment_];
  if (imageIndex_ >= 0) {
    c.mask |= LVCF_IMAGE;
    c.fmt |= LVCFMT_IMAGE;
    c.iImage = imageIndex_;
  }
  ::SendMessageA(w, LVM_SETCOLUMNA, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&c));
}

void TListColumn::SetCaption(const std::string& value) {
  caption_ = value;
  Apply();
}

int TListColumn::Width() const {
  if (HWND w = owner_.Window()) return static_cast<int>(::SendMessageA(w, LVM_GETCOLUMNWIDTH, Index(), 0));
  return width_;
}

void TListColumn::SetWidth(int value) {
  width_ = value;
  if (HWND w = owner_.Window()) ::SendMessageA(w, LVM_SETCOLUMNWIDTH, Index(), MAKELPARAM(value, 0));
}

void TListColumn::SetAlignment(TAlignment value) {
  alignment_ = value;
  Apply();
}

void TListColumn::SetImageIndex(int value) {
  imageIndex_ = value;
  Apply();
}

TListColumn* TListColumns::Add() {
  columns_.push_back(std::unique_ptr<TListColumn>(new TListColumn(owner_)));
  TListColumn* column = columns_.back().get();
  owner_.InsertColumnInWindow(Count() - 1, column);
  return column;
}

void TListColumns::Delete(int index) {
  if (index < 0 || index >= Count()) TStrings::IndexError(index);
  if (HWND w = owner_.Window()) ::SendMessageA(w, LVM_DELETECOLUMN, static_cast<WPARAM>(index), 0);
  columns_.erase(columns_.begin() + index);
}

void TListColumns::Clear() {
  while (Count() > 0) Delete(Count() - 1);
}

// --- items ---------------------------------------------------------------------------

TListItem::TListItem(TCustomListView& owner) : owner_(owner), subItems_(std::make_unique<TStringList>()) {
  subItems_->OnChange = [this](TObject*) { Update(); };
}

TListItem::~TListItem() = default;

int TListItem::Index() const { return owner_.items_.IndexOf(this); }

void TListItem::SetCaption(const std::string& value) {
  caption_ = value;
  Update();
}

void TListItem::SetImageIndex(int value) {
  imageIndex_ = value;
  if (HWND w = owner_.Window()) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = Index();
    item.iImage = value;
    ::SendMessageA(w, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void TListItem::SetState(UINT mask, UINT state) {
  LVITEMA item{};
  item.stateMask = mask;
  item.state = state;
  ::SendMessageA(owner_.Window(), LVM_SETITEMSTATE, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&item));
}

bool TListItem::Selected() const {
  HWND w = owner_.Window();
  if (!w) return selected_;
  return ::SendMessageA(w, LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), LVIS_SELECTED) != 0;
}

void TListItem::SetSelected(bool value) {
  if (owner_.Window())
    SetState(LVIS_SELECTED, value ? LVIS_SELECTED : 0);
  else
    selected_ = value;
}

bool TListItem::Focused() const {
  HWND w = owner_.Window();
  if (!w) return focused_;
  return ::SendMessageA(w, LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), LVIS_FOCUSED) != 0;
}

void TListItem::SetFocused(bool value) {
  if (owner_.Window())
    SetState(LVIS_FOCUSED, value ? LVIS_FOCUSED : 0);
  else
    focused_ = value;
}

bool TListItem::Checked() const {
  HWND w = owner_.Window();
  if (!w) return checked_;
  LRESULT state = ::SendMessageA(w, LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), LVIS_STATEIMAGEMASK);
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void TListItem::SetChecked(bool value) {
  if (owner_.Window())
    SetState(LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(value ? 2 : 1));
  else
    checked_ = value;
}

TRect TListItem::DisplayRect(TDisplayCode code) const {
  static const int kCodes[] = {LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL, LVIR_SELECTBOUNDS};
  RECT r{kCodes[code], 0, 0, 0};
  HWND w = owner_.Window();
  if (!w || !::SendMessageA(w, LVM_GETITEMRECT, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&r)))
    return TRect{};
  return Rect(r.left, r.top, r.right, r.bottom);
}

void TListItem::MakeVisible(bool partialOk) {
  if (HWND w = owner_.Window()) ::SendMessageA(w, LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index()), partialOk);
}

void TListItem::Update() {
  if (HWND w = owner_.Window()) ::SendMessageA(w, LVM_UPDATE, static_cast<WPARAM>(Index()), 0);
}

void TListItem::Delete() { owner_.items_.Delete(Index()); }

int TListItems::IndexOf(const TListItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TListItem* TListItems::Insert(int index) {
  index = std::clamp(index, 0, Count());
  auto* item = new TListItem(owner_);
  items_.insert(items_.begin() + index, item);
  owner_.InsertItemInWindow(index, item);
  if (owner_.OnInsert) owner_.OnInsert(&owner_, item);
  return item;
}

void TListItems::Delete(int index) {
  if (index < 0 || index >= Count()) TStrings::IndexError(index);
  TListItem* item = items_[static_cast<std::size_t>(index)];
  if (owner_.OnDeletion && !owner_.destroying_) owner_.OnDeletion(&owner_, item);
  if (HWND w = owner_.Window()) ::SendMessageA(w, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
  items_.erase(items_.begin() + index);
  delete item;
}

void TListItems::Clear() {
  if (owner_.OnDeletion && !owner_.destroying_)
    for (TListItem* item : std::vector<TListItem*>(items_)) owner_.OnDeletion(&owner_, item);
  if (HWND w = owner_.Window()) ::SendMessageA(w, LVM_DELETEALLITEMS, 0, 0);
  std::vector<TListItem*> gone;
  gone.swap(items_);
  for (TListItem* item : gone) delete item;
}

void TListItems::BeginUpdate() {
  if (updates_++ == 0)
    if (HWND w = owner_.Window()) ::SendMessageA(w, WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (updates_ > 0 && --updates_ == 0)
    if (HWND w = owner_.Window()) {
      ::SendMessageA(w, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(w, nullptr, TRUE);
    }
}

// --- TCustomListView -----------------------------------------------------------------

GUI_DEFINE_CLASS(TCustomListView) {
  c.Protected();
  c.Enumeration("ViewStyle", kViewStyleInfo, &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle, vsIcon);
  c.Boolean("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect, false);
  c.Boolean("GridLines", &TCustomListView::GridLines, &TCustomListView::SetGridLines, false);
  c.Boolean("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly, false);
  c.Boolean("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection, true);
  c.Boolean("Checkboxes", &TCustomListView::Checkboxes, &TCustomListView::SetCheckboxes, false);
  c.Boolean("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect, false);
  c.Boolean("ShowColumnHeaders", &TCustomListView::ShowColumnHeaders, &TCustomListView::SetShowColumnHeaders, true);
  c.Boolean("ColumnClick", &TCustomListView::ColumnClick, &TCustomListView::SetColumnClick, true);
  c.Boolean("HotTrack", &TCustomListView::HotTrack, &TCustomListView::SetHotTrack, false);
  c.Enumeration("BorderStyle", BorderStyleInfo(), &TCustomListView::BorderStyle, &TCustomListView::SetBorderStyle,
                bsSingle);
  c.Component("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages);
  c.Collection("Columns", &TCustomListView::Columns);
  c.Event("OnSelectItem", &TCustomListView::OnSelectItem);
  c.Event("OnColumnClick", &TCustomListView::OnColumnClick);
  c.Event("OnDeletion", &TCustomListView::OnDeletion);
  c.Event("OnInsert", &TCustomListView::OnInsert);
  c.Event("OnCompare", &TCustomListView::OnCompare);
  c.Event("OnCustomDraw", &TCustomListView::OnCustomDraw);
  c.Event("OnCustomDrawItem", &TCustomListView::OnCustomDrawItem);
  c.Event("OnCustomDrawSubItem", &TCustomListView::OnCustomDrawSubItem);
  c.Event("OnInfoTip", &TCustomListView::OnInfoTip);
  c.Event("OnEditing", &TCustomListView::OnEditing);
  c.Event("OnEdited", &TCustomListView::OnEdited);
}

GUI_DEFINE_CLASS(TListView) {
  PublishWindowed(c);
  for (const char* name :
       {"ViewStyle", "RowSelect", "GridLines", "ReadOnly", "HideSelection", "Checkboxes", "MultiSelect",
        "ShowColumnHeaders", "ColumnClick", "HotTrack", "BorderStyle", "SmallImages", "Columns", "OnSelectItem",
        "OnColumnClick", "OnDeletion", "OnInsert", "OnCompare", "OnCustomDraw", "OnCustomDrawItem",
        "OnCustomDrawSubItem", "OnInfoTip", "OnEditing", "OnEdited"})
    c.Publish(name);
  c.Publish("TabStop", 1);
  c.Publish("ParentColor", 0);
}

TCustomListView::TCustomListView(TComponent* owner) : TWinControl(owner), columns_(*this), items_(*this) {
  controlStyle_ = {csDoubleClicks};
  SetBounds(0, 0, 250, 150);
  SetTabStop(true);
  SetColor(clWindow);
}

TCustomListView::~TCustomListView() {
  destroying_ = true;
  if (canvas_) canvas_->FreeHandle();
  DestroyHandle();  // while the items it asks about still exist
  items_.Clear();
}

TCanvas* TCustomListView::Canvas() {
  if (!canvas_) canvas_ = detail::MakeCanvas(*this);
  return canvas_.get();
}

void TCustomListView::CreateParams(TCreateParams& p) {
  detail::InitCommonControlsOnce();
  inherited::CreateParams(p);
  CreateSubClass(p, "SysListView32");
  static const DWORD kView[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  p.Style |= kView[viewStyle_] | LVS_SHAREIMAGELISTS;
  if (!hideSelection_) p.Style |= LVS_SHOWSELALWAYS;
  if (!readOnly_) p.Style |= LVS_EDITLABELS;
  if (!multiSelect_) p.Style |= LVS_SINGLESEL;
  if (!showColumnHeaders_) p.Style |= LVS_NOCOLUMNHEADER;
  if (!columnClick_) p.Style |= LVS_NOSORTHEADER;
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListView::CreateWnd() {
  inherited::CreateWnd();
  ApplyExtendedStyle();
  ApplyColors();
  if (smallImages_)
    ::SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_->Handle()));
  for (int i = 0; i < columns_.Count(); ++i) InsertColumnInWindow(i, columns_.Items(i));
  for (int i = 0; i < items_.Count(); ++i) InsertItemInWindow(i, items_.Item(i));
}

void TCustomListView::DestroyWnd() {
  if (HandleAllocated()) {
    for (auto& column : columns_.columns_) column->width_ = column->Width();
    for (TListItem* item : items_.items_) {
      bool selected = item->Selected(), focused = item->Focused(), checked = item->Checked();
      item->selected_ = selected;
      item->focused_ = focused;
      item->checked_ = checked;
    }
  }
  inherited::DestroyWnd();
}

void TCustomListView::InsertColumnInWindow(int index, TListColumn* column) {
  HWND w = Window();
  if (!w) return;
  LVCOLUMNA c{};
  c.mask = LVCF_TEXT | LVCF_WIDTH;
  c.pszText = const_cast<char*>(column->caption_.c_str());
  c.cx = column->width_;
  ::SendMessageA(w, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&c));
  column->Apply();
}

void TCustomListView::InsertItemInWindow(int index, TListItem* item) {
  HWND w = Window();
  if (!w) return;
  LVITEMA lvi{};
  lvi.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE | LVIF_STATE;
  lvi.iItem = index;
  lvi.pszText = LPSTR_TEXTCALLBACKA;
  lvi.iImage = item->imageIndex_;
  lvi.lParam = reinterpret_cast<LPARAM>(item);
  lvi.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  lvi.state = (item->selected_ ? LVIS_SELECTED : 0) | (item->focused_ ? LVIS_FOCUSED : 0);
  if (checkboxes_) {
    lvi.stateMask |= LVIS_STATEIMAGEMASK;
    lvi.state |= INDEXTOSTATEIMAGEMASK(item->checked_ ? 2 : 1);
  }
  ::SendMessageA(w, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lvi));
}

void TCustomListView::ApplyExtendedStyle() {
  HWND w = Window();
  if (!w) return;
  DWORD style = LVS_EX_INFOTIP;
  if (rowSelect_) style |= LVS_EX_FULLROWSELECT;
  if (gridLines_) style |= LVS_EX_GRIDLINES;
  if (checkboxes_) style |= LVS_EX_CHECKBOXES;
  if (hotTrack_) style |= LVS_EX_TRACKSELECT;
  DWORD mask = LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_TRACKSELECT;
  ::SendMessageA(w, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style);
}

void TCustomListView::ApplyColors() {
  HWND w = Window();
  if (!w) return;
  COLORREF back = ColorToRGB(Color());
  ::SendMessageA(w, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
  ::SendMessageA(w, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(back));
  ::SendMessageA(w, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Font()->Color())));
}

void TCustomListView::SetViewStyle(TViewStyle value) {
  if (value == viewStyle_) return;
  viewStyle_ = value;
  if (HWND w = Window()) {
    static const DWORD kView[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE);
    SetWindowLongPtrA(w, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | kView[value]);
  }
}

void TCustomListView::SetRowSelect(bool value) {
  rowSelect_ = value;
  ApplyExtendedStyle();
}

void TCustomListView::SetGridLines(bool value) {
  gridLines_ = value;
  ApplyExtendedStyle();
}

void TCustomListView::SetCheckboxes(bool value) {
  checkboxes_ = value;
  ApplyExtendedStyle();
}

void TCustomListView::SetHotTrack(bool value) {
  hotTrack_ = value;
  ApplyExtendedStyle();
}

void TCustomListView::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  RecreateWnd();
}

void TCustomListView::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TCustomListView::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  multiSelect_ = value;
  RecreateWnd();
}

void TCustomListView::SetShowColumnHeaders(bool value) {
  if (value == showColumnHeaders_) return;
  showColumnHeaders_ = value;
  RecreateWnd();
}

void TCustomListView::SetColumnClick(bool value) {
  if (value == columnClick_) return;
  columnClick_ = value;
  RecreateWnd();
}

void TCustomListView::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomListView::SetSmallImages(TCustomImageList* value) {
  if (smallImages_ && smallImages_ != value) smallImages_->RemoveFreeNotification(this);
  smallImages_ = value;
  if (value) value->FreeNotification(this);
  if (HWND w = Window())
    ::SendMessageA(w, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(value ? value->Handle() : nullptr));
}

void TCustomListView::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == smallImages_) SetSmallImages(nullptr);
}

TListItem* TCustomListView::Selected() {
  if (HWND w = Window()) {
    int index = static_cast<int>(::SendMessageA(w, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return index >= 0 && index < items_.Count() ? items_.Item(index) : nullptr;
  }
  for (TListItem* item : items_.items_)
    if (item->selected_) return item;
  return nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
  for (TListItem* other : items_.items_)
    if (other != item && other->Selected()) other->SetSelected(false);
  if (item) {
    item->SetSelected(true);
    item->SetFocused(true);
  }
}

TListItem* TCustomListView::ItemFocused() {
  if (HWND w = Window()) {
    int index = static_cast<int>(::SendMessageA(w, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    return index >= 0 && index < items_.Count() ? items_.Item(index) : nullptr;
  }
  for (TListItem* item : items_.items_)
    if (item->focused_) return item;
  return nullptr;
}

int TCustomListView::SelCount() {
  if (HWND w = Window()) return static_cast<int>(::SendMessageA(w, LVM_GETSELECTEDCOUNT, 0, 0));
  return static_cast<int>(std::count_if(items_.items_.begin(), items_.items_.end(),
                                        [](TListItem* item) { return item->selected_; }));
}

TListItem* TCustomListView::GetItemAt(int x, int y) {
  HWND w = Window();
  if (!w) return nullptr;
  LVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  int index = static_cast<int>(::SendMessageA(w, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (index < 0 || index >= items_.Count() || !(hit.flags & LVHT_ONITEM)) return nullptr;
  return items_.Item(index);
}

void TCustomListView::Scroll(int dx, int dy) {
  if (HWND w = Window()) ::SendMessageA(w, LVM_SCROLL, static_cast<WPARAM>(dx), dy);
}

HWND TCustomListView::HeaderHandle() {
  HWND w = Window();
  return w ? reinterpret_cast<HWND>(::SendMessageA(w, LVM_GETHEADER, 0, 0)) : nullptr;
}

namespace {

int CALLBACK ByTargetPosition(LPARAM a, LPARAM b, LPARAM positions) {
  auto& map = *reinterpret_cast<std::map<LPARAM, int>*>(positions);
  return map[a] - map[b];
}

}  // namespace

void TCustomListView::CustomSort(const std::function<int(TListItem*, TListItem*)>& compare) {
  std::stable_sort(items_.items_.begin(), items_.items_.end(),
                   [&](TListItem* a, TListItem* b) { return compare(a, b) < 0; });
  if (HWND w = Window()) {
    // The control takes the order just computed; no code of ours runs
    // inside its sort.
    std::map<LPARAM, int> positions;
    for (int i = 0; i < items_.Count(); ++i) positions[reinterpret_cast<LPARAM>(items_.Item(i))] = i;
    ::SendMessageA(w, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&positions),
                   reinterpret_cast<LPARAM>(&ByTargetPosition));
  }
}

void TCustomListView::AlphaSort() {
  CustomSort([this](TListItem* a, TListItem* b) {
    if (OnCompare) {
      int result = 0;
      OnCompare(this, a, b, 0, result);
      return result;
    }
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a->Caption().c_str(), -1, b->Caption().c_str(), -1) -
           CSTR_EQUAL;
  });
}

void TCustomListView::ColClick(TListColumn* column) {
  if (OnColumnClick) OnColumnClick(this, column);
}

bool TCustomListView::CanEdit(TListItem* item) {
  bool allow = true;
  if (OnEditing) OnEditing(this, item, allow);
  return allow;
}

bool TCustomListView::IsCustomDrawn(TCustomDrawTarget target, TCustomDrawStage stage) {
  if (stage != cdPrePaint) return false;
  switch (target) {
    case dtControl: return static_cast<bool>(OnCustomDraw);
    case dtItem: return static_cast<bool>(OnCustomDrawItem);
    case dtSubItem: return static_cast<bool>(OnCustomDrawSubItem);
  }
  return false;
}

bool TCustomListView::CustomDraw(const TRect& rect, TCustomDrawStage stage) {
  bool defaultDraw = true;
  if (stage == cdPrePaint && OnCustomDraw) OnCustomDraw(this, rect, defaultDraw);
  return defaultDraw;
}

bool TCustomListView::CustomDrawItem(TListItem* item, TCustomDrawState state, TCustomDrawStage stage) {
  bool defaultDraw = true;
  if (stage == cdPrePaint && OnCustomDrawItem) OnCustomDrawItem(this, item, state, defaultDraw);
  return defaultDraw;
}

bool TCustomListView::CustomDrawSubItem(TListItem* item, int subItem, TCustomDrawState state,
                                        TCustomDrawStage stage) {
  bool defaultDraw = true;
  if (stage == cdPrePaint && OnCustomDrawSubItem) OnCustomDrawSubItem(this, item, subItem, state, defaultDraw);
  return defaultDraw;
}

LRESULT TCustomListView::CustomDrawNotify(NMLVCUSTOMDRAW* draw) {
  DWORD stage = draw->nmcd.dwDrawStage;
  HDC dc = draw->nmcd.hdc;
  Canvas();
  LRESULT result = CDRF_DODEFAULT;
  bool defaultDraw = true;
  if (stage == CDDS_PREPAINT || stage == CDDS_POSTPAINT) {
    TCustomDrawStage s = stage == CDDS_PREPAINT ? cdPrePaint : cdPostPaint;
    if (IsCustomDrawn(dtControl, s)) {
      TRect r{draw->nmcd.rc.left, draw->nmcd.rc.top, draw->nmcd.rc.right, draw->nmcd.rc.bottom};
      detail::PaintOnCanvas(*this, *canvas_, dc, [&] { defaultDraw = CustomDraw(r, s); });
      if (!defaultDraw) return CDRF_SKIPDEFAULT;
    }
    if (stage == CDDS_PREPAINT) {
      if (IsCustomDrawn(dtItem, cdPrePaint) || IsCustomDrawn(dtSubItem, cdPrePaint)) result |= CDRF_NOTIFYITEMDRAW;
      if (IsCustomDrawn(dtControl, cdPostPaint)) result |= CDRF_NOTIFYPOSTPAINT;
    }
    return result;
  }
  bool subItem = (stage & CDDS_SUBITEM) != 0;
  if ((stage & ~CDDS_SUBITEM) != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  auto* item = reinterpret_cast<TListItem*>(draw->nmcd.lItemlParam);
  if (!item || items_.IndexOf(item) < 0) return CDRF_DODEFAULT;
  TCustomDrawState state = DrawState(draw->nmcd.uItemState);
  TCustomDrawTarget target = subItem ? dtSubItem : dtItem;
  if (!IsCustomDrawn(target, cdPrePaint)) return subItem ? CDRF_DODEFAULT : CDRF_NOTIFYSUBITEMDRAW;
  LOGFONTA before = Font()->ToLogFont();
  detail::PaintOnCanvas(*this, *canvas_, dc, [&] {
    canvas_->Font().Assign(Font());
    canvas_->Brush().SetStyle(bsSolid);
    canvas_->Brush().SetColor(Color());
    defaultDraw = subItem ? CustomDrawSubItem(item, draw->iSubItem, state, cdPrePaint)
                          : CustomDrawItem(item, state, cdPrePaint);
  });
  if (!defaultDraw) return CDRF_SKIPDEFAULT;
  draw->clrText = ColorToRGB(canvas_->Font().Color());
  TColor back = canvas_->Brush().Color();
  draw->clrTextBk = back == clNone || canvas_->Brush().Style() == bsClear ? CLR_NONE : ColorToRGB(back);
  LOGFONTA after = canvas_->Font().ToLogFont();
  if (std::memcmp(&before, &after, sizeof(before)) != 0) {
    // Left selected on purpose: CDRF_NEWFONT tells the control to draw with
    // it, and the control restores its own font after the item.
    SelectObject(dc, canvas_->Font().Handle());
    result |= CDRF_NEWFONT;
  }
  if (!subItem && IsCustomDrawn(dtSubItem, cdPrePaint)) result |= CDRF_NOTIFYSUBITEMDRAW;
  return result;
}

void TCustomListView::CNNotify(TMessage& m) {
  m.Result = 0;
  switch (reinterpret_cast<NMHDR*>(m.LParam)->code) {
    case LVN_GETDISPINFOA: LVNGetDispInfo(m, false); return;
    case LVN_GETDISPINFOW: LVNGetDispInfo(m, true); return;
    case LVN_ITEMCHANGED: LVNItemChanged(m); return;
    case LVN_COLUMNCLICK: LVNColumnClick(m); return;
    case NM_CUSTOMDRAW: m.Result = CustomDrawNotify(reinterpret_cast<NMLVCUSTOMDRAW*>(m.LParam)); return;
    case LVN_GETINFOTIPA: LVNGetInfoTip(m, false); return;
    case LVN_GETINFOTIPW: LVNGetInfoTip(m, true); return;
    case LVN_BEGINLABELEDITA: LVNBeginLabelEdit(m); return;
    case LVN_BEGINLABELEDITW: LVNBeginLabelEdit(m); return;
    case LVN_ENDLABELEDITA: LVNEndLabelEdit(m, false); return;
    case LVN_ENDLABELEDITW: LVNEndLabelEdit(m, true); return;
  }
}

// The texts live in the items; the control asks for them as it draws.
void TCustomListView::LVNGetDispInfo(TMessage& m, bool wide) {
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(m.LParam);
  if (!(info->item.mask & LVIF_TEXT)) return;
  auto* item = reinterpret_cast<TListItem*>(info->item.lParam);
  if (!item || items_.IndexOf(item) < 0) {
    if (info->item.iItem < 0 || info->item.iItem >= items_.Count()) return;
    item = items_.Item(info->item.iItem);
  }
  std::string text;
  int sub = info->item.iSubItem;
  if (sub == 0)
    text = item->caption_;
  else if (sub - 1 < item->subItems_->Count())
    text = item->subItems_->Strings(sub - 1);
  CopyText(text, info->item.pszText, info->item.cchTextMax, wide);
}

void TCustomListView::LVNItemChanged(TMessage& m) {
  auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
  if (nm->iItem < 0 || !(nm->uChanged & LVIF_STATE) || !((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED)) return;
  auto* item = reinterpret_cast<TListItem*>(nm->lParam);
  if (item && items_.IndexOf(item) >= 0 && OnSelectItem && !destroying_)
    OnSelectItem(this, item, (nm->uNewState & LVIS_SELECTED) != 0);
}

void TCustomListView::LVNColumnClick(TMessage& m) {
  auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
  if (nm->iSubItem >= 0 && nm->iSubItem < columns_.Count()) ColClick(columns_.Items(nm->iSubItem));
}

void TCustomListView::LVNGetInfoTip(TMessage& m, bool wide) {
  auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(m.LParam);
  if (!OnInfoTip || tip->iItem < 0 || tip->iItem >= items_.Count()) return;
  TListItem* item = items_.Item(tip->iItem);
  std::string text = item->caption_;
  OnInfoTip(this, item, text);
  CopyText(text, tip->pszText, tip->cchTextMax, wide);
}

// Result TRUE refuses the edit.
void TCustomListView::LVNBeginLabelEdit(TMessage& m) {
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(m.LParam);
  int index = info->item.iItem;
  m.Result = index >= 0 && index < items_.Count() && CanEdit(items_.Item(index)) ? FALSE : TRUE;
}

void TCustomListView::LVNEndLabelEdit(TMessage& m, bool wide) {
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(m.LParam);
  int index = info->item.iItem;
  if (!info->item.pszText || index < 0 || index >= items_.Count()) return;
  std::string text =
      wide ? FromWide(reinterpret_cast<const wchar_t*>(info->item.pszText)) : std::string(info->item.pszText);
  TListItem* item = items_.Item(index);
  if (OnEdited) OnEdited(this, item, text);
  item->SetCaption(text);
}

void TCustomListView::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: CNNotify(m); return;
    case CM_COLORCHANGED: CMFontOrColorChanged(m); return;
    case CM_FONTCHANGED: CMFontOrColorChanged(m); return;
    case WM_NCDESTROY: if (canvas_) canvas_->FreeHandle(); break;
  }
  inherited::WndProc(m);
}

// A new colour or font reaches the canvas and the control's own colours.
void TCustomListView::CMFontOrColorChanged(TMessage& m) {
  detail::UpdateCanvasTools(*this, canvas_.get(), m.Msg);
  inherited::WndProc(m);
  ApplyColors();
}

// --- THotKey ---------------------------------------------------------------------------

GUI_DEFINE_CLASS(THotKey) {
  c.Integer("HotKey", &THotKey::HotKey, &THotKey::SetHotKey, scAlt | 'A');
  c.SetOf("InvalidKeys", kInvalidKeyInfo, &THotKey::InvalidKeys, &THotKey::SetInvalidKeys, 3);
  c.SetOf("Modifiers", kModifierInfo, &THotKey::Modifiers, &THotKey::SetModifiers, 4);
  c.Event("OnChange", &THotKey::OnChange);
  PublishWindowed(c);
}

THotKey::THotKey(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = {csClickEvents, csDoubleClicks};
  SetBounds(0, 0, 121, 19);
  SetTabStop(true);
  SetColor(clWindow);
}

void THotKey::CreateParams(TCreateParams& p) {
  detail::InitCommonControlsOnce();
  inherited::CreateParams(p);
  CreateSubClass(p, "msctls_hotkey32");
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

namespace {

WORD ToControlValue(TShortCut shortCut) {
  BYTE modifiers = 0;
  if (shortCut & scShift) modifiers |= HOTKEYF_SHIFT;
  if (shortCut & scCtrl) modifiers |= HOTKEYF_CONTROL;
  if (shortCut & scAlt) modifiers |= HOTKEYF_ALT;
  return MAKEWORD(shortCut & 0xFF, modifiers);
}

TShortCut FromControlValue(WORD value) {
  BYTE modifiers = HIBYTE(value);
  TShortCut shortCut = LOBYTE(value);
  if (!shortCut) return 0;
  if (modifiers & HOTKEYF_SHIFT) shortCut |= scShift;
  if (modifiers & HOTKEYF_CONTROL) shortCut |= scCtrl;
  if (modifiers & HOTKEYF_ALT) shortCut |= scAlt;
  return shortCut;
}

}  // namespace

void THotKey::CreateWnd() {
  inherited::CreateWnd();
  ApplyRules();
  ::SendMessageA(Handle(), HKM_SETHOTKEY, ToControlValue(hotKey_), 0);
}

void THotKey::DestroyWnd() {
  if (HandleAllocated()) hotKey_ = HotKey();
  inherited::DestroyWnd();
}

TShortCut THotKey::HotKey() {
  if (!HandleAllocated()) return hotKey_;
  return FromControlValue(static_cast<WORD>(::SendMessageA(Handle(), HKM_GETHOTKEY, 0, 0)));
}

void THotKey::SetHotKey(TShortCut value) {
  hotKey_ = value;
  if (HandleAllocated()) ::SendMessageA(Handle(), HKM_SETHOTKEY, ToControlValue(value), 0);
}

void THotKey::SetInvalidKeys(THKInvalidKeys value) {
  invalidKeys_ = value;
  ApplyRules();
}

void THotKey::SetModifiers(THKModifiers value) {
  modifiers_ = value;
  ApplyRules();
}

void THotKey::ApplyRules() {
  if (!HandleAllocated()) return;
  static const WORD kCombinations[] = {HKCOMB_NONE, HKCOMB_S,  HKCOMB_C,  HKCOMB_A,
                                       HKCOMB_SC,   HKCOMB_SA, HKCOMB_CA, HKCOMB_SCA};
  WORD invalid = 0;
  for (int i = 0; i < 8; ++i)
    if (invalidKeys_.Contains(static_cast<THKInvalidKey>(i))) invalid |= kCombinations[i];
  static const WORD kModifiers[] = {HOTKEYF_SHIFT, HOTKEYF_CONTROL, HOTKEYF_ALT, HOTKEYF_EXT};
  WORD modifiers = 0;
  for (int i = 0; i < 4; ++i)
    if (modifiers_.Contains(static_cast<THKModifier>(i))) modifiers |= kModifiers[i];
  ::SendMessageA(Handle(), HKM_SETRULES, invalid, MAKELPARAM(modifiers, 0));
}

void THotKey::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == EN_CHANGE && OnChange) OnChange(this);
    return;
  }
  inherited::WndProc(m);
}

}  // namespace gui
