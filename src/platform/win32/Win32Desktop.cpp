#include "platform/win32/Win32Desktop.h"

#include <windows.h>

namespace revivix::win32 {

namespace {

struct Enumeration {
  const Desktop::WindowProc* proc;
  std::intptr_t value;
};

BOOL CALLBACK Forward(HWND window, LPARAM lParam) {
  const auto* e = reinterpret_cast<const Enumeration*>(lParam);
  return (*e->proc)(reinterpret_cast<WindowHandle>(window), e->value) != 0 ? TRUE : FALSE;
}

HWND Hwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

}  // namespace

void Win32Desktop::EnumWindows(const WindowProc& proc, std::intptr_t value) {
  Enumeration e{&proc, value};
  ::EnumWindows(&Forward, reinterpret_cast<LPARAM>(&e));
}

void Win32Desktop::EnumChildWindows(WindowHandle parent, const WindowProc& proc,
                                    std::intptr_t value) {
  // A parent of 0 would list the top-level windows instead: the automation never asks that.
  if (parent == 0) return;
  Enumeration e{&proc, value};
  ::EnumChildWindows(Hwnd(parent), &Forward, reinterpret_cast<LPARAM>(&e));
}

int Win32Desktop::GetWindowTextA(WindowHandle window, char* buffer, int maxCount) {
  return ::GetWindowTextA(Hwnd(window), buffer, maxCount);
}

std::optional<std::intptr_t> Win32Desktop::SendMessageTimeoutA(
    WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
    std::uint32_t flags, std::uint32_t timeoutMs) {
  // A handle of 0 reaches no window (and must not become a broadcast).
  if (window == 0) return 0;
  DWORD_PTR result = 0;
  if (::SendMessageTimeoutA(Hwnd(window), message, wParam, lParam, flags, timeoutMs, &result) != 0)
    return static_cast<std::intptr_t>(result);
  // A window that has gone answers nothing, as a send to it does; one that is still there did not
  // answer in time.
  if (!::IsWindow(Hwnd(window))) return 0;
  return std::nullopt;
}

ProcessId Win32Desktop::GetWindowThreadProcessId(WindowHandle window) {
  DWORD process = 0;
  if (window == 0 || ::GetWindowThreadProcessId(Hwnd(window), &process) == 0) return 0;
  return process;
}

bool Win32Desktop::PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  // Posting to 0 would queue the message for the wizard's own thread: it reaches no window.
  if (window == 0) return false;
  return ::PostMessageA(Hwnd(window), message, wParam, lParam) != FALSE;
}

bool Win32Desktop::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx,
                                int cy, std::uint32_t flags) {
  // Placing another thread's window is a request to that thread: asynchronous, so that a hung
  // updater cannot hold the wizard inside the call.
  return ::SetWindowPos(Hwnd(window), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy,
                        flags | SWP_ASYNCWINDOWPOS) != FALSE;
}

}  // namespace revivix::win32
