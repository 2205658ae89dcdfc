#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "FormFixture.h"
#include "automation/BasWinHandler.h"
#include "automation/UpdaterAutomation.h"
#include "common/Text.h"
#include "fakes/VirtualUpdaters.h"
#include "i18n/LanguageFile.h"

namespace revivix::test {
namespace {

constexpr wchar_t kSuccess[] = L"bob, the firmware was updated.";
constexpr wchar_t kFailure[] = L"bob, the update failed.";

// A wizard whose download step has just started the updater: Timer4 and Timer5 run.
struct Automation : FormTest {
  Automation() {
    platform.WriteFile("Languages/English.txt",
                       "[Strings]\r\nIDS_FW_UPDATE_SUCCESSFUL=the firmware was updated.\r\n"
                       "IDS_FW_UPDATE_FAILED=the update failed.\r\n");
    form.UserName = L"bob";
    ResolveLanguageFile(form, true);
    form.Timer2.SetEnabled(false);
    form.UnitxtLicense.SetVisible(true);
    form.Info_Label.SetVisible(true);
    form.UniRefresh.SetEnabled(false);
  }
  void StartWatching(const std::wstring& title) {
    form.UpdaterTitle = title;
    form.Timer4.SetEnabled(true);
    form.Timer5.SetEnabled(true);
  }
  // Runs the clock in small steps until the watch has stopped or `ms` have passed.
  void RunUntilFinished(int ms) {
    for (int t = 0; t < ms && form.Timer5.Enabled(); t += 100) platform.loop.Advance(100);
  }
  bool PlacedTopmost(WindowHandle window) const {
    const auto& p = desktop.placements;
    return std::count(p.begin(), p.end(), std::make_pair(window, kHwndTopmost)) > 0;
  }
  bool Finished() const { return !form.Timer5.Enabled(); }
  void ExpectResultPage(const wchar_t* message) {
    EXPECT_EQ(form.Uni_Error_Label1.Caption(), message);
    EXPECT_TRUE(form.Frame_Error_Handling.Visible());
    EXPECT_EQ(form.Frame_Error_Handling.Left(), 220);
    EXPECT_EQ(form.Frame_Error_Handling.Top(), 3160);
    EXPECT_FALSE(form.UnitxtLicense.Visible());
    EXPECT_FALSE(form.Info_Label.Visible());
    EXPECT_FALSE(form.Cmd_I_Agree.Visible());
    EXPECT_FALSE(form.Cmd_I_Disagree.Visible());
    EXPECT_TRUE(form.cmdExit.Visible());
    EXPECT_TRUE(form.cmdExit.Enabled());
    EXPECT_TRUE(form.cmdExit.HasFocus());
    EXPECT_EQ(form.cmdExit.Left(), 6465);
    EXPECT_EQ(form.cmdExit.Top(), 6555);
    EXPECT_TRUE(form.UniRefresh.Enabled());
    for (Timer* t : {&form.Timer4, &form.Timer5, &form.Timer7, &form.Timer8, &form.Timer9})
      EXPECT_FALSE(t->Enabled()) << t->Name();
  }
  VirtualDesktop& desktop = platform.desktop;
  UpdaterWindows& w = platform.program.updaterWindows;
};

// ---- The format path ----

struct FormatCase {
  const wchar_t* result;
  const wchar_t* message;
  friend void PrintTo(const FormatCase& c, std::ostream* os) { *os << ToUtf8(c.result); }
};

struct FormatPath : Automation, ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatPath, RunsToItsResultAndClosesWithFourClicksOnClose) {
  FormatUpdaterScript script;
  script.result = GetParam().result;
  VirtualFormatUpdater updater(desktop, script);
  StartWatching(L"FERNCLIP 200 FIRMWARE UPDATER");
  RunUntilFinished(20000);
  ASSERT_TRUE(Finished());
  ExpectResultPage(GetParam().message);

  // Posted versus sent, exactly.
  EXPECT_GE(desktop.Requests(updater.formatButton, kBmClick, true), 1);
  EXPECT_EQ(desktop.Requests(updater.formatButton, kBmClick, false), 0);
  EXPECT_EQ(desktop.Requests(updater.optionYes, kBmClick, true), 1);
  EXPECT_EQ(desktop.Requests(updater.optionYes, kWmClose, true), 1);
  EXPECT_EQ(desktop.Requests(updater.startButton, kBmClick, false), 1);
  EXPECT_EQ(desktop.Requests(updater.startButton, kBmClick, true), 0);
  EXPECT_EQ(desktop.Requests(updater.closeButton, kBmClick, true), 4);
  EXPECT_EQ(desktop.Requests(updater.main, kWmClose, false), 0);
  EXPECT_EQ(updater.optionsOpened, 1);
  EXPECT_TRUE(updater.answeredYes);
  EXPECT_EQ(updater.closedBy, L"&Close");
  EXPECT_TRUE(PlacedTopmost(updater.main));
  EXPECT_FALSE(desktop.Exists(updater.main));
  // The exit waits for this process before it deletes the updater's file.
  EXPECT_EQ(form.closingUpdater, VirtualDesktop::kUpdaterProcess);
}

INSTANTIATE_TEST_SUITE_P(Results, FormatPath,
                         ::testing::Values(FormatCase{L"COMPLETE", kSuccess},
                                           FormatCase{L"FAIL", kFailure}));

TEST_F(Automation, TheSentStartIsHandledBeforeThePostedAnswerToTheOption) {
  VirtualFormatUpdater updater(desktop);
  StartWatching(L"FERNCLIP 200 FIRMWARE UPDATER");
  // Timer4 posts "&Format Data Area" at 1 s; Timer9 finds "Option" 200 ms later.
  platform.loop.Advance(1000);
  ASSERT_TRUE(form.Timer9.Enabled());
  ASSERT_TRUE(desktop.Exists(updater.option));
  platform.loop.Advance(200);
  // Within the one Timer9 tick: &Yes posted, WM_CLOSE posted, &Start sent and handled at once.
  ASSERT_GE(desktop.handled.size(), 3u);
  const auto& h = desktop.handled;
  const auto start = std::find_if(h.begin(), h.end(),
                                  [&](const auto& m) { return m.window == updater.startButton; });
  const auto yes = std::find_if(h.begin(), h.end(), [&](const auto& m) {
    return m.window == updater.optionYes && m.message == kBmClick;
  });
  ASSERT_NE(start, h.end());
  ASSERT_NE(yes, h.end());
  EXPECT_LT(start - h.begin(), yes - h.begin());
  EXPECT_FALSE(start->posted);
  EXPECT_TRUE(yes->posted);
  EXPECT_FALSE(form.Timer4.Enabled());
  EXPECT_FALSE(form.Timer8.Enabled());
  EXPECT_FALSE(form.Timer9.Enabled());
  EXPECT_TRUE(form.Timer5.Enabled());
}

TEST_F(Automation, FormatClicksRepeatEachSecondUntilTheOptionIsAnswered) {
  VirtualFormatUpdater updater(desktop);
  // The question only comes after the third click.
  int clicks = 0;
  desktop.OnClick(updater.formatButton, [&] {
    if (++clicks < 3) return;
    if (desktop.Exists(updater.option)) return;
    updater.option = desktop.AddWindow(L"Option");
    updater.optionYes = desktop.AddControl(updater.option, L"&Yes");
    desktop.OnClick(updater.optionYes, [&] { desktop.Destroy(updater.option); });
  });
  StartWatching(L"FERNCLIP 200 FIRMWARE UPDATER");
  RunUntilFinished(20000);
  EXPECT_TRUE(Finished());
  EXPECT_EQ(desktop.Requests(updater.formatButton, kBmClick, true), 3);
  EXPECT_EQ(updater.closedBy, L"&Close");
}

struct ResultCase {
  bool upgradeType;
  const wchar_t* text;
  const wchar_t* message;  // nullptr: the watch goes on
  friend void PrintTo(const ResultCase& c, std::ostream* os) {
    *os << (c.upgradeType ? "upgrade " : "format ") << ToUtf8(c.text);
  }
};

struct ResultTexts : Automation, ::testing::WithParamInterface<ResultCase> {};

// Only the exact upper-cased results end the watch.
TEST_P(ResultTexts, EndTheWatchOnlyWhenExact) {
  const ResultCase& c = GetParam();
  if (c.upgradeType) {
    UpgradeUpdaterScript script;
    script.result = c.text;
    VirtualUpgradeUpdater updater(desktop, script);
    StartWatching(L"FERNCLIP 300 FIRMWARE UPGRADE");
    RunUntilFinished(30000);
  } else {
    FormatUpdaterScript script;
    script.result = c.text;
    VirtualFormatUpdater updater(desktop, script);
    StartWatching(L"FERNCLIP 200 FIRMWARE UPDATER");
    RunUntilFinished(30000);
  }
  if (c.message) {
    ASSERT_TRUE(Finished());
    EXPECT_EQ(form.Uni_Error_Label1.Caption(), c.message);
  } else {
    EXPECT_FALSE(Finished());
    EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"");
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, ResultTexts,
                         ::testing::Values(ResultCase{false, L"complete", kSuccess},
                                           ResultCase{false, L"  Fail ", kFailure},
                                           ResultCase{false, L"COMPLETED", nullptr},
                                           ResultCase{false, L"FAILED", nullptr},
                                           ResultCase{false, L"COMPLETE!", nullptr},
                                           ResultCase{true, L"FIRMWARE UPGRADE COMPLETED!",
                                                      kSuccess},
                                           ResultCase{true, L"Firmware upgrade failed!", kFailure},
                                           ResultCase{true, L"Firmware upgrade complete", nullptr},
                                           ResultCase{true, L"COMPLETE", nullptr}));

TEST_F(Automation, BothButtonsTakeTheFormatPath) {
  FormatUpdaterScript script;
  script.upgradeButtonToo = true;
  VirtualFormatUpdater updater(desktop, script);
  StartWatching(L"FERNCLIP 200 FIRMWARE UPDATER");
  RunUntilFinished(20000);
  ASSERT_TRUE(Finished());
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), kSuccess);
  EXPECT_EQ(desktop.Requests(updater.upgradeButton, kBmClick, true), 0);
  EXPECT_EQ(updater.closedBy, L"&Close");
}

TEST_F(Automation,
       AnUpgradeTitleWithFormatButtonsPressesTheFormatButtonsButWatchesAndClosesAsUpgrade) {
  UpgradeUpdaterScript script;
  script.formatButtonsToo = true;
  VirtualUpgradeUpdater updater(desktop, script);
  StartWatching(L"FERNCLIP 300 FIRMWARE UPGRADE");
  RunUntilFinished(20000);
  ASSERT_TRUE(Finished());
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), kSuccess);
  EXPECT_GE(desktop.Requests(updater.formatButton, kBmClick, true), 1);
  EXPECT_EQ(desktop.Requests(updater.startButton, kBmClick, false), 1);
  EXPECT_EQ(desktop.Requests(updater.upgradeButton, kBmClick, true), 0);
  EXPECT_EQ(desktop.Requests(updater.main, kWmClose, false), 1);
  EXPECT_EQ(updater.closedBy, L"WM_CLOSE");
}

// ---- The upgrade path ----

struct UpgradePath : Automation, ::testing::WithParamInterface<FormatCase> {};

TEST_P(UpgradePath, RunsToItsResultAndClosesWithASentClose) {
  UpgradeUpdaterScript script;
  script.result = GetParam().result;
  VirtualUpgradeUpdater updater(desktop, script);
  StartWatching(L"FERNCLIP 300 FIRMWARE UPGRADE");
  RunUntilFinished(20000);
  ASSERT_TRUE(Finished());
  ExpectResultPage(GetParam().message);
  EXPECT_EQ(desktop.Requests(updater.upgradeButton, kBmClick, true), 1);
  EXPECT_EQ(desktop.Requests(updater.upgradeButton, kBmClick, false), 0);
  ASSERT_EQ(updater.warningYes.size(), 1u);
  EXPECT_EQ(desktop.Requests(updater.warningYes[0], kBmClick, true), 1);
  EXPECT_EQ(desktop.Requests(updater.warningYes[0], kWmClose, true), 0);
  EXPECT_TRUE(PlacedTopmost(updater.warningYes[0]));
  EXPECT_TRUE(PlacedTopmost(updater.main));
  EXPECT_EQ(desktop.Requests(updater.main, kWmClose, false), 1);
  EXPECT_EQ(desktop.Requests(updater.main, kWmClose, true), 0);
  EXPECT_EQ(updater.warningsAnswered, 1);
  EXPECT_EQ(updater.closedBy, L"WM_CLOSE");
  EXPECT_FALSE(desktop.Exists(updater.main));
  EXPECT_EQ(form.closingUpdater, VirtualDesktop::kUpdaterProcess);
}

INSTANTIATE_TEST_SUITE_P(Results, UpgradePath,
                         ::testing::Values(FormatCase{L"Firmware upgrade completed!", kSuccess},
                                           FormatCase{L"Firmware upgrade failed!", kFailure}));

TEST_F(Automation, UpgradeWaitsForTheIntroductionBeforePressingUpgrade) {
  UpgradeUpdaterScript script;
  script.introAfterMs = 4500;
  script.warnings = {};
  VirtualUpgradeUpdater updater(desktop, script);
  StartWatching(L"FERNCLIP 300 FIRMWARE UPGRADE");
  platform.loop.Advance(1000);  // Timer4 chooses the upgrade path
  EXPECT_TRUE(form.Timer8.Enabled());
  EXPECT_TRUE(form.Timer7.Enabled());
  platform.loop.Advance(100);  // their first ticks stop Timer4
  EXPECT_FALSE(form.Timer4.Enabled());
  platform.loop.Advance(3000);
  EXPECT_FALSE(updater.upgradeClicked);
  EXPECT_TRUE(form.Timer8.Enabled());
  platform.loop.Advance(600);
  EXPECT_TRUE(updater.upgradeClicked);
  EXPECT_FALSE(form.Timer8.Enabled());
  EXPECT_TRUE(form.Timer7.Enabled());  // no warning has come yet
}

TEST_F(Automation, TheSecondWarningIsNotAnswered) {
  UpgradeUpdaterScript script;
  script.warnings = {{L"Do not disconnect your player."}, {L"Really continue?"}};
  VirtualUpgradeUpdater updater(desktop, script);
  StartWatching(L"FERNCLIP 300 FIRMWARE UPGRADE");
  RunUntilFinished(30000);
  EXPECT_FALSE(Finished());
  EXPECT_EQ(updater.warningsAnswered, 1);
  ASSERT_EQ(updater.warningWindows.size(), 2u);
  EXPECT_TRUE(desktop.Exists(updater.warningWindows[1]));
  EXPECT_EQ(desktop.Requests(updater.warningYes[1], kBmClick, true), 0);
  EXPECT_FALSE(form.Timer7.Enabled());
  EXPECT_TRUE(form.Timer5.Enabled());
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"");
}

TEST_F(Automation, TheLowBatteryWarningIsLeftAloneAndTheWizardKeepsPolling) {
  UpgradeUpdaterScript script;
  script.warnings = {{L"Warning: Your battery levels are too low. Please charge your player."}};
  VirtualUpgradeUpdater updater(desktop, script);
  StartWatching(L"FERNCLIP 300 FIRMWARE UPGRADE");
  RunUntilFinished(30000);
  EXPECT_FALSE(Finished());
  EXPECT_EQ(updater.warningsAnswered, 0);
  EXPECT_EQ(desktop.Requests(updater.warningYes[0], kBmClick, true), 0);
  EXPECT_FALSE(desktop.IsTopmost(updater.warningYes[0]));
  EXPECT_TRUE(form.Timer7.Enabled());
  EXPECT_TRUE(form.Timer5.Enabled());
  EXPECT_FALSE(form.Timer8.Enabled());

  // Once the user answers it, the upgrade runs on to its result.
  desktop.PostMessageA(updater.warningYes[0], kBmClick, 0, 0);
  RunUntilFinished(10000);
  EXPECT_TRUE(Finished());
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), kSuccess);
}

TEST_F(Automation, AWarningWithoutYesStopsTimer8ButTimer7KeepsLooking) {
  UpgradeUpdaterScript script;
  script.warnings = {{L"Please wait.", /*hasYes=*/false}};
  VirtualUpgradeUpdater updater(desktop, script);
  // Timer8 stays enabled after the click here so that the warning's effect on it shows.
  StartWatching(L"FERNCLIP 300 FIRMWARE UPGRADE");
  platform.loop.Advance(2000);
  ASSERT_TRUE(updater.upgradeClicked);
  form.Timer8.SetEnabled(true);
  form.Timer4.SetEnabled(true);
  const int clicksToNoWindow = desktop.Requests(0, kBmClick, true);
  EXPECT_GE(clicksToNoWindow, 1) << "Timer7 has met the warning already";
  w.SearchTitle = L"WARNING!";
  AnswerWarning(form);
  EXPECT_FALSE(form.Timer8.Enabled());
  EXPECT_TRUE(form.Timer4.Enabled());
  EXPECT_TRUE(form.Timer7.Enabled());
  // The click went to no window.
  EXPECT_EQ(desktop.Requests(0, kBmClick, true), clicksToNoWindow + 1);
}

TEST_F(Automation, NoUpdaterWindowYetMeansQuietRetriesUntilItAppears) {
  StartWatching(L"FERNCLIP 200 FIRMWARE UPDATER");
  platform.loop.Advance(5000);
  EXPECT_TRUE(desktop.requests.empty());
  EXPECT_TRUE(desktop.placements.empty());
  EXPECT_TRUE(form.Timer4.Enabled());
  EXPECT_TRUE(form.Timer5.Enabled());
  EXPECT_GE(desktop.topLevelEnumerations, 250);
  VirtualFormatUpdater updater(desktop);
  RunUntilFinished(20000);
  EXPECT_TRUE(Finished());
  EXPECT_EQ(updater.closedBy, L"&Close");
}

TEST_F(Automation, AMainWindowWithNeitherButtonChoosesNoPath) {
  const WindowHandle main = desktop.AddWindow(L"Fernclip 200 Firmware Updater");
  desktop.AddControl(main, L"Please wait");
  StartWatching(L"FERNCLIP 200 FIRMWARE UPDATER");
  platform.loop.Advance(3000);
  EXPECT_TRUE(form.Timer4.Enabled());
  EXPECT_FALSE(form.Timer7.Enabled());
  EXPECT_FALSE(form.Timer8.Enabled());
  EXPECT_FALSE(form.Timer9.Enabled());
  EXPECT_TRUE(desktop.IsTopmost(main));
  EXPECT_TRUE(desktop.requests.empty());
}

TEST_F(Automation, FinishUpgradeWithFailStillClosesAndFocusesExit) {
  VirtualFormatUpdater updater(desktop);
  form.UpdaterTitle = L"FERNCLIP 200 FIRMWARE UPDATER";
  form.Timer5.SetEnabled(true);
  form.Timer7.SetEnabled(true);
  FinishUpgrade(form, L"FAIL");
  ExpectResultPage(kFailure);
  platform.loop.Advance(0);  // the updater handles the posted clicks
  EXPECT_EQ(updater.closedBy, L"&Close");
  EXPECT_EQ(desktop.Requests(updater.closeButton, kBmClick, true), 4);
}

// ---- The clearing sets ----

// Every field set to a handle of an earlier discovery; each step clears exactly its own set
// before it looks (here for a window that is not there, so nothing else changes them).
struct ClearingCase {
  const char* step;
  friend void PrintTo(const ClearingCase& c, std::ostream* os) { *os << c.step; }
  void (*run)(frmMain&);
  std::vector<WindowHandle UpdaterWindows::*> cleared;
};

using W = UpdaterWindows;

struct ClearingSets : Automation, ::testing::WithParamInterface<ClearingCase> {};

TEST_P(ClearingSets, EachStepClearsExactlyItsOwnFields) {
  const std::vector<WindowHandle W::*> all = {
      &W::MainWindow,    &W::FoundWindow,      &W::FormatButton, &W::StartButton, &W::CloseButton,
      &W::YesButton,     &W::BlankText1,       &W::BlankText2,   &W::BlankText3,  &W::UpgradeButton,
      &W::CompletedText, &W::PlainCloseButton, &W::IntroText,    &W::BatteryText};
  WindowHandle earlier = 0x500;
  for (auto field : all) w.*field = earlier++;
  form.UpdaterTitle = L"NO SUCH UPDATER";
  w.SearchTitle = L"NO SUCH WINDOW";
  GetParam().run(form);
  earlier = 0x500;
  for (auto field : all) {
    const bool cleared = std::find(GetParam().cleared.begin(), GetParam().cleared.end(), field) !=
                         GetParam().cleared.end();
    EXPECT_EQ(w.*field, cleared ? 0 : earlier) << GetParam().step << " field " << (earlier - 0x500);
    ++earlier;
  }
  EXPECT_TRUE(desktop.requests.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ClearingSets,
    ::testing::Values(
        ClearingCase{
            "LocateUpdater", LocateUpdater, {&W::FoundWindow, &W::UpgradeButton, &W::FormatButton}},
        ClearingCase{"ClickFormatDataArea", ClickFormatDataArea, {&W::FoundWindow}},
        ClearingCase{"AnswerOptionDialog", AnswerOptionDialog, {&W::FoundWindow, &W::YesButton}},
        ClearingCase{"ClickStart", ClickStart, {&W::FoundWindow, &W::StartButton}},
        ClearingCase{
            "ClickUpgrade", ClickUpgrade, {&W::FoundWindow, &W::IntroText, &W::UpgradeButton}},
        ClearingCase{
            "AnswerWarning", AnswerWarning, {&W::FoundWindow, &W::YesButton, &W::BatteryText}},
        ClearingCase{"ReadUpgradeResult", ReadUpgradeResult, {&W::FoundWindow, &W::CompletedText}},
        ClearingCase{"ReadFormatResult",
                     ReadFormatResult,
                     {&W::FoundWindow, &W::BlankText1, &W::BlankText2, &W::BlankText3}},
        ClearingCase{"CloseUpdaterWindow", CloseUpdaterWindow, {&W::FoundWindow}},
        ClearingCase{"ClickCloseButton", ClickCloseButton, {&W::FoundWindow, &W::CloseButton}}),
    [](const auto& info) { return std::string(info.param.step); });

// A handle kept from an earlier discovery is used where the step does not rediscover it:
// ClickFormatDataArea clears only FoundWindow, so the "&Format Data Area" handle that
// LocateUpdater found is clicked even when a later listing no longer shows that button.
TEST_F(Automation, AHandleFromAnEarlierDiscoverySurvivesWhereItIsNotCleared) {
  VirtualFormatUpdater updater(desktop);
  form.UpdaterTitle = L"FERNCLIP 200 FIRMWARE UPDATER";
  w.SearchTitle = form.UpdaterTitle;
  LocateUpdater(form);
  ASSERT_EQ(w.FormatButton, updater.formatButton);
  desktop.SetText(updater.formatButton, L"Formatting...");
  ClickFormatDataArea(form);
  EXPECT_EQ(desktop.Requests(updater.formatButton, kBmClick, true), 1);

  // LocateUpdater clears it, so the next tick finds no format button and no path.
  form.Timer4.SetEnabled(true);
  Timer4_Timer(form);
  EXPECT_EQ(w.FormatButton, 0u);
  EXPECT_FALSE(form.Timer9.Enabled());
}

}  // namespace
}  // namespace revivix::test
