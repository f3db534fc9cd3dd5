#include "VozEverAvizi.h"

#include "ScratchFolder.h"
#include "VeeSysTools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace components;

namespace {

// An .lng file's bytes from its lines.
std::string Lng(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string ToAnsi(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(n - 1);
  return out;
}

std::vector<std::string> Names() {
  std::vector<std::string> names;
  for (const LANG_FILE& file : LangFileList) names.push_back(file.Name);
  return names;
}

class Languages : public ::testing::Test {
 protected:
  void SetUp() override { InitializeLanguages(); }
  void TearDown() override { FinalizeLanguages(); }
  ScratchFolder scratch_{"lang"};
};

}  // namespace

TEST(EscapeLangText, TrimsFirstThenTurnsEscapesIntoLineBreaks) {
  EXPECT_EQ("a\r\nb", EscapeLangText("  a#13b \t"));
  EXPECT_EQ("a\r\n\r\nb", EscapeLangText("a#13#13b"));
  EXPECT_EQ("last line\r\n", EscapeLangText("last line#13   "));
  EXPECT_EQ("\r\nfirst", EscapeLangText(" #13first"));
  EXPECT_EQ("blanks   \r\nstay", EscapeLangText("blanks   #13stay"));
  EXPECT_EQ("#1\r\n3", EscapeLangText("#1#133"));
  EXPECT_EQ("#14 #1", EscapeLangText("#14 #1"));
  EXPECT_EQ("", EscapeLangText(" \r\n\t"));
  EXPECT_EQ("\xE4\xFC", EscapeLangText("\xE4\xFC"));  // code-page letters are not blanks
}

TEST(FormatLangText, FillsOnlyTextPlaceholders) {
  EXPECT_EQ("Brimvale \r\nVersion 2.1", FormatLangText("%s \r\n%s %s", {"Brimvale", "Version", "2.1"}));
  EXPECT_EQ("100% a %d %n %x b", FormatLangText("100% %s %d %n %x %s", {"a", "b"}));
  EXPECT_EQ("a%s-%", FormatLangText("%s%%s-%s%", {"a"}));
  EXPECT_EQ("", FormatLangText("", {"unused"}));
}

TEST_F(Languages, EveryKeyIsRegisteredOnceInOrderWithItsOwnText) {
  const std::vector<LANG_ITEM>& items = LangItems();
  ASSERT_EQ(188u, items.size());
  EXPECT_EQ("LANG_COMMON_FREE", items.front().Key);
  EXPECT_EQ(&LANG_COMMON_FREE, items.front().Text);
  EXPECT_EQ("LANG_ABOUT_EMAIL", items.back().Key);
  std::set<std::string> keys;
  std::set<std::string*> texts;
  for (const LANG_ITEM& item : items) {
    EXPECT_EQ(0u, item.Key.rfind("LANG_", 0)) << item.Key;
    keys.insert(item.Key);
    texts.insert(item.Text);
    EXPECT_FALSE(item.Text->empty()) << item.Key;
  }
  EXPECT_EQ(items.size(), keys.size());
  EXPECT_EQ(items.size(), texts.size());
}

TEST_F(Languages, BuiltInTextsStayEscapedUntilEnglishIsApplied) {
  ScanLanguageFolder(scratch_.Path());
  EXPECT_EQ("General#13Optimizer", LANG_TABBUTTON_MG);
  ASSERT_TRUE(LoadLanguage(0));
  EXPECT_EQ("General\r\nOptimizer", LANG_TABBUTTON_MG);
  EXPECT_EQ("Fail to load kernel file! Please reinstall the program.", LANG_MSG_COM_FAILED);
  EXPECT_EQ("Enable hot key for \"FreeUp\"", LANG_CTL_SK_CHK_CFREEMEMORYNOWHOTKEY);
  EXPECT_EQ('"', LANG_MSG_TERMINATE_PROCESS.back());
  EXPECT_NE(std::string::npos, LANG_MSG_TERMINATE_PROCESS.find("process?    \r\n\r\nThis process is"));
}

TEST_F(Languages, EmptyFolderHoldsOnlyThePlaceholder) {
  ScanLanguageFolder(scratch_.Path());
  ASSERT_EQ(1u, LangFileList.size());
  EXPECT_TRUE(LangFileList[0].IsPlaceholder());
  EXPECT_TRUE(LoadLanguage(0));
  EXPECT_EQ("Free", LANG_COMMON_FREE);

  ScanLanguageFolder(scratch_.Path() + "missing\\");
  EXPECT_EQ(1u, LangFileList.size());
}

TEST_F(Languages, ScanListsNamedFilesOnlyAndPutsTheDefaultFirst) {
  scratch_.Write("alpha.lng", Lng({"[LANGUAGE]", "NAME=Alpha"}));
  scratch_.Write("beta.lng", Lng({"[language]", "name=\" Beta \"", "DEFAULT=yes"}));
  scratch_.Write("gamma.lng", Lng({"[LANGUAGE]", "NAME=Gamma", "DEFAULT=1x"}));
  scratch_.Write("main.lng", Lng({"[LANGUAGE]", "NAME=Main", "DEFAULT =  1  "}));
  scratch_.Write("blank.lng", Lng({"[LANGUAGE]", "NAME=\"   \"", "DEFAULT=1"}));
  scratch_.Write("noname.lng", Lng({"[LANGUAGE]", "DEFAULT=1", "LANG_COMMON_FREE=x"}));
  scratch_.Write("nosection.lng", Lng({"[OTHER]", "NAME=Other"}));
  scratch_.Write("empty.lng", "");
  scratch_.Write("default.LNG", Lng({"[LANGUAGE]", "NAME=Never listed"}));
  scratch_.Write("notes.txt", Lng({"[LANGUAGE]", "NAME=Not a language file"}));
  scratch_.MakeFolder("folder.lng");

  ScanLanguageFolder(scratch_.Path());
  ASSERT_EQ(4u, LangFileList.size());
  EXPECT_EQ("Main", LangFileList[0].Name);
  EXPECT_EQ(scratch_.Path() + "main.lng", LangFileList[0].Path);
  std::vector<std::string> others = Names();
  others.erase(others.begin());
  std::sort(others.begin(), others.end());
  EXPECT_EQ((std::vector<std::string>{" Beta ", "Alpha", "Gamma"}), others);  // names as read

  EXPECT_TRUE(IsDefaultLangFile(scratch_.Path() + "main.lng"));
  EXPECT_FALSE(IsDefaultLangFile(scratch_.Path() + "noname.lng"));
  EXPECT_FALSE(IsDefaultLangFile(scratch_.Path() + "missing.lng"));
  EXPECT_EQ("", ReadLangName(scratch_.Path() + "nosection.lng"));
  EXPECT_EQ("", ReadLangName(scratch_.Path() + "missing.lng"));
}

TEST_F(Languages, OfTwoDefaultsTheLaterFoundWinsAndTheOtherIsDropped) {
  scratch_.Write("one.lng", Lng({"[LANGUAGE]", "NAME=One", "DEFAULT=1"}));
  scratch_.Write("two.lng", Lng({"[LANGUAGE]", "NAME=Two", "DEFAULT=1"}));
  std::vector<std::string> order;
  ListFiles(order, scratch_.Path(), "*.lng", nullptr);
  ASSERT_EQ(2u, order.size());

  ScanLanguageFolder(scratch_.Path());
  ASSERT_EQ(1u, LangFileList.size());
  EXPECT_EQ(order[1], LangFileList[0].Path);

  // English can no longer be chosen: index 0 loads the default file.
  scratch_.Write(order[1].substr(scratch_.Path().size()),
                 Lng({"[LANGUAGE]", "NAME=Two", "DEFAULT=1", "LANG_COMMON_FREE=Default free"}));
  ASSERT_TRUE(LoadLanguage(0));
  EXPECT_EQ("Default free", LANG_COMMON_FREE);
}

TEST_F(Languages, LoadAppliesFileByPlatformRulesAndBlanksMissingKeys) {
  const std::string longValue(3000, 'x');
  scratch_.Write("test.lng",
                 Lng({"[LANGUAGE]", "NAME=Test", "LANG_COMMON_FREE=\"  Frei  \"", "lang_common_fastfree='Schnell'",
                      "LANG_COMMON_COMPRESS   =    Packen    ", "LANG_TABBUTTON_MG=Allgemein#13Optimierer",
                      "LANG_HINT_HIDE=oben#13#13unten", "LANG_COMMON_SIZE=" + longValue, "LANG_COMMON_LEVEL=",
                      "LANG_MSG_WARNING=100% %s %n", "LANG_NOT_REGISTERED=ignored", "[OTHER]",
                      "LANG_COMMON_SAVE=from another section"}));
  ScanLanguageFolder(scratch_.Path());
  ASSERT_EQ(2u, LangFileList.size());
  ASSERT_TRUE(LoadLanguage(1));

  EXPECT_EQ("Frei", LANG_COMMON_FREE);
  EXPECT_EQ("Schnell", LANG_COMMON_FASTFREE);
  EXPECT_EQ("Packen", LANG_COMMON_COMPRESS);
  EXPECT_EQ("Allgemein\r\nOptimierer", LANG_TABBUTTON_MG);
  EXPECT_EQ("oben\r\n\r\nunten", LANG_HINT_HIDE);
  EXPECT_EQ(std::string(2047, 'x'), LANG_COMMON_SIZE);
  EXPECT_EQ("", LANG_COMMON_LEVEL);
  EXPECT_EQ("100% %s %n", LANG_MSG_WARNING);
  EXPECT_EQ("", LANG_COMMON_SAVE);
  EXPECT_EQ("", LANG_COMMON_RECOMMEND);

  ASSERT_TRUE(LoadLanguage(0));  // the placeholder: English again, emptied texts included
  EXPECT_EQ("Free", LANG_COMMON_FREE);
  EXPECT_EQ("Recommend", LANG_COMMON_RECOMMEND);
  EXPECT_EQ("Size", LANG_COMMON_SIZE);
  EXPECT_EQ("General\r\nOptimizer", LANG_TABBUTTON_MG);
}

TEST_F(Languages, OutOfRangeIndexOrVanishedFileChangesNothing) {
  std::string path = scratch_.Write("gone.lng", Lng({"[LANGUAGE]", "NAME=Gone", "LANG_COMMON_FREE=Weg"}));
  ScanLanguageFolder(scratch_.Path());
  ASSERT_EQ(2u, LangFileList.size());
  ASSERT_TRUE(LoadLanguage(0));
  EXPECT_FALSE(LoadLanguage(-1));
  EXPECT_FALSE(LoadLanguage(2));
  ASSERT_TRUE(DeleteFileA(path.c_str()));
  EXPECT_FALSE(LoadLanguage(1));
  EXPECT_EQ("Free", LANG_COMMON_FREE);
  EXPECT_EQ("Recommend", LANG_COMMON_RECOMMEND);
}

TEST_F(Languages, ExtraItemsTakeTheirDecodedDefaultAndBlankKeysAreNotRead) {
  static std::string extra, blankKeyed;
  extra = "  own#13text  ";
  blankKeyed = "untouched";
  RegisterLangItem("LANG_TEST_EXTRA", extra);
  RegisterLangItem("  ", blankKeyed);
  scratch_.Write("x.lng", Lng({"[LANGUAGE]", "NAME=X", "LANG_TEST_EXTRA=from file", "  =from blank key"}));
  ScanLanguageFolder(scratch_.Path());
  ASSERT_TRUE(LoadLanguage(1));
  EXPECT_EQ("from file", extra);
  EXPECT_EQ("untouched", blankKeyed);
  ASSERT_TRUE(LoadLanguage(0));
  EXPECT_EQ("own\r\ntext", extra);
}

TEST_F(Languages, ShippedGermanFileIsCompleteAndLoads) {
  // InitializeLanguages scanned "Lang\" beside this program, as the program does.
  const std::vector<std::string> names = Names();
  ASSERT_NE(names.end(), std::find(names.begin(), names.end(), "Deutsch"));
  const int index = static_cast<int>(std::find(names.begin(), names.end(), "Deutsch") - names.begin());
  ASSERT_GT(index, 0);
  const std::string path = LangFileList[index].Path;
  EXPECT_EQ(GetProgramFolder() + "Lang\\Deutsch.lng", path);

  // Every registered key has a value, and the file has no key beyond them.
  std::set<std::string> registered;
  for (const LANG_ITEM& item : LangItems()) {
    registered.insert(item.Key);
    char value[16];
    GetPrivateProfileStringA("LANGUAGE", item.Key.c_str(), "\x01", value, sizeof(value), path.c_str());
    EXPECT_STRNE("\x01", value) << item.Key << " missing";
  }
  std::string keys(65536, '\0');
  DWORD n = GetPrivateProfileStringA("LANGUAGE", nullptr, "", keys.data(), keys.size(), path.c_str());
  for (const char* key = keys.c_str(); key < keys.c_str() + n; key += strlen(key) + 1) {
    std::string name = key;
    if (name != "NAME" && name != "DEFAULT") {
      EXPECT_TRUE(registered.count(name)) << name << " unknown";
    }
  }

  ASSERT_TRUE(LoadLanguage(0));
  const std::string version = LANG_MAIN_VERSION, homepage = LANG_MAIN_HOMEPAGE, email = LANG_MAIN_EMAIL;
  ASSERT_TRUE(LoadLanguage(index));
  for (const LANG_ITEM& item : LangItems()) EXPECT_FALSE(item.Text->empty()) << item.Key;
  EXPECT_EQ("Freigeben", LANG_COMMON_FREE);
  EXPECT_EQ(ToAnsi(L"Schlie\u00DFen"), LANG_COMMON_CLOSE);
  EXPECT_EQ("Allgemeine\r\nOptimierung", LANG_TABBUTTON_MG);
  EXPECT_EQ('"', LANG_MSG_TERMINATE_PROCESS.back());
  EXPECT_EQ("%s \r\n%s %s", LANG_ABOUT_CAPTION);
  // Facts, not words: these must follow the program, not the translation.
  EXPECT_EQ(version, LANG_MAIN_VERSION);
  EXPECT_EQ(homepage, LANG_MAIN_HOMEPAGE);
  EXPECT_EQ(email, LANG_MAIN_EMAIL);

  ASSERT_TRUE(LoadLanguage(0));
  EXPECT_EQ("Close", LANG_COMMON_CLOSE);
}
