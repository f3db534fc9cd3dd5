#include "MOPagingFileItem.h"

#include <cwchar>

namespace tarnwick {

namespace {

HRESULT GetFlag(bool field, VARIANT_BOOL* out) {
  if (!out) return E_POINTER;
  *out = field ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT GetText(const wchar_t* text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocString(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

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

STDMETHODIMP CMOPagingFileItem::get_IsNoPagingFile(VARIANT_BOOL *pVal) { return GetFlag(isNoPagingFile_, pVal); }

HRESULT CMOPagingFileItem::Choose(bool& choice, VARIANT_BOOL value) {
  choice = value == VARIANT_TRUE;
  const bool custom = &choice == &isCustomSize_;
  if (choice) {
    isNoPagingFile_ = &choice == &isNoPagingFile_;
    isSystemManagedSize_ = &choice == &isSystemManagedSize_;
    isCustomSize_ = custom;
  }
  // Sizes belong to a custom choice only.
  if (choice != custom) minSize_ = maxSize_ = 0;
  return S_OK;
}

STDMETHODIMP CMOPagingFileItem::put_IsNoPagingFile(VARIANT_BOOL newVal) { return Choose(isNoPagingFile_, newVal); }
STDMETHODIMP CMOPagingFileItem::get_IsSystemManagedSize(VARIANT_BOOL *pVal) {
  return GetFlag(isSystemManagedSize_, pVal);
}
STDMETHODIMP CMOPagingFileItem::put_IsSystemManagedSize(VARIANT_BOOL newVal) {
  return Choose(isSystemManagedSize_, newVal);
}
STDMETHODIMP CMOPagingFileItem::get_IsCustomSize(VARIANT_BOOL *pVal) { return GetFlag(isCustomSize_, pVal); }
STDMETHODIMP CMOPagingFileItem::put_IsCustomSize(VARIANT_BOOL newVal) { return Choose(isCustomSize_, newVal); }

STDMETHODIMP CMOPagingFileItem::get_Drive(BSTR *pVal) { return GetText(drive_, pVal); }

HRESULT CMOPagingFileItem::GetSize(ULONG field, ULONG* out) const {
  if (!out) return E_POINTER;
  *out = isCustomSize_ ? field : 0;
  return isCustomSize_ ? S_OK : S_FALSE;
}

HRESULT CMOPagingFileItem::PutSize(ULONG& field, ULONG value) {
  if (!isCustomSize_) {
    field = 0;
    return S_FALSE;
  }
  value = value < kMinSizeMB ? kMinSizeMB : value > kMaxSizeMB ? kMaxSizeMB : value;
  ULONG free = FreeSpaceMB();
  field = value > free ? free : value;
  return S_OK;
}

STDMETHODIMP CMOPagingFileItem::get_MinSize(ULONG *pVal) { return GetSize(minSize_, pVal); }
STDMETHODIMP CMOPagingFileItem::put_MinSize(ULONG newVal) { return PutSize(minSize_, newVal); }
STDMETHODIMP CMOPagingFileItem::get_MaxSize(ULONG *pVal) { return GetSize(maxSize_, pVal); }
STDMETHODIMP CMOPagingFileItem::put_MaxSize(ULONG newVal) { return PutSize(maxSize_, newVal); }

STDMETHODIMP CMOPagingFileItem::get_AvailableSpace(UINT64 *pVal) {
  if (!pVal) return E_POINTER;
  *pVal = availableSpace_;
  return S_OK;
}

STDMETHODIMP CMOPagingFileItem::get_TotalSpace(UINT64 *pVal) {
  if (!pVal) return E_POINTER;
  *pVal = totalSpace_;
  return S_OK;
}

STDMETHODIMP CMOPagingFileItem::get_VolumeName(BSTR *pVal) { return GetText(volumeName_, pVal); }

}  // namespace tarnwick
