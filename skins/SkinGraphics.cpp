#include "SkinGraphics.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "kit/Own.h"

namespace skins {

namespace {

// A 32-bit copy of the bitmap, so its pixels can be read row by row
// whatever its own format is.
std::unique_ptr<gui::TBitmap> Copy32(gui::TBitmap& bitmap) {
  auto copy = std::make_unique<gui::TBitmap>();
  copy->Assign(&bitmap);
  copy->SetPixelFormat(gui::pf32bit);
  return copy;
}

std::uint32_t* Row32(gui::TBitmap& bitmap, int y) { return static_cast<std::uint32_t*>(bitmap.ScanLine(y)); }

}  // namespace

void CutBitmapPart(gui::TBitmap* source, gui::TBitmap* target, int partCount, int partIndex) {
  if (!source || !target || source->Empty() || partCount < 1 || partIndex < 1 || partIndex > partCount) return;
  int width = source->Width() / partCount, height = source->Height();
  if (width == 0) return;
  int x = partIndex == partCount ? source->Width() - width : width * (partIndex - 1);
  // Cutting a bitmap into itself needs the whole strip kept aside first.
  std::unique_ptr<gui::TBitmap> aside;
  if (source == target) {
    aside = std::make_unique<gui::TBitmap>();
    aside->Assign(source);
    source = aside.get();
  }
  target->SetSize(width, height);
  target->Canvas().CopyRect(gui::Rect(0, 0, width, height), source->Canvas(), gui::Bounds(x, 0, width, height));
}

void RotateBitmap(gui::TBitmap* bitmap) {
  if (!bitmap || bitmap->Empty()) return;
  int width = bitmap->Width(), height = bitmap->Height();
  auto old = Copy32(*bitmap);
  gui::TBitmap turned;
  turned.SetPixelFormat(gui::pf32bit);
  turned.SetSize(height, width);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = Row32(*old, y);
    for (int x = 0; x < width; ++x) Row32(turned, width - 1 - x)[y] = row[x];
  }
  bitmap->SetSize(height, width);
  bitmap->Canvas().Draw(0, 0, &turned);
}

void TilePicture(gui::TCanvas& canvas, gui::TPicture* picture, const gui::TRect& rect) {
  if (!picture || !picture->Graphic()) return;
  int w = picture->Width(), h = picture->Height();
  if (w <= 0 || h <= 0) return;
  for (int y = 0; y < h + rect.Height(); y += h)
    for (int x = 0; x < w + rect.Width(); x += w) canvas.Draw(x, y, picture->Graphic());
}

void SetRegionFromBitmap(HWND window, gui::TBitmap* bitmap, gui::TColor transparentColor) {
  if (!bitmap) return;
  // The runs are gathered and made one region in a single call: a union per
  // run costs a system call each, thousands for a window's skin.
  std::vector<RECT> runs;
  if (!bitmap->Empty()) {
    auto pixels = Copy32(*bitmap);
    gui::TColor key = gui::ColorToRGB(transparentColor);
    auto addRun = [&](int x1, int x2, int y) { runs.push_back({x1, y, x2 + 1, y + 1}); };
    for (int y = 0; y < pixels->Height(); ++y) {
      const std::uint32_t* row = Row32(*pixels, y);
      int start = -1;  // first pixel of the open run
      for (int x = 0; x < pixels->Width(); ++x) {
        std::uint32_t bgr = row[x];
        bool opaque = RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF) != key;
        if (opaque && start < 0) {
          start = x;
        } else if (!opaque && start >= 0) {
          addRun(start, x - 1, y);
          start = -1;
        }
      }
      if (start >= 0) addRun(start, pixels->Width() - 1, y);
    }
  }
  std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(runs.size());
  for (const RECT& run : runs) UnionRect(&header->rcBound, &header->rcBound, &run);
  if (!runs.empty()) std::memcpy(data.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
  kit::Gdi<HRGN> region(
      ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
  if (!region) return;
  // A region the window took belongs to the system from then on.
  if (SetWindowRgn(window, region.Get(), TRUE)) region.Release();
}

}  // namespace skins
