// The progress bar VistaProg: a window class of our own that paints the bar's pieces.
#include "controls/VistaProg.h"
#include "platform/win32/ViewKinds.h"

#include <commctrl.h>

#include "platform/win32/Accessibility.h"
#include "platform/win32/VistaProgPainter.h"

namespace revivix::win32 {

namespace {

const VistaProg* BarOf(HWND hwnd) {
  ControlWindow* view = ViewOf(hwnd);
  if (!view || view->control.Kind() != ControlKind::VistaProg) return nullptr;
  return &static_cast<const VistaProg&>(view->control);
}

LRESULT CALLBACK VistaProgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    // The bar answers as a progress bar does. Its fill runs from 0 to Max (Min only bounds the
    // value), so that is the range it gives: the percentage a reader computes is the one shown.
    case PBM_GETPOS:
      if (const VistaProg* bar = BarOf(hwnd)) return bar->Value();
      return 0;
    case PBM_GETRANGE:
      if (const VistaProg* bar = BarOf(hwnd)) {
        if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) {
          range->iLow = 0;
          range->iHigh = bar->Max();
        }
        return wParam ? 0 : bar->Max();
      }
      return 0;
    case WM_GETOBJECT:
      if (const VistaProg* bar = BarOf(hwnd)) {
        AccessibleFacts facts;
        facts.role = ROLE_SYSTEM_PROGRESSBAR;
        facts.value = PercentText(bar->Value(), bar->Max());
        if (LRESULT answer = AnswerGetObject(hwnd, wParam, lParam, facts)) return answer;
      }
      break;
    case WM_ERASEBKGND:
      return 1;  // the bar paints every pixel
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      ControlWindow* view = ViewOf(hwnd);
      if (view && view->control.Kind() == ControlKind::VistaProg) {
        RECT client;
        GetClientRect(hwnd, &client);
        const auto& bar = static_cast<const VistaProg&>(view->control);
        PaintBar(dc, client, bar.Pieces(), view->DpiX());
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

void RegisterVistaProgClass(HINSTANCE instance) {
  RegisterControlClass(instance, &VistaProgProc, kVistaProgClass);
}

WindowSpec VistaProgSpec() {
  return {kVistaProgClass, 0, 0, true};
}

}  // namespace revivix::win32
