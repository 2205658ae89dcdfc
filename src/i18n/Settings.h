// The chosen region and language, kept in settings.ini beside the program: restored at start-up
// and saved on every way out. The file is updated, never created.
#pragma once

#include <string>

#include "app/frmMain.h"

namespace revivix {

std::wstring SettingsPath(frmMain& form);

// Restores both lists from the settings file; without a stored language the system's language
// is chosen, and English when the list has no entry for it. A failure ends it at that step.
void LoadSettings(frmMain& form);

// Writes the lists' texts into the settings file. A failure ends it at that step.
void SaveSettings(frmMain& form);

}  // namespace revivix
