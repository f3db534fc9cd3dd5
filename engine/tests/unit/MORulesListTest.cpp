// Rules lists: the list file's bytes, the name comparison, the edit
// operations, failed reads and writes, and use from several threads.
#include "MORulesList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "TempProgramFolder.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

struct ListFixture : ::testing::Test {
  std::wstring ListPath() const { return folder / L"Config\\black.lst"; }
  void WriteList(const std::wstring& text) {
    CreateDirectoryW((folder / L"Config").c_str(), nullptr);
    WriteBytes(ListPath(), Utf16File(text));
  }
  bool Open() { return list.Open(L"Config\\black.lst", folder.path()); }
  std::vector<std::wstring> Entries() {
    std::vector<std::wstring> entries;
    ULONG count = 0;
    list.get_ItemCount(&count);
    for (ULONG i = 0; i < count; ++i) {
      Bstr item;
      EXPECT_EQ(S_OK, list.get_Item(i, item.out()));
      entries.push_back(item.str());
    }
    return entries;
  }
  HRESULT Add(const wchar_t* name) { return list.AddItem(Bstr(name)); }
  HRESULT Remove(const wchar_t* name) { return list.RemoveItem(Bstr(name)); }
  bool In(const wchar_t* name) {
    VARIANT_BOOL in = 7;
    EXPECT_EQ(S_OK, list.get_IsInList(Bstr(name), &in));
    EXPECT_TRUE(in == VARIANT_TRUE || in == VARIANT_FALSE);
    return in == VARIANT_TRUE;
  }

  TempProgramFolder folder;
  CMORulesList list;
};

using Names = std::vector<std::wstring>;

}  // namespace

TEST_F(ListFixture, OpenCreatesTheFolderAndAnEmptyFile) {
  EXPECT_TRUE(Open());
  EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFE}), ReadBytes(ListPath()));
  EXPECT_EQ(ListPath(), list.Path());
  EXPECT_TRUE(Entries().empty());
}

TEST_F(ListFixture, FileRoundTripIsByteExact) {
  const std::vector<unsigned char> original = Utf16File(L"svchost.exe\r\nWinword.EXE\r\n\r\nnaïve 名前.exe\r\nodd\rname\r\n");
  CreateDirectoryW((folder / L"Config").c_str(), nullptr);
  WriteBytes(ListPath(), original);
  ASSERT_TRUE(Open());
  EXPECT_EQ((Names{L"svchost.exe", L"Winword.EXE", L"", L"naïve 名前.exe", L"odd\rname"}), Entries());
  ASSERT_TRUE(list.WriteTo(nullptr));
  EXPECT_EQ(original, ReadBytes(ListPath()));

  EXPECT_EQ(S_OK, Add(L"calc.exe"));
  EXPECT_EQ(Utf16File(L"svchost.exe\r\nWinword.EXE\r\n\r\nnaïve 名前.exe\r\nodd\rname\r\ncalc.exe\r\n"), ReadBytes(ListPath()));
  EXPECT_FALSE(Exists(ListPath() + L".tmp"));
}

TEST_F(ListFixture, LinesAreReadAsTheFileHoldsThem) {
  WriteList(L"a.exe\r\n\r\nb.exe\r\nlast.exe");
  ASSERT_TRUE(Open());
  // The middle line is an empty entry; a last line without a line feed is kept.
  EXPECT_EQ((Names{L"a.exe", L"", L"b.exe", L"last.exe"}), Entries());
  Bstr item;
  EXPECT_EQ(S_OK, list.get_Item(1, item.out()));
  EXPECT_EQ(L"", item.str());
  EXPECT_EQ(S_FALSE, list.get_Item(4, item.out()));
  EXPECT_EQ(nullptr, static_cast<BSTR>(item));
  EXPECT_EQ(S_FALSE, list.get_Item(0xFFFFFFFFu, item.out()));

  WriteList(L"lf\nonly\n");  // bare line feeds end lines as well
  EXPECT_EQ(S_OK, list.Refresh());
  EXPECT_EQ((Names{L"lf", L"only"}), Entries());

  WriteList(std::wstring(300, L'x') + L"\r\n");  // cut to the longest entry
  EXPECT_EQ(S_OK, list.Refresh());
  EXPECT_EQ((Names{std::wstring(CMORulesList::kMaxName, L'x')}), Entries());
}

TEST_F(ListFixture, HandMadeFilesWithoutUtf16MarkReadAsUtf8) {
  CreateDirectoryW((folder / L"Config").c_str(), nullptr);
  WriteBytes(ListPath(), {'a', '.', 'e', 'x', 'e', '\r', '\n', 0xC3, 0xA9, '.', 'e', 'x', 'e', '\n'});
  ASSERT_TRUE(Open());
  EXPECT_EQ((Names{L"a.exe", L"é.exe"}), Entries());
  WriteBytes(ListPath(), {0xEF, 0xBB, 0xBF, 'b', '.', 'e', 'x', 'e', '\r', '\n'});
  EXPECT_EQ(S_OK, list.Refresh());
  EXPECT_EQ((Names{L"b.exe"}), Entries());
}

TEST_F(ListFixture, NamesCompareIgnoringTheCaseOfAsciiLettersOnly) {
  WriteList(L"NOTEPAD.EXE\r\n   \r\nÉDIT.exe\r\n");
  ASSERT_TRUE(Open());
  EXPECT_TRUE(In(L"notepad.exe"));
  EXPECT_TRUE(list.Contains(L"NotePad.Exe"));
  EXPECT_FALSE(In(L"notepad"));
  EXPECT_FALSE(In(L"   "));  // blank is never in a list, even beside an entry of spaces
  EXPECT_FALSE(In(nullptr));
  EXPECT_TRUE(In(L"ÉDIT.EXE"));
  EXPECT_FALSE(In(L"édit.exe"));  // É and é are not A to Z

  EXPECT_EQ(S_OK, Add(L"notepad.exe"));
  EXPECT_EQ((Names{L"NOTEPAD.EXE", L"   ", L"ÉDIT.exe"}), Entries());
}

TEST_F(ListFixture, EditOperations) {
  WriteList(L"a.exe\r\nb.exe\r\nA.EXE\r\n");
  ASSERT_TRUE(Open());
  EXPECT_EQ(S_OK, Remove(L"A.exe"));  // the first equal entry only
  EXPECT_EQ((Names{L"b.exe", L"A.EXE"}), Entries());
  EXPECT_EQ(Utf16File(L"b.exe\r\nA.EXE\r\n"), ReadBytes(ListPath()));
  EXPECT_EQ(S_OK, Remove(L"zzz.exe"));
  EXPECT_EQ(S_FALSE, Remove(L"  "));

  EXPECT_EQ(S_OK, list.Clear());
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(Utf16File(L"b.exe\r\nA.EXE\r\n"), ReadBytes(ListPath()));  // memory only
  EXPECT_EQ(S_OK, list.Refresh());
  EXPECT_EQ((Names{L"b.exe", L"A.EXE"}), Entries());
}

TEST_F(ListFixture, NamesTheFileCannotHoldAreRefused) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(S_FALSE, Add(nullptr));
  EXPECT_EQ(S_FALSE, Add(L""));
  EXPECT_EQ(S_FALSE, Add(L"   "));
  EXPECT_EQ(S_FALSE, Add(L"two\r\nlines.exe"));
  EXPECT_EQ(S_FALSE, Add(L"cr\r.exe"));
  EXPECT_EQ(S_FALSE, Add(std::wstring(CMORulesList::kMaxName + 1, L'y').c_str()));
  EXPECT_EQ(S_OK, Add(std::wstring(CMORulesList::kMaxName, L'y').c_str()));
  EXPECT_EQ(S_OK, Add(L"\ttab.exe"));  // a tab is content
  EXPECT_EQ(2u, Entries().size());
}

TEST_F(ListFixture, LockedFileFailsWithoutLosingAnythingAndRecovers) {
  WriteList(L"keep.exe\r\n");
  ASSERT_TRUE(Open());
  HANDLE lock = CreateFileW(ListPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  EXPECT_EQ(S_FALSE, list.Refresh());
  EXPECT_EQ((Names{L"keep.exe"}), Entries());
  EXPECT_EQ(S_FALSE, Add(L"new.exe"));  // stays in the list all the same
  EXPECT_EQ((Names{L"keep.exe", L"new.exe"}), Entries());
  CloseHandle(lock);
  EXPECT_EQ(Utf16File(L"keep.exe\r\n"), ReadBytes(ListPath()));
  EXPECT_FALSE(Exists(ListPath() + L".tmp"));

  // One failure does not switch the file off.
  EXPECT_EQ(ListPath(), list.Path());
  EXPECT_EQ(S_OK, Add(L"third.exe"));
  EXPECT_EQ(Utf16File(L"keep.exe\r\nnew.exe\r\nthird.exe\r\n"), ReadBytes(ListPath()));
  EXPECT_EQ(S_OK, list.Refresh());
}

TEST_F(ListFixture, ListWithoutFileWorksInMemory) {
  EXPECT_EQ(S_FALSE, Add(L"game.exe"));
  EXPECT_TRUE(In(L"GAME.EXE"));
  EXPECT_EQ(S_FALSE, list.Refresh());
  EXPECT_EQ(S_FALSE, Remove(L"game.exe"));
  EXPECT_FALSE(In(L"game.exe"));
  EXPECT_TRUE(list.Path().empty());
}

TEST_F(ListFixture, LoadAndWriteToAnotherPath) {
  WriteList(L"x.exe\r\n");
  EXPECT_TRUE(list.LoadFrom(ListPath().c_str()));
  EXPECT_EQ(ListPath(), list.Path());
  const std::wstring other = folder / L"other.lst";
  EXPECT_TRUE(list.WriteTo(other.c_str()));
  EXPECT_EQ(Utf16File(L"x.exe\r\n"), ReadBytes(other));
  EXPECT_EQ(other, list.Path());
  EXPECT_FALSE(list.LoadFrom((folder / L"missing.lst").c_str()));
  EXPECT_EQ((Names{L"x.exe"}), Entries());
  EXPECT_FALSE(list.WriteTo((folder / L"no\\such\\folder.lst").c_str()));
}

TEST_F(ListFixture, ReplaceAllRebuildsInOneStep) {
  ASSERT_TRUE(Open());
  Add(L"old.exe");
  EXPECT_TRUE(list.ReplaceAll({L"b.exe", L"A.exe", L"B.EXE", L"  ", L"bad\nname", L"a.exe", L"c.exe"}));
  EXPECT_EQ((Names{L"b.exe", L"A.exe", L"c.exe"}), Entries());
  EXPECT_EQ(Utf16File(L"b.exe\r\nA.exe\r\nc.exe\r\n"), ReadBytes(ListPath()));
  EXPECT_TRUE(list.ReplaceAll({}));
  EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFE}), ReadBytes(ListPath()));
}

TEST_F(ListFixture, ConcurrentReadersAndWritersKeepListAndFileInStep) {
  ASSERT_TRUE(Open());
  std::atomic<bool> stop{false};
  std::atomic<int> lookups{0};
  std::vector<std::thread> readers;
  for (int r = 0; r < 3; ++r) {
    readers.emplace_back([&] {
      while (!stop.load()) {
        list.Contains(L"STEADY.EXE");
        Bstr item;
        list.get_Item(0, item.out());
        lookups.fetch_add(1);
      }
    });
  }
  Add(L"steady.exe");
  std::vector<std::thread> writers;
  for (int w = 0; w < 2; ++w) {
    writers.emplace_back([&, w] {
      for (int i = 0; i < 40; ++i) {
        const std::wstring name = L"w" + std::to_wstring(w) + L"-" + std::to_wstring(i % 5) + L".exe";
        list.AddItem(Bstr(name.c_str()));
        if (i % 3 == 0) list.RemoveItem(Bstr(name.c_str()));
      }
    });
  }
  for (auto& t : writers) t.join();
  stop = true;
  for (auto& t : readers) t.join();

  EXPECT_TRUE(In(L"steady.exe"));
  const Names inMemory = Entries();
  std::wstring expected;
  for (const auto& e : inMemory) expected += e + L"\r\n";
  EXPECT_EQ(Utf16File(expected), ReadBytes(ListPath()));
  CMORulesList again;
  ASSERT_TRUE(again.LoadFrom(ListPath().c_str()));
  ULONG count = 0;
  again.get_ItemCount(&count);
  EXPECT_EQ(inMemory.size(), count);
}

TEST_F(ListFixture, DispatchCallsReachTheList) {
  ASSERT_TRUE(Open());
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_BSTR;
  arg.bstrVal = SysAllocString(L"Explorer.EXE");
  DISPPARAMS one = {&arg, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(S_OK, list.Invoke(4, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &one, &result, nullptr, nullptr));
  SysFreeString(arg.bstrVal);
  arg.bstrVal = SysAllocString(L"explorer.exe");
  ASSERT_EQ(S_OK, list.Invoke(3, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &one, &result, nullptr, nullptr));
  EXPECT_EQ(VT_BOOL, result.vt);
  EXPECT_EQ(VARIANT_TRUE, result.boolVal);
  VariantClear(&arg);

  IMORulesList* face = &list;
  ULONG count = 0;
  EXPECT_EQ(S_OK, face->get_ItemCount(&count));
  EXPECT_EQ(1u, count);
}
