#include "gui/Graphic.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "gui/Bitmap.h"
#include "gui/Icon.h"
#include "gui/Streams.h"

namespace gui {

GUI_DEFINE_CLASS(TGraphic) {}

void TGraphic::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Changed();
}

void TGraphic::Changed() {
  modified_ = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, TFileMode::OpenRead);
  LoadFromStream(file);
}

void TGraphic::SaveToFile(const std::string& fileName) {
  TFileStream file(fileName, TFileMode::Create);
  SaveToStream(file);
}

TGraphic* CreateGraphic(const TClass& graphicClass) {
  if (!graphicClass.InheritsFrom(TGraphic::StaticClass()) || !graphicClass.CanCreate())
    throw EInvalidGraphic(graphicClass.Name() + " is not a picture format");
  return static_cast<TGraphic*>(graphicClass.Create());
}

// --- picture formats ------------------------------------------------------------

namespace {

struct Formats {
  std::mutex lock;
  std::vector<TPicture::TFileFormat> list;
};

Formats& TheFormats() {
  static Formats* formats = [] {
    auto* f = new Formats;
    f->list.push_back({"bmp", "Bitmaps", &TBitmap::StaticClass()});
    f->list.push_back({"ico", "Icons", &TIcon::StaticClass()});
    return f;
  }();
  return *formats;
}

std::string Extension(const std::string& fileName) {
  std::size_t slash = fileName.find_last_of("\\/");
  std::size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return fileName.substr(dot + 1);
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  const TClass& graphicClass) {
  if (!graphicClass.InheritsFrom(TGraphic::StaticClass()) || !graphicClass.CanCreate())
    throw EInvalidGraphic(graphicClass.Name() + " is not a picture format");
  Formats& f = TheFormats();
  std::lock_guard guard(f.lock);
  std::erase_if(f.list, [&](const TFileFormat& x) { return SameText(x.Extension, extension); });
  f.list.push_back({extension, description, &graphicClass});
}

void TPicture::UnregisterGraphicClass(const TClass& graphicClass) {
  Formats& f = TheFormats();
  std::lock_guard guard(f.lock);
  std::erase_if(f.list, [&](const TFileFormat& x) { return x.GraphicClass == &graphicClass; });
}

std::vector<TPicture::TFileFormat> TPicture::FileFormats() {
  Formats& f = TheFormats();
  std::lock_guard guard(f.lock);
  return f.list;
}

const TClass* TPicture::FindFormatClass(const std::string& className) {
  Formats& f = TheFormats();
  std::lock_guard guard(f.lock);
  for (const TFileFormat& x : f.list)
    if (SameText(x.GraphicClass->Name(), className)) return x.GraphicClass;
  return nullptr;
}

// --- TPicture ----------------------------------------------------------------------

GUI_DEFINE_CLASS(TPicture) {}

TPicture::~TPicture() { delete graphic_; }

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::Take(TGraphic* graphic) {
  if (graphic == graphic_) return;
  delete graphic_;
  graphic_ = graphic;
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::SetGraphic(TGraphic* graphic) {
  if (!graphic) {
    Take(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy(CreateGraphic(graphic->ClassType()));
  copy->Assign(graphic);
  Take(copy.release());
}

void TPicture::LoadFromFile(const std::string& fileName) {
  std::string ext = Extension(fileName);
  const TClass* cls = nullptr;
  for (const TFileFormat& x : FileFormats())
    if (SameText(x.Extension, ext)) cls = x.GraphicClass;
  if (!cls) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
  std::unique_ptr<TGraphic> graphic(CreateGraphic(*cls));
  graphic->LoadFromFile(fileName);
  Take(graphic.release());
}

void TPicture::SaveToFile(const std::string& fileName) {
  if (graphic_) graphic_->SaveToFile(fileName);
}

void TPicture::LoadGraphicData(const std::string& className, TStream& stream) {
  const TClass* cls = FindFormatClass(className);
  if (!cls) throw EInvalidGraphic(className + " is not a registered picture format");
  std::unique_ptr<TGraphic> graphic(CreateGraphic(*cls));
  graphic->LoadFromStream(stream);
  Take(graphic.release());
}

void TPicture::Assign(TPersistent* source) {
  if (!source) {
    SetGraphic(nullptr);
  } else if (auto* picture = dynamic_cast<TPicture*>(source)) {
    if (picture != this) SetGraphic(picture->graphic_);
  } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
    SetGraphic(graphic);
  } else {
    inherited::Assign(source);
  }
}

void TPicture::AssignTo(TPersistent* dest) {
  if (graphic_ && dest && dest->InheritsFrom(TGraphic::StaticClass()))
    dest->Assign(graphic_);
  else
    inherited::AssignTo(dest);
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace gui
