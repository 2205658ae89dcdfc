#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "automation/BasWinHandler.h"
#include "common/Text.h"
#include "fakes/FakePlatform.h"

namespace revivix::test {
namespace {

struct Discovery : ::testing::Test {
  FakePlatform platform;
  Program& program = platform.program;
  VirtualDesktop& desktop = platform.desktop;
  UpdaterWindows& w = platform.program.updaterWindows;
};

TEST(TrimAtNul, CutsAtTheFirstNulAndTrimsBlanks) {
  const struct {
    std::wstring in, out;
  } cases[] = {
      {L"", L""},
      {L"   ", L""},
      {L"  Option  ", L"Option"},
      {std::wstring(L"Warning!\0rest", 13), L"Warning!"},
      {std::wstring(L"  a b \0  c", 10), L"a b"},
      {std::wstring(L"\0text", 5), L""},
      {L"\tTab\t", L"\tTab\t"},  // only blanks are trimmed
  };
  for (const auto& c : cases) EXPECT_EQ(TrimAtNul(c.in), c.out) << ToUtf8(c.in);
}

TEST_F(Discovery, TheFirstOfTwoWindowsWithTheTitleIsFoundAndTheSearchStops) {
  desktop.AddWindow(L"Other");
  const WindowHandle first = desktop.AddWindow(L"Option");
  desktop.AddWindow(L"OPTION");
  int visited = 0;
  w.SearchTitle = L"OPTION";
  desktop.EnumWindows(
      [&](WindowHandle h, std::intptr_t v) {
        ++visited;
        return TopWindowProc(program, h, v);
      },
      0);
  EXPECT_EQ(w.FoundWindow, first);
  EXPECT_EQ(visited, 2);
}

TEST_F(Discovery, TitlesAreUpperCasedButSearchTitleIsComparedAsItStands) {
  desktop.AddWindow(L"  Option ");
  w.SearchTitle = L"OPTION";
  ScanUpdater(program);
  EXPECT_NE(w.FoundWindow, 0u);
  w.SearchTitle = L"Option";
  ScanUpdater(program);
  EXPECT_EQ(w.FoundWindow, 0u);
}

TEST_F(Discovery, ALongTitleIsComparedInItsFirst259Characters) {
  const std::wstring title = std::wstring(259, L'A') + L"BCD";
  const WindowHandle h = desktop.AddWindow(title);
  w.SearchTitle = title;
  ScanUpdater(program);
  EXPECT_EQ(w.FoundWindow, 0u);
  w.SearchTitle = std::wstring(259, L'A');
  ScanUpdater(program);
  EXPECT_EQ(w.FoundWindow, h);
}

TEST_F(Discovery, NoWindowLeavesMainWindowAndListsNoChildren) {
  w.MainWindow = 0x99;
  w.SearchTitle = L"FERNCLIP 200 FIRMWARE UPDATER";
  ScanUpdater(program);
  EXPECT_EQ(w.FoundWindow, 0u);
  EXPECT_EQ(w.MainWindow, 0x99u);
  EXPECT_EQ(desktop.childEnumerations, 0);
}

TEST_F(Discovery, ChildTextsFillTheirFieldsIncludingNestedControls) {
  const WindowHandle main = desktop.AddWindow(L"Fernclip 300 Firmware UPGRADE");
  const WindowHandle group = desktop.AddControl(main, L"Group");
  const WindowHandle format = desktop.AddControl(group, L"&Format Data Area");  // a grandchild
  const WindowHandle start = desktop.AddControl(main, L" &start ");
  const WindowHandle close = desktop.AddControl(main, L"&Close");
  const WindowHandle yes = desktop.AddControl(main, L"&Yes");
  const WindowHandle upgrade = desktop.AddControl(main, L"Upgrade");
  const WindowHandle plainClose = desktop.AddControl(main, L"Close");
  const WindowHandle completed = desktop.AddControl(main, L"Firmware upgrade completed!");
  const WindowHandle intro =
      desktop.AddControl(main, L"Welcome. This program will upgrade your player's firmware. Go.");
  const WindowHandle battery =
      desktop.AddControl(main, L"Warning: your battery levels are too low. Charge it first.");
  w.SearchTitle = L"FERNCLIP 300 FIRMWARE UPGRADE";
  ScanUpdater(program);
  EXPECT_EQ(w.MainWindow, main);
  EXPECT_EQ(w.FormatButton, format);
  EXPECT_EQ(w.StartButton, start);
  EXPECT_EQ(w.CloseButton, close);
  EXPECT_EQ(w.YesButton, yes);
  EXPECT_EQ(w.UpgradeButton, upgrade);
  EXPECT_EQ(w.PlainCloseButton, plainClose);
  EXPECT_EQ(w.CompletedText, completed);
  EXPECT_EQ(w.IntroText, intro);
  EXPECT_EQ(w.BatteryText, battery);
  EXPECT_EQ(w.BlankText1, 0u);
}

TEST_F(Discovery, TheLastMatchWinsAndOneWindowCanFillTwoFields) {
  const WindowHandle main = desktop.AddWindow(L"Warning!");
  desktop.AddControl(main, L"&Yes");
  const WindowHandle second = desktop.AddControl(main, L"&YES");
  const WindowHandle both = desktop.AddControl(
      main, L"This program will upgrade your player's firmware. Your battery levels are too low.");
  w.SearchTitle = L"WARNING!";
  ScanUpdater(program);
  EXPECT_EQ(w.YesButton, second);
  EXPECT_EQ(w.IntroText, both);
  EXPECT_EQ(w.BatteryText, both);
}

TEST_F(Discovery, ThreeEmptySlotsFillInOrderAndALaterDiscoveryAddsNothing) {
  const WindowHandle main = desktop.AddWindow(L"Updater");
  WindowHandle blank[4];
  for (auto& b : blank) b = desktop.AddOwnTextControl(main, L"", L"live");
  w.SearchTitle = L"UPDATER";
  ScanUpdater(program);
  EXPECT_EQ(w.BlankText1, blank[0]);
  EXPECT_EQ(w.BlankText2, blank[1]);
  EXPECT_EQ(w.BlankText3, blank[2]);

  // A new empty control, listed first now, changes nothing while the slots are kept.
  const WindowHandle other = desktop.AddWindow(L"Updater 2");
  desktop.AddControl(other, L"");
  w.SearchTitle = L"UPDATER 2";
  ScanUpdater(program);
  EXPECT_EQ(w.BlankText1, blank[0]);
  EXPECT_EQ(w.BlankText3, blank[2]);
}

TEST_F(Discovery, CallbacksNeverClearAField) {
  const WindowHandle main = desktop.AddWindow(L"Updater");
  const WindowHandle start = desktop.AddControl(main, L"&Start");
  w.SearchTitle = L"UPDATER";
  ScanUpdater(program);
  ASSERT_EQ(w.StartButton, start);
  desktop.Destroy(start);
  ScanUpdater(program);
  EXPECT_EQ(w.StartButton, start);  // a stale handle stays until a step clears it
}

TEST_F(Discovery, LiveTextIsAskedOfTheControlNotReadFromItsStoredText) {
  const WindowHandle main = desktop.AddWindow(L"Updater");
  const WindowHandle edit = desktop.AddOwnTextControl(main, L"", L"  Complete  ");
  w.SearchTitle = L"UPDATER";
  ScanUpdater(program);
  EXPECT_EQ(w.BlankText1, edit);
  EXPECT_EQ(ReadLiveText(program, edit), L"COMPLETE");
  desktop.SetLiveText(edit, std::wstring(L"Fail\0junk", 9));
  EXPECT_EQ(ReadLiveText(program, edit), L"FAIL");
}

TEST_F(Discovery, ReadingHandleZeroOrAGoneWindowGivesEmpty) {
  EXPECT_EQ(ReadLiveText(program, 0), L"");
  EXPECT_EQ(ReadLiveText(program, 0x4242), L"");
}

TEST_F(Discovery, AControlsClaimedLengthBoundsTheRead) {
  const WindowHandle main = desktop.AddWindow(L"Updater");
  const WindowHandle c = desktop.AddOwnTextControl(main, L"", L"Firmware upgrade failed!");
  desktop.ClaimLength(c, 8);
  EXPECT_EQ(ReadLiveText(program, c), L"FIRMWARE");
  desktop.ClaimLength(c, -5);
  EXPECT_EQ(ReadLiveText(program, c), L"");
  // An absurd length neither crashes nor allocates without bound: the text is still read.
  desktop.ClaimLength(c, std::numeric_limits<std::intptr_t>::max());
  EXPECT_EQ(ReadLiveText(program, c), L"FIRMWARE UPGRADE FAILED!");
}

TEST_F(Discovery, LatinTextsSurviveTheAnsiRoundTrip) {
  const WindowHandle main = desktop.AddWindow(L"Mise à jour");
  const WindowHandle c = desktop.AddOwnTextControl(main, L"", L"Terminé");
  w.SearchTitle = L"MISE À JOUR";
  ScanUpdater(program);
  EXPECT_EQ(w.FoundWindow, main);
  EXPECT_EQ(ReadLiveText(program, c), L"TERMINÉ");
}

}  // namespace
}  // namespace revivix::test
