#include <gtest/gtest.h>

#include "FormFixture.h"
#include "i18n/Lists.h"
#include "i18n/Settings.h"

namespace revivix::test {
namespace {

struct Settings : FormTest {
  Settings() { FillLanguageAndRegionLists(form); }
  void Store(const std::string& text) { platform.WriteFile("settings.ini", text); }
};

TEST_F(Settings, RestoresAndSavesTheTwoChoices) {
  Store("[Settings]\r\nRegion=Europe\r\nLanguage=Swedish\r\n");
  LoadSettings(form);
  EXPECT_EQ(form.Combo_Region.Text(), L"Europe");
  EXPECT_EQ(form.Combo_Language.Text(), L"Swedish");
  form.Combo_Language.SetText(L"French");
  SaveSettings(form);
  EXPECT_EQ(platform.ReadFile("settings.ini"),
            "[Settings]\r\nRegion=Europe\r\nLanguage=French\r\n");
}

TEST_F(Settings, ThePlaceholderInAnyCaseMeansNoStoredLanguage) {
  platform.system.SetSystemLanguage(0x0407, L"German");
  Store("[Settings]\r\nRegion=\r\nLanguage=choose language\r\n");
  LoadSettings(form);
  EXPECT_EQ(form.Combo_Region.Text(), L"Choose Region");
  EXPECT_EQ(form.Combo_Language.Text(), L"German");
}

TEST_F(Settings, BlanksAroundTheEqualsSignEndTheRestore) {
  // Neither key is found, so the first key's value " Europe" is read for both; it is not an
  // entry of the region list and the restore ends there.
  Store("[Settings]\r\nRegion = Europe\r\nLanguage = German\r\n");
  EXPECT_THROW(LoadSettings(form), ControlError);
  EXPECT_EQ(form.Combo_Region.Text(), L"");
  EXPECT_EQ(form.Combo_Language.Text(), L"");
}

TEST_F(Settings, TwoSettingsSectionsUseTheSecond) {
  Store(
      "[Settings]\r\nRegion=Europe\r\nLanguage=Dutch\r\n[Settings]\r\nRegion=Rest of the "
      "World\r\nLanguage=Polish\r\n");
  LoadSettings(form);
  EXPECT_EQ(form.Combo_Language.Text(), L"Polish");
  form.Combo_Region.SetText(L"Europe");
  SaveSettings(form);
  EXPECT_EQ(platform.ReadFile("settings.ini"),
            "[Settings]\r\nRegion=Europe\r\nLanguage=Dutch\r\n[Settings]\r\nRegion=Europe\r\n"
            "Language=Polish\r\n");
}

TEST_F(Settings, RemarksAndBlankLinesStayOnSave) {
  const std::string file =
      "; chosen by the user\r\n\r\n[Settings]\r\nRegion=Europe\r\n\r\nLanguage=Czech\r\n";
  Store(file);
  LoadSettings(form);
  SaveSettings(form);
  EXPECT_EQ(platform.ReadFile("settings.ini"), file);
}

TEST_F(Settings, AMissingFileIsNeverCreated) {
  EXPECT_THROW(LoadSettings(form), IniError);
  EXPECT_EQ(form.Combo_Region.Text(), L"");
  EXPECT_EQ(form.Combo_Language.Text(), L"");
  EXPECT_THROW(SaveSettings(form), IniError);
  EXPECT_FALSE(platform.Exists("settings.ini"));
  EXPECT_FALSE(platform.Exists("settings.ini.new"));
}

TEST_F(Settings, AnUnknownRegionLeavesTheLanguageUnrestored) {
  Store("[Settings]\r\nRegion=Asia\r\nLanguage=German\r\n");
  EXPECT_THROW(LoadSettings(form), ControlError);
  EXPECT_EQ(form.Combo_Language.Text(), L"");
}

TEST_F(Settings, EveryWayOutSavesTheSettings) {
  Store("[Settings]\r\nRegion=Choose Region\r\nLanguage=Choose Language\r\n");
  form.Activate();
  form.Combo_Region.SetText(L"Rest of the World");
  form.Combo_Language.SetText(L"Japanese");
  form.Timer1.SetEnabled(true);
  platform.loop.Advance(30000);  // the error page's end after 30 s
  EXPECT_EQ(platform.window.destroyed, 1);
  EXPECT_EQ(platform.ReadFile("settings.ini"),
            "[Settings]\r\nRegion=Rest of the World\r\nLanguage=Japanese\r\n");
}

struct SystemLanguage : Settings {
  std::wstring Preselected(std::uint16_t id, const std::wstring& name) {
    platform.system.SetSystemLanguage(id, name);
    Store("[Settings]\r\nRegion=Europe\r\nLanguage=\r\n");
    LoadSettings(form);
    return form.Combo_Language.Text();
  }
};

TEST_F(SystemLanguage, FollowsTheSystemDefaultLanguage) {
  const struct {
    std::uint16_t id;
    const wchar_t* name;
    const wchar_t* entry;
  } cases[] = {
      {0x0407, L"German", L"German"},
      {0x0804, L"Chinese", L"Chinese Simplified"},
      {0x0404, L"Chinese", L"Chinese Traditional"},
      {0x0C04, L"Chinese", L"English"},
      {0x0414, L"Norwegian (Bokmål)", L"Norwegian"},
      {0x0814, L"Norwegian (Nynorsk)", L"Norwegian"},
      {0x0416, L"Portuguese", L"Brazilian Portuguese"},
      {0x0816, L"Portuguese", L"English"},
      {0x0412, L"Korean", L"English"},
      {0x0411, L"Japanese", L"Japanese"},
  };
  for (const auto& c : cases) {
    FakePlatform p;
    frmMain f{p.program};
    FillLanguageAndRegionLists(f);
    p.system.SetSystemLanguage(c.id, c.name);
    SelectSystemLanguage(f);
    if (f.Combo_Language.Text().empty()) f.Combo_Language.SetText(L"English");
    EXPECT_EQ(f.Combo_Language.Text(), c.entry) << std::hex << c.id;
  }
  EXPECT_EQ(Preselected(0x0407, L"German"), L"German");
  EXPECT_FALSE(platform.system.queriedTypes.empty());
  for (const auto type : platform.system.queriedTypes)
    EXPECT_EQ(type & 0x80000000u, 0u);  // user overrides are allowed
}

TEST_F(SystemLanguage, NoLocaleDataEndsOnEnglish) {
  platform.system.localeData.clear();
  Store("[Settings]\r\nRegion=Europe\r\nLanguage=Choose Language\r\n");
  LoadSettings(form);
  EXPECT_EQ(form.Combo_Language.Text(), L"English");
}

TEST_F(SystemLanguage, OlderWindowsAsksTheAnsiFunctions) {
  platform.system.version.platformId = 1;
  EXPECT_EQ(Preselected(0x040C, L"French"), L"French");
  EXPECT_GT(platform.system.ansiQueries, 0);
  EXPECT_EQ(platform.system.wideQueries, 0);
}

}  // namespace
}  // namespace revivix::test
