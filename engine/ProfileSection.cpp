#include "ProfileSection.h"

namespace tarnwick {
namespace {

constexpr unsigned kFirstSectionChars = 2048;
constexpr unsigned kLargestListChars = 16u << 20;

std::wstring Trimmed(const std::wstring& text, size_t from, size_t to) {
  while (from < to && IsProfileBlank(text[from])) ++from;
  while (to > from && IsProfileBlank(text[to - 1])) --to;
  return text.substr(from, to - from);
}

bool SameKey(const std::wstring& a, const wchar_t* b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

bool IsProfileBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0x1A;
}

std::vector<std::wstring> ReadProfileList(const std::function<DWORD(wchar_t*, DWORD)>& read, unsigned& bufferChars) {
  std::vector<wchar_t> buffer;
  for (;;) {
    buffer.assign(bufferChars, L'\0');
    const DWORD got = read(buffer.data(), static_cast<DWORD>(bufferChars));
    if (got + 2 != bufferChars || bufferChars >= kLargestListChars) break;
    bufferChars *= 2;
  }
  // A list cut at the largest size still ends in two nulls here.
  buffer[bufferChars - 1] = buffer[bufferChars - 2] = L'\0';
  std::vector<std::wstring> entries;
  for (const wchar_t* p = buffer.data(); *p; p += wcslen(p) + 1) entries.emplace_back(p);
  return entries;
}

ProfileSection::ProfileSection(const std::wstring& path, const wchar_t* section) {
  unsigned chars = kFirstSectionChars;
  lines_ = ReadProfileList(
      [&](wchar_t* buffer, DWORD size) { return GetPrivateProfileSectionW(section, buffer, size, path.c_str()); },
      chars);
}

bool ProfileSection::Find(const wchar_t* key, size_t valueChars, std::wstring* value) const {
  for (const std::wstring& line : lines_) {
    const size_t equals = line.find(L'=');
    if (!SameKey(Trimmed(line, 0, equals == std::wstring::npos ? line.size() : equals), key)) continue;
    if (equals == std::wstring::npos) return false;  // the first line of the key decides
    std::wstring text = Trimmed(line, equals + 1, line.size());
    if (text.size() >= 2 && (text.front() == L'"' || text.front() == L'\'') && text.back() == text.front()) {
      text = text.substr(1, text.size() - 2);
    }
    if (valueChars > 0 && text.size() > valueChars - 1) text.resize(valueChars - 1);
    *value = std::move(text);
    return true;
  }
  return false;
}

}  // namespace tarnwick
