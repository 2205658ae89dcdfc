// The thread that makes the wizard's sends, started late: held up in its start longer than the
// send's limit (by a library whose thread-attach routine sleeps, as a loaded machine or a held
// loader lock would hold it). The send gives no answer in time, is still made once the thread
// runs, and the window's thread is not taken for a stuck one afterwards.
//   argument: revivix-slow-attach.dll
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "TestSupport.h"
#include "driver/Paths.h"
#include "platform/win32/Win32Desktop.h"

namespace revivix::win32 {
namespace {

constexpr UINT kProbe = WM_APP + 7;
constexpr LRESULT kAnswer = 42;
std::atomic<int> g_probes{0};

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProbe) {
    ++g_probes;
    return kAnswer;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A window on a thread of its own that answers at once, as an updater's window does.
class AnsweringWindow {
 public:
  AnsweringWindow() : ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = ProbeProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"RevivixSenderProbe";
      RegisterClassW(&wc);
      threadId_ = GetCurrentThreadId();
      hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"probe", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, wc.hInstance, nullptr);
      SetEvent(ready_);
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    });
    WaitForSingleObject(ready_, 10000);
  }
  ~AnsweringWindow() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(ready_);
  }
  AnsweringWindow(const AnsweringWindow&) = delete;
  AnsweringWindow& operator=(const AnsweringWindow&) = delete;
  WindowHandle Handle() const { return reinterpret_cast<WindowHandle>(hwnd_); }

 private:
  HANDLE ready_;
  std::thread thread_;
  DWORD threadId_ = 0;
  HWND hwnd_ = nullptr;
};

bool WaitFor(int probes, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (g_probes < probes && GetTickCount64() < end) Sleep(20);
  return g_probes >= probes;
}

TEST(Win32DesktopSender, ASenderThatStartsLateStillSendsAndLeavesNoStuckThread) {
  const std::string library = wintest::Argument(0);
  ASSERT_FALSE(library.empty()) << "the path of revivix-slow-attach.dll is the first argument";
  HMODULE slow = LoadLibraryW(driver::WindowsPath(library).c_str());
  ASSERT_NE(slow, nullptr) << "LoadLibraryW failed: " << GetLastError();
  using SetDelay = void (*)(LONG);
  const auto setDelay = reinterpret_cast<SetDelay>(
      reinterpret_cast<void*>(GetProcAddress(slow, "SetThreadStartDelay")));
  ASSERT_NE(setDelay, nullptr);

  AnsweringWindow window;
  ASSERT_NE(window.Handle(), 0u);
  Win32Desktop desktop;
  // The sender's thread starts 1.5 s late; the wizard waits 100 ms and the grace.
  setDelay(1500);
  const auto first = desktop.SendMessageTimeoutA(window.Handle(), kProbe, 0, 0, SMTO_NORMAL, 100);
  setDelay(0);
  EXPECT_FALSE(first.has_value()) << "the send was answered before its thread could run";
  EXPECT_TRUE(WaitFor(1, 5000)) << "the late sender never made the send";

  // The late send is done a moment after the window counted it (its answer has to reach the
  // sender first); until then the window's thread is rightly taken for a busy one, and a send to
  // it is refused without reaching it. Once done, the next send must go through.
  std::optional<std::intptr_t> second;
  const ULONGLONG end = GetTickCount64() + 3000;
  while (
      !(second = desktop.SendMessageTimeoutA(window.Handle(), kProbe, 0, 0, SMTO_NORMAL, 2000)) &&
      g_probes == 1 && GetTickCount64() < end)
    Sleep(20);
  ASSERT_TRUE(second.has_value()) << "the window's thread is still taken for a stuck one";
  EXPECT_EQ(*second, kAnswer);
  Sleep(200);
  EXPECT_EQ(g_probes, 2) << "each send reaches the window once";
}

}  // namespace
}  // namespace revivix::win32
