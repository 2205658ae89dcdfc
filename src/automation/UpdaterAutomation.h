// The operation of a running updater by the form's timers: Timer4 finds its main window and
// chooses the format or the upgrade path, Timer9 answers the "OPTION" question and starts the
// format, Timer8 presses "UPGRADE" once the introduction shows, Timer7 confirms "WARNING!"
// windows, and Timer5 watches for the result and ends the run with FinishUpgrade.
#pragma once

#include <string>

#include "app/frmMain.h"

namespace revivix {

// The timer handlers.
void Timer4_Timer(frmMain& form);
void Timer5_Timer(frmMain& form);
void Timer7_Timer(frmMain& form);
void Timer8_Timer(frmMain& form);
void Timer9_Timer(frmMain& form);

// The steps: each clears its own fields of UpdaterWindows, discovers the window titled
// SearchTitle and, when it exists, acts on it.
void LocateUpdater(frmMain& form);
void ClickFormatDataArea(frmMain& form);
void AnswerOptionDialog(frmMain& form);
void ClickStart(frmMain& form);
void ClickUpgrade(frmMain& form);
void AnswerWarning(frmMain& form);
void ReadUpgradeResult(frmMain& form);
void ReadFormatResult(frmMain& form);
void CloseUpdaterWindow(frmMain& form);
void ClickCloseButton(frmMain& form);

// Shows the result ("COMPLETE" or "FAIL") on the error page, stops the watch, focuses Exit and
// closes the updater.
void FinishUpgrade(frmMain& form, const std::wstring& result);

}  // namespace revivix
