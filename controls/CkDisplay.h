// Switches for tests: answers about the display that the drawing routines
// would otherwise take from the machine. (Visual styles have their switch in
// gui::ThemeServices.)
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace ck {

// Forces the answer of HasFullColorDisplay; nullopt gives the screen's again.
void ForceFullColorDisplay(std::optional<bool> fullColor);
// Answers FontIsTrueType by face name instead of asking the font (a test
// system may have no other than TrueType fonts); empty asks the font again.
void ForceFontIsTrueType(std::function<bool(const std::string& faceName)> probe);

}  // namespace ck
