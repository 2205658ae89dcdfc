#include <gtest/gtest.h>

#include "FormFixture.h"
#include "app/Pages.h"
#include "i18n/LanguageFile.h"

namespace revivix::test {
namespace {

struct Pages : FormTest {
  Pages() {
    form.UserName = L"alice";
    ResolveLanguageFile(form, true);
  }
};

TEST_F(Pages, ErrorShowsTheUserNameBeforeTheMessage) {
  ShowError(form, L"IDS_ADMIN_ERROR_MSG");
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"alice, you need administrator rights.");
  EXPECT_TRUE(form.Frame_Error_Handling.Visible());
  EXPECT_EQ(form.Frame_Error_Handling.Left(), 220);
  EXPECT_EQ(form.Frame_Error_Handling.Top(), 3160);
  EXPECT_TRUE(form.cmdExit.Visible());
  EXPECT_TRUE(form.cmdExit.Enabled());
  EXPECT_EQ(form.cmdExit.Left(), 6465);
  EXPECT_EQ(form.cmdExit.Top(), 6555);
  // The caller decides about the timers.
  EXPECT_TRUE(form.Timer2.Enabled());
  EXPECT_FALSE(form.Timer1.Enabled());
}

TEST_F(Pages, AMissingTextStillShowsTheName) {
  ShowError(form, L"IDS_PID_DATABASE_CONNECTION_FAILED");
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"alice, ");
}

TEST_F(Pages, ErrorPageHidesOnlyTheLicenseInstructionAndButtons) {
  for (Control* c : {&form.Info_Label, &form.Cmd_I_Agree, &form.Cmd_I_Disagree, &form.UnitxtLicense,
                     &form.Player_Detected_Frame1})
    c->SetVisible(true);
  form.UniRefresh.SetEnabled(false);
  ShowErrorPage(form);
  EXPECT_FALSE(form.Info_Label.Visible());
  EXPECT_FALSE(form.Cmd_I_Agree.Visible());
  EXPECT_FALSE(form.Cmd_I_Disagree.Visible());
  EXPECT_TRUE(form.UnitxtLicense.Visible());
  EXPECT_TRUE(form.Player_Detected_Frame1.Visible());
  EXPECT_TRUE(form.UniButton_Help.Visible());
  EXPECT_FALSE(form.UniRefresh.Enabled());
  // A frame hidden again keeps the place it was moved to.
  form.Frame_Error_Handling.SetVisible(false);
  EXPECT_EQ(form.Frame_Error_Handling.Left(), 220);
}

TEST_F(Pages, PageColourGoesToTheWindowAndItsControlsButNotTheBarsListAndLicense) {
  ApplyPageColours(form);
  std::vector<std::string> unpainted;
  for (Control* c : form.Controls())
    if (c->BackColor() != 0xEBEDED) unpainted.push_back(c->Name());
  EXPECT_EQ(form.Window.BackColor(), 0xEBEDEDu);
  EXPECT_EQ(unpainted,
            (std::vector<std::string>{"UnitxtLicense", "VistaProg1", "VistaProg2", "List1"}));
}

TEST_F(Pages, DesignLayoutOfTheControls) {
  const struct {
    Control* control;
    Control* container;
    TwipsRect rect;
    bool visible;
    const wchar_t* caption;
  } table[] = {
      {&form.Frame_Region_Lang, &form.Window, {165, 1260, 7675, 560}, true, L""},
      {&form.Combo_Language, &form.Frame_Region_Lang, {4540, 160, 3015, 315}, true, L""},
      {&form.UniLabel_New_Version_Info,
       &form.Frame_DetectPlayer_by_SNO,
       {600, 240, 6255, 495},
       false,
       L"A Revivix update is available. Do you want to update now?"},
      {&form.Label_SNO, &form.Frame_DetectPlayer_by_SNO, {1920, 1800, 300, 195}, true, L"S/N"},
      {&form.Cmd_Next, &form.Frame_DetectPlayer_by_SNO, {6000, 2760, 1335, 420}, true, L"Next"},
      {&form.Player_Detected_Label,
       &form.Player_Detected_Frame1,
       {1920, 220, 1950, 300},
       true,
       L"player detected"},
      {&form.VistaProg2, &form.Frame_4_Download_Progress, {120, 120, 4815, 225}, true, L""},
      {&form.Label_Total_FileSize,
       &form.Frame_4_Download_Progress,
       {4290, 360, 645, 180},
       true,
       L"/00.00 MB"},
      {&form.Cmd_I_Agree, &form.Window, {6480, 6555, 1335, 420}, false, L"Accept"},
      {&form.cmdExit, &form.Window, {6465, 6555, 1335, 420}, false, L"Exit"},
      {&form.List1, &form.Window, {9600, 240, 1335, 300}, true, L""},
  };
  for (const auto& row : table) {
    const Control& c = *row.control;
    EXPECT_EQ(c.Container(), row.container) << c.Name();
    EXPECT_EQ((std::vector<int>{c.Left(), c.Top(), c.Width(), c.Height()}),
              (std::vector<int>{row.rect.left, row.rect.top, row.rect.width, row.rect.height}))
        << c.Name();
    EXPECT_EQ(c.Visible(), row.visible) << c.Name();
    EXPECT_EQ(c.Caption(), row.caption) << c.Name();
  }
  EXPECT_EQ(form.Controls().size(), 30u);
  EXPECT_EQ(form.Window.Caption(), L"Zanterix Revivix");
  EXPECT_TRUE(form.Player_Detected_Label.Style().bold);
  EXPECT_EQ(form.Player_Detected_Label.ForeColor(), 0xC0u);
  EXPECT_FALSE(form.Frame_DetectPlayer_by_SNO.Style().border);
}

}  // namespace
}  // namespace revivix::test
