#include <gtest/gtest.h>

#include "DatabaseFixture.h"
#include "checks/Environment.h"
#include "checks/IsAdmin_BAS.h"
#include "checks/WMPversion.h"
#include "common/Text.h"

namespace revivix::test {
namespace {

TEST(OperatingSystem, LevelsByVersion) {
  const struct {
    std::uint32_t major, minor, platform;
    const wchar_t* code;
  } table[] = {{5, 1, 2, L"1"}, {5, 2, 2, L"1"}, {6, 0, 2, L"2"}, {6, 1, 2, L""},  {5, 0, 2, L""},
               {10, 0, 2, L""}, {4, 10, 1, L""}, {6, 2, 2, L""},  {5, 10, 2, L""}, {60, 0, 2, L""}};
  for (const auto& row : table)
    EXPECT_EQ(OsCodeOf({row.major, row.minor, 0, row.platform, L""}), row.code)
        << row.major << "." << row.minor;
}

TEST(MediaPlayer, VersionFromTheActiveSetupEntry) {
  const struct {
    RegistryValue value;
    const wchar_t* version;
  } table[] = {
      {{RegistryValue::Kind::Text, L"11,0,5721,5145", 0}, L"11"},
      {{RegistryValue::Kind::Text, L"10,0,0,3997", 0}, L"10"},
      {{RegistryValue::Kind::Text, L"9,0,0,2980", 0}, L"0"},
      {{RegistryValue::Kind::Text, L"9x", 0}, L"0"},
      {{RegistryValue::Kind::Text, L"1", 0}, L"0"},
      {{RegistryValue::Kind::Text, L"", 0}, L"0"},
      {{RegistryValue::Kind::Text, L" 11", 0}, L"0"},
      {{RegistryValue::Kind::Number, L"", 11}, L"11"},
      {{RegistryValue::Kind::Number, L"", 105}, L"10"},
      {{RegistryValue::Kind::Number, L"", 9}, L"0"},
      {{RegistryValue::Kind::Number, L"", 0xFFFFFFFF}, L"0"},  // reads as -1
      {{RegistryValue::Kind::None, L"", 0}, L"0"},
  };
  for (const auto& row : table) {
    FakeRegistry registry;
    registry.values[{kMediaPlayerKey, L"Version"}] = row.value;
    EXPECT_EQ(GetMediaPlayerVersion(registry), row.version) << ToUtf8(row.value.text);
  }
  FakeRegistry empty;
  EXPECT_EQ(GetMediaPlayerVersion(empty), L"0");
  FakeRegistry otherValue;
  otherValue.SetText(kMediaPlayerKey, L"IsInstalled", L"11");
  EXPECT_EQ(GetMediaPlayerVersion(otherValue), L"0");
}

using Checks = DetectionTest;

TEST_F(Checks, NamesComeAsTheSystemGivesThem) {
  platform.system.userName = L"Ana María";
  platform.system.computerName = L"Workshop-PC";
  form.Activate();
  EXPECT_EQ(form.UserName, L"Ana María");
  EXPECT_EQ(form.ComputerName, L"Workshop-PC");  // its letter case kept
}

TEST_F(Checks, TheInternetCheckProbesTheDatabaseAddress) {
  const std::wstring database = L"http://www.zanterix.com/revivix/database/Fernclip_database.htm";
  platform.connection.reachable.insert(L"http://www.zanterix.com/revivix/");
  EXPECT_TRUE(IsInternetReachable(form));
  EXPECT_EQ(platform.connection.checked, std::vector<std::wstring>{database});
  EXPECT_TRUE(platform.connection.requests.empty());  // the direct answer was enough
  platform.connection.reachable.clear();
  EXPECT_FALSE(IsInternetReachable(form));
  ASSERT_EQ(platform.connection.requests.size(), 1u);
  EXPECT_EQ(platform.connection.requests[0].url, database);
}

// The connection decision: the direct check first, and only when it fails one request through
// the system's proxy settings, which must answer within a few seconds.
TEST_F(Checks, ConnectedWhenTheDirectCheckOrTheSiteRequestAnswers) {
  enum class Site { Answers, Silent, Slow };
  const struct {
    bool direct;
    Site site;
    bool connected;
  } table[] = {
      {true, Site::Answers, true},  {true, Site::Silent, true},   {true, Site::Slow, true},
      {false, Site::Answers, true}, {false, Site::Silent, false}, {false, Site::Slow, false},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(std::string(row.direct ? "direct yes, " : "direct no, ") +
                 (row.site == Site::Answers  ? "site answers"
                  : row.site == Site::Silent ? "site silent"
                                             : "site slow"));
    FakePlatform p;
    p.WriteFile("Languages/English.txt",
                "[Strings]\r\nIDS_NO_INTERNET_CONNECTION=no connection.\r\n");
    frmMain f(p.program);
    if (row.direct) p.connection.reachable.insert(SiteAddress(p.program));
    if (row.site != Site::Silent) p.connection.answering.insert(SiteAddress(p.program));
    // The slow site answers a moment after the longest wait the check may make.
    p.connection.answerDelayMs = row.site == Site::Slow ? kSiteRequestLimitMs + 1 : 0;
    p.html.pages[DatabaseAddress(f)] = FakePage{Page({RecordLine({})}), L"", 0};
    FormLoad(f);
    f.Activate();

    EXPECT_EQ(f.Uni_Error_Label1.Caption() == L"Maria, no connection.", !row.connected);
    EXPECT_EQ(f.Timer2.Enabled(), row.connected);  // a usable database was read
    EXPECT_EQ(p.html.requests.size(), row.connected ? 1u : 0u);
    EXPECT_EQ(p.connection.checked.size(), 2u);  // checked, then asked again
    // A request only where the direct check failed, one for each time of asking.
    ASSERT_EQ(p.connection.requests.size(), row.direct ? 0u : 2u);
    for (const auto& request : p.connection.requests) {
      EXPECT_EQ(request.url, DatabaseAddress(f));
      EXPECT_GT(request.limitMs, 0);
      EXPECT_LE(request.limitMs, 10000);  // a few seconds, not a page fetch's 30
    }
  }
}

// The start-up sequence: which check fails, the message shown, and what runs after it.
TEST_F(Checks, StartUpFailureTable) {
  const std::wstring usable = Page({RecordLine({})});
  const struct {
    const char* name;
    bool administrator;
    std::uint32_t major, minor;
    bool reachable;
    std::wstring page;
    const wchar_t* message;  // "" when no error page shows
    bool detection;          // Timer2 still enabled
    bool endsItself;         // Timer1 armed
    bool refresh;            // UniRefresh enabled
    const wchar_t* osCode;
    bool internetChecked, pageFetched;
  } table[] = {
      {"no administrator", false, 5, 1, true, usable, L"IDS_ADMIN_ERROR_MSG", false, true, true,
       L"", false, false},
      {"Windows 6.1", true, 6, 1, true, usable, L"IDS_OS_NOT_SUPPORTED", false, true, true, L"",
       false, false},
      {"Windows 5.0", true, 5, 0, true, usable, L"IDS_OS_NOT_SUPPORTED", false, true, true, L"",
       false, false},
      {"site down", true, 5, 2, false, usable, L"IDS_NO_INTERNET_CONNECTION", false, false, true,
       L"1", true, false},
      {"empty page", true, 6, 0, true, L"   \r\n ", L"IDS_PID_DATABASE_CONNECTION_FAILED", false,
       true, false, L"2", true, true},
      {"page without PID_4157", true, 5, 1, true, L"a,b,c\r\n",
       L"IDS_PID_DATABASE_CONNECTION_FAILED", false, true, false, L"1", true, true},
      {"all well", true, 5, 1, true, usable, L"", true, false, true, L"1", true, true},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    FakePlatform p;
    p.WriteFile("Languages/English.txt",
                "[Strings]\r\nIDS_ADMIN_ERROR_MSG=IDS_ADMIN_ERROR_MSG\r\nIDS_OS_NOT_SUPPORTED="
                "IDS_OS_NOT_SUPPORTED\r\nIDS_NO_INTERNET_CONNECTION=IDS_NO_INTERNET_CONNECTION\r\n"
                "IDS_PID_DATABASE_CONNECTION_FAILED=IDS_PID_DATABASE_CONNECTION_FAILED\r\n");
    p.registry.SetText(kMediaPlayerKey, L"Version", L"11,0,5721,5145");
    p.system.administrator = row.administrator;
    p.system.version = {row.major, row.minor, 0, 2, L""};
    frmMain f(p.program);
    if (row.reachable) p.connection.reachable.insert(SiteAddress(p.program));
    p.html.pages[DatabaseAddress(f)] = FakePage{row.page, L"", 0};
    FormLoad(f);
    f.Activate();

    EXPECT_EQ(f.LanguageFilePath, p.Folder() + L"\\Languages\\English.txt");
    if (*row.message) {
      EXPECT_EQ(f.Uni_Error_Label1.Caption(), std::wstring(L"Maria, ") + row.message);
      EXPECT_TRUE(f.Frame_Error_Handling.Visible());
      EXPECT_TRUE(f.cmdExit.Visible());
    } else {
      EXPECT_FALSE(f.Frame_Error_Handling.Visible());
      EXPECT_FALSE(f.UpdateAvailable);
    }
    EXPECT_EQ(f.Timer2.Enabled(), row.detection);
    EXPECT_EQ(f.Timer1.Enabled(), row.endsItself);
    EXPECT_EQ(f.UniRefresh.Enabled(), row.refresh);
    EXPECT_EQ(f.OsCode, row.osCode);
    EXPECT_EQ(p.connection.checked.size(),
              row.internetChecked ? 2u : 0u);  // checked, then asked again
    EXPECT_EQ(f.MediaPlayerVersion, row.internetChecked ? L"11" : L"");
    EXPECT_EQ(p.html.requests.size(), row.pageFetched ? 1u : 0u);
  }
}

TEST_F(Checks, TheProgramEndsItselfThirtySecondsAfterTheAdministratorError) {
  platform.system.administrator = false;
  FormLoad(form);
  form.Activate();
  platform.loop.Advance(29999);
  EXPECT_FALSE(form.Unloaded());
  platform.loop.Advance(1);
  EXPECT_TRUE(form.Unloaded());
}

TEST_F(Checks, WithoutAConnectionThePageStays) {
  FormLoad(form);
  form.Activate();
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"Maria, no connection.");
  platform.loop.Advance(120000);
  EXPECT_FALSE(form.Unloaded());
  EXPECT_TRUE(form.cmdExit.Enabled());
  EXPECT_TRUE(form.UniRefresh.Enabled());
}

}  // namespace
}  // namespace revivix::test
