// The whole repair, end to end: the real fernclip.exe under Wine with the local maker site, a
// simulated player in Wine's device list and our simulated updaters, driven like a user through
// the wizard's own controls. Each road runs from its own copy of the runnable folder and its own
// folder of the site; a road that fails says which page it expected and what was visible.
//   arguments: fernclip.exe, the site's root folder, the site's state folder (its port file),
//              the format-type updater, the upgrade-type updater, the browser stand-in script,
//              and for the network roads the state folder of tests/win32/network-sites.sh
#include <windows.h>

#include <wincrypt.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "RoadFixture.h"
#include "TestSupport.h"
#include "app/Version.h"
#include "common/Sha256.h"
#include "driver/FolderCopy.h"
#include "driver/Paths.h"

namespace revivix {
namespace {

using wintest::FileExists;
using wintest::MakeFolders;
using wintest::ReadBytes;
using wintest::WriteBytes;

using driver::Page;
using driver::Utf8;
using driver::Wide;
using wintest::kEndMs;
using wintest::kStartMs;

constexpr DWORD kDetectMs = wintest::kPageMs;
constexpr DWORD kUpdaterMs = 60000;

// The vendor of the simulated players in Wine's device list.
constexpr wchar_t kDeviceVendor[] = L"VID_1F3A";

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

class Road : public wintest::RoadFixture {
 protected:
  void SetUp() override {
    // Windows 5.1, which the wizard supports, for fernclip.exe only.
    ASSERT_TRUE(machine_.SetWindowsVersion(L"fernclip.exe", L"winxp"));
    // Web addresses go to the browser stand-in, which records them beside itself.
    ASSERT_TRUE(machine_.SetBrowser(Wide(wintest::Argument(5))));
  }

  static std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
  }

  // The road's own runnable folder, pointed at the road's own site folder, with the region and
  // language already chosen; the site folder gets the database, the link pages and the updaters.
  void Prepare(const std::string& road, const std::vector<Model>& models,
               const std::wstring& latestVersion = L"" REVIVIX_VERSION) {
    ASSERT_FALSE(wintest::Argument(5).empty())
        << "arguments: fernclip.exe site-root site-state format-updater upgrade-updater "
           "browser-script";
    const std::string port = ReadBytes(driver::WindowsPath(wintest::Argument(2)) + L"\\port");
    ASSERT_FALSE(port.empty()) << "the site is not running (no port file)";
    const std::wstring base =
        siteBase_.empty() ? L"http://127.0.0.1:" + Wide(FirstLine(port)) : siteBase_;
    site_ = base + L"/" + Wide(road);
    road_ = road;
    logStart_ = ReadBytes(driver::WindowsPath(wintest::Argument(2)) + L"\\requests.log").size();

    ASSERT_NO_FATAL_FAILURE(PrepareFolder(L"revivix-road-"));
    ASSERT_NO_FATAL_FAILURE(WriteSettings(wintest::kEuropeEnglish));
    ASSERT_NO_FATAL_FAILURE(WriteSite(site_));

    siteFolder_ = driver::WindowsPath(wintest::Argument(1)) + L"\\" + Wide(road);
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
    ASSERT_TRUE(machine_.AddUsbDevice(
        std::wstring(kDeviceVendor) + L"&" + product + L"\\ZX" + product, name, name));
  }

  void Start() { ASSERT_NO_FATAL_FAILURE(StartWizard()); }

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
    const bool progressShown = driver::WaitUntil(kDetectMs, [&] {
      return wizard_->CurrentPage() != Page::Download ||
             wizard_->Text("Label_Total_FileSize") != L"/00.00 MB";
    });
    EXPECT_TRUE(progressShown);
    EXPECT_NE(wizard_->Text("Label_Total_FileSize"), L"/00.00 MB");
    HWND updater = nullptr;
    driver::WaitUntil(kUpdaterMs, [&] {
      return (updater = FindWindowW(nullptr, m.updaterTitle.c_str())) != nullptr;
    });
    ASSERT_NE(updater, nullptr) << "the updater's window \"" << Utf8(m.updaterTitle)
                                << "\" did not appear; the wizard shows:\n"
                                << wizard_->VisibleTexts();
  }

  void ExpectUpdaterClosed(const Model& m) {
    EXPECT_TRUE(driver::WaitUntil(kEndMs, [&] {
      return FindWindowW(nullptr, m.updaterTitle.c_str()) == nullptr;
    })) << "the updater's window is still open";
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

  // Waits until the roads' site has answered a request for `path` below the road's folder since
  // the road was prepared; its log has one "METHOD ADDRESS" line per request it answered.
  bool WaitForRequest(const std::string& path, DWORD timeoutMs) const {
    const std::wstring log = driver::WindowsPath(wintest::Argument(2)) + L"\\requests.log";
    const std::string wanted = "/" + road_ + path;
    return driver::WaitUntil(timeoutMs, [&] {
      const std::string text = ReadBytes(log);
      return text.size() > logStart_ && text.find(wanted, logStart_) != std::string::npos;
    });
  }

  // The repair log the run left beside the settings.
  std::string RepairLog() const { return ReadBytes(folder_ + L"\\revivix.log"); }

  std::wstring site_;
  std::wstring siteBase_;  // the site's scheme, host and port, when not http://127.0.0.1:<port>
  std::wstring siteFolder_;
  std::string road_;          // the road's folder on the site
  std::size_t logStart_ = 0;  // the size of the site's request log when the road was prepared
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
  // The answer to "OPTION" is posted and the click on "&Start" that follows it is sent, so the
  // updater may handle either first (a sent message overtakes a queued post): each must come after
  // Format Data Area and before the result.
  const std::string updaterLog = UpdaterLog(kFormatModel);
  for (const char* click : {"click &Yes", "click &Start"}) {
    EXPECT_TRUE(LogHasInOrder(updaterLog, {"start format success", "click &Format Data Area", click,
                                           "result COMPLETE", "click &Close"}));
  }
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
    EXPECT_TRUE(driver::WaitUntil(kEndMs, [&] {
      return wizard_->Text("Uni_PID3500_err_MSG") == reenter && wizard_->Text("txtSNO").empty();
    })) << wizard_->VisibleTexts();
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
  EXPECT_TRUE(driver::WaitUntil(
      kEndMs, [&] { return ReadBytes(BrowserLog()).find(expected) != std::string::npos; }))
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
  EXPECT_TRUE(driver::WaitUntil(
      kEndMs, [&] { return ReadBytes(BrowserLog()).find(support) != std::string::npos; }))
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
  ASSERT_NO_FATAL_FAILURE(Prepare("road-23", {kFormatModel}));
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
  EXPECT_TRUE(driver::WaitUntil(
      kUpdaterMs, [&] { return UpdaterLog(hanging).find("hang") != std::string::npos; }))
      << "the updater did not reach its Start handler; its log: " << UpdaterLog(hanging);
  // Long enough for the wizard's sends to the hung updater to time out a few times (each send
  // gives up after 1.5 s).
  Sleep(4000);
  // The wizard still takes a click: Help asks the browser for the support page.
  DeleteFileW(BrowserLog().c_str());
  ASSERT_NO_FATAL_FAILURE(Click("UniButton_Help"));
  const std::string support = Utf8(site_ + L"/support/" + hanging.updaterFile + L".htm");
  EXPECT_TRUE(driver::WaitUntil(
      kEndMs, [&] { return ReadBytes(BrowserLog()).find(support) != std::string::npos; }))
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
  // Inside the link page's 5 s: the site writes its log only when it answers, so the wait is
  // placed by time.
  Sleep(1000);
  ASSERT_NO_FATAL_FAILURE(ClickAnyway("UniRefresh"));
  Sleep(1500);  // a detection tick (Timer2, every second) would come now
  ASSERT_NO_FATAL_FAILURE(ClickAnyway("Cmd_I_Agree"));
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_FW_UPDATE_SUCCESSFUL", kUpdaterMs));
  EXPECT_FALSE(wizard_->Ended());
  // Neither an end by itself (Timer6 would end the wizard 2 s after a failed download) nor a
  // second updater's start comes within these 2 s.
  ASSERT_NO_FATAL_FAILURE(ExpectNoTimerEndsTheProgram());
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
  // Several detection ticks fell inside the start-up wait; none of them ran a detection. Two
  // more of Timer2's one-second ticks come before the page is read again.
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
  // Inside the link page's 40 s (the site writes its log only when it answers).
  Sleep(2000);
  ASSERT_NO_FATAL_FAILURE(Click("cmdExit"));
  const DWORD pressed = GetTickCount();
  EXPECT_TRUE(wizard_->WaitForEnd(kEndMs)) << "the process still runs 15 s after Exit";
  EXPECT_LT(GetTickCount() - pressed, kEndMs);
  EXPECT_TRUE(UpdatersLeft().empty());
}

// The networks people have: a company proxy, a site that moved to https. The servers are those
// of tests/win32/network-sites.sh (the seventh argument names its state folder).

// The prefix's proxy of Internet Options and the test's certificate authority are set for one road
// through the road's machine (driver::WineMachine), which puts both back when the road ends,
// whether it passed or not.

class NetworkRoad : public Road {
 protected:
  // The state folder of one of the network's servers ("proxy", "https", "redirect", "untrusted").
  static std::wstring Server(const wchar_t* name) {
    return driver::WindowsPath(wintest::Argument(6)) + L"\\" + name;
  }
  static std::wstring PortOf(const wchar_t* server) {
    return Wide(FirstLine(ReadBytes(Server(server) + L"\\port")));
  }
  static std::wstring RoadsSitePort() {
    return Wide(FirstLine(ReadBytes(driver::WindowsPath(wintest::Argument(2)) + L"\\port")));
  }

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Road::SetUp());
    ASSERT_FALSE(wintest::Argument(6).empty())
        << "the seventh argument names the state folder of network-sites.sh";
    for (const wchar_t* server : {L"proxy", L"https", L"redirect", L"untrusted"}) {
      ASSERT_FALSE(PortOf(server).empty()) << Utf8(server) << " is not running (no port file)";
      const std::wstring log = Server(server) + L"\\requests.log";
      logStarts_[log] = ReadBytes(log).size();
    }
    const std::wstring roadsLog = RoadsSiteLog();
    logStarts_[roadsLog] = ReadBytes(roadsLog).size();
  }

  static std::wstring RoadsSiteLog() {
    return driver::WindowsPath(wintest::Argument(2)) + L"\\requests.log";
  }

  // The requests that `log` (one "METHOD ADDRESS ..." a line) got during this road for the road's
  // folder `road`, as the paths below the host.
  std::vector<std::string> RoadRequests(const std::wstring& log, const std::string& road) const {
    std::vector<std::string> paths;
    const std::string text = ReadBytes(log);
    const auto start = logStarts_.find(log);
    const std::size_t from = start == logStarts_.end() ? 0 : start->second;
    std::istringstream lines(from < text.size() ? text.substr(from) : std::string());
    std::string method, address;
    for (std::string line; std::getline(lines, line);) {
      std::istringstream words(line);
      if (!(words >> method >> address)) continue;
      const std::size_t at = address.find("/" + road + "/");
      if (at != std::string::npos) paths.push_back(address.substr(at));
    }
    return paths;
  }

  static bool Holds(const std::vector<std::string>& paths, const std::string& end) {
    for (const std::string& path : paths)
      if (path.size() >= end.size() && path.compare(path.size() - end.size(), end.size(), end) == 0)
        return true;
    return false;
  }

  // The three fetches of a repair: the database, the link page and the updater.
  void ExpectTheRepairsFetches(const std::vector<std::string>& paths, const char* where) {
    const std::string updater = Utf8(kFormatModel.updaterFile);
    EXPECT_TRUE(Holds(paths, "/revivix/database/Fernclip_database.htm")) << where;
    EXPECT_TRUE(Holds(paths, "/eu/fw/" + updater + ".htm")) << where;
    EXPECT_TRUE(Holds(paths, "/files/" + updater)) << where;
  }

  // The whole repair with the format-type updater, from the start to the program's end.
  void RepairToSuccess() {
    ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(AcceptAndDownload(kFormatModel));
    ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_FW_UPDATE_SUCCESSFUL", kUpdaterMs));
    ExpectUpdaterClosed(kFormatModel);
    ASSERT_NO_FATAL_FAILURE(ExitAndCheckLeftovers());
  }

  // The database failure page soon after the start, and nothing downloaded or started.
  void EndOnTheDatabaseFailure() {
    ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_PID_DATABASE_CONNECTION_FAILED", kStartMs));
    EXPECT_TRUE(FilesMatching(folder_ + L"\\FW\\*.*").size() <= 2)  // "." and ".." at most
        << "FW holds " << Utf8(FilesMatching(folder_ + L"\\FW\\*.*").back());
    EXPECT_EQ(FindWindowW(nullptr, kFormatModel.updaterTitle.c_str()), nullptr);
    ASSERT_NO_FATAL_FAILURE(Click("cmdExit"));
    ASSERT_NO_FATAL_FAILURE(ExpectEnd());
    EXPECT_TRUE(UpdaterLog(kFormatModel).empty());
  }

  std::map<std::wstring, std::size_t> logStarts_;  // each log's size when the road began
};

// A company network: the site's name resolves nowhere but at the proxy of Internet Options, so the
// direct connection check fails and every fetch must go through the proxy.
TEST_F(NetworkRoad, BehindAProxyTheWholeRepairSucceeds) {
  siteBase_ = L"http://fernclip-site.invalid:" + RoadsSitePort();
  ASSERT_NO_FATAL_FAILURE(Prepare("road-proxy", {kFormatModel}));
  ASSERT_TRUE(machine_.SetProxy(L"127.0.0.1:" + PortOf(L"proxy")));
  ASSERT_NO_FATAL_FAILURE(RepairToSuccess());
  const std::vector<std::string> proxied =
      RoadRequests(Server(L"proxy") + L"\\requests.log", "road-proxy");
  const std::vector<std::string> served = RoadRequests(RoadsSiteLog(), "road-proxy");
  ExpectTheRepairsFetches(proxied, "through the proxy");
  // The site saw nothing that did not pass the proxy.
  EXPECT_EQ(served, proxied);
}

// The proxy wants a password the wizard does not have: the database fetch fails as any failed
// fetch does, with no dialog and no wait.
TEST_F(NetworkRoad, AProxyThatWantsAPasswordEndsOnTheDatabaseFailure) {
  siteBase_ = L"http://fernclip-site.invalid:" + RoadsSitePort();
  ASSERT_NO_FATAL_FAILURE(Prepare("road-proxy-407", {kFormatModel}));
  const std::wstring status = Server(L"proxy") + L"\\status";
  ASSERT_TRUE(WriteBytes(status, "407"));
  struct Unrefuse {
    std::wstring file;
    ~Unrefuse() { DeleteFileW(file.c_str()); }
  } unrefuse{status};
  ASSERT_TRUE(machine_.SetProxy(L"127.0.0.1:" + PortOf(L"proxy")));
  ASSERT_NO_FATAL_FAILURE(EndOnTheDatabaseFailure());
  EXPECT_TRUE(Holds(RoadRequests(Server(L"proxy") + L"\\requests.log", "road-proxy-407"),
                    "/revivix/database/Fernclip_database.htm"));
}

// The site answers http with a redirect to its https copy, whose certificate comes from the test's
// authority, trusted in this prefix: every fetch is redirected and the repair succeeds.
TEST_F(NetworkRoad, ASiteThatMovedToHttpsRepairsThePlayer) {
  siteBase_ = L"http://localhost:" + PortOf(L"redirect");
  ASSERT_NO_FATAL_FAILURE(Prepare("road-https", {kFormatModel}));
  ASSERT_TRUE(machine_.TrustAuthority(
      ReadBytes(driver::WindowsPath(wintest::Argument(6)) + L"\\authority.der")));
  ASSERT_NO_FATAL_FAILURE(RepairToSuccess());
  ExpectTheRepairsFetches(RoadRequests(Server(L"redirect") + L"\\requests.log", "road-https"),
                          "over http");
  ExpectTheRepairsFetches(RoadRequests(Server(L"https") + L"\\requests.log", "road-https"),
                          "after the redirect to https");
}

// The same site with a certificate this prefix does not trust: the database fetch fails, nothing
// is downloaded and nothing started, and nobody is asked.
TEST_F(NetworkRoad, AnUntrustedCertificateEndsOnTheDatabaseFailure) {
  siteBase_ = L"http://localhost:" + PortOf(L"redirect");
  ASSERT_NO_FATAL_FAILURE(Prepare("road-https-untrusted", {kFormatModel}));
  ASSERT_NO_FATAL_FAILURE(EndOnTheDatabaseFailure());
  EXPECT_TRUE(RoadRequests(Server(L"https") + L"\\requests.log", "road-https-untrusted").empty())
      << "a request passed the refused handshake";
}

// The pages come over https from a trusted certificate, the updater from a server whose
// certificate signs itself: the download fails as a failed download, with no prompt, and nothing
// is saved or started.
TEST_F(NetworkRoad, AnUpdaterBehindAnUntrustedCertificateIsAFailedDownload) {
  siteBase_ = L"https://localhost:" + PortOf(L"https");
  ASSERT_NO_FATAL_FAILURE(Prepare("road-https-download", {kFormatModel}));
  const std::wstring updater = L"https://localhost:" + PortOf(L"untrusted") +
                               L"/road-https-download/files/" + kFormatModel.updaterFile;
  ASSERT_TRUE(WriteBytes(siteFolder_ + L"\\eu\\fw\\" + kFormatModel.updaterFile + L".htm",
                         "<html><body><A HREF=\"" + Utf8(updater) + "\">" +
                             Utf8(kFormatModel.updaterFile) + "</A></body></html>"));
  ASSERT_TRUE(machine_.TrustAuthority(
      ReadBytes(driver::WindowsPath(wintest::Argument(6)) + L"\\authority.der")));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  ASSERT_NO_FATAL_FAILURE(Click("Cmd_I_Agree"));
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_UNEXPECTED_ERROR", kDetectMs));
  EXPECT_TRUE(UpdatersLeft().empty());
  EXPECT_EQ(FindWindowW(nullptr, kFormatModel.updaterTitle.c_str()), nullptr);
  EXPECT_TRUE(RoadRequests(Server(L"untrusted") + L"\\requests.log", "road-https-download").empty())
      << "a request passed the refused handshake";
  // The pages themselves came over https.
  const std::vector<std::string> pages =
      RoadRequests(Server(L"https") + L"\\requests.log", "road-https-download");
  EXPECT_TRUE(Holds(pages, "/eu/fw/" + Utf8(kFormatModel.updaterFile) + ".htm"));
  ASSERT_NO_FATAL_FAILURE(ExpectEnd());  // a failed download ends the program by itself
  EXPECT_TRUE(UpdaterLog(kFormatModel).empty());
}

// Only the whole, current updater runs, and it formats the player once.

// The updater as the road's site serves it, and the behaviour the site gives its address.
std::wstring SiteUpdater(const std::wstring& siteFolder, const Model& m) {
  return siteFolder + L"\\files\\" + m.updaterFile;
}

bool SetUpdaterRule(const std::wstring& siteFolder, const Model& m, const std::string& rule) {
  return WriteBytes(siteFolder + L"\\files\\site-rules.json",
                    "{\"/" + Utf8(m.updaterFile) + "\": " + rule + "}");
}

// The sizes the updater's log names, one per start, in order.
std::vector<std::string> LoggedSizes(const std::string& log) {
  std::vector<std::string> sizes;
  for (std::size_t at = log.find("size "); at != std::string::npos; at = log.find("size ", at + 1))
    sizes.push_back(log.substr(at + 5, log.find_first_of("\r\n", at) - at - 5));
  return sizes;
}

TEST_F(Road, AnUpdaterCutShortWithACleanCloseIsNeverStarted) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-18", {kFormatModel}));
  // A payload after the program's sections, as firmware updaters carry one: the cut at 60 %
  // leaves the headers and sections whole and loses the payload's end.
  std::string updater = ReadBytes(SiteUpdater(siteFolder_, kFormatModel));
  updater += std::string(updater.size() * 2, '\xA5');
  ASSERT_TRUE(WriteBytes(SiteUpdater(siteFolder_, kFormatModel), updater));
  ASSERT_TRUE(SetUpdaterRule(siteFolder_, kFormatModel, "{\"cut_at\": 0.6}"));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  ASSERT_NO_FATAL_FAILURE(Click("Cmd_I_Agree"));
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_UNEXPECTED_ERROR", kDetectMs));
  EXPECT_TRUE(UpdatersLeft().empty()) << "FW still holds " << Utf8(UpdatersLeft().front());
  EXPECT_EQ(UpdaterLog(kFormatModel), "") << "the cut updater was started";
  EXPECT_EQ(FindWindowW(nullptr, kFormatModel.updaterTitle.c_str()), nullptr);
  // A failed download ends the wizard by itself.
  ASSERT_NO_FATAL_FAILURE(ExpectEnd());
  EXPECT_TRUE(FilesMatching(folder_ + L"\\FW\\*").size() <= 2u)  // "." and ".."
      << "FW is not empty";
}

TEST_F(Road, AProgramCutInsideItsSectionsServedWholeFailsAtOnce) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-19", {kFormatModel}));
  std::string updater = ReadBytes(SiteUpdater(siteFolder_, kFormatModel));
  updater.resize(updater.size() / 2);
  ASSERT_TRUE(WriteBytes(SiteUpdater(siteFolder_, kFormatModel), updater));
  ASSERT_TRUE(SetUpdaterRule(siteFolder_, kFormatModel, "{}"));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  ASSERT_NO_FATAL_FAILURE(Click("Cmd_I_Agree"));
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_UNEXPECTED_ERROR", 30000));
  EXPECT_TRUE(UpdatersLeft().empty()) << "FW still holds " << Utf8(UpdatersLeft().front());
  ASSERT_NO_FATAL_FAILURE(ExpectEnd());
}

TEST_F(Road, AReplacedUpdaterUnderTheSameNameIsTheOneStartedNextTime) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-20", {kFormatModel}));
  const std::string program = ReadBytes(SiteUpdater(siteFolder_, kFormatModel));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  std::vector<std::string> expected, logged;
  for (std::size_t padding : {1000u, 5000u}) {
    // The maker replaces the file between the runs; its time moves on with it.
    const std::string updater = program + std::string(padding, '\x5A');
    ASSERT_TRUE(WriteBytes(SiteUpdater(siteFolder_, kFormatModel), updater));
    // Served as a plain static file (Last-Modified, no Cache-Control), in about two seconds, so
    // the download page is there to be seen as on the other roads.
    ASSERT_TRUE(SetUpdaterRule(
        siteFolder_, kFormatModel,
        "{\"static\": true, \"rate\": " + std::to_string(updater.size() / 2 + 1) + "}"));
    expected.push_back(std::to_string(updater.size()));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(AcceptAndDownload(kFormatModel));
    ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_FW_UPDATE_SUCCESSFUL", kUpdaterMs));
    ExpectUpdaterClosed(kFormatModel);
    ASSERT_NO_FATAL_FAILURE(ExitAndCheckLeftovers());
    // The next start empties FW (the updater's log with it), so each run's log is read now.
    const std::vector<std::string> sizes = LoggedSizes(UpdaterLog(kFormatModel));
    logged.insert(logged.end(), sizes.begin(), sizes.end());
    Sleep(1100);  // Last-Modified counts whole seconds
  }
  EXPECT_EQ(logged, expected) << "the sizes the started updaters logged";
}

TEST_F(Road, ASlowStartHandlerGetsOneStartAndTheOptionIsAnsweredOnce) {
  Model slow = kFormatModel;
  slow.updaterFile = L"Fernclip200_Updater_slowclick.exe";
  ASSERT_NO_FATAL_FAILURE(Prepare("road-21", {slow}));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", slow.name + L" USB Device"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AcceptAndDownload(slow));
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_FW_UPDATE_SUCCESSFUL", kUpdaterMs));
  ExpectUpdaterClosed(slow);
  const std::string log = UpdaterLog(slow);
  EXPECT_EQ(Occurrences(log, "click &Start"), 1u) << log;
  EXPECT_EQ(Occurrences(log, "dialog Option answered"), 1u) << log;
  EXPECT_EQ(Occurrences(log, "run started"), 1u) << log;
  ASSERT_NO_FATAL_FAILURE(ExitAndCheckLeftovers());
}

TEST_F(Road, ATricklingDatabasePageEndsInTheDatabaseFailureAndExitWorksMeanwhile) {
  ASSERT_NO_FATAL_FAILURE(Prepare("road-22", {kFormatModel}));
  // One byte every 20 s: every read ends within its 30 s, the page never does.
  ASSERT_TRUE(WriteBytes(siteFolder_ + L"\\revivix\\database\\site-rules.json",
                         "{\"/Fernclip_database.htm\": {\"trickle_ms\": 20000}}"));
  ASSERT_NO_FATAL_FAILURE(Connect(L"PID_0200", kFormatModel.name + L" USB Device"));
  // Leaving during the wait ends the program: Exit where the page shows it, else the window's
  // close box (the start-up checks show no page yet).
  ASSERT_NO_FATAL_FAILURE(Start());
  // The wizard waits on the page once the site has sent its headers (the site's log has the
  // request).
  ASSERT_TRUE(WaitForRequest("/revivix/database/Fernclip_database.htm", kDetectMs))
      << "the database page was never asked for";
  if (wizard_->Shown("cmdExit"))
    ASSERT_NO_FATAL_FAILURE(Click("cmdExit"));
  else
    PostMessageW(wizard_->Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_NO_FATAL_FAILURE(ExpectEnd());
  // Left alone, the wait ends in the database failure.
  const DWORD started = GetTickCount();
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ExpectMessage(L"IDS_PID_DATABASE_CONNECTION_FAILED", 90000));
  // Not before the page's overall limit of 60 s.
  EXPECT_GE(GetTickCount() - started, 55000u);
}

}  // namespace
}  // namespace revivix
