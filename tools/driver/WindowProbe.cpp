#include "driver/WindowProbe.h"

namespace revivix::driver {

namespace {

constexpr UINT kSendTimeoutMs = 2000;

struct Search {
  const std::wstring* caption;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  if (!IsWindowVisible(window)) return TRUE;
  if (search->processId != 0) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
  }
  if (TextOf(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK Collect(HWND window, LPARAM context) {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

}  // namespace

HWND WaitForTopLevelWindow(const std::wstring& caption, DWORD processId, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    Search search{&caption, processId, nullptr};
    EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(100);
  }
}

std::vector<HWND> Descendants(HWND root) {
  std::vector<HWND> windows;
  EnumChildWindows(root, &Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND FindControlById(HWND root, int id) {
  for (HWND window : Descendants(root))
    if (GetDlgCtrlID(window) == id) return window;
  return nullptr;
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &length))
    return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
    return {};
  text.resize(copied);
  return text;
}

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

bool WaitForProcessEnd(DWORD processId, DWORD timeoutMs) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (!process) return true;  // already gone
  const bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& condition) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    Sleep(static_cast<DWORD>(deadline - now < 50 ? deadline - now : 50));
  }
}

}  // namespace revivix::driver
