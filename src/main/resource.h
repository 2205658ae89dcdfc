// Resource identifiers of fernclip.exe.
#pragma once

#define IDI_FERNCLIP 1
#define IDB_BANNER 101
