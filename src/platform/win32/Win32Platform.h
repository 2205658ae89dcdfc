// Every real port of the program in one place: the program's entry point, the Windows tests and
// the Windows benchmarks each own one Win32Platform and hand its ports to their Program, so a
// new port is added here once.
#pragma once

#include <string>

#include "app/Program.h"
#include "platform/FileSystem.h"
#include "platform/LogFile.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32ConnectionCheck.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32DeviceInventory.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32FolderGuard.h"
#include "platform/win32/Win32HtmlEngine.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32ProfileStrings.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/Win32UrlDownload.h"

namespace revivix::win32 {

class Win32Platform {
 public:
  // `instanceMutexName`: the mutex that tells whether another copy runs; the tests and the
  // benchmarks pass one of their own, so they do not count as a running wizard.
  explicit Win32Platform(const std::wstring& instanceMutexName = kInstanceMutexName)
      : processes(instanceMutexName), shell(window), download(&loop) {}
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // The ports in the order Program takes them. A Program must not outlive its platform.
  Ports AsPorts() {
    return Ports{loop,     files,   processes,  system,  kernel32, unicows, window, html,   shell,
                 registry, devices, connection, desktop, download, folders, clock,  logFile};
  }

  // Declared first, so it is destroyed last: the form's timers let go of it when they end.
  Win32EventLoop loop;
  StdFileSystem files;
  Win32Processes processes;
  Win32SystemInfo system;
  Kernel32ProfileStrings kernel32;
  UnicowsProfileStrings unicows;
  Win32MainWindow window;
  Win32HtmlEngine html;
  Win32Shell shell;
  Win32Registry registry;
  Win32DeviceInventory devices;
  Win32ConnectionCheck connection;
  Win32Desktop desktop;
  Win32UrlDownload download;
  Win32FolderGuard folders;
  Win32Clock clock;
  StdLogFile logFile;
};

}  // namespace revivix::win32
