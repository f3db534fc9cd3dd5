// Pixels for the control tests: the shared test surfaces, and system colours
// as a 32-bit surface holds them.
#pragma once

#include "CkCommon.h"
#include "testsupport/Pixels.h"

namespace cktest {

using namespace ck;
using testsupport::At;
using testsupport::CountOf;
using testsupport::Render;
using testsupport::Surface;

inline TColor Sys(TColor color) { return ColorToRGB(color); }

}  // namespace cktest
