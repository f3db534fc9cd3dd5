// Reads of profile (INI) files that take a whole list in one call. Under
// Wine every profile call opens and checks the file anew, so reading a
// section once instead of a value at a time saves most of a settings load.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tarnwick {

// White space as the profile functions trim it from a name or a value.
bool IsProfileBlank(wchar_t c);

// Calls a profile function that fills a list of null-ended strings and
// answers `size - 2` when the buffer was too small, doubling the buffer
// (kept in `bufferChars` for the next call) until the list fits. A list
// beyond 16 M characters is a damaged file: it is cut there.
std::vector<std::wstring> ReadProfileList(const std::function<DWORD(wchar_t*, DWORD)>& read, unsigned& bufferChars);

// One section of a profile file, read with one call. `Find` answers a key as
// GetPrivateProfileStringW would with a buffer of `valueChars`: the section's
// first line of that key in any case; a line without "=" has no value; blanks
// around the value trimmed, one pair of quotes around it dropped, and the
// text cut to `valueChars - 1`.
class ProfileSection {
 public:
  ProfileSection(const std::wstring& path, const wchar_t* section);

  // False when the key is missing or its line has no value.
  bool Find(const wchar_t* key, size_t valueChars, std::wstring* value) const;

 private:
  std::vector<std::wstring> lines_;
};

}  // namespace tarnwick
