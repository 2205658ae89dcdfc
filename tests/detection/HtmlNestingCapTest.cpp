// The renderer at and beyond the nesting cap of 512 open elements, where the tree builder
// answers its searches of the open elements from what each one records about those below it
// and leaves out elements that can neither hold nor show anything.
#include <gtest/gtest.h>

#include <string>

#include "detection/HtmlText.h"

namespace revivix {
namespace {

std::wstring Times(const std::wstring& unit, int count) {
  std::wstring out;
  for (int i = 0; i < count; ++i) out += unit;
  return out;
}

struct CapCase {
  const char* name;
  std::wstring page;
  std::wstring text;
};

TEST(RenderInnerText, BeyondTheNestingCap) {
  const CapCase cases[] = {
      // Inline elements beyond the cap are left out; their end tags close the open ones.
      {"inline elements", Times(L"<b>", 600) + L"x" + Times(L"</b>", 600) + L"y", L"xy"},
      // End tags of elements that are not open stop at the block below the inline ones.
      {"stray end tags",
       L"<section>" + Times(L"<i>", 511) + Times(L"</b></p>", 1000) + L"text</section>after",
       L"text\r\nafter"},
      // List items that cannot be opened stand empty on their lines; their text follows them.
      {"list items", L"<ul>" + Times(L"<span>", 512) + L"<li>a<li>b", L"a\r\nb"},
      // Cells and rows of the innermost table still close and open each other.
      {"tables", Times(L"<table>", 300) + L"<td>a<td>b<tr><td>c" + Times(L"</table>", 300) + L"d",
       L"a\tb\r\nc\r\nd"},
      // Blocks beyond the cap still break the lines; an end tag finds the heading below them.
      {"blocks and headings", Times(L"<div>", 600) + L"a<h1>h" + Times(L"</div>", 600) + L"<p>p",
       L"a\r\nh\r\n\r\np"},
  };
  for (const CapCase& c : cases) EXPECT_EQ(RenderInnerText(c.page), c.text) << c.name;
}

}  // namespace
}  // namespace revivix
