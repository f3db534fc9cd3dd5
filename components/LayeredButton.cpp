#include "LayeredButton.h"

#include "LayeredGdiplus.h"
#include "LayeredWnd.h"
#include "VeeWindowsUtils.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"

namespace components {

GUI_DEFINE_CLASS(TLayeredButton) {
  c.Boolean("Cancel", &TLayeredButton::Cancel, &TLayeredButton::SetCancel, false);
  c.Boolean("Default", &TLayeredButton::Default, &TLayeredButton::SetDefault, false);
  c.Integer("ModalResult", &TLayeredButton::ModalResult, &TLayeredButton::SetModalResult, {},
            &gui::ModalResultIdents());
  c.Enumeration("PictureAlign", AlignmentInfo(), &TLayeredButton::PictureAlign, &TLayeredButton::SetPictureAlign);
  c.Integer("PictureX", &TLayeredButton::PictureX, &TLayeredButton::SetPictureX);
  c.Integer("PictureY", &TLayeredButton::PictureY, &TLayeredButton::SetPictureY);
  c.Boolean("Stretch", &TLayeredButton::Stretch, &TLayeredButton::SetStretch);
  c.Event("OnMouseExit", &TLayeredButton::OnMouseExit);
  c.String("PicNormal", &TLayeredButton::PicNormal, &TLayeredButton::SetPicNormal);
  c.String("PicMouseHover", &TLayeredButton::PicMouseHover, &TLayeredButton::SetPicMouseHover);
  c.String("PicMouseDown", &TLayeredButton::PicMouseDown, &TLayeredButton::SetPicMouseDown);
  c.String("PicDisabled", &TLayeredButton::PicDisabled, &TLayeredButton::SetPicDisabled);
  c.String("ResourcesTypeName", &TLayeredButton::ResourcesTypeName, &TLayeredButton::SetResourcesTypeName);
  c.String("ImageResourcesNameNormal", &TLayeredButton::ImageResourcesNameNormal,
           &TLayeredButton::SetImageResourcesNameNormal);
  c.String("ImageResourcesNameHover", &TLayeredButton::ImageResourcesNameHover,
           &TLayeredButton::SetImageResourcesNameHover);
  c.String("ImageResourcesNameMouseDown", &TLayeredButton::ImageResourcesNameMouseDown,
           &TLayeredButton::SetImageResourcesNameMouseDown);
  c.String("ImageResourcesNameDisabled", &TLayeredButton::ImageResourcesNameDisabled,
           &TLayeredButton::SetImageResourcesNameDisabled);
  c.Publish("OnMouseEnter");
  c.Publish("Action");
  c.Publish("Enabled");
  c.Publish("TabOrder");
  c.Publish("OnKeyDown");
  c.Publish("OnKeyUp");
  c.Publish("OnKeyPress");
}

TLayeredButton::TLayeredButton(gui::TComponent* owner) : TLayeredControl(owner) {
  SetTextAlign(Alignment_Center);
  SetDrawFocused(true);
  SetTabStop(true);
}

TLayeredButton::~TLayeredButton() = default;

void TLayeredButton::CreateWnd() {
  inherited::CreateWnd();
  activeDefault_ = default_;
}

void TLayeredButton::SetDefault(bool value) {
  default_ = value;
  if (!HandleAllocated()) return;
  if (gui::TCustomForm* form = gui::GetParentForm(this))
    form->Perform(gui::CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TLayeredButton::SetPictureAlign(TAlignment value) { Update(pictureAlign_, value); }
void TLayeredButton::SetPictureX(int value) { Update(pictureX_, value); }
void TLayeredButton::SetPictureY(int value) { Update(pictureY_, value); }
void TLayeredButton::SetStretch(bool value) { Update(stretch_, value); }

void TLayeredButton::SetPicture(TLayeredLook look, const std::string& path) {
  TStatePicture& picture = pictures_[look];
  if (path.empty()) {
    picture.Image.reset();
    picture.Path.clear();
  } else if (TGPImage image = LoadGPImageFromFile(path)) {
    picture.Image = std::move(image);
    picture.Path = path;
  }
  Repaint();
}

void TLayeredButton::SetPictureResource(TLayeredLook look, const std::string& name) {
  TStatePicture& picture = pictures_[look];
  picture.Resource = name;
  if (resourcesTypeName_.empty()) return;
  if (TGPImage image = LoadGPImageFromResource(name, resourcesTypeName_, GetModuleHandleW(nullptr)))
    picture.Image = std::move(image);
  Repaint();
}

void TLayeredButton::SetResourcesTypeName(const std::string& value) {
  resourcesTypeName_ = value;
  Repaint();
}

Gdiplus::Image* TLayeredButton::GetStatePicture() {
  if (Gdiplus::Image* image = Picture(LookOf(Enabled(), state_))) return image;
  return Picture(Look_Normal);
}

void TLayeredButton::PaintLayered(Gdiplus::Graphics& graphics) {
  if (Gdiplus::Image* image = GetStatePicture()) DrawPicture(graphics, image);
  DrawFocus(graphics);
  if (HasVisibleText(Caption())) DrawCaption(graphics, Caption());
}

void TLayeredButton::DrawPicture(Gdiplus::Graphics& graphics, Gdiplus::Image* image) {
  const int width = ImageWidth(image), height = ImageHeight(image);
  if (!Visible() || width == 0 || height == 0) return;
  DrawLayeredPicture(graphics, *image, BoundsRect(),
                     PlacePicture(pictureAlign_, BoundsRect(), width, height, stretch_, pictureX_, pictureY_));
}

void TLayeredButton::DrawCaption(Gdiplus::Graphics& graphics, const std::string& caption) {
  // A pressed caption moves by a pixel, as if pushed in.
  DrawStateCaption(graphics, caption, state_.Down ? 1 : 0);
}

void TLayeredButton::DrawFocus(Gdiplus::Graphics& graphics) {
  if (Visible() && DrawFocused() && Focused() && TabStop()) DrawFocusOutline(graphics);
}

void TLayeredButton::MouseExited() {
  entered_ = false;
  if (OnMouseExit) OnMouseExit(this);
}

void TLayeredButton::Click() {
  if (state_.Down) {
    state_.Complete();
    Repaint();
  }
  if (gui::TCustomForm* form = gui::GetParentForm(this)) form->SetModalResult(modalResult_);
  inherited::Click();
}

void TLayeredButton::WndProc(gui::TMessage& m) {
  switch (m.Msg) {
    case gui::CM_MOUSEENTER:
      state_.Enter();
      Repaint();
      entered_ = true;
      break;  // the class library fires OnMouseEnter
    case gui::CM_MOUSELEAVE:
      if (state_.Down) return;
      state_.Reset();
      Repaint();
      MouseExited();
      break;
    case gui::CM_DIALOGCHAR:
      if (gui::IsAccel(m.WParam, Caption()) && Enabled()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    case gui::CM_DIALOGKEY: {
      const bool pressed = (m.WParam == VK_RETURN && activeDefault_) || (m.WParam == VK_ESCAPE && cancel_);
      if (pressed && gui::KeyboardStateToShiftState().Empty() && CanFocus()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    }
    case gui::CM_FOCUSCHANGED: {
      auto* focused = reinterpret_cast<gui::TWinControl*>(m.LParam);
      activeDefault_ = focused && focused->Is<gui::TButton>() ? focused == this : default_;
      Repaint();
      break;
    }
    case WM_KILLFOCUS:
      state_.Down = false;
      Repaint();
      break;
    case WM_SETFOCUS:
      Repaint();
      break;
  }
  inherited::WndProc(m);
}

void TLayeredButton::MouseDown(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y) {
  if (Button == gui::mbLeft) Press();
  inherited::MouseDown(Button, Shift, X, Y);
}

void TLayeredButton::MouseMove(gui::TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (!InsideControl(X, Y, Width(), Height()) && !state_.Down) StateChanged(state_.Reset());
}

void TLayeredButton::MouseUp(gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y) {
  const bool inside = InsideControl(X, Y, Width(), Height());
  state_.Release(inside);
  Repaint();
  inherited::MouseUp(Button, Shift, X, Y);
  // A press dragged out of the button left without telling; say so now,
  // so that whatever OnMouseEnter changed is put back.
  if (!inside && entered_) MouseExited();
}

void TLayeredButton::KeyDown(WORD& Key, gui::TShiftState Shift) {
  if ((Key == VK_SPACE || Key == VK_RETURN) && Focused() && Enabled()) {
    state_.Press();
    Repaint();
  }
  inherited::KeyDown(Key, Shift);
}

void TLayeredButton::KeyUp(WORD& Key, gui::TShiftState Shift) {
  if ((Key == VK_SPACE || Key == VK_RETURN) && Focused() && state_.Down && Enabled()) {
    state_.Complete();
    Repaint();
    Click();
  }
  inherited::KeyUp(Key, Shift);
}

}  // namespace components
