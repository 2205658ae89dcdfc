// The HTML engine of the Windows program: each document fetches its address with WinINet on a
// worker thread and renders the page with the core's renderer there too; the wizard's thread
// only looks at the ready state and, once it reads "complete", at the finished texts.
// A fetch ends within the connect and receive timeouts (30 s each); a failed fetch or an HTTP
// status of 400 or more completes as an empty document; a page is read up to 8 MiB and cut
// there. Destroying a document whose fetch is still running aborts the fetch without waiting.
#pragma once

#include <cstddef>

#include "platform/HtmlEngine.h"

namespace revivix::win32 {

class Win32HtmlEngine : public HtmlEngine {
 public:
  static constexpr unsigned long kConnectTimeoutMs = 30000;
  static constexpr unsigned long kReceiveTimeoutMs = 30000;
  static constexpr std::size_t kMaxPageBytes = 8u * 1024 * 1024;

  std::unique_ptr<HtmlDocument> CreateDocumentFromUrl(const std::wstring& url) override;
};

}  // namespace revivix::win32
