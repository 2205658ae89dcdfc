// WMPversion: the major version of the installed media player, from its Active Setup entry.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace revivix {

inline constexpr wchar_t kMediaPlayerKey[] =
    L"Software\\Microsoft\\Active Setup\\Installed Components\\"
    L"{22d6f312-b0f6-11d0-94ab-0080c74c7e95}";

// "10", "11" or "0": the first two characters of the entry's "Version" value decide; a missing
// or unreadable entry reads "0".
std::wstring GetMediaPlayerVersion(Registry& registry);

}  // namespace revivix
