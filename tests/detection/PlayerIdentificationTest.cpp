#include <gtest/gtest.h>

#include "DatabaseFixture.h"
#include "common/Text.h"
#include "detection/PlayerIdentification.h"

namespace revivix::test {
namespace {

const DeviceEntry kPlayer200{L"USB\\VID_2A5F&PID_4157\\FC200A",
                             L"Zanterix Fernclip 200 USB Device"};
const DeviceEntry kSecond200{L"USB\\VID_2A5F&PID_4157\\FC200B",
                             L"Zanterix Fernclip 200 USB Device"};
const DeviceEntry kRecovery{L"USB\\VID_2A5F&PID_3500\\0001", L"USB Mass Storage Device"};

enum class Shown { License, SerialNumber, Error };

struct Identification : DetectionTest {
  Identification() {
    KeysAsTexts();
    platform.WriteUtf16File("License/English.txt", L"English license");
    form.UserName = L"Maria";
    form.LanguageFilePath = platform.Folder() + L"\\Languages\\English.txt";
    form.LanguageAndRegionChosen = true;
    form.OsCode = L"1";
    form.MediaPlayerVersion = L"0";
  }
};

// Every outcome of one detection tick.
TEST_F(Identification, OutcomeTable) {
  Record mtp10;
  mtp10.mode = L"MTP";
  mtp10.mediaPlayer = L"10";
  Record mtp11 = mtp10;
  mtp11.mediaPlayer = L"11";
  Record xpOnly;
  xpOnly.osLevel = L"1";
  const struct {
    const char* name;
    Record record;
    std::vector<DeviceEntry> devices;
    const wchar_t* osCode;
    const wchar_t* mediaPlayer;
    bool usablePage;
    bool inventoryFails;
    Shown shown;
    const wchar_t* message;  // on the error page, after the user's name
    bool endsItself;
    bool refresh;
  } table[] = {
      {"one player", {}, {kPlayer200}, L"1", L"0", true, false, Shown::License, L"", false, true},
      {"one player on 6.0",
       {},
       {kPlayer200},
       L"2",
       L"0",
       true,
       false,
       Shown::License,
       L"",
       false,
       true},
      {"updater without 6.0",
       xpOnly,
       {kPlayer200},
       L"2",
       L"11",
       true,
       false,
       Shown::Error,
       L"IDS_NO_VISTA_UPDATES",
       true,
       true},
      {"MTP needing 10 on 11",
       mtp10,
       {kPlayer200},
       L"1",
       L"11",
       true,
       false,
       Shown::Error,
       L"IDS_WMP11_NOT_SUPPORTED",
       true,
       true},
      {"MTP needing 11 on 11",
       mtp11,
       {kPlayer200},
       L"1",
       L"11",
       true,
       false,
       Shown::License,
       L"",
       false,
       true},
      {"MTP needing 10 on 10",
       mtp10,
       {kPlayer200},
       L"1",
       L"10",
       true,
       false,
       Shown::License,
       L"",
       false,
       true},
      {"MTP needing 11 without media player",
       mtp11,
       {kPlayer200},
       L"1",
       L"0",
       true,
       false,
       Shown::License,
       L"",
       false,
       true},
      {"one recovery device",
       {},
       {kRecovery},
       L"1",
       L"0",
       true,
       false,
       Shown::SerialNumber,
       L"",
       false,
       true},
      {"player and recovery device",
       {},
       {kPlayer200, kRecovery},
       L"1",
       L"0",
       true,
       false,
       Shown::Error,
       L"IDS_MORE_DEVICES_FOUND",
       false,
       true},
      {"two players",
       {},
       {kPlayer200, kSecond200},
       L"1",
       L"0",
       true,
       false,
       Shown::Error,
       L"IDS_MORE_DEVICES_FOUND",
       false,
       true},
      {"no device",
       {},
       {},
       L"1",
       L"0",
       true,
       false,
       Shown::Error,
       L"IDS_NO_DEVICE_FOUND_MSG01",
       false,
       true},
      {"no device, unusable page",
       {},
       {},
       L"1",
       L"0",
       false,
       false,
       Shown::Error,
       L"IDS_PID_DATABASE_CONNECTION_FAILED",
       true,
       false},
      {"player, unusable page",
       {},
       {kPlayer200},
       L"1",
       L"0",
       false,
       false,
       Shown::Error,
       L"IDS_PID_DATABASE_CONNECTION_FAILED",
       true,
       false},
      {"unreadable inventory",
       {},
       {kPlayer200},
       L"1",
       L"0",
       true,
       true,
       Shown::Error,
       L"IDS_PID_DATABASE_CONNECTION_FAILED",
       true,
       false},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    FakePlatform p;
    frmMain f(p.program);
    p.WriteFile("Languages/English.txt", platform.ReadFile("Languages/English.txt"));
    p.WriteUtf16File("License/English.txt", L"English license");
    f.UserName = L"Maria";
    f.LanguageFilePath = p.Folder() + L"\\Languages\\English.txt";
    f.LanguageAndRegionChosen = true;
    f.OsCode = row.osCode;
    f.MediaPlayerVersion = row.mediaPlayer;
    p.html.pages[DatabaseAddress(f)] =
        FakePage{row.usablePage ? Page({RecordLine(row.record)}) : L"Not here", L"", 0};
    p.devices.devices = row.devices;
    p.devices.fails = row.inventoryFails;
    f.Timer3.SetEnabled(true);

    Timer2_Timer(f);

    EXPECT_FALSE(f.Timer2.Enabled());
    EXPECT_FALSE(f.Timer3.Enabled());
    EXPECT_FALSE(f.VistaProg1.Visible());
    EXPECT_EQ(f.Timer1.Enabled(), row.endsItself);
    EXPECT_EQ(f.UniRefresh.Enabled(), row.refresh);
    EXPECT_EQ(p.loop.mousePointer, MousePointer::Default);
    EXPECT_EQ(f.Frame_Error_Handling.Visible(), row.shown == Shown::Error);
    if (row.shown == Shown::Error) {
      EXPECT_EQ(f.Uni_Error_Label1.Caption(), std::wstring(L"Maria, ") + row.message);
    }
    const bool license = row.shown == Shown::License;
    EXPECT_EQ(f.Player_Detected_Frame1.Visible(), license);
    EXPECT_EQ(f.Cmd_I_Agree.Visible(), license);
    EXPECT_EQ(f.Cmd_I_Disagree.Visible(), license);
    EXPECT_EQ(f.UnitxtLicense.Visible(), license);
    EXPECT_EQ(f.Cmd_I_Agree.HasFocus(), license);
    if (license) {
      EXPECT_EQ(f.PlayerModel, L"Zanterix Fernclip 200");
      EXPECT_EQ(f.Player_Detected_Label.Caption(), L"Zanterix Fernclip 200");
      EXPECT_EQ(f.UnitxtLicense.Text(),
                L"\xFEFF"
                L"English license");
      EXPECT_EQ(f.VistaProg1.Value(), 100);
      EXPECT_TRUE(f.cmdExit.Visible());
      EXPECT_EQ(f.MscOnXp, Trim(row.record.mode) == L"MSC" && std::wstring(row.osCode) == L"1");
    }
    const bool serial = row.shown == Shown::SerialNumber;
    EXPECT_EQ(f.Frame_DetectPlayer_by_SNO.Visible(), serial);
    if (serial) {
      EXPECT_EQ(f.Frame_DetectPlayer_by_SNO.Left(), 180);
      EXPECT_EQ(f.Frame_DetectPlayer_by_SNO.Top(), 2620);
      EXPECT_EQ(f.Uni_PID3500_err_MSG.Caption(), L"IDS_ENTER_PLAYER_SNO");
      EXPECT_TRUE(f.Uni_PID3500_err_MSG.Visible());
      EXPECT_FALSE(f.UniLabel_New_Version_Info.Visible());
      EXPECT_EQ(f.Combo_Choose_Player.Text(), L"Choose Player");
      EXPECT_TRUE(f.Combo_Choose_Player.HasFocus());
      EXPECT_FALSE(f.cmdExit.Visible());
      EXPECT_EQ(f.SerialAttempts, 0);
    }
  }
}

TEST_F(Identification, ThePromptRepeatsUntilLanguageAndRegionAreChosen) {
  form.LanguageAndRegionChosen = false;
  form.Frame_DetectPlayer_by_SNO.SetVisible(true);
  form.Cmd_I_Agree.SetVisible(true);
  platform.loop.Advance(1000);
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"Maria, IDS_CHOOSE_REGION_LANGUAGE");
  EXPECT_FALSE(form.Frame_DetectPlayer_by_SNO.Visible());
  EXPECT_TRUE(form.Frame_Error_Handling.Visible());
  EXPECT_EQ(form.Frame_Error_Handling.Left(), 220);
  EXPECT_TRUE(form.cmdExit.Visible());
  EXPECT_FALSE(form.Cmd_I_Agree.Visible());
  EXPECT_TRUE(form.Timer2.Enabled());
  EXPECT_TRUE(platform.html.requests.empty());

  form.Uni_Error_Label1.SetCaption(L"");
  platform.loop.Advance(1000);
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"Maria, IDS_CHOOSE_REGION_LANGUAGE");
  EXPECT_TRUE(platform.html.requests.empty());

  ServeDatabase(Page({RecordLine({})}));
  form.LanguageAndRegionChosen = true;
  platform.loop.Advance(1000);
  EXPECT_EQ(platform.html.requests.size(), 1u);
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"Maria, IDS_NO_DEVICE_FOUND_MSG01");
  platform.loop.Advance(5000);
  EXPECT_EQ(platform.html.requests.size(), 1u);  // one detection, then the tick is off
}

// During the page wait the detection tick is already off: the animation runs, and a Refresh
// pressed meanwhile asks for one more detection, which is not cancelled afterwards.
TEST_F(Identification, TheDetectionTickIsOffWhileThePageLoads) {
  platform.loop.doEventsStepMs = 10;
  ServeDatabase(Page({RecordLine({})}), 2000);
  Connect(kRecovery.pnpDeviceId, kRecovery.name);
  int ticksDuringWait = 0;
  bool detectionTickOn = false;
  bool refreshDuringWait = false;
  std::size_t detections = 1;
  form.Timer3.OnTick = [&] {
    // The animation's tick stands in for the events that run during the page wait.
    if (platform.html.requests.size() != detections) return;
    ++ticksDuringWait;
    detectionTickOn = detectionTickOn || form.Timer2.Enabled();
    if (refreshDuringWait && ticksDuringWait == 10) form.Timer2.SetEnabled(true);
  };
  form.Timer3.SetEnabled(true);
  platform.loop.Advance(1000);  // the first detection tick starts the detection
  EXPECT_GT(ticksDuringWait, 50);
  EXPECT_FALSE(detectionTickOn);
  EXPECT_EQ(platform.html.requests.size(), 1u);
  EXPECT_TRUE(form.Frame_DetectPlayer_by_SNO.Visible());
  EXPECT_FALSE(form.Timer2.Enabled());

  // A Refresh pressed during a second detection's wait asks for one more detection.
  ticksDuringWait = 0;
  refreshDuringWait = true;
  detections = 2;
  form.Timer2.SetEnabled(true);
  form.Timer3.SetEnabled(true);
  platform.loop.Advance(1000);
  EXPECT_EQ(platform.html.requests.size(), 2u);
  EXPECT_TRUE(form.Timer2.Enabled());
  platform.loop.Advance(1000);
  EXPECT_EQ(platform.html.requests.size(), 3u);
}

TEST_F(Identification, AnimationRoundsHalfToEven) {
  const struct {
    int from;
    std::vector<int> then;
  } table[] = {{3, {4, 6, 8}}, {0, {2, 4}}, {7, {8, 10}}, {97, {98, 100, 100}}};
  for (const auto& row : table) {
    form.VistaProg1.SetValue(row.from);
    for (int expected : row.then) {
      Timer3_Timer(form);
      EXPECT_EQ(form.VistaProg1.Value(), expected) << "from " << row.from;
    }
  }
}

TEST_F(Identification, TheAnimationTicksEveryTwentyMilliseconds) {
  form.Timer2.SetEnabled(false);
  form.VistaProg1.SetValue(3);
  form.Timer3.SetEnabled(true);
  platform.loop.Advance(60);
  EXPECT_EQ(form.VistaProg1.Value(), 8);
}

}  // namespace
}  // namespace revivix::test
