#include <gtest/gtest.h>

#include "app/WebAddress.h"
#include "common/Text.h"

namespace revivix {
namespace {

TEST(WebAddress, OnlyWebAddressesAreOpened) {
  const struct {
    const wchar_t* address;
    bool web;
  } cases[] = {
      {L"http://www.zanterix.com/support/200", true},
      {L"HTTPS://Support.Example.com", true},
      {L"http://127.0.0.1:8391/scenario-a/update.htm?v=2#top", true},
      {L"http://host", true},
      {L"https://a-b.example.com?x=1", true},
      {L"www.zanterix.com/language.asp?sDestUrl=/support/kb/article.asp?sid=49688", true},
      {L"", false},
      {L"http://", false},
      {L"http:///path", false},
      {L"http://-bad.example.com/", false},
      {L"http://example..com/", false},
      {L"http://example.com:/x", false},
      {L"http://example.com:123456/x", false},
      {L"http://user@example.com/", false},
      {L"http://example.com\\..\\x.exe", false},
      {L"http://example.com/\"  --flag", false},
      {L"http://example.com/\nx", false},
      {L"ftp://example.com/file", false},
      {L"file:///C:/Windows/system32/calc.exe", false},
      {L"javascript:alert(1)", false},
      {L"C:\\Windows\\system32\\calc.exe", false},
      {L"C:/Windows/system32/calc.exe", false},
      {L"\\\\server\\share\\x.exe", false},
      {L"calc.exe", false},
      {L"fw/updater.exe", false},  // a folder beside the program, not a host
      {L"www.zanterix.com", false},
      {L"www.zanterix.com/../../fw/updater.exe", false},
      {L"www.zanterix.com/a/./b", false},
      {L"www.zanterix.com:80/x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsWebAddress(c.address), c.web) << ToUtf8(c.address);
}

}  // namespace
}  // namespace revivix
