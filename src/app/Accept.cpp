#include "app/Accept.h"

#include "app/Pages.h"
#include "common/Text.h"
#include "download/FirmwareDownload.h"
#include "i18n/Lists.h"

namespace revivix {

namespace {

// Accept is under way from its first step to its last, also when a step fails.
struct AcceptScope {
  explicit AcceptScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~AcceptScope() { flag_ = false; }
  AcceptScope(const AcceptScope&) = delete;
  AcceptScope& operator=(const AcceptScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void Cmd_I_Agree_Click(frmMain& form) {
  // The waits of Accept and of the start-up checks let clicks run: a second Accept inside them
  // would download and start a second updater.
  if (form.acceptRunning_ || form.startupRunning_) return;
  const AcceptScope running(form.acceptRunning_);

  form.LanguageAndRegionChosen = ComputeLanguageAndRegionChosen(form);
  if (!form.LanguageAndRegionChosen) {
    form.Uni_Error_Label1.SetCaption(form.UserName + L", " +
                                     LookUp(form, L"IDS_CHOOSE_REGION_LANGUAGE"));
    form.Frame_Error_Handling.Move(220, 3160);
    form.UnitxtLicense.SetVisible(false);
    form.Info_Label.SetVisible(false);
    form.Frame_Error_Handling.SetVisible(true);
    return;
  }

  form.program.log.Write(logtag::kModel, L"license accepted for " + form.PlayerModel +
                                             L", region " + form.Combo_Region.Text());
  form.Cmd_I_Agree.SetEnabled(false);
  form.Cmd_I_Disagree.SetEnabled(false);
  form.Combo_Region.SetEnabled(false);
  form.Combo_Language.SetEnabled(false);
  // Refresh would start a detection inside the link page's wait; it comes back only where the
  // link page failed and the wizard stays on the page.
  const bool refreshWasEnabled = form.UniRefresh.Enabled();
  form.UniRefresh.SetEnabled(false);

  form.UpdaterUrl = L"";
  const std::wstring region = UCase(form.Combo_Region.Text());
  if (region == L"REST OF THE WORLD") {
    std::wstring linkPage = Trim(form.FirmwareSiteWorld) + form.FirmwareLinkTail;
    form.UpdaterUrl = FindUpdaterLink(form, linkPage);
  } else if (region == L"EUROPE") {
    std::wstring linkPage = Trim(form.FirmwareSiteEurope) + form.FirmwareLinkTail;
    form.UpdaterUrl = FindUpdaterLink(form, linkPage);
  }
  if (form.Quitting()) return;  // the user left while the link page was loading

  form.program.log.Write(logtag::kLink, form.UpdaterUrl.empty()
                                            ? std::wstring(L"no updater address")
                                            : L"updater address " + LogAddress(form.UpdaterUrl));
  if (form.UpdaterUrl.empty()) {
    ShowError(form, L"IDS_FW_SITE_OFFLINE");
    form.UniRefresh.SetEnabled(refreshWasEnabled);
    return;
  }

  form.UnitxtLicense.SetVisible(false);
  form.UniRefresh.SetEnabled(false);
  StartFirmwareDownload(form);
  if (form.Quitting()) return;
  form.Frame_4_Download_Progress.SetVisible(false);
  form.Timer4.SetEnabled(true);
  form.Timer5.SetEnabled(true);
}

}  // namespace revivix
