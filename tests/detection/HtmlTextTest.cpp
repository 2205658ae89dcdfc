// The HTML renderer against what a browser renders: every page in fixtures/html has beside it
// the innerText headless chromium gave for it (tools/html/capture-innertext.py), and the
// renderer must give exactly that text. Adding a page and its capture adds a case.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/Text.h"
#include "detection/HtmlCharset.h"
#include "detection/HtmlText.h"

namespace revivix {
namespace {

namespace fs = std::filesystem;

const fs::path kPages = fs::path(REVIVIX_FIXTURES) / "html";

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::vector<std::string> PageNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kPages))
    if (entry.path().extension() == ".htm") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class BrowserCapture : public testing::TestWithParam<std::string> {};

TEST_P(BrowserCapture, RendersWhatTheBrowserRendered) {
  const fs::path page = kPages / (GetParam() + ".htm");
  const fs::path expected = kPages / (GetParam() + ".txt");
  ASSERT_TRUE(fs::exists(expected)) << "no capture for " << page;
  const std::string text = ToUtf8(RenderInnerText(DecodeHtmlBytes(ReadBytes(page), "")));
  EXPECT_EQ(text, ReadBytes(expected));
}

INSTANTIATE_TEST_SUITE_P(Pages, BrowserCapture, testing::ValuesIn(PageNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(BrowserCapture, EveryKindOfPageIsThere) {
  const std::vector<std::string> names = PageNames();
  for (const char* wanted : {"database-br", "database-p", "database-pre", "database-table",
                             "database-entities", "links", "windows-1252", "utf8-bom"})
    EXPECT_NE(std::find(names.begin(), names.end(), wanted), names.end()) << wanted;
}

struct CharsetCase {
  const char* what;
  std::string bytes;
  const char* contentType;
  HtmlCharset expected;
};

TEST(DetectHtmlCharset, FollowsTheBrowsersOrder) {
  const std::string metaUtf8 = "<html><head><meta charset=\"utf-8\"></head>";
  const CharsetCase cases[] = {
      {"nothing declared", "<p>x</p>", "", HtmlCharset::Windows1252},
      {"header", "<p>x</p>", "text/html; charset=UTF-8", HtmlCharset::Utf8},
      {"quoted header label", "<p>x</p>", "text/html;charset=\"utf-8\"", HtmlCharset::Utf8},
      {"header label with blanks", "x", "text/html; Charset = ' utf8 ' ", HtmlCharset::Utf8},
      {"latin1 header", "x", "text/html; charset=ISO-8859-1", HtmlCharset::Windows1252},
      {"header before meta", metaUtf8, "text/html; charset=windows-1252", HtmlCharset::Windows1252},
      {"unknown header label falls to meta", metaUtf8, "text/html; charset=x-klingon",
       HtmlCharset::Utf8},
      {"header without charset", metaUtf8, "text/html", HtmlCharset::Utf8},
      {"charset-like parameter", "x", "text/html; notcharset=utf-8", HtmlCharset::Windows1252},
      {"BOM before header", "\xEF\xBB\xBFx", "text/html; charset=windows-1252", HtmlCharset::Utf8},
      {"UTF-16LE BOM", "\xFF\xFEx\0", "", HtmlCharset::Utf16Le},
      {"UTF-16BE BOM", "\xFE\xFF\0x", "", HtmlCharset::Utf16Be},
      {"meta charset upper case", "<META CHARSET=UTF-8>", "", HtmlCharset::Utf8},
      {"meta http-equiv", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">",
       "", HtmlCharset::Utf8},
      {"meta content without http-equiv", "<meta content=\"text/html; charset=utf-8\">", "",
       HtmlCharset::Windows1252},
      {"meta in a comment", "<!-- <meta charset=utf-8> --><p>", "", HtmlCharset::Windows1252},
      {"meta in an attribute value", "<div title=\"<meta charset=utf-8>\">", "",
       HtmlCharset::Windows1252},
      {"meta after 1024 bytes", std::string(1100, ' ') + "<meta charset=utf-8>", "",
       HtmlCharset::Windows1252},
      {"meta utf-16 means utf-8", "<meta charset=utf-16>", "", HtmlCharset::Utf8},
      {"unknown meta label", "<meta charset=koi8-r><meta charset=utf-8>", "", HtmlCharset::Utf8},
      {"meta cut off", "<meta charset=\"utf-8", "", HtmlCharset::Windows1252},
      {"not a meta", "<metadata charset=utf-8>", "", HtmlCharset::Windows1252},
  };
  for (const CharsetCase& c : cases)
    EXPECT_EQ(DetectHtmlCharset(c.bytes, c.contentType), c.expected) << c.what;
}

TEST(DecodeHtmlBytes, DecodesAndReplacesInvalidBytes) {
  EXPECT_EQ(DecodeHtmlBytes("caf\xE9 \x80 \x81", ""), L"caf\u00e9 \u20ac \u0081");
  EXPECT_EQ(DecodeHtmlBytes("\xEF\xBB\xBF"
                            "caf\xC3\xA9",
                            ""),
            L"caf\u00e9");
  // A broken sequence gives one replacement character per maximal invalid part.
  EXPECT_EQ(DecodeHtmlBytes("a\xC3(b\xE2\x82z\xF0\x9F\x8E\xB5\xFF\xC0\xAF\xED\xA0\x80",
                            "text/html; charset=utf-8"),
            L"a\uFFFD(b\uFFFDz" +
                std::wstring(sizeof(wchar_t) == 2 ? L"\xD83C\xDFB5" : L"\U0001F3B5") +
                L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(DecodeHtmlBytes("\xE2\x82", "text/html; charset=utf-8"), L"\uFFFD");
  EXPECT_EQ(DecodeHtmlBytes(std::string("\xFF\xFEh\0i\0\x00\xD8", 8), ""), L"hi\uFFFD");
  EXPECT_EQ(DecodeHtmlBytes(std::string("\xFE\xFF\0h\0", 5), ""), L"h\uFFFD");
  EXPECT_EQ(DecodeHtmlBytes("", ""), L"");
}

TEST(RenderInnerText, CutPagesAndDeepNestingEndWell) {
  EXPECT_EQ(RenderInnerText(L""), L"");
  EXPECT_EQ(RenderInnerText(L"a<"), L"a<");
  EXPECT_EQ(RenderInnerText(L"a<b"), L"a");
  EXPECT_EQ(RenderInnerText(L"a</"), L"a</");
  EXPECT_EQ(RenderInnerText(L"a<!-- b"), L"a");
  EXPECT_EQ(RenderInnerText(L"a<script>b"), L"a");
  EXPECT_EQ(RenderInnerText(L"a<p title=\"x>b"), L"a");
  EXPECT_EQ(RenderInnerText(L"a&#x1"), L"a\u0001");
  EXPECT_EQ(RenderInnerText(L"x&"), L"x&");
  // Far deeper than browsers nest: no stack exhaustion, and the text is all there.
  std::wstring deep;
  for (int i = 0; i < 100000; ++i) deep += L"<div><span>";
  deep += L"x";
  for (int i = 0; i < 100000; ++i) deep += L"</td></span></div>";
  deep += L"<p>y";
  EXPECT_EQ(RenderInnerText(deep), L"x\r\n\r\ny");
  std::wstring tables;
  for (int i = 0; i < 20000; ++i) tables += L"<table><tr><td>t";
  const std::wstring text = RenderInnerText(tables);
  EXPECT_EQ(std::count(text.begin(), text.end(), L't'), 20000);
}

}  // namespace
}  // namespace revivix
