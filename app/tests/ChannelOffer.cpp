// Makes orvane_automation.exe, the program's test build for tests that drive
// it: orvane.exe's own entry and code, with the automation channel offered
// before WinMain runs. Nothing that ships links this file.
#include "gui/Automation.h"

namespace {

[[maybe_unused]] const bool offered = (gui::automation::OfferChannel(), true);

}  // namespace
