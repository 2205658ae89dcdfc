#include "platform/win32/Win32ConnectionCheck.h"

#include <windows.h>

#include <wininet.h>

#include <memory>
#include <mutex>
#include <string>

#include "platform/win32/DetachedThread.h"
#include "platform/win32/SystemLibraries.h"
#include "platform/win32/WinInetFlags.h"

namespace revivix::win32 {

namespace {

BOOL CloseInternetHandle(HINTERNET handle) {
  return CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetCloseHandle), FALSE, handle);
}

// A WinINet handle of the request's thread, closed by that thread when it is done. Only the
// thread uses and closes its handles: WinINet gives a closed handle's value to the next one
// opened at once, so a handle closed by the caller could reach another request.
struct InternetHandle {
  explicit InternetHandle(HINTERNET h) : handle(h) {}
  ~InternetHandle() {
    if (handle) CloseInternetHandle(handle);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET handle;
};

// What the request's thread and the waiting caller share. The thread holds it as long as it
// runs, so a caller that stopped waiting leaves it nothing dangling.
struct SiteRequest {
  SiteRequest() : done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~SiteRequest() {
    if (done) CloseHandle(done);
  }
  SiteRequest(const SiteRequest&) = delete;
  SiteRequest& operator=(const SiteRequest&) = delete;

  bool Abandoned() {
    std::lock_guard<std::mutex> lock(mutex);
    return abandoned;
  }

  std::mutex mutex;
  HANDLE done;             // signalled once `answered` is final
  bool abandoned = false;  // the caller stopped waiting: the thread stops at its next step
  bool answered = false;
};

// One request for `url` as the page fetches make it; any HTTP status counts as an answer. A call
// that blocks after the caller has gone ends by WinINet's limits, set to the caller's.
bool Ask(SiteRequest& state, const std::wstring& url, DWORD limitMs) {
  const InternetHandle session(CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetOpenW), HINTERNET{},
                                      L"Revivix", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr,
                                      0));
  if (!session.handle || state.Abandoned()) return false;
  for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT})
    CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetSetOptionW), FALSE, session.handle, option,
           static_cast<LPVOID>(&limitMs), static_cast<DWORD>(sizeof limitMs));
  const InternetHandle request(CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetOpenUrlW),
                                      HINTERNET{}, session.handle, url.c_str(), nullptr, DWORD{0},
                                      kWinInetRequestFlags, DWORD_PTR{0}));
  if (!request.handle || state.Abandoned()) return false;
  DWORD status = 0;
  DWORD size = sizeof status;
  DWORD index = 0;
  return CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, HttpQueryInfoW), FALSE, request.handle,
                static_cast<DWORD>(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER),
                static_cast<LPVOID>(&status), &size, &index) &&
         status != 0;
}

void RunRequest(std::shared_ptr<SiteRequest> state, std::wstring url, DWORD limitMs) {
  bool answered = false;
  try {
    answered = Ask(*state, url, limitMs);
  } catch (...) {
    // Nothing may leave this thread: no answer.
  }
  std::lock_guard<std::mutex> lock(state->mutex);
  state->answered = answered;
  SetEvent(state->done);
}

}  // namespace

bool Win32ConnectionCheck::CanConnect(const std::wstring& url) {
  const int size = WideCharToMultiByte(CP_ACP, 0, url.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, url.c_str(), -1, ansi.data(), size, nullptr, nullptr);
  auto* check = REVIVIX_SYSTEM_FUNCTION(WinInet, InternetCheckConnectionA);
  return check && check(ansi.c_str(), FLAG_ICC_FORCE_CONNECTION, 0) != FALSE;
}

bool Win32ConnectionCheck::RequestAnswers(const std::wstring& url, int limitMs) {
  const DWORD limit = limitMs > 0 ? static_cast<DWORD>(limitMs) : 0;
  auto state = std::make_shared<SiteRequest>();
  if (!state->done) return false;
  if (!StartDetachedThread([state, url, limit] { RunRequest(state, url, limit); }))
    return false;  // no thread for the request: no answer
  // WinINet's own time limits do not cover every step (a name lookup, a proxy that accepts and
  // then says nothing): the wait has its own end, after which the request is abandoned.
  const bool finished = WaitForSingleObject(state->done, limit) == WAIT_OBJECT_0;
  std::lock_guard<std::mutex> lock(state->mutex);
  if (!finished) {
    state->abandoned = true;
    return false;
  }
  return state->answered;
}

}  // namespace revivix::win32
