#include "platform/win32/Win32Shell.h"

#include <shellapi.h>

#include "platform/win32/SystemLibraries.h"

namespace revivix::win32 {

std::intptr_t Win32Shell::Execute(const std::wstring& verb, const std::wstring& file,
                                  const std::wstring& parameters, const std::wstring& directory,
                                  int showCommand) {
  // The wide call keeps folder names outside the ANSI code page intact.
  auto* execute = REVIVIX_SYSTEM_FUNCTION(Shell32, ShellExecuteW);
  // Without the shell nothing starts: the result is the shell's "out of resources".
  if (!execute) return 0;
  HINSTANCE result = execute(owner_.Handle(), verb.c_str(), file.c_str(),
                             parameters.empty() ? nullptr : parameters.c_str(),
                             directory.empty() ? nullptr : directory.c_str(), showCommand);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace revivix::win32
