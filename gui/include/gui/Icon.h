// TIcon: an icon (ICO data or an icon handle). Icons are always transparent
// and cannot be resized.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gui/Graphic.h"
#include "kit/Own.h"

namespace gui {

// The platform call that makes an icon of one image of ICO data
// (CreateIconFromResourceEx). Tests put one in its place that refuses, as a
// system out of handles does; the setter returns the one it replaces, and
// null restores the system's.
using TIconMaker = HICON(WINAPI*)(PBYTE image, DWORD bytes, BOOL icon, DWORD version, int width, int height,
                                  UINT flags);
TIconMaker SetIconMaker(TIconMaker maker);

class TIcon : public TGraphic {
  GUI_CLASS(TIcon, TGraphic)

 public:
  TIcon();
  ~TIcon() override;

  void Assign(TPersistent* source) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;
  bool Empty() const override { return !handle_ && !waiting_; }
  int Height() const override { return height_; }
  int Width() const override { return width_; }
  bool Transparent() const override { return true; }
  // EInvalidGraphicOperation: an icon keeps its size.
  void SetHeight(int height) override;
  void SetWidth(int width) override;
  // ICO file data; the image nearest the system's icon size is used.
  // EInvalidGraphic for data that is not a valid icon (the icon is left as
  // it was); that image is checked in full here (a PNG image decoded), so
  // data that loads makes an icon. The icon handle is made when first asked
  // for (Handle, drawing, copying into a list): forms hold icons that may
  // never show, and each one made costs the system a display device's checks.
  void LoadFromStream(TStream& stream) override;
  // The ICO data it was loaded from, or an ICO made from the handle.
  void SaveToStream(TStream& stream) override;
  // EInvalidGraphicOperation: icons do not travel through the clipboard.
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

  // Null for an empty icon, or while the system is out of handles: a
  // loaded icon then tries again at the next ask.
  HICON Handle() const;
  // Takes ownership of an icon handle.
  void SetHandle(HICON icon);
  // Gives the handle up (the caller destroys it) and leaves the icon empty.
  HICON ReleaseHandle();
  // Whether the handle is made (an icon loaded from data may still wait).
  bool HandleAllocated() const { return static_cast<bool>(handle_); }

 private:
  void Take(kit::Icon icon, std::vector<std::uint8_t> data);
  // Keeps ICO data whose image at imageAt (or, for a PNG image, its decoded
  // DIB) is made into the icon when asked.
  void Wait(std::vector<std::uint8_t> data, std::size_t imageAt, std::size_t imageBytes,
            std::shared_ptr<const std::vector<std::uint8_t>> decoded, int width, int height);
  std::vector<std::uint8_t> MakeIconData() const;

  mutable kit::Icon handle_;
  // Loaded and not made yet: the chosen image lies at imageAt_ in data_ (a
  // PNG image is made from decoded_).
  mutable bool waiting_ = false;
  std::size_t imageAt_ = 0, imageBytes_ = 0;
  // A PNG image decoded at load, as a 32-bit DIB (4 bytes a pixel and its
  // mask), shared by copies and dropped once the handle is made.
  mutable std::shared_ptr<const std::vector<std::uint8_t>> decoded_;
  mutable int width_ = 0;
  mutable int height_ = 0;
  std::vector<std::uint8_t> data_;  // ICO data when loaded from a stream
};

}  // namespace gui
