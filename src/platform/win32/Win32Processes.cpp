#include "platform/win32/Win32Processes.h"

#include <tlhelp32.h>

#include "platform/win32/SentMessageWait.h"

namespace revivix::win32 {

Win32Processes::Win32Processes(const std::wstring& instanceMutexName) {
  instanceMutex_ = CreateMutexW(nullptr, FALSE, instanceMutexName.c_str());
  previousInstance_ = instanceMutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

Win32Processes::~Win32Processes() {
  if (instanceMutex_) CloseHandle(instanceMutex_);
}

std::optional<std::vector<ProcessEntry>> Win32Processes::Snapshot() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<ProcessEntry> entries;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    entries.push_back({entry.szExeFile, static_cast<ProcessId>(entry.th32ProcessID)});
    entry.dwSize = sizeof entry;
  }
  CloseHandle(snapshot);
  return entries;
}

ProcessId Win32Processes::OwnerOfWindow(WindowHandle window) {
  DWORD id = 0;
  GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &id);
  return static_cast<ProcessId>(id);
}

void Win32Processes::EnableDebugPrivilege() {
  // Every result is ignored: without the privilege the termination is simply attempted anyway.
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  if (LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid)) {
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, nullptr, nullptr);
  }
  CloseHandle(token);
}

bool Win32Processes::Terminate(ProcessId id) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(id));
  if (!process) return false;
  const bool terminated = TerminateProcess(process, 0) != FALSE;
  CloseHandle(process);
  return terminated;
}

ProcessId Win32Processes::OwnId() {
  return static_cast<ProcessId>(GetCurrentProcessId());
}

bool Win32Processes::WaitForExit(ProcessId id, int milliseconds) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
  // A process that cannot be opened any more has ended.
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
  // The wizard's thread waits here while the updater ends; an updater that sends to the
  // wizard's windows meanwhile (a broadcast) gets its answer, and ends.
  const bool ended =
      WaitAnsweringSends(process, static_cast<DWORD>(milliseconds > 0 ? milliseconds : 0));
  CloseHandle(process);
  return ended;
}

}  // namespace revivix::win32
