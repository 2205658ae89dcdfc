// The download step with every real Win32 port: Accept on the license page reads the link page
// from the local maker site through the HTML engine, downloads the updater into FW with the
// download service while the window's events run, and starts it through the shell; the failures
// end on the error page with nothing left in FW.
//   arguments: the site's state folder (holding "port")
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/Program.h"
#include "app/frmMain.h"
#include "driver/FolderCopy.h"
#include "driver/Paths.h"
#include "i18n/Lists.h"
#include "platform/win32/Win32Platform.h"

namespace revivix::win32 {
namespace {

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every caption a control showed, in order.
class CaptionLog : public ControlView {
 public:
  explicit CaptionLog(Control& control) : control_(control) { control.AttachView(this); }
  ~CaptionLog() override { control_.AttachView(nullptr); }
  void Changed(Property property) override {
    if (property == Property::Caption) captions.push_back(control_.Caption());
    if (property == Property::Bar) ++barChanges;
  }
  std::vector<std::wstring> captions;
  int barChanges = 0;

 private:
  Control& control_;
};

// The files in a folder (names only).
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

int SitePort() {
  static const int port = std::stoi(ReadAll(driver::WindowsPath(wintest::Argument(0)) + L"\\port"));
  return port;
}

// A wizard window on the license page of a detected player, on the real ports.
struct Wizard {
  Wizard() {
    folder = platform.system.ProgramFolder();
    fw = folder + L"\\FW";
    CreateDirectoryW(fw.c_str(), nullptr);
    for (const std::wstring& name : FilesIn(fw)) DeleteFileW((fw + L"\\" + name).c_str());
    language = folder + L"\\download-step-English.txt";
    std::ofstream(language.c_str(), std::ios::binary)
        << "[Strings]\r\nIDS_FW_SITE_OFFLINE=offline.\r\nIDS_FW_DOWNLOAD_MSG1=downloading.\r\n"
           "IDS_UNEXPECTED_ERROR=unexpected.\r\nIDS_CHOOSE_REGION_LANGUAGE=choose.\r\n";
    form.LanguageFilePath = language;
    form.UserName = L"ann";
    FillLanguageAndRegionLists(form);
    form.Combo_Language.SetText(L"English");
    form.Combo_Region.SetText(L"Europe");
    // The detection has stopped its tick once it showed the license page. The picks arm the
    // language change, which would take the shipped language files instead of the test's own.
    form.Timer2.SetEnabled(false);
    form.Timer10.SetEnabled(false);
    form.FirmwareLinkTail = L"fc200.htm";
    for (Control* c : {&form.Info_Label, &form.UnitxtLicense, &form.Cmd_I_Agree,
                       &form.Cmd_I_Disagree, &form.cmdExit})
      c->SetVisible(true);
    ticker.OnTick = [this] { ++ticks; };
    ticker.Bind(&platform.loop);
  }
  ~Wizard() {
    // The started updater ends by itself after a few seconds; its files go with the test.
    for (int i = 0; i < 100 && !FilesIn(fw).empty(); ++i) {
      for (const std::wstring& name : FilesIn(fw)) DeleteFileW((fw + L"\\" + name).c_str());
      if (!FilesIn(fw).empty()) Sleep(100);
    }
    DeleteFileW(language.c_str());
  }

  void Accept(const std::string& scenario) {
    form.FirmwareSiteEurope = L" http://127.0.0.1:" + std::to_wstring(SitePort()) + L"/" +
                              std::wstring(scenario.begin(), scenario.end()) + L"/revivix/fw/eu/";
    form.Cmd_I_Agree.RaiseClick();
  }
  // Runs the window's events until `done` holds or `ms` have passed.
  template <typename F>
  bool PumpUntil(F done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
      if (GetTickCount64() >= end) return false;
      platform.loop.DoEvents();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }
  void ExpectFailureEndsTheWizard(const std::string& name) {
    EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"ann, unexpected.") << name;
    EXPECT_FALSE(form.Frame_4_Download_Progress.Visible()) << name;
    EXPECT_TRUE(FilesIn(fw).empty()) << name;
    // Timer6 ends the wizard; its two seconds are checked on the native suite's virtual clock.
    // Here: it is armed while the message shows, and its tick through the real event loop ends
    // the wizard.
    EXPECT_TRUE(platform.loop.IsArmed(form.Timer6)) << name;
    EXPECT_FALSE(form.Unloaded()) << name;
    EXPECT_TRUE(PumpUntil([&] { return form.Unloaded(); }, 15000)) << name;
  }

  Win32Platform platform{L"Local\\RevivixDownloadStep." + std::to_wstring(GetCurrentProcessId()) +
                         L"." + std::to_wstring(reinterpret_cast<std::uintptr_t>(this))};
  Program program{platform.AsPorts()};
  frmMain form{program};
  Timer ticker{"Ticker", 50, true};
  int ticks = 0;
  std::wstring folder, fw, language;
};

TEST(DownloadStep, AThrottledUpdaterShowsItsProgressAndIsStarted) {
  Wizard w;
  CaptionLog actual(w.form.Label_Actual_Size);
  CaptionLog bar(w.form.VistaProg2);
  w.Accept("ok");
  const std::wstring updater = w.folder + L"\\fw\\FC200_Updater.exe";
  EXPECT_EQ(w.form.UpdaterUrl, L"http://127.0.0.1:" + std::to_wstring(SitePort()) +
                                   L"/ok/revivix/fw/files/FC200_Updater.exe");
  EXPECT_EQ(w.form.UpdaterPath, updater);
  EXPECT_GE(actual.captions.size(), 3u);
  EXPECT_GE(bar.barChanges, 3);
  EXPECT_GE(w.ticks, 10) << "the window's events did not run during the download";
  EXPECT_EQ(w.form.Label_Total_FileSize.Caption().substr(0, 2), L"/.");
  EXPECT_TRUE(w.platform.loop.IsArmed(w.form.Timer4));
  EXPECT_TRUE(w.platform.loop.IsArmed(w.form.Timer5));
  EXPECT_FALSE(w.form.Frame_4_Download_Progress.Visible());
  EXPECT_EQ(w.form.Uni_Error_Label1.Caption(), L"ann, downloading.");
  // The updater runs: it writes down its start and the argument the wizard gave it.
  ASSERT_TRUE(w.PumpUntil(
      [&] { return ReadAll(updater + L".log").find("folder:") != std::string::npos; }, 15000));
  const std::string log = ReadAll(updater + L".log");
  EXPECT_NE(log.find("started\r\nargument: 0\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("show command: 1\r\n"), std::string::npos) << log;
}

TEST(DownloadStep, WithoutALengthNoSizesShowButTheUpdaterArrives) {
  Wizard w;
  CaptionLog actual(w.form.Label_Actual_Size);
  w.Accept("nolength");
  EXPECT_TRUE(actual.captions.empty());
  EXPECT_GE(w.ticks, 10) << "the window's events did not run during the download";
  const std::wstring updater = w.fw + L"\\upd.exe";
  EXPECT_TRUE(w.PumpUntil([&] { return !ReadAll(updater + L".log").empty(); }, 15000));
  EXPECT_TRUE(w.platform.loop.IsArmed(w.form.Timer4));
}

TEST(DownloadStep, ExitDuringTheDownloadStopsItAndStartsNothing) {
  Wizard w;
  // Exit is pressed half a second into the download (which takes about three seconds).
  Timer press("Press", 500, true);
  press.OnTick = [&] {
    press.SetEnabled(false);
    w.form.cmdExit.RaiseClick();
  };
  press.Bind(&w.platform.loop);
  const ULONGLONG start = GetTickCount64();
  w.Accept("ok");
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_TRUE(w.form.Quitting());
  EXPECT_LT(took, 2000u) << "the download was not stopped";
  w.PumpUntil([] { return false; }, 1000);
  EXPECT_TRUE(FilesIn(w.fw).empty());
  EXPECT_FALSE(w.platform.loop.IsArmed(w.form.Timer4));
}

TEST(DownloadStep, FailedDownloadsEndTheWizardTwoSecondsLaterWithNothingInFw) {
  std::wstring folder, fw;
  for (const char* scenario : {"e404", "e500", "html200", "refused", "hostile1", "hostile2"}) {
    SCOPED_TRACE(scenario);
    Wizard step;  // each scenario on a window of its own
    folder = step.folder;
    fw = step.fw;
    step.Accept(scenario);
    step.ExpectFailureEndsTheWizard(scenario);
  }
  // Nothing climbed out of FW.
  EXPECT_EQ(GetFileAttributesW((folder + L"\\evil.exe").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW((folder + L"\\..\\evil.exe").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW((fw + L"\\a").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(DownloadStep, LinkPagesWithoutOneUsableLinkShowTheOfflineMessage) {
  for (const char* scenario : {"nolinks", "links22"}) {
    SCOPED_TRACE(scenario);
    Wizard step;
    step.Accept(scenario);
    EXPECT_EQ(step.form.Uni_Error_Label1.Caption(), L"ann, offline.");
    EXPECT_TRUE(step.form.cmdExit.Visible());
    EXPECT_TRUE(step.form.cmdExit.Enabled());
    EXPECT_FALSE(step.form.Cmd_I_Agree.Visible());
    EXPECT_EQ(step.form.UpdaterPath, L"");
    EXPECT_TRUE(FilesIn(step.fw).empty());
    EXPECT_FALSE(step.platform.loop.IsArmed(step.form.Timer6));
  }
}

}  // namespace
}  // namespace revivix::win32
