#include "VeeWindowsUtils.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <new>

#include "gui/Controls.h"

namespace components {

const gui::TEnumInfo& VeeAlignmentInfo() {
  static const gui::TEnumInfo info{
      "TVeeAlignment",
      {"alTopLeft", "alTopCenter", "alTopRight", "alMiddleLeft", "alMiddleCenter", "alMiddleRight",
       "alBottomLeft", "alBottomCenter", "alBottomRight", "alCenter", "alLeft", "alRight", "alCustom"}};
  return info;
}

Gdiplus::Image* LoadGPImageFromResource(const std::string& name, const std::string& type, HMODULE module) {
  HRSRC info = FindResourceA(module, name.c_str(), type.c_str());
  if (!info) return nullptr;
  DWORD size = SizeofResource(module, info);
  if (size == 0) return nullptr;
  HGLOBAL loaded = LoadResource(module, info);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return nullptr;

  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return nullptr;
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(target, data, size);
  GlobalUnlock(memory);

  // The stream frees the memory when its last reference goes, which is the
  // image's once ours is released below.
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  // The image class allocates from GDI+'s own heap, which may refuse (GDI+
  // not started); its operator new would then hand the constructor null.
  void* place = Gdiplus::DllExports::GdipAlloc(sizeof(Gdiplus::Image));
  if (!place) {
    stream->Release();
    return nullptr;
  }
  auto* image = ::new (place) Gdiplus::Image(stream, FALSE);
  stream->Release();
  if (image->GetLastStatus() != Gdiplus::Ok) {
    delete image;
    return nullptr;
  }
  return image;
}

}  // namespace components
