// The settings file as users and other editors leave it: whatever its line ends, remarks and
// other contents, a save changes the two values and keeps every other byte.
#include <gtest/gtest.h>

#include <string>

#include "FormFixture.h"
#include "i18n/Lists.h"
#include "i18n/Settings.h"

namespace revivix::test {
namespace {

struct SavedFile {
  const char* name;
  std::uint32_t codePage;
  std::string before;
  std::string after;  // after the user chose Rest of the World and French
};

class SettingsFile : public FormTest, public ::testing::WithParamInterface<SavedFile> {};

TEST_P(SettingsFile, ASaveChangesTheTwoValuesOnly) {
  const SavedFile& c = GetParam();
  platform.SetAnsiCodePage(c.codePage);
  FillLanguageAndRegionLists(form);
  platform.WriteFile("settings.ini", c.before);
  // A file that cannot be read ends the restore; the user still chooses and quits.
  try {
    LoadSettings(form);
  } catch (const std::exception&) {
  }
  form.Combo_Region.SetText(L"Rest of the World");
  form.Combo_Language.SetText(L"French");
  try {
    SaveSettings(form);
  } catch (const IniError&) {
  }
  EXPECT_EQ(platform.ReadFile("settings.ini"), c.after);
  EXPECT_FALSE(platform.Exists("settings.ini.new"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsFile,
    ::testing::Values(
        SavedFile{"CrLf", 1252, "[Settings]\r\nRegion=Europe\r\nLanguage=German\r\n",
                  "[Settings]\r\nRegion=Rest of the World\r\nLanguage=French\r\n"},
        SavedFile{"Lf", 1252, "[Settings]\nRegion=Europe\nLanguage=German\n",
                  "[Settings]\nRegion=Rest of the World\nLanguage=French\n"},
        SavedFile{"Cr", 1252, "[Settings]\rRegion=Europe\rLanguage=German",
                  "[Settings]\rRegion=Rest of the World\rLanguage=French"},
        SavedFile{"Mixed", 1252, "[Settings]\nRegion=Europe\r\n\r\rLanguage=German\r",
                  "[Settings]\nRegion=Rest of the World\r\n\r\rLanguage=French\r"},
        // A key line before any header fails the read: nothing is written.
        SavedFile{"NoHeader", 1252, "Region=Europe\r\nLanguage=German\r\n",
                  "Region=Europe\r\nLanguage=German\r\n"},
        SavedFile{"OtherSections", 1252,
                  "[Display]\r\nRegion=Asia\r\n[Settings]\r\nRegion=Europe\r\nLanguage=German\r\n"
                  "[Proxy]\r\nLanguage=none\r\n",
                  "[Display]\r\nRegion=Asia\r\n[Settings]\r\nRegion=Rest of the World\r\n"
                  "Language=French\r\n[Proxy]\r\nLanguage=none\r\n"},
        // Without a Settings section the fallback would be another section's value: nothing.
        SavedFile{"NoSettingsSection", 1252, "[Display]\r\nRegion=Europe\r\nLanguage=German\r\n",
                  "[Display]\r\nRegion=Europe\r\nLanguage=German\r\n"},
        SavedFile{"Remarks", 1252,
                  "; set up by IT\r\n[Settings] ; do not remove\r\n;Region=Asia\r\n\r\n"
                  "  Region=Europe  \r\nLanguage=German\r\n",
                  "; set up by IT\r\n[Settings] ; do not remove\r\n;Region=Asia\r\n\r\n"
                  "  Region=Rest of the World  \r\nLanguage=French\r\n"},
        SavedFile{
            "KeyWithTwoEqualsSigns", 1252,
            "[Settings]\r\nProxy=host=port\r\nRegion=Europe\r\nLanguage=German\r\n",
            "[Settings]\r\nProxy=host=port\r\nRegion=Rest of the World\r\nLanguage=French\r\n"},
        // Only the key that is there is written; the missing one is never added.
        SavedFile{"NoLanguageKey", 1252, "[Settings]\r\nRegion=Europe\r\nColour=Blue\r\n",
                  "[Settings]\r\nRegion=Rest of the World\r\nColour=Blue\r\n"},
        SavedFile{
            "Utf8ByteOrderMark", 1252,
            "\xEF\xBB\xBF[Settings]\r\nRegion=Europe\r\nLanguage=German\r\n; \xC3\xA9t\xC3\xA9\r\n",
            "\xEF\xBB\xBF[Settings]\r\nRegion=Rest of the World\r\nLanguage=French\r\n; "
            "\xC3\xA9t\xC3\xA9\r\n"},
        SavedFile{"Empty", 1252, "", ""},
        // Remarks in the system's code page keep their bytes, a trail byte 0x5C or 0x5B too.
        SavedFile{
            "Cyrillic", 1251,
            "; "
            "\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8\r\n[Settings]\nRegion=Europe\nLanguage=German\n",
            "; \xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8\r\n[Settings]\nRegion=Rest of the "
            "World\nLanguage=French\n"},
        SavedFile{"Japanese", 932,
                  "; \x95\x5C\x8E\xA6\r\n[Settings]\r\nNote=\x83\x5B\x95\x5C\r\nBad=\x95\r\n"
                  "Region=Europe\r\nLanguage=German\r\n",
                  "; \x95\x5C\x8E\xA6\r\n[Settings]\r\nNote=\x83\x5B\x95\x5C\r\nBad=\x95\r\n"
                  "Region=Rest of the World\r\nLanguage=French\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormTest, AnLfSettingsFileRestoresBothChoices) {
  FillLanguageAndRegionLists(form);
  platform.WriteFile("settings.ini", "[Settings]\nRegion=Rest of the World\nLanguage=Swedish\n");
  LoadSettings(form);
  EXPECT_EQ(form.Combo_Region.Text(), L"Rest of the World");
  EXPECT_EQ(form.Combo_Language.Text(), L"Swedish");
}

TEST_F(FormTest, AUtf16SettingsFileWithItsMarkIsReadAndWrittenInUtf16) {
  FillLanguageAndRegionLists(form);
  platform.WriteUtf16File("settings.ini", L"[Settings]\r\nRegion=Europe\r\nLanguage=Dutch\r\n");
  LoadSettings(form);
  EXPECT_EQ(form.Combo_Language.Text(), L"Dutch");
  form.Combo_Language.SetText(L"Czech");
  SaveSettings(form);
  FakePlatform expected;
  expected.WriteUtf16File("x.ini", L"[Settings]\r\nRegion=Europe\r\nLanguage=Czech\r\n");
  EXPECT_EQ(platform.ReadFile("settings.ini"), expected.ReadFile("x.ini"));
}

}  // namespace
}  // namespace revivix::test
