#include "platform/win32/Win32Shell.h"

#include <shellapi.h>

#include "platform/win32/SystemLibraries.h"

namespace revivix::win32 {

Win32Shell::~Win32Shell() {
  if (started_) CloseHandle(started_);
}

std::intptr_t Win32Shell::Execute(const std::wstring& verb, const std::wstring& file,
                                  const std::wstring& parameters, const std::wstring& directory,
                                  int showCommand) {
  if (started_) {
    CloseHandle(started_);
    started_ = nullptr;
  }
  // The wide call keeps folder names outside the ANSI code page intact. The extended form hands
  // back the process it started, so the wizard can tell a program that ended at once.
  auto* execute = REVIVIX_SYSTEM_FUNCTION(Shell32, ShellExecuteExW);
  // Without the shell nothing starts: the result is the shell's "out of resources".
  if (!execute) return 0;
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner_.Handle();
  info.lpVerb = verb.c_str();
  info.lpFile = file.c_str();
  info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
  info.nShow = showCommand;
  const BOOL ok = execute(&info);
  started_ = ok ? info.hProcess : nullptr;
  if (!ok && info.hProcess) CloseHandle(info.hProcess);
  const auto result = reinterpret_cast<std::intptr_t>(info.hInstApp);
  // A refused start whose result the shell left unset reads as "file not found".
  if (!ok && result > 32) return 2;
  return result;
}

std::optional<bool> Win32Shell::StartedProcessEnded() {
  if (!started_) return std::nullopt;
  return WaitForSingleObject(started_, 0) == WAIT_OBJECT_0;
}

}  // namespace revivix::win32
