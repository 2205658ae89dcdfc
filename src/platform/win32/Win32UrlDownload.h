// The download service on urlmon: URLDownloadToFileW with a bind-status callback of our own,
// which also answers the HTTP negotiation so that an error status fails the download instead of
// saving the server's error page as the file.
#pragma once

#include <windows.h>

#include "platform/EventLoop.h"
#include "platform/UrlDownload.h"

namespace revivix::win32 {

class Win32UrlDownload : public UrlDownload {
 public:
  // The transfer runs on a thread of its own; the calling thread waits in `loop`, handling its
  // events, and runs the callbacks. Without a loop it only waits (a thread without windows).
  explicit Win32UrlDownload(EventLoop* loop = nullptr);

  // How long a stopped download may take to end before it is left to end by itself.
  static constexpr DWORD kAbortGraceMs = 2000;

  std::int32_t DownloadToFile(const std::wstring& url, const std::wstring& file,
                              BindStatusCallback& callback) override;
  int DeleteCacheEntry(const std::wstring& url) override;
  std::uint32_t LastError() override { return lastError_; }
  std::uint64_t LastAnnouncedLength() override { return lastAnnounced_; }

  // How the last download learnt its HTTP status: through the negotiation callback the service
  // asked for, or read from the binding. 0 when no status was seen (no HTTP answer at all).
  enum class StatusSource { None, Negotiation, Binding };
  StatusSource LastStatusSource() const { return lastSource_; }
  DWORD LastHttpStatus() const { return lastStatus_; }
  // Whether the service asked the callback about the HTTP answer during the last download.
  bool LastNegotiated() const { return lastNegotiated_; }
  // What the service itself returned for the last download, before an error status overrode it.
  HRESULT LastServiceResult() const { return lastServiceResult_; }

 private:
  EventLoop* loop_;
  std::uint32_t lastError_ = 0;
  StatusSource lastSource_ = StatusSource::None;
  DWORD lastStatus_ = 0;
  bool lastNegotiated_ = false;
  HRESULT lastServiceResult_ = S_OK;
  std::uint64_t lastAnnounced_ = 0;
};

}  // namespace revivix::win32
