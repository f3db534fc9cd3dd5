// Short cuts, menu items, popup menus.
#include "gui/Menus.h"

#include <algorithm>
#include <map>

#include "ControlsInternal.h"
#include "gui/ActnList.h"

namespace gui {

namespace {

const TEnumInfo kPopupAlignmentInfo{"TPopupAlignment", {"paLeft", "paRight", "paCenter"}};

struct NamedKey {
  WORD key;
  const char* name;
};

const NamedKey kKeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},  {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},  {VK_END, "End"},      {VK_HOME, "Home"},   {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},   {VK_INSERT, "Ins"},  {VK_DELETE, "Del"},
};

std::string KeyName(WORD key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  for (const NamedKey& k : kKeyNames)
    if (k.key == key) return k.name;
  UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
  char name[64] = {};
  if (scan && GetKeyNameTextA(static_cast<LONG>(scan << 16), name, sizeof(name)) > 0) return name;
  return "";
}

std::map<UINT, TMenuItem*>& Commands() {
  static auto* commands = new std::map<UINT, TMenuItem*>;
  return *commands;
}

UINT NewCommand(TMenuItem* item) {
  static UINT next = 1;
  auto& commands = Commands();
  for (int tries = 0; tries < 0xF000; ++tries) {
    UINT id = next++;
    if (next >= 0xF000) next = 1;
    if (!commands.count(id)) {
      commands[id] = item;
      return id;
    }
  }
  throw Exception("Out of menu command identifiers");
}

// The window that owns popup menus while they show.
HWND PopupOwner() {
  static HWND window = nullptr;
  if (!window) window = AllocateHWnd([](TMessage& m) { m.Result = DefWindowProcA(window, m.Msg, m.WParam, m.LParam); });
  return window;
}

TPopupMenu::TPopupChooser& Chooser() {
  static auto* chooser = new TPopupMenu::TPopupChooser;
  return *chooser;
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key & 0xFF00) return 0;
  TShortCut s = key;
  if (shift.Contains(ssShift)) s |= scShift;
  if (shift.Contains(ssCtrl)) s |= scCtrl;
  if (shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = {};
  if (shortCut & scShift) shift.Include(ssShift);
  if (shortCut & scCtrl) shift.Include(ssCtrl);
  if (shortCut & scAlt) shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyName(shortCut & 0xFF);
  if (name.empty()) return "";
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + name;
}

TShortCut TextToShortCut(const std::string& text) {
  std::string rest = text;
  TShortCut mods = 0;
  for (;;) {
    auto take = [&](const char* prefix, TShortCut bit) {
      std::size_t n = std::char_traits<char>::length(prefix);
      if (rest.size() > n && SameText(rest.substr(0, n), prefix)) {
        rest = rest.substr(n);
        mods |= bit;
        return true;
      }
      return false;
    };
    if (!take("Shift+", scShift) && !take("Ctrl+", scCtrl) && !take("Alt+", scAlt)) break;
  }
  for (WORD key = 1; key < 0xFF; ++key) {
    std::string name = KeyName(key);
    if (!name.empty() && SameText(name, rest)) return static_cast<TShortCut>(key | mods);
  }
  return scNone;
}

// --- TMenuItem ----------------------------------------------------------------------

GUI_DEFINE_CLASS(TMenuItem) {
  c.String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  c.Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false);
  c.Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false);
  c.Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true);
  c.Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true);
  c.Boolean("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, false);
  c.Integer("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0);
  c.String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  c.Component("Action", &TMenuItem::Action, &TMenuItem::SetAction);
  c.Event("OnClick", &TMenuItem::OnClick);
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) { command_ = NewCommand(this); }

TMenuItem::~TMenuItem() {
  Clear();
  if (parent_) parent_->Remove(this);
  Commands().erase(command_);
}

void TMenuItem::SetAction(TBasicAction* value) {
  if (action_ && action_ != value) action_->RemoveFreeNotification(this);
  action_ = value;
  if (value) value->FreeNotification(this);
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == action_) action_ = nullptr;
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item || item == this) return;
  for (TMenuItem* p = this; p; p = p->parent_)
    if (p == item) throw EComponentError("A menu item cannot hold itself");
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) {
  if (index < 0 || index >= Count()) throw EComponentError("Menu index out of range");
  delete items_[static_cast<std::size_t>(index)];  // leaves the list itself
}

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
  for (TMenuItem* item : items_)
    if (SameText(StripHotkey(item->caption_), StripHotkey(caption))) return item;
  return nullptr;
}

void TMenuItem::Click() {
  if (OnClick)
    OnClick(this);
  else if (action_)
    action_->Execute();
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TMenu*>(parent))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent))
    item->Add(this);
}

TMenuItem* TMenuItem::FindCommand(UINT command) {
  if (command_ == command) return this;
  for (TMenuItem* item : items_)
    if (TMenuItem* found = item->FindCommand(command)) return found;
  return nullptr;
}

HMENU TMenuItem::BuildHandle() const {
  HMENU menu = CreatePopupMenu();
  for (const TMenuItem* item : items_) {
    if (!item->visible_) continue;
    if (item->IsLine()) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::string text = item->caption_;
    if (item->shortCut_) text += "\t" + ShortCutToText(item->shortCut_);
    UINT flags = MF_STRING;
    if (item->checked_) flags |= MF_CHECKED;
    if (!item->enabled_) flags |= MF_GRAYED;
    if (!item->items_.empty()) {
      AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(item->BuildHandle()), text.c_str());
      if (item->default_) SetMenuDefaultItem(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), TRUE);
    } else {
      AppendMenuA(menu, flags, item->command_, text.c_str());
      if (item->default_) SetMenuDefaultItem(menu, item->command_, FALSE);
    }
  }
  return menu;
}

// --- TMenu, TPopupMenu ----------------------------------------------------------------

GUI_DEFINE_CLASS(TMenu) {}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) {}

TMenu::~TMenu() = default;

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = items_->FindCommand(command);
  if (!item || item == items_) return false;
  detail::Guarded(item, [item] { item->Click(); });
  return true;
}

GUI_DEFINE_CLASS(TPopupMenu) {
  c.Boolean("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true);
  c.Enumeration("Alignment", kPopupAlignmentInfo, &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, paLeft);
  c.Event("OnPopup", &TPopupMenu::OnPopup);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

void TPopupMenu::SetPopupComponent(TComponent* value) {
  if (popupComponent_ && popupComponent_ != value) popupComponent_->RemoveFreeNotification(this);
  popupComponent_ = value;
  if (value) value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::SetPopupChooser(TPopupChooser chooser) { Chooser() = std::move(chooser); }

void TPopupMenu::Popup(int X, int Y) {
  popupPoint_ = {X, Y};
  if (OnPopup) OnPopup(this);
  TMenuItem* chosen = nullptr;
  if (Chooser()) {
    TPopupChooser chooser = Chooser();
    chosen = chooser(*this, popupPoint_);
  } else {
    kit::Menu menu(Items()->BuildHandle());
    UINT align = alignment_ == paRight ? TPM_RIGHTALIGN : alignment_ == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
    UINT command = static_cast<UINT>(
        TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | align, X, Y, 0, PopupOwner(), nullptr));
    if (command) chosen = Items()->FindCommand(command);
  }
  if (chosen && chosen != Items()) detail::Guarded(chosen, [chosen] { chosen->Click(); });
}

}  // namespace gui
