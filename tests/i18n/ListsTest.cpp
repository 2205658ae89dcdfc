#include <gtest/gtest.h>

#include "FormFixture.h"
#include "i18n/CLocaleInfo.h"
#include "i18n/Lists.h"

namespace revivix::test {
namespace {

using Lists = FormTest;

TEST_F(Lists, HoldTheirFixedEntriesInOrder) {
  form.Combo_Region.AddItem(L"left over");
  FillLanguageAndRegionLists(form);
  std::vector<std::wstring> regions, languages;
  for (int i = 0; i < form.Combo_Region.ListCount(); ++i)
    regions.push_back(form.Combo_Region.List(i));
  for (int i = 0; i < form.Combo_Language.ListCount(); ++i)
    languages.push_back(form.Combo_Language.List(i));
  EXPECT_EQ(regions,
            (std::vector<std::wstring>{L"Choose Region", L"Europe", L"Rest of the World"}));
  EXPECT_EQ(languages, (std::vector<std::wstring>{
                           L"Choose Language", L"English", L"Brazilian Portuguese", L"French",
                           L"Italian", L"German", L"Spanish", L"Dutch", L"Finnish", L"Danish",
                           L"Swedish", L"Norwegian", L"Chinese Traditional", L"Chinese Simplified",
                           L"Japanese", L"Russian", L"Polish", L"Czech"}));
  EXPECT_EQ(FindComboItem(L"German", form.Combo_Language), 5);
  EXPECT_EQ(FindComboItem(L"german", form.Combo_Language), -1);
  EXPECT_EQ(FindComboItem(L"German", form.Combo_Choose_Player), -1);
}

TEST_F(Lists, ChosenFlagFollowsThePlaceholders) {
  FillLanguageAndRegionLists(form);
  EXPECT_TRUE(ComputeLanguageAndRegionChosen(form));  // two empty texts count as chosen
  form.Combo_Region.SetText(L"Choose Region");
  form.Combo_Language.SetText(L"German");
  EXPECT_FALSE(ComputeLanguageAndRegionChosen(form));
  form.Combo_Region.SetText(L"Europe");
  EXPECT_TRUE(ComputeLanguageAndRegionChosen(form));
  form.Combo_Language.SetText(L"Choose Language");
  EXPECT_FALSE(ComputeLanguageAndRegionChosen(form));
}

TEST_F(Lists, LocaleInfoAsksTwiceAndHonoursTheOverrideSwitch) {
  platform.system.SetSystemLanguage(0x0419, L"Russian");
  CLocaleInfo locale(platform.system);
  EXPECT_EQ(locale.LCID(), 0x0419u);
  EXPECT_TRUE(locale.Unicode());
  EXPECT_EQ(locale.LocaleInfo(kLocaleEnglishName), L"Russian");
  EXPECT_EQ(platform.system.wideQueries, 2);  // the size first, then the text
  locale.SetAllowUserOverride(false);
  EXPECT_EQ(locale.LocaleInfo(kLocaleLanguageId), L"0419");
  EXPECT_EQ(platform.system.queriedTypes.back(), 0x80000001u);
  EXPECT_EQ(locale.LocaleInfo(0x1234), L"");
  locale.SetUnicode(false);
  EXPECT_FALSE(locale.Unicode());

  platform.system.version.platformId = 1;
  CLocaleInfo older(platform.system);
  older.SetUnicode(true);  // only the NT family can switch
  EXPECT_FALSE(older.Unicode());
}

}  // namespace
}  // namespace revivix::test
