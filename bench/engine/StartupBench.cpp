// Creating the engine when its learning file holds 10 000 days, as years of
// use with a long period and a hand-lowered one leave it: the start-up
// pruning keeps the last SmartLearningPeriod days (goal: creation under 1 s),
// against creation with an empty learning file.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "MOMain.h"
#include "TempProgramFolder.h"  // a settings folder of its own
#include "kit/Own.h"

using namespace tarnwick;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kDays = 10000;
constexpr int kRuns = 3;

std::wstring LearningFile() {
  std::wstring text;
  for (int day = 0; day < kDays; ++day) {
    wchar_t section[32];
    swprintf(section, 32, L"[%d-%02d-%02d]\r\n", 1990 + day / 336, 1 + day / 28 % 12, 1 + day % 28);
    text += section;
    for (int program = 0; program < 5; ++program) {
      text += L"program" + std::to_wstring((day + program) % 40) + L".exe=" + std::to_wstring(1 + day % 50) + L"\r\n";
    }
  }
  return text;
}

// Best time of kRuns creations (and destructions) of the engine, each with
// `learning` written afresh as its learning file.
double CreationSeconds(const testing::TempProgramFolder& folder, const std::wstring& learning) {
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    testing::WriteBytes(folder / L"Config\\smart.ini", testing::Utf16File(learning));
    const auto start = Clock::now();
    { CMOMain main(platform::RealHostProcess(), folder.path()); }
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main() {
  kit::Apartment com;
  {
    testing::TempProgramFolder folder;
    { CMOMain first(platform::RealHostProcess(), folder.path()); }  // makes Config\ and its files
    const std::wstring learning = LearningFile();
    const double empty = CreationSeconds(folder, L"");
    const double large = CreationSeconds(folder, learning);
    char label[64];
    std::snprintf(label, sizeof(label), "learning file of %d days (%zu KB)", kDays, learning.size() * 2 / 1024);
    std::printf("engine creation and destruction, best of %d runs:\n", kRuns);
    std::printf("  %-42s %6.0f ms\n", "empty learning file", empty * 1000);
    std::printf("  %-42s %6.0f ms  (goal under 1000 ms)\n", label, large * 1000);
  }
  return 0;
}
