// TCkListBox: the system's list box with state colours and a self-painted
// frame, group header rows, search by typing, hints for items too wide to
// show and a horizontal scroll extent that follows the items.
#pragma once

#include <memory>
#include <string>

#include "CkFramed.h"
#include "gui/StdCtrls.h"

namespace gui {
class TTimer;
}

namespace ck {

class TCkCustomListBox : public TCkFramedControl<TCustomListBox> {
  GUI_CLASS(TCkCustomListBox, TCkFramedControl<TCustomListBox>)

 public:
  explicit TCkCustomListBox(TComponent* owner);
  ~TCkCustomListBox() override;

  void AddString(const std::string& text) { Items()->Add(text); }
  // The item at ItemIndex when something is selected, else "".
  std::string GetSelectedText();
  // The first item that begins with text, ignoring case, or -1.
  int Find(const std::string& text);

  // Group rows: items that begin with GroupPrefix (case-sensitive).
  bool IsGroup(int index);
  // The nearest group row at or above index, or -1.
  int GroupOf(int index);
  bool HasGroup(int index) { return GroupOf(index) != -1; }
  // How many group rows lie above a group row; -1 for other rows.
  int GroupNumber(int index);
  // The item without its group prefix; "" out of range.
  std::string DisplayText(int index);

  bool IncrementalSearch() const { return incrementalSearch_; }
  void SetIncrementalSearch(bool value) { incrementalSearch_ = value; }
  bool BeepOnInvalidKey() const { return beepOnInvalidKey_; }
  void SetBeepOnInvalidKey(bool value) { beepOnInvalidKey_ = value; }
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }
  // The text typed so far (cleared 1500 ms after the last key).
  const std::string& SearchText() const { return searchText_; }

  const std::string& GroupPrefix() const { return groupPrefix_; }
  void SetGroupPrefix(const std::string& value);
  TColor GroupColor() const { return groupColor_; }
  void SetGroupColor(TColor value);
  TFont* GroupFont() { return groupFont_.get(); }
  void SetGroupFont(TFont* value) { groupFont_->Assign(value); }
  bool ShowGroups() const { return showGroups_; }
  void SetShowGroups(bool value);
  bool UseGradients() const { return useGradients_; }
  void SetUseGradients(bool value);
  bool ShowItemHints() const { return showItemHints_; }
  void SetShowItemHints(bool value) { showItemHints_ = value; }
  std::uint16_t HorzExtent() const { return horzExtent_; }
  void SetHorzExtent(std::uint16_t value);
  bool HorzScrollBar() const { return horzScrollBar_; }
  void SetHorzScrollBar(bool value);
  int OwnerDrawIndent() const { return ownerDrawIndent_; }
  void SetOwnerDrawIndent(int value);
  // The item hint window, once one was needed.
  THintWindow* ItemHintWindow() const { return itemHint_.Window(); }

  void WndProc(TMessage& Message) override;

  TNotifyEvent OnMatch;
  TNotifyEvent OnDeleteItems;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void MatchFound();
  virtual void DeleteItems();
  virtual void DrawItemDefault(int index, TRect rect);
  virtual void DrawGroup(int index, TRect rect, TOwnerDrawState state);
  virtual void GroupFontChanged() {}
  void PointerOver() override { UpdateItemHint(); }
  void PointerGone() override { HideItemHint(); }

 private:
  void HandleChar(TMessage& Message);
  void SearchFor(const std::string& text, TMessage& Message);
  void PassKeyOn(TMessage& Message);
  void SearchTimer(TObject* sender);
  TTimer& SearchTimerNow();
  void DrawListItem(TMessage& Message);
  void UpdateItemHint();
  void HideItemHint();
  void AdjustItemHeight();
  void ResetGroupFont();
  void UpdateHorzExtent();

  std::string searchText_;
  std::unique_ptr<TTimer> searchTimer_;
  int busy_ = 0;
  bool incrementalSearch_ = true;
  bool beepOnInvalidKey_ = true;
  bool tabOnEnter_ = false;
  std::string groupPrefix_ = "//";
  TColor groupColor_ = clInactiveCaptionText;
  std::unique_ptr<TFont> groupFont_;
  bool groupFontChanged_ = false;
  bool settingGroupFont_ = false;
  bool showGroups_ = false;
  bool useGradients_ = true;
  bool showItemHints_ = true;
  TCkItemHint itemHint_{*this};
  std::uint16_t horzExtent_ = 0;
  bool horzScrollBar_ = false;
  int ownerDrawIndent_ = 0;
  bool creatingWindow_ = false;
};

class TCkListBox : public TCkCustomListBox {
  GUI_CLASS(TCkListBox, TCkCustomListBox)

 public:
  explicit TCkListBox(TComponent* owner) : TCkCustomListBox(owner) {}
};

}  // namespace ck
