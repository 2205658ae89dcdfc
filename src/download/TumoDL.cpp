#include "download/TumoDL.h"

#include <exception>

namespace revivix {

std::wstring StatusMessage(std::int32_t code) {
  switch (static_cast<std::uint32_t>(code)) {
    case 0x800C0002u:
      return L"Invalid URL.";
    case 0x800C0003u:
      return L"No Session.";
    case 0x800C0004u:
      return L"Cannot Connect";
    case 0x800C0005u:
      return L"Resource Not Found.";
    case 0x800C0006u:
      return L"File Not Found.";
    case 0x800C0007u:
      return L"Data Not Available.";
    case 0x800C0008u:
      return L"Download Failure.";
    case 0x800C0009u:
      return L"Authentication Failure.";
    case 0x800C000Au:
      return L"No Valid Media.";
    case 0x800C000Bu:
      return L"Connection Timeout.";
    case 0x800C000Cu:
      return L"Invalid Request.";
    case 0x800C000Du:
      return L"Unknown Protocol.";
    case 0x800C000Eu:
      return L"Security Problem.";
    case 0x800C000Fu:
      return L"Cannot Load Data.";
    case 0x800C0010u:
      return L"Cannot Instantiate Object.";
    case 0x800C0011u:
      return L"Default Action.";
    case 0x800C0013u:
      return L"QueryOption Unknown.";
    case 0x800C0014u:
      return L"Redirect Failed.";
    case 0x800C0015u:
      return L"Redirect To Dir.";
    case 0x800C0016u:
      return L"Cannot Lock Request.";
    case 0x800C0100u:
      return L"Code Download Declined.";
    case 0x800C0200u:
      return L"Result Dispatched.";
    case 0x800C0300u:
      return L"Cannot Replace SFP File.";
    default:
      return L"Unknown.";
  }
}

std::optional<bool> TumoDL::StartTheStinkinDownLoad(std::wstring File2DownLoad,
                                                    std::wstring File2Save) {
  if (ActiveBinding || starting_) return std::nullopt;
  starting_ = true;
  killed_ = false;
  largestProgressMax_ = 0;
  bytesReceived_ = 0;
  std::int32_t result = kDownloadFailure;
  try {
    result = service_.DownloadToFile(File2DownLoad, File2Save, *this);
  } catch (...) {
    starting_ = false;
    ActiveBinding.reset();
    throw;
  }
  starting_ = false;
  lastStatus_ = result;
  // The service has stopped the binding by now; a service that ended without saying so leaves
  // the object idle all the same.
  ActiveBinding.reset();
  return result == kDownloadOk;
}

void TumoDL::KillTumo() {
  // A failure to stop (nothing running, a binding that is already gone) is passed over: the
  // event and the return to idle happen in every case.
  try {
    if (ActiveBinding) ActiveBinding->Abort();
  } catch (const std::exception&) {
  }
  if (ActiveBinding) killed_ = true;
  if (TumoDLCancelled) TumoDLCancelled();
  ActiveBinding.reset();
}

std::int32_t TumoDL::DeleteTumoCache(std::wstring& Filename) {
  return service_.DeleteCacheEntry(Filename);
}

void TumoDL::OnStartBinding(std::shared_ptr<UrlBinding> binding) {
  ActiveBinding = std::move(binding);
  if (TumoDLStart) TumoDLStart();
}

std::uint64_t TumoDL::AnnouncedLength() const {
  return largestProgressMax_ != 0 ? largestProgressMax_ : service_.LastAnnouncedLength();
}

void TumoDL::OnProgress(std::uint32_t progress, std::uint32_t progressMax, std::uint32_t) {
  if (progressMax > largestProgressMax_) largestProgressMax_ = progressMax;
  if (progress > bytesReceived_) bytesReceived_ = progress;
  if (progressMax > 0 && TumoDLProg)
    TumoDLProg(static_cast<std::int32_t>(progress), static_cast<std::int32_t>(progressMax));
  // The download blocks the user-interface thread: the window repaints and its buttons and
  // timers work only because pending events run here.
  loop_.DoEvents();
}

void TumoDL::OnStopBinding(std::int32_t result) {
  if (result == kDownloadOk) {
    if (TumoDLDone) TumoDLDone();
  } else if (TumoDLCrash) {
    std::wstring message = StatusMessage(result);
    bool cancelled = ActiveBinding == nullptr && killed_;
    TumoDLCrash(result, message, cancelled);
  }
  ActiveBinding.reset();
}

}  // namespace revivix
