// Benchmark (run under Wine, not a test): what the wizard's updater polling costs.
//   updater_poll_bench <format-updater.exe> <upgrade-updater.exe> tick
//       the cost of one Timer5 tick (the result watch on a format-type updater that has no
//       result yet) with 20 and with 200 other top-level windows above the updater's window,
//       and with 200 and no updater window at all
//   updater_poll_bench <format-updater.exe> <upgrade-updater.exe> poll <seconds> <windows>
//       the wizard's own CPU time while it polls an upgrade-type updater that shows the
//       low-battery warning (Timer5 every 20 ms and Timer7 every 100 ms, the heaviest steady
//       state), first idle for 10 s as a baseline; prints PHASE lines so that a script can
//       sample the wineserver's CPU time around each phase
//   updater_poll_bench --windows <n>
//       (helper) opens n top-level windows of another process and waits
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "AutomationRig.h"
#include "automation/BasWinHandler.h"
#include "automation/UpdaterAutomation.h"
#include "driver/Paths.h"

using namespace revivix;

namespace {

std::wstring OwnPath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

int OtherWindows(int count) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"RevivixBenchOther";
  RegisterClassExW(&wc);
  for (int i = 0; i < count; ++i) {
    const std::wstring title = L"Other window " + std::to_wstring(i + 1);
    HWND w = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             10 + i % 40, 10 + i % 30, 200, 120, nullptr, nullptr, wc.hInstance,
                             nullptr);
    CreateWindowExW(0, L"STATIC", L"Some text", WS_CHILD | WS_VISIBLE, 4, 4, 100, 20, w, nullptr,
                    wc.hInstance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 4, 30, 60, 24, w, nullptr,
                    wc.hInstance, nullptr);
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

// A started process, ended when the object goes.
struct Process {
  explicit Process(std::wstring commandLine) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    ok = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi) != FALSE;
  }
  ~Process() {
    if (!ok) return;
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  PROCESS_INFORMATION pi{};
  bool ok = false;
};

int TopLevelCount() {
  int n = 0;
  EnumWindows([](HWND, LPARAM p) -> BOOL { return ++*reinterpret_cast<int*>(p), TRUE; },
              reinterpret_cast<LPARAM>(&n));
  return n;
}

bool WaitForWindow(const wchar_t* title, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (FindWindowW(nullptr, title)) return true;
    Sleep(50);
  }
  return false;
}

// The other windows are opened after the updater, so they lie above it in the enumeration.
void WaitOthers(int expectedAtLeast) {
  for (int i = 0; i < 200 && TopLevelCount() < expectedAtLeast; ++i) Sleep(50);
}

double CpuSeconds() {
  FILETIME c, e, k, u;
  GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
  const auto t = [](FILETIME ft) {
    return (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  };
  return static_cast<double>(t(k) + t(u)) / 1e7;
}

std::wstring Copy(const std::string& source, const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring target = std::wstring(temp) + name;
  CopyFileW(driver::WindowsPath(source).c_str(), target.c_str(), FALSE);
  return target;
}

// Wall-clock and own-CPU microseconds per call of `step`, over `calls` calls.
template <typename Step>
void Measure(const char* what, int calls, Step step) {
  step();  // warm-up
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  const double cpu0 = CpuSeconds();
  QueryPerformanceCounter(&a);
  for (int i = 0; i < calls; ++i) step();
  QueryPerformanceCounter(&b);
  const double cpu = (CpuSeconds() - cpu0) * 1e6 / calls;
  const double wall = 1e6 * static_cast<double>(b.QuadPart - a.QuadPart) / f.QuadPart / calls;
  std::printf("  %-58s %9.1f us wall %9.1f us CPU\n", what, wall, cpu);
  std::fflush(stdout);
}

int TickBench(const std::string& formatUpdater) {
  const std::wstring exe = Copy(formatUpdater, L"Fernclip200-bench.exe");
  Process updater(L"\"" + exe + L"\" 0");
  if (!updater.ok || !WaitForWindow(L"Fernclip 200 Firmware Updater", 20000)) {
    std::printf("the format updater did not start\n");
    return 1;
  }
  HWND main = FindWindowW(nullptr, L"Fernclip 200 Firmware Updater");
  wintest::AutomationRig rig;
  rig.form.UpdaterTitle = L"FERNCLIP 200 FIRMWARE UPDATER";
  Program& program = rig.program;
  const int base = TopLevelCount();
  for (int others : {20, 200}) {
    Process windows(L"\"" + OwnPath() + L"\" --windows " + std::to_wstring(others));
    WaitOthers(base + others);
    const int calls = others == 20 ? 1000 : 300;
    std::printf("%d other windows (%d top-level windows in all)\n", others, TopLevelCount());
    // Before Timer4 has made it topmost, the updater's window lies below the others.
    SetWindowPos(main, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    SetWindowPos(main, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    Measure("Timer5 tick, updater window below the others", calls, [&] { Timer5_Timer(rig.form); });
    Measure("  EnumWindows alone (every window)", calls, [&] { TopLevelCount(); });
    Measure("  EnumWindows + GetWindowTextA of every window", calls, [&] {
      EnumWindows(
          [](HWND w, LPARAM) -> BOOL {
            char buffer[260];
            GetWindowTextA(w, buffer, 260);
            return TRUE;
          },
          0);
    });
    program.updaterWindows.SearchTitle = rig.form.UpdaterTitle;
    ScanUpdater(program);
    const WindowHandle result = program.updaterWindows.BlankText1;
    Measure("  ReadLiveText of the result box (two sent messages)", calls,
            [&] { ReadLiveText(program, result); });
    // Timer4's LocateUpdater makes the window topmost: the search then ends at once.
    rig.form.Timer4.SetEnabled(true);
    Timer4_Timer(rig.form);
    rig.form.Timer4.SetEnabled(false);
    rig.form.Timer9.SetEnabled(false);
    rig.RunUntil(300, [] { return false; });
    Measure("Timer5 tick, updater window topmost (after Timer4)", calls,
            [&] { Timer5_Timer(rig.form); });
    rig.form.UpdaterTitle = L"NO SUCH UPDATER";
    Measure("Timer5 tick, no updater window (search walks all)", calls,
            [&] { Timer5_Timer(rig.form); });
    rig.form.UpdaterTitle = L"FERNCLIP 200 FIRMWARE UPDATER";
  }
  DeleteFileW(exe.c_str());
  DeleteFileW((exe + L".log").c_str());
  return 0;
}

int PollBench(const std::string& upgradeUpdater, int seconds, int others) {
  const std::wstring exe = Copy(upgradeUpdater, L"Fernclip300-lowbattery-bench.exe");
  Process updater(L"\"" + exe + L"\" 0");
  if (!updater.ok || !WaitForWindow(L"Fernclip 300 Firmware UPGRADE", 20000)) {
    std::printf("the upgrade updater did not start\n");
    return 1;
  }
  const int base = TopLevelCount();
  Process windows(L"\"" + OwnPath() + L"\" --windows " + std::to_wstring(others));
  WaitOthers(base + others);
  wintest::AutomationRig rig;

  const auto phase = [&](const char* name, int secs) {
    std::printf("PHASE %s start\n", name);
    std::fflush(stdout);
    const double cpu0 = CpuSeconds();
    const ULONGLONG t0 = GetTickCount64();
    rig.RunUntil(static_cast<DWORD>(secs) * 1000, [] { return false; });
    const double wall = static_cast<double>(GetTickCount64() - t0) / 1000.0;
    const double cpu = CpuSeconds() - cpu0;
    std::printf("PHASE %s end\n", name);
    std::printf("%s: wizard process %.3f s CPU in %.1f s = %.2f %% of one core\n", name, cpu, wall,
                100.0 * cpu / wall);
    std::fflush(stdout);
  };
  phase("idle", 10);
  rig.StartWatching(L"FERNCLIP 300 FIRMWARE UPGRADE");
  // Until the low-battery warning stands and the wizard is in its steady polling.
  rig.RunUntil(20000, [&] { return FindWindowW(nullptr, L"Warning!") != nullptr; });
  rig.RunUntil(1000, [] { return false; });
  std::printf("polling: Timer5 %s, Timer7 %s, %d top-level windows\n",
              rig.form.Timer5.Enabled() ? "on" : "off", rig.form.Timer7.Enabled() ? "on" : "off",
              TopLevelCount());
  phase("poll", seconds);
  DeleteFileW((exe + L".log").c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--windows") return OtherWindows(std::atoi(argv[2]));
  if (argc >= 4 && std::string(argv[3]) == "tick") return TickBench(argv[1]);
  if (argc >= 6 && std::string(argv[3]) == "poll")
    return PollBench(argv[2], std::atoi(argv[4]), std::atoi(argv[5]));
  std::printf("usage: see the head of updater_poll_bench.cpp\n");
  return 2;
}
