// TVeeButton: the picture button of the program's windows, with a picture
// for each look (normal, hover, pressed, disabled). A look without its own
// picture shows the normal one.
#pragma once

#include <memory>

#include "VeeCustomButton.h"
#include "gui/Graphic.h"

namespace components {

class TVeeButton : public TVeeCustomButton {
  GUI_CLASS(TVeeButton, TVeeCustomButton)

 public:
  explicit TVeeButton(gui::TComponent* owner);
  ~TVeeButton() override;

  // Setting a picture copies it; the caller keeps its own.
  gui::TPicture* PicNormal() { return picNormal_.get(); }
  void SetPicNormal(gui::TPicture* value) { SetPicture(*picNormal_, value); }
  gui::TPicture* PicMouseHover() { return picMouseHover_.get(); }
  void SetPicMouseHover(gui::TPicture* value) { SetPicture(*picMouseHover_, value); }
  gui::TPicture* PicMouseDown() { return picMouseDown_.get(); }
  void SetPicMouseDown(gui::TPicture* value) { SetPicture(*picMouseDown_, value); }
  gui::TPicture* PicDisabled() { return picDisabled_.get(); }
  void SetPicDisabled(gui::TPicture* value) { SetPicture(*picDisabled_, value); }

 protected:
  gui::TPicture* GetStatePicture() override;

 private:
  void SetPicture(gui::TPicture& picture, gui::TPicture* value);
  std::unique_ptr<gui::TPicture> picNormal_, picMouseHover_, picMouseDown_, picDisabled_;
};

}  // namespace components
