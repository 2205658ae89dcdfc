// A scripted download service on the virtual clock. Each address has a transfer: the progress
// steps the service reports, how long each takes, and how it ends. A transfer that ends well
// writes its body to the target file; one that fails or is aborted writes nothing. An address
// without a script fails as an unreachable server does (no binding, no progress).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fakes/FakeEventLoop.h"
#include "platform/UrlDownload.h"

namespace revivix::test {

struct FakeTransfer {
  struct Step {
    std::uint32_t progress = 0;
    std::uint32_t progressMax = 0;  // 0: the server sent no length
    std::uint32_t statusCode = 5;   // the service's "downloading data" stage
  };
  std::vector<Step> steps;
  std::int32_t result = kDownloadOk;
  std::string body;         // the file's contents after a good end
  std::int64_t stepMs = 0;  // virtual time each step takes
  bool binds = true;        // false: the server cannot be reached; only the stop is reported
  bool writesFile = true;   // false: a good end that leaves no file behind
  std::uint64_t contentLength = 0;  // the answer's Content-Length, 0 for none

  // A transfer of `body` in `parts` equal steps, with or without the length.
  static FakeTransfer Of(std::string body, int parts, bool withLength = true);
};

class FakeUrlDownload : public UrlDownload {
 public:
  explicit FakeUrlDownload(FakeEventLoop& loop) : loop_(loop) {}
  std::int32_t DownloadToFile(const std::wstring& url, const std::wstring& file,
                              BindStatusCallback& callback) override;
  int DeleteCacheEntry(const std::wstring& url) override;
  std::uint32_t LastError() override { return lastError; }
  std::uint64_t LastAnnouncedLength() override { return lastContentLength; }

  std::map<std::wstring, FakeTransfer> transfers;  // by address

  struct Request {
    std::wstring url, file;
    bool cached = false;  // the address still had a cache entry when the download began
  };
  std::vector<Request> requests;                  // every download asked for, in order
  std::function<void(const Request&)> onRequest;  // runs as a download is asked for
  int aborts = 0;                                 // Abort calls on any binding
  int stepsReported = 0;                          // progress calls made, over all transfers
  std::vector<std::wstring> cacheEntries;         // addresses whose cache entry exists
  std::vector<std::wstring> deletedCacheEntries;
  std::uint32_t lastError = 0;
  std::uint64_t lastContentLength = 0;

 private:
  FakeEventLoop& loop_;
};

}  // namespace revivix::test
