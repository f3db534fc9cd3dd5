// The label, the push button, the list box and the edit.
#include "gui/StdCtrls.h"

#include <algorithm>

#include "ControlsInternal.h"
#include "gui/Forms.h"

namespace gui {

namespace {

const TEnumInfo kLayoutInfo{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};
const TEnumInfo kListBoxStyleInfo{"TListBoxStyle",
                                  {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual",
                                   "lbVirtualOwnerDraw"}};
const TEnumInfo kCharCaseInfo{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};

HWND WindowOf(const TWinControl& control) {
  return control.HandleAllocated() ? const_cast<TWinControl&>(control).Handle() : nullptr;
}

}  // namespace

// --- TCustomLabel ---------------------------------------------------------------------

GUI_DEFINE_CLASS(TCustomLabel) {
  c.Protected();
  c.Enumeration("Alignment", AlignmentInfo(), &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, taLeftJustify);
  c.Enumeration("Layout", kLayoutInfo, &TCustomLabel::Layout, &TCustomLabel::SetLayout, tlTop);
  c.Boolean("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, true);
  c.Boolean("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false);
  c.Boolean("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent, false);
  c.Boolean("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true);
  c.Component("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
}

GUI_DEFINE_CLASS(TLabel) {
  PublishCommon(c);
  for (const char* name :
       {"Alignment", "Layout", "AutoSize", "WordWrap", "Transparent", "ShowAccelChar", "FocusControl", "Caption"})
    c.Publish(name);
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ = {csOpaque, csSetCaption, csClickEvents, csDoubleClicks, csCaptureMouse};
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == Transparent()) return;
  if (value)
    controlStyle_.Exclude(csOpaque);
  else
    controlStyle_.Include(csOpaque);
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* value) {
  if (focusControl_ && focusControl_ != value) focusControl_->RemoveFreeNotification(this);
  focusControl_ = value;
  if (value) value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::DoDrawText(TRect& rect, UINT flags) {
  std::string text = GetLabelText();
  if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  TCanvas* canvas = Canvas();
  if (Enabled() || (flags & DT_CALCRECT)) {
    canvas->DrawText(text, rect, flags);
    return;
  }
  TColor color = canvas->Font().Color();
  TRect shifted{rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1};
  canvas->Font().SetColor(clBtnHighlight);
  canvas->DrawText(text, shifted, flags);
  canvas->Font().SetColor(clBtnShadow);
  canvas->DrawText(text, rect, flags);
  canvas->Font().SetColor(color);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  if (!Transparent()) {
    canvas->Brush().SetStyle(bsSolid);
    canvas->Brush().SetColor(Color());
    canvas->FillRect(r);
  }
  canvas->Brush().SetStyle(bsClear);
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | kAlign[alignment_];
  if (layout_ != tlTop) {
    TRect measured = r;
    DoDrawText(measured, flags | DT_CALCRECT);
    int free = r.Height() - measured.Height();
    r.Top += layout_ == tlBottom ? free : free / 2;
  }
  DoDrawText(r, flags);
  canvas->Brush().SetStyle(bsSolid);
}

void TCustomLabel::AdjustBounds() {
  if (ComponentState().Contains(csLoading) || !autoSize_) return;
  TRect r = ClientRect();
  {
    kit::WindowDC screen(nullptr);
    detail::PaintOnCanvas(*this, *static_cast<TControlCanvas*>(Canvas()), screen.Get(), [&] {
      DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
    });
  }
  int x = Left();
  if (alignment_ == taRightJustify) x += Width() - r.Right;
  SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::Loaded() {
  inherited::Loaded();
  AdjustBounds();
}

void TCustomLabel::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED: CMTextChanged(m); return;
    case CM_FONTCHANGED: CMFontChanged(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
  }
  inherited::WndProc(m);
}

void TCustomLabel::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& m) {
  inherited::WndProc(m);
  AdjustBounds();
}

// The accelerator focuses the label's FocusControl.
void TCustomLabel::CMDialogChar(TMessage& m) {
  if (focusControl_ && Enabled() && showAccelChar_ && IsAccel(m.WParam, Caption()) && focusControl_->CanFocus()) {
    focusControl_->SetFocus();
    m.Result = 1;
  }
}

// --- TButton --------------------------------------------------------------------------

GUI_DEFINE_CLASS(TButton) {
  c.Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel, false);
  c.Boolean("Default", &TButton::Default, &TButton::SetDefault, false);
  c.Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, 0, &ModalResultIdents());
  PublishWindowed(c);
  c.Publish("Caption");
  c.Publish("Action");
  c.Publish("TabStop", 1);
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = {csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& p) {
  inherited::CreateParams(p);
  CreateSubClass(p, "BUTTON");
  active_ = default_;
  p.Style |= active_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetButtonStyle(bool isDefault) {
  if (isDefault == active_) return;
  active_ = isDefault;
  if (HandleAllocated())
    ::SendMessageA(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  TCustomForm* form = GetParentForm(this);
  if (HandleAllocated() && form)
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
  else
    active_ = value;
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  inherited::Click();
}

void TButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: CNCommand(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
    case CM_FOCUSCHANGED: CMFocusChanged(m); return;
  }
  inherited::WndProc(m);
}

void TButton::CNCommand(TMessage& m) {
  if (HIWORD(m.WParam) == BN_CLICKED) Click();
}

// Enter clicks the active default button, Esc a cancel button.
void TButton::CMDialogKey(TMessage& m) {
  if (((m.WParam == VK_RETURN && active_) || (m.WParam == VK_ESCAPE && cancel_)) &&
      KeyboardStateToShiftState().Empty() && CanFocus()) {
    Click();
    m.Result = 1;
  }
}

void TButton::CMDialogChar(TMessage& m) {
  if (IsAccel(m.WParam, Caption()) && CanFocus()) {
    Click();
    m.Result = 1;
  }
}

// A focused button is the default one while it has the focus.
void TButton::CMFocusChanged(TMessage& m) {
  auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
  SetButtonStyle(focused && focused->Is<TButton>() ? focused == this : default_);
}

// --- TCustomListBox -------------------------------------------------------------------

TOwnerDrawState OwnerDrawState(UINT itemState) {
  TOwnerDrawState s;
  const std::pair<UINT, TOwnerDrawStateFlag> map[] = {
      {ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},       {ODS_DISABLED, odDisabled},
      {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused},       {ODS_DEFAULT, odDefault},
      {ODS_HOTLIGHT, odHotLight}, {ODS_INACTIVE, odInactive},   {ODS_NOACCEL, odNoAccel},
      {ODS_NOFOCUSRECT, odNoFocusRect}, {ODS_COMBOBOXEDIT, odComboBoxEdit}};
  for (const auto& [bit, flag] : map)
    if (itemState & bit) s.Include(flag);
  return s;
}

class TCustomListBox::TListBoxStrings : public TStrings {
 public:
  explicit TListBoxStrings(TCustomListBox& box) : box_(box) {}

  int Count() const override {
    if (Virtual()) return box_.count_;
    if (HWND w = WindowOf(box_)) return static_cast<int>(::SendMessageA(w, LB_GETCOUNT, 0, 0));
    return box_.saved_->Count();
  }
  std::string Strings(int index) const override {
    if (Virtual()) return box_.ItemText(index);
    HWND w = WindowOf(box_);
    if (!w) return box_.saved_->Strings(index);
    LRESULT length = ::SendMessageA(w, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) IndexError(index);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT got = ::SendMessageA(w, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
    return text;
  }
  void* Objects(int index) const override {
    if (Virtual()) return nullptr;
    HWND w = WindowOf(box_);
    if (!w) return box_.saved_->Objects(index);
    LRESULT data = ::SendMessageA(w, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (data == LB_ERR) IndexError(index);
    return reinterpret_cast<void*>(data);
  }
  void SetObjects(int index, void* object) override {
    if (Virtual()) return;
    HWND w = WindowOf(box_);
    if (!w) return box_.saved_->SetObjects(index, object);
    if (::SendMessageA(w, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object)) == LB_ERR)
      IndexError(index);
  }
  void Insert(int index, const std::string& text) override {
    if (Virtual()) return;
    HWND w = WindowOf(box_);
    if (!w) return box_.saved_->Insert(index, text);
    if (index < 0 || index > Count()) IndexError(index);
    UINT msg = box_.sorted_ ? LB_ADDSTRING : LB_INSERTSTRING;
    LRESULT r = ::SendMessageA(w, msg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
    if (r == LB_ERR || r == LB_ERRSPACE) throw EOutOfResources("Failed to add a list box item");
  }
  void Delete(int index) override {
    if (Virtual()) return;
    HWND w = WindowOf(box_);
    if (!w) return box_.saved_->Delete(index);
    if (::SendMessageA(w, LB_DELETESTRING, static_cast<WPARAM>(index), 0) == LB_ERR) IndexError(index);
  }
  void Clear() override {
    if (HWND w = WindowOf(box_))
      ::SendMessageA(w, LB_RESETCONTENT, 0, 0);
    else
      box_.saved_->Clear();
  }

 protected:
  void SetUpdateState(bool updating) override {
    HWND w = WindowOf(box_);
    if (!w) return;
    ::SendMessageA(w, WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) InvalidateRect(w, nullptr, TRUE);
  }

 private:
  bool Virtual() const { return box_.style_ == lbVirtual || box_.style_ == lbVirtualOwnerDraw; }
  TCustomListBox& box_;
};

GUI_DEFINE_CLASS(TCustomListBox) {
  c.Protected();
  c.Integer("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight);
  c.Enumeration("Style", kListBoxStyleInfo, &TCustomListBox::Style, &TCustomListBox::SetStyle, lbStandard);
  c.Boolean("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect, false);
  c.Boolean("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect, true);
  c.Boolean("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted, false);
  c.Boolean("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight, false);
  c.Integer("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns, 0);
  c.Integer("TabWidth", &TCustomListBox::TabWidth, &TCustomListBox::SetTabWidth, 0);
  c.Enumeration("BorderStyle", BorderStyleInfo(), &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle,
                bsSingle);
  c.Event("OnDrawItem", &TCustomListBox::OnDrawItem);
  c.Event("OnMeasureItem", &TCustomListBox::OnMeasureItem);
  c.Event("OnData", &TCustomListBox::OnData);
}

GUI_DEFINE_CLASS(TListBox) {
  PublishWindowed(c);
  for (const char* name : {"ItemHeight", "Style", "MultiSelect", "ExtendedSelect", "Sorted", "IntegralHeight",
                           "Columns", "TabWidth", "BorderStyle", "OnDrawItem", "OnMeasureItem", "OnData"})
    c.Publish(name);
  c.Publish("TabStop", 1);
  c.Publish("ParentColor", 0);
}

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TListBoxStrings>(*this)), saved_(std::make_unique<TStringList>()) {
  controlStyle_ = {};
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
}

TStrings* TCustomListBox::Items() { return items_.get(); }

TCustomListBox::~TCustomListBox() {
  if (canvas_) canvas_->FreeHandle();
}

TCanvas* TCustomListBox::Canvas() {
  if (!canvas_) canvas_ = detail::MakeCanvas(*this);
  return canvas_.get();
}

void TCustomListBox::CreateParams(TCreateParams& p) {
  inherited::CreateParams(p);
  CreateSubClass(p, "LISTBOX");
  p.Style |= WS_VSCROLL | LBS_NOTIFY;
  if (!integralHeight_) p.Style |= LBS_NOINTEGRALHEIGHT;
  bool isVirtual = style_ == lbVirtual || style_ == lbVirtualOwnerDraw;
  if (sorted_ && !isVirtual) p.Style |= LBS_SORT;
  if (multiSelect_) p.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (columns_ > 0) p.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
  if (tabWidth_ > 0) p.Style |= LBS_USETABSTOPS;
  switch (style_) {
    case lbStandard: p.Style |= LBS_HASSTRINGS; break;
    case lbOwnerDrawFixed: p.Style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS; break;
    case lbOwnerDrawVariable: p.Style |= LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS; break;
    case lbVirtual:
    case lbVirtualOwnerDraw: p.Style |= LBS_NODATA | LBS_OWNERDRAWFIXED; break;
  }
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
  inherited::CreateWnd();
  HWND w = Handle();
  if (style_ != lbStandard && style_ != lbOwnerDrawVariable) ::SendMessageA(w, LB_SETITEMHEIGHT, 0, itemHeight_);
  if (columns_ > 0) ::SendMessageA(w, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(Width() / columns_, 1)), 0);
  if (tabWidth_ > 0) {
    int stops = tabWidth_;
    ::SendMessageA(w, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stops));
  }
  if (style_ == lbVirtual || style_ == lbVirtualOwnerDraw) {
    ::SendMessageA(w, LB_SETCOUNT, static_cast<WPARAM>(count_), 0);
  } else {
    TStringList kept;
    kept.Assign(saved_.get());
    saved_->Clear();
    for (int i = 0; i < kept.Count(); ++i) items_->AddObject(kept.Strings(i), kept.Objects(i));
  }
  SetItemIndex(savedIndex_);
  ::SendMessageA(w, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(savedTop_, 0)), 0);
}

void TCustomListBox::DestroyWnd() {
  if (HandleAllocated()) {
    savedIndex_ = ItemIndex();
    savedTop_ = TopIndex();
    if (style_ != lbVirtual && style_ != lbVirtualOwnerDraw) {
      TStringList kept;
      kept.Assign(items_.get());
      saved_->Assign(&kept);
    }
  }
  inherited::DestroyWnd();
}

int TCustomListBox::ItemIndex() {
  HWND w = WindowOf(*this);
  if (!w) return savedIndex_;
  UINT msg = multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL;
  return static_cast<int>(::SendMessageA(w, msg, 0, 0));
}

void TCustomListBox::SetItemIndex(int value) {
  HWND w = WindowOf(*this);
  if (!w) {
    savedIndex_ = value;
    return;
  }
  if (multiSelect_)
    ::SendMessageA(w, LB_SETCARETINDEX, static_cast<WPARAM>(value), FALSE);
  else
    ::SendMessageA(w, LB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

int TCustomListBox::ItemHeight() {
  HWND w = WindowOf(*this);
  if (w && style_ != lbOwnerDrawVariable) return static_cast<int>(::SendMessageA(w, LB_GETITEMHEIGHT, 0, 0));
  return itemHeight_;
}

void TCustomListBox::SetItemHeight(int value) {
  if (value <= 0) return;
  itemHeight_ = value;
  if (HWND w = WindowOf(*this); w && style_ != lbStandard && style_ != lbOwnerDrawVariable) {
    ::SendMessageA(w, LB_SETITEMHEIGHT, 0, value);
    Invalidate();
  }
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  multiSelect_ = value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool value) {
  if (value == extendedSelect_) return;
  extendedSelect_ = value;
  RecreateWnd();
}

void TCustomListBox::SetSorted(bool value) {
  if (value == sorted_) return;
  sorted_ = value;
  RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool value) {
  if (value == integralHeight_) return;
  integralHeight_ = value;
  RecreateWnd();
}

void TCustomListBox::SetColumns(int value) {
  if (value == columns_ || value < 0) return;
  columns_ = value;
  RecreateWnd();
}

void TCustomListBox::SetTabWidth(int value) {
  if (value == tabWidth_ || value < 0) return;
  tabWidth_ = value;
  RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

int TCustomListBox::Count() { return items_->Count(); }

void TCustomListBox::SetCount(int value) {
  if (style_ != lbVirtual && style_ != lbVirtualOwnerDraw) return;
  count_ = std::max(value, 0);
  if (HWND w = WindowOf(*this)) ::SendMessageA(w, LB_SETCOUNT, static_cast<WPARAM>(count_), 0);
}

bool TCustomListBox::Selected(int index) {
  HWND w = WindowOf(*this);
  if (!w) return index == savedIndex_;
  LRESULT r = ::SendMessageA(w, LB_GETSEL, static_cast<WPARAM>(index), 0);
  if (r == LB_ERR) TStrings::IndexError(index);
  return r > 0;
}

void TCustomListBox::SetSelected(int index, bool value) {
  HWND w = Handle();
  if (multiSelect_) {
    if (::SendMessageA(w, LB_SETSEL, value ? TRUE : FALSE, static_cast<LPARAM>(index)) == LB_ERR)
      TStrings::IndexError(index);
  } else if (value) {
    SetItemIndex(index);
  } else if (ItemIndex() == index) {
    SetItemIndex(-1);
  }
}

int TCustomListBox::SelCount() {
  HWND w = WindowOf(*this);
  if (!w) return savedIndex_ >= 0 ? 1 : 0;
  if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
  return static_cast<int>(::SendMessageA(w, LB_GETSELCOUNT, 0, 0));
}

int TCustomListBox::TopIndex() {
  HWND w = WindowOf(*this);
  return w ? static_cast<int>(::SendMessageA(w, LB_GETTOPINDEX, 0, 0)) : savedTop_;
}

void TCustomListBox::SetTopIndex(int value) {
  if (HWND w = WindowOf(*this))
    ::SendMessageA(w, LB_SETTOPINDEX, static_cast<WPARAM>(value), 0);
  else
    savedTop_ = value;
}

TRect TCustomListBox::ItemRect(int index) {
  RECT r{0, 0, 0, 0};
  HWND w = Handle();
  if (index >= 0 && index < Count()) {
    ::SendMessageA(w, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  } else if (index == Count() && index > 0) {
    ::SendMessageA(w, LB_GETITEMRECT, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&r));
    OffsetRect(&r, 0, r.bottom - r.top);
  }
  return Rect(r.left, r.top, r.right, r.bottom);
}

int TCustomListBox::ItemAtPos(TPoint pos, bool existing) {
  int count = Count();
  for (int i = std::max(TopIndex(), 0); i < count; ++i) {
    TRect r = ItemRect(i);
    if (r.Contains(pos)) return i;
    if (r.Top > ClientHeight()) break;
  }
  return existing ? -1 : count;
}

void TCustomListBox::Clear() { items_->Clear(); }

void TCustomListBox::ClearSelection() {
  if (multiSelect_ && HandleAllocated())
    ::SendMessageA(Handle(), LB_SETSEL, FALSE, -1);
  else
    SetItemIndex(-1);
}

void TCustomListBox::SelectAll() {
  if (multiSelect_) ::SendMessageA(Handle(), LB_SETSEL, TRUE, -1);
}

std::string TCustomListBox::ItemText(int index) {
  if (style_ == lbVirtual || style_ == lbVirtualOwnerDraw) {
    std::string text;
    if (OnData) OnData(this, index, text);
    return text;
  }
  return items_->Strings(index);
}

void TCustomListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  TCanvas* canvas = Canvas();
  canvas->FillRect(rect);
  if (index < Count()) canvas->TextOut(rect.Left + 2, rect.Top, ItemText(index));
}

void TCustomListBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: CNCommand(m); return;
    case CN_DRAWITEM: CNDrawItem(m); return;
    case CN_MEASUREITEM: CNMeasureItem(m); return;
    case CM_COLORCHANGED: CMFontOrColorChanged(m); return;
    case CM_FONTCHANGED: CMFontOrColorChanged(m); return;
    case WM_NCDESTROY: if (canvas_) canvas_->FreeHandle(); break;
  }
  inherited::WndProc(m);
}

// A selection or a double click, reflected from the parent.
void TCustomListBox::CNCommand(TMessage& m) {
  switch (HIWORD(m.WParam)) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
  }
}

// An owner-drawn item on the canvas, in the selection's colours.
void TCustomListBox::CNDrawItem(TMessage& m) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  TOwnerDrawState state = OwnerDrawState(item->itemState);
  TRect r{item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom};
  int index = static_cast<int>(item->itemID);
  Canvas();
  detail::PaintOnCanvas(*this, *canvas_, item->hDC, [&] {
    canvas_->Font().Assign(Font());
    canvas_->Brush().SetStyle(bsSolid);
    canvas_->Brush().SetColor(Color());
    if (index >= 0 && state.Contains(odSelected)) {
      canvas_->Brush().SetColor(clHighlight);
      canvas_->Font().SetColor(clHighlightText);
    }
    if (index >= 0)
      DrawItem(index, r, state);
    else
      canvas_->FillRect(r);
    if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) canvas_->DrawFocusRect(r);
  });
  m.Result = 1;
}

void TCustomListBox::CNMeasureItem(TMessage& m) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
  int height = itemHeight_;
  MeasureItem(static_cast<int>(item->itemID), height);
  item->itemHeight = static_cast<UINT>(std::max(height, 1));
  m.Result = 1;
}

// A new colour or font reaches the canvas.
void TCustomListBox::CMFontOrColorChanged(TMessage& m) {
  detail::UpdateCanvasTools(*this, canvas_.get(), m.Msg);
  inherited::WndProc(m);
}

// --- TCustomEdit ----------------------------------------------------------------------

GUI_DEFINE_CLASS(TCustomEdit) {
  c.Protected();
  c.Integer("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0);
  c.Boolean("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false);
  c.Boolean("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect, true);
  c.Boolean("AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize, true);
  c.Enumeration("CharCase", kCharCaseInfo, &TCustomEdit::CharCase, &TCustomEdit::SetCharCase, ecNormal);
  c.Boolean("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection, true);
  c.Boolean("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert, false);
  c.Integer("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar, 0);
  c.Enumeration("BorderStyle", BorderStyleInfo(), &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, bsSingle);
  c.Event("OnChange", &TCustomEdit::OnChange);
}

GUI_DEFINE_CLASS(TEdit) {
  PublishWindowed(c);
  for (const char* name : {"Text", "MaxLength", "ReadOnly", "AutoSelect", "AutoSize", "CharCase", "HideSelection",
                           "OEMConvert", "PasswordChar", "BorderStyle", "OnChange"})
    c.Publish(name);
  c.Publish("TabStop", 1);
  c.Publish("ParentColor", 0);
}

GUI_DEFINE_CLASS(TCustomMaskEdit) {}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = {csClickEvents, csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  inherited::CreateParams(p);
  CreateSubClass(p, "EDIT");
  p.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (readOnly_) p.Style |= ES_READONLY;
  if (charCase_ == ecUpperCase) p.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) p.Style |= ES_LOWERCASE;
  if (!hideSelection_) p.Style |= ES_NOHIDESEL;
  if (oemConvert_) p.Style |= ES_OEMCONVERT;
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  {
    creating_ = true;
    auto done = kit::OnExit([this] { creating_ = false; });
    inherited::CreateWnd();
  }
  HWND w = Handle();
  if (maxLength_ > 0) ::SendMessageA(w, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_) ::SendMessageA(w, EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
  AdjustHeight();
}

void TCustomEdit::AdjustHeight() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  TEXTMETRICA tm{};
  {
    kit::WindowDC screen(nullptr);
    kit::Selection font(screen.Get(), Font()->Handle());
    GetTextMetricsA(screen.Get(), &tm);
  }
  int frame = borderStyle_ == bsSingle ? 8 : 2;
  SetHeight(tm.tmHeight + frame * GetSystemMetrics(SM_CYBORDER));
}

void TCustomEdit::SetMaxLength(int value) {
  maxLength_ = std::max(value, 0);
  if (HWND w = WindowOf(*this)) ::SendMessageA(w, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  if (HWND w = WindowOf(*this)) ::SendMessageA(w, EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

void TCustomEdit::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustHeight();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == charCase_) return;
  charCase_ = value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TCustomEdit::SetOEMConvert(bool value) {
  if (value == oemConvert_) return;
  oemConvert_ = value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char value) {
  if (value == passwordChar_) return;
  passwordChar_ = value;
  if (HWND w = WindowOf(*this)) {
    ::SendMessageA(w, EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
    Invalidate();
  }
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
  AdjustHeight();
}

bool TCustomEdit::Modified() {
  HWND w = WindowOf(*this);
  return w && ::SendMessageA(w, EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool value) {
  if (HWND w = WindowOf(*this)) ::SendMessageA(w, EM_SETMODIFY, value ? TRUE : FALSE, 0);
}

int TCustomEdit::SelStart() {
  DWORD start = 0;
  if (HWND w = WindowOf(*this)) ::SendMessageA(w, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int value) {
  ::SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(value), static_cast<LPARAM>(value));
}

int TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  if (HWND w = WindowOf(*this))
    ::SendMessageA(w, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int value) {
  int start = SelStart();
  ::SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + value));
}

std::string TCustomEdit::SelText() {
  std::string text = Text();
  int start = std::clamp(SelStart(), 0, static_cast<int>(text.size()));
  int length = std::clamp(SelLength(), 0, static_cast<int>(text.size()) - start);
  return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
}

void TCustomEdit::SetSelText(const std::string& value) {
  ::SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
}

void TCustomEdit::SelectAll() {
  if (HWND w = WindowOf(*this)) ::SendMessageA(w, EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection() { SetSelText(""); }

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: CNCommand(m); return;
    case CM_ENTER: CMEnter(m); return;
    case CM_FONTCHANGED: CMFontChanged(m); return;
  }
  inherited::WndProc(m);
}

void TCustomEdit::CNCommand(TMessage& m) {
  if (HIWORD(m.WParam) == EN_CHANGE && !creating_) Change();
}

// Entered by the keyboard, the text is selected (AutoSelect).
void TCustomEdit::CMEnter(TMessage& m) {
  if (autoSelect_ && !controlState_.Contains(csLButtonDown) && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
  inherited::WndProc(m);
}

void TCustomEdit::CMFontChanged(TMessage& m) {
  inherited::WndProc(m);
  AdjustHeight();
}

}  // namespace gui
