// The forms' font is Tahoma at 11 pixels. Windows has it; Wine has a copy
// of the same metrics that scripts/prefix puts into every prefix it makes.
// Without it Wine draws every Tahoma in a wider stand-in, and captions
// sized for Windows are cut: these checks run in the prefix the tests run
// in, so they fail where that prefix lacks the fonts.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "VozEverAvizi.h"
#include "gui/Canvas.h"
#include "kit/Own.h"

namespace {

struct ScreenDC {
  ScreenDC() : dc(CreateCompatibleDC(nullptr)) {}
  kit::MemoryDC dc;
};

std::string FaceOf(HDC dc) {
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  return face;
}

// The style name of the font file in use: "Bold" comes only from the bold
// file; without it the regular one is made bold and keeps its own.
std::string StyleOf(HDC dc) {
  UINT size = GetOutlineTextMetricsA(dc, 0, nullptr);
  if (size == 0) return {};
  std::vector<char> buffer(size);
  auto* metrics = reinterpret_cast<OUTLINETEXTMETRICA*>(buffer.data());
  if (GetOutlineTextMetricsA(dc, size, metrics) == 0) return {};
  return buffer.data() + reinterpret_cast<std::uintptr_t>(metrics->otmpStyleName);
}

int WidthOf(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

TEST(FormFont, TahomaRegularAndBoldAreTheirOwnFaces) {
  ScreenDC screen;
  ASSERT_TRUE(screen.dc);
  gui::TFont regular;  // as a form gives it: Tahoma, 11 pixels
  kit::Selection keepRegular(screen.dc.Get(), regular.Handle());
  EXPECT_EQ("Tahoma", FaceOf(screen.dc.Get()));
  EXPECT_NE("Bold", StyleOf(screen.dc.Get()));

  gui::TFont bold;
  bold.SetStyle(gui::TFontStyles{gui::fsBold});
  kit::Selection keepBold(screen.dc.Get(), bold.Handle());
  EXPECT_EQ("Tahoma", FaceOf(screen.dc.Get()));
  EXPECT_EQ("Bold", StyleOf(screen.dc.Get()));
}

// The widest page button's caption, centred on one line in the 101-pixel
// page button (btnPMKill in MainForm.form); a pressed button draws it one
// pixel to the right, so 100 pixels is all it has.
TEST(FormFont, ThePageButtonsLongestCaptionFitsItsButton) {
  components::InitializeLanguages();
  ScreenDC screen;
  gui::TFont regular;
  kit::Selection keep(screen.dc.Get(), regular.Handle());
  const int width = WidthOf(screen.dc.Get(), components::LANG_CTL_BTNPMTERMINATE);
  EXPECT_GT(width, 0);
  EXPECT_LE(width, 100) << components::LANG_CTL_BTNPMTERMINATE;
  components::FinalizeLanguages();
}

}  // namespace
