#include <gtest/gtest.h>

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
