// The repair log of whole roads on the fakes, from Initialise to the end of the run: the lines of
// a successful repair and of each way one fails, as tags and key values in the order they
// happen; and a log that cannot be written, which leaves every page, timer and file of the road
// as it is without a log.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DatabaseFixture.h"
#include "LanguageKeys.h"
#include "NavigationFixture.h"
#include "ProgramImage.h"
#include "app/Version.h"
#include "common/Sha256.h"
#include "common/Text.h"
#include "fakes/VirtualUpdaters.h"

namespace revivix::test {
namespace {

const DeviceEntry kLoggedPlayer{L"USB\\VID_2A5F&PID_4157\\FC200A",
                                L"Zanterix Fernclip 200 USB Device"};
const std::wstring kLoggedLinkPage = L"http://eu.example/fw/fc200.htm";
const std::wstring kLoggedUpdaterUrl = L"http://eu.example/files/FC200_Updater.exe";

enum class Road {
  Success,
  NoInternet,
  DatabaseFailed,
  DatabaseTimedOut,
  LinkPageFailed,
  DownloadFailed,
  DownloadRefusedNotAProgram,
  DownloadRefusedCutShort,
  DownloadRefusedNotWhole,
  UpdaterFailed,
};

// A whole program of 4096 bytes: headers, one section and a payload after it.
std::string ProgramBytes() {
  ProgramImage image;
  image.payload = 4096 - image.PayloadAt();
  return image.Build();
}

// One road's program: the fake platform and the form, as the detection tests set them up.
struct RepairLogRoad {
  void ServeDatabase(const std::wstring& text) {
    platform.connection.reachable.insert(SiteAddress(platform.program));
    platform.html.pages[DatabaseAddress(form)] = FakePage{text, L"<html>" + text};
  }
  void Connect(const std::wstring& id, const std::wstring& name) {
    platform.devices.devices.push_back({id, name});
  }

  RepairLogRoad() {
    std::string language = "[Strings]\r\n";
    for (const wchar_t* key : kLanguageKeys)
      language += ToUtf8(key) + "=text of " + ToUtf8(key) + "\r\n";
    platform.WriteFile("Languages/English.txt", language);
    platform.WriteUtf16File("License/English.txt", L"License in English");
    platform.WriteFile("settings.ini", "[Settings]\r\nRegion=Europe\r\nLanguage=English\r\n");
    std::filesystem::create_directories(platform.folder.Path() + "/fw");
    Connect(kLoggedPlayer.pnpDeviceId, kLoggedPlayer.name);
    platform.html.pages[kLoggedLinkPage].html =
        L"<A HREF=\"" + kLoggedUpdaterUrl + L"\">updater</A>";
    FakeTransfer transfer = FakeTransfer::Of(ProgramBytes(), 4);
    transfer.stepMs = 100;
    platform.download.transfers[kLoggedUpdaterUrl] = transfer;
    platform.loop.doEventsStepMs = 1;
  }

  // What the user sees and the timers do, as a text to compare between runs.
  void Snapshot() {
    std::wostringstream out;
    for (const Control* c : form.Controls())
      out << c->Visible() << c->Enabled() << c->Caption() << L"|" << c->Text() << L";";
    for (Timer* t : form.Timers()) out << t->Enabled();
    out << form.Unloaded() << L"@" << platform.loop.Now();
    snapshots.push_back(out.str());
  }

  void Advance(int ms) {
    for (int t = 0; t < ms; t += 100) {
      platform.loop.Advance(100);
      Snapshot();
    }
  }

  // The road from the program's start to its end.
  void Run(Road road) {
    Record record;
    if (road == Road::UpdaterFailed) record.title = L"Fernclip 200 Firmware Updater";
    ServeDatabase(Page({RecordLine(record)}));
    FakePage& database = platform.html.pages[DatabaseAddress(form)];
    switch (road) {
      case Road::NoInternet:
        platform.connection.reachable.clear();
        break;
      case Road::DatabaseFailed:
        database.fails = true;
        break;
      case Road::DatabaseTimedOut:
        database.fails = true;
        database.timesOut = true;
        break;
      case Road::LinkPageFailed:
        platform.html.pages.erase(kLoggedLinkPage);
        break;
      case Road::DownloadFailed: {
        FakeTransfer failed;
        failed.binds = false;
        failed.result = kDownloadFailure;
        platform.download.transfers[kLoggedUpdaterUrl] = failed;
        break;
      }
      case Road::DownloadRefusedNotAProgram:
        platform.download.transfers[kLoggedUpdaterUrl] =
            FakeTransfer::Of("<html>The page cannot be found</html>", 2);
        break;
      case Road::DownloadRefusedCutShort: {
        // 4096 bytes announced, the connection closed cleanly after 3000.
        FakeTransfer cut = FakeTransfer::Of(ProgramBytes().substr(0, 3000), 3);
        for (FakeTransfer::Step& step : cut.steps) step.progressMax = 4096;
        cut.contentLength = 4096;
        platform.download.transfers[kLoggedUpdaterUrl] = cut;
        break;
      }
      case Road::DownloadRefusedNotWhole:
        // Served whole, without a length, but cut inside its section on the server.
        platform.download.transfers[kLoggedUpdaterUrl] =
            FakeTransfer::Of(ProgramBytes().substr(0, 0x500), 2, false);
        break;
      default:
        break;
    }

    Initialise(form);
    FormLoad(form);
    form.Activate();
    Snapshot();
    Advance(1000);
    if (PageOf(form) == "license") {
      form.Cmd_I_Agree.RaiseClick();
      Snapshot();
      if (!platform.shell.calls.empty()) {
        FormatUpdaterScript script;
        if (road == Road::UpdaterFailed) script.result = L"FAIL";
        updater = std::make_unique<VirtualFormatUpdater>(platform.desktop, script);
        for (int t = 0; t < 20000 && form.Timer5.Enabled(); t += 100) Advance(100);
      }
    }
    Advance(3000);  // a 2-second end runs out here
    if (road == Road::DatabaseFailed || road == Road::DatabaseTimedOut) Advance(30000);
    if (!form.Unloaded()) form.cmdExit.RaiseClick();
    Snapshot();
  }

  struct Line {
    std::string tag, text;
  };
  std::vector<Line> LogLines() const {
    std::vector<Line> lines;
    std::istringstream in(platform.ReadFile("revivix.log"));
    for (std::string line; std::getline(in, line);) {
      EXPECT_TRUE(!line.empty() && line.back() == '\r') << line;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      // "YYYY-MM-DD HH:MM:SS.mmm [tag] text"
      EXPECT_GT(line.size(), 26u) << line;
      if (line.size() <= 26 || line[23] != ' ' || line[24] != '[') {
        ADD_FAILURE() << "no stamp and tag: " << line;
        continue;
      }
      const std::size_t close = line.find("] ", 25);
      lines.push_back({line.substr(25, close - 25), line.substr(close + 2)});
    }
    return lines;
  }

  FakePlatform platform;
  frmMain form{platform.program};
  std::vector<std::wstring> snapshots;
  std::unique_ptr<VirtualFormatUpdater> updater;
};

// An expected line: its tag and the pieces its text holds.
struct Expected {
  std::string tag;
  std::vector<std::string> pieces;
};

// The expected lines must appear in this order; other lines may stand between them.
void ExpectLines(const std::vector<RepairLogRoad::Line>& lines,
                 const std::vector<Expected>& expected) {
  std::size_t at = 0;
  for (const Expected& e : expected) {
    bool found = false;
    for (; at < lines.size() && !found; ++at) {
      if (lines[at].tag != e.tag) continue;
      found = true;
      for (const std::string& piece : e.pieces)
        found = found && lines[at].text.find(piece) != std::string::npos;
    }
    if (!found) {
      std::string all;
      for (const auto& l : lines) all += "[" + l.tag + "] " + l.text + "\n";
      std::string pieces;
      for (const std::string& piece : e.pieces) pieces += " \"" + piece + "\"";
      ADD_FAILURE() << "no line [" << e.tag << "]" << pieces << " in its place; the log:\n" << all;
      return;
    }
  }
}

std::vector<Expected> Opening() {
  return {{"run", {"Revivix " + ToUtf8(kProgramVersion), "-bit program"}},
          {"system", {"user name: 5 characters"}},
          {"system", {"computer name: 11 characters"}},
          {"lang", {"region Europe from settings.ini"}},
          {"lang", {"language English from settings.ini"}},
          {"lang", {"language file Languages\\English.txt"}},
          {"check", {"administrator: yes"}},
          {"system", {"Windows 5.1.2600, platform 2, Service Pack 3"}},
          {"check", {"operating system: supported, level 1"}}};
}

std::vector<Expected> Join(std::vector<Expected> a, const std::vector<Expected>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::string kDatabaseUrl = "http://www.zanterix.com/revivix/database/Fernclip_database.htm";

std::vector<Expected> UpToTheLicense() {
  return Join(
      Opening(),
      {{"check", {"Internet: reachable"}},
       {"check", {"media player version: 0"}},
       {"fetch", {"database " + kDatabaseUrl, "status 200", "bytes", " ms, usable"}},
       {"check", {"update check: no newer version"}},
       {"detect",
        {"maker device USB\\VID_2A5F&PID_4157\\FC200A", "\"Zanterix Fernclip 200 USB Device\""}},
       {"detect", {"database lines read: 2"}},
       {"detect", {"matched: Zanterix Fernclip 200 (1 device(s))"}},
       {"detect", {"players found: 1, recovery-mode devices: 0"}},
       {"model", {"model Zanterix Fernclip 200 detected"}},
       {"model", {"license accepted for Zanterix Fernclip 200, region Europe"}}});
}

std::vector<Expected> UpToTheUpdatersStart() {
  return Join(
      UpToTheLicense(),
      {{"fetch", {"link page http://eu.example/fw/fc200.htm", "status 200", "usable"}},
       {"link", {"updater address http://eu.example/files/FC200_Updater.exe"}},
       {"link", {"file name FC200_Updater.exe"}},
       {"download", {"4096 bytes announced, 4096 received", "ms, complete"}},
       {"updater",
        {"starting FW\\FC200_Updater.exe, 4096 bytes, SHA-256 " + Sha256Hex(ProgramBytes())}},
       {"updater", {"shell result 42 (started)"}},
       {"auto", {"updater window \"FERNCLIP 200 FIRMWARE UPDATER\" found", "process 7100"}},
       {"auto", {"the format path"}},
       {"auto", {"click posted to \"&Format Data Area\""}},
       {"auto", {"dialog OPTION", "process 7100", "answered"}},
       {"auto", {"click on \"&Start\" sent", ": answered"}}});
}

struct RoadCase {
  Road road;
  const char* name;
  std::vector<Expected> lines;
};

std::vector<RoadCase> RoadCases() {
  return {
      {Road::Success, "success",
       Join(UpToTheUpdatersStart(),
            {{"result", {"result read: \"COMPLETE\""}},
             {"result", {"the update ended: COMPLETE, message IDS_FW_UPDATE_SUCCESSFUL"}},
             {"auto", {"4 clicks posted to \"&Close\""}},
             {"run", {"run ended by the Exit button on the message page"}}})},
      {Road::NoInternet, "no Internet",
       Join(Opening(), {{"check", {"Internet: not reachable (" + kDatabaseUrl + ")"}},
                        {"page", {"error IDS_NO_INTERNET_CONNECTION"}},
                        {"check", {"media player version"}},
                        {"run", {"run ended by the Exit button on the message page"}}})},
      {Road::DatabaseFailed, "database failed",
       Join(Opening(),
            {{"check", {"Internet: reachable"}},
             {"fetch", {"database " + kDatabaseUrl, "status 0, 0 bytes", "ms, failed"}},
             {"page", {"error IDS_PID_DATABASE_CONNECTION_FAILED"}},
             {"run", {"run ended by Timer1 (30 s after an error) on the message page"}}})},
      {Road::DatabaseTimedOut, "database timed out",
       Join(Opening(), {{"fetch", {"database " + kDatabaseUrl, "timed out"}},
                        {"page", {"error IDS_PID_DATABASE_CONNECTION_FAILED"}},
                        {"run", {"run ended by Timer1"}}})},
      {Road::LinkPageFailed, "link page failed",
       Join(UpToTheLicense(),
            {{"fetch", {"link page http://eu.example/fw/fc200.htm", "status 0", "failed"}},
             {"page", {"error IDS_FW_SITE_OFFLINE"}},
             {"link", {"no updater address"}},
             {"run", {"run ended by the Exit button on the message page"}}})},
      {Road::DownloadFailed, "download failed",
       Join(
           UpToTheLicense(),
           {{"link", {"updater address http://eu.example/files/FC200_Updater.exe"}},
            {"download", {"0 bytes announced, 0 received", "failed: 0x800C0008 Download Failure."}},
            {"page", {"error IDS_UNEXPECTED_ERROR"}},
            {"run", {"run ended by Timer6 (2 s after a failed download)"}}})},
      {Road::DownloadRefusedNotAProgram, "download refused: not a program",
       Join(UpToTheLicense(),
            {{"link", {"file name FC200_Updater.exe"}},
             {"download", {"37 bytes announced, 37 received", "refused: not a program"}},
             {"page", {"error IDS_UNEXPECTED_ERROR"}},
             {"run", {"run ended by Timer6"}}})},
      {Road::DownloadRefusedCutShort, "download refused: cut short",
       Join(UpToTheLicense(), {{"link", {"file name FC200_Updater.exe"}},
                               {"download",
                                {"4096 bytes announced, 3000 received",
                                 "refused: cut short: 3000 bytes of 4096 announced"}},
                               {"page", {"error IDS_UNEXPECTED_ERROR"}},
                               {"run", {"run ended by Timer6"}}})},
      {Road::DownloadRefusedNotWhole, "download refused: not whole",
       Join(UpToTheLicense(),
            {{"link", {"file name FC200_Updater.exe"}},
             {"download",
              {"0 bytes announced, 1280 received",
               "refused: not whole: the program's structure reaches beyond the end"}},
             {"page", {"error IDS_UNEXPECTED_ERROR"}},
             {"run", {"run ended by Timer6"}}})},
      {Road::UpdaterFailed, "updater failed",
       Join(UpToTheUpdatersStart(),
            {{"result", {"result read: \"FAIL\""}},
             {"result", {"the update ended: FAIL, message IDS_FW_UPDATE_FAILED"}},
             {"run", {"run ended by the Exit button on the message page"}}})},
  };
}

TEST(RepairLogRoad, EachRoadLogsItsEventsInOrder) {
  for (const RoadCase& c : RoadCases()) {
    SCOPED_TRACE(c.name);
    RepairLogRoad road;
    road.Run(c.road);
    EXPECT_TRUE(road.form.Unloaded());
    ExpectLines(road.LogLines(), c.lines);
  }
}

TEST(RepairLogRoad, AModelChosenByTheUserSaysHow) {
  for (const bool fromTheList : {true, false}) {
    SCOPED_TRACE(fromTheList ? "list" : "serial number");
    RepairLogRoad road;
    road.platform.devices.devices = {{L"USB\\VID_2A5F&PID_3500\\0001", L"USB Mass Storage Device"}};
    Record record;
    record.serial = L"AB12";
    road.ServeDatabase(Page({RecordLine(record)}));
    Initialise(road.form);
    FormLoad(road.form);
    road.form.Activate();
    road.platform.loop.Advance(1000);
    ASSERT_EQ(PageOf(road.form), "model and serial number");
    if (fromTheList) {
      road.form.Combo_Choose_Player.UserSelect(1);
    } else {
      road.form.txtSNO.UserEdit(L"0000");
      road.form.Cmd_Next.RaiseClick();
      road.form.txtSNO.UserEdit(L"SN-AB12");
    }
    road.form.Cmd_Next.RaiseClick();
    ASSERT_EQ(PageOf(road.form), "license");
    std::vector<Expected> expected = {
        {"detect",
         {"recovery-mode device USB\\VID_2A5F&PID_3500\\0001", "\"USB Mass Storage Device\""}},
        {"detect", {"players found: 0, recovery-mode devices: 1"}},
        {"model", {"a player in recovery mode"}}};
    if (fromTheList) {
      expected.push_back({"model", {"model Zanterix Fernclip 200 chosen from the list"}});
    } else {
      expected.push_back({"model", {"serial number not recognised (entry 1)"}});
      expected.push_back(
          {"model", {"model Zanterix Fernclip 200 chosen by serial number (ends in AB12)"}});
    }
    ExpectLines(road.LogLines(), expected);
    EXPECT_EQ(road.platform.ReadFile("revivix.log").find("SN-AB12"), std::string::npos);
  }
}

TEST(RepairLogRoad, NothingPrivateIsLogged) {
  RepairLogRoad road;
  road.platform.system.userName = L"Maria Lindqvist";
  road.platform.system.computerName = L"MARIAS-LAPTOP";
  road.Run(Road::Success);
  const std::string text = road.platform.ReadFile("revivix.log");
  EXPECT_EQ(text.find("Maria"), std::string::npos);
  EXPECT_EQ(text.find("MARIAS"), std::string::npos);
  EXPECT_EQ(text.find(road.platform.folder.Path()), std::string::npos);
  EXPECT_NE(text.find("user name: 15 characters"), std::string::npos);
}

TEST(RepairLogRoad, ALogThatCannotBeWrittenLeavesTheRoadAsItIs) {
  const auto files = [](const FakePlatform& p) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(p.folder.Path())) {
      const std::string name = entry.path().filename().string();
      if (name == "revivix.log" || name == "revivix.1.log") continue;
      names.push_back(entry.path().lexically_relative(p.folder.Path()).string() + ":" +
                      (entry.is_regular_file() ? std::to_string(entry.file_size()) : "folder"));
    }
    std::sort(names.begin(), names.end());
    return names;
  };
  for (const Road kind : {Road::Success, Road::DownloadRefusedNotAProgram, Road::DatabaseFailed}) {
    RepairLogRoad logged;
    logged.Run(kind);
    for (const int variant : {0, 1}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(kind)) + "/" + std::to_string(variant));
      RepairLogRoad unwritable;
      if (variant == 0)
        unwritable.platform.logFile.fails = true;  // cannot be opened
      else
        unwritable.platform.logFile.appendsLeft = 5;  // the disk fills up during the run
      unwritable.Run(kind);
      EXPECT_EQ(unwritable.snapshots, logged.snapshots);
      EXPECT_EQ(files(unwritable.platform), files(logged.platform));
      EXPECT_EQ(unwritable.platform.shell.calls.size(), logged.platform.shell.calls.size());
      EXPECT_EQ(unwritable.platform.download.requests.size(),
                logged.platform.download.requests.size());
      EXPECT_EQ(unwritable.platform.ReadFile("settings.ini"),
                logged.platform.ReadFile("settings.ini"));
      EXPECT_LE(unwritable.platform.logFile.calls, 7);
    }
    EXPECT_GT(logged.platform.ReadFile("revivix.log").size(), 0u);
  }
}

}  // namespace
}  // namespace revivix::test
