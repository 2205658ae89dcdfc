#include "platform/win32/Win32HtmlEngine.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "detection/HtmlCharset.h"
#include "detection/HtmlText.h"
#include "platform/win32/SystemLibraries.h"

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

  std::mutex mutex;
  HANDLE completed;  // signalled once `complete` is set
  bool complete = false;
  bool abandoned = false;       // the document is gone: the worker only cleans up
  HINTERNET session = nullptr;  // open handles, closed by whichever side is done first
  HINTERNET request = nullptr;
  std::wstring text;
  std::wstring html;
  FetchFacts facts;  // written by the worker before it completes the fetch
};

// Closes the request and the session. Closing them from the wizard's thread makes a blocked
// WinINet call on the worker return with an error. Called with the mutex held.
void CloseHandles(Fetch& fetch) {
  if (fetch.request) {
    InternetCloseHandle(fetch.request);
    fetch.request = nullptr;
  }
  if (fetch.session) {
    InternetCloseHandle(fetch.session);
    fetch.session = nullptr;
  }
}

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

// The page's bytes and Content-Type, or false when the fetch failed or the server answered
// with an error status.
bool Download(Fetch& fetch, HINTERNET session, const std::wstring& url, std::string& bytes,
              std::string& contentType) {
  DWORD timeout = Win32HtmlEngine::kConnectTimeoutMs;
  InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
  timeout = Win32HtmlEngine::kReceiveTimeoutMs;
  InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionW(session, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionW(session, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);

  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                      INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
  HINTERNET request = InternetOpenUrlW(session, url.c_str(), nullptr, 0, flags, 0);
  if (!request) {
    fetch.facts.timedOut = GetLastError() == ERROR_INTERNET_TIMEOUT;
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(fetch.mutex);
    if (fetch.abandoned) {
      InternetCloseHandle(request);
      return false;
    }
    fetch.request = request;
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  DWORD index = 0;
  if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      &index) ||
      status >= 400) {
    fetch.facts.httpStatus = static_cast<std::int32_t>(status);
    return false;
  }
  fetch.facts.httpStatus = static_cast<std::int32_t>(status);
  contentType = ContentTypeOf(request);
  char buffer[64 * 1024];
  while (bytes.size() < Win32HtmlEngine::kMaxPageBytes) {
    const DWORD wanted = static_cast<DWORD>(
        std::min<std::size_t>(sizeof buffer, Win32HtmlEngine::kMaxPageBytes - bytes.size()));
    DWORD read = 0;
    if (!InternetReadFile(request, buffer, wanted, &read)) {
      fetch.facts.timedOut = GetLastError() == ERROR_INTERNET_TIMEOUT;
      fetch.facts.bytes = bytes.size();
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
  bool ok = false;
  if (HINTERNET session =
          InternetOpenW(L"Revivix", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)) {
    bool abandoned;
    {
      std::lock_guard<std::mutex> lock(fetch.mutex);
      abandoned = fetch.abandoned;
      if (abandoned)
        InternetCloseHandle(session);
      else
        fetch.session = session;
    }
    if (!abandoned) ok = Download(fetch, session, url, bytes, contentType);
    if (ok) fetch.facts.bytes = bytes.size();
    std::lock_guard<std::mutex> lock(fetch.mutex);
    CloseHandles(fetch);
    if (fetch.abandoned) return;
  }
  std::wstring html, text;
  if (ok) {
    html = DecodeHtmlBytes(bytes, contentType);
    text = render(html);
  }
  std::lock_guard<std::mutex> lock(fetch.mutex);
  Complete(fetch, std::move(html), std::move(text));
}

void RunFetch(std::shared_ptr<Fetch> fetch, std::wstring url, Win32HtmlEngine::Renderer render) {
  try {
    FetchAndRender(*fetch, url, render);
  } catch (...) {
    // An exception must not end the process from this thread: the fetch failed.
    std::lock_guard<std::mutex> lock(fetch->mutex);
    CloseHandles(*fetch);
    Complete(*fetch, {}, {});
  }
}

class Win32HtmlDocument : public HtmlDocument {
 public:
  Win32HtmlDocument(const std::wstring& url, const Win32HtmlEngine::Renderer& render)
      : fetch_(std::make_shared<Fetch>()) {
    try {
      std::thread(RunFetch, fetch_, url, render).detach();
    } catch (const std::system_error&) {
      Complete(*fetch_, {}, {});  // no thread for the fetch: a failed fetch
    }
  }

  ~Win32HtmlDocument() override {
    std::lock_guard<std::mutex> lock(fetch_->mutex);
    fetch_->abandoned = true;
    CloseHandles(*fetch_);
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
  return std::make_unique<Win32HtmlDocument>(url, render_);
}

}  // namespace revivix::win32
