// Processes on Win32: the toolhelp snapshot, termination with the debug privilege enabled, and a
// named mutex that tells whether another copy of the program is running.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Processes.h"

namespace revivix::win32 {

inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Zanterix.Revivix.fernclip";

class Win32Processes : public Processes {
 public:
  // Creates (or opens) the instance mutex now, so the answer describes the program's start.
  explicit Win32Processes(const std::wstring& instanceMutexName = kInstanceMutexName);
  ~Win32Processes() override;
  Win32Processes(const Win32Processes&) = delete;
  Win32Processes& operator=(const Win32Processes&) = delete;

  std::optional<std::vector<ProcessEntry>> Snapshot() override;
  ProcessId OwnerOfWindow(WindowHandle window) override;
  void EnableDebugPrivilege() override;
  bool Terminate(ProcessId id) override;
  ProcessId OwnId() override;
  bool WaitForExit(ProcessId id, int milliseconds) override;
  bool PreviousInstanceRunning() override { return previousInstance_; }

 private:
  HANDLE instanceMutex_ = nullptr;
  bool previousInstance_ = false;
};

}  // namespace revivix::win32
