#include "automation/BasWinHandler.h"

#include <optional>
#include <string>

#include "common/Text.h"

namespace revivix {

namespace {

// A control that claims a longer text than this (or a negative length) is read in its first
// kLiveTextLimit characters: an updater's answer must never make the wizard allocate without
// bound.
constexpr std::intptr_t kLiveTextLimit = 65535;

// The stored text of a window as the callbacks see it: a buffer of 260 blanks filled by
// GetWindowTextA, cut at the NUL, trimmed and upper-cased.
std::wstring StoredText(Desktop& desktop, WindowHandle window) {
  std::string buffer(kWindowTextBuffer, ' ');
  desktop.GetWindowTextA(window, buffer.data(), kWindowTextBuffer);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
  return UCase(TrimAtNul(desktop.AnsiCodePage().Decode(bytes, buffer.size())));
}

void SetFirstFree(UpdaterWindows& w, WindowHandle window) {
  for (WindowHandle* slot : {&w.BlankText1, &w.BlankText2, &w.BlankText3}) {
    if (*slot == 0) {
      *slot = window;
      return;
    }
  }
}

// The first top-level window titled `title` (upper-cased stored text), of `process` when one is
// given; 0 when there is none.
WindowHandle FirstWindowTitled(Desktop& desktop, const std::wstring& title,
                               std::optional<ProcessId> process) {
  WindowHandle found = 0;
  desktop.EnumWindows(
      [&](WindowHandle window, std::intptr_t) {
        if (StoredText(desktop, window) != title) return 1;
        if (process && desktop.GetWindowThreadProcessId(window) != *process) return 1;
        found = window;
        return 0;
      },
      0);
  return found;
}

}  // namespace

std::intptr_t SendBounded(Desktop& desktop, WindowHandle window, std::uint32_t message,
                          std::uintptr_t wParam, std::intptr_t lParam) {
  const std::optional<std::intptr_t> answer = desktop.SendMessageTimeoutA(
      window, message, wParam, lParam, kSmtoAbortIfHung, kSendTimeoutMs);
  if (!answer) throw UpdaterNotAnswering();
  return *answer;
}

std::wstring TrimAtNul(const std::wstring& text) {
  const auto nul = text.find(L'\0');
  return Trim(nul == std::wstring::npos ? text : text.substr(0, nul));
}

int TopWindowProc(Desktop& desktop, UpdaterWindows& w, WindowHandle window) {
  if (StoredText(desktop, window) == w.SearchTitle) {
    w.FoundWindow = window;
    return 0;
  }
  return 1;
}

int ChildWindowProc(Desktop& desktop, UpdaterWindows& w, WindowHandle window) {
  const std::wstring text = StoredText(desktop, window);
  // The tests are independent: one window may fill several fields, and a later window with the
  // same text replaces an earlier one, except in the three empty-text slots.
  if (text == L"&FORMAT DATA AREA") w.FormatButton = window;
  if (text == L"&START") w.StartButton = window;
  if (text == L"&CLOSE") w.CloseButton = window;
  if (text == L"&YES") w.YesButton = window;
  if (text.empty()) SetFirstFree(w, window);
  if (text == L"UPGRADE") w.UpgradeButton = window;
  if (text == L"CLOSE") w.PlainCloseButton = window;
  if (text == L"FIRMWARE UPGRADE COMPLETED!") w.CompletedText = window;
  if (ContainsNoCase(text, L"THIS PROGRAM WILL UPGRADE YOUR PLAYER'S FIRMWARE."))
    w.IntroText = window;
  if (ContainsNoCase(text, L"YOUR BATTERY LEVELS ARE TOO LOW.")) w.BatteryText = window;
  return 1;
}

void FindTopWindow(Desktop& desktop, UpdaterWindows& w) {
  w.FoundWindow = 0;
  desktop.EnumWindows(
      [&](WindowHandle window, std::intptr_t) { return TopWindowProc(desktop, w, window); }, 0);
}

void ScanUpdater(Desktop& desktop, UpdaterWindows& w) {
  FindTopWindow(desktop, w);
  if (w.FoundWindow == 0) return;
  w.MainWindow = w.FoundWindow;
  desktop.EnumChildWindows(
      w.MainWindow,
      [&](WindowHandle window, std::intptr_t) { return ChildWindowProc(desktop, w, window); }, 0);
}

void ScanUpdaterDialog(Desktop& desktop, UpdaterWindows& w, const std::wstring& updaterTitle) {
  w.FoundWindow = 0;
  const WindowHandle updater = FirstWindowTitled(desktop, updaterTitle, std::nullopt);
  const ProcessId owner = updater != 0 ? desktop.GetWindowThreadProcessId(updater) : 0;
  if (owner == 0) return;
  w.FoundWindow = FirstWindowTitled(desktop, w.SearchTitle, owner);
  if (w.FoundWindow == 0) return;
  w.MainWindow = w.FoundWindow;
  desktop.EnumChildWindows(
      w.MainWindow,
      [&](WindowHandle window, std::intptr_t) { return ChildWindowProc(desktop, w, window); }, 0);
}

std::wstring ReadLiveText(Desktop& desktop, WindowHandle window) {
  if (window == 0) return L"";
  std::intptr_t length = SendBounded(desktop, window, kWmGetTextLength);
  if (length < 0) length = 0;
  if (length > kLiveTextLimit) length = kLiveTextLimit;
  std::string buffer(static_cast<std::size_t>(length) + 1, ' ');
  SendBounded(desktop, window, kWmGetText, buffer.size(),
              reinterpret_cast<std::intptr_t>(buffer.data()));
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
  return UCase(TrimAtNul(desktop.AnsiCodePage().Decode(bytes, buffer.size())));
}

int TopWindowProc(Program& program, WindowHandle window, std::intptr_t) {
  return TopWindowProc(program.ports.desktop, program.updaterWindows, window);
}

int ChildWindowProc(Program& program, WindowHandle window, std::intptr_t) {
  return ChildWindowProc(program.ports.desktop, program.updaterWindows, window);
}

void FindTopWindow(Program& program) {
  FindTopWindow(program.ports.desktop, program.updaterWindows);
}

void ScanUpdater(Program& program) {
  ScanUpdater(program.ports.desktop, program.updaterWindows);
}

void ScanUpdaterDialog(Program& program, const std::wstring& updaterTitle) {
  ScanUpdaterDialog(program.ports.desktop, program.updaterWindows, updaterTitle);
}

std::wstring ReadLiveText(Program& program, WindowHandle window) {
  return ReadLiveText(program.ports.desktop, window);
}

}  // namespace revivix
