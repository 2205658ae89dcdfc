#include <gtest/gtest.h>

#include "DatabaseFixture.h"
#include "common/Text.h"
#include "detection/PlayerDatabase.h"

namespace revivix::test {
namespace {

TEST(DatabasePage, Validity) {
  const struct {
    const wchar_t* text;
    bool valid;
  } table[] = {
      {L"", false},
      {L"   \r\n\t ", false},
      {L"PID_4157", true},
      {L"  x,pid_4157,y  ", true},
      {L"a,Zanterix Fernclip 200,1,10,MSC\r\n", false},
      {L"PID_4157\r\nThe Page Cannot Be Found\r\n", false},
      {L"the page cannot be found PID_4157", false},
      {L"PID_415", false},
      {L"PID 4157", false},
  };
  for (const auto& row : table)
    EXPECT_EQ(DatabasePageIsValid(row.text), row.valid) << ToUtf8(row.text);
}

TEST(DatabasePage, ValidityOnLongPages) {
  // The marker anywhere in a long page, also across every place where a reader could cut it.
  for (std::size_t before = 8180; before <= 8200; ++before) {
    EXPECT_TRUE(
        DatabasePageIsValid(std::wstring(before, L'x') + L"pid_4157 " + std::wstring(100, L'y')))
        << before;
    EXPECT_FALSE(DatabasePageIsValid(std::wstring(before, L'x') + L"PID_4157" +
                                     std::wstring(before, L'z') + L"the page cannot be FOUND"))
        << before;
  }
  EXPECT_FALSE(DatabasePageIsValid(std::wstring(20000, L'x') + L"PID_415"));
}
TEST(DatabasePage, OnlyLinesOfFourteenValuesAreRecords) {
  EXPECT_TRUE(RecordValues(L"").empty());
  EXPECT_TRUE(RecordValues(L"a,b,c,d,e,f,g,h,i,j,k,l,m").empty());  // 13 values
  EXPECT_EQ(RecordValues(L"a,b,c,d,e,f,g,h,i,j,k,l,m,n").size(), 14u);
  EXPECT_EQ(RecordValues(L"a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p").size(), 16u);
  EXPECT_EQ(DatabasePageLines(L"a\r\nb\nc\r\n"), (std::vector<std::wstring>{L"a", L"b\nc", L""}));
}

using Database = DetectionTest;

TEST_F(Database, CopyPlayerRecordTrimsAndUpperCasesTheTitle) {
  const std::vector<std::wstring> values = RecordValues(
      L"0, Zanterix Fernclip 300 , 2 , 11 , MTP , 1234 , fc300.htm , http://eu/ , http://ww/ ,9, "
      L"Fernclip 300 Firmware UPGRADE , http://support/ , 1.0 , http://update/ ");
  CopyPlayerRecord(form, values);
  EXPECT_EQ(form.PlayerModel, L"Zanterix Fernclip 300");
  EXPECT_EQ(form.PlayerOsLevel, L"2");
  EXPECT_EQ(form.PlayerMediaPlayerVersion, L"11");
  EXPECT_EQ(form.PlayerMode, L"MTP");
  EXPECT_EQ(form.FirmwareLinkTail, L"fc300.htm");
  EXPECT_EQ(form.FirmwareSiteEurope, L"http://eu/");
  EXPECT_EQ(form.FirmwareSiteWorld, L"http://ww/");
  EXPECT_EQ(form.UpdaterTitle, L"FERNCLIP 300 FIRMWARE UPGRADE");
  EXPECT_EQ(form.SupportUrl, L"http://support/");
}

TEST_F(Database, ChoiceListLeavesOutModelsWithoutSerialSuffix) {
  const wchar_t* lines[] = {
      L"0, Model A ,1,10,MSC, n/a ,t,e,w,9,T,s,1,u",
      L"0, Model B ,1,10,MSC, 4F2A ,t,e,w,9,T,s,1,u",
      L"0,Model B,1,10,MSC,0001,t,e,w,9,T,s,1,u",
      L"0,Model C,1,10,MSC,N/A,t,e,w,9,T,s,1,u",
  };
  for (const wchar_t* line : lines) AddToChoiceList(form, RecordValues(line));
  ASSERT_EQ(form.Combo_Choose_Player.ListCount(), 2);
  EXPECT_EQ(form.Combo_Choose_Player.List(0), L"Model B");
  EXPECT_EQ(form.Combo_Choose_Player.List(1), L"Model B");
}

// The update check at start-up against this program's own version number.
TEST_F(Database, UpdateCheck) {
  const std::wstring own = kProgramVersion;
  Record newer;
  newer.version = L"99.5";
  newer.updateUrl = L" http://www.zanterix.com/new.htm ";
  Record same;
  Record padded;
  padded.version = L" " + own + L"0 ";  // "1.0.00" reads as the same number
  Record zero;
  zero.version = L"0";
  const struct {
    const char* name;
    std::wstring page;
    bool update;
    const wchar_t* url;
  } table[] = {
      {"same version", Page({RecordLine(same)}), false, L""},
      {"same number, other text", Page({RecordLine(padded)}), false, L""},
      {"newer version, url untrimmed", Page({RecordLine(same), RecordLine(newer)}), true,
       L" http://www.zanterix.com/new.htm "},
      {"first differing line decides", Page({RecordLine(newer), RecordLine(zero)}), true,
       L" http://www.zanterix.com/new.htm "},
      {"value 12 of 0 differs from the real version", Page({RecordLine(zero)}), true,
       L"http://www.zanterix.com/revivix/get.htm"},
      {"no line break: no line is examined", RecordLine(newer), false, L""},
      {"the last piece is never examined", Page({RecordLine(same)}) + RecordLine(newer), false,
       L""},
      {"short lines are skipped, not fatal",
       L"Zanterix player database PID_4157\r\n" + Page({RecordLine(newer)}), true,
       L" http://www.zanterix.com/new.htm "},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    FakePlatform p;
    frmMain f(p.program);
    p.html.pages[DatabaseAddress(f)] = FakePage{row.page, L"", 0};
    f.UpdateAvailable = !row.update;
    f.UpdateUrl = L"stale";
    LoadPlayerDatabase(f);
    EXPECT_EQ(f.UpdateAvailable, row.update);
    EXPECT_EQ(f.UpdateUrl, row.url);
    EXPECT_FALSE(f.Frame_Error_Handling.Visible());
    EXPECT_TRUE(f.Timer2.Enabled());
  }
}

TEST_F(Database, AnUnusablePageAtStartUpStopsDetectionAndEndsTheProgram) {
  KeysAsTexts();
  form.UserName = L"Maria";
  form.LanguageFilePath = platform.Folder() + L"\\Languages\\English.txt";
  form.UnitxtLicense.SetVisible(true);
  ServeDatabase(L"<the page cannot be found> PID_4157");
  LoadPlayerDatabase(form);
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"Maria, IDS_PID_DATABASE_CONNECTION_FAILED");
  EXPECT_FALSE(form.UniRefresh.Enabled());
  EXPECT_FALSE(form.Timer2.Enabled());
  EXPECT_TRUE(form.Timer1.Enabled());
  EXPECT_TRUE(form.Frame_Error_Handling.Visible());
  EXPECT_FALSE(form.UpdateAvailable);
  EXPECT_EQ(form.UpdateUrl, L"");
}

// While the page loads the window goes on: timer ticks and clicks run inside the wait.
TEST_F(Database, TheFetchWaitsForCompleteWhileEventsRun) {
  platform.loop.doEventsStepMs = 10;
  ServeDatabase(L"PID_4157 page", 500);
  int ticks = 0;
  form.Timer3.OnTick = [&] { ++ticks; };
  form.Timer3.SetEnabled(true);
  bool clicked = false;
  platform.loop.Queue([&] { clicked = true; });
  const std::int64_t start = platform.loop.Now();
  EXPECT_EQ(FetchDatabasePage(form), L"PID_4157 page");
  EXPECT_GE(platform.loop.Now() - start, 500);
  EXPECT_GE(ticks, 24);  // 20 ms animation ticks over half a second
  EXPECT_TRUE(clicked);
  EXPECT_EQ(
      platform.html.requests,
      std::vector<std::wstring>{L"http://www.zanterix.com/revivix/database/Fernclip_database.htm"});
}

TEST_F(Database, AFailedFetchIsAnEmptyPage) {
  platform.html.pages[DatabaseAddress(form)] = FakePage{L"PID_4157", L"", 0, false, true};
  EXPECT_EQ(FetchDatabasePage(form), L"");
}

// site.ini beside the program points the wizard at another site; without it the built-in
// address holds.
TEST(SiteAddressTest, BuiltInOrFromSiteIni) {
  const struct {
    const char* siteIni;  // nullptr: no file
    const wchar_t* address;
  } table[] = {
      {nullptr, L"http://www.zanterix.com"},
      {"[Site]\r\nAddress=http://127.0.0.1:8080\r\n", L"http://127.0.0.1:8080"},
      {"[Site]\r\nAddress=http://127.0.0.1:8080/\r\n", L"http://127.0.0.1:8080"},
      {"[site]\r\naddress = http://mirror.example/scenario-a/ \r\n",
       L"http://mirror.example/scenario-a"},
      {"[Site]\r\nAddress=\r\n", L"http://www.zanterix.com"},
      {"[Other]\r\nAddress=http://elsewhere\r\n", L"http://www.zanterix.com"},
  };
  for (const auto& row : table) {
    FakePlatform p;
    if (row.siteIni) p.WriteFile("site.ini", row.siteIni);
    frmMain f(p.program);
    EXPECT_EQ(DatabaseAddress(f),
              std::wstring(row.address) + L"/revivix/database/Fernclip_database.htm")
        << (row.siteIni ? row.siteIni : "none");
  }
}

}  // namespace
}  // namespace revivix::test
