// The HTML engine of the Windows program: each document fetches its address with WinINet on a
// worker thread and renders the page with the core's renderer there too; the wizard's thread
// only looks at the ready state and, once it reads "complete", at the finished texts.
// A fetch ends within the connect and receive timeouts (30 s each); a failed fetch or an HTTP
// status of 400 or more completes as an empty document; a page is read up to 8 MiB and cut
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

  // Turns a page's decoded markup into its rendered text on the worker.
  using Renderer = std::function<std::wstring(const std::wstring& html)>;

  // Renders with the core's renderer.
  Win32HtmlEngine();
  explicit Win32HtmlEngine(Renderer render);

  std::unique_ptr<HtmlDocument> CreateDocumentFromUrl(const std::wstring& url) override;

 private:
  Renderer render_;
};

}  // namespace revivix::win32
