// The shell port on ShellExecuteExW, owned by the wizard's main window. It keeps the handle of the
// process its last start created, so the wizard can ask whether that process has ended.
#pragma once

#include <windows.h>

#include "platform/Shell.h"
#include "platform/win32/Win32MainWindow.h"

namespace revivix::win32 {

class Win32Shell : public Shell {
 public:
  explicit Win32Shell(const Win32MainWindow& owner) : owner_(owner) {}
  ~Win32Shell() override;
  Win32Shell(const Win32Shell&) = delete;
  Win32Shell& operator=(const Win32Shell&) = delete;
  std::intptr_t Execute(const std::wstring& verb, const std::wstring& file,
                        const std::wstring& parameters, const std::wstring& directory,
                        int showCommand) override;
  std::optional<bool> StartedProcessEnded() override;

 private:
  const Win32MainWindow& owner_;
  HANDLE started_ = nullptr;
};

}  // namespace revivix::win32
