// The real HTML engine against the local maker site (started by the ctest fixture; its state
// folder is the first argument): pages arrive rendered as the browser rendered them, errors
// and unreachable servers complete as empty documents, and a page that never ends neither
// completes nor holds up the wizard when its document is dropped.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <string>

#include "TestSupport.h"
#include "common/Text.h"
#include "detection/HtmlCharset.h"
#include "driver/Paths.h"
#include "platform/win32/Win32HtmlEngine.h"

namespace revivix::win32 {
namespace {

std::string ReadBytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::wstring SiteUrl(const std::wstring& path) {
  const std::wstring state = driver::WindowsPath(wintest::Argument(0));
  std::string port = ReadBytes(state + L"\\port");
  while (!port.empty() && (port.back() == '\n' || port.back() == '\r')) port.pop_back();
  return L"http://127.0.0.1:" + FromUtf8(port) + path;
}

// Waits for "complete" (at most `limitMs`); the document as it then stands.
std::unique_ptr<HtmlDocument> Load(HtmlEngine& engine, const std::wstring& url,
                                   ULONGLONG limitMs = 20000) {
  std::unique_ptr<HtmlDocument> document = engine.CreateDocumentFromUrl(url);
  const ULONGLONG start = GetTickCount64();
  while (document->ReadyState() != L"complete" && GetTickCount64() - start < limitMs) Sleep(10);
  return document;
}

TEST(Win32HtmlEngine, RendersPagesAsTheBrowserDid) {
  Win32HtmlEngine engine;
  for (const wchar_t* name :
       {L"database-br", L"database-table", L"windows-1252", L"utf8-meta", L"utf8-bom", L"links"}) {
    SCOPED_TRACE(ToUtf8(name));
    const auto document = Load(engine, SiteUrl(L"/" + std::wstring(name) + L".htm"));
    ASSERT_EQ(document->ReadyState(), L"complete");
    const std::wstring page = wintest::FixturePath(L"html\\" + std::wstring(name));
    EXPECT_EQ(document->OuterText(), FromUtf8(ReadBytes(page + L".txt")));
    // The site sends these pages as text/html without a charset, as a file would be read.
    EXPECT_EQ(document->OuterHtml(), DecodeHtmlBytes(ReadBytes(page + L".htm"), ""));
    // The facts the repair log gives of the fetch.
    const FetchFacts facts = document->Facts();
    EXPECT_EQ(facts.httpStatus, 200);
    EXPECT_EQ(facts.bytes, ReadBytes(page + L".htm").size());
    EXPECT_FALSE(facts.timedOut);
  }
}

TEST(Win32HtmlEngine, IsLoadingUntilTheFetchHasEnded) {
  Win32HtmlEngine engine;
  const auto document = engine.CreateDocumentFromUrl(SiteUrl(L"/slow.htm"));
  EXPECT_EQ(document->ReadyState(), L"loading");
  EXPECT_EQ(document->OuterText(), L"");
  const ULONGLONG start = GetTickCount64();
  while (document->ReadyState() != L"complete" && GetTickCount64() - start < 20000) Sleep(10);
  EXPECT_EQ(document->OuterText(), L"slow PID_4157");
  EXPECT_EQ(document->OuterHtml(), L"<p>slow PID_4157</p>");
}

TEST(Win32HtmlEngine, ErrorStatusesCompleteAsEmptyDocuments) {
  Win32HtmlEngine engine;
  const struct {
    const wchar_t* path;
    std::int32_t status;
  } cases[] = {{L"/no-such-page.htm", 404}, {L"/error-500.htm", 500}};
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.path));
    const auto document = Load(engine, SiteUrl(c.path));
    EXPECT_EQ(document->ReadyState(), L"complete");
    EXPECT_EQ(document->OuterText(), L"");
    EXPECT_EQ(document->OuterHtml(), L"");
    EXPECT_EQ(document->Facts().httpStatus, c.status);
  }
}

TEST(Win32HtmlEngine, TheFinalAnswerDecides) {
  Win32HtmlEngine engine;
  EXPECT_EQ(Load(engine, SiteUrl(L"/moved.htm"))->OuterText(), L"slow PID_4157");
  // An error after a redirect, and a redirect not followed (308 under Wine), are failures.
  for (const wchar_t* path : {L"/moved-missing.htm", L"/moved-for-good.htm"}) {
    SCOPED_TRACE(ToUtf8(path));
    const auto document = Load(engine, SiteUrl(path));
    EXPECT_EQ(document->ReadyState(), L"complete");
    const std::wstring text = document->OuterText();
    EXPECT_TRUE(text.empty() || text == L"slow PID_4157") << ToUtf8(text);
    EXPECT_EQ(text.find(L"moved"), std::wstring::npos);
  }
}

TEST(Win32HtmlEngine, APageThatTricklesInCompletesEmptyAtTheOverallLimit) {
  // One byte a second keeps every read well inside its timeout; the whole fetch is limited.
  Win32HtmlEngine engine;
  EXPECT_EQ(Win32HtmlEngine::kOverallLimitMs, 60000u);
  engine.SetOverallLimitMs(3000);
  const ULONGLONG start = GetTickCount64();
  const auto document = Load(engine, SiteUrl(L"/trickle.htm"), 20000);
  const ULONGLONG elapsed = GetTickCount64() - start;
  EXPECT_EQ(document->ReadyState(), L"complete");
  EXPECT_EQ(document->OuterText(), L"");
  EXPECT_EQ(document->OuterHtml(), L"");
  EXPECT_GE(elapsed, 2900u);
  EXPECT_LT(elapsed, 6000u);
}

TEST(Win32HtmlEngine, ARefusedConnectionCompletesEmptyWithoutWaitingForTheTimeout) {
  Win32HtmlEngine engine;
  // Nothing listens on port 1 of the loopback address: the connection is refused at once.
  const auto document = Load(engine, L"http://127.0.0.1:1/revivix/database/x.htm", 15000);
  EXPECT_EQ(document->ReadyState(), L"complete");
  EXPECT_EQ(document->OuterText(), L"");
  EXPECT_EQ(document->OuterHtml(), L"");
  EXPECT_EQ(document->Facts().httpStatus, 0);  // no answer at all
  EXPECT_FALSE(document->Facts().timedOut);
}

TEST(Win32HtmlEngine, DecodesByTheHeaderThenTheMetaThenWindows1252) {
  Win32HtmlEngine engine;
  const struct {
    const wchar_t* path;
    const wchar_t* text;
  } cases[] = {
      {L"/header-1252.htm", L"Caf\u00e9 \u20ac 1252 from the header"},
      {L"/header-utf8.htm", L"Caf\u00e9 \u20ac UTF-8 from the header"},
      {L"/default-1252.htm", L"Caf\u00e9 \u20ac nothing declared"},
      {L"/utf8-meta.htm", L"\u00c5ngstr\u00f6m \u2264 \u221e bold\u00a0it"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.path));
    const auto document = Load(engine, SiteUrl(c.path));
    EXPECT_EQ(document->OuterText(), c.text);
  }
}

TEST(Win32HtmlEngine, CutsAPageAt8MiB) {
  Win32HtmlEngine engine;
  const auto document = Load(engine, SiteUrl(L"/big.htm"), 60000);
  ASSERT_EQ(document->ReadyState(), L"complete");
  const std::wstring html = document->OuterHtml();
  EXPECT_EQ(html.size(), Win32HtmlEngine::kMaxPageBytes);
  EXPECT_EQ(html.substr(0, 14), L"<pre>PID_4157,");
  const std::wstring text = document->OuterText();
  EXPECT_EQ(text.substr(0, 9), L"PID_4157,");
  EXPECT_EQ(text.size(), html.size() - 5 + std::count(html.begin(), html.end(), L'\n'))
      << "every line of the first 8 MiB is there, with CR LF breaks";
}

TEST(Win32HtmlEngine, AHangingPageStaysLoadingAndItsDocumentIsDroppedPromptly) {
  Win32HtmlEngine engine;
  auto document = engine.CreateDocumentFromUrl(SiteUrl(L"/hang.htm"));
  Sleep(1500);
  EXPECT_EQ(document->ReadyState(), L"loading");
  EXPECT_EQ(document->OuterText(), L"");
  const ULONGLONG start = GetTickCount64();
  document.reset();
  EXPECT_LT(GetTickCount64() - start, 2000u) << "dropping the document must not wait for the fetch";
  // The aborted worker ends on its own; a new document still loads.
  Sleep(300);
  const auto next = Load(engine, SiteUrl(L"/slow.htm"));
  EXPECT_EQ(next->OuterText(), L"slow PID_4157");
}

TEST(Win32HtmlEngine, AnExceptionOnTheWorkerCompletesTheDocumentEmpty) {
  // A renderer that runs out of memory, as a huge page could make it.
  Win32HtmlEngine engine([](const std::wstring&) -> std::wstring { throw std::bad_alloc(); });
  const auto document = Load(engine, SiteUrl(L"/slow.htm"));
  EXPECT_EQ(document->ReadyState(), L"complete");
  EXPECT_EQ(document->OuterText(), L"");
  EXPECT_EQ(document->OuterHtml(), L"");
  // The process and the engine go on.
  Win32HtmlEngine working;
  EXPECT_EQ(Load(working, SiteUrl(L"/slow.htm"))->OuterText(), L"slow PID_4157");
}

TEST(Win32HtmlEngine, TheCompletionSignalIsSetOnceTheDocumentIsComplete) {
  Win32HtmlEngine engine;
  const auto hanging = engine.CreateDocumentFromUrl(SiteUrl(L"/hang.htm"));
  const auto slow = engine.CreateDocumentFromUrl(SiteUrl(L"/slow.htm"));
  const auto signal = [](HtmlDocument& d) {
    return reinterpret_cast<HANDLE>(d.CompletionSignal());
  };
  ASSERT_NE(signal(*slow), nullptr);
  ASSERT_EQ(WaitForSingleObject(signal(*slow), 20000), WAIT_OBJECT_0);
  EXPECT_EQ(slow->ReadyState(), L"complete");
  EXPECT_EQ(slow->OuterText(), L"slow PID_4157");
  EXPECT_EQ(WaitForSingleObject(signal(*hanging), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(hanging->ReadyState(), L"loading");
}

}  // namespace
}  // namespace revivix::win32
