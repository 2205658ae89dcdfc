// Reloading the window's captions and the license text in the chosen language.
#pragma once

#include <string>

#include "app/frmMain.h"

namespace revivix {

// Sets the eleven fixed captions from the language file in use.
void ApplyLanguage(frmMain& form);

// The license file of the chosen language, or the English one when it does not exist.
std::wstring ResolveLicenseFile(frmMain& form);

// Fills the license box with the file's UTF-16LE text and places it on the license page.
void LoadLicenseText(frmMain& form, const std::wstring& path);

// One language change, after a pick in either list.
void Timer10_Timer(frmMain& form);

}  // namespace revivix
