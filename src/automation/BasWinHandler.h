// BasWinHandler: the enumeration callbacks that fill UpdaterWindows, the discovery of the
// updater's main window and its controls, and the reading of a control's live text.
#pragma once

#include <cstdint>
#include <string>

#include "app/Program.h"

namespace revivix {

// Window texts are read into buffers of this many characters (at most 259 and a NUL).
inline constexpr int kWindowTextBuffer = 260;

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

// The text a control holds now, asked of the control itself (WM_GETTEXTLENGTH, WM_GETTEXT),
// upper-cased and cut at its first NUL. A handle of 0 gives "".
std::wstring ReadLiveText(Program& program, WindowHandle window);

// The same on a desktop and a table of their own (the functions above use the run's).
int TopWindowProc(Desktop& desktop, UpdaterWindows& w, WindowHandle window);
int ChildWindowProc(Desktop& desktop, UpdaterWindows& w, WindowHandle window);
void ScanUpdater(Desktop& desktop, UpdaterWindows& w);
void FindTopWindow(Desktop& desktop, UpdaterWindows& w);
std::wstring ReadLiveText(Desktop& desktop, WindowHandle window);

}  // namespace revivix
