#include "fakes/FakeHtmlEngine.h"

#include "common/Text.h"

namespace revivix::test {

namespace {

class FakeDocument : public HtmlDocument {
 public:
  FakeDocument(const FakeEventLoop& loop, FakePage page, std::int64_t createdAt)
      : loop_(loop), page_(std::move(page)), createdAt_(createdAt) {}

  std::wstring ReadyState() override { return Complete() ? L"complete" : L"loading"; }
  std::wstring OuterText() override { return Complete() && !page_.fails ? page_.text : L""; }
  std::wstring OuterHtml() override { return Complete() && !page_.fails ? page_.html : L""; }
  FetchFacts Facts() override {
    if (!Complete()) return {};
    if (page_.fails) return {0, 0, page_.timesOut};
    return {page_.status, ToUtf8(page_.html).size(), false};
  }

 private:
  bool Complete() const {
    return !page_.neverCompletes && loop_.Now() >= createdAt_ + page_.delayMs;
  }
  const FakeEventLoop& loop_;
  FakePage page_;
  std::int64_t createdAt_;
};

}  // namespace

std::unique_ptr<HtmlDocument> FakeHtmlEngine::CreateDocumentFromUrl(const std::wstring& url) {
  requests.push_back(url);
  const auto it = pages.find(url);
  FakePage page;
  if (it == pages.end())
    page.fails = true;
  else
    page = it->second;
  return std::make_unique<FakeDocument>(loop_, std::move(page), loop_.Now());
}

}  // namespace revivix::test
