// A simulated upgrade-type firmware updater. Its main window is titled
// "Fernclip 300 Firmware UPGRADE" and shows an "UPGRADE" button, the introduction "This program
// will upgrade your player's firmware." (after a short delay) and a status control of its own
// class: other programs read its creation text "Firmware upgrade completed!" as its caption,
// while WM_GETTEXT answers its live status, which ends as "Firmware upgrade completed!" or
// "Firmware upgrade failed!". After "UPGRADE" it asks "Warning!" questions with "&Yes"; WM_CLOSE
// ends it. The scenario comes from the program's own file name: "fail", "lowbattery" (the
// question is the low-battery warning), "secondwarning" (a second question after the first),
// "slowstart" (the window appears after two seconds), "bothbuttons" ("&Format Data Area" and
// "&Start" too, with the "Option" question; "&Start" runs the upgrade), "hang" (stops answering
// inside its "UPGRADE" handler). Everything that happens to it goes to its path + ".log".
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "UpdaterCommon.h"

namespace {

enum : int { kUpgrade = 101, kFormat, kStart, kWarningYes = 201, kOptionYes, kOptionNo };
constexpr UINT_PTR kIntroTimer = 1;
constexpr UINT_PTR kRunTimer = 2;
constexpr UINT_PTR kSecondWarningTimer = 3;

updater::Scenario g_scenario;
HWND g_intro = nullptr;
HWND g_status = nullptr;
HWND g_warning = nullptr;
updater::OptionQuestion g_option(kOptionYes, kOptionNo);
int g_warningsShown = 0;
bool g_upgrading = false;
std::string g_live = "Ready";  // the status control's live text

LRESULT CALLBACK StatusProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    // The live status is answered here; the creation text stays stored with the window.
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(g_live.size());
    case WM_GETTEXT: {
      if (wParam == 0) return 0;
      const std::size_t n = std::min<std::size_t>(g_live.size(), wParam - 1);
      if (IsWindowUnicode(hwnd)) {
        auto* out = reinterpret_cast<wchar_t*>(lParam);
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(g_live[i]);
        out[n] = L'\0';
      } else {
        std::memcpy(reinterpret_cast<char*>(lParam), g_live.data(), n);
        reinterpret_cast<char*>(lParam)[n] = '\0';
      }
      return static_cast<LRESULT>(n);
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(dc, &r, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
      DrawTextA(dc, g_live.c_str(), static_cast<int>(g_live.size()), &r,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void SetStatus(const std::string& text) {
  g_live = text;
  InvalidateRect(g_status, nullptr, TRUE);
}

void StartRun(HWND main) {
  if (g_upgrading) return;
  g_upgrading = true;
  SetStatus("Upgrading...");
  updater::Log("run started");
  SetTimer(main, kRunTimer, 2000, nullptr);
}

void ShowWarning(HWND main) {
  ++g_warningsShown;
  const wchar_t* text =
      g_scenario.lowBattery && g_warningsShown == 1
          ? L"Your battery levels are too low. Please charge your player before the upgrade."
      : g_warningsShown == 1 ? L"Do not disconnect your player during the upgrade. Continue?"
                             : L"The upgrade erases the player's settings. Continue?";
  g_warning = updater::OpenQuestion(main, L"Warning!", text, {{L"&Yes", kWarningYes}});
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      if (HIWORD(wParam) != BN_CLICKED) break;
      switch (LOWORD(wParam)) {
        case kUpgrade:
          if (g_scenario.hang) updater::Hang();
          if (g_warningsShown == 0 && !g_upgrading) ShowWarning(hwnd);
          return 0;
        case kWarningYes:
          updater::Log("dialog Warning! answered &Yes");
          if (g_warning && IsWindow(g_warning)) DestroyWindow(g_warning);
          g_warning = nullptr;
          if (g_scenario.secondWarning && g_warningsShown == 1)
            SetTimer(hwnd, kSecondWarningTimer, 300, nullptr);
          else
            StartRun(hwnd);
          return 0;
        case kFormat:
          g_option.Open(hwnd);
          return 0;
        case kOptionYes:
        case kOptionNo:
          g_option.Answer(LOWORD(wParam));
          return 0;
        case kStart:
          StartRun(hwnd);
          return 0;
        default:
          return 0;
      }
    }
    case WM_TIMER:
      KillTimer(hwnd, wParam);
      if (wParam == kIntroTimer) {
        SetWindowTextW(g_intro, L"This program will upgrade your player's firmware.");
        updater::Log("intro shown");
      } else if (wParam == kSecondWarningTimer) {
        ShowWarning(hwnd);
      } else if (wParam == kRunTimer) {
        SetStatus(g_scenario.fail ? "Firmware upgrade failed!" : "Firmware upgrade completed!");
        updater::Log("result " + g_live);
      }
      return 0;
    default:
      break;
  }
  return updater::DefaultMainProc(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  g_scenario = updater::Start(instance, "upgrade");
  updater::RegisterWindowClass(instance, L"RevivixUpgradeStatus", &StatusProc, COLOR_WINDOW);
  HWND main = updater::CreateMainWindow(instance, L"RevivixUpgradeUpdater", &MainProc,
                                        L"Fernclip 300 Firmware UPGRADE", 120, 120);
  g_intro = updater::AddStatic(main, L"", 12, 12, 420, 20);
  g_status =
      CreateWindowExW(WS_EX_CLIENTEDGE, L"RevivixUpgradeStatus", L"Firmware upgrade completed!",
                      WS_CHILD | WS_VISIBLE, 12, 40, 420, 24, main, nullptr, instance, nullptr);
  updater::AddButton(main, L"UPGRADE", kUpgrade, 12, 110, 120, 30);
  if (g_scenario.bothButtons) {
    updater::AddButton(main, L"&Format Data Area", kFormat, 142, 110, 150, 30);
    updater::AddButton(main, L"&Start", kStart, 302, 110, 100, 30);
  }
  SetTimer(main, kIntroTimer, 800, nullptr);
  return updater::Run(main);
}
