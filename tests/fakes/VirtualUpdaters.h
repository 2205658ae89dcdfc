// The two kinds of firmware updater, scripted on the virtual desktop: the format-type one with
// its "Option" question and a result control whose caption reads empty, and the upgrade-type
// one with its delayed introduction, "Warning!" questions and a status control that keeps its
// creation text while it answers with its live status.
#pragma once

#include <string>
#include <vector>

#include "fakes/VirtualDesktop.h"

namespace revivix::test {

struct FormatUpdaterScript {
  std::wstring title = L"Fernclip 200 Firmware Updater";
  std::wstring result = L"COMPLETE";  // what the result control shows once the run ends
  int runMs = 3000;                   // from the click on "&Start" to the result
  bool upgradeButtonToo = false;      // the main window also shows an "UPGRADE" button
};

class VirtualFormatUpdater {
 public:
  VirtualFormatUpdater(VirtualDesktop& desktop, FormatUpdaterScript script = {});
  VirtualDesktop& desktop;
  FormatUpdaterScript script;
  WindowHandle main = 0, resultText = 0, progress = 0, formatButton = 0, startButton = 0,
               closeButton = 0, upgradeButton = 0;
  WindowHandle option = 0, optionYes = 0, optionNo = 0;
  int optionsOpened = 0;
  bool answeredYes = false;
  bool started = false;
  std::wstring closedBy;  // "&Close" or "WM_CLOSE"

 private:
  void Show();
};

struct UpgradeUpdaterScript {
  std::wstring title = L"Fernclip 300 Firmware UPGRADE";
  int introAfterMs = 500;  // the introduction text appears this long after the window
  // The "Warning!" questions after "UPGRADE", in order; each waits for its "&Yes".
  struct Warning {
    std::wstring text;
    bool hasYes = true;
  };
  std::vector<Warning> warnings{{L"Do not disconnect your player during the upgrade."}};
  std::wstring result = L"Firmware upgrade completed!";
  int runMs = 3000;               // from the last answered warning to the result
  bool formatButtonsToo = false;  // the main window also shows "&Format Data Area" and "&Start"
};

class VirtualUpgradeUpdater {
 public:
  VirtualUpgradeUpdater(VirtualDesktop& desktop, UpgradeUpdaterScript script = {});

  VirtualDesktop& desktop;
  UpgradeUpdaterScript script;
  WindowHandle main = 0, introText = 0, upgradeButton = 0, statusText = 0, formatButton = 0,
               startButton = 0;
  WindowHandle option = 0, optionYes = 0;
  std::vector<WindowHandle> warningWindows, warningYes, warningTexts;
  int warningsAnswered = 0;
  bool upgradeClicked = false;
  std::wstring closedBy;

 private:
  void NextWarning(std::size_t index);
  void Run();
};

inline constexpr wchar_t kIntroSentence[] = L"This program will upgrade your player's firmware.";
inline constexpr wchar_t kBatterySentence[] = L"Your battery levels are too low.";

}  // namespace revivix::test
