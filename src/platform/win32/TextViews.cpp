// Texts: labels are static controls showing the caption; the serial-number entry and the license
// box are edit controls showing the text. Only the serial-number entry writes back to the model.
#include "platform/win32/ViewKinds.h"

namespace revivix::win32 {

namespace {

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int n = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return text;
}

}  // namespace

bool ShowsCaption(ControlKind kind) {
  switch (kind) {
    case ControlKind::Frame:
    case ControlKind::UniFrame:
    case ControlKind::UniButton:
    case ControlKind::Label:
    case ControlKind::UniLabel:
      return true;
    default:
      return false;
  }
}

bool ShowsText(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::UniText;
}

WindowSpec LabelSpec(const Control& label) {
  // Every alignment wraps long lines.
  const DWORD align = label.Style().centred ? SS_CENTER : RightAligned(label) ? SS_RIGHT : SS_LEFT;
  return {L"STATIC", align, 0, false};
}

WindowSpec TextBoxSpec(const Control& box) {
  if (box.Kind() == ControlKind::UniText) {
    DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
    if (box.Locked()) style |= ES_READONLY;
    return {L"EDIT", style, WS_EX_CLIENTEDGE, false};
  }
  return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, false};
}

std::wstring DisplayedText(const Control& control) {
  const std::wstring& text = control.Text();
  if (control.Kind() == ControlKind::UniText && !text.empty() && text[0] == L'\xFEFF')
    return text.substr(1);
  return text;
}

void SetReadOnly(HWND box, bool readOnly) {
  SendMessageW(box, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void OnTextCommand(HWND box, Control& control, WORD code) {
  // The license box is read-only; only the serial-number entry writes back.
  if (code == EN_CHANGE && control.Kind() == ControlKind::TextBox)
    control.UserEdit(WindowText(box));
}

}  // namespace revivix::win32
