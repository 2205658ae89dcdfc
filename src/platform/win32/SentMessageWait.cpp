#include "platform/win32/SentMessageWait.h"

namespace revivix::win32 {

bool WaitAnsweringSends(HANDLE handle, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    const DWORD woke =
        MsgWaitForMultipleObjectsEx(1, &handle, static_cast<DWORD>(end - now), QS_SENDMESSAGE, 0);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    // Peeking answers the sent messages; it removes nothing from the queue.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace revivix::win32
