// revivix-htmltext FILE: prints the rendered text of an HTML file (what the wizard's HTML
// engine reads from a page) as UTF-8 with CR LF line ends. The file's encoding is found as for a
// page fetched without a Content-Type header.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "common/Text.h"
#include "detection/HtmlCharset.h"
#include "detection/HtmlText.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: revivix-htmltext FILE\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "revivix-htmltext: cannot read %s\n", argv[1]);
    return 1;
  }
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::string text =
      revivix::ToUtf8(revivix::RenderInnerText(revivix::DecodeHtmlBytes(bytes, "")));
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::ferror(stdout) ? 1 : 0;
}
