// A section read in one call must answer every key as the system's own
// per-value read does, for the files people edit by hand: spaces, quotes,
// repeated keys and sections, comments, lines without "=", long values.
#include "ProfileSection.h"

#include <gtest/gtest.h>

#include "TempProgramFolder.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

constexpr size_t kValueChars = 260;
constexpr wchar_t kMissing[] = L"\x01";

std::wstring SystemRead(const std::wstring& path, const wchar_t* section, const wchar_t* key) {
  wchar_t text[kValueChars] = {};
  GetPrivateProfileStringW(section, key, kMissing, text, kValueChars, path.c_str());
  return text;
}

std::wstring SectionRead(const std::wstring& path, const wchar_t* section, const wchar_t* key) {
  std::wstring value;
  return ProfileSection(path, section).Find(key, kValueChars, &value) ? value : kMissing;
}

std::vector<unsigned char> AnsiFile(const std::wstring& text) { return {text.begin(), text.end()}; }

}  // namespace

TEST(ProfileSection, AnswersEveryKeyAsTheSystemsOwnReadDoes) {
  const std::wstring longValue(300, L'7');
  const std::wstring cases[] = {
      L"[S]\r\nAlpha=1\r\n  Beta  =  two words  \r\nGamma\t=\t3\t\r\nDelta=a=b\r\nAl pha=inner\r\n",
      L"[S]\r\nAlpha=\"quoted\"\r\nBeta='single'\r\nGamma=\"mismatched'\r\nDelta=\"\r\nEpsilon=\"\"\r\n"
      L"Zeta=\" spaced \"\r\nEta=\"a\"b\"\r\nTheta= \"1\" \r\n",
      L"[S]\r\nalpha=lower\r\nALPHA=upper\r\nBeta=first\r\nBeta=second\r\n",
      L"[S]\r\nAlpha\r\nAlpha=later\r\nBeta=\r\nGamma =\r\n",
      L"[S]\r\nAlpha=1\r\n[T]\r\nBeta=other\r\n[s]\r\nBeta=2\r\nAlpha=3\r\n",
      L";Alpha=comment\r\n[S]\r\n;Alpha=c\r\nAlpha=real\r\n# Beta=hash\r\n\r\n\r\nGamma=after blanks\r\n",
      L"[S]\r\nAlpha=" + longValue + L"\r\nBeta=\"" + longValue + L"\"\r\n",
      L"Alpha=before any section\r\n[S] trailing\r\nBeta=1\r\n[ S ]\r\nGamma=2\r\n",
      L"[T]\r\nAlpha=elsewhere\r\n",
      L"[S]\nAlpha=bare line feeds\nBeta=2",
      L"",
  };
  const wchar_t* keys[] = {L"Alpha", L"alpha", L"Beta", L"Gamma", L"Delta", L"Epsilon",
                           L"Zeta",  L"Eta",   L"Theta", L"Al pha", L"# Beta", L"Missing"};
  TempProgramFolder folder;
  int file = 0;
  for (const std::wstring& text : cases) {
    for (bool unicode : {true, false}) {
      // A file of its own each time: the system may keep a file it read.
      const std::wstring path = folder / (L"case" + std::to_wstring(++file) + L".ini").c_str();
      WriteBytes(path, unicode ? Utf16File(text) : AnsiFile(text));
      for (const wchar_t* section : {L"S", L"s", L"T", L"U"}) {
        for (const wchar_t* key : keys) {
          EXPECT_EQ(SystemRead(path, section, key), SectionRead(path, section, key))
              << "file " << file << (unicode ? " (UTF-16)" : " (ANSI)") << ", [" << section << "] " << key;
        }
      }
    }
  }
  const std::wstring none = folder / L"no such file.ini";
  EXPECT_EQ(kMissing, SectionRead(none, L"S", L"Alpha"));
  EXPECT_FALSE(Exists(none));
}

TEST(ProfileSection, AVeryLargeSectionIsReadWhole) {
  TempProgramFolder folder;
  std::wstring text = L"[S]\r\n";
  for (int i = 0; i < 5000; ++i) text += L"Key" + std::to_wstring(i) + L"=" + std::to_wstring(i * 7) + L"\r\n";
  const std::wstring path = folder / L"large.ini";
  WriteBytes(path, Utf16File(text));
  const ProfileSection section(path, L"S");
  std::wstring value;
  ASSERT_TRUE(section.Find(L"Key4999", kValueChars, &value));
  EXPECT_EQ(L"34993", value);
}
