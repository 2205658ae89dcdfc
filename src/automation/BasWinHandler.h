// BasWinHandler: the enumeration callbacks that fill UpdaterWindows, the discovery of the
// updater's main window and its controls, and the reading of a control's live text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "app/Program.h"

namespace revivix {

// Window texts are read into buffers of this many characters (at most 259 and a NUL).
inline constexpr int kWindowTextBuffer = 260;

// Every message the wizard sends to the updater's windows waits this long at most; a program the
// system considers hung is given up at once. Long enough for a busy updater to answer, short
// enough that the wizard's own clicks wait no more than that behind a hung one.
inline constexpr std::uint32_t kSendTimeoutMs = 1500;

// A send to the updater's window that was not handled in time. The step that sent it fails and
// its timer tries again on its next tick.
class UpdaterNotAnswering : public std::runtime_error {
 public:
  UpdaterNotAnswering() : std::runtime_error("the updater did not answer in time") {}
};

// Sends `message` with the time limit above and returns the window's answer; throws
// UpdaterNotAnswering when there was none in time.
std::intptr_t SendBounded(Desktop& desktop, WindowHandle window, std::uint32_t message,
                          std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

// The part of `text` before its first NUL (all of it without one), trimmed of blanks.
std::wstring TrimAtNul(const std::wstring& text);

// Callback for EnumWindows: records the first top-level window whose upper-cased title equals
// SearchTitle in FoundWindow and stops (0); otherwise continues (1).
int TopWindowProc(Program& program, WindowHandle window, std::intptr_t value);

// Callback for EnumChildWindows: records the window in every field whose text test it passes;
// always continues (1).
int ChildWindowProc(Program& program, WindowHandle window, std::intptr_t value);

// The discovery every polling step uses: finds the top-level window titled SearchTitle and, when
// there is one, makes it MainWindow and lists its descendants. The caller has set SearchTitle
// and cleared its own fields.
void ScanUpdater(Program& program);

// Only the top-level search of ScanUpdater: FoundWindow is the window titled SearchTitle, or 0.
void FindTopWindow(Program& program);

// ScanUpdater for one of the updater's dialogs: only a top-level window that belongs to the
// process owning the updater's main window (the first window titled `updaterTitle`) can be
// FoundWindow, so another program's window of the same title is never answered. Without that
// main window nothing is found.
void ScanUpdaterDialog(Program& program, const std::wstring& updaterTitle);

// The text a control holds now, asked of the control itself (WM_GETTEXTLENGTH, WM_GETTEXT, each
// sent with the time limit), upper-cased and cut at its first NUL. A handle of 0 gives "".
// Throws UpdaterNotAnswering when the control's program does not answer in time.
std::wstring ReadLiveText(Program& program, WindowHandle window);

// The same on a desktop and a table of their own (the functions above use the run's).
int TopWindowProc(Desktop& desktop, UpdaterWindows& w, WindowHandle window);
int ChildWindowProc(Desktop& desktop, UpdaterWindows& w, WindowHandle window);
void ScanUpdater(Desktop& desktop, UpdaterWindows& w);
void FindTopWindow(Desktop& desktop, UpdaterWindows& w);
void ScanUpdaterDialog(Desktop& desktop, UpdaterWindows& w, const std::wstring& updaterTitle);
std::wstring ReadLiveText(Desktop& desktop, WindowHandle window);

}  // namespace revivix
