#include "MORulesList.h"

#include <algorithm>

#include "SharedRoutines.h"
#include "UnicodeFiles.h"

namespace tarnwick {
namespace {

wchar_t FoldAsciiCase(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

bool HasLineBreak(const std::wstring& name) { return name.find_first_of(L"\r\n") != std::wstring::npos; }

// A name the list can hold and write back as one line.
bool IsAcceptableName(const wchar_t* name) {
  if (IsBlank(name)) return false;
  const std::wstring text(name);
  return text.size() <= CMORulesList::kMaxName && !HasLineBreak(text);
}

// One entry per line feed (CR LF counts as one); a CR on its own is part of
// the entry. A last line without a line feed is kept unless it is empty.
std::vector<std::wstring> ParseLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::wstring current;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    if (c == L'\n') {
      lines.push_back(std::move(current));
      current.clear();
    } else if (current.size() < CMORulesList::kMaxName) {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

}  // namespace

CMORulesList::~CMORulesList() = default;

bool CMORulesList::SameName(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return FoldAsciiCase(x) == FoldAsciiCase(y); });
}

std::vector<std::wstring>::iterator CMORulesList::FindLocked(const std::wstring& name) {
  return std::find_if(entries_.begin(), entries_.end(),
                      [&](const std::wstring& entry) { return SameName(entry, name); });
}

bool CMORulesList::LoadLocked() {
  std::wstring text;
  // A failed read keeps the entries and the path: the next call may succeed.
  if (!ReadUnicodeText(path_, &text)) return false;
  entries_ = ParseLines(text);
  return true;
}

bool CMORulesList::WriteLocked() {
  std::wstring text;
  for (const std::wstring& entry : entries_) {
    text += entry;
    text += L"\r\n";
  }
  return ReplaceWithUnicodeText(path_, text);
}

bool CMORulesList::Open(const wchar_t* relativePath, const std::wstring& programFolder) {
  if (!relativePath) return false;
  std::wstring folder = programFolder;
  if (folder.empty()) {
    wchar_t module[kFolderChars];
    if (ModuleFolder(module)) folder = module;
  }
  const std::wstring path = JoinPath(folder, relativePath);
  std::lock_guard<std::mutex> lock(lock_);
  path_ = path;
  if (path_.empty()) return false;
  CreateParentFolder(path_);
  if (!FileExists(path_)) CreateEmptyUnicodeFile(path_);
  return LoadLocked();
}

bool CMORulesList::LoadFrom(const wchar_t* path) {
  std::lock_guard<std::mutex> lock(lock_);
  if (!IsBlank(path)) path_ = path;
  return LoadLocked();
}

bool CMORulesList::WriteTo(const wchar_t* path) {
  std::lock_guard<std::mutex> lock(lock_);
  if (!IsBlank(path)) path_ = path;
  return WriteLocked();
}

bool CMORulesList::Contains(const wchar_t* name) const {
  if (IsBlank(name)) return false;
  const std::wstring wanted(name);
  std::lock_guard<std::mutex> lock(lock_);
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const std::wstring& entry) { return SameName(entry, wanted); });
}

bool CMORulesList::ReplaceAll(const std::vector<std::wstring>& names) {
  std::vector<std::wstring> kept;
  for (const std::wstring& name : names) {
    if (!IsAcceptableName(name.c_str())) continue;
    if (std::none_of(kept.begin(), kept.end(), [&](const std::wstring& k) { return SameName(k, name); }))
      kept.push_back(name);
  }
  std::lock_guard<std::mutex> lock(lock_);
  entries_ = std::move(kept);
  return WriteLocked();
}

std::wstring CMORulesList::Path() const {
  std::lock_guard<std::mutex> lock(lock_);
  return path_;
}

STDMETHODIMP CMORulesList::get_Item(ULONG Index, BSTR *pVal) {
  return com::Barrier([&] {
    std::lock_guard<std::mutex> lock(lock_);
    if (Index >= entries_.size()) return com::Out(pVal, nullptr, S_FALSE);
    return com::OutString(pVal, entries_[Index]);
  });
}

STDMETHODIMP CMORulesList::get_ItemCount(ULONG *pVal) {
  return com::Barrier([&] {
    std::lock_guard<std::mutex> lock(lock_);
    return com::Out(pVal, entries_.size());
  });
}

STDMETHODIMP CMORulesList::get_IsInList(BSTR Item, VARIANT_BOOL *pVal) {
  return com::Barrier([&] { return com::OutBool(pVal, Contains(Item)); });
}

STDMETHODIMP CMORulesList::AddItem(BSTR Item) {
  return com::Barrier([&] {
    // Blank names, line breaks (they would split into two entries in the
    // file) and over-long names are refused.
    if (!IsAcceptableName(Item)) return S_FALSE;
    const std::wstring name(Item);
    std::lock_guard<std::mutex> lock(lock_);
    if (FindLocked(name) != entries_.end()) return S_OK;
    entries_.push_back(name);
    return com::Done(WriteLocked());
  });
}

STDMETHODIMP CMORulesList::RemoveItem(BSTR Item) {
  return com::Barrier([&] {
    if (IsBlank(Item)) return S_FALSE;
    const std::wstring name(Item);
    std::lock_guard<std::mutex> lock(lock_);
    auto found = FindLocked(name);
    if (found == entries_.end()) return S_OK;
    entries_.erase(found);
    return com::Done(WriteLocked());
  });
}

STDMETHODIMP CMORulesList::Clear() {
  return com::Barrier([&] {
    std::lock_guard<std::mutex> lock(lock_);
    entries_.clear();
    return S_OK;
  });
}

STDMETHODIMP CMORulesList::Refresh() {
  return com::Barrier([&] {
    std::lock_guard<std::mutex> lock(lock_);
    return com::Done(LoadLocked());
  });
}

}  // namespace tarnwick
