// The whole repair, end to end: the real fernclip.exe under Wine with the local maker site, a
// simulated player in Wine's device list and our simulated updaters, driven like a user through
// the wizard's own controls. Each road runs from its own copy of the runnable folder and its own
// folder of the site; a road that fails says which page it expected and what was visible.
//   arguments: fernclip.exe, the site's root folder, the site's state folder (its port file),
//              the format-type updater, the upgrade-type updater, the browser stand-in script
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/Version.h"
#include "common/Sha256.h"
#include "driver/FolderCopy.h"
#include "driver/Paths.h"
#include "driver/WizardSession.h"

namespace revivix {
namespace {

using wintest::FileExists;
using wintest::MakeFolders;
using wintest::ReadBytes;
using wintest::WriteBytes;

using driver::Page;
using driver::Utf8;

constexpr DWORD kStartMs = 20000;
constexpr DWORD kDetectMs = 30000;
constexpr DWORD kUpdaterMs = 60000;
constexpr DWORD kEndMs = 15000;

// Where the device list of Wine's Plug and Play manager is kept.
constexpr wchar_t kUsbEnum[] = L"System\\CurrentControlSet\\Enum\\USB";
constexpr wchar_t kDeviceVendor[] = L"VID_1F3A";
constexpr wchar_t kUsbClass[] = L"{36fc9e60-c465-11cf-8056-444553540000}";

std::vector<std::wstring> FilesMatching(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

bool SetRegistryText(HKEY root, const std::wstring& key, const wchar_t* name,
                     const std::wstring& value) {
  HKEY opened;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const LONG result =
      RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(opened);
  return result == ERROR_SUCCESS;
}

// One model of the road's database and the updater the site offers for it.
struct Model {
  std::wstring name;          // value 1, as the device reports it without "USB Device"
  std::wstring osLevel;       // value 2
  std::wstring mode;          // value 4
  std::wstring serialSuffix;  // value 5
  std::wstring updaterTitle;  // value 10
  std::wstring updaterFile;   // the updater's file name on the site (its scenario keywords)
  int updaterSource;          // 3: the format-type updater, 4: the upgrade-type one (argument)
};

const Model kFormatModel{
    L"Zanterix Fernclip 200",   L"2", L"MSC", L"AB12", L"Fernclip 200 Firmware Updater",
    L"Fernclip200_Updater.exe", 3};
const Model kUpgradeModel{
    L"Zanterix Fernclip 300",   L"2", L"MTP", L"7Q9Z", L"Fernclip 300 Firmware UPGRADE",
    L"Fernclip300_Upgrade.exe", 4};

class Road : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Windows 5.1, which the wizard supports, for fernclip.exe only.
    SetRegistryText(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\fernclip.exe", L"Version",
                    L"winxp");
    // Web addresses go to the browser stand-in, which records them beside itself.
    SetRegistryText(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers",
                    Utf8Path(wintest::Argument(5)));
  }
  static void TearDownTestSuite() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\fernclip.exe");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser");
  }

  static std::wstring Utf8Path(const std::string& path) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), n);
    wide.resize(wide.size() - 1);
    return wide;
  }

  void TearDown() override {
    wizard_.reset();
    std::wstring key = std::wstring(kUsbEnum) + L"\\" + kDeviceVendor;
    for (const std::wstring& product : devices_)
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, (key + L"&" + product).c_str());
    if (!folder_.empty()) {
      EXPECT_TRUE(driver::RemoveFolder(folder_)) << Utf8(folder_);
    }
  }

  // The road's own runnable folder, pointed at the road's own site folder, with the region and
  // language already chosen; the site folder gets the database, the link pages and the updaters.
  void Prepare(const std::string& road, const std::vector<Model>& models,
               const std::wstring& latestVersion = L"" REVIVIX_VERSION) {
    const std::string exe = wintest::Argument(0);
    ASSERT_FALSE(exe.empty()) << "arguments: fernclip.exe site-root site-state format-updater "
                                 "upgrade-updater browser-script";
    const std::string port = ReadBytes(driver::WindowsPath(wintest::Argument(2)) + L"\\port");
    ASSERT_FALSE(port.empty()) << "the site is not running (no port file)";
    site_ = L"http://127.0.0.1:" + Utf8Path(port.substr(0, port.find_first_of("\r\n"))) + L"/" +
            Utf8Path(road);

    const std::wstring bin = driver::FolderOf(driver::WindowsPath(exe));
    folder_ = driver::MakeTemporaryFolder(L"revivix-road-");
    ASSERT_FALSE(folder_.empty());
    ASSERT_TRUE(driver::CopyFolder(bin, folder_)) << "copying " << Utf8(bin) << " failed";
    ASSERT_TRUE(WriteBytes(folder_ + L"\\settings.ini",
                           "[Settings]\r\nRegion=Europe\r\nLanguage=English\r\n"));
    ASSERT_TRUE(WriteBytes(folder_ + L"\\site.ini", "[Site]\r\nAddress=" + Utf8(site_) + "\r\n"));

    siteFolder_ = driver::WindowsPath(wintest::Argument(1)) + L"\\" + Utf8Path(road);
    driver::RemoveFolder(siteFolder_);
    MakeFolders(siteFolder_ + L"\\revivix\\database");
    MakeFolders(siteFolder_ + L"\\eu\\fw");
    MakeFolders(siteFolder_ + L"\\files");
    MakeFolders(siteFolder_ + L"\\new");
    std::wstring page = L"<html><body>\r\n";
    std::string rules = "{";
    for (const Model& m : models) {
      // Value 13 with blanks around it, as a hand-edited database gives it (the update notice's
      // road opens it).
      page += L"PID_4157," + m.name + L"," + m.osLevel + L",10," + m.mode + L"," + m.serialSuffix +
              L",/fw/" + m.updaterFile + L".htm," + site_ + L"/eu," + site_ + L"/world,-," +
              m.updaterTitle + L"," + site_ + L"/support/" + m.updaterFile + L".htm," +
              latestVersion + L",  " + site_ + L"/new/setup.htm  <br>\r\n";
      // The link page names the updater in an anchor; its address is the page's only "http".
      const std::wstring link = L"<html><body><A HREF=\"" + site_ + L"/files/" + m.updaterFile +
                                L"\">" + m.updaterFile + L"</A></body></html>";
      ASSERT_TRUE(WriteBytes(siteFolder_ + L"\\eu\\fw\\" + m.updaterFile + L".htm", Utf8(link)));
      const std::wstring source = driver::WindowsPath(wintest::Argument(m.updaterSource));
      const std::size_t size = ReadBytes(source).size();
      ASSERT_GT(size, 0u) << "no updater at " << Utf8(source);
      ASSERT_TRUE(
          CopyFileW(source.c_str(), (siteFolder_ + L"\\files\\" + m.updaterFile).c_str(), FALSE));
      // Slow enough that the download page shows its progress for about two seconds.
      rules += std::string(rules.size() > 1 ? "," : "") + "\"/" + Utf8(m.updaterFile) +
               "\": {\"rate\": " + std::to_string(size / 2 + 1) + "}";
    }
    // The page ends with a line that names no player, after the last line break.
    page += L"PID_0000,-,0,0,-,N/A,-,-,-,-,-,-," + std::wstring(L"" REVIVIX_VERSION) +
            L",-</body></html>\r\n";
    ASSERT_TRUE(
        WriteBytes(siteFolder_ + L"\\revivix\\database\\Fernclip_database.htm", Utf8(page)));
    ASSERT_TRUE(WriteBytes(siteFolder_ + L"\\files\\site-rules.json", rules + "}"));
    ASSERT_TRUE(WriteBytes(siteFolder_ + L"\\new\\setup.htm", "<html>new version</html>"));
  }

  // A player in Wine's device list, as Plug and Play lists it: USB product `product`.
  void Connect(const std::wstring& product, const std::wstring& name) {
    const std::wstring key =
        std::wstring(kUsbEnum) + L"\\" + kDeviceVendor + L"&" + product + L"\\ZX" + product;
    devices_.push_back(product);
    ASSERT_TRUE(SetRegistryText(HKEY_LOCAL_MACHINE, key, L"DeviceDesc", name));
    ASSERT_TRUE(SetRegistryText(HKEY_LOCAL_MACHINE, key, L"FriendlyName", name));
    ASSERT_TRUE(SetRegistryText(HKEY_LOCAL_MACHINE, key, L"ClassGUID", kUsbClass));
  }

  void Start() {
    wizard_ = std::make_unique<driver::WizardSession>();
    ASSERT_TRUE(wizard_->Start(folder_, kStartMs))
        << "no window \"Zanterix Revivix\" within 20 s (is X running?)";
  }

  // Waits for a page; on failure names the page and what the window showed.
  void ExpectPage(Page page, DWORD timeoutMs) {
    if (wizard_->WaitForPage(page, timeoutMs)) return;
    FAIL() << "expected the page \"" << driver::PageName(page) << "\" within " << timeoutMs / 1000
           << " s, but the wizard shows \"" << driver::PageName(wizard_->CurrentPage())
           << "\" with these visible texts:\n"
           << wizard_->VisibleTexts();
  }

  void Click(std::string_view button) {
    ASSERT_TRUE(wizard_->Click(button)) << "cannot press " << button << "; visible:\n"
                                        << wizard_->VisibleTexts();
  }

  // The text of a message key in the road's English language file.
  std::wstring Message(const wchar_t* key) const {
    wchar_t text[1024] = {};
    GetPrivateProfileStringW(L"Strings", key, L"", text, 1024,
                             (folder_ + L"\\Languages\\English.txt").c_str());
    return text;
  }

  // Waits until the message label ends with the text of `key` (after the user's name).
  void ExpectMessage(const wchar_t* key, DWORD timeoutMs) {
    const std::wstring text = Message(key);
    ASSERT_FALSE(text.empty()) << "no " << Utf8(key) << " in the language file";
    const auto shows = [&] {
      const std::wstring label = wizard_->Text("Uni_Error_Label1");
      return wizard_->Shown("Uni_Error_Label1") && label.size() >= text.size() &&
             label.compare(label.size() - text.size(), text.size(), text) == 0;
    };
    if (driver::WizardSession::WaitUntil(shows, timeoutMs)) return;
    FAIL() << "expected the message " << Utf8(key) << " (\"" << Utf8(text) << "\") within "
           << timeoutMs / 1000 << " s; the wizard shows \""
           << driver::PageName(wizard_->CurrentPage()) << "\" with:\n"
           << wizard_->VisibleTexts();
  }

  void ExpectEnd() {
    ASSERT_TRUE(wizard_->WaitForEnd(kEndMs)) << "the program did not end; visible:\n"
                                             << wizard_->VisibleTexts();
  }

  std::vector<std::wstring> UpdatersLeft() const { return FilesMatching(folder_ + L"\\FW\\*.exe"); }

  std::string UpdaterLog(const Model& m) const {
    return ReadBytes(folder_ + L"\\FW\\" + m.updaterFile + L".log");
  }

  // The license page, the press on Accept, the download with its progress, and the updater's
  // window: the first half of every repair.
  void AcceptAndDownload(const Model& m) {
    ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
    EXPECT_EQ(wizard_->Text("Player_Detected_Label"), m.name);
    ASSERT_NO_FATAL_FAILURE(Click("Cmd_I_Agree"));
    ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::Download, kDetectMs));
    // The size labels follow the transfer.
    const bool progressShown = driver::WizardSession::WaitUntil(
        [&] {
          return wizard_->CurrentPage() != Page::Download ||
                 wizard_->Text("Label_Total_FileSize") != L"/00.00 MB";
        },
        kDetectMs);
    EXPECT_TRUE(progressShown);
    EXPECT_NE(wizard_->Text("Label_Total_FileSize"), L"/00.00 MB");
    HWND updater = nullptr;
    driver::WizardSession::WaitUntil(
        [&] { return (updater = FindWindowW(nullptr, m.updaterTitle.c_str())) != nullptr; },
        kUpdaterMs);
    ASSERT_NE(updater, nullptr) << "the updater's window \"" << Utf8(m.updaterTitle)
                                << "\" did not appear; the wizard shows:\n"
                                << wizard_->VisibleTexts();
  }

  void ExpectUpdaterClosed(const Model& m) {
    EXPECT_TRUE(driver::WizardSession::WaitUntil(
        [&] { return FindWindowW(nullptr, m.updaterTitle.c_str()) == nullptr; }, kEndMs))
        << "the updater's window is still open";
  }

  // Exit, then what the run leaves behind: the settings and no updater.
  void ExitAndCheckLeftovers() {
    ASSERT_NO_FATAL_FAILURE(Click("cmdExit"));
    ASSERT_NO_FATAL_FAILURE(ExpectEnd());
    const std::string settings = ReadBytes(folder_ + L"\\settings.ini");
    EXPECT_NE(settings.find("Region=Europe"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Language=English"), std::string::npos) << settings;
    EXPECT_TRUE(UpdatersLeft().empty()) << "FW still holds " << Utf8(UpdatersLeft().front());
  }

  std::wstring BrowserLog() const {
    return driver::FolderOf(driver::WindowsPath(wintest::Argument(5))) + L"\\browser.log";
  }

  // The site answers `file` of its folder `folder` ("eu\\fw", say) only after `ms`.
  void Delay(const std::wstring& folder, const std::wstring& file, int ms) {
    ASSERT_TRUE(
        WriteBytes(siteFolder_ + L"\\" + folder + L"\\site-rules.json",
                   "{\"/" + Utf8(file) + "\": {\"delay_ms\": " + std::to_string(ms) + "}}"));
  }

  // A click as the user makes it, also on a button that is disabled (which must then do nothing).
  void ClickAnyway(std::string_view button) {
    HWND control = wizard_->Control(button);
    ASSERT_NE(control, nullptr) << button;
    PostMessageW(control, BM_CLICK, 0, 0);
  }

  // Ends the updater of `m` if it still runs (a hung one would outlive the road).
  static void EndUpdater(const Model& m) {
    HWND window = FindWindowW(nullptr, m.updaterTitle.c_str());
    DWORD process = 0;
    if (!window || !GetWindowThreadProcessId(window, &process)) return;
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process)) {
      TerminateProcess(h, 0);
      WaitForSingleObject(h, 5000);
      CloseHandle(h);
    }
  }

  // The repair log the run left beside the settings.
  std::string RepairLog() const { return ReadBytes(folder_ + L"\\revivix.log"); }

  std::unique_ptr<driver::WizardSession> wizard_;
  std::wstring folder_;
  std::wstring site_;
  std::wstring siteFolder_;
  std::vector<std::wstring> devices_;
};

// Lines of `log` in order; true when each of `expected` appears, in this order.
::testing::AssertionResult LogHasInOrder(const std::string& log,
                                         const std::vector<std::string>& expected) {
  std::size_t at = 0;
  for (const std::string& line : expected) {
    const std::size_t found = log.find(line, at);
    if (found == std::string::npos)
      return ::testing::AssertionFailure()
             << "the log lacks \"" << line << "\" (in this order); it reads:\n"
             << log;
    at = found + line.size();
  }
  return ::testing::AssertionSuccess();
}

TEST_F(Road, FormatUpdaterRepairsThePlayer) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-1", {kFormatModel}));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AcceptAndDownload(kFormatModel));
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_FW_UPDATE_SUCCESSFUL", kUpdaterMs));
  ExpectUpdaterClosed(kFormatModel);
  ASSERT_NO_FATAL_FAILURE(ExitAndCheckLeftovers());
  EXPECT_TRUE(LogHasInOrder(
      UpdaterLog(kFormatModel),
      // The posted answer to "Option" is handled after the click on "&Start" that follows it.
      {"start format success", "click &Format Data Area", "click &Yes", "click &Start",
       "result COMPLETE", "click &Close"}));
  // The repair log names the player, the updater's address and the fingerprint of the very file
  // the site serves, and the success; every line ends in CR LF.
  const std::string served = ReadBytes(siteFolder_ + L"\\files\\" + kFormatModel.updaterFile);
  ASSERT_FALSE(served.empty());
  const std::string log = RepairLog();
  EXPECT_TRUE(LogHasInOrder(
      log,
      {std::string("[run] Revivix " REVIVIX_VERSION ", ") +
           (sizeof(void*) == 8 ? "64-bit" : "32-bit") + " program\r\n",
       "[check] administrator: yes\r\n", "[system] Windows 5.1.",
       "[fetch] database " + Utf8(site_) + "/revivix/database/Fernclip_database.htm: status 200",
       "[detect] maker device USB\\VID_1F3A&PID_0200\\ZXPID_0200",
       "[model] model Zanterix Fernclip 200 detected\r\n",
       "[link] updater address " + Utf8(site_) + "/files/Fernclip200_Updater.exe\r\n",
       "[download] " + std::to_string(served.size()) + " bytes announced, " +
           std::to_string(served.size()) + " received, ",
       "[updater] starting FW\\Fernclip200_Updater.exe, " + std::to_string(served.size()) +
           " bytes, SHA-256 " + Sha256Hex(served) + "\r\n",
       "[auto] click on \"&Start\" sent to window ",
       "[result] the update ended: COMPLETE, message IDS_FW_UPDATE_SUCCESSFUL\r\n",
       "[run] run ended by the Exit button on the message page\r\n"}));
  EXPECT_EQ(log.find(Utf8(folder_)), std::string::npos) << "the log names the program's folder";
}

TEST_F(Road, UpgradeUpdaterRepairsThePlayerAfterAWarning) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-2", {kUpgradeModel}));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0300", kUpgradeModel.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AcceptAndDownload(kUpgradeModel));
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_FW_UPDATE_SUCCESSFUL", kUpdaterMs));
  ExpectUpdaterClosed(kUpgradeModel);
  ASSERT_NO_FATAL_FAILURE(ExitAndCheckLeftovers());
  EXPECT_TRUE(
      LogHasInOrder(UpdaterLog(kUpgradeModel),
                    {"start upgrade success", "click UPGRADE", "dialog Warning! answered &Yes",
                     "result Firmware upgrade completed!", "closed by WM_CLOSE"}));
}

TEST_F(Road, AFailingUpdateIsReportedAndTheUpdaterClosed) {
  Model failing = kFormatModel;
  // It also goes on running for a while after its window has closed, as an updater that releases
  // the player does: the exit must still delete its file.
  failing.updaterFile = L"Fernclip200_Updater_fail_slowexit.exe";
  ASSERT_NO_FATAL_FAILURE(Prepare("road-3", {failing}));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", failing.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AcceptAndDownload(failing));
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_FW_UPDATE_FAILED", kUpdaterMs));
  ExpectUpdaterClosed(failing);
  EXPECT_TRUE(LogHasInOrder(UpdaterLog(failing), {"start format fail", "result FAIL"}));
  ASSERT_NO_FATAL_FAILURE(ExitAndCheckLeftovers());
}

TEST_F(Road, ARecoveryModePlayerIsChosenFromTheList) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-4", {kFormatModel, kUpgradeModel}));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_3500", L"USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::ModelAndSerialNumber, kDetectMs));
  EXPECT_EQ(wizard_->Text("Uni_PID3500_err_MSG"), Message(L"IDS_ENTER_PLAYER_SNO"));
  ASSERT_TRUE(wizard_->Pick("Combo_Choose_Player", kUpgradeModel.name)) << wizard_->VisibleTexts();
  ASSERT_NO_FATAL_FAILURE(Click("Cmd_Next"));
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kEndMs));
  EXPECT_EQ(wizard_->Text("Player_Detected_Label"), kUpgradeModel.name);
}

TEST_F(Road, ThreeUnknownSerialNumbersLeadToTheKnowledgeBaseQuestion) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-5", {kFormatModel}));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_3500", L"USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::ModelAndSerialNumber, kDetectMs));
  for (const wchar_t* serial : {L"SN-0000-0001", L"SN-0000-0002"}) {
    ASSERT_TRUE(wizard_->Type("txtSNO", serial)) << wizard_->VisibleTexts();
    ASSERT_NO_FATAL_FAILURE(Click("Cmd_Next"));
    const std::wstring reenter = Message(L"IDS_SNO_NOT_RECOGNISED_REENTER");
    EXPECT_TRUE(driver::WizardSession::WaitUntil(
        [&] {
          return wizard_->Text("Uni_PID3500_err_MSG") == reenter && wizard_->Text("txtSNO").empty();
        },
        kEndMs))
        << wizard_->VisibleTexts();
  }
  ASSERT_TRUE(wizard_->Type("txtSNO", L"SN-0000-AB12"));
  ASSERT_NO_FATAL_FAILURE(Click("Cmd_Next"));
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::KnowledgeBaseQuestion, kEndMs));
  EXPECT_EQ(wizard_->Text("Uni_PID3500_err_MSG"), Message(L"IDS_VISIT_KB_MSG"));
  ASSERT_NO_FATAL_FAILURE(Click("CmdNo"));
  ASSERT_NO_FATAL_FAILURE(ExpectEnd());
}

TEST_F(Road, TheUpdateNoticeAnsweredNoThenYes) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-6", {kFormatModel}, L"999"));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  DeleteFileW(BrowserLog().c_str());

  // No: the detection goes on to the license page.
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::UpdateNotice, kDetectMs));
  EXPECT_EQ(wizard_->Text("UniLabel_New_Version_Info"), Message(L"IDS_NEW_VERSION_AVAILABLE"));
  ASSERT_NO_FATAL_FAILURE(Click("CmdNo"));
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  ASSERT_NO_FATAL_FAILURE(Click("cmdExit"));
  ASSERT_NO_FATAL_FAILURE(ExpectEnd());
  EXPECT_FALSE(FileExists(BrowserLog()));

  // Another run, Yes: the browser is asked for the new version's page and the program ends.
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::UpdateNotice, kDetectMs));
  ASSERT_NO_FATAL_FAILURE(Click("CmdYes"));
  ASSERT_NO_FATAL_FAILURE(ExpectEnd());
  const std::string expected = Utf8(site_ + L"/new/setup.htm");
  EXPECT_TRUE(driver::WizardSession::WaitUntil(
      [&] { return ReadBytes(BrowserLog()).find(expected) != std::string::npos; }, kEndMs))
      << "the browser was not asked for " << expected << "; its log: " << ReadBytes(BrowserLog());
}

TEST_F(Road, HelpThenDeclineEndsTheProgramWithoutAnUpdater) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-7", {kFormatModel}));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  // A repair log that cannot be written: the road runs exactly as it does with one. The file is
  // read-only and, since Wine lets a root user write a read-only file, also held open here
  // without leave to write, as another program reading it would hold it.
  const std::wstring logPath = folder_ + L"\\revivix.log";
  const std::string earlier = "2026-01-01 00:00:00.000 [run] an earlier run\r\n";
  ASSERT_TRUE(WriteBytes(logPath, earlier));
  ASSERT_TRUE(SetFileAttributesW(logPath.c_str(), FILE_ATTRIBUTE_READONLY));
  const HANDLE held = CreateFileW(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  // Help on the way: the player's support page opens in the browser and the wizard stays.
  DeleteFileW(BrowserLog().c_str());
  ASSERT_NO_FATAL_FAILURE(Click("UniButton_Help"));
  const std::string support = Utf8(site_ + L"/support/" + kFormatModel.updaterFile + L".htm");
  EXPECT_TRUE(driver::WizardSession::WaitUntil(
      [&] { return ReadBytes(BrowserLog()).find(support) != std::string::npos; }, kEndMs))
      << "the browser was not asked for " << support << "; its log: " << ReadBytes(BrowserLog());
  EXPECT_EQ(wizard_->CurrentPage(), Page::License);
  ASSERT_NO_FATAL_FAILURE(Click("Cmd_I_Disagree"));
  ASSERT_NO_FATAL_FAILURE(ExpectEnd());
  EXPECT_TRUE(UpdatersLeft().empty());
  CloseHandle(held);
  EXPECT_EQ(RepairLog(), earlier);
  EXPECT_FALSE(FileExists(folder_ + L"\\revivix.1.log"));
  SetFileAttributesW(logPath.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Road, ADownloadThatIsNoProgramIsRefusedAndTheLogSaysWhy) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-13", {kFormatModel}));
  // The site serves a page under the updater's name.
  const std::string page = "<html><body>The page cannot be found</body></html>";
  ASSERT_TRUE(WriteBytes(siteFolder_ + L"\\files\\" + kFormatModel.updaterFile, page));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  ASSERT_NO_FATAL_FAILURE(Click("Cmd_I_Agree"));
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_UNEXPECTED_ERROR", kDetectMs));
  ASSERT_NO_FATAL_FAILURE(ExpectEnd());  // two seconds later
  EXPECT_TRUE(UpdatersLeft().empty());
  EXPECT_TRUE(LogHasInOrder(
      RepairLog(), {"[link] file name Fernclip200_Updater.exe\r\n",
                    "[download] " + std::to_string(page.size()) + " bytes announced, " +
                        std::to_string(page.size()) + " received, ",
                    " ms, refused: not a program\r\n", "[page] error IDS_UNEXPECTED_ERROR\r\n",
                    "[run] run ended by Timer6 (2 s after a failed download)"}));
  EXPECT_EQ(RepairLog().find("[updater] starting"), std::string::npos);
}

// ---- Unusual events: a hung updater, another program's dialog, a second click, a slow server ----

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST_F(Road, AHungUpdaterLeavesTheWizardAnsweringAndExitEndsIt) {
  Model hanging = kFormatModel;
  hanging.updaterFile = L"Fernclip200_Updater_hang.exe";
  ASSERT_NO_FATAL_FAILURE(Prepare("road-8", {hanging}));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", hanging.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AcceptAndDownload(hanging));
  EXPECT_TRUE(driver::WizardSession::WaitUntil(
      [&] { return UpdaterLog(hanging).find("hang") != std::string::npos; }, kUpdaterMs))
      << "the updater did not reach its Start handler; its log: " << UpdaterLog(hanging);
  // Long enough for the wizard's sends to the hung updater to time out a few times.
  Sleep(4000);
  // The wizard still takes a click: Help asks the browser for the support page.
  DeleteFileW(BrowserLog().c_str());
  ASSERT_NO_FATAL_FAILURE(Click("UniButton_Help"));
  const std::string support = Utf8(site_ + L"/support/" + hanging.updaterFile + L".htm");
  EXPECT_TRUE(driver::WizardSession::WaitUntil(
      [&] { return ReadBytes(BrowserLog()).find(support) != std::string::npos; }, kEndMs))
      << "the click on Help was not handled; the browser's log: " << ReadBytes(BrowserLog());
  ASSERT_NO_FATAL_FAILURE(Click("cmdExit"));
  EXPECT_TRUE(wizard_->WaitForEnd(kEndMs)) << "Exit did not end the wizard within 15 s";
  EndUpdater(hanging);
}

// A top-level window of this test program titled "Warning!" with a "&Yes" button, kept on top;
// it counts the clicks its button gets. Its own thread answers its messages.
class ForeignWarning {
 public:
  ForeignWarning() {
    thread_ = CreateThread(nullptr, 0, &ForeignWarning::Run, this, 0, nullptr);
    WaitForSingleObject(ready_, 10000);
  }
  ~ForeignWarning() {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (thread_) {
      WaitForSingleObject(thread_, 10000);
      CloseHandle(thread_);
    }
    CloseHandle(ready_);
  }
  bool Shown() const { return window_ != nullptr; }
  LONG Clicks() const { return clicks_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ForeignWarning*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && self)
      InterlockedIncrement(&self->clicks_);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  static DWORD WINAPI Run(void* arg) {
    auto* self = static_cast<ForeignWarning*>(arg);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RevivixTestForeignWarning";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Warning!",
                                  WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 40, 40, 300, 120,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    CreateWindowExW(0, L"BUTTON", L"&Yes", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 40, 80, 28,
                    window, reinterpret_cast<HMENU>(1), wc.hInstance, nullptr);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    self->window_ = window;
    SetEvent(self->ready_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return 0;
  }
  HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread_ = nullptr;
  HWND window_ = nullptr;
  volatile LONG clicks_ = 0;
};

TEST_F(Road, AnotherProgramsWarningIsNeverPressedAndTheUpgradeCompletes) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-9", {kUpgradeModel}));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0300", kUpgradeModel.name + L" USB Device"));
  ForeignWarning foreign;
  ASSERT_TRUE(foreign.Shown());
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AcceptAndDownload(kUpgradeModel));
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_FW_UPDATE_SUCCESSFUL", kUpdaterMs));
  EXPECT_EQ(foreign.Clicks(), 0) << "the other program's \"&Yes\" was pressed";
  EXPECT_TRUE(LogHasInOrder(
      UpdaterLog(kUpgradeModel),
      {"click UPGRADE", "dialog Warning! answered &Yes", "result Firmware upgrade completed!"}));
  ASSERT_NO_FATAL_FAILURE(ExitAndCheckLeftovers());
  EXPECT_EQ(foreign.Clicks(), 0);
}

TEST_F(Road, RefreshAndASecondAcceptDuringASlowLinkPageStartOneUpdater) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-10", {kFormatModel}));
  ASSERT_NO_FATAL_FAILURE(Delay(L"eu\\fw", kFormatModel.updaterFile + L".htm", 5000));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  ASSERT_NO_FATAL_FAILURE(Click("Cmd_I_Agree"));
  Sleep(1000);
  ASSERT_NO_FATAL_FAILURE(ClickAnyway("UniRefresh"));
  Sleep(1500);  // a detection tick would come now
  ASSERT_NO_FATAL_FAILURE(ClickAnyway("Cmd_I_Agree"));
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_FW_UPDATE_SUCCESSFUL", kUpdaterMs));
  EXPECT_FALSE(wizard_->Ended());
  Sleep(2000);
  EXPECT_FALSE(wizard_->Ended()) << "the wizard ended by itself";
  EXPECT_EQ(Occurrences(UpdaterLog(kFormatModel), "start format"), 1u)
      << "the updater was started more than once; its log:\n"
      << UpdaterLog(kFormatModel);
  ASSERT_NO_FATAL_FAILURE(ExitAndCheckLeftovers());
}

TEST_F(Road, ASlowDatabaseAtStartUpShowsTheUpdateNoticeAlone) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-11", {kFormatModel}, L"999"));
  ASSERT_NO_FATAL_FAILURE(Delay(L"revivix\\database", L"Fernclip_database.htm", 3000));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::UpdateNotice, kDetectMs));
  // Several detection ticks fell inside the start-up wait; none of them ran a detection.
  Sleep(2000);
  EXPECT_EQ(wizard_->CurrentPage(), Page::UpdateNotice);
  EXPECT_FALSE(wizard_->Shown("Cmd_I_Agree"));
  EXPECT_FALSE(wizard_->Shown("Cmd_I_Disagree"));
  ASSERT_NO_FATAL_FAILURE(Click("CmdNo"));
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  ASSERT_NO_FATAL_FAILURE(Click("cmdExit"));
  ASSERT_NO_FATAL_FAILURE(ExpectEnd());
}

TEST_F(Road, ExitDuringALongLinkPageWaitEndsTheProgram) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-12", {kFormatModel}));
  ASSERT_NO_FATAL_FAILURE(Delay(L"eu\\fw", kFormatModel.updaterFile + L".htm", 40000));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  ASSERT_NO_FATAL_FAILURE(Click("Cmd_I_Agree"));
  Sleep(2000);
  ASSERT_NO_FATAL_FAILURE(Click("cmdExit"));
  const DWORD pressed = GetTickCount();
  EXPECT_TRUE(wizard_->WaitForEnd(kEndMs)) << "the process still runs 15 s after Exit";
  EXPECT_LT(GetTickCount() - pressed, kEndMs);
  EXPECT_TRUE(UpdatersLeft().empty());
}

}  // namespace
}  // namespace revivix
