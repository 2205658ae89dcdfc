// Whole-form roads on the fake platform, driven by the virtual clock from the window's first
// activation: the real start-up checks and detection ticks lead to the page on which the buttons
// are pressed, as a user meets them.
#include <gtest/gtest.h>

#include "DatabaseFixture.h"
#include "LanguageKeys.h"
#include "NavigationFixture.h"

namespace revivix::test {
namespace {

const DeviceEntry kRecoveryPlayer{L"USB\\VID_2A5F&PID_3500\\0001", L"USB Mass Storage Device"};
const DeviceEntry kRoadPlayer{L"USB\\VID_2A5F&PID_4157\\FC200A",
                              L"Zanterix Fernclip 200 USB Device"};

struct WizardRoad : DetectionTest {
  WizardRoad() {
    std::string language = "[Strings]\r\n";
    for (const wchar_t* key : kLanguageKeys)
      language += ToUtf8(key) + "=text of " + ToUtf8(key) + "\r\n";
    platform.WriteFile("Languages/English.txt", language);
    platform.WriteUtf16File("License/English.txt", L"License in English");
    platform.WriteFile("settings.ini", "[Settings]\r\nRegion=Europe\r\nLanguage=English\r\n");
    Record serial200;
    serial200.serial = L"AB12";
    Record model300;
    model300.model = L"Zanterix Fernclip 300";
    model300.serial = L"7Q9Z";
    records = {serial200, model300};
  }

  // The window opens with the database in place and `devices` connected, and runs until the
  // first detection tick has shown its page.
  void Open(const std::vector<DeviceEntry>& devices) {
    std::vector<std::wstring> lines;
    for (const Record& r : records) lines.push_back(RecordLine(r));
    ServeDatabase(Page(lines));
    for (const DeviceEntry& d : devices) Connect(d.pnpDeviceId, d.name);
    FormLoad(form);
    form.Activate();
    platform.loop.Advance(1000);
  }

  void EnterSerial(const std::wstring& serial) {
    form.txtSNO.UserEdit(serial);
    form.Cmd_Next.RaiseClick();
  }

  std::vector<Record> records;
};

TEST_F(WizardRoad, SerialRoadTwoUnknownNumbersThenTheQuestionAnsweredYes) {
  ASSERT_NO_FATAL_FAILURE(Open({kRecoveryPlayer}));
  ASSERT_EQ(PageOf(form), "model and serial number");
  EXPECT_EQ(form.Uni_PID3500_err_MSG.Caption(), L"text of IDS_ENTER_PLAYER_SNO");
  EXPECT_FALSE(form.cmdExit.Visible());
  for (const wchar_t* serial : {L"0000", L"1111"}) {
    EnterSerial(serial);
    platform.loop.Advance(1000);
    EXPECT_EQ(PageOf(form), "model and serial number");
    EXPECT_EQ(form.Uni_PID3500_err_MSG.Caption(), L"text of IDS_SNO_NOT_RECOGNISED_REENTER");
  }
  EnterSerial(L"SN-AB12");  // known, but the third entry is not looked up
  EXPECT_EQ(PageOf(form), "knowledge-base question");
  platform.loop.Advance(5000);
  EXPECT_EQ(PageOf(form), "knowledge-base question");  // nothing ticks it away

  form.CmdYes.RaiseClick();
  ASSERT_EQ(platform.shell.calls.size(), 1u);
  // The failed scans left the support page of the last line they examined.
  EXPECT_EQ(platform.shell.calls[0].file, L"http://www.zanterix.com/support/fc200");
  EXPECT_TRUE(form.Unloaded());
  EXPECT_NE(platform.ReadFile("settings.ini").find("Region=Europe"), std::string::npos);
}

TEST_F(WizardRoad, AModelPickedFromTheListOpensTheLicensePage) {
  ASSERT_NO_FATAL_FAILURE(Open({kRecoveryPlayer}));
  ASSERT_EQ(PageOf(form), "model and serial number");
  ASSERT_EQ(form.Combo_Choose_Player.ListCount(), 3);  // "Choose Player" and the two models
  form.Combo_Choose_Player.UserSelect(2);
  EXPECT_FALSE(form.txtSNO.Enabled());
  form.Cmd_Next.RaiseClick();
  EXPECT_EQ(PageOf(form), "license");
  EXPECT_EQ(form.PlayerModel, L"Zanterix Fernclip 300");
  EXPECT_EQ(form.Player_Detected_Label.Caption(), L"Zanterix Fernclip 300");
}

TEST_F(WizardRoad, TheNoticeAnsweredNoKeepsTheUpdateForTheQuestion) {
  records[0].version = L"9.9";
  records[0].updateUrl = L"http://www.zanterix.com/revivix/new.htm";
  ASSERT_NO_FATAL_FAILURE(Open({kRecoveryPlayer}));
  ASSERT_EQ(PageOf(form), "update notice");
  EXPECT_EQ(form.UniLabel_New_Version_Info.Caption(), L"text of IDS_NEW_VERSION_AVAILABLE");
  platform.loop.Advance(5000);
  EXPECT_EQ(PageOf(form), "update notice");  // the detection waits for the answer

  form.CmdNo.RaiseClick();
  platform.loop.Advance(1000);
  ASSERT_EQ(PageOf(form), "model and serial number");
  EXPECT_FALSE(form.UniLabel_New_Version_Info.Visible());
  for (const wchar_t* serial : {L"0000", L"1111", L"2222"}) EnterSerial(serial);
  ASSERT_EQ(PageOf(form), "knowledge-base question");

  // With the update still announced, No goes back to the detection instead of ending.
  form.CmdNo.RaiseClick();
  EXPECT_FALSE(form.Unloaded());
  platform.loop.Advance(1000);
  ASSERT_EQ(PageOf(form), "model and serial number");
  EXPECT_EQ(form.SerialAttempts, 0);
  for (const wchar_t* serial : {L"0000", L"1111", L"2222"}) EnterSerial(serial);
  ASSERT_EQ(PageOf(form), "knowledge-base question");
  // And Yes opens the newer version's page.
  form.CmdYes.RaiseClick();
  ASSERT_EQ(platform.shell.calls.size(), 1u);
  EXPECT_EQ(platform.shell.calls[0].file, L"http://www.zanterix.com/revivix/new.htm");
  EXPECT_TRUE(form.Unloaded());
}

TEST_F(WizardRoad, RefreshDuringTheQuestionBringsTheFrameBackWithYesAndNo) {
  ASSERT_NO_FATAL_FAILURE(Open({kRecoveryPlayer}));
  for (const wchar_t* serial : {L"0000", L"1111", L"2222"}) EnterSerial(serial);
  ASSERT_EQ(PageOf(form), "knowledge-base question");
  form.UniRefresh.RaiseClick();
  EXPECT_EQ(PageOf(form), "detecting");
  platform.loop.Advance(1000);
  EXPECT_TRUE(form.Frame_DetectPlayer_by_SNO.Visible());
  EXPECT_TRUE(form.CmdYes.Visible());
  EXPECT_TRUE(form.CmdNo.Visible());
  EXPECT_TRUE(form.Cmd_Next.Visible());
  EXPECT_TRUE(form.UniRefresh.Enabled());  // the detection read the database again
  EXPECT_EQ(form.SerialAttempts, 0);
}

TEST_F(WizardRoad, DeclineOnTheLicensePageDeletesTheUpdaterAndEnds) {
  ASSERT_NO_FATAL_FAILURE(Open({kRoadPlayer}));
  ASSERT_EQ(PageOf(form), "license");
  platform.WriteFile("FW/fc200.exe", "MZ");
  form.UpdaterPath = platform.Folder() + L"\\FW\\fc200.exe";
  form.Cmd_I_Disagree.RaiseClick();
  EXPECT_TRUE(form.Unloaded());
  EXPECT_FALSE(platform.Exists("FW/fc200.exe"));
}

}  // namespace
}  // namespace revivix::test
