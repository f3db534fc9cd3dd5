// Wrappers of common controls: the list view (report view with columns,
// items and sub-items, sorting, custom draw) and the hot-key edit.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Controls.h"
#include "gui/Menus.h"
#include "gui/Strings.h"

namespace gui {

class TCustomListView;
class TCustomImageList;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
enum TCustomDrawTarget { dtControl, dtItem, dtSubItem };
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawStateFlag { cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked,
                            cdsIndeterminate };
using TCustomDrawState = Set<TCustomDrawStateFlag>;

// A column of the report view. Forms list them in the Columns property;
// code may change them at any time (a caption after a language switch).
class TListColumn : public TPersistent {
  GUI_CLASS(TListColumn, TPersistent)

 public:
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  // The width now (the user may drag it).
  int Width() const;
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int Index() const;

 private:
  friend class TListColumns;
  friend class TCustomListView;
  explicit TListColumn(TCustomListView& owner) : owner_(owner) {}
  void Apply() const;
  TCustomListView& owner_;
  std::string caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  int imageIndex_ = -1;
};

class TListColumns {
 public:
  int Count() const { return static_cast<int>(columns_.size()); }
  TListColumn* Items(int index) const { return columns_.at(static_cast<std::size_t>(index)).get(); }
  TListColumn* Add();
  void Delete(int index);
  void Clear();

 private:
  friend class TCustomListView;
  friend class TListColumn;
  explicit TListColumns(TCustomListView& owner) : owner_(owner) {}
  TCustomListView& owner_;
  std::vector<std::unique_ptr<TListColumn>> columns_;
};

class TListItem {
 public:
  ~TListItem();
  TCustomListView* ListView() const { return &owner_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  // Texts of the columns after the first; changes show at once.
  TStrings* SubItems() { return subItems_.get(); }
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int Index() const;
  bool Selected() const;
  void SetSelected(bool value);
  bool Focused() const;
  void SetFocused(bool value);
  bool Checked() const;
  void SetChecked(bool value);
  TRect DisplayRect(TDisplayCode code) const;
  void MakeVisible(bool partialOk = false);
  // Redraws the item.
  void Update();
  // Removes the item from its list and frees it.
  void Delete();

 private:
  friend class TListItems;
  friend class TCustomListView;
  explicit TListItem(TCustomListView& owner);
  void SetState(UINT mask, UINT state);
  TCustomListView& owner_;
  std::string caption_;
  std::unique_ptr<TStringList> subItems_;
  void* data_ = nullptr;
  int imageIndex_ = -1;
  // Kept while the list view has no window.
  bool selected_ = false, focused_ = false, checked_ = false;
};

class TListItems {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TListItem* Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  TListItem* Add() { return Insert(Count()); }
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem* item) const;
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TCustomListView;
  friend class TListItem;
  explicit TListItems(TCustomListView& owner) : owner_(owner) {}
  TCustomListView& owner_;
  std::vector<TListItem*> items_;  // owned
  int updates_ = 0;
};

using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVDeletedEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVCompareEvent = std::function<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;
using TLVCustomDrawEvent = std::function<void(TCustomListView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TLVCustomDrawItemEvent =
    std::function<void(TCustomListView* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw)>;
using TLVCustomDrawSubItemEvent = std::function<void(TCustomListView* Sender, TListItem* Item, int SubItem,
                                                     TCustomDrawState State, bool& DefaultDraw)>;
using TLVInfoTipEvent = std::function<void(TObject* Sender, TListItem* Item, std::string& InfoTip)>;
using TLVEditingEvent = std::function<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = std::function<void(TObject* Sender, TListItem* Item, std::string& S)>;

// The system's list view.
class TCustomListView : public TWinControl {
  GUI_CLASS(TCustomListView, TWinControl)

 public:
  explicit TCustomListView(TComponent* owner);
  ~TCustomListView() override;

  TListColumns* Columns() { return &columns_; }
  TListItems* Items() { return &items_; }

  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool value);
  // No label editing.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // Selection shown only while focused.
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool value);
  // Column headers act as buttons (OnColumnClick).
  bool ColumnClick() const { return columnClick_; }
  void SetColumnClick(bool value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TCustomImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TCustomImageList* value);

  // The first selected item, or null; setting one selects it alone.
  TListItem* Selected();
  void SetSelected(TListItem* item);
  TListItem* ItemFocused();
  int SelCount();
  TListItem* GetItemAt(int x, int y);
  void Scroll(int dx, int dy);
  // Orders the items by compare (negative, zero, positive), stable.
  void CustomSort(const std::function<int(TListItem*, TListItem*)>& compare);
  // By OnCompare when assigned, else by caption.
  void AlphaSort();
  // The header of the report view (the control's child window), or null.
  HWND HeaderHandle();

  TCanvas* Canvas();
  void WndProc(TMessage& Message) override;

  TLVSelectItemEvent OnSelectItem;
  TLVColumnClickEvent OnColumnClick;
  TLVDeletedEvent OnDeletion;
  TLVDeletedEvent OnInsert;
  TLVCompareEvent OnCompare;
  TLVCustomDrawEvent OnCustomDraw;
  TLVCustomDrawItemEvent OnCustomDrawItem;
  TLVCustomDrawSubItemEvent OnCustomDrawSubItem;
  TLVInfoTipEvent OnInfoTip;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void ColClick(TListColumn* column);
  virtual bool CanEdit(TListItem* item);
  // Whether the control draws that part itself (and gets CustomDraw* calls).
  virtual bool IsCustomDrawn(TCustomDrawTarget target, TCustomDrawStage stage);
  // Each returns whether the system should draw as usual; the canvas holds
  // the item's font and background colour, which the control takes over.
  virtual bool CustomDraw(const TRect& rect, TCustomDrawStage stage);
  virtual bool CustomDrawItem(TListItem* item, TCustomDrawState state, TCustomDrawStage stage);
  virtual bool CustomDrawSubItem(TListItem* item, int subItem, TCustomDrawState state, TCustomDrawStage stage);
  // Handles a notification of the control (reflected WM_NOTIFY).
  virtual void CNNotify(TMessage& Message);

 private:
  friend class TListColumn;
  friend class TListColumns;
  friend class TListItem;
  friend class TListItems;
  HWND Window() const { return HandleAllocated() ? const_cast<TCustomListView*>(this)->Handle() : nullptr; }
  void InsertItemInWindow(int index, TListItem* item);
  void InsertColumnInWindow(int index, TListColumn* column);
  void ApplyExtendedStyle();
  void ApplyColors();
  void SyncOrderFromWindow();
  LRESULT CustomDrawNotify(NMLVCUSTOMDRAW* draw);
  // Notification and message handlers (see CNNotify and WndProc).
  void LVNGetDispInfo(TMessage& Message, bool wide);
  void LVNItemChanged(TMessage& Message);
  void LVNColumnClick(TMessage& Message);
  void LVNGetInfoTip(TMessage& Message, bool wide);
  void LVNBeginLabelEdit(TMessage& Message);
  void LVNEndLabelEdit(TMessage& Message, bool wide);
  void CMFontOrColorChanged(TMessage& Message);

  TListColumns columns_;
  TListItems items_;
  TViewStyle viewStyle_ = vsIcon;
  bool rowSelect_ = false;
  bool gridLines_ = false;
  bool readOnly_ = false;
  bool hideSelection_ = true;
  bool checkboxes_ = false;
  bool multiSelect_ = false;
  bool showColumnHeaders_ = true;
  bool columnClick_ = true;
  bool hotTrack_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  TCustomImageList* smallImages_ = nullptr;
  std::unique_ptr<TControlCanvas> canvas_;
  bool destroying_ = false;
};

class TListView : public TCustomListView {
  GUI_CLASS(TListView, TCustomListView)

 public:
  explicit TListView(TComponent* owner) : TCustomListView(owner) {}
};

enum THKModifier { hkShift, hkCtrl, hkAlt, hkExt };
using THKModifiers = Set<THKModifier>;
enum THKInvalidKey { hcNone, hcShift, hcCtrl, hcAlt, hcShiftCtrl, hcShiftAlt, hcCtrlAlt, hcShiftCtrlAlt };
using THKInvalidKeys = Set<THKInvalidKey>;

// The system's hot-key edit. HotKey is a short cut value: the virtual key
// in the low byte, scShift, scCtrl and scAlt above it (the hot-key
// manager's encoding).
class THotKey : public TWinControl {
  GUI_CLASS(THotKey, TWinControl)

 public:
  explicit THotKey(TComponent* owner);
  TShortCut HotKey();
  void SetHotKey(TShortCut value);
  // Combinations the edit refuses, and the modifiers it puts in their place.
  THKInvalidKeys InvalidKeys() const { return invalidKeys_; }
  void SetInvalidKeys(THKInvalidKeys value);
  THKModifiers Modifiers() const { return modifiers_; }
  void SetModifiers(THKModifiers value);

  void WndProc(TMessage& Message) override;
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

 private:
  void ApplyRules();
  TShortCut hotKey_ = scAlt | 'A';
  THKInvalidKeys invalidKeys_{hcNone, hcShift};
  THKModifiers modifiers_{hkAlt};
};

}  // namespace gui
