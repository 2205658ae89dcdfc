// Chooses the profile-string implementation for the run by the Windows family.
#pragma once

#include "app/Program.h"
#include "i18n/IWinAPI.h"

namespace revivix {

// True on the NT family (platform identifier 2 or greater).
bool IsWindowsNT(SystemInfo& system);

// The implementation in use; created on the first call and kept for the run.
IWinAPI& GetWinAPI(Program& program);

}  // namespace revivix
