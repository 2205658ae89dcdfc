// The main window's keyboard: the wizard's own Tab order (reading order over the visible,
// enabled controls; List1 and the skin rings are never reached), Enter on the focused push button
// or else the page's default button, Escape as the close button except while an updater runs,
// and everything else through the dialog manager, which lets Space press the focused button.
// When a page appears, the focus a handler gave it stays, or else the page's control takes the
// focus; its message label is announced to screen readers.
#include "platform/win32/ViewKinds.h"

namespace revivix::win32 {

namespace {

bool KeyDown(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

// A drop-down list that is open keeps Enter and Escape: they close its list.
bool IsOpenList(HWND hwnd) {
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  return lstrcmpiW(name, L"COMBOBOX") == 0 && SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

}  // namespace

ControlWindow* FormViews::FocusedView() const {
  for (HWND hwnd = GetFocus(); hwnd && hwnd != main_; hwnd = GetParent(hwnd))
    if (ControlWindow* view = ViewByHandle(hwnd)) return view;
  return nullptr;
}

void FormViews::MoveFocus(Control& control) {
  HWND hwnd = HandleOf(control);
  if (!hwnd) return;
  if (GetActiveWindow() != main_) {
    // Another window is active (the updater's): the focus waits for the user's return.
    lastFocus_ = hwnd;
    return;
  }
  // The keyboard's own move: the window's focus only, not a handler's choice in the model.
  SetFocus(hwnd);
  // A text box reached by the keyboard has its text selected, as in every dialog.
  if (control.Kind() == ControlKind::TextBox) SendMessageW(hwnd, EM_SETSEL, 0, -1);
}

bool FormViews::PreTranslate(MSG& msg) {
  if (!main_ || !IsWindow(main_) || form.Unloaded()) return false;
  if (msg.hwnd != main_ && !IsChild(main_, msg.hwnd)) return false;
  if (msg.message == WM_KEYDOWN && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
    switch (msg.wParam) {
      case VK_TAB: {
        ControlWindow* focused = FocusedView();
        if (Control* next =
                NextInTabOrder(form, focused ? &focused->control : nullptr, KeyDown(VK_SHIFT)))
          MoveFocus(*next);
        return true;
      }
      case VK_RETURN:
      case VK_ESCAPE: {
        if (IsOpenList(msg.hwnd)) break;
        ControlWindow* focused = FocusedView();
        const KeyAction action = ActionOfKey(form, focused ? &focused->control : nullptr,
                                             msg.wParam == VK_RETURN ? Key::Enter : Key::Escape);
        // The same press as a click on the button.
        if (action.press) action.press->RaiseClick();
        if (action.close) SendMessageW(main_, WM_CLOSE, 0, 0);
        return true;
      }
      default:
        break;
    }
  }
  // The characters of the keys handled above never reach a control.
  if (msg.message == WM_CHAR &&
      (msg.wParam == L'\t' || msg.wParam == L'\r' || msg.wParam == 0x1B) && !IsOpenList(msg.hwnd))
    return true;
  return IsDialogMessageW(main_, &msg) != FALSE;
}

void FormViews::PageMayHaveChanged() {
  if (pageCheckPosted_ || !main_) return;
  pageCheckPosted_ = PostMessageW(main_, kPageMessage, 0, 0) != FALSE;
}

void FormViews::FollowPage() {
  pageCheckPosted_ = false;
  if (form.Unloaded()) return;
  ControlWindow* focused = FocusedView();
  const Control* current = focused ? &focused->control : nullptr;
  // While another window is active, the focus it will get back counts as the focus.
  if (GetActiveWindow() != main_ && lastFocus_)
    if (ControlWindow* waiting = ViewByHandle(lastFocus_)) current = &waiting->control;
  if (Control* target = pageFocus_.Follow(form, current)) MoveFocus(*target);
  if (!pageFocus_.Appeared()) return;
  Control* label = PageMessageLabel(form, pageFocus_.Page());
  HWND labelWindow = label ? HandleOf(*label) : nullptr;
  if (labelWindow && IsWindowVisible(labelWindow) && !label->Caption().empty())
    NotifyWinEvent(EVENT_SYSTEM_ALERT, labelWindow, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace revivix::win32
