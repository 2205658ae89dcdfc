#include "fakes/FakeUrlDownload.h"

#include <algorithm>

#include "platform/FileSystem.h"

namespace revivix::test {

namespace {

class FakeBinding : public UrlBinding {
 public:
  explicit FakeBinding(int& aborts) : aborts_(aborts) {}
  void Abort() override {
    ++aborts_;
    aborted = true;
  }
  bool aborted = false;

 private:
  int& aborts_;
};

}  // namespace

FakeTransfer FakeTransfer::Of(std::string body, int parts, bool withLength) {
  FakeTransfer t;
  const auto size = static_cast<std::uint32_t>(body.size());
  for (int i = 1; i <= parts; ++i)
    t.steps.push_back({static_cast<std::uint32_t>(size * static_cast<std::uint64_t>(i) / parts),
                       withLength ? size : 0u, 5});
  t.body = std::move(body);
  return t;
}

std::int32_t FakeUrlDownload::DownloadToFile(const std::wstring& url, const std::wstring& file,
                                             BindStatusCallback& callback) {
  requests.push_back(
      {url, file, std::find(cacheEntries.begin(), cacheEntries.end(), url) != cacheEntries.end()});
  if (onRequest) onRequest(requests.back());
  const auto it = transfers.find(url);
  FakeTransfer transfer;
  if (it == transfers.end()) {
    transfer.binds = false;
    transfer.result = kDownloadFailure;
  } else {
    transfer = it->second;
  }
  lastContentLength = transfer.contentLength;
  if (!transfer.binds) {
    callback.OnStopBinding(transfer.result);
    return transfer.result;
  }
  auto binding = std::make_shared<FakeBinding>(aborts);
  callback.OnStartBinding(binding);
  for (const FakeTransfer::Step& step : transfer.steps) {
    if (binding->aborted) break;
    if (transfer.stepMs > 0) loop_.Advance(transfer.stepMs);
    ++stepsReported;
    callback.OnProgress(step.progress, step.progressMax, step.statusCode);
  }
  const std::int32_t result = binding->aborted ? kDownloadAborted : transfer.result;
  if (result == kDownloadOk && transfer.writesFile) {
    // Written the way the program writes its files: "\" between names, letter case ignored.
    StdFileSystem files;
    if (!files.WriteBytes(file,
                          std::vector<std::uint8_t>(transfer.body.begin(), transfer.body.end()))) {
      callback.OnStopBinding(kDownloadFailure);
      return kDownloadFailure;
    }
    cacheEntries.push_back(url);
  }
  callback.OnStopBinding(result);
  return result;
}

int FakeUrlDownload::DeleteCacheEntry(const std::wstring& url) {
  const auto it = std::find(cacheEntries.begin(), cacheEntries.end(), url);
  if (it == cacheEntries.end()) {
    lastError = 2;  // the system's "file not found"
    return 0;
  }
  cacheEntries.erase(it);
  deletedCacheEntries.push_back(url);
  return 1;
}

}  // namespace revivix::test
