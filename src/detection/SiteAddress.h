// Where the maker's site is: the address built into the program, unless a file site.ini beside
// the program names another one (section "Site", key "Address"). Tests, the demo and an IT
// department that keeps a mirror point the wizard at their own server that way.
#pragma once

#include <string>

#include "app/Program.h"
#include "app/frmMain.h"

namespace revivix {

inline constexpr wchar_t kBuiltInSiteAddress[] = L"" REVIVIX_SITE_URL;
inline constexpr wchar_t kDatabasePath[] = L"/revivix/database/Fernclip_database.htm";

// The site address without a trailing "/": read once per run and kept. It may carry a path
// below the host ("http://host:port/mirror").
std::wstring SiteAddress(Program& program);

// The one address of the player database page.
std::wstring DatabaseAddress(frmMain& form);

}  // namespace revivix
