// The wizard's automation on the real platform without its window: every real port, one
// Program and one form whose updater timers run on the real event loop. Used by the Wine tests
// against the simulated updaters and by the Wine benchmark.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "app/Program.h"
#include "app/frmMain.h"
#include "platform/win32/Win32Platform.h"

namespace revivix::wintest {

struct AutomationRig {
  AutomationRig()
      : platform(L"Local\\RevivixAutomationRig." + std::to_wstring(GetCurrentProcessId())),
        program(platform.AsPorts()),
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
      platform.loop.DoEvents();
    }
    return true;
  }

  win32::Win32Platform platform;
  Program program;
  frmMain form;
};

}  // namespace revivix::wintest
