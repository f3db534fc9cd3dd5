// TfrmLayered: a borderless form shown as a per-pixel-alpha layered window.
// Its picture lives in an off-screen 32-bit buffer: the background image
// (a PNG with transparency, from a file or a resource of the program) and
// the layered labels and buttons drawn over it; each paint hands the buffer
// to the platform. The base form resource (components/forms/LayeredWnd.form,
// which a program embeds with the forms that inherit it) binds
// FormMouseDown, so the window is dragged by any point.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "LayeredDraw.h"
#include "gui/Forms.h"

namespace components {

class TfrmLayered : public gui::TForm {
  GUI_CLASS(TfrmLayered, gui::TForm)

 public:
  explicit TfrmLayered(gui::TComponent* owner);
  ~TfrmLayered() override;

  // The drawing buffer's graphics object and contexts; none when the
  // buffers could not be made.
  Gdiplus::Graphics* MemGraphics() const { return surface_.Graphics(); }
  HDC MemDC() const { return surface_.MemDC(); }
  HDC BackgroundDC() const { return surface_.BackgroundDC(); }
  TLayeredSurface& Surface() { return surface_; }
  bool HasBackground() const { return background_ != nullptr; }

  // Constant opacity over the per-pixel alpha; used from the next paint.
  BYTE BlendAlpha() const { return blendAlpha_; }
  void SetBlendAlpha(BYTE value) { blendAlpha_ = value; }
  const std::string& BackgroundImage() const { return backgroundImage_; }
  void SetBackgroundImage(const std::string& path);
  // Handed to the platform but not asked for: per-pixel alpha decides.
  std::uint32_t KeyColor() const { return keyColor_; }
  void SetKeyColor(std::uint32_t value);
  TTextQuality TextQuality() const { return textQuality_; }
  void SetTextQuality(TTextQuality value);
  // A background image stored in the program: the resource's type and name.
  const std::string& ResourcesTypeName() const { return resourcesTypeName_; }
  void SetResourcesTypeName(const std::string& value);
  const std::string& BackgroundResourcesName() const { return backgroundResourcesName_; }
  void SetBackgroundResourcesName(const std::string& value);

  // The form's mouse-down handler: drags the window by any point of it.
  void FormMouseDown(gui::TObject* Sender, gui::TMouseButton Button, gui::TShiftState Shift, int X, int Y);

  // Draws the picture now: background, then the layered children, then
  // hands it to the window.
  void Repaint() { Paint(); }
  // Hands the drawing buffer to the window as it is.
  void Present();

 protected:
  virtual bool CreateBuffers();
  virtual void RestoreBackground();
  virtual void Paint();
  void PaintWindow(HDC dc) override;
  void Loaded() override;

 private:
  // Keeps a newly loaded image as the background; false (nothing changed)
  // for none or without buffers.
  bool InstallBackground(TGPImage image);
  // The resource background, once its name and type are both known.
  void LoadBackgroundResource();
  // Properties arrive from the form before the buffers do.
  bool Reading() const;

  TLayeredSurface surface_;
  TGPImage background_;
  BYTE blendAlpha_ = 255;
  std::string backgroundImage_;
  std::uint32_t keyColor_ = 0xFF00FF;
  TTextQuality textQuality_ = TextQuality_SystemDefault;
  bool textQualityStored_ = false;  // the buffers' own hint until written
  bool painting_ = false;           // the children draw; the form presents once after
  std::string resourcesTypeName_;
  std::string backgroundResourcesName_;
};

}  // namespace components
