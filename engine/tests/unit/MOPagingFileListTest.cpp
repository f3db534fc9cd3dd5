// Paging-file items: drives from a fake, the "PagingFiles" value in a
// scratch registry.
#include "MOPagingFileItem.h"
#include "MOPagingFileList.h"

#include "RegistryScratch.h"

#include <gtest/gtest.h>

#include <map>

using tarnwick::CMOPagingFileItem;
using tarnwick::CMOPagingFileList;
using tarnwick::testing::ScratchRegistry;

namespace {

const wchar_t kMemory[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
const uint64_t kMB = 1ull << 20;

class FakeDrives : public tarnwick::platform::Drives {
 public:
  struct Drive {
    UINT type;
    uint64_t available;
  };
  std::map<wchar_t, Drive> drives;
  bool listable = true;

  bool LogicalDriveRoots(std::vector<std::wstring>& roots) override {
    roots.clear();
    for (const auto& entry : drives) roots.push_back(std::wstring(1, entry.first) + L":\\");
    return listable;
  }
  UINT DriveType(const wchar_t* root) override { return drives.at(root[0]).type; }
  bool DiskSpace(const wchar_t* root, uint64_t* available, uint64_t* total) override {
    *available = drives.at(root[0]).available;
    *total = *available * 2;
    return true;
  }
  bool VolumeName(const wchar_t* root, wchar_t* name, DWORD chars) override {
    swprintf(name, chars, L"Disk %lc", static_cast<wint_t>(root[0]));
    return true;
  }
};

// Strings each ended by a zero (the value's own final zero is not included).
std::wstring Multi(std::initializer_list<const wchar_t*> strings) {
  std::wstring joined;
  for (const wchar_t* s : strings) joined.append(s).push_back(L'\0');
  return joined;
}

class PagingFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    drives.drives = {{L'C', {DRIVE_FIXED, 8000 * kMB}}, {L'D', {DRIVE_CDROM, 700 * kMB}}, {L'E', {DRIVE_FIXED, 1000 * kMB}}};
    ScratchRegistry::AddKey(machine, kMemory);
  }
  void Store(std::wstring multi, const wchar_t* name = L"PagingFiles") {
    multi.push_back(L'\0');
    ScratchRegistry::Set(machine, kMemory, name, REG_MULTI_SZ, multi.data(), static_cast<DWORD>(multi.size() * 2));
  }
  std::wstring Stored() { return ScratchRegistry::GetText(machine, kMemory, L"PagingFiles"); }
  CMOPagingFileItem* Item(wchar_t drive) {
    IMOPagingFileItem* item = nullptr;
    wchar_t name[2] = {drive, 0};
    BSTR text = SysAllocString(name);
    list.get_PagingFileItemByDrive(text, &item);
    SysFreeString(text);
    if (item) item->Release();
    return static_cast<CMOPagingFileItem*>(item);
  }
  // "none", "system" or "min-max" as a client sees the item.
  std::wstring State(wchar_t drive) {
    CMOPagingFileItem* item = Item(drive);
    if (!item) return L"absent";
    VARIANT_BOOL none, system, custom;
    item->get_IsNoPagingFile(&none);
    item->get_IsSystemManagedSize(&system);
    item->get_IsCustomSize(&custom);
    if ((none != 0) + (system != 0) + (custom != 0) != 1) return L"inconsistent";
    if (none || system) return none ? L"none" : L"system";
    ULONG low = 0, high = 0;
    item->get_MinSize(&low);
    item->get_MaxSize(&high);
    return std::to_wstring(low) + L"-" + std::to_wstring(high);
  }

  ScratchRegistry registry;
  HKEY machine = registry.LocalMachine();
  FakeDrives drives;
  CMOPagingFileList list{registry, drives};
};

}  // namespace

TEST_F(PagingFiles, LoadListsFixedDrivesOnly) {
  ULONG count = 9;
  list.get_ItemCount(&count);
  EXPECT_EQ(0u, count);
  EXPECT_EQ(S_OK, list.Load());  // without a "PagingFiles" value every drive keeps its defaults
  list.get_ItemCount(&count);
  ASSERT_EQ(2u, count);
  IMOPagingFileItem* first = nullptr;
  ASSERT_EQ(S_OK, list.get_PagingFileItemByIndex(0, &first));
  BSTR text = nullptr;
  first->get_VolumeName(&text);
  EXPECT_STREQ(L"Disk C", text);
  SysFreeString(text);
  UINT64 space = 0;
  first->get_AvailableSpace(&space);
  EXPECT_EQ(8000 * kMB, space);
  first->Release();
  EXPECT_EQ(L"none", State(L'C'));
  EXPECT_EQ(L"absent", State(L'D'));
  EXPECT_EQ(nullptr, Item(L'c'));  // the getter compares exactly

  IMOPagingFileItem* item = reinterpret_cast<IMOPagingFileItem*>(1);
  EXPECT_EQ(S_FALSE, list.get_PagingFileItemByIndex(2, &item));
  EXPECT_EQ(nullptr, item);
  EXPECT_EQ(S_FALSE, list.get_PagingFileItemByDrive(nullptr, &item));

  drives.listable = false;
  list.Load();
  list.get_ItemCount(&count);
  EXPECT_EQ(0u, count);
}

TEST_F(PagingFiles, ParsesEachFormOfEntry) {
  for (wchar_t letter : {L'F', L'G', L'H', L'I'}) drives.drives[letter] = {DRIVE_FIXED, 5000 * kMB};
  Store(Multi({L"D:\\pagefile.sys 64 128",  // not a fixed drive: skipped, the rest still read
               L"C:\\pagefile.sys 512 1024", L"e:\\pagefile.sys 0 0", L"F:\\pagefile.sys", L"G:\\pagefile.sys 300",
               L"H:\\pagefile.sys  2048x  99999999999", L"Q:\\pagefile.sys 1 2"}));
  list.Load();
  EXPECT_EQ(L"512-1024", State(L'C'));
  EXPECT_EQ(L"system", State(L'E'));  // Windows may write the letter in lower case
  EXPECT_EQ(L"system", State(L'F'));
  EXPECT_EQ(L"system", State(L'G'));  // one size only
  EXPECT_EQ(L"2048-4294967295", State(L'H'));
  EXPECT_EQ(L"none", State(L'I'));
  VARIANT_BOOL automatic = VARIANT_TRUE;
  list.get_IsAutomation(&automatic);
  EXPECT_EQ(VARIANT_FALSE, automatic);
}

TEST_F(PagingFiles, AutomaticManagementReadsTheExistingFiles) {
  Store(Multi({L"?:\\pagefile.sys"}));
  Store(Multi({L"\\??\\E:\\pagefile.sys"}), L"ExistingPageFiles");
  list.Load();
  VARIANT_BOOL automatic = VARIANT_FALSE;
  list.get_IsAutomation(&automatic);
  EXPECT_EQ(VARIANT_TRUE, automatic);
  EXPECT_EQ(L"system", State(L'E'));
  EXPECT_EQ(L"none", State(L'C'));

  Store(Multi({L"C:\\pagefile.sys 0 0"}));
  list.Load();  // reading never clears the flag; only the put does
  list.get_IsAutomation(&automatic);
  EXPECT_EQ(VARIANT_TRUE, automatic);
  list.put_IsAutomation(1);
  list.get_IsAutomation(&automatic);
  EXPECT_EQ(VARIANT_FALSE, automatic);
}

TEST_F(PagingFiles, ChoicesExcludeEachOtherAndSizesAreClamped) {
  list.Load();
  CMOPagingFileItem* c = Item(L'C');
  ULONG size = 7;
  EXPECT_EQ(S_FALSE, c->put_MinSize(512));
  EXPECT_EQ(S_FALSE, c->get_MinSize(&size));
  EXPECT_EQ(0u, size);
  c->put_IsCustomSize(VARIANT_TRUE);
  EXPECT_EQ(S_OK, c->put_MinSize(8));
  EXPECT_EQ(S_OK, c->put_MaxSize(10000));
  EXPECT_EQ(L"16-4096", State(L'C'));
  Item(L'E')->put_IsCustomSize(VARIANT_TRUE);
  Item(L'E')->put_MaxSize(4000);  // E has 1000 MB free
  EXPECT_EQ(L"0-1000", State(L'E'));

  c->put_IsSystemManagedSize(VARIANT_TRUE);
  EXPECT_EQ(L"system", State(L'C'));
  c->put_IsCustomSize(VARIANT_TRUE);
  EXPECT_EQ(L"0-0", State(L'C'));  // sizes went with the custom choice
  c->put_MinSize(100);
  c->put_IsNoPagingFile(VARIANT_TRUE);
  EXPECT_EQ(L"none", State(L'C'));
  c->put_IsCustomSize(VARIANT_TRUE);
  c->put_MinSize(100);
  c->put_IsCustomSize(1);  // only VARIANT_TRUE counts: the custom choice and its sizes go
  c->put_IsCustomSize(VARIANT_TRUE);
  EXPECT_EQ(L"0-0", State(L'C'));
}

TEST_F(PagingFiles, SaveWritesOneStringPerDriveAndReloads) {
  list.Load();
  Item(L'C')->put_IsCustomSize(VARIANT_TRUE);
  Item(L'C')->put_MinSize(512);
  Item(L'C')->put_MaxSize(1024);
  Item(L'E')->put_IsNoPagingFile(0);  // no choice at all is written as system-managed
  EXPECT_EQ(S_OK, list.Save());
  EXPECT_EQ(Multi({L"C:\\pagefile.sys 512 1024", L"E:\\pagefile.sys 0 0"}), Stored());
  EXPECT_EQ(L"512-1024", State(L'C'));
  EXPECT_EQ(L"system", State(L'E'));

  Item(L'C')->put_IsNoPagingFile(VARIANT_TRUE);
  Item(L'E')->put_IsNoPagingFile(VARIANT_TRUE);
  EXPECT_EQ(S_OK, list.Save());
  std::vector<BYTE> raw;
  ASSERT_TRUE(ScratchRegistry::Get(machine, kMemory, L"PagingFiles", raw));
  EXPECT_EQ(sizeof(wchar_t), raw.size());  // no strings: a single zero

  list.put_IsAutomation(VARIANT_TRUE);
  Item(L'C')->put_IsSystemManagedSize(VARIANT_TRUE);
  EXPECT_EQ(S_OK, list.Save());
  EXPECT_EQ(Multi({L"?:\\pagefile.sys"}), Stored());
}

TEST_F(PagingFiles, InvalidCustomSizesWriteNothing) {
  const std::wstring before = Multi({L"C:\\pagefile.sys 0 0", L"E:\\pagefile.sys 0 0"});
  Store(before);
  list.Load();
  CMOPagingFileItem* c = Item(L'C');
  c->put_IsCustomSize(VARIANT_TRUE);
  c->put_MinSize(1024);
  c->put_MaxSize(512);
  EXPECT_EQ(S_FALSE, list.Save());
  EXPECT_EQ(before, Stored());
  EXPECT_EQ(L"1024-512", State(L'C'));  // the items stay for the client to correct

  c->put_MaxSize(2048);
  Item(L'E')->put_IsCustomSize(VARIANT_TRUE);  // custom without sizes
  EXPECT_EQ(S_FALSE, list.Save());
  Item(L'E')->put_MinSize(100);
  Item(L'E')->put_MaxSize(900);
  EXPECT_EQ(S_OK, list.Save());
  EXPECT_EQ(L"1024-2048", State(L'C'));
  EXPECT_EQ(L"100-900", State(L'E'));
}

TEST_F(PagingFiles, ItemsHandedOutOutliveARebuild) {
  list.Load();
  IMOPagingFileItem* held = nullptr;
  ASSERT_EQ(S_OK, list.get_PagingFileItemByIndex(1, &held));
  held->Release();
  held->Release();  // an extra release never destroys an owned item
  held->AddRef();
  list.Load();  // still referenced: set aside instead of destroyed
  BSTR drive = nullptr;
  EXPECT_EQ(S_OK, held->get_Drive(&drive));
  EXPECT_STREQ(L"E", drive);
  SysFreeString(drive);
  EXPECT_NE(static_cast<IMOPagingFileItem*>(Item(L'E')), held);
  held->Release();
  list.Load();
}

TEST_F(PagingFiles, ReachableThroughDispatch) {
  Store(Multi({L"C:\\pagefile.sys 256 512"}));
  IDispatch* dispatch = &list;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(S_OK, dispatch->Invoke(5, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));  // Load
  VARIANT arg;
  arg.vt = VT_BSTR;
  arg.bstrVal = SysAllocString(L"C");
  DISPPARAMS byDrive = {&arg, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(S_OK, dispatch->Invoke(4, IID_NULL, 0, DISPATCH_PROPERTYGET, &byDrive, &result, nullptr, nullptr));
  VariantClear(&arg);
  ASSERT_EQ(VT_DISPATCH, result.vt);
  VARIANT size;
  VariantInit(&size);
  EXPECT_EQ(S_OK, result.pdispVal->Invoke(6, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &size, nullptr, nullptr));
  EXPECT_EQ(VT_UI4, size.vt);
  EXPECT_EQ(512u, size.ulVal);  // MaxSize
  VariantClear(&result);        // releases the item, which the list still owns
  EXPECT_EQ(L"256-512", State(L'C'));
}
