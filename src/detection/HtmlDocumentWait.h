// Loading a web page through the HTML engine: the document is created from the address and
// the user interface goes on processing its events until the document's ready state is exactly
// "complete". The wait sleeps between events (EventLoop::WaitForEvents on the document's
// completion signal) instead of polling. There is no time limit here; the engine itself bounds
// how long a fetch may take. The wait also ends once `abandoned` says so (the wizard has quit):
// the caller then gets the unfinished document, whose destruction abandons the fetch.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/EventLoop.h"
#include "platform/HtmlEngine.h"

namespace revivix {

inline std::unique_ptr<HtmlDocument> LoadHtmlDocument(HtmlEngine& engine, EventLoop& loop,
                                                      const std::wstring& url,
                                                      const std::function<bool()>& abandoned) {
  std::unique_ptr<HtmlDocument> document = engine.CreateDocumentFromUrl(url);
  while (document->ReadyState() != L"complete" && !abandoned())
    loop.WaitForEvents(document->CompletionSignal());
  return document;
}

}  // namespace revivix
