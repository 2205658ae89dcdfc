#include "platform/win32/Win32HtmlEngine.h"

namespace revivix::win32 {

namespace {

// Placeholder until the fetching engine lands: every document completes empty, which the
// wizard treats as an unreachable page.
class EmptyDocument : public HtmlDocument {
 public:
  std::wstring ReadyState() override { return L"complete"; }
  std::wstring OuterText() override { return L""; }
  std::wstring OuterHtml() override { return L""; }
};

}  // namespace

std::unique_ptr<HtmlDocument> Win32HtmlEngine::CreateDocumentFromUrl(const std::wstring&) {
  return std::make_unique<EmptyDocument>();
}

}  // namespace revivix::win32
