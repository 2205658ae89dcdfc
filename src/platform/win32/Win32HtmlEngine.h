// The HTML engine of the Windows program: each document fetches its address with WinINet on a
// worker thread and renders the page with the core's renderer there too; the wizard's thread
// only looks at the ready state and, once it reads "complete", at the finished texts.
// Each connect and read has its timeout (30 s each), and the whole fetch an overall limit of 60 s
// from its request, past which the document completes empty. A failed fetch, or a final HTTP
// status other than a success (2xx, after the redirects WinINet follows), completes as an empty
// document; a page is read up to 8 MiB and cut
// there. Destroying a document whose fetch is still running aborts the fetch without waiting.
// Whatever fails on the worker (a failed allocation on a huge page, say) completes the document
// empty, as a failed fetch does: an exception never leaves the worker. Each document signals an
// event of its own when it completes, which the wizard's waits sleep on.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/HtmlEngine.h"

namespace revivix::win32 {

class Win32HtmlEngine : public HtmlEngine {
 public:
  static constexpr unsigned long kConnectTimeoutMs = 30000;
  static constexpr unsigned long kReceiveTimeoutMs = 30000;
  static constexpr std::size_t kMaxPageBytes = 8u * 1024 * 1024;
  static constexpr unsigned long kOverallLimitMs = 60000;

  // Turns a page's decoded markup into its rendered text on the worker.
  using Renderer = std::function<std::wstring(const std::wstring& html)>;

  // Renders with the core's renderer.
  Win32HtmlEngine();
  explicit Win32HtmlEngine(Renderer render);

  std::unique_ptr<HtmlDocument> CreateDocumentFromUrl(const std::wstring& url) override;

  // The overall limit of the documents created from now on (kOverallLimitMs unless set).
  void SetOverallLimitMs(unsigned long limitMs) { overallLimitMs_ = limitMs; }

 private:
  Renderer render_;
  unsigned long overallLimitMs_ = kOverallLimitMs;
};

}  // namespace revivix::win32
