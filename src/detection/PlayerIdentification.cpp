#include "detection/PlayerIdentification.h"

#include <cmath>
#include <cstdint>
#include <exception>

#include "app/Lifecycle.h"
#include "app/Pages.h"
#include "common/Text.h"
#include "detection/DeviceMatching.h"
#include "detection/PlayerDatabase.h"
#include "i18n/ApplyLanguage.h"

namespace revivix {

namespace {

// The detection has reached a page: its progress bar and animation stop.
void StopProgress(frmMain& form) {
  RunStep([&] { form.VistaProg1.SetVisible(false); });
  RunStep([&] { form.Timer3.SetEnabled(false); });
}

// An error that refuses the identified player; the program ends 30 seconds later.
void RefusePlayer(frmMain& form, const wchar_t* key) {
  StopProgress(form);
  RunStep([&] { ShowError(form, key); });
  RunStep([&] { form.Timer1.SetEnabled(true); });
}

}  // namespace

void ShowSerialNumberPage(frmMain& form) {
  RunStep([&] { form.SerialAttempts = 0; });
  RunStep([&] { form.Uni_PID3500_err_MSG.SetCaption(LookUp(form, L"IDS_ENTER_PLAYER_SNO")); });
  RunStep([&] {
    form.UniLabel_New_Version_Info.SetVisible(false);
    form.Uni_PID3500_err_MSG.SetVisible(true);
  });
  RunStep([&] {
    form.Frame_DetectPlayer_by_SNO.Move(180, 2620);
    form.Frame_DetectPlayer_by_SNO.SetVisible(true);
  });
  RunStep([&] { form.Combo_Choose_Player.SetText(kChoosePlayer); });
  RunStep([&] { form.Combo_Choose_Player.SetFocus(); });
  RunStep([&] { form.cmdExit.SetVisible(false); });
}

namespace {

// One identified player: the license page, unless the player's updater refuses this system or
// this media player. False when the player was refused.
bool ShowLicensePage(frmMain& form) {
  if (NumericValue(form.PlayerOsLevel) < NumericValue(form.OsCode)) {
    RefusePlayer(form, L"IDS_NO_VISTA_UPDATES");
    return false;
  }
  const double mediaPlayer = NumericValue(form.MediaPlayerVersion);
  if (Trim(form.PlayerMode) == L"MTP" &&
      NumericValue(form.PlayerMediaPlayerVersion) != mediaPlayer && mediaPlayer > 10) {
    RefusePlayer(form, L"IDS_WMP11_NOT_SUPPORTED");
    return false;
  }
  RunStep(
      [&] { form.MscOnXp = Trim(form.PlayerMode) == L"MSC" && NumericValue(form.OsCode) == 1; });
  RunStep([&] { ApplyLanguage(form); });
  RunStep([&] {
    form.Player_Detected_Frame1.SetVisible(true);
    form.Player_Detected_Label.SetVisible(true);
    form.Info_Label.SetVisible(true);
  });
  std::wstring licenseFile;
  RunStep([&] { licenseFile = ResolveLicenseFile(form); });
  RunStep([&] { form.VistaProg1.SetValue(100); });
  RunStep([&] { LoadLicenseText(form, licenseFile); });
  RunStep([&] {
    if (!form.UnitxtLicense.Visible()) form.UnitxtLicense.SetVisible(true);
  });
  RunStep([&] {
    form.Cmd_I_Agree.SetVisible(true);
    form.Cmd_I_Disagree.SetVisible(true);
    form.cmdExit.SetVisible(true);
  });
  return true;
}

}  // namespace

void Timer2_Timer(frmMain& form) {
  // A tick inside the waits of the start-up checks or of Accept does nothing: a detection there
  // would lay its page over theirs. The next tick after the start-up checks detects as usual.
  if (form.StartupRunning() || form.AcceptRunning() || form.Quitting()) return;
  if (!form.LanguageAndRegionChosen) {
    // Timer2 stays enabled: the prompt repeats every second until both lists hold a choice.
    form.Frame_DetectPlayer_by_SNO.SetVisible(false);
    form.Uni_Error_Label1.SetCaption(form.UserName + L", " +
                                     LookUp(form, L"IDS_CHOOSE_REGION_LANGUAGE"));
    form.Frame_Error_Handling.Move(220, 3160);
    form.Frame_Error_Handling.SetVisible(true);
    form.Info_Label.SetVisible(false);
    form.cmdExit.Move(6465, 6555);
    form.cmdExit.SetEnabled(true);
    form.cmdExit.SetVisible(true);
    form.Cmd_I_Agree.SetVisible(false);
    form.Cmd_I_Disagree.SetVisible(false);
    return;
  }
  form.Frame_Error_Handling.SetVisible(false);
  form.VistaProg1.SetVisible(true);
  form.VistaProg1.SetValue(form.VistaProg1.Value() + 50);
  form.program.ports.loop.SetMousePointer(MousePointer::Hourglass);
  // Stopped before the detection: its page wait runs pending events, and a Refresh pressed
  // meanwhile must be able to ask for one more detection instead of being cancelled here.
  form.Timer2.SetEnabled(false);
  DetectPlayer(form);
  if (form.Quitting()) return;  // the user left while the database page was loading
  if (form.Cmd_I_Agree.Visible()) RunStep([&] { form.Cmd_I_Agree.SetFocus(); });
  form.program.ports.loop.SetMousePointer(MousePointer::Default);
  if (form.DatabaseAvailable) form.UniRefresh.SetEnabled(true);
}

void Timer3_Timer(frmMain& form) {
  // value + 1.5 always lies halfway between two whole numbers; the default rounding mode takes
  // the even one.
  form.VistaProg1.SetValue(static_cast<int>(std::nearbyint(form.VistaProg1.Value() + 1.5)));
}

void DetectPlayer(frmMain& form) {
  if (!form.LanguageAndRegionChosen) return;
  std::int32_t count = 0;
  try {
    count = FindConnectedPlayers(form);
  } catch (const std::exception&) {
    // A failed enumeration or page read counts as no player found.
    count = 0;
  }
  if (form.Quitting()) return;
  const std::int64_t total = static_cast<std::int64_t>(count) + form.RecoveryDeviceCount;
  RunLog& log = form.program.log;
  log.Write(logtag::kDetect, L"players found: " + std::to_wstring(count) +
                                 L", recovery-mode devices: " +
                                 std::to_wstring(form.RecoveryDeviceCount));

  if (total > 1) {
    RunStep([&] { form.VistaProg1.SetValue(100); });
    StopProgress(form);
    RunStep([&] { ShowError(form, L"IDS_MORE_DEVICES_FOUND"); });
  } else if (total == 1 && form.RecoveryDeviceCount != 0) {
    log.Write(logtag::kModel, L"a player in recovery mode: the model and serial-number page");
    ShowSerialNumberPage(form);
  } else if (total == 1) {
    log.Write(logtag::kModel, L"model " + form.PlayerModel + L" detected");
    if (!ShowLicensePage(form)) return;
  } else if (form.DatabaseAvailable) {
    RunStep([&] { ShowError(form, L"IDS_NO_DEVICE_FOUND_MSG01"); });
  } else {
    log.Write(logtag::kPage, L"error IDS_PID_DATABASE_CONNECTION_FAILED");
    RunStep([&] {
      form.Uni_Error_Label1.SetCaption(form.UserName + L", " +
                                       LookUp(form, L"IDS_PID_DATABASE_CONNECTION_FAILED"));
    });
    RunStep([&] { form.UnitxtLicense.SetVisible(false); });
    RunStep([&] { form.UniRefresh.SetEnabled(false); });
    RunStep([&] { ShowErrorPage(form); });
    RunStep([&] { form.Timer2.SetEnabled(false); });
    RunStep([&] { form.Timer1.SetEnabled(true); });
  }
  StopProgress(form);
}

}  // namespace revivix
