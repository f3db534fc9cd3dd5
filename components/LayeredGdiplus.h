// GDI+ for the layered controls. The build leaves the COM headers out of
// windows.h, and GDI+ needs some of their types.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

namespace components {

}  // namespace components
