// MOPagingFileList: the paging-file configuration Windows uses at its next
// start ("PagingFiles" in the registry), one item per local fixed drive. The
// list owns its items; Load and Save rebuild them. An item a client still
// holds keeps the list alive, and one dropped by a rebuild goes at its own
// last release.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"
#include "platform/Drives.h"
#include "platform/RegistryRoot.h"

#include <string>
#include <vector>

namespace tarnwick {

class CMOPagingFileItem;

class CMOPagingFileList : public com::DispatchObject<CMOPagingFileList, IMOPagingFileList> {
 public:
  explicit CMOPagingFileList(platform::RegistryRoot& registry = platform::RealRegistryRoot(),
                             platform::Drives& drives = platform::RealDrives());
  ~CMOPagingFileList() override;

  // IMOPagingFileList
  STDMETHODIMP get_ItemCount(ULONG *pVal) override;
  STDMETHODIMP get_IsAutomation(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsAutomation(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_PagingFileItemByIndex(ULONG Index, IMOPagingFileItem **pVal) override;
  STDMETHODIMP get_PagingFileItemByDrive(BSTR Drive, IMOPagingFileItem **pVal) override;
  STDMETHODIMP Load() override;
  // S_FALSE when nothing was written: a custom size Windows would refuse, or
  // a failed registry write. The items then stay as they are.
  STDMETHODIMP Save() override;

 private:
  void DropItems();
  void EnumerateDrives();
  void ReadRegistry();
  void ApplyEntry(const wchar_t* entry);
  // The "PagingFiles" strings for the items; false when a custom size is invalid.
  bool ComposeValue(std::wstring& multiString) const;
  // Writes "PagingFiles"; false (and a word to the debugger) when it could not.
  bool WriteValue(const std::wstring& multiString);

  platform::RegistryRoot& registry_;
  platform::Drives& drives_;
  bool isAutomation_ = false;
  std::vector<CMOPagingFileItem*> items_;
};

}  // namespace tarnwick
