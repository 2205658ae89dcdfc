// The system's ANSI code page: the conversions themselves, and the wizard on a Cyrillic and a
// Japanese system, where the updater's texts and the settings file are in code pages 1251 and 932.
#include <gtest/gtest.h>

#include <string>

#include "FormFixture.h"
#include "TestCodePages.h"
#include "automation/UpdaterAutomation.h"
#include "common/CodePage.h"
#include "common/Text.h"
#include "fakes/VirtualUpdaters.h"
#include "i18n/LanguageFile.h"

namespace revivix::test {
namespace {

struct Conversion {
  std::uint32_t codePage;
  std::string bytes;
  std::wstring text;
};

TEST(CodePage, DecodesAndEncodesEachCodePageExactly) {
  const Conversion cases[] = {
      {1252,
       "Fran\xE7"
       "ais \x80 \x9F",
       L"Français € Ÿ"},
      {1252, "\x81\x8D", L"\u0081\u008D"},  // undefined bytes stand for the control characters
      {1251, "\xCF\xF0\xEE\xF8\xE8\xE2\xEA\xE0 \xA8\xB8", L"Прошивка Ёё"},
      {932, "\x83\x74\x83\x40\x81\x5B\x83\x80", L"ファーム"},
      {932, "\x95\x5C\x8E\xA6", L"表示"},              // a trail byte that is "\" in ASCII
      {932, "\xB1\xB2 ABC\\", L"\uFF71\uFF72 ABC\\"},  // half-width katakana, "\" itself
      {932, "\x81\x44\x81\x5F", L"\uFF0E\uFF3C"},      // full-width point and backslash exist here
  };
  for (const Conversion& c : cases) {
    const CodePage& page = TestCodePage(c.codePage);
    EXPECT_EQ(page.Id(), c.codePage);
    EXPECT_EQ(page.Decode(c.bytes), c.text) << c.codePage << " " << ToUtf8(c.text);
    EXPECT_EQ(page.Encode(c.text), c.bytes) << c.codePage << " " << ToUtf8(c.text);
  }
}

TEST(CodePage, NeverEncodesALookAlike) {
  // What a best-fit conversion would make of them: ".", "\", "\" again (932's 0x5C), "A", "?".
  const struct {
    std::uint32_t codePage;
    std::wstring text;
  } cases[] = {
      {1252, L"a\uFF0Eexe"},
      {1252, L"..\uFF3Cevil.exe"},
      {932, L"\u00A5..\u00A5evil.exe"},
      {1251, L"\u0100"},
      {1252, L"\u0141\u00F3d\u017A"},
      {1251, L"\u65E5"},
      {932, L"\u0141"},
      {1252, std::wstring(1, static_cast<wchar_t>(0xFFFD))},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TestCodePage(c.codePage).Encode(c.text), std::nullopt)
        << c.codePage << " " << ToUtf8(c.text);
}

TEST(CodePage, ALeadByteWithoutItsTrailIsOneUnknownCharacter) {
  const CodePage& page = TestCodePage(932);
  std::vector<std::size_t> starts;
  const std::string bytes = "\x95\r\n\x95";
  EXPECT_EQ(page.Decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &starts),
            L"\u30FB\r\n\u30FB");
  EXPECT_EQ(starts, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
}

TEST(CodePage, Utf8KeepsEveryScalarValueAndRefusesLoneSurrogates) {
  const CodePage page = CodePage::Utf8();
  const std::wstring text = FromUtf8("Łódź 日本 \xF0\x9F\x98\x80");
  const auto bytes = page.Encode(text);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes, "Łódź 日本 \xF0\x9F\x98\x80");
  EXPECT_EQ(page.Decode(*bytes), text);
  EXPECT_EQ(page.Decode("\xC0\xAF\xED\xA0\x80"),
            std::wstring(5, static_cast<wchar_t>(0xFFFD)));  // overlong, surrogate
  EXPECT_EQ(page.Encode(std::wstring(1, static_cast<wchar_t>(0xD800))), std::nullopt);
}

// ---- The wizard on such a system ----

struct LocalSystem {
  std::uint32_t codePage;
  std::wstring title;   // the updater's title as the database gives it
  std::wstring result;  // the format updater's result text
  friend void PrintTo(const LocalSystem& c, std::ostream* os) { *os << c.codePage; }
};

class OnLocalSystem : public FormTest, public ::testing::WithParamInterface<LocalSystem> {};

TEST_P(OnLocalSystem, TheUpdaterIsFoundByItsTitleInTheSystemsCodePage) {
  platform.SetAnsiCodePage(GetParam().codePage);
  platform.WriteFile("Languages/English.txt",
                     "[Strings]\r\nIDS_FW_UPDATE_SUCCESSFUL=updated.\r\n"
                     "IDS_FW_UPDATE_FAILED=failed.\r\n");
  form.UserName = L"bob";
  ResolveLanguageFile(form, true);
  form.Timer2.SetEnabled(false);
  FormatUpdaterScript script;
  script.title = GetParam().title;
  script.result = GetParam().result;
  VirtualFormatUpdater updater(platform.desktop, script);
  form.UpdaterTitle = UCase(Trim(GetParam().title));
  form.Timer4.SetEnabled(true);
  form.Timer5.SetEnabled(true);
  for (int t = 0; t < 20000 && form.Timer5.Enabled(); t += 100) platform.loop.Advance(100);
  EXPECT_FALSE(form.Timer5.Enabled()) << "the updater was never found";
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"bob, updated.");
  EXPECT_TRUE(updater.answeredYes);
  EXPECT_FALSE(platform.desktop.Exists(updater.main));
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, OnLocalSystem,
    ::testing::Values(LocalSystem{1251, L"Программа обновления Fernclip 200", L"COMPLETE"},
                      LocalSystem{932, L"Fernclip 200 ファームウェア更新", L"COMPLETE"},
                      LocalSystem{1252, L"Fernclip 200 Mise à jour", L"COMPLETE"}));

}  // namespace
}  // namespace revivix::test
