#include "SmartLearning.h"

#include <windows.h>

#include <algorithm>
#include <limits>

#include "MORulesList.h"
#include "ProfileSection.h"
#include "SharedRoutines.h"
#include "UnicodeFiles.h"

namespace tarnwick {
namespace {

constexpr DWORD kValueChars = 260;
constexpr unsigned kFirstListChars = 1024;

constexpr uint32_t kMaxCount = std::numeric_limits<uint32_t>::max();

uint32_t AddCapped(uint32_t a, uint32_t b) { return b > kMaxCount - a ? kMaxCount : a + b; }

// Unsigned decimal after optional blanks; anything else ends the number, so
// a damaged value reads as 0. Stops at the largest 32-bit value.
uint32_t ParseCount(const wchar_t* text) {
  while (*text == L' ' || *text == L'\t') ++text;
  uint64_t value = 0;
  for (; *text >= L'0' && *text <= L'9'; ++text) {
    value = value * 10 + static_cast<unsigned>(*text - L'0');
    if (value >= kMaxCount) return kMaxCount;
  }
  return static_cast<uint32_t>(value);
}

std::wstring TwoDigits(unsigned value) {
  return value < 10 ? L"0" + std::to_wstring(value) : std::to_wstring(value);
}

// "%d-%02d-%02d" of the local date.
std::wstring DaySection(const SYSTEMTIME& day) {
  return std::to_wstring(day.wYear) + L"-" + TwoDigits(day.wMonth) + L"-" + TwoDigits(day.wDay);
}

// Where each section header line ("[name]", after white space) starts.
std::vector<size_t> SectionStarts(const std::wstring& text) {
  std::vector<size_t> starts;
  for (size_t line = 0; line < text.size();) {
    size_t end = text.find(L'\n', line);
    if (end == std::wstring::npos) end = text.size();
    size_t first = line;
    while (first < end && IsProfileBlank(text[first])) ++first;
    if (first < end && text[first] == L'[' && text.find(L']', first + 1) < end) starts.push_back(line);
    line = end + 1;
  }
  return starts;
}

}  // namespace

bool IsLearnableName(const std::wstring& name) {
  if (IsBlank(name.c_str())) return false;
  if (name.front() == L'[' || name.front() == L';') return false;
  return name.find_first_of(L"=\r\n") == std::wstring::npos;
}

std::wstring ExecutableNameOf(platform::ProcessSystem& processes, DWORD processId) {
  if (processId == 0) return {};
  wchar_t path[MAX_PATH] = {};
  platform::WithProcess(processes, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, processId, [&](HANDLE process) {
    processes.MainModulePath(process, path, MAX_PATH);
    return true;
  });
  const std::wstring full(path);
  const size_t cut = full.find_last_of(L"\\/:");
  return cut == std::wstring::npos ? full : full.substr(cut + 1);
}

void AddDayCounts(const std::vector<std::wstring>& lines, std::vector<LearnedProgram>& programs) {
  for (const std::wstring& line : lines) {
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos) continue;  // hand-edited junk
    const std::wstring name = line.substr(0, equals);
    if (!IsLearnableName(name)) continue;
    const uint32_t count = ParseCount(line.c_str() + equals + 1);
    auto known = std::find_if(programs.begin(), programs.end(),
                              [&](const LearnedProgram& p) { return CMORulesList::SameName(p.name, name); });
    if (known != programs.end()) {
      known->total = AddCapped(known->total, count);
    } else {
      programs.push_back({name, count});
    }
  }
}

std::vector<std::wstring> MostUsedNames(const std::vector<LearnedProgram>& programs, size_t count) {
  // A stable sort keeps first-met order among equal totals: the same choice
  // as taking the first records and letting a later one in only when it is
  // strictly above the smallest taken.
  std::vector<const LearnedProgram*> ranked;
  ranked.reserve(programs.size());
  for (const LearnedProgram& p : programs) ranked.push_back(&p);
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const LearnedProgram* a, const LearnedProgram* b) { return a->total > b->total; });
  std::vector<std::wstring> names;
  for (size_t i = 0; i < ranked.size() && i < count; ++i) names.push_back(ranked[i]->name);
  return names;
}

std::wstring TidyProfileText(const std::wstring& text) {
  std::wstring lines;  // line breaks as single '\n'
  lines.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == 0xFEFF || c == 0xFFFE || c == 0xEFBB) continue;
    if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    if (c == L'\n' && (lines.empty() || lines.back() == L'\n')) continue;
    lines += c;
  }
  std::wstring tidy;
  tidy.reserve(lines.size() + lines.size() / 8);
  for (wchar_t c : lines) {
    if (c == L'\n') tidy += L'\r';
    tidy += c;
  }
  return tidy;
}

std::wstring PruneProfileText(const std::wstring& text, size_t days, size_t* dropped) {
  const std::vector<size_t> starts = SectionStarts(text);
  const size_t drop = starts.size() > days ? starts.size() - days : 0;
  if (dropped) *dropped = drop;
  if (drop == 0) return text;
  const std::wstring kept = drop < starts.size() ? text.substr(starts[drop]) : std::wstring();
  return TidyProfileText(text.substr(0, starts.front()) + kept);
}

SmartLearning::SmartLearning(std::wstring path, platform::LocalClock& clock, platform::FileWrites& files)
    : path_(std::move(path)), clock_(clock), files_(files) {}

void SmartLearning::Count(const std::wstring& name) {
  if (path_.empty() || !IsLearnableName(name)) return;
  const std::wstring section = DaySection(clock_.Now());
  std::lock_guard<std::mutex> lock(lock_);
  // The profile functions would create a missing file in the ANSI code page
  // and keep it so; start it in UTF-16 so every name survives.
  if (!FileExists(path_)) CreateEmptyUnicodeFile(path_);
  wchar_t value[kValueChars] = {};
  GetPrivateProfileStringW(section.c_str(), name.c_str(), L"0", value, kValueChars, path_.c_str());
  const uint32_t count = AddCapped(ParseCount(value), 1);
  files_.WriteProfileValue(path_, section.c_str(), name.c_str(), std::to_wstring(count).c_str());
}

std::vector<std::wstring> SmartLearning::SectionNamesLocked(unsigned& bufferChars) {
  if (path_.empty()) return {};
  return ReadProfileList(
      [&](wchar_t* buffer, DWORD chars) { return GetPrivateProfileSectionNamesW(buffer, chars, path_.c_str()); },
      bufferChars);
}

std::vector<LearnedProgram> SmartLearning::TotalsLocked() {
  std::vector<LearnedProgram> programs;
  unsigned bufferChars = kFirstListChars;
  for (const std::wstring& day : SectionNamesLocked(bufferChars)) {
    const std::vector<std::wstring> lines = ReadProfileList(
        [&](wchar_t* buffer, DWORD chars) {
          return GetPrivateProfileSectionW(day.c_str(), buffer, chars, path_.c_str());
        },
        bufferChars);
    AddDayCounts(lines, programs);
  }
  return programs;
}

std::vector<LearnedProgram> SmartLearning::Totals() {
  std::lock_guard<std::mutex> lock(lock_);
  return TotalsLocked();
}

bool SmartLearning::Rebuild(CMORulesList& list, size_t count) {
  std::lock_guard<std::mutex> lock(lock_);
  return list.ReplaceAll(MostUsedNames(TotalsLocked(), count));
}

void SmartLearning::Prune(unsigned days) {
  std::lock_guard<std::mutex> lock(lock_);
  // Deleting section by section would rewrite the whole file once per day
  // deleted: minutes for a file of some thousand days.
  std::wstring text;
  if (IsBlank(path_.c_str()) || !ReadUnicodeText(path_, &text)) return;  // unreadable: left as it is
  size_t dropped = 0;
  const std::wstring pruned = PruneProfileText(text, days, &dropped);
  if (dropped > 0) files_.ReplaceText(path_, pruned);
}

bool SmartLearning::Reset() {
  std::lock_guard<std::mutex> lock(lock_);
  return !path_.empty() && files_.ReplaceText(path_, std::wstring());
}

}  // namespace tarnwick
