// Accept on the license page: the updater's address from the link page of the chosen region,
// then its download and start, after which the updater automation's timers take over.
#pragma once

#include "app/frmMain.h"

namespace revivix {

void Cmd_I_Agree_Click(frmMain& form);

}  // namespace revivix
