// The table of the updater's window handles that the discovery fills and the timer steps read.
// One per program run; every field starts 0 (not found) and SearchTitle empty. The enumeration
// callbacks only ever set fields: a step clears the fields it needs before a new discovery, so a
// handle found earlier survives in every field the current step did not clear.
#pragma once

#include <string>

#include "platform/Processes.h"  // WindowHandle

namespace revivix {

struct UpdaterWindows {
  WindowHandle MainWindow = 0;
  WindowHandle FoundWindow = 0;
  WindowHandle FormatButton = 0;
  WindowHandle StartButton = 0;
  WindowHandle CloseButton = 0;
  WindowHandle YesButton = 0;
  WindowHandle BlankText1 = 0;
  WindowHandle BlankText2 = 0;
  WindowHandle BlankText3 = 0;
  WindowHandle UpgradeButton = 0;
  WindowHandle CompletedText = 0;
  WindowHandle PlainCloseButton = 0;
  WindowHandle IntroText = 0;
  WindowHandle BatteryText = 0;
  // The upper-case title TopWindowProc looks for; compared as it stands.
  std::wstring SearchTitle;
};

}  // namespace revivix
