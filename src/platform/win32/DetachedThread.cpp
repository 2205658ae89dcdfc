#include "platform/win32/DetachedThread.h"

#include <windows.h>

#include <memory>

namespace revivix::win32 {

namespace {

DWORD WINAPI RunWork(void* parameter) {
  const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  try {
    (*work)();
  } catch (...) {
    // Nothing may leave a thread's routine: the work has failed and its thread ends.
  }
  return 0;
}

}  // namespace

bool StartDetachedThread(std::function<void()> work) {
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  HANDLE thread = CreateThread(nullptr, 0, &RunWork, owned.get(), 0, nullptr);
  if (!thread) return false;  // `owned` still holds the work and destroys it
  owned.release();            // the thread's now
  CloseHandle(thread);
  return true;
}

}  // namespace revivix::win32
