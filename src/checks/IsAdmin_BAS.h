// IsAdmin_BAS: does the wizard run with administrator rights?
#pragma once

#include "app/frmMain.h"

namespace revivix {

// True when the process's token holds the Administrators group.
bool IsAdministrator(frmMain& form);

// Resolves the language file in use and, without administrator rights, shows
// "IDS_ADMIN_ERROR_MSG" with no detection and the 30-second end.
void CheckAdministrator(frmMain& form);

}  // namespace revivix
