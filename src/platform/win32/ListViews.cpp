// Drop-down lists and list boxes: standard combo boxes and list boxes filled from the model; the
// user's pick writes the model's selection and raises its Click.
#include "platform/win32/ViewKinds.h"

namespace revivix::win32 {

bool IsList(ControlKind kind) {
  return kind == ControlKind::DropDownList || kind == ControlKind::ListBox;
}

WindowSpec ListSpec(ControlKind kind) {
  if (kind == ControlKind::DropDownList)
    return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, false};
  return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER, 0, false};
}

void FillList(HWND list, const Control& control) {
  const bool combo = control.Kind() == ControlKind::DropDownList;
  SendMessageW(list, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  for (int i = 0; i < control.ListCount(); ++i)
    SendMessageW(list, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(control.List(i).c_str()));
}

void AppendListEntry(HWND list, const Control& control) {
  if (control.ListCount() == 0) return;
  const bool combo = control.Kind() == ControlKind::DropDownList;
  SendMessageW(list, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
               reinterpret_cast<LPARAM>(control.List(control.ListCount() - 1).c_str()));
}

void SelectListEntry(HWND list, const Control& control) {
  const bool combo = control.Kind() == ControlKind::DropDownList;
  SendMessageW(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(control.ListIndex()),
               0);
}

void OnListCommand(HWND list, Control& control, WORD code) {
  if (control.Kind() == ControlKind::DropDownList && code == CBN_SELCHANGE)
    control.UserSelect(static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)));
  if (control.Kind() == ControlKind::ListBox && code == LBN_SELCHANGE)
    control.UserSelect(static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)));
}

}  // namespace revivix::win32
