// Loading a web page through the HTML engine: the document is created from the address and
// the user interface goes on processing its events until the document's ready state is exactly
// "complete". There is no time limit here; the engine itself bounds how long a fetch may take.
#pragma once

#include <memory>
#include <string>

#include "platform/EventLoop.h"
#include "platform/HtmlEngine.h"

namespace revivix {

inline std::unique_ptr<HtmlDocument> LoadHtmlDocument(HtmlEngine& engine, EventLoop& loop,
                                                      const std::wstring& url) {
  std::unique_ptr<HtmlDocument> document = engine.CreateDocumentFromUrl(url);
  while (document->ReadyState() != L"complete") loop.DoEvents();
  return document;
}

}  // namespace revivix
