#include "platform/win32/Win32ConnectionCheck.h"

#include <windows.h>

#include <wininet.h>

#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "platform/win32/SystemLibraries.h"
#include "platform/win32/WinInetFlags.h"

namespace revivix::win32 {

namespace {

BOOL CloseInternetHandle(HINTERNET handle) {
  return CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetCloseHandle), FALSE, handle);
}

// What the request's thread and the waiting caller share. The thread holds it as long as it
// runs, so a caller that stopped waiting leaves it nothing dangling.
struct SiteRequest {
  SiteRequest() : done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~SiteRequest() {
    if (done) CloseHandle(done);
  }
  SiteRequest(const SiteRequest&) = delete;
  SiteRequest& operator=(const SiteRequest&) = delete;

  // Closes the open handles; a blocked WinINet call on the request's thread then returns.
  // Called with the mutex held.
  void CloseHandles() {
    if (request) CloseInternetHandle(request);
    if (session) CloseInternetHandle(session);
    request = session = nullptr;
  }

  std::mutex mutex;
  HANDLE done;                  // signalled once `answered` is final
  bool abandoned = false;       // the caller stopped waiting: the thread only cleans up
  HINTERNET session = nullptr;  // open handles, closed by whichever side is done first
  HINTERNET request = nullptr;
  bool answered = false;
};

// Keeps `handle` in `field` unless the caller has gone; false (and the handle closed) then.
bool Keep(SiteRequest& state, HINTERNET& field, HINTERNET handle) {
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.abandoned) {
    CloseInternetHandle(handle);
    return false;
  }
  field = handle;
  return true;
}

// One request for `url` as the page fetches make it; any HTTP status counts as an answer.
bool Ask(SiteRequest& state, const std::wstring& url, DWORD limitMs) {
  HINTERNET session = CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetOpenW), HINTERNET{},
                             L"Revivix", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!session || !Keep(state, state.session, session)) return false;
  for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT})
    CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetSetOptionW), FALSE, session, option,
           static_cast<LPVOID>(&limitMs), static_cast<DWORD>(sizeof limitMs));
  HINTERNET request =
      CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetOpenUrlW), HINTERNET{}, session, url.c_str(),
             nullptr, DWORD{0}, kWinInetRequestFlags, DWORD_PTR{0});
  if (!request || !Keep(state, state.request, request)) return false;
  DWORD status = 0;
  DWORD size = sizeof status;
  DWORD index = 0;
  return CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, HttpQueryInfoW), FALSE, request,
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
  state->CloseHandles();
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
  try {
    std::thread(RunRequest, state, url, limit).detach();
  } catch (const std::system_error&) {
    return false;  // no thread for the request: no answer
  }
  // WinINet's own time limits do not cover every step (a name lookup, a proxy that accepts and
  // then says nothing): the wait has its own end, after which the request is abandoned.
  const bool finished = WaitForSingleObject(state->done, limit) == WAIT_OBJECT_0;
  std::lock_guard<std::mutex> lock(state->mutex);
  if (!finished) {
    state->abandoned = true;
    state->CloseHandles();
    return false;
  }
  return state->answered;
}

}  // namespace revivix::win32
