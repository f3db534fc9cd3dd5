#include "SkinTheme.h"

#include <array>
#include <vector>

#include "SkinGraphics.h"

namespace skins {

namespace {

constexpr int kStyleCount = 5;

// Kind of each entry, shared by all styles (entry n at [n - 1]).
constexpr std::array<TThemeEntryKind, kThemeEntryCount> kKinds = [] {
  std::array<TThemeEntryKind, kThemeEntryCount> k{};
  auto set = [&](std::initializer_list<int> entries, TThemeEntryKind kind) {
    for (int e : entries) k[e - 1] = kind;
  };
  set({1, 3, 4, 5, 10, 11, 12, 24, 28, 29, 30, 32, 33, 34, 38, 39, 40, 41, 42, 43, 45, 46}, tekBitmap);
  set({2, 6}, tekInteger);
  set({7, 8, 9, 13, 14, 17, 47}, tekValue);
  set({15, 16, 18, 19, 20, 21, 22, 23, 25, 26, 27, 31, 35, 36, 37, 44, 48}, tekColor);
  return k;
}();

constexpr const char* kPrefixes[kStyleCount] = {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"};

// The item part of each bitmap entry's name; null for entries without a name.
const char* ItemOf(int entry) {
  switch (entry) {
    case 1: return "BUTTON";
    case 3: return "CHECKBOX";
    case 4: return "RADIOBUTTON";
    case 5: return "TITLEBTN";
    case 10: return "TITLE_LEFT";
    case 11: return "TITLE_CLIENT";
    case 12: return "TITLE_RIGHT";
    case 24: return "PROGRESSBAR";
    case 28: return "TRACKBAR_BAR";
    case 29: return "TRACKBAR_SLIDER";
    case 30: return "TRACKBAR_SLIDER_V";
    case 32: return "SCROLLBAR_BUTTON";
    case 33: return "SCROLLBAR_TRACK";
    case 34: return "CHECKLIST";
    case 38: return "SCROLLBUTTON";
    case 39: return "TAB";
    case 40: return "TAB_LINE";
    case 41: return "SIDECHENNEL_HANDLE";
    case 42: return "SIDECHENNEL_BAR";
    default: return nullptr;
  }
}

// The progress-bar border and background colours, the only colours any
// control of the program reads.
constexpr gui::TColor kBarBorder[kStyleCount] = {0x7F7F7F, 0x686868, 0x000000, 0x000000, 0x000000};
constexpr gui::TColor kBarBackground[kStyleCount] = {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7};

struct Tables {
  // A bitmap entry's value is the number of its name in `names`; 0 is the
  // empty name. Entries nothing reads hold 0.
  std::int32_t values[kStyleCount][kThemeEntryCount]{};
  std::vector<std::string> names{""};
};

const Tables& Theme() {
  static const Tables tables = [] {
    Tables t;
    for (int s = 0; s < kStyleCount; ++s) {
      for (int e = 1; e <= kThemeEntryCount; ++e) {
        if (kKinds[e - 1] != tekBitmap || !ItemOf(e)) continue;
        // DeepBlue, Protein and BlueGlass share one scroll-button bitmap.
        std::string name = e == 38 && s >= DeepBlue - 1 ? "MORE_SCROLLBUTTON"
                                                        : std::string(kPrefixes[s]) + "_" + ItemOf(e);
        std::int32_t id = 0;
        while (id < static_cast<std::int32_t>(t.names.size()) && t.names[id] != name) ++id;
        if (id == static_cast<std::int32_t>(t.names.size())) t.names.push_back(name);
        t.values[s][e - 1] = id;
      }
      t.values[s][kThemeProgressBarBorder - 1] = static_cast<std::int32_t>(kBarBorder[s]);
      t.values[s][kThemeProgressBarBackground - 1] = static_cast<std::int32_t>(kBarBackground[s]);
    }
    return t;
  }();
  return tables;
}

}  // namespace

std::int32_t GetThemeEntry(TSkinUIStyle style, int index, TThemeEntryKind& kind) {
  int s = style & 0x7F;
  if (s < 1 || s > kStyleCount || index < 1 || index > kThemeEntryCount) {
    kind = tekValue;
    return -1;
  }
  kind = kKinds[index - 1];
  return Theme().values[s - 1][index - 1];
}

gui::TColor GetThemeColor(TSkinUIStyle style, int index) {
  TThemeEntryKind kind;
  std::int32_t v = GetThemeEntry(style, index, kind);
  return kind == tekColor ? static_cast<gui::TColor>(v) : 0;
}

std::int32_t GetThemeInteger(TSkinUIStyle style, int index) {
  TThemeEntryKind kind;
  std::int32_t v = GetThemeEntry(style, index, kind);
  return kind == tekInteger ? v : 0;
}

std::int32_t GetThemeValue(TSkinUIStyle style, int index) {
  TThemeEntryKind kind;
  std::int32_t v = GetThemeEntry(style, index, kind);
  return kind == tekValue ? v : -1;
}

std::string GetThemeBitmapName(TSkinUIStyle style, int index) {
  TThemeEntryKind kind;
  std::int32_t v = GetThemeEntry(style, index, kind);
  return kind == tekBitmap ? Theme().names[v] : std::string();
}

void LoadThemeBitmap(TSkinUIStyle style, int index, gui::TBitmap* graphic) {
  if (!graphic) return;
  std::string name = GetThemeBitmapName(style, index);
  if (name.empty()) return;
  try {
    graphic->LoadFromResourceName(GetModuleHandleW(nullptr), name);
  } catch (const gui::Exception&) {
    // A missing or broken resource leaves the bitmap as it was.
  }
}

void LoadThemeBitmapPart(TSkinUIStyle style, int index, gui::TBitmap* graphic, int partIndex, int partCount) {
  if (partCount == 0) {
    LoadThemeBitmap(style, index, graphic);
    return;
  }
  if (!graphic) return;
  gui::TBitmap whole;
  LoadThemeBitmap(style, index, &whole);
  CutBitmapPart(&whole, graphic, partCount, partIndex);
}

}  // namespace skins
