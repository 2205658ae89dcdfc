#include <gtest/gtest.h>

#include <utility>

#include "FormFixture.h"

namespace revivix::test {
namespace {

using Quit = FormTest;

TEST_F(Quit, ExitDeletesTheUpdaterAndClosesTheWindowOnce) {
  platform.WriteFile("FW/updater.exe", "MZ");
  form.UpdaterPath = platform.Folder() + L"\\fw\\updater.exe";
  form.Timer1.SetEnabled(true);
  form.cmdExit.RaiseClick();
  EXPECT_FALSE(platform.Exists("FW/updater.exe"));
  EXPECT_EQ(platform.window.destroyed, 1);
  EXPECT_TRUE(form.Unloaded());
  EXPECT_FALSE(platform.program.FileSystemCreated());
  for (Timer* t : form.Timers()) EXPECT_FALSE(platform.loop.IsArmed(*t)) << t->Name();
  // A close request arriving while or after the window closes changes nothing more.
  form.CloseRequest();
  QuitWizard(form);
  EXPECT_EQ(platform.window.destroyed, 1);
}

// A running program's file cannot be deleted: an updater that the wizard has just closed is given
// a short while to end before its file is deleted, and one that stays is left for the next start.
TEST_F(Quit, ExitWaitsBrieflyForAClosedUpdaterToEndBeforeDeletingIt) {
  for (const bool ends : {true, false}) {
    FakePlatform p;
    frmMain f{p.program};
    p.WriteFile("FW/updater.exe", "MZ");
    f.UpdaterPath = p.Folder() + L"\\fw\\updater.exe";
    f.closingUpdater = 7100;
    bool fileThereDuringTheWait = false;
    p.processes.onWait = [&](ProcessId) {
      fileThereDuringTheWait = p.Exists("FW/updater.exe");
      return ends;
    };
    f.cmdExit.RaiseClick();
    ASSERT_EQ(p.processes.waits.size(), 1u);
    EXPECT_EQ(p.processes.waits[0], std::make_pair(ProcessId{7100}, kUpdaterEndWaitMs));
    EXPECT_LE(kUpdaterEndWaitMs, 5000);
    EXPECT_TRUE(fileThereDuringTheWait);
    EXPECT_FALSE(p.Exists("FW/updater.exe"));
    EXPECT_EQ(p.window.destroyed, 1);
  }
  // Without an updater that the wizard closed, the exit waits for nothing.
  form.cmdExit.RaiseClick();
  EXPECT_TRUE(platform.processes.waits.empty());
}

TEST_F(Quit, TheWindowsCloseButtonEndsTheProgram) {
  form.CloseRequest();
  EXPECT_EQ(platform.window.destroyed, 1);
  EXPECT_TRUE(form.Quitting());
}

TEST_F(Quit, ErrorTimersEndTheProgramByThemselves) {
  form.Timer1.SetEnabled(true);
  platform.loop.Advance(29999);
  EXPECT_EQ(platform.window.destroyed, 0);
  platform.loop.Advance(1);
  EXPECT_EQ(platform.window.destroyed, 1);

  FakePlatform other;
  frmMain second{other.program};
  second.Timer6.SetEnabled(true);
  other.loop.Advance(2000);
  EXPECT_EQ(other.window.destroyed, 1);
  // The detection tick has stopped with the window.
  EXPECT_FALSE(other.loop.IsArmed(second.Timer2));
}

TEST_F(Quit, NoUpdaterIsFine) {
  form.UpdaterPath = platform.Folder() + L"\\fw\\never_downloaded.exe";
  QuitWizard(form);
  EXPECT_EQ(platform.window.destroyed, 1);
}

}  // namespace
}  // namespace revivix::test
