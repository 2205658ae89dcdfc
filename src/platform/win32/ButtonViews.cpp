// Buttons: standard push buttons whose click raises the control's Click, shaped by their skin.
// The skin's rings are painted by a disabled child window of the button (class
// kSkinClass, named "Pic_" and the button's handle) that is cut down to the rings outside the
// innermost rounded rectangle, so the button's own face and caption show through the middle.
#include <string>

#include "platform/win32/ViewKinds.h"

#include <commctrl.h>

#include "platform/win32/Accessibility.h"

namespace revivix::win32 {

namespace {

// Paints a skinned button's rings, outermost first, each rounded rectangle one pixel inside the
// last; the window's region leaves only the rings outside the innermost one visible.
LRESULT CALLBACK SkinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETOBJECT: {
      // Drawing only: nothing for a screen reader to name or visit.
      AccessibleFacts facts;
      facts.name = L"";
      facts.invisible = true;
      facts.noChildren = true;
      if (LRESULT answer = AnswerGetObject(hwnd, wParam, lParam, facts)) return answer;
      break;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      ControlWindow* view = ViewOf(hwnd);
      if (view && view->control.Skin()) {
        const ButtonSkin& skin = *view->control.Skin();
        for (std::size_t i = 0; i < skin.rings.size(); ++i) {
          const int inset = static_cast<int>(i);
          HRGN ring = CreateRoundRectRgn(inset, inset, skin.width - inset, skin.height - inset,
                                         skin.corner, skin.corner);
          HBRUSH brush = CreateSolidBrush(skin.rings[i]);  // &HBBGGRR is a COLORREF
          FillRgn(dc, ring, brush);
          DeleteObject(brush);
          DeleteObject(ring);
        }
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A skinned button: for screen readers a push button without children (its ring window is
// drawing), and its focus drawn just inside the rings, which cover the place where the button
// draws it itself.
LRESULT CALLBACK SkinnedButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR data) {
  switch (message) {
    case WM_GETOBJECT: {
      AccessibleFacts facts;
      facts.role = ROLE_SYSTEM_PUSHBUTTON;
      facts.noChildren = true;
      if (LRESULT answer = AnswerGetObject(hwnd, wParam, lParam, facts)) return answer;
      break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return result;
    }
    case WM_PAINT: {
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      const auto* view = reinterpret_cast<const ControlWindow*>(data);
      if (GetFocus() == hwnd && view && view->control.Skin()) {
        RECT face;
        GetClientRect(hwnd, &face);
        const int inset = static_cast<int>(view->control.Skin()->rings.size()) + 1;
        InflateRect(&face, -inset, -inset);
        HDC dc = GetDC(hwnd);
        DrawFocusRect(dc, &face);
        ReleaseDC(hwnd, dc);
      }
      return result;
    }
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// Hands the region to the window; the system owns it from then on. A region the window did not
// take is deleted here, so none is left without an owner.
void GiveRegion(HWND hwnd, HRGN region) {
  if (!region) return;
  if (!SetWindowRgn(hwnd, region, TRUE)) DeleteObject(region);
}

}  // namespace

void RegisterSkinClass(HINSTANCE instance) {
  RegisterControlClass(instance, &SkinProc, kSkinClass);
}

WindowSpec ButtonSpec() {
  return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, false};
}

void OnButtonCommand(Control& button, WORD code) {
  if (code == BN_CLICKED) button.RaiseClick();
}

HWND ApplyButtonSkin(HWND button, HWND ring, ControlWindow& view, const ButtonSkin& skin) {
  if (skin.rings.empty()) return ring;
  const int w = skin.width;
  const int h = skin.height;
  const int c = skin.corner;
  // The button's own face paints around its children, not over the rings.
  SetWindowLongPtrW(button, GWL_STYLE, GetWindowLongPtrW(button, GWL_STYLE) | WS_CLIPCHILDREN);
  GiveRegion(button, CreateRoundRectRgn(0, 0, w, h, c, c));
  if (!ring) {
    const std::wstring name = L"Pic_" + std::to_wstring(reinterpret_cast<UINT_PTR>(button));
    ring = CreateWindowExW(0, kSkinClass, name.c_str(), WS_CHILD | WS_DISABLED, 0, 0, w, h, button,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!ring) return nullptr;
    SetWindowLongPtrW(ring, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&view));
    SetWindowSubclass(button, &SkinnedButtonProc, 1, reinterpret_cast<DWORD_PTR>(&view));
  }
  SetWindowPos(ring, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  // Everything outside the innermost rounded rectangle: a large rectangle exclusive-or the
  // innermost ring.
  const int last = static_cast<int>(skin.rings.size()) - 1;
  HRGN rings = CreateRoundRectRgn(last, last, w - last, h - last, c, c);
  HRGN all = CreateRectRgn(0, 0, 2 * w, 2 * h);
  if (rings && all) CombineRgn(rings, all, rings, RGN_XOR);
  if (all) DeleteObject(all);
  GiveRegion(ring, rings);
  ShowWindow(ring, SW_SHOWNA);
  return ring;
}

}  // namespace revivix::win32
