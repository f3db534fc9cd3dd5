// MOPagingFileItem: the paging-file choice for one fixed drive: none,
// system-managed, or custom sizes in MB. Items are owned by their list.
#pragma once

#include "TarnwickLib.h"
#include "com/DispatchObject.h"

#include <cstdint>

namespace tarnwick {

class CMOPagingFileItem : public com::DispatchObject<CMOPagingFileItem, IMOPagingFileItem> {
 public:
  static constexpr ULONG kMinSizeMB = 16;
  static constexpr ULONG kMaxSizeMB = 4096;
  static constexpr DWORD kVolumeNameChars = 260;

  // An item without a drive (only a class-factory instance is made this way).
  CMOPagingFileItem();
  CMOPagingFileItem(wchar_t drive, uint64_t availableSpace, uint64_t totalSpace, const wchar_t* volumeName);

  wchar_t DriveLetter() const { return drive_[0]; }
  bool NoPagingFile() const { return isNoPagingFile_; }
  bool CustomSize() const { return isCustomSize_; }
  ULONG MinSizeMB() const { return minSize_; }
  ULONG MaxSizeMB() const { return maxSize_; }
  ULONG FreeSpaceMB() const;
  // Sizes that Windows accepts for this drive: both within 16..4096 MB, the
  // maximum not below the minimum and not above the free space.
  bool CustomSizeIsValid() const;

  // What the registry says for this drive: sizes both present and non-zero
  // give a custom size, anything else a system-managed paging file.
  void SetFromRegistry(bool hasBothSizes, ULONG minSize, ULONG maxSize);

  // IMOPagingFileItem
  STDMETHODIMP get_IsNoPagingFile(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsNoPagingFile(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsSystemManagedSize(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsSystemManagedSize(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_IsCustomSize(VARIANT_BOOL *pVal) override;
  STDMETHODIMP put_IsCustomSize(VARIANT_BOOL newVal) override;
  STDMETHODIMP get_Drive(BSTR *pVal) override;
  STDMETHODIMP get_MinSize(ULONG *pVal) override;
  STDMETHODIMP put_MinSize(ULONG newVal) override;
  STDMETHODIMP get_MaxSize(ULONG *pVal) override;
  STDMETHODIMP put_MaxSize(ULONG newVal) override;
  STDMETHODIMP get_AvailableSpace(UINT64 *pVal) override;
  STDMETHODIMP get_TotalSpace(UINT64 *pVal) override;
  STDMETHODIMP get_VolumeName(BSTR *pVal) override;

 private:
  // Sets one of the three exclusive choices.
  HRESULT Choose(bool& choice, VARIANT_BOOL value);
  HRESULT GetSize(ULONG field, ULONG* out) const;
  HRESULT PutSize(ULONG& field, ULONG value);

  bool isNoPagingFile_ = true;
  bool isSystemManagedSize_ = false;
  bool isCustomSize_ = false;
  wchar_t drive_[2] = {};
  ULONG minSize_ = 0;
  ULONG maxSize_ = 0;
  uint64_t availableSpace_ = 0;
  uint64_t totalSpace_ = 0;
  wchar_t volumeName_[kVolumeNameChars] = {};
};

}  // namespace tarnwick
