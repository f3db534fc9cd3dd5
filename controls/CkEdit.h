// TCkEdit: the system's single-line edit with state colours, a read-only
// colour, a self-painted frame, text alignment and Enter as Tab.
#pragma once

#include "CkFramed.h"
#include "gui/StdCtrls.h"

namespace ck {

class TCkCustomEdit : public TCkFramedControl<TCustomMaskEdit> {
  GUI_CLASS(TCkCustomEdit, TCkFramedControl<TCustomMaskEdit>)

 public:
  explicit TCkCustomEdit(TComponent* owner);
  ~TCkCustomEdit() override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  // Enter moves the focus on as Tab does.
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }
  void SetReadOnly(bool value) override;
  TColor ReadOnlyColor() const { return readOnlyColor_; }
  void SetReadOnlyColor(TColor value);
  // Focused and read-only: ReadOnlyColor instead of FocusColor.
  bool ReadOnlyColorOnFocus() const { return readOnlyColorOnFocus_; }
  void SetReadOnlyColorOnFocus(bool value);

  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyPress(char& Key) override;
  TColor StateColor() override;
  bool HasFocusLook() override { return inControl_; }
  void FocusStateChanged(bool entered) override;
  void RedrawFrame() override;

 private:
  void ReadOnlyOrEnabledChanged();
  void ReleaseOwnCapture();

  TAlignment alignment_ = taLeftJustify;
  bool tabOnEnter_ = false;
  TColor readOnlyColor_ = clInfoBk;
  bool readOnlyColorOnFocus_ = false;
  bool inControl_ = false;
};

class TCkEdit : public TCkCustomEdit {
  GUI_CLASS(TCkEdit, TCkCustomEdit)

 public:
  explicit TCkEdit(TComponent* owner) : TCkCustomEdit(owner) {}
};

}  // namespace ck
