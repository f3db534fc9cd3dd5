// GDI+ for the layered controls. The build leaves the COM headers out of
// windows.h, and GDI+ needs some of their types.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <cstddef>
#include <new>
#include <utility>

namespace components {

// GDI+'s own allocator, or the test's (SetGdiplusAllocator).
void* GdiplusAllocate(std::size_t size);

// A GDI+ object made on GDI+'s heap, which may refuse (GDI+ not started,
// memory short): null then. Its own operator new would hand the
// constructor null instead. `delete` gives the memory back to GDI+.
template <class T, class... Args>
T* GdiplusNew(Args&&... args) {
  void* place = GdiplusAllocate(sizeof(T));
  return place ? ::new (place) T(std::forward<Args>(args)...) : nullptr;
}

}  // namespace components
