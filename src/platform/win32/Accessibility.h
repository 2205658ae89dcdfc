// What screen readers learn about the windows of our own classes and the skinned buttons. Each
// answer starts from the system's accessible object of the window and puts the facts of the kind
// over it: frames are groupings named by their caption, the progress bar is a progress bar whose
// value is the percentage it shows, a skinned button is a push button without children (its ring
// window is drawing, not content) and the ring window has no name and counts as invisible. The
// system's progress-bar proxy (CreateStdAccessibleProxyW) is not used: Wine's oleacc ends the
// program when it is called.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <optional>
#include <string>

namespace revivix::win32 {

struct AccessibleFacts {
  std::optional<std::wstring> name;
  std::optional<long> role;  // ROLE_SYSTEM_*
  std::optional<std::wstring> value;
  bool noChildren = false;
  bool invisible = false;
};

// The answer to WM_GETOBJECT for the client area (OBJID_CLIENT) of `hwnd`: the system's object
// of the window with `facts` put over it. Returns 0 for other object ids or when no object could
// be made, so the system answers itself. (The interface id is taken with __uuidof: MinGW's oleacc
// import library resolves the IID_IAccessible symbol to an import thunk, not to the GUID.)
LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam, const AccessibleFacts& facts);

// The percentage a bar of `value` out of `max` shows, as a screen reader reads a progress bar.
std::wstring PercentText(long value, long max);

}  // namespace revivix::win32
