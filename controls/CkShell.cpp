#include "CkShell.h"

#include <windows.h>

#include <vector>

namespace ck {

namespace {

std::uint64_t ReadFileVersion(const char* file) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(file, &ignored);
  if (size == 0) return 0;
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(file, 0, size, data.data())) return 0;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO))
    return 0;
  return (static_cast<std::uint64_t>(info->dwFileVersionMS) << 32) | info->dwFileVersionLS;
}

std::optional<std::uint64_t> forcedComCtl32;

std::uint32_t MostSignificant(std::uint64_t version) { return static_cast<std::uint32_t>(version >> 32); }

}  // namespace

std::uint64_t ComCtl32Version() {
  static const std::uint64_t version = ReadFileVersion("comctl32.dll");
  return forcedComCtl32 ? *forcedComCtl32 : version;
}

std::uint64_t Shell32Version() {
  static const std::uint64_t version = ReadFileVersion("shell32.dll");
  return version;
}

void ForceComCtl32Version(std::optional<std::uint64_t> version) { forcedComCtl32 = version; }

bool ComCtl32AtLeast470() { return MostSignificant(ComCtl32Version()) > 4u * 65536u + 69u; }

bool ComCtl32AtLeast600() { return MostSignificant(ComCtl32Version()) > 5u * 65536u + 65535u; }

bool IsWindowsVersion(unsigned major, unsigned minor) {
  static const OSVERSIONINFOA version = [] {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof(v);
    if (!GetVersionExA(&v)) v = OSVERSIONINFOA{};
    return v;
  }();
  return version.dwMajorVersion == major && version.dwMinorVersion == minor;
}

}  // namespace ck
