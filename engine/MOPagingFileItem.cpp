#include "MOPagingFileItem.h"

#include <cwchar>

namespace tarnwick {

CMOPagingFileItem::CMOPagingFileItem() = default;

CMOPagingFileItem::CMOPagingFileItem(wchar_t drive, uint64_t availableSpace, uint64_t totalSpace,
                                     const wchar_t* volumeName)
    : availableSpace_(availableSpace), totalSpace_(totalSpace) {
  drive_[0] = drive;
  if (volumeName) wcsncpy(volumeName_, volumeName, kVolumeNameChars - 1);
}

ULONG CMOPagingFileItem::FreeSpaceMB() const {
  uint64_t mb = availableSpace_ >> 20;
  return mb > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<ULONG>(mb);
}

bool CMOPagingFileItem::CustomSizeIsValid() const {
  return minSize_ >= kMinSizeMB && minSize_ <= kMaxSizeMB && maxSize_ >= kMinSizeMB && maxSize_ <= kMaxSizeMB &&
         maxSize_ >= minSize_ && FreeSpaceMB() >= maxSize_;
}

void CMOPagingFileItem::SetFromRegistry(bool hasBothSizes, ULONG minSize, ULONG maxSize) {
  isNoPagingFile_ = false;
  isCustomSize_ = hasBothSizes && minSize != 0 && maxSize != 0;
  isSystemManagedSize_ = !isCustomSize_;
  minSize_ = minSize;
  maxSize_ = maxSize;
}

STDMETHODIMP CMOPagingFileItem::get_IsNoPagingFile(VARIANT_BOOL *pVal) { return com::GetBool(pVal, isNoPagingFile_); }

HRESULT CMOPagingFileItem::Choose(bool& choice, VARIANT_BOOL value) {
  return com::Barrier([&] {
    choice = com::IsTrue(value);
    const bool custom = &choice == &isCustomSize_;
    if (choice) {
      isNoPagingFile_ = &choice == &isNoPagingFile_;
      isSystemManagedSize_ = &choice == &isSystemManagedSize_;
      isCustomSize_ = custom;
    }
    // Sizes belong to a custom choice only.
    if (choice != custom) minSize_ = maxSize_ = 0;
    return S_OK;
  });
}

STDMETHODIMP CMOPagingFileItem::put_IsNoPagingFile(VARIANT_BOOL newVal) { return Choose(isNoPagingFile_, newVal); }
STDMETHODIMP CMOPagingFileItem::get_IsSystemManagedSize(VARIANT_BOOL *pVal) {
  return com::GetBool(pVal, isSystemManagedSize_);
}
STDMETHODIMP CMOPagingFileItem::put_IsSystemManagedSize(VARIANT_BOOL newVal) {
  return Choose(isSystemManagedSize_, newVal);
}
STDMETHODIMP CMOPagingFileItem::get_IsCustomSize(VARIANT_BOOL *pVal) { return com::GetBool(pVal, isCustomSize_); }
STDMETHODIMP CMOPagingFileItem::put_IsCustomSize(VARIANT_BOOL newVal) { return Choose(isCustomSize_, newVal); }

STDMETHODIMP CMOPagingFileItem::get_Drive(BSTR *pVal) { return com::GetString(pVal, drive_); }

HRESULT CMOPagingFileItem::GetSize(ULONG field, ULONG* out) const {
  return com::Barrier([&] { return com::Out(out, isCustomSize_ ? field : 0, com::Done(isCustomSize_)); });
}

HRESULT CMOPagingFileItem::PutSize(ULONG& field, ULONG value) {
  return com::Barrier([&] {
    if (!isCustomSize_) {
      field = 0;
      return S_FALSE;
    }
    value = value < kMinSizeMB ? kMinSizeMB : value > kMaxSizeMB ? kMaxSizeMB : value;
    ULONG free = FreeSpaceMB();
    field = value > free ? free : value;
    return S_OK;
  });
}

STDMETHODIMP CMOPagingFileItem::get_MinSize(ULONG *pVal) { return GetSize(minSize_, pVal); }
STDMETHODIMP CMOPagingFileItem::put_MinSize(ULONG newVal) { return PutSize(minSize_, newVal); }
STDMETHODIMP CMOPagingFileItem::get_MaxSize(ULONG *pVal) { return GetSize(maxSize_, pVal); }
STDMETHODIMP CMOPagingFileItem::put_MaxSize(ULONG newVal) { return PutSize(maxSize_, newVal); }

STDMETHODIMP CMOPagingFileItem::get_AvailableSpace(UINT64 *pVal) { return com::Get(pVal, availableSpace_); }
STDMETHODIMP CMOPagingFileItem::get_TotalSpace(UINT64 *pVal) { return com::Get(pVal, totalSpace_); }

STDMETHODIMP CMOPagingFileItem::get_VolumeName(BSTR *pVal) { return com::GetString(pVal, volumeName_); }

}  // namespace tarnwick
