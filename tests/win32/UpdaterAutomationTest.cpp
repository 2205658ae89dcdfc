// The updater automation with the real Desktop port and real timers against our simulated
// updaters, each started as a process of its own under a file name that names its scenario.
// Each case checks the wizard's result page and timers and the updater's own log: the clicks it
// received, the questions it answered and how it was closed.
//   arguments: <revivix-updater-format.exe> <revivix-updater-upgrade.exe>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "AutomationRig.h"
#include "TestSupport.h"
#include "automation/BasWinHandler.h"
#include "common/Text.h"
#include "driver/Paths.h"

namespace revivix::wintest {
namespace {

constexpr wchar_t kSuccess[] = L"tester, the firmware was updated.";
constexpr wchar_t kFailure[] = L"tester, the update failed.";

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder =
      std::wstring(temp) + L"revivix-updaters-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::vector<std::string> ReadLog(const std::wstring& path) {
  std::vector<std::string> lines;
  std::ifstream in{std::filesystem::path(path)};
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

int Count(const std::vector<std::string>& log, const std::string& line) {
  return static_cast<int>(std::count(log.begin(), log.end(), line));
}

std::string Joined(const std::vector<std::string>& log) {
  std::string s;
  for (const auto& l : log) s += "  " + l + "\n";
  return s;
}

enum class Kind { Format, Upgrade };
enum class Ending { Success, Failure, LowBattery, SecondWarning };

struct Case {
  const char* name;
  Kind kind;
  const wchar_t* fileName;  // the copy's name carries the scenario
  Ending ending;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
  return os << c.name;
}

struct UpdaterRun : ::testing::TestWithParam<Case> {
  UpdaterRun() {
    language = folder + L"\\English.txt";
    std::ofstream(std::filesystem::path(language))
        << "[Strings]\r\nIDS_FW_UPDATE_SUCCESSFUL=the firmware was updated.\r\n"
           "IDS_FW_UPDATE_FAILED=the update failed.\r\n";
    rig.form.LanguageFilePath = language;
    rig.form.UserName = L"tester";
  }
  ~UpdaterRun() override {
    // A failing case has printed the updater's log already.
    for (const std::wstring& exe : installed) {
      DeleteFileW(exe.c_str());
      DeleteFileW((exe + L".log").c_str());
    }
    DeleteFileW(language.c_str());
    RemoveDirectoryW(folder.c_str());
  }

  // Copies the simulated updater to `name` beside a fresh log and starts it with "0".
  std::wstring Install(const Case& c) {
    const std::string source = Argument(c.kind == Kind::Format ? 0 : 1);
    EXPECT_FALSE(source.empty()) << "the two updater programs are the arguments";
    const std::wstring exe = folder + L"\\" + c.fileName;
    EXPECT_TRUE(CopyFileW(driver::WindowsPath(source).c_str(), exe.c_str(), FALSE)) << ToUtf8(exe);
    DeleteFileW((exe + L".log").c_str());
    installed.push_back(exe);
    return exe;
  }

  std::wstring folder = TempFolder();
  std::wstring language;
  std::vector<std::wstring> installed;
  AutomationRig rig;
};

TEST_P(UpdaterRun, DrivesTheUpdaterToItsEnd) {
  const Case& c = GetParam();
  const std::wstring exe = Install(c);
  const std::wstring logPath = exe + L".log";
  {
    Child updater(L"\"" + exe + L"\" 0", folder.c_str());
    ASSERT_TRUE(updater.Started());
    rig.StartWatching(c.kind == Kind::Format ? L"FERNCLIP 200 FIRMWARE UPDATER"
                                             : L"FERNCLIP 300 FIRMWARE UPGRADE");
    frmMain& form = rig.form;

    if (c.ending == Ending::Success || c.ending == Ending::Failure) {
      ASSERT_TRUE(rig.RunUntil(30000, [&] { return !form.Timer5.Enabled(); }))
          << "no result; updater log:\n"
          << Joined(ReadLog(logPath));
      EXPECT_EQ(form.Uni_Error_Label1.Caption(), c.ending == Ending::Success ? kSuccess : kFailure);
      EXPECT_TRUE(form.cmdExit.Visible());
      EXPECT_TRUE(form.cmdExit.HasFocus());
      EXPECT_TRUE(form.Frame_Error_Handling.Visible());
      for (Timer* t : {&form.Timer4, &form.Timer5, &form.Timer7, &form.Timer8, &form.Timer9})
        EXPECT_FALSE(t->Enabled()) << t->Name();
      // The updater ends by itself once it is closed.
      EXPECT_EQ(WaitForSingleObject(updater.Handle(), 10000), WAIT_OBJECT_0)
          << Joined(ReadLog(logPath));
    } else {
      // The question that the wizard must leave alone: wait until it is open and then a while.
      const std::string opened = "dialog Warning! opened";
      const int wanted = c.ending == Ending::SecondWarning ? 2 : 1;
      ASSERT_TRUE(rig.RunUntil(30000, [&] { return Count(ReadLog(logPath), opened) == wanted; }))
          << Joined(ReadLog(logPath));
      rig.RunUntil(3000, [] { return false; });
      EXPECT_TRUE(form.Timer5.Enabled());
      EXPECT_EQ(form.Timer7.Enabled(), c.ending == Ending::LowBattery);
      EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"");
      EXPECT_EQ(WaitForSingleObject(updater.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    }
  }  // an updater still running is ended here

  const auto log = ReadLog(logPath);
  SCOPED_TRACE("updater log:\n" + Joined(log));
  ASSERT_FALSE(log.empty());
  if (c.kind == Kind::Format) {
    EXPECT_GE(Count(log, "click &Format Data Area"), 1);
    EXPECT_EQ(Count(log, "dialog Option opened"), 1);
    EXPECT_EQ(Count(log, "click &Yes"), 1);
    EXPECT_EQ(Count(log, "dialog Option answered &Yes"), 1);
    EXPECT_EQ(Count(log, "click &Start"), 1);
    EXPECT_EQ(Count(log, "click UPGRADE"), 0);
    EXPECT_EQ(Count(log, c.ending == Ending::Success ? "result COMPLETE" : "result FAIL"), 1);
    EXPECT_EQ(Count(log, "click &Close"), 4);
    EXPECT_EQ(Count(log, "closed by &Close"), 1);
    EXPECT_EQ(Count(log, "closed by WM_CLOSE"), 0);
    return;
  }
  switch (c.ending) {
    case Ending::Success:
    case Ending::Failure:
      EXPECT_EQ(Count(log, c.ending == Ending::Success ? "result Firmware upgrade completed!"
                                                       : "result Firmware upgrade failed!"),
                1);
      EXPECT_EQ(Count(log, "closed by WM_CLOSE"), 1);
      EXPECT_EQ(Count(log, "click &Close"), 0);
      break;
    case Ending::LowBattery:
      EXPECT_EQ(Count(log, "click &Yes"), 0);
      EXPECT_EQ(Count(log, "dialog Warning! answered &Yes"), 0);
      EXPECT_EQ(Count(log, "closed by WM_CLOSE"), 0);
      break;
    case Ending::SecondWarning:
      EXPECT_EQ(Count(log, "click &Yes"), 1);
      EXPECT_EQ(Count(log, "dialog Warning! answered &Yes"), 1);
      EXPECT_EQ(Count(log, "closed by WM_CLOSE"), 0);
      break;
  }
  EXPECT_EQ(Count(log, "intro shown"), 1);
  EXPECT_EQ(Count(log, "click UPGRADE"), 1);
}

// Format path through an upgrade-type window with format buttons: the format buttons are
// pressed, the result is read from the status control and the window is closed by WM_CLOSE.
TEST_F(UpdaterRun, UpgradeTitleWithFormatButtonsPressesFormatAndClosesAsUpgrade) {
  const Case c{"upgrade_bothbuttons", Kind::Upgrade, L"Fernclip300-bothbuttons.exe",
               Ending::Success};
  const std::wstring exe = Install(c);
  {
    Child updater(L"\"" + exe + L"\" 0", folder.c_str());
    ASSERT_TRUE(updater.Started());
    rig.StartWatching(L"FERNCLIP 300 FIRMWARE UPGRADE");
    ASSERT_TRUE(rig.RunUntil(30000, [&] { return !rig.form.Timer5.Enabled(); }))
        << Joined(ReadLog(exe + L".log"));
    EXPECT_EQ(rig.form.Uni_Error_Label1.Caption(), kSuccess);
    EXPECT_EQ(WaitForSingleObject(updater.Handle(), 10000), WAIT_OBJECT_0);
  }
  const auto log = ReadLog(exe + L".log");
  SCOPED_TRACE("updater log:\n" + Joined(log));
  EXPECT_GE(Count(log, "click &Format Data Area"), 1);
  EXPECT_EQ(Count(log, "dialog Option answered &Yes"), 1);
  EXPECT_EQ(Count(log, "click &Start"), 1);
  EXPECT_EQ(Count(log, "click UPGRADE"), 0);
  EXPECT_EQ(Count(log, "closed by WM_CLOSE"), 1);
}

// The Desktop contract the discovery relies on, on the upgrade-type updater's windows: the
// stored text of another program's control is its creation text while WM_GETTEXT answers its
// live status; children are listed in creation order; a post to handle 0 reaches nothing.
TEST_F(UpdaterRun, DesktopSeesStoredAndLiveTextsOfAnotherProgram) {
  const Case c{"desktop", Kind::Upgrade, L"Fernclip300-desktop.exe", Ending::Success};
  const std::wstring exe = Install(c);
  Child updater(L"\"" + exe + L"\" 0", folder.c_str());
  ASSERT_TRUE(updater.Started());
  Program& program = rig.program;
  UpdaterWindows& w = program.updaterWindows;
  w.SearchTitle = L"FERNCLIP 300 FIRMWARE UPGRADE";
  ASSERT_TRUE(rig.RunUntil(20000, [&] {
    ScanUpdater(program);
    return w.IntroText != 0;  // the introduction appears after a short delay
  }));
  ASSERT_NE(w.CompletedText, 0u);
  EXPECT_EQ(ReadLiveText(program, w.CompletedText), L"READY");
  EXPECT_EQ(ReadLiveText(program, w.IntroText),
            L"THIS PROGRAM WILL UPGRADE YOUR PLAYER'S FIRMWARE.");
  EXPECT_NE(w.UpgradeButton, 0u);
  std::vector<WindowHandle> children;
  rig.platform.desktop.EnumChildWindows(
      w.MainWindow,
      [&](WindowHandle h, std::intptr_t) {
        children.push_back(h);
        return 1;
      },
      0);
  ASSERT_EQ(children.size(), 3u);
  EXPECT_EQ(children[0], w.IntroText);
  EXPECT_EQ(children[1], w.CompletedText);
  EXPECT_EQ(children[2], w.UpgradeButton);

  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_FALSE(rig.platform.desktop.PostMessageA(0, kBmClick, 0, 0));
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, kBmClick, kBmClick, PM_NOREMOVE));
  EXPECT_EQ(rig.platform.desktop.SendMessageTimeoutA(0, kWmClose, 0, 0, kSmtoAbortIfHung, 1000), 0);
  EXPECT_EQ(ReadLiveText(program, 0), L"");
}

INSTANTIATE_TEST_SUITE_P(
    Wine, UpdaterRun,
    ::testing::Values(
        Case{"format_success", Kind::Format, L"Fernclip200.exe", Ending::Success},
        Case{"format_fail", Kind::Format, L"Fernclip200-fail.exe", Ending::Failure},
        Case{"format_slowstart", Kind::Format, L"Fernclip200-SlowStart.exe", Ending::Success},
        Case{"format_bothbuttons", Kind::Format, L"Fernclip200-bothbuttons.exe", Ending::Success},
        Case{"upgrade_success", Kind::Upgrade, L"Fernclip300.exe", Ending::Success},
        Case{"upgrade_fail", Kind::Upgrade, L"Fernclip300-fail.exe", Ending::Failure},
        Case{"upgrade_slowstart", Kind::Upgrade, L"FERNCLIP300-SLOWSTART.exe", Ending::Success},
        Case{"upgrade_lowbattery", Kind::Upgrade, L"Fernclip300-lowbattery.exe",
             Ending::LowBattery},
        Case{"upgrade_secondwarning", Kind::Upgrade, L"Fernclip300-secondwarning.exe",
             Ending::SecondWarning}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace revivix::wintest
