// The wizard on the days when something else misbehaves: an updater that stops answering, another
// program's window with the updater's dialog title, clicks and ticks that arrive inside the waits
// of Accept and of the start-up checks, and the user leaving during a wait.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "DatabaseFixture.h"
#include "LanguageKeys.h"
#include "NavigationFixture.h"
#include "ProgramImage.h"
#include "automation/BasWinHandler.h"
#include "automation/UpdaterAutomation.h"
#include "detection/PlayerIdentification.h"
#include "fakes/VirtualUpdaters.h"
#include "i18n/LanguageFile.h"

namespace revivix::test {
namespace {

constexpr ProcessId kUpdater = VirtualDesktop::kUpdaterProcess;
constexpr ProcessId kOtherProgram = 9100;

// ---- A hung updater ----

struct HungUpdater : FormTest {
  HungUpdater() {
    platform.WriteFile("Languages/English.txt",
                       "[Strings]\r\nIDS_FW_UPDATE_SUCCESSFUL=updated.\r\n");
    form.UserName = L"bob";
    ResolveLanguageFile(form, true);
    form.Timer2.SetEnabled(false);
    form.UniRefresh.SetEnabled(false);
  }
  // Every send had the time limit and gave up on a hung program; at least one timed out.
  void ExpectBoundedSendsThatTimedOut() {
    int timedOut = 0;
    for (const VirtualDesktop::Send& s : desktop.sends) {
      EXPECT_EQ(s.flags & kSmtoAbortIfHung, kSmtoAbortIfHung);
      EXPECT_GE(s.timeoutMs, 1000u);
      EXPECT_LE(s.timeoutMs, 2000u);
      timedOut += s.timedOut ? 1 : 0;
    }
    EXPECT_GT(timedOut, 0);
  }
  VirtualDesktop& desktop = platform.desktop;
};

struct SendingStep {
  const char* name;
  const wchar_t* title;
  // Builds the updater's windows; returns what the step must have done once it succeeds.
  std::function<std::function<bool()>(VirtualDesktop&, frmMain&)> setUp;
  std::function<void(frmMain&)> tick;  // the step's timer ticks
  Timer frmMain::*timer;               // the timer that tries again
  friend void PrintTo(const SendingStep& s, std::ostream* os) { *os << s.name; }
};

// The steps that read a text before they act: a read that times out ends the tick before any
// click, and the read is tried again on the next tick.
struct EachSendingStep : HungUpdater, ::testing::WithParamInterface<SendingStep> {};

TEST_P(EachSendingStep, FailsWhileTheUpdaterHangsAndSucceedsOnTheTickAfterItAnswers) {
  const SendingStep& step = GetParam();
  form.UpdaterTitle = UCase(step.title);
  const std::function<bool()> done = step.setUp(desktop, form);
  (form.*step.timer).SetEnabled(true);

  desktop.Hang(kUpdater);
  for (int i = 0; i < 3; ++i) {
    step.tick(form);
    platform.loop.DoEvents();
  }
  EXPECT_FALSE(done());
  EXPECT_TRUE((form.*step.timer).Enabled()) << "the timer must try again";
  ExpectBoundedSendsThatTimedOut();

  desktop.Hang(kUpdater, false);
  platform.loop.DoEvents();  // the posts it held arrive
  step.tick(form);
  platform.loop.DoEvents();
  EXPECT_TRUE(done());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, EachSendingStep,
    ::testing::Values(
        SendingStep{"ClickUpgrade", L"Fernclip 300 Firmware UPGRADE",
                    [](VirtualDesktop& d, frmMain& f) -> std::function<bool()> {
                      const WindowHandle main = d.AddWindow(L"Fernclip 300 Firmware UPGRADE");
                      d.AddControl(main, kIntroSentence);
                      const WindowHandle upgrade = d.AddControl(main, L"UPGRADE");
                      return [&d, &f, upgrade] {
                        return d.Requests(upgrade, kBmClick, true) == 1 && !f.Timer8.Enabled();
                      };
                    },
                    [](frmMain& f) { f.Timer8.Tick(); }, &frmMain::Timer8},
        SendingStep{"AnswerWarning", L"Fernclip 300 Firmware UPGRADE",
                    [](VirtualDesktop& d, frmMain& f) -> std::function<bool()> {
                      d.AddWindow(L"Fernclip 300 Firmware UPGRADE");
                      // A warning whose battery line reads fine now: it is to be confirmed, but
                      // only once its live text could be read.
                      const WindowHandle warning = d.AddWindow(L"Warning!");
                      d.AddOwnTextControl(warning, kBatterySentence, L"Battery charged.");
                      const WindowHandle yes = d.AddControl(warning, L"&Yes");
                      return [&d, &f, yes] {
                        return d.Requests(yes, kBmClick, true) == 1 && !f.Timer7.Enabled();
                      };
                    },
                    [](frmMain& f) { f.Timer7.Tick(); }, &frmMain::Timer7},
        SendingStep{"ReadUpgradeResult", L"Fernclip 300 Firmware UPGRADE",
                    [](VirtualDesktop& d, frmMain& f) -> std::function<bool()> {
                      const WindowHandle main = d.AddWindow(L"Fernclip 300 Firmware UPGRADE");
                      d.AddOwnTextControl(main, L"Firmware upgrade completed!",
                                          L"Firmware upgrade completed!");
                      return [&f] { return f.Uni_Error_Label1.Caption() == L"bob, updated."; };
                    },
                    [](frmMain& f) { f.Timer5.Tick(); }, &frmMain::Timer5},
        SendingStep{"ReadFormatResult", L"Fernclip 200 Firmware Updater",
                    [](VirtualDesktop& d, frmMain& f) -> std::function<bool()> {
                      const WindowHandle main = d.AddWindow(L"Fernclip 200 Firmware Updater");
                      d.AddOwnTextControl(main, L"", L"COMPLETE");
                      return [&f] { return f.Uni_Error_Label1.Caption() == L"bob, updated."; };
                    },
                    [](frmMain& f) { f.Timer5.Tick(); }, &frmMain::Timer5}));

// The steps that send a click or a close. A send that timed out was still delivered: the step
// goes on as if it had been answered, and nothing is clicked a second time.
struct TimedOutSend {
  const char* name;
  // Builds the updater and runs the wizard until the step's send has timed out; returns the
  // window whose message was sent.
  std::function<WindowHandle(HungUpdater&)> run;
  std::uint32_t message;
  // What the step did after its send, checked before the updater answers again.
  std::function<void(HungUpdater&)> followed;
  friend void PrintTo(const TimedOutSend& s, std::ostream* os) { *os << s.name; }
};

struct EachTimedOutSend : HungUpdater, ::testing::WithParamInterface<TimedOutSend> {};

TEST_P(EachTimedOutSend, DoesWhatFollowsTheSendAndNeverSendsItAgain) {
  const TimedOutSend& step = GetParam();
  const WindowHandle target = step.run(*this);
  ASSERT_NE(target, 0u);
  ASSERT_EQ(desktop.Requests(target, step.message, false), 1);
  ASSERT_EQ(desktop.Handled(target, step.message), 0) << "the send must have timed out";
  step.followed(*this);
  // The updater answers again some seconds later and handles the message it was sent; the
  // wizard's timers go on for a while.
  platform.loop.Advance(4000);
  desktop.Hang(kUpdater, false);
  platform.loop.Advance(10000);
  EXPECT_EQ(desktop.Requests(target, step.message, false), 1);
  EXPECT_EQ(desktop.Requests(target, step.message, true), 0);
  EXPECT_EQ(desktop.Handled(target, step.message), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, EachTimedOutSend,
    ::testing::Values(TimedOutSend{
                          "ClickStart",
                          [](HungUpdater& t) -> WindowHandle {
                            VirtualDesktop& d = t.desktop;
                            t.form.UpdaterTitle = L"FERNCLIP 200 FIRMWARE UPDATER";
                            const WindowHandle main = d.AddWindow(L"Fernclip 200 Firmware Updater");
                            const WindowHandle format = d.AddControl(main, L"&Format Data Area");
                            const WindowHandle start = d.AddControl(main, L"&Start");
                            // Every click on "&Format Data Area" asks "Option" anew, as long as the
                            // updater offers the button: also after "&Start".
                            d.OnClick(format, [&d] {
                              const WindowHandle option = d.AddWindow(L"Option");
                              const WindowHandle yes = d.AddControl(option, L"&Yes");
                              d.OnClick(yes, [&d, option] { d.Destroy(option); });
                            });
                            t.form.Timer4.SetEnabled(true);
                            t.form.Timer5.SetEnabled(true);
                            // Busy once the question is open: the sent "&Start" is not handled in
                            // time.
                            for (int ms = 0;
                                 ms < 5000 && !t.platform.desktop.Requests(start, kBmClick, false);
                                 ms += 10) {
                              if (d.Handled(format, kBmClick) == 1) d.Hang(kUpdater);
                              t.platform.loop.Advance(10);
                            }
                            return start;
                          },
                          kBmClick,
                          [](HungUpdater& t) {
                            EXPECT_FALSE(t.form.Timer4.Enabled());
                            EXPECT_FALSE(t.form.Timer9.Enabled());
                            EXPECT_TRUE(t.form.Timer5.Enabled());
                            const std::int64_t sent = t.desktop.requests.back().at;
                            t.platform.loop.Advance(3000);
                            // No "&Format Data Area" after the click on "&Start".
                            for (const VirtualDesktop::Message& m : t.desktop.requests)
                              EXPECT_FALSE(m.message == kBmClick && m.posted && m.at > sent)
                                  << "a click posted at " << m.at << " after the start at " << sent;
                          }},
                      TimedOutSend{"CloseUpdaterWindow",
                                   [](HungUpdater& t) -> WindowHandle {
                                     t.form.UpdaterTitle = L"FERNCLIP 300 FIRMWARE UPGRADE";
                                     const WindowHandle main =
                                         t.desktop.AddWindow(L"Fernclip 300 Firmware UPGRADE");
                                     t.desktop.Hang(kUpdater);
                                     FinishUpgrade(t.form, L"COMPLETE");
                                     return main;
                                   },
                                   kWmClose,
                                   [](HungUpdater& t) {
                                     // The close is on its way: the exit waits for the updater to
                                     // end.
                                     EXPECT_EQ(t.form.closingUpdater, kUpdater);
                                     EXPECT_EQ(t.form.Uni_Error_Label1.Caption(), L"bob, updated.");
                                     EXPECT_TRUE(t.form.UniRefresh.Enabled());
                                   }}));

TEST_F(HungUpdater, AnUpdaterThatDoesNotTakeItsCloseIsLeftWhileTheResultShows) {
  form.UpdaterTitle = L"FERNCLIP 300 FIRMWARE UPGRADE";
  const WindowHandle main = desktop.AddWindow(L"Fernclip 300 Firmware UPGRADE");
  desktop.Hang(kUpdater);
  FinishUpgrade(form, L"COMPLETE");
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"bob, updated.");
  EXPECT_TRUE(desktop.Exists(main));
  EXPECT_TRUE(form.UniRefresh.Enabled());
  EXPECT_TRUE(form.cmdExit.Visible());
  EXPECT_TRUE(form.cmdExit.Enabled());
  ExpectBoundedSendsThatTimedOut();
  // The close was delivered all the same: the exit gives the updater its short while to end.
  EXPECT_EQ(form.closingUpdater, kUpdater);
  form.cmdExit.RaiseClick();
  ASSERT_EQ(platform.processes.waits.size(), 1u);
  EXPECT_EQ(platform.processes.waits[0].first, kUpdater);
}

TEST_F(HungUpdater, ExitStillEndsTheWizardWhileTheUpdaterHangs) {
  VirtualFormatUpdater updater(desktop);
  form.UpdaterTitle = UCase(updater.script.title);
  form.Timer4.SetEnabled(true);
  form.Timer5.SetEnabled(true);
  // Hung once the question is open: the click on "&Start" is never handled.
  for (int t = 0; t < 5000 && !desktop.Exists(updater.option); t += 10) platform.loop.Advance(10);
  ASSERT_TRUE(desktop.Exists(updater.option));
  desktop.Hang(kUpdater);
  platform.loop.Advance(5000);
  EXPECT_FALSE(updater.started);
  EXPECT_TRUE(form.Timer5.Enabled());
  form.cmdExit.RaiseClick();
  EXPECT_TRUE(form.Unloaded());
  EXPECT_EQ(updater.closedBy, L"");  // the updater is left as it is
  EXPECT_TRUE(platform.processes.waits.empty());
}

// ---- Another program's dialog ----

using OtherProgramsDialog = HungUpdater;

TEST_F(OtherProgramsDialog, IsNeverAnsweredWhileTheUpdatersOwnIs) {
  const struct {
    const char* name;
    const wchar_t* title;
    std::function<void(frmMain&)> tick;
  } cases[] = {{"Warning!", L"Warning!", [](frmMain& f) { Timer7_Timer(f); }},
               {"Option", L"Option", [](frmMain& f) { Timer9_Timer(f); }}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform p;
    frmMain f{p.program};
    VirtualDesktop& d = p.desktop;
    f.UpdaterTitle = L"FERNCLIP 200 FIRMWARE UPDATER";
    d.AddWindow(L"Fernclip 200 Firmware Updater");
    // First in the enumeration order, kept on top: another program's window of the same title.
    const WindowHandle foreign = d.AddWindow(c.title, kOtherProgram);
    const WindowHandle foreignYes = d.AddControl(foreign, L"&Yes");
    for (int i = 0; i < 3; ++i) c.tick(f);
    p.loop.DoEvents();
    EXPECT_EQ(d.Requests(foreignYes, kBmClick, true), 0);
    EXPECT_EQ(d.Handled(foreignYes, kBmClick), 0);

    // The updater's own dialog appears behind it and is answered.
    const WindowHandle own = d.AddWindow(c.title);
    const WindowHandle ownYes = d.AddControl(own, L"&Yes");
    c.tick(f);
    p.loop.DoEvents();
    EXPECT_EQ(d.Requests(ownYes, kBmClick, true), 1);
    EXPECT_EQ(d.Requests(foreignYes, kBmClick, true), 0);
    EXPECT_FALSE(d.IsTopmost(foreignYes));
  }
}

TEST_F(OtherProgramsDialog, WithoutTheUpdatersMainWindowNoDialogIsAnswered) {
  form.UpdaterTitle = L"FERNCLIP 300 FIRMWARE UPGRADE";
  // A window of the updater's process exists, but not the main window that names the process.
  const WindowHandle warning = desktop.AddWindow(L"Warning!");
  const WindowHandle yes = desktop.AddControl(warning, L"&Yes");
  form.Timer7.SetEnabled(true);
  Timer7_Timer(form);
  platform.loop.DoEvents();
  EXPECT_EQ(desktop.Requests(yes, kBmClick, true), 0);
  EXPECT_TRUE(form.Timer7.Enabled());
}

TEST_F(OtherProgramsDialog, TheUpgradeCompletesBesideAForeignWarningKeptOnTop) {
  const WindowHandle foreign = desktop.AddWindow(L"Warning!", kOtherProgram);
  const WindowHandle foreignYes = desktop.AddControl(foreign, L"&Yes");
  VirtualUpgradeUpdater updater(desktop);
  form.UpdaterTitle = UCase(updater.script.title);
  form.Timer4.SetEnabled(true);
  form.Timer5.SetEnabled(true);
  for (int t = 0; t < 20000 && form.Timer5.Enabled(); t += 100) platform.loop.Advance(100);
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"bob, updated.");
  EXPECT_EQ(updater.warningsAnswered, 1);
  EXPECT_EQ(desktop.Requests(foreignYes, kBmClick, true), 0);
  EXPECT_TRUE(desktop.Exists(foreign));
}

// ---- Events inside the waits ----

const DeviceEntry kFernclip200{L"USB\\VID_2A5F&PID_4157\\FC200A",
                               L"Zanterix Fernclip 200 USB Device"};
const std::wstring kLinkPage = L"http://eu.example/fw/fc200.htm";
const std::wstring kUpdaterUrl = L"http://eu.example/files/FC200_Updater.exe";

enum class Wait { LinkPage, Download, StartupDatabase };
enum class Event { Refresh, Accept, Decline, Exit, DetectionTick };
enum class Outcome { UpdaterStarted, Ended, LicenseAfterStartup };

struct Reentry {
  Wait wait;
  Event event;
  Outcome outcome;
  friend void PrintTo(const Reentry& r, std::ostream* os) {
    static const char* waits[] = {"link page", "download", "start-up database"};
    static const char* events[] = {"Refresh", "Accept", "Decline", "Exit", "detection tick"};
    *os << events[static_cast<int>(r.event)] << " during the " << waits[static_cast<int>(r.wait)]
        << " wait";
  }
};

struct EventInsideAWait : DetectionTest, ::testing::WithParamInterface<Reentry> {
  EventInsideAWait() {
    std::string language = "[Strings]\r\n";
    for (const wchar_t* key : kLanguageKeys)
      language += ToUtf8(key) + "=text of " + ToUtf8(key) + "\r\n";
    platform.WriteFile("Languages/English.txt", language);
    platform.WriteUtf16File("License/English.txt", L"License in English");
    platform.WriteFile("settings.ini", "[Settings]\r\nRegion=Europe\r\nLanguage=English\r\n");
    std::filesystem::create_directories(platform.folder.Path() + "/fw");
    Connect(kFernclip200.pnpDeviceId, kFernclip200.name);
    platform.html.pages[kLinkPage].html = L"<A HREF=\"" + kUpdaterUrl + L"\">updater</A>";
    FakeTransfer transfer = FakeTransfer::Of(ProgramBytes(), 4);
    transfer.stepMs = 100;
    platform.download.transfers[kUpdaterUrl] = transfer;
    platform.loop.doEventsStepMs = 1;
  }
  static std::string ProgramBytes() { return ProgramImage::OfSize(4096); }
  void Fire(Event event) {
    switch (event) {
      case Event::Refresh:
        form.UniRefresh.RaiseClick();
        break;
      case Event::Accept:
        form.Cmd_I_Agree.RaiseClick();
        break;
      case Event::Decline:
        form.Cmd_I_Disagree.RaiseClick();
        break;
      case Event::Exit:
        form.cmdExit.RaiseClick();
        break;
      case Event::DetectionTick:
        Timer2_Timer(form);
        break;
    }
  }
  int DatabaseFetches() const {
    int n = 0;
    for (const std::wstring& url : platform.html.requests) n += url == kLinkPage ? 0 : 1;
    return n;
  }
};

TEST_P(EventInsideAWait, StartsNoSecondDownloadAndEndsOnTheRightPage) {
  const Reentry r = GetParam();
  const bool leaves = r.event == Event::Exit || r.event == Event::Decline;
  if (r.wait == Wait::StartupDatabase) {
    // A page that never arrives: only leaving may end this wait early.
    ServeDatabase(Page({RecordLine(Record{})}), 3000);
    if (leaves) platform.html.pages[DatabaseAddress(form)].neverCompletes = true;
    FormLoad(form);
    platform.desktop.After(1500, [&] { Fire(r.event); });
    form.Activate();
    if (!leaves) {
      EXPECT_EQ(DatabaseFetches(), 1) << "no detection inside the start-up checks";
      EXPECT_FALSE(form.Timer1.Enabled());
      for (int t = 0; t < 10000 && PageOf(form) != "license"; t += 100) platform.loop.Advance(100);
    }
  } else {
    ServeDatabase(Page({RecordLine(Record{})}));
    FormLoad(form);
    form.Activate();
    platform.loop.Advance(1000);
    ASSERT_EQ(PageOf(form), "license");
    const int fetchesBefore = DatabaseFetches();
    if (r.wait == Wait::LinkPage) {
      platform.html.pages[kLinkPage].delayMs = 500;
      if (leaves) platform.html.pages[kLinkPage].neverCompletes = true;
      platform.desktop.After(100, [&] { Fire(r.event); });
    } else {
      platform.desktop.After(150, [&] { Fire(r.event); });
    }
    form.Cmd_I_Agree.RaiseClick();
    platform.loop.Advance(3000);
    EXPECT_EQ(DatabaseFetches(), fetchesBefore) << "no detection inside Accept";
  }

  EXPECT_LE(platform.download.requests.size(), 1u);
  switch (r.outcome) {
    case Outcome::UpdaterStarted:
      EXPECT_EQ(platform.download.requests.size(), 1u);
      EXPECT_EQ(platform.shell.calls.size(), 1u);
      EXPECT_FALSE(form.Unloaded());
      EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"Maria, text of IDS_FW_DOWNLOAD_MSG1");
      EXPECT_TRUE(form.Frame_Error_Handling.Visible());
      EXPECT_FALSE(form.Cmd_I_Agree.Visible());
      EXPECT_FALSE(form.UniRefresh.Enabled());
      EXPECT_FALSE(form.Timer2.Enabled());
      EXPECT_TRUE(form.Timer4.Enabled());
      EXPECT_TRUE(form.Timer5.Enabled());
      EXPECT_FALSE(form.AcceptRunning());
      break;
    case Outcome::Ended:
      EXPECT_TRUE(form.Unloaded());
      EXPECT_TRUE(platform.shell.calls.empty());
      EXPECT_FALSE(platform.Exists("fw/FC200_Updater.exe"));
      for (Timer* t : form.Timers()) EXPECT_FALSE(t->Enabled()) << t->Name();
      break;
    case Outcome::LicenseAfterStartup:
      EXPECT_EQ(PageOf(form), "license");
      EXPECT_TRUE(platform.download.requests.empty());
      EXPECT_FALSE(form.Timer1.Enabled());
      EXPECT_FALSE(form.StartupRunning());
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, EventInsideAWait,
    ::testing::Values(Reentry{Wait::LinkPage, Event::Refresh, Outcome::UpdaterStarted},
                      Reentry{Wait::LinkPage, Event::Accept, Outcome::UpdaterStarted},
                      Reentry{Wait::LinkPage, Event::DetectionTick, Outcome::UpdaterStarted},
                      Reentry{Wait::LinkPage, Event::Decline, Outcome::Ended},
                      Reentry{Wait::LinkPage, Event::Exit, Outcome::Ended},
                      Reentry{Wait::Download, Event::Refresh, Outcome::UpdaterStarted},
                      Reentry{Wait::Download, Event::Accept, Outcome::UpdaterStarted},
                      Reentry{Wait::Download, Event::DetectionTick, Outcome::UpdaterStarted},
                      Reentry{Wait::Download, Event::Decline, Outcome::Ended},
                      Reentry{Wait::Download, Event::Exit, Outcome::Ended},
                      Reentry{Wait::StartupDatabase, Event::Refresh, Outcome::LicenseAfterStartup},
                      Reentry{Wait::StartupDatabase, Event::Accept, Outcome::LicenseAfterStartup},
                      Reentry{Wait::StartupDatabase, Event::DetectionTick,
                              Outcome::LicenseAfterStartup},
                      Reentry{Wait::StartupDatabase, Event::Decline, Outcome::Ended},
                      Reentry{Wait::StartupDatabase, Event::Exit, Outcome::Ended}));

struct SlowStartup : EventInsideAWait {};

TEST_F(SlowStartup, TheUpdateNoticeShowsAloneAndNoLeadsToTheLicensePage) {
  Record announcing;
  announcing.version = L"99";
  ServeDatabase(Page({RecordLine(announcing)}), 3000);
  FormLoad(form);
  form.Activate();  // three detection ticks fall inside the page's wait
  EXPECT_EQ(DatabaseFetches(), 1);
  EXPECT_EQ(PageOf(form), "update notice");
  EXPECT_FALSE(form.Cmd_I_Agree.Visible());
  EXPECT_FALSE(form.Cmd_I_Disagree.Visible());
  EXPECT_FALSE(form.Timer2.Enabled());
  EXPECT_FALSE(form.Timer1.Enabled());
  platform.loop.Advance(5000);
  EXPECT_EQ(PageOf(form), "update notice");

  form.CmdNo.RaiseClick();
  for (int t = 0; t < 10000 && PageOf(form) != "license"; t += 100) platform.loop.Advance(100);
  EXPECT_EQ(PageOf(form), "license");
  EXPECT_FALSE(form.Timer1.Enabled());
}

TEST_F(SlowStartup, TheTickAfterTheStartupChecksDetectsAsUsual) {
  ServeDatabase(Page({RecordLine(Record{})}), 2500);
  FormLoad(form);
  form.Activate();
  EXPECT_EQ(DatabaseFetches(), 1);
  EXPECT_TRUE(form.Timer2.Enabled());
  EXPECT_NE(PageOf(form), "license");
  for (int t = 0; t < 10000 && PageOf(form) != "license"; t += 100) platform.loop.Advance(100);
  EXPECT_EQ(PageOf(form), "license");
  EXPECT_EQ(DatabaseFetches(), 2);
}

}  // namespace
}  // namespace revivix::test
