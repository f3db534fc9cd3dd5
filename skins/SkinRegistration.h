// Makes the skin controls known to the class registry, so form resources
// can create them by class name. Call once at start-up.
#pragma once

namespace skins {

void RegisterSkinClasses();

}  // namespace skins
