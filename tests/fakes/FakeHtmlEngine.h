// An in-memory web site on the virtual clock: each address has a page (its rendered text and
// its markup) that completes a given number of virtual milliseconds after the document was
// created, or never. An unknown or failing address completes as an empty document, as the real
// engine does after a failed fetch.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fakes/FakeEventLoop.h"
#include "platform/HtmlEngine.h"

namespace revivix::test {

struct FakePage {
  std::wstring text;  // what the engine renders (innerText, CR LF line breaks)
  std::wstring html;  // the markup
  std::int64_t delayMs = 0;
  bool neverCompletes = false;
  bool fails = false;  // completes, but empty
  std::int32_t status = 200;  // the HTTP status of a page that does not fail; 0 for a failed one
  bool timesOut = false;      // a failed page whose server did not answer in time
};

class FakeHtmlEngine : public HtmlEngine {
 public:
  explicit FakeHtmlEngine(FakeEventLoop& loop) : loop_(loop) {}
  std::unique_ptr<HtmlDocument> CreateDocumentFromUrl(const std::wstring& url) override;

  std::map<std::wstring, FakePage> pages;  // by address
  std::vector<std::wstring> requests;      // every address asked for, in order

 private:
  FakeEventLoop& loop_;
};

}  // namespace revivix::test
