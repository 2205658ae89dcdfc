// The pages of the wizard's window: its colours, the error page and the common error display.
#pragma once

#include <string>

#include "app/frmMain.h"

namespace revivix {

// The text of `key` in the language file in use.
std::wstring LookUp(frmMain& form, const std::wstring& key);

void ApplyPageColours(frmMain& form);

// Shows the error frame with the message the caller has put into Uni_Error_Label1, hides the
// license page's instruction line and buttons, and shows Exit.
void ShowErrorPage(frmMain& form);

// The common error display: the user's name, ", " and the looked-up message, on the error page.
// Stopping Timer2 or arming Timer1 is the caller's decision.
void ShowError(frmMain& form, const std::wstring& key);

}  // namespace revivix
