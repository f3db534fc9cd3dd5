// The built-in themes of the skin controls: for each visual style a table of
// 48 numbered entries (colours, numbers or names of bitmap resources kept in
// the program's own module), and the lookups that read them.
#pragma once

#include <cstdint>
#include <string>

#include "gui/Bitmap.h"
#include "gui/Color.h"

namespace skins {

// One byte; every lookup masks it with 0x7F first. FromThemeFile stands for
// a look taken from a theme file, which this program never has.
enum TSkinUIStyle : std::uint8_t { FromThemeFile = 0, MacOS = 1, WinXP = 2, DeepBlue = 3, Protein = 4, BlueGlass = 5 };

enum TThemeEntryKind : std::uint8_t { tekValue = 0, tekColor = 1, tekBitmap = 2, tekInteger = 3 };

constexpr int kThemeEntryCount = 48;

// Entries the skin controls read.
constexpr int kThemeProgressBarBitmap = 24;
constexpr int kThemeProgressBarBorder = 25;
constexpr int kThemeProgressBarBackground = 26;

// Entry `index` (1..48) of the style's table and its kind. A style outside
// 1..5 after masking, or an index outside 1..48, gives kind tekValue and -1.
std::int32_t GetThemeEntry(TSkinUIStyle style, int index, TThemeEntryKind& kind);

// Typed reads: the entry when it is of that kind, else 0 (colour, integer)
// or -1 (value).
gui::TColor GetThemeColor(TSkinUIStyle style, int index);
std::int32_t GetThemeInteger(TSkinUIStyle style, int index);
std::int32_t GetThemeValue(TSkinUIStyle style, int index);

// The resource name a bitmap entry holds; empty for other entries and for the
// bitmap entries that hold no name.
std::string GetThemeBitmapName(TSkinUIStyle style, int index);

// Loads the bitmap resource that a bitmap entry names from the program's own
// module into `graphic`. Anything else (no graphic, not a bitmap entry, a
// missing or broken resource) leaves `graphic` as it was.
void LoadThemeBitmap(TSkinUIStyle style, int index, gui::TBitmap* graphic);
// As LoadThemeBitmap, but only part `partIndex` (from 1) of `partCount`
// equal parts side by side (see CutBitmapPart); partCount 0 loads it whole.
void LoadThemeBitmapPart(TSkinUIStyle style, int index, gui::TBitmap* graphic, int partIndex, int partCount);

}  // namespace skins
