// Finding and reading another program's windows, as a user would see them: top-level windows by
// caption, control windows by id, their texts, styles and places.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace revivix::driver {

// The first visible top-level window with exactly this caption (of process `processId` when it
// is not 0), polling until `timeoutMs` has passed; nullptr when none appears.
HWND WaitForTopLevelWindow(const std::wstring& caption, DWORD processId, DWORD timeoutMs);

// Every window below `root`, at any depth.
std::vector<HWND> Descendants(HWND root);

// The descendant of `root` with this control id, or nullptr.
HWND FindControlById(HWND root, int id);

// The live text of a window (WM_GETTEXT, which also reads another process's edit boxes).
std::wstring TextOf(HWND window);

// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);

// The window's class name ("Button", "RevivixFrame", ...).
std::wstring ClassOf(HWND window);

// Waits until the process ends; true when it did within `timeoutMs`.
bool WaitForProcessEnd(DWORD processId, DWORD timeoutMs);

// Asks `condition` every 50 ms until it holds or `timeoutMs` has passed; true when it held. It is
// asked once more at the deadline, so a condition that holds then counts.
bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& condition);

}  // namespace revivix::driver
