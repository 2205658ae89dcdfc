// Which language file the texts are read from.
#pragma once

#include "app/frmMain.h"

namespace revivix {

// The language file follows the text of Combo_Language: the program folder's
// "Languages\<language>.txt", or "Languages\English.txt" when that file does not exist or no
// language is chosen. At start-up the path is resolved afresh; on a later change of language it
// changes only when a real language is chosen.
void ResolveLanguageFile(frmMain& form, bool atStartUp);

}  // namespace revivix
