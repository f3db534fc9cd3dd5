#include "VeeWindowsUtils.h"

#include <cstring>

#include "LayeredGdiplus.h"
#include "gui/Controls.h"
#include "kit/Own.h"

namespace components {

const gui::TEnumInfo& VeeAlignmentInfo() {
  static const gui::TEnumInfo info{
      "TVeeAlignment",
      {"alTopLeft", "alTopCenter", "alTopRight", "alMiddleLeft", "alMiddleCenter", "alMiddleRight",
       "alBottomLeft", "alBottomCenter", "alBottomRight", "alCenter", "alLeft", "alRight", "alCustom"}};
  return info;
}

TGPImage LoadGPImageFromResource(const std::string& name, const std::string& type, HMODULE module) {
  HRSRC info = FindResourceA(module, name.c_str(), type.c_str());
  if (!info) return nullptr;
  DWORD size = SizeofResource(module, info);
  if (size == 0) return nullptr;
  HGLOBAL loaded = LoadResource(module, info);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return nullptr;

  kit::Global memory(GlobalAlloc(GMEM_MOVEABLE, size));  // ours until the stream takes it over
  if (!memory) return nullptr;
  void* target = GlobalLock(memory.Get());
  if (!target) return nullptr;
  std::memcpy(target, data, size);
  GlobalUnlock(memory.Get());

  // The stream frees the memory when its last reference goes, which is the
  // image's once ours goes.
  kit::ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory.Get(), TRUE, stream.Out()))) return nullptr;
  memory.Release();
  TGPImage image(GdiplusNew<Gdiplus::Image>(stream.Get(), FALSE));
  if (!image || image->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return image;
}

}  // namespace components
