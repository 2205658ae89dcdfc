// The system's code pages as the portable tables: every byte and every lead and trail byte pair
// is converted once by the system itself, and the program's conversions then run on the tables.
#pragma once

#include <windows.h>

#include "common/CodePage.h"

namespace revivix::win32 {

// The tables of code page `id` (CP_ACP: the system's ANSI code page) as the system converts it.
// UTF-8 gives the UTF-8 rules; a code page the system does not know gives code page 1252.
CodePage LoadCodePage(UINT id = CP_ACP);

}  // namespace revivix::win32
