#include "automation/UpdaterAutomation.h"

#include "app/Lifecycle.h"
#include "app/Pages.h"
#include "automation/BasWinHandler.h"
#include "common/Text.h"
#include "download/FirmwareDownload.h"

namespace revivix {

namespace {

UpdaterWindows& Table(frmMain& form) {
  return form.program.updaterWindows;
}

Desktop& Windows(frmMain& form) {
  return form.program.ports.desktop;
}

// The updater's kind, from the database's title: it decides the result watch and the closing.
bool UpgradeType(const frmMain& form) {
  return ContainsNoCase(form.UpdaterTitle, L"UPGRADE");
}

RunLog& Log(frmMain& form) {
  return form.program.log;
}

std::wstring Handle(WindowHandle window) {
  return std::to_wstring(window);
}

void Post(frmMain& form, WindowHandle window, std::uint32_t message) {
  Windows(form).PostMessageA(window, message, 0, 0);
}

// Sent with the time limit. A message whose send timed out has still been delivered: the
// updater handles it once it gets to it. So the step goes on with what follows the send either
// way, and never sends it again; the result tells whether the updater answered in time, and the
// log says which it was.
bool Send(frmMain& form, WindowHandle window, std::uint32_t message, const std::wstring& what) {
  try {
    SendBounded(Windows(form), window, message);
  } catch (const UpdaterNotAnswering&) {
    Log(form).Write(logtag::kAutomation,
                    what + L" sent to window " + Handle(window) + L": not answered in time");
    return false;
  }
  Log(form).Write(logtag::kAutomation, what + L" sent to window " + Handle(window) + L": answered");
  return true;
}

// A dialog answered: its title and the process it belongs to.
void LogDialog(frmMain& form, const wchar_t* title, WindowHandle dialog) {
  Log(form).Write(logtag::kAutomation,
                  std::wstring(L"dialog ") + title + L" (window " + Handle(dialog) + L", process " +
                      std::to_wstring(Windows(form).GetWindowThreadProcessId(dialog)) +
                      L") answered: click posted to &Yes");
}

// Timer4's ticks after which a started updater that has ended without showing its window counts
// as one that did not run. A launcher that starts the real updater and ends gets these few
// seconds for the updater's window to appear.
constexpr std::int32_t kUpdaterStartGraceTicks = 3;

// True when the started updater turned out not to run, and the step has ended as a failure.
bool UpdaterEndedUnseen(frmMain& form) {
  if (!form.watchingUpdaterStart) return false;
  if (Table(form).FoundWindow != 0) {
    form.watchingUpdaterStart = false;
    return false;
  }
  if (++form.updaterStartTicks < kUpdaterStartGraceTicks) return false;
  if (form.program.ports.shell.StartedProcessEnded() != true) return false;
  UpdaterDidNotRun(form);
  return true;
}

void MakeTopmost(frmMain& form, WindowHandle window) {
  Windows(form).SetWindowPos(window, kHwndTopmost, 0, 0, 0, 0, kSwpNoSize | kSwpNoMove);
}

// The run ends once the updater's result control reads one of its two results.
void FinishOnResult(frmMain& form, WindowHandle result, std::wstring_view completed,
                    std::wstring_view failed) {
  const std::wstring t = ReadLiveText(form.program, result);
  if (t == completed || t == failed)
    Log(form).Write(logtag::kResult, L"result read: \"" + t + L"\"");
  if (t == completed)
    FinishUpgrade(form, L"COMPLETE");
  else if (t == failed)
    FinishUpgrade(form, L"FAIL");
}

}  // namespace

// ---- Timer handlers ----

void Timer4_Timer(frmMain& form) {
  UpdaterWindows& w = Table(form);
  w.SearchTitle = form.UpdaterTitle;
  LocateUpdater(form);
  if (UpdaterEndedUnseen(form)) return;
  // A window with both buttons takes the format path.
  if (w.FormatButton != 0) {
    if (Log(form).First(L"format path"))
      Log(form).Write(logtag::kAutomation, L"the format path (\"&Format Data Area\")");
    ClickFormatDataArea(form);
    form.Timer9.SetEnabled(true);
  } else if (w.UpgradeButton != 0) {
    if (Log(form).First(L"upgrade path"))
      Log(form).Write(logtag::kAutomation, L"the upgrade path (\"UPGRADE\")");
    form.Timer8.SetEnabled(true);
    form.Timer7.SetEnabled(true);
  }
}

void Timer5_Timer(frmMain& form) {
  Table(form).SearchTitle = form.UpdaterTitle;
  if (UpgradeType(form))
    ReadUpgradeResult(form);
  else
    ReadFormatResult(form);
}

void Timer7_Timer(frmMain& form) {
  form.Timer4.SetEnabled(false);
  Table(form).SearchTitle = L"WARNING!";
  AnswerWarning(form);
}

void Timer8_Timer(frmMain& form) {
  form.Timer4.SetEnabled(false);
  if (UpgradeType(form)) {
    Table(form).SearchTitle = form.UpdaterTitle;
    ClickUpgrade(form);
  }
}

void Timer9_Timer(frmMain& form) {
  Table(form).SearchTitle = L"OPTION";
  AnswerOptionDialog(form);
}

// ---- Steps ----

void LocateUpdater(frmMain& form) {
  UpdaterWindows& w = Table(form);
  w.FoundWindow = 0;
  w.UpgradeButton = 0;
  w.FormatButton = 0;
  ScanUpdater(form.program);
  if (w.FoundWindow == 0) return;
  if (Log(form).First(L"main window " + Handle(w.FoundWindow)))
    Log(form).Write(logtag::kAutomation,
                    L"updater window \"" + w.SearchTitle + L"\" found: window " +
                        Handle(w.FoundWindow) + L", process " +
                        std::to_wstring(Windows(form).GetWindowThreadProcessId(w.FoundWindow)));
  MakeTopmost(form, w.FoundWindow);
}

void ClickFormatDataArea(frmMain& form) {
  UpdaterWindows& w = Table(form);
  w.FoundWindow = 0;
  ScanUpdater(form.program);
  if (w.FoundWindow == 0) return;
  Post(form, w.FormatButton, kBmClick);
  Log(form).Write(logtag::kAutomation, L"click posted to \"&Format Data Area\" (window " +
                                           Handle(w.FormatButton) + L")");
}

void AnswerOptionDialog(frmMain& form) {
  UpdaterWindows& w = Table(form);
  w.FoundWindow = 0;
  w.YesButton = 0;
  // Only the updater's own question is answered.
  ScanUpdaterDialog(form.program, form.UpdaterTitle);
  if (w.FoundWindow == 0) return;
  RunStep([&] { LogDialog(form, L"OPTION", w.FoundWindow); });
  // A failing statement of this step is skipped and the next one runs.
  RunStep([&] { Post(form, w.YesButton, kBmClick); });
  RunStep([&] { Post(form, w.YesButton, kWmClose); });
  RunStep([&] { form.Timer8.SetEnabled(false); });
  RunStep([&] { form.Timer9.SetEnabled(false); });
  RunStep([&] { w.SearchTitle = form.UpdaterTitle; });
  RunStep([&] { ClickStart(form); });
}

void ClickStart(frmMain& form) {
  UpdaterWindows& w = Table(form);
  w.FoundWindow = 0;
  w.StartButton = 0;
  ScanUpdater(form.program);
  if (w.FoundWindow == 0) return;
  // Sent: the wizard waits until the updater has handled the click. A click not answered in time
  // is handled late, so Timer4 stops either way: it would otherwise press "&FORMAT DATA AREA"
  // again and so, through "OPTION", "&START" a second time: a second format of the player.
  Send(form, w.StartButton, kBmClick, L"click on \"&Start\"");
  form.Timer4.SetEnabled(false);
}

void ClickUpgrade(frmMain& form) {
  UpdaterWindows& w = Table(form);
  w.FoundWindow = 0;
  w.IntroText = 0;
  w.UpgradeButton = 0;
  ScanUpdater(form.program);
  if (w.FoundWindow == 0) return;
  if (ContainsNoCase(ReadLiveText(form.program, w.IntroText),
                     L"THIS PROGRAM WILL UPGRADE YOUR PLAYER'S FIRMWARE.")) {
    Post(form, w.UpgradeButton, kBmClick);
    Log(form).Write(logtag::kAutomation,
                    L"click posted to \"UPGRADE\" (window " + Handle(w.UpgradeButton) + L")");
    form.Timer8.SetEnabled(false);
  }
}

void AnswerWarning(frmMain& form) {
  UpdaterWindows& w = Table(form);
  w.FoundWindow = 0;
  w.YesButton = 0;
  w.BatteryText = 0;
  // Only the updater's own warning is answered: another program's window of that title is never
  // confirmed with the wizard's rights.
  ScanUpdaterDialog(form.program, form.UpdaterTitle);
  if (w.FoundWindow == 0) return;
  // The low-battery warning is left for the user; any other warning is confirmed.
  if (ContainsNoCase(ReadLiveText(form.program, w.BatteryText),
                     L"YOUR BATTERY LEVELS ARE TOO LOW.")) {
    if (Log(form).First(L"low battery " + Handle(w.FoundWindow)))
      Log(form).Write(logtag::kAutomation, L"dialog WARNING! (window " + Handle(w.FoundWindow) +
                                               L"): the battery is too low, left for the user");
    return;
  }
  MakeTopmost(form, w.YesButton);
  Post(form, w.YesButton, kBmClick);
  LogDialog(form, L"WARNING!", w.FoundWindow);
  form.Timer8.SetEnabled(false);
  if (w.YesButton != 0) {
    form.Timer4.SetEnabled(false);
    form.Timer7.SetEnabled(false);
  }
}

void ReadUpgradeResult(frmMain& form) {
  UpdaterWindows& w = Table(form);
  w.FoundWindow = 0;
  w.CompletedText = 0;
  ScanUpdater(form.program);
  if (w.FoundWindow == 0) return;
  FinishOnResult(form, w.CompletedText, L"FIRMWARE UPGRADE COMPLETED!",
                 L"FIRMWARE UPGRADE FAILED!");
}

void ReadFormatResult(frmMain& form) {
  UpdaterWindows& w = Table(form);
  w.FoundWindow = 0;
  w.BlankText1 = 0;
  w.BlankText2 = 0;
  w.BlankText3 = 0;
  ScanUpdater(form.program);
  if (w.FoundWindow == 0) return;
  FinishOnResult(form, w.BlankText1, L"COMPLETE", L"FAIL");
}

void CloseUpdaterWindow(frmMain& form) {
  UpdaterWindows& w = Table(form);
  FindTopWindow(form.program);
  if (w.FoundWindow == 0) return;
  // Sent: the wizard waits until the updater has handled its close. One that does not answer in
  // time still has the close in its queue and is waited for at exit as one that answered is.
  const ProcessId updater = Windows(form).GetWindowThreadProcessId(w.FoundWindow);
  Send(form, w.FoundWindow, kWmClose, L"WM_CLOSE");
  form.closingUpdater = updater;
}

void ClickCloseButton(frmMain& form) {
  UpdaterWindows& w = Table(form);
  w.FoundWindow = 0;
  w.CloseButton = 0;
  ScanUpdater(form.program);
  if (w.FoundWindow == 0) return;
  for (int i = 0; i < 4; ++i) Post(form, w.CloseButton, kBmClick);
  Log(form).Write(logtag::kAutomation,
                  L"4 clicks posted to \"&Close\" (window " + Handle(w.CloseButton) + L")");
  if (w.CloseButton != 0)
    form.closingUpdater = Windows(form).GetWindowThreadProcessId(w.FoundWindow);
}

void FinishUpgrade(frmMain& form, const std::wstring& result) {
  const wchar_t* key = result == L"COMPLETE" ? L"IDS_FW_UPDATE_SUCCESSFUL"
                       : result == L"FAIL"   ? L"IDS_FW_UPDATE_FAILED"
                                             : nullptr;
  Log(form).Write(logtag::kResult,
                  L"the update ended: " + result + (key ? std::wstring(L", message ") + key : L""));
  if (key) {
    form.Uni_Error_Label1.SetCaption(form.UserName);
    form.Uni_Error_Label1.SetCaption(form.Uni_Error_Label1.Caption() + L", " + LookUp(form, key));
  }
  form.UnitxtLicense.SetVisible(false);
  form.Info_Label.SetVisible(false);
  form.Frame_Error_Handling.Move(220, 3160);
  form.Frame_Error_Handling.SetVisible(true);
  form.Timer5.SetEnabled(false);
  form.Timer7.SetEnabled(false);
  form.Timer8.SetEnabled(false);
  form.Cmd_I_Agree.SetVisible(false);
  form.Cmd_I_Disagree.SetVisible(false);
  form.cmdExit.SetTop(6555);
  form.cmdExit.SetLeft(6465);
  form.cmdExit.SetVisible(true);
  form.cmdExit.SetEnabled(true);
  form.cmdExit.SetFocus();
  Table(form).SearchTitle = form.UpdaterTitle;
  // An updater that does not take its close in time is left running; the result stays shown and
  // Refresh becomes usable all the same.
  RunStep([&] {
    if (UpgradeType(form))
      CloseUpdaterWindow(form);
    else
      ClickCloseButton(form);
  });
  form.UniRefresh.SetEnabled(true);
}

}  // namespace revivix
