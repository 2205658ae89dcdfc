// The real fernclip.exe under Wine identifying the connected player against the local maker site:
// each case runs from its own copy of the runnable folder, with settings Europe/English, a
// site.ini that points at a scenario of the site, the Windows version Wine reports to the
// program, and simulated USB devices in Wine's device list; the test reads the page the window
// shows. Arguments: fernclip.exe, the site's state folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FormControls.h"
#include "SiteSupport.h"
#include "TestSupport.h"
#include "driver/ComboPick.h"
#include "driver/FolderCopy.h"
#include "driver/PageReader.h"
#include "driver/Paths.h"
#include "driver/WindowProbe.h"
#include "driver/WineMachine.h"
#include "main/TestPages.h"

namespace revivix {
namespace {

using wintest::WriteBytes;

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kPageTimeoutMs = 30000;
constexpr DWORD kEndTimeoutMs = 15000;
constexpr wchar_t kExe[] = L"fernclip.exe";

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
  return narrow;
}

std::wstring ReadUtf16(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::wstring text(GetFileSize(file, nullptr) / 2, L'\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size() * 2), &read, nullptr);
  CloseHandle(file);
  text.resize(read / 2);
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return text;
}

// A maker device plugged in: its instance below Enum\USB and its friendly name.
struct Device {
  std::wstring instance;
  std::wstring name;
};
const Device kFernclip200{L"VID_2A5F&PID_4157\\E2EFC200A", L"Zanterix Fernclip 200 USB Device"};
const Device kFernclip300{L"VID_2A5F&PID_4157\\E2EFC300B", L"Zanterix Fernclip 300 USB Device"};
const Device kRecovery{L"VID_2A5F&PID_3500\\E2ERECOVERY", L""};

class DetectionWindow : public testing::Test {
 protected:
  void TearDown() override {
    if (program_ && WaitForSingleObject(program_->Handle(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(program_->Handle(), 99);
      WaitForSingleObject(program_->Handle(), kEndTimeoutMs);
    }
    program_.reset();
    for (const Device& device : devices_) EXPECT_TRUE(driver::RemoveUsbDevice(device.instance));
    EXPECT_TRUE(driver::ClearWindowsVersionFor(kExe));
    if (!folder_.empty()) {
      EXPECT_TRUE(driver::RemoveFolder(folder_)) << Narrow(folder_);
    }
  }

  // Copies the runnable folder, points it at `site`, sets the Windows version Wine reports to
  // the program and plugs in `devices`, then starts the program.
  void Start(const std::wstring& windowsVersion, const std::wstring& site,
             const std::vector<Device>& devices) {
    const std::string exe = wintest::Argument(0);
    ASSERT_FALSE(exe.empty()) << "the path of fernclip.exe is the first argument";
    const std::wstring bin = driver::FolderOf(driver::WindowsPath(exe));
    folder_ = driver::MakeTemporaryFolder(L"revivix-detection-");
    ASSERT_FALSE(folder_.empty());
    ASSERT_TRUE(driver::CopyFolder(bin, folder_)) << "copying " << Narrow(bin) << " failed";
    ASSERT_TRUE(WriteBytes(folder_ + L"\\settings.ini",
                           "[Settings]\r\nRegion=Europe\r\nLanguage=English\r\n"));
    ASSERT_TRUE(WriteBytes(folder_ + L"\\site.ini", "[Site]\r\nAddress=" + Narrow(site) + "\r\n"));
    ASSERT_TRUE(driver::SetWindowsVersionFor(kExe, windowsVersion));
    // Devices an interrupted earlier run may have left behind go first.
    for (const Device& device : {kFernclip200, kFernclip300, kRecovery})
      ASSERT_TRUE(driver::RemoveUsbDevice(device.instance));
    for (const Device& device : devices) {
      devices_.push_back(device);
      ASSERT_TRUE(driver::AddUsbDevice(device.instance, device.name, L"USB Mass Storage Device"));
    }
    const std::wstring path = folder_ + L"\\" + kExe;
    program_ = std::make_unique<wintest::Child>(L"\"" + path + L"\"", folder_.c_str());
    ASSERT_TRUE(program_->Started()) << "CreateProcessW failed: " << GetLastError();
    main_ = driver::WaitForTopLevelWindow(wintest::kWizardCaption, program_->Id(), kStartTimeoutMs);
    ASSERT_NE(main_, nullptr) << "no wizard window within 20 s (is X running?)";
  }

  // The demo scenario of the local site, or a scenario of the test fixtures.
  static std::wstring Site(const wchar_t* scenario) {
    const std::wstring site = wintest::LocalSite(wintest::Argument(1));
    return site.empty() ? std::wstring() : site + scenario;
  }

  driver::ControlState Read(std::string_view name) const {
    return driver::ReadControl(main_, wintest::ControlId(name));
  }

  std::wstring LanguageText(const wchar_t* key) const {
    wchar_t text[1024] = {};
    GetPrivateProfileStringW(L"Strings", key, L"", text, 1024,
                             (folder_ + L"\\Languages\\English.txt").c_str());
    return text;
  }

  // The error text as the window shows it: the user's name, ", " and the message.
  std::wstring ErrorText(const wchar_t* key) const {
    wchar_t user[256] = {};
    DWORD size = 256;
    GetUserNameW(user, &size);
    return std::wstring(user) + L", " + LanguageText(key);
  }

  // Waits for the error page with this message; false (and the page shown so far reported)
  // when it does not come.
  void ExpectErrorPage(const wchar_t* key) {
    const std::wstring expected = ErrorText(key);
    const bool shown = driver::WaitUntil(kPageTimeoutMs, [&] {
      return Read("Frame_Error_Handling").visible && Read("Uni_Error_Label1").text == expected;
    });
    ASSERT_TRUE(shown) << "expected \"" << Narrow(expected) << "\", the window shows \""
                       << Narrow(Read("Uni_Error_Label1").text) << "\"";
    EXPECT_TRUE(Read("cmdExit").visible);
    EXPECT_TRUE(Read("cmdExit").enabled);
    EXPECT_FALSE(Read("Cmd_I_Agree").visible);
  }

  bool Running() const { return WaitForSingleObject(program_->Handle(), 0) == WAIT_TIMEOUT; }

  void Close() {
    ASSERT_TRUE(PostMessageW(main_, WM_CLOSE, 0, 0));
    ASSERT_EQ(WaitForSingleObject(program_->Handle(), kEndTimeoutMs), WAIT_OBJECT_0)
        << "fernclip.exe did not end within 15 s of WM_CLOSE";
  }

  std::wstring folder_;
  std::vector<Device> devices_;
  std::unique_ptr<wintest::Child> program_;
  HWND main_ = nullptr;
};

TEST_F(DetectionWindow, OnePlayerOpensItsLicensePage) {
  Start(L"win2003", Site(L"/demo"), {kFernclip200});
  const bool license =
      driver::WaitUntil(kPageTimeoutMs, [&] { return Read("Cmd_I_Agree").visible; });
  ASSERT_TRUE(license) << "no license page; the window shows \""
                       << Narrow(Read("Uni_Error_Label1").text) << "\"";
  EXPECT_EQ(Read("Player_Detected_Label").text, L"Zanterix Fernclip 200");
  EXPECT_TRUE(Read("Player_Detected_Frame1").visible);
  EXPECT_TRUE(Read("Cmd_I_Disagree").visible);
  EXPECT_FALSE(Read("Frame_Error_Handling").visible);
  HWND agree = driver::FindControlById(main_, wintest::ControlId("Cmd_I_Agree"));
  EXPECT_TRUE(driver::WaitUntil(5000, [&] { return driver::FocusedWindow(main_) == agree; }))
      << "Accept does not have the keyboard focus";
  // The English license, whole, in the license box.
  std::wstring license_text = ReadUtf16(folder_ + L"\\License\\English.txt");
  ASSERT_GT(license_text.size(), 100u);
  const driver::ControlState box = Read("UnitxtLicense");
  EXPECT_TRUE(box.visible);
  EXPECT_NE(box.text.find(license_text.substr(0, 80)), std::wstring::npos)
      << "the license box starts \"" << Narrow(box.text.substr(0, 80)) << "\"";
  EXPECT_GE(box.text.size(), license_text.size() - 2);
  Close();
}

TEST_F(DetectionWindow, Windows61IsNotSupported) {
  Start(L"win7", Site(L"/demo"), {kFernclip200});
  ExpectErrorPage(L"IDS_OS_NOT_SUPPORTED");
  Close();
}

TEST_F(DetectionWindow, ARecoveryModePlayerOpensTheSerialNumberPage) {
  Start(L"win2003", Site(L"/demo"), {kRecovery});
  const bool shown =
      driver::WaitUntil(kPageTimeoutMs, [&] { return Read("Frame_DetectPlayer_by_SNO").visible; });
  ASSERT_TRUE(shown) << "no serial-number page; the window shows \""
                     << Narrow(Read("Uni_Error_Label1").text) << "\"";
  EXPECT_EQ(Read("Uni_PID3500_err_MSG").text, LanguageText(L"IDS_ENTER_PLAYER_SNO"));
  EXPECT_FALSE(Read("cmdExit").visible);
  EXPECT_FALSE(Read("Frame_Error_Handling").visible);
  HWND list = driver::FindControlById(main_, wintest::ControlId("Combo_Choose_Player"));
  EXPECT_EQ(driver::ComboSelectedText(list), L"Choose Player");
  // The models of the demo database that can be chosen by serial number.
  EXPECT_EQ(driver::ComboEntries(list),
            (std::vector<std::wstring>{L"Choose Player", L"Zanterix Fernclip 200",
                                       L"Zanterix Fernclip 300"}));
  Close();
}

TEST_F(DetectionWindow, TenThousandLinesReachTheSerialNumberPage) {
  Start(L"win2003", Site(L"/long"), {kRecovery});
  const bool shown =
      driver::WaitUntil(kPageTimeoutMs, [&] { return Read("Frame_DetectPlayer_by_SNO").visible; });
  ASSERT_TRUE(shown) << "no serial-number page; the window shows \""
                     << Narrow(Read("Uni_Error_Label1").text) << "\"";
  HWND list = driver::FindControlById(main_, wintest::ControlId("Combo_Choose_Player"));
  const std::vector<std::wstring> entries = driver::ComboEntries(list);
  ASSERT_EQ(entries.size(), 10001u);
  EXPECT_EQ(entries[1], L"Zanterix Fernclip 1");
  EXPECT_EQ(entries[10000], L"Zanterix Fernclip 10000");
  Close();
}

// The close request while the long database page is fetched and rendered on its worker, at
// staggered moments, several times: each time the program ends cleanly with exit code 0, also
// when the worker is still inside the renderer as the program ends.
TEST_F(DetectionWindow, ClosingWhileALargePageIsRenderedEndsCleanly) {
  for (const DWORD delayMs : {0u, 150u, 300u, 450u, 600u, 900u}) {
    SCOPED_TRACE(testing::Message() << "closed " << delayMs << " ms after the window appeared");
    ASSERT_NO_FATAL_FAILURE(Start(L"win2003", Site(L"/long"), {}));
    Sleep(delayMs);
    PostMessageW(main_, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program_->Handle(), kEndTimeoutMs), WAIT_OBJECT_0)
        << "fernclip.exe did not end after the close request";
    DWORD code = 1;
    ASSERT_TRUE(GetExitCodeProcess(program_->Handle(), &code));
    EXPECT_EQ(code, 0u) << "exit code " << std::hex << code;
    program_.reset();
    EXPECT_TRUE(driver::RemoveFolder(folder_)) << Narrow(folder_);
    folder_.clear();
  }
}

TEST_F(DetectionWindow, TwoPlayersAreMoreThanOne) {
  Start(L"win2003", Site(L"/demo"), {kFernclip200, kFernclip300});
  ExpectErrorPage(L"IDS_MORE_DEVICES_FOUND");
  Close();
}

TEST_F(DetectionWindow, NoPlayerLeavesRefreshEnabled) {
  Start(L"win2003", Site(L"/demo"), {});
  ExpectErrorPage(L"IDS_NO_DEVICE_FOUND_MSG01");
  EXPECT_TRUE(driver::WaitUntil(5000, [&] { return Read("UniRefresh").enabled; }));
  EXPECT_TRUE(Read("UniRefresh").visible);
  Close();
}

// A page without the maker's product id is no database: Refresh is disabled and the program
// ends by itself 30 seconds later: Timer1 is on (its 30 s are checked on the native suite's
// virtual clock, so the test asks the test build's hook instead of sitting them out).
TEST_F(DetectionWindow, APageWithoutTheMakersIdIsRefused) {
  Start(L"win2003", Site(L"/nopid"), {kFernclip200});
  ExpectErrorPage(L"IDS_PID_DATABASE_CONNECTION_FAILED");
  EXPECT_FALSE(Read("UniRefresh").enabled);
  DWORD_PTR timer1 = 0;
  ASSERT_NE(SendMessageTimeoutW(main_, RegisterWindowMessageW(testhook::kTimerEnabledMessage), 1, 0,
                                SMTO_ABORTIFHUNG, 5000, &timer1),
            0)
      << "the wizard did not answer";
  EXPECT_EQ(timer1, 1u) << "Timer1 is not on: the program would not end by itself";
  Close();
}

// Without the site the message stays: the program does not end by itself.
TEST_F(DetectionWindow, ASiteThatIsDownKeepsTheMessage) {
  // Nothing listens on port 1 of the loopback address.
  Start(L"win2003", L"http://127.0.0.1:1", {kFernclip200});
  ExpectErrorPage(L"IDS_NO_INTERNET_CONNECTION");
  // Longer than Timer1's 30 s, the only timer that ends the program by itself.
  Sleep(32000);
  ASSERT_TRUE(Running()) << "the program ended by itself";
  EXPECT_EQ(Read("Uni_Error_Label1").text, ErrorText(L"IDS_NO_INTERNET_CONNECTION"));
  EXPECT_TRUE(Read("cmdExit").enabled);
  EXPECT_TRUE(Read("UniRefresh").enabled);
  Close();
}

}  // namespace
}  // namespace revivix
