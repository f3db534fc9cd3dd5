// Placement of a picture or caption inside a control, painting a control's
// parent background, and GDI+ images from resources.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "gui/Object.h"

namespace Gdiplus {
class Image;
}

namespace gui {
class TCanvas;
class TControl;
}  // namespace gui

namespace components {

// Where a caption or picture sits in a control. Scoped, because the class
// library's control alignment uses some of the same names.
enum class TVeeAlignment : std::uint8_t {
  alTopLeft,
  alTopCenter,
  alTopRight,
  alMiddleLeft,
  alMiddleCenter,
  alMiddleRight,
  alBottomLeft,
  alBottomCenter,
  alBottomRight,
  alCenter,
  alLeft,
  alRight,
  alCustom
};

// The identifiers of TVeeAlignment in value order, for property tables.
const gui::TEnumInfo& VeeAlignmentInfo();


// An image the program owns; code that destroys one includes
// LayeredGdiplus.h.
using TGPImage = std::unique_ptr<Gdiplus::Image>;

// Loads a GDI+ image from the resource `name` of type `type` in `module`
// (null: the program). None when the resource is missing or empty, memory
// runs out, GDI+ is not started or the data is no image. The image reads
// its data lazily, so the copy of the resource lives in a stream that the
// image keeps until it goes.
TGPImage LoadGPImageFromResource(const std::string& name, const std::string& type, HMODULE module);

// PNG data that the program's own decoder reads exactly as GDI+ does (8-bit
// truecolour, with or without alpha; no gamma, colour key or colour
// profile), as a 32-bit ARGB bitmap; none for anything else, which the
// callers hand to GDI+'s codecs. Under Wine GDI+ looks its codecs up in the
// registry (some 650 requests to the server) before its first decode.
TGPImage LoadGPImageFromPng(const void* data, std::size_t size);

}  // namespace components
