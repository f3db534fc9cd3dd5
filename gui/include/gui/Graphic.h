// TGraphic, the base of every picture format, and TPicture, the holder that
// keeps one graphic of any registered format.
//
// A picture format is a TGraphic subclass declared with GUI_CLASS and
// registered with TPicture::RegisterFileFormat; forms then name it and the
// holder creates it by class name and loads it with LoadFromStream.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Events.h"
#include "gui/Types.h"

namespace gui {

class TCanvas;
class TStream;

class TGraphic : public TPersistent {
  GUI_CLASS(TGraphic, TPersistent)

 public:
  TGraphic() = default;

  // The virtual slots every format fills, in this order: AssignTo, Assign
  // (from TPersistent), Draw, Empty, Height, Palette, Transparent, Width,
  // SetHeight, SetPalette, SetWidth, construction by class (TClass::Create),
  // LoadFromStream, SaveToStream, LoadFromClipboardFormat,
  // SaveToClipboardFormat.

  // Draws the graphic scaled into rect on the canvas.
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
  virtual bool Empty() const = 0;
  virtual int Height() const = 0;
  virtual HPALETTE Palette() const { return nullptr; }
  virtual bool Transparent() const { return transparent_; }
  virtual int Width() const = 0;
  virtual void SetHeight(int height) = 0;
  virtual void SetPalette(HPALETTE palette) {}
  virtual void SetWidth(int width) = 0;
  virtual void SetTransparent(bool transparent);
  // Failures raise exceptions; what a failed load leaves is the format's
  // business (the previous image, or what was read so far).
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  virtual void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) = 0;
  virtual void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) = 0;

  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

  // Fired by Changed after every change of the image.
  TNotifyEvent OnChange;

 protected:
  // Marks the graphic modified and fires OnChange.
  virtual void Changed();

 private:
  bool transparent_ = false;
  bool modified_ = false;
};

// Creates an empty graphic of a class that derives from TGraphic;
// EInvalidGraphic for any other class.
TGraphic* CreateGraphic(const TClass& graphicClass);

class TPicture : public TPersistent {
  GUI_CLASS(TPicture, TPersistent)

 public:
  TPicture() = default;
  ~TPicture() override;

  // The held graphic (owned), or null.
  TGraphic* Graphic() const { return graphic_; }
  // Holds a copy of graphic, in a new graphic of its class; null empties.
  void SetGraphic(TGraphic* graphic);
  int Width() const;
  int Height() const;

  // Loads a file through the format registered for its extension;
  // EInvalidGraphic for an unknown extension.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  // Creates a graphic of the registered format named className and loads it
  // from stream (the way forms hand over picture data). EInvalidGraphic for
  // a class that is not a registered format; a failed load leaves the
  // picture as it was and passes the exception on.
  void LoadGraphicData(const std::string& className, TStream& stream);

  // From a TPicture, a TGraphic (copied) or null (emptied).
  void Assign(TPersistent* source) override;

  // Fired when the held graphic is replaced or changes.
  TNotifyEvent OnChange;

  struct TFileFormat {
    std::string Extension;  // without the dot
    std::string Description;
    const TClass* GraphicClass;
  };
  // Registers a picture format; a later registration of the same extension
  // takes its place. EInvalidGraphic when the class is not a creatable
  // TGraphic.
  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 const TClass& graphicClass);
  static void UnregisterGraphicClass(const TClass& graphicClass);
  static std::vector<TFileFormat> FileFormats();
  static const TClass* FindFormatClass(const std::string& className);

 protected:
  void AssignTo(TPersistent* dest) override;
  virtual void Changed();

 private:
  void Take(TGraphic* graphic);  // holds graphic (owned) in place of the old one
  TGraphic* graphic_ = nullptr;
};

}  // namespace gui
