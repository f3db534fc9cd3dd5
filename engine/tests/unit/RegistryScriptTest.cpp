// The registry-script language: parsing with clear errors, and what
// registration and removal do with keep, fresh and plain keys. Runs under a
// scratch key of the current user.
#include "com/RegistryScript.h"

#include <gtest/gtest.h>

#include "EngineServer.h"

using tarnwick::com::ApplyRegistryScript;
using tarnwick::com::ParseRegistryScript;
using tarnwick::com::RegistryScript;
using tarnwick::com::ScriptMode;
using tarnwick::com::ScriptVariables;

namespace {

class ScratchRoot {
 public:
  ScratchRoot() {
    path_ = L"Software\\BrimvaleTests\\RegistryScript" + std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
  }
  ~ScratchRoot() {
    RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  }
  HKEY Key() const { return key_; }

  bool Has(const std::wstring& subkey) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(key_, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  // The text of a value; "<none>" when it is missing.
  std::wstring Text(const std::wstring& subkey, const wchar_t* value = nullptr) const {
    wchar_t buffer[512] = {};
    DWORD size = sizeof(buffer);
    if (RegGetValueW(key_, subkey.c_str(), value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
      return L"<none>";
    }
    return buffer;
  }
  void Add(const std::wstring& subkey) {
    HKEY key = nullptr;
    RegCreateKeyExW(key_, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);
  }

 private:
  std::wstring path_;
  HKEY key_ = nullptr;
};

RegistryScript Parse(const wchar_t* text, const ScriptVariables& variables = {}) {
  RegistryScript script;
  std::wstring error;
  EXPECT_TRUE(ParseRegistryScript(text, variables, &script, &error)) << error;
  return script;
}

std::wstring ParseError(const wchar_t* text) {
  std::wstring error;
  EXPECT_FALSE(ParseRegistryScript(text, {{L"X", L"x"}}, nullptr, &error)) << text;
  return error;
}

const wchar_t* kScript = LR"(# a class and its parent
HKCR {
  "Sample.Thing.1" = "Thing Class" {
    "CLSID" = "{%ID%}"
  }
  keep "Classes" {
    fresh "{%ID%}" = "Thing Class" {
      "InprocServer32" = "%MODULE%" {
        value "ThreadingModel" = "Apartment"
      }
      fresh "Programmable"
      value "AppID" = "{app}"
    }
    "Plain" {
      value "Kind" = "plain"
    }
  }
})";

}  // namespace

TEST(RegistryScript, ErrorsNameTheirLine) {
  EXPECT_EQ(L"line 1: expected HKCR", ParseError(L"HKLM { }"));
  EXPECT_EQ(L"line 2: unknown variable %MODULE%", ParseError(L"HKCR {\n \"a\" = \"%MODULE%\" }"));
  EXPECT_EQ(L"line 1: a % has no closing %", ParseError(L"HKCR { \"a\" = \"50%\" }"));
  EXPECT_EQ(L"line 3: expected }", ParseError(L"HKCR {\n \"a\" {\n"));
  EXPECT_EQ(L"line 1: a text runs past the end of its line", ParseError(L"HKCR { \"a\n\" }"));
  EXPECT_EQ(L"line 1: a value needs a key", ParseError(L"HKCR { value \"a\" = \"b\" }"));
  EXPECT_EQ(L"line 1: a name holds a backslash", ParseError(L"HKCR { \"a\\b\" }"));
  EXPECT_EQ(L"line 1: a key name is empty", ParseError(L"HKCR { \"\" }"));
  EXPECT_EQ(L"line 1: expected a quoted name", ParseError(L"HKCR { keep keep }"));
  EXPECT_EQ(L"line 1: unexpected character ';'", ParseError(L"HKCR { \"a\" ; }"));
  EXPECT_EQ(L"line 1: expected = after a value name", ParseError(L"HKCR { \"a\" { value \"b\" } }"));
  EXPECT_TRUE(ParseRegistryScript(L"# nothing\n", {}, nullptr, nullptr));
}

TEST(RegistryScript, ParsesNestingFlagsAndSubstitutions) {
  RegistryScript script = Parse(kScript, {{L"ID", L"1234"}, {L"MODULE", L"C:\\x\\a.dll"}});
  ASSERT_EQ(2u, script.roots.size());
  const auto& classes = script.roots[1];
  EXPECT_EQ(tarnwick::com::RegistryEntry::Flag::Keep, classes.flag);
  const auto& thing = classes.children[0];
  EXPECT_EQ(L"{1234}", thing.name);
  EXPECT_EQ(tarnwick::com::RegistryEntry::Flag::Fresh, thing.flag);
  EXPECT_EQ(L"C:\\x\\a.dll", thing.children[0].data);
  EXPECT_EQ(tarnwick::com::RegistryEntry::Kind::Value, thing.children[0].children[0].kind);
}

TEST(RegistryScript, RegistrationWritesKeysValuesAndRewritesFreshKeys) {
  ScratchRoot root;
  RegistryScript script = Parse(kScript, {{L"ID", L"1"}, {L"MODULE", L"C:\\a.dll"}});
  ASSERT_EQ(S_OK, ApplyRegistryScript(script, ScriptMode::Register, root.Key()));
  EXPECT_EQ(L"Thing Class", root.Text(L"Sample.Thing.1"));
  EXPECT_EQ(L"{1}", root.Text(L"Sample.Thing.1\\CLSID"));
  EXPECT_EQ(L"Thing Class", root.Text(L"Classes\\{1}"));
  EXPECT_EQ(L"C:\\a.dll", root.Text(L"Classes\\{1}\\InprocServer32"));
  EXPECT_EQ(L"Apartment", root.Text(L"Classes\\{1}\\InprocServer32", L"ThreadingModel"));
  EXPECT_EQ(L"{app}", root.Text(L"Classes\\{1}", L"AppID"));
  EXPECT_TRUE(root.Has(L"Classes\\{1}\\Programmable"));
  EXPECT_EQ(L"<none>", root.Text(L"Classes\\{1}\\Programmable"));
  EXPECT_EQ(L"plain", root.Text(L"Classes\\Plain", L"Kind"));

  // A fresh key loses what a registration did not write; a plain one keeps it.
  root.Add(L"Classes\\{1}\\Stale");
  root.Add(L"Classes\\Plain\\Foreign");
  ASSERT_EQ(S_OK, ApplyRegistryScript(script, ScriptMode::Register, root.Key()));
  EXPECT_FALSE(root.Has(L"Classes\\{1}\\Stale"));
  EXPECT_TRUE(root.Has(L"Classes\\Plain\\Foreign"));
}

TEST(RegistryScript, RemovalDeletesWholeKeysButKeepsKeepKeys) {
  ScratchRoot root;
  RegistryScript script = Parse(kScript, {{L"ID", L"1"}, {L"MODULE", L"C:\\a.dll"}});
  ASSERT_EQ(S_OK, ApplyRegistryScript(script, ScriptMode::Register, root.Key()));
  root.Add(L"Classes\\Other");
  root.Add(L"Sample.Thing.1\\Extra");
  ASSERT_EQ(S_OK, ApplyRegistryScript(script, ScriptMode::Unregister, root.Key()));
  EXPECT_FALSE(root.Has(L"Sample.Thing.1"));
  EXPECT_FALSE(root.Has(L"Classes\\{1}"));
  EXPECT_FALSE(root.Has(L"Classes\\Plain"));
  EXPECT_TRUE(root.Has(L"Classes"));
  EXPECT_TRUE(root.Has(L"Classes\\Other"));
  // Removing what is not there is no failure.
  EXPECT_EQ(S_OK, ApplyRegistryScript(script, ScriptMode::Unregister, root.Key()));
}

TEST(RegistryScript, TheEngineScriptsParseAndRoundTrip) {
  // The test executable carries the engine's resources, so the server's own
  // scripts run here against the scratch root.
  ScratchRoot root;
  HMODULE module = tarnwick::com::ThisModule();
  ASSERT_EQ(S_OK, tarnwick::RunServerScripts(module, ScriptMode::Register, root.Key()));
  EXPECT_TRUE(root.Has(L"Tarnwick.MOMain\\CurVer"));
  EXPECT_TRUE(root.Has(L"Quillon.MOPagingFileItem.1"));
  ASSERT_EQ(S_OK, tarnwick::RunServerScripts(module, ScriptMode::Unregister, root.Key()));
  EXPECT_FALSE(root.Has(L"Tarnwick.MOMain"));
  EXPECT_TRUE(root.Has(L"CLSID"));
  EXPECT_TRUE(root.Has(L"AppID"));
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND),
            tarnwick::com::RunRegistryResource(module, 106, {}, ScriptMode::Register, root.Key()));
}
