#include "VeeButton.h"

#include "VeeButtonLayout.h"

namespace components {

using namespace gui;

GUI_DEFINE_CLASS(TVeeButton) {
  for (const char* name : {"Cancel", "Default", "Stretch", "DrawFocused", "DrawBorder", "EnableTransparentColor",
                           "TransparentColor", "PictureX", "PictureY", "PictureAlign"})
    c.Publish(name);
  c.Object("PicNormal", &TVeeButton::PicNormal, &TVeeButton::SetPicNormal);
  c.Object("PicMouseHover", &TVeeButton::PicMouseHover, &TVeeButton::SetPicMouseHover);
  c.Object("PicMouseDown", &TVeeButton::PicMouseDown, &TVeeButton::SetPicMouseDown);
  c.Object("PicDisabled", &TVeeButton::PicDisabled, &TVeeButton::SetPicDisabled);
  for (const char* name : {"OnMouseEnter", "OnMouseExit", "OnMouseContinuouslyDown", "Action", "Font", "Enabled",
                           "TabOrder", "OnClick", "OnMouseMove", "OnMouseDown", "OnMouseUp", "OnKeyDown",
                           "OnKeyUp", "OnKeyPress"})
    c.Publish(name);
}

TVeeButton::TVeeButton(TComponent* owner) : TVeeCustomButton(owner) {
  for (auto* picture : {&picNormal_, &picMouseHover_, &picMouseDown_, &picDisabled_}) {
    *picture = std::make_unique<TPicture>();
    (*picture)->OnChange = [this](TObject*) { Redraw(); };
  }
}

TVeeButton::~TVeeButton() = default;

void TVeeButton::SetPicture(TPicture& picture, TPicture* value) {
  picture.Assign(value);
  Redraw();
}

TPicture* TVeeButton::GetStatePicture() {
  TPicture* chosen = picNormal_.get();
  switch (VeeButtonState(Enabled(), Down(), Hover())) {
    case TVeeButtonState::Disabled: chosen = picDisabled_.get(); break;
    case TVeeButtonState::Down: chosen = picMouseDown_.get(); break;
    case TVeeButtonState::Hover: chosen = picMouseHover_.get(); break;
    default: break;
  }
  auto empty = [](TPicture* p) { return !p->Graphic() || p->Graphic()->Empty(); };
  if (empty(chosen)) chosen = picNormal_.get();
  return empty(chosen) ? nullptr : chosen;
}

namespace {
// Forms may name the class as soon as the program links it.
const bool registered = (RegisterClasses({&TVeeButton::StaticClass()}), true);
}  // namespace

}  // namespace components
