// The real fernclip.exe under Wine identifying the connected player against the local maker site:
// each case runs from its own copy of the runnable folder, with settings Europe/English, a
// site.ini that points at a scenario of the site, the Windows version Wine reports to the
// program, and simulated USB devices in Wine's device list; the test reads the page the window
// shows. Arguments: fernclip.exe, the site's state folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormControls.h"
#include "RoadFixture.h"
#include "SiteSupport.h"
#include "TestSupport.h"
#include "driver/ComboPick.h"

namespace revivix {
namespace {

using driver::Utf8;
using wintest::kEndMs;
using wintest::kPageMs;

constexpr wchar_t kExe[] = L"fernclip.exe";

// A maker device plugged in: its instance below Enum\USB and its friendly name.
struct Device {
  std::wstring instance;
  std::wstring name;
};
const Device kFernclip200{L"VID_2A5F&PID_4157\\E2EFC200A", L"Zanterix Fernclip 200 USB Device"};
const Device kFernclip300{L"VID_2A5F&PID_4157\\E2EFC300B", L"Zanterix Fernclip 300 USB Device"};
const Device kRecovery{L"VID_2A5F&PID_3500\\E2ERECOVERY", L""};

class DetectionWindow : public wintest::RoadFixture {
 protected:
  // Copies the runnable folder, points it at `site`, sets the Windows version Wine reports to
  // the program and plugs in `devices`, then starts the program.
  void Start(const std::wstring& windowsVersion, const std::wstring& site,
             const std::vector<Device>& devices) {
    ASSERT_NO_FATAL_FAILURE(PrepareFolder(L"revivix-detection-"));
    ASSERT_NO_FATAL_FAILURE(WriteSettings(wintest::kEuropeEnglish));
    ASSERT_NO_FATAL_FAILURE(WriteSite(site));
    ASSERT_TRUE(machine_.SetWindowsVersion(kExe, windowsVersion));
    for (const Device& device : devices)
      ASSERT_TRUE(machine_.AddUsbDevice(device.instance, device.name, L"USB Mass Storage Device"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
  }

  // The demo scenario of the local site, or a scenario of the test fixtures.
  static std::wstring Site(const wchar_t* scenario) {
    const std::wstring site = wintest::LocalSite(wintest::Argument(1));
    return site.empty() ? std::wstring() : site + scenario;
  }

  // The error page with this message, Exit on it and no Accept.
  void ExpectErrorPage(const wchar_t* key) {
    ASSERT_NO_FATAL_FAILURE(RoadFixture::ExpectErrorPage(key, kPageMs));
    EXPECT_TRUE(Read("cmdExit").visible);
    EXPECT_TRUE(Read("cmdExit").enabled);
    EXPECT_FALSE(Read("Cmd_I_Agree").visible);
  }
};

TEST_F(DetectionWindow, OnePlayerOpensItsLicensePage) {
  ASSERT_NO_FATAL_FAILURE(Start(L"win2003", Site(L"/demo"), {kFernclip200}));
  ASSERT_NO_FATAL_FAILURE(ExpectPage(driver::Page::License));
  EXPECT_EQ(Read("Player_Detected_Label").text, L"Zanterix Fernclip 200");
  EXPECT_TRUE(Read("Player_Detected_Frame1").visible);
  EXPECT_TRUE(Read("Cmd_I_Disagree").visible);
  EXPECT_FALSE(Read("Frame_Error_Handling").visible);
  HWND agree = Control("Cmd_I_Agree");
  EXPECT_TRUE(driver::WaitUntil(5000, [&] { return driver::FocusedWindow(Main()) == agree; }))
      << "Accept does not have the keyboard focus";
  // The English license, whole, in the license box.
  const std::wstring license_text = LicenseText();
  ASSERT_GT(license_text.size(), 100u);
  const driver::ControlState box = Read("UnitxtLicense");
  EXPECT_TRUE(box.visible);
  EXPECT_NE(box.text.find(license_text.substr(0, 80)), std::wstring::npos)
      << "the license box starts \"" << Utf8(box.text.substr(0, 80)) << "\"";
  EXPECT_GE(box.text.size(), license_text.size() - 2);
  ASSERT_NO_FATAL_FAILURE(Close());
}

TEST_F(DetectionWindow, Windows61IsNotSupported) {
  ASSERT_NO_FATAL_FAILURE(Start(L"win7", Site(L"/demo"), {kFernclip200}));
  ASSERT_NO_FATAL_FAILURE(ExpectErrorPage(L"IDS_OS_NOT_SUPPORTED"));
  ASSERT_NO_FATAL_FAILURE(Close());
}

TEST_F(DetectionWindow, ARecoveryModePlayerOpensTheSerialNumberPage) {
  ASSERT_NO_FATAL_FAILURE(Start(L"win2003", Site(L"/demo"), {kRecovery}));
  const bool shown =
      driver::WaitUntil(kPageMs, [&] { return Read("Frame_DetectPlayer_by_SNO").visible; });
  ASSERT_TRUE(shown) << "no serial-number page; the window shows \""
                     << Utf8(Read("Uni_Error_Label1").text) << "\"";
  EXPECT_EQ(Read("Uni_PID3500_err_MSG").text, Message(L"IDS_ENTER_PLAYER_SNO"));
  EXPECT_FALSE(Read("cmdExit").visible);
  EXPECT_FALSE(Read("Frame_Error_Handling").visible);
  HWND list = Control("Combo_Choose_Player");
  EXPECT_EQ(driver::ComboSelectedText(list), L"Choose Player");
  // The models of the demo database that can be chosen by serial number.
  EXPECT_EQ(driver::ComboEntries(list),
            (std::vector<std::wstring>{L"Choose Player", L"Zanterix Fernclip 200",
                                       L"Zanterix Fernclip 300"}));
  ASSERT_NO_FATAL_FAILURE(Close());
}

TEST_F(DetectionWindow, TenThousandLinesReachTheSerialNumberPage) {
  ASSERT_NO_FATAL_FAILURE(Start(L"win2003", Site(L"/long"), {kRecovery}));
  const bool shown =
      driver::WaitUntil(kPageMs, [&] { return Read("Frame_DetectPlayer_by_SNO").visible; });
  ASSERT_TRUE(shown) << "no serial-number page; the window shows \""
                     << Utf8(Read("Uni_Error_Label1").text) << "\"";
  HWND list = Control("Combo_Choose_Player");
  const std::vector<std::wstring> entries = driver::ComboEntries(list);
  ASSERT_EQ(entries.size(), 10001u);
  EXPECT_EQ(entries[1], L"Zanterix Fernclip 1");
  EXPECT_EQ(entries[10000], L"Zanterix Fernclip 10000");
  ASSERT_NO_FATAL_FAILURE(Close());
}

// The close request while the long database page is fetched and rendered on its worker, at
// staggered moments, several times: each time the program ends cleanly with exit code 0, also
// when the worker is still inside the renderer as the program ends.
TEST_F(DetectionWindow, ClosingWhileALargePageIsRenderedEndsCleanly) {
  for (const DWORD delayMs : {0u, 150u, 300u, 450u, 600u, 900u}) {
    SCOPED_TRACE(testing::Message() << "closed " << delayMs << " ms after the window appeared");
    ASSERT_NO_FATAL_FAILURE(Start(L"win2003", Site(L"/long"), {}));
    Sleep(delayMs);
    ASSERT_NO_FATAL_FAILURE(Close());
    ASSERT_NO_FATAL_FAILURE(ExpectExitCode(0));
    EndRun();
  }
}

TEST_F(DetectionWindow, TwoPlayersAreMoreThanOne) {
  ASSERT_NO_FATAL_FAILURE(Start(L"win2003", Site(L"/demo"), {kFernclip200, kFernclip300}));
  ASSERT_NO_FATAL_FAILURE(ExpectErrorPage(L"IDS_MORE_DEVICES_FOUND"));
  ASSERT_NO_FATAL_FAILURE(Close());
}

TEST_F(DetectionWindow, NoPlayerLeavesRefreshEnabled) {
  ASSERT_NO_FATAL_FAILURE(Start(L"win2003", Site(L"/demo"), {}));
  ASSERT_NO_FATAL_FAILURE(ExpectErrorPage(L"IDS_NO_DEVICE_FOUND_MSG01"));
  EXPECT_TRUE(driver::WaitUntil(5000, [&] { return Read("UniRefresh").enabled; }));
  EXPECT_TRUE(Read("UniRefresh").visible);
  ASSERT_NO_FATAL_FAILURE(Close());
}

// A page without the maker's product id is no database: Refresh is disabled and the program
// ends by itself 30 seconds later: Timer1 is on (its 30 s are checked on the native suite's
// virtual clock, so the test asks the test build's hook instead of sitting them out).
TEST_F(DetectionWindow, APageWithoutTheMakersIdIsRefused) {
  ASSERT_NO_FATAL_FAILURE(Start(L"win2003", Site(L"/nopid"), {kFernclip200}));
  ASSERT_NO_FATAL_FAILURE(ExpectErrorPage(L"IDS_PID_DATABASE_CONNECTION_FAILED"));
  EXPECT_FALSE(Read("UniRefresh").enabled);
  DWORD_PTR timer1 = 0;
  ASSERT_TRUE(AskTimerEnabled(1, timer1)) << "the wizard did not answer";
  EXPECT_EQ(timer1, 1u) << "Timer1 is not on: the program would not end by itself";
  ASSERT_NO_FATAL_FAILURE(Close());
}

// Without the site the message stays: the program does not end by itself (neither Timer1 nor
// Timer6 is on, asked through the test build's hook instead of sitting out Timer1's 30 s).
TEST_F(DetectionWindow, ASiteThatIsDownKeepsTheMessage) {
  // Nothing listens on port 1 of the loopback address.
  ASSERT_NO_FATAL_FAILURE(Start(L"win2003", L"http://127.0.0.1:1", {kFernclip200}));
  ASSERT_NO_FATAL_FAILURE(ExpectErrorPage(L"IDS_NO_INTERNET_CONNECTION"));
  ASSERT_NO_FATAL_FAILURE(ExpectNoTimerEndsTheProgram());
  ASSERT_TRUE(Running()) << "the program ended by itself";
  EXPECT_EQ(Read("Uni_Error_Label1").text, ErrorText(L"IDS_NO_INTERNET_CONNECTION"));
  EXPECT_TRUE(Read("cmdExit").enabled);
  EXPECT_TRUE(Read("UniRefresh").enabled);
  ASSERT_NO_FATAL_FAILURE(Close());
}

}  // namespace
}  // namespace revivix
