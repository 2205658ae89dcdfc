// The shell port on ShellExecuteW, owned by the wizard's main window.
#pragma once

#include <windows.h>

#include "platform/Shell.h"
#include "platform/win32/Win32MainWindow.h"

namespace revivix::win32 {

class Win32Shell : public Shell {
 public:
  explicit Win32Shell(const Win32MainWindow& owner) : owner_(owner) {}
  std::intptr_t Execute(const std::wstring& verb, const std::wstring& file,
                        const std::wstring& parameters, const std::wstring& directory,
                        int showCommand) override;

 private:
  const Win32MainWindow& owner_;
};

}  // namespace revivix::win32
