#include "detection/PageLog.h"

#include "app/RunLog.h"
#include "detection/HtmlDocumentWait.h"

namespace revivix {

LoggedPage LoadLoggedPage(frmMain& form, const std::wstring& url) {
  LoggedPage page;
  page.url = url;
  page.startedMs = form.program.log.Milliseconds();
  page.document = LoadHtmlDocument(form.program.ports.html, form.program.ports.loop, url,
                                   [&form] { return form.Quitting(); });
  return page;
}

bool PageArrived(LoggedPage& page) {
  if (!page.document || page.document->ReadyState() != L"complete") return false;
  const FetchFacts facts = page.document->Facts();
  return !facts.timedOut && facts.httpStatus > 0 && facts.httpStatus < 400;
}

void LogPage(frmMain& form, LoggedPage& page, const wchar_t* what, bool usable) {
  RunLog& log = form.program.log;
  if (!log.Started()) return;
  const std::uint64_t ms = log.Milliseconds() - page.startedMs;
  const bool complete = page.document && page.document->ReadyState() == L"complete";
  const FetchFacts facts = complete ? page.document->Facts() : FetchFacts{};
  const wchar_t* outcome = !complete            ? L"abandoned"
                           : facts.timedOut     ? L"timed out"
                           : !PageArrived(page) ? L"failed"
                           : usable             ? L"usable"
                                                : L"not usable";
  log.Write(logtag::kFetch, std::wstring(what) + L" " + LogAddress(page.url) + L": status " +
                                std::to_wstring(facts.httpStatus) + L", " +
                                std::to_wstring(facts.bytes) + L" bytes, " + std::to_wstring(ms) +
                                L" ms, " + outcome);
}

}  // namespace revivix
