// Facts about the system found once per process: its version and the file
// versions of the common-controls and shell libraries, on which some control
// features depend. Tests may force the common-controls version.
#pragma once

#include <cstdint>
#include <optional>

namespace ck {

// A file version as one value: the most significant half (major x 65536 +
// minor) in the high 32 bits, the least significant half in the low 32;
// zero when the version could not be read.
std::uint64_t ComCtl32Version();
std::uint64_t Shell32Version();
void ForceComCtl32Version(std::optional<std::uint64_t> version);

// Builds a version value from its four parts.
constexpr std::uint64_t FileVersion(unsigned major, unsigned minor, unsigned build = 0, unsigned release = 0) {
  return (static_cast<std::uint64_t>(major) << 48) | (static_cast<std::uint64_t>(minor) << 32) |
         (static_cast<std::uint64_t>(build) << 16) | release;
}

// The common-controls library is version 4.70 or newer / 6.0 or newer.
bool ComCtl32AtLeast470();
bool ComCtl32AtLeast600();

// The system's version is exactly major.minor (4.0: the oldest systems,
// whose edit controls lack some of the later behaviour).
bool IsWindowsVersion(unsigned major, unsigned minor);

}  // namespace ck
