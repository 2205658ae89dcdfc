#include <gtest/gtest.h>

#include "NavigationFixture.h"
#include "app/UpdateNotice.h"

namespace revivix::test {
namespace {

using UpdateNotice = NavigationTest;

TEST_F(UpdateNotice, WithoutANewerVersionNothingChanges) {
  form.UpdateAvailable = false;
  ShowUpdateNotice(form);
  EXPECT_TRUE(form.Timer2.Enabled());
  EXPECT_EQ(PageOf(form), "start");
  EXPECT_EQ(platform.loop.Remaining(form.Timer2), 1000 - 40);  // the tick comes as before
}

TEST_F(UpdateNotice, ANewerVersionStopsTheDetectionAndAsksYesOrNo) {
  form.UpdateAvailable = true;
  form.UnitxtLicense.SetVisible(true);
  ShowUpdateNotice(form);
  EXPECT_EQ(PageOf(form), "update notice");
  EXPECT_FALSE(form.Timer2.Enabled());
  EXPECT_EQ(form.UniLabel_New_Version_Info.Top(), form.NoticeLabelTop + 300);
  EXPECT_EQ(form.UniLabel_New_Version_Info.Caption(), Text(L"IDS_NEW_VERSION_AVAILABLE"));
  EXPECT_FALSE(form.Uni_PID3500_err_MSG.Visible());
  for (const Control* c : {&form.UnitxtLicense, &form.Label_Player, &form.Combo_Choose_Player,
                           &form.Label_SNO, &form.txtSNO, &form.Cmd_Next, &form.UniRefresh})
    EXPECT_FALSE(c->Visible()) << c->Name();
  EXPECT_EQ(form.Frame_DetectPlayer_by_SNO.Left(), 180);
  EXPECT_EQ(form.Frame_DetectPlayer_by_SNO.Top(), 2620);
  EXPECT_TRUE(form.CmdYes.Visible());
  EXPECT_TRUE(form.CmdNo.Visible());
  // The detection does not start while the notice is open.
  platform.loop.Advance(5000);
  EXPECT_EQ(PageOf(form), "update notice");
}

TEST_F(UpdateNotice, WhileAListShowsItsPlaceholderTheLanguageIsAskedForInstead) {
  Pick(form.Combo_Region, L"Choose Region");
  form.UpdateAvailable = true;
  form.Timer1.SetEnabled(false);
  ShowUpdateNotice(form);
  EXPECT_EQ(PageOf(form), "error");
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), ErrorText(L"IDS_CHOOSE_REGION_LANGUAGE"));
  EXPECT_FALSE(form.Timer2.Enabled());
  EXPECT_FALSE(form.Timer1.Enabled());
  EXPECT_FALSE(form.CmdYes.Visible());
  EXPECT_TRUE(form.cmdExit.Visible());
  EXPECT_EQ(form.cmdExit.Left(), 6465);
  // Refresh is the way on: it restarts the detection tick.
  form.UniRefresh.RaiseClick();
  EXPECT_TRUE(form.Timer2.Enabled());
}

}  // namespace
}  // namespace revivix::test
