// The progress bar VistaProg: a window class of our own that paints the bar's pieces.
#include "controls/VistaProg.h"
#include "platform/win32/ViewKinds.h"
#include "platform/win32/VistaProgPainter.h"

namespace revivix::win32 {

namespace {

LRESULT CALLBACK VistaProgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
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
