// Image lists: equally sized images kept in one system image list, drawn by
// index and handed out as icons (the tray icon cycles through one).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/Color.h"
#include "gui/Component.h"
#include "gui/Events.h"

namespace gui {

class TBitmap;
class TCanvas;
class TGraphic;
class TIcon;

class TCustomImageList : public TComponent {
  GUI_CLASS(TCustomImageList, TComponent)

 public:
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;

  // Changing the size empties the list.
  int Width() const { return width_; }
  void SetWidth(int width);
  int Height() const { return height_; }
  void SetHeight(int height);
  int Count() const;
  // The system list with every image in it.
  HIMAGELIST Handle();

  // Each returns the new image's index. A 32-bit bitmap brings its alpha;
  // a bitmap wider than the list adds one image per Width columns.
  int Add(TBitmap* image, TBitmap* mask);
  int AddMasked(TBitmap* image, TColor maskColor);
  // EOutOfResources when the system cannot make the icon's handle (the list
  // is left as it was): the list never holds a blank in its place.
  int AddIcon(TIcon* icon);
  // Any graphic: icons as icons, bitmaps as bitmaps (masked when
  // transparent), other formats drawn into a 32-bit bitmap through Assign.
  int AddGraphic(TGraphic* graphic);
  void Delete(int index);
  void Clear();

  // Puts image `index` into icon; EInvalidGraphicOperation for an index out
  // of range. An icon from a form that the system cannot draw in now (out
  // of handles) raises EOutOfResources, at every call until it can; `icon`
  // is then left as it was, never given a blank.
  void GetIcon(int index, TIcon* icon);
  void Draw(TCanvas& canvas, int x, int y, int index);

  TNotifyEvent OnChange;
  // Counts the changes of the images, so a user can tell that a picture it
  // took from the list is still the list's.
  std::uint64_t Changes() const { return changes_; }

 protected:
  // Replaces the images with these, in order (forms: the Images list). A
  // list of icons draws each into its place when that image is first used;
  // an icon it cannot copy leaves the list as it was.
  void SetImages(const std::vector<TGraphic*>& images);
  void Change();

 private:
  void Recreate();
  HIMAGELIST List();  // the system list, images waiting or not
  int InRange(int index) const;  // EInvalidGraphicOperation outside the list
  int Checked(int index);  // an index in range, its image drawn in
  void Place(int index);
  HIMAGELIST handle_ = nullptr;
  // Icons not yet drawn into their places, by index; null for those drawn.
  // An icon stays here until it is drawn in.
  std::vector<std::unique_ptr<TIcon>> waiting_;
  int width_ = 16;
  int height_ = 16;
  std::uint64_t changes_ = 0;
};

class TImageList : public TCustomImageList {
  GUI_CLASS(TImageList, TCustomImageList)

 public:
  explicit TImageList(TComponent* owner) : TCustomImageList(owner) {}
};

}  // namespace gui
