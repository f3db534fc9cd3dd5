#include "gui/ImageList.h"

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Icon.h"

namespace gui {

GUI_DEFINE_CLASS(TCustomImageList) {
  c.Integer("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight, 16);
  c.Integer("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth, 16);
  c.Graphics("Images", &TCustomImageList::SetImages);
  c.Event("OnChange", &TCustomImageList::OnChange);
}

GUI_DEFINE_CLASS(TImageList) {}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

// The one raw release left in the layer: the list owns its system image list
// (made anew on a size change), and the kit keeps the common controls out.
TCustomImageList::~TCustomImageList() {
  if (handle_) ImageList_Destroy(handle_);
}

void TCustomImageList::Recreate() {
  waiting_.clear();
  if (handle_) ImageList_Destroy(handle_);
  handle_ = ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 4, 4);
  if (!handle_) throw EOutOfResources("Out of system resources: cannot create an image list");
}

HIMAGELIST TCustomImageList::List() {
  if (!handle_) Recreate();
  return handle_;
}

HIMAGELIST TCustomImageList::Handle() {
  for (std::size_t i = 0; i < waiting_.size(); ++i) Place(int(i));
  return List();
}

void TCustomImageList::Place(int index) {
  if (std::size_t(index) >= waiting_.size() || !waiting_[std::size_t(index)]) return;
  // The icon waits until it is in its place: a failure answers the same at
  // every call and never hands out the empty place.
  const HICON icon = waiting_[std::size_t(index)]->Handle();
  if (!icon || ImageList_ReplaceIcon(List(), index, icon) < 0)
    throw EOutOfResources("Out of system resources: cannot draw an icon into its image list");
  waiting_[std::size_t(index)].reset();
}

void TCustomImageList::SetWidth(int width) {
  width = std::max(width, 1);
  if (width == width_) return;
  width_ = width;
  if (handle_) Recreate();
  Change();
}

void TCustomImageList::SetHeight(int height) {
  height = std::max(height, 1);
  if (height == height_) return;
  height_ = height;
  if (handle_) Recreate();
  Change();
}

int TCustomImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TCustomImageList::Change() {
  ++changes_;
  if (OnChange) OnChange(this);
}

int TCustomImageList::InRange(int index) const {
  if (index < 0 || index >= Count()) throw EInvalidGraphicOperation("Image index out of range");
  return index;
}

int TCustomImageList::Checked(int index) {
  Place(InRange(index));
  return index;
}

namespace {

int Added(int index) {
  if (index < 0) throw EInvalidGraphicOperation("Cannot add the image to the image list");
  return index;
}

}  // namespace

// The list reads the bitmaps itself; private copies keep the callers'
// bitmaps out of that (AddMasked also blackens the masked pixels).
int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image || image->Empty()) throw EInvalidGraphicOperation("Cannot add an empty image");
  TBitmap imageCopy, maskCopy;
  imageCopy.Assign(image);
  if (mask) maskCopy.Assign(mask);
  int index = Added(ImageList_Add(List(), imageCopy.Handle(), mask ? maskCopy.Handle() : nullptr));
  Change();
  return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image || image->Empty()) throw EInvalidGraphicOperation("Cannot add an empty image");
  TBitmap copy;
  copy.Assign(image);
  int index = Added(ImageList_AddMasked(List(), copy.Handle(), ColorToRGB(maskColor)));
  Change();
  return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
  if (!icon || icon->Empty()) throw EInvalidGraphicOperation("Cannot add an empty icon");
  // An icon whose handle the system cannot make now stays out: the list
  // never holds a blank (its data was checked when it was loaded).
  const HICON handle = icon->Handle();
  if (!handle) throw EOutOfResources("Out of system resources: cannot make the icon to add to the image list");
  int index = Added(ImageList_ReplaceIcon(List(), -1, handle));
  Change();
  return index;
}

int TCustomImageList::AddGraphic(TGraphic* graphic) {
  if (auto* icon = dynamic_cast<TIcon*>(graphic)) return AddIcon(icon);
  if (auto* bitmap = dynamic_cast<TBitmap*>(graphic))
    return bitmap->Transparent() ? AddMasked(bitmap, bitmap->TransparentColor()) : Add(bitmap, nullptr);
  if (!graphic || graphic->Empty()) throw EInvalidGraphicOperation("Cannot add an empty image");
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  try {
    bitmap.Assign(graphic);  // the format's own conversion, when it has one
  } catch (const EConvertError&) {
    bitmap.SetSize(graphic->Width(), graphic->Height());
    bitmap.Canvas().Draw(0, 0, graphic);
  }
  return bitmap.Transparent() ? AddMasked(&bitmap, bitmap.TransparentColor()) : Add(&bitmap, nullptr);
}

void TCustomImageList::Delete(int index) {
  ImageList_Remove(List(), InRange(index));
  if (std::size_t(index) < waiting_.size()) waiting_.erase(waiting_.begin() + index);
  Change();
}

void TCustomImageList::Clear() {
  waiting_.clear();
  if (handle_) ImageList_RemoveAll(handle_);
  Change();
}

void TCustomImageList::SetImages(const std::vector<TGraphic*>& images) {
  const bool icons = std::all_of(images.begin(), images.end(), [](TGraphic* graphic) {
    return dynamic_cast<TIcon*>(graphic) && !graphic->Empty();
  });
  if (!icons) {
    Clear();
    for (TGraphic* graphic : images) AddGraphic(graphic);
    return;
  }
  // Each icon takes its place now and is drawn into it when first used:
  // the tray's list shows one of its eleven at a time. The copies come
  // first, so an icon that cannot be copied leaves the list as it was.
  std::vector<std::unique_ptr<TIcon>> copies;
  for (TGraphic* graphic : images) {
    copies.push_back(std::make_unique<TIcon>());
    copies.back()->Assign(graphic);
  }
  Clear();
  if (copies.empty()) return;
  if (!ImageList_SetImageCount(List(), UINT(copies.size())))
    throw EOutOfResources("Out of system resources: cannot make room in an image list");
  waiting_ = std::move(copies);
  Change();
}

void TCustomImageList::GetIcon(int index, TIcon* icon) {
  HICON handle = ImageList_GetIcon(List(), Checked(index), ILD_NORMAL);
  if (!handle) throw EOutOfResources("Out of system resources: cannot make an icon");
  icon->SetHandle(handle);
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index) {
  ImageList_Draw(List(), Checked(index), canvas.Handle(), x, y, ILD_NORMAL);
}

}  // namespace gui
