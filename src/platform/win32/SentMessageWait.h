// A wait of the wizard's thread that keeps answering the messages other threads and programs
// send to its windows: a program that sends to the wizard while the wizard waits for it would
// otherwise wait for the wizard while the wizard waits for it.
#pragma once

#include <windows.h>

namespace revivix::win32 {

// Waits for `handle` at most `timeoutMs`, answering sent messages meanwhile; posted messages
// stay queued. True when the handle was signalled.
bool WaitAnsweringSends(HANDLE handle, DWORD timeoutMs);

}  // namespace revivix::win32
