#include <gtest/gtest.h>

#include <filesystem>

#include "FormFixture.h"
#include "app/Pages.h"
#include "common/Text.h"
#include "i18n/LanguageFile.h"
#include "i18n/MProfileString.h"
#include "i18n/MWin32.h"

namespace revivix::test {
namespace {

std::wstring Fixture(const char* name) {
  return FromUtf8(std::string(REVIVIX_FIXTURES) + "/profile/" + name);
}

struct Lookup : ::testing::Test {
  FakePlatform platform;
  std::wstring Get(const char* file, const wchar_t* section, const wchar_t* key, int size = 1024) {
    return GetIniString(platform.program, section, key, L"", size, Fixture(file));
  }
};

TEST_F(Lookup, FollowsTheProfileRulesOnTheFixtureFiles) {
  const struct {
    const char* file;
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* expected;
  } cases[] = {
      {"ansi.ini", L"Strings", L"IDS_EXIT", L"Quit"},          // blanks and quotes removed
      {"ansi.ini", L"strings", L"IDS_NEXT", L"Weiter"},        // names ignore letter case
      {"ansi.ini", L"Strings", L"IDS_HELP", L"Café crème €"},  // code page 1252
      {"ansi.ini", L"Strings", L"IDS_QUOTED", L"single"},
      {"ansi.ini", L"Strings", L"IDS_HALFQUOTED", L"\"open"},
      {"ansi.ini", L"Strings", L"IDS_EQUALS", L"a=b"},  // the value follows the first "="
      {"ansi.ini", L"Strings", L"IDS_EMPTY", L""},
      {"ansi.ini", L"Other", L"IDS_EXIT", L"Other section"},
      {"ansi.ini", L"Strings", L"IDS_MISSING", L""},
      {"ansi.ini", L"Missing", L"IDS_EXIT", L""},
      {"missing.ini", L"Strings", L"IDS_EXIT", L""},
      {"utf16.ini", L"Strings", L"IDS_RU", L"Русский текст"},
      {"utf16.ini", L"Strings", L"IDS_JA", L"日本語のテキスト"},
      {"utf16.ini", L"STRINGS", L"ids_exit", L"Выход"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Get(c.file, c.section, c.key), c.expected) << c.file << " " << ToUtf8(c.key);
}

TEST_F(Lookup, LongValuesAreCutToTheBuffer) {
  const std::wstring value = Get("long.ini", L"Strings", L"IDS_LONG");
  ASSERT_EQ(value.size(), 1023u);
  EXPECT_EQ(value.substr(0, 3), L"abc");
  EXPECT_EQ(value[1022], L'a' + 1022 % 26);
  EXPECT_EQ(Get("long.ini", L"Strings", L"IDS_LONG", 5), L"abcd");
  EXPECT_EQ(Get("ansi.ini", L"Strings", L"IDS_NEXT", 1), L"");
}

TEST_F(Lookup, ChoosesTheLibraryOnceByWindowsFamily) {
  // The NT family uses the system's own functions.
  Get("ansi.ini", L"Strings", L"IDS_EXIT");
  EXPECT_EQ(platform.kernel32.calls, 1);
  EXPECT_EQ(platform.unicows.calls, 0);
  EXPECT_NE(dynamic_cast<CWinAPIUnicode*>(&GetWinAPI(platform.program)), nullptr);
  // The choice is kept for the rest of the run.
  platform.system.version.platformId = 1;
  Get("ansi.ini", L"Strings", L"IDS_EXIT");
  EXPECT_EQ(platform.kernel32.calls, 2);

  FakePlatform older;
  older.system.version.platformId = 1;
  EXPECT_FALSE(IsWindowsNT(older.system));
  EXPECT_EQ(GetIniString(older.program, L"Strings", L"IDS_EXIT", L"", 1024, Fixture("ansi.ini")),
            L"Quit");
  EXPECT_EQ(older.unicows.calls, 1);
  EXPECT_EQ(older.kernel32.calls, 0);
  EXPECT_NE(dynamic_cast<CWinAPIANSI*>(&GetWinAPI(older.program)), nullptr);
}

struct LanguageFileRule : FormTest {
  LanguageFileRule() {
    for (const wchar_t* e : {L"Choose Language", L"English", L"German", L"Polish"})
      form.Combo_Language.AddItem(e);
    platform.WriteFile("Languages/German.txt", "[Strings]\r\nIDS_EXIT=Beenden\r\n");
  }
  std::wstring Path(const wchar_t* name) { return platform.Folder() + L"\\Languages\\" + name; }
};

TEST_F(LanguageFileRule, FollowsTheChosenLanguageWithEnglishAsFallback) {
  ResolveLanguageFile(form, true);
  EXPECT_EQ(form.LanguageFilePath, Path(L"English.txt"));  // nothing chosen
  form.Combo_Language.SetText(L"Choose Language");
  ResolveLanguageFile(form, true);
  EXPECT_EQ(form.LanguageFilePath, Path(L"English.txt"));
  form.Combo_Language.SetText(L"German");
  ResolveLanguageFile(form, true);
  EXPECT_EQ(form.LanguageFilePath, Path(L"German.txt"));
  EXPECT_EQ(LookUp(form, L"IDS_EXIT"), L"Beenden");
  form.Combo_Language.SetText(L"Polish");  // no Polish file: the English texts
  ResolveLanguageFile(form, false);
  EXPECT_EQ(form.LanguageFilePath, Path(L"English.txt"));
  EXPECT_EQ(LookUp(form, L"IDS_EXIT"), L"Exit");
}

TEST_F(LanguageFileRule, ALaterChangeToThePlaceholderKeepsTheFile) {
  form.Combo_Language.SetText(L"German");
  ResolveLanguageFile(form, true);
  form.Combo_Language.SetText(L"Choose Language");
  ResolveLanguageFile(form, false);
  EXPECT_EQ(form.LanguageFilePath, Path(L"German.txt"));
}

TEST_F(LanguageFileRule, WithoutAnyLanguageFileEveryTextIsEmpty) {
  std::filesystem::remove(platform.folder.Path() + "/Languages/English.txt");
  form.Combo_Language.SetText(L"Polish");
  ResolveLanguageFile(form, true);
  EXPECT_EQ(form.LanguageFilePath, Path(L"English.txt"));
  EXPECT_EQ(LookUp(form, L"IDS_EXIT"), L"");
}

}  // namespace
}  // namespace revivix::test
