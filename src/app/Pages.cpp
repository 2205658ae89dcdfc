#include "app/Pages.h"

#include "i18n/MProfileString.h"

namespace revivix {

std::wstring LookUp(frmMain& form, const std::wstring& key) {
  return GetIniString(form.program, L"Strings", key, L"", 1024, form.LanguageFilePath);
}

void ApplyPageColours(frmMain& form) {
  // The license box, the scratch list and the two progress bars keep their own colours.
  Control* const painted[] = {&form.Window,
                              &form.Frame_Error_Handling,
                              &form.Frame_DetectPlayer_by_SNO,
                              &form.Uni_PID3500_err_MSG,
                              &form.txtSNO,
                              &form.Cmd_Next,
                              &form.CmdYes,
                              &form.CmdNo,
                              &form.Frame_Region_Lang,
                              &form.Uni_Error_Label1,
                              &form.Combo_Region,
                              &form.Combo_Language,
                              &form.Player_Detected_Label,
                              &form.Player_Detected_Frame1,
                              &form.Info_Label,
                              &form.Cmd_I_Agree,
                              &form.Cmd_I_Disagree,
                              &form.cmdExit,
                              &form.UniButton_Help,
                              &form.Combo_Choose_Player,
                              &form.Label_SNO,
                              &form.Label_Player,
                              &form.UniRefresh,
                              &form.UniLabel_New_Version_Info,
                              &form.Frame_4_Download_Progress,
                              &form.Label_Actual_Size,
                              &form.Label_Total_FileSize};
  for (Control* c : painted) c->SetBackColor(kPageColour);
}

void ShowErrorPage(frmMain& form) {
  form.Frame_Error_Handling.Move(220, 3160);
  form.Frame_Error_Handling.SetVisible(true);
  form.Info_Label.SetVisible(false);
  form.cmdExit.Move(6465, 6555);
  form.cmdExit.SetVisible(true);
  form.cmdExit.SetEnabled(true);
  form.Cmd_I_Agree.SetVisible(false);
  form.Cmd_I_Disagree.SetVisible(false);
}

void ShowError(frmMain& form, const std::wstring& key) {
  // The message's key, never its text: the text begins with the user's name.
  form.program.log.Write(logtag::kPage, L"error " + key);
  form.Uni_Error_Label1.SetCaption(form.UserName + L", " + LookUp(form, key));
  ShowErrorPage(form);
}

}  // namespace revivix
