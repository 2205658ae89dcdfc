// revivix-startup-bench.exe RUNS PROGRAM... : the start-up benchmark. It starts each program in
// turn (alternating, so that a change of load on the machine falls on all of them alike), RUNS
// times each after one unmeasured warm-up round, and measures from just before CreateProcessW to
// the moment a visible top-level window of the new process exists. Each started process is
// ended as soon as its window is seen. The window is looked for on the process's first thread.
// Prints every run and, per program, the median, the lowest and the highest time:
//   RUN <index> <program> <ms>
//   MEDIAN <program> <median ms> <lowest ms> <highest ms>
// and REVIVIX-BENCH FAIL with the reason when a program did not show a window in time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kWindowTimeoutMs = 30000;

// A visible top-level window of the thread, which both programs create their window on.
BOOL CALLBACK FindVisible(HWND hwnd, LPARAM param) {
  if (GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow() && IsWindowVisible(hwnd)) {
    *reinterpret_cast<bool*>(param) = true;
    return FALSE;
  }
  return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

std::wstring FolderOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// Starts the program, waits for its first visible top-level window and ends it. Returns the
// milliseconds from the start to the window, or a negative number when none appeared.
double TimeToWindow(const std::wstring& program) {
  std::wstring commandLine = L"\"" + program + L"\"";
  const std::wstring folder = FolderOf(program);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info))
    return -1;
  double ms = -1;
  const DWORD begun = GetTickCount();
  for (;;) {
    // Only the windows of the new process's first thread are looked at: that keeps each look
    // cheap, so the polling takes little of the CPU the started program needs.
    bool found = false;
    EnumThreadWindows(info.dwThreadId, &FindVisible, reinterpret_cast<LPARAM>(&found));
    if (found) {
      LARGE_INTEGER seen;
      QueryPerformanceCounter(&seen);
      ms = Milliseconds(start, seen);
      break;
    }
    // A process that ended without a window, or a window that never came, ends the run.
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) break;
    if (GetTickCount() - begun > kWindowTimeoutMs) break;
    // Polling once a millisecond keeps the error below one millisecond without taking the CPU
    // the started program needs.
    Sleep(1);
  }
  TerminateProcess(info.hProcess, 0);
  WaitForSingleObject(info.hProcess, 10000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return ms;
}

std::string Narrow(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), n, nullptr, nullptr);
  result.resize(result.size() - 1);
  return result;
}

std::string NameOf(const std::wstring& program) {
  const auto slash = program.find_last_of(L"\\/");
  return Narrow(slash == std::wstring::npos ? program : program.substr(slash + 1));
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) {
    std::fprintf(stderr, "usage: revivix-startup-bench RUNS PROGRAM...\n");
    return 2;
  }
  const int runs = _wtoi(argv[1]);
  std::vector<std::wstring> programs(argv + 2, argv + argc);
  std::vector<std::vector<double>> times(programs.size());
  for (int round = 0; round <= runs; ++round) {
    for (std::size_t p = 0; p < programs.size(); ++p) {
      const double ms = TimeToWindow(programs[p]);
      if (ms < 0) {
        std::printf("REVIVIX-BENCH FAIL %s showed no window within %lu ms\n",
                    NameOf(programs[p]).c_str(), kWindowTimeoutMs);
        return 1;
      }
      if (round == 0) continue;  // the warm-up round fills the caches for every program alike
      std::printf("RUN %d %s %.1f\n", round, NameOf(programs[p]).c_str(), ms);
      std::fflush(stdout);
      times[p].push_back(ms);
    }
  }
  for (std::size_t p = 0; p < programs.size(); ++p) {
    std::vector<double>& t = times[p];
    std::sort(t.begin(), t.end());
    const std::size_t n = t.size();
    const double median = n % 2 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2;
    std::printf("MEDIAN %s %.1f %.1f %.1f\n", NameOf(programs[p]).c_str(), median, t.front(),
                t.back());
  }
  return 0;
}
