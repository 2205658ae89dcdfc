// TumoDL: downloads one address to one file through the download service and reports the
// transfer through its events. The wizard makes a new one for every download.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/EventLoop.h"
#include "platform/UrlDownload.h"

namespace revivix {

// The English text of a download status.
std::wstring StatusMessage(std::int32_t code);

class TumoDL : private BindStatusCallback {
 public:
  TumoDL(UrlDownload& service, EventLoop& loop) : service_(service), loop_(loop) {}
  TumoDL(const TumoDL&) = delete;
  TumoDL& operator=(const TumoDL&) = delete;

  // Events, in their declaration order.
  std::function<void()> TumoDLStart;
  std::function<void()> TumoDLDone;
  std::function<void(std::int32_t Code, std::wstring& Message, bool& Cancelled)> TumoDLCrash;
  std::function<void()> TumoDLCancelled;
  std::function<void(std::int32_t Progress, std::int32_t ProgressMax)> TumoDLProg;

  // Returns when the download has ended: true when it succeeded, false when it failed, and no
  // value at all (neither true nor false) when a download of this object is already running;
  // that second start raises no event and leaves the running download alone.
  std::optional<bool> StartTheStinkinDownLoad(std::wstring File2DownLoad, std::wstring File2Save);
  // Stops the running download. Raises TumoDLCancelled and leaves the object idle in every case,
  // also when nothing was running.
  void KillTumo();
  // Removes the cache entry of the address; nonzero on success.
  std::int32_t DeleteTumoCache(std::wstring& Filename);
  // The system's error code after a failed DeleteTumoCache.
  std::uint32_t LastError() { return service_.LastError(); }

  bool Running() const { return ActiveBinding != nullptr; }
  // The length the last download was announced with: the largest progress maximum it reported,
  // else the answer's Content-Length; 0 when neither gave one.
  std::uint64_t AnnouncedLength() const;

  // The last download's facts, for the repair log (the length it was announced with is
  // AnnouncedLength): the bytes the service reported received, and the service's final status.
  std::uint32_t BytesReceived() const { return bytesReceived_; }
  std::int32_t LastStatus() const { return lastStatus_; }

 private:
  void OnStartBinding(std::shared_ptr<UrlBinding> binding) override;
  void OnProgress(std::uint32_t progress, std::uint32_t progressMax,
                  std::uint32_t statusCode) override;
  void OnStopBinding(std::int32_t result) override;

  UrlDownload& service_;
  EventLoop& loop_;
  // The download in progress; empty while idle.
  std::shared_ptr<UrlBinding> ActiveBinding;
  // A start is in progress (set before the service reports its binding), so a second start
  // made from inside the first one's callbacks is refused too.
  bool starting_ = false;
  // KillTumo cleared the binding of the running download: its crash is a cancellation. A
  // download whose binding never started is not one.
  bool killed_ = false;
  std::uint32_t largestProgressMax_ = 0;
  std::uint32_t bytesReceived_ = 0;
  std::int32_t lastStatus_ = kDownloadOk;
};

}  // namespace revivix
