// The notice that offers a newer version of the wizard before it looks for the player.
#pragma once

#include "app/frmMain.h"

namespace revivix {

// The last start-up step. With an update announced it stops the detection tick and shows the
// notice with Yes and No, or, while a list still shows its placeholder, asks for the region and
// language instead. Without an update nothing changes.
void ShowUpdateNotice(frmMain& form);

}  // namespace revivix
