#include "i18n/ApplyLanguage.h"

#include "app/Pages.h"
#include "common/Text.h"
#include "i18n/LanguageFile.h"
#include "i18n/Lists.h"

namespace revivix {

void ApplyLanguage(frmMain& form) {
  form.Player_Detected_Label.SetCaption(form.PlayerModel);
  form.Player_Detected_Frame1.SetCaption(LookUp(form, L"IDS_PLAYER_DETECTED"));
  form.Info_Label.SetCaption(
      LookUp(form, form.MscOnXp ? L"IDS_MSC_MESSAGE" : L"IDS_LICENSE_AGREEMENT_MSG1"));
  form.Cmd_I_Agree.SetCaption(LookUp(form, L"IDS_LICENSE_AGREE_CONTINUE"));
  form.Cmd_I_Disagree.SetCaption(LookUp(form, L"IDS_LICENSE_DISAGREE_QUIT"));
  form.cmdExit.SetCaption(LookUp(form, L"IDS_EXIT"));
  form.Cmd_Next.SetCaption(LookUp(form, L"IDS_NEXT"));
  form.CmdYes.SetCaption(LookUp(form, L"IDS_YES"));
  form.CmdNo.SetCaption(LookUp(form, L"IDS_NO"));
  form.UniButton_Help.SetCaption(LookUp(form, L"IDS_HELP"));
  form.UniRefresh.SetCaption(LookUp(form, L"IDS_REFRESH"));
}

std::wstring ResolveLicenseFile(frmMain& form) {
  const std::wstring folder = form.program.ports.system.ProgramFolder() + L"\\License\\";
  const std::wstring path = folder + form.Combo_Language.Text() + L".txt";
  if (form.program.SharedFileSystem().FileExists(path)) return path;
  return folder + L"English.txt";
}

void LoadLicenseText(frmMain& form, const std::wstring& path) {
  // Without any license file the box is emptied rather than left in the previous language.
  const auto bytes = form.program.SharedFileSystem().ReadBytes(path);
  form.UnitxtLicense.SetText(L"");
  if (bytes) form.UnitxtLicense.SetText(DecodeUtf16Le(bytes->data(), bytes->size()));
  form.UnitxtLicense.Move(165, 3615);
  form.UnitxtLicense.SetWidth(7680);
  form.UnitxtLicense.SetHeight(2720);
  form.UnitxtLicense.SetLocked(true);
}

void Timer10_Timer(frmMain& form) {
  // One change per enabling, even when a step of it fails.
  struct Disable {
    Timer& timer;
    ~Disable() { timer.SetEnabled(false); }
  } disable{form.Timer10};
  const std::wstring region = form.Combo_Region.Text();
  const std::wstring language = form.Combo_Language.Text();
  if (!Trim(region).empty() || !Trim(language).empty())
    form.LanguageAndRegionChosen = ComputeLanguageAndRegionChosen(form);
  form.program.log.Write(logtag::kLanguage,
                         L"lists changed: region " + region + L", language " + language);
  if (!language.empty() && language != L"Choose Language") {
    ResolveLanguageFile(form, /*atStartUp=*/false);
    ApplyLanguage(form);
    if (form.Frame_DetectPlayer_by_SNO.Visible())
      form.Uni_PID3500_err_MSG.SetCaption(LookUp(form, L"IDS_ENTER_PLAYER_SNO"));
    if (form.UpdateAvailable && form.UniLabel_New_Version_Info.Visible()) {
      form.Uni_PID3500_err_MSG.SetVisible(false);
      form.UniLabel_New_Version_Info.SetCaption(LookUp(form, L"IDS_NEW_VERSION_AVAILABLE"));
    }
    LoadLicenseText(form, ResolveLicenseFile(form));
  }
}

}  // namespace revivix
