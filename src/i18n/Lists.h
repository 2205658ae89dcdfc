// The region and language lists of the window's first frame, and the preselection of the
// system's language.
#pragma once

#include <string>

#include "app/frmMain.h"

namespace revivix {

// Empties both lists and adds their fixed entries, placeholders first.
void FillLanguageAndRegionLists(frmMain& form);

// The position of the first entry equal to `text` (letter case counts), or -1.
int FindComboItem(const std::wstring& text, const Control& list);

// Selects the system's default language in the language list, where the list has it.
void SelectSystemLanguage(frmMain& form);

// True when neither list shows its placeholder (an empty text is not a placeholder).
bool ComputeLanguageAndRegionChosen(const frmMain& form);

}  // namespace revivix
