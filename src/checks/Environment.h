// The facts and checks of the computer the wizard runs on: the user's and the computer's names,
// the operating-system level and the connection to the maker's site.
#pragma once

#include <string>

#include "app/frmMain.h"
#include "platform/SystemInfo.h"

namespace revivix {

std::wstring GetCurrentUserName(frmMain& form);
std::wstring GetLocalComputerName(frmMain& form);

// The operating-system level of a Windows version: "1" for 5.1 and 5.2, "2" for 6.0, "" for
// every other version.
std::wstring OsCodeOf(const VersionRecord& version);

// Sets OsCode; an unsupported system shows "IDS_OS_NOT_SUPPORTED" with no detection and the
// 30-second end.
void CheckOperatingSystem(frmMain& form);

// How long the Internet check waits for the site's answer when the direct check failed.
inline constexpr int kSiteRequestLimitMs = 5000;

// True when a connection to the database page's server can be made, or else when one request
// for the database page through the system's proxy settings gets an answer within
// `kSiteRequestLimitMs`.
bool IsInternetReachable(frmMain& form);

// Shows "IDS_NO_INTERNET_CONNECTION" with no detection when the site cannot be reached. The
// page stays until the user leaves.
void CheckInternetConnection(frmMain& form);

}  // namespace revivix
