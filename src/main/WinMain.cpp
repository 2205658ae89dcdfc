// fernclip.exe: builds the Win32 ports, the wizard's form and its windows, and runs the message
// loop until the main window is gone.
#include <windows.h>

#include <commctrl.h>

#include "app/Lifecycle.h"
#include "app/Program.h"
#include "app/frmMain.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Views.h"
#include "resource.h"

using namespace revivix;
using namespace revivix::win32;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  // The platform outlives the form: the form's timers let go of its loop when they end.
  Win32Platform platform;
  Program program(platform.AsPorts());
  frmMain form(program);

  Initialise(form);

  HBITMAP banner = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  int exitCode = 0;
  {
    FormViews views(form, platform.loop, platform.window, banner);
    // The window starts with every frame part; the load takes away the maximize box and the
    // sizing border.
    HWND main = views.Create(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                             WS_MAXIMIZEBOX | WS_THICKFRAME);
    if (!main) return 1;
    // Accept and Exit share their place on the license page; Accept stays reachable above Exit.
    views.BringToTop(form.Cmd_I_Agree);

    FormLoad(form);
    ShowWindow(main, showCommand == SW_HIDE ? SW_SHOW : showCommand);
    UpdateWindow(main);
    SetForegroundWindow(main);

    MSG msg{};
    BOOL got = 1;
    // The loop also ends once the wizard has unloaded: a quit request made while a nested loop
    // ran (Exit pressed during a download, whose transfer pumps messages of its own) can be
    // taken by that loop and never reach this one.
    while (!form.Unloaded() && (got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
      if (got == -1) break;
      if (views.PreTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (got != -1 && !form.Unloaded()) exitCode = static_cast<int>(msg.wParam);
  }
  if (banner) DeleteObject(banner);
  return exitCode;
}
