#include "driver/PageReader.h"

#include "driver/WindowProbe.h"

namespace revivix::driver {

ControlState ReadControl(HWND main, int id) {
  ControlState state;
  HWND control = FindControlById(main, id);
  if (!control) return state;
  state.exists = true;
  state.visible = IsWindowVisible(control) != FALSE;
  state.enabled = IsWindowEnabled(control) != FALSE;
  state.text = TextOf(control);
  return state;
}

HWND FocusedWindow(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (!thread || !GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus;
}

}  // namespace revivix::driver
