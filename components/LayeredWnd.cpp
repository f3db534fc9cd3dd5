#include "LayeredWnd.h"

#include "LayeredButton.h"
#include "LayeredGdiplus.h"
#include "LayeredLabel.h"
#include "VeeWindowsUtils.h"
#include "kit/Own.h"

namespace components {

GUI_DEFINE_CLASS(TfrmLayered) {
  c.Integer("BlendAlpha", &TfrmLayered::BlendAlpha, &TfrmLayered::SetBlendAlpha);
  c.String("BackgroundImage", &TfrmLayered::BackgroundImage, &TfrmLayered::SetBackgroundImage);
  c.Integer("KeyColor", &TfrmLayered::KeyColor, &TfrmLayered::SetKeyColor);
  c.Enumeration("TextQuality", TextQualityInfo(), &TfrmLayered::TextQuality, &TfrmLayered::SetTextQuality);
  c.String("ResourcesTypeName", &TfrmLayered::ResourcesTypeName, &TfrmLayered::SetResourcesTypeName);
  c.String("BackgroundResourcesName", &TfrmLayered::BackgroundResourcesName,
           &TfrmLayered::SetBackgroundResourcesName);
  c.Handler("FormMouseDown", &TfrmLayered::FormMouseDown);
}

TfrmLayered::TfrmLayered(gui::TComponent* owner) : gui::TForm(owner) {}

TfrmLayered::~TfrmLayered() {
  // The buffers go with this part of the form, before the class library
  // takes the children down: they must not draw into them any more.
  auto detach = [this](gui::TComponent* component) {
    if (auto* control = dynamic_cast<TLayeredControl*>(component); control && control->LayeredParent() == this)
      control->SetLayeredParent(nullptr);
  };
  for (int i = 0; i < ComponentCount(); ++i) detach(Components(i));
  for (int i = 0; i < ControlCount(); ++i) detach(Controls(i));
}

void TfrmLayered::Loaded() {
  // The form's own size is known now; the buffers keep it for good.
  EditStyle(WS_CAPTION | WS_THICKFRAME, 0);
  EditExStyle(WS_EX_DLGMODALFRAME | WS_EX_TRANSPARENT, WS_EX_LAYERED);
  CreateBuffers();
  inherited::Loaded();
  // What the form stored came before there were buffers to hold it.
  if (textQualityStored_) surface_.SetTextRenderingHint(TextRenderingHintOf(textQuality_));
  if (!backgroundImage_.empty() && !InstallBackground(LoadGPImageFromFile(backgroundImage_)))
    backgroundImage_.clear();  // as a path that cannot load is never kept
  LoadBackgroundResource();
}

bool TfrmLayered::Reading() const { return ComponentState().Contains(gui::csLoading); }

bool TfrmLayered::CreateBuffers() { return surface_.Create(Width(), Height()); }

void TfrmLayered::RestoreBackground() { surface_.RestoreBackground(); }

bool TfrmLayered::InstallBackground(TGPImage image) {
  if (!image || !surface_.Ready()) return false;
  background_ = std::move(image);
  surface_.DrawBackground(*background_);
  return true;
}

void TfrmLayered::SetBackgroundImage(const std::string& path) {
  if (Reading()) {
    backgroundImage_ = path;  // loaded once the buffers exist
    return;
  }
  if (InstallBackground(LoadGPImageFromFile(path))) backgroundImage_ = path;
  Repaint();
}

void TfrmLayered::SetBackgroundResourcesName(const std::string& value) {
  backgroundResourcesName_ = value;
  if (!Reading()) LoadBackgroundResource();
}

void TfrmLayered::LoadBackgroundResource() {
  if (backgroundResourcesName_.empty() || resourcesTypeName_.empty()) return;
  InstallBackground(LoadGPImageFromResource(backgroundResourcesName_, resourcesTypeName_, GetModuleHandleW(nullptr)));
  Repaint();
}

void TfrmLayered::SetResourcesTypeName(const std::string& value) {
  resourcesTypeName_ = value;
  SetBackgroundResourcesName(backgroundResourcesName_);
}

void TfrmLayered::SetKeyColor(std::uint32_t value) {
  keyColor_ = value;
  Repaint();
}

void TfrmLayered::SetTextQuality(TTextQuality value) {
  textQuality_ = value;
  textQualityStored_ = true;
  surface_.SetTextRenderingHint(TextRenderingHintOf(value));
  Repaint();
}

void TfrmLayered::FormMouseDown(gui::TObject*, gui::TMouseButton, gui::TShiftState, int, int) {
  ReleaseCapture();
  SendMessageW(Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void TfrmLayered::PaintWindow(HDC) { Paint(); }

void TfrmLayered::Paint() {
  if (!surface_.Ready()) return;
  if (background_) RestoreBackground();
  // Only the layered labels and buttons draw into the buffer. Each would
  // hand the whole buffer to the window; once, at the end, shows the same.
  {
    painting_ = true;
    auto done = kit::OnExit([this] { painting_ = false; });
    for (int i = 0; i < ControlCount(); ++i) {
      if (auto* control = dynamic_cast<TLayeredControl*>(Controls(i))) {
        control->SetLayeredParent(this);
        control->Repaint();
      }
    }
  }
  Present();
}

void TfrmLayered::Present() {
  if (!painting_) surface_.Present(Handle(), keyColor_, blendAlpha_);
}

namespace {
// Forms name the layered controls; a program that has layered windows links
// this file.
const bool registered = (gui::RegisterClasses({&TfrmLayered::StaticClass(), &TLayeredLabel::StaticClass(),
                                                &TLayeredButton::StaticClass()}),
                         true);
}  // namespace

}  // namespace components
