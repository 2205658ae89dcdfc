// Frames: a window class of our own that draws the frame's background and, with a border, an
// etched line with the caption on its top edge. It passes its children's notifications on to its
// parent, so they reach the main window.
#include <string>

#include "platform/win32/Accessibility.h"
#include "platform/win32/ViewKinds.h"

namespace revivix::win32 {

namespace {

// The caption of a frame starts this far from the frame's left edge.
constexpr int kFrameCaptionIndent = 8;

void PaintFrame(HWND hwnd, HDC dc, ControlWindow& view) {
  RECT client;
  GetClientRect(hwnd, &client);
  HGDIOBJ oldFont = SelectObject(dc, view.Font());
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  RECT edge = client;
  edge.top += metrics.tmHeight / 2;
  DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
  const std::wstring& caption = view.control.Caption();
  if (!caption.empty()) {
    HBRUSH background = view.OnCtlColor(dc);  // also sets the text colours
    RECT text{kFrameCaptionIndent, 0, client.right - kFrameCaptionIndent, metrics.tmHeight};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_CALCRECT);
    InflateRect(&text, 2, 0);
    FillRect(dc, &text, background);
    InflateRect(&text, -2, 0);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE);
  }
  SelectObject(dc, oldFont);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(hwnd), message, wParam, lParam);
    case WM_GETOBJECT:
      // A screen reader finds a grouping named by the frame's caption.
      if (ControlWindow* view = ViewOf(hwnd)) {
        AccessibleFacts facts;
        facts.name = view->control.Caption();
        facts.role = ROLE_SYSTEM_GROUPING;
        if (LRESULT answer = AnswerGetObject(hwnd, wParam, lParam, facts)) return answer;
      }
      break;
    case WM_ERASEBKGND: {
      ControlWindow* view = ViewOf(hwnd);
      if (!view) break;
      RECT client;
      GetClientRect(hwnd, &client);
      HDC dc = reinterpret_cast<HDC>(wParam);
      FillRect(dc, &client, view->OnCtlColor(dc));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      ControlWindow* view = ViewOf(hwnd);
      if (view && view->control.Style().border) PaintFrame(hwnd, dc, *view);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

void RegisterFrameClass(HINSTANCE instance) {
  RegisterControlClass(instance, &FrameProc, kFrameClass);
}

WindowSpec FrameSpec() {
  return {kFrameClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, true};
}

}  // namespace revivix::win32
