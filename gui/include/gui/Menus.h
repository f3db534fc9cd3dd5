// Popup menus and their items, and short cuts (a virtual key in the low
// byte with scShift, scCtrl and scAlt above it).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Events.h"

namespace gui {

class TBasicAction;

using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// "Ctrl+Shift+F1"; empty for scNone.
std::string ShortCutToText(TShortCut shortCut);
// The reverse of ShortCutToText; scNone for text it does not know.
TShortCut TextToShortCut(const std::string& text);

class TMenuItem : public TComponent {
  GUI_CLASS(TMenuItem, TComponent)

 public:
  explicit TMenuItem(TComponent* owner);
  // Frees the items below it and leaves its parent item.
  ~TMenuItem() override;

  // "-" makes a separator; "&" marks the accelerator.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value) { caption_ = value; }
  bool Checked() const { return checked_; }
  void SetChecked(bool value) { checked_ = value; }
  // The item a double click on the tray icon runs; shown in bold.
  bool Default() const { return default_; }
  void SetDefault(bool value) { default_ = value; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value) { radioItem_ = value; }
  // Shown after the caption; the menu does not run it by itself.
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value) { shortCut_ = value; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* value);

  bool IsLine() const { return caption_ == "-"; }
  // The command identifier of the item in a menu handle.
  UINT Command() const { return command_; }

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item out of this one without freeing it.
  void Remove(TMenuItem* item);
  // Takes item `index` out and frees it.
  void Delete(int index);
  // Frees every item below this one.
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* Find(const std::string& caption) const;

  // OnClick with the item as sender, else the action.
  virtual void Click();
  TNotifyEvent OnClick;

  void SetParentComponent(TComponent* parent) override;
  // The item of that command among this one and those below it, or null.
  TMenuItem* FindCommand(UINT command);
  // A popup menu handle of the visible items below this one.
  HMENU BuildHandle() const;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::string caption_;
  bool checked_ = false;
  bool default_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool radioItem_ = false;
  TShortCut shortCut_ = 0;
  std::string hint_;
  TBasicAction* action_ = nullptr;
  UINT command_ = 0;
  TMenuItem* parent_ = nullptr;
  std::vector<TMenuItem*> items_;
};

class TMenu : public TComponent {
  GUI_CLASS(TMenu, TComponent)

 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  TMenuItem* Items() const { return items_; }
  // Runs the item of that command; false when there is none.
  bool DispatchCommand(UINT command);

 private:
  TMenuItem* items_;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
  GUI_CLASS(TPopupMenu, TMenu)

 public:
  explicit TPopupMenu(TComponent* owner);

  // Controls pop the menu up by themselves on a right click.
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment value) { alignment_ = value; }
  // The component the menu was popped up for.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* value);
  TPoint PopupPoint() const { return popupPoint_; }
  // Shows the menu at a screen point and runs the item chosen (its OnClick,
  // inside the application's exception barrier) before returning.
  virtual void Popup(int X, int Y);

  TNotifyEvent OnPopup;

  // Tests (and the automation channel) may stand in for the user: the
  // chooser receives the menu instead of the screen and returns the item to
  // run, or null. An empty chooser restores the real menu.
  using TPopupChooser = std::function<TMenuItem*(TPopupMenu& Menu, TPoint Point)>;
  static void SetPopupChooser(TPopupChooser chooser);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool autoPopup_ = true;
  TPopupAlignment alignment_ = paLeft;
  TComponent* popupComponent_ = nullptr;
  TPoint popupPoint_;
};

}  // namespace gui
