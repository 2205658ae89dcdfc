#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "DownloadFixture.h"
#include "common/Text.h"
#include "download/FirmwareDownload.h"

namespace revivix::test {
namespace {

// ---- FindUpdaterLink ----

std::wstring Anchors(int count) {
  std::wstring html = L"<HTML><BODY>";
  for (int i = 1; i <= count; ++i)
    html += L"<A HREF=\"http://site/fw/u" + std::to_wstring(i) + L".exe\">u</A>";
  return html + L"</BODY></HTML>";
}

struct LinkCase {
  const char* name;
  std::wstring html;
  std::wstring expected;
  bool offlineShown;
};

TEST_F(DownloadTest, FindUpdaterLinkPicksTheLastOfOneToTwentyLinks) {
  const std::vector<LinkCase> cases = {
      {"no links", Anchors(0), L"", true},
      {"one", Anchors(1), L"http://site/fw/u1.exe", false},
      {"twenty", Anchors(20), L"http://site/fw/u20.exe", false},
      {"twenty-one: empty result, no message here", Anchors(21), L"", false},
      {"twenty-two", Anchors(22), L"", true},
      {"empty page", L"", L"", true},
      {"blank page", L"     ", L"", true},
      {"lower-case anchors do not split, all quoted texts still count",
       L"<a href=\"http://a/1.exe\">1</a><a href=\"http://a/2.exe\">2</a>", L"http://a/2.exe",
       false},
      {"a link in the document type counts",
       L"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
       L"\"http://www.w3.org/TR/html4/strict.dtd\">"
       L"<HTML><BODY>no anchors</BODY></HTML>",
       L"http://www.w3.org/TR/html4/strict.dtd", false},
      {"the text before the first anchor counts, the anchor wins",
       L"<HEAD><LINK HREF=\"http://site/style.css\"></HEAD><A HREF=\"http://site/fw/upd.exe\">",
       L"http://site/fw/upd.exe", false},
      {"single quotes: the whole piece is the text",
       L"<BODY><A HREF='http://site/fw/upd.exe'>Get</A></BODY>",
       L"'http://site/fw/upd.exe'>Get</A></BODY>", false},
      {"case of HTTP does not matter", L"<A HREF=\"HtTp://site/fw/Up.exe\">",
       L"HtTp://site/fw/Up.exe", false},
      {"anchor without HTTP is skipped", L"<A HREF=\"upd.exe\">x</A><A HREF=\"http://s/a.exe\">",
       L"http://s/a.exe", false},
  };
  for (const LinkCase& c : cases) {
    FakePlatform p;
    frmMain f{p.program};
    p.WriteFile("Languages/English.txt", "[Strings]\r\nIDS_FW_SITE_OFFLINE=offline.\r\n");
    f.LanguageFilePath = p.Folder() + L"\\Languages\\English.txt";
    f.UserName = L"ann";
    f.cmdExit.SetVisible(true);
    p.html.pages[L"http://site/links.htm"].html = c.html;
    std::wstring url = L"http://site/links.htm";
    EXPECT_EQ(FindUpdaterLink(f, url), c.expected) << c.name;
    EXPECT_EQ(f.Frame_Error_Handling.Visible(), c.offlineShown) << c.name;
    if (c.offlineShown) {
      EXPECT_EQ(f.Uni_Error_Label1.Caption(), L"ann, offline.") << c.name;
      EXPECT_FALSE(f.UnitxtLicense.Visible());
      EXPECT_FALSE(f.Cmd_I_Agree.Visible());
      EXPECT_FALSE(f.Cmd_I_Disagree.Visible());
      EXPECT_FALSE(f.Info_Label.Visible());
      // The error page gives Exit back.
      EXPECT_TRUE(f.cmdExit.Visible());
      EXPECT_TRUE(f.cmdExit.Enabled());
      EXPECT_EQ(f.cmdExit.Left(), 6465);
    }
  }
}

TEST_F(DownloadTest, FindUpdaterLinkWaitsForTheSlowPageWhileEventsRun) {
  FakePage& page = platform.html.pages[L"http://site/slow.htm"];
  page.html = Anchors(2);
  page.delayMs = 500;
  int ticks = 0;
  form.Timer5.OnTick = [&] { ++ticks; };
  form.Timer5.SetEnabled(true);  // 20 ms
  std::wstring url = L"http://site/slow.htm";
  EXPECT_EQ(FindUpdaterLink(form, url), L"http://site/fw/u2.exe");
  EXPECT_GE(platform.loop.Now(), 500);
  EXPECT_GE(ticks, 20);
}

TEST_F(DownloadTest, AnUnreachableLinkPageIsOffline) {
  std::wstring url = L"http://site/missing.htm";
  EXPECT_EQ(FindUpdaterLink(form, url), L"");
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"ann, offline.");
}

// ---- Number formats and the progress display ----

TEST(FormatNumber, DigitPlaceholders) {
  const struct {
    double value;
    const wchar_t* format;
    const wchar_t* text;
  } cases[] = {
      {0, L"####", L""},
      {1, L"####", L"1"},
      {1023, L"####", L"1023"},
      {123456, L"####", L"123456"},
      {0, L"##.00", L".00"},
      {0.5, L"##.00", L".50"},
      {0.0003, L"##.00", L".00"},
      {0.005, L"##.00", L".01"},
      {2, L"##.00", L"2.00"},
      {3, L"##.00", L"3.00"},
      {0.999, L"##.00", L"1.00"},
      {99.999, L"##.00", L"100.00"},
      {1234.5678, L"##.00", L"1234.57"},
      {4096.0, L"##.00", L"4096.00"},
      {1e15, L"##.00", L"1000000000000000.00"},
      {-2.5, L"##.00", L"-2.50"},
      {7, L"000", L"007"},
      {1.5, L"#.##", L"1.5"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatNumber(c.value, c.format), c.text) << c.value << " " << ToUtf8(c.format);
}

TEST_F(DownloadTest, ProgressShowsKilobytesThenMegabytes) {
  const struct {
    std::int32_t progress, max;
    const wchar_t* actual;
    const wchar_t* total;
  } cases[] = {
      {0, 700, L"KB", L"/.00MB"},
      {300, 700, L"KB", L"/.00MB"},         // 0.29 KB rounds to 0: no number in front
      {512, 1000, L"KB", L"/.00MB"},        // exactly one half rounds to the even 0
      {1536, 1048576, L"2KB", L"/1.00MB"},  // one and a half rounds to the even 2
      {524288, 1048576, L"512KB", L"/1.00MB"},
      {1048166, 2097152, L"1.00MB", L"/2.00MB"},  // 1023.6 KB rounds to 1024
      {1047552, 2097152, L"1023KB", L"/2.00MB"},
      {2097152, 3145728, L"2.00MB", L"/3.00MB"},
      {2147483647, 2147483647, L"2048.00MB", L"/2048.00MB"},
  };
  for (const auto& c : cases) {
    mydl_TumoDLProg(form, c.progress, c.max);
    EXPECT_EQ(form.Label_Actual_Size.Caption(), c.actual) << c.progress;
    EXPECT_EQ(form.Label_Total_FileSize.Caption(), c.total) << c.progress;
    EXPECT_EQ(form.VistaProg2.Max(), c.max);
    EXPECT_EQ(form.VistaProg2.Value(), c.progress);
  }
}

TEST_F(DownloadTest, ProgressOutsideItsRangeChangesNothing) {
  mydl_TumoDLProg(form, 300, 700);
  const int calls = platform.loop.doEventsCalls;
  mydl_TumoDLProg(form, -1, 700);
  mydl_TumoDLProg(form, 701, 700);
  EXPECT_EQ(form.Label_Actual_Size.Caption(), L"KB");
  EXPECT_EQ(form.VistaProg2.Value(), 300);
  EXPECT_EQ(platform.loop.doEventsCalls, calls);
}

// ---- The file name and the program header ----

TEST(UpdaterFileName, KeepsPlainNamesAndRefusesNamesThatLeaveTheFolder) {
  const struct {
    const wchar_t* url;
    const wchar_t* name;
  } cases[] = {
      {L"http://site/fw/FC200_Updater.exe", L"FC200_Updater.exe"},
      {L"upd.exe", L"upd.exe"},  // no "/" at all: the whole address
      {L"http://site/fw/upd%20v2.exe", L"upd%20v2.exe"},
      {L"http://site/fw/.hidden.exe", L".hidden.exe"},
      {L"http://site/fw/console.exe", L"console.exe"},
      {L"http://site/fw/COM10.exe", L"COM10.exe"},
      {L"http://site/fw/", L""},
      {L"", L""},
      {L"http://site/fw/..", L""},
      {L"http://site/fw/..%5C..%5Cevil.exe", L""},
      {L"http://site/fw/..\\..\\evil.exe", L""},
      {L"http://site/fw/a\\b.exe", L""},
      {L"http://site/fw/a:b.exe", L""},
      {L"http://site/fw/C:evil.exe", L""},
      {L"http://site/fw/a<b.exe", L""},
      {L"http://site/fw/a>b.exe", L""},
      {L"http://site/fw/a\"b.exe", L""},
      {L"http://site/fw/a|b.exe", L""},
      {L"http://site/fw/upd.exe?x=1", L""},
      {L"http://site/fw/a*.exe", L""},
      {L"http://site/fw/a\tb.exe", L""},
      {L"http://site/fw/a\x01"
       L"b.exe",
       L""},
      {L"http://site/fw/upd.exe.", L""},
      {L"http://site/fw/upd.exe ", L""},
      {L"http://site/fw/CON", L""},
      {L"http://site/fw/con.exe", L""},
      {L"http://site/fw/Nul.txt", L""},
      {L"http://site/fw/PRN", L""},
      {L"http://site/fw/aux.exe", L""},
      {L"http://site/fw/COM1.exe", L""},
      {L"http://site/fw/lpt9", L""},
      {L"http://site/fw/CON .exe", L""},
      {L"http://site/fw/COM\u00B9.exe", L""},
      {L"http://site/fw/CONIN$", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(UpdaterFileName(c.url), c.name) << ToUtf8(c.url);
}

TEST(IsPortableExecutable, NeedsMzAndThePeSignatureWhereTheHeaderPointsTo) {
  const std::string good = DownloadTest::ProgramBytes(256);
  const auto bytes = [](const std::string& s) {
    return std::vector<std::uint8_t>(s.begin(), s.end());
  };
  EXPECT_TRUE(IsPortableExecutable(bytes(good)));
  EXPECT_FALSE(IsPortableExecutable(bytes("")));
  EXPECT_FALSE(IsPortableExecutable(bytes("MZ")));
  EXPECT_FALSE(IsPortableExecutable(bytes("<html><body>404 Not Found</body></html>")));
  std::string noPe = good;
  noPe[0x81] = 'X';
  EXPECT_FALSE(IsPortableExecutable(bytes(noPe)));
  std::string notMz = good;
  notMz[0] = 'Z';
  EXPECT_FALSE(IsPortableExecutable(bytes(notMz)));
  // The offset points past the end, or leaves less than the four signature bytes.
  std::string past = good;
  past[0x3C] = static_cast<char>(0xFF);
  past[0x3D] = static_cast<char>(0xFF);
  past[0x3E] = static_cast<char>(0xFF);
  past[0x3F] = static_cast<char>(0xFF);
  EXPECT_FALSE(IsPortableExecutable(bytes(past)));
  std::string edge = good;
  edge[0x3C] = static_cast<char>(good.size() - 2);
  EXPECT_FALSE(IsPortableExecutable(bytes(edge)));
  std::string tail(0x44, '\0');
  tail[0] = 'M';
  tail[1] = 'Z';
  tail[0x3C] = 0x40;
  tail[0x40] = 'P';
  tail[0x41] = 'E';
  EXPECT_TRUE(IsPortableExecutable(bytes(tail)));
}

// ---- The download step ----

TEST_F(DownloadTest, ASuccessfulDownloadStartsTheUpdaterVisibly) {
  const std::wstring url = L"http://site/fw/FC200_Updater.exe";
  form.UpdaterUrl = url;
  FakeTransfer t = FakeTransfer::Of(ProgramBytes(3 * 1048576), 6);
  platform.download.transfers[url] = t;
  std::vector<std::wstring> shown;
  std::vector<bool> hourglass;
  form.Timer4.OnTick = [&] {
    shown.push_back(form.Label_Actual_Size.Caption());
    hourglass.push_back(platform.loop.mousePointer == MousePointer::Hourglass);
  };
  form.Timer4.SetEnabled(true);
  platform.loop.doEventsStepMs = 1000;  // every round of events lets Timer4 tick once
  StartFirmwareDownload(form);

  EXPECT_TRUE(platform.Exists("FW/FC200_Updater.exe"));
  EXPECT_EQ(form.UpdaterPath, FwPath(L"FC200_Updater.exe"));
  ASSERT_EQ(platform.shell.calls.size(), 1u);
  const FakeShell::Call& call = platform.shell.calls[0];
  EXPECT_EQ(call.verb, L"open");
  EXPECT_EQ(call.file, FwPath(L"FC200_Updater.exe"));
  EXPECT_EQ(call.parameters, L"0");
  EXPECT_EQ(call.directory, L"0");
  EXPECT_EQ(call.showCommand, 1);  // a normal, visible window

  // The sizes were shown while the download ran, under the hourglass.
  EXPECT_NE(std::find(shown.begin(), shown.end(), L"512KB"), shown.end());
  EXPECT_NE(std::find(shown.begin(), shown.end(), L"3.00MB"), shown.end());
  EXPECT_TRUE(std::all_of(hourglass.begin(), hourglass.end(), [](bool b) { return b; }));
  EXPECT_EQ(form.Label_Total_FileSize.Caption(), L"/3.00MB");
  EXPECT_EQ(form.VistaProg2.Value(), 3 * 1048576);

  EXPECT_EQ(form.LastMessage, L"ann, downloading.");
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"ann, downloading.");
  EXPECT_TRUE(form.Frame_Error_Handling.Visible());
  EXPECT_EQ(form.Frame_Error_Handling.Left(), 220);
  EXPECT_TRUE(form.Frame_4_Download_Progress.Visible());
  EXPECT_FALSE(form.Cmd_I_Agree.Visible());
  EXPECT_FALSE(form.Cmd_I_Disagree.Visible());
  EXPECT_FALSE(form.Info_Label.Visible());
  EXPECT_FALSE(form.UnitxtLicense.Visible());
  EXPECT_TRUE(form.cmdExit.Visible());
  EXPECT_TRUE(form.cmdExit.Enabled());
  EXPECT_FALSE(form.UniRefresh.Enabled());
  EXPECT_TRUE(form.UniRefresh.Visible());
  EXPECT_EQ(platform.loop.mousePointer, MousePointer::Default);
  EXPECT_FALSE(platform.loop.IsArmed(form.Timer6));
  EXPECT_FALSE(form.Quitting());
}

struct FailureCase {
  const char* name;
  std::wstring url;
  bool scripted;
  std::int32_t result;
  std::string body;
  bool binds;
};

TEST_F(DownloadTest, AFailedDownloadShowsTheErrorAndEndsTwoSecondsLater) {
  const std::string html = "<html><body><h1>404 Not Found</h1></body></html>";
  const std::vector<FailureCase> cases = {
      {"404", L"http://site/fw/upd.exe", true, kResourceNotFound, html, true},
      {"500", L"http://site/fw/upd.exe", true, kDownloadFailure, html, true},
      {"refused port", L"http://127.0.0.1:1/fw/upd.exe", true, kDownloadFailure, "", false},
      {"no script at all", L"http://nowhere/upd.exe", false, 0, "", false},
      {"HTML saved as upd.exe", L"http://site/fw/upd.exe", true, kDownloadOk, html, true},
      {"HTML saved as UPD.EXE", L"http://site/fw/UPD.EXE", true, kDownloadOk, html, true},
      {"a truncated program", L"http://site/fw/upd.exe", true, kDownloadOk, "MZ\x90", true},
      {"hostile name", L"http://site/fw/..%5C..%5Cevil.exe", true, kDownloadOk, ProgramBytes(),
       true},
      {"drive in the name", L"http://site/fw/a:b.exe", true, kDownloadOk, ProgramBytes(), true},
  };
  for (const FailureCase& c : cases) {
    FakePlatform p;
    frmMain f{p.program};
    p.WriteFile("Languages/English.txt",
                "[Strings]\r\nIDS_UNEXPECTED_ERROR=unexpected.\r\nIDS_FW_DOWNLOAD_MSG1=dl.\r\n");
    f.LanguageFilePath = p.Folder() + L"\\Languages\\English.txt";
    f.UserName = L"ann";
    f.UpdaterUrl = c.url;
    if (c.scripted) {
      FakeTransfer t = FakeTransfer::Of(c.body, 2);
      t.result = c.result;
      t.binds = c.binds;
      // An error page with a good status is what the service saves; errors leave nothing.
      p.download.transfers[c.url] = t;
    }
    StartFirmwareDownload(f);
    EXPECT_EQ(f.Uni_Error_Label1.Caption(), L"ann, unexpected.") << c.name;
    EXPECT_FALSE(f.Frame_4_Download_Progress.Visible()) << c.name;
    EXPECT_TRUE(p.shell.calls.empty()) << c.name;
    EXPECT_TRUE(p.loop.IsArmed(f.Timer6)) << c.name;
    EXPECT_FALSE(f.Quitting()) << c.name;
    EXPECT_TRUE(f.UniRefresh.Visible()) << c.name;
    EXPECT_EQ(p.loop.mousePointer, MousePointer::Default) << c.name;
    // Nothing is left in FW, nor anywhere around the program.
    EXPECT_EQ(p.files.DeleteFiles(p.Folder() + L"\\FW\\*"), 0) << c.name;
    EXPECT_EQ(p.files.DeleteFiles(p.Folder() + L"\\*.exe"), 0) << c.name;
    p.loop.Advance(1999);
    EXPECT_EQ(p.window.destroyed, 0) << c.name;
    p.loop.Advance(1);
    EXPECT_EQ(p.window.destroyed, 1) << c.name;
  }
}

TEST_F(DownloadTest, HostileNamesAreNeverRequested) {
  for (const wchar_t* url :
       {L"http://site/fw/..%5C..%5Cevil.exe", L"http://site/fw/a:b.exe", L"http://site/fw/"}) {
    FakePlatform p;
    frmMain f{p.program};
    f.UpdaterUrl = url;
    StartFirmwareDownload(f);
    EXPECT_TRUE(p.download.requests.empty()) << ToUtf8(url);
    EXPECT_EQ(f.UpdaterPath, L"");
  }
}

TEST_F(DownloadTest, SuccessWithoutAFileEndsTheWizardAtOnce) {
  const std::wstring url = L"http://site/fw/upd.exe";
  form.UpdaterUrl = url;
  FakeTransfer t = FakeTransfer::Of(ProgramBytes(), 1);
  t.writesFile = false;
  platform.download.transfers[url] = t;
  StartFirmwareDownload(form);
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"ann, unexpected.");
  EXPECT_FALSE(form.Frame_4_Download_Progress.Visible());
  EXPECT_TRUE(form.Quitting());
  EXPECT_EQ(platform.window.destroyed, 1);
  EXPECT_TRUE(platform.shell.calls.empty());
}

TEST_F(DownloadTest, OnlyAProgramNamedExeIsStartedAnyOtherFileIsDeletedUnopened) {
  // The shell would run any of these with the wizard's administrator rights.
  const struct {
    const char* name;
    std::wstring file;
    std::string body;
  } cases[] = {
      {"batch file", L"B1Update.bat", "@echo off\r\necho x > marker.txt\r\n"},
      {"command file", L"B1Update.cmd", "echo x > marker.txt\r\n"},
      {"script", L"B1Update.vbs", "CreateObject(\"WScript.Shell\")"},
      {"plain text", L"readme.txt", "plain text"},
      {"a program under another name", L"B1Update.com", ProgramBytes()},
      {"a program as a screen saver", L"B1Update.scr", ProgramBytes()},
      {"full-width point before exe", L"B1Update\uFF0Eexe", ProgramBytes()},
      {"no extension", L"B1Update", ProgramBytes()},
  };
  for (const auto& c : cases) {
    FakePlatform p;
    frmMain f{p.program};
    p.WriteFile("Languages/English.txt", "[Strings]\r\nIDS_UNEXPECTED_ERROR=unexpected.\r\n");
    f.LanguageFilePath = p.Folder() + L"\\Languages\\English.txt";
    f.UserName = L"ann";
    f.UpdaterUrl = L"http://site/fw/" + c.file;
    p.download.transfers[f.UpdaterUrl] = FakeTransfer::Of(c.body, 1);
    StartFirmwareDownload(f);
    EXPECT_EQ(p.download.requests.size(), 1u) << c.name;
    EXPECT_TRUE(p.shell.calls.empty()) << c.name;
    EXPECT_FALSE(p.files.FileExists(p.Folder() + L"\\fw\\" + c.file)) << c.name;
    EXPECT_EQ(f.Uni_Error_Label1.Caption(), L"ann, unexpected.") << c.name;
    EXPECT_FALSE(f.Frame_4_Download_Progress.Visible()) << c.name;
    EXPECT_TRUE(p.loop.IsArmed(f.Timer6)) << c.name;
    EXPECT_FALSE(f.Quitting()) << c.name;
  }
}

TEST_F(DownloadTest, AProgramNamedExeInAnyLetterCaseIsStarted) {
  for (const wchar_t* file : {L"upd.exe", L"UPD.EXE", L"Upd.ExE"}) {
    FakePlatform p;
    frmMain f{p.program};
    f.UpdaterUrl = std::wstring(L"http://site/fw/") + file;
    p.download.transfers[f.UpdaterUrl] = FakeTransfer::Of(ProgramBytes(), 1);
    StartFirmwareDownload(f);
    ASSERT_EQ(p.shell.calls.size(), 1u) << ToUtf8(file);
    EXPECT_EQ(p.shell.calls[0].file, p.Folder() + L"\\fw\\" + file);
    EXPECT_FALSE(p.loop.IsArmed(f.Timer6));
  }
}

TEST_F(DownloadTest, ExitDuringTheDownloadStopsItAndStartsNothing) {
  const std::wstring url = L"http://site/fw/upd.exe";
  form.UpdaterUrl = url;
  platform.download.transfers[url] = FakeTransfer::Of(ProgramBytes(8192), 8);
  int steps = 0;
  form.Timer5.OnTick = [&] {
    if (++steps == 3) form.cmdExit.RaiseClick();
  };
  form.Timer5.SetEnabled(true);
  platform.loop.doEventsStepMs = 20;
  StartFirmwareDownload(form);
  EXPECT_TRUE(form.Quitting());
  EXPECT_EQ(platform.download.aborts, 1);
  EXPECT_LT(platform.download.stepsReported, 8);
  EXPECT_TRUE(platform.shell.calls.empty());
  EXPECT_FALSE(platform.Exists("FW/upd.exe"));
}

}  // namespace
}  // namespace revivix::test
