// TLayeredButton: the push button of a layered window (TfrmLayered). Four
// state pictures (normal, hover, pressed, disabled) from files or from the
// program's resources, a caption, keyboard use, Default, Cancel and
// ModalResult; it draws into the window's buffer like the layered label.
#pragma once

#include <array>
#include <string>

#include "LayeredControl.h"
#include "gui/Events.h"

namespace components {

class TLayeredButton : public TLayeredControl {
  GUI_CLASS(TLayeredButton, TLayeredControl)

 public:
  explicit TLayeredButton(gui::TComponent* owner);
  ~TLayeredButton() override;

  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  bool Default() const { return default_; }
  void SetDefault(bool value);
  // Whether Enter presses this button now.
  bool ActiveDefault() const { return activeDefault_; }
  gui::TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(gui::TModalResult value) { modalResult_ = value; }

  TAlignment PictureAlign() const { return pictureAlign_; }
  void SetPictureAlign(TAlignment value);
  int PictureX() const { return pictureX_; }
  void SetPictureX(int value);
  int PictureY() const { return pictureY_; }
  void SetPictureY(int value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);

  // Picture files of the four looks; an empty path removes that picture, a
  // file that cannot be read keeps the old one.
  const std::string& PicNormal() const { return pictures_[Look_Normal].Path; }
  void SetPicNormal(const std::string& path) { SetPicture(Look_Normal, path); }
  const std::string& PicMouseHover() const { return pictures_[Look_Hover].Path; }
  void SetPicMouseHover(const std::string& path) { SetPicture(Look_Hover, path); }
  const std::string& PicMouseDown() const { return pictures_[Look_Down].Path; }
  void SetPicMouseDown(const std::string& path) { SetPicture(Look_Down, path); }
  const std::string& PicDisabled() const { return pictures_[Look_Disabled].Path; }
  void SetPicDisabled(const std::string& path) { SetPicture(Look_Disabled, path); }

  // Pictures from the program's resources: set the type first, then the
  // names (a name loads only when the type is known).
  const std::string& ResourcesTypeName() const { return resourcesTypeName_; }
  void SetResourcesTypeName(const std::string& value);
  const std::string& ImageResourcesNameNormal() const { return pictures_[Look_Normal].Resource; }
  void SetImageResourcesNameNormal(const std::string& name) { SetPictureResource(Look_Normal, name); }
  const std::string& ImageResourcesNameHover() const { return pictures_[Look_Hover].Resource; }
  void SetImageResourcesNameHover(const std::string& name) { SetPictureResource(Look_Hover, name); }
  const std::string& ImageResourcesNameMouseDown() const { return pictures_[Look_Down].Resource; }
  void SetImageResourcesNameMouseDown(const std::string& name) { SetPictureResource(Look_Down, name); }
  const std::string& ImageResourcesNameDisabled() const { return pictures_[Look_Disabled].Resource; }
  void SetImageResourcesNameDisabled(const std::string& name) { SetPictureResource(Look_Disabled, name); }

  // The picture of a look, or none.
  Gdiplus::Image* Picture(TLayeredLook look) const { return pictures_[look].Image.get(); }

  void Click() override;
  void WndProc(gui::TMessage& Message) override;

  gui::TNotifyEvent OnMouseExit;

 protected:
  virtual void DrawPicture(Gdiplus::Graphics& graphics, Gdiplus::Image* image);
  virtual void DrawCaption(Gdiplus::Graphics& graphics, const std::string& caption);
  virtual void DrawFocus(Gdiplus::Graphics& graphics);
  // The picture the button shows now: that of its look, else the normal one.
  virtual Gdiplus::Image* GetStatePicture();
  void PaintLayered(Gdiplus::Graphics& graphics) override;
  void MouseDown(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y) override;
  void MouseMove(gui::TShiftState Shift, int X, int Y) override;
  void MouseUp(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, gui::TShiftState Shift) override;
  void KeyUp(WORD& Key, gui::TShiftState Shift) override;
  void CreateWnd() override;

 private:
  struct TStatePicture {
    TGPImage Image;
    std::string Path;
    std::string Resource;
  };
  void SetPicture(TLayeredLook look, const std::string& path);
  void SetPictureResource(TLayeredLook look, const std::string& name);
  void MouseExited();

  bool cancel_ = false;
  bool default_ = false;
  bool activeDefault_ = false;
  gui::TModalResult modalResult_ = 0;
  TAlignment pictureAlign_ = Alignment_TopLeft;
  int pictureX_ = 0, pictureY_ = 0;
  bool stretch_ = false;
  std::array<TStatePicture, 4> pictures_;
  std::string resourcesTypeName_;
  // The pointer is inside as far as OnMouseEnter and OnMouseExit told.
  bool entered_ = false;
};

}  // namespace components
