// Running processes: the snapshot that start-up walks to end an earlier copy of the program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace revivix {

using ProcessId = std::uint32_t;
using WindowHandle = std::uintptr_t;  // an opaque window handle; 0 is none

struct ProcessEntry {
  std::wstring exeFile;  // the executable's file name, as the snapshot reports it
  ProcessId id = 0;
};

class Processes {
 public:
  virtual ~Processes() = default;
  // The running processes in the order the system lists them; nothing when no snapshot can be
  // taken.
  virtual std::optional<std::vector<ProcessEntry>> Snapshot() = 0;
  virtual ProcessId OwnerOfWindow(WindowHandle window) = 0;
  // Enables the debug privilege for the program's own process; failures are ignored.
  virtual void EnableDebugPrivilege() = 0;
  // Opens the process with the right to terminate it and terminates it with exit code 0.
  virtual bool Terminate(ProcessId id) = 0;
  virtual ProcessId OwnId() = 0;
  // Waits at most `milliseconds` for the process to end, answering the messages sent to the
  // caller's windows meanwhile. True when it has ended or no longer exists; false when it still
  // runs after the wait.
  virtual bool WaitForExit(ProcessId id, int milliseconds) = 0;
  // True when another copy of this program was already running when this one started.
  virtual bool PreviousInstanceRunning() = 0;
};

}  // namespace revivix
