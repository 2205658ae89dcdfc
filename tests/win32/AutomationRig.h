// The wizard's automation on the real platform without its window: every real port, one
// Program and one form whose updater timers run on the real event loop. Used by the Wine tests
// against the simulated updaters and by the Wine benchmark.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "app/Program.h"
#include "app/frmMain.h"
#include "platform/FileSystem.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32HtmlEngine.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32ProfileStrings.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SystemInfo.h"

namespace revivix::wintest {

struct AutomationRig {
  AutomationRig()
      : processes(L"Local\\RevivixAutomationRig." + std::to_wstring(GetCurrentProcessId())),
        shell(window),
        program(
            Ports{loop, files, processes, system, kernel32, unicows, window, html, shell, desktop}),
        form(program) {
    // Only the updater timers run here.
    for (Timer* t : form.Timers()) t->SetEnabled(false);
  }

  // Starts the watch as the download step leaves it: Timer4 and Timer5 enabled.
  void StartWatching(const std::wstring& updaterTitle) {
    form.UpdaterTitle = updaterTitle;
    form.Timer4.SetEnabled(true);
    form.Timer5.SetEnabled(true);
  }

  // Runs the wizard's events for `ms` milliseconds or until `done` holds.
  template <typename Done>
  bool RunUntil(DWORD ms, Done done) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
      const ULONGLONG now = GetTickCount64();
      if (now >= end) return false;
      MsgWaitForMultipleObjects(
          0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 50)), QS_ALLINPUT);
      loop.DoEvents();
    }
    return true;
  }

  win32::Win32EventLoop loop;
  StdFileSystem files;
  win32::Win32Processes processes;
  win32::Win32SystemInfo system;
  win32::Kernel32ProfileStrings kernel32;
  win32::UnicowsProfileStrings unicows;
  win32::Win32MainWindow window;
  win32::Win32HtmlEngine html;
  win32::Win32Shell shell;
  win32::Win32Desktop desktop;
  Program program;
  frmMain form;
};

}  // namespace revivix::wintest
