#include "platform/win32/Win32UrlDownload.h"

#include <urlmon.h>
#include <wininet.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/EventLoop.h"
#include "platform/win32/SystemLibraries.h"

namespace revivix::win32 {

namespace {

// What the transfer thread and the calling thread share. The transfer thread hands each of the
// core's callbacks to the calling thread and waits until it has run there; the calling thread
// runs them between its own events. Abort only raises a flag: the binding is the transfer
// thread's, and that thread stops it at its next callback.
struct Transfer {
  Transfer()
      : requested(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
        answered(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~Transfer() {
    if (requested) CloseHandle(requested);
    if (answered) CloseHandle(answered);
  }
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // On the transfer thread: runs `call` on the calling thread and returns once it has run, or at
  // once when the calling thread no longer waits for this transfer.
  void RunOnCaller(std::function<void()> call) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (abandoned) return;
      pending = std::move(call);
    }
    SetEvent(requested);
    WaitForSingleObject(answered, INFINITE);
  }

  // On the calling thread: runs the callback the transfer thread waits on, if there is one.
  void RunPending() {
    std::function<void()> call;
    {
      std::lock_guard<std::mutex> lock(mutex);
      call.swap(pending);
    }
    if (!call) return;
    try {
      call();
    } catch (...) {
      // The core's handlers must not throw into the service; the transfer thread goes on.
    }
    SetEvent(answered);
  }

  // On the calling thread: stops waiting for the transfer; a callback that comes later is
  // dropped, and one that waits now is let go.
  void Abandon() {
    std::lock_guard<std::mutex> lock(mutex);
    abandoned = true;
    if (pending) {
      pending = nullptr;
      SetEvent(answered);
    }
  }

  HANDLE requested;  // a callback waits, or the transfer has ended
  HANDLE answered;   // the calling thread has run the waiting callback
  std::mutex mutex;
  std::function<void()> pending;
  bool abandoned = false;
  std::atomic<bool> abortRequested{false};
  std::atomic<bool> finished{false};
  HRESULT result = E_FAIL;     // the service's, once `finished`
  bool stopDelivered = false;  // the core has had OnStopBinding (calling thread only)
};

// The running binding as the core sees it: Abort and nothing else.
class Binding : public UrlBinding {
 public:
  explicit Binding(std::shared_ptr<Transfer> transfer) : transfer_(std::move(transfer)) {}
  void Abort() override { transfer_->abortRequested = true; }

 private:
  std::shared_ptr<Transfer> transfer_;
};

// The callback handed to the service. A COM object on the heap, reference counted: the service
// may keep it a little longer than the download call lasts.
class StatusCallback final : public IBindStatusCallback,
                             public IHttpNegotiate,
                             public IHttpSecurity,
                             public IServiceProvider {
 public:
  StatusCallback(BindStatusCallback& core, std::shared_ptr<Transfer> transfer)
      : core_(&core), transfer_(std::move(transfer)) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
      *object = static_cast<IBindStatusCallback*>(this);
    } else if (IsEqualIID(riid, IID_IHttpNegotiate)) {
      *object = static_cast<IHttpNegotiate*>(this);
    } else if (IsEqualIID(riid, IID_IHttpSecurity) || IsEqualIID(riid, IID_IWindowForBindingUI)) {
      *object = static_cast<IHttpSecurity*>(this);
    } else if (IsEqualIID(riid, IID_IServiceProvider)) {
      *object = static_cast<IServiceProvider*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IBindStatusCallback
  HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding* binding) override {
    if (binding) {
      binding_ = binding;
      binding_->AddRef();
    }
    const bool bound = binding != nullptr;
    Forward([this, bound] {
      core_->OnStartBinding(bound ? std::make_shared<Binding>(transfer_) : nullptr);
    });
    AbortIfAsked();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override {
    if (priority) *priority = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                       LPCWSTR) override {
    ReadStatusFromBinding();
    ReadLengthFromBinding();
    if (refused_) {
      // An error page is on its way: stop it and tell the core nothing about its bytes.
      if (binding_ && !abortRequested_) {
        abortRequested_ = true;
        binding_->Abort();
      }
      return S_OK;
    }
    Forward([this, progress, progressMax, statusCode] {
      core_->OnProgress(progress, progressMax, statusCode);
    });
    return AbortIfAsked() ? E_ABORT : S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR) override {
    ReadStatusFromBinding();
    ReadLengthFromBinding();
    stopped_ = true;
    stopResult_ = Outcome(result);
    const std::int32_t stopResult = stopResult_;
    Forward([this, stopResult] {
      transfer_->stopDelivered = true;
      core_->OnStopBinding(stopResult);
    });
    ReleaseBinding();
    return S_OK;
  }
  // The updater always comes from the site: a fresh transfer that neither answers from the
  // Internet cache nor leaves an entry in it, so a file the maker replaced under the same name is
  // never handed back as an earlier run's copy.
  HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* bindFlags, BINDINFO*) override {
    if (bindFlags)
      *bindFlags |= BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

  // IHttpNegotiate
  HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR, LPCWSTR, DWORD,
                                                 LPWSTR* additionalHeaders) override {
    if (additionalHeaders) *additionalHeaders = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnResponse(DWORD status, LPCWSTR, LPCWSTR,
                                       LPWSTR* additionalRequestHeaders) override {
    if (additionalRequestHeaders) *additionalRequestHeaders = nullptr;
    negotiated_ = true;
    Record(status, Win32UrlDownload::StatusSource::Negotiation);
    return refused_ ? E_ABORT : S_OK;
  }

  // IServiceProvider: the service asks here for the objects that settle a problem of the
  // transfer (a certificate, a redirect) and for a window to show a dialog in.
  HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualGUID(service, IID_IHttpSecurity) && !IsEqualGUID(service, IID_IWindowForBindingUI))
      return E_NOINTERFACE;
    return QueryInterface(riid, object);
  }

  // IWindowForBindingUI: no window, so the service shows no dialog.
  HRESULT STDMETHODCALLTYPE GetWindow(REFGUID, HWND* window) override {
    if (!window) return E_INVALIDARG;
    *window = nullptr;
    return S_FALSE;
  }

  // IHttpSecurity: a certificate that does not verify (unknown authority, wrong name, expired,
  // revoked, unchecked) or a redirect from https to http ends the download, which then fails as a
  // failed download; nothing is ignored and nobody is asked. Only the move from http to https is
  // let through: the https server's certificate is checked on its own.
  HRESULT STDMETHODCALLTYPE OnSecurityProblem(DWORD problem) override {
    return problem == ERROR_INTERNET_HTTP_TO_HTTPS_ON_REDIR ? S_OK : E_ABORT;
  }

  // The result of the whole download: a refused status overrides whatever the service says.
  std::int32_t Outcome(HRESULT serviceResult) const {
    if (Refused()) return status_ == 404 || status_ == 410 ? kResourceNotFound : kDownloadFailure;
    return static_cast<std::int32_t>(serviceResult);
  }
  bool Stopped() const { return stopped_; }
  std::int32_t StopResult() const { return stopResult_; }
  // Refused: an answer that is not the file, or a redirect that led to no final answer.
  bool Refused() const { return refused_ || (stopped_ && unfinishedRedirect_); }
  DWORD Status() const { return status_; }
  std::uint64_t AnnouncedLength() const { return announced_; }
  Win32UrlDownload::StatusSource Source() const { return source_; }
  bool Negotiated() const { return negotiated_; }

  // On the transfer thread, once the service's call has returned and before the thread leaves
  // its apartment: the binding belongs to that apartment and is let go there, never on the
  // wizard's thread, which may hold the last reference to this callback.
  void ReleaseBinding() {
    if (binding_) {
      binding_->Release();
      binding_ = nullptr;
    }
  }

 private:
  ~StatusCallback() = default;

  // The final answer decides: a later status replaces an earlier one (a redirect's), and only a
  // success (2xx) is the file asked for. A redirect the service follows by itself (301, 302, 303,
  // 307) is not final yet; any other status (an error, a 308 the service does not follow) is
  // refused.
  void Record(DWORD status, Win32UrlDownload::StatusSource source) {
    status_ = status;
    if (source_ == Win32UrlDownload::StatusSource::None) source_ = source;
    const bool followed = status == 301 || status == 302 || status == 303 || status == 307;
    refused_ = !followed && (status < 200 || status > 299);
    unfinishedRedirect_ = followed;
  }

  // The status of the binding's request as it stands: after the redirects the service followed,
  // that of the final answer. Read whenever the service reports, as not every service negotiates.
  void ReadStatusFromBinding() {
    if (!binding_) return;
    IWinInetHttpInfo* info = nullptr;
    if (FAILED(binding_->QueryInterface(IID_IWinInetHttpInfo, reinterpret_cast<void**>(&info))) ||
        !info)
      return;
    DWORD status = 0;
    DWORD size = sizeof status;
    DWORD flags = 0;
    if (SUCCEEDED(info->QueryInfo(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                                  &flags, nullptr)) &&
        status != 0)
      Record(status, Win32UrlDownload::StatusSource::Binding);
    info->Release();
  }

  // The answer's Content-Length, where the service's progress does not give the length.
  void ReadLengthFromBinding() {
    if (!binding_) return;
    IWinInetHttpInfo* info = nullptr;
    if (FAILED(binding_->QueryInterface(IID_IWinInetHttpInfo, reinterpret_cast<void**>(&info))) ||
        !info)
      return;
    char text[32] = {};
    DWORD size = sizeof text - 1;
    DWORD flags = 0;
    if (SUCCEEDED(info->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, text, &size, &flags, nullptr))) {
      std::uint64_t length = 0;
      bool digits = size > 0;
      for (DWORD i = 0; i < size && text[i] != '\0'; ++i) {
        if (text[i] < '0' || text[i] > '9' || length > (~0ull - 9) / 10) {
          digits = false;
          break;
        }
        length = length * 10 + static_cast<std::uint64_t>(text[i] - '0');
      }
      if (digits && length != 0) announced_ = length;
    }
    info->Release();
  }

  // The core's handlers run on the calling thread, and must not throw into the service.
  void Forward(std::function<void()> call) { transfer_->RunOnCaller(std::move(call)); }

  // Stops the binding on this thread once the core has asked for it; true when it has.
  bool AbortIfAsked() {
    if (!transfer_->abortRequested || !binding_) return false;
    if (!abortRequested_) {
      abortRequested_ = true;
      binding_->Abort();
    }
    return true;
  }

  LONG references_ = 1;
  BindStatusCallback* core_;
  std::shared_ptr<Transfer> transfer_;
  IBinding* binding_ = nullptr;
  bool refused_ = false;
  bool unfinishedRedirect_ = false;
  std::uint64_t announced_ = 0;
  bool negotiated_ = false;
  bool abortRequested_ = false;
  bool stopped_ = false;
  std::int32_t stopResult_ = 0;
  DWORD status_ = 0;
  Win32UrlDownload::StatusSource source_ = Win32UrlDownload::StatusSource::None;
};

// Releases a COM reference at the end of a scope.
struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};

}  // namespace

namespace {

// What the transfer thread needs; it owns the job and holds one reference to `status`.
struct TransferJob {
  std::wstring url;
  std::wstring file;
  std::shared_ptr<Transfer> transfer;
  StatusCallback* status;
};

// The transfer thread: an apartment of its own and the service's blocking call.
DWORD WINAPI RunTransfer(void* parameter) {
  std::unique_ptr<TransferJob> job(static_cast<TransferJob*>(parameter));
  auto* joinApartment = REVIVIX_SYSTEM_FUNCTION(Ole32, CoInitializeEx);
  auto* leaveApartment = REVIVIX_SYSTEM_FUNCTION(Ole32, CoUninitialize);
  auto* download = REVIVIX_SYSTEM_FUNCTION(UrlMon, URLDownloadToFileW);
  const HRESULT com = joinApartment(nullptr, COINIT_APARTMENTTHREADED);
  job->transfer->result = download(nullptr, job->url.c_str(), job->file.c_str(), 0, job->status);
  job->status->ReleaseBinding();
  job->status->Release();
  if (SUCCEEDED(com)) leaveApartment();
  job->transfer->finished = true;
  SetEvent(job->transfer->requested);
  return 0;
}

}  // namespace

Win32UrlDownload::Win32UrlDownload(EventLoop* loop) : loop_(loop) {}

std::int32_t Win32UrlDownload::DownloadToFile(const std::wstring& url, const std::wstring& file,
                                              BindStatusCallback& callback) {
  // The wide entry: the file lands exactly at `file`. Through the ANSI entry a name or folder
  // with a character outside the ANSI code page would become a look-alike path ("\uFF3C" a
  // backslash, "\u00A5" one on a Japanese system) or another folder.
  if (!REVIVIX_SYSTEM_FUNCTION(Ole32, CoInitializeEx) ||
      !REVIVIX_SYSTEM_FUNCTION(Ole32, CoUninitialize) ||
      !REVIVIX_SYSTEM_FUNCTION(UrlMon, URLDownloadToFileW)) {
    // Without the service the download ends as one that failed before it bound.
    callback.OnStopBinding(static_cast<std::int32_t>(E_FAIL));
    return static_cast<std::int32_t>(E_FAIL);
  }
  // The service's call blocks until data comes, and under Wine it handles no message sent to the
  // window meanwhile. So it runs on a thread of its own, and this thread goes on with its events
  // (and runs the callbacks) until the transfer has ended: a server that stops sending leaves
  // the window answering, and Exit still works.
  auto transfer = std::make_shared<Transfer>();
  if (!transfer->requested || !transfer->answered) {
    callback.OnStopBinding(static_cast<std::int32_t>(E_FAIL));
    return static_cast<std::int32_t>(E_FAIL);
  }
  StatusCallback* status = new StatusCallback(callback, transfer);
  std::unique_ptr<IUnknown, Releaser> holder(static_cast<IBindStatusCallback*>(status));
  status->AddRef();  // the transfer thread's
  auto* job = new TransferJob{url, file, transfer, status};
  HANDLE thread = CreateThread(nullptr, 0, &RunTransfer, job, 0, nullptr);
  if (!thread) {
    status->Release();
    delete job;
    callback.OnStopBinding(static_cast<std::int32_t>(E_FAIL));
    return static_cast<std::int32_t>(E_FAIL);
  }
  ULONGLONG abortedAt = 0;
  while (!transfer->finished) {
    if (loop_)
      loop_->WaitForEvents(reinterpret_cast<std::uintptr_t>(transfer->requested));
    else
      WaitForSingleObject(transfer->requested, kAbortGraceMs);
    transfer->RunPending();
    if (!transfer->abortRequested || transfer->finished) continue;
    // A transfer thread stuck in the service gets no callback to stop at: once the core has
    // asked to stop, it has a short while, and is then left to end by itself. What it still
    // writes is the file of a stopped download, which the core does not use.
    if (abortedAt == 0) abortedAt = GetTickCount64();
    if (GetTickCount64() - abortedAt < kAbortGraceMs) continue;
    transfer->Abandon();
    CloseHandle(thread);
    lastSource_ = StatusSource::None;
    lastStatus_ = 0;
    lastNegotiated_ = false;
    lastServiceResult_ = kDownloadAborted;
    lastAnnounced_ = 0;
    if (!transfer->stopDelivered) callback.OnStopBinding(kDownloadAborted);
    return kDownloadAborted;
  }
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  const HRESULT result = transfer->result;
  lastSource_ = status->Source();
  lastStatus_ = status->Status();
  lastNegotiated_ = status->Negotiated();
  lastServiceResult_ = result;
  lastAnnounced_ = status->AnnouncedLength();
  if (status->Refused()) {
    // The service may have saved the error page all the same; it is not the file asked for.
    DeleteFileW(file.c_str());
    if (!status->Stopped()) callback.OnStopBinding(status->Outcome(result));
    return status->Outcome(result);
  }
  if (!status->Stopped()) {
    // A service that failed before it bound still ends the download for the core.
    callback.OnStopBinding(static_cast<std::int32_t>(result));
  }
  return static_cast<std::int32_t>(result);
}

int Win32UrlDownload::DeleteCacheEntry(const std::wstring& url) {
  auto* forget = REVIVIX_SYSTEM_FUNCTION(WinInet, DeleteUrlCacheEntryW);
  const BOOL ok = forget ? forget(url.c_str()) : FALSE;
  lastError_ = ok ? 0 : GetLastError();
  return ok ? 1 : 0;
}

}  // namespace revivix::win32
