#include "CkLstBox.h"

#include <algorithm>

#include "CkGrafx.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Themes.h"
#include "kit/Own.h"

namespace ck {

namespace {

// Widths of texts in one font, measured on the screen's context.
class TScreenText {
 public:
  explicit TScreenText(HFONT font) : selected_(screen_.Get(), font) {}
  int Width(const std::string& text) const {
    SIZE size{};
    GetTextExtentPoint32A(screen_.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  }

 private:
  kit::WindowDC screen_{nullptr};
  kit::Selection selected_;
};

constexpr UINT kSearchInterval = 1500;
constexpr UINT kTextFlags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

std::string ExpandTabs(const std::string& text) {
  std::string out;
  for (char ch : text) {
    if (ch == '\t')
      out += "        ";
    else
      out += ch;
  }
  return out;
}

// Whether text begins with prefix, without regard to case.
bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), static_cast<int>(prefix.size()),
                        prefix.c_str(), static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

}  // namespace

GUI_DEFINE_CLASS(TCkCustomListBox) {
  using L = TCkCustomListBox;
  DefineFrameProperties(c);
  c.Boolean("BeepOnInvalidKey", &L::BeepOnInvalidKey, &L::SetBeepOnInvalidKey, true);
  c.Boolean("IncrementalSearch", &L::IncrementalSearch, &L::SetIncrementalSearch, true);
  c.String("GroupPrefix", &L::GroupPrefix, &L::SetGroupPrefix);
  c.Color("GroupColor", &L::GroupColor, &L::SetGroupColor, clInactiveCaptionText);
  c.Object("GroupFont", &L::GroupFont, &L::SetGroupFont);
  c.Boolean("ShowGroups", &L::ShowGroups, &L::SetShowGroups, false);
  c.Boolean("UseGradients", &L::UseGradients, &L::SetUseGradients, true);
  c.Boolean("ShowItemHints", &L::ShowItemHints, &L::SetShowItemHints, true);
  c.Integer("HorzExtent", &L::HorzExtent, &L::SetHorzExtent, 0);
  c.Boolean("HorzScrollBar", &L::HorzScrollBar, &L::SetHorzScrollBar, false);
  c.Integer("OwnerDrawIndent", &L::OwnerDrawIndent, &L::SetOwnerDrawIndent, 0);
  c.Boolean("TabOnEnter", &L::TabOnEnter, &L::SetTabOnEnter, false);
  c.Event("OnMatch", &L::OnMatch);
  c.Event("OnDeleteItems", &L::OnDeleteItems);
}

GUI_DEFINE_CLASS(TCkListBox) {
  for (const char* name :
       {"Align", "Anchors", "BorderStyle", "Columns", "Enabled", "ExtendedSelect", "Font", "IntegralHeight",
        "ItemHeight", "MultiSelect", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "Hint", "Sorted",
        "Style", "TabOrder", "TabWidth", "Visible", "OnClick", "OnContextPopup", "OnDblClick", "OnDrawItem",
        "OnMeasureItem", "OnData", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown",
        "OnMouseMove", "OnMouseUp", "OnMouseEnter", "OnMouseLeave"})
    c.Publish(name);
  c.Publish("TabStop", 1);
}

TCkCustomListBox::TCkCustomListBox(TComponent* owner)
    : TCkFramedControl<TCustomListBox>(owner), groupFont_(std::make_unique<TFont>()) {
  controlStyle_.Exclude(csOpaque);
  ResetGroupFont();
  groupFont_->OnChange = [this](TObject*) {
    if (settingGroupFont_) return;
    groupFontChanged_ = true;
    GroupFontChanged();
    Invalidate();
  };
}

TCkCustomListBox::~TCkCustomListBox() {
  if (searchTimer_) searchTimer_->OnTimer = nullptr;
  groupFont_->OnChange = nullptr;
}

// --- queries ------------------------------------------------------------------------

std::string TCkCustomListBox::GetSelectedText() {
  int index = ItemIndex();
  bool selected = MultiSelect() ? SelCount() > 0 : index != -1;
  if (!selected || index < 0 || index >= Items()->Count()) return "";
  return Items()->Strings(index);
}

int TCkCustomListBox::Find(const std::string& text) {
  if (HandleAllocated())
    return static_cast<int>(
        ::SendMessageA(Handle(), LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
  for (int i = 0; i < Items()->Count(); ++i)
    if (StartsWithNoCase(Items()->Strings(i), text)) return i;
  return -1;
}

bool TCkCustomListBox::IsGroup(int index) {
  if (index < 0 || index >= Items()->Count()) return false;
  std::string text = Items()->Strings(index);
  return text.size() >= groupPrefix_.size() && text.compare(0, groupPrefix_.size(), groupPrefix_) == 0;
}

int TCkCustomListBox::GroupOf(int index) {
  if (index < 0 || index >= Items()->Count()) return -1;
  for (int i = index; i >= 0; --i)
    if (IsGroup(i)) return i;
  return -1;
}

int TCkCustomListBox::GroupNumber(int index) {
  if (index == -1 || !IsGroup(index)) return -1;
  int number = 0;
  for (int i = 0; i < index; ++i) number += IsGroup(i) ? 1 : 0;
  return number;
}

std::string TCkCustomListBox::DisplayText(int index) {
  if (index < 0 || index >= Items()->Count()) return "";
  std::string text = Items()->Strings(index);
  return IsGroup(index) ? text.substr(groupPrefix_.size()) : text;
}

// --- setters ------------------------------------------------------------------------

void TCkCustomListBox::SetGroupPrefix(const std::string& value) {
  if (value == groupPrefix_) return;
  groupPrefix_ = value;
  Invalidate();
}

void TCkCustomListBox::SetGroupColor(TColor value) {
  if (value == groupColor_) return;
  groupColor_ = value;
  Invalidate();
}

void TCkCustomListBox::SetShowGroups(bool value) {
  if (value == showGroups_) return;
  showGroups_ = value;
  if (value) {
    SetStyle(lbOwnerDrawFixed);
    AdjustItemHeight();
  }
  Invalidate();
}

void TCkCustomListBox::SetUseGradients(bool value) {
  if (value == useGradients_) return;
  useGradients_ = value;
  Invalidate();
}

void TCkCustomListBox::SetOwnerDrawIndent(int value) {
  if (value == ownerDrawIndent_) return;
  ownerDrawIndent_ = value;
  Invalidate();
}

void TCkCustomListBox::SetHorzExtent(std::uint16_t value) {
  if (value == horzExtent_) return;
  horzExtent_ = value;
  if (HandleAllocated()) ::SendMessageA(Handle(), LB_SETHORIZONTALEXTENT, value, 0);
}

void TCkCustomListBox::SetHorzScrollBar(bool value) {
  if (value == horzScrollBar_) return;
  horzScrollBar_ = value;
  RecreateWnd();
  // The items already there were not measured while the bar was off.
  UpdateHorzExtent();
}

// The control's font, bold, in the highlight colour; it follows the
// control's font until it is changed itself.
void TCkCustomListBox::ResetGroupFont() {
  settingGroupFont_ = true;
  groupFont_->Assign(Font());
  groupFont_->SetStyle(groupFont_->Style().Include(fsBold));
  groupFont_->SetColor(clHighlight);
  settingGroupFont_ = false;
}

void TCkCustomListBox::AdjustItemHeight() { SetItemHeight(std::max(ItemHeight(), FontRowHeight(*Font()))); }

void TCkCustomListBox::UpdateHorzExtent() {
  if (!horzScrollBar_ || Items()->UpdateCount() > 0 || creatingWindow_) return;
  const TScreenText measure(Font()->Handle());
  int widest = 0;
  for (int i = 0; i < Items()->Count(); ++i) widest = std::max(widest, measure.Width(Items()->Strings(i) + "x"));
  // The extent the list box can hold, not what is left of a wider item.
  SetHorzExtent(static_cast<std::uint16_t>(std::min(widest, 0xFFFF)));
}

// --- window -------------------------------------------------------------------------

void TCkCustomListBox::CreateParams(TCreateParams& p) {
  inherited::CreateParams(p);
  if (horzScrollBar_)
    p.Style |= WS_HSCROLL;
  else if (Columns() == 0)
    p.Style &= ~static_cast<DWORD>(WS_HSCROLL);
}

void TCkCustomListBox::CreateWnd() {
  {
    creatingWindow_ = true;
    auto done = kit::OnExit([this] { creatingWindow_ = false; });
    inherited::CreateWnd();
  }
  ::SendMessageA(Handle(), LB_SETHORIZONTALEXTENT, horzExtent_, 0);
  ShowScrollBar(Handle(), SB_HORZ, horzScrollBar_ ? TRUE : FALSE);
}

void TCkCustomListBox::Loaded() {
  UpdateHorzExtent();
  inherited::Loaded();
}

void TCkCustomListBox::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove) itemHint_.Removed(component);
}

void TCkCustomListBox::MatchFound() {
  if (OnMatch) OnMatch(this);
}

void TCkCustomListBox::DeleteItems() {
  if (OnDeleteItems) OnDeleteItems(this);
}

// --- typing -------------------------------------------------------------------------

void TCkCustomListBox::PassKeyOn(TMessage& m) {
  // The key-press handling only: the list box's own search by first letter
  // would move away from what the typed text found.
  char ch = static_cast<char>(m.WParam);
  DoKeyPress(ch);
}

void TCkCustomListBox::SearchFor(const std::string& text, TMessage& m) {
  int current = ItemIndex();
  int found = Find(text);
  if (found < 0) {
    if (beepOnInvalidKey_) Beep();
    return;
  }
  if (MultiSelect()) {
    HWND w = Handle();
    if (current >= 0) ::SendMessageA(w, LB_SETSEL, FALSE, current);
    ::SendMessageA(w, LB_SETSEL, TRUE, found);
    ::SendMessageA(w, LB_SETCARETINDEX, static_cast<WPARAM>(found), FALSE);
  } else {
    SetItemIndex(found);
  }
  searchText_ = text;
  PassKeyOn(m);
  MatchFound();
}

void TCkCustomListBox::HandleChar(TMessage& m) {
  auto code = static_cast<unsigned char>(m.WParam);
  switch (code) {
    case VK_BACK:
      if (searchText_.empty()) {
        if (beepOnInvalidKey_) Beep();
        SearchFor("", m);
      } else {
        std::string text = searchText_.substr(0, searchText_.size() - 1);
        if (!text.empty()) {
          SearchFor(text, m);
        } else {
          SetItemIndex(0);
          Click();
          searchText_.clear();
          PassKeyOn(m);
        }
      }
      return;
    case VK_RETURN:
      if (tabOnEnter_)
        PostMessageA(Handle(), WM_KEYDOWN, VK_TAB, 0);
      else
        PassKeyOn(m);
      return;
    case VK_ESCAPE:
      SetItemIndex(-1);
      return;
  }
  if (code >= 32 && (code != ' ' || !MultiSelect() || ExtendedSelect())) {
    busy_ = 1;
    auto done = kit::OnExit([this] { busy_ = 0; });
    SearchFor(searchText_ + static_cast<char>(code), m);
    TTimer& timer = SearchTimerNow();
    timer.SetEnabled(false);
    timer.SetInterval(kSearchInterval);
    timer.SetEnabled(true);
    return;
  }
  inherited::WndProc(m);
}

void TCkCustomListBox::SearchTimer(TObject*) {
  if (busy_) return;
  searchTimer_->SetEnabled(false);
  searchText_.clear();
}

// Made at the first typed search: a timer's window costs at start-up.
TTimer& TCkCustomListBox::SearchTimerNow() {
  if (!searchTimer_) {
    auto timer = std::make_unique<TTimer>(nullptr);
    timer->SetEnabled(false);
    timer->SetInterval(kSearchInterval);
    timer->OnTimer = [this](TObject* sender) { SearchTimer(sender); };
    searchTimer_ = std::move(timer);
  }
  return *searchTimer_;
}

// --- painting -----------------------------------------------------------------------

void TCkCustomListBox::DrawListItem(TMessage& m) {
  DRAWITEMSTRUCT item = *reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  TOwnerDrawState state = OwnerDrawState(item.itemState);
  int index = static_cast<int>(item.itemID);
  TRect r{item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
  bool group = showGroups_ && index >= 0 && IsGroup(index);
  if (!group) r.Left += ownerDrawIndent_;
  auto* canvas = static_cast<TControlCanvas*>(Canvas());
  canvas->FreeHandle();
  canvas->SetHandle(item.hDC);
  auto done = kit::OnExit([canvas] { canvas->SetHandle(nullptr); });
  canvas->Font().Assign(Font());
  canvas->Brush().SetStyle(bsSolid);
  canvas->Brush().SetColor(Color());
  if (index >= 0 && state.Contains(odSelected)) {
    canvas->Brush().SetColor(clHighlight);
    canvas->Font().SetColor(clHighlightText);
  }
  if (index < 0)
    canvas->FillRect(r);
  else if (group)
    DrawGroup(index, r, state);
  else if (OnDrawItem)
    OnDrawItem(this, index, r, state);
  else
    DrawItemDefault(index, r);
  if (state.Contains(odFocused)) canvas->DrawFocusRect(r);
  m.Result = 1;
}

void TCkCustomListBox::DrawItemDefault(int index, TRect rect) {
  TCanvas* canvas = Canvas();
  canvas->FillRect(rect);
  if (index >= Count()) return;
  rect.Left += 2;
  canvas->DrawText(ItemText(index), rect, kTextFlags);
}

void TCkCustomListBox::DrawGroup(int index, TRect rect, TOwnerDrawState state) {
  TCanvas* canvas = Canvas();
  canvas->Font().Assign(groupFont_.get());
  bool themed = ThemeServices().ThemesEnabled();
  TColor text = themed ? ThemeElementColor(5) : groupFont_->Color();
  TColor back = themed ? ThemeElementColor(4) : groupColor_;
  if (state.Contains(odSelected)) {
    canvas->Font().SetColor(clHighlightText);
    canvas->FillRect(rect);
  } else {
    canvas->Font().SetColor(text);
    if (useGradients_ && HasFullColorDisplay()) {
      PaintGradient(*canvas, rect, gdVerticalEnd, 1, Color(), back);
    } else {
      canvas->Brush().SetColor(back);
      canvas->FillRect(rect);
    }
  }
  canvas->Brush().SetStyle(bsClear);
  TSavedClip clip = canvas->SaveClip();
  auto restore = kit::OnExit([&] {
    canvas->RestoreClip(clip);
    canvas->Brush().SetStyle(bsSolid);
  });
  canvas->IntersectClipRect(rect);
  TRect textRect = rect;
  textRect.Left += 2;
  canvas->DrawText(DisplayText(index), textRect, kTextFlags);
}

// --- item hints ---------------------------------------------------------------------

void TCkCustomListBox::HideItemHint() { itemHint_.Hide(); }

void TCkCustomListBox::UpdateItemHint() {
  if (!showItemHints_ || !HandleAllocated()) return;
  POINT cursor;
  GetCursorPos(&cursor);
  int index = ItemAtPos(ScreenToClient({cursor.x, cursor.y}), true);
  if (index < 0 || ComponentState().Contains(csDesigning)) {
    HideItemHint();
    return;
  }
  std::string text = DisplayText(index);
  if (TScreenText(Font()->Handle()).Width(text) <= ClientWidth() - ownerDrawIndent_ - 2 || !Application || !Application->Active()) {
    HideItemHint();
    return;
  }
  text = ExpandTabs(text);
  TRect hint = itemHint_.Measure(text);
  TRect item = ItemRect(index);
  TPoint origin = ClientToScreen({item.Left, item.Top});
  itemHint_.ShowAt({origin.X + ownerDrawIndent_ - 1, origin.Y + (item.Height() - hint.Height()) / 2 - 2}, hint, text);
}

// --- messages -----------------------------------------------------------------------

void TCkCustomListBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_CHAR:
      if (incrementalSearch_) {
        HandleChar(m);
        return;
      }
      break;
    case WM_LBUTTONDOWN:
      searchText_.clear();
      break;
    case WM_KEYDOWN:
      if (m.WParam == VK_ESCAPE || (m.WParam >= VK_PRIOR && m.WParam <= VK_DOWN)) searchText_.clear();
      break;
    case CN_DRAWITEM:
      DrawListItem(m);
      return;
    case CM_FONTCHANGED:
      inherited::WndProc(m);
      if (!groupFontChanged_) ResetGroupFont();
      if (showGroups_) AdjustItemHeight();
      UpdateHorzExtent();
      return;
    case WM_SIZE:
      inherited::WndProc(m);
      if (useGradients_) Invalidate();
      return;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
      inherited::WndProc(m);
      UpdateHorzExtent();
      return;
  }
  inherited::WndProc(m);
}

}  // namespace ck
