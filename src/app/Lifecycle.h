// The life of the window: initialisation, load, the start-up checks and the single way out.
#pragma once

#include <functional>

#include "app/frmMain.h"

namespace revivix {

// Runs one step of a sequence whose failing steps are skipped: a failure abandons the step and
// the caller goes on with its next one.
void RunStep(const std::function<void()>& step);

// Before the window is loaded: an earlier copy of the wizard that is still running is ended.
void Initialise(frmMain& form);

// Prepares the window once, before it is first shown.
void FormLoad(frmMain& form);

// The ordered start-up sequence; runs once, on the first activation of the window.
void RunStartupChecks(frmMain& form);

// How long the exit waits for an updater that the wizard has closed to end, so that its file can be
// deleted.
inline constexpr int kUpdaterEndWaitMs = 3000;

// Saves the settings, deletes the downloaded updater, releases the shared objects and closes the
// window, which ends the program. Re-entered from the close handler while it closes the window,
// it does nothing more.
void QuitWizard(frmMain& form);

}  // namespace revivix
