#include "platform/win32/Win32UrlDownload.h"

#include <urlmon.h>
#include <wininet.h>

#include <exception>
#include <memory>
#include "platform/win32/SystemLibraries.h"

namespace revivix::win32 {

namespace {

// The running binding as the core sees it: Abort and nothing else.
class Binding : public UrlBinding {
 public:
  explicit Binding(IBinding* binding) : binding_(binding) { binding_->AddRef(); }
  ~Binding() override { binding_->Release(); }
  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;
  void Abort() override { binding_->Abort(); }

 private:
  IBinding* binding_;
};

// The callback handed to the service. A COM object on the heap, reference counted: the service
// may keep it a little longer than the download call lasts.
class StatusCallback final : public IBindStatusCallback, public IHttpNegotiate {
 public:
  explicit StatusCallback(BindStatusCallback& core) : core_(&core) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
      *object = static_cast<IBindStatusCallback*>(this);
    } else if (IsEqualIID(riid, IID_IHttpNegotiate)) {
      *object = static_cast<IHttpNegotiate*>(this);
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
    Forward([&] { core_->OnStartBinding(binding ? std::make_shared<Binding>(binding) : nullptr); });
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
    if (refused_) {
      // An error page is on its way: stop it and tell the core nothing about its bytes.
      if (binding_ && !abortRequested_) {
        abortRequested_ = true;
        binding_->Abort();
      }
      return S_OK;
    }
    Forward([&] { core_->OnProgress(progress, progressMax, statusCode); });
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR) override {
    ReadStatusFromBinding();
    stopped_ = true;
    stopResult_ = Outcome(result);
    Forward([&] { core_->OnStopBinding(stopResult_); });
    if (binding_) {
      binding_->Release();
      binding_ = nullptr;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD*, BINDINFO*) override { return S_OK; }
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

  // The result of the whole download: a refused status overrides whatever the service says.
  std::int32_t Outcome(HRESULT serviceResult) const {
    if (refused_) return status_ == 404 || status_ == 410 ? kResourceNotFound : kDownloadFailure;
    return static_cast<std::int32_t>(serviceResult);
  }
  bool Stopped() const { return stopped_; }
  std::int32_t StopResult() const { return stopResult_; }
  bool Refused() const { return refused_; }
  DWORD Status() const { return status_; }
  Win32UrlDownload::StatusSource Source() const { return source_; }
  bool Negotiated() const { return negotiated_; }

 private:
  ~StatusCallback() {
    if (binding_) binding_->Release();
  }

  void Record(DWORD status, Win32UrlDownload::StatusSource source) {
    if (source_ != Win32UrlDownload::StatusSource::None) return;
    status_ = status;
    source_ = source;
    refused_ = status >= 400;
  }

  // Where the service does not negotiate with us, the status is read from the binding once the
  // answer's headers are there.
  void ReadStatusFromBinding() {
    if (source_ != Win32UrlDownload::StatusSource::None || !binding_) return;
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

  // The core's handlers must not throw into the service.
  template <typename F>
  void Forward(F&& call) {
    try {
      call();
    } catch (const std::exception&) {
    }
  }

  LONG references_ = 1;
  BindStatusCallback* core_;
  IBinding* binding_ = nullptr;
  bool refused_ = false;
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

std::int32_t Win32UrlDownload::DownloadToFile(const std::wstring& url, const std::wstring& file,
                                              BindStatusCallback& callback) {
  // The wide entry: the file lands exactly at `file`. Through the ANSI entry a name or folder
  // with a character outside the ANSI code page would become a look-alike path ("\uFF3C" a
  // backslash, "\u00A5" one on a Japanese system) or another folder.
  // The service is a COM one; the thread joins an apartment for the call if it has none yet.
  auto* joinApartment = REVIVIX_SYSTEM_FUNCTION(Ole32, CoInitializeEx);
  auto* leaveApartment = REVIVIX_SYSTEM_FUNCTION(Ole32, CoUninitialize);
  auto* download = REVIVIX_SYSTEM_FUNCTION(UrlMon, URLDownloadToFileW);
  if (!joinApartment || !leaveApartment || !download) {
    // Without the service the download ends as one that failed before it bound.
    callback.OnStopBinding(static_cast<std::int32_t>(E_FAIL));
    return static_cast<std::int32_t>(E_FAIL);
  }
  const HRESULT com = joinApartment(nullptr, COINIT_APARTMENTTHREADED);
  struct ComScope {
    bool joined;
    decltype(::CoUninitialize)* leave;
    ~ComScope() {
      if (joined) leave();
    }
  } comScope{SUCCEEDED(com), leaveApartment};
  StatusCallback* status = new StatusCallback(callback);
  std::unique_ptr<IUnknown, Releaser> holder(static_cast<IBindStatusCallback*>(status));
  const HRESULT result = download(nullptr, url.c_str(), file.c_str(), 0, status);
  lastSource_ = status->Source();
  lastStatus_ = status->Status();
  lastNegotiated_ = status->Negotiated();
  lastServiceResult_ = result;
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
