#include "driver/ComboPick.h"

#include <algorithm>

namespace revivix::driver {

namespace {

constexpr UINT kSendTimeoutMs = 2000;

// SendMessage that gives up on a hung window; false when the message was not delivered.
bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &answer))
    return false;
  result = static_cast<LRESULT>(answer);
  return true;
}

std::wstring EntryText(HWND combo, int index) {
  LRESULT length = CB_ERR;
  if (!Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, length) || length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  LRESULT copied = CB_ERR;
  if (!Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()),
            copied) ||
      copied < 0)
    return {};
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

}  // namespace

std::vector<std::wstring> ComboEntries(HWND combo) {
  std::vector<std::wstring> entries;
  LRESULT count = 0;
  if (!Send(combo, CB_GETCOUNT, 0, 0, count)) return entries;
  for (int i = 0; i < count; ++i) entries.push_back(EntryText(combo, i));
  return entries;
}

std::wstring ComboSelectedText(HWND combo) {
  LRESULT selected = CB_ERR;
  if (!Send(combo, CB_GETCURSEL, 0, 0, selected) || selected < 0) return {};
  return EntryText(combo, static_cast<int>(selected));
}

bool PickComboEntry(HWND combo, int index) {
  LRESULT selected = CB_ERR;
  if (!Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, selected) || selected != index)
    return false;
  const WPARAM notification =
      MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(combo)), static_cast<WORD>(CBN_SELCHANGE));
  LRESULT ignored = 0;
  return Send(GetParent(combo), WM_COMMAND, notification, reinterpret_cast<LPARAM>(combo), ignored);
}

bool PickComboEntry(HWND combo, const std::wstring& text) {
  const std::vector<std::wstring> entries = ComboEntries(combo);
  const auto found = std::find(entries.begin(), entries.end(), text);
  if (found == entries.end()) return false;
  return PickComboEntry(combo, static_cast<int>(found - entries.begin()));
}

}  // namespace revivix::driver
