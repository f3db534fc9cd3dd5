// Standard controls: the label, the push button, and wrappers of the
// system's list box and edit.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "gui/Controls.h"
#include "gui/Strings.h"

namespace gui {

class TCustomLabel : public TGraphicControl {
  GUI_CLASS(TCustomLabel, TGraphicControl)

 public:
  explicit TCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  // The label takes the size of its text (its width too unless WordWrap).
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  // Leaves the background as the parent painted it.
  bool Transparent() const { return !controlStyle_.Contains(csOpaque); }
  void SetTransparent(bool value);
  // "&" marks the accelerator; off, it is shown as it is.
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  // The control the accelerator focuses.
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* value);

  void WndProc(TMessage& Message) override;

 protected:
  // The text painted (the caption here).
  virtual std::string GetLabelText() { return Caption(); }
  // Draws (or with DT_CALCRECT measures into rect) the text on the canvas.
  virtual void DoDrawText(TRect& rect, UINT flags);
  // Takes the size of the text when AutoSize is on.
  virtual void AdjustBounds();
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void CMTextChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMDialogChar(TMessage& Message);

  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  GUI_CLASS(TLabel, TCustomLabel)

 public:
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

// The system's push button. Enter clicks the default button (or the focused
// push button), Esc the cancel button; a click sets its form's modal result.
class TButton : public TWinControl {
  GUI_CLASS(TButton, TWinControl)

 public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  // Whether Enter presses this button now.
  bool Active() const { return active_; }

  void Click() override;
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  void CNCommand(TMessage& Message);
  void CMDialogKey(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void CMFocusChanged(TMessage& Message);
  void SetButtonStyle(bool isDefault);
  bool default_ = false;
  bool cancel_ = false;
  bool active_ = false;
  TModalResult modalResult_ = mrNone;
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
enum TOwnerDrawStateFlag {
  odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel, odNoFocusRect,
  odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = Set<TOwnerDrawStateFlag>;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;
using TLBGetDataEvent = std::function<void(TWinControl* Control, int Index, std::string& Data)>;

// The owner-draw state of a DRAWITEMSTRUCT.
TOwnerDrawState OwnerDrawState(UINT itemState);

// The system's list box. Items live in the window while it exists (messages
// sent to it directly show in Items) and in the control while it does not.
class TCustomListBox : public TWinControl {
  GUI_CLASS(TCustomListBox, TWinControl)

 public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TStrings* Items();
  void SetItems(TStrings* value) { Items()->Assign(value); }
  // The selected item (multi-select: the one with the caret), or -1.
  int ItemIndex();
  void SetItemIndex(int value);
  int ItemHeight();
  void SetItemHeight(int value);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool value);
  int Columns() const { return columns_; }
  void SetColumns(int value);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  // The number of items of a virtual list box.
  int Count();
  void SetCount(int value);

  bool Selected(int index);
  void SetSelected(int index, bool value);
  int SelCount();
  int TopIndex();
  void SetTopIndex(int value);
  // The item at a client point; -1 when none (existing: only a real item,
  // else the index after the last for a point below it).
  int ItemAtPos(TPoint pos, bool existing);
  TRect ItemRect(int index);
  void Clear();
  void ClearSelection();
  void SelectAll();

  TCanvas* Canvas();
  void WndProc(TMessage& Message) override;

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TLBGetDataEvent OnData;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);
  // The text of an item, virtual ones through OnData.
  std::string ItemText(int index);

 private:
  void CNCommand(TMessage& Message);
  void CNDrawItem(TMessage& Message);
  void CNMeasureItem(TMessage& Message);
  void CMFontOrColorChanged(TMessage& Message);

  class TListBoxStrings;
  friend class TListBoxStrings;
  std::unique_ptr<TListBoxStrings> items_;

  std::unique_ptr<TStringList> saved_;  // the items while there is no window
  int savedIndex_ = -1;
  int savedTop_ = 0;
  int itemHeight_ = 16;
  int count_ = 0;
  TListBoxStyle style_ = lbStandard;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  bool sorted_ = false;
  bool integralHeight_ = false;
  int columns_ = 0;
  int tabWidth_ = 0;
  TBorderStyle borderStyle_ = bsSingle;
  std::unique_ptr<TControlCanvas> canvas_;
};

class TListBox : public TCustomListBox {
  GUI_CLASS(TListBox, TCustomListBox)

 public:
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// The system's single-line edit.
class TCustomEdit : public TWinControl {
  GUI_CLASS(TCustomEdit, TWinControl)

 public:
  explicit TCustomEdit(TComponent* owner);

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool ReadOnly() const { return readOnly_; }
  virtual void SetReadOnly(bool value);
  // All text is selected when the edit gets the focus from the keyboard.
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  // The height follows the font.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool value);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool Modified();
  void SetModified(bool value);

  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  std::string SelText();
  void SetSelText(const std::string& value);
  void SelectAll();
  void ClearSelection();
  void Clear() { SetText(""); }

  void WndProc(TMessage& Message) override;

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  virtual void Change();
  void AdjustHeight();

 private:
  void CNCommand(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMFontChanged(TMessage& Message);

  int maxLength_ = 0;
  bool readOnly_ = false;
  bool autoSelect_ = true;
  bool autoSize_ = true;
  TEditCharCase charCase_ = ecNormal;
  bool hideSelection_ = true;
  bool oemConvert_ = false;
  char passwordChar_ = 0;
  TBorderStyle borderStyle_ = bsSingle;
  bool creating_ = false;
};

class TEdit : public TCustomEdit {
  GUI_CLASS(TEdit, TCustomEdit)

 public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

// The base the framed edit builds on; it adds no input mask of its own.
class TCustomMaskEdit : public TCustomEdit {
  GUI_CLASS(TCustomMaskEdit, TCustomEdit)

 public:
  explicit TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}
};

}  // namespace gui
