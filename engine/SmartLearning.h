// The smart analyzer's learning file (Config\smart.ini): per local day, how
// often each program was seen in the foreground, and the rebuild of the
// smart list from the programs seen most. The file is a profile (INI) file
// in UTF-16LE: one section "YYYY-MM-DD" per day, in the order the days were
// first written, with one "program.exe=count" key per program.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileWrites.h"
#include "platform/LocalClock.h"
#include "platform/ProcessSystem.h"

namespace tarnwick {

class CMORulesList;

// A program's total over all days, while the smart list is rebuilt.
struct LearnedProgram {
  std::wstring name;
  uint32_t total = 0;
};

// True when `name` can be a key of the learning file: not blank, without
// "=" and not starting with "[" or ";", which the profile functions would
// read back as a cut key, a section or a comment.
bool IsLearnableName(const std::wstring& name);

// File name and extension of the main module of process `processId`; empty
// when the process cannot be opened or its module not read.
std::wstring ExecutableNameOf(platform::ProcessSystem& processes, DWORD processId);

// Adds the "name=count" lines of one day to `programs`: a name met before
// (ignoring case) adds to that record, which keeps its first spelling; a new
// one is appended. Lines without "=" or with a name that cannot be learned
// are skipped. Totals stop at the largest 32-bit value.
void AddDayCounts(const std::vector<std::wstring>& lines, std::vector<LearnedProgram>& programs);

// Names of the `count` programs with the highest totals, highest first.
// Among equal totals the program met first ranks first, so one met later
// never displaces it.
std::vector<std::wstring> MostUsedNames(const std::vector<LearnedProgram>& programs, size_t count);

// The file's text without stray byte-order marks, leading or empty lines,
// every line ended by CR LF.
std::wstring TidyProfileText(const std::wstring& text);

// A profile file's text with only its `days` last sections (and whatever
// stands before the first section), tidied: what deleting the older sections
// one by one through the profile functions, then tidying, leaves. `dropped`
// tells how many sections went; with none, the text comes back unchanged.
std::wstring PruneProfileText(const std::wstring& text, size_t days, size_t* dropped);

// One learning file. Every operation holds one lock for its whole length,
// so a sample, a rebuild, a prune and a reset never interleave.
class SmartLearning {
 public:
  // An empty path makes every operation do nothing.
  SmartLearning(std::wstring path, platform::LocalClock& clock,
                platform::FileWrites& files = platform::RealFileWrites());

  const std::wstring& Path() const { return path_; }

  // Adds one sample of `name` to today's section. Names that cannot be
  // learned are not counted.
  void Count(const std::wstring& name);
  // Totals over all days, in the order the names were first met.
  std::vector<LearnedProgram> Totals();
  // Replaces the whole smart list with the `count` most used programs in
  // one step (one file write). True when the list file was written.
  bool Rebuild(CMORulesList& list, size_t count);
  // Keeps the `days` most recent day sections: one read, and, when there
  // were more, one write of the tidied file.
  void Prune(unsigned days);
  // Leaves the file holding only its byte-order mark.
  bool Reset();

 private:
  std::vector<LearnedProgram> TotalsLocked();
  std::vector<std::wstring> SectionNamesLocked(unsigned& bufferChars);

  const std::wstring path_;
  platform::LocalClock& clock_;
  platform::FileWrites& files_;
  std::mutex lock_;
};

}  // namespace tarnwick
