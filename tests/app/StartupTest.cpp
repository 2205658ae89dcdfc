#include <gtest/gtest.h>

#include <filesystem>

#include "DatabaseFixture.h"
#include "FormFixture.h"
#include "common/Text.h"

namespace revivix::test {
namespace {

using Startup = FormTest;

TEST_F(Startup, TheTenTimersHaveTheirIntervalsAndOnlyDetectionRunsFromCreation) {
  const struct {
    Timer* timer;
    int interval;
    bool enabled;
  } table[] = {{&form.Timer1, 30000, false}, {&form.Timer2, 1000, true},
               {&form.Timer3, 20, false},    {&form.Timer4, 1000, false},
               {&form.Timer5, 20, false},    {&form.Timer6, 2000, false},
               {&form.Timer7, 100, false},   {&form.Timer8, 100, false},
               {&form.Timer9, 200, false},   {&form.Timer10, 20, false}};
  for (const auto& row : table) {
    EXPECT_EQ(row.timer->Interval(), row.interval) << row.timer->Name();
    EXPECT_EQ(row.timer->Enabled(), row.enabled) << row.timer->Name();
    EXPECT_EQ(platform.loop.IsArmed(*row.timer), row.enabled) << row.timer->Name();
  }
  EXPECT_EQ(platform.loop.Remaining(form.Timer2), 1000);
}

TEST_F(Startup, StateStartsEmpty) {
  EXPECT_TRUE(form.LanguageFilePath.empty());
  EXPECT_TRUE(form.UserName.empty());
  EXPECT_TRUE(form.DatabaseLines.empty());
  EXPECT_EQ(form.SerialAttempts, 0);
  EXPECT_FALSE(form.LanguageAndRegionChosen);
  EXPECT_FALSE(form.UpdateAvailable);
  EXPECT_EQ(NumericValue(form.ShowCommand), 0);
}

TEST_F(Startup, AnEarlierCopyIsEndedOnlyWhenOneIsRunning) {
  platform.processes.ownId = 900;
  platform.processes.running = {{L"fernclip.exe", 800}, {L"fernclip.exe", 900}};
  Initialise(form);
  EXPECT_TRUE(platform.processes.terminated.empty());

  platform.processes.previousInstance = true;
  Initialise(form);
  EXPECT_EQ(platform.processes.terminated, std::vector<ProcessId>{800});
}

TEST_F(Startup, WindowLoadShapesTheWindowAndClearsLeftoverUpdaters) {
  platform.WriteFile("FW/old_updater.exe", "MZ");
  platform.WriteFile("FW/SECOND.EXE", "MZ");
  platform.WriteFile("FW/notes.txt", "keep");
  platform.WriteFile("FW/locked.exe", "MZ");
  std::filesystem::permissions(platform.folder.Path() + "/FW/locked.exe",
                               std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  form.UpdateAvailable = form.MscOnXp = form.LanguageAndRegionChosen = true;
  form.Window.SetWidth(100);

  FormLoad(form);

  EXPECT_EQ(form.Label_Actual_Size.Caption(), L"");
  EXPECT_EQ(form.Label_Total_FileSize.Caption(), L"");
  EXPECT_EQ(form.NoticeLabelTop, 240);
  EXPECT_FALSE(form.UpdateAvailable);
  EXPECT_FALSE(form.MscOnXp);
  EXPECT_FALSE(form.LanguageAndRegionChosen);
  EXPECT_EQ(platform.window.style, 0x16CF0000u & ~0x50000u);
  EXPECT_EQ(platform.window.removedMenuItems, std::vector<int>{4});
  EXPECT_TRUE(platform.window.topmost);
  EXPECT_EQ(form.Window.Width(), 8080);
  EXPECT_EQ(form.Window.Height(), 7565);
  EXPECT_FALSE(platform.Exists("FW/old_updater.exe"));
  EXPECT_FALSE(platform.Exists("FW/SECOND.EXE"));
  EXPECT_TRUE(platform.Exists("FW/notes.txt"));
  EXPECT_TRUE(platform.Exists("FW/locked.exe"));  // read-only files are not forced
}

TEST_F(Startup, WindowLoadWithoutAnFwFolderGoesOn) {
  std::filesystem::remove_all(platform.folder.Path() + "/FW");
  FormLoad(form);
  EXPECT_TRUE(platform.window.topmost);
  EXPECT_EQ(form.Window.Height(), 7565);
}

TEST_F(Startup, FirstActivationRunsTheChecksOnce) {
  form.VistaProg1.SetValue(60);
  form.Activate();
  EXPECT_EQ(form.VistaProg1.Value(), 0);
  EXPECT_EQ(form.Window.BackColor(), kPageColour);
  EXPECT_EQ(form.LanguageFilePath, platform.Folder() + L"\\Languages\\English.txt");

  form.VistaProg1.SetValue(60);
  form.Activate();
  EXPECT_EQ(form.VistaProg1.Value(), 60);
}

TEST_F(Startup, TheStartPageShowsNoExitButton) {
  // A computer on which every start-up check passes.
  platform.connection.reachable.insert(SiteAddress(platform.program));
  platform.html.pages[DatabaseAddress(form)] = FakePage{Page({RecordLine({})}), L"", 0};
  FormLoad(form);
  form.Activate();
  EXPECT_TRUE(form.Frame_Region_Lang.Visible());
  EXPECT_TRUE(form.UniButton_Help.Visible());
  EXPECT_TRUE(form.UniRefresh.Visible());
  for (Control* hidden : std::initializer_list<Control*>{
           &form.cmdExit, &form.Cmd_I_Agree, &form.Cmd_I_Disagree, &form.Frame_Error_Handling,
           &form.Frame_DetectPlayer_by_SNO, &form.Player_Detected_Frame1, &form.Info_Label,
           &form.UnitxtLicense, &form.VistaProg1, &form.Frame_4_Download_Progress})
    EXPECT_FALSE(hidden->Visible()) << hidden->Name();
  EXPECT_EQ(form.Frame_Error_Handling.Left(), 8280);
  EXPECT_EQ(form.Frame_DetectPlayer_by_SNO.Left(), 8280);
  EXPECT_TRUE(platform.loop.IsArmed(form.Timer2));
}

}  // namespace
}  // namespace revivix::test
