// Reading and choosing entries of another program's drop-down lists (standard combo boxes), as a
// user sees and picks them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace revivix::driver {

// The entries of the list, in order.
std::vector<std::wstring> ComboEntries(HWND combo);

// The text of the selected entry, or "" when none is selected.
std::wstring ComboSelectedText(HWND combo);

// Selects entry `index` and notifies the list's parent of the change, as a pick with the mouse or
// the keyboard does: the list sends CBN_SELCHANGE to its parent window. False when the list has
// no such entry or a message could not be delivered.
bool PickComboEntry(HWND combo, int index);

// PickComboEntry for the first entry with exactly this text.
bool PickComboEntry(HWND combo, const std::wstring& text);

}  // namespace revivix::driver
