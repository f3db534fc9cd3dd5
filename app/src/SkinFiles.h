// Pictures the program reads from "Skin\" in its folder rather than from its
// resources, so they can be replaced without building.
#pragma once

#include <string>

#include "VeeSysTools.h"

namespace orvane {

inline std::string SkinFile(const std::string& name) { return components::GetProgramFolder() + "Skin\\" + name; }

}  // namespace orvane
