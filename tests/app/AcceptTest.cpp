#include <gtest/gtest.h>

#include "DownloadFixture.h"

namespace revivix::test {
namespace {

using Accept = DownloadTest;

const std::wstring kAcceptedUpdater = L"http://site/fw/FC200_Updater.exe";

TEST_F(Accept, EuropeReadsTheEuropeanLinkPageDownloadsAndHandsOverToTheTimers) {
  LinkPage(L"http://site/eu/fc200.htm", kAcceptedUpdater);
  platform.download.transfers[kAcceptedUpdater] = FakeTransfer::Of(ProgramBytes(), 4);
  form.Cmd_I_Agree.RaiseClick();

  EXPECT_EQ(platform.html.requests, std::vector<std::wstring>{L"http://site/eu/fc200.htm"});
  EXPECT_EQ(form.UpdaterUrl, kAcceptedUpdater);
  ASSERT_EQ(platform.download.requests.size(), 1u);
  EXPECT_EQ(platform.download.requests[0].file, FwPath(L"FC200_Updater.exe"));
  ASSERT_EQ(platform.shell.calls.size(), 1u);
  EXPECT_FALSE(form.Frame_4_Download_Progress.Visible());
  EXPECT_TRUE(platform.loop.IsArmed(form.Timer4));
  EXPECT_TRUE(platform.loop.IsArmed(form.Timer5));
  EXPECT_FALSE(form.Cmd_I_Agree.Enabled());
  EXPECT_FALSE(form.Cmd_I_Disagree.Enabled());
  EXPECT_FALSE(form.Combo_Region.Enabled());
  EXPECT_FALSE(form.Combo_Language.Enabled());
  EXPECT_FALSE(form.UnitxtLicense.Visible());
  EXPECT_FALSE(form.UniRefresh.Enabled());
}

TEST_F(Accept, RestOfTheWorldReadsTheWorldLinkPage) {
  form.Combo_Region.SetText(L"Rest of the World");
  LinkPage(L"http://site/world/fc200.htm", kAcceptedUpdater);
  platform.download.transfers[kAcceptedUpdater] = FakeTransfer::Of(ProgramBytes(), 1);
  form.Cmd_I_Agree.RaiseClick();
  EXPECT_EQ(platform.html.requests, std::vector<std::wstring>{L"http://site/world/fc200.htm"});
  EXPECT_EQ(platform.shell.calls.size(), 1u);
}

TEST_F(Accept, WithoutRegionAndLanguageOnlyTheMessageShows) {
  form.Combo_Language.SetText(L"Choose Language");
  form.Cmd_I_Agree.RaiseClick();
  EXPECT_FALSE(form.LanguageAndRegionChosen);
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"ann, choose.");
  EXPECT_TRUE(form.Frame_Error_Handling.Visible());
  EXPECT_EQ(form.Frame_Error_Handling.Left(), 220);
  EXPECT_EQ(form.Frame_Error_Handling.Top(), 3160);
  EXPECT_FALSE(form.UnitxtLicense.Visible());
  EXPECT_FALSE(form.Info_Label.Visible());
  // The buttons stay as they were.
  EXPECT_TRUE(form.Cmd_I_Agree.Visible());
  EXPECT_TRUE(form.Cmd_I_Agree.Enabled());
  EXPECT_TRUE(form.Cmd_I_Disagree.Visible());
  EXPECT_TRUE(platform.html.requests.empty());
}

TEST_F(Accept, NoLinkShowsTheOfflineMessageAndDownloadsNothing) {
  const struct {
    const char* name;
    const wchar_t* region;
    std::wstring html;
  } cases[] = {
      {"no links", L"Europe", L"<HTML><BODY>nothing here</BODY></HTML>"},
      {"twenty-one links", L"Europe", L""},
      {"no region selected", L"", L"<A HREF=\"http://site/fw/u.exe\">"},
  };
  for (const auto& c : cases) {
    FakePlatform p;
    frmMain f{p.program};
    p.WriteFile("Languages/English.txt", "[Strings]\r\nIDS_FW_SITE_OFFLINE=offline.\r\n");
    f.LanguageFilePath = p.Folder() + L"\\Languages\\English.txt";
    f.UserName = L"ann";
    FillLanguageAndRegionLists(f);
    f.Combo_Language.SetText(L"English");
    if (*c.region) f.Combo_Region.SetText(c.region);
    f.FirmwareSiteEurope = L"http://site/eu/";
    f.FirmwareLinkTail = L"fc200.htm";
    std::wstring html = c.html;
    if (html.empty())
      for (int i = 0; i < 21; ++i) html += L"<A HREF=\"http://site/fw/u.exe\">";
    p.html.pages[L"http://site/eu/fc200.htm"].html = html;
    f.Cmd_I_Agree.SetVisible(true);
    f.Cmd_I_Agree.RaiseClick();
    EXPECT_EQ(f.Uni_Error_Label1.Caption(), L"ann, offline.") << c.name;
    EXPECT_TRUE(f.Frame_Error_Handling.Visible()) << c.name;
    EXPECT_FALSE(f.Cmd_I_Agree.Visible()) << c.name;
    EXPECT_TRUE(f.cmdExit.Visible()) << c.name;
    EXPECT_TRUE(f.cmdExit.Enabled()) << c.name;
    EXPECT_TRUE(p.download.requests.empty()) << c.name;
    // The page stays until the user leaves.
    EXPECT_FALSE(p.loop.IsArmed(f.Timer1)) << c.name;
    EXPECT_FALSE(p.loop.IsArmed(f.Timer6)) << c.name;
    EXPECT_FALSE(p.loop.IsArmed(f.Timer4)) << c.name;
  }
}

TEST_F(Accept, AFailedDownloadStillEnablesTheAutomationTimersAndEndsByTimer6) {
  LinkPage(L"http://site/eu/fc200.htm", kAcceptedUpdater);
  FakeTransfer t = FakeTransfer::Of("", 1);
  t.result = kResourceNotFound;
  platform.download.transfers[kAcceptedUpdater] = t;
  form.Cmd_I_Agree.RaiseClick();
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"ann, unexpected.");
  EXPECT_TRUE(platform.loop.IsArmed(form.Timer6));
  EXPECT_TRUE(platform.loop.IsArmed(form.Timer4));
  platform.loop.Advance(2000);
  EXPECT_TRUE(form.Unloaded());
}

TEST_F(Accept, AMissingFileEndsTheWizardWithoutArmingTheTimers) {
  LinkPage(L"http://site/eu/fc200.htm", kAcceptedUpdater);
  FakeTransfer t = FakeTransfer::Of(ProgramBytes(), 1);
  t.writesFile = false;
  platform.download.transfers[kAcceptedUpdater] = t;
  form.Cmd_I_Agree.RaiseClick();
  EXPECT_TRUE(form.Unloaded());
  EXPECT_FALSE(platform.loop.IsArmed(form.Timer4));
  EXPECT_FALSE(platform.loop.IsArmed(form.Timer5));
}

TEST_F(Accept, ExitAfterTheDownloadLeavesNoUpdaterBehind) {
  LinkPage(L"http://site/eu/fc200.htm", kAcceptedUpdater);
  platform.download.transfers[kAcceptedUpdater] = FakeTransfer::Of(ProgramBytes(), 1);
  form.Cmd_I_Agree.RaiseClick();
  ASSERT_TRUE(platform.Exists("FW/FC200_Updater.exe"));
  form.cmdExit.RaiseClick();
  EXPECT_FALSE(platform.Exists("FW/FC200_Updater.exe"));
}

}  // namespace
}  // namespace revivix::test
