// TIcon: an icon (ICO data or an icon handle). Icons are always transparent
// and cannot be resized.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gui/Graphic.h"
#include "kit/Own.h"

namespace gui {

class TIcon : public TGraphic {
  GUI_CLASS(TIcon, TGraphic)

 public:
  TIcon();
  ~TIcon() override;

  void Assign(TPersistent* source) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;
  bool Empty() const override { return !handle_; }
  int Height() const override { return height_; }
  int Width() const override { return width_; }
  bool Transparent() const override { return true; }
  // EInvalidGraphicOperation: an icon keeps its size.
  void SetHeight(int height) override;
  void SetWidth(int width) override;
  // ICO file data; the image nearest the system's icon size is used.
  // EInvalidGraphic for data that is not a valid icon (the icon is left as
  // it was).
  void LoadFromStream(TStream& stream) override;
  // The ICO data it was loaded from, or an ICO made from the handle.
  void SaveToStream(TStream& stream) override;
  // EInvalidGraphicOperation: icons do not travel through the clipboard.
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

  HICON Handle() const { return handle_.Get(); }
  // Takes ownership of an icon handle.
  void SetHandle(HICON icon);
  // Gives the handle up (the caller destroys it) and leaves the icon empty.
  HICON ReleaseHandle();
  bool HandleAllocated() const { return static_cast<bool>(handle_); }

 private:
  void Take(kit::Icon icon, std::vector<std::uint8_t> data);
  std::vector<std::uint8_t> MakeIconData() const;

  kit::Icon handle_;
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> data_;  // ICO data when loaded from a stream
};

}  // namespace gui
