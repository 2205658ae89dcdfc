// Web pages come from outside: any bytes with any Content-Type header must decode and render
// without reading or writing out of bounds, and the text can never grow beyond what the page
// gives room for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "detection/HtmlCharset.h"
#include "detection/HtmlText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace revivix;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The first line, if short, is the Content-Type header; the rest is the page.
  std::string_view contentType, page = input;
  const std::size_t newline = input.find('\n');
  if (newline != std::string_view::npos && newline < 80) {
    contentType = input.substr(0, newline);
    page = input.substr(newline + 1);
  }
  const std::wstring html = DecodeHtmlBytes(page, contentType);
  if (html.size() > page.size()) std::abort();  // every decoded character takes a byte or more
  const std::wstring text = RenderInnerText(html);
  // A reference writes at most two UTF-16 units per character of the page, and a line break is
  // at most two CR LF pairs per markup character.
  if (text.size() > 4 * html.size() + 4) std::abort();
  return 0;
}
