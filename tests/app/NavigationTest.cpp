#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "NavigationFixture.h"
#include "app/Pages.h"
#include "app/UpdateNotice.h"

namespace revivix::test {
namespace {

// ---- The wizard's transitions, one row per event on a page ----

struct Transition {
  const char* name;
  std::function<void(NavigationTest&)> reach;  // brings the window onto the "from" page
  const char* from;
  std::function<void(NavigationTest&)> event;
  const char* to;
  const wchar_t* message;  // key of the text shown on the page reached; null for none
  bool endsAfter30s;
};

void PrintTo(const Transition& row, std::ostream* out) {
  *out << row.name;
}

void ReachNotice(NavigationTest& t) {
  t.form.UpdateAvailable = true;
  t.form.UpdateUrl = L"http://update.example.com/new";
  ShowUpdateNotice(t.form);
}

void ReachQuestion(NavigationTest& t) {
  t.OpenSerialPage();
  for (const wchar_t* serial : {L"0000", L"1111", L"2222"}) t.EnterSerial(serial);
}

void ReachErrorPage(NavigationTest& t) {
  ShowError(t.form, L"IDS_NO_DEVICE_FOUND_MSG01");
}

void Click(Control& c) {
  c.RaiseClick();
}

const Transition kTransitions[] = {
    {"NoticeYesOpensTheNewVersion", ReachNotice, "update notice",
     [](NavigationTest& t) { Click(t.form.CmdYes); }, "ended", nullptr, false},
    {"NoticeYesWithoutAddressDoesNothing",
     [](NavigationTest& t) {
       ReachNotice(t);
       t.form.UpdateUrl.clear();
     },
     "update notice", [](NavigationTest& t) { Click(t.form.CmdYes); }, "update notice", nullptr,
     false},
    {"NoticeNoReturnsToDetection", ReachNotice, "update notice",
     [](NavigationTest& t) { Click(t.form.CmdNo); }, "detecting", nullptr, false},
    {"ModelPickedFoundAndSupported", &NavigationTest::OpenSerialPage, "model and serial number",
     [](NavigationTest& t) {
       t.Pick(t.form.Combo_Choose_Player, L"Fernclip 200");
       Click(t.form.Cmd_Next);
     },
     "license", nullptr, false},
    {"ModelPickedButNotInTheDatabase",
     [](NavigationTest& t) {
       t.OpenSerialPage();
       t.form.DatabaseLines = {SampleDatabaseLines()[1], L""};
     },
     "model and serial number",
     [](NavigationTest& t) {
       t.Pick(t.form.Combo_Choose_Player, L"Fernclip 200");
       Click(t.form.Cmd_Next);
     },
     "model and serial number", L"IDS_ENTER_PLAYER_SNO", false},
    {"UnknownSerialAsksAgain", &NavigationTest::OpenSerialPage, "model and serial number",
     [](NavigationTest& t) { t.EnterSerial(L"X-0000"); }, "model and serial number",
     L"IDS_SNO_NOT_RECOGNISED_REENTER", false},
    {"KnownSerialSupported", &NavigationTest::OpenSerialPage, "model and serial number",
     [](NavigationTest& t) { t.EnterSerial(L"SN-77-ab12"); }, "license", nullptr, false},
    {"FoundButNotSupportedOnThisSystem",
     [](NavigationTest& t) {
       t.OpenSerialPage();
       t.form.OsCode = L"2";
     },
     "model and serial number", [](NavigationTest& t) { t.EnterSerial(L"7Q9Z"); }, "error",
     L"IDS_NO_VISTA_UPDATES", true},
    {"ThirdSerialAsksTheKnowledgeBaseQuestion",
     [](NavigationTest& t) {
       t.OpenSerialPage();
       t.EnterSerial(L"0000");
       t.EnterSerial(L"1111");
     },
     "model and serial number", [](NavigationTest& t) { t.EnterSerial(L"AB12"); },
     "knowledge-base question", L"IDS_VISIT_KB_MSG", false},
    {"QuestionYesOpensSupportAndEnds", ReachQuestion, "knowledge-base question",
     [](NavigationTest& t) { Click(t.form.CmdYes); }, "ended", nullptr, false},
    {"QuestionNoEnds", ReachQuestion, "knowledge-base question",
     [](NavigationTest& t) { Click(t.form.CmdNo); }, "ended", nullptr, false},
    {"LicenseDeclineEnds", &NavigationTest::OpenLicensePage, "license",
     [](NavigationTest& t) { Click(t.form.Cmd_I_Disagree); }, "ended", nullptr, false},
    {"RefreshOnAnErrorPageDetectsAgain", ReachErrorPage, "error",
     [](NavigationTest& t) { Click(t.form.UniRefresh); }, "detecting", nullptr, false},
    {"RefreshOnTheLicensePageDetectsAgain", &NavigationTest::OpenLicensePage, "license",
     [](NavigationTest& t) { Click(t.form.UniRefresh); }, "detecting", nullptr, false},
    {"ExitEnds", ReachErrorPage, "error", [](NavigationTest& t) { Click(t.form.cmdExit); }, "ended",
     nullptr, false},
    {"NextWithoutLanguageAsksForIt",
     [](NavigationTest& t) {
       t.OpenSerialPage();
       t.form.LanguageAndRegionChosen = false;
     },
     "model and serial number",
     [](NavigationTest& t) {
       t.Pick(t.form.Combo_Choose_Player, L"Fernclip 200");
       Click(t.form.Cmd_Next);
     },
     "error", L"IDS_CHOOSE_REGION_LANGUAGE", false},
};

struct Transitions : NavigationTest, testing::WithParamInterface<Transition> {};

TEST_P(Transitions, LeadFromPageToPage) {
  const Transition& row = GetParam();
  row.reach(*this);
  ASSERT_EQ(PageOf(form), row.from);
  row.event(*this);
  EXPECT_EQ(PageOf(form), row.to);
  if (row.message) {
    // Messages on the error page carry the user's name; those of the serial-number frame not.
    const bool errorPage = std::string(row.to) == "error";
    const Control& label = errorPage ? form.Uni_Error_Label1 : form.Uni_PID3500_err_MSG;
    EXPECT_EQ(label.Caption(), errorPage ? ErrorText(row.message) : Text(row.message));
  }
  EXPECT_EQ(form.Timer1.Enabled(), row.endsAfter30s);
}

INSTANTIATE_TEST_SUITE_P(Wizard, Transitions, testing::ValuesIn(kTransitions),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Next: by model ----

TEST_F(NavigationTest, PickingAModelEmptiesAndLocksTheSerialBoxUntilChoosePlayerIsPickedAgain) {
  OpenSerialPage();
  form.txtSNO.UserEdit(L"1234");
  Pick(form.Combo_Choose_Player, L"Fernclip 300");
  EXPECT_EQ(form.txtSNO.Text(), L"");
  EXPECT_FALSE(form.txtSNO.Enabled());
  EXPECT_TRUE(form.Cmd_Next.HasFocus());

  form.txtSNO.UserEdit(L"stale");
  Pick(form.Combo_Choose_Player, L"Choose Player");
  EXPECT_EQ(form.txtSNO.Text(), L"");
  EXPECT_TRUE(form.txtSNO.Enabled());
}

TEST_F(NavigationTest, AModelPickTakesOverItsLineAndOpensTheLicensePage) {
  OpenSerialPage();
  Pick(form.Combo_Choose_Player, L"Fernclip 200");
  form.Cmd_Next.RaiseClick();

  EXPECT_EQ(form.PlayerModel, L"Fernclip 200");
  EXPECT_EQ(form.PlayerOsLevel, L"2");
  EXPECT_EQ(form.PlayerMediaPlayerVersion, L"10");
  EXPECT_EQ(form.PlayerMode, L"MSC");
  EXPECT_EQ(form.FirmwareLinkTail, L"/fw/200.htm");
  EXPECT_EQ(form.FirmwareSiteEurope, L"http://eu.example.com");
  EXPECT_EQ(form.FirmwareSiteWorld, L"http://world.example.com");
  EXPECT_EQ(form.UpdaterTitle, L"FERNCLIP 200 FIRMWARE UPDATER");
  EXPECT_EQ(form.SupportUrl, L"http://support.example.com/200");
  EXPECT_EQ(form.SerialAttempts, 0);  // a model pick is no serial-number look-up

  // An MSC player on level 1: the instruction line speaks of the mass-storage mode.
  EXPECT_TRUE(form.MscOnXp);
  EXPECT_EQ(form.Info_Label.Caption(), Text(L"IDS_MSC_MESSAGE"));
  EXPECT_EQ(form.Player_Detected_Label.Caption(), L"Fernclip 200");
  EXPECT_FALSE(form.Frame_DetectPlayer_by_SNO.Visible());
  EXPECT_TRUE(form.Player_Detected_Frame1.Visible());
  EXPECT_TRUE(form.Player_Detected_Label.Visible());
  EXPECT_TRUE(form.Info_Label.Visible());
  EXPECT_EQ(form.UnitxtLicense.Text(), L"\xFEFFLicense in English");
  EXPECT_TRUE(form.UnitxtLicense.Visible());
  for (const Control* c : {&form.Cmd_I_Agree, &form.Cmd_I_Disagree, &form.cmdExit})
    EXPECT_TRUE(c->Visible()) << c->Name();
  EXPECT_FALSE(form.Timer1.Enabled());
}

TEST_F(NavigationTest, AModelPickMatchesWhateverTheCaseAndBlanksOfTheDatabaseLine) {
  OpenSerialPage();
  form.DatabaseLines[0] = L"PID_4157,  FERNCLIP 200  ,1,10,MTP,AB12,t,e,w,-,u,s,0,-";
  Pick(form.Combo_Choose_Player, L"Fernclip 200");
  form.Cmd_Next.RaiseClick();
  EXPECT_EQ(PageOf(form), "license");
  EXPECT_EQ(form.PlayerModel, L"FERNCLIP 200");
  EXPECT_FALSE(form.MscOnXp);
  EXPECT_EQ(form.Info_Label.Caption(), Text(L"IDS_LICENSE_AGREEMENT_MSG1"));
}

TEST_F(NavigationTest, TheDatabasesLastPieceAndShortLinesAreNeverExamined) {
  OpenSerialPage();
  const std::wstring model300 = SampleDatabaseLines()[1];
  // The page's last piece holds the only line of model 300; a short line comes before it.
  form.DatabaseLines = {L"PID_4157,Fernclip 300,1", model300};
  Pick(form.Combo_Choose_Player, L"Fernclip 300");
  form.Cmd_Next.RaiseClick();
  EXPECT_EQ(PageOf(form), "model and serial number");
  EXPECT_EQ(form.PlayerModel, L"");

  // Nothing at all to scan: nothing happens either.
  form.DatabaseLines.clear();
  form.Cmd_Next.RaiseClick();
  EXPECT_EQ(PageOf(form), "model and serial number");
}

TEST_F(NavigationTest, AFailedModelScanLeavesTheSupportPageOfTheLastLineExamined) {
  OpenSerialPage();
  form.DatabaseLines = {SampleDatabaseLines()[1], SampleDatabaseLines()[2], L""};
  Pick(form.Combo_Choose_Player, L"Fernclip 200");
  form.Cmd_Next.RaiseClick();
  EXPECT_EQ(form.SupportUrl, L"http://support.example.com/rec");
}

// ---- Next: by serial number ----

TEST_F(NavigationTest, SerialRoadTwoUnknownNumbersThenTheThirdEntryAsksTheQuestion) {
  OpenSerialPage();
  const int messageTop = form.Uni_PID3500_err_MSG.Top();

  // An empty box (blanks only) does nothing and counts no attempt.
  EnterSerial(L"   ");
  EXPECT_EQ(form.SerialAttempts, 0);
  EXPECT_EQ(form.Uni_PID3500_err_MSG.Caption(), Text(L"IDS_ENTER_PLAYER_SNO"));

  for (int attempt = 1; attempt <= 2; ++attempt) {
    EnterSerial(L"ZZ-000" + std::to_wstring(attempt));
    platform.loop.Advance(1000);
    EXPECT_EQ(form.SerialAttempts, attempt);
    EXPECT_EQ(form.Uni_PID3500_err_MSG.Caption(), Text(L"IDS_SNO_NOT_RECOGNISED_REENTER"));
    EXPECT_EQ(form.txtSNO.Text(), L"");
    EXPECT_TRUE(form.txtSNO.HasFocus());
    EXPECT_EQ(PageOf(form), "model and serial number");
  }

  // The third entry is not looked up, even though it names model 200.
  EnterSerial(L"AB12");
  EXPECT_EQ(form.SerialAttempts, 3);
  EXPECT_EQ(PageOf(form), "knowledge-base question");
  EXPECT_EQ(form.PlayerModel, L"");
  for (const Control* c : {&form.txtSNO, &form.Label_SNO, &form.Combo_Choose_Player,
                           &form.Label_Player, &form.Cmd_Next})
    EXPECT_FALSE(c->Visible()) << c->Name();
  EXPECT_TRUE(form.CmdYes.Visible());
  EXPECT_TRUE(form.CmdNo.Visible());
  EXPECT_TRUE(form.CmdYes.HasFocus());
  EXPECT_EQ(form.Uni_PID3500_err_MSG.Top(), messageTop + 300);
  EXPECT_EQ(form.Uni_PID3500_err_MSG.Caption(), Text(L"IDS_VISIT_KB_MSG"));
  EXPECT_FALSE(form.Timer1.Enabled());
}

TEST_F(NavigationTest, SerialNumbersMatchOnTheirLastFourCharactersInAnyCase) {
  const struct {
    const wchar_t* serial;
    const wchar_t* model;  // "" when no line matches
  } cases[] = {
      {L"AB12", L"Fernclip 200"},
      {L"  sn0042ab12  ", L"Fernclip 200"},
      {L"7Q9Z", L"Fernclip 300"},
      {L"XYZ-7q9z", L"Fernclip 300"},
      {L"AB12-0", L""},
      {L"B12", L""},
      {L"N/A", L""},  // a model without serial numbers cannot be chosen by one
      {L"recorder N/A", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.serial));
    OpenSerialPage();
    form.PlayerModel.clear();
    EnterSerial(c.serial);
    EXPECT_EQ(form.PlayerModel, c.model);
    EXPECT_EQ(form.txtSNO.Text(), L"");  // cleared on both outcomes
    EXPECT_EQ(form.SerialAttempts, 1);
  }
}

TEST_F(NavigationTest, AnIdentifiedPlayerWhoseUpdaterStopsBelowThisSystemEndsAfterThirtySeconds) {
  OpenSerialPage();
  form.OsCode = L"2";
  EnterSerial(L"7Q9Z");
  EXPECT_EQ(PageOf(form), "error");
  EXPECT_FALSE(form.Frame_DetectPlayer_by_SNO.Visible());
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), ErrorText(L"IDS_NO_VISTA_UPDATES"));
  EXPECT_TRUE(form.cmdExit.Visible());
  EXPECT_FALSE(form.UnitxtLicense.Visible());
  platform.loop.Advance(29999);
  EXPECT_FALSE(form.Unloaded());
  platform.loop.Advance(1);
  EXPECT_TRUE(form.Unloaded());
}

// ---- Yes, No and the update notice ----

TEST_F(NavigationTest, NoOnTheNoticeKeepsTheUpdateAnnouncedForTheKnowledgeBaseQuestion) {
  ReachNotice(*this);
  form.CmdNo.RaiseClick();
  EXPECT_TRUE(form.UpdateAvailable);
  EXPECT_TRUE(form.Timer2.Enabled());
  EXPECT_TRUE(form.Timer3.Enabled());

  // A later question answered No returns to the detection instead of ending the program.
  ReachQuestion(*this);
  form.CmdNo.RaiseClick();
  EXPECT_FALSE(form.Unloaded());
  EXPECT_EQ(PageOf(form), "detecting");
  EXPECT_EQ(form.Uni_PID3500_err_MSG.Top(), 240);
  EXPECT_FALSE(form.CmdYes.Visible());
  EXPECT_TRUE(platform.shell.calls.empty());

  // Answered Yes it opens the newer version's page, not the support page.
  ReachQuestion(*this);
  form.CmdYes.RaiseClick();
  ASSERT_EQ(platform.shell.calls.size(), 1u);
  EXPECT_EQ(platform.shell.calls[0].file, L"http://update.example.com/new");
  EXPECT_TRUE(form.Unloaded());
}

TEST_F(NavigationTest, NoReturnsEveryDetectionControlAndRefreshButKeepsTheNoticeLabel) {
  ReachNotice(*this);
  form.VistaProg1.SetValue(70);
  form.Cmd_I_Agree.SetEnabled(false);
  form.Combo_Region.SetEnabled(false);
  form.PlayerModel = L"old";
  form.CmdNo.RaiseClick();

  EXPECT_EQ(form.PlayerModel, L"");
  EXPECT_TRUE(form.UniRefresh.Visible());
  EXPECT_TRUE(form.Cmd_Next.Visible());
  EXPECT_EQ(form.VistaProg1.Value(), 0);
  EXPECT_TRUE(form.VistaProg1.Visible());
  EXPECT_FALSE(form.Frame_DetectPlayer_by_SNO.Visible());
  EXPECT_FALSE(form.Frame_Error_Handling.Visible());
  EXPECT_TRUE(form.Cmd_I_Agree.Enabled());
  EXPECT_FALSE(form.Cmd_I_Agree.Visible());
  EXPECT_TRUE(form.Combo_Region.Enabled());
  for (const Control* c :
       {&form.Label_Player, &form.Combo_Choose_Player, &form.Label_SNO, &form.txtSNO})
    EXPECT_TRUE(c->Visible()) << c->Name();
  EXPECT_FALSE(form.CmdYes.Visible());
  EXPECT_FALSE(form.CmdNo.Visible());
  // The serial-number page hides the notice label when it opens the frame again.
  EXPECT_TRUE(form.UniLabel_New_Version_Info.Visible());
  EXPECT_EQ(form.Uni_PID3500_err_MSG.Top(), 240);
}

TEST_F(NavigationTest, YesOnTheQuestionOpensTheSupportPageOrTheGeneralArticleWithoutScheme) {
  ReachQuestion(*this);
  form.SupportUrl = L"http://support.example.com/200";
  form.CmdYes.RaiseClick();
  ASSERT_EQ(platform.shell.calls.size(), 1u);
  const FakeShell::Call& call = platform.shell.calls[0];
  EXPECT_EQ(call.verb, L"open");
  EXPECT_EQ(call.file, L"http://support.example.com/200");
  EXPECT_EQ(call.parameters, L"0");
  EXPECT_EQ(call.directory, L"0");
  EXPECT_EQ(call.showCommand, 0);
  EXPECT_TRUE(form.Unloaded());
}

TEST_F(NavigationTest, YesWithoutSupportPageOpensTheGeneralArticleAndEndsEvenWhenTheShellFails) {
  ReachQuestion(*this);
  form.SupportUrl = L"   ";
  platform.shell.result = 2;  // file not found
  form.CmdYes.RaiseClick();
  ASSERT_EQ(platform.shell.calls.size(), 1u);
  EXPECT_EQ(platform.shell.calls[0].file,
            L"www.zanterix.com/language.asp?sDestUrl=/support/kb/article.asp?sid=49688");
  EXPECT_TRUE(form.Unloaded());
}

TEST_F(NavigationTest, HelpOpensTheSupportPageOrTheGeneralArticleAndTheWizardStays) {
  form.UniButton_Help.RaiseClick();
  ASSERT_EQ(platform.shell.calls.size(), 1u);
  EXPECT_EQ(platform.shell.calls[0].file,
            L"http://www.zanterix.com/language.asp?sDestUrl=/support/kb/article.asp?sid=49688");
  OpenLicensePage();
  form.UniButton_Help.RaiseClick();
  ASSERT_EQ(platform.shell.calls.size(), 2u);
  EXPECT_EQ(platform.shell.calls[1].file, L"http://support.example.com/200");
  EXPECT_EQ(PageOf(form), "license");
  EXPECT_FALSE(form.Unloaded());
}

// The wizard runs with administrator rights: a database value that is no web address would
// start a program through the shell. It is not opened; the step goes on as if the shell failed.
TEST_F(NavigationTest, YesAndHelpHandOnlyWebAddressesToTheShell) {
  const wchar_t* const unsafe[] = {L"C:\\Windows\\system32\\calc.exe", L"fw\\updater.exe",
                                   L"file:///C:/evil.exe", L"\\\\server\\share\\x.exe",
                                   L"cmd.exe /c calc"};
  for (const wchar_t* address : unsafe) {
    SCOPED_TRACE(ToUtf8(address));
    form.SupportUrl = address;
    form.UniButton_Help.RaiseClick();
    EXPECT_TRUE(platform.shell.calls.empty());
    EXPECT_FALSE(form.Unloaded());
  }
  ReachNotice(*this);
  form.UpdateUrl = L"C:\\Temp\\newversion.exe";
  form.CmdYes.RaiseClick();
  EXPECT_TRUE(platform.shell.calls.empty());
  EXPECT_TRUE(form.Unloaded());  // as after a failed shell request
}

// ---- Decline, Refresh ----

TEST_F(NavigationTest, DeclineDeletesTheDownloadedUpdaterAndEnds) {
  OpenLicensePage();
  platform.WriteFile("FW/Fernclip200.exe", "MZ");
  form.UpdaterPath = platform.Folder() + L"\\FW\\Fernclip200.exe";
  form.Cmd_I_Disagree.RaiseClick();
  EXPECT_FALSE(platform.Exists("FW/Fernclip200.exe"));
  EXPECT_TRUE(form.Unloaded());
  EXPECT_EQ(platform.window.destroyed, 1);
}

TEST_F(NavigationTest, DeclineEndsAlsoWhenTheUpdaterCannotBeDeleted) {
  OpenLicensePage();
  form.UpdaterPath = platform.Folder() + L"\\FW\\missing.exe";
  form.Cmd_I_Disagree.RaiseClick();
  EXPECT_TRUE(form.Unloaded());
}

TEST_F(NavigationTest, RefreshDuringTheQuestionKeepsYesNoAndTheLoweredMessage) {
  ReachQuestion(*this);
  const int loweredTop = form.Uni_PID3500_err_MSG.Top();
  form.UniRefresh.RaiseClick();
  EXPECT_EQ(PageOf(form), "detecting");
  EXPECT_FALSE(form.UniRefresh.Enabled());
  EXPECT_TRUE(form.Timer2.Enabled());
  EXPECT_TRUE(form.Timer3.Enabled());
  // When the detection shows the frame again, Yes and No are still in it.
  EXPECT_TRUE(form.CmdYes.Visible());
  EXPECT_TRUE(form.CmdNo.Visible());
  EXPECT_EQ(form.Uni_PID3500_err_MSG.Top(), loweredTop);
  EXPECT_TRUE(form.Cmd_Next.Visible());
  EXPECT_TRUE(form.txtSNO.Visible());
}

TEST_F(NavigationTest, RefreshWithoutLanguageOnlyRestartsTheDetectionTick) {
  OpenLicensePage();
  form.LanguageAndRegionChosen = false;
  form.UniRefresh.RaiseClick();
  EXPECT_FALSE(form.UniRefresh.Enabled());
  EXPECT_FALSE(form.UnitxtLicense.Visible());
  EXPECT_FALSE(form.Player_Detected_Frame1.Visible());
  EXPECT_TRUE(form.Timer2.Enabled());
  // The license buttons stay as they were; the detection tick will ask for the language.
  EXPECT_TRUE(form.Cmd_I_Agree.Visible());
  EXPECT_EQ(form.PlayerModel, L"Fernclip 200");
}

}  // namespace
}  // namespace revivix::test
