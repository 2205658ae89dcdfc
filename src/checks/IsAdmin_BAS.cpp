#include "checks/IsAdmin_BAS.h"

#include "app/Pages.h"
#include "i18n/LanguageFile.h"

namespace revivix {

bool IsAdministrator(frmMain& form) {
  return form.program.ports.system.IsAdministratorsMember();
}

void CheckAdministrator(frmMain& form) {
  // From here on every message of the program is read from this file.
  ResolveLanguageFile(form, /*atStartUp=*/true);
  RunLog& log = form.program.log;
  log.Write(logtag::kLanguage, L"language file Languages\\" + LogFileName(form.LanguageFilePath));
  if (IsAdministrator(form)) {
    log.Write(logtag::kCheck, L"administrator: yes");
    return;
  }
  log.Write(logtag::kCheck, L"administrator: no");
  form.Timer2.SetEnabled(false);
  ShowError(form, L"IDS_ADMIN_ERROR_MSG");
  form.Timer1.SetEnabled(true);
}

}  // namespace revivix
