#include "app/UpdateNotice.h"

#include "app/Pages.h"
#include "common/Text.h"

namespace revivix {

void ShowUpdateNotice(frmMain& form) {
  if (!form.UpdateAvailable) return;
  form.Timer2.SetEnabled(false);
  const bool chosen = UCase(Trim(form.Combo_Language.Text())) != L"CHOOSE LANGUAGE" &&
                      UCase(Trim(form.Combo_Region.Text())) != L"CHOOSE REGION";
  if (!chosen) {
    // The detection stays stopped; Refresh or Exit are the ways on.
    ShowError(form, L"IDS_CHOOSE_REGION_LANGUAGE");
    return;
  }
  form.program.log.Write(logtag::kPage, L"update notice");
  form.UniLabel_New_Version_Info.SetTop(form.NoticeLabelTop + 300);
  form.UniLabel_New_Version_Info.SetCaption(LookUp(form, L"IDS_NEW_VERSION_AVAILABLE"));
  form.Uni_PID3500_err_MSG.SetVisible(false);
  form.UniLabel_New_Version_Info.SetVisible(true);
  for (Control* hidden : {&form.UnitxtLicense, &form.Label_Player, &form.Combo_Choose_Player,
                          &form.Label_SNO, &form.txtSNO, &form.Cmd_Next, &form.UniRefresh})
    hidden->SetVisible(false);
  form.Frame_DetectPlayer_by_SNO.Move(180, 2620);
  form.Frame_DetectPlayer_by_SNO.SetVisible(true);
  form.CmdYes.SetVisible(true);
  form.CmdNo.SetVisible(true);
}

}  // namespace revivix
