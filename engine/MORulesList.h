// MORulesList: an ordered list of process or program names kept in a
// UTF-16LE list file (black, white and smart lists), or without a file (game
// mode's list). Names compare equal ignoring the case of A to Z only. Every
// operation holds the list's lock for its whole length, file write included,
// because the fast free and the smart analyzer use the lists from their own
// threads.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

namespace tarnwick {

class CMORulesList : public com::DispatchObject<CMORulesList, IMORulesList> {
 public:
  // Longest entry, in UTF-16 units.
  static constexpr size_t kMaxName = 259;

  // A list without a file until Open or LoadFrom gives it one.
  CMORulesList() = default;
  ~CMORulesList() override;

  // IMORulesList
  STDMETHODIMP get_Item(ULONG Index, BSTR *pVal) override;
  STDMETHODIMP get_ItemCount(ULONG *pVal) override;
  STDMETHODIMP get_IsInList(BSTR Item, VARIANT_BOOL *pVal) override;
  STDMETHODIMP AddItem(BSTR Item) override;
  STDMETHODIMP RemoveItem(BSTR Item) override;
  STDMETHODIMP Clear() override;
  STDMETHODIMP Refresh() override;

  // For the engine.
  // Gives the list the file `relativePath` under `programFolder` (the host
  // program's folder when empty), creating its folder and an empty file when
  // missing, then loads it. False when the file could not be read.
  bool Open(const wchar_t* relativePath, const std::wstring& programFolder = {});
  // A non-blank `path` becomes the list's file; then reloads (as Refresh).
  bool LoadFrom(const wchar_t* path);
  // A non-blank `path` becomes the list's file; then writes the whole list.
  bool WriteTo(const wchar_t* path);
  // Membership as IsInList.
  bool Contains(const wchar_t* name) const;
  // Replaces every entry in one step (one lock, one file write). Names that
  // AddItem would refuse, and repeats, are left out. True when the file was
  // written.
  bool ReplaceAll(const std::vector<std::wstring>& names);
  std::wstring Path() const;

  static bool SameName(const std::wstring& a, const std::wstring& b);

 private:
  bool LoadLocked();
  bool WriteLocked();
  std::vector<std::wstring>::iterator FindLocked(const std::wstring& name);

  mutable std::mutex lock_;
  std::wstring path_;  // empty: no file
  std::vector<std::wstring> entries_;
};

}  // namespace tarnwick
