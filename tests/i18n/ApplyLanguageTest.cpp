#include <gtest/gtest.h>

#include <filesystem>

#include "FormFixture.h"
#include "LanguageKeys.h"
#include "app/Pages.h"
#include "common/Text.h"
#include "i18n/ApplyLanguage.h"
#include "i18n/LanguageFile.h"
#include "i18n/Lists.h"

namespace revivix::test {
namespace {

struct Language : FormTest {
  Language() {
    WriteLanguage(L"English", L"en");
    WriteLanguage(L"Japanese", L"日本語");
    WriteLanguage(L"German", L"de");
    platform.WriteUtf16File("License/English.txt", L"License in English");
    platform.WriteUtf16File("License/Japanese.txt", L"使用許諾契約");
    FillLanguageAndRegionLists(form);
  }
  // A language file whose texts are "<tag>:<key>", stored as UTF-16LE with a byte-order mark.
  void WriteLanguage(const std::wstring& name, const std::wstring& tag) {
    std::wstring text = L"[Strings]\r\n";
    for (const wchar_t* key : kLanguageKeys)
      text += std::wstring(key) + L"=" + tag + L":" + key + L"\r\n";
    platform.WriteUtf16File("Languages/" + ToUtf8(name) + ".txt", text);
  }
  // Picks an entry as the user does and lets the 20 ms language change run.
  void Pick(Control& list, const wchar_t* entry) {
    list.SetText(entry);
    platform.loop.Advance(20);
  }
};

TEST_F(Language, PickingJapaneseReloadsEveryCaptionAndTheLicense) {
  form.PlayerModel = L"ZX-200";
  Pick(form.Combo_Language, L"Japanese");
  EXPECT_EQ(form.LanguageFilePath, platform.Folder() + L"\\Languages\\Japanese.txt");
  EXPECT_EQ(form.Player_Detected_Label.Caption(), L"ZX-200");
  EXPECT_EQ(form.Player_Detected_Frame1.Caption(), L"日本語:IDS_PLAYER_DETECTED");
  EXPECT_EQ(form.Info_Label.Caption(), L"日本語:IDS_LICENSE_AGREEMENT_MSG1");
  const std::pair<Control*, const wchar_t*> buttons[] = {
      {&form.Cmd_I_Agree, L"IDS_LICENSE_AGREE_CONTINUE"},
      {&form.Cmd_I_Disagree, L"IDS_LICENSE_DISAGREE_QUIT"},
      {&form.cmdExit, L"IDS_EXIT"},
      {&form.Cmd_Next, L"IDS_NEXT"},
      {&form.CmdYes, L"IDS_YES"},
      {&form.CmdNo, L"IDS_NO"},
      {&form.UniButton_Help, L"IDS_HELP"},
      {&form.UniRefresh, L"IDS_REFRESH"}};
  for (const auto& [button, key] : buttons)
    EXPECT_EQ(button->Caption(), std::wstring(L"日本語:") + key) << button->Name();
  // The license text is taken as it is, byte-order mark included, and placed on its page.
  EXPECT_EQ(form.UnitxtLicense.Text(), L"\xFEFF使用許諾契約");
  EXPECT_EQ(form.UnitxtLicense.Left(), 165);
  EXPECT_EQ(form.UnitxtLicense.Top(), 3615);
  EXPECT_EQ(form.UnitxtLicense.Width(), 7680);
  EXPECT_EQ(form.UnitxtLicense.Height(), 2720);
  EXPECT_TRUE(form.UnitxtLicense.Locked());
  EXPECT_FALSE(form.UnitxtLicense.Visible());  // visibility stays as the page left it
  EXPECT_FALSE(form.Timer10.Enabled());
}

TEST_F(Language, TwoPicksWithin20msGiveOneReload) {
  form.Timer2.SetEnabled(false);  // the detection's own lookups are not counted here
  form.Combo_Language.SetText(L"German");
  platform.loop.Advance(10);
  form.Combo_Region.SetText(L"Europe");
  const int before = platform.kernel32.calls;
  platform.loop.Advance(10);
  EXPECT_EQ(platform.kernel32.calls - before, 10);  // the ten looked-up captions, once
  EXPECT_EQ(form.cmdExit.Caption(), L"de:IDS_EXIT");
  platform.loop.Advance(1000);
  EXPECT_EQ(platform.kernel32.calls - before, 10);
}

TEST_F(Language, ARegionChangeAloneReloadsInTheSameLanguage) {
  Pick(form.Combo_Language, L"German");
  form.cmdExit.SetCaption(L"stale");
  Pick(form.Combo_Region, L"Rest of the World");
  EXPECT_EQ(form.cmdExit.Caption(), L"de:IDS_EXIT");
  EXPECT_TRUE(form.LanguageAndRegionChosen);
}

TEST_F(Language, ChoosingThePlaceholderChangesOnlyTheFlag) {
  Pick(form.Combo_Region, L"Europe");
  Pick(form.Combo_Language, L"German");
  EXPECT_TRUE(form.LanguageAndRegionChosen);
  form.UnitxtLicense.SetText(L"kept");
  Pick(form.Combo_Language, L"Choose Language");
  EXPECT_FALSE(form.LanguageAndRegionChosen);
  EXPECT_EQ(form.cmdExit.Caption(), L"de:IDS_EXIT");
  EXPECT_EQ(form.LanguageFilePath, platform.Folder() + L"\\Languages\\German.txt");
  EXPECT_EQ(form.UnitxtLicense.Text(), L"kept");
}

TEST_F(Language, MissingFilesFallBackToEnglish) {
  // German has a language file but no license; Polish has neither.
  Pick(form.Combo_Language, L"German");
  EXPECT_EQ(form.cmdExit.Caption(), L"de:IDS_EXIT");
  EXPECT_EQ(form.UnitxtLicense.Text(), L"\xFEFFLicense in English");
  Pick(form.Combo_Language, L"Polish");
  EXPECT_EQ(form.cmdExit.Caption(), L"en:IDS_EXIT");
}

TEST_F(Language, WithoutAnyLicenseFileTheBoxIsEmptiedAndTheChangeEnds) {
  std::filesystem::remove(platform.folder.Path() + "/License/English.txt");
  form.UnitxtLicense.SetText(L"old text");
  Pick(form.Combo_Language, L"German");
  EXPECT_EQ(form.UnitxtLicense.Text(), L"");
  EXPECT_EQ(form.cmdExit.Caption(), L"de:IDS_EXIT");
  EXPECT_FALSE(form.Timer10.Enabled());
}

TEST_F(Language, InstructionLineFollowsMscOnXp) {
  ResolveLanguageFile(form, true);
  form.MscOnXp = true;
  ApplyLanguage(form);
  EXPECT_EQ(form.Info_Label.Caption(), L"en:IDS_MSC_MESSAGE");
  form.MscOnXp = false;
  ApplyLanguage(form);
  EXPECT_EQ(form.Info_Label.Caption(), L"en:IDS_LICENSE_AGREEMENT_MSG1");
}

TEST_F(Language, RenewsTheSerialNumberPageAndTheUpdateNotice) {
  form.Frame_DetectPlayer_by_SNO.SetVisible(true);
  Pick(form.Combo_Language, L"German");
  EXPECT_EQ(form.Uni_PID3500_err_MSG.Caption(), L"de:IDS_ENTER_PLAYER_SNO");
  EXPECT_TRUE(form.Uni_PID3500_err_MSG.Visible());

  form.UpdateAvailable = true;
  form.UniLabel_New_Version_Info.SetVisible(true);
  Pick(form.Combo_Language, L"Japanese");
  EXPECT_FALSE(form.Uni_PID3500_err_MSG.Visible());
  EXPECT_EQ(form.UniLabel_New_Version_Info.Caption(), L"日本語:IDS_NEW_VERSION_AVAILABLE");
}

TEST_F(Language, StartUpRestoresTheStoredLanguageAndAppliesIt) {
  platform.WriteFile("settings.ini", "[Settings]\r\nRegion=Europe\r\nLanguage=German\r\n");
  form.Activate();
  EXPECT_EQ(form.Combo_Region.Text(), L"Europe");
  EXPECT_EQ(form.Combo_Language.Text(), L"German");
  EXPECT_EQ(form.LanguageFilePath, platform.Folder() + L"\\Languages\\German.txt");
  EXPECT_TRUE(form.Timer10.Enabled());  // the restore counts as a pick
  platform.loop.Advance(20);
  EXPECT_EQ(form.UniButton_Help.Caption(), L"de:IDS_HELP");
  EXPECT_TRUE(form.LanguageAndRegionChosen);
}

}  // namespace
}  // namespace revivix::test
