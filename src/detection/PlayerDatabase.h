// The player database: one page on the maker's site whose rendered text holds one player model
// per line (lines separated by CR LF), each line 14 comma-separated values.
#pragma once

#include <string>
#include <vector>

#include "app/frmMain.h"

namespace revivix {

inline constexpr std::size_t kRecordValues = 14;
inline constexpr wchar_t kChoosePlayer[] = L"Choose Player";

// The rendered text of the database page, fetched afresh; pending events run while it loads.
std::wstring FetchDatabasePage(frmMain& form);

// False for an empty page, the engine's not-found page, and any page that nowhere mentions
// "PID_4157".
bool DatabasePageIsValid(const std::wstring& text);

// The page text split into its lines.
std::vector<std::wstring> DatabasePageLines(const std::wstring& text);

// The values of one line, or an empty list for a piece that is no record line: a piece with
// fewer than 14 values (the empty piece after a final line break, a heading, a stray line) is
// skipped by every reader of the page.
std::vector<std::wstring> RecordValues(const std::wstring& line);

// Copies the values of one record line into the player record.
void CopyPlayerRecord(frmMain& form, const std::vector<std::wstring>& values);

// The choice-list rule: the model of a line is offered for a manual choice unless its serial
// suffix (value 5) is "N/A".
void AddToChoiceList(frmMain& form, const std::vector<std::wstring>& values);

// The start-up update check: the first line naming a program version other than this one's
// announces an update (UpdateAvailable, UpdateUrl). An unusable page shows
// "IDS_PID_DATABASE_CONNECTION_FAILED" with no detection and the 30-second end.
void LoadPlayerDatabase(frmMain& form);

}  // namespace revivix
