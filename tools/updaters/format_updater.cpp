// A simulated format-type firmware updater. Its main window is titled
// "Fernclip 200 Firmware Updater" and shows "&Format Data Area", "&Start" and "&Close";
// "&Format Data Area" asks "Option" with "&Yes" and "&No"; "&Start" runs a visible progress for
// two seconds and then writes "COMPLETE" (or "FAIL") into an edit box, whose caption reads empty
// to other programs; "&Close" ends it. The scenario comes from the program's own file name:
// "fail", "slowstart" (the window appears after two seconds), "bothbuttons" (an "UPGRADE"
// button too), "hang" (stops answering inside its "&Start" handler), "slowclick" (takes four
// seconds inside its "&Start" handler, longer than a sender's time limit, and goes on offering
// "&Format Data Area" afterwards, as a real updater may). Everything that happens to it
// goes to its path + ".log".
#include <windows.h>

#include <commctrl.h>

#include "UpdaterCommon.h"

namespace {

enum : int { kFormat = 101, kStart, kClose, kUpgrade, kOptionYes = 201, kOptionNo };
constexpr UINT_PTR kProgressTimer = 1;
// The window goes this long after the first click on "&Close", so the further clicks that the
// wizard posts in a row still reach it and are logged, even when this thread handles the first
// one before the wizard has posted the next.
constexpr UINT_PTR kCloseTimer = 2;
constexpr UINT kCloseDelayMs = 500;
constexpr int kSteps = 20;  // 20 steps of 100 ms

updater::Scenario g_scenario;
HWND g_result = nullptr;
HWND g_progress = nullptr;
updater::OptionQuestion g_option(kOptionYes, kOptionNo);
int g_step = 0;
bool g_running = false;

void Finish(HWND main) {
  KillTimer(main, kProgressTimer);
  g_running = false;
  const wchar_t* result = g_scenario.fail ? L"FAIL" : L"COMPLETE";
  SetWindowTextW(g_result, result);
  updater::Log("result " + updater::Narrow(result));
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      if (HIWORD(wParam) != BN_CLICKED) break;
      switch (LOWORD(wParam)) {
        case kFormat:
          g_option.Open(hwnd);
          return 0;
        case kOptionYes:
        case kOptionNo:
          g_option.Answer(LOWORD(wParam));
          return 0;
        case kStart:
          if (g_scenario.hang) updater::Hang();
          if (g_scenario.slowClick) Sleep(4000);
          if (g_running) return 0;
          g_running = true;
          g_step = 0;
          SetWindowTextW(g_result, L"");
          SetTimer(hwnd, kProgressTimer, 100, nullptr);
          updater::Log("run started");
          return 0;
        case kClose:
          SetTimer(hwnd, kCloseTimer, kCloseDelayMs, nullptr);
          return 0;
        default:
          return 0;
      }
    }
    case WM_TIMER:
      if (wParam == kProgressTimer) {
        SendMessageW(g_progress, PBM_SETPOS, static_cast<WPARAM>(++g_step * 100 / kSteps), 0);
        if (g_step >= kSteps) Finish(hwnd);
      } else if (wParam == kCloseTimer) {
        KillTimer(hwnd, kCloseTimer);
        updater::Log("closed by &Close");
        DestroyWindow(hwnd);
      }
      return 0;
    default:
      break;
  }
  return updater::DefaultMainProc(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  g_scenario = updater::Start(instance, "format");
  HWND main = updater::CreateMainWindow(instance, L"RevivixFormatUpdater", &MainProc,
                                        L"Fernclip 200 Firmware Updater", 100, 100);
  // The order of creation is the order in which other programs list the controls: the result box
  // is the first control whose caption reads empty.
  updater::AddStatic(main, L"Choose the data area option, then press Start.", 12, 12, 420, 20);
  g_result = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_READONLY,
                             12, 40, 420, 24, main, nullptr, instance, nullptr);
  g_progress = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 12, 72, 420, 18,
                               main, nullptr, instance, nullptr);
  updater::AddButton(main, L"&Format Data Area", kFormat, 12, 110, 150, 30);
  updater::AddButton(main, L"&Start", kStart, 172, 110, 100, 30);
  updater::AddButton(main, L"&Close", kClose, 282, 110, 100, 30);
  if (g_scenario.bothButtons) updater::AddButton(main, L"UPGRADE", kUpgrade, 12, 150, 150, 30);
  return updater::Run(main);
}
