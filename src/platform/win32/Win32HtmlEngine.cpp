#include "platform/win32/Win32HtmlEngine.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>

#include "detection/HtmlCharset.h"
#include "detection/HtmlText.h"
#include "platform/win32/DetachedThread.h"
#include "platform/win32/SystemLibraries.h"
#include "platform/win32/WinInetFlags.h"

namespace revivix::win32 {

namespace {

// WinINet's functions under their own names, loaded at the first fetch; each fails as the
// function does when the library cannot be loaded. Declared here, they hide the system's
// declarations in the rest of this file.
BOOL InternetCloseHandle(HINTERNET handle) {
  return CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetCloseHandle), FALSE, handle);
}
BOOL InternetSetOptionW(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length) {
  return CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetSetOptionW), FALSE, handle, option, buffer,
                length);
}
HINTERNET InternetOpenW(LPCWSTR agent, DWORD access, LPCWSTR proxy, LPCWSTR bypass, DWORD flags) {
  return CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetOpenW), HINTERNET{}, agent, access, proxy,
                bypass, flags);
}
HINTERNET InternetOpenUrlW(HINTERNET session, LPCWSTR url, LPCWSTR headers, DWORD length,
                           DWORD flags, DWORD_PTR context) {
  return CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetOpenUrlW), HINTERNET{}, session, url,
                headers, length, flags, context);
}
BOOL InternetReadFile(HINTERNET request, LPVOID buffer, DWORD wanted, LPDWORD read) {
  return CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetReadFile), FALSE, request, buffer, wanted,
                read);
}
BOOL HttpQueryInfoW(HINTERNET request, DWORD level, LPVOID buffer, LPDWORD length, LPDWORD index) {
  return CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, HttpQueryInfoW), FALSE, request, level, buffer,
                length, index);
}

// What the worker and the document share. The worker holds it as long as it runs, so a
// document destroyed during the fetch leaves the worker nothing dangling.
struct Fetch {
  Fetch() : completed(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Fetch() {
    if (completed) CloseHandle(completed);
  }
  Fetch(const Fetch&) = delete;
  Fetch& operator=(const Fetch&) = delete;

  // The document is gone, or the fetch has been ended by its overall limit: the worker stops at
  // its next step and completes nothing.
  bool Abandoned() {
    std::lock_guard<std::mutex> lock(mutex);
    return abandoned || complete;
  }

  std::mutex mutex;
  HANDLE completed;  // signalled once `complete` is set
  bool complete = false;
  bool abandoned = false;  // the document is gone: the worker stops at its next step
  std::wstring text;
  std::wstring html;
  FetchFacts facts;  // set with the completion: the worker's, or the overall limit's
};

// The worker's WinINet handle, closed by the worker when it is done. Only the worker uses and
// closes its handles: WinINet gives a closed handle's value to the next one opened at once, so a
// handle closed by another thread could reach another fetch. A document dropped during a call
// that blocks lets the call end by the connect and receive limits.
struct InternetHandle {
  explicit InternetHandle(HINTERNET h) : handle(h) {}
  ~InternetHandle() {
    if (handle) InternetCloseHandle(handle);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET handle;
};

std::string ContentTypeOf(HINTERNET request) {
  wchar_t buffer[512];
  DWORD size = sizeof buffer;
  DWORD index = 0;
  if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_TYPE, buffer, &size, &index)) return {};
  std::string type;
  for (DWORD i = 0; i < size / sizeof(wchar_t); ++i)
    type.push_back(buffer[i] < 0x80 ? static_cast<char>(buffer[i]) : '?');
  return type;
}

// The page's bytes and Content-Type, or false when the fetch failed, the server answered with
// an error status or the document was dropped. `facts` (the worker's own) says what came.
bool Download(Fetch& fetch, HINTERNET session, const std::wstring& url, std::string& bytes,
              std::string& contentType, FetchFacts& facts) {
  DWORD timeout = Win32HtmlEngine::kConnectTimeoutMs;
  InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
  timeout = Win32HtmlEngine::kReceiveTimeoutMs;
  InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionW(session, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionW(session, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);

  const InternetHandle request(
      InternetOpenUrlW(session, url.c_str(), nullptr, 0, kWinInetRequestFlags, 0));
  if (!request.handle) {
    facts.timedOut = GetLastError() == ERROR_INTERNET_TIMEOUT;
    return false;
  }
  if (fetch.Abandoned()) return false;
  DWORD status = 0;
  DWORD size = sizeof status;
  DWORD index = 0;
  // The final answer decides: WinINet has followed the redirects it follows (301, 302, 303, 307)
  // and this is the status of the last answer. Only a success is the page; an error after a
  // redirect, or a redirect left unfollowed (a 308), is a failed fetch.
  const bool answered =
      HttpQueryInfoW(request.handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                     &size, &index) != FALSE;
  facts.httpStatus = answered ? static_cast<std::int32_t>(status) : 0;
  if (!answered || status < 200 || status > 299) return false;
  contentType = ContentTypeOf(request.handle);
  char buffer[64 * 1024];
  while (bytes.size() < Win32HtmlEngine::kMaxPageBytes) {
    if (fetch.Abandoned()) return false;
    const DWORD wanted = static_cast<DWORD>(
        std::min<std::size_t>(sizeof buffer, Win32HtmlEngine::kMaxPageBytes - bytes.size()));
    DWORD read = 0;
    if (!InternetReadFile(request.handle, buffer, wanted, &read)) {
      facts.timedOut = GetLastError() == ERROR_INTERNET_TIMEOUT;
      facts.bytes = bytes.size();
      return false;
    }
    if (read == 0) break;
    bytes.append(buffer, read);
  }
  return true;
}

// Ends the fetch with `html` and `text` (both empty for a failed one) and wakes the waits.
// Called with the mutex held.
void Complete(Fetch& fetch, std::wstring html, std::wstring text) {
  fetch.html = std::move(html);
  fetch.text = std::move(text);
  fetch.complete = true;
  if (fetch.completed) SetEvent(fetch.completed);
}

void FetchAndRender(Fetch& fetch, const std::wstring& url,
                    const Win32HtmlEngine::Renderer& render) {
  std::string bytes, contentType;
  FetchFacts facts;
  bool ok = false;
  {
    const InternetHandle session(
        InternetOpenW(L"Revivix", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (session.handle && !fetch.Abandoned())
      ok = Download(fetch, session.handle, url, bytes, contentType, facts);
    if (ok) facts.bytes = bytes.size();
  }
  // A dropped document is not rendered.
  if (fetch.Abandoned()) return;
  std::wstring html, text;
  if (ok) {
    html = DecodeHtmlBytes(bytes, contentType);
    text = render(html);
  }
  std::lock_guard<std::mutex> lock(fetch.mutex);
  if (fetch.complete) return;
  fetch.facts = facts;
  Complete(fetch, std::move(html), std::move(text));
}

// The overall limit of a fetch: a server that sends a byte now and then keeps every read within
// its timeout, so the fetch as a whole ends `limitMs` after its request, as a failed fetch does.
// Only the worker touches its handles: it sees the completion at its next step (a call that
// blocks ends by the read limit) and stops there.
void RunDeadline(std::shared_ptr<Fetch> fetch, DWORD limitMs) {
  if (WaitForSingleObject(fetch->completed, limitMs) != WAIT_TIMEOUT) return;
  std::lock_guard<std::mutex> lock(fetch->mutex);
  if (fetch->complete || fetch->abandoned) return;
  fetch->facts.timedOut = true;
  Complete(*fetch, {}, {});
}

void RunFetch(std::shared_ptr<Fetch> fetch, std::wstring url, Win32HtmlEngine::Renderer render) {
  try {
    FetchAndRender(*fetch, url, render);
  } catch (...) {
    // An exception must not end the process from this thread: the fetch failed.
    std::lock_guard<std::mutex> lock(fetch->mutex);
    if (!fetch->complete) Complete(*fetch, {}, {});
  }
}

class Win32HtmlDocument : public HtmlDocument {
 public:
  Win32HtmlDocument(const std::wstring& url, const Win32HtmlEngine::Renderer& render, DWORD limitMs)
      : fetch_(std::make_shared<Fetch>()) {
    std::shared_ptr<Fetch> fetch = fetch_;
    if (!StartDetachedThread([fetch, url, render] { RunFetch(fetch, url, render); })) {
      Complete(*fetch_, {}, {});  // no thread for the fetch: a failed fetch
      return;
    }
    // Without a thread for the limit the per-read timeouts still bound every read.
    StartDetachedThread([fetch, limitMs] { RunDeadline(fetch, limitMs); });
  }

  ~Win32HtmlDocument() override {
    std::lock_guard<std::mutex> lock(fetch_->mutex);
    fetch_->abandoned = true;
    // Lets the limit's thread go at once.
    if (fetch_->completed) SetEvent(fetch_->completed);
  }

  std::wstring ReadyState() override {
    std::lock_guard<std::mutex> lock(fetch_->mutex);
    return fetch_->complete ? L"complete" : L"loading";
  }

  std::wstring OuterText() override {
    std::lock_guard<std::mutex> lock(fetch_->mutex);
    return fetch_->complete ? fetch_->text : std::wstring();
  }

  std::wstring OuterHtml() override {
    std::lock_guard<std::mutex> lock(fetch_->mutex);
    return fetch_->complete ? fetch_->html : std::wstring();
  }

  std::uintptr_t CompletionSignal() override {
    return reinterpret_cast<std::uintptr_t>(fetch_->completed);
  }

  FetchFacts Facts() override {
    std::lock_guard<std::mutex> lock(fetch_->mutex);
    return fetch_->complete ? fetch_->facts : FetchFacts{};
  }

 private:
  std::shared_ptr<Fetch> fetch_;
};

}  // namespace

Win32HtmlEngine::Win32HtmlEngine() : render_(&RenderInnerText) {}

Win32HtmlEngine::Win32HtmlEngine(Renderer render) : render_(std::move(render)) {}

std::unique_ptr<HtmlDocument> Win32HtmlEngine::CreateDocumentFromUrl(const std::wstring& url) {
  return std::make_unique<Win32HtmlDocument>(url, render_, overallLimitMs_);
}

}  // namespace revivix::win32
