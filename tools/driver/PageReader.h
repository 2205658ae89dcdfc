// Reading the page another program's window shows, as a user sees it: which of its controls are
// visible and enabled, their texts, and which one has the keyboard focus.
#pragma once

#include <windows.h>

#include <string>

namespace revivix::driver {

struct ControlState {
  bool exists = false;
  bool visible = false;  // shown on the screen: the control and every window it lies in
  bool enabled = false;
  std::wstring text;  // the live text (WM_GETTEXT)
};

// The state of the control with this id below `main`; `exists` false when there is none.
ControlState ReadControl(HWND main, int id);

// The window that has the keyboard focus in the thread that owns `window`, or nullptr.
HWND FocusedWindow(HWND window);

}  // namespace revivix::driver
