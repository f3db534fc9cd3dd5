// TCkListView: the system's list view with state colours and a
// self-painted frame, plus its own drawing of the report view's column
// header (themed items, sort arrows placed four ways), sorting of any column
// by a click on its header, a last column that fills the remaining width,
// label editing limited to the label in row-select report views, item hints
// through OnInfoTip, check-state events, an item context menu and wheel
// scrolling by fixed steps.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "CkFramed.h"
#include "gui/ComCtrls.h"

namespace ck {

enum TCkLVHeaderSortDisplayMode { hsdmNone, hsdmLeftAlign, hsdmRightOfText, hsdmRightAlign };
enum TCkLVSortDirection { lvsdAscending, lvsdDescending };

extern const TEnumInfo LVHeaderSortDisplayModeInfo;

using TCkLVCheckStateChanging =
    std::function<void(TObject* Sender, TListItem* Item, bool ToBeChecked, bool& AllowChange)>;
using TLVNotifyEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TCkLVDrawHeaderEvent = std::function<void(TObject* Sender, TCanvas* Canvas, int Index, TRect Rect)>;
using TCkLVOnItemContextMenuEvent =
    std::function<void(TObject* Sender, TListItem* Item, TPoint& Pos, TPopupMenu*& Menu)>;

// The order of sorting all columns: texts with a to z folded to capitals,
// other characters by their code, empty texts after all others. Negative,
// zero or positive; no item compares equal.
int CompareColumnTexts(TListItem* a, TListItem* b, int column);

class TCkCustomListView : public TCkFramedControl<TCustomListView> {
  GUI_CLASS(TCkCustomListView, TCkFramedControl<TCustomListView>)

 public:
  explicit TCkCustomListView(TComponent* owner);
  ~TCkCustomListView() override;

  // A header click sorts all rows by that column's text.
  bool AlphaSortAll() const { return alphaSortAll_; }
  void SetAlphaSortAll(bool value) { alphaSortAll_ = value; }
  // Label editing in a row-select report view follows the list view's own
  // rules (off: it starts only on the item's label).
  bool EditOnRowClick() const { return editOnRowClick_; }
  void SetEditOnRowClick(bool value) { editOnRowClick_ = value; }
  bool FillLastColumn() const { return fillLastColumn_; }
  void SetFillLastColumn(bool value);
  TCkLVHeaderSortDisplayMode HeaderSortDisplayMode() const { return sortDisplayMode_; }
  void SetHeaderSortDisplayMode(TCkLVHeaderSortDisplayMode value);
  // Off: OnDrawHeader draws the header items.
  bool HeaderDefaultDrawing() const { return headerDefaultDrawing_; }
  void SetHeaderDefaultDrawing(bool value);

  // The column that shows the sort arrow (-1: none) and its direction.
  int SortColumn() const { return sortColumn_; }
  void SetSortColumn(int value);
  TCkLVSortDirection SortDirection() const { return sortDirection_; }
  void SetSortDirection(TCkLVSortDirection value);
  // The last column takes the width the others leave (FillLastColumn).
  void FitLastColumn();

  // Switching to the report view sets the header up for its own drawing.
  void SetViewStyle(TViewStyle value);
  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(TWinControl* parent) override;

  // The header window the control draws, or null; the header item under
  // the pointer (-1: none).
  HWND HookedHeader() const { return header_; }
  int HotHeaderItem() const { return hotHeaderItem_; }
  THintWindow* ItemHintWindow() const { return itemHint_.Window(); }

  void WndProc(TMessage& Message) override;

  TCkLVCheckStateChanging OnCheckStateChanging;
  TLVNotifyEvent OnCheckStateChange;
  TCkLVDrawHeaderEvent OnDrawHeader;
  TCkLVOnItemContextMenuEvent OnItemContextMenu;

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void ColClick(TListColumn* column) override;
  bool IsCustomDrawn(TCustomDrawTarget target, TCustomDrawStage stage) override;
  bool CustomDrawItem(TListItem* item, TCustomDrawState state, TCustomDrawStage stage) override;
  void CNNotify(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void RedrawFrame() override;
  void PointerOver() override;
  void PointerGone() override;
  // Not while a frame controller hands over its settings.
  bool RecreateOnFrameVisible() override { return !writingController_; }

  virtual bool CanChangeCheckState(TListItem* item, bool toBeChecked);
  virtual void CheckStateChanged(TListItem* item);
  virtual void DrawHeader(TCanvas* canvas, int index, TRect rect);
  virtual void ItemContextMenu(TPoint pos);
  // The context menu for a client point: the item's menu for a right-clicked
  // or selected item, else the control's popup menu.
  virtual void ShowContextMenu(TPoint pos);

 private:
  static LRESULT CALLBACK HeaderProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  void HeaderWndProc(TMessage& Message);
  void HookHeader();
  void UnhookHeader();
  void HeaderNotify(TMessage& Message);
  void RefreshHeaderFormats();
  void InvalidateHeader(bool erase);
  void InvalidateHeaderItem(int index);
  void DrawHeaderItem(TMessage& Message);
  void DefaultPopup(TPoint pos);
  void ContextMenuMessage(TMessage& Message);
  void RightButtonUp(TMessage& Message);
  void UpdateItemHint();
  void ResetHotHeader();
  void WheelScroll(int direction);
  void SortAll(int column);
  TPoint IconCentre(TListItem* item);

  bool alphaSortAll_ = false;
  bool editOnRowClick_ = false;
  bool fillLastColumn_ = true;
  int lastSortedAscending_ = -1;
  int sortColumn_ = -1;
  TCkLVSortDirection sortDirection_ = lvsdAscending;
  TCkLVHeaderSortDisplayMode sortDisplayMode_ = hsdmRightOfText;
  bool headerDefaultDrawing_ = true;
  TCanvas headerCanvas_;
  int hotHeaderItem_ = -1;
  bool headerPressed_ = false;
  HWND header_ = nullptr;
  WNDPROC headerProc_ = nullptr;
  int refreshingFormats_ = 0;
  bool rightClicked_ = false;
  bool menuHandled_ = false;
  bool fittingAtLoad_ = false;
  TCkItemHint itemHint_{*this};
};

class TCkListView : public TCkCustomListView {
  GUI_CLASS(TCkListView, TCkCustomListView)

 public:
  explicit TCkListView(TComponent* owner) : TCkCustomListView(owner) {}
};

}  // namespace ck
