#include "automation/BasWinHandler.h"

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
std::wstring StoredText(Program& program, WindowHandle window) {
  std::string buffer(kWindowTextBuffer, ' ');
  program.ports.desktop.GetWindowTextA(window, buffer.data(), kWindowTextBuffer);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
  return UCase(TrimAtNul(DecodeAnsi1252(bytes, buffer.size())));
}

void SetFirstFree(UpdaterWindows& w, WindowHandle window) {
  for (WindowHandle* slot : {&w.BlankText1, &w.BlankText2, &w.BlankText3}) {
    if (*slot == 0) {
      *slot = window;
      return;
    }
  }
}

}  // namespace

std::wstring TrimAtNul(const std::wstring& text) {
  const auto nul = text.find(L'\0');
  return Trim(nul == std::wstring::npos ? text : text.substr(0, nul));
}

int TopWindowProc(Program& program, WindowHandle window, std::intptr_t) {
  UpdaterWindows& w = program.updaterWindows;
  if (StoredText(program, window) == w.SearchTitle) {
    w.FoundWindow = window;
    return 0;
  }
  return 1;
}

int ChildWindowProc(Program& program, WindowHandle window, std::intptr_t) {
  UpdaterWindows& w = program.updaterWindows;
  const std::wstring text = StoredText(program, window);
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

void FindTopWindow(Program& program) {
  program.updaterWindows.FoundWindow = 0;
  program.ports.desktop.EnumWindows(
      [&program](WindowHandle window, std::intptr_t value) {
        return TopWindowProc(program, window, value);
      },
      0);
}

void ScanUpdater(Program& program) {
  UpdaterWindows& w = program.updaterWindows;
  FindTopWindow(program);
  if (w.FoundWindow == 0) return;
  w.MainWindow = w.FoundWindow;
  program.ports.desktop.EnumChildWindows(
      w.MainWindow,
      [&program](WindowHandle window, std::intptr_t value) {
        return ChildWindowProc(program, window, value);
      },
      0);
}

std::wstring ReadLiveText(Program& program, WindowHandle window) {
  if (window == 0) return L"";
  Desktop& desktop = program.ports.desktop;
  std::intptr_t length = desktop.SendMessageA(window, kWmGetTextLength, 0, 0);
  if (length < 0) length = 0;
  if (length > kLiveTextLimit) length = kLiveTextLimit;
  std::string buffer(static_cast<std::size_t>(length) + 1, ' ');
  desktop.SendMessageA(window, kWmGetText, buffer.size(),
                       reinterpret_cast<std::intptr_t>(buffer.data()));
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
  return UCase(TrimAtNul(DecodeAnsi1252(bytes, buffer.size())));
}

}  // namespace revivix
