// A thread that runs one piece of work and ends by itself, made with CreateThread. The work is
// the thread's own once the thread exists and is destroyed by the caller only when none could be
// made, so the work's state can never be freed while the thread runs.
#pragma once

#include <functional>

namespace revivix::win32 {

// Starts `work` on a new thread of its own; false (and `work` destroyed here) when the system
// made no thread. Exceptions from `work` end its thread, not the process.
bool StartDetachedThread(std::function<void()> work);

}  // namespace revivix::win32
