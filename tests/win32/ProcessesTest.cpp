// The processes contract: the snapshot lists the running programs, KillProcessByName ends the
// first other process whose name matches (never the caller itself), and the instance mutex tells
// a second copy that the first one runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "TestSupport.h"
#include "app/processt.h"
#include "common/Text.h"
#include "driver/Paths.h"
#include "platform/win32/Win32Processes.h"

namespace revivix::win32 {
namespace {

std::wstring UniqueMutexName(const wchar_t* what) {
  return std::wstring(L"Local\\RevivixProcessesTest.") + what + L"." +
         std::to_wstring(GetCurrentProcessId());
}

std::wstring OwnExePath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

bool Listed(Processes& processes, ProcessId id) {
  const auto snapshot = processes.Snapshot();
  return snapshot && std::any_of(snapshot->begin(), snapshot->end(),
                                 [id](const ProcessEntry& e) { return e.id == id; });
}

// The quoted path of revivix-sleeper.exe, the test's first argument; "" without it.
std::wstring SleeperCommandLine() {
  const std::string sleeper = wintest::Argument(0);
  return sleeper.empty() ? L"" : L"\"" + driver::WindowsPath(sleeper) + L"\"";
}

// Polls the snapshot until the process appears (a new process is listed once it has started).
bool WaitUntilListed(Processes& processes, ProcessId id) {
  for (int i = 0; i < 100; ++i) {
    if (Listed(processes, id)) return true;
    Sleep(50);
  }
  return false;
}

TEST(Win32Processes, SnapshotListsTheOwnProcessUnderItsExeName) {
  Win32Processes processes(UniqueMutexName(L"snapshot"));
  EXPECT_EQ(processes.OwnId(), GetCurrentProcessId());
  const auto snapshot = processes.Snapshot();
  ASSERT_TRUE(snapshot.has_value());
  const auto own = std::find_if(snapshot->begin(), snapshot->end(),
                                [&](const ProcessEntry& e) { return e.id == processes.OwnId(); });
  ASSERT_NE(own, snapshot->end());
  EXPECT_TRUE(EqualsNoCase(own->exeFile, driver::FileNameOf(OwnExePath()))) << ToUtf8(own->exeFile);
  EXPECT_GT(snapshot->size(), 1u) << "Wine's own services run beside the test";
}

TEST(Win32Processes, KillProcessByNameEndsTheSleeperWithExitCodeZero) {
  const std::wstring sleeper = SleeperCommandLine();
  ASSERT_FALSE(sleeper.empty()) << "the path of revivix-sleeper.exe is the first argument";
  Win32Processes processes(UniqueMutexName(L"kill"));
  wintest::Child child(sleeper);
  ASSERT_TRUE(child.Started()) << "CreateProcessW failed: " << GetLastError();
  ASSERT_TRUE(WaitUntilListed(processes, child.Id()));

  // The name is matched as a part of the exe name, in any letter case.
  KillProcessByName(processes, L"REVIVIX-sleeper");

  ASSERT_EQ(WaitForSingleObject(child.Handle(), 5000), WAIT_OBJECT_0) << "the sleeper still runs";
  DWORD exitCode = 12345;
  ASSERT_TRUE(GetExitCodeProcess(child.Handle(), &exitCode));
  EXPECT_EQ(exitCode, 0u) << "terminated with exit code 0, not its own end (7)";
}

TEST(Win32Processes, KillProcessByNameOfTheOwnExeEndsTheOtherCopyOnly) {
  Win32Processes processes(UniqueMutexName(L"own"));
  const std::wstring ownPath = OwnExePath();
  wintest::Child copy(L"\"" + ownPath + L"\" --idle");
  ASSERT_TRUE(copy.Started()) << "CreateProcessW failed: " << GetLastError();
  ASSERT_TRUE(WaitUntilListed(processes, copy.Id()));

  KillProcessByName(processes, driver::FileNameOf(ownPath));

  // The caller is still here (this line runs) and the other copy has ended.
  EXPECT_EQ(WaitForSingleObject(copy.Handle(), 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(Listed(processes, GetCurrentProcessId()));
}

TEST(Win32Processes, TerminateOfAProcessThatDoesNotExistFails) {
  Win32Processes processes(UniqueMutexName(L"none"));
  EXPECT_FALSE(processes.Terminate(0xFFFFFFF0u));
  EXPECT_FALSE(TerminateProcessOf(processes, 0, 0));
}

// The exit's wait for a closed updater: bounded while the process runs, at once when it has ended
// or never existed.
TEST(Win32Processes, WaitForExitIsBoundedAndTrueOnceTheProcessHasEnded) {
  const std::wstring sleeper = SleeperCommandLine();
  ASSERT_FALSE(sleeper.empty()) << "the path of revivix-sleeper.exe is the first argument";
  Win32Processes processes(UniqueMutexName(L"wait"));
  wintest::Child child(sleeper);
  ASSERT_TRUE(child.Started()) << "CreateProcessW failed: " << GetLastError();
  const DWORD before = GetTickCount();
  EXPECT_FALSE(processes.WaitForExit(child.Id(), 300));
  EXPECT_GE(GetTickCount() - before, 250u);
  ASSERT_TRUE(processes.Terminate(child.Id()));
  EXPECT_TRUE(processes.WaitForExit(child.Id(), 5000));
  EXPECT_TRUE(processes.WaitForExit(0xFFFFFFF0u, 5000));
}

// The exit's wait lets messages sent to the caller's windows through: a process that sends to
// every window while it ends (and waits for each answer) is not kept alive by the wait for it.
TEST(Win32Processes, WaitForExitAnswersWhatTheEndingProcessSendsToTheCallersWindows) {
  const std::wstring sleeper = SleeperCommandLine();
  ASSERT_FALSE(sleeper.empty()) << "the path of revivix-sleeper.exe is the first argument";
  Win32Processes processes(UniqueMutexName(L"broadcast"));
  HWND window = CreateWindowExW(0, L"STATIC", L"broadcast test", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  wintest::Child child(sleeper + L" broadcast");
  ASSERT_TRUE(child.Started()) << "CreateProcessW failed: " << GetLastError();
  EXPECT_TRUE(processes.WaitForExit(child.Id(), 3000))
      << "the process still waits for the caller's window";
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(child.Handle(), &code));
  EXPECT_EQ(code, 0u);
  DestroyWindow(window);
}

TEST(Win32Processes, OwnerOfAWindowIsTheProcessThatCreatedIt) {
  Win32Processes processes(UniqueMutexName(L"owner"));
  HWND window = CreateWindowExW(0, L"STATIC", L"owner test", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(processes.OwnerOfWindow(reinterpret_cast<WindowHandle>(window)), GetCurrentProcessId());
  DestroyWindow(window);
  EXPECT_EQ(processes.OwnerOfWindow(0), 0u);
}

TEST(Win32Processes, EnableDebugPrivilegeEnablesItInTheOwnToken) {
  Win32Processes processes(UniqueMutexName(L"privilege"));
  processes.EnableDebugPrivilege();
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  LUID debug{};
  ASSERT_TRUE(LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &debug));
  PRIVILEGE_SET set{};
  set.PrivilegeCount = 1;
  set.Control = PRIVILEGE_SET_ALL_NECESSARY;
  set.Privilege[0].Luid = debug;
  BOOL enabled = FALSE;
  ASSERT_TRUE(PrivilegeCheck(token, &set, &enabled));
  CloseHandle(token);
  EXPECT_TRUE(enabled);
}

TEST(Win32Processes, PreviousInstanceIsReportedToTheSecondCopyOnly) {
  const std::wstring name = UniqueMutexName(L"instance");
  {
    Win32Processes first(name);
    Win32Processes second(name);
    EXPECT_FALSE(first.PreviousInstanceRunning());
    EXPECT_TRUE(second.PreviousInstanceRunning());
  }
  // Once both have ended, a new copy is the first again.
  Win32Processes later(name);
  EXPECT_FALSE(later.PreviousInstanceRunning());
}

}  // namespace
}  // namespace revivix::win32
