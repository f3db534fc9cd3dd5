// Helpers of the layered-window tests: GDI+ for the test program, pictures
// made in memory, and looks at a surface's pixels.
#pragma once

#include <windows.h>

#include "LayeredGdiplus.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "LayeredDraw.h"

using namespace components;

class GdiplusTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
  }
  static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }

 private:
  static inline ULONG_PTR token_ = 0;
};

// A picture of `argb` with a fully transparent border `border` pixels wide.
inline std::unique_ptr<Gdiplus::Bitmap> MakeFramedImage(int width, int height, int border, std::uint32_t argb) {
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool inner = x >= border && y >= border && x < width - border && y < height - border;
      bitmap->SetPixel(x, y, Gdiplus::Color(inner ? argb : 0));
    }
  return bitmap;
}

// Saves a picture as a PNG file; false when GDI+ has no PNG encoder.
inline bool SavePng(Gdiplus::Image& image, const std::string& path) {
  UINT count = 0, size = 0;
  Gdiplus::GetImageEncodersSize(&count, &size);
  if (size == 0) return false;
  std::string buffer(size, '\0');
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, size, codecs);
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(codecs[i].MimeType) != L"image/png") continue;
    const std::wstring wide(path.begin(), path.end());
    return image.Save(wide.c_str(), &codecs[i].Clsid, nullptr) == Gdiplus::Ok;
  }
  return false;
}

// The smallest rectangle holding every pixel with some alpha (empty: none).
inline gui::TRect InkBounds(const TLayeredSurface& surface) {
  gui::TRect ink{surface.Width(), surface.Height(), 0, 0};
  for (int y = 0; y < surface.Height(); ++y)
    for (int x = 0; x < surface.Width(); ++x)
      if (surface.Pixel(x, y) >> 24) {
        ink.Left = std::min(ink.Left, x);
        ink.Top = std::min(ink.Top, y);
        ink.Right = std::max(ink.Right, x + 1);
        ink.Bottom = std::max(ink.Bottom, y + 1);
      }
  return ink;
}

// Whether a pixel of exactly that (premultiplied) value lies within area.
inline bool HasPixel(const TLayeredSurface& surface, std::uint32_t value, const gui::TRect& area) {
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x)
      if (surface.Pixel(x, y) == value) return true;
  return false;
}

inline bool RunningOnWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
