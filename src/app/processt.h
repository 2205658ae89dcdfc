// Process enumeration and termination, used at start-up to end an earlier copy of the wizard.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Processes.h"

namespace revivix {

// One entry of the process table: the executable's name (up to 260 characters) and its id.
struct ProcessTableEntry {
  std::wstring exeFile;
  ProcessId id = 0;
};

// The process table, in the order the system lists the processes. It grows with the snapshot,
// so every running process is examined however many there are.
std::vector<ProcessTableEntry> ReadProcessTable(Processes& processes);

// Terminates the first listed process, other than the program's own, whose executable name
// contains `name` regardless of letter case.
void KillProcessByName(Processes& processes, std::wstring_view name);

// Terminates a process named by its id, or by a window it owns when `window` is not 0. True when
// the process was terminated.
bool TerminateProcessOf(Processes& processes, ProcessId processId, WindowHandle window);

}  // namespace revivix
