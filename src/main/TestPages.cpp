// The test build's page composer and text measure (TestPages.h). Each page starts from the start
// page's controls with every timer stopped, so nothing of the run interferes; the page itself is
// then made by the operations the wizard's handlers use.
#include "TestPages.h"

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "app/Navigation.h"
#include "app/Pages.h"
#include "app/UpdateNotice.h"
#include "app/frmMain.h"
#include "automation/UpdaterAutomation.h"
#include "detection/PlayerIdentification.h"
#include "download/FirmwareDownload.h"
#include "i18n/ApplyLanguage.h"
#include "platform/win32/Win32Views.h"

namespace revivix::testhook {

namespace {

// A database line of a player, the 14 values the record is copied from.
std::vector<std::wstring> PlayerLine(const wchar_t* mode, const wchar_t* osLevel,
                                     const wchar_t* mediaPlayer) {
  return {L"PID_4157",
          L"Zanterix Fernclip 200",
          osLevel,
          mediaPlayer,
          mode,
          L"2A00",
          L"x.htm",
          L"http://127.0.0.1/",
          L"http://127.0.0.1/",
          L"0",
          L"REVIVIX TEST NO UPDATER",
          L"",
          L"1.0.0",
          L""};
}

void StopTimers(frmMain& form) {
  for (Timer* timer : form.Timers()) timer->SetEnabled(false);
}

// The start page's controls, in the language at `languageIndex`.
void StartPage(frmMain& form, int languageIndex) {
  StopTimers(form);
  for (Control* hidden :
       {&form.Frame_DetectPlayer_by_SNO, &form.Player_Detected_Frame1, &form.Info_Label,
        &form.UnitxtLicense, static_cast<Control*>(&form.VistaProg1),
        &form.Frame_4_Download_Progress, &form.Frame_Error_Handling, &form.Cmd_I_Disagree,
        &form.Cmd_I_Agree, &form.cmdExit, &form.UniLabel_New_Version_Info, &form.CmdYes,
        &form.CmdNo})
    hidden->SetVisible(false);
  for (Control* shown :
       {&form.UniRefresh, &form.UniButton_Help, &form.Uni_PID3500_err_MSG, &form.Label_Player,
        &form.Combo_Choose_Player, &form.Label_SNO, &form.txtSNO, &form.Cmd_Next}) {
    shown->SetVisible(true);
    shown->SetEnabled(true);
  }
  for (Control* enabled : {&form.Cmd_I_Agree, &form.Cmd_I_Disagree, &form.Combo_Region,
                           &form.Combo_Language, &form.Frame_Region_Lang})
    enabled->SetEnabled(true);
  form.Uni_PID3500_err_MSG.SetTop(240);
  form.UniLabel_New_Version_Info.SetTop(form.NoticeLabelTop);
  form.UpdateAvailable = false;
  form.SerialAttempts = 0;
  form.OsCode = L"1";
  form.MediaPlayerVersion = L"11";
  form.UpdaterTitle = L"REVIVIX TEST NO UPDATER";
  // Every message starts with the user's name: the wizard runs as an administrator, and the
  // built-in account's name is longer than most.
  form.UserName = L"Administrator";
  if (form.Combo_Choose_Player.ListCount() == 0) form.Combo_Choose_Player.AddItem(L"Choose Player");
  if (form.Combo_Region.ListIndex() < 1 && form.Combo_Region.ListCount() > 1)
    form.Combo_Region.SetListIndex(1);
  form.Combo_Language.SetListIndex(languageIndex);
  Timer10_Timer(form);
  form.LanguageAndRegionChosen = true;
}

void LicensePage(frmMain& form, const wchar_t* mode) {
  TakeOverPlayerLine(form, PlayerLine(mode, L"2", L"11"));
}

void DownloadPage(frmMain& form) {
  LicensePage(form, L"MSC");
  form.UnitxtLicense.SetVisible(false);
  form.UniRefresh.SetEnabled(false);
  ShowDownloadPage(form);
  form.Frame_4_Download_Progress.SetVisible(true);
  // The widest sizes a download shows: two digits before the point, megabytes on both sides.
  mydl_TumoDLProg(form, 104846000, 104847000);
}

void SerialNumberAttempt(frmMain& form, int earlierAttempts) {
  ShowSerialNumberPage(form);
  form.SerialAttempts = earlierAttempts;
  form.txtSNO.SetText(L"0000");
  Cmd_Next_Click(form);
}

bool Compose(frmMain& form, std::size_t page, int languageIndex) {
  if (page >= kTestPages.size() || languageIndex < 1 ||
      languageIndex >= form.Combo_Language.ListCount())
    return false;
  StartPage(form, languageIndex);
  const std::string name = kTestPages[page].name;
  if (name == "license (storage device)") {
    LicensePage(form, L"MSC");
  } else if (name == "license (MTP player)") {
    LicensePage(form, L"MTP");
  } else if (name == "serial number") {
    ShowSerialNumberPage(form);
  } else if (name == "serial number not recognised") {
    SerialNumberAttempt(form, 0);
  } else if (name == "knowledge-base question") {
    SerialNumberAttempt(form, 2);
  } else if (name == "update notice") {
    form.UpdateAvailable = true;
    ShowUpdateNotice(form);
  } else if (name == "download with progress") {
    DownloadPage(form);
  } else if (name == "updater running") {
    DownloadPage(form);
    form.Frame_4_Download_Progress.SetVisible(false);
  } else if (name == "success" || name == "failure") {
    DownloadPage(form);
    form.Frame_4_Download_Progress.SetVisible(false);
    FinishUpgrade(form, name == "success" ? L"COMPLETE" : L"FAIL");
  } else if (name == "error: no updates for this system") {
    TakeOverPlayerLine(form, PlayerLine(L"MSC", L"0", L"11"));
  } else if (name == "error: media player not supported") {
    TakeOverPlayerLine(form, PlayerLine(L"MTP", L"2", L"10"));
  } else if (name == "error: firmware site offline") {
    LicensePage(form, L"MSC");
    form.UnitxtLicense.SetVisible(false);
    ShowError(form, kTestPages[page].errorKey);
  } else if (kTestPages[page].errorKey) {
    ShowError(form, kTestPages[page].errorKey);
  }
  StopTimers(form);
  return true;
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The text's size as the control draws it, with the font the control was given.
LRESULT MeasureText(HWND control) {
  wchar_t className[32] = {};
  GetClassNameW(control, className, 32);
  const bool wraps = lstrcmpiW(className, L"STATIC") == 0;
  RECT client{};
  GetClientRect(control, &client);
  const std::wstring text = WindowText(control);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT r{0, 0, wraps ? client.right : 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return MAKELRESULT(r.right - r.left, r.bottom - r.top);
}

}  // namespace

void Install(win32::FormViews& views, frmMain& form) {
  const UINT compose = RegisterWindowMessageW(kComposePageMessage);
  const UINT measure = RegisterWindowMessageW(kMeasureTextMessage);
  const UINT timer = RegisterWindowMessageW(kTimerEnabledMessage);
  views.extraMessages = [&views, &form, compose, measure, timer](UINT message, WPARAM wParam,
                                                                 LPARAM lParam, LRESULT& result) {
    if (message == compose) {
      try {
        result = Compose(form, static_cast<std::size_t>(wParam), static_cast<int>(lParam)) ? 1 : 0;
      } catch (const std::exception&) {
        result = 0;
      }
      return true;
    }
    if (message == measure) {
      const win32::ControlWindow* view = views.ViewById(static_cast<int>(wParam));
      result = view ? MeasureText(view->Handle()) : 0;
      return true;
    }
    if (message == timer) {
      const std::array<const Timer*, 10> timers = {
          &form.Timer1, &form.Timer2, &form.Timer3, &form.Timer4, &form.Timer5,
          &form.Timer6, &form.Timer7, &form.Timer8, &form.Timer9, &form.Timer10};
      result =
          wParam >= 1 && wParam <= timers.size() ? (timers[wParam - 1]->Enabled() ? 1 : 0) : -1;
      return true;
    }
    return false;
  };
}

}  // namespace revivix::testhook
