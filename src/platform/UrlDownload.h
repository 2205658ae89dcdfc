// The operating system's URL download service: one address copied to one local file, with the
// caller told about the transfer as it goes. The call returns once the transfer has ended; the
// callbacks arrive on the calling thread while it runs, and a service may handle the thread's
// other events meanwhile.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace revivix {

// Status codes of the download service (the URL-moniker codes, as 32-bit signed values).
inline constexpr std::int32_t kDownloadOk = 0;
inline constexpr std::int32_t kDownloadAborted = static_cast<std::int32_t>(0x80004004u);
inline constexpr std::int32_t kResourceNotFound = static_cast<std::int32_t>(0x800C0005u);
inline constexpr std::int32_t kDownloadFailure = static_cast<std::int32_t>(0x800C0008u);

// The running transfer; the only thing a caller may do with it is stop it.
class UrlBinding {
 public:
  virtual ~UrlBinding() = default;
  virtual void Abort() = 0;
};

// What the service tells the caller while a transfer runs.
class BindStatusCallback {
 public:
  virtual ~BindStatusCallback() = default;
  virtual void OnStartBinding(std::shared_ptr<UrlBinding> binding) = 0;
  // `progressMax` is 0 when the server sent no length. `statusCode` is the service's stage
  // (connecting, begin, data, end, ...).
  virtual void OnProgress(std::uint32_t progress, std::uint32_t progressMax,
                          std::uint32_t statusCode) = 0;
  // `result` is kDownloadOk, or the failure: an HTTP status of 400 or more is a failure
  // (kResourceNotFound for 404 and 410, kDownloadFailure otherwise) and leaves no file behind.
  virtual void OnStopBinding(std::int32_t result) = 0;
};

class UrlDownload {
 public:
  virtual ~UrlDownload() = default;
  // Copies `url` to `file`; returns kDownloadOk or the failure status.
  virtual std::int32_t DownloadToFile(const std::wstring& url, const std::wstring& file,
                                      BindStatusCallback& callback) = 0;
  // Removes the Internet-cache entry of `url`: nonzero on success, 0 on failure, after which
  // LastError() gives the system's error code.
  virtual int DeleteCacheEntry(const std::wstring& url) = 0;
  virtual std::uint32_t LastError() = 0;
  // The length the last transfer's answer announced (its Content-Length), 0 when it announced
  // none or the service cannot tell.
  virtual std::uint64_t LastAnnouncedLength() { return 0; }
};

}  // namespace revivix
