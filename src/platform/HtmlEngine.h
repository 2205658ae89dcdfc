// The HTML engine: a document created from an address loads in the background while the
// wizard's user-interface thread polls its ready state and goes on processing events.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace revivix {

// What a fetch brought, for the repair log.
struct FetchFacts {
  std::int32_t httpStatus = 0;  // the final HTTP status; 0 when no answer came
  std::uint64_t bytes = 0;      // the page's bytes as received
  bool timedOut = false;        // the server did not answer within the fetch's time limits
};

class HtmlDocument {
 public:
  virtual ~HtmlDocument() = default;
  // "loading" while the page is on its way, "complete" once the fetch has ended either way (a
  // failed fetch completes as an empty document).
  virtual std::wstring ReadyState() = 0;
  // The rendered text of the document element, as a browser's innerText gives it, with CR LF
  // line breaks. Empty before the document is complete.
  virtual std::wstring OuterText() = 0;
  // The document's markup as received, decoded to text. Empty before the document is complete.
  virtual std::wstring OuterHtml() = 0;
  // A handle the engine signals once the document is complete, for EventLoop::WaitForEvents; 0
  // when the engine has none (the wait then looks again after its short while).
  virtual std::uintptr_t CompletionSignal() { return 0; }
  // The facts of the fetch once the document is complete; all unknown (0) before, and for an
  // engine that does not know them.
  virtual FetchFacts Facts() { return {}; }
};

class HtmlEngine {
 public:
  virtual ~HtmlEngine() = default;
  // A new document that starts loading `url` now.
  virtual std::unique_ptr<HtmlDocument> CreateDocumentFromUrl(const std::wstring& url) = 0;
};

}  // namespace revivix
