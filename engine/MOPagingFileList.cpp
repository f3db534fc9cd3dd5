#include "MOPagingFileList.h"

#include "EngineError.h"
#include "MOPagingFileItem.h"
#include "RegistryKey.h"
#include "SharedRoutines.h"

#include <cwchar>
#include <cwctype>

#include <kit/Own.h>

namespace tarnwick {

namespace {

const wchar_t kMemoryManagement[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
const wchar_t kPagingFiles[] = L"PagingFiles";
const wchar_t kExistingPageFiles[] = L"ExistingPageFiles";
const wchar_t kAutomatic[] = L"?:\\pagefile.sys";
const size_t kEntryChars = 260;

// A multi-string value, always ending in two zeros whatever is stored.
bool ReadMultiString(HKEY key, const wchar_t* name, std::vector<wchar_t>& text) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_MULTI_SZ && type != REG_SZ && type != REG_EXPAND_SZ) return false;
  text.assign(size / sizeof(wchar_t) + 2, L'\0');
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS) {
    return false;
  }
  text.resize(size / sizeof(wchar_t) + 2);
  text[text.size() - 1] = text[text.size() - 2] = L'\0';
  return true;
}

}  // namespace

CMOPagingFileList::CMOPagingFileList(platform::RegistryRoot& registry, platform::Drives& drives)
    : registry_(registry), drives_(drives) {}

CMOPagingFileList::~CMOPagingFileList() {
  for (CMOPagingFileItem* item : items_) item->Drop(/*ownerGoing=*/true);
}

void CMOPagingFileList::DropItems() {
  for (CMOPagingFileItem* item : items_) item->Drop();
  items_.clear();
}

void CMOPagingFileList::EnumerateDrives() {
  std::vector<std::wstring> roots;
  if (!drives_.LogicalDriveRoots(roots)) return;
  for (const std::wstring& root : roots) {
    if (root.empty() || drives_.DriveType(root.c_str()) != DRIVE_FIXED) continue;
    uint64_t available = 0, total = 0;
    drives_.DiskSpace(root.c_str(), &available, &total);
    wchar_t volume[CMOPagingFileItem::kVolumeNameChars] = {};
    drives_.VolumeName(root.c_str(), volume, CMOPagingFileItem::kVolumeNameChars);
    items_.reserve(items_.size() + 1);
    auto* item = new CMOPagingFileItem(root[0], available, total, volume);
    item->SetOwner(Unknown());
    items_.push_back(item);
  }
}

void CMOPagingFileList::ApplyEntry(const wchar_t* entry) {
  wchar_t copy[kEntryChars + 1] = {};
  wcsncpy(copy, entry, kEntryChars);
  ReplaceText(copy, sizeof(copy), L"\\??\\", L"", UINT32_MAX);
  // Windows writes the letter in either case.
  CMOPagingFileItem* item = nullptr;
  for (CMOPagingFileItem* candidate : items_) {
    if (copy[0] && towupper(candidate->DriveLetter()) == towupper(copy[0])) {
      item = candidate;
      break;
    }
  }
  if (!item) return;
  // "X:\pagefile.sys [initial maximum]", split at blanks.
  const wchar_t* parts[3] = {};
  int count = 0;
  for (wchar_t* at = copy; *at && count < 3;) {
    while (*at == L' ') *at++ = L'\0';
    if (!*at) break;
    parts[count++] = at;
    while (*at && *at != L' ') ++at;
  }
  ULONG minSize = count > 1 ? RegTemplate::DecimalText(parts[1]) : 0;
  ULONG maxSize = count > 2 ? RegTemplate::DecimalText(parts[2]) : 0;
  item->SetFromRegistry(count > 2, minSize, maxSize);
}

void CMOPagingFileList::ReadRegistry() {
  kit::RegKey key;
  if (RegOpenKeyExW(registry_.LocalMachine(), kMemoryManagement, 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return;
  std::vector<wchar_t> value;
  bool ok = ReadMultiString(key.Get(), kPagingFiles, value);
  if (ok && value[0] == L'?') {
    // Windows manages every paging file; the ones it made are listed apart.
    isAutomation_ = true;
    ok = ReadMultiString(key.Get(), kExistingPageFiles, value);
  }
  if (!ok) return;
  for (const wchar_t* entry = value.data(); *entry; entry += wcslen(entry) + 1) ApplyEntry(entry);
}

bool CMOPagingFileList::ComposeValue(std::wstring& multiString) const {
  multiString.clear();
  if (isAutomation_) {
    multiString.append(kAutomatic).push_back(L'\0');
  } else {
    for (const CMOPagingFileItem* item : items_) {
      if (item->NoPagingFile()) continue;
      std::wstring entry(1, item->DriveLetter());
      entry += L":\\pagefile.sys ";
      if (!item->CustomSize()) {
        entry += L"0 0";
      } else if (item->CustomSizeIsValid()) {
        entry += std::to_wstring(item->MinSizeMB()) + L" " + std::to_wstring(item->MaxSizeMB());
      } else {
        // Leaving the drive out would silently remove its paging file.
        return false;
      }
      multiString.append(entry).push_back(L'\0');
    }
  }
  multiString.push_back(L'\0');
  return true;
}

bool CMOPagingFileList::WriteValue(const std::wstring& multiString) {
  kit::RegKey key;
  LONG status = RegOpenKeyExW(registry_.LocalMachine(), kMemoryManagement, 0, KEY_WRITE, key.Out());
  if (status == ERROR_SUCCESS) {
    status = RegSetValueExW(key.Get(), kPagingFiles, 0, REG_MULTI_SZ,
                            reinterpret_cast<const BYTE*>(multiString.data()),
                            static_cast<DWORD>(multiString.size() * sizeof(wchar_t)));
  }
  if (status != ERROR_SUCCESS) ReportFailure(L"Writing the paging files to the registry", static_cast<DWORD>(status));
  return status == ERROR_SUCCESS;
}

STDMETHODIMP CMOPagingFileList::Load() {
  return com::Barrier([&] {
    DropItems();
    EnumerateDrives();
    ReadRegistry();
    return S_OK;
  });
}

STDMETHODIMP CMOPagingFileList::Save() {
  return com::Barrier([&] {
    std::wstring value;
    if (!ComposeValue(value) || !WriteValue(value)) return S_FALSE;
    Load();
    return S_OK;
  });
}

STDMETHODIMP CMOPagingFileList::get_ItemCount(ULONG *pVal) { return com::Get(pVal, items_.size()); }
STDMETHODIMP CMOPagingFileList::get_IsAutomation(VARIANT_BOOL *pVal) { return com::GetBool(pVal, isAutomation_); }

STDMETHODIMP CMOPagingFileList::put_IsAutomation(VARIANT_BOOL newVal) {
  return com::Barrier([&] {
    isAutomation_ = com::IsTrue(newVal);
    return S_OK;
  });
}

STDMETHODIMP CMOPagingFileList::get_PagingFileItemByIndex(ULONG Index, IMOPagingFileItem **pVal) {
  return com::Barrier([&] { return com::OutObject(pVal, Index < items_.size() ? items_[Index] : nullptr); });
}

STDMETHODIMP CMOPagingFileList::get_PagingFileItemByDrive(BSTR Drive, IMOPagingFileItem **pVal) {
  return com::Barrier([&] {
    CMOPagingFileItem* found = nullptr;
    if (Drive && Drive[0]) {
      for (CMOPagingFileItem* item : items_) {
        if (item->DriveLetter() == Drive[0]) {
          found = item;
          break;
        }
      }
    }
    return com::OutObject(pVal, found);
  });
}

}  // namespace tarnwick
