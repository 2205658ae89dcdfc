// Which texts the wizard may hand to the shell. The wizard runs with administrator rights and
// the addresses it opens come from the player database, so only web addresses are opened: a
// local path, another scheme or a relative name would start a program.
#pragma once

#include <string_view>

namespace revivix {

// True for "http://" or "https://" (any letter case) followed by a host name or IPv4 address,
// an optional port, and then nothing or a path, query or fragment; and for an address without
// scheme that starts with a dotted host name followed by "/" (the form of the knowledge-base
// address). Control characters, double quotes and backslashes are never accepted; an address
// without scheme must not climb the folder tree with "." or ".." segments.
bool IsWebAddress(std::wstring_view address);

}  // namespace revivix
