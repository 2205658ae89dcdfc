// What the wizard's buttons and the player list do: Next (by model or by serial number), Decline,
// Yes, No, Refresh and Help, and a pick in the player list. Together with the detection tick and
// the update notice they move the wizard from page to page. Accept belongs to the download.
#pragma once

#include <string>
#include <vector>

#include "app/frmMain.h"

namespace revivix {

// The general knowledge-base article on the maker's site. Help opens it with the scheme, Yes
// (on the knowledge-base question) with the address starting directly at the host name.
inline constexpr wchar_t kKnowledgeBaseHost[] = L"www.zanterix.com";
inline constexpr wchar_t kKnowledgeBasePath[] =
    L"/language.asp?sDestUrl=/support/kb/article.asp?sid=49688";

// Connects the handlers below to the controls' click events.
void ConnectNavigation(frmMain& form);

void Combo_Choose_Player_Click(frmMain& form);
void Cmd_Next_Click(frmMain& form);
void Cmd_I_Disagree_Click(frmMain& form);
void CmdYes_Click(frmMain& form);
void CmdNo_Click(frmMain& form);
void UniRefresh_Click(frmMain& form);
void UniButton_Help_Click(frmMain& form);

// Opens a web address in the user's browser through the shell, with the main window as owner.
// Anything that is not a web address is not handed to the shell; false then, or when the shell
// refused the request.
bool ShellOpen(frmMain& form, const std::wstring& address);

// Takes over a database line chosen by model or serial number: the player record, then the
// license page when the player's updater supports this system, else the error page.
void TakeOverPlayerLine(frmMain& form, const std::vector<std::wstring>& values);

}  // namespace revivix
