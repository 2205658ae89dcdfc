#include "app/Navigation.h"

#include "app/Lifecycle.h"
#include "app/Pages.h"
#include "app/WebAddress.h"
#include "common/Text.h"
#include "detection/PlayerDatabase.h"
#include "download/FirmwareFolder.h"
#include "i18n/ApplyLanguage.h"

namespace revivix {

namespace {

// The player list's first entry: no model picked, so Next identifies by serial number.
constexpr wchar_t kNoModelPicked[] = L"Choose Player";

// Values of a line that the manual choices read: up to the support page (value 11).
constexpr std::size_t kValuesNeeded = 12;

// The record lines of the database page: every piece but the last, which the manual choices
// never examine. Lines too short to hold a support page cannot be examined and are skipped.
template <typename Match>
bool ScanDatabase(frmMain& form, const Match& matches, std::vector<std::wstring>& found) {
  const std::vector<std::wstring>& lines = form.DatabaseLines;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    std::vector<std::wstring> values = Split(lines[i], L",");
    if (values.size() < kValuesNeeded) continue;
    form.SupportUrl = Trim(values[11]);
    if (matches(values)) {
      found = std::move(values);
      return true;
    }
  }
  return false;
}

void AskKnowledgeBaseQuestion(frmMain& form) {
  form.txtSNO.SetVisible(false);
  form.Label_SNO.SetVisible(false);
  form.Combo_Choose_Player.SetVisible(false);
  form.Label_Player.SetVisible(false);
  form.Cmd_Next.SetVisible(false);
  form.CmdYes.SetVisible(true);
  form.CmdNo.SetVisible(true);
  form.CmdYes.SetFocus();
  form.Uni_PID3500_err_MSG.SetTop(form.Uni_PID3500_err_MSG.Top() + 300);
  form.Uni_PID3500_err_MSG.SetCaption(LookUp(form, L"IDS_VISIT_KB_MSG"));
}

// The controls of a fresh detection, as Refresh and No leave them.
void ResetForDetection(frmMain& form) {
  form.PlayerModel.clear();
  form.Player_Detected_Frame1.SetVisible(false);
  form.Info_Label.SetVisible(false);
  form.UnitxtLicense.SetVisible(false);
  form.Cmd_I_Disagree.SetVisible(false);
  form.Cmd_I_Agree.SetVisible(false);
  form.Cmd_I_Disagree.SetEnabled(true);
  form.Cmd_I_Agree.SetEnabled(true);
  form.Cmd_Next.SetVisible(true);
  form.VistaProg1.SetValue(0);
  form.Frame_DetectPlayer_by_SNO.SetVisible(false);
  form.Frame_Error_Handling.SetVisible(false);
  form.VistaProg1.SetVisible(true);
  form.Combo_Region.SetEnabled(true);
  form.Combo_Language.SetEnabled(true);
  form.Frame_Region_Lang.SetEnabled(true);
  form.Label_Player.SetVisible(true);
  form.Combo_Choose_Player.SetVisible(true);
  form.Label_SNO.SetVisible(true);
  form.txtSNO.SetVisible(true);
}

void IdentifyByModel(frmMain& form) {
  const std::wstring picked = UCase(Trim(form.Combo_Choose_Player.Text()));
  std::vector<std::wstring> line;
  const auto sameModel = [&](const std::vector<std::wstring>& values) {
    return picked == UCase(Trim(values[1]));
  };
  // A pick that no line names leaves the page as it is.
  if (ScanDatabase(form, sameModel, line)) {
    form.program.log.Write(logtag::kModel, L"model " + Trim(line[1]) + L" chosen from the list");
    TakeOverPlayerLine(form, line);
  }
}

void IdentifyBySerialNumber(frmMain& form) {
  if (Trim(form.txtSNO.Text()).empty()) return;
  ++form.SerialAttempts;
  if (form.SerialAttempts > 2) {
    form.program.log.Write(logtag::kModel,
                           L"serial number: third entry, the knowledge-base question");
    AskKnowledgeBaseQuestion(form);
    return;
  }
  const std::wstring serial = UCase(Trim(form.txtSNO.Text()));
  const std::wstring suffix = serial.size() > 4 ? serial.substr(serial.size() - 4) : serial;
  const auto sameSuffix = [&](const std::vector<std::wstring>& values) {
    const std::wstring lineSuffix = UCase(Trim(values[5]));
    // "N/A" marks a model that cannot be chosen by serial number, whatever the user types.
    return lineSuffix != L"N/A" && suffix == lineSuffix;
  };
  std::vector<std::wstring> line;
  if (!ScanDatabase(form, sameSuffix, line)) {
    form.program.log.Write(logtag::kModel, L"serial number not recognised (entry " +
                                               std::to_wstring(form.SerialAttempts) + L")");
    form.Uni_PID3500_err_MSG.SetCaption(LookUp(form, L"IDS_SNO_NOT_RECOGNISED_REENTER"));
    form.txtSNO.SetText(L"");
    form.txtSNO.SetFocus();
    return;
  }
  form.txtSNO.SetText(L"");
  form.program.log.Write(logtag::kModel, L"model " + Trim(line[1]) +
                                             L" chosen by serial number (ends in " +
                                             UCase(Trim(line[5])) + L")");
  TakeOverPlayerLine(form, line);
}

std::wstring KnowledgeBaseAddress(bool withScheme) {
  return (withScheme ? std::wstring(L"http://") : std::wstring()) + kKnowledgeBaseHost +
         kKnowledgeBasePath;
}

}  // namespace

void ConnectNavigation(frmMain& form) {
  form.Combo_Choose_Player.Click = [&form] { Combo_Choose_Player_Click(form); };
  form.Cmd_Next.Click = [&form] { Cmd_Next_Click(form); };
  form.Cmd_I_Disagree.Click = [&form] { Cmd_I_Disagree_Click(form); };
  form.CmdYes.Click = [&form] { CmdYes_Click(form); };
  form.CmdNo.Click = [&form] { CmdNo_Click(form); };
  form.UniRefresh.Click = [&form] { UniRefresh_Click(form); };
  form.UniButton_Help.Click = [&form] { UniButton_Help_Click(form); };
}

bool ShellOpen(frmMain& form, const std::wstring& address) {
  // The database gives its addresses with the blanks around them that its values carry.
  const std::wstring trimmed = Trim(address);
  // Anything else could start a program with the wizard's administrator rights.
  if (!IsWebAddress(trimmed)) return false;
  // From here the shell reports on the browser's start, not the updater's: the watch over the
  // updater's start ends, and a browser that has ended is never taken for an updater that did not
  // run. The timers then wait for the updater's window as they do without the watch.
  form.watchingUpdaterStart = false;
  const int showCommand = static_cast<int>(NumericValue(form.ShowCommand));
  return form.program.ports.shell.Execute(L"open", trimmed, L"0", L"0", showCommand) > 32;
}

void TakeOverPlayerLine(frmMain& form, const std::vector<std::wstring>& values) {
  form.Frame_DetectPlayer_by_SNO.SetVisible(false);
  CopyPlayerRecord(form, values);

  const double osCode = NumericValue(form.OsCode);
  if (NumericValue(form.PlayerOsLevel) < osCode) {
    ShowError(form, L"IDS_NO_VISTA_UPDATES");
    form.Timer1.SetEnabled(true);
    return;
  }
  form.MscOnXp = Trim(form.PlayerMode) == L"MSC" && osCode == 1;
  ApplyLanguage(form);
  form.Player_Detected_Frame1.SetVisible(true);
  form.Player_Detected_Label.SetVisible(true);
  form.Info_Label.SetVisible(true);
  LoadLicenseText(form, ResolveLicenseFile(form));
  if (!form.UnitxtLicense.Visible()) form.UnitxtLicense.SetVisible(true);
  form.Cmd_I_Agree.SetVisible(true);
  form.Cmd_I_Disagree.SetVisible(true);
  form.cmdExit.SetVisible(true);
}

void Combo_Choose_Player_Click(frmMain& form) {
  form.txtSNO.SetText(L"");
  if (form.Combo_Choose_Player.Text() != kNoModelPicked) {
    form.txtSNO.SetEnabled(false);
    form.Cmd_Next.SetFocus();
  } else {
    form.txtSNO.SetEnabled(true);
  }
}

void Cmd_Next_Click(frmMain& form) {
  if (!form.LanguageAndRegionChosen) {
    form.Frame_DetectPlayer_by_SNO.SetVisible(false);
    ShowError(form, L"IDS_CHOOSE_REGION_LANGUAGE");
    return;
  }
  if (form.Combo_Choose_Player.Text() != kNoModelPicked)
    IdentifyByModel(form);
  else
    IdentifyBySerialNumber(form);
}

void Cmd_I_Disagree_Click(frmMain& form) {
  // A file that cannot be deleted does not keep the user from leaving.
  RunStep([&] { DeleteDownloadedUpdater(form); });
  if (!form.Quitting()) form.program.log.endCause = L"the Decline button";
  QuitWizard(form);
}

void CmdYes_Click(frmMain& form) {
  if (!form.UpdateAvailable) {
    // The knowledge-base question: the player's support page, else the general article. The
    // wizard ends whether or not the browser opened.
    RunStep([&] {
      ShellOpen(form,
                !Trim(form.SupportUrl).empty() ? form.SupportUrl : KnowledgeBaseAddress(false));
    });
    if (!form.Quitting()) form.program.log.endCause = L"the Yes button (support page)";
    QuitWizard(form);
    return;
  }
  // Only an empty value 13 leaves the notice open. Value 13 is kept as the database gives it; one
  // of blanks only is no web address, so the shell gets nothing, and the wizard ends as for any
  // other value.
  if (form.UpdateUrl.empty()) return;
  if (!Trim(form.UpdateUrl).empty()) RunStep([&] { ShellOpen(form, form.UpdateUrl); });
  if (!form.Quitting()) form.program.log.endCause = L"the Yes button (newer version)";
  QuitWizard(form);
}

void CmdNo_Click(frmMain& form) {
  if (!form.UpdateAvailable) {
    if (!form.Quitting()) form.program.log.endCause = L"the No button";
    QuitWizard(form);
    return;
  }
  // Back to the detection; the update stays announced for the rest of the run.
  form.UniRefresh.SetVisible(true);
  ResetForDetection(form);
  form.Timer2.SetEnabled(true);
  form.Timer3.SetEnabled(true);
  form.Uni_PID3500_err_MSG.SetTop(240);
  form.CmdYes.SetVisible(false);
  form.CmdNo.SetVisible(false);
}

void UniRefresh_Click(frmMain& form) {
  // Disabled while Accept runs; a click that still arrives must not start a detection inside it.
  if (form.AcceptRunning()) return;
  form.UniRefresh.SetEnabled(false);
  form.Player_Detected_Frame1.SetVisible(false);
  form.Info_Label.SetVisible(false);
  form.UnitxtLicense.SetVisible(false);
  form.Timer2.SetEnabled(true);
  form.Timer3.SetEnabled(true);
  // The detection tick re-enables Refresh once it has read the database.
  if (form.LanguageAndRegionChosen) ResetForDetection(form);
}

void UniButton_Help_Click(frmMain& form) {
  RunStep([&] {
    ShellOpen(form, !Trim(form.SupportUrl).empty() ? form.SupportUrl : KnowledgeBaseAddress(true));
  });
}

}  // namespace revivix
